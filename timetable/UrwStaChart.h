// The platform occupancy chart of a station (番線使用図) as geometry: one row per platform track
// that has bookings (by number), one bar per booking, and the overlaps of different train sets
// on a track or a turnout; a plain track or turnout gets a row of its own only where such an
// overlap lies on it. Drawing is left to the window layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

struct TChartBar {
  int32_t From = 0, To = 0;  // seconds from 04:00
  std::string Label;         // the occupant label as booked: a train number, or "[n]"
  bool Stabled = false;      // a train set standing outside its trains ("[n]")
};

struct TChartRow {
  std::string Name;             // "1番ホーム", "線路3" or "分岐器2"
  uint8_t Kind = kRailHome;     // kRailHome, kRailPlain, or kRailPt for a turnout's row
  int32_t No = 0;               // platform number, plain track number, or turnout number
  std::vector<TChartBar> Bars;  // in start order; one bar per stay of an occupant
};

struct TChartConflict {
  int32_t Row = 0;           // index into Rows
  int32_t From = 0, To = 0;  // the span held by both
  std::string TrA, TrB;      // train numbers or "[n]"
};

struct TStaChart {
  std::string StaName;
  int32_t StaId = 0;
  std::vector<TChartRow> Rows;    // shown: platforms, then plain tracks and turnouts in conflict
  std::vector<TChartRow> Tracks;  // every booked platform and plain track, for merging
  std::vector<TPtUse> PtUses;     // the turnout settings booked, kept to find their overlaps
  std::vector<TChartConflict> Conflicts;
};

// The chart of the occupancy booked now at the station (after a line's occupancy was rebuilt).
TStaChart MakeStaChart(TBrdData& brd, const TStaObj& sta);
// Adds the bookings of another chart of the same station (made for another line); a booking
// present in both is kept once. The conflicts are found again over the merged bookings.
void MergeStaChart(TBrdData& brd, TStaChart& into, const TStaChart& more);
// The chart of a station over every line that passes it: for each named line of the board
// folder that holds the station, the line is loaded, its occupancy rebuilt and its bookings
// merged. Leaves the last of those lines as the board's current line.
TStatus MakeStaChartAllLines(TBrdData& brd, const std::string& folder,
                             const std::vector<std::string>& lines, int32_t staId, TStaChart& out);

}  // namespace ramvel
