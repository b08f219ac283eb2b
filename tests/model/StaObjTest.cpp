// Stations: the station file, the grid, entry crossings, lookups and occupancy tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "StaBuilder.h"
#include "TestSupport.h"
#include "model/UrwStaObj.h"

namespace ramvel {
namespace {

using test::ReadBytes;
using test::TStaBuilder;
using test::TTempDir;
using test::WriteBytes;

// A station with something in every record of the file.
TStaObj RefStation() {
  TStaBuilder b(5001, "ABC");
  b.Desc("main yard").Ents(3, 2).At({1080, 2160}, {1944, 3024});
  b.Conn(0, 1, 12012).Conn(0, 3, -13012).Conn(1, 2, 14022).Crs(0, 1, 3, 1);
  b.Piece(20, 1, 5, 1, 1).Piece(3, 9, 7, 1, 2).Piece(5, 8, 12, 4, 1).Piece(5, 9, 13, 4, 1, 2);
  b.Piece(1, 10, 1, 1, 1);
  b.Pt({"1", "1,2"}).Pt({"1", "2", "1,2", "2,1"});
  b.Rail(kRailPt, 11, {274, -4}, {314, -4}).Rail(kRailPt, 12, {274, -4}, {314, 0});
  b.Rail(kRailHome, 2, {354, -4}, {514, -4}).Rail(kRailPlain, 1, {194, 0}, {274, 0});
  b.Rail(kRailPlain, 2, {0, 4}, {194, 0}).Rail(kRailPlain, 3, {994, 0}, {1188, 0});
  b.Home({354, -10, 514, -6});
  return b.Build();
}

// The file of RefStation, written out by hand from the format.
std::string RefFileText() {
  const char* lines[] = {"IS_ERR=N",
                         "DESC=main yard",
                         "MTRX2001=0|5|0|0|0",
                         "MTRX0508=0|12|0|0|0",
                         "MTRX0608=1|12|1|0|0",
                         "MTRX0708=1|12|2|0|0",
                         "MTRX0808=1|12|3|0|0",
                         "MTRX0309=0|7|0|0|0",
                         "MTRX0509=0|13|0|0|2",
                         "MTRX0609=1|13|1|0|2",
                         "MTRX0709=1|13|2|0|2",
                         "MTRX0809=1|13|3|0|2",
                         "MTRX0110=0|1|0|0|0",
                         "MTRX0310=1|7|0|1|0",
                         "ENTCRS0=10301",
                         "ENTCRS1=0",
                         "PT_CNT=2",
                         "PT1=2|1|1,2",
                         "PT2=4|1|2|1,2|2,1",
                         "RAIL_CNT=6",
                         "RAIL1=1|11|274|-4|314|-4",
                         "RAIL2=1|12|274|-4|314|0",
                         "RAIL3=3|2|354|-4|514|-4",
                         "RAIL4=0|1|194|0|274|0",
                         "RAIL5=0|2|0|4|194|0",
                         "RAIL6=0|3|994|0|1188|0",
                         "HOME_CNT=1",
                         "HOME1=354|-10|514|-6",
                         "LBL_ID=5001",
                         "ROTE=0.785398185253143",
                         "LBL_CONN0=12012|0|-13012|0|0|0|0|0|0|0",
                         "LBL_CONN1=0|14022|0|0|0|0|0|0|0|0",
                         "LBL_POS=1080|2160|1944|3024",
                         "ENT0=3",
                         "ENT1=2"};
  std::string text;
  for (const char* line : lines) text.append(line).append("\r\n");
  return text;
}

// A station file holding only the required records.
std::string MinimalFile(const std::string& extra) {
  return "IS_ERR=Y\r\nDESC=\r\n" + extra +
         "PT_CNT=0\r\nRAIL_CNT=0\r\nHOME_CNT=0\r\nLBL_ID=7001\r\nROTE=0\r\n"
         "LBL_CONN0=0|0|0|0|0|0|0|0|0|0\r\nLBL_CONN1=0|0|0|0|0|0|0|0|0|0\r\n"
         "LBL_POS=0|0|1188|0\r\nENT0=2\r\nENT1=3\r\n";
}

// The file with the line of key replaced by line, or dropped when line is absent.
std::string WithLine(const std::string& file, const std::string& key,
                     const std::optional<std::string>& line) {
  std::string out;
  size_t start = 0;
  bool found = false;
  while (start < file.size()) {
    const size_t end = file.find("\r\n", start);
    const std::string cur = file.substr(start, end - start);
    if (cur.rfind(key + "=", 0) == 0) {
      found = true;
      if (line) out += *line + "\r\n";
    } else {
      out += cur + "\r\n";
    }
    start = end + 2;
  }
  EXPECT_TRUE(found) << key;
  return out;
}

int NonEmptyCells(const TStaObj& sta) {
  int n = 0;
  for (int32_t c = 1; c <= kStaCols; ++c) {
    for (int32_t r = 1; r <= kStaRows; ++r) n += sta.Cells[c][r].Kind != kCellEmpty;
  }
  return n;
}

class StaFileTest : public ::testing::Test {
 protected:
  std::string Folder(const std::string& sub = "station") const { return dir_ / sub + "/"; }
  std::string FileOf(const std::string& name, const std::string& sub = "station") const {
    return Folder(sub) + name + ".txt";
  }
  // Saves sta into sub and returns the bytes written.
  std::string SaveBytes(TStaObj& sta, const std::string& sub) {
    const TStatus st = sta.SaveSta(Folder(sub));
    EXPECT_TRUE(st.ok()) << st.Msg();
    return ReadBytes(FileOf(sta.Name, sub));
  }
  TStaObj LoadOk(const std::string& name, const std::string& sub = "station") {
    TStaObj sta;
    const TStatus st = sta.LoadSta(Folder(sub), name);
    EXPECT_TRUE(st.ok()) << st.Msg();
    return sta;
  }

