// Train sets: timetable queries on a small chain of trains, and the car file.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "model/UrwCarObj.h"

namespace ramvel {
namespace {

using test::ReadBytes;
using test::TTempDir;

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text << "\" lacks \"" << part << "\"";
}

TTmTbl Step(int32_t start, int32_t end, int32_t sta, int32_t home, std::string txt = "") {
  return TTmTbl{std::move(txt), start, end, MakeEntCode(sta, home, 0)};
}

// Stabled at 5001/2; train 101 leaves 5001 at 660, passes 6001 at 900, ends at 7001 at 1200.
TCarObj OneTrain() {
  TCarObj car;
  car.SetProps({7, "", 0x0000FF, 2, 108});
  car.TmTbl.Add(Step(-1, -1, 5001, 2));
  car.TmTbl.Add(Step(600, 660, 5001, 1, "101,普通"));
  car.TmTbl.Add(Step(900, 900, 6001, 1));
  car.TmTbl.Add(Step(1200, -1, 7001, 2));
  return car;
}

// OneTrain followed by train 102 (with a nickname) back from 7001 to 5001.
TCarObj TwoTrains() {
  TCarObj car = OneTrain();
  car.TmTbl.Add(Step(1500, 1560, 7001, 2, "102,特急 かもめ"));
  car.TmTbl.Add(Step(1800, 1800, 6001, 1));
  car.TmTbl.Add(Step(2100, -1, 5001, 1));
  return car;
}

TEST(CarTimetable, FindTrainGivesTheStepRange) {
  const TCarObj car = TwoTrains();
  EXPECT_EQ(car.FindTrain("101").First, 1);
  EXPECT_EQ(car.FindTrain("101").Last, 3);
  EXPECT_EQ(car.FindTrain("102").First, 4);
  EXPECT_EQ(car.FindTrain("102").Last, 6);
  EXPECT_EQ(car.FindTrain("103").First, -1);
  EXPECT_EQ(car.FindTrain("103").Last, -2);
  EXPECT_EQ(OneTrain().FindTrain("101").Last, 3);
}

// Ranges follow every edit of the timetable, also of a copy edited apart from its source: a
// train added, one deleted, one renumbered, two headers of one number in a row (one train), a
// number that comes back later (its first run counts), a text without a comma (not a header).
TEST(CarTimetable, FindTrainFollowsEveryEditOfTheTimetable) {
  TCarObj car = TwoTrains();
  EXPECT_EQ(car.FindTrain("102").Last, 6);  // built once before the edits
  const TCarObj before = car;
  car.TmTbl.Add(Step(2400, 2460, 5001, 1, "103,普通"));
  car.TmTbl.Add(Step(2700, -1, 7001, 1));
  EXPECT_EQ(car.FindTrain("102").Last, 6);
  EXPECT_EQ(car.FindTrain("103").First, 7);
  EXPECT_EQ(car.FindTrain("103").Last, 8);
  EXPECT_EQ(before.FindTrain("103").First, -1) << "the copy keeps its own timetable";
  ASSERT_TRUE(car.DeleteTrain("103"));
  EXPECT_EQ(car.FindTrain("103").First, -1);

  struct TCase {
    const char* Header5;  // the header given to step 5 (a step of train 102 until now)
    int32_t First102, Last102;
  } cases[] = {
      {"102,普通", 5, 6},  // two headers of 102 in a row: the range starts at the later one
      {"101,普通", 4, 4},  // 101 comes back at step 5: ends 102, and 101's first run counts
      {"104,普通", 4, 4},  // 104 takes steps 5 and 6 from 102
      {"ヘッダ", 4, 6},    // no comma: not a header
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Header5);
    TCarObj edited = TwoTrains();
    (void)edited.FindTrain("101");
    const TTmTbl old = edited.TmTbl.At(5);
    edited.TmTbl.Delete(5);
    edited.TmTbl.Add(TTmTbl{c.Header5, old.TmStart, old.TmEnd, old.Loc});
    EXPECT_EQ(edited.FindTrain("102").First, c.First102);
    EXPECT_EQ(edited.FindTrain("102").Last, c.Last102);
    EXPECT_EQ(edited.FindTrain("101").First, 1);
    EXPECT_EQ(edited.FindTrain("101").Last, 3);
  }
  car.TmTbl.Clear();
  EXPECT_EQ(car.FindTrain("101").First, -1);
}

