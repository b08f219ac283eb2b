// Benchmarks of the time-space diagram and platform chart on the sample board: building the
// model of a line (occupancy rebuilt) and drawing it for the whole day at 1600 x 900.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "engine/UrwBrdData.h"
#include "timetable/UrwDiaChart.h"
#include "timetable/UrwStaChart.h"
#include "view/UrwChartDraw.h"

namespace ramvel::bench {
namespace {

const std::string kBoards = std::string(RAMVEL_SOURCE_DIR) + "/data/boards";

bool LoadMainLine(TBrdData& brd) {
  return brd.LoadBrd(kBoards, "Sample").ok() && brd.SetLine("本線").ok() &&
         brd.LoadLine(kBoards + "/Sample").ok();
}

void BM_MakeLineDiagram(benchmark::State& state) {
  TBrdData brd;
  if (!LoadMainLine(brd)) return state.SkipWithError("the sample board cannot be read");
  size_t trains = 0;
  for (auto _ : state) trains = MakeLineDiagram(brd).Trains.size();
  state.counters["trains"] = static_cast<double>(trains);
}
BENCHMARK(BM_MakeLineDiagram)->Unit(benchmark::kMillisecond);

void BM_DrawLineDiagram(benchmark::State& state) {
  TBrdData brd;
  if (!LoadMainLine(brd)) return state.SkipWithError("the sample board cannot be read");
  const TLineDiagram dia = MakeLineDiagram(brd);
  const QSize size(1600, 900);
  QImage img(size, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&img);
    DrawLineDiagram(p, size, dia, TDiaDrawOpts{});
  }
  state.counters["trains"] = static_cast<double>(dia.Trains.size());
}
BENCHMARK(BM_DrawLineDiagram)->Unit(benchmark::kMillisecond);

void BM_DrawStaChart(benchmark::State& state) {
  TBrdData brd;
  if (!LoadMainLine(brd)) return state.SkipWithError("the sample board cannot be read");
  MakeLineDiagram(brd);
  const TStaChart chart = MakeStaChart(brd, *brd.FindSta(7001, ""));
  const QSize size(1600, 300);
  QImage img(size, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&img);
    DrawStaChart(p, size, chart, TChartSpan{});
  }
}
BENCHMARK(BM_DrawStaChart)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramvel::bench

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