  TTempDir dir_;
};

// ---- Round trip ------------------------------------------------------------------------------

TEST_F(StaFileTest, SaveWritesEveryRecordInFileOrder) {
  TStaObj sta = RefStation();
  EXPECT_EQ(RefFileText(), SaveBytes(sta, "station"));
}

TEST_F(StaFileTest, WriteReadWriteGivesTheSameBytes) {
  TStaObj sta = RefStation();
  const std::string first = SaveBytes(sta, "station");
  TStaObj back = LoadOk("ABC");
  EXPECT_EQ(first, SaveBytes(back, "again"));
}

TEST_F(StaFileTest, ReadingRestoresEveryFieldWithMarkTwoAndNoOccupancy) {
  TStaObj sta = RefStation();
  SaveBytes(sta, "station");
  const TStaObj back = LoadOk("ABC");
  EXPECT_EQ("ABC", back.Name);
  EXPECT_EQ("main yard", back.Desc);
  EXPECT_FALSE(back.IsErr);
  EXPECT_EQ(sta.Cells, back.Cells);
  EXPECT_EQ(10301, back.EntCrs[0]);
  EXPECT_EQ(0, back.EntCrs[1]);
  ASSERT_EQ(2u, back.Pts.size());
  EXPECT_EQ(4, back.Pts[1].RouteCnt);
  EXPECT_EQ("2,1", back.Pts[1].Routes[4]);
  EXPECT_EQ(-1, back.Pts[0].Occ[0]);
  ASSERT_EQ(6u, back.Rails.size());
  for (size_t i = 0; i < back.Rails.size(); ++i) {
    EXPECT_EQ(sta.Rails[i].Kind, back.Rails[i].Kind);
    EXPECT_EQ(sta.Rails[i].No, back.Rails[i].No);
    EXPECT_EQ(sta.Rails[i].P[0], back.Rails[i].P[0]);
    EXPECT_EQ(sta.Rails[i].P[1], back.Rails[i].P[1]);
    EXPECT_EQ(2, back.Rails[i].Mark);
    EXPECT_EQ(nullptr, back.Rails[i].Occ);
  }
  EXPECT_EQ(sta.Homes, back.Homes);
  EXPECT_EQ(5001, back.Id);
  EXPECT_FLOAT_EQ(0.785398185253143f, back.Rote);
  EXPECT_EQ(-13012, back.EntConn[0][3]);
  EXPECT_EQ(14022, back.EntConn[1][2]);
  EXPECT_EQ((TPoint{1944, 3024}), back.EndPos[1]);
  EXPECT_EQ(3, back.EntCount[0]);
  EXPECT_EQ(2, back.EntCount[1]);
  ASSERT_EQ(35u, back.FileRec.Lines.size());  // the file as read
  EXPECT_EQ("ENT1=2", back.FileRec.Lines.back());
}

TEST_F(StaFileTest, ReadingKeepsRunTimeFlags) {
  TStaObj sta = RefStation();
  SaveBytes(sta, "station");
  TStaObj target;
  target.NearFlag = true;
  target.ShowDetail = true;
  target.EntOwner[1] = false;
  ASSERT_TRUE(target.LoadSta(Folder(), "ABC").ok());
  EXPECT_TRUE(target.NearFlag);
  EXPECT_TRUE(target.ShowDetail);
  EXPECT_TRUE(target.EntOwner[0]);
  EXPECT_FALSE(target.EntOwner[1]);
}

TEST_F(StaFileTest, JapaneseNameAndTextRoundTripThroughCp932) {
  // ポ is 83 7C and ソ is 83 5C in CP932, 表 is 95 5C: bytes that look like "|" and "\".
  const std::string name = "ポソ表駅";
  TStaObj sta = TStaBuilder(9001, name).Desc("ポ|ソ\\表").Build();
  const std::string bytes = SaveBytes(sta, "station");
  EXPECT_NE(std::string::npos, bytes.find("DESC=\x83\x7C|\x83\x5C\\\x95\x5C\r\n"));
  TStaObj back = LoadOk(name);
  EXPECT_EQ(name, back.Name);
  EXPECT_EQ("ポ|ソ\\表", back.Desc);
  EXPECT_EQ(bytes, SaveBytes(back, "again"));
}

// ---- Reading special cases -------------------------------------------------------------------

TEST_F(StaFileTest, MissingCrossingKeysLeaveNoCrossing) {
  TStaObj sta = RefStation();
  std::string file = SaveBytes(sta, "station");
  file = WithLine(WithLine(file, "ENTCRS0", std::nullopt), "ENTCRS1", std::nullopt);
  WriteBytes(FileOf("ABC"), file);
  TStaObj target = RefStation();
  target.MakeEntCrs(1, 2, 2, 1);
  ASSERT_TRUE(target.LoadSta(Folder(), "ABC").ok());
  EXPECT_EQ(0, target.EntCrs[0]);
  EXPECT_EQ(0, target.EntCrs[1]);
}

TEST_F(StaFileTest, NoCellLinesGiveAnEmptyGrid) {
  WriteBytes(FileOf("EMPTY"), MinimalFile(""));
  const TStaObj sta = LoadOk("EMPTY");
  EXPECT_EQ(0, NonEmptyCells(sta));
  EXPECT_EQ(StaCell{}, sta.Cells[10][10]);
  EXPECT_TRUE(sta.IsErr);
  EXPECT_EQ(2, sta.EntCount[0]);
  EXPECT_EQ(3, sta.EntCount[1]);
  EXPECT_TRUE(sta.Rails.empty() && sta.Pts.empty() && sta.Homes.empty());
}

TEST_F(StaFileTest, CellLineNamesColumnThenRow) {
  WriteBytes(FileOf("ONE"), MinimalFile("MTRX2001=0|5|0|0|0\r\n"));
  const TStaObj sta = LoadOk("ONE");
  EXPECT_EQ((StaCell{kCellOrigin, 5, 0, 0, 0}), sta.Cells[20][1]);
  EXPECT_EQ(StaCell{}, sta.Cells[1][20]);
  EXPECT_EQ(1, NonEmptyCells(sta));
}

TEST_F(StaFileTest, FileInOtherLetterCaseIsReadAndWrittenInPlace) {
  TStaObj sta = RefStation();
  const std::string bytes = SaveBytes(sta, "station");
  std::filesystem::rename(FileOf("ABC"), FileOf("abc"));
  TStaObj back = LoadOk("ABC");
  EXPECT_EQ("ABC", back.Name);
  ASSERT_TRUE(back.SaveSta(Folder()).ok());
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(Folder())) {
    names.push_back(e.path().filename().string());
  }
  EXPECT_EQ(std::vector<std::string>{"abc.txt"}, names);
  EXPECT_EQ(bytes, ReadBytes(FileOf("abc")));

