// A GTFS route as a timetable document: reading the route's trips, service days, stop times and
// stops, and turning them into stations in line order and trains.
#include "interop/UrwGtfsImport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "foundation/UrwCmnDef.h"
#include "foundation/UrwTextRec.h"
#include "interop/UrwOudExport.h"

namespace ramvel {

namespace {

namespace chr = std::chrono;

constexpr int32_t kDayStartSec = 4 * 3600;  // the board's day runs 04:00..27:00
constexpr int32_t kDayEndSec = 27 * 3600;
constexpr int32_t kMaxScanDays = 3 * 366;   // days searched for the busiest service day
constexpr size_t kMaxTrainNoBytes = 16;

std::string Where(const char* file, const TGtfsRecord& r) {
  return std::string(file) + " の " + IntText(r.Line) + " 行目";
}

// ---- Dates --------------------------------------------------------------------------------------

bool ParseDay(const std::string& text, chr::sys_days& d) {
  if (text.size() != 8 || !std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
      })) {
    return false;
  }
  const int n = std::atoi(text.c_str());
  const chr::year_month_day ymd{chr::year(n / 10000), chr::month(static_cast<unsigned>(n / 100 % 100)),
                                chr::day(static_cast<unsigned>(n % 100))};
  if (!ymd.ok()) return false;
  d = chr::sys_days(ymd);
  return true;
}

std::string DayText(chr::sys_days d) {
  const chr::year_month_day ymd(d);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return buf;
}

// The days one service runs: its weekly pattern over a range, and the exceptions.
struct TService {
  bool Weekly = false;
  bool Days[7] = {};  // Monday first
  chr::sys_days From{}, To{};
  std::set<chr::sys_days> Added, Removed;

  bool RunsOn(chr::sys_days d) const {
    if (Removed.count(d) > 0) return false;
    if (Added.count(d) > 0) return true;
    const unsigned wd = chr::weekday(d).iso_encoding();  // 1 Monday .. 7 Sunday
    return Weekly && d >= From && d <= To && Days[wd - 1];
  }
};

bool UsableTrainNo(const std::string& no);

// ---- What is read -------------------------------------------------------------------------------

struct TTrip {
  std::string Service, ShortName, Headsign, Block, Direction;
};

struct TStopTime {
  int32_t Seq = 0;
  int32_t Arr = -1, Dep = -1;  // seconds after midnight of the service day; -1 none
  std::string Stop;
  bool Pass = false;  // neither picks up nor sets down
  int64_t Line = 0;
};

struct TStop {
  std::string Name, Parent, Platform;
  int32_t Type = 0;
  double Lat = 0, Lon = 0;
  bool HasPos = false;
};

// One visit of a trip at a station, after the stops are merged into stations.
struct TVisit {
  size_t Sta = 0;  // index into the stations met
  int32_t Arr = -1, Dep = -1;
  bool Pass = false;
  std::string Platform;
};

class TRouteReader {
 public:
  TRouteReader(TGtfsArchive& feed, const TGtfsImportOptions& opt, TGtfsImportInfo& info)
      : feed_(feed), opt_(opt), info_(info) {}
  TStatus Read(TOudDoc& doc);

 private:
  TGtfsArchive& feed_;
  const TGtfsImportOptions& opt_;
  TGtfsImportInfo& info_;
  TGtfsRoute route_;
  std::map<std::string, TTrip> trips_;  // the route's trips by id
  std::map<std::string, TService> services_;
  std::map<std::string, std::vector<TStopTime>> times_;  // the day's trips
  std::unordered_map<std::string, TStop> stops_;
  // Stations met, in first-met order, by key: the parent's stop_id, or the stop's own.
  std::vector<std::string> staKeys_;
  std::unordered_map<std::string, size_t> staIndex_;  // key -> index into staKeys_
  std::map<std::string, std::vector<TVisit>> visits_;  // by trip id
  std::set<std::string> usedNos_;                     // train numbers given
  int32_t derived_ = 0, renamed_ = 0, serial_ = 0;    // numbers made up, numbers changed
  // The station a ring route starts and ends at (its trips' first and last stop), and its second
  // place at the line's end; npos when the route is no ring.
  size_t ringSta_ = std::string::npos, ringEnd_ = std::string::npos;

  TStatus Route();
  TStatus Trips();
  TStatus Calendar();
  TStatus CalendarDates();
  TStatus ChooseDay();
  TStatus StopTimes();
  TStatus Frequencies();
  TStatus Stops();
  TStatus Visits();
  std::vector<size_t> LineOrder();
  void CloseRing(std::vector<size_t>& order);
  std::vector<size_t> TripSlots(const std::vector<TVisit>& v, const std::vector<size_t>& slotOf,
                                size_t n) const;
  void Orient(std::vector<size_t>& order) const;
  void Fill(const std::vector<size_t>& order, TOudDoc& doc);
  void FillStations(const std::vector<size_t>& order, TOudDoc& doc) const;
  std::string TrainNo(const std::string& id, const TTrip& trip);
  TOudTrain MakeTrain(const std::string& id, const std::vector<TVisit>& v,
                      const std::vector<size_t>& slots, TOudDoc& doc);
};

