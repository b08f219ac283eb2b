// Placing stations and rails through the board view's mouse events, with the live checks, the
// status texts and the rubber band, and deleting and renaming followed by save and reload.
#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>

#include "LayoutFixture.h"
#include "NetBuilder.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::LayoutTest;

// ---- Stations ----------------------------------------------------------------------------------

// Each orientation puts the second end at the start plus the table's vector, in metres.
TEST_F(LayoutTest, StationPlacedOnLandInEachOrientation) {
  const TPoint vec[8] = {{4, 10}, {8, 8}, {10, 4}, {11, 0}, {10, -4}, {8, -8}, {4, -10}, {0, -11}};
  for (int32_t m = 1; m <= 8; ++m) {
    SCOPED_TRACE(m);
    ASSERT_TRUE(StartSta("A"));
    EXPECT_EQ(sink_.Status[0], "駅の追加");
    ed_.Layout.RotateNewSta(m - 4);
    EXPECT_EQ(ed_.View.StaMuki, m);
    Move(30, 20);
    EXPECT_EQ(sink_.Status[1], "at(3240,2160)");
    EXPECT_EQ(ed_.View.PutOk, 1);
    EXPECT_TRUE(Left(30, 20));
    EXPECT_EQ(ed_.View.EditMode, kEditIdle);
    const TStaObj* a = ed_.Brd.FindSta(1001, "");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->EndPos[0], (TPoint{3240, 2160}));
    EXPECT_EQ(a->EndPos[1], (TPoint{(30 + vec[m - 1].x) * 108, (20 + vec[m - 1].y) * 108}));
    EXPECT_TRUE(ed_.Brd.Modified);
    ed_.Brd.ObjDel(1001);
  }
  EXPECT_TRUE(host_.Events.size() == 8u);  // the eight choices, no message
}

TEST_F(LayoutTest, TurningStopsAtBothEndsOfTheTable) {
  ASSERT_TRUE(StartSta("A"));
  ed_.Layout.RotateNewSta(4);
  EXPECT_EQ(ed_.View.StaMuki, 8);
  ed_.Layout.RotateNewSta(1);
  EXPECT_EQ(ed_.View.StaMuki, 8);
  EXPECT_EQ(ed_.View.PutVec, (TPoint{0, -11}));
  ed_.Layout.RotateNewSta(-7);
  EXPECT_EQ(ed_.View.StaMuki, 1);
  ed_.Layout.RotateNewSta(-1);
  EXPECT_EQ(ed_.View.PutVec, (TPoint{4, 10}));
}

// Every refusal: the verdict in panel 1, a red band, and a click that changes nothing.
TEST_F(LayoutTest, StationRefusalsShowTheirTextAndChangeNothing) {
  test::PutStation(ed_.Brd, test::TwoPlatformStation(2001, "B"), 10, 10);
  ed_.Brd.RailReg({21, 10}, {9, 0}, ed_.Brd.FindSta(2001, ""), nullptr, 2);
  Redraw();
  struct Case {
    int32_t muki;
    TPoint at;
    const char* text;
  };
  const Case cases[] = {
      {4, {90, 20}, "海上には設置できません"},                // start on sea
      {4, {80, 20}, "海上には設置できません"},                // across the coast at x = 85
      {4, {21, 10}, "駅と駅を直接接続することはできません"},  // on B's end
      {1, {30, 45}, "表示エリアからはみ出ています"},          // the far end below the view
      {1, {25, 5}, "レールと交差しています"},                 // across the rail at (27, 10)
      {1, {14, 5}, "駅と交差しています"},                     // across B at (16, 10)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(StartSta("A"));
    ed_.Layout.RotateNewSta(c.muki - 4);
    Move(c.at.x, c.at.y);
    EXPECT_EQ(sink_.Status[1], c.text);
    EXPECT_EQ(ed_.View.PutOk, 0);
    EXPECT_EQ(BandColour(), kClrBandBad);
    host_.Events.clear();
    EXPECT_FALSE(Left(c.at.x, c.at.y));
    // The refusal says what the status bar said.
    EXPECT_EQ(Shown(), (std::vector<std::string>{std::string("そこに設置することは出来ません：") + c.text}));
    EXPECT_EQ(ed_.View.EditMode, kEditPutSta);
    host_.YesNoAnswers.push_back(true);
    EXPECT_TRUE(Right(c.at.x, c.at.y));
    EXPECT_EQ(ed_.Brd.FindSta(1001, ""), nullptr);
  }
  EXPECT_EQ(ed_.Brd.Stas.size(), 1u);
}

TEST_F(LayoutTest, ValidPlaceShowsAGreenBand) {
  ASSERT_TRUE(StartSta("A"));
  Move(30, 20);
  EXPECT_EQ(BandColour(), kClrBandOk);
  Shot("station_green");
}

