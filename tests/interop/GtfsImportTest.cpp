// Reading a GTFS route: a hand-written feed with a parent station, two blocks, a calendar
// exception and a trip on another day read into the expected timetable; damaged and hostile
// feeds refused with a message naming the file and line.
#include "GtfsTestFeed.h"

#include <gtest/gtest.h>

#include <cmath>

#include "interop/UrwGtfsImport.h"

namespace ramvel {
namespace {

struct TReadResult {
  TStatus St;
  TOudDoc Doc;
  TGtfsImportInfo Info;
};

TReadResult ReadRoute(const test::TGtfsFiles& files, const std::string& route,
                      const std::string& date) {
  test::TTempDir dir;
  const std::string path = dir / "feed.zip";
  test::WriteGtfsZip(path, files);
  TGtfsArchive feed;
  TReadResult r;
  r.St = feed.OpenFile(path);
  if (r.St) r.St = ReadGtfsRoute(feed, {route, date}, r.Doc, r.Info);
  return r;
}

// A cell as the expected tables write it: "" none, "s HH:MM:SS/HH:MM:SS" a stop, "p ..." a pass
// (times left empty when there are none).
std::string CellText(const TOudCell& c) {
  if (c.Stop == TOudStop::kNone) return "";
  const auto hms = [](int32_t t) {
    if (t < 0) return std::string();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t / 3600, t / 60 % 60, t % 60);
    return std::string(buf);
  };
  return std::string(c.Stop == TOudStop::kStop ? "s " : "p ") + hms(c.Arr) + "/" + hms(c.Dep);
}

TEST(GtfsImport, TheScenarioRouteBecomesItsTimetableOfTheDay) {
  // 2026-01-05 is a Monday: WD runs, EX is added that day, WE (Saturday and Sunday) does not.
  const TReadResult r = ReadRoute(test::ScenarioFeed(), "R1", "20260105");
  ASSERT_TRUE(r.St.ok()) << r.St.Msg();
  const TOudDoc& doc = r.Doc;
  EXPECT_EQ(doc.LineName, "港線");
  ASSERT_EQ(doc.Stations.size(), 3u);
  // 北 is the parent of its two platforms; 中 has no parent; 南's platform is merged into it.
  const char* const names[] = {"北", "中", "南"};
  // 0.009 degrees of latitude apart: 6371 km * pi / 180 * 0.009 = 1.00075 km each.
  const double km[] = {0, 1.00075, 2.00151};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(doc.Stations[i].Name, names[i]);
    EXPECT_NEAR(doc.Stations[i].Km, km[i], 0.0005) << i;
  }
  EXPECT_EQ(doc.Stations[0].Tracks, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(r.Info.Date, "20260105");
  EXPECT_EQ(r.Info.Trips, 5);
  struct TWant {
    std::string No, Kind, Name, Block;
    bool Nobori;
    std::vector<std::string> Cells;  // 北, 中, 南
  };
  const std::vector<TWant> want = {
      {"1", "普通", "", "B1", false,
       {"s /07:00:00", "s 07:05:00/07:05:30", "s 07:10:00/"}},
      {"3", "快速", "はまかぜ", "B2", false,
       {"s /08:00:00", "p 08:04:00/08:04:00", "s 08:07:00/"}},
      {"4", "普通", "", "B2", true, {"s 06:45:00/", "s 06:37:00/06:38:00", "s /06:30:00"}},
      {"2", "普通", "", "B1", true,
       {"s 07:40:00/", "s 07:35:00/07:35:30", "s /07:30:00"}},
      {"G1", "普通", "", "", true, {"s 09:12:00/", "p /", "s /09:00:00"}},
  };
  ASSERT_EQ(doc.Dias.size(), 1u);
  const std::vector<TOudTrain>& trains = doc.Dias[0].Trains;
  ASSERT_EQ(trains.size(), want.size());
  for (size_t k = 0; k < want.size(); ++k) {
    SCOPED_TRACE(want[k].No);
    const TOudTrain& t = trains[k];
    EXPECT_EQ(t.No, want[k].No);
    EXPECT_EQ(doc.Kinds.at(static_cast<size_t>(t.Kind)).Name, want[k].Kind);
    EXPECT_EQ(t.Name, want[k].Name);
    EXPECT_EQ(t.Block, want[k].Block);
    EXPECT_EQ(t.Nobori, want[k].Nobori);
    ASSERT_EQ(t.Cells.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(CellText(t.Cells[i]), want[k].Cells[i]) << i;
  }
  // Platforms are named in the order trains first use them: 4 arrives at 1 at 06:45, 1 leaves
  // from 2 at 07:00.
  EXPECT_EQ(trains[2].Cells[0].Track, 0);
  EXPECT_EQ(trains[0].Cells[0].Track, 1);
  EXPECT_EQ(trains[1].Cells[0].Track, 0);
}

TEST(GtfsImport, TheDayAndTheRouteAreChosenOrRefused) {
  struct TCase {
    std::string Route, Date;
    std::string Says;  // the day read, or a part of the message
  };
  const std::vector<TCase> cases = {
      {"R1", "", "20260105"},  // the busiest day: WD and EX together
      {"R1", "20260110", "20260110"},  // a Saturday: the WE trip alone
      {"R1", "20260106", "20260106 に走る路線 R1 の便がありません"},  // WD removed that day
      {"R2", "", "路線 R2 は鉄道ではありません"},
      {"R9", "", "路線 R9 が routes.txt にありません"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Route + " " + c.Date);
    const TReadResult r = ReadRoute(test::ScenarioFeed(), c.Route, c.Date);
    if (r.St.ok()) {
      EXPECT_EQ(r.Info.Date, c.Says);
    } else {
      EXPECT_NE(r.St.Msg().find(c.Says), std::string::npos) << r.St.Msg();
    }
  }
  const TReadResult sat = ReadRoute(test::ScenarioFeed(), "R1", "20260110");
  ASSERT_EQ(sat.Doc.Dias.at(0).Trains.size(), 1u);
  EXPECT_EQ(sat.Doc.Dias[0].Trains[0].No, "5");
}

TEST(GtfsImport, DamagedFeedsAreRefusedNamingFileAndLine) {
  struct TCase {
    std::string File, Text;  // replaces that file of the scenario feed
    std::string Says;
  };
  const std::string times = test::ScenarioFeed().at("stop_times.txt");
  const std::vector<TCase> cases = {
      {"stop_times.txt", times + "T1,07:20:00,\"07:21:00,S3,9\r\n",
       "stop_times.txt の 20 行目: 引用符が閉じない"},
      {"stop_times.txt", times + "T1,7:2:00,07:21:00,S3,9\r\n", "stop_times.txt の 20 行目"},
      {"stop_times.txt", "trip_id,arrival_time,departure_time,stop_id\r\n", "stop_sequence"},
      {"stop_times.txt", times + "T1,07:20:00,07:21:00,NOWHERE,9\r\n",
       "stop_times.txt の 20 行目: stop_id NOWHERE が stops.txt にありません"},
      {"stops.txt", "stop_id,stop_name\r\nS1," + std::string(70000, 'x') + "\r\n",
       "stops.txt の 2 行目: 項目が長すぎます"},
      {"trips.txt", "route_id,service_id,trip_id\r\nR1,WD,T1\r\nR1,WD,\xFF\xFE\r\n",
       "trips.txt の 3 行目: trip_id が UTF-8 ではありません"},
      {"trips.txt", "route_id,service_id,trip_id\r\nR1,WD,T1\r\nR1,WD,T1\r\n",
       "trips.txt の 3 行目: trip_id T1 が2度あります"},
      {"calendar.txt", "service_id,monday\r\n", "calendar.txt に必須の列"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Says);
    test::TGtfsFiles files = test::ScenarioFeed();
    files[c.File] = c.Text;
    const TReadResult r = ReadRoute(files, "R1", "20260105");
    ASSERT_FALSE(r.St.ok());
    EXPECT_NE(r.St.Msg().find(c.Says), std::string::npos) << r.St.Msg();
  }
}

TEST(GtfsImport, ATruncatedArchiveIsRefused) {
  test::TTempDir dir;
  const std::string path = dir / "feed.zip";
  test::WriteGtfsZip(path, test::ScenarioFeed());
  const std::string bytes = test::ReadBytes(path);
  for (const size_t keep : {size_t{0}, size_t{10}, bytes.size() / 2, bytes.size() - 10}) {
    test::WriteBytes(path, bytes.substr(0, keep));
    TGtfsArchive feed;
    TStatus st = feed.OpenFile(path);
    TOudDoc doc;
    TGtfsImportInfo info;
    if (st) st = ReadGtfsRoute(feed, {"R1", ""}, doc, info);
    ASSERT_FALSE(st.ok()) << keep;
    EXPECT_NE(st.Msg().find("feed.zip"), std::string::npos) << st.Msg();
  }
}

TEST(GtfsCsv, QuotesBomAndLineEndsFollowTheRules) {
  // A byte-order mark, a quoted comma, a doubled quote, a line break inside quotes, LF and CR LF
  // line ends, a short record and a blank line.
  const std::string text =
      "\xEF\xBB\xBF" "a,b,c\r\n"
      "1,\"x,y\",\"say \"\"hi\"\"\"\n"
      "2,\"two\r\nlines\",z\r\n"
      "\r\n"
      "3\r\n";
  std::vector<std::vector<std::string>> rows;
  std::vector<int64_t> lines;
  const TStatus st = ReadGtfsCsv("t.txt", text, {{"a", true}, {"c"}, {"b"}, {"none"}},
                                 [&](const TGtfsRecord& r) {
                                   rows.push_back(r.F);
                                   lines.push_back(r.Line);
                                   return TStatus::Ok();
                                 });
  ASSERT_TRUE(st.ok()) << st.Msg();
  const std::vector<std::vector<std::string>> want = {
      {"1", "say \"hi\"", "x,y", ""}, {"2", "z", "two\r\nlines", ""}, {"3", "", "", ""}};
  EXPECT_EQ(rows, want);
  EXPECT_EQ(lines, (std::vector<int64_t>{2, 3, 6}));
}

}  // namespace
}  // namespace ramvel
