// GTFS feeds for tests: the scenario feed written by hand, and zip archives of files.
#pragma once

#include <map>
#include <string>

#include "TestSupport.h"

namespace ramvel::test {

using TGtfsFiles = std::map<std::string, std::string>;  // file name -> CSV text

// Route R1 港線 (rail) over 北 (a parent station with platforms 1 and 2), 中 (a stop of its
// own) and 南 (a parent with one platform), 0.009 degrees of latitude apart; route R2 a bus.
// Service WD runs Monday to Friday of 2026 but not on 2026-01-06, WE Saturday and Sunday, EX
// only on 2026-01-05. Trips of R1 on WD: block B1 1 (北 07:00 - 南 07:10) and 2 (南 07:30 - 北
// 07:40); block B2 4 (南 06:30 - 北 06:45) and 3 (快速 はまかぜ, 北 08:00 - 南 08:07, passing
// 中); on EX an up trip without a short name and with a long trip_id (南 09:00 - 北 09:12); on
// WE 5 (block B1). Chained by turnaround instead, one set would run them all. stops.txt starts
// with a byte-order mark; routes.txt holds a quoted field with a line break.
TGtfsFiles ScenarioFeed();

// Writes the files as a zip archive at path (failing the test when it cannot).
void WriteGtfsZip(const std::string& path, const TGtfsFiles& files);
// The members of a zip archive by name; empty when it cannot be read.
TGtfsFiles ReadGtfsZip(const std::string& path);

}  // namespace ramvel::test
