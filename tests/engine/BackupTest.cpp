// Backups: what a backup holds, the board a backup names, where each recorded path may restore,
// and restores that either write the whole backup or nothing at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "KillSteps.h"
#include "StaBuilder.h"
#include "TestSupport.h"
#include "engine/UrwBackup.h"
#include "engine/UrwBrdData.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TStaBuilder;
using test::TTempDir;
using test::WriteBytes;

// Shift-JIS bytes of a UTF-8 text.
std::string Sjis(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp932(utf8, out)) << utf8;
  return out;
}

const TBakTime k1649{2026, 12, 6, 16, 49};

// A record's bytes as its file holds them, each line ended by eol.
std::string RecBytes(const TextRec& rec, const std::string& eol = "\r\n") {
  std::string text;
  for (const std::string& line : rec.Lines) text += line + eol;
  return Sjis(text);
}

const std::string kBoardTxt = Sjis(
    "SCR_XLEFT=0\r\nSCR_YTOP=0\r\nSCR_MPERP=108\r\nID_STA=2\r\nID_RAIL=1\r\nSTA_COUNT=2\r\n"
    "STA1=中央\r\nSTA2=ab\r\n");
const std::string kSta1 = RecBytes(TStaBuilder(1001, "中央").Ents(1, 1).Build().MakeRec());
const std::string kSta2 = RecBytes(TStaBuilder(2001, "ab").Ents(1, 1).Build().MakeRec());
// The same station file with its lines ended by LF alone.
const std::string kSta2Lf = RecBytes(TStaBuilder(2001, "ab").Ents(1, 1).Build().MakeRec(), "\n");

std::string RailBytes(int32_t id) {
  TRailObj r;
  r.Id = id;
  r.EntCount[0] = r.EntCount[1] = 1;
  return RecBytes(r.MakeRec());
}

// Program folder with board B1: two stations (one named in lower case, one whose file ends its
// lines in LF alone), one rail, no train set, one line.
class Backup : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(Brd("Board.txt"), kBoardTxt);
    WriteBytes(Brd("station/中央.txt"), kSta1);
    WriteBytes(Brd("station/ab.txt"), kSta2Lf);
    WriteBytes(Brd("rail/1002.txt"), RailBytes(1002));
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
  const std::string expected = Rec("Board.txt") + kBoardTxt +         //
                               Rec("station/AB.txt") + kSta2 +         //
                               Rec("station/中央.txt") + kSta1 +       //
                               Rec("rail/1002.txt") + RailBytes(1002) +  //
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
  WriteBytes(Brd("rail/1002.txt"), RailBytes(1002) + "X=1296\r\n");
  EXPECT_EQ(Make(), first);
  EXPECT_NE(ReadBytes(first).find("X=1296\r\n"), std::string::npos);
  EXPECT_EQ(test::DirTree(Base() + "bakup").size(), 1u);  // no temporary file left
  Make({2026, 12, 6, 16, 50});
  EXPECT_EQ(test::DirTree(Base() + "bakup").size(), 2u);
}

