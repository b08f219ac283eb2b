// Identifiers, entry codes, plane geometry, transforms and the joining of objects.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "foundation/UrwCmnDef.h"

namespace ramvel {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

TEST(EntCode, SplitsSideSlotAndId) {
  const TEntCode e = SplitEntCode(-5031);
  EXPECT_EQ(e.Side, 1);
  EXPECT_EQ(e.Slot, 3);
  EXPECT_EQ(e.Id, 5001);
  const TEntCode f = SplitEntCode(12102);
  EXPECT_EQ(f.Side, 0);
  EXPECT_EQ(f.Slot, 10);
  EXPECT_EQ(f.Id, 12002);
}

TEST(EntCode, MakeIsTheInverseOfSplit) {
  EXPECT_EQ(MakeEntCode(12002, 10, 0), 12102);
  EXPECT_EQ(MakeEntCode(5001, 3, 1), -5031);
  for (int side = 0; side < 2; ++side) {
    for (int slot = 1; slot <= 10; ++slot) {
      const TEntCode e = SplitEntCode(MakeEntCode(123002, slot, side));
      EXPECT_EQ(e.Id, 123002);
      EXPECT_EQ(e.Slot, slot);
      EXPECT_EQ(e.Side, side);
    }
  }
}

TEST(IdKind, IsTheLastDigitOfTheMagnitude) {
  EXPECT_EQ(IdKind(5001), 1);
  EXPECT_EQ(IdKind(12002), 2);
  EXPECT_EQ(IdKind(-7003), 3);
}

TEST(Rounding, HalvesGoToEven) {
  EXPECT_EQ(RoundInt(2.5), 2);
  EXPECT_EQ(RoundInt(3.5), 4);
  EXPECT_EQ(RoundInt(-2.5), -2);
  EXPECT_EQ(RoundInt(2.51), 3);
  EXPECT_EQ(PtToTenthsText(0.25f, 0.75f), "2,8");
  EXPECT_EQ(PtToTenthsText(-0.25f, 12.0f), "-2,120");
}

TEST(NormalizeAngle, LowerBoundHasATolerance) {
  EXPECT_FLOAT_EQ(NormalizeAngle(-1.575f), -1.575f);
  EXPECT_FLOAT_EQ(NormalizeAngle(-1.59f), -1.59f + kPi);
  EXPECT_NEAR(NormalizeAngle(kPi / 2), -kPi / 2, 1e-6);
  EXPECT_FLOAT_EQ(NormalizeAngle(1.5f), 1.5f);
  EXPECT_NEAR(NormalizeAngle(kPi), 0.0f, 1e-6);
  EXPECT_NEAR(NormalizeAngle(-kPi * 3 / 4), kPi / 4, 1e-6);
}

TEST(NormalizeAngle, DirectionAndReverseAgree) {
  for (float a : {0.3f, 1.2f, -0.7f, -1.4f}) {
    const float back = a > 0 ? a - kPi : a + kPi;
    EXPECT_NEAR(NormalizeAngle(a), NormalizeAngle(back), 1e-6) << a;
  }
}

struct SegCase {
  const char* name;
  TPointF p0, p1, q0, q1;
  bool cross;
};

TEST(SegCross, Cases) {
  const SegCase cases[] = {
      {"proper cross", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true},
      {"apart", {0, 0}, {10, 0}, {0, 5}, {10, 5}, false},
      {"touching at an end", {0, 0}, {10, 0}, {10, 0}, {10, 8}, true},
      {"T touching", {0, 0}, {10, 0}, {5, 0}, {5, 8}, true},
      {"would cross if extended", {0, 0}, {4, 0}, {5, -3}, {5, 3}, false},
      {"collinear overlapping", {0, 0}, {10, 0}, {5, 0}, {15, 0}, true},
      {"collinear apart", {0, 0}, {10, 0}, {11, 0}, {15, 0}, false},
      {"collinear upright sharing an end", {0, 0}, {0, 10}, {0, 10}, {0, 20}, true},
      {"collinear upright apart", {0, 0}, {0, 10}, {0, 11}, {0, 20}, false},
      {"collinear diagonal reversed", {0, 0}, {10, 10}, {12, 12}, {8, 8}, true},
  };
  for (const SegCase& c : cases) {
    EXPECT_EQ(SegCross(c.p0, c.p1, c.q0, c.q1), c.cross) << c.name;
    EXPECT_EQ(SegCross(c.q0, c.q1, c.p0, c.p1), c.cross) << c.name << " swapped";
  }
}

struct NearCase {
  const char* name;
  TPoint a, b, p;
  int32_t r;
  bool hit, nearB;
};

TEST(PtNearSeg, Cases) {
  const NearCase cases[] = {
      {"middle, on the edge of tolerance", {0, 0}, {100, 0}, {50, 2}, 2, true, true},
      {"just too far", {0, 0}, {100, 0}, {50, 3}, 2, false, false},
      {"before A inside the box", {0, 0}, {100, 0}, {-1, 0}, 2, false, false},
      {"near A", {0, 0}, {100, 0}, {20, -1}, 2, true, false},
      {"near B", {0, 0}, {100, 0}, {80, 1}, 2, true, true},
      {"upright", {0, 100}, {0, 0}, {1, 50}, 2, true, true},
      {"diagonal", {0, 0}, {100, 100}, {52, 50}, 2, true, true},
      {"diagonal too far", {0, 0}, {100, 100}, {53, 50}, 2, false, false},
      {"zero length", {10, 10}, {10, 10}, {10, 10}, 5, false, false},
  };
  for (const NearCase& c : cases) {
    const TNearHit h = PtNearSeg(c.a, c.b, c.p, c.r);
    EXPECT_EQ(h.Hit, c.hit) << c.name;
    EXPECT_EQ(h.NearB, c.nearB) << c.name;
  }
}

TEST(PtNearSeg, FarBoardCoordinatesDoNotOverflow) {
  // 200 km long segment: its squared length is beyond 32 bits.
  EXPECT_TRUE(PtNearSeg({0, 0}, {200000, 0}, {150000, 1}, 2).Hit);
}

TEST(DistPt, IsEuclidean) {
  EXPECT_FLOAT_EQ(DistPt(0, 0, 324, 432), 540.0f);
  EXPECT_FLOAT_EQ(DistPt(5, 5, 5, 5), 0.0f);
}

TBaseObj MakeObj(int32_t id, TPoint e0, TPoint e1, int32_t n0, int32_t n1) {
  TBaseObj o;
  o.Id = id;
  o.EndPos[0] = e0;
  o.EndPos[1] = e1;
  o.EntCount[0] = n0;
  o.EntCount[1] = n1;
  o.EntOwner[0] = o.EntOwner[1] = true;
  return o;
}

TEST(ConnectEnds, OtherSidesPairUpward) {
  TBaseObj sta = MakeObj(1001, {0, 0}, {1188, 0}, 3, 3);
  TBaseObj rail = MakeObj(2002, {1188, 0}, {2188, 0}, 2, 2);
  ConnectEnds(rail, &sta);
  EXPECT_EQ(rail.EntConn[0][1], -1011);  // station 1001, slot 1, side 1
  EXPECT_EQ(rail.EntConn[0][2], -1021);
  EXPECT_EQ(sta.EntConn[1][1], 2012);  // rail 2002, track 1, end 0
  EXPECT_EQ(sta.EntConn[1][2], 2022);
  EXPECT_EQ(sta.EntConn[1][3], 0);
  EXPECT_FALSE(rail.EntOwner[0]);
  EXPECT_TRUE(rail.EntOwner[1]);
  EXPECT_TRUE(sta.EntOwner[1]);  // a station's flag is left alone
}

TEST(ConnectEnds, SameSidesPairDownward) {
  TBaseObj sta = MakeObj(1001, {0, 0}, {1188, 0}, 3, 3);
  TBaseObj rail = MakeObj(2002, {5000, 5000}, {1188, 0}, 2, 2);
  ConnectEnds(rail, &sta);
  EXPECT_EQ(rail.EntConn[1][1], -1031);
  EXPECT_EQ(rail.EntConn[1][2], -1021);
  EXPECT_EQ(sta.EntConn[1][3], -2012);
  EXPECT_EQ(sta.EntConn[1][2], -2022);
  EXPECT_EQ(sta.EntConn[1][1], 0);
  EXPECT_FALSE(rail.EntOwner[1]);
}

TEST(ConnectEnds, SkipsUsedSlotsAndStopsWhenOneEndIsFull) {
  TBaseObj sta = MakeObj(1001, {0, 0}, {1188, 0}, 3, 3);
  sta.EntConn[1][2] = 9999;
  TBaseObj rail = MakeObj(2002, {1188, 0}, {2188, 0}, 3, 3);
  ConnectEnds(rail, &sta);
  EXPECT_EQ(rail.EntConn[0][1], -1011);
  EXPECT_EQ(rail.EntConn[0][2], -1031);
  EXPECT_EQ(rail.EntConn[0][3], 0);
  EXPECT_EQ(sta.EntConn[1][2], 9999);
}

TEST(ConnectEnds, OwnerFlagsBetweenRailsAndFromAStation) {
  TBaseObj first = MakeObj(2002, {0, 0}, {1080, 0}, 1, 1);
  first.EntOwner[1] = false;
  TBaseObj second = MakeObj(3002, {1080, 0}, {2160, 0}, 1, 1);
  ConnectEnds(second, &first);
  EXPECT_FALSE(second.EntOwner[0]);
  EXPECT_TRUE(first.EntOwner[1]);
  EXPECT_EQ(second.EntConn[0][1], -2012);
  EXPECT_EQ(first.EntConn[1][1], 3012);

  TBaseObj sta = MakeObj(1001, {2160, 0}, {3348, 0}, 1, 1);
  ConnectEnds(sta, &second);
  EXPECT_FALSE(second.EntOwner[1]);
  EXPECT_TRUE(sta.EntOwner[0]);
}

TEST(ConnectEnds, AbsentOrCorruptCountsWriteNothingOutside) {
  TBaseObj rail = MakeObj(2002, {0, 0}, {108, 0}, 2, 2);
  ConnectEnds(rail, nullptr);
  EXPECT_EQ(rail.EntConn[0][1], 0);
  TBaseObj big = MakeObj(3002, {108, 0}, {216, 0}, 40, 40);
  TBaseObj other = MakeObj(4002, {0, 0}, {108, 0}, 40, 40);
  ConnectEnds(big, &other);
  EXPECT_EQ(big.EntConn[0][10], -4102);
}

TEST(PlaceRail, EndZeroIsLeftOrLower) {
  TBaseObj r;
  r.Id = 2002;
  EXPECT_EQ(PlaceRail(r, {0, 0}, {3, 4}, nullptr, nullptr), 540);
  EXPECT_EQ(r.EndPos[0], (TPoint{0, 0}));
  EXPECT_EQ(r.EndPos[1], (TPoint{324, 432}));
  EXPECT_NEAR(r.Rote, std::atan2(4.0, 3.0), 1e-6);

  EXPECT_EQ(PlaceRail(r, {3, 4}, {-3, -4}, nullptr, nullptr), 540);
  EXPECT_EQ(r.EndPos[0], (TPoint{0, 0}));
  EXPECT_EQ(r.EndPos[1], (TPoint{324, 432}));

  EXPECT_EQ(PlaceRail(r, {1, 1}, {0, 2}, nullptr, nullptr), 216);
  EXPECT_EQ(r.EndPos[0], (TPoint{108, 324}));  // the lower end on the screen
  EXPECT_EQ(r.EndPos[1], (TPoint{108, 108}));
  EXPECT_NEAR(r.Rote, -kPi / 2, 1e-6);

  EXPECT_EQ(PlaceRail(r, {0, 0}, {1, 1}, nullptr, nullptr), 153);  // 152.74 m
}

TEST(PlaceRail, JoinsBothEnds) {
  TBaseObj left = MakeObj(1001, {0, 0}, {1188, 0}, 2, 2);
  TBaseObj right = MakeObj(2001, {2376, 0}, {3564, 0}, 2, 2);
  TBaseObj rail;
  rail.Id = 3002;
  rail.EntCount[0] = rail.EntCount[1] = 2;
  rail.EntOwner[0] = rail.EntOwner[1] = true;
  PlaceRail(rail, {22, 0}, {-11, 0}, &right, &left);
  EXPECT_EQ(rail.EndPos[0], (TPoint{1188, 0}));
  EXPECT_EQ(rail.EntConn[0][1], -1011);
  EXPECT_EQ(rail.EntConn[1][1], 2011);
  EXPECT_EQ(left.EntConn[1][1], 3012);
  EXPECT_EQ(right.EntConn[0][1], -3012);
  EXPECT_EQ(rail.Length, 1188);
}

TEST(Slots, CentredAndFreeRuns) {
  TBaseObj o = MakeObj(1001, {0, 0}, {1188, 0}, 3, 4);
  EXPECT_EQ(CentredSlot(o, 1, 0), -1);
  EXPECT_EQ(CentredSlot(o, 3, 0), 1);
  EXPECT_EQ(CentredSlot(o, 1, 1), -1);  // (4 + 1) div 2 = 2
  EXPECT_EQ(CentredSlot(o, 4, 1), 2);
  EXPECT_EQ(StaEntPoint(o, 4, 1), (TPoint{1188, 8}));
  o.EntConn[1][1] = 5;
  o.EntConn[1][4] = 5;
  TSlotRun run = FreeSlotRun(o, 1);
  EXPECT_TRUE(run.Any);
  EXPECT_EQ(run.Count, 2);
  o.EntConn[1][2] = o.EntConn[1][3] = 5;
  run = FreeSlotRun(o, 1);
  EXPECT_FALSE(run.Any);
  EXPECT_EQ(run.Count, 0);
}

TEST(Transform, RailAndStationEntryPoints) {
  TBaseObj rail = MakeObj(2002, {0, 0}, {1000, 0}, 3, 3);
  rail.Length = 1000;
  SetRote(rail);
  SetRailTransform(rail, {100, 200}, 2.0f, 10.0f);
  EXPECT_EQ(EntPoint(rail, 1, 0), (TPoint{100, 198}));  // 4 m across at 2 m/px
  EXPECT_EQ(EntPoint(rail, 3, 1), (TPoint{200, 202}));  // 1000 m along at 10 m/px

  TBaseObj sta = MakeObj(1001, {0, 0}, {1188, 1188}, 1, 1);  // turned: 1680 m end to end
  SetRote(sta);
  SetStaTransform(sta, sta.Rote, 1.0f, 1.0f);
  const TPointF end = LocalToScreen(sta, 1188, 0, 1, 0);
  EXPECT_NEAR(end.x, 1188, 0.01);
  EXPECT_NEAR(end.y, 1188, 0.01);
  const TPointF back = LocalToScreen(sta, 1188, 0, -1, 594);
  EXPECT_NEAR(back.x, -594, 0.01);
  EXPECT_NEAR(back.y, -594, 0.01);
}

}  // namespace
}  // namespace ramvel