TStatus TRouteReader::Route() {
  bool found = false;
  const TStatus st = feed_.ReadTable(
      "routes.txt",
      {{"route_id", true}, {"route_short_name"}, {"route_long_name"}, {"route_type", true}}, true,
      [&](const TGtfsRecord& r) {
        if (r.F[0] != opt_.RouteId) return TStatus::Ok();
        found = true;
        route_.Id = r.F[0];
        route_.Name = !r.F[2].empty() ? r.F[2] : !r.F[1].empty() ? r.F[1] : r.F[0];
        if (!ParseInt(r.F[3], route_.Type)) {
          return TStatus::Error(Where("routes.txt", r) + ": route_type " + r.F[3] +
                                " は数ではありません");
        }
        return TStatus::Ok();
      });
  if (!st) return st;
  if (!found) return TStatus::Error("路線 " + opt_.RouteId + " が routes.txt にありません");
  if (!IsGtfsRailType(route_.Type)) {
    return TStatus::Error("路線 " + opt_.RouteId + " は鉄道ではありません（route_type " +
                          IntText(route_.Type) + "）");
  }
  return TStatus::Ok();
}

TStatus TRouteReader::Trips() {
  const TStatus st = feed_.ReadTable(
      "trips.txt",
      {{"route_id", true}, {"service_id", true}, {"trip_id", true}, {"trip_short_name"},
       {"trip_headsign"}, {"block_id"}, {"direction_id"}},
      true, [&](const TGtfsRecord& r) {
        if (r.F[0] != route_.Id) return TStatus::Ok();
        if (r.F[2].empty()) return TStatus::Error(Where("trips.txt", r) + ": trip_id が空です");
        if (trips_.size() >= static_cast<size_t>(kMaxGtfsRouteTrips)) {
          return TStatus::Error(Where("trips.txt", r) + ": 路線の便が多すぎます（上限 " +
                                IntText(kMaxGtfsRouteTrips) + "）");
        }
        if (!trips_.emplace(r.F[2], TTrip{r.F[1], r.F[3], r.F[4], r.F[5], r.F[6]}).second) {
          return TStatus::Error(Where("trips.txt", r) + ": trip_id " + r.F[2] + " が2度あります");
        }
        services_[r.F[1]];
        return TStatus::Ok();
      });
  if (st && trips_.empty()) return TStatus::Error("路線 " + route_.Id + " の便がありません");
  return st;
}

TStatus TRouteReader::Calendar() {
  if (!feed_.Has("calendar.txt") && !feed_.Has("calendar_dates.txt")) {
    return TStatus::Error("calendar.txt も calendar_dates.txt もありません");
  }
  static const char* const kDays[7] = {"monday", "tuesday",  "wednesday", "thursday",
                                       "friday", "saturday", "sunday"};
  std::vector<TGtfsCol> cols{{"service_id", true}, {"start_date", true}, {"end_date", true}};
  for (const char* d : kDays) cols.push_back({d, true});
  return feed_.ReadTable("calendar.txt", cols, false, [&](const TGtfsRecord& r) {
    const auto it = services_.find(r.F[0]);
    if (it == services_.end()) return TStatus::Ok();
    TService& s = it->second;
    if (!ParseDay(r.F[1], s.From) || !ParseDay(r.F[2], s.To)) {
      return TStatus::Error(Where("calendar.txt", r) + ": start_date または end_date が日付ではありません");
    }
    for (int k = 0; k < 7; ++k) {
      if (r.F[3 + k] != "0" && r.F[3 + k] != "1") {
        return TStatus::Error(Where("calendar.txt", r) + ": " + kDays[k] + " は 0 か 1 です");
      }
      s.Days[k] = r.F[3 + k] == "1";
    }
    s.Weekly = true;
    return TStatus::Ok();
  });
}

TStatus TRouteReader::CalendarDates() {
  return feed_.ReadTable(
      "calendar_dates.txt", {{"service_id", true}, {"date", true}, {"exception_type", true}}, false,
      [&](const TGtfsRecord& r) {
        const auto it = services_.find(r.F[0]);
        if (it == services_.end()) return TStatus::Ok();
        chr::sys_days d;
        if (!ParseDay(r.F[1], d) || (r.F[2] != "1" && r.F[2] != "2")) {
          return TStatus::Error(Where("calendar_dates.txt", r) +
                                ": date は YYYYMMDD、exception_type は 1 か 2 です");
        }
        if (it->second.Added.size() + it->second.Removed.size() > 100000) {
          return TStatus::Error(Where("calendar_dates.txt", r) + ": 例外の日が多すぎます");
        }
        (r.F[2] == "1" ? it->second.Added : it->second.Removed).insert(d);
        return TStatus::Ok();
      });
}

