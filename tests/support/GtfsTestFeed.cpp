// The scenario GTFS feed and zip archives for tests.
#include "GtfsTestFeed.h"

#include <gtest/gtest.h>
#include <zip.h>

namespace ramvel::test {

TGtfsFiles ScenarioFeed() {
  TGtfsFiles f;
  f["agency.txt"] =
      "agency_id,agency_name,agency_url,agency_timezone\r\n"
      "A,\"港鉄道, 株式会社\",https://example.org/,Asia/Tokyo\r\n";
  f["routes.txt"] =
      "route_id,agency_id,route_short_name,route_long_name,route_desc,route_type\r\n"
      "R1,A,,港線,\"海沿いを走る\r\n鉄道, 3駅\",2\r\n"
      "R2,A,7,バス,,3\r\n";
  f["stops.txt"] =
      "\xEF\xBB\xBF"
      "stop_id,stop_name,stop_lat,stop_lon,location_type,parent_station,platform_code\r\n"
      "P1,北,35.000000,139.000000,1,,\r\n"
      "P1a,北,35.000010,139.000000,0,P1,1\r\n"
      "P1b,北,35.000010,139.000020,0,P1,2\r\n"
      "S2,中,35.009000,139.000000,0,,\r\n"
      "S3,南,35.018000,139.000000,1,,\r\n"
      "S3a,\"南\",35.018000,139.000010,0,S3,\r\n"
      "BS,駅前,35.100000,139.100000,0,,\r\n";
  f["trips.txt"] =
      "route_id,service_id,trip_id,trip_headsign,trip_short_name,direction_id,block_id\r\n"
      "R1,WD,T1,南,1,0,B1\r\n"
      "R1,WD,T2,北,2,1,B1\r\n"
      "R1,WD,T3,快速 はまかぜ 南,3,0,B2\r\n"
      "R1,WD,T4,普通 北,4,1,B2\r\n"
      "R1,WE,T5,南,5,0,B1\r\n"
      "R1,EX,extra-morning-train-of-the-5th,北,,1,\r\n"
      "R2,WD,BUS1,駅前,,0,\r\n";
  f["stop_times.txt"] =
      "trip_id,arrival_time,departure_time,stop_id,stop_sequence,pickup_type,drop_off_type\r\n"
      "T1,07:00:00,07:00:00,P1b,1,,\r\n"
      "T1,07:05:00,07:05:30,S2,2,,\r\n"
      "T1,07:10:00,07:10:00,S3a,3,,\r\n"
      "T2,07:30:00,07:30:00,S3a,1,0,0\r\n"
      "T2,07:35:00,07:35:30,S2,2,0,0\r\n"
      "T2,07:40:00,07:40:00,P1b,3,0,0\r\n"
      "T3,08:00:00,08:00:00,P1a,10,0,0\r\n"
      "T3,08:04:00,08:04:00,S2,20,1,1\r\n"
      "T3,08:07:00,08:07:00,S3a,30,0,0\r\n"
      "T4,06:37:00,06:38:00,S2,2,0,0\r\n"
      "T4,06:30:00,06:30:00,S3a,1,0,0\r\n"
      "T4,06:45:00,06:45:00,P1a,3,0,0\r\n"
      "T5,10:00:00,10:00:00,P1a,1,0,0\r\n"
      "T5,10:10:00,10:10:00,S3a,2,0,0\r\n"
      "extra-morning-train-of-the-5th,09:00:00,09:00:00,S3a,1,0,0\r\n"
      "extra-morning-train-of-the-5th,09:12:00,09:12:00,P1a,2,0,0\r\n"
      "BUS1,07:00:00,07:00:00,BS,1,0,0\r\n"
      "BUS1,07:10:00,07:10:00,S2,2,0,0\r\n";
  f["calendar.txt"] =
      "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,end_date\r\n"
      "WD,1,1,1,1,1,0,0,20260101,20261231\r\n"
      "WE,0,0,0,0,0,1,1,20260101,20261231\r\n";
  f["calendar_dates.txt"] =
      "service_id,date,exception_type\r\n"
      "EX,20260105,1\r\n"
      "WD,20260106,2\r\n";
  return f;
}

void WriteGtfsZip(const std::string& path, const TGtfsFiles& files) {
  int code = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  ASSERT_NE(za, nullptr) << path;
  for (const auto& [name, text] : files) {
    zip_source_t* src = zip_source_buffer(za, text.data(), text.size(), 0);
    ASSERT_GE(zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_UTF_8), 0) << name;
  }
  ASSERT_EQ(zip_close(za), 0) << path;
}

TGtfsFiles ReadGtfsZip(const std::string& path) {
  TGtfsFiles files;
  int code = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (za == nullptr) return files;
  for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st);
    std::string text(static_cast<size_t>(st.size), '\0');
    zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
    EXPECT_EQ(zip_fread(f, text.data(), st.size), static_cast<zip_int64_t>(st.size));
    zip_fclose(f);
    files[st.name] = text;
  }
  zip_close(za);
  return files;
}

}  // namespace ramvel::test