TEST_F(LayoutTest, RightClickAsksBeforeStoppingThePlacing) {
  ASSERT_TRUE(StartSta("A"));
  Move(30, 20);
  host_.YesNoAnswers.push_back(false);
  EXPECT_FALSE(Right(30, 20));
  EXPECT_EQ(ed_.View.EditMode, kEditPutSta);
  host_.YesNoAnswers.push_back(true);
  EXPECT_TRUE(Right(30, 20));
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
  EXPECT_TRUE(ed_.Brd.Stas.empty());
  EXPECT_FALSE(ed_.Brd.Modified);
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{"A|B|C|E", "設置を中止しますか？", "設置を中止しますか？"}));
}

TEST_F(LayoutTest, StationWithErrorsIsNotPlaced) {
  EXPECT_FALSE(StartSta("E"));
  EXPECT_EQ(Shown().back(), "エラーが残っている駅は設置できません");
  EXPECT_TRUE(ed_.Brd.Stas.empty());
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
}

TEST_F(LayoutTest, PlacedStationsAreNotOfferedAgain) {
  test::PutStation(ed_.Brd, test::TwoPlatformStation(2001, "B"), 10, 10);
  host_.SelectAnswers.push_back(std::nullopt);
  EXPECT_FALSE(ed_.Layout.StartStaAdd());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"A|C|E"}));
}

// ---- Rails -------------------------------------------------------------------------------------

// A from (10, 20) to (21, 20) and B from (50, 20) to (61, 20), both facing east.
class RailTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    a_ = test::PutStation(ed_.Brd, test::TwoPlatformStation(1001, "A"), 10, 20);
    b_ = test::PutStation(ed_.Brd, test::TwoPlatformStation(2001, "B"), 50, 20);
    Redraw();
  }
  // Starts a rail at A's side 1 by a click near that end.
  void StartAtA() {
    ASSERT_TRUE(Left(20, 20));
    ASSERT_EQ(ed_.View.EditMode, kEditPutRail);
  }
  TStaObj* a_ = nullptr;
  TStaObj* b_ = nullptr;
};

TEST_F(RailTest, DraggedOverSegmentsAndFixedOnAStation) {
  StartAtA();
  EXPECT_EQ(sink_.Status[0], "レールの追加");
  EXPECT_EQ(ed_.View.PutPos, (TPoint{21, 20}));
  Move(30, 20);
  EXPECT_EQ(sink_.Status[1], "at(2268,2160) - 長さ 972m");
  EXPECT_EQ(BandColour(), kClrBandOk);
  EXPECT_TRUE(Left(30, 20));  // a free far end: the rail goes on from there
  EXPECT_EQ(ed_.View.EditMode, kEditPutRail);
  EXPECT_EQ(ed_.View.PutPos, (TPoint{30, 20}));
  EXPECT_EQ(sink_.Status[1], "");
  Move(40, 22);  // 11.3 degrees off the first segment
  EXPECT_TRUE(Left(40, 22));
  Move(50, 20);  // 22.6 degrees, then straight into B
  EXPECT_EQ(ed_.View.PutOk, 1);
  EXPECT_TRUE(Left(50, 20));
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
  ASSERT_EQ(ed_.Brd.Rails.size(), 3u);
  for (const auto& [key, rail] : ed_.Brd.Rails) EXPECT_EQ(rail->EntCount[0], 2);
  for (int32_t slot = 1; slot <= 2; ++slot) {
    EXPECT_NE(a_->EntConn[1][slot], 0);
    EXPECT_NE(b_->EntConn[0][slot], 0);
  }
  EXPECT_TRUE(host_.Events.empty());
}

// The bend against A's axis: cos = -(vx * 11) / (|v| * 11); at most 23 degrees means
// cos <= -cos 23° = -0.920505. (33, 14) bends 22.99°, (40, 17) 23.03°, (9, 4) 23.96°.
TEST_F(RailTest, BendOfAtMost23DegreesIsAccepted) {
  StartAtA();
  Move(21 + 9, 20 + 4);
  EXPECT_EQ(sink_.Status[1], "曲がりが23度を超えています（24度）");
  EXPECT_EQ(BandColour(), kClrBandBad);
  Shot("rail_red");
  Move(21 + 40, 20 + 17);
  EXPECT_EQ(sink_.Status[1], "曲がりが23度を超えています（23.03度）");
  Move(21 + 33, 20 - 14);
  EXPECT_EQ(ed_.View.PutOk, 1);
  EXPECT_EQ(sink_.Status[1], "at(2268,2160) - 長さ 3871m");
  EXPECT_TRUE(Left(21 + 33, 20 - 14));
  EXPECT_EQ(ed_.Brd.Rails.size(), 1u);
}

