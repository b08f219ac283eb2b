// Several timetables on one board: the board's own in car/, further ones in dia/NAME/car/. A
// board round-trips byte for byte, switching writes nothing, an edit in one timetable changes
// only its files, and adding, renaming and deleting timetables move their folders at the save.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TestSupport.h"
#include "engine/UrwBrdDias.h"
#include "engine/UrwBrdKinds.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::DirTree;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

// Modification times of every file below dir, nanoseconds.
std::map<std::string, int64_t> Times(const std::string& dir) {
  std::map<std::string, int64_t> out;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    struct stat sb {};
    if (e.is_regular_file() && ::stat(e.path().c_str(), &sb) == 0) {
      out[fs::relative(e.path(), dir).string()] =
          int64_t{sb.st_mtim.tv_sec} * 1000000000 + sb.st_mtim.tv_nsec;
    }
  }
  return out;
}

// The sample board with a second timetable 土休日 holding train sets 1 and 2 of the first, the
// board's own named 平日 and a kind table with a kind of its own.
class BrdDias : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(RAMVEL_SOURCE_DIR) / "data/boards/Sample", board_,
             fs::copy_options::recursive);
    const std::string car = ReadBytes(board_ + "/car/1.txt");
    WriteBytes(board_ + "/dia/土休日/car/1.txt", car);
    WriteBytes(board_ + "/dia/土休日/car/2.txt", ReadBytes(board_ + "/car/2.txt"));
    std::string rec = ReadBytes(board_ + "/Board.txt");
    // Board.txt is Shift-JIS: 平日 is 95 BD 93 FA, 各停 8A 65 92 E2, 普通 95 81 92 CA.
    rec += "DIA_NAME=\x95\xBD\x93\xFA\r\nKIND_COUNT=2\r\nKIND1=\x95\x81\x92\xCA|\x95\x81\x92\xCA|0\r\n"
           "KIND2=\x8A\x65\x92\xE2|\x95\x81\x92\xCA|16711680\r\n";
    WriteBytes(board_ + "/Board.txt", rec);
  }
  TStatus Load() { return brd_.LoadBrd(dir_.Path(), "Sample"); }

  TTempDir dir_;
  std::string board_ = dir_ / "Sample";
  TBrdData brd_;
};

TEST_F(BrdDias, ABoardWithTwoTimetablesRoundTripsAndSwitchingWritesNothing) {
  ASSERT_TRUE(Load().ok());
  ASSERT_EQ(brd_.Dias.size(), 2u);
  EXPECT_EQ(brd_.Dias[0].Name, "平日");
  EXPECT_EQ(brd_.Dias[1].Name, "土休日");
  EXPECT_EQ(brd_.Dias[1].Cars.size(), 2u);
  ASSERT_EQ(brd_.Kinds.size(), 2u);
  EXPECT_EQ(brd_.Kinds[1], (TKindDef{"各停", 0xFF0000, "普通"}));
  const auto before = DirTree(board_);
  const auto times = Times(board_);
  ASSERT_TRUE(brd_.SaveBrd(board_, false).ok());
  EXPECT_EQ(DirTree(board_), before);
  brd_.SelectDia(1);
  EXPECT_EQ(brd_.Cars.size(), 2u);
  EXPECT_EQ(brd_.DiaCars(0).size(), 13u);
  brd_.SelectDia(0);
  ASSERT_TRUE(brd_.SaveBrd(board_, false).ok());
  EXPECT_EQ(Times(board_), times);  // nothing rewritten
}

TEST_F(BrdDias, AnEditInOneTimetableChangesOnlyItsFiles) {
  ASSERT_TRUE(Load().ok());
  const auto before = DirTree(board_);
  ASSERT_TRUE(SelectDiaByName(brd_, "土休日").ok());
  brd_.CarDel(2);
  ASSERT_TRUE(brd_.SaveBrd(board_, false).ok());
  auto expected = before;
  expected.erase("dia/土休日/car/2.txt");
  EXPECT_EQ(DirTree(board_), expected);
  // Read back, the weekday timetable still has all its sets and the weekend one set 1 only.
  TBrdData again;
  ASSERT_TRUE(again.LoadBrd(dir_.Path(), "Sample").ok());
  EXPECT_EQ(again.Cars.size(), 13u);
  EXPECT_EQ(again.Dias[1].Cars.size(), 1u);
}

