// The diagram editor's 繰り返し作成: a round trip repeated every 10 minutes from 05:00 to 22:00
// (102 copies) on a line made in code, each copy checked section by section; and a repeat after
// the last train of a busy train set on the sample board's 本線, where the other trains' occupancy
// is rebuilt first and every copy is checked against it.
#include <benchmark/benchmark.h>

#include <memory>

#include "UrwBenchBoard.h"
#include "engine/UrwBrdData.h"
#include "foundation/UrwUiHost.h"
#include "timetable/UrwDiaBulk.h"

namespace ramvel {
namespace {

constexpr int32_t A = bench::kLineA, B = bench::kLineB;
constexpr int32_t k0500 = 3600, k2200 = 18 * 3600;

// The two-station line with its one train set at A/1 running A -> B at 05:00 and back at
// 05:04 (a stop-to-stop section takes 177 s).
std::unique_ptr<TBrdData> MakeBoard() {
  TCarObj* car = nullptr;
  std::unique_ptr<TBrdData> brd = bench::MakeTwoStationLine(car);
  const int32_t no = car->Id;
  for (const TTmTbl& s : {TTmTbl{"101,普通", k0500, k0500, MakeEntCode(A, 1, 1)},
                          TTmTbl{"", k0500 + 177, -1, MakeEntCode(B, 1, 1)},
                          TTmTbl{"102,普通", k0500 + 240, k0500 + 240, MakeEntCode(B, 1, 0)},
                          TTmTbl{"", k0500 + 417, -1, MakeEntCode(A, 1, 0)}}) {
    car->TmTbl.Add(s);
  }
  brd->TrainReg(no, "101");
  brd->TrainReg(no, "102");
  return brd;
}

void BM_RepeatRoundTripEvery10Min(benchmark::State& state) {
  TScriptedHost host;
  TUiHostScope scope(host);
  int32_t copies = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TBrdData> brd = MakeBoard();
    state.ResumeTiming();
    const TBulkResult r = RepeatTrains(*brd, {1, 2, 10, k2200, 2});
    copies = r.Copies;
    benchmark::DoNotOptimize(r);
    state.PauseTiming();
    brd.reset();
    state.ResumeTiming();
  }
  state.counters["copies"] = copies;
}
BENCHMARK(BM_RepeatRoundTripEvery10Min)->Unit(benchmark::kMillisecond);

void BM_RepeatOnSampleMainLine(benchmark::State& state) {
  TScriptedHost host;
  TUiHostScope scope(host);
  const std::string boards = std::string(RAMVEL_SOURCE_DIR) + "/data/boards";
  int32_t copies = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TBrdData brd;
    if (!brd.LoadBrd(boards, "Sample").ok() || !brd.SetLine("本線").ok() ||
        !brd.LoadLine(boards + "/Sample/").ok()) {
      state.SkipWithError("the sample board cannot be read");
      return;
    }
    brd.MakeLineBlk();
    state.ResumeTiming();
    // Train set 11's last two trains make a round trip; hourly copies until 27:00.
    const TBulkResult r = RepeatTrains(brd, {11, 2, 60, kDayEnd, 1000});
    copies = r.Copies;
    benchmark::DoNotOptimize(r);
  }
  state.counters["copies"] = copies;
}
BENCHMARK(BM_RepeatOnSampleMainLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramvel
