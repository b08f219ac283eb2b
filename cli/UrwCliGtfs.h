// The GTFS commands of ramvel-cli: the whole board written as a feed (zip), and a rail route of a
// feed made into a new board.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ramvel::cli {

inline constexpr const char* kExportGtfsHelp =
    "ramvel-cli export-gtfs BOARD OUT.zip [--origin LAT,LON] [--agency-name NAME]\n"
    "                       [--agency-url URL] [--start YYYYMMDD] [--days NAME=DAYS]\n"
    "  Writes the board as a GTFS feed: every station a stop with one child stop per\n"
    "  platform (placed where its platform track lies), one route per line, one trip per\n"
    "  train and line (a train running over two lines is cut where it changes line; its trips\n"
    "  share the train set as block_id), the kind and the last station as trip_headsign\n"
    "  (\"快速 港南\"). Each timetable of the board is a service named after it (the board's\n"
    "  own: DIA_NAME= in Board.txt, default ダイヤ), running for 365 days from --start\n"
    "  (default 20260101): 平日 and names without 休日/土曜/日曜 Monday to Friday except\n"
    "  holidays, 土休日 Saturday, Sunday and Japanese public holidays. --days NAME=DAYS sets\n"
    "  the days of one timetable: seven 0/1 digits Monday to Sunday, H appended to run on\n"
    "  holidays (\"0000011H\"). Passes are kept, marked as not stopping. 回送 trains are left\n"
    "  out. The board's top-left corner lies at LAT,LON (default 35.0,139.0); the agency is\n"
    "  NAME (default the board's name) at URL (default https://example.org/). The same board\n"
    "  and options give the same bytes. The zip replaces OUT.zip only once it is complete.\n"
    "  Exit 2 when the board, a line or an argument cannot be used or the feed cannot be\n"
    "  written.\n"
    "  Example: ramvel-cli export-gtfs data/boards/Sample sample-gtfs.zip --origin 35.68,139.76\n";

inline constexpr const char* kImportGtfsHelp =
    "ramvel-cli import-gtfs FEED.zip\n"
    "  Lists the rail routes of the GTFS feed (route_type 1, 2, 12 or 100 to 117), one per\n"
    "  line: route_id, a tab, route_type, a tab, the route's name.\n"
    "ramvel-cli import-gtfs --new-board FOLDER FEED.zip --route ROUTE_ID [--date YYYYMMDD]\n"
    "                       [--turn MIN]\n"
    "  Makes a new board in FOLDER (missing or empty) from one rail route of the feed, as\n"
    "  import-oud --new-board does from an OuDia file: the route's stations (platforms merged\n"
    "  into their parent stations) in the order its trips visit them, and the trips running on\n"
    "  the date (calendar.txt and calendar_dates.txt; by default the day with the most trips) as\n"
    "  trains numbered by trip_short_name. Trips of one block_id run as one train set; other\n"
    "  trips are chained by turnaround (at least MIN minutes, default 5). The kind is taken\n"
    "  from the first word of trip_headsign when it is one of the six train types. Prints what\n"
    "  was read and left out, the stations and one line per train. Exit 1 when a train is\n"
    "  refused or the feed cannot be read, 2 when an argument cannot be used.\n"
    "  Example: ramvel-cli import-gtfs --new-board boards/Aoba feed.zip --route R1\n";

// args are the words after the command name; exit status as the help says.
int RunImportGtfs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// args: the board folder, the zip to write and options. Prints what the feed holds; 0 written,
// 2 refused with nothing written.
int RunExportGtfs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ramvel::cli
