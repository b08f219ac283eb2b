// The GTFS feed: the sample board's feed read back from its zip and checked as a validator would,
// three trains against their car files, and the cutting of a train that changes line.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "GtfsTestFeed.h"
#include "TestSupport.h"
#include "interop/UrwGtfsExport.h"
#include "model/UrwStaObj.h"

namespace ramvel {
namespace {

using TTable = std::vector<std::map<std::string, std::string>>;  // rows by header name

// RFC 4180 lines into fields (quotes, doubled quotes; CR LF or LF).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        rows.back().back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        rows.back().back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\n') {
      rows.emplace_back(1);
    } else if (c != '\r') {
      rows.back().back() += c;
    }
  }
  if (rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();
  return rows;
}

TTable ToTable(const std::string& text) {
  const auto rows = ParseCsv(text);
  TTable table;
  for (size_t r = 1; r < rows.size(); ++r) {
    EXPECT_EQ(rows[r].size(), rows[0].size()) << "row " << r << " of\n" << text.substr(0, 200);
    auto& m = table.emplace_back();
    for (size_t c = 0; c < rows[0].size() && c < rows[r].size(); ++c) m[rows[0][c]] = rows[r][c];
  }
  return table;
}

// Every member of the zip by name, read back with libzip.
std::map<std::string, TTable> ReadZip(const std::string& path) {
  std::map<std::string, TTable> files;
  for (const auto& [name, text] : test::ReadGtfsZip(path)) files[name] = ToTable(text);
  return files;
}

std::set<std::string> Ids(const TTable& t, const std::string& field) {
  std::set<std::string> ids;
  for (const auto& row : t) EXPECT_TRUE(ids.insert(row.at(field)).second) << field << " twice";
  return ids;
}

int Seconds(const std::string& hms) {
  return std::stoi(hms.substr(0, hms.size() - 6)) * 3600 +
         std::stoi(hms.substr(hms.size() - 5, 2)) * 60 + std::stoi(hms.substr(hms.size() - 2));
}

class SampleFeed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    brd_ = new TBrdData;
    const std::string root = RAMVEL_SOURCE_DIR "/data/boards";
    ASSERT_TRUE(brd_->LoadBrd(root, "Sample").ok());
    TGtfsOptions opt;
    opt.StartDate = "20270101";
    tmp_ = new test::TTempDir;
    ASSERT_TRUE(ExportGtfs(*brd_, root + "/Sample", opt, *tmp_ / "feed.zip", sum_).ok());
    files_ = new std::map<std::string, TTable>(ReadZip(*tmp_ / "feed.zip"));
  }
  static void TearDownTestSuite() {
    delete files_;
    delete tmp_;
    delete brd_;
  }
  const TTable& File(const std::string& name) { return (*files_)[name]; }
  // The stop times of one trip in stop_sequence order.
  std::vector<std::map<std::string, std::string>> TripTimes(const std::string& trip) {
    std::map<int, std::map<std::string, std::string>> bySeq;
    for (const auto& row : File("stop_times.txt")) {
      if (row.at("trip_id") == trip) bySeq[std::stoi(row.at("stop_sequence"))] = row;
    }
    std::vector<std::map<std::string, std::string>> out;
    for (auto& [seq, row] : bySeq) out.push_back(row);
    return out;
  }

  static TBrdData* brd_;
  static test::TTempDir* tmp_;
  static std::map<std::string, TTable>* files_;
  static TGtfsSummary sum_;
};
TBrdData* SampleFeed::brd_ = nullptr;
test::TTempDir* SampleFeed::tmp_ = nullptr;
std::map<std::string, TTable>* SampleFeed::files_ = nullptr;
TGtfsSummary SampleFeed::sum_;