// The given day, or the earliest of the days on which the most of the route's trips run.
TStatus TRouteReader::ChooseDay() {
  std::map<std::string, int32_t> perService;
  for (const auto& [id, t] : trips_) ++perService[t.Service];
  chr::sys_days day{};
  if (!opt_.Date.empty()) {
    if (!ParseDay(opt_.Date, day)) {
      return TStatus::Error("日付 " + opt_.Date + " は YYYYMMDD 形式の日付ではありません");
    }
  } else {
    std::set<chr::sys_days> firsts;
    for (const auto& [id, s] : services_) {
      if (s.Weekly) firsts.insert(s.From);
      if (!s.Added.empty()) firsts.insert(*s.Added.begin());
    }
    if (firsts.empty()) return TStatus::Error("路線 " + route_.Id + " の便が走る日がありません");
    int32_t best = -1;
    for (chr::sys_days d = *firsts.begin(); d < *firsts.begin() + chr::days(kMaxScanDays);
         d += chr::days(1)) {
      int32_t n = 0;
      for (const auto& [id, s] : services_) n += s.RunsOn(d) ? perService[id] : 0;
      if (n > best) {
        best = n;
        day = d;
      }
    }
  }
  info_.Date = DayText(day);
  for (const auto& [id, t] : trips_) {
    if (services_[t.Service].RunsOn(day)) times_[id];
  }
  info_.Trips = static_cast<int32_t>(times_.size());
  if (times_.empty()) {
    return TStatus::Error(info_.Date + " に走る路線 " + route_.Id + " の便がありません");
  }
  return TStatus::Ok();
}

TStatus TRouteReader::StopTimes() {
  int32_t count = 0;
  return feed_.ReadTable(
      "stop_times.txt",
      {{"trip_id", true}, {"arrival_time"}, {"departure_time"}, {"stop_id", true},
       {"stop_sequence", true}, {"pickup_type"}, {"drop_off_type"}},
      true, [&](const TGtfsRecord& r) {
        const auto it = times_.find(r.F[0]);
        if (it == times_.end()) return TStatus::Ok();
        if (++count > kMaxGtfsRouteStopTimes) {
          return TStatus::Error(Where("stop_times.txt", r) + ": 停車時刻が多すぎます");
        }
        TStopTime s;
        s.Line = r.Line;
        s.Stop = r.F[3];
        const bool timesOk = (r.F[1].empty() || ParseGtfsTime(r.F[1], s.Arr)) &&
                             (r.F[2].empty() || ParseGtfsTime(r.F[2], s.Dep));
        if (!timesOk || !ParseInt(r.F[4], s.Seq) || s.Seq < 0) {
          return TStatus::Error(Where("stop_times.txt", r) +
                                ": 時刻は HH:MM:SS、stop_sequence は 0 以上の整数です");
        }
        s.Pass = r.F[5] == "1" && r.F[6] == "1";
        it->second.push_back(std::move(s));
        return TStatus::Ok();
      });
}

// Trips of frequencies.txt run every headway_secs from start_time until before end_time; their
// stop_times give only the times between the stops. Each run becomes a trip of its own, numbered
// after the trip with "-1", "-2", ...; exact_times 0 (times only approximate) gets the same
// times, with a note. The trip as stop_times lists it does not run by itself.
TStatus TRouteReader::Frequencies() {
  if (!feed_.Has("frequencies.txt")) return TStatus::Ok();
  struct TRun {
    int32_t From = 0, To = 0, Every = 0;
    bool Exact = false;
  };
  std::map<std::string, std::vector<TRun>> runs;
  size_t total = times_.size();
  const TStatus st = feed_.ReadTable(
      "frequencies.txt",
      {{"trip_id", true}, {"start_time", true}, {"end_time", true}, {"headway_secs", true},
       {"exact_times"}},
      true, [&](const TGtfsRecord& r) {
        if (times_.count(r.F[0]) == 0) return TStatus::Ok();
        TRun run;
        run.Exact = r.F[4] == "1";
        if (!ParseGtfsTime(r.F[1], run.From) || !ParseGtfsTime(r.F[2], run.To) ||
            !ParseInt(r.F[3], run.Every) || run.Every <= 0 || run.To <= run.From ||
            (!r.F[4].empty() && r.F[4] != "0" && r.F[4] != "1")) {
          return TStatus::Error(Where("frequencies.txt", r) +
                                ": start_time < end_time（HH:MM:SS）、headway_secs は 1 以上、"
                                "exact_times は 0 か 1 です");
        }
        total += static_cast<size_t>((run.To - run.From + run.Every - 1) / run.Every);
        if (total > static_cast<size_t>(kMaxGtfsRouteTrips)) {
          return TStatus::Error(Where("frequencies.txt", r) + ": 運行間隔から作る便が多すぎます（上限 " +
                                IntText(kMaxGtfsRouteTrips) + "）");
        }
        runs[r.F[0]].push_back(run);
        return TStatus::Ok();
      });
  if (!st) return st;
  int32_t approximate = 0, made = 0;
  size_t stopTimes = 0;
  for (const auto& [id, list] : times_) stopTimes += list.size();
  for (const auto& [id, list] : runs) {
    std::vector<TStopTime> pattern = std::move(times_.at(id));
    times_.erase(id);
    if (pattern.empty()) continue;
    std::stable_sort(pattern.begin(), pattern.end(),
                     [](const TStopTime& a, const TStopTime& b) { return a.Seq < b.Seq; });
    const int32_t first = pattern.front().Dep >= 0 ? pattern.front().Dep : pattern.front().Arr;
    if (first < 0) continue;  // left to Visits to refuse as a trip without a start time
    const TTrip& trip = trips_.at(id);
    const std::string base = UsableTrainNo(trip.ShortName) ? trip.ShortName : id;
    int32_t k = 0;
    for (const TRun& run : list) {
      for (int32_t t = run.From; t < run.To; t += run.Every) {
        stopTimes += pattern.size();
        if (stopTimes > static_cast<size_t>(kMaxGtfsRouteStopTimes)) {
          return TStatus::Error("frequencies.txt: 便 " + id + " の運行間隔から作る停車時刻が多すぎます");
        }
        std::vector<TStopTime> copy = pattern;
        for (TStopTime& x : copy) {
          if (x.Arr >= 0) x.Arr += t - first;
          if (x.Dep >= 0) x.Dep += t - first;
        }
        const std::string runId = id + "#" + IntText(++k);
        TTrip one = trip;
        one.ShortName = base + "-" + IntText(k);
        one.Block.clear();  // the runs of one trip are not one vehicle's turns
        trips_[runId] = std::move(one);
        times_[runId] = std::move(copy);
        ++made;
        approximate += !run.Exact;
      }
    }
  }
  if (made > 0) {
    info_.Notes.push_back("運行間隔 (frequencies.txt) で示された便を " + IntText(made) + " 本の列車にしました");
  }
  if (approximate > 0) {
    info_.Notes.push_back("うち " + IntText(approximate) +
                          " 本は時刻が目安の便 (exact_times=0) なので、start_time から運行間隔ごとの時刻にしました");
  }
  info_.Trips = static_cast<int32_t>(times_.size());
  return TStatus::Ok();
}

