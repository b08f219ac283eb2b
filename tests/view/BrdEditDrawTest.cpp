// The board view's frame: terrain, sea, grey outside the terrain, stations, rails with their
// double lines and joint dots, the rubber band, trains in two passes, labels and error texts.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <utility>

#include "NetBuilder.h"
#include "StaBuilder.h"
#include "ViewSupport.h"
#include "view/UrwBrdEditor.h"
#include "view/UrwDrawKit.h"

namespace ramvel {
namespace {

using test::CountPx;
using test::LandGrid;
using test::Px;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int32_t k0500 = 3600;  // 05:00 in seconds from 04:00

class BoardDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApp();
    ed_.InitView(100, 300);
    ed_.Brd.BrdName = "T";
  }
  void Land(TLandGrid g) { ASSERT_TRUE(ed_.View.SetLand(std::move(g)).ok()); }
  // A view of w x h pixels at mperp metres per pixel with its corner at (x, y) metres.
  void View(int32_t w, int32_t h, int32_t mperp, int32_t x = 0, int32_t y = 0) {
    ed_.Brd.SCR_MPERP = mperp;
    ed_.Brd.SCR_XLEFT = x;
    ed_.Brd.SCR_YTOP = y;
    ed_.View.SetScrSize(w, h);
  }
  const QImage& Draw(bool design) {
    ed_.View.DesignMode = design ? 1 : 0;
    ed_.DrawBoard(nullptr, true);
    return ed_.FrameBmp;
  }

  TScriptedHost host_;
  TUiHostScope scope_{host_};
  test::TRecordingSink sink_;
  TBrdEdit ed_{&sink_};
};

// ---- Terrain
// -------------------------------------------------------------------------------------

TEST_F(BoardDraw, SeaDotsAreSeaSquaresAndEveryOtherColourIsLand) {
  TLandGrid g = LandGrid(40, 10);
  g.Rgb[2 * 40 + 3] = kRgbSeaDot;
  g.Rgb[2 * 40 + 5] = 0x00FF00;
  Land(std::move(g));
  View(300, 100, 18);
  const QImage& img = Draw(false);
  ASSERT_EQ(img.size(), QSize(300, 100));
  // Dot (3, 2) is drawn at (3 * 108 / 18, 2 * 108 / 18) = (18, 12), 108 / 18 + 1 = 7 pixels.
  EXPECT_EQ(Px(img, 18, 12), kClrSea);
  EXPECT_EQ(Px(img, 24, 18), kClrSea);
  EXPECT_EQ(Px(img, 25, 15), kClrLand);
  EXPECT_EQ(Px(img, 17, 15), kClrLand);
  EXPECT_EQ(Px(img, 21, 19), kClrLand);
  EXPECT_EQ(Px(img, 32, 14), kClrLand);  // the green dot (5, 2)
  EXPECT_EQ(Px(img, 100, 50), kClrLand);
}

TEST_F(BoardDraw, OutsideTheTerrainIsGrey) {
  Land(LandGrid(40, 10));  // 4320 x 1080 m
  View(300, 100, 18);
  const QImage& img = Draw(false);
  // Grey from x = 4320 / 18 + 1 = 241 and from y = 1080 / 18 + 1 = 61.
  EXPECT_EQ(Px(img, 240, 30), kClrLand);
  EXPECT_EQ(Px(img, 241, 30), kClrOutside);
  EXPECT_EQ(Px(img, 299, 0), kClrOutside);
  EXPECT_EQ(Px(img, 100, 60), kClrLand);
  EXPECT_EQ(Px(img, 100, 61), kClrOutside);
  EXPECT_EQ(ed_.Brd.SCR_XLEFT, 0);
}

