// The bulk timetable edits on a single-track line A - B - C - D built in code: trains moved in
// time, refused when they would meet another train, and a round trip repeated until a time or
// until a copy meets another train. A stop-to-stop section takes 177 s for these train sets. The
// stations' crossovers lie on their side 0: a train coming from side 1 can only reach platform 1.
#include <gtest/gtest.h>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "timetable/UrwDiaBulk.h"

namespace ramvel {
namespace {

using test::AddCar;
using test::MakeLine;
using test::MakeStep;

constexpr int32_t A = 1001, B = 2001, C = 3001, D = 4001;
constexpr int32_t kH = 3600;
constexpr int32_t k0600 = 2 * kH, k0700 = 3 * kH, k0800 = 4 * kH, k1000 = 6 * kH;

// Train 402 of a train set stabled at D/2: leaves D at dep, stops at C/1, ends at B/1; or, with
// toB false, ends at C/1.
std::vector<TTmTbl> From402(int32_t dep, bool toB) {
  if (!toB) return {MakeStep(D, 2, 0, dep, dep, "402,普通"), MakeStep(C, 1, 0, dep + 177, -1)};
  return {MakeStep(D, 2, 0, dep, dep, "402,普通"), MakeStep(C, 1, 0, dep + 177, dep + 207),
          MakeStep(B, 1, 0, dep + 384, -1)};
}

void AddTrain(TBrdData& brd, TCarObj& c, const std::vector<TTmTbl>& steps) {
  for (const TTmTbl& s : steps) c.TmTbl.Add(s);
  ASSERT_TRUE(brd.TrainReg(c.Id, TextBefore(steps.front().Txt, ",")));
}

// Set 1 stands at A/1 and runs 101 A -> B -> C at 06:00 and 102 C -> B -> A at 06:20.
class Bulk : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeLine(brd_, {"A", "B", "C", "D"});
    brd_.MakeLineBlk();
    TCarObj& c1 = AddCar(brd_, A, 1);
    AddTrain(brd_, c1, Down("101", 1, k0600));
    AddTrain(brd_, c1, Up("102", 1, k0600 + 1200));
  }
  // A train leaving A (down) or C (up) at dep on platform home, stopping 30 s at B.
  static std::vector<TTmTbl> Down(const std::string& no, int32_t home, int32_t dep) {
    return {MakeStep(A, home, 1, dep, dep, no + ",普通"),
            MakeStep(B, home, 1, dep + 177, dep + 207), MakeStep(C, home, 1, dep + 384, -1)};
  }
  static std::vector<TTmTbl> Up(const std::string& no, int32_t home, int32_t dep) {
    return {MakeStep(C, home, 0, dep, dep, no + ",普通"),
            MakeStep(B, home, 0, dep + 177, dep + 207), MakeStep(A, home, 0, dep + 384, -1)};
  }
  TCarObj& Car(int32_t no) { return *brd_.FindCar(no, ""); }
  void Add402(int32_t dep, bool toB) { AddTrain(brd_, AddCar(brd_, D, 2), From402(dep, toB)); }
  std::string Rec(int32_t no) {
    std::string text;
    for (const std::string& line : Car(no).MakeRec().Lines) text += line + "\n";
    return text;
  }
  // The times of a set's steps as "arr/dep" texts, from step 1.
  std::vector<std::string> Times(int32_t no) {
    std::vector<std::string> out;
    for (int32_t i = 1; i < Car(no).TmTbl.Count(); ++i) {
      const TTmTbl& s = Car(no).TmTbl.At(i);
      out.push_back(IntText(s.TmStart) + "/" + IntText(s.TmEnd));
    }
    return out;
  }

  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

std::vector<std::string> Shifted(std::vector<TTmTbl> steps, int32_t d) {
  std::vector<std::string> out;
  for (const TTmTbl& s : steps) {
    out.push_back(IntText(s.TmStart + d) + "/" + IntText(s.TmEnd < 0 ? -1 : s.TmEnd + d));
  }
  return out;
}

std::vector<std::string> Cat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(Bulk, ShiftMovesOneTrainOrEveryLaterOne) {
  TBulkResult r = ShiftTrain(brd_, "101", 5, false);
  ASSERT_TRUE(r.Ok) << r.Msg;
  EXPECT_EQ(Cat(Shifted(Down("", 1, k0600), 300), Shifted(Up("", 1, k0600 + 1200), 0)), Times(1));
  EXPECT_EQ("列車101の時刻を+5分ずらしました", r.Msg);
  r = ShiftTrain(brd_, "101", -10, true);
  ASSERT_TRUE(r.Ok) << r.Msg;
  EXPECT_EQ(2, r.Trains);
  EXPECT_EQ(Cat(Shifted(Down("", 1, k0600), -300), Shifted(Up("", 1, k0600 + 1200), -600)),
            Times(1));
  EXPECT_TRUE(host_.Events.empty());
}

// Each refusal leaves the train set's record as it was and says why.
TEST_F(Bulk, ShiftRefusalsChangeNothing) {
  Add402(k0600 + 1800, true);  // 06:30 from D, at C/1 from 06:32:57, ends at B/1
  const std::string rec1 = Rec(1), rec2 = Rec(2);
  struct Case {
    std::string TrNo;
    int32_t Minutes;
    bool Following;
    std::string Says;
  } cases[] = {
      // Leaving C at 06:03:27 it would take the single track to B as 101 comes onto it from B.
      {"402", -30, false, "列車402を-30分ずらすと、C駅〜B駅間で列車101と重なります"},
      // 33 minutes earlier both would come into B at once (101 from 06:01:54, 402 from 06:02:21).
      {"402", -33, false, "列車402を-33分ずらすと、B駅で列車101と重なります"},
      // Set 1 would still stand at C/1 when 402 comes in at 06:32:57.
      {"102", 14, false, "列車102を+14分ずらすと、C駅の1番ホームで列車402と重なります"},
      {"101", 18, false, "次の列車102の発車まで30秒以上空きません"},
      {"102", -17, false, "前の列車101の到着（606.24）から30秒以上空きません"},
      {"101", -121, true, "時刻が4:00〜27:00の範囲を外れます"},
      {"101", 0, false, "0分を除く"},
      {"999", 5, false, "列車「999」が見つかりません"},
  };
  for (const Case& c : cases) {
    const TBulkResult r = ShiftTrain(brd_, c.TrNo, c.Minutes, c.Following);
    EXPECT_FALSE(r.Ok) << c.TrNo << " " << c.Minutes;
    EXPECT_NE(std::string::npos, r.Msg.find(c.Says)) << r.Msg;
    EXPECT_EQ(rec1, Rec(1));
    EXPECT_EQ(rec2, Rec(2));
  }
}

TEST_F(Bulk, RepeatRunsUntilTheGivenTime) {
  const TBulkResult r = RepeatTrains(brd_, {1, 2, 60, k1000, 2});
  ASSERT_TRUE(r.Ok) << r.Msg;
  // Copies leave A at 07:00, 08:00, 09:00 and 10:00; the one of 11:00 is after 10:00.
  EXPECT_EQ(4, r.Copies);
  EXPECT_EQ(8, r.Trains);
  std::vector<std::string> want = Times(1);
  want.resize(6);
  for (int32_t k = 1; k <= 4; ++k) {
    want = Cat(want,
               Cat(Shifted(Down("", 1, k0600), k * kH), Shifted(Up("", 1, k0600 + 1200), k * kH)));
  }
  EXPECT_EQ(want, Times(1));
  for (const char* no : {"103", "104", "109", "110"}) {
    EXPECT_EQ(&Car(1), brd_.FindTrainCar(no, ""));
  }
  EXPECT_EQ(
      "4回分（8本）の列車を作成しました。次の複製は1000より後に発車するため、ここで終わりました。",
      r.Msg);
}

// 402 leaves D at 08:05, stops at C/1 from 08:07:57 and ends at B/1 at 08:11:24, where set 2 then
// stands: the copy of 08:00 goes to C/2, but its way back must stop at B/1 at 08:22:57.
TEST_F(Bulk, RepeatStopsAtTheFirstCopyThatMeetsATrain) {
  Add402(k0800 + 300, true);
  const TBulkResult r = RepeatTrains(brd_, {1, 2, 60, k1000, 2});
  ASSERT_TRUE(r.Ok) << r.Msg;
  EXPECT_EQ(1, r.Copies);
  EXPECT_EQ(
      "1回分（2本）の列車を作成しました。2回目の複製は、列車106がB駅の1番ホームで留置中の編成2と"
      "重なります。ここで止めました。",
      r.Msg);
  EXPECT_EQ(12u, Times(1).size());  // the two originals and one copy, nothing of the second
  EXPECT_EQ(nullptr, brd_.FindTrainCar("105", ""));
  EXPECT_EQ(nullptr, brd_.FindTrainCar("106", ""));
}

// 402 comes to C/1 at 07:32:57 and stays: from the copy of 08:00 on, the copies end at C/2.
TEST_F(Bulk, RepeatTakesAnotherPlatformWhereTheOriginalsIsTaken) {
  Add402(k0700 + 1800, false);
  const TBulkResult r = RepeatTrains(brd_, {1, 2, 60, k1000, 2});
  ASSERT_TRUE(r.Ok) << r.Msg;
  EXPECT_EQ(4, r.Copies);
  std::vector<int32_t> homesAtC;
  for (const TTmTbl& s : Car(1).TmTbl.Items()) {
    const TEntCode e = SplitEntCode(s.Loc);
    if (e.Id == C && s.TmEnd < 0) homesAtC.push_back(e.Slot);
  }
  EXPECT_EQ((std::vector<int32_t>{1, 1, 2, 2, 2}), homesAtC);
  const std::vector<std::string> t = Times(1);
  EXPECT_EQ(Shifted(Up("", 1, k0600 + 1200), 4 * kH),
            std::vector<std::string>(t.end() - 3, t.end()));
}

TEST_F(Bulk, RepeatRefusesWhatIsNoRoundTrip) {
  Add402(k0700, true);
  struct Case {
    TRepeatOrder Order;
    std::string Says;
  } cases[] = {
      {{2, 1, 60, k1000, 2}, "列車402の始発駅（D駅）に戻る往復になっていません"},
      {{1, 3, 60, k1000, 2}, "編成1の列車は2本です"},
      {{1, 2, 10, k1000, 2},
       "1回目の複製は、編成が626.24に戻る前に発車することになります。列車は作成していません。"},
      {{1, 2, 0, k1000, 2}, "間隔は1〜1380分"},
      {{7, 1, 60, k1000, 2}, "編成7が見つかりません"},
  };
  const std::string rec1 = Rec(1);
  for (const Case& c : cases) {
    const TBulkResult r = RepeatTrains(brd_, c.Order);
    EXPECT_FALSE(r.Ok) << c.Says;
    EXPECT_NE(std::string::npos, r.Msg.find(c.Says)) << r.Msg;
    EXPECT_EQ(rec1, Rec(1));
  }
}

TEST(BulkText, ClocksAndTrainNumbers) {
  const struct {
    const char* Text;
    int32_t Want;  // -1: refused
  } clocks[] = {{"18:30", 52200}, {"1830", 52200}, {"6:05", 7500}, {"27:00", 82800},
                {"3:59", -1},     {"18:3", -1},    {"", -1},       {"ab", -1}};
  for (const auto& c : clocks) {
    int32_t t = -1;
    EXPECT_EQ(c.Want >= 0, ParseClock(c.Text, t)) << c.Text;
    if (c.Want >= 0) {
      EXPECT_EQ(c.Want, t) << c.Text;
    }
  }
  EXPECT_EQ("103", BumpTrainNo("101", 2));
  EXPECT_EQ("1005", BumpTrainNo("0995", 10));
  EXPECT_EQ("M103K", BumpTrainNo("M101K", 2));
  EXPECT_EQ("", BumpTrainNo("回送", 2));
}

}  // namespace
}  // namespace ramvel
