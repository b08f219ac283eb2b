// The one station drawing: platforms, tracks, leads with their shift, turned stations, crossing
// leads over the others, the overlay, highlighted paths, platform numbers and occupants.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "NetBuilder.h"
#include "StaBuilder.h"
#include "ViewSupport.h"
#include "view/UrwStaDraw.h"

namespace ramvel {
namespace {

using test::CountPx;
using test::Px;

constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kWhite = 0xFFFFFF;

// Side 0 has two entries whose leads cross: grid-edge position 1 (v = 0) crosses over to slot 2
// (v = 4), position 2 (v = 4) passes under it to slot 1 (v = 0). One platform 514..674 on v 0.
TStaObj CrossingStation() {
  test::TStaBuilder b(3001, "X");
  b.Ents(2, 1).Crs(0, 1, 2, 1);
  b.Rail(kRailHome, 1, {514, 0}, {674, 0}).Rail(kRailPlain, 1, {194, 0}, {514, 0});
  b.Rail(kRailPlain, 2, {674, 0}, {994, 0}).Rail(kRailPlain, 3, {194, 4}, {994, 4});
  b.Home({514, -2, 674, 2});
  b.Rail(test::EntryLead(0, 4, 4, 0)).Rail(test::EntryLead(0, 5, 0, 4));
  b.Rail(test::EntryLead(1, 6, 0, 0));
  TStaObj sta = b.Build();
  sta.ShowDetail = true;
  return sta;
}

TStaObj TwoPlatforms() {
  TStaObj sta = test::TwoPlatformStation(1001, "A");
  sta.ShowDetail = true;
  return sta;
}

class StaDraw : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureApp(); }

  // Draws on a grey picture of w x h pixels.
  QImage Draw(const TStaObj& sta, const TStaDrawArgs& a, int w = 240, int h = 80) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&img);
    DrawSta(p, sta, a);
    return img;
  }

  static TStaDrawArgs Args(TPoint origin, float along, float across, uint8_t flags) {
    TStaDrawArgs a;
    a.Origin = origin;
    a.AlongScale = along;
    a.AcrossScale = across;
    a.Flags = flags;
    a.BackColour = kGrey;
    a.TrackColour = kWhite;
    return a;
  }

  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(StaDraw, NothingIsDrawnWithoutShowDetail) {
  TStaObj sta = TwoPlatforms();
  sta.ShowDetail = false;
  const QImage img = Draw(sta, Args({0, 30}, 9.6f, 1.3333334f, 0));
  EXPECT_EQ(CountPx(img, 0, 0, img.width() - 1, img.height() - 1, kGrey),
            img.width() * img.height());
}

TEST_F(StaDraw, PlatformsAndTracksInTheirColours) {
  const TStaObj sta = TwoPlatforms();
  // 2 m along and 0.25 m across a pixel: u 514..674 is x 257..337; v = 0 is y 40, v = 4 y 56.
  const QImage img = Draw(sta, Args({0, 40}, 2, 0.25f, 0), 620, 80);
  EXPECT_EQ(Px(img, 300, 40), kWhite);    // platform track 1
  EXPECT_EQ(Px(img, 300, 56), kWhite);    // platform track 2
  EXPECT_EQ(Px(img, 300, 44), kClrHome);  // platform 1 spans v -2..2: y 32..48
  EXPECT_EQ(Px(img, 300, 36), kClrHome);
  EXPECT_EQ(Px(img, 300, 62), kClrHome);  // platform 2 spans v 2..6: y 48..64
  EXPECT_EQ(Px(img, 300, 66), kGrey);
  EXPECT_EQ(Px(img, 250, 36), kGrey);   // left of the platforms
  EXPECT_EQ(Px(img, 40, 40), kWhite);   // the lead of side 0, slot 1 (u 0..194)
  EXPECT_EQ(Px(img, 560, 56), kWhite);  // the lead of side 1, slot 2
}

TEST_F(StaDraw, TrackColourIsTheCallers) {
  const TStaObj sta = TwoPlatforms();
  TStaDrawArgs a = Args({0, 40}, 2, 0.25f, 0);
  a.TrackColour = kClrLineSta;
  const QImage img = Draw(sta, a, 620, 80);
  EXPECT_EQ(Px(img, 300, 40), kClrLineSta);
  EXPECT_EQ(Px(img, 40, 40), kClrLineSta);
}

TEST_F(StaDraw, LeadShiftDrawsTheMiddle960Metres) {
  const TStaObj sta = TwoPlatforms();
  // The selection dialog's pictures: 9.6 m per pixel, so 960 m are 100 pixels.
  const QImage shifted = Draw(sta, Args({0, 30}, 9.6f, 1.3333334f, kDrawLeadShift), 130, 60);
  EXPECT_EQ(Px(shifted, 0, 30), kWhite);    // side 0 lead's outer end at u = 114
  EXPECT_EQ(Px(shifted, 100, 30), kWhite);  // side 1 lead's outer end at u = 1074
  EXPECT_EQ(Px(shifted, 102, 30), kGrey);
  const QImage whole = Draw(sta, Args({0, 30}, 9.6f, 1.3333334f, 0), 130, 60);
  EXPECT_EQ(Px(whole, 110, 30), kWhite);  // the lead runs on to u = 1188, x = 124
  EXPECT_EQ(Px(whole, 123, 30), kWhite);
  EXPECT_EQ(Px(whole, 126, 30), kGrey);
}

TEST_F(StaDraw, TurnedStationIsDrawnFromItsOtherEnd) {
  const TStaObj sta = TwoPlatforms();
  // Platform 2 (v 2..6) lies below the axis normally and above it when turned.
  const QImage plain = Draw(sta, Args({0, 30}, 9.6f, 1.3333334f, 0), 130, 60);
  const QImage turned = Draw(sta, Args({124, 30}, 9.6f, 1.3333334f, kDrawTurned), 130, 60);
  EXPECT_EQ(Px(plain, 62, 34), kClrHome);
  EXPECT_EQ(Px(plain, 62, 26), kGrey);
  EXPECT_EQ(Px(turned, 62, 26), kClrHome);
  EXPECT_EQ(Px(turned, 62, 34), kGrey);
  EXPECT_EQ(Px(turned, 123, 30), kWhite);  // side 0 lead ends at the origin, on the right
}

// Column x = 115 (u = 105) meets the lead passing under at y 52 and the crossing lead at y 48.
TEST_F(StaDraw, CrossingLeadsLieOverTheLeadsTheyCross) {
  const TStaObj sta = CrossingStation();
  const QImage without = Draw(sta, Args({10, 30}, 1, 0.1f, 0));
  const QImage with = Draw(sta, Args({10, 30}, 1, 0.1f, kDrawCrossings));
  EXPECT_EQ(CountPx(without, 115, 40, 115, 60, kWhite), 2);
  EXPECT_EQ(CountPx(with, 115, 40, 115, 60, kWhite), 1);
  // The strip of ground is 3 m wide: round(3 / 0.1) = 30 pixels.
  EXPECT_GE(CountPx(with, 115, 30, 115, 70, kGrey), 25);
}

TEST_F(StaDraw, OverlayDrawsOnlyTheCrossingLeads) {
  const TStaObj sta = CrossingStation();
  const QImage img = Draw(sta, Args({10, 30}, 1, 0.1f, kDrawCrossings | kDrawOverlay), 1220, 80);
  EXPECT_EQ(CountPx(img, 0, 0, 1219, 79, kClrHome), 0);
  EXPECT_EQ(Px(img, 600, 30), kGrey);                    // platform track 1
  EXPECT_EQ(Px(img, 600, 70), kGrey);                    // track 3
  EXPECT_EQ(Px(img, 1100, 30), kGrey);                   // lead of side 1, no crossing there
  EXPECT_EQ(CountPx(img, 115, 40, 115, 60, kWhite), 1);  // the crossing lead
  const QImage full = Draw(sta, Args({10, 30}, 1, 0.1f, kDrawCrossings), 1220, 80);
  EXPECT_GT(CountPx(full, 0, 0, 1219, 79, kClrHome), 0);
}

TEST_F(StaDraw, HighlightedPathIsDrawnInTheHighlightColour) {
  const TStaObj sta = TwoPlatforms();
  TStaDrawArgs a = Args({0, 40}, 2, 0.25f, 0);
  a.HighlightPath = "-1001|H;1|R;7|1;21|R;9|R;11";
  const QImage img = Draw(sta, a, 620, 80);
  EXPECT_EQ(Px(img, 300, 40), kClrHighlight);  // H;1
  EXPECT_EQ(Px(img, 300, 56), kWhite);         // platform track 2 is not on the path
  EXPECT_EQ(Px(img, 372, 40), kClrHighlight);  // R;7, u 674..814
  EXPECT_EQ(Px(img, 372, 56), kWhite);         // R;8
  EXPECT_EQ(Px(img, 560, 40), kClrHighlight);  // R;11, the lead of side 1
  EXPECT_EQ(Px(img, 40, 40), kWhite);          // R;1 is not on the path
  // Turnout 2: its segment 21 is on the path, 22 (which leaves v = 0 for v = 4) is not.
  const QImage none = Draw(sta, Args({0, 40}, 2, 0.25f, 0), 620, 80);
  EXPECT_EQ(CountPx(none, 0, 0, 619, 79, kClrHighlight), 0);
  EXPECT_GT(CountPx(img, 414, 40, 447, 40, kClrHighlight), 10);
  EXPECT_EQ(CountPx(img, 414, 44, 447, 52, kClrHighlight), 0);
}

TEST_F(StaDraw, PlatformNumbersOnlyWithTheirFlag) {
  const TStaObj sta = TwoPlatforms();
  const QImage with = Draw(sta, Args({0, 40}, 2, 0.25f, kDrawNumbers), 620, 80);
  const QImage without = Draw(sta, Args({0, 40}, 2, 0.25f, 0), 620, 80);
  EXPECT_GT(CountPx(with, 280, 30, 320, 62, kClrHomeNoText), 0);
  EXPECT_EQ(CountPx(without, 0, 0, 619, 79, kClrHomeNoText), 0);
}

class StaOccupants : public StaDraw {
 protected:
  void SetUp() override {
    StaDraw::SetUp();
    sta_ = TwoPlatforms();
    sta_.ResetOcc();
  }
  void Occupy(int32_t home, const std::string& label) {
    sta_.GetRailInSta(kRailHome, home)->Occ->Add({label, 100, 200, 0});
  }
  int RedAt(int32_t time) {
    TStaDrawArgs a = Args({0, 40}, 2, 0.25f, kDrawNumbers);
    a.OccTime = time;
    const QImage img = Draw(sta_, a, 620, 100);
    return CountPx(img, 0, 0, 619, 99, kClrOccBack);
  }
  TStaObj sta_;
};

TEST_F(StaOccupants, TrainOnAPlatformIsNamedAtItsTime) {
  Occupy(1, "101,普通");
  EXPECT_GT(RedAt(150), 0);
  EXPECT_EQ(RedAt(300), 0);
  EXPECT_EQ(RedAt(-1), 0);
}

TEST_F(StaOccupants, EachTrainIsNamedOncePerDrawing) {
  Occupy(1, "101,普通");
  const int one = RedAt(150);
  Occupy(2, "101,普通");
  EXPECT_EQ(RedAt(150), one);
  sta_.ResetOcc();
  Occupy(1, "101,普通");
  Occupy(2, "102,普通");
  EXPECT_GT(RedAt(150), one);
}

TEST_F(StaOccupants, TrainOnALeadIsNamedWithoutTheNumbersFlag) {
  sta_.GetRailInSta(kRailPlain, 11)->Occ->Add({"103,快速", 100, 200, 0});
  TStaDrawArgs a = Args({0, 40}, 2, 0.25f, 0);
  a.OccTime = 150;
  const QImage img = Draw(sta_, a, 620, 100);
  EXPECT_GT(CountPx(img, 500, 0, 619, 99, kClrOccBack), 0);
}

TEST_F(StaDraw, DrawingLeavesTheStationsOwnTransform) {
  TStaObj sta = TwoPlatforms();
  sta.OrgX = 7;
  sta.OrgY = 9;
  sta.CosU = 0.5f;
  Draw(sta, Args({0, 40}, 2, 0.25f, kDrawCrossings));
  EXPECT_EQ(sta.OrgX, 7);
  EXPECT_EQ(sta.OrgY, 9);
  EXPECT_EQ(sta.CosU, 0.5f);
}

TEST_F(StaDraw, DoubleLinesAndJointDots) {
  const TStaObj sta = TwoPlatforms();
  // Half a cross unit is 0.5 / 0.25 = 2 pixels: lines at y 38 and 42 instead of 40.
  const QImage img = Draw(sta, Args({0, 40}, 2, 0.25f, kDrawDouble | kDrawJoints), 620, 80);
  EXPECT_EQ(Px(img, 300, 38), kWhite);
  EXPECT_EQ(Px(img, 300, 42), kWhite);
  EXPECT_EQ(Px(img, 300, 40), kClrHome);
  // A joint dot at the start of platform track 1 (257, 40) fills 256..258 x 39..41.
  EXPECT_EQ(Px(img, 256, 41), kWhite);
}

}  // namespace
}  // namespace ramvel