TEST_F(BoardDraw, ARowOfSeaDotsIsOneUnbrokenStrip) {
  TLandGrid g = LandGrid(100, 20);
  for (int i = 5; i <= 9; ++i) g.Rgb[static_cast<size_t>(3 * 100 + i)] = kRgbSeaDot;
  Land(std::move(g));
  for (const int32_t mperp : {18, 27, 54, 108}) {
    View(200, 100, mperp);
    const QImage& img = Draw(false);
    const int s = 108 / mperp + 1;
    const int x0 = 5 * 108 / mperp, x1 = 9 * 108 / mperp + s - 1, y = 3 * 108 / mperp;
    EXPECT_EQ(CountPx(img, x0, y, x1, y, kClrSea), x1 - x0 + 1) << mperp;
    EXPECT_EQ(Px(img, x0 - 1, y), kClrLand) << mperp;
    EXPECT_EQ(Px(img, x1 + 1, y), kClrLand) << mperp;
  }
}

TEST_F(BoardDraw, ScrolledViewDrawsTheSeaAtItsViewPosition) {
  TLandGrid g = LandGrid(100, 50);
  g.Rgb[10 * 100 + 20] = kRgbSeaDot;
  Land(std::move(g));
  View(200, 100, 9, 1080, 540);
  const QImage& img = Draw(false);
  // ((20 * 108 - 1080) / 9, (10 * 108 - 540) / 9) = (120, 60), 13 pixels a side.
  EXPECT_EQ(Px(img, 120, 60), kClrSea);
  EXPECT_EQ(Px(img, 132, 72), kClrSea);
  EXPECT_EQ(Px(img, 119, 60), kClrLand);
  EXPECT_EQ(Px(img, 133, 66), kClrLand);
}

// ---- Rails
// ---------------------------------------------------------------------------------------

class RailDraw : public BoardDraw {
 protected:
  void SetUp() override {
    BoardDraw::SetUp();
    Land(LandGrid(60, 30));
    // A loose one-track rail from dot (5, 5) to dot (10, 5).
    ed_.Brd.RailReg({5, 5}, {5, 0}, nullptr, nullptr, 1);
  }
};

TEST_F(RailDraw, SingleLineAtCoarseZooms) {
  View(300, 100, 9);
  const QImage& img = Draw(false);
  // From (540 / 9, 540 / 9) = (60, 60) to (1080 / 9, 60) = (120, 60).
  EXPECT_EQ(CountPx(img, 60, 60, 120, 60, kWhite), 61);
  EXPECT_EQ(Px(img, 90, 59), kClrLand);
  EXPECT_EQ(Px(img, 90, 61), kClrLand);
}

TEST_F(RailDraw, DoubleLinesAtSixMetresPerPixelOrFiner) {
  View(300, 150, 6);
  const QImage& img = Draw(false);
  // Half a cross unit: 0.5 / (6 / 10) = 0.83, rounded 1 pixel either side of y = 90.
  EXPECT_EQ(Px(img, 135, 89), kWhite);
  EXPECT_EQ(Px(img, 135, 91), kWhite);
  EXPECT_EQ(Px(img, 135, 90), kClrLand);
}

TEST_F(RailDraw, JointDotsOnlyInDesignModeAndAtThirtySixOrFiner) {
  View(300, 100, 18);
  // The rail ends at (30, 30) and (60, 30).
  EXPECT_EQ(Px(Draw(true), 31, 31), kWhite);
  EXPECT_EQ(Px(Draw(true), 59, 29), kWhite);
  EXPECT_EQ(Px(Draw(false), 31, 31), kClrLand);
  View(300, 100, 54);  // ends at (10, 10) and (20, 10)
  EXPECT_EQ(Px(Draw(true), 11, 11), kClrLand);
}

TEST_F(RailDraw, RubberBandIsGreenWhenThePlaceIsValidAndRedOtherwise) {
  View(300, 100, 18);
  Draw(true);
  ed_.View.EditMode = kEditPutRail;
  ed_.View.PutPos = {5, 8};
  ed_.View.PutVec = {4, 0};
  ed_.View.PutOk = 1;
  ed_.DrawBoard(nullptr, false);
  // From (30, 48) to (54, 48).
  EXPECT_EQ(CountPx(ed_.FrameBmp, 30, 48, 54, 48, kClrBandOk), 25);
  ed_.View.PutOk = 0;
  ed_.DrawBoard(nullptr, false);
  EXPECT_EQ(CountPx(ed_.FrameBmp, 30, 48, 54, 48, kClrBandBad), 25);
  EXPECT_EQ(Px(ed_.LayerBmp, 40, 48), kClrLand);  // the layer stays clean
  ed_.View.EditMode = kEditIdle;
  ed_.DrawBoard(nullptr, false);
  EXPECT_EQ(Px(ed_.FrameBmp, 40, 48), kClrLand);
}

