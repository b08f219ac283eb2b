// Stations made in code for tests: grid cells, segments, turnouts, outlines and entries, plus
// the segment shapes that the designer produces for a piece at a grid position.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/UrwStaObj.h"

namespace ramvel::test {

// Builds one station step by step: TStaBuilder(5001, "ABC").Ents(2, 2).Rail(...).Build().
// Starts from a cleared grid with one entry track per side.
class TStaBuilder {
 public:
  TStaBuilder(int32_t id, std::string name);

  TStaBuilder& Desc(std::string desc);
  TStaBuilder& Err(bool isErr);
  TStaBuilder& Ents(int32_t side0, int32_t side1);
  TStaBuilder& Conn(int32_t side, int32_t slot, int32_t code);
  // End points on the board; also sets Rote from them.
  TStaBuilder& At(TPoint end0, TPoint end1);
  TStaBuilder& Crs(int32_t side, int32_t crsFrom, int32_t crsTo, int32_t crsCnt);
  TStaBuilder& Cell(int32_t col, int32_t row, const StaCell& cell);
  // A piece of type panelNo with its origin at (col, row) covering cols x rows cells; every cell
  // after the origin is a covered cell pointing back to it.
  TStaBuilder& Piece(int32_t col, int32_t row, int32_t panelNo, int32_t cols, int32_t rows,
                     int32_t homeNo = 0);
  TStaBuilder& Rail(const StaRail& rail);
  TStaBuilder& Rail(uint8_t kind, int32_t no, TPoint p0, TPoint p1);
  TStaBuilder& Home(const StaHome& home);
  // A turnout with the given route texts ("1,2").
  TStaBuilder& Pt(const std::vector<std::string>& routes);

  const TStaObj& Sta() const { return sta_; }
  TStaObj Build() const { return sta_; }
  std::unique_ptr<TStaObj> BuildPtr() const { return std::make_unique<TStaObj>(sta_); }

 private:
  TStaObj sta_;
};

// Shapes of the designer's pieces in station-local metres for a piece origin (col, row).
// A platform track four columns long, numbered homeNo.
StaRail PlatformTrack(int32_t col, int32_t row, int32_t homeNo);
// The platform outline four columns long.
StaHome PlatformOutline(int32_t col, int32_t row);
// Segment j of turnout k, from half-row height a on the left to height b on the right.
StaRail TurnoutSeg(int32_t col, int32_t row, int32_t k, int32_t j, int32_t a, int32_t b);
// A plain segment from the middle of row r in column c0 to the middle of row r in column c1.
StaRail PlainRun(int32_t no, int32_t c0, int32_t c1, int32_t row);
// The entry lead of a side from grid-edge v vInner to station-edge v vOuter.
StaRail EntryLead(int32_t side, int32_t no, int32_t vInner, int32_t vOuter);

}  // namespace ramvel::test
