// Small lines with hand-timed trains for the capacity and delay tests. Every train set has 4 cars
// at 72 km/h (20 m/s): a stop's arriving half is booked 63 s, its leaving half 55 s, and a rail
// of 1188 m is one block of 59 s, so a run between neighbouring stops takes 55 + 59 + 63 = 177 s.
#pragma once

#include "engine/UrwBrdData.h"

namespace ramvel::test {

inline constexpr int32_t kSA = 1001, kSB = 2001, kSC = 3001;

// A - B - C on single track, every station a passing loop (platform 1 on the through track,
// platform 2 on the loop; both reach both ends over one turnout at each end). Train "1" (set 1) leaves A platform 1 at
// 1000, stands at B platform 1 1177-1300, ends at C platform 1 at 1477. Train "2" (set 2)
// follows from A platform 2 at 1100, stands at B platform 2 1277-1600, ends at C platform 2 at
// 1777.
void FillFollowLine(TBrdData& brd);

// A - L - B on single track, L a passing loop (through track platform 1, loop platform 2).
// Train "D" leaves A platform 1 at 1000, stands at L platform 1 1177-1300, ends at B platform 1
// at 1477; train "U" leaves B platform 1 at 1100, waits in the loop at L 1277-1400 and ends at A
// platform 1 at 1577.
void FillLoopLine(TBrdData& brd);

}  // namespace ramvel::test