// ---- Stations and trains
// -------------------------------------------------------------------------

// Stations A (1001) from dot (2, 3) and B (2001) from dot (24, 3), joined by a two-track rail.
// Train set 1 (4 cars, 72 km/h) stands at A platform 1 until 06:00, then runs train 101 to B.
class TrainDraw : public BoardDraw {
 protected:
  void SetUp() override {
    BoardDraw::SetUp();
    Land(LandGrid(40, 10));
    a_ = test::PutStation(ed_.Brd, test::TwoPlatformStation(1001, "A"), 2, 3);
    b_ = test::PutStation(ed_.Brd, test::TwoPlatformStation(2001, "B"), 24, 3);
    ed_.Brd.RailReg({13, 3}, {11, 0}, a_, b_, 2);
    const int32_t no = ed_.Brd.CarReg({0, "", 0x00336699, 4, 72}, MakeEntCode(1001, 1, 1));
    car_ = ed_.Brd.FindCar(no, "");
    car_->TmTbl.Add({"101,普通", 7200, 7200, MakeEntCode(1001, 1, 1)});
    car_->TmTbl.Add({"", 7200 + 179, -1, MakeEntCode(2001, 1, 0)});
    ed_.View.CurTime = k0500;
  }
  TStaObj* a_ = nullptr;
  TStaObj* b_ = nullptr;
  TCarObj* car_ = nullptr;
};

constexpr uint32_t kCarRgb = 0x996633;  // the train set's 0x00336699

TEST_F(TrainDraw, PlatformsAndStationTracks) {
  View(800, 300, 2);
  const QImage& img = Draw(false);
  // A's origin is (216 / 2, 324 / 2) = (108, 162); across 2 / 6 m per pixel. Platform 2 spans
  // u 514..674 (x 365..445) and v 2..6 (y 168..180); its track (v = 4, y 174) is drawn double,
  // 2 pixels either side.
  EXPECT_EQ(Px(img, 400, 170), kClrHome);
  EXPECT_EQ(Px(img, 400, 172), kWhite);
  EXPECT_EQ(Px(img, 400, 176), kWhite);
  EXPECT_EQ(Px(img, 400, 174), kClrHome);
  EXPECT_EQ(Px(img, 400, 185), kClrLand);
}

TEST_F(TrainDraw, AStandingTrainSetIsDrawnInItsColourAsCarQuadrilaterals) {
  View(800, 300, 2);
  const QImage& img = Draw(false);
  ASSERT_EQ(car_->LocState, kLocStand);
  // Head at u 634 (x 425), tail at 554 (x 385), on y 162; cars 10 pixels long, 9 wide, each
  // outlined in black.
  EXPECT_EQ(Px(img, 410, 162), kCarRgb);
  EXPECT_EQ(Px(img, 420, 160), kCarRgb);
  EXPECT_EQ(Px(img, 415, 162), kClrCarOutline);  // the boundary of cars 1 and 2
  EXPECT_EQ(Px(img, 410, 157), kClrCarOutline);
  EXPECT_NE(Px(img, 410, 170), kCarRgb);
  EXPECT_NE(Px(img, 380, 162), kCarRgb);
  EXPECT_EQ(Px(ed_.LayerBmp, 410, 162), kClrHome);  // trains stay off the layer
}

TEST_F(TrainDraw, AboveThirtySixMetresPerPixelASetIsOneLine) {
  car_->NCar = 8;
  View(300, 100, 54);
  const QImage& img = Draw(false);
  // Origin (4, 6); head at u 674 (x 16.5), tail at 514 (x 13.5).
  EXPECT_EQ(Px(img, 14, 6), kCarRgb);
  EXPECT_EQ(Px(img, 15, 6), kCarRgb);
  EXPECT_NE(Px(img, 14, 5), kCarRgb);
  EXPECT_NE(Px(img, 14, 7), kCarRgb);
}

