// The board: reading and writing its folder, object lookups, registering and deleting.
#include <gtest/gtest.h>

#include <filesystem>

#include "BoardFixture.h"
#include "foundation/UrwBrdLock.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TStaBuilder;
using test::TTempDir;
using test::WriteBytes;
using test::BoardTest;
using test::kLeftOut;

TEST_F(BoardTest, EmptyBoardSavesTheSixCounterLines) {
  WriteBoardTxt({});
  fs::create_directories(Folder() + "/rail");
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.BrdName, "B");
  EXPECT_TRUE(brd.Stas.empty() && brd.Rails.empty() && brd.Cars.empty());
  EXPECT_EQ(brd.SCR_MPERP, 12);
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  EXPECT_EQ(ReadBytes(Folder() + "/Board.txt"),
            "SCR_XLEFT=1080\r\nSCR_YTOP=2160\r\nSCR_MPERP=12\r\nID_STA=20\r\nID_RAIL=3\r\n"
            "STA_COUNT=0\r\n");
}

TEST_F(BoardTest, StationsAreListedInTextOrder) {
  MakeSmallBoard();
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  ASSERT_EQ(brd.Stas.size(), 2u);
  EXPECT_EQ(brd.Stas.begin()->first, "10001");
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  const std::string board = ReadBytes(Folder() + "/Board.txt");
  EXPECT_NE(board.find("STA_COUNT=2\r\nSTA1=A\r\nSTA2=B\r\n"), std::string::npos) << board;
}

TEST_F(BoardTest, LoadKeepsStationConnectionsAndSaveLoadSaveIsStable) {
  MakeSmallBoard();
  {
    TStaObj a;
    ASSERT_TRUE(a.LoadSta(Folder() + "/station", "A").ok());
    a.EntConn[1][1] = 1012;
    ASSERT_TRUE(a.SaveSta(Folder() + "/station").ok());
  }
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.FindSta(10001, "")->EntConn[1][1], 1012);
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  std::map<std::string, std::string> first;
  for (const auto& e : fs::recursive_directory_iterator(Folder())) {
    if (e.is_regular_file() && e.path().filename() != kBrdLockFile) {
      first[e.path().string()] = ReadBytes(e.path().string());
    }
  }
  TBrdData again;
  ASSERT_EQ(Load(again), "");
  ASSERT_TRUE(again.SaveBrd(Folder(), false).ok());
  for (const auto& [path, bytes] : first) EXPECT_EQ(ReadBytes(path), bytes) << path;
  EXPECT_EQ(first.size(), 6u);  // Board.txt, 2 stations, 1 rail, 2 train sets
}

TEST_F(BoardTest, TrainNumbersGoToTheTrainSetReadFirst) {
  MakeSmallBoard();
  AddCar(3, {{"", -1, -1, 10011}, {"101,快速", 2000, 2000, 10011}, {"", 2600, -1, 2011}});
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.FindTrainCar("101", "")->Id, 1);
  EXPECT_EQ(brd.FindTrainCar("201", "")->Id, 2);
  EXPECT_EQ(brd.TrainNos.size(), 2u);
}

TEST_F(BoardTest, AStaleRailFileIsRemovedBySaveAndAMissingOneIsAbsent) {
  MakeSmallBoard();
  AddRail(2002, {0, 1080}, {1080, 1080}, 1);
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.Rails.size(), 2u);
  brd.ObjDel(2002);
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  EXPECT_FALSE(fs::exists(Folder() + "/rail/2002.txt"));
  EXPECT_TRUE(fs::exists(Folder() + "/rail/1002.txt"));
  fs::remove(Folder() + "/rail/1002.txt");
  ASSERT_EQ(Load(brd), "");
  EXPECT_TRUE(brd.Rails.empty());
}

TEST_F(BoardTest, AnUnreadableStationIsLeftOutWithItsMessage) {
  MakeSmallBoard();
  WriteBoardTxt({"A", "GONE", "B"});
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.Stas.size(), 2u);
  ASSERT_EQ(brd.LoadNotes.size(), 1u);
  EXPECT_EQ(brd.LoadNotes[0].rfind("GONE" + kLeftOut, 0), 0u) << brd.LoadNotes[0];
  // The name stays listed, so the station comes back once its file can be read again.
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  EXPECT_NE(ReadBytes(Folder() + "/Board.txt").find("STA3=GONE\r\n"), std::string::npos);
}

