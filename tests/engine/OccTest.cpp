// Timetable occupancy: station halves and blocks booked for a section, the earliest start of a
// section, and the rebuilding of a line's occupancy with the train sets that must be moved.
#include <gtest/gtest.h>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "NetBuilder.h"
#include "engine/UrwBrdData.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {
namespace {

using test::AddCar;
using test::MakeLine;
using test::MakeStep;

constexpr int32_t A = 1001, B = 2001, C = 3001;

struct TIv {
  std::string Txt;
  int32_t From = 0;
  int32_t To = 0;
  friend bool operator==(const TIv&, const TIv&) = default;
};
std::ostream& operator<<(std::ostream& os, const TIv& iv) {
  return os << "[" << iv.Txt << " " << iv.From << ".." << iv.To << "]";
}
using Ivs = std::vector<TIv>;

Ivs IvsOf(const TTmTblObj* occ) {
  Ivs out;
  if (occ == nullptr) return out;
  for (const TTmTbl& r : occ->Items()) out.push_back({r.Txt, r.TmStart, r.TmEnd});
  return out;
}

// Line A - B - C of two-platform stations joined by single-track rails. A train set of 4 cars
// at 72 km/h (20 m/s) runs: a stopping station's arriving half is (594 + 40) / 10 = 63.4 s,
// booked as 63 s, its leaving half (594 - 40) / 10 = 55.4 s, 55 s; a passed station's halves
// take 31.7 s (32 s) and 27.7 s (28 s).
class Occ : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeLine(brd_, {"A", "B", "C"});
    // A - B is shortened to one block of 648 m, 32.4 s at 20 m/s, booked as 32 s. B - C keeps
    // its 1188 m: one block of 59.4 s, 59 s.
    brd_.FindRail(1002, "")->Length = 648;
    brd_.MakeLineBlk();
    car_ = &AddCar(brd_, A, 1);
  }

  std::string Route(int32_t from, int32_t home, int32_t side, int32_t to, int32_t toHome) {
    std::vector<std::string> routes;
    brd_.ListUpNextStaCanGo(from, home, side, to, toHome, routes);
    EXPECT_EQ(routes.size(), 1u);
    return routes.empty() ? "" : TextAfter(routes[0], '=');
  }
  Ivs Home(int32_t sta, int32_t home) {
    return IvsOf(brd_.FindSta(sta, "")->GetRailInSta(kRailHome, home)->Occ.get());
  }
  Ivs Plain(int32_t sta, int32_t no) {
    return IvsOf(brd_.FindSta(sta, "")->GetRailInSta(kRailPlain, no)->Occ.get());
  }
  Ivs Blk(int32_t no) { return IvsOf(&brd_.Blks.at(IntText(no))->Occ); }
  void ResetAll() {
    for (const std::string& id : brd_.LineStas) brd_.FindSta(id, "")->ResetOcc();
    for (auto& [key, blk] : brd_.Blks) blk->ClearOcc();
  }

  TBrdData brd_;
  TCarObj* car_ = nullptr;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(Occ, ASectionBooksTheLeavingHalfTheBlocksAndTheArrivingHalf) {
  const std::string route = Route(A, 1, 1, B, 1);
  ASSERT_EQ(SplitComma(route).size(), 3u);  // A's part, one block, B's part
  struct TCase {
    bool Pass;
    int32_t Start, Leave, Block, Arrive;
  };
  // Stopping at both ends: 55 s, 32 s, 63 s; passing both: 28 s, 32 s, 32 s.
  for (const TCase& k :
       {TCase{false, 1000, 1055, 1087, 1150}, TCase{true, 2000, 2028, 2060, 2092}}) {
    ResetAll();
    TTmTbl step;
    brd_.RegPathToNextSta(*car_, "101", step, -1, k.Start, k.Pass, k.Pass, route);
    EXPECT_EQ(Home(A, 1), (Ivs{{"101", k.Start, k.Leave}}));
    EXPECT_EQ(Plain(A, 11), (Ivs{{"101", k.Start, k.Leave}}));  // A's entry lead on side 1
    EXPECT_EQ(Blk(1), (Ivs{{"101", k.Leave, k.Block}}));
    EXPECT_EQ(Plain(B, 1), (Ivs{{"101", k.Block, k.Arrive}}));  // B's entry lead on side 0
    EXPECT_EQ(Home(B, 1), (Ivs{{"101", k.Block, k.Arrive}}));
    EXPECT_EQ(step.TmStart, k.Arrive);
    EXPECT_EQ(step.Loc, MakeEntCode(B, 1, 0));
  }
  EXPECT_TRUE(host_.Events.empty());
}

