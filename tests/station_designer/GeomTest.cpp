// Station geometry compilation: segments, turnouts, platforms and entry leads.
#include <gtest/gtest.h>

#include <sstream>

#include "StaPicture.h"
#include "station_designer/UrwStaGeom.h"

namespace ramvel {
namespace {

// A segment as kind/No (u,v)-(u,v), for readable failures.
std::string SegText(const StaRail& r) {
  std::ostringstream os;
  os << int(r.Kind) << "/" << r.No << " (" << r.P[0].x << "," << r.P[0].y << ")-(" << r.P[1].x
     << "," << r.P[1].y << ")";
  return os.str();
}

using test::MakeSta;
using test::StdPanels;
using test::ThreeHomeSta;
using test::TStaPicture;

struct TSeg {
  int32_t Kind, No, U0, V0, U1, V1;
};

void ExpectRails(const std::vector<TSeg>& want, const TStaObj& sta) {
  ASSERT_EQ(want.size(), sta.Rails.size());
  for (size_t i = 0; i < want.size(); ++i) {
    const TSeg& w = want[i];
    const StaRail& r = sta.Rails[i];
    EXPECT_TRUE(r.Kind == w.Kind && r.No == w.No && r.P[0] == (TPoint{w.U0, w.V0}) &&
                r.P[1] == (TPoint{w.U1, w.V1}) && r.Mark == 0)
        << "segment " << i << ": " << SegText(r);
  }
}

TStaObj Make(const TStaPicture& pic) {
  TStaObj sta;
  const TStatus st = MakeSta(pic, sta);
  EXPECT_TRUE(st) << st.Msg();
  return sta;
}

TEST(GridPositions, FollowTheStationFrame) {
  EXPECT_EQ(194, ColLeftU(1));
  EXPECT_EQ(994, ColLeftU(21));
  EXPECT_EQ(0, HeightV(10, 1));  // the middle of row 10 is the centre line
  EXPECT_EQ(-36, HeightV(1, 1));
  EXPECT_EQ(-2, HeightV(10, 0));  // the boundary above row 10
  EXPECT_EQ(0, EntV(1, 1));
  EXPECT_EQ(-4, EntV(3, 1));
  EXPECT_EQ(4, EntV(2, 2));
}

TEST(CompileSta, AStraightRowFromColumnOneToEightIsOneSegment) {
  TStaPicture pic;
  pic.Ent[0] = 1;
  pic.Ent[1] = 0;
  pic.FirstRow = 10;
  pic.Rows = {"1 1 1 1 1 1 1 1 . . . . . . . . . . . ."};
  const TStaObj sta = Make(pic);
  ExpectRails({{0, 1, 194, 0, 514, 0}, {0, 2, 0, 0, 194, 0}}, sta);
  EXPECT_TRUE(sta.Pts.empty());
  EXPECT_TRUE(sta.Homes.empty());
}

TEST(CompileSta, ADiagonalRunEndsAtTheTopOfTheMatrix) {
  TStaPicture pic;
  pic.Ent[0] = pic.Ent[1] = 0;
  pic.FirstRow = 1;
  pic.Rows = {". 3 . . . . . . . . . . . . . . . . . .", "3 | . . . . . . . . . . . . . . . . . .",
              "| . . . . . . . . . . . . . . . . . . ."};
  // From the middle of row 3 up to the middle of row 1 over two columns.
  ExpectRails({{0, 1, 194, -28, 274, -36}}, Make(pic));
}

TEST(CompileSta, ADiagonalRunEndsAtTheBottomAndRightEdgesWithoutMessages) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TStaObj sta;
  sta.ClearCells();
  sta.EntCount[0] = sta.EntCount[1] = 0;
  // As a station file may hold them: the second cell of a piece below row 20 is cut off.
  sta.SetCell(18, 19, StaCell{kCellOrigin, 2, 0, 0, 0});
  sta.SetCell(18, 20, StaCell{kCellCovered, 2, 0, 1, 0});
  sta.SetCell(19, 20, StaCell{kCellOrigin, 2, 0, 0, 0});
  sta.SetCell(20, 1, StaCell{kCellOrigin, 2, 0, 0, 0});
  CompileSta(sta, StdPanels());
  ExpectRails({{0, 1, 874, 36, 954, 44}, {0, 2, 954, -36, 994, -32}}, sta);
  EXPECT_TRUE(host.Events.empty());
}

TEST(CompileSta, DiagonalsAndStraightsOfOneRunMergeButDifferentPiecesDoNot) {
  TStaPicture pic;
  pic.Ent[0] = pic.Ent[1] = 0;
  pic.FirstRow = 10;
  pic.Rows = {". 2 . . . . . . . . . . . . . . . . . .", ". | 2 . . . . . . . . . . . . . . . . .",
              ". . | 2 . . . . . . . . . . . . . . . .", ". . . | 1 1 . . . . . . . . . . . . . ."};
  ExpectRails({{0, 1, 234, 0, 354, 12}, {0, 2, 354, 12, 434, 12}}, Make(pic));
}

TEST(CompileSta, AWholeStationInItsOrder) {
  const TStaObj sta = Make(ThreeHomeSta());
  ExpectRails(
      {
          // Turnouts and platform tracks column by column.
          {1, 11, 314, 4, 354, 4},
          {1, 12, 314, 4, 354, 8},
          {3, 1, 514, 0, 674, 0},
          {3, 2, 514, 4, 674, 4},
          {3, 3, 514, 8, 674, 8},
          {1, 21, 834, 4, 874, 4},
          {1, 22, 834, 8, 874, 4},
          // Plain runs, each from the piece that starts it.
          {0, 1, 194, 0, 514, 0},
          {0, 2, 194, 4, 314, 4},
          {0, 3, 354, 4, 514, 4},
          {0, 4, 354, 8, 514, 8},
          {0, 5, 674, 0, 994, 0},
          {0, 6, 674, 4, 834, 4},
          {0, 7, 674, 8, 834, 8},
          {0, 8, 874, 4, 994, 4},
          // Entry leads, side 0 then side 1.
          {0, 9, 0, 0, 194, 0},
          {0, 10, 0, 4, 194, 4},
          {0, 11, 994, 0, 1188, 0},
          {0, 12, 994, 4, 1188, 4},
      },
      sta);
  ASSERT_EQ(2u, sta.Pts.size());
  for (const TPtStatus& pt : sta.Pts) {
    EXPECT_EQ(2, pt.RouteCnt);
    EXPECT_EQ("1", pt.Routes[1]);
    EXPECT_EQ("2", pt.Routes[2]);
  }
  EXPECT_EQ((std::vector<StaHome>{{514, -6, 674, -2}, {514, 10, 674, 14}}), sta.Homes);
}

TEST(CompileSta, TheCrossingLeadComesLast) {
  TStaPicture pic;
  pic.Ent[0] = 2;
  pic.Ent[1] = 0;
  pic.Crs[0] = TEntCrs{1, 2, 1};
  pic.FirstRow = 10;
  pic.Rows = {"1 1 1 . . . . . . . . . . . . . . . . .", "1 1 1 . . . . . . . . . . . . . . . . ."};
  ExpectRails(
      {
          {0, 1, 194, 0, 314, 0},
          {0, 2, 194, 4, 314, 4},
          {0, 3, 0, 0, 194, 4},  // inner entry 2 to outer entry 1
          {0, 4, 0, 4, 194, 0},  // the crossing: inner entry 1 to outer entry 2
      },
      Make(pic));
}

TEST(CompileSta, LeadsFollowTheCrossingOnTheRightSide) {
  TStaPicture pic;
  pic.Ent[0] = 0;
  pic.Ent[1] = 4;
  pic.Crs[1] = TEntCrs{1, 3, 2};  // inner 1, 2 to outer 3, 4; inner 3, 4 to outer 1, 2
  const TStaObj sta = Make(pic);
  ExpectRails(
      {
          {0, 1, 994, 4, 1188, -4},
          {0, 2, 994, 8, 1188, 0},
          {0, 3, 994, -4, 1188, 4},
          {0, 4, 994, 0, 1188, 8},
      },
      sta);
}

TEST(CompileSta, ASideWithoutEntriesGetsNoLeads) {
  TStaPicture pic;
  pic.Ent[0] = 0;
  pic.Ent[1] = 3;
  const TStaObj sta = Make(pic);
  ASSERT_EQ(3u, sta.Rails.size());
  for (const StaRail& r : sta.Rails) EXPECT_EQ(kGridRightU, r.P[0].x);
}

TEST(CompileSta, ACrossingBeyondTheSidesEntriesIsDropped) {
  TStaObj sta;
  sta.ClearCells();
  sta.EntCount[0] = 2;
  sta.EntCount[1] = 0;
  sta.MakeEntCrs(0, 1, 2, 2);  // the outer run would need entries 2 and 3
  CompileSta(sta, StdPanels());
  EXPECT_EQ(0, sta.EntCrs[0]);
  ExpectRails({{0, 1, 0, 0, 194, 0}, {0, 2, 0, 4, 194, 4}}, sta);
}

TEST(CompileSta, EveryTrackEndInsideTheStationMeetsAnother) {
  const TStaObj sta = Make(ThreeHomeSta());
  auto ends = [&sta](TPoint p) {
    int n = 0;
    for (const StaRail& r : sta.Rails) n += (r.P[0] == p) + (r.P[1] == p);
    return n;
  };
  for (const StaRail& r : sta.Rails) {
    for (const TPoint& p : r.P) {
      const bool stationEdge = p.x == 0 || p.x == kStaAxisM;
      if (!stationEdge) {
        EXPECT_GE(ends(p), 2) << SegText(r);
      }
    }
  }
}

}  // namespace
}  // namespace ramvel
