// The GTFS feed of a board: stops, routes, trips and stop times built from the board's objects.
#include "interop/UrwGtfsExport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "foundation/UrwTextRec.h"
#include "model/UrwCarObj.h"
#include "model/UrwStaObj.h"
#include "timetable/UrwDiaCsv.h"

namespace ramvel {

namespace {

// Metres per degree of latitude on a sphere of radius 6 371 km.
constexpr double kMPerDegLat = 6371000.0 * 3.14159265358979323846 / 180.0;
constexpr const char* kAgencyId = "A1";
constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kServiceDays = 365;

// Direction along a line: down runs in line order, up against it. The values are GTFS's
// direction_id.
enum class TDir { kDown = 0, kUp = 1 };

// One trip: a run of a train's steps along one line in one direction.
struct TTripPlan {
  size_t Line = 0;
  TDir Dir = TDir::kDown;
  std::vector<int32_t> Steps;  // indexes into the train set's timetable
};

int32_t StaOf(const TTmTbl& step) { return SplitEntCode(step.Loc).Id; }
int32_t HomeOf(const TTmTbl& step) { return SplitEntCode(step.Loc).Slot; }
std::string HomeStopId(int32_t sta, int32_t home) { return IntText(sta) + "_" + IntText(home); }

// Whether a and b are neighbours on the line, and in which direction a train runs from a to b.
bool SegmentDir(const TGtfsLine& line, int32_t a, int32_t b, TDir& dir) {
  for (size_t i = 0; i + 1 < line.Stas.size(); ++i) {
    if (line.Stas[i] == a && line.Stas[i + 1] == b) {
      dir = TDir::kDown;
      return true;
    }
    if (line.Stas[i] == b && line.Stas[i + 1] == a) {
      dir = TDir::kUp;
      return true;
    }
  }
  return false;
}

bool HasTime(const TTmTbl& s) { return s.TmStart >= 0 || s.TmEnd >= 0; }

// Cuts one train (steps first..last) into trips: a trip goes on while the next section lies on
// its line in its direction; otherwise a new trip starts at the station where the train changes
// line (that station ends one trip and starts the next). A section on no line is left out.
std::vector<TTripPlan> CutTrain(const TCarObj& car, TTrainRange r,
                                const std::vector<TGtfsLine>& lines, int32_t& offLine) {
  std::vector<TTripPlan> trips;
  std::vector<int32_t> steps;
  for (int32_t i = r.First; i <= r.Last; ++i) {
    if (HasTime(car.TmTbl.At(i))) steps.push_back(i);
  }
  bool open = false;
  for (size_t j = 0; j + 1 < steps.size(); ++j) {
    const int32_t a = StaOf(car.TmTbl.At(steps[j])), b = StaOf(car.TmTbl.At(steps[j + 1]));
    TDir dir = TDir::kDown;
    if (open && SegmentDir(lines[trips.back().Line], a, b, dir) && dir == trips.back().Dir) {
      trips.back().Steps.push_back(steps[j + 1]);
      continue;
    }
    open = false;
    for (size_t l = 0; l < lines.size() && !open; ++l) {
      if (!SegmentDir(lines[l], a, b, dir)) continue;
      trips.push_back(TTripPlan{l, dir, {steps[j], steps[j + 1]}});
      open = true;
    }
    if (!open) ++offLine;
  }
  return trips;
}

// ---- Dates --------------------------------------------------------------------------------------

std::string DateText(std::chrono::sys_days d) {
  const std::chrono::year_month_day ymd(d);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return buf;
}

TStatus ParseDate(const std::string& text, std::chrono::sys_days& d) {
  int32_t n = 0;
  if (text.size() == 8 && ParseInt(text, n) && n > 0) {
    const std::chrono::year_month_day ymd{std::chrono::year(n / 10000),
                                          std::chrono::month(static_cast<unsigned>(n / 100 % 100)),
                                          std::chrono::day(static_cast<unsigned>(n % 100))};
    if (ymd.ok()) {
      d = std::chrono::sys_days(ymd);
      return TStatus::Ok();
    }
  }
  return TStatus::Error("運行開始日 " + text + " は YYYYMMDD 形式の日付ではありません");
}

// ---- The feed's files ---------------------------------------------------------------------------

class TFeedBuilder {
 public:
  TFeedBuilder(const TBrdData& brd, const std::vector<TGtfsLine>& lines,
               const std::vector<TGtfsTimetable>& timetables, const TGtfsOptions& opt)
      : brd_(brd), lines_(lines), timetables_(timetables), opt_(opt) {}