bool ParseDegree(const std::string& text, double lo, double hi, double& v) {
  char* end = nullptr;
  v = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && std::isfinite(v) && v >= lo &&
         v <= hi;
}

// Keeps the stops the day's trips name and every station (a parent may come after its child).
TStatus TRouteReader::Stops() {
  std::unordered_set<std::string> named;
  for (const auto& [id, list] : times_) {
    for (const TStopTime& s : list) named.insert(s.Stop);
  }
  const TStatus st = feed_.ReadTable(
      "stops.txt",
      {{"stop_id", true}, {"stop_name"}, {"stop_lat"}, {"stop_lon"}, {"location_type"},
       {"parent_station"}, {"platform_code"}},
      true, [&](const TGtfsRecord& r) {
        TStop s{r.F[1], r.F[5], r.F[6], 0, 0, 0, false};
        if (!r.F[4].empty() && !ParseInt(r.F[4], s.Type)) {
          return TStatus::Error(Where("stops.txt", r) + ": location_type が数ではありません");
        }
        if (named.count(r.F[0]) == 0 && s.Type != 1) return TStatus::Ok();
        s.HasPos = ParseDegree(r.F[2], -90, 90, s.Lat) && ParseDegree(r.F[3], -180, 180, s.Lon) &&
                   (s.Lat != 0 || s.Lon != 0);
        if (stops_.size() > 1000000) {
          return TStatus::Error(Where("stops.txt", r) + ": 駅が多すぎます");
        }
        stops_.emplace(r.F[0], std::move(s));
        return TStatus::Ok();
      });
  if (!st) return st;
  for (const auto& [id, list] : times_) {
    for (const TStopTime& s : list) {
      if (stops_.count(s.Stop) == 0) {
        return TStatus::Error("stop_times.txt の " + IntText(s.Line) + " 行目: stop_id " + s.Stop +
                              " が stops.txt にありません");
      }
    }
  }
  return TStatus::Ok();
}

// ---- From stop times to station visits -----------------------------------------------------------

size_t StationOf(const std::unordered_map<std::string, TStop>& stops, const std::string& stop,
                 std::vector<std::string>& keys, std::unordered_map<std::string, size_t>& index) {
  const TStop& s = stops.at(stop);
  const auto parent = stops.find(s.Parent);
  const std::string key = !s.Parent.empty() && parent != stops.end() ? s.Parent : stop;
  const auto [it, fresh] = index.emplace(key, keys.size());
  if (fresh) keys.push_back(key);
  return it->second;
}

// A trip's visits, or why the board cannot hold it.
std::string TripVisits(std::vector<TStopTime>& list, const std::unordered_map<std::string, TStop>& stops,
                       std::vector<std::string>& keys, std::unordered_map<std::string, size_t>& index,
                       std::vector<TVisit>& out) {
  std::stable_sort(list.begin(), list.end(),
                   [](const TStopTime& a, const TStopTime& b) { return a.Seq < b.Seq; });
  for (size_t k = 0; k + 1 < list.size(); ++k) {
    if (list[k].Seq == list[k + 1].Seq) return "stop_sequence が2度あります";
  }
  std::set<size_t> seen;
  for (const TStopTime& s : list) {
    const size_t sta = StationOf(stops, s.Stop, keys, index);
    const int32_t arr = s.Arr >= 0 ? s.Arr : s.Dep, dep = s.Dep >= 0 ? s.Dep : s.Arr;
    if (!out.empty() && out.back().Sta == sta) {  // two platforms of one station in a row
      if (dep >= 0) out.back().Dep = dep;
      continue;
    }
    // A ring trip ends where it started: its last stop may be its first station again.
    const bool ringEnd = &s == &list.back() && out.size() >= 3 && out.front().Sta == sta;
    if (!seen.insert(sta).second && !ringEnd) return "同じ駅を2度通ります";
    out.push_back(TVisit{sta, arr, dep, s.Pass, stops.at(s.Stop).Platform});
  }
  if (out.size() < 2) return "停車する駅が2つありません";
  if (out.front().Dep < 0 || out.back().Arr < 0) return "始発か終着の時刻がありません";
  if (out.front().Dep < kDayStartSec || out.back().Arr > kDayEndSec) {
    return "04:00〜27:00 の外を走ります";
  }
  return {};
}