TEST_F(SampleFeed, EveryRequiredFileAndFieldIsThere) {
  const std::map<std::string, std::vector<std::string>> required = {
      {"agency.txt", {"agency_name", "agency_url", "agency_timezone"}},
      {"stops.txt", {"stop_id", "stop_name", "stop_lat", "stop_lon", "location_type"}},
      {"routes.txt", {"route_id", "route_long_name", "route_type"}},
      {"trips.txt",
       {"route_id", "service_id", "trip_id", "trip_short_name", "direction_id", "block_id"}},
      {"stop_times.txt", {"trip_id", "arrival_time", "departure_time", "stop_id", "stop_sequence"}},
      {"calendar.txt", {"service_id", "monday", "sunday", "start_date", "end_date"}},
      {"feed_info.txt", {"feed_publisher_name", "feed_publisher_url", "feed_lang"}}};
  for (const auto& [file, fields] : required) {
    ASSERT_FALSE(File(file).empty()) << file;
    for (const auto& row : File(file)) {
      for (const std::string& f : fields) EXPECT_FALSE(row.at(f).empty()) << file << " " << f;
    }
  }
  EXPECT_EQ(File("agency.txt")[0].at("agency_timezone"), "Asia/Tokyo");
  EXPECT_EQ(File("calendar.txt")[0].at("start_date"), "20270101");
  EXPECT_EQ(File("calendar.txt")[0].at("end_date"), "20271231");  // 365 days
  EXPECT_EQ(File("routes.txt").size(), 3u);
  for (const auto& r : File("routes.txt")) EXPECT_EQ(r.at("route_type"), "2");
}

TEST_F(SampleFeed, StationsHoldTheirPlatformsAndLieNearTheOrigin) {
  const TTable& stops = File("stops.txt");
  std::map<std::string, std::string> stationName;
  for (const auto& s : stops) {
    if (s.at("location_type") == "1") stationName[s.at("stop_id")] = s.at("stop_name");
    // The sample's 170 x 195 pixels of 108 m lie within 0.2 degrees south-east of 35N 139E.
    EXPECT_LE(std::stod(s.at("stop_lat")), 35.0);
    EXPECT_GT(std::stod(s.at("stop_lat")), 34.8);
    EXPECT_GE(std::stod(s.at("stop_lon")), 139.0);
    EXPECT_LT(std::stod(s.at("stop_lon")), 139.25);
  }
  EXPECT_EQ(stationName.size(), 9u);
  int harbourPlatforms = 0;
  for (const auto& s : stops) {
    if (s.at("location_type") != "0") continue;
    ASSERT_EQ(stationName.count(s.at("parent_station")), 1u) << s.at("stop_id");
    EXPECT_FALSE(s.at("platform_code").empty());
    harbourPlatforms += stationName[s.at("parent_station")] == "港";
  }
  EXPECT_EQ(harbourPlatforms, 6);
}

TEST_F(SampleFeed, EveryReferenceResolvesAndTimesRunForward) {
  const std::set<std::string> routes = Ids(File("routes.txt"), "route_id");
  const std::set<std::string> trips = Ids(File("trips.txt"), "trip_id");
  std::set<std::string> platforms;
  for (const auto& s : File("stops.txt")) {
    if (s.at("location_type") == "0") platforms.insert(s.at("stop_id"));
  }
  Ids(File("stops.txt"), "stop_id");
  for (const auto& t : File("trips.txt")) {
    EXPECT_EQ(routes.count(t.at("route_id")), 1u);
    EXPECT_EQ(t.at("service_id"), File("calendar.txt")[0].at("service_id"));
  }
  std::map<std::string, std::pair<int, int>> last;  // trip -> last sequence, last departure
  for (const auto& st : File("stop_times.txt")) {
    ASSERT_EQ(trips.count(st.at("trip_id")), 1u);
    EXPECT_EQ(platforms.count(st.at("stop_id")), 1u) << st.at("stop_id");
    const int seq = std::stoi(st.at("stop_sequence"));
    const int arr = Seconds(st.at("arrival_time")), dep = Seconds(st.at("departure_time"));
    EXPECT_LE(arr, dep);
    auto [it, fresh] = last.try_emplace(st.at("trip_id"), seq, dep);
    if (!fresh) {
      EXPECT_GT(seq, it->second.first) << st.at("trip_id");
      EXPECT_GE(arr, it->second.second) << st.at("trip_id");
      it->second = {seq, dep};
    }
  }
  EXPECT_EQ(last.size(), trips.size());  // every trip has stop times
  EXPECT_EQ(sum_.Trips, static_cast<int32_t>(trips.size()));
  EXPECT_EQ(sum_.StopTimes, static_cast<int32_t>(File("stop_times.txt").size()));
}

