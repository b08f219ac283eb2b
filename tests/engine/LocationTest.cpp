// Train location: standing, running and hidden train sets located from their timetables.
#include <gtest/gtest.h>

#include "NetBuilder.h"
#include "engine/UrwBrdData.h"
#include "engine/UrwBrdView.h"

namespace ramvel {
namespace {

using test::PutStation;
using test::TwoPlatformStation;
using Lines = std::vector<std::string>;

constexpr int32_t k0600 = 2 * 3600;  // 06:00 in seconds from 04:00

// A (1001) and B (2001) joined by 1188 m of rail. Train set 1 (4 cars, 72 km/h = 20 m/s) stands
// at A platform 1 and runs train 101 from there at 06:00 to B platform 1, arriving when the
// run is over: 55.4 s leaving, 59.4 s on the rail, 63.4 s arriving.
class Location : public ::testing::Test {
 protected:
  void SetUp() override {
    a_ = PutStation(brd_, TwoPlatformStation(1001, "A"), 0, 0);
    b_ = PutStation(brd_, TwoPlatformStation(2001, "B"), 22, 0);
    TRailObj* rail = brd_.RailReg({11, 0}, {11, 0}, a_, b_, 2);
    // One metre per pixel with the view at the board's origin.
    SetStaTransform(*a_, 0, 1, 1);
    SetStaTransform(*b_, 0, 1, 1);
    b_->OrgX = 2376;
    SetRailTransform(*rail, rail->EndPos[0], 1, 1);
    const int32_t no = brd_.CarReg({0, "", 0, 4, 72}, MakeEntCode(1001, 1, 1));
    car_ = brd_.FindCar(no, "");
    car_->TmTbl.Add({"101,普通", k0600, k0600, MakeEntCode(1001, 1, 1)});
    car_->TmTbl.Add({"", k0600 + 179, -1, MakeEntCode(2001, 1, 0)});
    a_->ShowDetail = b_->ShowDetail = true;
  }