  WriteBytes(FileOf("abc"), WithLine(bytes, "PT_CNT", "PT_CNT=x"));
  EXPECT_EQ("station/abc.txt: PT_CNT が数値ではありません", back.LoadSta(Folder(), "ABC").Msg());
}

TEST_F(StaFileTest, EmptyRouteIsKeptAsWritten) {
  TStaObj ref = RefStation();
  const std::string file = WithLine(SaveBytes(ref, "station"), "PT1", "PT1=2|1|");
  WriteBytes(FileOf("ABC"), file);
  TStaObj back = LoadOk("ABC");
  ASSERT_EQ(2, back.Pts[0].RouteCnt);
  EXPECT_EQ("", back.Pts[0].Routes[2]);
  EXPECT_EQ(file, SaveBytes(back, "again"));
}

// ---- Refused files ---------------------------------------------------------------------------

struct TBadCase {
  const char* Key;                  // the line changed
  std::optional<std::string> Line;  // its replacement; absent: the line is dropped
};

const TBadCase kBadCases[] = {
    {"PT_CNT", "PT_CNT=x"},
    {"PT_CNT", std::nullopt},
    {"RAIL_CNT", std::nullopt},
    {"HOME_CNT", std::nullopt},
    {"PT_CNT", "PT_CNT=-1"},
    {"PT_CNT", "PT_CNT=1001"},
    {"RAIL_CNT", "RAIL_CNT=10001"},
    {"HOME_CNT", "HOME_CNT=1001"},
    {"RAIL6", std::nullopt},
    {"RAIL2", "RAIL2=1|12|274|x|314|0"},
    {"RAIL2", "RAIL2=1|12|274"},
    {"RAIL1", "RAIL1=2|11|274|-4|314|-4"},
    {"HOME1", "HOME1=354|-10|514"},
    {"PT1", "PT1=5|1|2|1,2|2,1|1"},
    {"PT1", "PT1=-1"},
    {"PT1", "PT1=x|1|2"},
    {"PT2", "PT2=4|1|2"},
    {"PT1", "PT1=2|1|x"},
    {"PT1", "PT1=2|1|10"},
    {"PT1", "PT1=2|1|1,,2"},
    {"MTRX0309", "MTRX0309=3|7|0|0|0"},
    {"MTRX0309", "MTRX0309=0|q|0|0|0"},
    {"MTRX0309", "MTRX0309=0|7|0"},
    {"MTRX0310", "MTRX0310=1|7|0|10|0"},
    {"MTRX0310", "MTRX0310=1|7|-18|0|0"},
    {"ENTCRS0", "ENTCRS0=abc"},
    {"ENTCRS1", "ENTCRS1=11101"},
    {"ENTCRS1", "ENTCRS1=-10101"},
    {"LBL_ID", "LBL_ID=5001x"},
    {"ROTE", std::nullopt},
    {"LBL_CONN1", "LBL_CONN1=0|1"},
    {"LBL_POS", "LBL_POS=1|2|3|y"},
    {"ENT0", "ENT0=11"},
};

TEST_F(StaFileTest, BadFileIsRefusedNamingFileAndKeyAndChangesNothing) {
  TStaObj ref = RefStation();
  const std::string good = SaveBytes(ref, "station");
  for (const TBadCase& c : kBadCases) {
    SCOPED_TRACE(std::string(c.Key) + " -> " + c.Line.value_or("(dropped)"));
    WriteBytes(FileOf("ABC"), good);
    TStaObj target = LoadOk("ABC");
    target.ResetOcc();
    target.Rails[2].Occ->Add(TTmTbl{"101,普通", 600, 700, 0});
    const std::vector<std::string> linesBefore = target.FileRec.Lines;
    WriteBytes(FileOf("ABC"), WithLine(good, c.Key, c.Line));

    const TStatus st = target.LoadSta(Folder(), "ABC");
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(0u, st.Msg().find("station/ABC.txt: " + std::string(c.Key) + " ")) << st.Msg();
    ASSERT_NE(nullptr, target.Rails[2].Occ);
    EXPECT_EQ(1, target.Rails[2].Occ->Count());
    EXPECT_EQ(linesBefore, target.FileRec.Lines);
    EXPECT_EQ(good, SaveBytes(target, "check"));
  }
}

TEST_F(StaFileTest, TurnoutWithMoreThanFourRoutesIsRefused) {
  TStaObj ref = RefStation();
  const std::string good = SaveBytes(ref, "station");
  WriteBytes(FileOf("ABC"), WithLine(good, "PT2", "PT2=5|1|2|1,2|2,1|2"));
  TStaObj target;
  const TStatus st = target.LoadSta(Folder(), "ABC");
  EXPECT_EQ("station/ABC.txt: PT2 の進路数 5 が範囲外です（0 から 4 まで）", st.Msg());
  EXPECT_TRUE(target.Pts.empty());
}

TEST_F(StaFileTest, MissingFileAndUnsafeNamesAreRefused) {
  TStaObj target = RefStation();
  EXPECT_EQ(0u, target.LoadSta(Folder(), "NOWHERE").Msg().find("station/NOWHERE.txt: "));
  EXPECT_EQ("ABC", target.Name);
  EXPECT_EQ(6u, target.Rails.size());
  for (const char* name : {"", "..", "../ABC", "a/b", "a\\b"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(target.LoadSta(Folder(), name).ok());
    TStaObj named = RefStation();
    named.Name = name;
    EXPECT_FALSE(named.SaveSta(Folder()).ok());
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.Path() + "/ABC.txt"));
}

TEST_F(StaFileTest, StationThatCouldNotBeReadBackIsNotWritten) {
  TStaObj ref = RefStation();
  const std::string good = SaveBytes(ref, "station");
  struct TCase {
    const char* Key;
    void (*Spoil)(TStaObj&);
  };
  const TCase cases[] = {
      {"PT1", [](TStaObj& s) { s.Pts[0].RouteCnt = 5; }},
      {"PT2", [](TStaObj& s) { s.Pts[1].Routes[3] = "1;2"; }},
      {"RAIL3", [](TStaObj& s) { s.Rails[2].Kind = 2; }},
      {"MTRX0310", [](TStaObj& s) { s.Cells[3][10].DRow = 12; }},
      {"MTRX0101", [](TStaObj& s) { s.Cells[1][1].Kind = 7; }},
      {"ENTCRS1", [](TStaObj& s) { s.MakeEntCrs(1, 1, 11, 1); }},
      {"ENT1", [](TStaObj& s) { s.EntCount[1] = 11; }},
      {"DESC", [](TStaObj& s) { s.Desc = "two\r\nPT_CNT=9"; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Key);
    TStaObj sta = RefStation();
    c.Spoil(sta);
    const TStatus st = sta.SaveSta(Folder());
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(0u, st.Msg().find("station/ABC.txt: " + std::string(c.Key) + " ")) << st.Msg();
    EXPECT_EQ(good, ReadBytes(FileOf("ABC")));
  }
}

TEST_F(StaFileTest, SaveCreatesAMissingStationFolder) {
  TStaObj sta = RefStation();
  EXPECT_EQ(RefFileText(), SaveBytes(sta, "new/station"));
}

// ---- Grid --------------------------------------------------------------------------------------

TEST(StaGridTest, NewStationHasEmptyGridAndOwnsBothEnds) {
  const TStaObj sta;
  EXPECT_EQ(0, NonEmptyCells(sta));
  EXPECT_TRUE(sta.EntOwner[0] && sta.EntOwner[1]);
  EXPECT_EQ(0, sta.EntCount[0]);
  EXPECT_TRUE(sta.Name.empty() && sta.Rails.empty() && sta.FileRec.Lines.empty());
}

TEST(StaGridTest, ClearCellsEmptiesGridEntriesAndCrossings) {
  TStaObj sta = RefStation();
  sta.ClearCells();
  EXPECT_EQ(0, NonEmptyCells(sta));
  EXPECT_EQ(1, sta.EntCount[0]);
  EXPECT_EQ(1, sta.EntCount[1]);
  EXPECT_EQ(0, sta.EntCrs[0]);
  EXPECT_EQ(6u, sta.Rails.size());
  sta.ClearLists();
  EXPECT_TRUE(sta.Rails.empty() && sta.Pts.empty() && sta.Homes.empty());
}

TEST(StaGridTest, GetCellOfCoveredCellGivesPieceOrigin) {
  TStaObj sta;
  sta.ClearCells();
  const StaCell covered{kCellCovered, 3, 2, -1, 0};
  ASSERT_TRUE(sta.SetCell(7, 4, covered));
  const TCellAt at = sta.GetCell(7, 4);
  EXPECT_EQ(5, at.Col);
  EXPECT_EQ(5, at.Row);
  EXPECT_EQ(covered, at.Cell);

  const StaCell origin{kCellOrigin, 3, 0, 0, 4};
  sta.SetCell(5, 5, origin);
  const TCellAt o = sta.GetCell(5, 5);
  EXPECT_EQ(origin, o.Cell);
  EXPECT_EQ(5, o.Col);
  EXPECT_EQ(5, o.Row);
}

TEST(StaGridTest, GetCellOutsideGridGivesEmptyCellAndErrAboveTwenty) {
  struct TCase {
    int32_t Col, Row;
    bool Err;
  };
  const TCase cases[] = {{21, 5, true}, {5, 21, true}, {0, 5, false}, {5, -1, false}};
  TStaObj sta = RefStation();
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Col << "," << c.Row);
    TScriptedHost host;
    TUiHostScope scope(host);
    const TCellAt at = sta.GetCell(c.Col, c.Row);
    EXPECT_EQ(StaCell{}, at.Cell);
    EXPECT_EQ(c.Col, at.Col);
    EXPECT_EQ(c.Row, at.Row);
    ASSERT_EQ(c.Err ? 1u : 0u, host.Events.size());
    if (c.Err) {
      EXPECT_EQ("plain", host.Events[0].Kind);
      EXPECT_EQ("err", host.Events[0].Text);
    }
  }
  EXPECT_FALSE(sta.SetCell(21, 1, StaCell{kCellOrigin, 1, 0, 0, 0}));
}

// ---- Entry tracks ------------------------------------------------------------------------------

TEST(StaEntryTest, CrossingCodePacksThreeParts) {
  TStaObj sta;
  sta.EntCrs[0] = 10301;
  const TEntCrs x = sta.SplitEntCrs(0);
  EXPECT_EQ(1, x.CrsFrom);
  EXPECT_EQ(3, x.CrsTo);
  EXPECT_EQ(1, x.CrsCnt);
  sta.MakeEntCrs(1, 10, 1, 10);
  EXPECT_EQ(100110, sta.EntCrs[1]);
  const TEntCrs y = sta.SplitEntCrs(1);
  EXPECT_EQ(10, y.CrsFrom);
  EXPECT_EQ(1, y.CrsTo);
  EXPECT_EQ(10, y.CrsCnt);
}

TEST(StaEntryTest, CrossingAssignsSlotsToGridEdgePositions) {
  struct TCase {
    int32_t Code;
    std::vector<int32_t> Slots;  // slot of position 1, 2, ...
  };
  const TCase cases[] = {
      {0, {1, 2, 3, 4}},         // no crossing
      {10301, {3, 1, 2, 4}},     // one track from position 1 over to slot 3
      {10201, {2, 1}},           // two tracks swapping sides
      {20102, {3, 1, 2, 4}},     // positions 2, 3 arrive at slots 1, 2
      {30402, {1, 2, 4, 5, 3}},  // positions 3, 4 arrive at slots 4, 5
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Code);
    TStaObj sta;
    sta.EntCrs[1] = c.Code;
    for (size_t j = 0; j < c.Slots.size(); ++j) {
      EXPECT_EQ(c.Slots[j], sta.CrsSlot(1, static_cast<int32_t>(j + 1))) << "position " << j + 1;
    }
  }
}

