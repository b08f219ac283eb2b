// The check of a line whose one train set runs 10,000 trains of one step each (a departure
// without a further call): every train of the line is looked up by its number in that set, so a
// lookup that walks the set's timetable makes the check quadratic in the trains of the set.
#include <benchmark/benchmark.h>

#include <memory>

#include "UrwBenchBoard.h"
#include "engine/UrwBrdData.h"
#include "foundation/UrwUiHost.h"
#include "timetable/UrwLineCheck.h"

namespace ramvel {
namespace {

constexpr int32_t A = bench::kLineA;

// The two-station line with its one train set at A/1, whose trains leave A every 8 seconds
// from 04:10, each numbered 5000 + its index.
std::unique_ptr<TBrdData> MakeOneSetBoard(int32_t trains) {
  TCarObj* car = nullptr;
  std::unique_ptr<TBrdData> brd = bench::MakeTwoStationLine(car);
  const int32_t no = car->Id;
  for (int32_t i = 0; i < trains; ++i) {
    const int32_t t = 600 + 8 * i;
    const std::string trNo = IntText(5000 + i);
    car->TmTbl.Add(TTmTbl{trNo + ",普通", t, t, MakeEntCode(A, 1, 1)});
    brd->TrainReg(no, trNo);
  }
  return brd;
}

void BM_CheckOneSetOfManyTrains(benchmark::State& state) {
  TScriptedHost host;
  TUiHostScope scope(host);
  const auto trains = static_cast<int32_t>(state.range(0));
  size_t problems = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TBrdData> brd = MakeOneSetBoard(trains);
    state.ResumeTiming();
    const std::vector<std::string> found = CheckLineProblems(*brd);
    problems = found.size();
    benchmark::DoNotOptimize(found);
    state.PauseTiming();
    brd.reset();
    host.Events.clear();
    state.ResumeTiming();
  }
  state.counters["problems"] = static_cast<double>(problems);
  state.SetComplexityN(trains);
}
BENCHMARK(BM_CheckOneSetOfManyTrains)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramvel
