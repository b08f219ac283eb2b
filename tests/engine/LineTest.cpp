// The current line: its file, growing it station by station, and its blocks.
#include <gtest/gtest.h>

#include <filesystem>

#include "NetBuilder.h"
#include "TestSupport.h"
#include "engine/UrwBrdData.h"

namespace ramvel {
namespace {

using test::PutStation;
using test::TwoPlatformStation;
using Lines = std::vector<std::string>;

class LineTest : public ::testing::Test {
 protected:
  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(LineTest, ParallelTracksGiveTwoChainsOfBlocks) {
  TStaObj* a = PutStation(brd_, TwoPlatformStation(1001, "A"), 0, 0);
  TStaObj* b = PutStation(brd_, TwoPlatformStation(2001, "B"), 22, 0);
  brd_.RailReg({11, 0}, {11, 0}, a, b, 1)->Length = 1296;
  brd_.RailReg({11, 0}, {11, 0}, a, b, 1)->Length = 1300;
  brd_.LineStas = {"1001", "2001"};
  brd_.MakeLineBlk();

  ASSERT_EQ(brd_.Blks.size(), 4u);
  const int32_t lengths[] = {648, 648, 650, 650};
  for (int c = 1; c <= 4; ++c) {
    const TBlkObj& blk = *brd_.Blks.at(IntText(c));
    EXPECT_EQ(blk.BlkCode, c * 1000 + 13);
    EXPECT_EQ(blk.Length, lengths[c - 1]);
  }
  const auto ends = [&](int c) {
    const TBlkObj& blk = *brd_.Blks.at(IntText(c));
    return std::vector<int32_t>{blk.BlkEnd[0], blk.BlkEnd[1]};
  };
  EXPECT_EQ(ends(1), (std::vector<int32_t>{-1011, 2013}));
  EXPECT_EQ(ends(2), (std::vector<int32_t>{-1013, 2011}));
  EXPECT_EQ(ends(3), (std::vector<int32_t>{-1021, 4013}));
  EXPECT_EQ(ends(4), (std::vector<int32_t>{-3013, 2021}));
  const std::map<std::string, int32_t> keys = {{"1012", 1013},  {"-1013", 1013}, {"2013", 2013},
                                               {"-1012", 2013}, {"2012", 3013},  {"-3013", 3013},
                                               {"4013", 4013},  {"-2012", 4013}};
  EXPECT_EQ(brd_.BlkEnds.size(), keys.size());
  for (const auto& [key, code] : keys) {
    ASSERT_NE(brd_.FindBlkEnd(std::stoi(key), ""), nullptr) << key;
    EXPECT_EQ(brd_.FindBlkEnd(std::stoi(key), "")->BlkCode, code) << key;
  }
  ASSERT_EQ(brd_.Sections.size(), 1u);
  const TSection& sec = brd_.Sections[0];
  EXPECT_EQ(sec.Tracks, 2);
  EXPECT_EQ(sec.BlkPerTrack, 2);
  EXPECT_EQ(sec.TrackStart[0], -1011);
  EXPECT_EQ(sec.TrackStart[1], -1021);
  EXPECT_EQ(sec.TrackEnd[0], 2011);
  EXPECT_EQ(sec.TrackEnd[1], 2021);
  EXPECT_EQ(brd_.LineSides, (std::vector<int32_t>{1, 1}));
  // Walking the chain from its far end leads back to the first block.
  EXPECT_EQ(brd_.FindBlkEnd(-1012, "")->OtherEnd(2001), -1013);
}

TEST_F(LineTest, ShortTracksGetOneBlockAndOneStationNone) {
  TStaObj* a = PutStation(brd_, TwoPlatformStation(1001, "A"), 0, 0);
  TStaObj* b = PutStation(brd_, TwoPlatformStation(2001, "B"), 22, 0);
  brd_.RailReg({11, 0}, {11, 0}, a, b, 1)->Length = 600;
  brd_.LineStas = {"2001", "1001"};  // the line starts on B's side 0
  brd_.MakeLineBlk();
  ASSERT_EQ(brd_.Blks.size(), 1u);
  EXPECT_EQ(brd_.Blks.at("1")->Length, 600);
  EXPECT_EQ(brd_.Blks.at("1")->BlkEnd[0], 2011);
  EXPECT_EQ(brd_.Blks.at("1")->BlkEnd[1], -1011);
  EXPECT_EQ(brd_.LineSides, (std::vector<int32_t>{0, 0}));
  brd_.LineStas = {"1001"};
  brd_.MakeLineBlk();
  EXPECT_TRUE(brd_.Blks.empty());
  EXPECT_TRUE(brd_.BlkEnds.empty());
  EXPECT_TRUE(brd_.Sections.empty());
}

// P - Q - R in a row; S hangs below Q's side 0, the side facing P.
class LineGrowth : public LineTest {
 protected:
  void SetUp() override {
    TStaObj* p = PutStation(brd_, TwoPlatformStation(1001, "P"), 0, 0);
    TStaObj* q = PutStation(brd_, TwoPlatformStation(2001, "Q"), 22, 0);
    TStaObj* r = PutStation(brd_, TwoPlatformStation(3001, "R"), 44, 0);
    TStaObj* s = PutStation(brd_, TwoPlatformStation(4001, "S"), 11, 5);
    brd_.RailReg({11, 0}, {11, 0}, p, q, 1);
    brd_.RailReg({33, 0}, {11, 0}, q, r, 1);
    brd_.RailReg({22, 0}, {0, 5}, q, s, 1);
    ASSERT_EQ(q->EntConn[0][2], MakeEntCode(3002, 1, 1));
  }
};

TEST_F(LineGrowth, AddsAtTheEndAwayFromThePreviousStation) {
  ASSERT_TRUE(brd_.SetLine("本線").ok());
  brd_.LineStas = {"1001", "2001"};
  EXPECT_TRUE(brd_.AddStaToLine(3001));
  EXPECT_EQ(brd_.LineStas, (Lines{"1001", "2001", "3001"}));
  EXPECT_FALSE(brd_.AddStaToLine(4001));
  brd_.LineStas = {"1001", "2001"};
  EXPECT_FALSE(brd_.AddStaToLine(4001));  // only on the side facing P
  EXPECT_EQ(brd_.LineStas.size(), 2u);
  EXPECT_TRUE(host_.Events.empty());
}

TEST_F(LineGrowth, AddsAtTheFrontWhenTheEndDoesNotFit) {
  brd_.LineStas = {"2001", "3001"};
  EXPECT_TRUE(brd_.AddStaToLine(1001));
  EXPECT_EQ(brd_.LineStas, (Lines{"1001", "2001", "3001"}));
  EXPECT_EQ(brd_.FindStaInLine(3001), 2);
  EXPECT_EQ(brd_.FindStaInLine(4001), -1);
  Lines names;
  brd_.ListUpStaInLine(names);
  EXPECT_EQ(names, (Lines{"P", "Q", "R"}));
  brd_.LineStas.push_back("9001");
  brd_.ListUpStaInLine(names);
  EXPECT_EQ(names.size(), 3u);
  EXPECT_EQ(host_.Texts(), Lines{"Error(ListUpStaInLine-STA-1:9001)"});
}

TEST_F(LineTest, ARingLineFileRepeatsItsFirstStation) {
  test::TTempDir dir;
  ASSERT_TRUE(brd_.SetLine("山手").ok());
  brd_.LineStas = {"1001", "2001", "3001", "1001"};
  ASSERT_TRUE(brd_.SaveLine(dir.Path()).ok());
  EXPECT_EQ(test::ReadBytes(dir / "line/山手.txt"), "1001\r\n2001\r\n3001\r\n1001\r\n");
  ASSERT_TRUE(brd_.SetLine("山手").ok());
  EXPECT_TRUE(brd_.LineStas.empty());
  ASSERT_TRUE(brd_.LoadLine(dir.Path()).ok());
  EXPECT_EQ(brd_.LineStas, (Lines{"1001", "2001", "3001", "1001"}));
}

// Neighbours follow each other in the station list, either way round; the ring's first station,
// listed again at its end, neighbours the last one too.
TEST_F(LineTest, NeighboursFollowEachOtherOnTheLine) {
  struct TCase {
    int32_t A, B;
    bool Line, Ring;
  };
  for (const TCase& k : {TCase{1001, 2001, true, true}, TCase{2001, 1001, true, true},
                         TCase{3001, 1001, false, true}, TCase{1001, 3001, false, true},
                         TCase{1001, 1001, false, false}, TCase{2001, 4001, false, false}}) {
    brd_.LineStas = {"1001", "2001", "3001"};
    EXPECT_EQ(brd_.AreLineNeighbours(k.A, k.B), k.Line) << k.A << " " << k.B;
    brd_.LineStas.push_back("1001");
    EXPECT_EQ(brd_.AreLineNeighbours(k.A, k.B), k.Ring) << k.A << " " << k.B << " (ring)";
  }
}

TEST_F(LineTest, BadLineFilesAndNamesAreRefused) {
  test::TTempDir dir;
  for (const char* bad : {"", "..", "a/b", "x\\y"}) {
    EXPECT_FALSE(brd_.SetLine(bad).ok()) << bad;
  }
  ASSERT_TRUE(brd_.SetLine("L").ok());
  EXPECT_FALSE(brd_.LoadLine(dir.Path()).ok());  // no file
  test::WriteBytes(dir / "line/L.txt", "1001\r\nabc\r\n");
  brd_.LineStas = {"5001"};
  const TStatus st = brd_.LoadLine(dir.Path());
  EXPECT_EQ(st.Msg(), "line/L.txt: 2 行目が駅の ID ではありません");
  EXPECT_EQ(brd_.LineStas, Lines{"5001"});
  test::WriteBytes(dir / "LINE/l.TXT", "1001\n2001\n");
  std::filesystem::remove_all(dir / "line");
  ASSERT_TRUE(brd_.LoadLine(dir.Path()).ok());  // found whatever the case
  EXPECT_EQ(brd_.LineStas, (Lines{"1001", "2001"}));
}

}  // namespace
}  // namespace ramvel
