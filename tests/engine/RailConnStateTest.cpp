// The rail connection dialog's state: classes of the entries, the click table with its
// renumbering, and the connections written on OK.
#include <gtest/gtest.h>

#include <vector>

#include "NetBuilder.h"
#include "engine/UrwBrdData.h"
#include "engine/UrwRailConnState.h"

namespace ramvel {
namespace {

using Vals = std::vector<int32_t>;

// Station S (1001) with four entries on side 1; rail 1002 of two tracks takes entries 2 and 3
// (rail entries 1 and 2 at its side 0); entry 1 may be taken by another object.
class RailConnState : public ::testing::Test {
 protected:
  void SetUp() override {
    TStaObj s = test::TwoPlatformStation(1001, "S");
    s.EntCount[1] = 4;
    sta_ = test::PutStation(brd_, s, 0, 0);
    rail_ = brd_.RailReg({11, 0}, {9, 0}, nullptr, nullptr, 2);
    Join(2, 1);
    Join(3, 2);
  }
  void Join(int32_t i, int32_t a) {
    sta_->EntConn[1][i] = MakeEntCode(rail_->Id, a, 0);
    rail_->EntConn[0][a] = MakeEntCode(sta_->Id, i, 1);
  }
  Vals Values() const { return Vals(st_.A + 1, st_.A + 1 + st_.N); }
  std::vector<TRailConnClass> Classes() const {
    std::vector<TRailConnClass> out;
    for (int32_t i = 1; i <= st_.N; ++i) out.push_back(st_.ClassOf(i));
    return out;
  }

  TBrdData brd_;
  TStaObj* sta_ = nullptr;
  TRailObj* rail_ = nullptr;
  TRailConnState st_;
};

TEST_F(RailConnState, OpenReadsTheRunAndItsClasses) {
  sta_->EntConn[1][4] = MakeEntCode(99002, 1, 0);
  st_.Open(*sta_, *rail_, 1);
  EXPECT_EQ(st_.N, 4);
  EXPECT_EQ(st_.RailSide, 0);
  EXPECT_EQ(Values(), (Vals{0, 1, 2, -1}));
  using C = TRailConnClass;
  EXPECT_EQ(Classes(), (std::vector<C>{C::kRunNext, C::kRunEnd, C::kRunEnd, C::kOther}));
  EXPECT_FALSE(st_.Changed);
  EXPECT_FALSE(st_.Click(4));  // another object's entry cannot be chosen
  EXPECT_EQ(Values(), (Vals{0, 1, 2, -1}));
}

// Each row: the entry clicked, the values after it, whether it changed anything.
TEST_F(RailConnState, ClickTable) {
  st_.Open(*sta_, *rail_, 1);
  struct Row {
    int32_t click;
    Vals after;
    bool changed;
  };
  const Row rows[] = {
      {1, {1, 2, 3, 0}, true},   // extended at rail entry 1: renumbered, the new entry is 1
      {4, {1, 2, 3, 4}, true},   // extended at the other end: the next number
      {2, {1, 2, 3, 4}, false},  // inside the run
      {1, {0, 1, 2, 3}, true},   // rail entry 1 freed: the rest renumbered from 1
      {4, {0, 1, 2, 0}, true},   // the highest freed
      {3, {0, 1, 0, 0}, true},  {2, {0, 1, 0, 0}, false},  // a rail keeps at least one track
      {4, {0, 1, 0, 0}, false},                            // free and not beside the run
      {3, {0, 2, 1, 0}, true},  // beside rail entry 1 again: the new entry becomes 1
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.click);
    EXPECT_EQ(st_.Click(r.click), r.changed);
    EXPECT_EQ(Values(), r.after);
  }
  EXPECT_EQ(st_.Tracks(), 2);
  EXPECT_TRUE(st_.Changed);
}

TEST_F(RailConnState, ApplyWritesBothObjectsAndTheTrackCount) {
  st_.Open(*sta_, *rail_, 1);
  st_.Click(1);  // 1, 2, 3, 0
  st_.Apply(*sta_, *rail_);
  for (int32_t i = 1; i <= 3; ++i) {
    EXPECT_EQ(sta_->EntConn[1][i], MakeEntCode(rail_->Id, i, 0));
    EXPECT_EQ(rail_->EntConn[0][i], MakeEntCode(1001, i, 1));
  }
  EXPECT_EQ(sta_->EntConn[1][4], 0);
  EXPECT_EQ(rail_->EntCount[0], 3);
  EXPECT_EQ(rail_->EntCount[1], 3);
  st_.Open(*sta_, *rail_, 1);
  st_.Click(1);  // 0, 1, 2, 0
  st_.Apply(*sta_, *rail_);
  EXPECT_EQ(sta_->EntConn[1][1], 0);
  EXPECT_EQ(sta_->EntConn[1][2], MakeEntCode(rail_->Id, 1, 0));
  EXPECT_EQ(rail_->EntConn[0][1], MakeEntCode(1001, 2, 1));
  EXPECT_EQ(rail_->EntConn[0][3], 0);
  EXPECT_EQ(rail_->EntCount[0], 2);
}

// Entry i at M + (i - (n + 1) div 2) x (round(-15 sin θ), round(15 cos θ)); lines of 300 px.
TEST_F(RailConnState, PictureGeometry) {
  st_.Open(*sta_, *rail_, 1);
  st_.SetAngles(0, 0);
  const TPoint m{120, 120};
  EXPECT_EQ(st_.EntryPos(1, m), (TPoint{120, 105}));
  EXPECT_EQ(st_.EntryPos(2, m), (TPoint{120, 120}));
  EXPECT_EQ(st_.EntryPos(4, m), (TPoint{120, 150}));
  EXPECT_EQ(st_.StaLineEnd(2, m), (TPoint{-180, 120}));
  EXPECT_EQ(st_.RailLineEnd(2, m), (TPoint{420, 120}));
  EXPECT_EQ(st_.EntryAt(123, 109, m), 1);  // 3² + 4² = 25
  EXPECT_EQ(st_.EntryAt(124, 109, m), 0);
  EXPECT_EQ(st_.EntryAt(119, 151, m), 4);
}

}  // namespace
}  // namespace ramvel