TStatus TRouteReader::Visits() {
  std::map<std::string, int32_t> dropped;
  for (auto& [id, list] : times_) {
    std::vector<TVisit> v;
    const std::string why = TripVisits(list, stops_, staKeys_, staIndex_, v);
    if (why.empty()) {
      visits_[id] = std::move(v);
    } else {
      ++dropped[why];
    }
    std::vector<TStopTime>().swap(list);
  }
  for (const auto& [why, n] : dropped) {
    info_.Notes.push_back("便 " + IntText(n) + " 本は読み込みません: " + why);
  }
  if (staKeys_.size() > static_cast<size_t>(kMaxGtfsRouteStations)) {
    return TStatus::Error("路線 " + route_.Id + " の駅が多すぎます（上限 " +
                          IntText(kMaxGtfsRouteStations) + "）");
  }
  if (visits_.empty()) return TStatus::Error("路線 " + route_.Id + " に読み込める便がありません");
  return TStatus::Ok();
}

// ---- The line's order ---------------------------------------------------------------------------

// Fits one trip's stations into the order: oriented by the stations the two share, each new
// station goes right after the last shared one before it (before the first shared one when it
// comes before them all). False when the trip shares no station with the order. Linear in the
// sizes of the two; stations counts the stations met.
bool FitInto(std::vector<size_t>& order, std::vector<size_t> seq, size_t stations) {
  std::vector<int64_t> at(stations, -1);
  for (size_t i = 0; i < order.size(); ++i) at[order[i]] = static_cast<int64_t>(i);
  std::vector<std::pair<size_t, int64_t>> shared;  // (index in seq, index in order)
  for (size_t i = 0; i < seq.size(); ++i) {
    if (at[seq[i]] >= 0) shared.push_back({i, at[seq[i]]});
  }
  if (shared.empty()) return false;
  bool reversed = shared.size() >= 2 && shared.back().second < shared.front().second;
  if (shared.size() == 1) {  // joined at one station: continue beyond an end of the order
    const bool atFront = shared[0].second == 0 && order.size() > 1;
    reversed = atFront == (shared[0].first == 0);
  }
  if (reversed) std::reverse(seq.begin(), seq.end());
  // Each new station with the index of the order's station it goes before.
  std::vector<std::pair<int64_t, size_t>> inserts;
  int64_t before = -1;
  for (const size_t sta : seq) {
    if (at[sta] < 0) continue;
    before = at[sta];
    break;
  }
  for (const size_t sta : seq) {
    if (at[sta] >= 0) {
      before = at[sta] + 1;
    } else {
      inserts.push_back({before, sta});
    }
  }
  std::stable_sort(inserts.begin(), inserts.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<size_t> out;
  size_t k = 0;
  for (int64_t p = 0; p <= static_cast<int64_t>(order.size()); ++p) {
    for (; k < inserts.size() && inserts[k].first <= p; ++k) out.push_back(inserts[k].second);
    if (p < static_cast<int64_t>(order.size())) out.push_back(order[static_cast<size_t>(p)]);
  }
  order = std::move(out);
  return true;
}

// Turns the order round when most trips with direction_id 0 (outbound) run against it, so that
// they become the line's down trains.
void TRouteReader::Orient(std::vector<size_t>& order) const {
  std::vector<int64_t> at(staKeys_.size(), -1);
  for (size_t i = 0; i < order.size(); ++i) at[order[i]] = static_cast<int64_t>(i);
  int64_t against = 0;
  for (const auto& [id, v] : visits_) {
    const std::string& dir = trips_.at(id).Direction;
    if (at[v.front().Sta] < 0 || at[v.back().Sta] < 0) continue;  // never fitted
    // A ring trip runs the way its second station lies.
    const size_t to = v.front().Sta == v.back().Sta ? v[1].Sta : v.back().Sta;
    if (at[to] < 0) continue;
    const bool up = at[v.front().Sta] > at[to];
    if (dir == "0" || dir == "1") against += up == (dir == "0") ? 1 : -1;
  }
  if (against > 0) std::reverse(order.begin(), order.end());
}

std::vector<size_t> TRouteReader::LineOrder() {
  std::set<std::vector<size_t>> patterns;
  for (const auto& [id, v] : visits_) {
    std::vector<size_t> seq;
    for (const TVisit& x : v) seq.push_back(x.Sta);
    if (seq.front() == seq.back()) seq.pop_back();  // a ring trip: its order once round
    patterns.insert(std::move(seq));
  }
  std::vector<std::vector<size_t>> byLength(patterns.begin(), patterns.end());
  std::stable_sort(byLength.begin(), byLength.end(),
                   [](const auto& a, const auto& b) { return a.size() > b.size(); });
  std::vector<size_t> order = byLength.front();
  std::vector<bool> fitted(byLength.size(), false);
  fitted[0] = true;
  // Patterns joined only through one not yet fitted are tried again once it is (a few rounds:
  // a line is joined within as many rounds as it has branches off branches).
  for (int32_t round = 0, progress = 1; round < 8 && progress > 0; ++round) {
    progress = 0;
    for (size_t k = 1; k < byLength.size(); ++k) {
      if (!fitted[k] && FitInto(order, byLength[k], staKeys_.size())) {
        fitted[k] = true;
        ++progress;
      }
    }
  }
  return order;
}

// A ring route (trips that end where they start) becomes a line from its ring station round to
// the same station again: the order is turned to start at the station most ring trips start
// from, and that station is placed a second time at the end.
void TRouteReader::CloseRing(std::vector<size_t>& order) {
  std::map<size_t, int32_t> starts;
  for (const auto& [id, v] : visits_) {
    if (v.front().Sta == v.back().Sta) ++starts[v.front().Sta];
  }
  if (starts.empty()) return;
  const auto best = std::max_element(starts.begin(), starts.end(), [](const auto& a, const auto& b) {
    return a.second < b.second;
  });
  const auto at = std::find(order.begin(), order.end(), best->first);
  if (at == order.end()) return;
  std::rotate(order.begin(), at, order.end());
  ringSta_ = best->first;
  ringEnd_ = staKeys_.size();
  staKeys_.push_back(staKeys_[ringSta_]);  // the same stop: the same name and position
  order.push_back(ringEnd_);
  info_.Notes.push_back("環状の路線です。駅「" + stops_.at(staKeys_[ringSta_]).Name +
                        "」を路線の両端に置きました");
}

// The line slots of a trip's visits; empty when the trip does not run along the line one way.
// On a ring line the ring station is its first or its last slot, whichever keeps the trip
// running one way; a trip through the ring station is refused.
std::vector<size_t> TRouteReader::TripSlots(const std::vector<TVisit>& v,
                                            const std::vector<size_t>& slotOf, size_t n) const {
  std::vector<size_t> slots;
  for (const TVisit& x : v) {
    if (slotOf[x.Sta] >= n) return {};
    slots.push_back(slotOf[x.Sta]);
  }
  if (ringSta_ == std::string::npos) return slots;
  const auto oneWay = [](const std::vector<size_t>& s) {
    bool up = true, down = true;
    for (size_t i = 0; i + 1 < s.size(); ++i) {
      up &= s[i] > s[i + 1];
      down &= s[i] < s[i + 1];
    }
    return up || down;
  };
  const size_t last = slotOf[ringEnd_];
  std::vector<size_t> ring;  // where the trip is at the ring station: at most its two ends
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i].Sta == ringSta_) ring.push_back(i);
  }
  // Each visit of the ring station is tried as the line's first and as its last slot.
  for (uint32_t pick = 0; pick < (1u << ring.size()); ++pick) {
    std::vector<size_t> tried = slots;
    for (size_t r = 0; r < ring.size(); ++r) tried[ring[r]] = (pick >> r) & 1 ? last : 0;
    if (oneWay(tried)) return tried;
  }
  return {};
}

