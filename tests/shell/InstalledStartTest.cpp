// An installed program (pieces and help in the share folder, boards in the user's folder) and
// boards opened from a folder named on the command line.
#include <QDialog>
#include <QLabel>
#include <filesystem>

#include "ShellFixture.h"
#include "StaClicks.h"
#include "shell/UrwAbout.h"
#include "windows/station_designer/UrwStaEditorForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class InstalledStart : public ShellTest {
 protected:
  void SetUp() override {
    CopyPieces(share_.Path());
    WriteBytes(share_ / "help/top.html", "<html></html>");
    MakeBoard(base_.Path(), "B");
    WriteBytes(Base() + "latest.txt", "B\r\n");
  }
  TFrmMain& MainInstalled() {
    TFrmMain& m = Main();
    m.DataDir = share_.Path() + "/";
    return m;
  }
  TTempDir share_;
};

TEST_F(InstalledStart, PiecesAndHelpComeFromTheShareFolder) {
  ASSERT_FALSE(fs::exists(Base() + "rw_panel.txt"));
  TFrmMain& m = MainInstalled();
  std::string opened;
  m.OpenDocument = [&opened](const std::string& p) {
    opened = p;
    return true;
  };
  m.H1->trigger();
  EXPECT_EQ(opened, share_.Path() + "/help/top.html");

  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.SetMode(true);
  bool shown = false;
  OnModal([&](QWidget* w) {
    shown = qobject_cast<TFrmStaEditor*>(w) != nullptr;
    static_cast<QDialog*>(w)->reject();
  });
  m.MnuStaEdit->trigger();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Shown().empty()) << Shown().front();
}

TEST_F(ShellTest, ABoardOutsideTheProgramFolderIsOpenedAndSavedWhereItIs) {
  TTempDir elsewhere;
  MakeBoard(elsewhere.Path(), "Away");
  WriteBytes(Base() + "latest.txt", "Old\r\n");
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrdFolder(elsewhere / "Away"));
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel - Away");
  EXPECT_NE(m.Edit.Brd.FindSta(1001, ""), nullptr);
  m.Edit.Brd.ID_RAIL = 9;
  m.Edit.Brd.Modified = true;
  ASSERT_TRUE(m.SaveCurBrd(false));
  EXPECT_NE(ReadBytes(elsewhere / "Away/Board.txt").find("ID_RAIL=9\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(Base() + "Away"));
  // The recent list names boards of the program folder only.
  EXPECT_EQ(m.RecentBrds, Names{"Old"});
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ShellTest, ABoardOfTheProgramFolderGivenByPathJoinsTheRecentList) {
  MakeBoard(base_.Path(), "Here");
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrdFolder(Base() + "Here/"));
  EXPECT_EQ(m.Edit.Brd.BrdName, "Here");
  EXPECT_EQ(m.RecentBrds, Names{"Here"});
}

TEST_F(ShellTest, APathThatIsNoBoardIsToldAndNothingIsOpen) {
  TTempDir elsewhere;
  WriteBytes(elsewhere / "NotABoard/memo.txt", "");
  TFrmMain& m = Main();
  for (const std::string& path : {elsewhere / "NotABoard", elsewhere / "Missing"}) {
    host_.Events.clear();
    EXPECT_FALSE(m.OpenBrdFolder(path));
    ASSERT_EQ(host_.Events.size(), 1u) << path;
    EXPECT_EQ(host_.Events[0].Caption, "エラー");
    EXPECT_NE(host_.Events[0].Text.find(path), std::string::npos);
    EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel");
    EXPECT_TRUE(m.Edit.Brd.BrdName.empty());
    EXPECT_FALSE(m.MnuSave->isEnabled());
  }
}

// The drawing's own coordinates on a 256 px tile: the rail spans x 14..242 at y 182..190 in
// #4a4f57, and the tile's rounded corner leaves (2, 2) bare.
TEST(ProgramIconTest, TheBuiltInDrawingIsATrainOnItsRail) {
  App();
  const QImage icon = ProgramIconImage(256).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(icon.size(), QSize(256, 256));
  EXPECT_EQ(icon.pixel(128, 186), qRgb(0x4a, 0x4f, 0x57));
  EXPECT_EQ(qAlpha(icon.pixel(2, 2)), 0);
  // Half the size draws the same at half the coordinates.
  EXPECT_EQ(ProgramIconImage(128).convertToFormat(QImage::Format_ARGB32).pixel(64, 93),
            qRgb(0x4a, 0x4f, 0x57));
  TFrmAbout about;
  ASSERT_FALSE(about.ImgIcon->pixmap().isNull());
  EXPECT_EQ(about.ImgIcon->pixmap().size(), QSize(64, 64));
  about.adjustSize();
  about.grab().save(QStringLiteral(RAMVEL_BINARY_DIR "/about.png"));
}

}  // namespace
}  // namespace ramvel::test
