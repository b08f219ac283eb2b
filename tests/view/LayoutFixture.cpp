// The fixture of the layout editing tests.
#include "LayoutFixture.h"

#include <cstdlib>
#include <filesystem>

#include "NetBuilder.h"
#include "StaBuilder.h"

namespace ramvel::test {

namespace fs = std::filesystem;

void LayoutTest::SetUp() {
  EnsureApp();
  folder_ = dir_ / "T";
  for (const char* sub : {"station", "rail", "car", "line"})
    fs::create_directories(folder_ + "/" + sub);
  land_ = LandGrid(100, 50);
  for (int32_t j = 0; j < 50; ++j) {
    for (int32_t i = 85; i < 100; ++i) land_.Rgb[static_cast<size_t>(j * 100 + i)] = kRgbSeaDot;
  }
  ASSERT_TRUE(LandImage(land_).save(QString::fromStdString(folder_ + "/Land.bmp"), "BMP"));
  WriteSta(TwoPlatformStation(1001, "A"));
  WriteSta(TwoPlatformStation(2001, "B"));
  WriteSta(PassingLoopStation(3001, "C"));
  TStaObj e = TwoPlatformStation(5001, "E");
  e.IsErr = true;
  WriteSta(e);
  ed_.InitView(300, 600);
  ASSERT_TRUE(ed_.View.SetLand(land_).ok());
  ed_.Brd.BrdName = fs::path(folder_).filename().string();
  ed_.View.BrdPath = folder_ + "/";
  ed_.EndEdit();
  Redraw();
}

void LayoutTest::WriteSta(const TStaObj& sta) {
  TStaObj copy = sta;
  ASSERT_TRUE(copy.SaveSta(folder_ + "/station").ok());
}

bool LayoutTest::StartSta(const std::string& name) {
  host_.SelectAnswers.push_back(name);
  const bool ok = ed_.Layout.StartStaAdd();
  if (ok) Redraw();
  return ok;
}

void LayoutTest::Move(int32_t i, int32_t j) { ed_.MouseEvent(kMouseMove, 6 * i, 6 * j); }

bool LayoutTest::Left(int32_t i, int32_t j) {
  const bool changed = ed_.MouseEvent(kMouseLeftUp, 6 * i, 6 * j);
  if (changed) Redraw();
  return changed;
}

bool LayoutTest::Right(int32_t i, int32_t j) {
  const bool changed = ed_.MouseEvent(kMouseOtherUp, 6 * i, 6 * j);
  if (changed) Redraw();
  return changed;
}

void LayoutTest::Redraw() { ed_.DrawBoard(nullptr, true); }

void LayoutTest::Shot(const std::string& name) {
  const char* dir = std::getenv("RAMVEL_SHOT_DIR");
  if (dir == nullptr) return;
  ed_.DrawBoard(nullptr, false);
  ed_.FrameBmp.save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

uint32_t LayoutTest::BandColour() {
  ed_.DrawBoard(nullptr, false);
  const QImage& f = ed_.FrameBmp;
  const int ok = CountPx(f, 0, 0, f.width() - 1, f.height() - 1, kClrBandOk);
  const int bad = CountPx(f, 0, 0, f.width() - 1, f.height() - 1, kClrBandBad);
  if (ok > 0 && bad == 0) return kClrBandOk;
  if (bad > 0 && ok == 0) return kClrBandBad;
  return 0;
}

}  // namespace ramvel::test