TEST_F(TrainDraw, NoTrainsInDesignMode) {
  View(800, 300, 2);
  const QImage& img = Draw(true);
  EXPECT_EQ(CountPx(img, 380, 150, 430, 175, kCarRgb), 0);
}

TEST_F(TrainDraw, ARunningTrainSetMovesWithTheClock) {
  View(800, 300, 2);
  ed_.View.CurTime = 7200 + 58;  // 2.6 s on the rail, the head 52 m beyond A's edge
  const QImage& img = Draw(false);
  ASSERT_EQ(car_->LocState, kLocRun);
  // A's side 1 edge is u 1188, x 702; the head is at x 728, the tail 28 m back in A (x 688).
  EXPECT_EQ(Px(img, 720, 162), kCarRgb);
  EXPECT_EQ(Px(img, 693, 162), kCarRgb);
  EXPECT_NE(Px(img, 410, 162), kCarRgb);
}

class TrainLabels : public TrainDraw {
 protected:
  QImage LabelFrame(uint8_t no, uint8_t only) {
    View(800, 300, 2);
    ed_.View.ShowTrNo = no;
    ed_.View.ShowTrOnly = only;
    return Draw(false);
  }
};

// The head is at (425, 162): the leader runs to (455, 192), then right under the text.
TEST_F(TrainLabels, LabelLeaderAndUnderline) {
  const QImage img = LabelFrame(1, 0);
  EXPECT_EQ(Px(img, 440, 177), kClrTrainLabel);
  EXPECT_EQ(Px(img, 455, 192), kClrTrainLabel);
  const QFontMetrics fm(UiFont(true, PointsToPixels(kTrainLabelPoints)));
  const int end = 455 + fm.horizontalAdvance(QStringLiteral("[1]")) + 5;
  EXPECT_EQ(Px(img, end, 192), kClrTrainLabel);
  EXPECT_NE(Px(img, end + 2, 192), kClrTrainLabel);
  EXPECT_GT(CountPx(img, 460, 192 - fm.height(), end, 191, kClrTrainLabel), 5);  // the text
}

// Running train 101 ("101,普通"): its number, or with the nickname option the part after ",".
TEST_F(TrainLabels, RunningTrainShowsItsNumberOrTheRestOfItsHeader) {
  const QFontMetrics fm(UiFont(true, PointsToPixels(kTrainLabelPoints)));
  for (const bool nick : {false, true}) {
    ed_.View.ShowTrNick = nick ? 1 : 0;
    ed_.View.CurTime = 7200 + 58;  // the head at (728, 162)
    const QImage img = LabelFrame(1, 1);
    const QString text = nick ? QStringLiteral("普通") : QStringLiteral("101");
    const int end = 758 + fm.horizontalAdvance(text) + 5;
    EXPECT_EQ(Px(img, end, 192), kClrTrainLabel) << nick;
    EXPECT_NE(Px(img, end + 1, 192), kClrTrainLabel) << nick;
  }
}

TEST_F(TrainLabels, NoLabelWithoutTheOption) {
  EXPECT_EQ(CountPx(LabelFrame(0, 0), 430, 165, 520, 195, kClrTrainLabel), 0);
}

TEST_F(TrainLabels, StandingSetsUnlabelledWithOnlyTrains) {
  EXPECT_EQ(CountPx(LabelFrame(1, 1), 430, 165, 520, 195, kClrTrainLabel), 0);
}

TEST_F(TrainDraw, ASetThatCannotBeLocatedIsReportedInPanelOne) {
  const int32_t no = ed_.Brd.CarReg({0, "", 0, 2, 72}, MakeEntCode(9001, 1, 1));
  View(800, 300, 2);
  Draw(false);
  EXPECT_EQ(ed_.Brd.FindCar(no, "")->LocState, kLocError);
  EXPECT_EQ(sink_.Status[1], "ERR2-DrawTrain-2");
  EXPECT_EQ(Px(ed_.FrameBmp, 410, 162), kCarRgb);  // the others are still drawn
}