// Expected rows worked out from car/7.txt, car/10.txt and car/12.txt: a step's seconds from 04:00
// plus 4 h; "-1031" is station 1001, platform 3; a step whose arrival equals its departure and
// that carries no train header is a pass.
TEST_F(SampleFeed, ThreeTrainsMatchTheirCarFiles) {
  struct TStop {
    std::string Arr, Dep, Stop, Pass;
  };
  struct TCase {
    std::string Trip, Route, Dir, Block;
    std::vector<TStop> Stops;
  };
  const std::map<std::string, std::string> routeOf = [&] {
    std::map<std::string, std::string> m;
    for (const auto& r : File("routes.txt")) m[r.at("route_long_name")] = r.at("route_id");
    return m;
  }();
  const std::vector<TCase> cases = {
      // car 7, TM2..TM5: 3900 dep 中央; 4028 pass 川辺; 4115 pass 浜田; 4242 arrives 港.
      {"1",
       "本線",
       "0",
       "C7",
       {{"05:05:00", "05:05:00", "1001_3", "0"},
        {"05:07:08", "05:07:08", "7001_3", "1"},
        {"05:08:35", "05:08:35", "8001_2", "1"},
        {"05:10:42", "05:10:42", "9001_1", "0"}}},
      // car 10, TM2..TM5: up from 港 3360; 浜田 3546/3576; 川辺 3731/3830; 中央 4016.
      {"202",
       "本線",
       "1",
       "C10",
       {{"04:56:00", "04:56:00", "9001_3", "0"},
        {"04:59:06", "04:59:36", "8001_1", "0"},
        {"05:02:11", "05:03:50", "7001_1", "0"},
        {"05:06:56", "05:06:56", "1001_2", "0"}}},
      // car 12, TM2..TM3: 港 3600 to 東町 4235 on the harbour line.
      {"3001",
       "臨港線",
       "0",
       "C12",
       {{"05:00:00", "05:00:00", "9001_5", "0"}, {"05:10:35", "05:10:35", "2001_3", "0"}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Trip);
    const auto trip = std::find_if(File("trips.txt").begin(), File("trips.txt").end(),
                                   [&](const auto& t) { return t.at("trip_id") == c.Trip; });
    ASSERT_NE(trip, File("trips.txt").end());
    EXPECT_EQ(trip->at("route_id"), routeOf.at(c.Route));
    EXPECT_EQ(trip->at("trip_short_name"), c.Trip);
    EXPECT_EQ(trip->at("direction_id"), c.Dir);
    EXPECT_EQ(trip->at("block_id"), c.Block);
    const auto times = TripTimes(c.Trip);
    ASSERT_EQ(times.size(), c.Stops.size());
    for (size_t k = 0; k < times.size(); ++k) {
      EXPECT_EQ(times[k].at("arrival_time"), c.Stops[k].Arr) << k;
      EXPECT_EQ(times[k].at("departure_time"), c.Stops[k].Dep) << k;
      EXPECT_EQ(times[k].at("stop_id"), c.Stops[k].Stop) << k;
      EXPECT_EQ(times[k].at("pickup_type"), c.Stops[k].Pass) << k;
      EXPECT_EQ(times[k].at("drop_off_type"), c.Stops[k].Pass) << k;
    }
  }
}

double Metres(const std::map<std::string, std::string>& a,
              const std::map<std::string, std::string>& b) {
  const double k = 3.14159265358979323846 / 180, lat = std::stod(a.at("stop_lat")) * k;
  const double dy = (std::stod(b.at("stop_lat")) - std::stod(a.at("stop_lat"))) * k;
  const double dx = (std::stod(b.at("stop_lon")) - std::stod(a.at("stop_lon"))) * k * std::cos(lat);
  return 6371000.0 * std::hypot(dx, dy);
}

// The rules the public validators (transitfeed, gtfs-kit, node-gtfs) check, each on the whole
// feed: references, unique ids, parent stations, coordinates and spacing, stop time order,
// calendar validity, blocks whose trips do not overlap.
TEST_F(SampleFeed, PassesTheValidatorsRules) {
  for (const char* f : {"agency.txt", "stops.txt", "routes.txt", "trips.txt", "stop_times.txt",
                        "calendar.txt", "calendar_dates.txt", "feed_info.txt"}) {
    EXPECT_FALSE(File(f).empty()) << f;
  }
  const std::set<std::string> agencies = Ids(File("agency.txt"), "agency_id");
  const std::set<std::string> services = Ids(File("calendar.txt"), "service_id");
  std::map<std::string, std::map<std::string, std::string>> stops;
  for (const auto& s : File("stops.txt")) stops[s.at("stop_id")] = s;
  for (const auto& a : File("agency.txt")) {
    EXPECT_EQ(a.at("agency_url").rfind("https://", 0), 0u);
    EXPECT_NE(a.at("agency_timezone").find('/'), std::string::npos);
  }
  for (const auto& r : File("routes.txt")) {
    EXPECT_EQ(agencies.count(r.at("agency_id")), 1u);
    EXPECT_FALSE(r.at("route_short_name").empty() && r.at("route_long_name").empty());
  }
  // Parent stations: a station has none; a platform's parent is a station within 1000 m; two
  // platforms lie at least 2 m apart.
  std::map<std::string, std::vector<std::string>> children;
  for (const auto& [id, s] : stops) {
    const double lat = std::stod(s.at("stop_lat")), lon = std::stod(s.at("stop_lon"));
    EXPECT_TRUE(lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180 && (lat != 0 || lon != 0));
    if (s.at("location_type") == "1") {
      EXPECT_TRUE(s.at("parent_station").empty()) << id;
      continue;
    }
    const auto parent = stops.find(s.at("parent_station"));
    ASSERT_NE(parent, stops.end()) << id;
    EXPECT_EQ(parent->second.at("location_type"), "1") << id;
    EXPECT_LT(Metres(s, parent->second), 1000) << id;
    children[parent->first].push_back(id);
  }
  for (const auto& [parent, kids] : children) {
    for (size_t i = 0; i < kids.size(); ++i) {
      for (size_t j = i + 1; j < kids.size(); ++j) {
        EXPECT_GE(Metres(stops[kids[i]], stops[kids[j]]), 2.0) << kids[i] << " " << kids[j];
      }
    }
  }
  // Trips: every reference resolves; stop times have strictly rising sequences, times that never
  // go back, both times at either end, two stops at least; a block's trips follow each other.
  std::map<std::string, std::string> blockOf;
  for (const auto& t : File("trips.txt")) {
    EXPECT_EQ(services.count(t.at("service_id")), 1u);
    EXPECT_TRUE(t.at("direction_id") == "0" || t.at("direction_id") == "1");
    blockOf[t.at("trip_id")] = t.at("service_id") + "/" + t.at("block_id");
  }
  std::map<std::string, std::vector<std::pair<int, std::map<std::string, std::string>>>> byTrip;
  for (const auto& st : File("stop_times.txt")) {
    ASSERT_EQ(blockOf.count(st.at("trip_id")), 1u);
    const auto stop = stops.find(st.at("stop_id"));
    ASSERT_NE(stop, stops.end());
    EXPECT_NE(stop->second.at("location_type"), "1");
    byTrip[st.at("trip_id")].push_back({std::stoi(st.at("stop_sequence")), st});
  }
  std::map<std::string, std::vector<std::pair<int, int>>> spans;  // block -> trips' times
  for (auto& [trip, list] : byTrip) {
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    ASSERT_GE(list.size(), 2u) << trip;
    int last = -1;
    for (size_t k = 0; k < list.size(); ++k) {
      if (k > 0) {
        EXPECT_GT(list[k].first, list[k - 1].first) << trip;
      }
      const int arr = Seconds(list[k].second.at("arrival_time"));
      const int dep = Seconds(list[k].second.at("departure_time"));
      EXPECT_TRUE(arr >= last && dep >= arr) << trip << " " << k;
      last = dep;
    }
    spans[blockOf[trip]].push_back({Seconds(list.front().second.at("departure_time")),
                                    Seconds(list.back().second.at("arrival_time"))});
  }
  for (auto& [block, list] : spans) {
    std::sort(list.begin(), list.end());
    for (size_t k = 1; k < list.size(); ++k) EXPECT_GE(list[k].first, list[k - 1].second) << block;
  }
  // Calendar: flags 0/1, dates that exist, start before end; exceptions 1 or 2, once a day.
  for (const auto& c : File("calendar.txt")) {
    for (const char* d : {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday",
                          "sunday"}) {
      EXPECT_TRUE(c.at(d) == "0" || c.at(d) == "1");
    }
    EXPECT_LE(c.at("start_date"), c.at("end_date"));
  }
  std::set<std::string> seen;
  for (const auto& d : File("calendar_dates.txt")) {
    EXPECT_EQ(services.count(d.at("service_id")), 1u);
    EXPECT_TRUE(d.at("exception_type") == "1" || d.at("exception_type") == "2");
    EXPECT_TRUE(seen.insert(d.at("service_id") + d.at("date")).second);
  }
}

// The board's one timetable, ダイヤ, runs Monday to Friday but not on public holidays: the 16
// holidays of 2027 that fall on a weekday (21 March, the spring equinox, is a Sunday and moves
// to the 22nd).
TEST_F(SampleFeed, TheWeekdayServiceStopsOnWeekdayHolidays) {
  const auto& cal = File("calendar.txt");
  ASSERT_EQ(cal.size(), 1u);
  EXPECT_EQ(cal[0].at("service_id"), "ダイヤ");
  EXPECT_EQ(cal[0].at("monday") + cal[0].at("friday") + cal[0].at("saturday") +
                cal[0].at("sunday"),
            "1100");
  std::vector<std::string> removed;
  for (const auto& d : File("calendar_dates.txt")) {
    EXPECT_EQ(d.at("exception_type"), "2");
    removed.push_back(d.at("date").substr(4));
  }
  EXPECT_EQ(removed, (std::vector<std::string>{"0101", "0111", "0211", "0223", "0322", "0429",
                                               "0503", "0504", "0505", "0719", "0811", "0920",
                                               "0923", "1011", "1103", "1123"}));
}

TEST(GtfsCalendar, JapanesePublicHolidaysOf2026) {
  const std::set<std::string> holidays = {"0101", "0112", "0211", "0223", "0320", "0429",
                                          "0503", "0504", "0505", "0506", "0720", "0811",
                                          "0921", "0922", "0923", "1012", "1103", "1123"};
  std::set<std::string> found;
  const std::chrono::sys_days first{std::chrono::year(2026) / 1 / 1};
  for (std::chrono::sys_days d = first; d < first + std::chrono::days(365);
       d += std::chrono::days(1)) {
    if (!IsJpHoliday(d)) continue;
    const std::chrono::year_month_day ymd(d);
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02u%02u", static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    found.insert(buf);
  }
  EXPECT_EQ(found, holidays);
}

TEST(GtfsCalendar, DaysAreParsedOrRefusedAndNamesGiveTheDefaults) {
  const std::pair<const char*, const char*> ok[] = {
      {"1111100", "1111100"}, {"0000011H", "0000011H"}, {"1111111h", "1111111H"}};
  for (const auto& [text, back] : ok) {
    TGtfsDays d;
    ASSERT_TRUE(ParseGtfsDays(text, d).ok()) << text;
    EXPECT_EQ(GtfsDaysText(d), back);
  }
  for (const char* bad : {"", "111110", "11111000", "1111102", "1111100X"}) {
    TGtfsDays d;
    EXPECT_FALSE(ParseGtfsDays(bad, d).ok()) << bad;
  }
  const std::pair<const char*, const char*> names[] = {
      {"平日", "1111100"}, {"ダイヤ", "1111100"}, {"土休日", "0000011H"},
      {"土曜", "0000010"}, {"日曜・祝日", "0000001H"}};
  for (const auto& [name, days] : names) EXPECT_EQ(GtfsDaysText(DefaultGtfsDays(name)), days);
}

TEST(GtfsTime, HoursRunPastMidnight) {
  const std::pair<int32_t, const char*> cases[] = {{0, "04:00:00"},
                                                   {3661, "05:01:01"},
                                                   {72000, "24:00:00"},
                                                   {74130, "24:35:30"},
                                                   {82800, "27:00:00"}};
  for (const auto& [t, text] : cases) EXPECT_EQ(GtfsTime(t), text) << t;
}

TEST(GtfsOrigin, ParsesOrRefusesNamingTheText) {
  double lat = 0, lon = 0;
  EXPECT_TRUE(ParseGtfsOrigin("35.68,139.76", lat, lon).ok());
  EXPECT_DOUBLE_EQ(lat, 35.68);
  EXPECT_DOUBLE_EQ(lon, 139.76);
  EXPECT_TRUE(ParseGtfsOrigin("－３３．８７，１５１．２", lat, lon).ok());
  EXPECT_DOUBLE_EQ(lat, -33.87);
  for (const char* bad : {"", "35.0", "95,139", "35,181", "35,abc", "35,139x"}) {
    const TStatus st = ParseGtfsOrigin(bad, lat, lon);
    EXPECT_FALSE(st.ok()) << bad;
    EXPECT_NE(st.Msg().find(std::string("起点 ") + bad), std::string::npos) << st.Msg();
  }
}

// A board made in code: stations 1001..4001 on two lines that meet at 3001.
class CutFeed : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int32_t n = 1; n <= 4; ++n) {
      auto sta = std::make_unique<TStaObj>();
      sta->Id = n * 1000 + 1;
      sta->Name = "S" + std::to_string(n);
      sta->EndPos[0] = {n * 2000, 1000};
      sta->EndPos[1] = {n * 2000 + 1188, 1000};
      brd_.Stas[std::to_string(sta->Id)] = std::move(sta);
    }
    lines_ = {{"A", {1001, 2001, 3001}}, {"B", {3001, 4001}}};
  }
  void AddCar(int32_t id, const std::vector<TTmTbl>& steps) {
    auto car = std::make_unique<TCarObj>();
    car->Id = id;
    car->TmTbl.Add({"", -1, -1, 1011});
    for (const TTmTbl& s : steps) car->TmTbl.Add(s);
    brd_.Cars[std::to_string(id)] = std::move(car);
  }
  TTable Build(const std::string& file) {
    TGtfsFeed feed;
    TGtfsTimetable own{"平日", {}};
    for (const auto& [key, car] : brd_.Cars) own.Cars.push_back(car.get());
    EXPECT_TRUE(BuildGtfsFeed(brd_, lines_, {own}, TGtfsOptions{}, feed).ok());
    sum_ = feed.Summary;
    for (const auto& [name, text] : feed.Files) {
      if (name == file) return ToTable(text);
    }
    return {};
  }
  TBrdData brd_;
  std::vector<TGtfsLine> lines_;
  TGtfsSummary sum_;
};

