// The train group of the train set properties dialog without its window: what it shows when it
// opens for a new train or for a number change, and the train number and kind text it gives back.
#pragma once

#include <cstdint>
#include <string>

#include "timetable/UrwDiaEditorUi.h"

namespace ramvel {

// The window shows these fields, writes the user's edits back into them and calls the handlers.
class TTrainForm {
 public:
  std::string Caption;
  std::string EdtTrNo;     // train number
  int32_t CbxTrType = -1;  // index into kTrainTypes; -1 no type
  std::string EdtTrNick;   // nickname

  // Fills the group for a new train (change false: number and nickname empty, no type) or for a
  // change of the train whose number and kind text are given.
  void Setup(const std::string& kind, const std::string& number, bool change);
  void BtnClrTrTypeClick() { CbxTrType = -1; }
  // The check of OK: trains is the board's train numbers list, own the number being changed
  // (empty for a new train). The error carries the dialog's message.
  TStatus Check(const TTrainNoList& trains, const std::string& own) const;
  // The train number (trimmed) and kind text the group holds.
  TTrainChoice Result() const;
};

}  // namespace ramvel