TEST_F(TrainDraw, ASetThatCannotBeDrawnIsReportedAndTheFrameGoesOn) {
  View(800, 300, 2);
  Draw(false);
  car_->BodyPts = {"4250,1620", "not a point"};
  const int32_t no = ed_.Brd.CarReg({0, "", 0x000000FF, 2, 72}, MakeEntCode(1001, 2, 1));
  TCarObj* other = ed_.Brd.FindCar(no, "");
  other->LocState = kLocStand;
  other->StaPosKind = TStaPosKind::kElsewhere;
  other->BodyPts = {"4250,1740", "3850,1740"};
  ed_.DrawBoard(nullptr, false);
  EXPECT_EQ(sink_.Status[1], "ERR3-DrawTrain-1");
  EXPECT_EQ(Px(ed_.FrameBmp, 400, 174), 0xFF0000u);
}

// ---- Trains under entry crossings
// ----------------------------------------------------------------

// Station X from dot (2, 3): on side 0 the lead of grid-edge position 1 (v 0 to 4) crosses over
// the lead of position 2 (v 4 to 0); at 1 m per pixel the two cross at (313, 336).
class CrossingTrains : public BoardDraw {
 protected:
  void SetUp() override {
    BoardDraw::SetUp();
    Land(LandGrid(40, 10));
    test::TStaBuilder b(3001, "X");
    b.Ents(2, 1).Crs(0, 1, 2, 1);
    b.Rail(kRailPlain, 1, {194, 0}, {994, 0}).Rail(kRailPlain, 2, {194, 4}, {994, 4});
    b.Rail(test::EntryLead(0, 3, 4, 0)).Rail(test::EntryLead(0, 4, 0, 4));
    b.Rail(test::EntryLead(1, 5, 0, 0));
    test::PutStation(ed_.Brd, b.Build(), 2, 3);
    View(600, 400, 1);
    Draw(false);
    // A one-car set laid along the lead passing underneath, its head past the crossing.
    car_ = std::make_unique<TCarObj>();
    car_->Id = 1;
    car_->NCar = 1;
    car_->Color = 0x000000FF;
    car_->LocState = kLocRun;
    car_->CurSta = 3001;
    car_->BodyPts = {"3300,3381", "3000,3344"};
  }
  QImage FrameWith(uint8_t staPosKind) {
    car_->StaPosKind = static_cast<TStaPosKind>(staPosKind);
    ed_.Brd.Cars.emplace("1", std::move(car_));
    ed_.DrawBoard(nullptr, false);
    return ed_.FrameBmp;
  }
  std::unique_ptr<TCarObj> car_;
};

TEST_F(CrossingTrains, TheLeadsAreMarked) {
  const TStaObj* x = ed_.Brd.FindSta(3001, "");
  EXPECT_EQ(x->Rails[2].Mark, 1);
  EXPECT_EQ(x->Rails[3].Mark, 0);
}

// (320, 342) lies in the train's body, 7 pixels below the crossing lead (y 335 there) and
// between the double lines of both leads: inside the crossing's strip of ground.
TEST_F(CrossingTrains, ATrainPassingUnderneathStaysHidden) {
  const QImage img = FrameWith(1);
  EXPECT_EQ(Px(img, 320, 342), kClrLand);
  EXPECT_GT(CountPx(img, 280, 310, 350, 360, 0xFF0000), 0);  // beyond the strip it is seen
}

TEST_F(CrossingTrains, ATrainOnTheCrossingLeadIsDrawnOverIt) {
  const QImage img = FrameWith(0);
  EXPECT_EQ(Px(img, 320, 342), 0xFF0000u);
}

TEST_F(CrossingTrains, ATrainElsewhereNeedsNoOverlay) {
  const QImage img = FrameWith(2);
  EXPECT_EQ(Px(img, 320, 342), 0xFF0000u);
}

}  // namespace
}  // namespace ramvel
