// The backup commands of the main window: making a backup from the menu, restoring one into
// another board or into the open board, and refusing a damaged one with nothing changed.
#include <QAction>
#include <filesystem>
#include <map>

#include "ShellFixture.h"
#include "engine/UrwBackup.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

class BackupMenu : public ShellTest {
 protected:
  // Boards AB and CD, both in the recent list, AB most recent.
  TFrmMain& Start() {
    MakeBoard(base_.Path(), "AB");
    MakeBoard(base_.Path(), "CD");
    WriteBytes(Base() + "latest.txt", "AB\r\nCD\r\n");
    return Main();
  }
  std::string Backup(const std::string& board) {
    std::string path;
    EXPECT_TRUE(MakeBackup(Base(), board, {2026, 12, 6, 16, 49}, path).ok());
    return path;
  }
  void Restore(TFrmMain& m, const std::string& file) {
    host_.FileAnswers.push_back(file);
    ASSERT_TRUE(m.MnuLoadBAK->isEnabled());
    m.MnuLoadBAK->trigger();
  }
  const TScriptedHost::TEvent& Last() const { return host_.Events.back(); }
};

TEST_F(BackupMenu, MakingABackupNamesItsFile) {
  TFrmMain& m = Start();
  EXPECT_FALSE(m.MnuSaveBAK->isEnabled());
  EXPECT_TRUE(m.MnuLoadBAK->isEnabled());
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  ASSERT_TRUE(m.MnuSaveBAK->isEnabled());
  m.MnuSaveBAK->trigger();
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(Last().Caption, "お知らせ");
  const std::string head = "以下のファイル名でバックアップしました\n\n";
  ASSERT_EQ(Last().Text.rfind(head, 0), 0u) << Last().Text;
  const std::string path = Last().Text.substr(head.size());
  EXPECT_EQ(fs::path(path).parent_path(), fs::path(Base() + "bakup"));
  std::string brd;
  ASSERT_TRUE(BakBrdName(fs::path(path).filename().string(), brd).ok());
  EXPECT_EQ(brd, "AB");
  TBackup bak;
  ASSERT_TRUE(ParseBackup(fs::path(path).filename().string(), ReadBytes(path), bak).ok());
  // Board.txt, stations A and B, the rail and train set 1.
  ASSERT_EQ(bak.Sections.size(), 5u);
  EXPECT_EQ(bak.Sections[0].Target, "Board.txt");
  EXPECT_EQ(bak.Sections[4].Target, "car/1.txt");
}

TEST_F(BackupMenu, RestoreIntoAnotherBoardLeavesTheOpenOneAlone) {
  TFrmMain& m = Start();
  const std::string bak = Backup("AB");
  const std::string car = Base() + "AB/car/1.txt";
  const std::string saved = ReadBytes(car);
  fs::remove(car);
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 1));  // CD
  m.Edit.Brd.Modified = true;
  const size_t cars = m.Edit.Brd.Cars.size();
  Restore(m, bak);
  ASSERT_EQ(host_.Events.size(), 2u);
  EXPECT_EQ(host_.Events[0].Kind, "open");
  EXPECT_EQ(host_.Events[0].Caption, "バックアップの読み込み");
  EXPECT_EQ(host_.Events[0].Text, Base() + "bakup/");
  EXPECT_EQ(Last().Caption, "お知らせ");
  // The board as it was is kept in a backup of its own, which the notice names.
  const std::string head = "現在の状態を " + Base() + "bakup/AB";
  EXPECT_EQ(Last().Text.rfind(head, 0), 0u) << Last().Text;
  EXPECT_TRUE(Last().Text.ends_with(".dat に保存してから復元しました")) << Last().Text;
  EXPECT_EQ(ReadBytes(car), saved);
  EXPECT_EQ(m.Edit.Brd.BrdName, "CD");
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel - CD");
  EXPECT_TRUE(m.Edit.Brd.Modified);
  EXPECT_EQ(m.Edit.Brd.Cars.size(), cars);
}

