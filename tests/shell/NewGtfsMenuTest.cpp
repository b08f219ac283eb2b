// GTFSから新規作成 of the main window: the feed, the route and the day asked through the dialog
// host, the board made, opened and reported; a bad day or a feed without rail routes refused.
#include <gtest/gtest.h>

#include <QAction>
#include <filesystem>

#include "GtfsTestFeed.h"
#include "ShellFixture.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

class NewGtfsMenu : public ShellTest {};

TEST_F(NewGtfsMenu, MakesOpensAndReportsTheBoard) {
  WriteGtfsZip(Base() + "feed.zip", ScenarioFeed());
  TGtfsFiles buses = ScenarioFeed();
  buses["routes.txt"] = "route_id,route_long_name,route_type\r\nR1,港線,3\r\n";
  WriteGtfsZip(Base() + "buses.zip", buses);
  TFrmMain& m = Main(640, 480);
  m.DataDir = std::string(RAMVEL_SOURCE_DIR) + "/data/";
  host_.FileAnswers = {Base() + "buses.zip"};
  m.MnuNewGtfs->trigger();
  ASSERT_FALSE(host_.Events.empty());
  EXPECT_EQ(host_.Events.back().Caption, "エラー");
  EXPECT_NE(host_.Events.back().Text.find("鉄道の路線がありません"), std::string::npos);
  host_.FileAnswers = {Base() + "feed.zip"};
  host_.SelectAnswers = {"港線（R1）"};
  host_.InputAnswers = {"2026-01-05"};
  m.MnuNewGtfs->trigger();
  EXPECT_EQ(host_.Events.back().Caption, "エラー");
  EXPECT_NE(host_.Events.back().Text.find("2026-01-05"), std::string::npos);
  EXPECT_TRUE(m.Edit.Brd.BrdName.empty());
  // The route list offers the rail route only; an empty day takes the busiest one.
  host_.FileAnswers = {Base() + "feed.zip"};
  host_.SelectAnswers = {"港線（R1）"};
  host_.InputAnswers = {"", "Minato"};
  m.MnuNewGtfs->trigger();
  ASSERT_EQ(host_.Events.back().Caption, "お知らせ") << host_.Events.back().Text;
  const std::string& report = host_.Events.back().Text;
  EXPECT_NE(report.find("GTFS 路線 R1（港線）: 20260105 に走る便 5 本"), std::string::npos)
      << report;
  EXPECT_NE(report.find("時刻どおり 5本"), std::string::npos) << report;
  bool offered = false;
  for (const auto& e : host_.Events) offered |= e.Kind == "select" && e.Text == "港線（R1）";
  EXPECT_TRUE(offered);
  EXPECT_EQ(m.Edit.Brd.BrdName, "Minato");
  EXPECT_EQ(m.Edit.Brd.Stas.size(), 3u);
  EXPECT_EQ(m.Edit.Brd.TrainNos.size(), 5u);
  EXPECT_TRUE(fs::exists(Base() + "Minato/line"));
  EXPECT_EQ(host_.Unanswered, 0);
}

}  // namespace
}  // namespace ramvel::test
