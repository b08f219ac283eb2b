// Backups: what a backup holds, the board a backup names, where each recorded path may restore,
// and restores that either write the whole backup or nothing at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "TestSupport.h"
#include "engine/UrwBackup.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

// Shift-JIS bytes of a UTF-8 text.
std::string Sjis(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp932(utf8, out)) << utf8;
  return out;
}

const TBakTime k1649{2026, 12, 6, 16, 49};

// Program folder with board B1: two stations (one named in lower case, one whose file ends its
// lines in LF alone), one rail, no train set, one line.
class Backup : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(Brd("Board.txt"), Sjis("SCR_XLEFT=0\r\nSTA_COUNT=2\r\nSTA1=中央\r\nSTA2=ab\r\n"));
    WriteBytes(Brd("station/中央.txt"), Sjis("ID=1001\r\nNAME=中央\r\n"));
    WriteBytes(Brd("station/ab.txt"), "ID=2001\nDESC=x\n");
    WriteBytes(Brd("rail/1002.txt"), "ID=1002\r\n");
    fs::create_directories(Brd("car"));
    WriteBytes(Brd("line/本線.txt"), "1001\r\n2001\r\n");
    WriteBytes(Brd("Land.bmp"), "BM not packed");
  }
  std::string Base() const { return base_.Path() + "/"; }
  std::string Brd(const std::string& rel) const { return Base() + "B1/" + rel; }
  // The path a backup made in this program folder records for rel.
  std::string Rec(const std::string& rel) const { return "*>" + Sjis(Brd(rel)) + "\r\n"; }
  std::string Make(const TBakTime& t = k1649) {
    std::string path;
    const TStatus st = MakeBackup(Base(), "B1", t, path);
    EXPECT_TRUE(st.ok()) << st.Msg();
    return path;
  }

  TTempDir base_;
};

TEST_F(Backup, PacksBoardThenEachFolderInOrder) {
  const std::string path = Make();
  EXPECT_EQ(path, Base() + "bakup/B1261206_1649.dat");
  // Board.txt, the two stations (upper-case stems, sorted), the rail, no train set, the line;
  // every line of every file ends in CR LF; Land.bmp stays out.
  const std::string expected = Rec("Board.txt") +
                               Sjis("SCR_XLEFT=0\r\nSTA_COUNT=2\r\nSTA1=中央\r\nSTA2=ab\r\n") +
                               Rec("station/AB.txt") + "ID=2001\r\nDESC=x\r\n" +  //
                               Rec("station/中央.txt") + Sjis("ID=1001\r\nNAME=中央\r\n") +
                               Rec("rail/1002.txt") + "ID=1002\r\n" +  //
                               Rec("line/本線.txt") + "1001\r\n2001\r\n";
  EXPECT_EQ(ReadBytes(path), expected);
  TBackup bak;
  ASSERT_TRUE(ParseBackup("B1261206_1649.dat", ReadBytes(path), bak).ok());
  ASSERT_EQ(bak.Sections.size(), 5u);
  const char* targets[] = {"Board.txt", "station/AB.txt", "station/中央.txt", "rail/1002.txt",
                           "line/本線.txt"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(bak.Sections[i].Target, targets[i]);
}

TEST(BakStamp, TwoDigitsEachWithUnderscore) {
  EXPECT_EQ(BakStamp({2026, 12, 6, 16, 49}), "261206_1649");
  EXPECT_EQ(BakStamp({2009, 1, 2, 3, 4}), "090102_0304");
  EXPECT_EQ(BakStamp({2100, 10, 31, 0, 0}), "001031_0000");
}

TEST_F(Backup, SameMinuteReplacesTheFirstWhole) {
  const std::string first = Make();
  WriteBytes(Brd("rail/1002.txt"), "ID=1002\r\nLENGTH=1296\r\n");
  EXPECT_EQ(Make(), first);
  EXPECT_NE(ReadBytes(first).find("LENGTH=1296\r\n"), std::string::npos);
  EXPECT_EQ(test::DirTree(Base() + "bakup").size(), 1u);  // no temporary file left
  Make({2026, 12, 6, 16, 50});
  EXPECT_EQ(test::DirTree(Base() + "bakup").size(), 2u);
}

TEST_F(Backup, FileThatWouldNotRestoreRefusesAndWritesNothing) {
  WriteBytes(Brd("rail/1002.txt"), "ID=1002\r\n*>C:\\evil\\B1\\Board.txt\r\n");
  std::string path;
  const TStatus st = MakeBackup(Base(), "B1", k1649, path);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("rail/1002.txt の 2 行目"), std::string::npos) << st.Msg();
  EXPECT_FALSE(fs::exists(Base() + "bakup/B1261206_1649.dat"));
}