TEST_F(BrdDias, AddRenameAndDeleteMoveTheFoldersAtTheSave) {
  ASSERT_TRUE(Load().ok());
  size_t k = 0;
  ASSERT_TRUE(brd_.AddDia("臨時", true, k).ok());
  EXPECT_EQ(brd_.Dias[k].Name, "臨時");
  ASSERT_TRUE(brd_.SaveBrd(board_, false).ok());
  EXPECT_EQ(ReadBytes(board_ + "/dia/臨時/car/7.txt"), ReadBytes(board_ + "/car/7.txt"));
  ASSERT_TRUE(brd_.RenameDia(static_cast<size_t>(brd_.FindDia("臨時")), "特別").ok());
  ASSERT_TRUE(brd_.RenameDia(0, "ダイヤ").ok());
  ASSERT_TRUE(brd_.SaveBrd(board_, false).ok());
  EXPECT_FALSE(fs::exists(board_ + "/dia/臨時"));
  EXPECT_EQ(ReadBytes(board_ + "/dia/特別/car/7.txt"), ReadBytes(board_ + "/car/7.txt"));
  EXPECT_NE(ReadBytes(board_ + "/Board.txt").find("DIA_NAME=\x83\x5F\x83\x43\x83\x84\r\n"),
            std::string::npos);  // ダイヤ, kept named since the board named it
  ASSERT_TRUE(brd_.DeleteDia(static_cast<size_t>(brd_.FindDia("特別"))).ok());
  ASSERT_TRUE(brd_.DeleteDia(static_cast<size_t>(brd_.FindDia("土休日"))).ok());
  ASSERT_TRUE(brd_.SaveBrd(board_, false).ok());
  EXPECT_FALSE(fs::exists(board_ + "/dia"));
  EXPECT_EQ(brd_.Cars.size(), 13u);
}

TEST_F(BrdDias, UnusableNamesAreRefusedAndNothingChanges) {
  ASSERT_TRUE(Load().ok());
  size_t k = 0;
  const struct {
    const char* Name;
    const char* Why;
  } cases[] = {{"", "空"},          {"a/b", "使えない文字"}, {".x", "「.」で始め"},
               {"土休日", "すでに"}, {"平日", "すでに"},      {"\xF0\x9F\x9A\x83", "Shift-JIS"}};
  for (const auto& c : cases) {
    const TStatus st = brd_.AddDia(c.Name, false, k);
    ASSERT_FALSE(st.ok()) << c.Name;
    EXPECT_NE(st.Msg().find(c.Why), std::string::npos) << st.Msg();
  }
  EXPECT_FALSE(brd_.DeleteDia(0).ok());
  EXPECT_FALSE(SelectDiaByName(brd_, "臨時").ok());
  EXPECT_EQ(brd_.Dias.size(), 2u);
  EXPECT_FALSE(brd_.Modified);
}

TEST_F(BrdDias, TwoFoldersThatDifferOnlyInCaseAreRefusedAtLoad) {
  WriteBytes(board_ + "/dia/Rinji/car/1.txt", ReadBytes(board_ + "/car/1.txt"));
  WriteBytes(board_ + "/dia/RINJI/car/1.txt", ReadBytes(board_ + "/car/1.txt"));
  const TStatus st = Load();
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("RINJI"), std::string::npos) << st.Msg();
  EXPECT_NE(st.Msg().find("Rinji"), std::string::npos) << st.Msg();
}

// Timetable and line notes live in Board.txt (DIA_NOTE, LINE_NOTE, name|note) only when there
// are some; a renamed timetable keeps its note, a deleted one drops it.
TEST_F(BrdDias, TimetableAndLineNotesRoundTripThroughBoardTxt) {
  ASSERT_TRUE(Load().ok());
  EXPECT_TRUE(brd_.DiaNotes.empty());
  const std::string plain = ReadBytes(board_ + "/Board.txt");
  SetNote(brd_.DiaNotes, "土休日", "2026年3月改正");
  SetNote(brd_.LineNotes, "本線", "  臨港線と直通 ");
  brd_.Modified = true;
  ASSERT_TRUE(brd_.SaveBrd(board_, false).ok());
  std::string cp;
  ASSERT_TRUE(Utf8ToCp932("DIA_NOTE_COUNT=1\r\nDIA_NOTE1=土休日|2026年3月改正\r\n"
                          "LINE_NOTE_COUNT=1\r\nLINE_NOTE1=本線|臨港線と直通\r\n", cp));
  EXPECT_EQ(ReadBytes(board_ + "/Board.txt"), plain + cp);
  TBrdData again;
  ASSERT_TRUE(again.LoadBrd(dir_.Path(), "Sample").ok());
  EXPECT_EQ(again.DiaNotes, (TNoteMap{{"土休日", "2026年3月改正"}}));
  EXPECT_EQ(again.LineNotes, (TNoteMap{{"本線", "臨港線と直通"}}));
  ASSERT_TRUE(again.RenameDia(1, "休日").ok());
  EXPECT_EQ(again.DiaNotes, (TNoteMap{{"休日", "2026年3月改正"}}));
  ASSERT_TRUE(again.DeleteDia(1).ok());
  SetNote(again.LineNotes, "本線", "");
  EXPECT_TRUE(again.DiaNotes.empty());
  ASSERT_TRUE(again.SaveBrd(board_, false).ok());
  EXPECT_EQ(ReadBytes(board_ + "/Board.txt"), plain);

  // A damaged note key fails the load naming it.
  WriteBytes(board_ + "/Board.txt", plain + "LINE_NOTE_COUNT=1\r\nLINE_NOTE1=|x\r\n");
  TBrdData bad;
  const TStatus st = bad.LoadBrd(dir_.Path(), "Sample");
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("LINE_NOTE1"), std::string::npos) << st.Msg();
}

