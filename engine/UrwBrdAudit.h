// The occupancy audit: after the occupancy of a line has been rebuilt, every place where two
// different train sets hold one block, one station track or one turnout (on different routes)
// at the same time. The editor prevents these while entering; files edited by hand or written
// by other programs can hold them.
#pragma once

#include <string>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

// One line per overlap, in board order: blocks, then stations' tracks and turnouts.
std::vector<std::string> AuditOccupancy(TBrdData& brd);

}  // namespace ramvel
