// An installed program (pieces and help in the share folder, boards in the user's folder) and
// boards opened from a folder named on the command line.
#include <QDialog>
#include <filesystem>

#include "ShellFixture.h"
#include "StaClicks.h"
#include "station_designer/UrwStaEditorForm.h"

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

}  // namespace
}  // namespace ramvel::test