// ---- The document -------------------------------------------------------------------------------

constexpr double kEarthKm = 6371.0;

double DistanceKm(const TStop& a, const TStop& b) {
  constexpr double kRad = 3.14159265358979323846 / 180;
  const double dLat = (b.Lat - a.Lat) * kRad, dLon = (b.Lon - a.Lon) * kRad;
  const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(a.Lat * kRad) * std::cos(b.Lat * kRad) * std::sin(dLon / 2) *
                       std::sin(dLon / 2);
  return 2 * kEarthKm * std::asin(std::min(1.0, std::sqrt(h)));
}

bool HasCp932(const std::string& s) {
  std::string out;
  return Utf8ToCp932(s, out);
}

// The kind and name carried in a headsign "快速 はまかぜ 港南": the kind when the first word is
// one of the six types, the words before the destination (the last station) as the name.
void KindFromHeadsign(std::string h, const std::string& dest, std::string& kind,
                      std::string& name) {
  for (size_t p; (p = h.find("\xE3\x80\x80")) != std::string::npos;) h.replace(p, 3, " ");
  const size_t sp = h.find(' ');
  const std::string first = h.substr(0, sp);
  const auto& six = OudKindNames();
  if (std::find(six.begin(), six.end(), first) == six.end()) return;
  kind = first;
  std::string rest = sp == std::string::npos ? "" : std::string(TrimBlanks(h.substr(sp + 1)));
  for (const std::string& tail : {dest + "行き", dest + "行", dest}) {
    if (rest.size() >= tail.size() && rest.compare(rest.size() - tail.size(), tail.size(), tail) == 0) {
      rest = std::string(TrimBlanks(rest.substr(0, rest.size() - tail.size())));
      break;
    }
  }
  name = rest;
}

bool UsableTrainNo(const std::string& no) {
  return !no.empty() && no.size() <= kMaxTrainNoBytes &&
         no.find_first_of(",[]| \t\"") == std::string::npos && HasCp932(no);
}

