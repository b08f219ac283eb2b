// The shipped sample board opened from the menu's recent list: its train sets run at every speed
// and zoom without a train set that cannot be located.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <filesystem>

#include "ShellFixture.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

class SampleRun : public ShellTest {
 protected:
  TFrmMain& OpenSample() {
    fs::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", base_ / "Sample",
             fs::copy_options::recursive);
    WriteBytes(Base() + "latest.txt", "Sample\r\n");
    TFrmMain& m = Main(800, 600);
    m.WallClock = [] { return std::pair<int, int>{7, 45}; };
    EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
    return m;
  }

  // Located train sets, failing on any that cannot be located.
  static int Located(const TFrmMain& m) {
    int n = 0;
    for (const auto& [key, car] : m.Edit.Brd.Cars) {
      EXPECT_NE(car->LocState, kLocError) << "train set " << key;
      n += car->LocState == kLocStand || car->LocState == kLocRun;
    }
    return n;
  }
};

TEST_F(SampleRun, TrainsRunAtEverySpeedAndZoom) {
  TFrmMain& m = OpenSample();
  ASSERT_EQ(m.Edit.Brd.BrdName, "Sample");
  EXPECT_GE(m.Edit.Brd.Cars.size(), 12u);
  for (int zoom = 0; zoom < m.CbxScale->count(); ++zoom) {
    m.CbxScale->setCurrentIndex(zoom);
    for (int speed = 0; speed < m.CbxIntv->count(); ++speed) {
      m.CbxIntv->setCurrentIndex(speed);
      m.RunClock(true);
      const int32_t before = m.Edit.View.CurTime;
      for (int tick = 0; tick < 3; ++tick) m.TimerTimer();
      m.RunClock(false);
      EXPECT_GT(m.Edit.View.CurTime, before) << "zoom " << zoom << " speed " << speed;
      EXPECT_EQ(m.SBarPanel[1]->text().indexOf("ERR"), -1) << m.SBarPanel[1]->text().toStdString();
    }
  }
  // The whole terrain at the coarsest zoom shows every train set that is running or standing.
  m.CbxScale->setCurrentIndex(m.CbxScale->count() - 1);
  EXPECT_EQ(Located(m), static_cast<int>(m.Edit.Brd.Cars.size()));
  EXPECT_TRUE(Shown().empty());
}

}  // namespace
}  // namespace ramvel::test
