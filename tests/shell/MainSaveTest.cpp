// The main window's saving and pointer details: a failed save is reported and keeps editors
// closed, a vanished board folder is not made again, help that cannot be shown names its page,
// and the status bar forgets what the pointer pointed at once it leaves the board.
#include <QAction>
#include <QLabel>
#include <filesystem>

#include "ShellFixture.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

// Board A open, with an unsaved change.
class MainSaveTest : public ShellTest {
 protected:
  TFrmMain& OpenChanged() {
    MakeEmptyBoard(base_.Path(), "A");
    WriteBytes(Base() + "latest.txt", "A\r\n");
    TFrmMain& m = Main();
    EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
    m.Edit.Brd.ID_RAIL = 7;
    m.Edit.Brd.Modified = true;
    host_.Events.clear();
    return m;
  }
};

TEST_F(MainSaveTest, SaveFirstIsRefusedWhenTheSaveFails) {
  TFrmMain& m = OpenChanged();
  const std::string board = ReadBytes(Base() + "A/Board.txt");
  fs::permissions(Base() + "A/Board.txt", fs::perms::owner_read);
  host_.YesNoAnswers.push_back(true);
  EXPECT_FALSE(m.ConfirmSaveFirst());
  EXPECT_TRUE(m.Edit.Brd.Modified);
  ASSERT_EQ(2u, host_.Events.size());
  EXPECT_EQ("エラー", host_.Events[1].Caption);
  EXPECT_NE(std::string::npos, host_.Events[1].Text.find("Board.txt")) << host_.Events[1].Text;
  EXPECT_EQ(board, ReadBytes(Base() + "A/Board.txt"));
}

TEST_F(MainSaveTest, ABoardFolderDeletedMeanwhileIsNotMadeAgain) {
  TFrmMain& m = OpenChanged();
  fs::remove_all(Base() + "A");
  m.MnuSave->trigger();
  EXPECT_FALSE(fs::exists(Base() + "A"));
  EXPECT_TRUE(m.Edit.Brd.Modified);
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("エラー", host_.Events[0].Caption);
  EXPECT_NE(std::string::npos, host_.Events[0].Text.find("ボードのフォルダが見つかりません"));
}

TEST_F(MainSaveTest, HelpThatCannotBeShownNamesThePage) {
  TFrmMain& m = Main();
  WriteBytes(Base() + "help/top.html", "<html></html>");
  m.OpenDocument = [](const std::string&) { return false; };
  m.H1->trigger();
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("ヘルプのページを表示できませんでした。\nページの場所: " + Base() + "help/top.html",
            host_.Events[0].Text);
  fs::remove_all(Base() + "help");
  m.H1->trigger();
  ASSERT_EQ(2u, host_.Events.size());
  EXPECT_EQ("ヘルプのページが見つかりません。\nページの場所: " + Base() + "help/top.html",
            host_.Events[1].Text);
}

TEST_F(MainSaveTest, HelpThatOpensShowsNoMessage) {
  TFrmMain& m = Main();
  m.H1->trigger();  // the fixture's desktop opens everything
  EXPECT_TRUE(host_.Events.empty());
}

TEST_F(MainSaveTest, LeavingTheBoardClearsTheHoverText) {
  TFrmMain& m = Main();
  m.SetStatusText(0, "駅を配置して下さい");
  m.SetStatusText(1, "A");
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(m.BoardArea, &leave);
  EXPECT_EQ("", m.SBarPanel[1]->text().toStdString());
  EXPECT_EQ("駅を配置して下さい", m.SBarPanel[0]->text().toStdString());  // a prompt stays
}

}  // namespace
}  // namespace ramvel::test
