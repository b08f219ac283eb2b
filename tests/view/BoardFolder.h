// A small board written to disk for the tests of loading and rendering.
#pragma once

#include <string>

#include "engine/UrwBrdData.h"

namespace ramvel::test {

// The board of WriteSmallBoard, in memory: a terrain of 40 x 10 dots with sea dot (8, 1) and
// dot (9, 1) in an odd colour; stations A (1001) from dot (2, 3) and B (2001) from dot (24, 3)
// joined by a two-track rail; train set 1 (4 cars, 72 km/h, colour 0x00336699) stabled at A
// platform 1 that runs train "101,普通" at 06:00 to B platform 1, arriving 06:02:59. The view
// is stored at (0, 0) and 9 m per pixel.
void FillSmallBoard(TBrdData& brd);
// Writes it with its Land.bmp into root/name and returns the folder.
std::string WriteSmallBoard(const std::string& root, const std::string& name);

}  // namespace ramvel::test
