// The one-section dialog ("一区間の設定") without its window: what it shows for a section, the
// stop-length choices, and the check of the user's choice; plus the delay text of the entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ramvel {

// Where a refused choice sends the keyboard focus.
enum class TOneStepFocus { kNone, kDep, kRoute };

// The dialog's fields and the content of its controls. The window shows these values, writes
// the user's edits back into EdtCurSta, StartIndex and StaIndex, and calls the handlers.
class TDiaOneStep {
 public:
  // ---- Fields ----
  bool IsStart = false;             // the current station is the train's origin
  bool IsPassCur = false;           // the train passes the current station
  int32_t FirstDep = 0;             // earliest departure offered, s from 04:00
  std::vector<std::string> Routes;  // "label=route" lines to the next station
  int32_t ChosenDep = 0;            // valid after OK
  bool PassNext = false;            // valid after OK: the train passes the next station

  // ---- Controls ----
  std::string LblCurSta;   // "現在の駅「..」- " + kind
  std::string Lbl4CurSta;  // the prompt, empty at a passed station
  std::string LblNextSta;  // "次の駅「..」"
  std::string EdtCurSta;   // departure time text
  bool EdtCurStaVisible = true;
  std::vector<std::string> LbxStart;  // stop-length choices (stopping station only)
  bool LbxStartVisible = false;
  int32_t StartIndex = -1;          // selected stop-length choice, -1 none
  std::vector<std::string> LbxSta;  // route labels
  int32_t StaIndex = -1;            // selected route, -1 none
  int32_t LbxStaHeight = 0;         // pixels
  bool BtnThruEnabled = true;       // "通過" is not offered for the line's last station
  std::string BtnCancelCaption;
  bool BtnCancelEnabled = true;
  int32_t ClientHeight = 0;  // pixels
  TOneStepFocus Focus = TOneStepFocus::kNone;

  // Fills the dialog for one section from the station cur to next; routes are the route lines,
  // first the earliest departure, sections the number accepted so far in this entry;
  // canPassNext is false when next is the last station the entry can reach.
  void SetupStep(const std::string& cur, const std::string& next,
                 const std::vector<std::string>& routes, int32_t first, int32_t sections,
                 bool isPassCur, bool isStart, bool canPassNext = true);
  // A stop-length choice clicked: it becomes the departure text.
  void LbxStartClick(int32_t index);
  // "停車" and "通過": true when the choice passes the check and the dialog closes with OK.
  // Otherwise the reason has been shown and Focus names the field to correct.
  bool BtnOkClick() { return Accept(false); }
  bool BtnThruClick() { return Accept(true); }
  // The route text (after "=") of the selected route; empty when none is selected.
  std::string ChosenRoute() const;

 private:
  bool Accept(bool thru);
  bool CheckDep();
};

// The stop-length choice n (0..9) offered for the earliest departure first.
std::string StopChoiceText(int32_t first, int32_t n);
// "停車を更に" + minutes and seconds + "増やす必要があります" for a delay of s seconds.
std::string StopShortMsg(int32_t s);

}  // namespace ramvel