TEST_F(Backup, UnreadableBoardOrUnusableNameIsRefused) {
  std::string path;
  EXPECT_FALSE(MakeBackup(Base(), "NOSUCH", k1649, path).ok());
  fs::create_directories(Base() + "😀");
  const TStatus st = MakeBackup(Base(), "😀", k1649, path);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("Shift-JIS"), std::string::npos) << st.Msg();
  EXPECT_FALSE(fs::exists(Base() + "bakup"));
}

// ---- The board a backup names ------------------------------------------------------------------

TEST(BakBrdName, IsTheFileNameLessExtensionAndStamp) {
  struct TCase {
    const char* File;
    const char* Board;  // nullptr: refused
  } cases[] = {
      {"B1261206_1649.dat", "B1"},
      {"ソ表261206_1649.dat", "ソ表"},  // Shift-JIS bytes 83 5C and 95 5C hold a "\"
      {"v1.2261206_1649.dat", "v1.2"},
      {"B1261206_1649", "B1"},
      {"261206_1649.dat", nullptr},  // nothing before the stamp
      {"B1.dat", nullptr},           // shorter than the stamp
      {"B12612061649x.dat", nullptr},
      {"B1261206-1649.dat", nullptr},
      {"..261206_1649.dat", nullptr},
      {"a\\b261206_1649.dat", nullptr},
  };
  for (const TCase& c : cases) {
    std::string name = "unchanged";
    const TStatus st = BakBrdName(c.File, name);
    if (c.Board == nullptr) {
      EXPECT_FALSE(st.ok()) << c.File;
      EXPECT_EQ(name, "unchanged");
      EXPECT_NE(st.Msg().find(c.File), std::string::npos) << st.Msg();
    } else {
      EXPECT_TRUE(st.ok()) << c.File << ": " << st.Msg();
      EXPECT_EQ(name, c.Board);
    }
  }
}

// ---- Where a recorded path restores ------------------------------------------------------------

TEST(BakPath, MapsOntoTheBoardOrRefuses) {
  struct TCase {
    const char* Recorded;
    const char* Target;  // nullptr: refused
  } cases[] = {
      {"C:\\Ramvel\\B1\\Board.txt", "Board.txt"},
      {"C:\\Ramvel\\B1\\station\\中央.txt", "station/中央.txt"},
      {"/old/place/B1/rail/5002.txt", "rail/5002.txt"},
      {"\\\\server\\share\\b1\\CAR\\1.TXT", "car/1.TXT"},
      {"B1/line/本線.txt", "line/本線.txt"},
      {"/p/station/B1/Board.txt", "Board.txt"},
      {"/p/B1/station/../../../etc/passwd", nullptr},
      {"/p/B1/station/..", nullptr},
      {"/p/B1/./Board.txt", nullptr},
      {"/etc/passwd", nullptr},
      {"/home/u/.bashrc", nullptr},
      {"C:\\Windows\\system.ini", nullptr},
      {"/p/B2/station/A.txt", nullptr},
      {"/p/B2/Board.txt", nullptr},
      {"/p/B1/station/sub/A.txt", nullptr},
      {"/p/B1/other/A.txt", nullptr},
      {"/p/B1/Land.bmp", nullptr},
      {"/p/B1/station/A.exe", nullptr},
      {"/p/B1/station/A", nullptr},
      {"/p/B1/station/.txt", nullptr},
      {"/p/B1/station/.hidden.txt", nullptr},
      {"/p/B1/station/a\x01.txt", nullptr},
      {"", nullptr},
      {"Board.txt", nullptr},
  };
  for (const TCase& c : cases) {
    std::string target = "unchanged";
    const TStatus st = MapBakPath(c.Recorded, "B1", target);
    if (c.Target == nullptr) {
      EXPECT_FALSE(st.ok()) << c.Recorded;
      EXPECT_EQ(target, "unchanged") << c.Recorded;
      EXPECT_FALSE(st.Msg().empty());
    } else {
      EXPECT_TRUE(st.ok()) << c.Recorded << ": " << st.Msg();
      EXPECT_EQ(target, c.Target) << c.Recorded;
    }
  }
  std::string target;
  EXPECT_TRUE(MapBakPath("/p/station/Board.txt", "station", target).ok());
  EXPECT_NE(MapBakPath("/p/B2/station/A.txt", "B1", target).Msg().find("B2"), std::string::npos);
}

