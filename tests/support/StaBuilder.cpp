// Stations made in code for tests.
#include "StaBuilder.h"

#include <utility>

namespace ramvel::test {

namespace {

int32_t ColLeftU(int32_t col) { return (col - 1) * kCellLenM + kGridLeftU; }
int32_t RowMidV(int32_t row) { return 4 * row - 40; }

}  // namespace

TStaBuilder::TStaBuilder(int32_t id, std::string name) {
  sta_.Id = id;
  sta_.Name = std::move(name);
  sta_.ClearCells();
}

TStaBuilder& TStaBuilder::Desc(std::string desc) {
  sta_.Desc = std::move(desc);
  return *this;
}

TStaBuilder& TStaBuilder::Err(bool isErr) {
  sta_.IsErr = isErr;
  return *this;
}

TStaBuilder& TStaBuilder::Ents(int32_t side0, int32_t side1) {
  sta_.EntCount[0] = side0;
  sta_.EntCount[1] = side1;
  return *this;
}

TStaBuilder& TStaBuilder::Conn(int32_t side, int32_t slot, int32_t code) {
  sta_.EntConn[side][slot] = code;
  return *this;
}

TStaBuilder& TStaBuilder::At(TPoint end0, TPoint end1) {
  sta_.EndPos[0] = end0;
  sta_.EndPos[1] = end1;
  SetRote(sta_);
  return *this;
}

TStaBuilder& TStaBuilder::Crs(int32_t side, int32_t crsFrom, int32_t crsTo, int32_t crsCnt) {
  sta_.MakeEntCrs(side, crsFrom, crsTo, crsCnt);
  return *this;
}

TStaBuilder& TStaBuilder::Cell(int32_t col, int32_t row, const StaCell& cell) {
  sta_.SetCell(col, row, cell);
  return *this;
}

TStaBuilder& TStaBuilder::Piece(int32_t col, int32_t row, int32_t panelNo, int32_t cols,
                                int32_t rows, int32_t homeNo) {
  for (int32_t dc = 0; dc < cols; ++dc) {
    for (int32_t dr = 0; dr < rows; ++dr) {
      const uint8_t kind = (dc == 0 && dr == 0) ? kCellOrigin : kCellCovered;
      sta_.SetCell(col + dc, row + dr, StaCell{kind, panelNo, dc, dr, homeNo});
    }
  }
  return *this;
}

TStaBuilder& TStaBuilder::Rail(const StaRail& rail) {
  sta_.AddRail(rail);
  return *this;
}

TStaBuilder& TStaBuilder::Rail(uint8_t kind, int32_t no, TPoint p0, TPoint p1) {
  return Rail(StaRail(kind, no, p0, p1));
}

TStaBuilder& TStaBuilder::Home(const StaHome& home) {
  sta_.AddHome(home);
  return *this;
}

TStaBuilder& TStaBuilder::Pt(const std::vector<std::string>& routes) {
  TPtStatus pt;
  pt.RouteCnt = static_cast<int32_t>(routes.size());
  for (size_t r = 0; r < routes.size() && r < static_cast<size_t>(kMaxRoutes); ++r) {
    pt.Routes[r + 1] = routes[r];
  }
  sta_.AddPt(pt);
  return *this;
}

StaRail PlatformTrack(int32_t col, int32_t row, int32_t homeNo) {
  return StaRail(kRailHome, homeNo, TPoint{ColLeftU(col), RowMidV(row)},
                 TPoint{ColLeftU(col + 4), RowMidV(row)});
}

StaHome PlatformOutline(int32_t col, int32_t row) {
  return StaHome{ColLeftU(col), 4 * row - 42, ColLeftU(col + 4), 4 * row - 38};
}

StaRail TurnoutSeg(int32_t col, int32_t row, int32_t k, int32_t j, int32_t a, int32_t b) {
  return StaRail(kRailPt, j + 10 * k, TPoint{ColLeftU(col), 4 * row + 2 * a - 42},
                 TPoint{ColLeftU(col + 1), 4 * row + 2 * b - 42});
}

StaRail PlainRun(int32_t no, int32_t c0, int32_t c1, int32_t row) {
  return StaRail(kRailPlain, no, TPoint{ColLeftU(c0), RowMidV(row)},
                 TPoint{ColLeftU(c1 + 1), RowMidV(row)});
}

StaRail EntryLead(int32_t side, int32_t no, int32_t vInner, int32_t vOuter) {
  if (side == 0) return StaRail(kRailPlain, no, TPoint{0, vOuter}, TPoint{kGridLeftU, vInner});
  return StaRail(kRailPlain, no, TPoint{kGridRightU, vInner}, TPoint{kStaAxisM, vOuter});
}

}  // namespace ramvel::test