TEST_F(CutFeed, ATrainChangingLineBecomesTwoTripsOfOneBlock) {
  // Train 10 runs S1 -> S2 (pass) -> S3 (stop, where line A ends) -> S4 on line B.
  AddCar(5, {{"10,普通", 600, 600, -1011},
             {"", 700, 700, -2011},
             {"", 800, 860, -3011},
             {"", 1000, -1, -4011}});
  const TTable trips = Build("trips.txt");
  ASSERT_EQ(trips.size(), 2u);
  EXPECT_EQ(trips[0].at("trip_id"), "10_1");
  EXPECT_EQ(trips[0].at("route_id"), "R1");
  EXPECT_EQ(trips[0].at("trip_headsign"), "普通 S3");
  EXPECT_EQ(trips[1].at("trip_id"), "10_2");
  EXPECT_EQ(trips[1].at("route_id"), "R2");
  for (const auto& t : trips) {
    EXPECT_EQ(t.at("block_id"), "C5");
    EXPECT_EQ(t.at("trip_short_name"), "10");
    EXPECT_EQ(t.at("direction_id"), "0");
  }
  const TTable times = Build("stop_times.txt");
  // S3 ends the first trip and starts the second, with its arrival and departure both times.
  const std::vector<std::array<std::string, 4>> expected = {
      {"10_1", "04:10:00", "04:10:00", "1001_1"},
      {"10_1", "04:11:40", "04:11:40", "2001_1"},
      {"10_1", "04:13:20", "04:14:20", "3001_1"},
      {"10_2", "04:13:20", "04:14:20", "3001_1"},
      {"10_2", "04:16:40", "04:16:40", "4001_1"}};
  ASSERT_EQ(times.size(), expected.size());
  for (size_t k = 0; k < times.size(); ++k) {
    EXPECT_EQ(times[k].at("trip_id"), expected[k][0]) << k;
    EXPECT_EQ(times[k].at("arrival_time"), expected[k][1]) << k;
    EXPECT_EQ(times[k].at("departure_time"), expected[k][2]) << k;
    EXPECT_EQ(times[k].at("stop_id"), expected[k][3]) << k;
  }
  EXPECT_EQ(times[1].at("pickup_type"), "1");  // the pass at S2
}

