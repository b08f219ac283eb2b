// Delay runs, checked against delays worked out by hand from the booked blocking times (see
// AnalysisBoards.h for the timetable and running times).
#include <gtest/gtest.h>

#include "AnalysisBoards.h"
#include "analysis/UrwDelaySim.h"
#include "foundation/UrwUiHost.h"

namespace ramvel {
namespace {

class Delays : public ::testing::Test {
 protected:
  void SetUp() override {
    test::FillFollowLine(brd_);
    occ_ = CollectLineOcc(brd_, BookLineForAnalysis(brd_));
    ASSERT_EQ(occ_.Trains.size(), 2u);
  }
  int32_t TrainIdx(const std::string& no) const {
    for (size_t t = 0; t < occ_.Trains.size(); ++t) {
      if (occ_.Trains[t].TrNo == no) return static_cast<int32_t>(t);
    }
    return -1;
  }

  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TLineOcc occ_;
};

// Train 1 leaves A 300 s late (1300). Its run to B then holds A's side-1 crossover until the end
// of the slot of 1355 (1365), the block A-B until 1414, and B's side-0 crossover, set straight
// from 1414, until the end of the slot of 1477 (1485). Train 2 leaves A only when its whole run
// to B is free, as the editor's earliest start: its run sets that crossover at B to the
// platform-2 side from 1214 + its delay, so it waits 1485 - 1214 = 271 s (the lead at B asks
// 1477 - 1214 = 263 s, the block 1414 - 1155 = 259 s, A's crossover 1365 - 1100 = 265 s).
// Train 1 arrives at B 300 s late, stands the least 30 s and leaves at 1507, 207 s late: the
// 93 s of standing time beyond the minimum are recovered; it reaches C 207 s late. Train 2
// reaches B at 1548 and is ready at 1578, before its timetabled 1600: the delay is absorbed and
// it leaves and arrives at C on time.
TEST_F(Delays, AGivenDelayPropagatesByTheBlockingTimesAndIsAbsorbedBySlack) {
  TDelayOpts opts;
  opts.Given = {{"1", 300}};
  std::string bad;
  const TDelayModel model(occ_, opts.MinStop);
  const TDelayReport rep = RunDelays(model, opts, 1, bad);
  EXPECT_EQ(bad, "");
  const TDelayRun& run = rep.FirstRun;
  const int32_t t1 = TrainIdx("1"), t2 = TrainIdx("2");
  // Calls A, B, C: arrival and departure delays (-1 where there is none).
  EXPECT_EQ(run.ArrDelay[t1], (std::vector<int32_t>{-1, 300, 207}));
  EXPECT_EQ(run.DepDelay[t1], (std::vector<int32_t>{300, 207, -1}));
  EXPECT_EQ(run.ArrDelay[t2], (std::vector<int32_t>{-1, 271, 0}));
  EXPECT_EQ(run.DepDelay[t2], (std::vector<int32_t>{271, 0, -1}));
  EXPECT_EQ(run.PrimarySec, 300);
  EXPECT_EQ(run.KnockOnSec, 271);
  EXPECT_EQ(run.Caused[t1], 271);
  EXPECT_EQ(run.Caused[t2], 0);
  // Arrivals: 1 at B 300 s, at C 207 s; 2 at B 271 s, at C on time.
  EXPECT_DOUBLE_EQ(rep.Within[0].Mean, 25.0);
  EXPECT_DOUBLE_EQ(rep.Within[1].Mean, 25.0);
  EXPECT_DOUBLE_EQ(rep.Within[2].Mean, 100.0);
  EXPECT_NEAR(rep.KnockOnMin.Mean, 271 / 60.0, 1e-9);
  ASSERT_EQ(rep.Spreaders.size(), 1u);
  EXPECT_EQ(rep.Spreaders[0].first, t1);
}

// Without a primary delay nothing moves: the timetable is free of conflicts.
TEST_F(Delays, APunctualDayStaysPunctual) {
  const TDelayModel model(occ_, 30);
  const TDelayRun run = model.Run({});
  for (size_t t = 0; t < occ_.Trains.size(); ++t) {
    for (const int32_t d : run.DepDelay[t]) EXPECT_LE(d, 0);
  }
  EXPECT_EQ(run.KnockOnSec, 0);
}

// The delayed day for run mode: train 1's calls moved, train 2's arrival at B moved, the rest as
// timetabled.
TEST_F(Delays, TheDelayedDayMovesTheCallsOfTheLateTrains) {
  TDelayOpts opts;
  opts.Given = {{"1", 300}};
  std::string bad;
  const TDelayModel model(occ_, opts.MinStop);
  const TDelayReport rep = RunDelays(model, opts, 1, bad);
  const std::map<int32_t, TTmTblObj> day = DelayedTimetables(brd_, occ_, rep.FirstRun);
  ASSERT_EQ(day.size(), 2u);
  const TTmTblObj& s1 = day.at(1);
  ASSERT_EQ(s1.Count(), 4);  // stabling, A, B, C
  EXPECT_EQ(s1.At(1).TmEnd, 1300);
  EXPECT_EQ(s1.At(2).TmStart, 1477);
  EXPECT_EQ(s1.At(2).TmEnd, 1507);
  EXPECT_EQ(s1.At(3).TmStart, 1684);
  const TTmTblObj& s2 = day.at(2);
  EXPECT_EQ(s2.At(1).TmEnd, 1371);
  EXPECT_EQ(s2.At(2).TmStart, 1548);
  EXPECT_EQ(s2.At(2).TmEnd, 1600);
  EXPECT_EQ(s2.At(3).TmStart, 1777);
  // The board's own timetables are untouched.
  EXPECT_EQ(brd_.FindCar(1, "")->TmTbl.At(1).TmEnd, 1000);
}

// A train that is not on the line is named, and nothing runs.
TEST_F(Delays, AnUnknownTrainIsNamed) {
  TDelayOpts opts;
  opts.Given = {{"999", 60}};
  std::string bad;
  const TDelayModel model(occ_, 30);
  const TDelayReport rep = RunDelays(model, opts, 1, bad);
  EXPECT_EQ(bad, "999");
  EXPECT_EQ(rep.Runs, 0);
}

// Random delays are drawn from the seed alone: the same seed gives the same figures, on one
// thread or two; every train is hit when the share is 100 %.
TEST_F(Delays, ASeededRunGivesTheSameFiguresTwice) {
  TDelayOpts opts;
  opts.Share = 1.0;
  opts.MeanMin = 4;
  opts.Seed = 7;
  opts.Runs = 5;
  const TDelayModel model(occ_, 30);
  std::string bad;
  const TDelayReport a = RunDelays(model, opts, 1, bad);
  const TDelayReport b = RunDelays(model, opts, 2, bad);
  EXPECT_EQ(a.ArrDelay, b.ArrDelay);
  EXPECT_DOUBLE_EQ(a.PrimaryMin.Mean, b.PrimaryMin.Mean);
  EXPECT_DOUBLE_EQ(a.KnockOnMin.Sd, b.KnockOnMin.Sd);
  EXPECT_EQ(a.FirstRun.ArrDelay, b.FirstRun.ArrDelay);
  for (const int64_t p : a.FirstRun.Primary) EXPECT_GT(p, 0);
  EXPECT_EQ(a.Runs, 5);
  // Another seed draws other delays.
  opts.Seed = 8;
  const TDelayReport c = RunDelays(model, opts, 1, bad);
  EXPECT_NE(a.FirstRun.Primary, c.FirstRun.Primary);
}

}  // namespace
}  // namespace ramvel