  TStatus Build(TGtfsFeed& feed);

 private:
  const TBrdData& brd_;
  const std::vector<TGtfsLine>& lines_;
  const std::vector<TGtfsTimetable>& timetables_;
  const TGtfsOptions& opt_;
  // The timetable being added: its service_id, and the prefix of its trip and block ids (empty
  // when the board has one timetable, so that ids stay the train numbers).
  std::string service_, idPrefix_;
  TGtfsSummary sum_;
  std::map<int32_t, std::set<int32_t>> homesUsed_;  // station -> platforms the stop times name
  std::set<std::string> tripIds_;
  std::vector<TTextRow> trips_{{"route_id", "service_id", "trip_id", "trip_headsign",
                                "trip_short_name", "direction_id", "block_id"}};
  std::vector<TTextRow> stopTimes_{{"trip_id", "arrival_time", "departure_time", "stop_id",
                                    "stop_sequence", "pickup_type", "drop_off_type"}};

  std::string AgencyName() const {
    if (!opt_.AgencyName.empty()) return opt_.AgencyName;
    return brd_.BrdName.empty() ? "Ramvel" : brd_.BrdName;
  }
  std::string StaName(int32_t id) const;
  double MPerDegLon() const { return kMPerDegLat * std::cos(opt_.OriginLat * kPi / 180); }
  void AddCar(const TCarObj& car);
  void AddTrip(const TCarObj& car, const std::string& trNo, const std::string& kind,
               const TTripPlan& plan, int32_t part);
  TStatus Stops(std::vector<TTextRow>& rows);
  void Platforms(const TStaObj& sta, double lat, double lon, std::vector<TTextRow>& rows);
  std::vector<TTextRow> Routes() const;
  TStatus Calendar(std::vector<TTextRow>& calendar, std::vector<TTextRow>& dates,
                   std::vector<TTextRow>& info) const;
};

std::string TFeedBuilder::StaName(int32_t id) const {
  const auto it = brd_.Stas.find(IntText(id));
  return it == brd_.Stas.end() ? IntText(id) : it->second->Name;
}

void TFeedBuilder::AddCar(const TCarObj& car) {
  for (int32_t i = 1; i < car.TmTbl.Count(); ++i) {
    const std::string& header = car.TmTbl.At(i).Txt;
    if (header.empty()) continue;
    const size_t comma = header.find(',');
    const std::string trNo = header.substr(0, comma);
    int32_t last = i;  // the train runs up to the step before the next header
    while (last + 1 < car.TmTbl.Count() && car.TmTbl.At(last + 1).Txt.empty()) ++last;
    const std::string kind = comma == std::string::npos ? "" : header.substr(comma + 1);
    if (SplitTrainKind(kind).Type == "回送") {
      ++sum_.Deadheads;
    } else {
      const std::vector<TTripPlan> plans = CutTrain(car, {i, last}, lines_, sum_.OffLine);
      for (size_t p = 0; p < plans.size(); ++p) {
        AddTrip(car, trNo, kind, plans[p], plans.size() > 1 ? static_cast<int32_t>(p + 1) : 0);
      }
    }
    i = last;
  }
}

// One trips row and its stop times. The headsign is the kind (type and nickname) and the last
// station, "快速 港南", as station displays show them; the route stays the line. A pass stays in
// the stop times with its passing time, marked as neither picking up nor setting down
// (pickup_type and drop_off_type 1), so the trip's times stay complete and a trip cut at a passed
// station still ends there; every stop is regular (0).
void TFeedBuilder::AddTrip(const TCarObj& car, const std::string& trNo, const std::string& kind,
                           const TTripPlan& plan, int32_t part) {
  std::string id = idPrefix_ + (part > 0 ? trNo + "_" + IntText(part) : trNo);
  if (tripIds_.count(id) > 0) id += "_C" + IntText(car.Id);
  const std::string base = id;
  for (int32_t n = 2; tripIds_.count(id) > 0; ++n) id = base + "_" + IntText(n);
  tripIds_.insert(id);
  const TTmTbl& lastStep = car.TmTbl.At(plan.Steps.back());
  const std::string dest = StaName(StaOf(lastStep));
  trips_.push_back({"R" + IntText(static_cast<int64_t>(plan.Line) + 1), service_, id,
                    kind.empty() ? dest : kind + " " + dest, trNo,
                    IntText(static_cast<int32_t>(plan.Dir)), idPrefix_ + "C" + IntText(car.Id)});
  ++sum_.Trips;
  for (size_t k = 0; k < plan.Steps.size(); ++k) {
    const TTmTbl& s = car.TmTbl.At(plan.Steps[k]);
    const int32_t arr = s.TmStart >= 0 ? s.TmStart : s.TmEnd;
    const int32_t dep = s.TmEnd >= 0 ? s.TmEnd : s.TmStart;
    const char* board = IsPass(s) ? "1" : "0";
    homesUsed_[StaOf(s)].insert(HomeOf(s));
    stopTimes_.push_back({id, GtfsTime(arr), GtfsTime(dep), HomeStopId(StaOf(s), HomeOf(s)),
                          IntText(static_cast<int64_t>(k) + 1), board, board});
    ++sum_.StopTimes;
  }
}

std::string Degrees(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  return buf;
}

// Board metres to degrees on a local equirectangular projection: north is up (board y grows
// southwards), one degree of latitude is kMPerDegLat metres and one of longitude that times the
// cosine of the origin's latitude. Over a board's few tens of kilometres the error stays far below
// a platform's length.
TStatus TFeedBuilder::Stops(std::vector<TTextRow>& rows) {
  rows = {{"stop_id", "stop_name", "stop_lat", "stop_lon", "location_type", "parent_station",
           "platform_code"}};
  for (const auto& [key, sta] : brd_.Stas) {
    const double x = (sta->EndPos[0].x + sta->EndPos[1].x) / 2.0;
    const double y = (sta->EndPos[0].y + sta->EndPos[1].y) / 2.0;
    const double lat = opt_.OriginLat - y / kMPerDegLat, lon = opt_.OriginLon + x / MPerDegLon();
    if (!(lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180)) {
      return TStatus::Error(sta->Name +
                            "駅の座標が緯度経度の範囲を外れます。起点を見直してください");
    }
    rows.push_back({IntText(sta->Id), sta->Name, Degrees(lat), Degrees(lon), "1", "", ""});
    ++sum_.Stations;
    Platforms(*sta, lat, lon, rows);
  }
  for (const auto& [sta, homes] : homesUsed_) {
    if (brd_.Stas.find(IntText(sta)) == brd_.Stas.end()) {
      return TStatus::Error("時刻表が盤面にない駅 (ID " + IntText(sta) + ") を通ります");
    }
  }
  return TStatus::Ok();
}

// Each platform lies where its platform track lies: the middle of the track's segments in the
// station's own frame (u along the axis from side 0, v across it), turned with the station. A
// platform without a track in the station's drawing lies 4 m across the axis per platform from
// the station's point, so that no two stops share a point.
void TFeedBuilder::Platforms(const TStaObj& sta, double lat, double lon,
                             std::vector<TTextRow>& rows) {
  std::vector<std::string> listed;
  sta.ListHomes(listed);
  std::set<int32_t>& all = homesUsed_[sta.Id];
  for (const std::string& h : listed) all.insert(IntOr0(h));
  const double dx = sta.EndPos[1].x - sta.EndPos[0].x, dy = sta.EndPos[1].y - sta.EndPos[0].y;
  const double len = std::hypot(dx, dy);
  const double cx = len > 0 ? dx / len : 1, cy = len > 0 ? dy / len : 0;
  int32_t nth = 0;
  for (const int32_t h : all) {
    double u = 0, v = 4.0 * ++nth, n = 0, su = 0, sv = 0;
    for (const StaRail& r : sta.Rails) {
      if (r.Kind != kRailHome || r.No != h) continue;
      su += (r.P[0].x + r.P[1].x) / 2.0 - kStaMidM;
      sv += (r.P[0].y + r.P[1].y) / 2.0;
      ++n;
    }
    if (n > 0) {
      u = su / n;
      v = sv / n;
    }
    const double east = u * cx - v * cy, south = u * cy + v * cx;
    rows.push_back({HomeStopId(sta.Id, h), sta.Name, Degrees(lat - south / kMPerDegLat),
                    Degrees(lon + east / MPerDegLon()), "0", IntText(sta.Id), IntText(h)});
    ++sum_.Platforms;
  }
}

std::vector<TTextRow> TFeedBuilder::Routes() const {
  std::vector<TTextRow> rows{
      {"route_id", "agency_id", "route_short_name", "route_long_name", "route_type"}};
  for (size_t l = 0; l < lines_.size(); ++l) {
    rows.push_back(
        {"R" + IntText(static_cast<int64_t>(l) + 1), kAgencyId, "", lines_[l].Name, "2"});
  }
  return rows;
}

// One calendar row per timetable over kServiceDays days from the start, and a calendar_dates row
// for every holiday in that time on which a timetable's weekly days and its holiday rule differ.
TStatus TFeedBuilder::Calendar(std::vector<TTextRow>& calendar, std::vector<TTextRow>& dates,
                               std::vector<TTextRow>& info) const {
  std::chrono::sys_days start;
  if (TStatus st = ParseDate(opt_.StartDate, start); !st) return st;
  const std::chrono::sys_days end = start + std::chrono::days(kServiceDays - 1);
  const std::string from = DateText(start), to = DateText(end);
  calendar = {{"service_id", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday",
               "sunday", "start_date", "end_date"}};
  dates = {{"service_id", "date", "exception_type"}};
  for (const auto& given : opt_.Days) {
    const std::string& name = given.first;
    const bool known = std::any_of(timetables_.begin(), timetables_.end(),
                                   [&](const TGtfsTimetable& tt) { return tt.Name == name; });
    if (!known) return TStatus::Error("運行日を指定したダイヤ「" + name + "」がありません");
  }
  for (const TGtfsTimetable& tt : timetables_) {
    const auto given = opt_.Days.find(tt.Name);
    const TGtfsDays days = given != opt_.Days.end() ? given->second : DefaultGtfsDays(tt.Name);
    TTextRow row{tt.Name};
    for (const bool on : days.Week) row.push_back(on ? "1" : "0");
    row.push_back(from);
    row.push_back(to);
    calendar.push_back(std::move(row));
    for (std::chrono::sys_days d = start; d <= end; d += std::chrono::days(1)) {
      const bool weekly = days.Week[std::chrono::weekday(d).iso_encoding() - 1];
      if (weekly != days.Holidays && IsJpHoliday(d)) {
        dates.push_back({tt.Name, DateText(d), days.Holidays ? "1" : "2"});
      }
    }
  }
  info = {{"feed_publisher_name", "feed_publisher_url", "feed_lang", "feed_start_date",
           "feed_end_date", "feed_version"},
          {AgencyName(), opt_.AgencyUrl, "ja", from, to, from}};
  return TStatus::Ok();
}

TStatus TFeedBuilder::Build(TGtfsFeed& feed) {
  std::vector<TTextRow> calendar, dates, info, stops;
  if (TStatus st = Calendar(calendar, dates, info); !st) return st;
  for (const TGtfsTimetable& tt : timetables_) {
    if (tt.Name.empty()) return TStatus::Error("名前のないダイヤは書き出せません");
    service_ = tt.Name;
    idPrefix_ = timetables_.size() > 1 ? tt.Name + "_" : "";
    for (const TCarObj* car : tt.Cars) AddCar(*car);
    ++sum_.Services;
  }
  if (TStatus st = Stops(stops); !st) return st;
  const std::vector<TTextRow> agency{
      {"agency_id", "agency_name", "agency_url", "agency_timezone", "agency_lang"},
      {kAgencyId, AgencyName(), opt_.AgencyUrl, "Asia/Tokyo", "ja"}};
  sum_.Routes = static_cast<int32_t>(lines_.size());
  feed.Files = {{"agency.txt", CsvText(agency)},         {"stops.txt", CsvText(stops)},
                {"routes.txt", CsvText(Routes())},       {"trips.txt", CsvText(trips_)},
                {"stop_times.txt", CsvText(stopTimes_)}, {"calendar.txt", CsvText(calendar)}};
  if (dates.size() > 1) feed.Files.push_back({"calendar_dates.txt", CsvText(dates)});
  feed.Files.push_back({"feed_info.txt", CsvText(info)});
  feed.Summary = sum_;
  return TStatus::Ok();
}

}  // namespace

std::string GtfsTime(int32_t t) {
  const int32_t s = t + kDayOffset;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

TStatus BuildGtfsFeed(const TBrdData& brd, const std::vector<TGtfsLine>& lines,
                      const std::vector<TGtfsTimetable>& timetables, const TGtfsOptions& opt,
                      TGtfsFeed& feed) {
  feed = TGtfsFeed();
  return TFeedBuilder(brd, lines, timetables, opt).Build(feed);
}

}  // namespace ramvel
