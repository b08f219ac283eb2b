// Small track networks for engine tests: a standard two-platform station with a crossover at
// each end, placed on a board and joined by rails.
#pragma once

#include <cstdint>
#include <string>

#include "engine/UrwBrdData.h"

namespace ramvel::test {

// A station with two entries per side (v = 0 and v = 4), platform 1 on v = 0 and platform 2 on
// v = 4 (u 514..674), and at each end a crossover turnout whose route 1 runs both tracks
// straight and route 2 crosses from v = 0 to v = 4:
//   side 0 ... R1/R2 leads, R3/R4, turnout 1 (segments 11, 12, 13), R5/R6, H1/H2,
//   R7/R8, turnout 2 (21, 22, 23), R9/R10, R11/R12 leads ... side 1.
TStaObj TwoPlatformStation(int32_t id, const std::string& name);

// A passing loop: one entry per side (v = 0); a turnout at each end leads the through track
// past platform 1 (v = 0) and the loop past platform 2 (v = 4).
TStaObj PassingLoopStation(int32_t id, const std::string& name);

// A terminus with its two entries on one side only (side 0 or 1): the half of
// TwoPlatformStation from that side's leads through its crossover to the two platforms.
TStaObj TerminalStation(int32_t id, const std::string& name, int32_t side);

// A single-track terminus with one platform and its one entry on side 0 or 1.
TStaObj SingleTerminal(int32_t id, const std::string& name, int32_t side);

// Adds station `sta` to the board and places it along the x axis from grid point (gx, gy)
// eleven cells to the right. Returns the board's station.
TStaObj* PutStation(TBrdData& brd, TStaObj sta, int32_t gx, int32_t gy);

}  // namespace ramvel::test