TEST(CarTimetable, FindTrainStepLooksOnlyInsideTheTrain) {
  const TCarObj car = TwoTrains();
  EXPECT_EQ(car.FindTrainStep("101", 6001), 2);
  EXPECT_EQ(car.FindTrainStep("102", 6001), 5);
  EXPECT_EQ(car.FindTrainStep("102", 5001), 6);
  EXPECT_EQ(car.FindTrainStep("101", 9001), -1);
  EXPECT_EQ(car.FindTrainStep("103", 5001), -1);
}

TEST(CarTimetable, StepAtIsTheLastStepStartedByThen) {
  const TCarObj car = OneTrain();
  const std::pair<int32_t, int32_t> cases[] = {{0, 0},   {599, 0},  {600, 1},  {899, 1},
                                               {900, 2}, {1199, 2}, {1200, 3}, {82800, 3}};
  for (const auto& [t, step] : cases) EXPECT_EQ(car.StepAt(t), step) << "t=" << t;
}

TEST(CarTimetable, LabelAtShowsTheRunningTrainOrTheStabledSet) {
  const TCarObj car = TwoTrains();
  const std::pair<int32_t, std::string> cases[] = {
      {100, "[7]"},  {630, "101,普通"},         {950, "101,普通"},  // pass: from its header
      {1300, "[7]"}, {1530, "102,特急 かもめ"}, {1900, "102,特急 かもめ"}, {2200, "[7]"}};
  for (const auto& [t, label] : cases) EXPECT_EQ(car.LabelAt(t), label) << "t=" << t;
}

TEST(CarTimetable, OnlyStabledSetStandsAllDay) {
  TCarObj car;
  car.Id = 4;
  EXPECT_EQ(car.LabelAt(600), "[4]");  // no steps at all
  car.TmTbl.Add(Step(-1, -1, 5001, 1));
  for (const int32_t t : {0, 600, 82800}) {
    EXPECT_EQ(car.StepAt(t), 0);
    EXPECT_EQ(car.LabelAt(t), "[4]");
  }
}

TEST(CarTimetable, PrevHeaderFindsTheNearestHeaderBefore) {
  const TCarObj car = TwoTrains();
  const THeaderHit full = car.PrevHeader(6, true);
  EXPECT_TRUE(full.Found);
  EXPECT_EQ(full.Txt, "102,特急 かもめ");
  EXPECT_EQ(full.Index, 4);
  const THeaderHit number = car.PrevHeader(4, false);  // step 4 itself is not looked at
  EXPECT_EQ(number.Txt, "101");
  EXPECT_EQ(number.Index, 1);
  EXPECT_FALSE(car.PrevHeader(1, true).Found);
}

TEST(CarTimetable, OnlyTheLastTrainCanBeDeleted) {
  TCarObj car = TwoTrains();
  EXPECT_FALSE(car.DeleteTrain("101"));
  EXPECT_FALSE(car.DeleteTrain("103"));
  EXPECT_EQ(car.TmTbl.Count(), 7);
  EXPECT_TRUE(car.DeleteTrain("102"));
  ASSERT_EQ(car.TmTbl.Count(), 4);
  EXPECT_EQ(car.TmTbl.GetLast().TmStart, 1200);
  EXPECT_TRUE(car.DeleteTrain("101"));
  EXPECT_EQ(car.TmTbl.Count(), 1);
  EXPECT_EQ(StepKind(car.TmTbl.Get(0)), TStepKind::kStabling);
}

TEST(CarProps, SpeedInMetresPerSecond) {
  TCarObj car;
  car.SetProps({3, "通勤", 0x00FF00, 6, 108});
  EXPECT_EQ(car.SpdMps(), 30.0f);
  EXPECT_EQ(car.Id, 3);
  EXPECT_EQ(car.Usage, "通勤");
  EXPECT_EQ(car.NCar, 6);
}

// ---- Car file ----------------------------------------------------------------------------------

std::string Cp932(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  std::string bytes;
  EXPECT_TRUE(Utf8ToCp932(text, bytes));
  return bytes;
}