TEST_F(BoardTest, AMalformedRailFailsTheLoadNamingFileAndKeyAndWritesNothing) {
  MakeSmallBoard();
  std::string rail = ReadBytes(Folder() + "/rail/1002.txt");
  rail.replace(rail.find("LENGTH=1188"), 11, "LENGTH=x");
  WriteBytes(Folder() + "/rail/1002.txt", rail);
  const std::string boardBefore = ReadBytes(Folder() + "/Board.txt");
  TBrdData brd;
  EXPECT_EQ(Load(brd), "rail/1002.txt: LENGTH が数値ではありません");
  EXPECT_TRUE(brd.BrdName.empty());
  EXPECT_TRUE(brd.Stas.empty());
  EXPECT_EQ(ReadBytes(Folder() + "/Board.txt"), boardBefore);
  EXPECT_EQ(ReadBytes(Folder() + "/rail/1002.txt"), rail);
}

TEST_F(BoardTest, BadBoardRecordsAreRefused) {
  TBrdData brd;
  EXPECT_NE(Load(brd).find("Board.txt"), std::string::npos);  // no folder at all
  WriteBytes(Folder() + "/Board.txt", "SCR_XLEFT=0\r\nSCR_YTOP=0\r\nSCR_MPERP=12\r\nID_STA=1\r\n"
                                      "ID_RAIL=1\r\nSTA_COUNT=2\r\nSTA1=A\r\n");
  EXPECT_EQ(Load(brd), "");  // a missing STA2 leaves that station out
  EXPECT_EQ(brd.LoadNotes.back(), "Board.txt: STA2 に駅名がありません。この駅を除外します");
  WriteBytes(Folder() + "/Board.txt", "SCR_XLEFT=0\r\nSCR_YTOP=0\r\nSCR_MPERP=12\r\nID_STA=1\r\n"
                                      "ID_RAIL=1\r\nSTA_COUNT=99999999\r\n");
  EXPECT_EQ(Load(brd), "Board.txt: STA_COUNT が範囲外です（0 から 100000 まで）");
  EXPECT_FALSE(brd.LoadBrd(base_.Path(), "..").ok());
  EXPECT_FALSE(brd.LoadBrd(base_.Path(), "a/b").ok());
}

TEST_F(BoardTest, AnInvalidZoomIsSnappedToAnAllowedOne) {
  WriteBytes(Folder() + "/Board.txt", "SCR_XLEFT=0\r\nSCR_YTOP=0\r\nSCR_MPERP=5\r\nID_STA=1\r\n"
                                      "ID_RAIL=1\r\nSTA_COUNT=0\r\n");
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.SCR_MPERP, 4);
}

TEST_F(BoardTest, ASaveThatFailsHalfwayLeavesThePreviousBoardReadable) {
  MakeSmallBoard();
  AddRail(2002, {0, 1080}, {1080, 1080}, 1);
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  brd.ObjDel(2002);
  const std::string boardBefore = ReadBytes(Folder() + "/Board.txt");
  const std::string car2Before = ReadBytes(Folder() + "/car/2.txt");
  // Train set 2's file cannot be replaced: stations, rails and train set 1 are written first.
  fs::remove(Folder() + "/car/2.txt");
  fs::create_directories(Folder() + "/car/2.txt/blocker");
  const TStatus st = brd.SaveBrd(Folder(), false);
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("2.txt"), std::string::npos) << st.Msg();
  EXPECT_TRUE(brd.Modified);
  EXPECT_EQ(ReadBytes(Folder() + "/Board.txt"), boardBefore);
  EXPECT_TRUE(fs::exists(Folder() + "/rail/2002.txt"));
  fs::remove_all(Folder() + "/car/2.txt");
  WriteBytes(Folder() + "/car/2.txt", car2Before);
  TBrdData again;
  ASSERT_EQ(Load(again), "");
  EXPECT_EQ(again.Rails.size(), 2u);
  EXPECT_EQ(again.Stas.size(), 2u);
}

TEST_F(BoardTest, FoldersAndFilesAreFoundWhateverTheirCase) {
  MakeSmallBoard();
  fs::rename(Folder() + "/station", Folder() + "/Station");
  fs::rename(Folder() + "/rail", Folder() + "/RAIL");
  fs::rename(Folder() + "/Board.txt", Folder() + "/BOARD.TXT");
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.Stas.size(), 2u);
  EXPECT_EQ(brd.Rails.size(), 1u);
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  EXPECT_FALSE(fs::exists(Folder() + "/station"));
  EXPECT_FALSE(fs::exists(Folder() + "/rail"));
  EXPECT_FALSE(fs::exists(Folder() + "/Board.txt"));
  EXPECT_TRUE(fs::exists(Folder() + "/RAIL/1002.txt"));
}

