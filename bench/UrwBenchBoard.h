// Synthetic boards of a given size for the benchmarks: rows of two-platform stations joined by
// double-track rails, a line along the first row, and train sets shuttling all day.
#pragma once

#include <cstdint>

#include "engine/UrwBrdData.h"

namespace ramvel::bench {

struct TSynthSize {
  int32_t Stations = 20;
  int32_t Cars = 100;
  int32_t RailsPerLink = 1;  // rails in series between neighbouring stations
};

// Fills an empty board. Stations stand in rows of 20; every station but the last of a row is
// joined to the next one. Train set k shuttles between the stations of link k mod links from
// 04:30 to past 26:00, stopping at platform 1 one way and platform 2 the other.
void MakeSynthBoard(TBrdData& brd, const TSynthSize& size);

// Marks every station and rail as in view at 1 metre per pixel, as a view of the whole board.
void ShowWholeBoard(TBrdData& brd);

}  // namespace ramvel::bench