// The stations in line order, named (a name met twice gets "(2)"), with their distances.
void TRouteReader::FillStations(const std::vector<size_t>& order, TOudDoc& doc) const {
  std::set<std::string> names;
  const TStop* prev = nullptr;
  double km = 0;
  for (const size_t k : order) {
    const TStop& s = stops_.at(staKeys_[k]);
    TOudStation sta;
    sta.Name = TrimBlanks(s.Name).empty() ? staKeys_[k] : std::string(TrimBlanks(s.Name));
    for (int32_t n = 2; !names.insert(sta.Name).second; ++n) {
      sta.Name = std::string(TrimBlanks(s.Name)) + "(" + IntText(n) + ")";
    }
    if (s.HasPos) {
      if (prev != nullptr) km += DistanceKm(*prev, s);
      sta.Km = km;
      prev = &s;
    }
    doc.Stations.push_back(std::move(sta));
  }
}

// A train's number: its short name, else its trip_id, else "G" and the next serial; one already
// given gets "-2", "-3" ....
std::string TRouteReader::TrainNo(const std::string& id, const TTrip& trip) {
  std::string no = UsableTrainNo(trip.ShortName) ? trip.ShortName : UsableTrainNo(id) ? id : "";
  if (no.empty()) {
    ++derived_;
    while (!usedNos_.insert(no = "G" + IntText(++serial_)).second) {}
  } else if (!usedNos_.insert(no).second) {
    ++renamed_;
    const std::string base = no;
    for (int32_t k = 2; !usedNos_.insert(no = base + "-" + IntText(k)).second; ++k) {}
  }
  return no;
}

// One trip as a train over the stations (slots: the line slot of each visit). Stations
// between its ends that it does not name are passed; the origin keeps its departure only and
// the terminal its arrival, as OuDia writes them.
TOudTrain TRouteReader::MakeTrain(const std::string& id, const std::vector<TVisit>& v,
                                  const std::vector<size_t>& slots, TOudDoc& doc) {
  const TTrip& trip = trips_.at(id);
  const auto& six = OudKindNames();
  TOudTrain t;
  t.Nobori = slots.front() > slots.back();
  std::string kind = "普通";
  KindFromHeadsign(trip.Headsign, doc.Stations[slots.back()].Name, kind, t.Name);
  if (!HasCp932(t.Name)) t.Name.clear();
  t.Kind = static_cast<int32_t>(std::find(six.begin(), six.end(), kind) - six.begin());
  t.No = TrainNo(id, trip);
  t.Block = trip.Block;
  t.Cells.assign(doc.Stations.size(), TOudCell{});
  const size_t a = std::min(slots.front(), slots.back());
  const size_t b = std::max(slots.front(), slots.back());
  for (size_t i = a; i <= b; ++i) t.Cells[i].Stop = TOudStop::kPass;
  for (size_t k = 0; k < v.size(); ++k) {
    const TVisit& x = v[k];
    TOudCell& c = t.Cells[slots[k]];
    c.Stop = x.Pass ? TOudStop::kPass : TOudStop::kStop;
    c.Arr = &x == &v.front() || x.Arr < 0 ? -1 : x.Arr % 86400;
    c.Dep = &x == &v.back() || x.Dep < 0 ? -1 : x.Dep % 86400;
    if (x.Platform.empty() || !HasCp932(x.Platform)) continue;
    std::vector<std::string>& tracks = doc.Stations[slots[k]].Tracks;
    const auto it = std::find(tracks.begin(), tracks.end(), x.Platform);
    c.Track = static_cast<int32_t>(it - tracks.begin());
    if (it == tracks.end()) tracks.push_back(x.Platform);
  }
  return t;
}

// The document's stations, the six kinds, and the trips whose stations all lie on the line as
// trains: down trains, then up trains, each in departure order.
void TRouteReader::Fill(const std::vector<size_t>& order, TOudDoc& doc) {
  const size_t n = order.size();
  std::vector<size_t> slotOf(staKeys_.size(), n);
  for (size_t i = 0; i < n; ++i) slotOf[order[i]] = i;
  FillStations(order, doc);
  for (const std::string& k : OudKindNames()) doc.Kinds.push_back(TOudKind{k, k.substr(0, 3)});
  struct TOnLine {
    const std::string* Id;
    const std::vector<TVisit>* V;
    std::vector<size_t> Slots;
  };
  std::vector<TOnLine> byDep;
  int32_t acrossRing = 0;
  for (const auto& [id, v] : visits_) {
    const bool onLine =
        std::all_of(v.begin(), v.end(), [&](const TVisit& x) { return slotOf[x.Sta] < n; });
    if (!onLine) continue;  // counted with the stations that do not join the line
    std::vector<size_t> slots = TripSlots(v, slotOf, n);
    if (slots.empty()) {
      ++acrossRing;
    } else {
      byDep.push_back({&id, &v, std::move(slots)});
    }
  }
  if (acrossRing > 0) {
    info_.Notes.push_back("環状線の起点「" + doc.Stations.front().Name + "」を途中で通る便 " +
                          IntText(acrossRing) + " 本は読み込みません（起点で分かれた路線になります）");
  }
  std::stable_sort(byDep.begin(), byDep.end(), [](const TOnLine& x, const TOnLine& y) {
    return x.V->front().Dep < y.V->front().Dep;
  });
  TOudDia dia{info_.Date, {}};
  for (const TOnLine& t : byDep) dia.Trains.push_back(MakeTrain(*t.Id, *t.V, t.Slots, doc));
  std::stable_sort(dia.Trains.begin(), dia.Trains.end(),
                   [](const TOudTrain& x, const TOudTrain& y) { return !x.Nobori && y.Nobori; });
  if (derived_ > 0) {
    info_.Notes.push_back("列車番号のない便 " + IntText(derived_) + " 本に G で始まる番号を付けました");
  }
  if (renamed_ > 0) {
    info_.Notes.push_back("同じ列車番号の便 " + IntText(renamed_) + " 本の番号に -2 などを付けました");
  }
  doc.Dias.push_back(std::move(dia));
}

