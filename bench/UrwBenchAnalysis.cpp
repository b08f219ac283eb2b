// Capacity and delay analysis of a line of about 1,600 trains over a day: the compression of every
// section and station, one delay run, and a hundred runs on all cores. Two lines: the synthetic
// board of 40 stations with 400 train sets shuttling four trains each between neighbours, and the
// board made from the synthetic OuDia timetable of a busy through-running line (40 stations,
// about 1,700 trains, expresses overtaking locals).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "UrwBenchBoard.h"
#include "analysis/UrwCapacity.h"
#include "analysis/UrwDelaySim.h"
#include "foundation/UrwTextRec.h"
#include "foundation/UrwUiHost.h"
#include "interop/UrwOudBoard.h"
#include "tools/oud/UrwOudSynth.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

struct TBusyLine {
  TBrdData Brd;
  std::vector<std::string> TrNos;
  TLineOcc Occ;
};

// arg 0: the shuttle board; arg 1: the board of the OuDia timetable. Booked once per process.
TBusyLine* BusyLine(int which, benchmark::State& state) {
  static std::unique_ptr<TBusyLine> lines[2];
  static TScriptedHost host;
  static TUiHostScope scope(host);
  if (lines[which]) return lines[which].get();
  auto line = std::make_unique<TBusyLine>();
  if (which == 0) {
    bench::MakeSynthBoard(line->Brd, {40, 400, 1, 40, 4});
  } else {
    const fs::path base = fs::temp_directory_path() / ("ramvel-bench-analysis-" + IntText(getpid()));
    fs::remove_all(base);
    fs::create_directories(base);
    TStaPanels panels;
    (void)panels.Load(std::string(RAMVEL_SOURCE_DIR) + "/data");
    TOudBoardReport report;
    TStatus st = MakeOudBoard(panels, MakeSynthOud(TOudSynthShape{}), (base / "Busy").string(),
                              {}, report);
    if (st) st = line->Brd.LoadBrd(base.string(), "Busy");
    std::string name;
    for (const auto& e : fs::directory_iterator(base / "Busy" / "line")) {
      name = e.path().stem().string();
      break;
    }
    if (st) st = line->Brd.SetLine(name);
    if (st) st = line->Brd.LoadLine((base / "Busy").string() + "/");
    fs::remove_all(base);
    if (!st) {
      state.SkipWithError(st.Msg().c_str());
      return nullptr;
    }
  }
  line->TrNos = BookLineForAnalysis(line->Brd);
  line->Occ = CollectLineOcc(line->Brd, line->TrNos);
  lines[which] = std::move(line);
  return lines[which].get();
}

// Reading the booking and compressing every place over the whole day.
void BM_CapacityBusyLineDay(benchmark::State& state) {
  TBusyLine* line = BusyLine(static_cast<int>(state.range(0)), state);
  if (line == nullptr) return;
  int32_t from = 0, to = 0;
  for (auto _ : state) {
    const TLineOcc occ = CollectLineOcc(line->Brd, line->TrNos);
    OccSpan(occ, from, to);
    const TCapResult cap = AnalyseCapacity(occ, from, to);
    benchmark::DoNotOptimize(cap.Places.size());
  }
  state.counters["trains"] = static_cast<double>(line->Occ.Trains.size());
  state.counters["occupations"] = static_cast<double>(line->Occ.Recs.size());
}
BENCHMARK(BM_CapacityBusyLineDay)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One delay run: 20 % of the trains 3 minutes late on average.
void BM_DelayRunBusyLine(benchmark::State& state) {
  TBusyLine* line = BusyLine(static_cast<int>(state.range(0)), state);
  if (line == nullptr) return;
  const TDelayModel model(line->Occ, 30);
  TDelayOpts opts;
  std::string bad;
  int64_t knock = 0;
  uint64_t seed = 1;
  for (auto _ : state) {
    const TDelayRun run = model.Run(DrawPrimary(line->Occ, opts, seed++, bad));
    knock = run.KnockOnSec;
    benchmark::DoNotOptimize(knock);
  }
  state.counters["trains"] = static_cast<double>(line->Occ.Trains.size());
  state.counters["knock_on_min"] = knock / 60.0;
}
BENCHMARK(BM_DelayRunBusyLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A hundred runs on every core, with the figures averaged, as ramvel-cli delays --runs 100.
void BM_Delay100RunsBusyLine(benchmark::State& state) {
  TBusyLine* line = BusyLine(static_cast<int>(state.range(0)), state);
  if (line == nullptr) return;
  const TDelayModel model(line->Occ, 30);
  TDelayOpts opts;
  opts.Runs = 100;
  std::string bad;
  for (auto _ : state) {
    const TDelayReport rep = RunDelays(model, opts, 0, bad);
    benchmark::DoNotOptimize(rep.Within[0].Mean);
  }
}
BENCHMARK(BM_Delay100RunsBusyLine)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace ramvel