  TBrdData brd_;
  TStaObj* a_ = nullptr;
  TStaObj* b_ = nullptr;
  TCarObj* car_ = nullptr;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(Location, BeforeItsFirstDepartureASetStandsAtItsStablingPlatform) {
  brd_.CalcCarLocation(0, k0600 - 3600);
  EXPECT_EQ(car_->LocState, kLocStand);
  EXPECT_EQ(car_->LocTm, k0600);
  EXPECT_EQ(car_->PathItems, Lines{"-1011"});
  EXPECT_EQ(car_->BodyPts, (Lines{"6340,0", "5540,0"}));
  brd_.CalcCarLocation(1, k0600 - 3599);  // a tick re-lays it where it stands
  EXPECT_EQ(car_->BodyPts, (Lines{"6340,0", "5540,0"}));
}

TEST_F(Location, LeavingAStopAccelerates) {
  brd_.CalcCarLocation(0, k0600 + 10);
  ASSERT_EQ(car_->LocState, kLocRun);
  EXPECT_EQ(car_->PathItems,
            (Lines{"-1001|H;1|R;7|1;21|R;9|R;11", "1012", "2011|R;1|R;3|1;11|R;5|H;1"}));
  EXPECT_EQ(car_->LocTm, 0);
  EXPECT_FLOAT_EQ(car_->RunTm, 10);
  // s = 200^2 / (4 * 554) = 18.05 m beyond the stopping point (head at 634).
  EXPECT_EQ(car_->BodyPts, (Lines{"6521,0", "5721,0"}));
}

TEST_F(Location, RunningTimesOfTheThreeElements) {
  brd_.CalcCarLocation(0, k0600 + 10);
  ASSERT_TRUE(brd_.AdvanceCar(*car_, 0, 55.3f));
  EXPECT_EQ(car_->LocTm, 0);
  ASSERT_TRUE(brd_.AdvanceCar(*car_, 0, 55.5f));
  EXPECT_EQ(car_->LocTm, 1);
  EXPECT_NEAR(car_->RunTm, 0.1, 1e-3);
  ASSERT_TRUE(brd_.AdvanceCar(*car_, 0, 55.4f + 59.4f + 63.3f));
  EXPECT_EQ(car_->LocTm, 2);
  EXPECT_NEAR(car_->RunTm, 63.3, 1e-3);
  EXPECT_FALSE(brd_.AdvanceCar(*car_, 0, 55.4f + 59.4f + 63.5f));
}

TEST_F(Location, OnTheRailTheBodyReachesBackIntoTheStation) {
  brd_.CalcCarLocation(0, k0600 + 58);  // 2.6 s on the rail: head 52 m beyond A's edge
  ASSERT_EQ(car_->LocState, kLocRun);
  EXPECT_EQ(car_->LocTm, 1);
  // The rail's entry end and the station's exit edge are the same point, laid by each.
  EXPECT_EQ(car_->BodyPts, (Lines{"12400,0", "11880,0", "11880,0", "11600,0"}));
}

TEST_F(Location, ArrivingAndStandingAfterTheLastArrival) {
  brd_.CalcCarLocation(0, k0600 + 178);  // 63.2 s into the 63.4 s arrival
  ASSERT_EQ(car_->LocState, kLocRun);
  EXPECT_EQ(car_->LocTm, 2);
  brd_.CalcCarLocation(0, k0600 + 179);
  EXPECT_EQ(car_->LocState, kLocStand);
  EXPECT_EQ(car_->LocTm, 82800);
  // 12:00: located afresh from the timetable without running the hours between.
  brd_.CalcCarLocation(0, 8 * 3600);
  EXPECT_EQ(car_->LocState, kLocStand);
  EXPECT_EQ(car_->LocTm, 82800);
  EXPECT_EQ(car_->BodyPts, (Lines{"29300,0", "30100,0"}));
}

TEST_F(Location, TicksMoveTheSetLikeAFreshLocation) {
  brd_.CalcCarLocation(0, k0600);
  float travelled = -1;
  for (int32_t t = k0600 + 1; t < k0600 + 178; ++t) {
    brd_.CalcCarLocation(1, t);
    ASSERT_EQ(car_->LocState, kLocRun) << t;
    const int32_t tickTm = car_->LocTm;
    const float tickRun = car_->RunTm;
    const Lines tickBody = car_->BodyPts;
    // Seconds since the departure, from the element and the time spent in it.
    const float times[] = {0, 55.4f, 55.4f + 59.4f};
    const float since = times[tickTm] + tickRun;
    EXPECT_NEAR(since, t - k0600, 1e-2) << t;
    EXPECT_GT(since, travelled);
    travelled = since;
    brd_.ActionAtInit(*car_, t);
    EXPECT_EQ(car_->LocTm, tickTm) << t;
    EXPECT_NEAR(car_->RunTm, tickRun, 1e-2) << t;
    EXPECT_EQ(car_->BodyPts.size(), tickBody.size()) << t;
  }
  brd_.CalcCarLocation(2, k0600 + 179);
  EXPECT_EQ(car_->LocState, kLocStand);
}

// The tick walks the sets as the list holds them at that moment: sets added, removed or
// replaced between ticks, through the board or straight in the list, are all located.
TEST_F(Location, TicksFollowSetsAddedRemovedOrReplacedBetweenThem) {
  brd_.CalcCarLocation(0, k0600 - 3600);
  // Two sets standing at B, added between two ticks.
  const int32_t no2 = brd_.CarReg({0, "", 0, 2, 72}, MakeEntCode(2001, 1, 0));
  const int32_t no3 = brd_.CarReg({0, "", 0, 2, 72}, MakeEntCode(2001, 2, 0));
  // Never located: their LocTm 0 has passed, so the tick locates them afresh.
  const TCarObj* added = brd_.FindCar(no3, "");
  brd_.CalcCarLocation(1, k0600 - 3599);
  EXPECT_EQ(added->LocState, kLocStand);
  EXPECT_EQ(added->BodyPts.size(), 2u);
  // The middle set of the list replaced straight in it by a copy that has never been located:
  // the list keeps its size, its first and its last set.
  auto copy = std::make_unique<TCarObj>();
  copy->SetProps({0, "", 0, 4, 72});
  copy->Id = no2;
  copy->TmTbl = car_->TmTbl;
  const TCarObj* replaced = copy.get();
  brd_.Cars[IntText(no2)] = std::move(copy);
  brd_.CalcCarLocation(1, k0600 - 3598);
  EXPECT_EQ(replaced->LocState, kLocStand);
  EXPECT_EQ(replaced->BodyPts, (Lines{"6340,0", "5540,0"}));
  // The last one removed: the tick goes on with the others.
  brd_.CarDel(no3);
  brd_.CalcCarLocation(1, k0600 + 10);
  EXPECT_EQ(replaced->LocState, kLocRun);
  EXPECT_EQ(car_->LocState, kLocRun);
  EXPECT_EQ(brd_.Cars.size(), 2u);
}

TEST_F(Location, SectionsOutOfSightCostNothingUntilTheArrival) {
  a_->ShowDetail = b_->ShowDetail = false;
  brd_.CalcCarLocation(0, k0600 + 10);
  EXPECT_EQ(car_->LocState, kLocHidden);
  EXPECT_EQ(car_->LocTm, k0600 + 179);
  EXPECT_TRUE(car_->BodyPts.empty());
  brd_.CalcCarLocation(1, k0600 + 11);
  EXPECT_EQ(car_->LocState, kLocHidden);
  a_->NearFlag = true;  // scrolled so that a rail towards A is in view
  brd_.CalcCarLocation(0, k0600 + 12);
  EXPECT_EQ(car_->LocState, kLocRun);
  a_->NearFlag = false;
  brd_.CalcCarLocation(0, 8 * 3600);
  EXPECT_EQ(car_->LocState, kLocHidden);  // standing at B, which is not drawn
  EXPECT_EQ(car_->LocTm, 82800);
}

TEST_F(Location, ASectionWithoutARouteIsAnError) {
  TStaObj* c = PutStation(brd_, TwoPlatformStation(3001, "C"), 0, 20);
  c->ShowDetail = true;
  car_->TmTbl.Add({"102,普通", k0600 + 600, k0600 + 600, MakeEntCode(2001, 1, 1)});
  car_->TmTbl.Add({"", k0600 + 900, -1, MakeEntCode(3001, 1, 0)});
  brd_.CalcCarLocation(0, k0600 + 700);
  EXPECT_EQ(car_->LocState, kLocError);
  brd_.CalcCarLocation(1, k0600 + 701);  // stays until located afresh
  EXPECT_EQ(car_->LocState, kLocError);
  brd_.CalcCarLocation(0, k0600 + 950);
  EXPECT_EQ(car_->LocState, kLocStand);
}

TEST_F(Location, ALastStepWhoseDepartureHasPassedStaysPut) {
  car_->TmTbl.Delete(2);
  brd_.CalcCarLocation(0, k0600 + 100);
  EXPECT_EQ(car_->LocState, kLocStand);
  EXPECT_EQ(car_->LocTm, 82800);
  EXPECT_EQ(car_->BodyPts, (Lines{"6340,0", "5540,0"}));
  EXPECT_TRUE(host_.Events.empty());
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

TEST_F(Location, ScrollingASectionIntoViewLocatesItAtOnce) {
  TBrdView view(brd_);
  brd_.SCR_MPERP = 18;
  view.SetScrSize(100, 100);  // 1800 m square
  TLandGrid land;
  land.W = land.H = 200;
  land.Rgb.assign(200 * 200, 0xFFFFFF);
  ASSERT_TRUE(view.SetLand(std::move(land)).ok());
  brd_.SCR_XLEFT = 10800;  // far to the right of both stations
  view.Recompute(0, 0);
  brd_.CalcCarLocation(0, k0600 + 10);
  EXPECT_EQ(car_->LocState, kLocHidden);
  brd_.CalcCarLocation(1, k0600 + 11);
  EXPECT_EQ(car_->LocState, kLocHidden);
  brd_.SCR_XLEFT = 0;
  view.Recompute(0, 0);
  EXPECT_TRUE(a_->ShowDetail);
  brd_.CalcCarLocation(0, k0600 + 12);
  EXPECT_EQ(car_->LocState, kLocRun);
  EXPECT_EQ(car_->BodyPts.size(), 2u);
}

}  // namespace
}  // namespace ramvel
