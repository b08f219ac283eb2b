// The "export-gtfs" command of ramvel-cli: the whole board as a GTFS feed (zip).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ramvel::cli {

inline constexpr const char* kExportGtfsHelp =
    "ramvel-cli export-gtfs BOARD OUT.zip [--origin LAT,LON]\n"
    "  Writes the board as a GTFS feed: every station a stop with one child stop per\n"
    "  platform, one route per line, one trip per train and line (a train running over two\n"
    "  lines is cut where it changes line; its trips share the train set as block_id), every\n"
    "  day of service for a year from today. Passes are kept, marked as not stopping. 回送\n"
    "  trains are left out. The board's top-left corner lies at LAT,LON (default\n"
    "  35.0,139.0). The zip replaces OUT.zip only once it is complete. Exit 2 when the board,\n"
    "  a line or an argument cannot be used or the feed cannot be written.\n"
    "  Example: ramvel-cli export-gtfs data/boards/Sample sample-gtfs.zip --origin 35.68,139.76\n";

// args: the board folder, the zip to write and options. Prints what the feed holds; 0 written,
// 2 refused with nothing written.
int RunExportGtfs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ramvel::cli
