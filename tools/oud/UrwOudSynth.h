// A synthetic OuDia timetable of the shape of a busy through-running commuter line, for
// measuring and testing the import on realistic load: expresses that overtake locals at the
// passing stations, short-turning locals, peak headways of three minutes and a second,
// lighter timetable.
#pragma once

#include <cstdint>

#include "interop/UrwOudFile.h"

namespace ramvel {

struct TOudSynthShape {
  int32_t Stations = 40;
  int32_t Trains = 1700;      // about this many per weekday timetable (both directions)
  int32_t HolidayShare = 88;  // the weekend timetable's trains, per cent of the weekday's
  // Keep only the first this many trains of each timetable, by first departure (0: all); a cut
  // of the full day that stays a consistent timetable.
  int32_t Cut = 0;
};

// The timetable as a .oud2 document: stations 駅1..駅N (every fifth, and both ends, a passing
// station with platform tracks named 1番 and 2番 per direction), kinds 普通 and 急行, the
// timetables 平日 and 土休日. No two trains of a direction come within two minutes of each other
// at a station or overtake between stations; a local waits at a passing station for the express
// behind it.
TOudDoc MakeSynthOud(const TOudSynthShape& shape);

}  // namespace ramvel
