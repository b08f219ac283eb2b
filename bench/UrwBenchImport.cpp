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
#include "UrwBenchBoard.h"
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
  int32_t onTime = 0, late = 0;
  for (const TOudDiaReport& dia : report.Dias) {
    onTime += dia.Report.OnTime;
    late += dia.Report.Late;
  }
  state.counters["on_time"] = onTime;
  state.counters["late"] = late;
  state.counters["refused"] = report.Refused();
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

// Answers the editor as a user entering one train of one section from a train set's last
// station, at the earliest departure and by the first route offered.
class TOneTrainDialogs : public TDiaDialogs {
 public:
  int32_t Car = 0;
  int32_t Sections = 0;
  bool OneStep(TDiaOneStep& form) override {
    if (Sections++ >= 1 || form.LbxSta.empty()) return false;
    form.StaIndex = 0;
    return form.BtnOkClick();
  }
  std::optional<int32_t> SelectItem(const std::vector<std::string>& items, const std::string&,
                                    bool) override {
    for (size_t i = 0; i < items.size(); ++i) {
      int32_t no = 0;
      if (ParseInt(TrimBlanks(TextBefore(items[i], "(")), no) && no == Car) {
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

// One train entered (列車 › 新規設定) on a 40-station line of 1,600 trains (400 train sets
// shuttling four trains each) and taken back again outside the timing: the editor re-books
// what the train changed, not the line.
void BM_EnterOneTrainOnBusyLine(benchmark::State& state) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  bench::MakeSynthBoard(brd, {40, 400, 1, 40, 4});
  TOneTrainDialogs dialogs;
  TDiaEditor ed(brd, dialogs);
  ed.OpenDia();
  // The first train set that can take a train down from where it ends its day.
  ed.KudariMode = true;
  ed.ApplyDir();
  for (const auto& [key, car] : brd.Cars) {
    const int32_t slot = brd.FindStaInLine(CarFinalPos(*car).Place.Id);
    if (slot < 0 || slot + 1 >= static_cast<int32_t>(brd.LineStas.size())) continue;
    dialogs.Car = car->Id;
    dialogs.Sections = 0;
    if (ed.TrainNew()) {
      ed.Undo();
      break;
    }
    dialogs.Car = 0;
  }
  if (dialogs.Car == 0) {
    state.SkipWithError("no train set can take a train down");
    return;
  }
  for (auto _ : state) {
    dialogs.Sections = 0;
    if (!ed.TrainNew()) {
      std::string why;
      for (const auto& e : host.Events) why += e.Text + " / ";
      why += IntText(static_cast<int64_t>(dialogs.Sections));
      state.SkipWithError(("the train was not entered: " + why).c_str());
      break;
    }
    state.PauseTiming();
    ed.Undo();
    state.ResumeTiming();
  }
  state.counters["trains"] = ed.Dia.TrCount;
}
BENCHMARK(BM_EnterOneTrainOnBusyLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramvel
