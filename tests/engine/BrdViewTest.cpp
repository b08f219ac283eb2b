// The board view's state: view position, conversions, visibility and near flags, hit tests,
// sea edges, entry lead marks, train labels and shapes, and the clock.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "StaBuilder.h"
#include "engine/UrwBrdView.h"

namespace ramvel {
namespace {

using test::TStaBuilder;

constexpr uint32_t S = kRgbSeaDot;
constexpr uint32_t L = kRgbLandDot;

TLandGrid Grid(int32_t w, int32_t h, std::vector<uint32_t> rgb = {}) {
  if (rgb.empty()) rgb.assign(static_cast<size_t>(w) * static_cast<size_t>(h), L);
  return TLandGrid{w, h, std::move(rgb)};
}

class BrdViewTest : public ::testing::Test {
 protected:
  // A view of w x h pixels at mperp metres per pixel with its corner at (x, y) metres.
  void View(int32_t w, int32_t h, int32_t mperp, int32_t x = 0, int32_t y = 0) {
    brd_.SCR_MPERP = mperp;
    brd_.SCR_XLEFT = x;
    brd_.SCR_YTOP = y;
    view_.SetScrSize(w, h);
  }
  void Land(int32_t w, int32_t h) { ASSERT_TRUE(view_.SetLand(Grid(w, h)).ok()); }

