// The main window's timetables: ファイル › ダイヤ makes a timetable (a copy of the running one),
// renames and deletes it, the ダイヤ choice switches what runs, and the save puts each timetable
// in its own folder.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <filesystem>

#include "ShellFixture.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

class DiaChoice : public ShellTest {
 protected:
  TFrmMain& Open() {
    MakeBoard(base_.Path(), "AB");
    WriteBytes(Base() + "latest.txt", "AB\r\n");
    TFrmMain& m = Main();
    EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
    return m;
  }
  std::vector<std::string> Items(const QComboBox* c) const {
    std::vector<std::string> out;
    for (int i = 0; i < c->count(); ++i) out.push_back(c->itemText(i).toStdString());
    return out;
  }
};

TEST_F(DiaChoice, ATimetableIsMadeSwitchedRenamedSavedAndDeleted) {
  TFrmMain& m = Open();
  EXPECT_TRUE(m.GbxDia->isVisibleTo(&m));
  EXPECT_EQ(Items(m.CbxDia), (std::vector<std::string>{"ダイヤ"}));
  EXPECT_FALSE(m.MnuDiaDel->isEnabled());  // the board's own cannot go
  // 新規: a copy of the running timetable, which then runs.
  host_.InputAnswers.push_back(std::string(" 土休日 "));
  host_.YesNoAnswers.push_back(true);
  m.MnuDiaNew->trigger();
  EXPECT_EQ(Items(m.CbxDia), (std::vector<std::string>{"ダイヤ", "土休日"}));
  EXPECT_EQ(m.CbxDia->currentIndex(), 1);
  EXPECT_EQ(m.Edit.Brd.Cars.size(), 1u);
  EXPECT_TRUE(m.MnuDiaDel->isEnabled());
  // A name taken is refused with a message; nothing changes.
  host_.InputAnswers.push_back(std::string("ダイヤ"));
  m.MnuDiaRename->trigger();
  EXPECT_EQ(host_.Events.back().Caption, "エラー");
  EXPECT_NE(host_.Events.back().Text.find("すでにあります"), std::string::npos);
  host_.InputAnswers.push_back(std::string("休日"));
  m.MnuDiaRename->trigger();
  EXPECT_EQ(Items(m.CbxDia), (std::vector<std::string>{"ダイヤ", "休日"}));
  // The choice runs the board's own again; the save writes both.
  m.CbxDia->setCurrentIndex(0);
  emit m.CbxDia->activated(0);
  EXPECT_EQ(m.Edit.Brd.ActiveDia, 0u);
  ASSERT_TRUE(m.SaveCurBrd(false));
  EXPECT_EQ(ReadBytes(Base() + "AB/dia/休日/car/1.txt"), ReadBytes(Base() + "AB/car/1.txt"));
  // 削除 of the chosen one, after the question.
  emit m.CbxDia->activated(1);
  host_.YesNoAnswers.push_back(true);
  m.MnuDiaDel->trigger();
  EXPECT_EQ(Items(m.CbxDia), (std::vector<std::string>{"ダイヤ"}));
  ASSERT_TRUE(m.SaveCurBrd(false));
  EXPECT_FALSE(fs::exists(Base() + "AB/dia"));
  EXPECT_EQ(m.Edit.Brd.Cars.size(), 1u);
}

}  // namespace
}  // namespace ramvel::test
