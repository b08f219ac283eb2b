// One rail route of a GTFS feed as a timetable document: its stations in line order, its trips
// of one service day as trains and its blocks as train sets, ready for the OuDia new-board path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interop/UrwGtfsFeed.h"
#include "interop/UrwOudFile.h"

namespace ramvel {

// Limits on what one route may bring in, checked while reading.
inline constexpr int32_t kMaxGtfsRouteTrips = 20000;
inline constexpr int32_t kMaxGtfsRouteStopTimes = 1000000;
inline constexpr int32_t kMaxGtfsRouteStations = 500;

// A route offered for import.
struct TGtfsRoute {
  std::string Id;
  std::string Name;  // route_long_name, else route_short_name, else the id
  int32_t Type = 0;
};

// Whether a route_type is rail: 1 subway, 2 rail, 12 monorail, 100..117 the extended rail types.
bool IsGtfsRailType(int32_t type);

// The rail routes of the feed in file order.
TStatus ListGtfsRailRoutes(TGtfsArchive& feed, std::vector<TGtfsRoute>& routes);

struct TGtfsImportOptions {
  std::string RouteId;
  // Service day "YYYYMMDD"; empty: the day on which the most trips of the route run (the
  // earliest such day).
  std::string Date;
};

// What the conversion chose and left out, for the report.
struct TGtfsImportInfo {
  std::string Date;  // the service day read
  int32_t Trips = 0;  // trips of the route running that day
  std::vector<std::string> Notes;

  // "GTFS 路線 R1（本線）: 20260105 の便 120 本" and the notes, one line each.
  std::vector<std::string> Lines(const TGtfsImportOptions& options, const TOudDoc& doc) const;
};

// Builds the document of one route on one day. The stations are the route's stops merged into
// their parent stations, in the order the trips visit them (stops of trips that skip or branch
// are fitted in between their neighbours); TOudStation::Km is the distance along the line from
// the first station with coordinates, over straight legs between stations that have them. A trip
// becomes a train (trip_short_name as its number, else its trip_id when that is a short
// train number, else "G" and a running number); its block_id becomes TOudTrain::Block. The kind
// is the first word of trip_headsign when it names one of the six train types (the words after
// it, before the destination, become the train's name), else 普通. Trips the board cannot hold
// (visiting a station twice, running outside 04:00..27:00, without times at either end) are
// left out with a note. Fails, naming the file and line, on a damaged feed, or when the route is
// not a rail route of the feed, or has fewer than two stations that day.
TStatus ReadGtfsRoute(TGtfsArchive& feed, const TGtfsImportOptions& options, TOudDoc& doc,
                      TGtfsImportInfo& info);

// Checks "YYYYMMDD" as a date of the calendar.
bool IsGtfsDate(const std::string& text);

}  // namespace ramvel
