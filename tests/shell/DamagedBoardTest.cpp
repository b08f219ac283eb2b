// Damaged boards opened through the main window: a failed open leaves no board behind (title,
// Save, folder), what was left out is told once, and drawing, resizing and the clock never open
// a box.
#include <QLabel>
#include <filesystem>

#include "ShellFixture.h"

namespace ramvel {
namespace {

using test::ReadBytes;
using test::ShellTest;
using test::WriteBytes;

// Makes station B of a board made by MakeBoard unreadable; rails and train sets still lead there.
void DamageStationB(const std::string& folder) {
  std::string b = ReadBytes(folder + "/station/B.txt");
  b.replace(b.find("RAIL_CNT="), 9, "RAIL_CNT=x");
  WriteBytes(folder + "/station/B.txt", b);
}

TEST_F(ShellTest, AFailedOpenAfterAGoodOneLeavesNoBoard) {
  test::MakeBoard(base_.Path(), "GOOD");
  test::MakeBoard(base_.Path(), "BAD");
  std::string rail = ReadBytes(Base() + "BAD/rail/1002.txt");
  rail.replace(rail.find("LENGTH="), 7, "LENGTH=x");
  WriteBytes(Base() + "BAD/rail/1002.txt", rail);
  WriteBytes(Base() + "latest.txt", "GOOD\r\nBAD\r\n");
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  ASSERT_EQ(m.windowTitle().toStdString(), "Ramvel - GOOD");
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kRecent, 1));  // BAD
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel");
  EXPECT_TRUE(m.Edit.Brd.BrdName.empty());
  EXPECT_TRUE(m.Edit.View.BrdPath.empty());
  EXPECT_TRUE(m.Edit.Brd.Stas.empty());
  EXPECT_FALSE(m.MnuSave->isEnabled());
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Text, "rail/1002.txt: LENGTH が数値ではありません");
}

TEST_F(ShellTest, ABoardWithoutItsTerrainLeavesNoBoard) {
  test::MakeBoard(base_.Path(), "GOOD");
  test::MakeBoard(base_.Path(), "NOLAND");
  std::filesystem::remove(Base() + "NOLAND/Land.bmp");
  WriteBytes(Base() + "latest.txt", "GOOD\r\nNOLAND\r\n");
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kRecent, 1));
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel");
  EXPECT_TRUE(m.Edit.Brd.BrdName.empty() && m.Edit.Brd.Stas.empty());
  EXPECT_TRUE(m.Edit.View.BrdPath.empty());
  EXPECT_FALSE(m.MnuSave->isEnabled());
}

TEST_F(ShellTest, ALeftOutStationIsToldOnceAndNeverFromDrawingResizingOrTheClock) {
  test::MakeBoard(base_.Path(), "S");
  DamageStationB(Base() + "S");
  const std::string bFile = ReadBytes(Base() + "S/station/B.txt");
  WriteBytes(Base() + "latest.txt", "S\r\n");
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  ASSERT_EQ(host_.Events.size(), 1u);  // one box with everything that was left out
  EXPECT_EQ(host_.Events[0].Caption, "お知らせ");
  const std::string& text = host_.Events[0].Text;
  EXPECT_EQ(text.rfind("B駅のデータ読み込みに失敗、データを除外します\n", 0), 0u) << text;
  EXPECT_NE(text.find("レール#1002 の端 1 の 1 番 → 駅 ID 2001"), std::string::npos) << text;
  // Drawing, scrolling, resizing and running the clock look for B again and again.
  m.Redraw(true);
  m.BtnMukiClick(21);
  SetBoardArea(640, 480);
  m.Edit.View.CurTime = test::At(6, 1);
  for (int i = 0; i < 5; ++i) m.BtnStepClick();
  EXPECT_EQ(host_.Events.size(), 1u);
  EXPECT_FALSE(m.SBarPanel[1]->text().isEmpty());  // what went wrong shows in the status bar
  // The board stays usable, and saving it keeps B listed and its file as it was.
  m.MnuSaveClick();
  EXPECT_NE(ReadBytes(Base() + "S/Board.txt").find("STA2=B\r\n"), std::string::npos);
  EXPECT_EQ(ReadBytes(Base() + "S/station/B.txt"), bFile);
}

}  // namespace
}  // namespace ramvel
