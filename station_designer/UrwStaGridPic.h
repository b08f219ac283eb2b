// Station designs written piece by piece on the designer's 20 x 20 grid (column 1 at side 0,
// rows downwards) and turned into a picture the designer model builds and checks.
// Platform tracks always stand in columns 9-12.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "foundation/UrwCmnDef.h"
#include "station_designer/UrwStaPicture.h"

namespace ramvel {

// The piece numbers of the designer's panel that designs are written with.
enum : int32_t {
  kPieceStraight = 1,
  kPieceDown = 2,  // one row down from left to right
  kPieceUp = 3,    // one row up from left to right
  kPieceSplitDown = 4,
  kPieceSplitUp = 5,
  kPieceMergeUp = 6,    // the lower row joins the upper one
  kPieceMergeDown = 7,  // the upper row joins the lower one
  kPieceCrossDown = 8,
  kPieceCrossUp = 9,
  kPieceScissors = 10,
  kPieceThreeWay = 11,
  kPiecePlatform = 13,
};

inline constexpr int32_t kGridHomeCol = 9;

// A grid of picture tokens, "." for a cell left to the designer.
class TGridPic {
 public:
  TGridPic& Put(int32_t col, int32_t row, int32_t piece) {
    cells_[row][col] = IntText(piece);
    return *this;
  }
  TGridPic& Run(int32_t row, int32_t c0, int32_t c1) {
    for (int32_t c = c0; c <= c1; ++c) Put(c, row, kPieceStraight);
    return *this;
  }
  // Platform track number no in row.
  TGridPic& Home(int32_t row, int32_t no) {
    cells_[row][kGridHomeCol] = "14:" + IntText(no);
    return *this;
  }
  TGridPic& Platform(int32_t row) { return Put(kGridHomeCol, row, kPiecePlatform); }

  TStaPicture Pic(const std::string& name, int32_t ent0, int32_t ent1, TEntCrs crs1 = {}) const {
    TStaPicture pic;
    pic.Name = name;
    pic.Ent[0] = ent0;
    pic.Ent[1] = ent1;
    pic.Crs[1] = crs1;
    int32_t first = 0, last = 0;
    for (int32_t r = 1; r <= kStaRows; ++r) {
      if (RowText(r).find_first_not_of(". ") == std::string::npos) continue;
      if (first == 0) first = r;
      last = r;
    }
    pic.FirstRow = first;
    for (int32_t r = first; first > 0 && r <= last; ++r) pic.Rows.push_back(RowText(r));
    return pic;
  }

 private:
  std::string RowText(int32_t r) const {
    std::string s;
    for (int32_t c = 1; c <= kStaCols; ++c) s += (c > 1 ? " " : "") + cells_[r][c];
    return s;
  }

  std::array<std::array<std::string, kStaCols + 1>, kStaRows + 1> cells_ = Blank();

  static std::array<std::array<std::string, kStaCols + 1>, kStaRows + 1> Blank() {
    std::array<std::array<std::string, kStaCols + 1>, kStaRows + 1> g;
    for (auto& row : g) row.fill(".");
    return g;
  }
};

// The most platform tracks a side of PassingStationPic can have, and the most that still get
// island platforms between them.
inline constexpr int32_t kMaxTracksPerSide = 7;
inline constexpr int32_t kMaxIslandTracksPerSide = 4;

// A double-track station with perSide platform tracks (1 to kMaxTracksPerSide) for each
// direction: the two main tracks run straight through on entry rows 10 and 11, the others fan
// out from them by turnouts on both ends, scissors crossovers join the main tracks at both ends
// (so every track is reached from either entry and trains can turn back), and every pair of tracks
// shares an island platform (a track left over gets a side platform). Beyond
// kMaxIslandTracksPerSide the grid has no room for islands: the tracks lie in every row, each
// leaving the one below it by a turnout, as in a terminal's stabling yard. Tracks are numbered
// from the top. A side that is not open has no entries: the tracks end there, as at the end of a line.
TStaPicture PassingStationPic(const std::string& name, int32_t perSide, bool open0 = true,
                              bool open1 = true);

}  // namespace ramvel