TEST_F(Backup, FileThatWouldNotRestoreRefusesAndWritesNothing) {
  WriteBytes(Brd("rail/1002.txt"), RailBytes(1002) + "*>C:\\evil\\B1\\Board.txt\r\n");
  std::string path;
  const TStatus st = MakeBackup(Base(), "B1", k1649, path);
  ASSERT_FALSE(st.ok());
  const std::string rail = RailBytes(1002);
  const auto lines = std::count(rail.begin(), rail.end(), '\n');
  EXPECT_NE(st.Msg().find("rail/1002.txt の " + std::to_string(lines + 1) + " 行目"),
            std::string::npos)
      << st.Msg();
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

// The board becomes exactly the one backed up: changed files come back, a file removed since
// comes back, files made since go (they are in the automatic backup of the state before, which
// the result names), the terrain stays.
TEST_F(Backup, RestoreMakesTheBoardExactlyTheBackedUpOne) {
  const std::string bak = Make();
  const auto before = test::DirTree(Brd(""));
  WriteBytes(Brd("Board.txt"), Sjis("SCR_XLEFT=108\r\nSCR_YTOP=0\r\nSCR_MPERP=108\r\n"
                                     "ID_STA=2\r\nID_RAIL=7\r\nSTA_COUNT=0\r\n"));
  fs::remove(Brd("station/中央.txt"));
  WriteBytes(Brd("rail/7002.txt"), RailBytes(7002));
  WriteBytes(Brd("car/3.txt"), "made later\r\n");
  WriteBytes(Brd("rail/notes.txt"), "not an object, but a text file of rail/\r\n");
  TRestored done;
  const TStatus st = RestoreBackup(Base(), bak, done);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(done.BrdName, "B1");
  // ab.txt comes back with CR LF and under the name as it is on disk; nothing else is there.
  auto expected = before;
  expected["station/ab.txt"] = kSta2;
  EXPECT_EQ(test::DirTree(Brd("")), expected);
  // The state before, whole, in a backup of its own beside the one restored.
  ASSERT_FALSE(done.AutoBak.empty());
  EXPECT_NE(done.AutoBak, bak);
  const std::string autoBytes = ReadBytes(done.AutoBak);
  EXPECT_NE(autoBytes.find("SCR_XLEFT=108"), std::string::npos);
  EXPECT_NE(autoBytes.find(Sjis(Brd("car/3.txt"))), std::string::npos);
  EXPECT_NE(autoBytes.find(Sjis(Brd("rail/7002.txt"))), std::string::npos);
  // The backup restored is never replaced by the automatic one, even within its minute.
  EXPECT_EQ(ReadBytes(bak).find("SCR_XLEFT=108"), std::string::npos);
}

TEST_F(Backup, BackupFromAMovedFolderRestoresIntoTodaysFolder) {
  const std::string bak = Make();
  TTempDir moved;
  const std::string today = moved.Path() + "/";
  WriteBytes(today + "B1/Board.txt", kBoardTxt);
  WriteBytes(today + "B1/Land.bmp", "BM");
  const auto oldTree = test::DirTree(base_.Path());
  TRestored done;
  const TStatus st = RestoreBackup(today, bak, done);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(ReadBytes(today + "B1/Board.txt"), ReadBytes(Brd("Board.txt")));
  EXPECT_EQ(ReadBytes(today + "B1/station/中央.txt"), ReadBytes(Brd("station/中央.txt")));
  EXPECT_EQ(ReadBytes(today + "B1/line/本線.txt"), "1001\r\n2001\r\n");
  EXPECT_EQ(ReadBytes(today + "B1/Land.bmp"), "BM");
  EXPECT_EQ(fs::path(done.AutoBak).parent_path(), fs::path(today + "bakup"));
  EXPECT_EQ(test::DirTree(base_.Path()), oldTree);
}

TEST_F(Backup, BackupMadeElsewhereWithBackslashesRestores) {
  const std::string bytes = "*>C:\\Program Files\\Ramvel\\B1\\Board.txt\r\n" + kBoardTxt +
                            Sjis("*>D:\\R\\B1\\station\\ソ表.txt\r\n") +
                            RecBytes(TStaBuilder(3001, "ソ表").Build().MakeRec());
  WriteBytes(Base() + "B1261201_0900.dat", bytes);
  TRestored done;
  const TStatus st = RestoreBackup(Base(), Base() + "B1261201_0900.dat", done);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(ReadBytes(Brd("Board.txt")), kBoardTxt);
  EXPECT_EQ(ReadBytes(Brd("station/ソ表.txt")), RecBytes(TStaBuilder(3001, "ソ表").Build().MakeRec()));
  EXPECT_FALSE(fs::exists(Brd("station/中央.txt")));  // not in that backup
}

TEST_F(Backup, BoardWhoseShiftJisNameHoldsABackslashByteRoundTrips) {
  fs::rename(Brd(""), Base() + "ソ表");
  std::string path;
  ASSERT_TRUE(MakeBackup(Base(), "ソ表", k1649, path).ok());
  EXPECT_EQ(fs::path(path).filename().string(), "ソ表261206_1649.dat");
  WriteBytes(Base() + "ソ表/rail/1002.txt", RailBytes(1002) + "X=1\r\n");
  TRestored done;
  const TStatus st = RestoreBackup(Base(), path, done);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(done.BrdName, "ソ表");
  EXPECT_EQ(ReadBytes(Base() + "ソ表/rail/1002.txt"), RailBytes(1002));
}

TEST_F(Backup, RestoreIntoAProgramFolderWithoutTheBoardMakesIt) {
  const std::string bak = Make();
  TTempDir fresh;
  TRestored done;
  ASSERT_TRUE(RestoreBackup(fresh.Path() + "/", bak, done).ok());
  EXPECT_TRUE(done.AutoBak.empty());  // there was nothing to keep
  const auto tree = test::DirTree(fresh.Path() + "/B1");
  EXPECT_EQ(tree.at("car"), "<dir>");  // every board folder has its four sub-folders
  EXPECT_EQ(tree.at("rail/1002.txt"), RailBytes(1002));
  // Board.txt, the four folders and the four files in them.
  EXPECT_EQ(tree.size(), 9u);
}

TEST_F(Backup, LaterSectionOfTheSameFileWins) {
  WriteBytes(Base() + "B1261201_0900.dat", "*>/x/B1/Board.txt\r\n" + kBoardTxt +
                                               "*>/x/B1/rail/1002.txt\r\n" + RailBytes(1002) +
                                               "*>/y/b1/RAIL/1002.TXT\r\n" + RailBytes(1002) +
                                               "X=2\r\n");
  TRestored done;
  const TStatus st = RestoreBackup(Base(), Base() + "B1261201_0900.dat", done);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(ReadBytes(Brd("rail/1002.txt")), RailBytes(1002) + "X=2\r\n");
  EXPECT_FALSE(fs::exists(Brd("rail/1002.TXT")));  // no second file differing in case
}

// Damaged or hostile backups: refused with a message naming the line or the file, nothing
// written, no automatic backup made.
TEST_F(Backup, HostileOrDamagedBackupWritesNothing) {
  const std::string good = "*>/x/B1/Board.txt\r\n" + kBoardTxt;
  const std::string car = "*>/x/B1/car/1.txt\r\n";
  struct TCase {
    const char* What;
    std::string File;
    std::string Bytes;
    std::string InMsg;
  } cases[] = {
      {"dot-dot", "B1261201_0900.dat", good + "*>/x/B1/station/../../B2/Board.txt\r\nx\r\n",
       "行目"},
      {"absolute elsewhere", "B1261201_0900.dat", good + "*>/etc/cron.d/job\r\nx\r\n", "行目"},
      {"other board", "B1261201_0900.dat", good + "*>C:\\R\\B2\\rail\\1002.txt\r\nx\r\n", "B2"},
      {"truncated last section", "B1261201_0900.dat", good + "*>/x/B1/rail/1002.txt\r\nID=10",
       "行目の途中"},
      {"no section line first", "B1261201_0900.dat", "ID=1\r\n" + good, "1 行目"},
      {"section line without >", "B1261201_0900.dat", good + "*/x/B1/rail/1.txt\r\n", "「>」"},
      {"path not Shift-JIS", "B1261201_0900.dat", good + "*>/x/B1/rail/\x82.txt\r\n", "行目"},
      {"empty", "B1261201_0900.dat", "", "空"},
      {"name too short", "B1.dat", good, "短すぎます"},
      {"Board.txt not Shift-JIS", "B1261201_0900.dat",
       "*>/x/B1/Board.txt\r\nSCR_XLEFT=\x82\r\n", "Shift-JIS"},
      {"Board.txt empty", "B1261201_0900.dat", "*>/x/B1/Board.txt\r\n", "SCR_XLEFT"},
      {"Board.txt cut short at a line end", "B1261201_0900.dat",
       "*>/x/B1/Board.txt\r\n" + kBoardTxt.substr(0, kBoardTxt.find("STA2")), "STA2"},
      {"no Board.txt", "B1261201_0900.dat", "*>/x/B1/rail/1002.txt\r\n" + RailBytes(1002),
       "Board.txt がありません"},
      {"binary rail file", "B1261201_0900.dat", good + "*>/x/B1/rail/1002.txt\r\n\x01\x02\xff\r\n",
       "rail/1002.txt"},
      {"train set cut short", "B1261201_0900.dat", good + car + "NO=1\r\nTM_COUNT=5\r\n",
       "car/1.txt"},
      {"NUL in a train name", "B1261201_0900.dat", good + car + std::string("NAME=a\0b\r\n", 10),
       "NUL"},
      {"line not of stations", "B1261201_0900.dat", good + "*>/x/B1/line/L.txt\r\nabc\r\n",
       "line/L.txt"},
  };
  WriteBytes(Base() + "B2/Board.txt", "B2\r\n");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TTempDir holder;
    const std::string file = holder.Path() + "/" + c.File;
    WriteBytes(file, c.Bytes);
    const auto before = test::DirTree(base_.Path());
    TRestored done;
    done.BrdName = "unchanged";
    const TStatus st = RestoreBackup(Base(), file, done);
    ASSERT_FALSE(st.ok());
    EXPECT_NE(st.Msg().find(c.InMsg), std::string::npos) << st.Msg();
    EXPECT_EQ(done.BrdName, "unchanged");
    EXPECT_EQ(test::DirTree(base_.Path()), before);
  }
}

