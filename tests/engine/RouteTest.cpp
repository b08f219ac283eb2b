// The track network: neighbour stations, routes between platforms, near flags, the connection
// check and walks that must end.
#include <gtest/gtest.h>

#include "NetBuilder.h"
#include "StaBuilder.h"
#include "StaPicture.h"
#include "engine/UrwBrdData.h"

namespace ramvel {
namespace {

using test::PutStation;
using test::TwoPlatformStation;
using Lines = std::vector<std::string>;

// Station A (1001) and station B (2001) joined by a two-track rail 1002 of 1188 m.
class Network : public ::testing::Test {
 protected:
  void SetUp() override {
    a_ = PutStation(brd_, TwoPlatformStation(1001, "A"), 0, 0);
    b_ = PutStation(brd_, TwoPlatformStation(2001, "B"), 22, 0);
    rail_ = brd_.RailReg({11, 0}, {11, 0}, a_, b_, 2);
  }

  TBrdData brd_;
  TStaObj* a_ = nullptr;
  TStaObj* b_ = nullptr;
  TRailObj* rail_ = nullptr;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

const char* kA1Exit1 = "-1001|H;1|R;7|1;21|R;9|R;11";
const char* kA1Exit2 = "-1001|H;1|R;7|2;22|R;10|R;12";

TEST_F(Network, WalkRailAppendsFarEndAndLength) {
  std::string path = "-1011,1012";
  int32_t next = 0, len = 100;
  ASSERT_TRUE(brd_.WalkRail(path, next, false, len));
  EXPECT_EQ(path, "-1011,1012,-1012,2011");
  EXPECT_EQ(next, 2011);
  EXPECT_EQ(len, 1288);
  path = "x,-1022";  // entering at end 1, track 2
  ASSERT_TRUE(brd_.WalkRail(path, next, true, len));
  EXPECT_EQ(path, "x,-1022,-1021");
  EXPECT_FALSE(brd_.WalkRail(path = "9002", next, true, len));
  EXPECT_EQ(host_.Texts(), Lines{"Error(RAIL:9002)"});
}

TEST_F(Network, TheNeighbourListIsSortedEvenWhenAWalkFails) {
  a_->EntConn[1][2] = MakeEntCode(9002, 1, 0);  // slot 2 leads to a rail that is not there
  Lines list = {"2000,x"};
  EXPECT_FALSE(brd_.ListUpConnSta(1001, 2001, list, 1, 0));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].rfind("1188,", 0), 0u) << list[0];
  EXPECT_EQ(list[1], "2000,x");
}

TEST_F(Network, NeighbourLinesSumTheirRailsAndSkipLooseSlots) {
  // Side 1 of A gets a third slot that leads nowhere; B is reached over two rails.
  TBrdData brd;
  TStaObj sa = TwoPlatformStation(1001, "A");
  sa.EntCount[1] = 3;
  TStaObj* a = PutStation(brd, std::move(sa), 0, 0);
  TStaObj* b = PutStation(brd, TwoPlatformStation(2001, "B"), 22, 0);
  TRailObj* r1 = brd.RailReg({11, 0}, {5, 0}, a, nullptr, 2);
  brd.RailReg({16, 0}, {6, 0}, r1, b, 2);
  Lines list;
  EXPECT_TRUE(brd.ListUpConnSta(1001, 2001, list, 1, 0));
  EXPECT_EQ(list, (Lines{"1188,-1011,1012,-1012,2012,-2012,2011",
                         "1188,-1021,1022,-1022,2022,-2022,2021"}));
  list.clear();
  EXPECT_FALSE(brd.ListUpConnSta(1001, 2001, list, 0, 0));  // nothing on side 0
  EXPECT_TRUE(list.empty());
}

TEST_F(Network, AnExcludedNeighbourOnTheSameSideFailsTheTest) {
  // Station C hangs below A's side 1 on a third slot.
  TBrdData brd;
  TStaObj sa = TwoPlatformStation(1001, "A");
  sa.EntCount[1] = 3;
  TStaObj* a = PutStation(brd, std::move(sa), 0, 0);
  TStaObj* b = PutStation(brd, TwoPlatformStation(2001, "B"), 22, 0);
  TStaObj sc = TwoPlatformStation(3001, "C");
  sc.EntCount[0] = 1;
  TStaObj* c = PutStation(brd, std::move(sc), 11, 5);
  brd.RailReg({11, 0}, {11, 0}, a, b, 2);
  brd.RailReg({11, 0}, {0, 5}, a, c, 1);
  EXPECT_EQ(a->EntConn[1][3], MakeEntCode(2002, 1, 1));
  Lines list;
  EXPECT_FALSE(brd.ListUpConnSta(1001, 2001, list, 1, 3001));
  EXPECT_EQ(list.size(), 3u);
  list.clear();
  EXPECT_TRUE(brd.ListUpConnSta(1001, 2001, list, 1, 9001));
  list.clear();
  EXPECT_FALSE(brd.ListUpConnSta(1001, 9001, list, 1, 0));  // target not a neighbour
}

TEST_F(Network, RoutesToAnyPlatformOnePerLabelPreferringFewerSwitches) {
  Lines list;
  brd_.GetPathToNextSta(1001, 1, 1, 2001, -1, list);
  // Platform 2 of B is reached over either track with one diverging turnout: the route that
  // sorts later (over track 2) survives.
  EXPECT_EQ(list, (Lines{std::string("B  1番ホーム=") + kA1Exit1 + ",1012,2011|R;1|R;3|1;11|R;5|H;1",
                         std::string("B  2番ホーム=") + kA1Exit2 + ",1022,2021|R;2|R;4|1;13|R;6|H;2"}));
  list.clear();
  brd_.GetPathToNextSta(1001, 1, 1, 2001, 1, list);
  EXPECT_EQ(list.size(), 1u);
  list.clear();
  brd_.GetPathToNextSta(1001, 1, 0, 2001, -1, list);  // side 0 leads nowhere
  EXPECT_TRUE(list.empty());
  brd_.GetPathToNextSta(7001, 1, 0, 2001, -1, list);
  EXPECT_EQ(host_.Texts().back(), "Error(GetPathToNextSta-STA-1:7001)");
}

TEST_F(Network, PickBestPathKeepsTheRouteWithFewerDivergingTurnouts) {
  const std::string fewer = "B  2番ホーム=-1001|H;1|2;22,1022,2021|1;13|H;2";  // 1
  const std::string more = "B  2番ホーム=-1001|H;1|1;21,1012,2011|2;12|3;13|H;2";  // 2
  Lines list{fewer, more, "B  1番ホーム=-1001|H;1,1012,2011|H;1"};
  brd_.PickBestPath(list);
  EXPECT_EQ(list, (Lines{"B  1番ホーム=-1001|H;1,1012,2011|H;1", fewer}));
  list = {more, fewer};
  brd_.PickBestPath(list);
  EXPECT_EQ(list, Lines{fewer});
  EXPECT_TRUE(host_.Events.empty());
}

TEST_F(Network, RoutesOverTheLinesBlocks) {
  ASSERT_TRUE(brd_.SetLine("本線").ok());
  brd_.LineStas = {"1001", "2001"};
  brd_.MakeLineBlk();
  Lines list;
  brd_.ListUpNextStaCanGo(1001, 1, 1, 2001, 2, list);
  // Each 1188 m track is one block: 1013 on track 1, 2013 on track 2.
  EXPECT_EQ(list, (Lines{std::string("B  2番ホーム=") + kA1Exit2 + ",1022,2021|R;2|R;4|1;13|R;6|H;2"}));
  list.clear();
  brd_.ListUpNextStaCanGo(2001, 2, 0, 1001, -1, list);
  EXPECT_EQ(list.size(), 2u);
  list.clear();
  brd_.LineStas = {"1001"};
  brd_.MakeLineBlk();
  brd_.ListUpNextStaCanGo(1001, 1, 1, 2001, -1, list);
  EXPECT_TRUE(list.empty());  // no blocks: the walk leaves the line silently
}

TEST_F(Network, NearFlagsFollowRailsOutOfView) {
  TRailObj* far = brd_.RailReg({33, 0}, {11, 0}, b_, nullptr, 2);
  rail_->ShowDetail = false;
  far->ShowDetail = true;
  brd_.SetNearStaFlag(*far);
  EXPECT_TRUE(b_->NearFlag);
  EXPECT_FALSE(a_->NearFlag);
  b_->NearFlag = false;
  brd_.SetNearStaFlag(*rail_);
  EXPECT_TRUE(a_->NearFlag);
  EXPECT_TRUE(b_->NearFlag);
}

TEST_F(Network, CheckAllConnNamesTheFirstOpenObject) {
  std::string name;
  EXPECT_FALSE(brd_.CheckAllConn(name));
  EXPECT_EQ(name, "A");  // side 0 of A is open
  brd_.Stas.clear();
  rail_->EntConn[1][2] = 0;
  EXPECT_FALSE(brd_.CheckAllConn(name));
  EXPECT_EQ(name, "レール#1002");
  rail_->EntConn[1][2] = 2021;
  EXPECT_TRUE(brd_.CheckAllConn(name));
}

TEST_F(Network, AClosedLoopOfRailsEnds) {
  // Two rails whose far ends lead into each other, entered from station A's side 0.
  auto loop1 = std::make_unique<TRailObj>();
  auto loop2 = std::make_unique<TRailObj>();
  loop1->Id = 8002;
  loop2->Id = 9002;
  loop1->EntCount[0] = loop1->EntCount[1] = loop2->EntCount[0] = loop2->EntCount[1] = 1;
  loop1->Length = loop2->Length = 108;
  loop1->EntConn[1][1] = MakeEntCode(9002, 1, 0);
  loop2->EntConn[1][1] = MakeEntCode(8002, 1, 0);
  loop1->EntOwner[1] = loop2->EntOwner[1] = false;
  brd_.Rails.emplace("8002", std::move(loop1));
  brd_.Rails.emplace("9002", std::move(loop2));
  a_->EntConn[0][1] = MakeEntCode(8002, 1, 0);
  Lines list;
  EXPECT_FALSE(brd_.ListUpConnSta(1001, 2001, list, 0, 0));
  EXPECT_TRUE(list.empty());
  brd_.GetPathToNextSta(1001, 1, 0, 2001, -1, list);
  EXPECT_TRUE(list.empty());
  brd_.FindRail(8002, "")->ShowDetail = false;
  brd_.SetNearStaFlag(*brd_.FindRail(9002, ""));
  EXPECT_TRUE(host_.Events.empty());
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

// Stations designed as cell pictures through the designer model route like hand-made ones.
TEST(DesignedStations, RoutesRunBetweenPlatformsOfPictureStations) {
  TBrdData brd;
  TStaObj* a = test::PlacePictureSta(brd, test::ThreeHomeSta("EAST"), 1001, 0, 0);
  TStaObj* b = test::PlacePictureSta(brd, test::ThreeHomeSta("WEST"), 2001, 22, 0);
  ASSERT_TRUE(a && b);
  brd.RailReg({11, 0}, {11, 0}, a, b, 2);
  std::string open;
  EXPECT_FALSE(brd.CheckAllConn(open));  // the outer sides are still open
  Lines routes;
  brd.GetPathToNextSta(1001, 1, 1, 2001, -1, routes);
  ASSERT_FALSE(routes.empty());
  for (const std::string& r : routes) {
    EXPECT_EQ(r.rfind("WEST", 0), 0u) << r;
    EXPECT_NE(r.find(",1012,2011|"), std::string::npos) << r;  // over track 1
  }
}

}  // namespace
}  // namespace ramvel
