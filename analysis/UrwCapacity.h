// Line capacity by the compression method of UIC leaflet 406: per place of the line (a section
// between neighbouring stations, a station's tracks and turnouts) the trains of a time window are
// pushed, in timetable order and with their running times kept, as close behind each other as
// their booked blocking times allow; the compressed occupation time over the window length is
// the capacity consumption.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/UrwLineOcc.h"

namespace ramvel {

// Which of the leaflet's reference figures apply: lines dedicated to suburban traffic may be
// used 85 % in the peak hour and 70 % over the day, mixed lines 75 % and 60 %.
enum class TTrafficKind { kSuburban, kMixed };
// The reference figure in per cent: the peak-hour one for a window of at most one hour.
int32_t CapThreshold(TTrafficKind kind, int32_t windowSec);
// "近郊専用線" / "混合線".
const char* TrafficKindName(TTrafficKind kind);

// One train at one place: where it is in the timetable and how far compression moved it.
struct TCapTrain {
  int32_t Train = 0;  // index into TLineOcc::Trains
  int32_t Entry = 0;  // its first occupation there
  int32_t Exit = 0;   // the end of its last occupation there
  int32_t Shift = 0;  // seconds it moves earlier when compressed
};

struct TCapPlace {
  int32_t Place = 0;  // index into TLineOcc::Places
  int32_t Trains = 0;
  int32_t Compressed = 0;  // seconds from the first train's entry to the last release, compressed
  double Percent = 0;      // Compressed / window length × 100
  int32_t MinHeadway = -1; // between consecutive trains running the same way; -1 when none
  double MeanHeadway = -1;
  int32_t MinBuffer = -1;  // least time between one train's release of a resource and the next
                           // train's taking it; -1 when no two trains share one
  std::vector<TCapTrain> Paths;  // in timetable order
};

struct TCapResult {
  int32_t From = 0, To = 0;  // the window, seconds from 04:00
  std::vector<TCapPlace> Places;  // in line order
};

// The trains whose first occupation of a place falls in [from, to) are compressed there. Places
// no train uses in the window are left out.
TCapResult AnalyseCapacity(const TLineOcc& occ, int32_t from, int32_t to);

// The compressed paths of the sections: each train's run between the section's stations moved
// earlier by its shift there.
std::vector<TAnPath> CompressedPaths(const TLineOcc& occ, const TCapResult& cap);

// The first start and the last end of all occupations: the line's operating day.
void OccSpan(const TLineOcc& occ, int32_t& from, int32_t& to);

}  // namespace ramvel