TEST(StaEntryTest, ListEntConnsAppendsOwnCodeAndConnection) {
  TStaObj sta = TStaBuilder(5001, "X").Ents(0, 2).Conn(1, 1, 12012).Build();
  std::vector<std::string> list{"keep"};
  sta.ListEntConns(1, list);
  EXPECT_EQ((std::vector<std::string>{"keep", "-5011,12012", "-5021,0"}), list);
  sta.ListEntConns(0, list);
  EXPECT_EQ(3u, list.size());
}

TEST(StaEntryTest, ListHomesGivesPlatformNumbersInSegmentOrder) {
  const TStaObj sta = TStaBuilder(5001, "X")
                          .Rail(kRailHome, 2, {354, -4}, {514, -4})
                          .Rail(kRailPlain, 1, {194, 0}, {274, 0})
                          .Rail(kRailHome, 1, {354, 4}, {514, 4})
                          .Rail(kRailPt, 11, {274, 0}, {314, 4})
                          .Rail(kRailHome, 2, {514, -4}, {674, -4})
                          .Build();
  std::vector<std::string> list{"old"};
  sta.ListHomes(list);
  EXPECT_EQ((std::vector<std::string>{"2", "1", "2"}), list);
}

// ---- Lookup and occupancy ----------------------------------------------------------------------

