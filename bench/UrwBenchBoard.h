// Synthetic boards of a given size for the benchmarks: rows of two-platform stations joined by
// double-track rails, a line along the first row, and train sets shuttling all day.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/UrwBrdData.h"

namespace ramvel::bench {

struct TSynthSize {
  int32_t Stations = 20;
  int32_t Cars = 100;
  int32_t RailsPerLink = 1;  // rails in series between neighbouring stations
  int32_t PerRow = 20;       // stations per row; the line runs along the first row
  int32_t TrainsPerCar = 0;  // trains of each train set; 0: shuttles all day
  int32_t Layover = 300;     // seconds standing between two trains
};

// Fills an empty board. Stations stand in rows; every station but the last of a row is joined
// to the next one. Train set k shuttles between the stations of link k mod links from about
// 04:30, at platform 1 both ways.
void MakeSynthBoard(TBrdData& brd, const TSynthSize& size);

// Station ids of the two-station line.
inline constexpr int32_t kLineA = 1001, kLineB = 2001;

// Two two-platform stations A and B joined by a single track, the line 本線 A - B with its
// blocks, and one train set with no trains standing at A/1, returned in car.
std::unique_ptr<TBrdData> MakeTwoStationLine(TCarObj*& car);

// Marks every station and rail as in view at 1 metre per pixel, as a view of the whole board.
void ShowWholeBoard(TBrdData& brd);

}  // namespace ramvel::bench
