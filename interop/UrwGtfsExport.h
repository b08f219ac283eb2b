// The whole board as a GTFS (static) feed: stations and platforms as stops, lines as routes, each
// train cut into one trip per line it runs on, written as a zip archive.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/UrwBrdData.h"
#include "foundation/UrwStatus.h"

namespace ramvel {

// A line of the board: its name and its station ids in line order (a ring repeats its first).
struct TGtfsLine {
  std::string Name;
  std::vector<int32_t> Stas;
};

// The days a service runs: Monday..Sunday, and whether it runs on Japanese public holidays
// (on a holiday it runs exactly when Holidays is set, whatever the weekday).
struct TGtfsDays {
  bool Week[7] = {true, true, true, true, true, false, false};
  bool Holidays = false;
};

// "1111100" (Monday first, 1 runs) with "H" appended for holidays; an error naming the text.
TStatus ParseGtfsDays(std::string_view text, TGtfsDays& days);
std::string GtfsDaysText(const TGtfsDays& days);
// The days a timetable of that name runs unless told: 土休日 (or a name with 休日 or 土日)
// Saturday, Sunday and holidays; 土曜 Saturday; 日曜 Sunday and holidays; any other 平日.
TGtfsDays DefaultGtfsDays(std::string_view name);
// Whether the day is a Japanese public holiday (the national holiday law as in force since 2020,
// with substitute and in-between holidays; equinoxes by the usual formula, 1980..2099).
bool IsJpHoliday(std::chrono::sys_days day);

inline constexpr const char* kGtfsDefaultStart = "20260101";

struct TGtfsOptions {
  // Where board metre (0, 0), the terrain's top-left corner, lies on the earth, in degrees.
  double OriginLat = 35.0;
  double OriginLon = 139.0;
  // First day of service, "YYYYMMDD". Service runs for 365 days from it. A fixed default, so
  // that one board always gives the same feed.
  std::string StartDate = kGtfsDefaultStart;
  std::string AgencyName;  // empty: the board's name
  // GTFS requires a web address for the agency and the publisher; the board holds none.
  std::string AgencyUrl = "https://example.org/";
  // Days by timetable name; a timetable not listed runs on DefaultGtfsDays of its name.
  std::map<std::string, TGtfsDays> Days;
};

// One timetable of the board: its name (the feed's service_id) and its train sets.
struct TGtfsTimetable {
  std::string Name;
  std::vector<const TCarObj*> Cars;
};

// What a feed holds, for the closing message.
struct TGtfsSummary {
  int32_t Stations = 0;
  int32_t Platforms = 0;
  int32_t Routes = 0;
  int32_t Services = 0;
  int32_t Trips = 0;
  int32_t StopTimes = 0;
  int32_t Deadheads = 0;  // 回送 trains, left out: they carry no passengers
  int32_t OffLine = 0;    // sections between two stations of no common line, left out
};

struct TGtfsFeed {
  std::vector<std::pair<std::string, std::string>> Files;  // file name -> CSV text (UTF-8)
  TGtfsSummary Summary;
};

// The lines of the board folder (every line/*.txt), sorted by name. A file that cannot be read
// fails the whole read with its message.
TStatus ReadGtfsLines(const std::string& folder, std::vector<TGtfsLine>& lines);

// "35.681,139.767" (a full-width comma or digits are accepted) into an origin within the ranges
// a feed allows; an error naming the text otherwise.
TStatus ParseGtfsOrigin(std::string_view text, double& lat, double& lon);

// Seconds from 04:00 as GTFS "HH:MM:SS"; hours go on past 23 for service after midnight.
std::string GtfsTime(int32_t t);

// Builds every file of the feed from the board's stations, the given lines and timetables (one
// service each). Nothing is written; the board is only read.
TStatus BuildGtfsFeed(const TBrdData& brd, const std::vector<TGtfsLine>& lines,
                      const std::vector<TGtfsTimetable>& timetables, const TGtfsOptions& opt,
                      TGtfsFeed& feed);

// Every timetable of the board, its own first, each with its train sets (valid while the board is
// unchanged).
std::vector<TGtfsTimetable> GtfsTimetables(const TBrdData& brd);

// Writes the feed as a zip at path: first under a temporary name beside it, renamed into place
// only when complete, so a failure leaves any earlier file at path as it was.
TStatus WriteGtfsZip(const TGtfsFeed& feed, const std::string& path);

// The lines and timetables of the board folder, the feed and the zip in one call.
TStatus ExportGtfs(const TBrdData& brd, const std::string& folder, const TGtfsOptions& opt,
                   const std::string& path, TGtfsSummary& summary);

// The closing message of an export, in Japanese, one fact per line.
std::string GtfsSummaryText(const TGtfsSummary& s, const std::string& path);

}  // namespace ramvel