// A target that cannot be written (a folder stands in its place, a read-only file that differs)
// refuses the restore: the board stays exactly as it was and no automatic backup stays behind;
// a read-only file that the backup holds unchanged keeps its mode.
TEST_F(Backup, FailureWhileWritingLeavesTheBoardAsItWas) {
  const std::string bak = Make();
  WriteBytes(Brd("rail/1002.txt"), RailBytes(1002) + "X=1\r\n");
  fs::remove(Brd("line/本線.txt"));
  fs::create_directories(Brd("line/本線.txt"));  // the last section's target is a folder
  const auto before = test::DirTree(base_.Path());
  TRestored done;
  TStatus st = RestoreBackup(Base(), bak, done);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("本線.txt"), std::string::npos) << st.Msg();
  EXPECT_EQ(test::DirTree(base_.Path()), before);

  fs::remove(Brd("line/本線.txt"));
  fs::permissions(Brd("rail/1002.txt"), fs::perms::owner_read | fs::perms::group_read);
  const auto before2 = test::DirTree(base_.Path());
  st = RestoreBackup(Base(), bak, done);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("読み取り専用"), std::string::npos) << st.Msg();
  EXPECT_EQ(test::DirTree(base_.Path()), before2);

  fs::permissions(Brd("rail/1002.txt"), fs::perms::owner_write, fs::perm_options::add);
  WriteBytes(Brd("rail/1002.txt"), RailBytes(1002));
  fs::permissions(Brd("rail/1002.txt"), fs::perms::owner_read | fs::perms::group_read);
  ASSERT_TRUE(RestoreBackup(Base(), bak, done).ok());
  EXPECT_EQ(fs::status(Brd("rail/1002.txt")).permissions(),
            fs::perms::owner_read | fs::perms::group_read);
}