TEST_F(CutFeed, UpTrainsDeadheadsAndSectionsOffEveryLine) {
  AddCar(1, {{"20,普通", 600, 600, 3011},
             {"", 700, -1, 2011},  // up on line A
             {"21,回送", 900, 900, 2011},
             {"", 1000, -1, 3011},  // empty move: left out
             {"22,快速", 1200, 1200, 3011},
             {"", 1300, 1300, 1011},  // S3 -> S1: no line
             {"", 1400, -1, 2011}});  // S1 -> S2 on line A
  const TTable trips = Build("trips.txt");
  ASSERT_EQ(trips.size(), 2u);
  EXPECT_EQ(trips[0].at("trip_id"), "20");
  EXPECT_EQ(trips[0].at("direction_id"), "1");
  EXPECT_EQ(trips[1].at("trip_id"), "22");
  EXPECT_EQ(trips[1].at("direction_id"), "0");
  EXPECT_EQ(sum_.Deadheads, 1);
  EXPECT_EQ(sum_.OffLine, 1);
  EXPECT_NE(GtfsSummaryText(sum_, "x.zip").find("回送列車 1 本"), std::string::npos);
}

// Train numbers are unique on a sound board; a damaged one still gets unique trip ids.
TEST_F(CutFeed, ARepeatedTrainNumberKeepsTripIdsUnique) {
  AddCar(1, {{"30,普通", 600, 600, -1011}, {"", 700, -1, -2011}});
  AddCar(2, {{"30,普通", 900, 900, -1011},
             {"", 1000, -1, -2011},
             {"30,普通", 1200, 1200, 2011},
             {"", 1300, -1, 1011}});
  const TTable trips = Build("trips.txt");
  ASSERT_EQ(trips.size(), 3u);
  EXPECT_EQ(trips[0].at("trip_id"), "30");
  EXPECT_EQ(trips[1].at("trip_id"), "30_C2");
  EXPECT_EQ(trips[2].at("trip_id"), "30_C2_2");
  EXPECT_EQ(trips[2].at("direction_id"), "1");
  EXPECT_EQ(Build("stop_times.txt").size(), 6u);
}

