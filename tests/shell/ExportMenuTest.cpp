// The export commands on the sample board: GTFSとして書き出し and 画像として保存 of the main
// window, and CSVとして書き出し of the diagram editor, through the scripted dialog host.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <filesystem>

#include "DiaScript.h"
#include "GtfsTestFeed.h"
#include "ShellFixture.h"
#include "windows/timetable/UrwDiaEditorForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

std::string PngDir() {
  const std::string dir = std::string(RAMVEL_BINARY_DIR) + "/export_png";
  fs::create_directories(dir);
  return dir + "/";
}

class ExportMenu : public ShellTest {
 protected:
  TFrmMain& OpenSample() {
    fs::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", base_ / "Sample",
             fs::copy_options::recursive);
    WriteBytes(Base() + "latest.txt", "Sample\r\n");
    TFrmMain& m = Main(640, 480);
    EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
    host_.Events.clear();
    return m;
  }
  const TScriptedHost::TEvent& Last() const { return host_.Events.back(); }
};

TEST_F(ExportMenu, GtfsAsksFileOriginStartAndDaysThenWritesTheFeed) {
  TFrmMain& m = OpenSample();
  ASSERT_TRUE(m.MnuGtfs->isEnabled());
  // A bad origin is refused by name and writes nothing.
  host_.FileAnswers = {base_ / "feed"};
  host_.InputAnswers = {"35.5;139.5"};
  m.MnuGtfs->trigger();
  EXPECT_EQ(Last().Caption, "エラー");
  EXPECT_NE(Last().Text.find("35.5;139.5"), std::string::npos) << Last().Text;
  EXPECT_FALSE(fs::exists(base_ / "feed.zip"));
  // Days that are not seven 0/1 digits are refused by name and write nothing.
  host_.FileAnswers = {base_ / "feed"};
  host_.InputAnswers = {"35.5,139.5", "20260401", "11111"};
  m.MnuGtfs->trigger();
  EXPECT_EQ(Last().Caption, "エラー");
  EXPECT_NE(Last().Text.find("運行日 11111"), std::string::npos) << Last().Text;
  EXPECT_FALSE(fs::exists(base_ / "feed.zip"));
  // The origin, the first day and the days of the board's one timetable, ダイヤ (full-width
  // digits taken); the name gets its .zip.
  host_.FileAnswers = {base_ / "feed"};
  host_.InputAnswers = {"35.5,139.5", "２０２６０４０１", "1111111H"};
  m.MnuGtfs->trigger();
  ASSERT_EQ(Last().Caption, "お知らせ") << Last().Text;
  EXPECT_NE(Last().Text.find("ダイヤ 1、便 542"), std::string::npos) << Last().Text;
  const TGtfsFiles feed = ReadGtfsZip(base_ / "feed.zip");
  ASSERT_EQ(feed.count("calendar.txt"), 1u);
  EXPECT_NE(feed.at("calendar.txt").find("ダイヤ,1,1,1,1,1,1,1,20260401,20270331"),
            std::string::npos)
      << feed.at("calendar.txt");
  EXPECT_EQ(feed.count("calendar_dates.txt"), 0u);  // runs every day, holidays too
  host_.Events.clear();
  host_.FileAnswers = {std::nullopt};
  m.MnuGtfs->trigger();  // cancelled at the file: nothing else asked
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Kind, "save");
  EXPECT_EQ(host_.Unanswered, 0);
}

TEST_F(ExportMenu, ImageOfTheViewAndOfTheWholeBoard) {
  TFrmMain& m = OpenSample();
  const int32_t x = m.Edit.Brd.SCR_XLEFT, y = m.Edit.Brd.SCR_YTOP, z = m.Edit.Brd.SCR_MPERP;
  const QImage shown = m.Edit.FrameBmp;
  host_.SelectAnswers = {"表示中の範囲"};
  host_.FileAnswers = {PngDir() + "view"};
  m.MnuImage->trigger();
  ASSERT_EQ(Last().Caption, "お知らせ") << Last().Text;
  const QImage view(QString::fromStdString(PngDir() + "view.png"));
  EXPECT_EQ(view.size(), shown.size());
  // The sample's terrain is 170 x 195 pixels of 108 m: 340 x 390 pixels at 54 m per pixel.
  host_.SelectAnswers = {"ボード全体", "54 m/ピクセル（340×390）"};
  host_.FileAnswers = {PngDir() + "whole.png"};
  m.MnuImage->trigger();
  ASSERT_EQ(Last().Caption, "お知らせ") << Last().Text;
  const QImage whole(QString::fromStdString(PngDir() + "whole.png"));
  EXPECT_EQ(whole.size(), QSize(340, 390));
  // The view is back where it was and shows what it showed.
  EXPECT_EQ(m.Edit.Brd.SCR_XLEFT, x);
  EXPECT_EQ(m.Edit.Brd.SCR_YTOP, y);
  EXPECT_EQ(m.Edit.Brd.SCR_MPERP, z);
  EXPECT_EQ(m.Edit.FrameBmp, shown);
  EXPECT_EQ(host_.Unanswered, 0);
}

TEST_F(ExportMenu, DiagramGridAsTheCommandLinesCsv) {
  fs::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", base_ / "Sample",
           fs::copy_options::recursive);
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "Sample").ok());
  ASSERT_TRUE(brd.SetLine("本線").ok());
  ASSERT_TRUE(brd.LoadLine(base_ / "Sample/").ok());
  TScriptedDiaDialogs dlg;
  TFrmDiaEditor w(&dlg, nullptr);
  w.resize(1000, 600);
  w.show();
  w.OpenDia(brd);
  w.grab().save(QString::fromStdString(PngDir() + "dia_editor_menu.png"));
  host_.FileAnswers = {base_ / "main"};
  w.MnuCsv->trigger();
  ASSERT_EQ(host_.Events.back().Caption, "お知らせ") << host_.Events.back().Text;
  const std::string csv = ReadBytes(base_ / "main.csv");
  const TProgramRun cli =
      RunProgram(RAMVEL_CLI, {"timetable", base_ / "Sample", "本線", "--csv"}, base_.Path());
  ASSERT_EQ(cli.Exit, 0) << cli.Err;
  EXPECT_EQ(csv, "\xEF\xBB\xBF" + cli.Out);
  // car/7.txt: train 1 leaves 中央 platform 3 at 5:05, passes 川辺 (3) at 5:07.08 and 浜田 (2)
  // at 5:08.35, and arrives at 港 platform 1 at 5:10.42.
  EXPECT_NE(csv.find("\r\n1,特急 しおかぜ,505.00#3,507.08=#3,508.35=#2,510.42/#1\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace ramvel::test