TEST_F(BoardTest, LookupsByCodeAndTheirFailureBox) {
  MakeSmallBoard();
  AddStation(3001, "C", {0, 2160}, {1188, 2160}, 3);
  WriteBoardTxt({"A", "B", "C"});
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.FindObj(-3021, "T")->Id, 3001);
  EXPECT_EQ(brd.FindObj(1012, "T")->Id, 1002);
  EXPECT_EQ(brd.FindSta("2001", "T")->Name, "B");
  EXPECT_EQ(brd.FindRail(-1022, "T")->Id, 1002);
  EXPECT_TRUE(host_.Events.empty());
  EXPECT_EQ(brd.FindSta(7001, "GetPathToNextSta-STA-1"), nullptr);
  EXPECT_EQ(brd.FindCar(9, ""), nullptr);
  EXPECT_EQ(brd.FindTrainCar("999", ""), nullptr);
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Text, "Error(GetPathToNextSta-STA-1:7001)");
}

TEST_F(BoardTest, FindAtPointAndEndAtDot) {
  MakeSmallBoard();
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  TObjAtPoint hit = brd.FindAtPoint(kKindRail, {2000, 3}, 4);
  EXPECT_TRUE(hit.Found);
  EXPECT_EQ(hit.Id, 1002);
  EXPECT_EQ(hit.NearEnd, 1);
  hit = brd.FindAtPoint(kKindSta, {100, -2}, 4);
  EXPECT_EQ(hit.Id, 10001);
  EXPECT_EQ(hit.NearEnd, 0);
  EXPECT_FALSE(brd.FindAtPoint(kKindSta, {2000, 0}, 4).Found);
  EXPECT_FALSE(brd.FindAtPoint(3, {2000, 0}, 4).Found);
  EXPECT_TRUE(TBrdData::EndAtDot(1, {22, 0}, *brd.FindSta(2001, "")) == false);
  EXPECT_TRUE(TBrdData::EndAtDot(0, {22, 0}, *brd.FindSta(2001, "")));
  EXPECT_TRUE(TBrdData::EndAtDot(1, {33, 0}, *brd.FindSta(2001, "")));
}

TEST_F(BoardTest, PlacingAndDeletingKeepNeighboursConsistent) {
  WriteBoardTxt({});
  AddStation(10001, "A", {0, 0}, {1188, 0}, 2);
  AddStation(2001, "B", {0, 0}, {1188, 0}, 2);
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  int32_t a = 0, b = 0;
  ASSERT_TRUE(brd.StaReg(Folder(), "A", a).ok());
  ASSERT_TRUE(brd.StaReg(Folder(), "b", b).ok());  // file found whatever the case
  EXPECT_EQ(a, 10001);
  int32_t again = 0;
  EXPECT_FALSE(brd.StaReg(Folder(), "A", again).ok());
  EXPECT_EQ(again, 0);
  ASSERT_TRUE(brd.StaPlace(a, {0, 0}, {11, 0}, nullptr, nullptr));
  ASSERT_TRUE(brd.StaPlace(b, {22, 0}, {11, 0}, nullptr, nullptr));
  TStaObj* sa = brd.FindSta(a, "");
  TStaObj* sb = brd.FindSta(b, "");
  TRailObj* r = brd.RailReg({11, 0}, {11, 0}, sa, sb, 2);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Id, 4002);  // ID_RAIL was 3
  EXPECT_EQ(brd.ID_RAIL, 4);
  EXPECT_EQ(r->EntConn[0][2], MakeEntCode(a, 2, 1));
  EXPECT_EQ(sb->EntConn[0][1], MakeEntCode(r->Id, 1, 1));
  EXPECT_EQ(brd.GetRailConnObj(*r, 1), sb);
  EXPECT_EQ(brd.GetRailConnObj(*r, 0), sa);
  brd.ObjDel(r->Id);
  EXPECT_EQ(sa->EntConn[1][1], 0);
  EXPECT_EQ(sa->EntConn[1][2], 0);
  EXPECT_EQ(sb->EntConn[0][1], 0);
  EXPECT_TRUE(sb->EntOwner[0]);
  EXPECT_TRUE(brd.Modified);
  EXPECT_TRUE(brd.Rails.empty());
}