TEST(StaOccTest, FindRailAtHitsWithinTwoMetres) {
  const TStaObj sta = TStaBuilder(5001, "X")
                          .Rail(kRailPlain, 1, {194, -4}, {514, -4})
                          .Rail(kRailHome, 1, {194, -4}, {514, -4})
                          .Rail(kRailHome, 2, {600, 8}, {700, 8})
                          .Build();
  struct TCase {
    TPoint P;
    int Index;  // -1: nothing
  };
  const TCase cases[] = {{{300, -2}, 0}, {{300, -6}, 0},  {{300, -1}, -1}, {{300, -7}, -1},
                         {{650, 10}, 2}, {{650, 11}, -1}, {{560, 8}, -1}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.P.x << "," << c.P.y);
    const StaRail* hit = sta.FindRailAt(c.P);
    EXPECT_EQ(c.Index < 0 ? nullptr : &sta.Rails[c.Index], hit);
  }
}

TEST(StaOccTest, ResetOccGivesEveryTrackAnEmptyTable) {
  TStaObj sta = RefStation();
  for (const StaRail& r : sta.Rails) EXPECT_EQ(nullptr, r.Occ);
  sta.ResetOcc();
  for (const StaRail& r : sta.Rails) ASSERT_NE(nullptr, r.Occ);
  sta.Rails[0].Occ->Add(TTmTbl{"1,普通", 10, 20, 0});
  sta.ResetOcc();
  EXPECT_EQ(0, sta.Rails[0].Occ->Count());
}