// ---- Restoring ---------------------------------------------------------------------------------

TEST_F(Backup, RestoreBringsBackTheBoardAndKeepsFilesAddedLater) {
  const std::string bak = Make();
  const auto before = test::DirTree(Brd(""));
  WriteBytes(Brd("Board.txt"), "SCR_XLEFT=108\r\n");
  fs::remove(Brd("station/中央.txt"));
  WriteBytes(Brd("rail/7002.txt"), "ID=7002\r\n");
  std::string name;
  const TStatus st = RestoreBackup(Base(), bak, name);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(name, "B1");
  auto after = test::DirTree(Brd(""));
  EXPECT_EQ(after["rail/7002.txt"], "ID=7002\r\n");
  after.erase("rail/7002.txt");
  // ab.txt comes back with CR LF and under the name as it is on disk; nothing else changed.
  auto expected = before;
  expected["station/ab.txt"] = "ID=2001\r\nDESC=x\r\n";
  EXPECT_EQ(after, expected);
}

TEST_F(Backup, BackupFromAMovedFolderRestoresIntoTodaysFolder) {
  const std::string bak = Make();
  TTempDir moved;
  const std::string today = moved.Path() + "/";
  WriteBytes(today + "B1/Board.txt", "SCR_XLEFT=108\r\n");
  WriteBytes(today + "B1/Land.bmp", "BM");
  const auto oldTree = test::DirTree(base_.Path());
  std::string name;
  const TStatus st = RestoreBackup(today, bak, name);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(ReadBytes(today + "B1/Board.txt"), ReadBytes(Brd("Board.txt")));
  EXPECT_EQ(ReadBytes(today + "B1/station/中央.txt"), ReadBytes(Brd("station/中央.txt")));
  EXPECT_EQ(ReadBytes(today + "B1/line/本線.txt"), "1001\r\n2001\r\n");
  EXPECT_EQ(ReadBytes(today + "B1/Land.bmp"), "BM");
  EXPECT_EQ(test::DirTree(base_.Path()), oldTree);
}

TEST_F(Backup, BackupMadeElsewhereWithBackslashesRestores) {
  const std::string bytes = "*>C:\\Program Files\\Ramvel\\B1\\Board.txt\r\nSCR_XLEFT=216\r\n" +
                            Sjis("*>D:\\R\\B1\\station\\ソ表.txt\r\nNAME=ソ表\r\n");
  WriteBytes(Base() + "B1261201_0900.dat", bytes);
  std::string name;
  const TStatus st = RestoreBackup(Base(), Base() + "B1261201_0900.dat", name);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(ReadBytes(Brd("Board.txt")), "SCR_XLEFT=216\r\n");
  EXPECT_EQ(ReadBytes(Brd("station/ソ表.txt")), Sjis("NAME=ソ表\r\n"));
}

TEST_F(Backup, BoardWhoseShiftJisNameHoldsABackslashByteRoundTrips) {
  fs::rename(Brd(""), Base() + "ソ表");
  std::string path;
  ASSERT_TRUE(MakeBackup(Base(), "ソ表", k1649, path).ok());
  EXPECT_EQ(fs::path(path).filename().string(), "ソ表261206_1649.dat");
  WriteBytes(Base() + "ソ表/rail/1002.txt", "changed\r\n");
  std::string name;
  const TStatus st = RestoreBackup(Base(), path, name);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(name, "ソ表");
  EXPECT_EQ(ReadBytes(Base() + "ソ表/rail/1002.txt"), "ID=1002\r\n");
}

TEST_F(Backup, RestoreIntoAProgramFolderWithoutTheBoardMakesIt) {
  const std::string bak = Make();
  TTempDir fresh;
  std::string name;
  ASSERT_TRUE(RestoreBackup(fresh.Path() + "/", bak, name).ok());
  const auto tree = test::DirTree(fresh.Path() + "/B1");
  EXPECT_EQ(tree.at("car"), "<dir>");  // every board folder has its four sub-folders
  EXPECT_EQ(tree.at("rail/1002.txt"), "ID=1002\r\n");
  // Board.txt, the four folders and the four files in them.
  EXPECT_EQ(tree.size(), 9u);
}