  TStaObj* AddSta(int32_t id, TPoint dot0, int32_t lenDots, int32_t ents = 1) {
    auto sta =
        TStaBuilder(id, "S" + std::to_string(id))
            .Ents(ents, ents)
            .At({dot0.x * kGridM, dot0.y * kGridM}, {(dot0.x + lenDots) * kGridM, dot0.y * kGridM})
            .BuildPtr();
    TStaObj* out = sta.get();
    brd_.Stas.emplace(std::to_string(id), std::move(sta));
    return out;
  }

  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TBrdData brd_;
  TBrdView view_{brd_};
};

// ---- View position
// -------------------------------------------------------------------------------

TEST_F(BrdViewTest, TerrainNarrowerThanTheViewKeepsTheCornerAtZero) {
  Land(10, 10);
  View(800, 600, 18, 5000, 3000);
  view_.Recompute(0, 0);
  EXPECT_EQ(brd_.SCR_XLEFT, 0);
  EXPECT_EQ(brd_.SCR_YTOP, 0);
  view_.Recompute(1, 1);  // scrolling has no effect
  EXPECT_EQ(brd_.SCR_XLEFT, 0);
  EXPECT_EQ(brd_.SCR_YTOP, 0);
  EXPECT_EQ(brd_.ScrXRight, 14400);
  EXPECT_EQ(view_.Outside().FromX, 61);  // 1080 m / 18 + 1
}

TEST_F(BrdViewTest, ClampingAtTheFarEdgeLandsOnTheGrid) {
  Land(1000, 500);  // 108000 m x 54000 m
  struct Case {
    int32_t mperp, x, y, wantX, wantY;
  };
  // (108000 - 1800) div 108 = 983 -> 106164; (54000 - 900) div 108 = 491 -> 53028.
  const Case cases[] = {{18, 107000, 60000, 106164, 53028},
                        {18, -50, -1, 0, 0},
                        {18, 5000, 3001, 5000, 3001},
                        {108, 200000, 0, 97200, 0},
                        {27, 106000, 53000, 105300, 52596}};
  for (const Case& c : cases) {
    View(100, 50, c.mperp, c.x, c.y);
    view_.ClampView();
    EXPECT_EQ(brd_.SCR_XLEFT, c.wantX) << c.mperp << " " << c.x;
    EXPECT_EQ(brd_.SCR_YTOP, c.wantY) << c.mperp << " " << c.y;
    EXPECT_LE(brd_.ScrXRight, view_.LandWidth);
    EXPECT_EQ(brd_.ScrXRight, brd_.SCR_XLEFT + 100 * c.mperp);
  }
}

TEST_F(BrdViewTest, ScrollingMovesHalfAViewTruncatedTowardZero) {
  View(801, 600, 1, 10000, 10000);
  view_.ScrollView(1, -1);
  EXPECT_EQ(brd_.SCR_XLEFT, 10400);
  EXPECT_EQ(brd_.SCR_YTOP, 9700);
  view_.ScrollView(-1, 0);
  EXPECT_EQ(brd_.SCR_XLEFT, 10000);
}

TEST_F(BrdViewTest, ZoomKeepsTheCentreAndCentringMovesTheCorner) {
  View(800, 600, 18, 20000, 20000);
  ASSERT_TRUE(view_.ZoomTo(5));  // 9 m per pixel
  EXPECT_EQ(brd_.SCR_MPERP, 9);
  EXPECT_EQ(brd_.SCR_XLEFT, 23600);
  EXPECT_EQ(brd_.SCR_YTOP, 22700);
  EXPECT_FALSE(view_.ZoomTo(12));
  EXPECT_EQ(view_.ScaleIdx, 5);

  View(800, 600, 18, 10000, 20000);
  ASSERT_TRUE(view_.CentreAt(500, 100));
  EXPECT_EQ(brd_.SCR_XLEFT, 11800);
  EXPECT_EQ(brd_.SCR_YTOP, 16400);
  EXPECT_FALSE(view_.CentreAt(801, 0));
  EXPECT_EQ(brd_.SCR_XLEFT, 11800);
}

TEST_F(BrdViewTest, EdgeScrollingOnlyTowardsMoreTerrain) {
  Land(1000, 1000);
  View(100, 100, 18, 0, 10800);
  view_.ClampView();
  EXPECT_FALSE(view_.EdgeScroll(3, 50).Hit);  // already at the left edge
  const TEdgeScroll up = view_.EdgeScroll(3, 3);
  EXPECT_TRUE(up.Hit && up.Dx == 0 && up.Dy == -1);
  const TEdgeScroll right = view_.EdgeScroll(97, 50);
  EXPECT_TRUE(right.Hit && right.Dx == 1 && right.Dy == 0);
  EXPECT_FALSE(view_.EdgeScroll(50, 50).Hit);
}

// ---- Conversions
// ---------------------------------------------------------------------------------

TEST_F(BrdViewTest, ConversionsRoundHalfToEven) {
  View(100, 100, 27, 216, 108);
  EXPECT_EQ(view_.PixToMeter(10, 20), (TPoint{486, 648}));

  View(100, 100, 54);
  // 54/108 = 0.5 -> 0, 162/108 = 1.5 -> 2, 270/108 = 2.5 -> 2.
  EXPECT_EQ(view_.PixToLandDot(1, 3), (TPoint{0, 2}));
  EXPECT_EQ(view_.PixToLandDot(5, 0), (TPoint{2, 0}));

  View(100, 100, 4, 2, 2);
  // (108 - 2) / 4 = 26.5 -> 26; (216 - 2) / 4 = 53.5 -> 54; -2 / 4 = -0.5 -> 0.
  EXPECT_EQ(view_.LandDotToPix(1, 2), (TPoint{26, 54}));
  EXPECT_EQ(view_.LandDotToPix(0, 0), (TPoint{0, 0}));

  View(100, 100, 18);
  EXPECT_EQ(view_.BrdToPix({1200, 500}), (TPoint{66, 24}));  // dot (11, 4)

  View(100, 100, 108, 1080, 2160);
  for (const TPoint p : {TPoint{0, 0}, TPoint{7, 93}, TPoint{55, 1}}) {
    const TPoint dot = view_.PixToLandDot(p.x, p.y);
    EXPECT_EQ(dot, (TPoint{p.x + 10, p.y + 20}));
    EXPECT_EQ(view_.LandDotToPix(dot.x, dot.y), p);
  }
}

// ---- Visibility
// ----------------------------------------------------------------------------------

TEST_F(BrdViewTest, IsInViewCases) {
  View(100, 100, 18, 1080, 1080);  // [1080, 2880] x [1080, 2880]
  struct Case {
    TPoint a, b;
    bool in;
    const char* what;
  };
  const Case cases[] = {
      {{0, 1500}, {1000, 1500}, false, "both left"},
      {{3000, 0}, {4000, 5000}, false, "both right"},
      {{0, 1500}, {1500, 1500}, true, "one end inside"},
      {{0, 2000}, {4000, 2000}, true, "crosses the whole view"},
      {{0, 2000}, {2000, 0}, false, "passes outside the corner"},
      {{0, 2500}, {2500, 0}, true, "cuts the corner"},
      {{0, 2160}, {2160, 0}, true, "touches the corner"},
      {{2880, 2880}, {4000, 4000}, true, "end on the edge"},
  };
  for (const Case& c : cases) {
    TRailObj r;
    r.EndPos[0] = c.a;
    r.EndPos[1] = c.b;
    EXPECT_EQ(view_.IsInView(r), c.in) << c.what;
  }
}

TEST_F(BrdViewTest, TrackWideAndDrawFlagsFollowTheZoom) {
  Land(100, 100);
  view_.DesignMode = true;
  for (int32_t idx = 0; idx < 12; ++idx) {
    View(10, 10, 18);
    ASSERT_TRUE(view_.ZoomTo(idx));
    view_.Recompute(0, 0);
    const int32_t m = kZooms[idx];
    const int32_t wide = m <= 2 ? 6 : 10;
    EXPECT_EQ(brd_.TrackWide, wide) << m;
    EXPECT_FLOAT_EQ(view_.ScaleAcross, static_cast<float>(m) / wide) << m;
    uint8_t flags = 0;
    if (m <= 36) flags |= kDrawJoints | kDrawCrossings;
    if (m <= 6) flags |= kDrawDouble;
    EXPECT_EQ(view_.DrawFlags, flags) << m;
  }
  view_.DesignMode = false;
  View(10, 10, 36);
  view_.Recompute(0, 0);
  EXPECT_EQ(view_.DrawFlags, kDrawCrossings);
}

// Stations A and B joined by rails r1 (short, from A) and r2 (long, into B); rail r3 leads on
// from B to C. Dots: A 2..13, r1 13..20, r2 20..60, B 60..71, r3 71..80, C 80..91, all on row 2.
class BrdViewBoardTest : public BrdViewTest {
 protected:
  void SetUp() override {
    Land(100, 10);
    a_ = AddSta(5001, {2, 2}, 11);
    b_ = AddSta(6001, {60, 2}, 11);
    c_ = AddSta(7001, {80, 2}, 11);
    r1_ = brd_.RailReg({13, 2}, {7, 0}, a_, nullptr, 1);
    r2_ = brd_.RailReg({20, 2}, {40, 0}, r1_, b_, 1);
    r3_ = brd_.RailReg({71, 2}, {9, 0}, b_, c_, 1);
  }
  TStaObj *a_ = nullptr, *b_ = nullptr, *c_ = nullptr;
  TRailObj *r1_ = nullptr, *r2_ = nullptr, *r3_ = nullptr;
};

TEST_F(BrdViewBoardTest, AStationReachedFromARailInViewIsNear) {
  c_->NearFlag = c_->ShowDetail = true;
  View(100, 50, 18);  // 0..1800 m: A and r1 only
  view_.Recompute(0, 0);
  EXPECT_TRUE(a_->ShowDetail && r1_->ShowDetail);
  EXPECT_FALSE(r2_->ShowDetail || b_->ShowDetail || r3_->ShowDetail || c_->ShowDetail);
  EXPECT_TRUE(a_->NearFlag);
  EXPECT_TRUE(b_->NearFlag);  // through r2, which is out of view
  EXPECT_FALSE(c_->NearFlag);

  View(100, 50, 18, 5400, 0);  // 5400..7200 m: r2 and B
  view_.Recompute(0, 0);
  EXPECT_TRUE(r2_->ShowDetail && b_->ShowDetail);
  EXPECT_FALSE(a_->ShowDetail || r1_->ShowDetail || r3_->ShowDetail);
  EXPECT_TRUE(a_->NearFlag && b_->NearFlag);
  EXPECT_FALSE(c_->NearFlag);
}

TEST_F(BrdViewBoardTest, EveryObjectGetsItsTransformFromItsFirstEnd) {
  View(100, 50, 18);
  view_.Recompute(0, 0);
  EXPECT_EQ(r1_->OrgX, 1404 / 18);
  EXPECT_EQ(r1_->OrgY, 216 / 18);
  EXPECT_FLOAT_EQ(r1_->CosU, 1.0f / 18);
  EXPECT_FLOAT_EQ(r1_->CosV, 1.0f / 1.8f);
  // B is out of view, but trains near the view are laid through it.
  EXPECT_EQ(b_->OrgX, 6480 / 18);
  EXPECT_FLOAT_EQ(b_->CosU, 1.0f / 18);
  EXPECT_EQ(EntPoint(*b_, 1, 1), (TPoint{(6480 + 1188) / 18, 12}));
}

TEST_F(BrdViewBoardTest, OnlyTheStationBeingPlacedIsHidden) {
  View(100, 50, 18);
  view_.EditMode = kEditIdle;
  view_.CurObjId = a_->Id;  // hovering
  view_.Recompute(0, 0);
  EXPECT_TRUE(a_->ShowDetail);
  view_.EditMode = kEditPutSta;  // placing
  view_.Recompute(0, 0);
  EXPECT_FALSE(a_->ShowDetail);
}

// ---- Hit test and object texts
// -------------------------------------------------------------------

TEST_F(BrdViewTest, HitTestToleranceIsTenPixels) {
  View(100, 100, 18);
  const TRailObj* rail = brd_.RailReg({10, 10}, {10, 0}, nullptr, nullptr, 1);  // 1080..2160
  view_.CurObjId = -1;
  struct Case {
    int32_t x, y;
    bool hit;
    uint8_t side;
  };
  const Case cases[] = {{90, 70, true, 1},    // 180 m off the middle: on the tolerance
                        {90, 71, false, 0},   // 198 m off
                        {60, 60, true, 0},    // on end 0
                        {85, 55, true, 0},    // g < 0.5
                        {50, 60, false, 0},   // 180 m before end 0: beyond the segment
                        {119, 60, true, 1}};  // near end 1
  for (const Case& c : cases) {
    EXPECT_EQ(view_.HitTest(c.x, c.y, true), c.hit) << c.x << "," << c.y;
    EXPECT_EQ(view_.CurObjId, c.hit ? rail->Id : 0);
    EXPECT_EQ(view_.CurSide, c.side);
  }
  EXPECT_FALSE(view_.HitTest(90, 60, false));  // rails not asked for
  AddSta(5001, {10, 10}, 11);
  ASSERT_TRUE(view_.HitTest(90, 60, true));  // stations come first
  EXPECT_EQ(view_.CurObjId, 5001);
}

TEST_F(BrdViewTest, ObjectInfoTexts) {
  const TRailObj* flat = brd_.RailReg({10, 10}, {10, 0}, nullptr, nullptr, 2);
  const TRailObj* slant = brd_.RailReg({10, 10}, {3, 4}, nullptr, nullptr, 1);
  AddSta(5001, {30, 10}, 11);
  EXPECT_EQ(view_.ObjInfoText(flat->Id), "長さ 1080m ( ID=1002 )");
  EXPECT_EQ(view_.ObjInfoText(slant->Id), "長さ 540m ( ID=2002 )");
  EXPECT_EQ(view_.ObjInfoText(5001), "S5001");
  EXPECT_EQ(view_.ObjInfoText(9001), "");
  EXPECT_EQ(view_.ObjInfoText(1003), "");  // a block id names no rail
  EXPECT_TRUE(host_.Events.empty());
}

// ---- Terrain
// -------------------------------------------------------------------------------------

TEST_F(BrdViewTest, SeaEdgesFaceEveryNeighbourThatIsNotSea) {
  // Row 0: land, sea, almost blue; row 1: sea, sea, land; row 2: land.
  ASSERT_TRUE(view_.SetLand(Grid(3, 3, {L, S, 0x0000FE, S, S, L, L, L, L})).ok());
  View(100, 100, 18);
  view_.DesignMode = true;
  view_.Recompute(0, 0);
  const std::vector<TSeaEdge> want = {
      {108, 0, 108, 108},    // (1,0) left
      {216, 0, 216, 108},    // (1,0) right: 0x0000FE is not sea
      {0, 108, 108, 108},    // (0,1) up
      {0, 216, 108, 216},    // (0,1) down
      {216, 108, 216, 216},  // (1,1) right
      {108, 216, 216, 216},  // (1,1) down
  };
  EXPECT_EQ(view_.SeaEdges, want);

  view_.DesignMode = false;
  view_.Recompute(0, 0);
  EXPECT_TRUE(view_.SeaEdges.empty());
}

TEST_F(BrdViewTest, SeaEdgesOnlyForTheTerrainInView) {
  std::vector<uint32_t> rgb(40 * 3, L);
  rgb[1 * 40 + 1] = S;
  rgb[1 * 40 + 35] = S;
  ASSERT_TRUE(view_.SetLand(Grid(40, 3, rgb)).ok());
  View(50, 50, 18);  // dots 0..8
  view_.DesignMode = true;
  view_.Recompute(0, 0);
  ASSERT_EQ(view_.SeaEdges.size(), 4u);
  for (const TSeaEdge& e : view_.SeaEdges) EXPECT_LE(e.X2, 216);
}

TEST_F(BrdViewTest, TerrainSizeTextsAndMinimap) {
  EXPECT_FALSE(view_.SetLand(Grid(0, 0)).ok());
  EXPECT_FALSE(view_.SetLand(TLandGrid{2, 2, {L, L, L}}).ok());
  EXPECT_EQ(view_.LandWidth, 0);
  Land(200, 100);
  EXPECT_EQ(view_.LandSizeText(), "横21km x 縦10km");
  EXPECT_EQ(view_.ThumbHeight(105), 52);
  View(100, 50, 18, 2160, 1080);  // dots 20..36 x 10..18
  EXPECT_EQ(view_.MiniMapFrame(105, 52), (TPixRect{10, 5, 18, 9}));
  EXPECT_EQ(view_.Outside().FromX, -1);
  EXPECT_EQ(TBrdView::ThumbColour(S), kClrSea);
  EXPECT_EQ(TBrdView::ThumbColour(L), kClrLand);
  EXPECT_EQ(TBrdView::ThumbColour(0x0000FE), 0x0000FEu);
  EXPECT_EQ(view_.DotSize(), 7);
  EXPECT_TRUE(view_.Land.IsSea(0, 0) == false && view_.Land.IsLand(0, 0));
  EXPECT_FALSE(view_.Land.IsLand(200, 0));  // outside: no colour
}

// ---- Entry lead marks
// ----------------------------------------------------------------------------

// Three leads on side 0 whose first grid position crosses over to slot 3, two on side 1 without
// a crossing; every mark 2 as after reading the file.
TStaObj CrossingSta() {
  TStaObj sta = TStaBuilder(5001, "X")
                    .Ents(3, 2)
                    .Crs(0, 1, 3, 1)
                    .At({216, 216}, {1404, 216})
                    .Rail(test::PlatformTrack(5, 10, 1))
                    .Rail(test::EntryLead(0, 2, 0, -4))  // position 2 -> slot 1
                    .Rail(test::EntryLead(0, 3, 4, 0))   // position 3 -> slot 2
                    .Rail(test::EntryLead(0, 4, -4, 4))  // position 1 -> slot 3, crossing
                    .Rail(test::EntryLead(1, 5, -2, -2))
                    .Rail(test::EntryLead(1, 6, 2, 2))
                    .Build();
  for (StaRail& r : sta.Rails) r.Mark = 2;
  return sta;
}

std::vector<int> Marks(const TStaObj& sta) {
  std::vector<int> out;
  for (const StaRail& r : sta.Rails) out.push_back(r.Mark);
  return out;
}

TEST_F(BrdViewTest, LeadsOfACrossingSideAreMarkedWhenShownAt36OrFiner) {
  brd_.Stas.emplace("5001", std::make_unique<TStaObj>(CrossingSta()));
  TStaObj& sta = *brd_.Stas.begin()->second;
  const TLeadRange side0 = TBrdView::EntLeads(sta, 0), side1 = TBrdView::EntLeads(sta, 1);
  EXPECT_TRUE(side0.Valid && side0.First == 1 && side0.Count == 3 && side0.CrsCount == 1);
  EXPECT_TRUE(side1.Valid && side1.First == 4 && side1.Count == 2 && side1.CrsCount == 0);

  Land(100, 100);
  View(100, 100, 54);
  view_.Recompute(0, 0);
  EXPECT_EQ(Marks(sta), (std::vector<int>{2, 2, 2, 2, 2, 2}));
  View(100, 100, 36, 5400, 5400);  // station out of view
  view_.Recompute(0, 0);
  EXPECT_EQ(Marks(sta), (std::vector<int>{2, 2, 2, 2, 2, 2}));
  View(100, 100, 36);
  view_.Recompute(0, 0);
  EXPECT_EQ(Marks(sta), (std::vector<int>{2, 1, 1, 0, 2, 2}));
}

TEST_F(BrdViewTest, StationsWhoseRecordsAreNotLeadsAreLeftAlone) {
  TStaObj shortSta = CrossingSta();
  shortSta.Rails.resize(3);  // fewer records than entries
  EXPECT_FALSE(TBrdView::EntLeads(shortSta, 0).Valid);
  TBrdView::MarkEntLeads(shortSta);
  EXPECT_EQ(Marks(shortSta), (std::vector<int>{2, 2, 2}));

  TStaObj moved = CrossingSta();
  std::swap(moved.Rails[0], moved.Rails[2]);  // a platform track among the side-0 leads
  EXPECT_FALSE(TBrdView::EntLeads(moved, 0).Valid);
  TBrdView::MarkEntLeads(moved);
  EXPECT_EQ(Marks(moved), (std::vector<int>{2, 2, 2, 2, 2, 2}));
}

TEST_F(BrdViewTest, CrossingPenWidthFollowsTheCrossScale) {
  Land(10, 10);
  View(10, 10, 18);
  view_.Recompute(0, 0);
  EXPECT_EQ(view_.CrossingPenWidth(0), 2);  // 3 / 1.8
  EXPECT_EQ(view_.CrossingPenWidth(kDrawLeadShift), 5);
  View(10, 10, 1);
  view_.Recompute(0, 0);
  EXPECT_EQ(view_.CrossingPenWidth(0), 18);  // 3 / (1 / 6)
}

// ---- Trains
// --------------------------------------------------------------------------------------

TEST_F(BrdViewTest, TrainLabelsFollowTheOptions) {
  TCarObj car;
  car.Id = 7;
  car.TmTbl.Add({"", -1, -1, 5011});
  car.TmTbl.Add({"101,急行 はやて", 600, 660, 5011});
  car.TmTbl.Add({"", 900, -1, 6011});
  car.TmTbl.Add({"102,", 1200, 1260, 6011});
  car.TmTbl.Add({"", 1500, -1, 5011});
  struct Case {
    int32_t t;
    uint8_t no, nick, only;
    bool show;
    const char* text;
  };
  const Case cases[] = {{620, 0, 0, 0, false, ""},           {620, 1, 0, 0, true, "101"},
                        {620, 1, 1, 0, true, "急行 はやて"}, {100, 1, 0, 0, true, "[7]"},
                        {100, 1, 1, 1, false, ""},           {1000, 1, 0, 0, true, "[7]"},
                        {1220, 1, 1, 0, true, "102"}};
  for (const Case& c : cases) {
    view_.CurTime = c.t;
    view_.ShowTrNo = c.no;
    view_.ShowTrNick = c.nick;
    view_.ShowTrOnly = c.only;
    const TTrainLabel label = view_.TrainLabel(car);
    EXPECT_EQ(label.Show, c.show) << c.t;
    if (c.show) {
      EXPECT_EQ(label.Text, c.text) << c.t;
    }
  }
}

TCarObj CarWithBody(int32_t nCars, std::vector<std::string> pts) {
  TCarObj car;
  car.Id = 1;
  car.NCar = nCars;
  car.LocState = kLocRun;
  car.BodyPts = std::move(pts);
  return car;
}

TEST_F(BrdViewTest, CoarserThan36MetresATrainIsOneLine) {
  View(100, 100, 54);
  view_.Recompute(0, 0);
  TTrainShape shape;
  ASSERT_TRUE(view_.TrainShape(CarWithBody(4, {"100,200", "300,200", "300,600"}), shape));
  ASSERT_EQ(shape.Cars.size(), 1u);
  EXPECT_EQ(shape.Cars[0].Kind, TCarShapeKind::kLine1);
  EXPECT_EQ(shape.Cars[0].Pts[0], (TPoint{10, 20}));
  EXPECT_EQ(shape.Cars[0].Pts[1], (TPoint{30, 60}));
  EXPECT_EQ(shape.Head, (TPoint{10, 20}));
  EXPECT_FALSE(view_.TrainShape(CarWithBody(4, {"100;200"}), shape));
  EXPECT_FALSE(view_.TrainShape(CarWithBody(4, {}), shape));
}

TEST_F(BrdViewTest, CarsAreThickLinesOrQuadrilateralsByWidth) {
  View(100, 100, 18);  // car 11 tenths, width round(300 / 18) = 17 tenths -> 2 px
  view_.Recompute(0, 0);
  TTrainShape shape;
  ASSERT_TRUE(view_.TrainShape(CarWithBody(2, {"0,0", "1000,0"}), shape));
  ASSERT_EQ(shape.Cars.size(), 2u);
  EXPECT_EQ(shape.Cars[0].Kind, TCarShapeKind::kLine3);
  EXPECT_EQ(shape.Cars[0].Pts[1], (TPoint{1, 0}));
  EXPECT_EQ(shape.Cars[1].Pts[1], (TPoint{100, 0}));

  View(100, 100, 1);  // car 200 tenths, width 180 tenths
  view_.Recompute(0, 0);
  ASSERT_TRUE(view_.TrainShape(CarWithBody(2, {"0,0", "400,0"}), shape));
  ASSERT_EQ(shape.Cars.size(), 2u);
  const TCarShape& q = shape.Cars[0];
  EXPECT_EQ(q.Kind, TCarShapeKind::kQuad);
  EXPECT_EQ(q.Pts[0], (TPoint{0, 9}));
  EXPECT_EQ(q.Pts[1], (TPoint{20, 9}));
  EXPECT_EQ(q.Pts[2], (TPoint{20, -9}));
  EXPECT_EQ(q.Pts[3], (TPoint{0, -9}));
}

TEST_F(BrdViewTest, CarBoundariesWalkThePolylineAndStayOnTheLastSegment) {
  View(100, 100, 1);  // 200 tenths per car
  view_.Recompute(0, 0);
  // 400 tenths of polyline for 800 tenths of train.
  const std::vector<TPoint> b = view_.CarBounds({{0, 0}, {0, 100}, {300, 100}}, 4);
  ASSERT_EQ(b.size(), 5u);
  EXPECT_EQ(b[0], (TPoint{0, 0}));
  EXPECT_EQ(b[1], (TPoint{100, 100}));
  EXPECT_EQ(b[2], (TPoint{300, 100}));
  EXPECT_EQ(b[3].y, 100);
  EXPECT_TRUE(b[3].x >= 0 && b[3].x <= 300);
  EXPECT_EQ(b[4], (TPoint{300, 100}));
  // A segment of length 0 counts as 1000 long.
  const std::vector<TPoint> z = view_.CarBounds({{0, 0}, {0, 0}, {0, 500}}, 2);
  EXPECT_EQ(z[1], (TPoint{0, 0}));
}

TEST_F(BrdViewTest, PassesAndOverlayStations) {
  const auto add = [&](int32_t no, TLocState state, TStaPosKind kind, int32_t sta) {
    auto car = std::make_unique<TCarObj>();
    car->Id = no;
    car->LocState = state;
    car->StaPosKind = kind;
    car->CurSta = sta;
    brd_.Cars.emplace(std::to_string(no), std::move(car));
  };
  using enum TStaPosKind;
  add(1, kLocHidden, kOverLead, 9001);  // not drawn
  EXPECT_TRUE(view_.OverlayStas().empty());
  add(2, kLocRun, kOverLead, 5001);
  add(3, kLocStand, kUnderLead, 6001);
  add(4, kLocError, kElsewhere, 0);
  add(5, kLocRun, kUnderLead, 5001);
  EXPECT_EQ(view_.OverlayStas(), (std::vector<int32_t>{5001, 6001}));
  const TCarObj& c2 = *brd_.Cars.at("2");
  const TCarObj& c3 = *brd_.Cars.at("3");
  EXPECT_TRUE(TBrdView::DrawnInPass(c2, 1) && TBrdView::DrawnInPass(c2, 2));
  EXPECT_TRUE(TBrdView::DrawnInPass(c3, 1) && !TBrdView::DrawnInPass(c3, 2));
  EXPECT_FALSE(TBrdView::DrawnInPass(*brd_.Cars.at("1"), 1));
  EXPECT_FALSE(TBrdView::DrawnInPass(*brd_.Cars.at("4"), 1));
  EXPECT_EQ(DrawTrainErrText(2, 4), "ERR2-DrawTrain-4");
}

// ---- Clock
// ---------------------------------------------------------------------------------------

TEST_F(BrdViewTest, ClockTicksAndWrapsAt27) {
  view_.CurTime = 1000;
  view_.TimeStep = 6;
  EXPECT_EQ(view_.ClockTick(), 6);
  EXPECT_EQ(view_.CurTime, 1006);
  view_.CurTime = kDayEnd - 2;  // 26:59:58
  EXPECT_EQ(view_.ClockTick(), 0);
  EXPECT_EQ(view_.CurTime, 0);
  view_.CurTime = kDayEnd - 6;
  EXPECT_EQ(view_.ClockTick(), 6);
  EXPECT_EQ(view_.CurTime, kDayEnd);
}

TEST_F(BrdViewTest, ClockStartsFromTheWallClock) {
  view_.StartClock(2, 15);
  EXPECT_EQ(view_.CurTime, 0);
  view_.CurTime = -1;
  view_.StartClock(14, 30);
  EXPECT_EQ(view_.CurTime, 37800);
  view_.StartClock(9, 5);  // already set
  EXPECT_EQ(view_.CurTime, 37800);
  view_.CurTime = -1;
  view_.StartClock(9, 5);
  EXPECT_EQ(view_.CurTime, 18300);
}

TEST_F(BrdViewTest, TickTables) {
  const int32_t ms[3][9] = {{1000, 500, 333, 250, 167, 100, 100, 100, 100},
                            {1000, 500, 333, 250, 167, 200, 200, 200, 200},
                            {1000, 500, 333, 500, 500, 500, 500, 333, 333}};
  for (int32_t level = 0; level < 3; ++level) {
    for (int32_t item = 0; item < 9; ++item) {
      EXPECT_EQ(TickIntervalMs(item, level), ms[level][item]) << level << " " << item;
    }
  }
  EXPECT_EQ(TickSeconds(8, 0), 6);
  EXPECT_EQ(TickSeconds(8, 2), 20);
  EXPECT_EQ(TickSeconds(6, 1), 4);
}

}  // namespace
}  // namespace ramvel