TEST(StaOccTest, ClearOccOfRemovesOnlyThatTrainEverywhere) {
  TStaObj sta = RefStation();
  sta.ResetOcc();
  sta.Rails[0].Occ->Add(TTmTbl{"101,普通", 600, 660, 0});
  sta.Rails[0].Occ->Add(TTmTbl{"202,快速", 700, 760, 0});
  sta.Rails[2].Occ->Add(TTmTbl{"101,普通", 660, 900, 0});
  sta.Rails[2].Occ->Add(TTmTbl{"101,普通 はやて", 1000, 1100, 0});
  sta.ClearOccOf("101,普通");
  ASSERT_EQ(1, sta.Rails[0].Occ->Count());
  EXPECT_EQ("202,快速", sta.Rails[0].Occ->Get(0).Txt);
  ASSERT_EQ(1, sta.Rails[2].Occ->Count());
  EXPECT_EQ("101,普通 はやて", sta.Rails[2].Occ->Get(0).Txt);
}

TEST(StaOccTest, ResetPtOccFreesEverySlot) {
  TStaObj sta = RefStation();
  sta.Pts[0].Occ[0] = 2;
  sta.Pts[1].Occ[kPtSlots - 1] = 1;
  sta.ResetPtOcc();
  for (const TPtStatus& pt : sta.Pts) {
    for (int32_t v : pt.Occ) ASSERT_EQ(-1, v);
  }
}

TEST(StaOccTest, CopiesHaveTheirOwnOccupancyTables) {
  TStaObj sta = RefStation();
  sta.ResetOcc();
  sta.Rails[1].Occ->Add(TTmTbl{"1,普通", 10, 20, 0});
  TStaObj copy = sta;
  copy.Rails[1].Occ->Add(TTmTbl{"2,普通", 30, 40, 0});
  EXPECT_EQ(1, sta.Rails[1].Occ->Count());
  EXPECT_EQ(2, copy.Rails[1].Occ->Count());

  sta.AddRail(copy.Rails[1]);
  EXPECT_EQ(nullptr, sta.Rails.back().Occ);
}

}  // namespace
}  // namespace ramvel