const std::vector<std::string> kTwoTrainsFile = {"USAGE=通勤 快速",
                                                 "COLOR=255",
                                                 "N_CAR=2",
                                                 "SPD=108",
                                                 "TM_COUNT=7",
                                                 "TM1=-1|-1|5021|",
                                                 "TM2=600|660|5011|101,普通",
                                                 "TM3=900|900|6011|",
                                                 "TM4=1200|-1|7021|",
                                                 "TM5=1500|1560|7021|\"102,特急 かもめ\"",
                                                 "TM6=1800|1800|6011|",
                                                 "TM7=2100|-1|5011|"};

TEST(CarFile, WritesEveryTrainInTheFixedForm) {
  TTempDir dir;
  TCarObj car = TwoTrains();
  car.Usage = "通勤 快速";
  ASSERT_TRUE(car.SaveCar(dir.Path()).ok());
  EXPECT_EQ(ReadBytes(dir / "7.txt"), Cp932(kTwoTrainsFile));
}

TEST(CarFile, WriteReadWriteGivesTheSameBytes) {
  TTempDir dir;
  test::WriteBytes(dir / "in/7.txt", Cp932(kTwoTrainsFile));
  TCarObj car;
  ASSERT_TRUE(car.LoadCar(dir / "in", "7").ok());
  EXPECT_EQ(car.Id, 7);
  EXPECT_EQ(car.TmTbl.Get(4).Txt, "102,特急 かもめ");  // the quoted nickname is one item
  EXPECT_EQ(car.FindTrain("102").Last, 6);
  std::filesystem::create_directory(dir / "out");
  ASSERT_TRUE(car.SaveCar(dir / "out").ok());
  EXPECT_EQ(ReadBytes(dir / "out/7.txt"), ReadBytes(dir / "in/7.txt"));
}

TEST(CarFile, FileNameCaseOnDiskDoesNotMatter) {
  TTempDir dir;
  test::WriteBytes(dir / "7.TXT", Cp932(kTwoTrainsFile));
  TCarObj car;
  ASSERT_TRUE(car.LoadCar(dir.Path(), "7").ok());
  car.Spd = 90;
  ASSERT_TRUE(car.SaveCar(dir.Path()).ok());
  EXPECT_TRUE(Contains(ReadBytes(dir / "7.TXT"), "SPD=90\r\n"));
  EXPECT_FALSE(std::filesystem::exists(dir / "7.txt"));
}

struct TBadCase {
  std::string line;  // replaces the line with the same key, or is added; "KEY=" + "\x01" drops it
  std::string key;
};

class CarFileBad : public ::testing::TestWithParam<TBadCase> {};

