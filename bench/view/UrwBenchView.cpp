// Benchmarks of the board view's picture on Qt's offscreen platform: the frame of a clock tick and
// the full redraw after a scroll, drawn by the board view itself (TBrdEdit) on a synthetic board
// of 200 stations, about 400 rails and 1000 running train sets, at 1920 x 1080 with labels on.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <map>

#include "UrwBenchBoard.h"
#include "view/UrwBrdEditor.h"

namespace ramvel::bench {
namespace {

namespace fs = std::filesystem;
constexpr int32_t k0800 = 4 * 3600;
constexpr int kWidth = 1920, kHeight = 1080;

// A terrain under the whole synthetic board (1 pixel = one grid cell) with a coast along the
// bottom and a bay, so that the sea is painted too.
QImage SynthTerrain() {
  QImage land(480, 110, QImage::Format_RGB32);
  land.fill(QColor(255, 255, 255));
  for (int y = 0; y < land.height(); ++y) {
    for (int x = 0; x < land.width(); ++x) {
      const bool coast = y >= 95, bay = x > 200 && x < 260 && y >= 85;
      if (coast || bay) land.setPixel(x, y, qRgb(0, 0, 255));
    }
  }
  return land;
}

// The board saved once into a temporary folder with its terrain, and opened by a board view.
class TViewFixture {
 public:
  TViewFixture() {
    base_ =
        (fs::temp_directory_path() / ("ramvel-bench-view-" + std::to_string(::getpid()))).string();
    fs::create_directories(base_ + "/B");
    {
      TBrdData brd;
      MakeSynthBoard(brd, {200, 1000, 2});
      if (!brd.SaveBrd(base_ + "/B", false).ok()) std::abort();
    }
    if (!SynthTerrain().save(QString::fromStdString(base_ + "/B/Land.bmp"), "BMP")) std::abort();
    Edit.InitView(kHeight, kWidth);
    if (!Edit.LoadBoard(base_, "B").ok()) std::abort();
    Edit.View.DesignMode = false;
    Edit.View.CurTime = k0800;
    Edit.View.ShowTrNo = 1;
  }
  ~TViewFixture() {
    std::error_code ec;
    fs::remove_all(base_, ec);
  }

  // The view at mperp metres per pixel with its top left corner at (x, y) metres, recomputed
  // and every train set located at 08:00.
  void Show(int32_t mperp, int32_t x, int32_t y) {
    Edit.Brd.SCR_MPERP = mperp;
    Edit.Brd.SCR_XLEFT = x;
    Edit.Brd.SCR_YTOP = y;
    Edit.View.SyncScaleIdx();
    Edit.DrawBoard(nullptr, true);
  }

  // The station where most timetable steps stop or pass.
  const TStaObj& BusiestStation() {
    std::map<int32_t, int32_t> steps;
    for (const auto& [key, car] : Edit.Brd.Cars) {
      for (const TTmTbl& s : car->TmTbl.Items()) ++steps[SplitEntCode(s.Loc).Id];
    }
    int32_t best = 0, most = -1;
    for (const auto& [id, n] : steps) {
      if (n > most) best = id, most = n;
    }
    return *Edit.Brd.FindSta(best, "");
  }

  TBrdEdit Edit;

 private:
  std::string base_;
};

TViewFixture& Fixture() {
  static TViewFixture fixture;
  return fixture;
}

// range(0): metres per pixel. 27 shows the whole board; 1 shows the busiest station.
void ShowAt(benchmark::State& state) {
  TViewFixture& f = Fixture();
  const auto mperp = static_cast<int32_t>(state.range(0));
  if (mperp == 1) {
    const TPoint c = f.BusiestStation().EndPos[0];
    f.Show(1, c.x - kWidth / 2, c.y - kHeight / 2);
  } else {
    f.Show(mperp, -500, -500);
  }
}

// With RAMVEL_BENCH_PNG set to a folder, the frame of each benchmark is saved there to be looked
// at.
void SaveFrame(benchmark::State& state, const char* what) {
  const QByteArray dir = qgetenv("RAMVEL_BENCH_PNG");
  if (dir.isEmpty()) return;
  const QString file = QString("%1/%2-%3.png").arg(QString(dir), what).arg(state.range(0));
  Fixture().Edit.FrameBmp.save(file, "PNG");
}

void CountDrawn(benchmark::State& state) {
  int running = 0, standing = 0;
  for (const auto& [key, car] : Fixture().Edit.Brd.Cars) {
    running += car->LocState == kLocRun;
    standing += car->LocState == kLocStand;
  }
  state.counters["running"] = running;
  state.counters["standing"] = standing;
}

// One frame of the running clock: the layer of the last recompute with every train set and its
// label painted over it, copied to the window as the board area's paint does.
void BM_DrawFrame(benchmark::State& state) {
  ShowAt(state);
  TBrdEdit& ed = Fixture().Edit;
  QImage window(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    ed.DrawBoard(nullptr, false);
    QPainter p(&window);
    p.drawImage(0, 0, ed.FrameBmp);
  }
  SaveFrame(state, "frame");
  CountDrawn(state);
}
BENCHMARK(BM_DrawFrame)->Arg(27)->Arg(1)->Unit(benchmark::kMillisecond);

// The full redraw after a scroll or a zoom: the view recomputed, the layer (terrain, stations,
// rails) repainted, every train set located afresh, and the frame composed and copied.
void BM_DrawFrameFull(benchmark::State& state) {
  ShowAt(state);
  TBrdEdit& ed = Fixture().Edit;
  QImage window(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    ed.DrawBoard(nullptr, true);
    QPainter p(&window);
    p.drawImage(0, 0, ed.FrameBmp);
  }
  CountDrawn(state);
}
BENCHMARK(BM_DrawFrameFull)->Arg(27)->Arg(1)->Unit(benchmark::kMillisecond);

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
