// The grid pictures of the standard station designs: pieces written quarter by quarter and
// mirrored into the other quarters.
#include "station_designer/UrwStaGridPic.h"

#include <algorithm>

namespace ramvel {

namespace {

constexpr int32_t kLastCol = 20;
constexpr int32_t kScissorsCol = 2;  // on the main tracks at each end

// The cell and piece that mirror a two-row piece placed at (col, row): left to right, and top to
// bottom about the line between rows 10 and 11 (a two-row piece's first cell is its upper one).
int32_t MirrorCol(int32_t col) { return kLastCol + 1 - col; }

int32_t FlipLeftRight(int32_t piece) {
  switch (piece) {
    case kPieceSplitUp:
      return kPieceMergeDown;
    case kPieceSplitDown:
      return kPieceMergeUp;
    case kPieceUp:
      return kPieceDown;
    case kPieceDown:
      return kPieceUp;
    default:
      return piece;
  }
}

int32_t FlipTopBottom(int32_t piece) {
  switch (piece) {
    case kPieceSplitUp:
      return kPieceSplitDown;
    case kPieceMergeDown:
      return kPieceMergeUp;
    case kPieceUp:
      return kPieceDown;
    case kPieceDown:
      return kPieceUp;
    default:
      return piece;
  }
}

// One quarter of the station (the upper tracks, side 0) written through put and run, which
// place it mirrored into the other quarters. Track i stands in row 10 - 2i: the main track
// (i = 0) comes straight in from the grid's edge, track i + 1 leaves track i by a turnout in
// column 2i + 3 and climbs to its row in column 2i + 4.
template <class Put, class Run>
void Quarter(int32_t perSide, Put put, Run run) {
  for (int32_t i = 0; i < perSide; ++i) {
    const int32_t row = 10 - 2 * i;
    const int32_t first = i == 0 ? 1 : 2 * i + 3;  // where the track reaches its row
    const bool splits = i + 1 < perSide;
    const int32_t splitCol = 2 * i + 3;
    if (splits) {
      put(splitCol, row - 1, kPieceSplitUp);
      put(splitCol + 1, row - 2, kPieceUp);
    }
    for (int32_t c = first; c < kGridHomeCol; ++c) {
      if (!(splits && c == splitCol) && !(i == 0 && c == kScissorsCol)) run(row, c);
    }
  }
}

// The same quarter for more tracks than islands leave room for: track i stands in row 10 - i,
// every row a track, and track i + 1 leaves track i by a turnout in column i + 3, a ladder that
// fits kMaxTracksPerSide tracks before the platform tracks' column.
template <class Put, class Run>
void DenseQuarter(int32_t perSide, Put put, Run run) {
  for (int32_t i = 0; i < perSide; ++i) {
    const int32_t row = 10 - i;
    const int32_t first = i == 0 ? 1 : i + 3;
    const bool splits = i + 1 < perSide;
    const int32_t splitCol = i + 3;
    if (splits) put(splitCol, row - 1, kPieceSplitUp);
    for (int32_t c = first; c < kGridHomeCol; ++c) {
      if (!(splits && c == splitCol) && !(i == 0 && c == kScissorsCol)) run(row, c);
    }
  }
}

}  // namespace

TStaPicture PassingStationPic(const std::string& name, int32_t perSide, bool open0, bool open1) {
  perSide = std::clamp(perSide, 1, kMaxTracksPerSide);
  TGridPic g;
  for (const bool right : {false, true}) {
    if (!(right ? open1 : open0)) continue;
    for (const bool lower : {false, true}) {
      const auto put = [&](int32_t col, int32_t row, int32_t piece) {
        if (right) {
          col = MirrorCol(col);
          piece = FlipLeftRight(piece);
        }
        if (lower) {
          row = kStaRows - row;
          piece = FlipTopBottom(piece);
        }
        g.Put(col, row, piece);
      };
      const auto run = [&](int32_t row, int32_t col) {
        g.Put(right ? MirrorCol(col) : col, lower ? kStaRows + 1 - row : row, kPieceStraight);
      };
      if (perSide <= kMaxIslandTracksPerSide) {
        Quarter(perSide, put, run);
      } else {
        DenseQuarter(perSide, put, run);
      }
    }
  }
  // Scissors crossovers join the main tracks at both ends, so that every track can be reached
  // from both entries of either end and trains can turn back.
  if (open0) g.Put(kScissorsCol, 10, kPieceScissors);
  if (open1) g.Put(MirrorCol(kScissorsCol), 10, kPieceScissors);
  // Tracks from the top: upper i in row 10 - 2i, lower i in row 11 + 2i (every row when dense).
  const bool dense = perSide > kMaxIslandTracksPerSide;
  const int32_t pitch = dense ? 1 : 2;
  int32_t no = 0;
  for (int32_t i = perSide - 1; i >= 0; --i) g.Home(10 - pitch * i, ++no);
  for (int32_t i = 0; i < perSide; ++i) g.Home(11 + pitch * i, ++no);
  if (dense) return g.Pic(name, open0 ? 2 : 0, open1 ? 2 : 0);
  // Islands between tracks 2j and 2j + 1 of a side; a track left over gets a side platform.
  for (int32_t j = 0; 2 * j < perSide; ++j) {
    g.Platform(9 - 4 * j);
    g.Platform(12 + 4 * j);
  }
  return g.Pic(name, open0 ? 2 : 0, open1 ? 2 : 0);
}

}  // namespace ramvel