TEST_F(RailTest, RefusedBendIsNotFixed) {
  StartAtA();
  Move(30, 24);
  EXPECT_FALSE(Left(30, 24));
  // The refusal keeps the reason the status bar gave: (9, 4) bends 23.96°.
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         "そこに設置することは出来ません：曲がりが23度を超えています（24度）"}));
  EXPECT_TRUE(ed_.Brd.Rails.empty());
  EXPECT_EQ(ed_.View.EditMode, kEditPutRail);
  EXPECT_TRUE(Right(30, 24));  // ends the rail
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
}

TEST_F(RailTest, ParallelToABranchingRailIsRefused) {
  ed_.Brd.RailReg({21, 20}, {9, 0}, a_, nullptr, 1);  // takes A's side 1 entry 1 only
  Redraw();
  StartAtA();
  Move(39, 20);
  EXPECT_EQ(sink_.Status[1], "分岐レールと重なっています");
  Move(31, 17);
  EXPECT_EQ(ed_.View.PutOk, 1);
}

// Entry 2 of A's side 1 lies 4 m below entry 1 (v grows downwards on the screen at angle 0):
// a branch from it going up crosses the track that leaves entry 1; going down it does not.
TEST_F(RailTest, BranchAcrossTheNeighbouringTrackIsRefused) {
  ed_.Brd.RailReg({21, 20}, {9, 0}, a_, nullptr, 1);
  Redraw();
  StartAtA();
  Move(31, 17);
  EXPECT_EQ(ed_.View.PutOk, 1);
  EXPECT_FALSE(Left(31, 17));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"駅からの分岐レールと交差しています"}));
  EXPECT_EQ(ed_.Brd.Rails.size(), 1u);
  Move(31, 23);
  EXPECT_TRUE(Left(31, 23));
  ASSERT_EQ(ed_.Brd.Rails.size(), 2u);
  EXPECT_NE(a_->EntConn[1][2], 0);
  EXPECT_EQ(ed_.View.EditMode, kEditPutRail);  // its far end is free
}

TEST_F(RailTest, UnequalOrNoFreeEntriesAreRefused) {
  ed_.Brd.RailReg({21, 20}, {9, 0}, a_, nullptr, 1);
  Redraw();
  // From the one-track rail's free end into B's two free entries.
  ASSERT_TRUE(Left(29, 20));
  EXPECT_EQ(ed_.View.PutPos, (TPoint{30, 20}));
  Move(50, 20);
  EXPECT_EQ(ed_.View.PutOk, 1);
  EXPECT_FALSE(Left(50, 20));
  EXPECT_EQ(Shown().back(), "両端の接続先のエントリ数が合いません");
  EXPECT_EQ(ed_.Brd.Rails.size(), 1u);
  EXPECT_TRUE(Right(50, 20));
  // B's side 0 taken whole: nothing can join there.
  ed_.Brd.RailReg({50, 20}, {-5, 3}, b_, nullptr, 2);
  Redraw();
  ASSERT_TRUE(Left(29, 20));
  Move(50, 20);
  EXPECT_FALSE(Left(50, 20));
  EXPECT_EQ(Shown().back(), "接続先のエントリに空きがありません");
  EXPECT_EQ(ed_.Brd.Rails.size(), 2u);
}

TEST_F(RailTest, StationSideWithoutFreeEntryTakesNoRail) {
  ed_.Brd.RailReg({21, 20}, {9, 0}, a_, nullptr, 2);
  Redraw();
  EXPECT_FALSE(Left(20, 20));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"そこにレールを追加することは出来ません"}));
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
}

TEST_F(RailTest, ZeroLengthDragIsInvalidWithoutMessage) {
  StartAtA();
  Move(30, 20);
  Move(21, 20);
  EXPECT_EQ(ed_.View.PutOk, 0);
  EXPECT_EQ(sink_.Status[1], "at(2268,2160) - 長さ 972m");  // unchanged
}

// ---- Deleting ----------------------------------------------------------------------------------

TEST_F(RailTest, DeletingAsksAndFreesTheNeighbours) {
  TRailObj* r = ed_.Brd.RailReg({21, 20}, {29, 0}, b_, a_, 2);
  Redraw();
  const int32_t railId = r->Id;
  host_.YesNoAnswers = {false, true};
  EXPECT_FALSE(Right(35, 20));
  EXPECT_NE(ed_.Brd.FindRail(railId, ""), nullptr);
  EXPECT_TRUE(Right(35, 20));
  EXPECT_EQ(ed_.Brd.FindRail(railId, ""), nullptr);
  EXPECT_EQ(a_->EntConn[1][1], 0);
  EXPECT_EQ(b_->EntConn[0][2], 0);
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(Right(55, 20));
  EXPECT_EQ(ed_.Brd.FindSta(2001, ""), nullptr);
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{"選択したレールを削除しますか？",
                                      "選択したレールを削除しますか？", "B駅を削除しますか？"}));
}

}  // namespace
}  // namespace ramvel
