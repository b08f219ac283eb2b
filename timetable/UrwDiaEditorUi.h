// What the diagram editor asks of its window: the modal dialogs it opens (one section, the
// selection list, the train set properties) and the redrawing of the picture and the grid; plus
// the selection helpers and the checks that guard what those dialogs hand back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/UrwCmnDef.h"
#include "model/UrwCarObj.h"
#include "timetable/UrwDiaOneStep.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

class TBrdData;

// A new train set as the properties dialog gives it: its properties and its stabling place
// (MakeEntCode of station, platform, side 0).
struct TNewCarChoice {
  TCarProp Prop;
  int32_t StabLoc = 0;
};

// A train's number and kind text (type, and " " + nickname when it has one).
struct TTrainChoice {
  std::string TrNo;
  std::string Kind;
};

// 時刻をずらす as the dialog gives it: minutes (negative: earlier) and whether the later trains of
// the train set move too (以降の列車も).
struct TShiftChoice {
  int32_t Minutes = 0;
  bool Following = false;
};

// 繰り返し作成 as the dialog gives it: the train set's last K trains, repeated every Every
// minutes until the time typed in Until ("23:00"), each copy's numbers Increment higher.
struct TRepeatChoice {
  int32_t K = 2;
  int32_t Every = 60;
  std::string Until;
  int32_t Increment = 2;
};

// The modal dialogs of the diagram editor. The program installs the real windows; tests install
// a scripted implementation. Every call returns only when the dialog has closed.
class TDiaDialogs {
 public:
  virtual ~TDiaDialogs() = default;

  // The one-section dialog, filled by SetupStep. The window lets the user edit the form and
  // calls its handlers; true when it closed through BtnOkClick or BtnThruClick returning true
  // (ChosenDep, StaIndex and PassNext are then valid), false on cancel.
  virtual bool OneStep(TDiaOneStep& form) = 0;
  // The selection dialog over a list that is not empty: the chosen index, nullopt on cancel.
  virtual std::optional<int32_t> SelectItem(const std::vector<std::string>& items,
                                            const std::string& prompt, bool textMode) = 0;
  // The new-train-set dialog over the line's station names and, per station, the comma text of
  // its platform numbers; nullopt on cancel.
  virtual std::optional<TNewCarChoice> NewCar(const std::vector<std::string>& staNames,
                                              const std::vector<std::string>& homeLists,
                                              TBrdData& brd) = 0;
  // The train set's properties, read-only, at the station and platform given.
  virtual void ShowSpec(const TCarObj& car, const std::string& staName,
                        const std::string& homeText) = 0;
  // The train dialog, for a new train (change false) or a number change with the current
  // number and kind; trains is the board's train numbers list. nullopt on cancel.
  virtual std::optional<TTrainChoice> EditTrain(const TTrainNoList& trains, const TCarObj& car,
                                                const std::string& kind, const std::string& number,
                                                bool change, const std::string& homeText,
                                                const std::string& staName) = 0;
  // The 時刻をずらす dialog for train trNo; nullopt on cancel. Hosts without it cancel.
  virtual std::optional<TShiftChoice> AskShift(const std::string& /*trNo*/) { return std::nullopt; }
  // The 繰り返し作成 dialog for train set carNo, which runs `trains` trains; nullopt on cancel.
  // Hosts without it cancel.
  virtual std::optional<TRepeatChoice> AskRepeat(int32_t /*carNo*/, int32_t /*trains*/) {
    return std::nullopt;
  }
};

// The editor's window as the commands see it.
class TDiaView {
 public:
  virtual ~TDiaView() = default;
  // Redraws the window; full recomposes the picture and refills the grid first.
  virtual void RefreshView(bool full) = 0;
  // Refills the grid only.
  virtual void DrawTmTbl() = 0;
  // How many stations the picture shows from the editor's LeftSta on.
  virtual int32_t ShownStaCount() const = 0;
};

// ---- Selection ---------------------------------------------------------------------------------

// The common part of every selection: the dialog's choice, or nullopt on cancel. An empty list
// ends the selection at once with the notice "選択できるものがありません".
std::optional<int32_t> ShowSelList(TDiaDialogs& dlg, const std::vector<std::string>& list,
                                   const std::string& prompt, bool textMode);
// A train set chosen from selection lines: the number that begins the chosen line.
std::optional<int32_t> SelectCarId(TDiaDialogs& dlg, const std::vector<std::string>& list,
                                   const std::string& prompt);
// A train chosen from train numbers.
std::optional<std::string> SelectTrNo(TDiaDialogs& dlg, const std::vector<std::string>& list);

// ---- Checks of the properties dialog's answers -------------------------------------------------

// A train number must be given, hold none of ",", "[", "]", and not be in use (own, when given,
// is the train's current number, which it may keep). The message is the dialog's.
TStatus CheckTrainNo(const TTrainNoList& trains, const std::string& number,
                     const std::string& own = "");
// The speeds a train set may have, in km/h; the import keeps to them as well.
inline constexpr int32_t kMinSpd = 30;
inline constexpr int32_t kMaxSpd = 160;

// Cars 1..8, a speed of 30..160 km/h, a stabling place at a platform of a line station that is
// free at 04:00.
TStatus CheckNewCar(TBrdData& brd, const TNewCarChoice& choice);

}  // namespace ramvel
