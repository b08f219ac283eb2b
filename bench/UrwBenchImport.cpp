// The OuDia import on the synthetic timetable of a busy line (40 stations, about 1,700 trains a
// timetable): the whole file made into a new board, and one train entered through the diagram
// editor on the line that board carries.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "engine/UrwBrdData.h"
#include "foundation/UrwTextRec.h"
#include "foundation/UrwUiHost.h"
#include "interop/UrwOudBoard.h"
#include "timetable/UrwDiaEditor.h"
#include "tools/oud/UrwOudSynth.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

std::string ScratchDir(const char* what) {
  const fs::path p = fs::temp_directory_path() / (std::string("ramvel-bench-") + what + "-" +
                                                  IntText(getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p.string();
}

const TStaPanels& Panels() {
  static const TStaPanels panels = [] {
    TStaPanels p;
    (void)p.Load(std::string(RAMVEL_SOURCE_DIR) + "/data");
    return p;
  }();
  return panels;
}

// Makes the board of the synthetic file in base/name; the report's figures as counters.
bool MakeBusyBoard(const std::string& base, const std::string& name, benchmark::State& state) {
  TOudBoardReport report;
  const TStatus st =
      MakeOudBoard(Panels(), MakeSynthOud(TOudSynthShape{}), base + "/" + name, {}, report);
  if (!st) {
    state.SkipWithError(st.Msg().c_str());
    return false;
  }
  state.counters["on_time"] = report.Import.OnTime;
  state.counters["late"] = report.Import.Late;
  state.counters["refused"] = report.Import.Refused;
  return true;
}

void BM_ImportNewBoardLarge(benchmark::State& state) {
  const std::string base = ScratchDir("import");
  for (auto _ : state) {
    fs::remove_all(base + "/Busy");
    if (!MakeBusyBoard(base, "Busy", state)) break;
  }
  fs::remove_all(base);
}
BENCHMARK(BM_ImportNewBoardLarge)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Answers the editor as a user entering one train from a train set's last station at 26:00,
// the first route offered at every station, for four sections.
class TOneTrainDialogs : public TDiaDialogs {
 public:
  int32_t Car = 0;
  int32_t Sections = 0;
  bool OneStep(TDiaOneStep& form) override {
    if (Sections++ >= 4 || form.LbxSta.empty()) return false;
    if (form.IsStart) form.EdtCurSta = TimeToText(22 * 3600, true);
    form.StaIndex = 0;
    return form.BtnOkClick();
  }
  std::optional<int32_t> SelectItem(const std::vector<std::string>& items, const std::string&,
                                    bool) override {
    for (size_t i = 0; i < items.size(); ++i) {
      int32_t no = 0;
      if (ParseInt(TrimText(TextBefore(items[i], "(")), no) && no == Car) {
        return static_cast<int32_t>(i);
      }
    }
    return std::nullopt;
  }
  std::optional<TNewCarChoice> NewCar(const std::vector<std::string>&,
                                      const std::vector<std::string>&, TBrdData&) override {
    return std::nullopt;
  }
  void ShowSpec(const TCarObj&, const std::string&, const std::string&) override {}
  std::optional<TTrainChoice> EditTrain(const TTrainNoList&, const TCarObj&, const std::string&,
                                        const std::string&, bool, const std::string&,
                                        const std::string&) override {
    return TTrainChoice{"B1", "普通"};
  }
};

// One train entered (列車 › 新規設定, four sections) on the busy line and taken back again
// outside the timing: the editor re-books what the train changed, not the line.
void BM_EnterOneTrainOnBusyLine(benchmark::State& state) {
  TScriptedHost host;
  TUiHostScope scope(host);
  const std::string base = ScratchDir("enter");
  if (!MakeBusyBoard(base, "Busy", state)) return;
  TBrdData brd;
  if (!brd.LoadBrd(base, "Busy").ok() || !brd.SetLine("合成線").ok() ||
      !brd.LoadLine(base + "/Busy/").ok()) {
    state.SkipWithError("the board made cannot be read");
    return;
  }
  TOneTrainDialogs dialogs;
  TDiaEditor ed(brd, dialogs);
  ed.OpenDia();
  // A train set that ends its day at the first station: the train goes down from there.
  const std::string first = brd.LineStas.front();
  for (const auto& [key, car] : brd.Cars) {
    const TCarFinalPos p = CarFinalPos(*car);
    if (IntText(p.Place.Id) == first) dialogs.Car = car->Id;
  }
  if (dialogs.Car == 0) {
    state.SkipWithError("no train set ends at the first station");
    return;
  }
  ed.KudariMode = true;
  ed.ApplyDir();
  for (auto _ : state) {
    dialogs.Sections = 0;
    if (!ed.TrainNew()) {
      state.SkipWithError("the train was not entered");
      break;
    }
    state.PauseTiming();
    ed.Undo();
    state.ResumeTiming();
  }
  state.counters["trains"] = ed.Dia.TrCount;
  fs::remove_all(base);
}
BENCHMARK(BM_EnterOneTrainOnBusyLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramvel
