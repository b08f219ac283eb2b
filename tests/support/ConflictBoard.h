// A board with one planted conflict of every kind the line check knows, for the tests that the
// command line check, the editor's problem list and the charts report the same, and that the
// editor refuses each of them at entry.
#pragma once

#include <cstdint>
#include <string>

#include "engine/UrwBrdData.h"

namespace ramvel::test {

// Stations of ConflictBoard: the line 本線 A-B-C-D-E (two-platform stations joined by two-track
// rails of 1188 m, one block per track), and X off the line, joined to A's side 0 by one track.
inline constexpr int32_t kCA = 1001, kCB = 2001, kCC = 3001, kCD = 4001, kCE = 5001, kCX = 9001;

// Which of the planted conflicts to leave out (to enter its second train through the editor).
enum TPlant : uint32_t {
  kPlantBlock = 1,     // 22 meets 21 head-on in the block A-B (track 1) 30055-30114
  kPlantTrack = 2,     // 51 and 41 both use C platform 2 31137-31315
  kPlantTurnout = 4,   // 71 crosses at E's turnout 1 while 61 comes in straight, slot 2133
  kPlantStand = 8,     // 91 comes in at B platform 1 at 33177, where set 1 stands for the night
  kPlantDupNo = 16,    // set 8 runs a train "41" too
  kPlantAll = 31,
};

// Fills brd (empty) with the sets and trains of the plants in `plants`; the stands and the first
// train of every pair are there whatever plants says. Sets are numbered 1..9 in the order of
// the plants: 21 set 1, 22 set 2, 41 set 3, 51 set 4, 61 set 5, 71 set 6, 91 set 7, the second
// "41" set 8. The current line is 本線.
void FillConflictBoard(TBrdData& brd, uint32_t plants = kPlantAll);

}  // namespace ramvel::test
