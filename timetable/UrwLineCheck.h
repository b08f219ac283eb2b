// The check of one line's timetable as a whole: its occupancy rebuilt from every train, then the
// train sets that must be moved empty, the sections without a route over the line's blocks and
// the overlaps of different train sets in blocks, station tracks and turnouts.
#pragma once

#include <string>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

// The problems of the board's current line, one text each; empty when there are none. Makes the
// line's blocks and rebuilds its occupancy.
std::vector<std::string> CheckLineProblems(TBrdData& brd);

}  // namespace ramvel