TEST_F(BackupMenu, RestoreIntoTheOpenBoardReadsItAgain) {
  TFrmMain& m = Start();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));  // AB
  const std::string bak = Backup("AB");
  m.Edit.Brd.CarDel(1);
  m.MnuSave->trigger();
  ASSERT_FALSE(fs::exists(Base() + "AB/car/1.txt"));
  m.Edit.Brd.Modified = true;  // an unsaved edit: the reread asks first
  host_.YesNoAnswers.push_back(true);
  Restore(m, bak);
  ASSERT_EQ(host_.Events.size(), 3u);
  EXPECT_EQ(host_.Events[1].Text, "編集結果が保存されていませんがよろしいですか？");
  EXPECT_NE(Last().Text.find("に保存してから復元しました"), std::string::npos) << Last().Text;
  EXPECT_EQ(m.Edit.Brd.BrdName, "AB");
  EXPECT_FALSE(m.Edit.Brd.Modified);
  ASSERT_EQ(m.Edit.Brd.Cars.size(), 1u);  // read again from the restored files
  EXPECT_NE(m.Edit.Brd.FindCar(1, ""), nullptr);
}

// Answering No to the question about unsaved changes restores nothing.
TEST_F(BackupMenu, RestoreIntoTheOpenBoardAsksFirstAndNoWritesNothing) {
  TFrmMain& m = Start();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));  // AB
  const std::string bak = Backup("AB");
  m.Edit.Brd.Modified = true;
  const auto before = test::DirTree(base_.Path());
  host_.YesNoAnswers.push_back(false);
  Restore(m, bak);
  EXPECT_EQ(Last().Kind, "ask");
  EXPECT_EQ(test::DirTree(base_.Path()), before);
  EXPECT_TRUE(m.Edit.Brd.Modified);
}

// A board opened by its path restores into itself, never into the program folder's board of
// the same name.
TEST_F(BackupMenu, ABoardOpenedByPathRestoresIntoItself) {
  TFrmMain& m = Start();
  TTempDir elsewhere;
  MakeBoard(elsewhere.Path(), "AB");
  ASSERT_TRUE(m.OpenBrdFolder(elsewhere.Path() + "/AB"));
  m.MnuSaveBAK->trigger();
  const std::string notice = Last().Text;
  const std::string path = notice.substr(notice.find('\n') + 2);
  EXPECT_EQ(fs::path(path).parent_path(), fs::path(elsewhere.Path() + "/bakup"));
  m.Edit.Brd.CarDel(1);
  m.MnuSave->trigger();
  ASSERT_FALSE(fs::exists(elsewhere.Path() + "/AB/car/1.txt"));
  const auto home = test::DirTree(Base() + "AB");
  Restore(m, path);
  EXPECT_TRUE(fs::exists(elsewhere.Path() + "/AB/car/1.txt"));
  EXPECT_EQ(test::DirTree(Base() + "AB"), home);
  EXPECT_NE(m.Edit.Brd.FindCar(1, ""), nullptr);
}

TEST_F(BackupMenu, DamagedBackupIsRefusedAndChangesNothing) {
  TFrmMain& m = Start();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  const std::string file = Base() + "bakup/AB261206_1649.dat";
  WriteBytes(file, "*>C:\\R\\AB\\Board.txt\r\nSTA_COUNT=0\r\n*>C:\\R\\AB\\..\\..\\x.txt\r\nx\r\n");
  const auto before = test::DirTree(base_.Path());
  Restore(m, file);
  ASSERT_EQ(host_.Events.size(), 2u);
  EXPECT_EQ(Last().Caption, "エラー");
  EXPECT_NE(Last().Text.find("3 行目"), std::string::npos) << Last().Text;
  EXPECT_EQ(test::DirTree(base_.Path()), before);
  EXPECT_EQ(m.Edit.Brd.Stas.size(), 2u);
}

TEST_F(BackupMenu, CancelledDialogChangesNothing) {
  TFrmMain& m = Start();
  const auto before = test::DirTree(base_.Path());
  m.MnuLoadBAK->trigger();
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Kind, "open");
  EXPECT_EQ(test::DirTree(base_.Path()), before);
}

}  // namespace
}  // namespace ramvel::test