TEST_F(Occ, ADepartureGivenHoldsTheArrivalPlatformUntilThen) {
  TTmTbl step;
  brd_.RegPathToNextSta(*car_, "101", step, 1300, 1000, false, false, Route(A, 1, 1, B, 1));
  EXPECT_EQ(Home(B, 1), (Ivs{{"101", 1087, 1300}}));
  EXPECT_EQ(Plain(B, 5), (Ivs{{"101", 1087, 1150}}));
  // The turnout at B's side 0 is set to its straight route over the arrival's slots.
  const TStaObj* b = brd_.FindSta(B, "");
  EXPECT_EQ(b->Pts[0].Occ[1087 / 15], 1);
  EXPECT_EQ(b->Pts[0].Occ[1150 / 15], 1);
  EXPECT_EQ(b->Pts[0].Occ[1150 / 15 + 1], -1);
}

TEST_F(Occ, AnEmptyRouteBooksNothing) {
  TTmTbl step{"x", 5, 5, 5};
  brd_.RegPathToNextSta(*car_, "101", step, -1, 1000, false, false, "");
  EXPECT_EQ(step.TmStart, 1000);
  EXPECT_EQ(step.Loc, 0);
  EXPECT_TRUE(Blk(1).empty());
}

TEST_F(Occ, TheStartIsHeldUntilTheFirstBlockIsFree) {
  const std::string route = Route(A, 1, 1, B, 1);
  struct TCase {
    int32_t TakenFor;
    bool Ok;
    int32_t Start;
  };
  // Held 1700 s is accepted; 1800 s or more makes the section impossible, t unchanged.
  for (const TCase& k :
       {TCase{1700, true, 2700}, TCase{1799, true, 2799}, TCase{1800, false, 1000}}) {
    ResetAll();
    brd_.Blks.at("1")->Occupy("X", 1000, k.TakenFor);
    int32_t t = 1000;
    EXPECT_EQ(brd_.CalcTimeCanStart(*car_, route, t, false, false), k.Ok) << k.TakenFor;
    EXPECT_EQ(t, k.Start) << k.TakenFor;
  }
}

// The test holds each station half for as long as it is booked: the departure station for its
// leaving half, the arrival station for its arriving half. A section from 1000 that stops at
// both ends books A 1000-1055, the block 1055-1087 and B 1087-1150; one that passes A books A
// 1000-1028, the block 1028-1060 and B 1060-1123.
TEST_F(Occ, TheTestTakesTheStationHalvesAsTheyAreBooked) {
  const std::string route = Route(A, 1, 1, B, 1);
  struct TCase {
    bool PassFrom;
    int32_t Sta, From, To;
    int32_t Start;
  };
  for (const TCase& k : {
           // A's platform taken from 1058: the train has left it by 1055.
           TCase{false, A, 1058, 1100, 1000},
           // B's platform taken from 1155: the train stands there from 1150 only.
           TCase{false, B, 1155, 1300, 1000},
           // Taken from 1149 it holds the start. B is tested with the block (1213 + 55 = 1268
           // to 1300: still taken) and then from 1245 + 87 = 1332 on, free after 1300.
           TCase{false, B, 1149, 1300, 1245},
           // Passing A, B is reached at 1060 and its arriving half runs until 1123: a platform
           // taken from 1120 holds the start, first to 1240, then by the 32 s the block takes
           // to 1272, when B is reached at 1332.
           TCase{true, B, 1120, 1300, 1272},
       }) {
    ResetAll();
    brd_.FindSta(k.Sta, "")->GetRailInSta(kRailHome, 1)->Occ->Add({"Y", k.From, k.To, 0});
    int32_t t = 1000;
    EXPECT_TRUE(brd_.CalcTimeCanStart(*car_, route, t, false, k.PassFrom)) << k.From;
    EXPECT_EQ(t, k.Start) << k.From;
    // What is then booked meets nothing.
    TTmTbl step;
    brd_.RegPathToNextSta(*car_, "101", step, -1, t, false, k.PassFrom, route);
    const Ivs home = Home(k.Sta, 1);
    for (const TIv& iv : home) {
      if (iv.Txt == "101") {
        EXPECT_TRUE(iv.To <= k.From || iv.From >= k.To) << iv;
      }
    }
  }
}