TEST_F(Backup, LaterSectionOfTheSameFileWins) {
  WriteBytes(Base() + "B1261201_0900.dat",
             "*>/x/B1/rail/1002.txt\r\nfirst\r\n*>/y/b1/RAIL/1002.TXT\r\nsecond\r\n");
  std::string name;
  ASSERT_TRUE(RestoreBackup(Base(), Base() + "B1261201_0900.dat", name).ok());
  EXPECT_EQ(ReadBytes(Brd("rail/1002.txt")), "second\r\n");
  EXPECT_FALSE(fs::exists(Brd("rail/1002.TXT")));  // no second file differing in case
}

// Damaged or hostile backups: refused with a message naming the line, nothing written.
TEST_F(Backup, HostileOrDamagedBackupWritesNothing) {
  const std::string good = "*>/x/B1/Board.txt\r\nSCR_XLEFT=0\r\n";
  struct TCase {
    const char* What;
    std::string File;
    std::string Bytes;
    std::string InMsg;
  } cases[] = {
      {"dot-dot", "B1261201_0900.dat", good + "*>/x/B1/station/../../B2/Board.txt\r\nx\r\n",
       "3 行目"},
      {"absolute elsewhere", "B1261201_0900.dat", good + "*>/etc/cron.d/job\r\nx\r\n", "3 行目"},
      {"other board", "B1261201_0900.dat", good + "*>C:\\R\\B2\\rail\\1002.txt\r\nx\r\n", "B2"},
      {"truncated last section", "B1261201_0900.dat", good + "*>/x/B1/rail/1002.txt\r\nID=10",
       "4 行目の途中"},
      {"no section line first", "B1261201_0900.dat", "ID=1\r\n" + good, "1 行目"},
      {"section line without >", "B1261201_0900.dat", good + "*/x/B1/rail/1.txt\r\n", "「>」"},
      {"path not Shift-JIS", "B1261201_0900.dat", good + "*>/x/B1/rail/\x82.txt\r\n", "3 行目"},
      {"empty", "B1261201_0900.dat", "", "空"},
      {"name too short", "B1.dat", good, "短すぎます"},
  };
  WriteBytes(Base() + "B2/Board.txt", "B2\r\n");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TTempDir holder;
    const std::string file = holder.Path() + "/" + c.File;
    WriteBytes(file, c.Bytes);
    const auto before = test::DirTree(base_.Path());
    std::string name = "unchanged";
    const TStatus st = RestoreBackup(Base(), file, name);
    ASSERT_FALSE(st.ok());
    EXPECT_NE(st.Msg().find(c.InMsg), std::string::npos) << st.Msg();
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(test::DirTree(base_.Path()), before);
  }
}

// A target that cannot be replaced: the board stays exactly as it was.
TEST_F(Backup, FailureWhileWritingLeavesTheBoardAsItWas) {
  const std::string bak = Make();
  WriteBytes(Brd("Board.txt"), "SCR_XLEFT=108\r\n");
  fs::remove(Brd("line/本線.txt"));
  fs::create_directories(Brd("line/本線.txt"));  // the last section's target is a folder
  const auto before = test::DirTree(base_.Path());
  std::string name;
  const TStatus st = RestoreBackup(Base(), bak, name);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("本線.txt"), std::string::npos) << st.Msg();
  EXPECT_EQ(test::DirTree(base_.Path()), before);
}

// A rename that fails after others succeeded undoes them all, also for files it made new.
TEST_F(Backup, FailedRenameUndoesEveryEarlierOne) {
  const auto before = test::DirTree(base_.Path());
  const std::vector<TFileImage> files = {{"Board.txt", "new board\r\n"},
                                         {"rail/9002.txt", "new rail\r\n"},
                                         {"newsub/x.txt", "x\r\n"},
                                         {"station/中央.txt", "new station\r\n"}};
  for (size_t failAt = 0; failAt < files.size(); ++failAt) {
    SCOPED_TRACE(failAt);
    const TStatus st = ReplaceFiles(Brd(""), files, [&](size_t i) { return i == failAt; });
    EXPECT_FALSE(st.ok());
    EXPECT_EQ(test::DirTree(base_.Path()), before);
  }
  ASSERT_TRUE(ReplaceFiles(Brd(""), files).ok());
  EXPECT_EQ(ReadBytes(Brd("Board.txt")), "new board\r\n");
  EXPECT_EQ(ReadBytes(Brd("newsub/x.txt")), "x\r\n");
  EXPECT_EQ(ReadBytes(Brd("station/中央.txt")), "new station\r\n");
  EXPECT_EQ(test::DirTree(base_.Path()).size(), before.size() + 3);  // rail/9002, newsub, newsub/x
}

}  // namespace
}  // namespace ramvel
