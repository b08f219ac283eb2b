// The designer model: placing, removing, row fill, mouse input, entry counts, platform numbers,
// mirroring and moving.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "StaPicture.h"
#include "TestSupport.h"
#include "station_designer/UrwStaEditor.h"
#include "station_designer/UrwStaGeom.h"

namespace ramvel {
namespace {

using test::DesignSta;
using test::StdPanels;
using test::ThreeHomeSta;
using test::TStaPicture;

using TCells = decltype(TStaObj::Cells);

class StaEditor : public ::testing::Test {
 protected:
  void SetUp() override { ed_.Open(StdPanels(), "", 7); }

  // Releases a button over the middle of a matrix or palette cell.
  void ClickCell(int32_t col, int32_t row, TMouseBtn btn = TMouseBtn::kLeft, bool shift = false) {
    ed_.MouseUp(btn, shift, kMatrixX + kStaCellW * (col - 1) + 15, kStaCellH * (row - 1) + 10);
  }
  void ClickPalette(int32_t col, int32_t row) {
    ed_.MouseUp(TMouseBtn::kLeft, false, kPaletteX + kStaCellW * (col - 1) + 15,
                kStaCellH * (row - 1) + 10);
  }
  const StaCell& Cell(int32_t col, int32_t row) const {
    return ed_.Sta().Cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
  }
  void Design(const TStaPicture& pic) {
    const TStatus st = DesignSta(pic, ed_);
    ASSERT_TRUE(st) << st.Msg();
  }
  bool Valid() { return !ed_.CheckAndDisplay().IsErr; }

  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TStaEditor ed_;
};

TEST(StaHitTest, MapsTheWindowLayout) {
  struct TCase {
    int32_t X, Y;
    TStaZone Zone;
    int32_t Col, Row;
  };
  const TCase cases[] = {
      {0, 0, TStaZone::kLeftStrip, 0, 0},    {69, 400, TStaZone::kLeftStrip, 0, 0},
      {70, 0, TStaZone::kMatrix, 1, 1},      {669, 399, TStaZone::kMatrix, 20, 20},
      {99, 19, TStaZone::kMatrix, 1, 1},     {100, 20, TStaZone::kMatrix, 2, 2},
      {670, 0, TStaZone::kRightStrip, 0, 0}, {739, 400, TStaZone::kRightStrip, 0, 0},
      {740, 0, TStaZone::kPalette, 1, 1},    {889, 159, TStaZone::kPalette, 5, 8},
      {740, 160, TStaZone::kNone, 0, 0},     {890, 10, TStaZone::kNone, 0, 0},
      {300, 400, TStaZone::kNone, 0, 0},     {-1, 5, TStaZone::kNone, 0, 0},
  };
  for (const TCase& c : cases) {
    const TStaHit h = StaHitTest(c.X, c.Y);
    EXPECT_EQ(c.Zone, h.Zone) << c.X << "," << c.Y;
    EXPECT_EQ(c.Col, h.Col) << c.X << "," << c.Y;
    EXPECT_EQ(c.Row, h.Row) << c.X << "," << c.Y;
  }
}

// ---- Placing and removing ------------------------------------------------------------------

TEST_F(StaEditor, PlacingRule) {
  ASSERT_TRUE(ed_.PlacePanel(1, 5, 10));
  struct TCase {
    int32_t Panel, Col, Row;
    bool Ok;
  };
  const TCase cases[] = {
      {1, 8, 10, true},   {1, 9, 10, false}, {1, 12, 10, false}, {1, 13, 10, true},
      {4, 5, 19, true},   {4, 5, 20, false}, {4, 5, 9, false},   {11, 3, 18, true},
      {11, 3, 19, false}, {14, 9, 3, true},  {14, 8, 3, false},  {14, 10, 3, false},
      {13, 1, 3, true},   {13, 10, 3, true}, {13, 17, 3, true},  {13, 18, 3, false},
      {0, 3, 3, false},   {15, 3, 3, false}, {1, 0, 10, false},  {1, 21, 10, false},
      {1, 5, 10, false},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(c.Ok, ed_.CanPlace(c.Panel, c.Col, c.Row))
        << "piece " << c.Panel << " at " << c.Col << "," << c.Row;
  }
}

TEST_F(StaEditor, APlacedPieceFillsItsCells) {
  ASSERT_TRUE(ed_.PlacePanel(11, 4, 3));  // three cells downwards
  EXPECT_EQ((StaCell{kCellOrigin, 11, 0, 0, 0}), Cell(4, 3));
  EXPECT_EQ((StaCell{kCellCovered, 11, 0, 1, 0}), Cell(4, 4));
  EXPECT_EQ((StaCell{kCellCovered, 11, 0, 2, 0}), Cell(4, 5));
  ASSERT_TRUE(ed_.PlacePanel(13, 2, 8));  // a platform, four cells to the right
  EXPECT_EQ((StaCell{kCellCovered, 13, 3, 0, 0}), Cell(5, 8));
  EXPECT_TRUE(ed_.Modified());
  EXPECT_FALSE(ed_.PlacePanel(1, 4, 4));  // refused: nothing changes
  EXPECT_EQ(11, Cell(4, 4).PanelNo);
}

TEST_F(StaEditor, PlatformTracksAreNumberedOneAboveTheHighest) {
  ASSERT_TRUE(ed_.PlacePanel(14, 9, 5));
  ASSERT_TRUE(ed_.PlacePanel(14, 9, 7));
  EXPECT_EQ(1, Cell(9, 5).HomeNo);
  EXPECT_EQ(2, Cell(12, 7).HomeNo);
  ed_.SetHomeNo(9, 5, 98);
  ASSERT_TRUE(ed_.PlacePanel(14, 9, 9));
  EXPECT_EQ(99, Cell(11, 9).HomeNo);
  ASSERT_TRUE(ed_.PlacePanel(14, 9, 11));
  EXPECT_EQ(99, Cell(9, 11).HomeNo);  // never above 99
  ASSERT_TRUE(ed_.PlacePanel(1, 3, 3));
  EXPECT_EQ(0, Cell(3, 3).HomeNo);
}

TEST_F(StaEditor, RemovingEmptiesEveryCellOfThePiece) {
  ASSERT_TRUE(ed_.PlacePanel(13, 3, 6));
  ASSERT_TRUE(ed_.PlacePanel(4, 2, 6));
  ASSERT_TRUE(ed_.RemovePanel(5, 6));  // a covered cell of the platform
  for (int32_t col = 3; col <= 6; ++col) EXPECT_EQ(StaCell{}, Cell(col, 6));
  EXPECT_EQ(4, Cell(2, 6).PanelNo);
  EXPECT_FALSE(ed_.RemovePanel(5, 6));
}

// ---- Mouse ---------------------------------------------------------------------------------

TEST_F(StaEditor, APalettePieceStaysHeldUntilARightClick) {
  ClickPalette(4, 8);  // the last cell of platform track 14
  EXPECT_EQ(14, ed_.Held());
  ClickCell(9, 5);
  ClickCell(9, 6);
  EXPECT_EQ(14, Cell(9, 5).PanelNo);
  EXPECT_EQ(14, Cell(9, 6).PanelNo);
  ClickCell(8, 7);  // not allowed there: nothing happens
  EXPECT_EQ(StaCell{}, Cell(8, 7));
  ClickPalette(1, 1);  // another piece
  EXPECT_EQ(1, ed_.Held());
  ClickCell(10, 5, TMouseBtn::kRight);  // lets go, removes nothing
  EXPECT_EQ(kNoPanel, ed_.Held());
  EXPECT_EQ(14, Cell(10, 5).PanelNo);
  ClickCell(10, 5, TMouseBtn::kRight);  // now it removes
  EXPECT_EQ(StaCell{}, Cell(9, 5));
  EXPECT_EQ(14, Cell(9, 6).PanelNo);
  ClickPalette(5, 8);  // an empty palette cell holds nothing
  EXPECT_EQ(kNoPanel, ed_.Held());
}

TEST_F(StaEditor, LeftClicksWithNothingHeld) {
  ASSERT_TRUE(ed_.PlacePanel(14, 9, 10));
  host_.InputAnswers.push_back("５");
  ClickCell(11, 10);  // platform track: its number
  EXPECT_EQ(5, Cell(9, 10).HomeNo);
  ASSERT_TRUE(ed_.PlacePanel(1, 3, 3));
  ClickCell(3, 3);  // other pieces: nothing
  EXPECT_EQ(1u, host_.Events.size());
  int32_t sideAsked = -1;
  ed_.SetHooks({[&sideAsked](TStaEntConn& conn) {
                  sideAsked = conn.Side();
                  return false;
                },
                nullptr});
  ed_.MouseUp(TMouseBtn::kLeft, false, 700, 200);
  EXPECT_EQ(1, sideAsked);
  ed_.MouseUp(TMouseBtn::kLeft, false, 10, 200);
  EXPECT_EQ(0, sideAsked);
}

TEST_F(StaEditor, TheCrossingDialogStoresItsResultOnOk) {
  ASSERT_TRUE(ed_.CbxEntChange(0, "3"));
  bool ok = false;
  ed_.SetHooks({[&ok](TStaEntConn& conn) {
                  EXPECT_EQ(3, conn.EntCnt());
                  conn.ClickCircle({TStaEntConn::TColumn::kInner, 1});
                  conn.ClickCircle({TStaEntConn::TColumn::kOuter, 3});
                  return ok;
                },
                nullptr});
  ed_.EditEntCrs(0);  // Cancel
  EXPECT_EQ(0, ed_.Sta().EntCrs[0]);
  ok = true;
  ed_.EditEntCrs(0);
  EXPECT_EQ(10301, ed_.Sta().EntCrs[0]);
  const std::vector<TStripLead> leads = ed_.StripLeads(0, ed_.CheckAndDisplay());
  ASSERT_EQ(3u, leads.size());
  EXPECT_EQ(9, leads[2].InnerRow);   // inner entry 1 ...
  EXPECT_EQ(11, leads[2].OuterRow);  // ... to outer entry 3, drawn last
  EXPECT_TRUE(leads[2].Crossing);
  EXPECT_EQ(10, leads[0].InnerRow);
  EXPECT_EQ(9, leads[0].OuterRow);
}

TEST_F(StaEditor, ShiftClickStartsARowFillThatTheNextClickInItsRowEnds) {
  ASSERT_TRUE(ed_.PlacePanel(4, 5, 10));
  ClickPalette(1, 1);
  ClickCell(3, 10, TMouseBtn::kLeft, true);
  ASSERT_TRUE(ed_.FillStart().has_value());
  EXPECT_EQ(StaCell{}, Cell(3, 10));
  ClickCell(6, 11);  // another row: nothing
  EXPECT_EQ(StaCell{}, Cell(6, 11));
  ASSERT_TRUE(ed_.FillStart().has_value());
  ClickCell(15, 10);
  EXPECT_FALSE(ed_.FillStart().has_value());
  for (int32_t col = 3; col <= 15; ++col) {
    if (col == 5) continue;
    EXPECT_EQ((StaCell{kCellOrigin, 1, 0, 0, 0}), Cell(col, 10)) << col;  // band columns too
  }
  EXPECT_EQ(4, Cell(5, 10).PanelNo);
  EXPECT_EQ(StaCell{}, Cell(2, 10));
  EXPECT_EQ(StaCell{}, Cell(16, 10));
}

TEST_F(StaEditor, TheRowFillRunsEitherWayAndNeedsPieceOne) {
  ClickPalette(1, 1);
  ClickCell(8, 12, TMouseBtn::kLeft, true);
  ClickCell(2, 12);
  for (int32_t col = 2; col <= 8; ++col) EXPECT_EQ(1, Cell(col, 12).PanelNo) << col;
  ClickPalette(2, 1);  // piece 4: Shift places it at once
  ClickCell(3, 14, TMouseBtn::kLeft, true);
  EXPECT_FALSE(ed_.FillStart().has_value());
  EXPECT_EQ(4, Cell(3, 14).PanelNo);
}

// ---- Entry counts --------------------------------------------------------------------------

TEST_F(StaEditor, EntryCountsRefuseWhatIsNotAllowed) {
  struct TCase {
    int32_t Side;
    std::string Text, Msg;
    TStaFocus Focus;
  };
  const TCase cases[] = {
      {0, "abc", "エントリ数が数値ではありません", TStaFocus::kEntL},
      {1, "", "エントリ数が数値ではありません", TStaFocus::kEntR},
      {0, "11", "範囲外のエントリ数が指定されています", TStaFocus::kEntL},
      {1, "-1", "範囲外のエントリ数が指定されています", TStaFocus::kEntR},
  };
  for (const TCase& c : cases) {
    host_.Events.clear();
    EXPECT_FALSE(ed_.CbxEntChange(c.Side, c.Text));
    ASSERT_EQ(1u, host_.Events.size());
    EXPECT_EQ("plain", host_.Events[0].Kind);
    EXPECT_EQ(c.Msg, host_.Events[0].Text);
    EXPECT_EQ(c.Focus, ed_.TakeFocus());
    EXPECT_EQ(TStaFocus::kNone, ed_.TakeFocus());
    EXPECT_EQ(1, ed_.Sta().EntCount[c.Side]);
    EXPECT_FALSE(ed_.Modified());
  }
}

TEST_F(StaEditor, EntryCountsChangeTheEntryRows) {
  EXPECT_TRUE(ed_.CbxEntChange(0, "1"));
  EXPECT_FALSE(ed_.Modified());  // the same value
  EXPECT_TRUE(ed_.CbxEntChange(0, "3"));
  EXPECT_TRUE(ed_.Modified());
  EXPECT_EQ(3, ed_.Sta().EntCount[0]);
  EXPECT_EQ((std::vector<int32_t>{9, 10, 11}), ed_.EntRowsOf(0));
  EXPECT_TRUE(ed_.CbxEntChange(1, "0"));
  EXPECT_TRUE(ed_.EntRowsOf(1).empty());
  EXPECT_TRUE(host_.Events.empty());
}

TEST_F(StaEditor, FewerEntriesDropACrossingThatNoLongerFits) {
  TStaPicture pic;
  pic.Ent[0] = 4;
  pic.Crs[0] = TEntCrs{1, 3, 2};
  Design(pic);
  ASSERT_TRUE(ed_.CbxEntChange(0, "5"));
  EXPECT_EQ(10302, ed_.Sta().EntCrs[0]);
  ASSERT_TRUE(ed_.CbxEntChange(0, "3"));
  EXPECT_EQ(0, ed_.Sta().EntCrs[0]);
}

// ---- Platform numbers ----------------------------------------------------------------------

TEST_F(StaEditor, PlatformNumberInput) {
  ASSERT_TRUE(ed_.PlacePanel(14, 9, 10));
  struct TCase {
    std::optional<std::string> Answer;
    int32_t Want;
    std::string Msg;  // empty: no message
  };
  const TCase cases[] = {
      {"１２", 12, ""},
      {" 7 ", 7, ""},
      {"", 7, ""},
      {std::nullopt, 7, ""},
      {"x", 7, "ホーム番号が数値ではありません"},
      {"100", 7, "範囲外のホーム番号が指定されました"},
      {"-1", 7, "範囲外のホーム番号が指定されました"},
      {"０", 0, ""},
  };
  for (const TCase& c : cases) {
    host_.Events.clear();
    host_.InputAnswers.push_back(c.Answer);
    ed_.InputHomeNo(12, 10);
    ASSERT_GE(host_.Events.size(), 1u);
    EXPECT_EQ("input", host_.Events[0].Kind);
    EXPECT_EQ("ホーム番号の入力", host_.Events[0].Caption);
    if (c.Msg.empty()) {
      EXPECT_EQ(1u, host_.Events.size());
    } else {
      ASSERT_EQ(2u, host_.Events.size());
      EXPECT_EQ("msg", host_.Events[1].Kind);
      EXPECT_EQ("エラー", host_.Events[1].Caption);
      EXPECT_EQ(c.Msg, host_.Events[1].Text);
    }
    for (int32_t col = 9; col <= 12; ++col) EXPECT_EQ(c.Want, Cell(col, 10).HomeNo) << col;
  }
}

TEST_F(StaEditor, PlatformNumberInputShowsPromptAndCurrentNumber) {
  ASSERT_TRUE(ed_.PlacePanel(14, 9, 10));
  host_.InputAnswers.push_back(std::nullopt);
  ed_.InputHomeNo(9, 10);
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("0-99の間で入力して下さい", host_.Events[0].Text);
}

TEST_F(StaEditor, NumberingPlatformsFromTheTopOrTheBottom) {
  for (int32_t row : {15, 5, 10}) ASSERT_TRUE(ed_.PlacePanel(14, 9, row));
  ed_.NumberHomes(0);
  EXPECT_EQ(1, Cell(9, 5).HomeNo);
  EXPECT_EQ(2, Cell(12, 10).HomeNo);
  EXPECT_EQ(3, Cell(10, 15).HomeNo);
  ed_.NumberHomes(1);
  EXPECT_EQ(3, Cell(11, 5).HomeNo);
  EXPECT_EQ(2, Cell(9, 10).HomeNo);
  EXPECT_EQ(1, Cell(9, 15).HomeNo);
}

// ---- Mirroring -----------------------------------------------------------------------------

// The segments of the compiled station as (kind, end, end) with the ends mapped by fn and
// ordered by u; turnout segment numbers depend on the visiting order, so kinds stand for them.
template <typename Fn>
std::multiset<std::tuple<int, int, int, int, int>> Shape(const TStaObj& sta, Fn fn) {
  TStaObj copy = sta;
  CompileSta(copy, StdPanels());
  std::multiset<std::tuple<int, int, int, int, int>> out;
  for (const StaRail& r : copy.Rails) {
    TPoint a = fn(r.P[0]), b = fn(r.P[1]);
    if (b.x < a.x || (b.x == a.x && b.y < a.y)) std::swap(a, b);
    out.insert({r.Kind == kRailHome ? 100 + r.No : r.Kind, a.x, a.y, b.x, b.y});
  }
  return out;
}

TEST_F(StaEditor, MirroringUpsideDownKeepsAValidStationValid) {
  Design(ThreeHomeSta());
  ASSERT_TRUE(Valid());
  const TCells before = ed_.Sta().Cells;
  const auto shape = Shape(ed_.Sta(), [](TPoint p) { return TPoint{p.x, 4 - p.y}; });
  ed_.RevV();
  EXPECT_TRUE(ed_.Modified());
  EXPECT_TRUE(Valid());
  // The turnout of column 4, rows 11-12, now leaves row 10 upwards from row 9-10.
  EXPECT_EQ((StaCell{kCellOrigin, 5, 0, 0, 0}), Cell(4, 9));
  EXPECT_EQ((StaCell{kCellCovered, 5, 0, 1, 0}), Cell(4, 10));
  EXPECT_EQ(shape, Shape(ed_.Sta(), [](TPoint p) { return p; }));
  ed_.RevV();
  EXPECT_TRUE(before == ed_.Sta().Cells);
}

TEST_F(StaEditor, MirroringLeftToRightKeepsAValidStationValid) {
  Design(ThreeHomeSta());
  const TCells before = ed_.Sta().Cells;
  const auto shape = Shape(ed_.Sta(), [](TPoint p) { return TPoint{kStaAxisM - p.x, p.y}; });
  ed_.RevH();
  EXPECT_TRUE(Valid());
  EXPECT_EQ((StaCell{kCellOrigin, 6, 0, 0, 0}), Cell(17, 11));  // the diverging turnout
  EXPECT_EQ((StaCell{kCellOrigin, 14, 0, 0, 1}), Cell(9, 10));  // platform tracks stay
  EXPECT_EQ((StaCell{kCellCovered, 14, 3, 0, 1}), Cell(12, 10));
  EXPECT_EQ((StaCell{kCellOrigin, 13, 0, 0, 0}), Cell(9, 9));
  EXPECT_EQ(shape, Shape(ed_.Sta(), [](TPoint p) { return p; }));
  ed_.RevH();
  EXPECT_TRUE(before == ed_.Sta().Cells);
}

TEST_F(StaEditor, EveryPieceSurvivesBothMirrorsTwice) {
  // One of each piece, placed where it fits; the station need not be valid.
  const int32_t cols[] = {1, 2, 3, 4, 5, 6, 7, 8, 13, 14, 15, 16};
  for (int32_t no = 2; no <= 12; ++no) ASSERT_TRUE(ed_.PlacePanel(no, cols[no - 1], 3));
  ASSERT_TRUE(ed_.PlacePanel(1, 1, 15));
  ASSERT_TRUE(ed_.PlacePanel(13, 2, 17));
  ASSERT_TRUE(ed_.PlacePanel(14, 9, 18));
  const TCells before = ed_.Sta().Cells;
  ed_.RevV();
  ed_.RevH();
  EXPECT_FALSE(before == ed_.Sta().Cells);
  ed_.RevV();
  ed_.RevH();
  EXPECT_TRUE(before == ed_.Sta().Cells);
}

TEST_F(StaEditor, WithAnOddEntryCountMirroringShiftsByARowThatMovingUpTakesBack) {
  TStaPicture pic;
  pic.Ent[0] = pic.Ent[1] = 1;
  pic.FirstRow = 10;
  pic.Rows = {"1 1 1 1 1 1 1 1 14 - - - 1 1 1 1 1 1 1 1"};
  Design(pic);
  ASSERT_TRUE(Valid());
  ed_.RevV();
  EXPECT_FALSE(Valid());  // the track lies in row 11, the entries meet row 10
  ASSERT_TRUE(ed_.MovU());
  EXPECT_TRUE(Valid());
}

// ---- Moving --------------------------------------------------------------------------------

TEST_F(StaEditor, MovingUpShiftsEveryRowAndEmptiesTheLast) {
  ASSERT_TRUE(ed_.PlacePanel(4, 3, 19));
  ASSERT_TRUE(ed_.PlacePanel(1, 7, 2));
  ASSERT_TRUE(ed_.MovU());
  EXPECT_EQ((StaCell{kCellOrigin, 4, 0, 0, 0}), Cell(3, 18));
  EXPECT_EQ((StaCell{kCellCovered, 4, 0, 1, 0}), Cell(3, 19));
  EXPECT_EQ(StaCell{}, Cell(3, 20));
  EXPECT_EQ(1, Cell(7, 1).PanelNo);
  EXPECT_TRUE(host_.Events.empty());
  ASSERT_TRUE(ed_.MovD());
  EXPECT_EQ(4, Cell(3, 19).PanelNo);
  EXPECT_EQ(StaCell{}, Cell(7, 1));
  EXPECT_EQ(1, Cell(7, 2).PanelNo);
}

TEST_F(StaEditor, MovingStopsAtAnOccupiedEdgeRow) {
  ASSERT_TRUE(ed_.PlacePanel(4, 3, 19));
  ASSERT_TRUE(ed_.PlacePanel(1, 7, 1));
  const TCells before = ed_.Sta().Cells;
  EXPECT_FALSE(ed_.MovU());
  EXPECT_FALSE(ed_.MovD());
  EXPECT_TRUE(before == ed_.Sta().Cells);
  ASSERT_EQ(2u, host_.Events.size());
  EXPECT_EQ("一番上の行に部品があるため上に移動できません", host_.Events[0].Text);
  EXPECT_EQ("一番下の行に部品があるため下に移動できません", host_.Events[1].Text);
}

// ---- Fields --------------------------------------------------------------------------------

TEST_F(StaEditor, CommittingTrimsTheFieldsAndMarksChanges) {
  ed_.Fields().Name = "  東京 ";
  ed_.Fields().Desc = " 始発駅　";  // the ideographic space is kept: only blanks are trimmed
  ASSERT_TRUE(ed_.CommitFields());
  EXPECT_EQ("東京", ed_.Sta().Name);
  EXPECT_EQ("始発駅　", ed_.Sta().Desc);
  EXPECT_TRUE(ed_.Modified());
}

TEST_F(StaEditor, CommittingUnchangedFieldsMarksNothing) {
  ASSERT_TRUE(ed_.CommitFields());
  EXPECT_FALSE(ed_.Modified());
  ed_.Fields().EntL = "x";
  EXPECT_FALSE(ed_.CommitFields());
  EXPECT_EQ(TStaFocus::kEntL, ed_.TakeFocus());
}

}  // namespace
}  // namespace ramvel
