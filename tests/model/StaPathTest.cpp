// Paths through a station: items, searches, occupancy, running times and body laying.
#include <gtest/gtest.h>

#include <chrono>

#include "NetBuilder.h"
#include "StaBuilder.h"
#include "TestSupport.h"
#include "model/UrwCarObj.h"
#include "model/UrwStaObj.h"

namespace ramvel {
namespace {

using test::TwoPlatformStation;
using Lines = std::vector<std::string>;

TEST(PathItems, ParseAndBuild) {
  struct Case {
    const char* text;
    int32_t kind, r, no;
  };
  for (const Case& c : {Case{"3;42", kRailPt, 3, 42}, Case{"H;2", kRailHome, 0, 2},
                        Case{"R;7", kRailPlain, 0, 7}, Case{"1;11", kRailPt, 1, 11}}) {
    const TPathItem it = ParseItem(c.text);
    EXPECT_EQ(it.Kind, c.kind) << c.text;
    EXPECT_EQ(it.R, c.r) << c.text;
    EXPECT_EQ(it.No, c.no) << c.text;
    EXPECT_EQ(ItemText(it.Kind, it.No, it.R), c.text);
  }
  EXPECT_EQ(TStaObj::HomePathText(5031, 2), "5031|H;2");
  EXPECT_EQ(TStaObj::CountDiverging("1011|R;1|2;12|1;21|3;31|H;1"), 2);
  EXPECT_EQ(TStaObj::CountDiverging("2;12"), 0);  // item 0 is the station's code
}

class StationPaths : public ::testing::Test {
 protected:
  TStaObj sta_ = TwoPlatformStation(1001, "A");
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(StationPaths, LookupsAndSlots) {
  EXPECT_EQ(sta_.GetRailInSta(kRailHome, 2)->P[0], (TPoint{514, 4}));
  EXPECT_EQ(sta_.GetRailInSta(kRailHome, 9), nullptr);
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Text, "GetRailInSta Error:3/9");
  EXPECT_EQ(sta_.RailAtPoint({514, 0}, 0).Result, kAtHome);
  EXPECT_EQ(sta_.RailAtPoint({274, 0}, 0).Result, kAtPt);
  EXPECT_EQ(sta_.RailAtPoint({194, 0}, 0).Result, kAtPlain);
  EXPECT_EQ(sta_.RailAtPoint({0, 0}, 1).Result, kAtEdge);
  EXPECT_EQ(sta_.RailAtPoint({1188, 8}, 0).Result, kAtEdge);
  EXPECT_EQ(sta_.RailAtPoint({600, 0}, 0).Result, kAtDeadEnd);
  EXPECT_EQ(sta_.SlotAtV(1, 0), 1);
  EXPECT_EQ(sta_.SlotAtV(1, 4), 2);
}

TEST_F(StationPaths, ExitsFromAPlatformFollowEveryTurnoutRoute) {
  sta_.EntConn[1][1] = 1012;
  sta_.EntConn[1][2] = 1022;
  Lines list;
  ASSERT_TRUE(sta_.ListPathsFromHome(1, 1, list));
  EXPECT_EQ(list, (Lines{"-1001|H;1|R;7|2;22|R;10|R;12,1022", "-1001|H;1|R;7|1;21|R;9|R;11,1012"}));
  ASSERT_TRUE(sta_.ListPathsFromHome(2, 0, list));
  EXPECT_EQ(list, (Lines{"1001|H;2|R;6|2;12|R;3|R;1,0", "1001|H;2|R;6|1;13|R;4|R;2,0"}));
}

TEST_F(StationPaths, APlatformEndingInsideTheStationHasNoExit) {
  test::TStaBuilder b(2001, "D");
  b.Ents(1, 1).Rail(test::PlatformTrack(9, 10, 1)).Rail(test::PlainRun(1, 13, 16, 10));
  TStaObj dead = b.Build();
  Lines list{"stale"};
  EXPECT_FALSE(dead.ListPathsFromHome(1, 0, list));  // nothing at u = 514 on the left
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(dead.ListPathsFromHome(1, 1, list));  // the plain run stops at u = 834
}

TEST_F(StationPaths, ArrivalsToOnePlatformStillPassTurnouts) {
  Lines out;
  sta_.ListPathsToHomes("x,5,1011", -1, out);
  EXPECT_EQ(out, (Lines{"A  2番ホーム=x,5,1011|R;1|R;3|2;12|R;6|H;2",
                        "A  1番ホーム=x,5,1011|R;1|R;3|1;11|R;5|H;1"}));
  out.clear();
  sta_.ListPathsToHomes("1011", 2, out);
  EXPECT_EQ(out, (Lines{"A  2番ホーム=1011|R;1|R;3|2;12|R;6|H;2"}));
  out.clear();
  sta_.ListPathsToHomes("-1021", -1, out);  // side 1, slot 2
  EXPECT_EQ(out, (Lines{"A  1番ホーム=-1021|R;12|R;10|2;22|R;7|H;1",
                        "A  2番ホーム=-1021|R;12|R;10|1;23|R;8|H;2"}));
}

TEST(TurnoutOccupancy, WaitMovesPastOtherRoutes) {
  TStaObj sta = TwoPlatformStation(5001, "S");
  sta.ResetPtOcc();
  sta.PtSet(1, 2, 600, 59);  // slots 40..43
  EXPECT_EQ(sta.Pts[0].Occ[39], -1);
  EXPECT_EQ(sta.Pts[0].Occ[40], 2);
  EXPECT_EQ(sta.Pts[0].Occ[43], 2);
  EXPECT_EQ(sta.Pts[0].Occ[44], -1);
  EXPECT_EQ(sta.PtWait(1, 1, 600, 30), 60);
  EXPECT_EQ(sta.PtWait(1, 2, 600, 30), 0);
  EXPECT_EQ(sta.PtWait(1, 1, 540, 14), 0);  // slots 36 only
  sta.PtSet(1, 1, 630, 60);  // slots 42..46: 42 and 43 keep route 2
  EXPECT_EQ(sta.Pts[0].Occ[43], 2);
  EXPECT_EQ(sta.Pts[0].Occ[44], 1);
  EXPECT_EQ(sta.Pts[0].Occ[46], 1);
  // The window never runs past the last slot of the day.
  sta.PtSet(2, 2, 82000, 5000);
  EXPECT_EQ(sta.Pts[1].Occ[5759], 2);
  EXPECT_EQ(sta.PtWait(2, 1, 82000, 60), 5759 * 15 - 82000);
}

TEST(PathOccupancy, OccupyRouteBooksEveryItemAndNamesThePlatform) {
  TStaObj sta = TwoPlatformStation(5001, "S");
  sta.ResetOcc();
  sta.ResetPtOcc();
  EXPECT_EQ(sta.OccupyRoute("101,普通", 600, "5031|1;12|H;2", -1, 60), 5021);
  EXPECT_EQ(sta.Pts[0].Occ[40], 1);
  EXPECT_EQ(sta.Pts[0].Occ[44], 1);
  const StaRail* h2 = sta.GetRailInSta(kRailHome, 2);
  ASSERT_EQ(h2->Occ->Count(), 1);
  EXPECT_EQ(h2->Occ->Get(0).TmEnd, 660);
  EXPECT_EQ(sta.OccupyRoute("102,普通", 900, "-5011|R;11|R;9|1;21|R;7|H;1", 1500, 60), -5011);
  EXPECT_EQ(sta.GetRailInSta(kRailHome, 1)->Occ->Get(0).TmEnd, 1500);
  EXPECT_EQ(sta.GetRailInSta(kRailPlain, 9)->Occ->Get(0).TmEnd, 960);
}

TEST(PathOccupancy, CanOccupyWaitsUntilEveryItemIsFree) {
  TStaObj sta = TwoPlatformStation(5001, "S");
  sta.ResetOcc();
  sta.ResetPtOcc();
  sta.GetRailInSta(kRailHome, 1)->Occ->Add({"9,普通", 600, 700, 0});
  EXPECT_EQ(sta.CanOccupy(550, 100, "5011|R;1|R;3|1;11|R;5|H;1"), 150);
  EXPECT_EQ(sta.CanOccupy(700, 100, "5011|R;1|R;3|1;11|R;5|H;1"), 0);
  sta.PtSet(1, 2, 800, 100);  // turnout 1 on route 2 for slots 53..60
  EXPECT_EQ(sta.CanOccupy(800, 30, "5011|R;1|R;3|1;11|R;5|H;1"), 915 - 800);
}

TEST(PathOccupancy, OccupyHomeAndLabels) {
  TStaObj sta = TwoPlatformStation(5001, "S");
  sta.ResetOcc();
  TTmTbl occ;
  EXPECT_EQ(sta.OccupyHome(600, 1, "[3]", occ), 82800);
  EXPECT_EQ(sta.OccupyHome(700, 1, "", occ), -1);
  EXPECT_EQ(occ.Txt, "[3]");
  sta.FreeHomeAt(600, 1);
  EXPECT_EQ(sta.OccupyHome(700, 1, "", occ), 82800);
  TTmTblObj* h2 = sta.GetRailInSta(kRailHome, 2)->Occ.get();
  h2->Add({"101,普通", 1000, 1100, 0});
  EXPECT_EQ(sta.OccupyHome(900, 2, "x", occ), 1000);
  std::string labels;
  EXPECT_TRUE(TStaObj::AddOccLabel(1050, h2, labels));
  EXPECT_FALSE(TStaObj::AddOccLabel(1060, h2, labels));  // already there
  EXPECT_FALSE(TStaObj::AddOccLabel(-1, h2, labels));
  EXPECT_FALSE(TStaObj::AddOccLabel(2000, h2, labels));
  EXPECT_EQ(labels, "<101,普通>");
}

TCarObj Car(int32_t nCar, int32_t spd) {
  TCarObj c;
  c.SetProps({1, "", 0, nCar, spd});
  c.Id = 1;
  return c;
}

TEST(StaRunTime, ArrivingAndDeparting) {
  const TCarObj c = Car(4, 108);
  EXPECT_NEAR(StaRunTime(c, true, true), 634.0 / 30, 1e-4);
  EXPECT_NEAR(StaRunTime(c, true, false), 634.0 / 15, 1e-4);
  EXPECT_NEAR(StaRunTime(c, false, true), 554.0 / 30, 1e-4);
  EXPECT_NEAR(StaRunTime(c, false, false), 554.0 / 15, 1e-4);
}

class StationBody : public ::testing::Test {
 protected:
  void SetUp() override {
    sta_.EndPos[1] = {1188, 0};
    SetStaTransform(sta_, 0, 1, 1);
  }
  Lines Lay(TCarObj& car, const char* path, float& rem) {
    car.BodyPts.clear();
    sta_.LayBodyOnSta(car, path, rem);
    return car.BodyPts;
  }
  TStaObj sta_ = TwoPlatformStation(1001, "A");
};

TEST_F(StationBody, AStandingTrainIsCentredOnItsPlatform) {
  TCarObj car = Car(4, 108);
  float rem = 0;
  EXPECT_EQ(Lay(car, "1001|H;1|R;5|1;11|R;3|R;1", rem), (Lines{"5540,0", "6340,0"}));
  EXPECT_EQ(rem, 0);
  rem = 0;
  EXPECT_EQ(Lay(car, "-1001|H;2|R;8|1;23|R;10|R;12", rem), (Lines{"6340,40", "5540,40"}));
  EXPECT_EQ(car.CurSta, 1001);
}

TEST_F(StationBody, ARunningTrainBendsThroughTheTurnout) {
  TCarObj car = Car(4, 108);
  car.PassTo = true;
  car.RunTm = 10;  // 300 m from the edge
  float rem = 0;
  EXPECT_EQ(Lay(car, "1011|R;1|R;3|2;12|R;6|H;2", rem), (Lines{"3000,26", "2740,0", "2200,0"}));
  EXPECT_EQ(rem, 0);
  car.RunTm = 2;  // 60 m in: 20 m of the body are still outside
  rem = 0;
  EXPECT_EQ(Lay(car, "1011|R;1|R;3|2;12|R;6|H;2", rem), (Lines{"600,0", "0,0"}));
  EXPECT_FLOAT_EQ(rem, 20);
}

TEST_F(StationBody, ABodyReachingBackIntoTheStationStartsAtItsEdge) {
  TCarObj car = Car(4, 108);
  car.BodyPts = {"head"};
  float rem = 50;
  sta_.LayBodyOnSta(car, "-1001|H;1|R;7|1;21|R;9|R;11", rem);
  EXPECT_EQ(car.BodyPts, (Lines{"head", "11880,0", "11380,0"}));
  EXPECT_EQ(rem, 0);
}

TEST_F(StationBody, NoSegmentHoldingTheHeadLaysNothing) {
  TCarObj car = Car(4, 108);
  float rem = 0;
  // A path of the platform alone, with the head placed off it by the running time.
  car.RunTm = 60;
  car.PassFrom = true;
  EXPECT_TRUE(Lay(car, "1001|H;1", rem).empty());
  EXPECT_EQ(rem, 0);
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

// Segments that lead back to where the search stands, as a damaged file can hold them: a plain
// run out and back, and a turnout whose second segment returns to the first one's start.
TEST(DamagedStationPaths, SearchesThroughCirclesEndAtOnce) {
  TStaObj sta;
  sta.Id = 5001;
  sta.AddRail(StaRail(kRailHome, 1, {500, 0}, {540, 0}));
  sta.AddRail(StaRail(kRailPlain, 1, {540, 0}, {600, 0}));
  sta.AddRail(StaRail(kRailPlain, 2, {600, 0}, {540, 0}));
  sta.AddRail(StaRail(kRailHome, 2, {500, 8}, {540, 8}));
  sta.AddRail(StaRail(kRailPt, 11, {540, 8}, {580, 12}));
  sta.AddRail(StaRail(kRailPt, 12, {580, 12}, {540, 8}));
  TPtStatus pt;
  pt.RouteCnt = 1;
  pt.Routes[1] = "1,2";
  sta.AddPt(pt);
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<std::string> list;
  EXPECT_FALSE(sta.ListPathsFromHome(1, 1, list));
  EXPECT_FALSE(sta.ListPathsFromHome(2, 1, list));
  sta.ListPathsToHomes("x,5011", -1, list);
  // Each search took minutes, its paths growing without end.
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 5.0);
}

TEST(DamagedStationPaths, ASegmentOfNoLengthIsRefusedWhenRead) {
  test::TTempDir dir;
  test::WriteBytes(dir / "Z.txt",
                   "IS_ERR=N\r\nDESC=\r\nPT_CNT=0\r\nRAIL_CNT=1\r\nRAIL1=0|1|540|0|540|0\r\n"
                   "HOME_CNT=0\r\nLBL_ID=5001\r\nROTE=0\r\nLBL_CONN0=0|0|0|0|0|0|0|0|0|0\r\n"
                   "LBL_CONN1=0|0|0|0|0|0|0|0|0|0\r\nLBL_POS=0|0|1188|0\r\nENT0=1\r\nENT1=1\r\n");
  TStaObj sta;
  EXPECT_EQ(sta.LoadSta(dir.Path(), "Z").Msg(), "station/Z.txt: RAIL1 の線路の長さが 0 です");
}

}  // namespace
}  // namespace ramvel