// A search that gives up finds no start: it must not book the wait reached so far.
TEST_F(Occ, AStartNeverFoundFreeIsRefused) {
  // A - B becomes 40 blocks of 648 m (32 s each): B is reached 55 + 40 x 32 = 1335 s after the
  // start. B's platform is taken for one second every 70 s from 2340 on; each try reaches B just
  // after one of them, 70 s later than the last, and meets the next within its 63 s. 41 tries
  // per round, about 24 rounds: the 1000 tries run out after a hold of some 800 s, far below
  // the 1800 s that would refuse the start.
  brd_.FindRail(1002, "")->Length = 40 * 648;
  brd_.MakeLineBlk();
  ASSERT_EQ(brd_.Blks.size(), 41u);  // and B - C
  ResetAll();
  TTmTblObj& home = *brd_.FindSta(B, "")->GetRailInSta(kRailHome, 1)->Occ;
  for (int32_t k = 0; k < 40; ++k) home.Add({"Y", 2340 + 70 * k, 2341 + 70 * k, 0});
  int32_t t = 1000;
  EXPECT_FALSE(brd_.CalcTimeCanStart(*car_, Route(A, 1, 1, B, 1), t, false, false));
  EXPECT_EQ(t, 1000);
  EXPECT_EQ(host_.Texts(), std::vector<std::string>{"BrdData.CalcTimeCanStartで無限ループ？"});
}

// ---- Rebuilding the line's occupancy -----------------------------------------------------------

// Line A - B - C with 1188 m sections (59 s a block). Train set 1 stands at B's platform 1 from
// 04:00 until its train 101 leaves at 06:00 for C. Train set 2's train 201 leaves A at 3423,
// stops at B's platform 1 from 05:00 (3423 + 55 + 59 + 63 = 3600) to 3660 and ends at C's
// platform 2 at 3660 + 177 = 3837.
class LineOcc : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeLine(brd_, {"A", "B", "C"});
    brd_.MakeLineBlk();
    TCarObj& c1 = AddCar(brd_, B, 1);
    c1.TmTbl.Add(MakeStep(B, 1, 1, 7200, 7200, "101,普通"));
    c1.TmTbl.Add(MakeStep(C, 1, 1, 7377, -1));
    brd_.TrainReg(1, "101");
    TCarObj& c2 = AddCar(brd_, A, 1);
    c2.TmTbl.Add(MakeStep(A, 1, 1, 3423, 3423, "201,快速"));
    c2.TmTbl.Add(MakeStep(B, 1, 1, 3600, 3660));
    c2.TmTbl.Add(MakeStep(C, 2, 1, 3837, -1));
    brd_.TrainReg(2, "201");
  }
  void Rebuild() {
    dia_.Build(brd_.LineStas, brd_.TrainNos);
    brd_.InitObjTmTbl(dia_.TrNos(), dia_.CarIds, msg_);
  }
  Ivs Home(int32_t sta, int32_t home) {
    return IvsOf(brd_.FindSta(sta, "")->GetRailInSta(kRailHome, home)->Occ.get());
  }
  Ivs Blk(int32_t no) { return IvsOf(&brd_.Blks.at(IntText(no))->Occ); }
  std::vector<std::string> CarIds() const {
    return std::vector<std::string>(dia_.CarIds.begin(), dia_.CarIds.end());
  }

  TBrdData brd_;
  TDiaObj dia_;
  std::string msg_ = "stale";
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(LineOcc, RebuildsEveryTrainAndEveryStand) {
  Rebuild();
  EXPECT_EQ(Home(A, 1), (Ivs{{"[2]", 0, 3423}, {"201", 3423, 3478}}));
  EXPECT_EQ(Blk(1), (Ivs{{"201", 3478, 3537}}));
  // Set 1 stands at B 1 until it leaves at 7200, also while 201 comes in and stops there: the
  // stand is booked whole so that the meeting shows as an overlap.
  EXPECT_EQ(Home(B, 1),
            (Ivs{{"[1]", 0, 7200}, {"201", 3537, 3660}, {"201", 3660, 3715}, {"101", 7200, 7255}}));
  EXPECT_EQ(Blk(2), (Ivs{{"201", 3715, 3774}, {"101", 7255, 7314}}));
  EXPECT_EQ(Home(C, 2), (Ivs{{"201", 3774, 3837}, {"[2]", 3837, 82800}}));
  EXPECT_EQ(Home(C, 1), (Ivs{{"101", 7314, 7377}, {"[1]", 7377, 82800}}));
  // C's side-0 turnout takes its diverging route for 201 and its straight one for 101.
  const TStaObj* c = brd_.FindSta(C, "");
  EXPECT_EQ(c->Pts[0].Occ[3800 / 15], 2);
  EXPECT_EQ(c->Pts[0].Occ[7350 / 15], 1);
  EXPECT_EQ(c->Pts[0].Occ[5000 / 15], -1);
  EXPECT_EQ(CarIds(), (std::vector<std::string>{"  1", "  2"}));
  EXPECT_TRUE(host_.Events.empty());
}

