// GTFS routes of the shapes real feeds have: trips given by frequencies.txt, stop patterns that
// differ (expresses, short turns), a ring route, and a route in two pieces that cannot be one
// line.
#include "GtfsTestFeed.h"

#include <gtest/gtest.h>

#include "interop/UrwGtfsImport.h"

namespace ramvel {
namespace {

// A feed of route R (rail) over stops A..E and X, Y (no coordinates), with trips and stop times
// given as CSV rows (service S runs every day of 2026).
test::TGtfsFiles Feed(const std::string& trips, const std::string& times,
                      const std::string& frequencies = "") {
  test::TGtfsFiles f;
  f["agency.txt"] = "agency_id,agency_name,agency_url,agency_timezone\nA,鉄道,https://example.org/,Asia/Tokyo\n";
  f["routes.txt"] = "route_id,agency_id,route_long_name,route_type\nR,A,線,2\n";
  f["stops.txt"] = "stop_id,stop_name\nA,甲\nB,乙\nC,丙\nD,丁\nE,戊\nX,西\nY,東\n";
  f["trips.txt"] = "route_id,service_id,trip_id,trip_short_name\n" + trips;
  f["stop_times.txt"] = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n" + times;
  f["calendar.txt"] =
      "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,end_date\n"
      "S,1,1,1,1,1,1,1,20260101,20261231\n";
  if (!frequencies.empty()) {
    f["frequencies.txt"] = "trip_id,start_time,end_time,headway_secs,exact_times\n" + frequencies;
  }
  return f;
}

struct TRead {
  TStatus St;
  TOudDoc Doc;
  TGtfsImportInfo Info;
};

TRead Read(const test::TGtfsFiles& files) {
  test::TTempDir dir;
  const std::string path = dir / "feed.zip";
  test::WriteGtfsZip(path, files);
  TGtfsArchive feed;
  TRead r;
  r.St = feed.OpenFile(path);
  if (r.St) r.St = ReadGtfsRoute(feed, {"R", "20260105"}, r.Doc, r.Info);
  return r;
}

std::string Hms(int32_t t) {
  if (t < 0) return "";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t / 3600, t / 60 % 60, t % 60);
  return buf;
}

// A train as one text: number, direction, then per station "s arr/dep", "p", or "" (none).
std::string TrainText(const TOudTrain& t) {
  std::string out = t.No + (t.Nobori ? " 上:" : " 下:");
  for (const TOudCell& c : t.Cells) {
    out += " [";
    if (c.Stop == TOudStop::kStop) out += "s " + Hms(c.Arr) + "/" + Hms(c.Dep);
    if (c.Stop == TOudStop::kPass) out += "p";
    out += "]";
  }
  return out;
}

std::vector<std::string> Trains(const TOudDoc& doc) {
  std::vector<std::string> out;
  for (const TOudTrain& t : doc.Dias.at(0).Trains) out.push_back(TrainText(t));
  return out;
}

std::vector<std::string> Stations(const TOudDoc& doc) {
  std::vector<std::string> out;
  for (const TOudStation& s : doc.Stations) out.push_back(s.Name);
  return out;
}

bool HasNote(const TGtfsImportInfo& info, const std::string& part) {
  for (const std::string& n : info.Notes) {
    if (n.find(part) != std::string::npos) return true;
  }
  return false;
}

// F runs 甲 → 丙 in 10 minutes: every 20 minutes from 07:00 until before 08:00 (exact), then
// every 15 minutes from 08:00 until before 08:30 (times approximate): 07:00, 07:20, 07:40,
// 08:00, 08:15. Its own 06:00 times are only the pattern. N runs as listed.
TEST(GtfsShapes, FrequencyTripsBecomeOneTrainPerRun) {
  const TRead r = Read(Feed("R,S,F,F\nR,S,N,N\n",
                            "F,06:00:00,06:00:00,A,1\nF,06:05:00,06:05:30,B,2\nF,06:10:00,06:10:00,C,3\n"
                            "N,09:00:00,09:00:00,A,1\nN,09:06:00,09:06:00,B,2\nN,09:12:00,09:12:00,C,3\n",
                            "F,07:00:00,08:00:00,1200,1\nF,08:00:00,08:30:00,900,0\n"));
  ASSERT_TRUE(r.St.ok()) << r.St.Msg();
  EXPECT_EQ(Stations(r.Doc), (std::vector<std::string>{"甲", "乙", "丙"}));
  EXPECT_EQ(Trains(r.Doc), (std::vector<std::string>{
                               "F-1 下: [s /07:00:00] [s 07:05:00/07:05:30] [s 07:10:00/]",
                               "F-2 下: [s /07:20:00] [s 07:25:00/07:25:30] [s 07:30:00/]",
                               "F-3 下: [s /07:40:00] [s 07:45:00/07:45:30] [s 07:50:00/]",
                               "F-4 下: [s /08:00:00] [s 08:05:00/08:05:30] [s 08:10:00/]",
                               "F-5 下: [s /08:15:00] [s 08:20:00/08:20:30] [s 08:25:00/]",
                               "N 下: [s /09:00:00] [s 09:06:00/09:06:00] [s 09:12:00/]"}));
  EXPECT_EQ(r.Info.Trips, 6);
  EXPECT_TRUE(HasNote(r.Info, "5 本の列車にしました"));
  EXPECT_TRUE(HasNote(r.Info, "うち 2 本は時刻が目安の便"));
}

TEST(GtfsShapes, DamagedFrequencyRowsAreRefusedNamingTheLine) {
  const std::string trips = "R,S,F,F\n";
  const std::string times = "F,06:00:00,06:00:00,A,1\nF,06:10:00,06:10:00,C,2\n";
  for (const char* row : {"F,07:00:00,07:00:00,600,1", "F,07:00:00,08:00:00,0,1",
                                 "F,7時,08:00:00,600,1", "F,07:00:00,08:00:00,600,2",
                                 "F,04:00:00,27:00:00,1,0"}) {
    const TRead r = Read(Feed(trips, times, row + std::string("\n")));
    ASSERT_FALSE(r.St.ok()) << row;
    EXPECT_NE(r.St.Msg().find("frequencies.txt"), std::string::npos) << r.St.Msg();
    EXPECT_NE(r.St.Msg().find("2 行目"), std::string::npos) << r.St.Msg();
  }
}

// All stations in one order: the all-stations trip 甲-乙-丙-丁, an express 甲-丁 passing the
// two between, and a short turn 丁-丙 (up).
TEST(GtfsShapes, DifferentStopPatternsShareOneStationOrder) {
  const TRead r = Read(Feed("R,S,L,L\nR,S,X,X\nR,S,T,T\n",
                            "L,06:00:00,06:00:00,A,1\nL,06:05:00,06:05:00,B,2\n"
                            "L,06:10:00,06:10:00,C,3\nL,06:15:00,06:15:00,D,4\n"
                            "X,07:00:00,07:00:00,A,1\nX,07:11:00,07:11:00,D,2\n"
                            "T,08:00:00,08:00:00,D,1\nT,08:05:00,08:05:00,C,2\n"));
  ASSERT_TRUE(r.St.ok()) << r.St.Msg();
  EXPECT_EQ(Stations(r.Doc), (std::vector<std::string>{"甲", "乙", "丙", "丁"}));
  EXPECT_EQ(Trains(r.Doc),
            (std::vector<std::string>{
                "L 下: [s /06:00:00] [s 06:05:00/06:05:00] [s 06:10:00/06:10:00] [s 06:15:00/]",
                "X 下: [s /07:00:00] [p] [p] [s 07:11:00/]",
                "T 上: [] [] [s 08:05:00/] [s /08:00:00]"}));
}

// A ring 甲-乙-丙-丁-甲: clockwise and anticlockwise trips round it, a trip ending at the ring
// station, and one running through it (丁-甲-乙), which a line cut at 甲 cannot hold.
TEST(GtfsShapes, ARingRouteBecomesALineFromItsRingStationRoundToItAgain) {
  const TRead r = Read(Feed(
      "R,S,C1,CW\nR,S,C2,AC\nR,S,IN,IN\nR,S,TH,TH\n",
      "C1,06:00:00,06:00:00,A,1\nC1,06:05:00,06:05:00,B,2\nC1,06:10:00,06:10:00,C,3\n"
      "C1,06:15:00,06:15:00,D,4\nC1,06:20:00,06:20:00,A,5\n"
      "C2,07:00:00,07:00:00,A,1\nC2,07:05:00,07:05:00,D,2\nC2,07:10:00,07:10:00,C,3\n"
      "C2,07:15:00,07:15:00,B,4\nC2,07:20:00,07:20:00,A,5\n"
      "IN,08:00:00,08:00:00,C,1\nIN,08:05:00,08:05:00,D,2\nIN,08:10:00,08:10:00,A,3\n"
      "TH,09:00:00,09:00:00,D,1\nTH,09:05:00,09:05:00,A,2\nTH,09:10:00,09:10:00,B,3\n"));
  ASSERT_TRUE(r.St.ok()) << r.St.Msg();
  EXPECT_EQ(Stations(r.Doc), (std::vector<std::string>{"甲", "乙", "丙", "丁", "甲(2)"}));
  EXPECT_EQ(Trains(r.Doc),
            (std::vector<std::string>{
                "CW 下: [s /06:00:00] [s 06:05:00/06:05:00] [s 06:10:00/06:10:00] "
                "[s 06:15:00/06:15:00] [s 06:20:00/]",
                "IN 下: [] [] [s /08:00:00] [s 08:05:00/08:05:00] [s 08:10:00/]",
                "AC 上: [s 07:20:00/] [s 07:15:00/07:15:00] [s 07:10:00/07:10:00] "
                "[s 07:05:00/07:05:00] [s /07:00:00]"}));
  EXPECT_TRUE(HasNote(r.Info, "環状の路線です。駅「甲」を路線の両端に置きました"));
  EXPECT_TRUE(HasNote(r.Info, "を途中で通る便 1 本は読み込みません"));
}

// 甲-乙 and, apart from it, 西-東: the piece with fewer trips is left out, named; when it has
// more trips than the rest, the route is refused as no one line.
TEST(GtfsShapes, ARouteInTwoPiecesIsNamedOrRefused) {
  const std::string ab = "R,S,P1,P1\nR,S,P2,P2\n";
  const std::string abTimes = "P1,06:00:00,06:00:00,A,1\nP1,06:05:00,06:05:00,B,2\n"
                              "P2,07:00:00,07:00:00,A,1\nP2,07:05:00,07:05:00,B,2\n";
  const std::string xy = "R,S,Q1,Q1\n";
  const std::string xyTimes = "Q1,06:00:00,06:00:00,X,1\nQ1,06:05:00,06:05:00,Y,2\n";
  const TRead kept = Read(Feed(ab + xy, abTimes + xyTimes));
  ASSERT_TRUE(kept.St.ok()) << kept.St.Msg();
  EXPECT_EQ(Stations(kept.Doc), (std::vector<std::string>{"甲", "乙"}));
  EXPECT_TRUE(HasNote(kept.Info, "つながらない駅 2 か所（西、東）と、そこを走る便 1 本"));

  const std::string xy3 = xy + "R,S,Q2,Q2\nR,S,Q3,Q3\n";
  const std::string xy3Times = xyTimes + "Q2,07:00:00,07:00:00,X,1\nQ2,07:05:00,07:05:00,Y,2\n"
                                         "Q3,08:00:00,08:00:00,X,1\nQ3,08:05:00,08:05:00,Y,2\n";
  const TRead refused = Read(Feed(ab + xy3, abTimes + xy3Times));
  ASSERT_FALSE(refused.St.ok());
  EXPECT_NE(refused.St.Msg().find("1本の路線になりません"), std::string::npos) << refused.St.Msg();
}

}  // namespace
}  // namespace ramvel