// The kind window's edits on the sample (kinds 普通 and 各停; its trains are 普通, 急行 みなと and
// 特急 しおかぜ, and sets 1 and 2 also run in 土休日): renaming 普通 rewrites every 普通 train of
// both timetables, a kind in use cannot go, and a table equal to the built-in kinds is kept as
// none.
TEST_F(BrdDias, KindEditsRewriteTheTrainsOfARenamedKindAndRefuseDeletingOneInUse) {
  ASSERT_TRUE(Load().ok());
  int32_t changed = 0;
  std::vector<TKindEdit> rows = KindEditRows(brd_);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(TrainOfKind(brd_, 1), "");
  EXPECT_EQ(TrainOfKind(brd_, 0), "列車 1001（ダイヤ「平日」）");

  // 普通 removed: refused, nothing changed.
  const std::vector<TKindDef> kinds = brd_.Kinds;
  TStatus st = ApplyKindEdits(brd_, {rows[1]}, changed);
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(st.Msg(), "種別「普通」は列車 1001（ダイヤ「平日」）が使っているため削除できません");
  EXPECT_EQ(brd_.Kinds, kinds);
  // Two kinds of one name: refused by the table check.
  rows[1].Kind.Name = "普通";
  EXPECT_FALSE(ApplyKindEdits(brd_, rows, changed).ok());

  // 普通 renamed 各駅停車 (still of type 普通), 各停 deleted, a 快速 kind added.
  rows = KindEditRows(brd_);
  rows[0].Kind.Name = "各駅停車";
  rows[1] = TKindEdit{TKindDef{"区間快速", 0x00FF00, "快速"}, -1};
  size_t ordinary = 0;
  for (const auto& [key, car] : brd_.Cars) {
    for (const TTmTbl& s : car->TmTbl.Items()) ordinary += s.Txt.find(",普通") != std::string::npos;
  }
  ASSERT_TRUE(ApplyKindEdits(brd_, rows, changed).ok());
  EXPECT_EQ(brd_.Kinds, (std::vector<TKindDef>{{"各駅停車", 0, "普通"}, {"区間快速", 0x00FF00, "快速"}}));
  const TCarObj* one = brd_.FindCar(1, "");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->TmTbl.At(1).Txt, "1001,普通 各駅停車");
  EXPECT_EQ(brd_.Dias[1].Cars.at("1")->TmTbl.At(1).Txt, "1001,普通 各駅停車");
  size_t weekend = 0;
  for (const auto& [key, car] : brd_.Dias[1].Cars) {
    for (const TTmTbl& s : car->TmTbl.Items()) weekend += s.Txt.find(",普通") != std::string::npos;
  }
  EXPECT_EQ(static_cast<size_t>(changed), ordinary + weekend);
  // Trains of kinds the table does not name keep their texts.
  bool express = false;
  for (const auto& [key, car] : brd_.Cars) {
    for (const TTmTbl& s : car->TmTbl.Items()) express |= s.Txt.find(",急行 みなと") != std::string::npos;
  }
  EXPECT_TRUE(express);
  ASSERT_TRUE(brd_.SaveBrd(board_, false).ok());
  TBrdData again;
  ASSERT_TRUE(again.LoadBrd(dir_.Path(), "Sample").ok());
  EXPECT_EQ(again.Kinds, brd_.Kinds);
  EXPECT_EQ(again.FindCar(1, "")->TmTbl.At(1).Txt, "1001,普通 各駅停車");

  // Back to exactly the six built-in kinds: the board keeps no table; the trains read "普通".
  rows.clear();
  for (const TKindDef& k : BuiltInKinds()) rows.push_back({k, -1});
  rows[0].From = 0;
  ASSERT_TRUE(ApplyKindEdits(brd_, rows, changed).ok());
  EXPECT_TRUE(brd_.Kinds.empty());
  EXPECT_EQ(brd_.FindCar(1, "")->TmTbl.At(1).Txt, "1001,普通");
}

TEST(BrdKinds, AKindTextNamesItsKind) {
  std::vector<TKindDef> table = BuiltInKinds();
  table.push_back({"各停", 0xFF0000, "普通"});
  table.push_back({"通勤快速", 0x00FF00, "快速"});
  const struct {
    const char* Text;
    int32_t Kind;
  } cases[] = {{"普通", 0},          {"快速 みなと", 1},   {"普通 各停", 6},
               {"普通 各停 1号", 6}, {"快速 通勤快速", 7}, {"特急 各停", 4},
               {"", -1},             {"みなと", -1}};
  for (const auto& c : cases) EXPECT_EQ(KindIndexOf(table, c.Text), c.Kind) << c.Text;
  EXPECT_EQ(KindTextOf(table[7]), "快速 通勤快速");
  EXPECT_EQ(KindTextOf(table[1]), "快速");
}

}  // namespace
}  // namespace ramvel
