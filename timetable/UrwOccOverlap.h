// Overlaps in rebuilt occupancy as values: two different train sets holding one block, station
// track or turnout at once, with the time span and both labels. The line check reports the same
// overlaps as text; the time-space diagram and the platform chart draw them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

struct TOverlap {
  int32_t From = 0;            // seconds from 04:00, first second held by both
  int32_t To = 0;              // end of the common span
  std::string LabelA, LabelB;  // occupant labels as booked (train number or "[n]")
};

// The train set behind an occupancy label: "[n]" for a stabled set, else the train set running
// the train number before the first ","; 0 when none is known.
int32_t CarOfOccLabel(TBrdData& brd, const std::string& label);
// The train number shown for a label: the text before the first ",".
std::string OccLabelTrain(const std::string& label);

// Overlaps among records kept in start order (an occupancy table's items).
std::vector<TOverlap> TableOverlaps(TBrdData& brd, const std::vector<TTmTbl>& items);
// Overlaps of one turnout (1-based number pt) set to different routes at once.
std::vector<TOverlap> TurnoutOverlaps(TBrdData& brd, const std::vector<TPtUse>& uses, int32_t pt);

}  // namespace ramvel
