// The diagram editor's dialogs and window answered and recorded by a script, and lines of
// stations made in code, for headless tests of timetable entry.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "timetable/UrwCarProperty.h"
#include "timetable/UrwDiaEditorUi.h"

namespace ramvel::test {

// One try in the one-section dialog: edits, then a button. A try whose check fails leaves the
// dialog open for the next try.
struct TStepAnswer {
  enum TButton { kStop, kPass, kCancel };
  TButton Button = kStop;
  int32_t StartItem = -1;          // stop-length choice clicked first; -1 none
  std::optional<std::string> Dep;  // departure typed afterwards
  std::string Route;               // route label to select ("B  1番ホーム"); empty: as it is
};

TStepAnswer StopVia(const std::string& route, std::optional<std::string> dep = std::nullopt);
TStepAnswer PassVia(const std::string& route, std::optional<std::string> dep = std::nullopt);
TStepAnswer Cancel();

// Answers every dialog from its queue and records what each one showed. A dialog opened with
// an empty queue is cancelled and counted in Unanswered.
class TScriptedDiaDialogs : public TDiaDialogs {
 public:
  struct TSelShown {
    std::string Prompt;
    std::vector<std::string> Items;
  };
  struct TTrainShown {
    std::string Kind;
    std::string Number;
    bool Change = false;
    std::string HomeText;
    std::string StaName;
    TTrainForm Form;  // the train group as the dialog opened
  };

  std::deque<TStepAnswer> Steps;
  std::vector<TDiaOneStep> StepsShown;  // the form as each one-section dialog opened
  std::deque<std::optional<int32_t>> Selections;
  std::vector<TSelShown> SelShown;
  std::deque<std::optional<TNewCarChoice>> NewCars;
  std::deque<std::optional<TTrainChoice>> Trains;
  std::vector<TTrainShown> TrainsShown;
  std::vector<std::string> Specs;  // "<car> <station> <platform>" per properties view
  std::deque<std::optional<TShiftChoice>> Shifts;
  std::vector<std::string> ShiftsShown;  // the train number of each 時刻をずらす dialog
  std::deque<std::optional<TRepeatChoice>> Repeats;
  std::vector<std::string> RepeatsShown;  // "<car> <trains>" of each 繰り返し作成 dialog
  int Unanswered = 0;

  bool OneStep(TDiaOneStep& form) override;
  std::optional<int32_t> SelectItem(const std::vector<std::string>& items,
                                    const std::string& prompt, bool textMode) override;
  std::optional<TNewCarChoice> NewCar(const std::vector<std::string>& staNames,
                                      const std::vector<std::string>& homeLists,
                                      TBrdData& brd) override;
  void ShowSpec(const TCarObj& car, const std::string& staName,
                const std::string& homeText) override;
  std::optional<TTrainChoice> EditTrain(const TTrainNoList& trains, const TCarObj& car,
                                        const std::string& kind, const std::string& number,
                                        bool change, const std::string& homeText,
                                        const std::string& staName) override;
  std::optional<TShiftChoice> AskShift(const std::string& trNo) override;
  std::optional<TRepeatChoice> AskRepeat(int32_t carNo, int32_t trains) override;
};

// A window that counts redraws and shows a fixed number of stations.
class TCountingView : public TDiaView {
 public:
  int Refreshes = 0;
  int GridFills = 0;
  int32_t Shown = 3;

  void RefreshView(bool) override { ++Refreshes; }
  void DrawTmTbl() override { ++GridFills; }
  int32_t ShownStaCount() const override { return Shown; }
};

// Two-platform stations (NetBuilder) named by names, with ids 1001, 2001, ..., placed in a row
// along the x axis 22 cells apart, each joined from its side 1 to the next one's side 0 by a
// rail of `tracks` tracks (1188 m: one block). The board's current line is set to them in this
// order with the name "本線". Returns the stations.
std::vector<TStaObj*> MakeLine(TBrdData& brd, const std::vector<std::string>& names,
                               int32_t tracks = 1);

// A timetable step with its side flag.
TTmTbl MakeStep(int32_t sta, int32_t home, int32_t side, int32_t arr, int32_t dep,
                const std::string& txt = "");

}  // namespace ramvel::test
