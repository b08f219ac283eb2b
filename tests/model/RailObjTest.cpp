// Rails (geometry queries, track end points, the rail file), blocks and laying a body on a rail.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "model/UrwCarObj.h"
#include "model/UrwRailObj.h"

namespace ramvel {
namespace {

using test::ReadBytes;
using test::TTempDir;

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text << "\" lacks \"" << part << "\"";
}

// A horizontal two-track rail 5002 from (1080, 2160) to (2376, 2160).
TRailObj FlatRail() {
  TRailObj rail;
  rail.Id = 5002;
  rail.EndPos[0] = {1080, 2160};
  rail.EndPos[1] = {2376, 2160};
  rail.Length = 1296;
  rail.EntCount[0] = rail.EntCount[1] = 2;
  return rail;
}

TEST(Rail, ConstructionOwnsBothEnds) {
  const TRailObj rail;
  EXPECT_TRUE(rail.EntOwner[0]);
  EXPECT_TRUE(rail.EntOwner[1]);
}

TEST(Rail, RunTimeAndConnections) {
  TRailObj rail = FlatRail();
  EXPECT_FLOAT_EQ(rail.RunTime(30), 43.2f);
  rail.EntConn[1][2] = -3021;
  EXPECT_EQ(rail.GetConn(1, 2), -3021);
  EXPECT_EQ(rail.GetConn(0, 2), 0);
  EXPECT_EQ(rail.GetConn(1, 11), 0);  // outside the slots: nothing joined, no stray read
}

TEST(Rail, PtNearRailHitsWithinToleranceAndTellsTheHalf) {
  const TRailObj rail = FlatRail();
  struct Case {
    int32_t x, y;
    bool hit, nearEnd1;
  } cases[] = {{1728, 2165, true, true},   {1200, 2152, true, false},  {2300, 2170, true, true},
               {1728, 2171, false, false}, {2380, 2160, false, false}, {1070, 2160, false, false}};
  for (const Case& c : cases) {
    const TNearHit h = PtNearRail(rail, c.x, c.y, 10);
    EXPECT_EQ(h.Hit, c.hit) << c.x << "," << c.y;
    if (c.hit) {
      EXPECT_EQ(h.NearB, c.nearEnd1) << c.x << "," << c.y;
    }
  }
}

TEST(Rail, RailCrossesSegCountsTouching) {
  const TRailObj rail = FlatRail();
  EXPECT_TRUE(RailCrossesSeg(rail, {1500, 2000}, {1500, 2300}));
  EXPECT_FALSE(RailCrossesSeg(rail, {1500, 2161}, {1500, 2300}));
  EXPECT_TRUE(RailCrossesSeg(rail, {2376, 2160}, {2484, 2052}));  // meets at the end point
  EXPECT_TRUE(RailCrossesSeg(rail, {2268, 2160}, {2484, 2160}));  // collinear overlap
  EXPECT_FALSE(RailCrossesSeg(rail, {2484, 2160}, {2592, 2160}));
}

// Screen = (100, 200) + (u / 2, 2 v): along 2 m per pixel, across half a metre per pixel.
TRailObj DrawnRail() {
  TRailObj rail = FlatRail();
  rail.Length = 1080;
  SetRailTransform(rail, {100, 200}, 0.5f, 2.0f);
  return rail;
}

// A station 3001 whose side 0 starts at screen (640, 200), drawn like DrawnRail; 3 slots on
// side 0 and 1 on side 1.
TBaseObj DrawnStation() {
  TBaseObj sta;
  sta.Id = 3001;
  sta.EntCount[0] = 3;
  sta.EntCount[1] = 1;
  sta.CosU = 0.5f;
  sta.CosV = 2.0f;
  sta.OrgX = 640;
  sta.OrgY = 200;
  return sta;
}

TEST(Rail, TrackEndPointWithoutTheOtherObjectIsTheRailsOwnEnd) {
  const TRailObj rail = DrawnRail();
  EXPECT_EQ(TrackEndPoint(rail, 1, 0, nullptr), (TPoint{100, 200}));
  EXPECT_EQ(TrackEndPoint(rail, 2, 0, nullptr), (TPoint{100, 208}));
  EXPECT_EQ(TrackEndPoint(rail, 1, 1, nullptr), (TPoint{640, 200}));
}

TEST(Rail, TrackEndPointGoesToTheSlotItJoins) {
  TRailObj rail = DrawnRail();
  const TBaseObj sta = DrawnStation();
  rail.EntConn[1][1] = MakeEntCode(3001, 3, 0);  // slot 3 of 3: 4 m off the axis
  rail.EntConn[1][2] = MakeEntCode(3001, 1, 1);  // the far side, 1188 m along
  EXPECT_EQ(TrackEndPoint(rail, 1, 1, &sta), (TPoint{640, 208}));
  EXPECT_EQ(TrackEndPoint(rail, 2, 1, &sta), (TPoint{1234, 200}));
  rail.EntConn[1][2] = 0;  // loose: nothing on sta to draw to
  EXPECT_EQ(TrackEndPoint(rail, 2, 1, &sta), (TPoint{640, 208}));
  rail.EntConn[1][2] = MakeEntCode(4001, 1, 0);  // joins another object
  EXPECT_EQ(TrackEndPoint(rail, 2, 1, &sta), (TPoint{640, 208}));
}

// ---- Laying a body -----------------------------------------------------------------------------

// A 100 m one-track rail drawn one metre per pixel from (0, 0) to (100, 0), joined to 3011 and
// -4011 at its ends; a 2-car set at 36 km/h (10 m/s).
struct TBodyFixture : ::testing::Test {
  TRailObj rail;
  TCarObj car;
  void SetUp() override {
    rail.Id = 5002;
    rail.EndPos[1] = {100, 0};
    rail.Length = 100;
    rail.EntCount[0] = rail.EntCount[1] = 1;
    rail.EntConn[0][1] = 3011;
    rail.EntConn[1][1] = -4011;
    SetRailTransform(rail, {0, 0}, 1, 1);
    car.SetProps({1, "", 0, 2, 36});
  }
};

TEST_F(TBodyFixture, HeadThirtyMetresInLeavesTenMetresBehind) {
  car.BodyPts = {"stale"};
  car.RunTm = 3;
  float rem = 0;
  EXPECT_EQ(LayBodyOnRail(rail, car, MakeEntCode(5002, 1, 0), rem, nullptr, nullptr), 3011);
  EXPECT_EQ(car.BodyPts, (std::vector<std::string>{"300,0", "0,0"}));
  EXPECT_FLOAT_EQ(rem, 10);
}

TEST_F(TBodyFixture, DistancesCountFromTheEntryEnd) {
  car.RunTm = 3;
  float rem = 0;
  EXPECT_EQ(LayBodyOnRail(rail, car, MakeEntCode(5002, 1, 1), rem, nullptr, nullptr), -4011);
  EXPECT_EQ(car.BodyPts, (std::vector<std::string>{"700,0", "1000,0"}));
}

TEST_F(TBodyFixture, BodyBehindTheHeadEndsOnThisTrack) {
  car.BodyPts = {"5,5"};
  float rem = 10;
  EXPECT_EQ(LayBodyOnRail(rail, car, MakeEntCode(5002, 1, 0), rem, nullptr, nullptr), 0);
  // The far end where the body comes in, then the tail 90 m from the entry end.
  EXPECT_EQ(car.BodyPts, (std::vector<std::string>{"5,5", "1000,0", "900,0"}));
  EXPECT_EQ(rem, 0);
  rem = 130;
  EXPECT_EQ(LayBodyOnRail(rail, car, MakeEntCode(5002, 1, 0), rem, nullptr, nullptr), 3011);
  EXPECT_FLOAT_EQ(rem, 30);
}

TEST_F(TBodyFixture, TrackEndsComeFromTheObjectsJoined) {
  // Stations drawn with all coefficients zero put every slot on their origin.
  TBaseObj at0, at1;
  at0.Id = 3001;
  at0.OrgX = 10;
  at0.OrgY = 20;
  at1.Id = 4001;
  at1.OrgX = 110;
  at1.OrgY = 60;
  car.RunTm = 3;
  float rem = 0;
  LayBodyOnRail(rail, car, MakeEntCode(5002, 1, 0), rem, &at1, &at0);
  // 30 % of the way from (10, 20) to (110, 60), then the entry end.
  EXPECT_EQ(car.BodyPts, (std::vector<std::string>{"400,320", "100,200"}));
}

// ---- Rail file ---------------------------------------------------------------------------------

const std::vector<std::string> kRailFile = {"LENGTH=1296",
                                            "ENTOWNER0=1",
                                            "ENTOWNER1=0",
                                            "LBL_ID=5002",
                                            "ROTE=-0.785398185253143",
                                            "LBL_CONN0=3011|3021|0|0|0|0|0|0|0|0",
                                            "LBL_CONN1=-4011|12102|0|0|0|0|0|0|0|0",
                                            "LBL_POS=1080|2160|2376|2160",
                                            "ENT0=2",
                                            "ENT1=2"};

std::string Crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

TEST(RailFile, WritesTheFixedForm) {
  TTempDir dir;
  TRailObj rail = FlatRail();
  rail.EntOwner[1] = false;
  rail.Rote = -0.785398185253143f;
  rail.EntConn[0][1] = 3011;
  rail.EntConn[0][2] = 3021;
  rail.EntConn[1][1] = -4011;
  rail.EntConn[1][2] = 12102;
  ASSERT_TRUE(rail.SaveRail(dir.Path()).ok());
  EXPECT_EQ(ReadBytes(dir / "5002.txt"), Crlf(kRailFile));
}

TEST(RailFile, WriteReadWriteGivesTheSameBytes) {
  TTempDir dir;
  test::WriteBytes(dir / "in/5002.txt", Crlf(kRailFile));
  TRailObj rail;
  ASSERT_TRUE(rail.LoadRail(dir / "in", "5002").ok());
  EXPECT_EQ(rail.Length, 1296);
  EXPECT_TRUE(rail.EntOwner[0]);
  EXPECT_FALSE(rail.EntOwner[1]);
  EXPECT_EQ(rail.EntConn[1][2], 12102);
  EXPECT_EQ(rail.EndPos[1], (TPoint{2376, 2160}));
  std::filesystem::create_directory(dir / "out");
  ASSERT_TRUE(rail.SaveRail(dir / "out").ok());
  EXPECT_EQ(ReadBytes(dir / "out/5002.txt"), Crlf(kRailFile));
}

TEST(RailFile, MissingOwnerFlagsReadAsFalse) {
  std::vector<std::string> lines = kRailFile;
  lines.erase(lines.begin() + 1, lines.begin() + 3);
  TTempDir dir;
  test::WriteBytes(dir / "5002.TXT", Crlf(lines));  // found whatever the letter case on disk
  TRailObj rail;
  ASSERT_TRUE(rail.LoadRail(dir.Path(), "5002").ok());
  EXPECT_FALSE(rail.EntOwner[0]);
  EXPECT_FALSE(rail.EntOwner[1]);
}

TEST(RailFile, BadKeysNameFileAndKeyAndChangeNothing) {
  const std::pair<std::string, std::string> cases[] = {
      {"LENGTH=abc", "LENGTH"},     {"LENGTH=-5", "LENGTH"},
      {"LBL_ID=5001", "LBL_ID"},    {"ROTE=north", "ROTE"},
      {"LBL_POS=1|2|3", "LBL_POS"}, {"LBL_CONN1=1|2|x|0|0|0|0|0|0|0", "LBL_CONN1"},
      {"ENT0=11", "ENT0"},          {"ENT1=", "ENT1"}};
  for (const auto& [line, key] : cases) {
    std::vector<std::string> lines;
    for (const std::string& l : kRailFile) {
      if (l.substr(0, l.find('=')) != key) lines.push_back(l);
    }
    lines.push_back(line);
    TTempDir dir;
    test::WriteBytes(dir / "5002.txt", Crlf(lines));
    TRailObj rail = FlatRail();
    const TStatus st = rail.LoadRail(dir.Path(), "5002");
    ASSERT_FALSE(st.ok()) << line;
    EXPECT_TRUE(Contains(st.Msg(), "rail/5002.txt: " + key));
    EXPECT_TRUE(rail.EntOwner[1]) << line;
    EXPECT_EQ(rail.EntConn[0][1], 0) << line;
  }
}

TEST(RailFile, MissingFileChangesNothing) {
  TTempDir dir;
  TRailObj rail = FlatRail();
  const TStatus st = rail.LoadRail(dir.Path(), "7002");
  ASSERT_FALSE(st.ok());
  EXPECT_TRUE(Contains(st.Msg(), "rail/7002.txt"));
  EXPECT_EQ(rail.Id, 5002);
}

// ---- Blocks ------------------------------------------------------------------------------------

TEST(Block, OtherEndComparesObjectIdsOnly) {
  TBlkObj blk;
  blk.SetEnd(0, MakeEntCode(1003, 1, 1));
  blk.SetEnd(1, MakeEntCode(2003, 1, 0));
  EXPECT_EQ(blk.OtherEnd(MakeEntCode(1003, 1, 0)), 2013);
  EXPECT_EQ(blk.OtherEnd(1003), 2013);  // a bare id works too
  EXPECT_EQ(blk.OtherEnd(2013), -1013);
  EXPECT_EQ(blk.OtherEnd(MakeEntCode(5002, 2, 1)), -1013);
}

TEST(Block, OccupancyWaitsForTrainsButNotForStabledSets) {
  TBlkObj blk;
  blk.Length = 648;
  EXPECT_FLOAT_EQ(blk.RunTime(20), 32.4f);
  blk.Occupy("101,普通", 120, 60);
  blk.Occupy("102,急行", 200, 60);
  EXPECT_EQ(blk.Occ.Get(0).TmEnd, 180);
  EXPECT_EQ(blk.WaitFor(100, 50), 160);  // pushed behind both trains to 260
  blk.Release("102,急行");
  blk.Occupy("[3]", 200, 60);
  EXPECT_EQ(blk.WaitFor(100, 50), 80);  // the stabled set ends the search at 180
  blk.Release("101,普通");
  EXPECT_EQ(blk.Occ.Count(), 1);
  blk.ClearOcc();
  EXPECT_EQ(blk.Occ.Count(), 0);
}

}  // namespace
}  // namespace ramvel