// A restore killed at any disk step leaves the board as it was or as the backup holds it,
// never a mix, never a file missing under a hidden name, never a trace left for good.
TEST_F(Backup, RestoreKilledAtEveryStepLeavesTheOldOrTheRestoredBoard) {
  const std::string bak = Make();
  auto restored = test::DirTree(Brd(""));
  restored["station/ab.txt"] = kSta2;  // written back with CR LF
  const auto writeOld = [this] {
    fs::remove_all(Brd(""));
    WriteBytes(Brd("Board.txt"), Sjis("SCR_XLEFT=216\r\nSCR_YTOP=0\r\nSCR_MPERP=108\r\n"
                                       "ID_STA=2\r\nID_RAIL=7\r\nSTA_COUNT=1\r\nSTA1=ab\r\n"));
    WriteBytes(Brd("station/ab.txt"), kSta2);
    WriteBytes(Brd("rail/1002.txt"), RailBytes(1002) + "X=1\r\n");
    WriteBytes(Brd("rail/7002.txt"), RailBytes(7002));
    WriteBytes(Brd("car/3.txt"), "later\r\n");
    WriteBytes(Brd("Land.bmp"), "BM not packed");
    fs::create_directories(Brd("line"));  // as every board has
  };
  writeOld();
  const auto old = test::DirTree(Brd(""));
  int asOld = 0, asNew = 0;
  test::ForEachKillPoint(
      writeOld,
      [&] {
        TRestored done;
        return RestoreBackup(Base(), bak, done).ok();
      },
      [&](int n, bool) {
        // The next reader completes or undoes what was cut off; what counts is the folder it
        // leaves, compared below, not whether the board then reads.
        TBrdData brd;
        static_cast<void>(brd.LoadBrd(Base(), "B1"));
        const auto now = test::DirTree(Brd(""));
        if (now == old) {
          ++asOld;
        } else if (now == restored) {
          ++asNew;
        } else {
          std::string diff;
          for (const auto& [k, v] : now) {
            if (old.count(k) == 0 || old.at(k) != v) diff += " +" + k;
          }
          for (const auto& [k, v] : old) {
            if (now.count(k) == 0) diff += " -" + k;
          }
          ADD_FAILURE() << "killed at step " << n << ": neither the old nor the restored board;"
                        << " against the old:" << diff;
        }
        for (const auto& e : fs::directory_iterator(Base() + "bakup")) {
          if (e.path() != fs::path(bak)) fs::remove(e.path());  // the automatic backups
        }
      });
  EXPECT_GT(asOld, 3);
  EXPECT_GT(asNew, 3);
}

}  // namespace
}  // namespace ramvel
