// The main window's saving and pointer details: a failed save is reported and keeps editors
// closed, a vanished board folder is not made again, help that cannot be shown names its page,
// and the status bar forgets what the pointer pointed at once it leaves the board.
#include <QAction>
#include <QLabel>
#include <cerrno>
#include <filesystem>

#include "ShellFixture.h"
#include "foundation/UrwSaveBatch.h"

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

// Another program saves the open board: the status bar says so; the save then offers 読み直す,
// 別名で保存 and 上書き, and each does what it says.
TEST_F(MainSaveTest, AnOutsideChangeIsShownAndTheSaveOffersThreeWays) {
  TFrmMain& m = OpenChanged();
  const auto otherSaves = [this](int32_t idSta) {
    TBrdData other;
    ASSERT_TRUE(other.LoadBrd(Base(), "A").ok());
    other.ID_STA = idSta;
    ASSERT_TRUE(other.SaveBrd(Base() + "A", false).ok());
  };
  EXPECT_TRUE(m.SBarDisk->isHidden());
  otherSaves(9);
  m.BrdDiskChanged();
  EXPECT_FALSE(m.SBarDisk->isHidden());

  host_.ChoiceAnswers.push_back(2);  // 上書き
  m.MnuSave->trigger();
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("choice", host_.Events[0].Kind);
  EXPECT_EQ("確認", host_.Events[0].Caption);
  EXPECT_EQ(0u, host_.Events[0].Text.rfind(kMsgChangedElsewhere, 0)) << host_.Events[0].Text;
  EXPECT_TRUE(host_.Events[0].Text.ends_with("|読み直す|別名で保存|上書き"));
  EXPECT_FALSE(m.Edit.Brd.Modified);
  EXPECT_NE(std::string::npos, ReadBytes(Base() + "A/Board.txt").find("ID_RAIL=7"));
  EXPECT_TRUE(m.SBarDisk->isHidden());

  otherSaves(11);
  m.Edit.Brd.ID_RAIL = 8;
  m.Edit.Brd.Modified = true;
  host_.ChoiceAnswers.push_back(0);  // 読み直す
  EXPECT_FALSE(m.SaveCurBrd(false));
  EXPECT_EQ(11, m.Edit.Brd.ID_STA);
  EXPECT_FALSE(m.Edit.Brd.Modified);

  otherSaves(12);
  m.Edit.Brd.ID_RAIL = 9;
  m.Edit.Brd.Modified = true;
  host_.ChoiceAnswers.push_back(1);  // 別名で保存
  host_.InputAnswers.push_back("A2");
  EXPECT_TRUE(m.SaveCurBrd(false));
  EXPECT_NE(std::string::npos, ReadBytes(Base() + "A2/Board.txt").find("ID_RAIL=9"));
  EXPECT_TRUE(fs::exists(Base() + "A2/Land.bmp"));
  EXPECT_NE(std::string::npos, ReadBytes(Base() + "A/Board.txt").find("ID_STA=12"));
  EXPECT_EQ("Ramvel - A2", m.windowTitle().toStdString());
  EXPECT_EQ("A2", m.RecentBrds.front());
}

// Every change the recovery would make fails as on a read-only mount.
int ReadOnlyMount(const std::string&) { return EROFS; }

// A board whose committed save was cut off, in a folder that cannot be written: it opens with a
// notice, as the save left it, the caption says 読み取り専用, and saving over it is refused with
// the offer of another name; declining changes nothing on disk.
TEST_F(MainSaveTest, ABoardThatCannotBeRecoveredOpensReadOnlyAndOffersAnotherName) {
  MakeEmptyBoard(base_.Path(), "A");
  WriteBytes(Base() + "latest.txt", "A\r\n");
  std::string board = ReadBytes(Base() + "A/Board.txt");
  const size_t id = board.find("ID_RAIL=");
  ASSERT_NE(std::string::npos, id);
  board.replace(id, board.find('\r', id) - id, "ID_RAIL=5");
  WriteBytes(Base() + "A/.rv1.tmp", board);
  WriteBytes(Base() + "A/.rvsave", "RAMVEL-SAVE 1\nW .rv1.tmp\tBoard.txt\nEND\n");
  const auto before = DirTree(Base() + "A");
  SetRecoverFaultHook(ReadOnlyMount);
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  EXPECT_EQ(5, m.Edit.Brd.ID_RAIL);
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("お知らせ", host_.Events[0].Caption);
  EXPECT_EQ(0u, host_.Events[0].Text.find(kMsgPendingReadOnly)) << host_.Events[0].Text;
  EXPECT_TRUE(m.windowTitle().endsWith(QStringLiteral("A [読み取り専用]")))
      << m.windowTitle().toStdString();
  m.Edit.Brd.Modified = true;
  host_.YesNoAnswers.push_back(false);
  m.MnuSave->trigger();
  SetRecoverFaultHook(nullptr);
  ASSERT_EQ(2u, host_.Events.size());
  EXPECT_EQ("確認", host_.Events[1].Caption);
  EXPECT_EQ(0u, host_.Events[1].Text.find(kMsgBrdReadOnly)) << host_.Events[1].Text;
  EXPECT_TRUE(m.Edit.Brd.Modified);
  EXPECT_EQ(before, DirTree(Base() + "A"));
}

}  // namespace
}  // namespace ramvel::test