TEST_P(CarFileBad, NamesFileAndKeyAndChangesNothing) {
  std::vector<std::string> lines;
  const std::string key = GetParam().line.substr(0, GetParam().line.find('='));
  for (const std::string& l : kTwoTrainsFile) {
    if (l.substr(0, l.find('=')) != key) lines.push_back(l);
  }
  if (GetParam().line.back() != '\x01') lines.push_back(GetParam().line);
  TTempDir dir;
  test::WriteBytes(dir / "3.txt", Cp932(lines));
  TCarObj car = OneTrain();
  const TStatus st = car.LoadCar(dir.Path(), "3");
  ASSERT_FALSE(st.ok());
  EXPECT_TRUE(Contains(st.Msg(), "car/3.txt: " + GetParam().key));
  EXPECT_EQ(car.Id, 7);
  EXPECT_EQ(car.TmTbl.Count(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CarFileBad,
    ::testing::Values(TBadCase{"COLOR=red", "COLOR"}, TBadCase{"N_CAR=\x01", "N_CAR"},
                      TBadCase{"N_CAR=9", "N_CAR"}, TBadCase{"N_CAR=0", "N_CAR"},
                      TBadCase{"SPD=0", "SPD"}, TBadCase{"TM_COUNT=2000000000", "TM_COUNT"},
                      TBadCase{"TM_COUNT=8", "TM8"}, TBadCase{"TM3=900|x|6011|", "TM3"},
                      TBadCase{"TM3=900|900", "TM3"}, TBadCase{"TM_COUNT=-1", "TM_COUNT"}));

TEST(CarFile, MissingOrMisnamedFileChangesNothing) {
  TTempDir dir;
  TCarObj car = OneTrain();
  const TStatus missing = car.LoadCar(dir.Path(), "12");
  ASSERT_FALSE(missing.ok());
  EXPECT_TRUE(Contains(missing.Msg(), "car/12.txt"));
  EXPECT_FALSE(Contains(missing.Msg(), dir.Path()));
  test::WriteBytes(dir / "ABC.txt", Cp932(kTwoTrainsFile));
  EXPECT_FALSE(car.LoadCar(dir.Path(), "ABC").ok());
  EXPECT_EQ(car.Id, 7);
  EXPECT_EQ(car.TmTbl.Count(), 4);
}

TEST(CarFile, MissingUsageReadsEmpty) {
  std::vector<std::string> lines(kTwoTrainsFile.begin() + 1, kTwoTrainsFile.end());
  TTempDir dir;
  test::WriteBytes(dir / "7.txt", Cp932(lines));
  TCarObj car;
  car.Usage = "old";
  ASSERT_TRUE(car.LoadCar(dir.Path(), "7").ok());
  EXPECT_EQ(car.Usage, "");
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

TextRec RecOf(const std::vector<std::string>& lines) {
  TextRec rec;
  rec.Lines = lines;
  return rec;
}

// Notes live in the car file as NOTE_COUNT and NOTEk = number|note: written only for trains the
// set runs, read back the same (a note with blanks and "|" quoted), and a file without them
// saves without them.
TEST(CarNotes, NotesOfTheSetsTrainsRoundTripAndOthersAreDropped) {
  TCarObj car = TwoTrains();
  const TextRec plain = car.MakeRec();
  for (const std::string& line : plain.Lines) EXPECT_NE(line.rfind("NOTE", 0), 0u) << line;
  car.SetTrNote("102", "  土曜運休 | 臨時\r\n延長  ");
  car.SetTrNote("101", "途中で5分停車");
  car.SetTrNote("999", "この編成の列車ではない");
  EXPECT_EQ(car.TrNote("102"), "土曜運休 | 臨時  延長");
  const TextRec rec = car.MakeRec();
  const std::vector<std::string> tail(rec.Lines.end() - 3, rec.Lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"NOTE_COUNT=2", "NOTE1=101|途中で5分停車",
                                            "NOTE2=102|\"土曜運休 | 臨時  延長\""}));
  TCarObj back;
  ASSERT_TRUE(back.ReadRec(rec, "car/7.txt").ok());
  EXPECT_EQ(back.TrNotes, (std::map<std::string, std::string>{
                              {"101", "途中で5分停車"}, {"102", "土曜運休 | 臨時  延長"}}));
  EXPECT_EQ(back.MakeRec().Lines, rec.Lines);
  // Clearing a note removes it; a set without notes writes none.
  back.SetTrNote("101", " ");
  back.SetTrNote("102", "");
  EXPECT_EQ(back.MakeRec().Lines, plain.Lines);
}

TEST(CarNotes, DamagedNoteKeysAreRefusedNamingTheKeyAndChangeNothing) {
  const TCarObj good = TwoTrains();
  const std::vector<std::string> head = good.MakeRec().Lines;
  const struct {
    std::vector<std::string> Extra;
    const char* Key;
  } cases[] = {
      {{"NOTE_COUNT=x"}, "NOTE_COUNT"},
      {{"NOTE_COUNT=-1"}, "NOTE_COUNT"},
      {{"NOTE_COUNT=2", "NOTE1=101|a"}, "NOTE2"},
      {{"NOTE_COUNT=1", "NOTE1=101"}, "NOTE1"},
      {{"NOTE_COUNT=1", "NOTE1=|a"}, "NOTE1"},
      {{"NOTE_COUNT=1", "NOTE1=101|" + std::string(kMaxNoteBytes + 1, 'a')}, "NOTE1"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = head;
    lines.insert(lines.end(), c.Extra.begin(), c.Extra.end());
    TCarObj car = TwoTrains();
    car.SetTrNote("101", "元の備考");
    const TStatus st = car.ReadRec(RecOf(lines), "car/7.txt");
    ASSERT_FALSE(st.ok()) << c.Key;
    EXPECT_TRUE(Contains(st.Msg(), std::string("car/7.txt: ") + c.Key)) << st.Msg();
    EXPECT_EQ(car.TrNote("101"), "元の備考");
  }
}

}  // namespace
}  // namespace ramvel