TEST_F(LineOcc, ASetStandingWhereAnotherTrainStopsMustBeMovedEmpty) {
  Rebuild();
  EXPECT_EQ(msg_, "\n編成1はB駅の1番ホームから回送が必要です");
}

TEST_F(LineOcc, ParkedSetsOnTheLineAreStarredAndOthersIgnored) {
  AddCar(brd_, A, 2);  // 3: stands on the line, no train
  TStaObj* d = test::PutStation(brd_, test::TwoPlatformStation(9001, "D"), 0, 30);
  AddCar(brd_, d->Id, 1);  // 4: stands off the line
  Rebuild();
  EXPECT_EQ(CarIds(), (std::vector<std::string>{"  1", "  2", "  3*"}));
  EXPECT_EQ(Home(A, 2), (Ivs{{"[3]", 0, 82800}}));
  EXPECT_TRUE(d->GetRailInSta(kRailHome, 1)->Occ == nullptr ||
              d->GetRailInSta(kRailHome, 1)->Occ->Count() == 0);
  EXPECT_EQ(msg_, "\n編成1はB駅の1番ホームから回送が必要です");  // nothing about 3 or 4
}

TEST_F(LineOcc, ATrainWithoutItsSetIsSkippedWithTheLookupMessage) {
  dia_.Build(brd_.LineStas, brd_.TrainNos);
  brd_.TrainNos.erase("201");
  brd_.InitObjTmTbl(dia_.TrNos(), dia_.CarIds, msg_);
  EXPECT_EQ(host_.Texts(), std::vector<std::string>{"Error(InitObjTmTbl-TR-1:201)"});
  EXPECT_EQ(Blk(1), Ivs{});
  EXPECT_EQ(Blk(2), (Ivs{{"101", 7255, 7314}}));
}

// Station X lies off the line, joined to A's side 0. Train 301 (set 1, stabled at X) comes in
// from X, stops at A from 1200 to 1300 and ends at B's platform 2; train 302 (set 2, stabled
// at B) leaves B at 2000 towards A, stops there from 2177 to 2300 and runs out to X.
class EntryExit : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<TStaObj*> line = MakeLine(brd_, {"A", "B"});
    TStaObj* x = test::PutStation(brd_, test::TwoPlatformStation(kX, "X"), -22, 0);
    brd_.RailReg({-11, 0}, {11, 0}, x, line[0], 1);
    brd_.MakeLineBlk();
    TCarObj& c1 = AddCar(brd_, kX, 1);
    c1.TmTbl.Add(MakeStep(kX, 1, 1, 1000, 1000, "301,普通"));
    c1.TmTbl.Add(MakeStep(A, 1, 1, 1200, 1300));
    c1.TmTbl.Add(MakeStep(B, 2, 1, 1477, -1));
    brd_.TrainReg(1, "301");
    TCarObj& c2 = AddCar(brd_, B, 1);
    c2.TmTbl.Add(MakeStep(B, 1, 0, 2000, 2000, "302,普通"));
    c2.TmTbl.Add(MakeStep(A, 1, 0, 2177, 2300));
    c2.TmTbl.Add(MakeStep(kX, 1, 0, 2500, -1));
    brd_.TrainReg(2, "302");
  }

  static constexpr int32_t kX = 5001;
  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(EntryExit, TheWaysInAndOutBookTheLineStationOnly) {
  TDiaObj dia;
  std::string msg;
  dia.Build(brd_.LineStas, brd_.TrainNos);
  brd_.InitObjTmTbl(dia.TrNos(), dia.CarIds, msg);
  const auto occ = [&](int32_t sta, uint8_t kind, int32_t no) {
    return IvsOf(brd_.FindSta(sta, "")->GetRailInSta(kind, no)->Occ.get());
  };
  // 301 comes in by A's side 0 for the arriving half of a stop, 63 s before 1200, and holds the
  // platform until it leaves at 1300; 302 goes out by the same lead for the leaving half, 55 s
  // from 2300, after holding the platform since 2177 - 63.
  EXPECT_EQ(
      occ(A, kRailHome, 1),
      (Ivs{{"301", 1137, 1300}, {"301", 1300, 1355}, {"302", 2114, 2300}, {"302", 2300, 2355}}));
  EXPECT_EQ(occ(A, kRailPlain, 1), (Ivs{{"301", 1137, 1200}, {"302", 2300, 2355}}));
  EXPECT_EQ(brd_.FindSta(kX, "")->GetRailInSta(kRailHome, 1)->Occ, nullptr);
  EXPECT_EQ(msg, "");
  EXPECT_EQ(std::vector<std::string>(dia.CarIds.begin(), dia.CarIds.end()),
            (std::vector<std::string>{"  1", "  2"}));
}

}  // namespace
}  // namespace ramvel
