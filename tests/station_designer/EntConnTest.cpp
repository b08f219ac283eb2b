// Entry crossings: the joins of inner and outer entries and the crossing dialog's rules.
#include <gtest/gtest.h>

#include "station_designer/UrwStaEntConn.h"

namespace ramvel {
namespace {

using TCol = TStaEntConn::TColumn;
using TCircle = TStaEntConn::TCircle;

TEST(EntJoins, OneTrackCrossingOverTwo) {
  // Four tracks, position 1 crossing to slot 3: 2 -> 1, 3 -> 2, 4 -> 4, then 1 -> 3.
  EXPECT_EQ((std::vector<TEntJoin>{{2, 1, false}, {3, 2, false}, {4, 4, false}, {1, 3, true}}),
            EntJoins(4, TEntCrs{1, 3, 1}));
}

TEST(EntJoins, AgreeWithTheStationsSlotRuleForEveryFittingCrossing) {
  for (int32_t n = 1; n <= kMaxStaEnt; ++n) {
    for (int32_t f = 1; f <= n; ++f) {
      for (int32_t k = 1; f + k - 1 <= n; ++k) {
        for (int32_t p = 1; p + k - 1 <= n; ++p) {
          TStaObj sta;
          sta.EntCount[0] = n;
          sta.MakeEntCrs(0, f, p, k);
          std::vector<bool> slotUsed(static_cast<size_t>(n) + 1, false);
          for (const TEntJoin& j : EntJoins(n, TEntCrs{f, p, k})) {
            EXPECT_EQ(sta.CrsSlot(0, j.Inner), j.Outer) << n << ":" << f << "," << p << "," << k;
            EXPECT_EQ(sta.InCrs(0, j.Inner), j.Crossing);
            ASSERT_GE(j.Outer, 1);
            ASSERT_LE(j.Outer, n);
            EXPECT_FALSE(slotUsed[static_cast<size_t>(j.Outer)]) << "slot used twice";
            slotUsed[static_cast<size_t>(j.Outer)] = true;
          }
        }
      }
    }
  }
}

TEST(EntJoins, ACrossingThatDoesNotFitCountsAsNone) {
  EXPECT_FALSE(CrsFits(2, TEntCrs{2, 1, 2}));
  EXPECT_FALSE(CrsFits(3, TEntCrs{0, 1, 1}));
  EXPECT_TRUE(CrsFits(0, TEntCrs{}));
  EXPECT_TRUE(CrsFits(3, TEntCrs{2, 1, 2}));
  EXPECT_EQ(EntJoins(2, TEntCrs{}), EntJoins(2, TEntCrs{1, 2, 2}));
}

// ---- The dialog ----------------------------------------------------------------------------

TEST(StaEntConn, PictureGeometryFollowsTheSide) {
  TStaEntConn left(4, 0, TEntCrs{});
  EXPECT_EQ(250, left.ColumnX(TCol::kInner));
  EXPECT_EQ(50, left.ColumnX(TCol::kOuter));
  EXPECT_EQ(275, left.LabelX(TCol::kInner));
  EXPECT_EQ(25, left.LabelX(TCol::kOuter));
  TStaEntConn right(4, 1, TEntCrs{});
  EXPECT_EQ(50, right.ColumnX(TCol::kInner));
  EXPECT_EQ(250, right.ColumnX(TCol::kOuter));
  EXPECT_EQ(25, right.LabelX(TCol::kInner));
  // Entry e at (e - (n + 1) div 2) * 25 + 150.
  EXPECT_EQ(125, left.EntY(1));
  EXPECT_EQ(200, left.EntY(4));
  EXPECT_EQ(150, TStaEntConn(1, 0, TEntCrs{}).EntY(1));
  EXPECT_EQ(125, TStaEntConn(3, 0, TEntCrs{}).EntY(1));
}

TEST(StaEntConn, CirclesAreHitWithinFivePixels) {
  TStaEntConn d(4, 0, TEntCrs{});
  EXPECT_EQ((TCircle{TCol::kInner, 1}), d.CircleAt(250, 125));
  EXPECT_EQ((TCircle{TCol::kInner, 1}), d.CircleAt(253, 129));  // 9 + 16 = 25
  EXPECT_FALSE(d.CircleAt(254, 129).has_value());               // 16 + 16 = 32
  EXPECT_EQ((TCircle{TCol::kOuter, 3}), d.CircleAt(45, 175));
  EXPECT_FALSE(d.CircleAt(150, 150).has_value());
  d.MouseMove(50, 200);
  EXPECT_EQ((TCircle{TCol::kOuter, 4}), d.Hover());
  d.MouseMove(0, 0);
  EXPECT_FALSE(d.Hover().has_value());
}

TEST(StaEntConn, InnerClicksStartGrowShortenAndRemoveTheCrossing) {
  TStaEntConn d(4, 0, TEntCrs{});
  auto inner = [&d](int32_t e) { return d.ClickCircle({TCol::kInner, e}); };
  auto triple = [&d] { return std::vector<int32_t>{d.F(), d.P(), d.K()}; };
  EXPECT_TRUE(inner(2));
  EXPECT_EQ((std::vector<int32_t>{2, 2, 1}), triple());
  EXPECT_TRUE(inner(3));  // follows the run
  EXPECT_EQ((std::vector<int32_t>{2, 2, 2}), triple());
  EXPECT_FALSE(inner(1));  // before the run: nothing
  EXPECT_TRUE(inner(4));
  EXPECT_EQ((std::vector<int32_t>{2, 2, 3}), triple());
  EXPECT_TRUE(inner(4));  // the last entry shortens
  EXPECT_EQ((std::vector<int32_t>{2, 2, 2}), triple());
  EXPECT_TRUE(inner(2));  // the first entry removes the whole crossing
  EXPECT_EQ((std::vector<int32_t>{0, 0, 0}), triple());
}

TEST(StaEntConn, GrowingStopsWhenTheOuterRunWouldPassTheLastEntry) {
  TStaEntConn d(4, 1, TEntCrs{1, 3, 2});  // outer run 3..4
  EXPECT_FALSE(d.ClickCircle({TCol::kInner, 3}));
  EXPECT_EQ(2, d.K());
  EXPECT_TRUE(d.ClickCircle({TCol::kOuter, 2}));  // outer run 2..3 leaves room
  EXPECT_TRUE(d.ClickCircle({TCol::kInner, 3}));
  EXPECT_EQ(3, d.K());
}

TEST(StaEntConn, OuterClicksMoveTheArrivalOnlyWhenItFits) {
  TStaEntConn none(4, 0, TEntCrs{});
  EXPECT_FALSE(none.ClickCircle({TCol::kOuter, 2}));  // no crossing to move
  EXPECT_EQ(0, none.P());
  TStaEntConn d(4, 0, TEntCrs{1, 1, 2});
  EXPECT_FALSE(d.ClickCircle({TCol::kOuter, 4}));  // 4 + 2 - 1 > 4
  EXPECT_EQ(1, d.P());
  EXPECT_TRUE(d.ClickCircle({TCol::kOuter, 3}));
  EXPECT_EQ(3, d.P());
  EXPECT_TRUE(d.InCrossing(TCol::kOuter, 4));
  EXPECT_FALSE(d.InCrossing(TCol::kOuter, 2));
  EXPECT_TRUE(d.InCrossing(TCol::kInner, 2));
  EXPECT_FALSE(d.InCrossing(TCol::kInner, 3));
}

TEST(StaEntConn, ClicksBesideTheCirclesChangeNothing) {
  TStaEntConn d(3, 0, TEntCrs{1, 2, 1});
  EXPECT_FALSE(d.Click(150, 150));
  EXPECT_FALSE(d.ClickCircle({TCol::kInner, 7}));
  EXPECT_EQ((std::vector<int32_t>{1, 2, 1}), (std::vector<int32_t>{d.F(), d.P(), d.K()}));
  EXPECT_TRUE(d.Click(50, 175));  // outer entry 3 of 3
  EXPECT_EQ(3, d.P());
}

TEST(StaEntConn, OkTurnsACrossingToItsOwnPlaceIntoNone) {
  TStaEntConn d(4, 0, TEntCrs{2, 3, 1});
  EXPECT_TRUE(d.ClickCircle({TCol::kOuter, 2}));  // move the arrival onto the start
  const TEntCrs r = d.Result();
  EXPECT_EQ(0, r.CrsFrom);
  EXPECT_EQ(0, r.CrsTo);
  EXPECT_EQ(0, r.CrsCnt);
  const TEntCrs kept = TStaEntConn(4, 0, TEntCrs{2, 3, 1}).Result();
  EXPECT_EQ(2, kept.CrsFrom);
  EXPECT_EQ(3, kept.CrsTo);
  EXPECT_EQ(1, kept.CrsCnt);
}

TEST(StaEntConn, WithOneEntryACrossingIsAlwaysNone) {
  TStaEntConn d(1, 0, TEntCrs{});
  EXPECT_TRUE(d.ClickCircle({TCol::kInner, 1}));
  EXPECT_EQ(1, d.K());
  EXPECT_FALSE(d.ClickCircle({TCol::kOuter, 1}));  // already there
  EXPECT_EQ(0, d.Result().CrsCnt);
}

TEST(StaEntConn, LeadsDrawTheCrossingLast) {
  TStaEntConn d(3, 0, TEntCrs{1, 3, 1});
  EXPECT_EQ((std::vector<TEntJoin>{{2, 1, false}, {3, 2, false}, {1, 3, true}}), d.Leads());
}

}  // namespace
}  // namespace ramvel
