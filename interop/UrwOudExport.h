// A line's timetable as an OuDia (.oud) or OuDiaSecond (.oud2) document and file.
#pragma once

#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "interop/UrwOudFile.h"

namespace ramvel {

// The six train types of the board in the order of the written kinds (Syubetsu 0..5).
const std::vector<std::string>& OudKindNames();

// The platform numbers of a station, ascending; a track of a .oud2 is a position in this list.
std::vector<int32_t> StaPlatforms(const TStaObj& sta);

// The note written with every train: its set's cars and top speed ("6両編成 100km/h"), which an
// import reads back for the train sets it makes; the train's own note (備考) follows after a space.
std::string CarNote(int32_t nCar, int32_t kmh);

// The document of the board's current line (SetLine and LoadLine done): its stations in line
// order (a ring repeats its first station at the end), the board's kinds, one timetable with the
// down trains under Kudari and the up trains under Nobori; the line's and the timetable's notes
// as their comments. Times are clock times with the day
// starting at 4:00. summary receives one Japanese line per thing the format could not hold.
TOudDoc OudFromLine(TBrdData& brd, bool second, std::vector<std::string>& summary);

// Writes the current line to path (.oud2 told by the extension) through a temporary file, so a
// failed write leaves an old file whole. summary as for OudFromLine.
TStatus ExportOudFile(TBrdData& brd, const std::string& path, std::vector<std::string>& summary);

}  // namespace ramvel
