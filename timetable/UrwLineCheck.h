// The check of one line's timetable as a whole: its blocks made and its occupancy rebuilt from
// every train, then the audit of the line (overlaps, standing sets met, sections without a
// route, train numbers of two sets).
#pragma once

#include <string>
#include <vector>

#include "engine/UrwBrdAudit.h"
#include "engine/UrwBrdData.h"

namespace ramvel {

// The problems of the board's current line; empty when there are none. Makes the line's blocks
// and rebuilds its occupancy.
std::vector<TLineProblem> CheckLine(TBrdData& brd);
// The same as the lines of ramvel-cli check.
std::vector<std::string> CheckLineProblems(TBrdData& brd);

}  // namespace ramvel