TStatus TRouteReader::Read(TOudDoc& doc) {
  TStatus st = Route();
  if (st) st = Trips();
  if (st) st = Calendar();
  if (st) st = CalendarDates();
  if (st) st = ChooseDay();
  if (st) st = StopTimes();
  if (st) st = Frequencies();
  if (st) st = Stops();
  if (st) st = Visits();
  if (!st) return st;
  std::vector<size_t> order = LineOrder();
  Orient(order);
  CloseRing(order);
  if (order.size() < 2) return TStatus::Error("路線 " + route_.Id + " の駅が2つありません");
  for (const size_t k : order) {
    const TStop& s = stops_.at(staKeys_[k]);
    if (!HasCp932(s.Name)) {
      return TStatus::Error("駅名「" + s.Name + "」（stop_id " + staKeys_[k] +
                            "）に Shift-JIS で書けない文字があります");
    }
  }
  // Stations no trip joins to the line's: named in the note, or in the refusal when the trips
  // left out with them outnumber the ones kept, since the route is then no one line.
  std::vector<bool> onLine(staKeys_.size(), false);
  for (const size_t k : order) onLine[k] = true;
  std::set<size_t> apart;
  int32_t apartTrips = 0;
  for (const auto& [id, v] : visits_) {
    bool off = false;
    for (const TVisit& x : v) {
      if (!onLine[x.Sta]) off = true, apart.insert(x.Sta);
    }
    apartTrips += off;
  }
  if (!apart.empty()) {
    std::string names;
    int32_t shown = 0;
    for (const size_t k : apart) {
      if (++shown > 3) {
        names += " ほか";
        break;
      }
      names += (names.empty() ? "" : "、") + stops_.at(staKeys_[k]).Name;
    }
    const int64_t kept = static_cast<int64_t>(visits_.size()) - apartTrips;
    if (apartTrips > kept) {
      return TStatus::Error("路線 " + route_.Id + " は1本の路線になりません: 駅 " + names +
                            " は、駅「" + stops_.at(staKeys_[order.front()]).Name +
                            "」などとつながる便がありません（便 " + IntText(apartTrips) +
                            " 本）。路線を分けた GTFS から読み込んで下さい");
    }
    info_.Notes.push_back("路線のほかの駅とつながらない駅 " +
                          IntText(static_cast<int64_t>(apart.size())) + " か所（" + names +
                          "）と、そこを走る便 " + IntText(apartTrips) + " 本は読み込みません");
  }
  TOudDoc out;
  out.Second = true;  // times carry seconds, and platforms are named
  out.LineName = HasCp932(route_.Name) ? route_.Name : route_.Id;
  Fill(order, out);
  doc = std::move(out);
  return TStatus::Ok();
}

}  // namespace

bool IsGtfsRailType(int32_t type) {
  return type == 1 || type == 2 || type == 12 || (type >= 100 && type <= 117);
}

bool IsGtfsDate(const std::string& text) {
  chr::sys_days d;
  return ParseDay(text, d);
}

TStatus ListGtfsRailRoutes(TGtfsArchive& feed, std::vector<TGtfsRoute>& routes) {
  std::vector<TGtfsRoute> out;
  const TStatus st = feed.ReadTable(
      "routes.txt",
      {{"route_id", true}, {"route_short_name"}, {"route_long_name"}, {"route_type", true}}, true,
      [&](const TGtfsRecord& r) {
        TGtfsRoute route{r.F[0], !r.F[2].empty() ? r.F[2] : !r.F[1].empty() ? r.F[1] : r.F[0], 0};
        if (!ParseInt(r.F[3], route.Type)) {
          return TStatus::Error(Where("routes.txt", r) + ": route_type " + r.F[3] +
                                " は数ではありません");
        }
        if (IsGtfsRailType(route.Type) && out.size() < 100000) out.push_back(std::move(route));
        return TStatus::Ok();
      });
  if (st) routes = std::move(out);
  return st;
}

std::vector<std::string> TGtfsImportInfo::Lines(const TGtfsImportOptions& options,
                                                const TOudDoc& doc) const {
  std::vector<std::string> out{"GTFS 路線 " + options.RouteId + "（" + doc.LineName + "）: " + Date +
                               " に走る便 " + IntText(Trips) + " 本"};
  out.insert(out.end(), Notes.begin(), Notes.end());
  return out;
}

TStatus ReadGtfsRoute(TGtfsArchive& feed, const TGtfsImportOptions& options, TOudDoc& doc,
                      TGtfsImportInfo& info) {
  info = TGtfsImportInfo();
  return TRouteReader(feed, options, info).Read(doc);
}

}  // namespace ramvel
