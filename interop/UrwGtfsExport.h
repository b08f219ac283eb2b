// The whole board as a GTFS (static) feed: stations and platforms as stops, lines as routes, each
// train cut into one trip per line it runs on, written as a zip archive.
#pragma once

#include <cstdint>
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

struct TGtfsOptions {
  // Where board metre (0, 0), the terrain's top-left corner, lies on the earth, in degrees.
  double OriginLat = 35.0;
  double OriginLon = 139.0;
  // First day of service, "YYYYMMDD"; empty: today (UTC). Service runs every day for 365 days.
  std::string StartDate;
  // GTFS requires a web address for the agency and the publisher; the board holds none.
  std::string AgencyUrl = "https://example.org/";
};

// What a feed holds, for the closing message.
struct TGtfsSummary {
  int32_t Stations = 0;
  int32_t Platforms = 0;
  int32_t Routes = 0;
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

// Builds every file of the feed from the board's stations and train sets and the given lines.
// Nothing is written; the board is only read.
TStatus BuildGtfsFeed(const TBrdData& brd, const std::vector<TGtfsLine>& lines,
                      const TGtfsOptions& opt, TGtfsFeed& feed);

// Writes the feed as a zip at path: first under a temporary name beside it, renamed into place
// only when complete, so a failure leaves any earlier file at path as it was.
TStatus WriteGtfsZip(const TGtfsFeed& feed, const std::string& path);

// The lines of the board folder, the feed and the zip in one call.
TStatus ExportGtfs(const TBrdData& brd, const std::string& folder, const TGtfsOptions& opt,
                   const std::string& path, TGtfsSummary& summary);

// The closing message of an export, in Japanese, one fact per line.
std::string GtfsSummaryText(const TGtfsSummary& s, const std::string& path);

}  // namespace ramvel