// Platforms lie at the middle of their platform tracks, turned with the station: a track 4 m to
// the left of the axis (v = -4) lies north of an eastward station and west of a northward one.
// A platform the station's drawing lacks lies 4 m across the axis per platform.
TEST(GtfsPlatforms, LieAtTheirTracksBesideTheStationsPoint) {
  struct TCase {
    TPoint End1;  // end 0 is (2000, 1000)
    double North1, East1, North2, East2, North3, East3;  // metres from the station's point
  };
  const TCase cases[] = {{{3188, 1000}, 4, 0, -8, 0, -12, 0},
                         {{2000, -188}, 0, -4, 0, 8, 0, 12}};
  for (const TCase& c : cases) {
    TBrdData brd;
    auto sta = std::make_unique<TStaObj>();
    sta->Id = 1001;
    sta->Name = "S";
    sta->EndPos[0] = {2000, 1000};
    sta->EndPos[1] = c.End1;
    sta->Rails.emplace_back(kRailHome, 1, TPoint{514, -4}, TPoint{674, -4});
    sta->Rails.emplace_back(kRailHome, 2, TPoint{514, 8}, TPoint{674, 8});
    brd.Stas["1001"] = std::move(sta);
    auto far = std::make_unique<TStaObj>();
    far->Id = 2001;
    far->Name = "T";
    far->EndPos[0] = {9000, 1000};
    far->EndPos[1] = {10188, 1000};
    brd.Stas["2001"] = std::move(far);
    auto car = std::make_unique<TCarObj>();
    car->Id = 1;
    car->TmTbl.Add({"", -1, -1, 1011});
    car->TmTbl.Add({"1,普通", 600, 600, 1031});  // platform 3: no track in the drawing
    car->TmTbl.Add({"", 700, -1, 2011});
    const TGtfsTimetable own{"平日", {car.get()}};
    TGtfsFeed feed;
    ASSERT_TRUE(BuildGtfsFeed(brd, {{"L", {1001, 2001}}}, {own}, TGtfsOptions{}, feed).ok());
    std::map<std::string, std::map<std::string, std::string>> stops;
    for (const auto& [name, text] : feed.Files) {
      if (name != "stops.txt") continue;
      for (const auto& row : ToTable(text)) stops[row.at("stop_id")] = row;
    }
    ASSERT_EQ(stops.size(), 6u);  // two stations, platforms 1 to 3 of S and 1 of T
    const auto& at = stops["1001"];
    const double mLat = 6371000.0 * 3.14159265358979323846 / 180;
    const double mLon = mLat * std::cos(35.0 * 3.14159265358979323846 / 180);
    const auto offset = [&](const std::string& id, double north, double east) {
      EXPECT_NEAR((std::stod(stops[id].at("stop_lat")) - std::stod(at.at("stop_lat"))) * mLat,
                  north, 0.2) << id;
      EXPECT_NEAR((std::stod(stops[id].at("stop_lon")) - std::stod(at.at("stop_lon"))) * mLon,
                  east, 0.2) << id;
    };
    offset("1001_1", c.North1, c.East1);
    offset("1001_2", c.North2, c.East2);
    offset("1001_3", c.North3, c.East3);
  }
}

TEST(GtfsZip, AFailedWriteKeepsTheEarlierFile) {
  test::TTempDir dir;
  const std::string path = dir / "feed.zip";
  test::WriteBytes(path, "earlier");
  TGtfsFeed feed;
  feed.Files = {{"agency.txt", "a\r\n"}};
  // A folder in the temporary name's place makes the write fail before the rename.
  std::filesystem::create_directories(path + ".tmp/x");
  const TStatus st = WriteGtfsZip(feed, path);
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find(path), std::string::npos);
  EXPECT_EQ(test::ReadBytes(path), "earlier");
  std::filesystem::remove_all(path + ".tmp");
  ASSERT_TRUE(WriteGtfsZip(feed, path).ok());
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  EXPECT_EQ(ReadZip(path).count("agency.txt"), 1u);
}

}  // namespace
}  // namespace ramvel