TEST_F(BoardTest, StaRegClearsTheConnectionsOfTheFile) {
  WriteBoardTxt({});
  AddStation(10001, "A", {0, 0}, {1188, 0}, 2);
  TStaObj a;
  ASSERT_TRUE(a.LoadSta(Folder() + "/station", "A").ok());
  a.EntConn[0][2] = 5012;
  ASSERT_TRUE(a.SaveSta(Folder() + "/station").ok());
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  int32_t id = 0;
  ASSERT_TRUE(brd.StaReg(Folder(), "A", id).ok());
  EXPECT_EQ(brd.FindSta(id, "")->EntConn[0][2], 0);
}

TEST_F(BoardTest, CarRegNumbersOneAboveTheHighest) {
  WriteBoardTxt({});
  for (int32_t no : {1, 2, 7}) AddCar(no, {{"", -1, -1, 10011}});
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  const int32_t no = brd.CarReg({0, "", 0xFF00, 3, 90}, MakeEntCode(10001, 2, 0));
  EXPECT_EQ(no, 8);
  TCarObj* car = brd.FindCar(8, "");
  ASSERT_NE(car, nullptr);
  ASSERT_EQ(car->TmTbl.Count(), 1);
  EXPECT_EQ(StepKind(car->TmTbl.Get(0)), TStepKind::kStabling);
  EXPECT_EQ(car->TmTbl.Get(0).Loc, 10021);
  EXPECT_EQ(car->NCar, 3);
  brd.CarDel(8);
  EXPECT_EQ(brd.FindCar(8, ""), nullptr);
}

TEST_F(BoardTest, TrainRegAndTrainDel) {
  MakeSmallBoard();
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_FALSE(brd.TrainReg(2, "101"));  // taken by train set 1
  TCarObj* car = brd.FindCar(1, "");
  car->TmTbl.Add({"102,普通", 1500, 1560, 2011});
  car->TmTbl.Add({"", 1900, -1, 10011});
  ASSERT_TRUE(brd.TrainReg(1, "102"));
  brd.LineStas = {"10001", "2001"};
  auto blk = std::make_unique<TBlkObj>();
  blk->Occupy("102,普通", 1560, 100);
  blk->Occupy("102", 1700, 100);
  blk->Occupy("101,普通", 660, 100);
  TBlkObj* b = blk.get();
  brd.Blks.emplace("1", std::move(blk));
  TStaObj* sa = brd.FindSta(10001, "");
  sa->AddRail(StaRail(kRailHome, 1, {194, -40}, {354, -40}));
  sa->ResetOcc();
  sa->Rails[0].Occ->Add({"102,普通", 1900, 2000, 0});

  EXPECT_FALSE(brd.TrainDel("101"));  // not the last train of its set
  ASSERT_TRUE(brd.TrainDel("102"));
  EXPECT_EQ(car->TmTbl.Count(), 3);
  EXPECT_EQ(brd.FindTrainCar("102", ""), nullptr);
  ASSERT_EQ(b->Occ.Count(), 1);
  EXPECT_EQ(b->Occ.Get(0).Txt, "101,普通");
  EXPECT_EQ(sa->Rails[0].Occ->Count(), 0);
}

TEST_F(BoardTest, LastStepOnLine) {
  MakeSmallBoard();
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  TBrdData::TLastStep last;
  EXPECT_FALSE(brd.LastStepOnLine(1, last));  // no current line
  EXPECT_EQ(last.Kind, TStepKind::kArrival);
  EXPECT_EQ(last.Place.Id, 2001);
  EXPECT_EQ(last.Place.Slot, 1);
  brd.LineStas = {"2001", "10001"};
  EXPECT_TRUE(brd.LastStepOnLine(1, last));
  EXPECT_FALSE(brd.LastStepOnLine(5, last));
}

TEST_F(BoardTest, ClearBrdKeepsNameAndView) {
  MakeSmallBoard();
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  brd.Modified = true;
  brd.ClearBrd();
  EXPECT_EQ(brd.BrdName, "B");
  EXPECT_EQ(brd.SCR_XLEFT, 1080);
  EXPECT_FALSE(brd.Modified);
  EXPECT_EQ(brd.ID_STA, 0);
  EXPECT_TRUE(brd.Stas.empty() && brd.TrainNos.empty() && brd.Cars.empty());
}

}  // namespace
}  // namespace ramvel
