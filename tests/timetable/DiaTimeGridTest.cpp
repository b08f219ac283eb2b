// Diagram time grid: building columns from timetables (ring seams included), the orders of the
// editor, editing cells and writing a train back into its train set.
#include <gtest/gtest.h>

#include <algorithm>

#include "DiaSupport.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {
namespace {

using test::AddCar;
using test::AddTrain;
using test::LineOf;
using test::Origin;
using test::Pass;
using test::StepOf;
using test::Stop;
using test::Term;

constexpr int32_t P = 1001, Q = 2001, R = 3001, T = 4001;  // line stations
constexpr int32_t X = 9001, Y = 8001;                      // stations of other lines

std::vector<std::string> Keys(const TOrderList& l) {
  std::vector<std::string> out;
  for (const TOrderEntry& e : l) out.push_back(e.TrNo);
  return out;
}

using Keys_t = std::vector<std::string>;

class DiaGrid : public ::testing::Test {
 protected:
  void BuildLine(const std::vector<int32_t>& stas = {P, Q, R, T}) {
    dia.Build(LineOf(stas), brd.TrainNos);
    dia.MakeDirOrders();
  }
  int32_t Tr(const std::string& no) const {
    for (int32_t k = 0; k < dia.TrCount; ++k) {
      if (dia.TrInfo[k].TrNo == no) return k;
    }
    return -1;
  }
  // The station of each filled slot of train k, in slot order; 0 for an empty slot.
  std::vector<int32_t> SlotStas(int32_t k) const {
    std::vector<int32_t> out;
    for (int32_t s = 0; s < dia.StaCount; ++s) {
      out.push_back(dia.HasCell(k, s) ? SplitEntCode(dia.Cell(k, s).Loc).Id : 0);
    }
    return out;
  }

  TBrdData brd;
  TDiaObj dia;
};

void ExpectCell(const TTmTbl& c, const std::string& txt, int32_t arr, int32_t dep, int32_t sta) {
  EXPECT_EQ(c.Txt, txt);
  EXPECT_EQ(c.TmStart, arr);
  EXPECT_EQ(c.TmEnd, dep);
  EXPECT_EQ(SplitEntCode(c.Loc).Id, sta);
}

// ---- Build -------------------------------------------------------------------------------------

TEST_F(DiaGrid, DownTrainFromPToRFillsThreeSlots) {
  TCarObj& car = AddCar(brd, P);
  AddTrain(brd, car, "101,普通", {Origin(P, 600), Stop(Q, 700, 730), Term(R, 800)});
  BuildLine();
  ASSERT_EQ(dia.TrCount, 1);
  EXPECT_EQ(dia.StaCount, 4);
  const TTrInfo& tr = dia.TrInfo[0];
  EXPECT_TRUE(tr.IsOrigin);
  EXPECT_EQ(tr.FirstSta, 0);
  EXPECT_EQ(tr.Dir, 1);
  EXPECT_EQ(tr.CellCount, 3);
  EXPECT_EQ(tr.TrNo, "101");
  EXPECT_EQ(tr.TrKind, "普通");
  ExpectCell(dia.Cell(0, 0), "101,普通", 600, 600, P);
  ExpectCell(dia.Cell(0, 1), "", 700, 730, Q);
  ExpectCell(dia.Cell(0, 2), "", 800, -1, R);
  EXPECT_FALSE(dia.HasCell(0, 3));
  EXPECT_EQ(Keys(dia.KudariOrder), Keys_t{"101"});
  EXPECT_TRUE(dia.NoboriOrder.empty());
}

TEST_F(DiaGrid, OriginCellDepartsAtItsArrival) {
  TCarObj& car = AddCar(brd, P);
  AddTrain(brd, car, "101,普通", {Stop(P, 550, 600), Term(Q, 700)});
  BuildLine();
  ExpectCell(dia.Cell(0, 0), "101,普通", 600, 600, P);
}

TEST_F(DiaGrid, TrainEnteringFromAnotherLineIsNoOrigin) {
  TCarObj& car = AddCar(brd, X);
  AddTrain(brd, car, "201,快速 はやて",
           {Origin(X, 500), Stop(R, 600, 630), Pass(Q, 700), Term(P, 800)});
  BuildLine();
  ASSERT_EQ(dia.TrCount, 1);
  const TTrInfo& tr = dia.TrInfo[0];
  EXPECT_FALSE(tr.IsOrigin);
  EXPECT_EQ(tr.TrNo, "201");
  EXPECT_EQ(tr.TrKind, "快速 はやて");
  EXPECT_EQ(tr.FirstSta, 2);
  EXPECT_EQ(tr.Dir, -1);
  EXPECT_EQ(tr.CellCount, 3);
  ExpectCell(dia.Cell(0, 2), "", 600, 630, R);
  ExpectCell(dia.Cell(0, 1), "", 700, 700, Q);
  ExpectCell(dia.Cell(0, 0), "", 800, -1, P);
  EXPECT_FALSE(dia.IsOriginCell(0, 2));
  EXPECT_EQ(Keys(dia.NoboriOrder), Keys_t{"201"});
  EXPECT_TRUE(dia.KudariOrder.empty());
}

TEST_F(DiaGrid, SingleCellTrainsAreListedInBothDirections) {
  AddTrain(brd, AddCar(brd, X), "301,普通", {Origin(X, 500), Term(Q, 600)});   // ends at Q
  AddTrain(brd, AddCar(brd, Q), "302,急行", {Origin(Q, 900), Term(X, 1000)});  // leaves at Q
  BuildLine();
  ASSERT_EQ(dia.TrCount, 2);
  for (int32_t k = 0; k < 2; ++k) {
    EXPECT_EQ(dia.TrInfo[k].CellCount, 1);
    EXPECT_EQ(dia.TrInfo[k].FirstSta, 1);
    EXPECT_EQ(dia.TrInfo[k].Dir, -1);
  }
  EXPECT_FALSE(dia.TrInfo[Tr("301")].IsOrigin);
  EXPECT_TRUE(dia.TrInfo[Tr("302")].IsOrigin);
  ExpectCell(dia.Cell(Tr("302"), 1), "302,急行", 900, 900, Q);
  EXPECT_EQ(Keys(dia.NoboriOrder), (Keys_t{"301", "302"}));
  EXPECT_EQ(Keys(dia.KudariOrder), (Keys_t{"301", "302"}));
}

struct RingCase {
  const char* name;
  std::vector<test::TStepSpec> steps;
  int32_t firstSta, dir;
  std::vector<int32_t> slotStas;  // station per slot of [S0, S1, S2, S0]; 0 = empty
};

TEST_F(DiaGrid, RingLineShowsTheFirstStationAtEitherEnd) {
  // S0 = P, S1 = Q, S2 = R; the line lists P again as its last entry.
  const RingCase cases[] = {
      {"S2 to S0", {Origin(R, 600), Term(P, 700)}, 2, 1, {0, 0, R, P}},
      {"S0 to S2", {Origin(P, 600), Term(R, 700)}, 3, -1, {0, 0, R, P}},
      {"S0 to S1", {Origin(P, 600), Term(Q, 700)}, 0, 1, {P, Q, 0, 0}},
      {"S1 to S0", {Origin(Q, 600), Term(P, 700)}, 1, -1, {P, Q, 0, 0}},
      {"loop down",
       {Origin(P, 600), Stop(Q, 700, 730), Pass(R, 800), Term(P, 900)},
       0,
       1,
       {P, Q, R, P}},
      {"loop up",
       {Origin(P, 600), Stop(R, 700, 730), Pass(Q, 800), Term(P, 900)},
       3,
       -1,
       {P, Q, R, P}},
      {"ends at S0 only", {Origin(X, 500), Term(P, 600)}, 0, -1, {P, 0, 0, 0}},
  };
  for (const RingCase& c : cases) {
    SCOPED_TRACE(c.name);
    TBrdData board;
    AddTrain(board, AddCar(board, X), "1,普通", c.steps);
    TDiaObj d;
    d.Build(LineOf({P, Q, R, P}), board.TrainNos);
    ASSERT_EQ(d.TrCount, 1);
    EXPECT_EQ(d.TrInfo[0].FirstSta, c.firstSta);
    EXPECT_EQ(d.TrInfo[0].Dir, c.dir);
    const int32_t filled = static_cast<int32_t>(
        std::count_if(c.slotStas.begin(), c.slotStas.end(), [](int32_t s) { return s != 0; }));
    EXPECT_EQ(d.TrInfo[0].CellCount, filled);
    for (int32_t s = 0; s < 4; ++s) {
      EXPECT_EQ(d.HasCell(0, s) ? SplitEntCode(d.Cell(0, s).Loc).Id : 0, c.slotStas[s]) << s;
    }
  }
}

TEST_F(DiaGrid, RingTrainStartingAtS0BackwardsKeepsItsOriginCell) {
  AddTrain(brd, AddCar(brd, P), "7,普通", {Origin(P, 600), Term(R, 700)});
  BuildLine({P, Q, R, P});
  EXPECT_TRUE(dia.IsOriginCell(0, 3));
  ExpectCell(dia.Cell(0, 3), "7,普通", 600, 600, P);
  EXPECT_EQ(dia.LastSta(0), 2);
}

TEST_F(DiaGrid, StationsThatAreNotNeighboursOnTheLineStartANewRun) {
  // Only a ring has a seam; here R is simply not next to P, and T must stay empty.
  TCarObj& car = AddCar(brd, P);
  AddTrain(brd, car, "11,普通", {Origin(P, 600), Term(R, 700)});
  BuildLine();
  ASSERT_EQ(dia.TrCount, 1);
  EXPECT_EQ(SlotStas(0), (std::vector<int32_t>{0, 0, R, 0}));
  EXPECT_FALSE(dia.TrInfo[0].IsOrigin);
  EXPECT_EQ(dia.TrInfo[0].TrNo, "11");
}

TEST_F(DiaGrid, TrainThatDoesNotFitOneRunShowsItsLastRun) {
  struct Case {
    const char* name;
    std::vector<int32_t> line;
    std::vector<test::TStepSpec> steps;
    std::vector<int32_t> slotStas;
    int32_t firstSta, dir;
  };
  const Case cases[] = {
      {"turns back at Q",
       {P, Q, R, T},
       {Origin(P, 600), Stop(Q, 700, 730), Term(P, 800)},
       {P, Q, 0, 0},
       1,
       -1},
      {"leaves and returns",
       {P, Q, R, T},
       {Origin(P, 600), Stop(Q, 700, 710), Stop(X, 800, 810), Stop(Q, 900, 910), Term(R, 1000)},
       {0, Q, R, 0},
       1,
       1},
      {"passes the ring's first station",
       {P, Q, R, P},
       {Origin(R, 600), Pass(P, 700), Term(Q, 800)},
       {P, Q, 0, 0},
       0,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBrdData board;
    AddTrain(board, AddCar(board, P), "5,普通", c.steps);
    TDiaObj d;
    d.Build(LineOf(c.line), board.TrainNos);
    ASSERT_EQ(d.TrCount, 1);
    EXPECT_FALSE(d.TrInfo[0].IsOrigin);
    EXPECT_EQ(d.TrInfo[0].FirstSta, c.firstSta);
    EXPECT_EQ(d.TrInfo[0].Dir, c.dir);
    EXPECT_EQ(d.TrInfo[0].CellCount, 2);
    for (int32_t s = 0; s < 4; ++s) {
      EXPECT_EQ(d.HasCell(0, s) ? SplitEntCode(d.Cell(0, s).Loc).Id : 0, c.slotStas[s]) << s;
    }
  }
  // The second visit of Q is the one shown.
  TBrdData board;
  AddTrain(board, AddCar(board, P), "5,普通", cases[1].steps);
  TDiaObj d;
  d.Build(LineOf(cases[1].line), board.TrainNos);
  ExpectCell(d.Cell(0, 1), "", 900, 910, Q);
}

TEST_F(DiaGrid, BuildSkipsUnknownTrainsAndTrainsOffTheLine) {
  TCarObj& a = AddCar(brd, X);
  AddTrain(brd, a, "401,普通", {Origin(X, 500), Term(Y, 600)});
  TCarObj& b = AddCar(brd, P);
  AddTrain(brd, b, "402,普通", {Origin(P, 600), Term(Q, 700)});
  brd.TrainNos.emplace("999", &b);  // listed, but not in the train set's timetable
  BuildLine();
  ASSERT_EQ(dia.TrCount, 1);
  EXPECT_EQ(dia.TrInfo[0].TrNo, "402");
  EXPECT_EQ(dia.CarIds, (std::set<std::string, TLessNoCase>{CarIdKey(b.Id)}));
}

TEST_F(DiaGrid, ColumnsFollowTheTrainNumbersListAndCarIdsAreSorted) {
  std::vector<TCarObj*> cars;
  for (int i = 0; i < 12; ++i) cars.push_back(&AddCar(brd, X));
  AddTrain(brd, *cars[11], "9,普通", {Origin(P, 600), Term(Q, 700)});
  AddTrain(brd, *cars[1], "10,普通", {Origin(Q, 650), Term(R, 750)});
  AddTrain(brd, *cars[0], "8,普通", {Origin(X, 500), Term(R, 800)});
  BuildLine();
  ASSERT_EQ(dia.TrCount, 3);
  EXPECT_EQ(dia.TrInfo[0].TrNo, "10");  // text order: "10" < "8" < "9"
  EXPECT_EQ(dia.TrInfo[1].TrNo, "8");
  EXPECT_EQ(dia.TrInfo[2].TrNo, "9");
  const std::vector<std::string> ids(dia.CarIds.begin(), dia.CarIds.end());
  EXPECT_EQ(ids, (std::vector<std::string>{"  1", "  2", " 12"}));
}

TEST_F(DiaGrid, RebuildStartsAfresh) {
  TCarObj& car = AddCar(brd, P);
  AddTrain(brd, car, "101,普通", {Origin(P, 600), Term(Q, 700)});
  BuildLine();
  dia.CarIds.insert(ParkedCarIdKey(5));
  dia.MakeCarOrder(car);
  dia.AddTr("102", "", 1);
  BuildLine();
  EXPECT_EQ(dia.TrCount, 1);
  EXPECT_EQ(dia.CarIds.size(), 1u);
  // The one-train-set order named columns of the old grid.
  EXPECT_TRUE(dia.WorkOrder.empty());
  dia.Build({}, brd.TrainNos);
  EXPECT_EQ(dia.StaCount, 0);
  EXPECT_EQ(dia.TrCount, 0);
}

TEST(DiaCarIds, KeysAreRightAlignedNumbers) {
  EXPECT_EQ(CarIdKey(7), "  7");
  EXPECT_EQ(CarIdKey(12), " 12");
  EXPECT_EQ(CarIdKey(123), "123");
  EXPECT_EQ(CarIdKey(1234), "1234");
  EXPECT_EQ(ParkedCarIdKey(7), "  7*");
  int32_t no = 0;
  bool parked = false;
  ASSERT_TRUE(SplitCarIdKey("  7*", no, parked));
  EXPECT_EQ(no, 7);
  EXPECT_TRUE(parked);
  ASSERT_TRUE(SplitCarIdKey(" 12", no, parked));
  EXPECT_EQ(no, 12);
  EXPECT_FALSE(parked);
  EXPECT_FALSE(SplitCarIdKey("*", no, parked));
}

// ---- Orders ------------------------------------------------------------------------------------

struct OrderCase {
  const char* name;
  std::vector<std::pair<std::string, std::vector<test::TStepSpec>>> trains;
  bool kudari;
  std::vector<std::string> order;
};

TEST_F(DiaGrid, DirectionOrdersFollowTime) {
  const OrderCase cases[] = {
      // Both call at Q, the first station of 102: their arrivals there decide.
      {"102 leaves Q first",
       {{"101,普通", {Origin(P, 600), Stop(Q, 700, 730), Term(R, 800)}},
        {"102,普通", {Origin(Q, 650), Term(R, 750)}}},
       true,
       {"102", "101"}},
      {"102 leaves Q later",
       {{"101,普通", {Origin(P, 600), Stop(Q, 700, 730), Term(R, 800)}},
        {"102,普通", {Origin(Q, 760), Term(R, 850)}}},
       true,
       {"101", "102"}},
      // A train starting at R after another ended there follows it, whichever is added first.
      {"ends at R, then starts at R",
       {{"101,普通", {Origin(P, 600), Stop(Q, 700, 710), Term(R, 800)}},
        {"102,普通", {Origin(R, 900), Term(T, 1000)}}},
       true,
       {"101", "102"}},
      {"starts at R, added first",
       {{"101,普通", {Origin(R, 900), Term(T, 1000)}},
        {"102,普通", {Origin(P, 600), Stop(Q, 700, 710), Term(R, 800)}}},
       true,
       {"102", "101"}},
      // 102 starts beyond 101's end: its departure against 101's arrival.
      {"starts beyond, earlier",
       {{"101,普通", {Origin(P, 600), Term(Q, 700)}}, {"102,普通", {Origin(R, 650), Term(T, 750)}}},
       true,
       {"102", "101"}},
      {"starts beyond, later",
       {{"101,普通", {Origin(P, 600), Term(Q, 700)}}, {"102,普通", {Origin(R, 750), Term(T, 850)}}},
       true,
       {"101", "102"}},
      // Overlapping runs: departures at the later first station (Q).
      {"overlap, 301 leaves Q first",
       {{"301,普通", {Origin(Q, 705), Stop(R, 800, 810), Term(T, 900)}},
        {"302,普通", {Origin(P, 600), Stop(Q, 700, 710), Term(R, 790)}}},
       true,
       {"301", "302"}},
      {"overlap, 302 leaves Q first",
       {{"301,普通", {Origin(Q, 720), Stop(R, 800, 810), Term(T, 900)}},
        {"302,普通", {Origin(P, 600), Stop(Q, 700, 710), Term(R, 790)}}},
       true,
       {"302", "301"}},
      // Up trains compare slots along their own direction: 401 has left Q before 402 reaches R.
      {"up trains",
       {{"401,普通", {Origin(Q, 750), Term(P, 850)}}, {"402,普通", {Origin(T, 600), Term(R, 800)}}},
       false,
       {"401", "402"}},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    TBrdData board;
    for (const auto& [header, steps] : c.trains) AddTrain(board, AddCar(board, X), header, steps);
    TDiaObj d;
    d.Build(LineOf({P, Q, R, T}), board.TrainNos);
    d.MakeDirOrders();
    EXPECT_EQ(Keys(c.kudari ? d.KudariOrder : d.NoboriOrder), c.order);
    EXPECT_TRUE((c.kudari ? d.NoboriOrder : d.KudariOrder).empty());
  }
}

TEST_F(DiaGrid, InsertByTimeInsertsAfterTheLastTrainKnownToPrecede) {
  AddTrain(brd, AddCar(brd, X), "501,普通", {Origin(R, 900), Term(T, 1000)});
  AddTrain(brd, AddCar(brd, X), "502,普通", {Origin(P, 600), Stop(Q, 700, 710), Term(R, 800)});
  AddTrain(brd, AddCar(brd, X), "503,普通", {Origin(P, 500), Term(Q, 600)});
  BuildLine();
  // 501 neither precedes 503 nor shares its first station; 502 reaches P after 503 left it.
  TOrderList l{{"501", Tr("501")}, {"502", Tr("502")}};
  dia.InsertByTime(l, Tr("503"));
  EXPECT_EQ(Keys(l), (Keys_t{"503", "501", "502"}));
  EXPECT_EQ(l[0].Tr, Tr("503"));
}

TEST_F(DiaGrid, ResortCurTrMovesTheTrainBeingEntered) {
  AddTrain(brd, AddCar(brd, X), "101,普通", {Origin(P, 600), Term(Q, 700)});
  AddTrain(brd, AddCar(brd, X), "102,普通", {Origin(P, 800), Term(Q, 900)});
  BuildLine();
  dia.SelectDir(true);
  EXPECT_EQ(dia.ViewOrder, &dia.KudariOrder);
  dia.AddTr("103", "普通", 1);
  dia.SetCell(StepOf(Origin(P, 700)), 0, true);
  dia.ResortCurTr();
  EXPECT_EQ(Keys(dia.KudariOrder), (Keys_t{"101", "103", "102"}));
  dia.SetCell(StepOf(Origin(P, 850)), 0, true);
  dia.ResortCurTr();
  EXPECT_EQ(Keys(dia.KudariOrder), (Keys_t{"101", "102", "103"}));
  EXPECT_TRUE(dia.NoboriOrder.empty());
  dia.SelectDir(false);
  EXPECT_EQ(dia.ViewOrder, &dia.NoboriOrder);
}

TEST_F(DiaGrid, CarOrderListsTheTrainSetsTrainsInTimetableOrder) {
  TCarObj& car = AddCar(brd, P);
  AddTrain(brd, car, "9,普通", {Origin(P, 600), Term(Q, 700)});
  AddTrain(brd, car, "50,回送", {Origin(X, 800), Term(Y, 900)});  // not on this line
  AddTrain(brd, car, "10,普通", {Origin(Q, 1000), Term(R, 1100)});
  AddTrain(brd, AddCar(brd, P), "11,普通", {Origin(P, 650), Term(Q, 750)});
  BuildLine();
  dia.MakeCarOrder(car);
  EXPECT_EQ(dia.ViewOrder, &dia.WorkOrder);
  EXPECT_EQ(Keys(dia.WorkOrder), (Keys_t{"9", "10"}));
  EXPECT_EQ(dia.WorkOrder[0].Tr, Tr("9"));
  EXPECT_EQ(dia.WorkOrder[1].Tr, Tr("10"));
}

TEST_F(DiaGrid, StationOrderSortsByArrivalThere) {
  AddTrain(brd, AddCar(brd, X), "101,普通", {Origin(P, 600), Stop(Q, 700, 730), Term(R, 800)});
  AddTrain(brd, AddCar(brd, X), "102,普通", {Origin(Q, 650), Term(R, 750)});
  AddTrain(brd, AddCar(brd, X), "103,普通", {Origin(P, 620), Pass(Q, 700), Term(R, 780)});
  AddTrain(brd, AddCar(brd, X), "104,普通", {Origin(R, 900), Term(T, 1000)});
  BuildLine();
  dia.MakeStaOrder(1);
  EXPECT_EQ(dia.ViewOrder, &dia.WorkOrder);
  EXPECT_EQ(Keys(dia.WorkOrder), (Keys_t{"102", "101", "103"}));
}

// ---- Editing and writing back ------------------------------------------------------------------

TEST_F(DiaGrid, AddTrAndSetCellKeepTheColumnConsistent) {
  BuildLine();
  dia.AddTr("201", "特急 かもめ", -1);
  ASSERT_EQ(dia.CurTr, 0);
  EXPECT_EQ(dia.DiaCells[0].size(), 4u);
  EXPECT_TRUE(IsEmptyCell(dia.GetCell(2)));
  dia.SetCell(StepOf(Origin(R, 600), "ignored"), 2, true);
  dia.SetCell(StepOf(Stop(R, 600, 650)), 2, true);  // the same slot again counts once
  dia.SetCell(StepOf(Term(T, 700)), 3, false);
  dia.SetCell(StepOf(Term(T, 700)), 4, false);  // beyond the line: ignored
  const TTrInfo& tr = dia.TrInfo[0];
  EXPECT_EQ(tr.CellCount, 2);
  EXPECT_EQ(tr.FirstSta, 2);
  EXPECT_EQ(tr.Dir, 1);  // a later slot than the first makes it a down train
  ExpectCell(dia.GetCell(2), "201,特急 かもめ", 650, 650, R);
  EXPECT_TRUE(IsEmptyCell(dia.GetCell(4)));
  dia.ClearTr(0);
  EXPECT_EQ(dia.TrInfo[0].CellCount, 0);
  EXPECT_EQ(dia.TrInfo[0].FirstSta, -1);
  EXPECT_FALSE(dia.HasCell(0, 2));
}

TEST_F(DiaGrid, DelLastCellShortensOnlyFromTheEnd) {
  AddTrain(brd, AddCar(brd, P), "101,普通", {Origin(P, 600), Stop(Q, 700, 730), Term(R, 800)});
  AddTrain(brd, AddCar(brd, X), "102,普通", {Origin(X, 500), Stop(R, 600, 630), Term(Q, 700)});
  AddTrain(brd, AddCar(brd, X), "103,普通", {Origin(X, 500), Term(T, 600)});
  BuildLine();
  const int32_t down = Tr("101"), up = Tr("102"), one = Tr("103");
  EXPECT_FALSE(dia.DelLastCell(one, 3));
  EXPECT_EQ(dia.TrInfo[one].CellCount, 1);
  ExpectCell(dia.Cell(one, 3), "", 600, -1, T);
  EXPECT_FALSE(dia.DelLastCell(down, 0));  // not its last slot
  ASSERT_TRUE(dia.DelLastCell(down, 2));
  EXPECT_EQ(dia.TrInfo[down].CellCount, 2);
  EXPECT_FALSE(dia.HasCell(down, 2));
  ExpectCell(dia.Cell(down, 1), "", 700, -1, Q);
  ASSERT_TRUE(dia.DelLastCell(up, 1));
  ExpectCell(dia.Cell(up, 2), "", 600, -1, R);
  EXPECT_EQ(dia.LastSta(up), 2);
}

std::vector<TTmTbl> Steps(const TCarObj& car) { return car.TmTbl.Items(); }

void ExpectSteps(const TCarObj& car, const std::vector<TTmTbl>& want) {
  ASSERT_EQ(car.TmTbl.Count(), static_cast<int32_t>(want.size()));
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    const TTmTbl& s = car.TmTbl.At(static_cast<int32_t>(i));
    EXPECT_EQ(s.Txt, want[i].Txt);
    EXPECT_EQ(s.TmStart, want[i].TmStart);
    EXPECT_EQ(s.TmEnd, want[i].TmEnd);
    EXPECT_EQ(s.Loc, want[i].Loc);
  }
}

TEST_F(DiaGrid, StoreTrKeepsTheStepsOnOtherLines) {
  TCarObj& car = AddCar(brd, X);
  AddTrain(brd, car, "201,快速",
           {Origin(X, 500), Stop(R, 600, 630), Pass(Q, 700), Stop(P, 800, 810), Term(Y, 900)});
  AddTrain(brd, car, "202,普通", {Origin(Y, 1000), Term(X, 1100)});
  BuildLine();
  ASSERT_EQ(dia.TrCount, 1);
  dia.CurTr = 0;
  dia.SetCell(StepOf(Stop(Q, 700, 720)), 1, false);  // the pass becomes a stop
  dia.StoreTr(car);
  ExpectSteps(
      car, {StepOf({X, 1, -1, -1}), StepOf(Origin(X, 500), "201,快速"), StepOf(Stop(R, 600, 630)),
            StepOf(Stop(Q, 700, 720)), StepOf(Stop(P, 800, 810)), StepOf(Term(Y, 900)),
            StepOf(Origin(Y, 1000), "202,普通"), StepOf(Term(X, 1100))});
}

TEST_F(DiaGrid, StoreTrWritesANewTrainAndAddedSections) {
  TCarObj& car = AddCar(brd, P);
  AddTrain(brd, car, "101,普通", {Origin(P, 600), Term(Q, 700)});
  BuildLine();
  dia.AddTr("102", "急行", 1);
  dia.SetCell(StepOf(Origin(Q, 800)), 1, true);
  dia.SetCell(StepOf(Term(R, 900)), 2, false);
  dia.StoreTr(car);
  const TTrainRange r = car.FindTrain("102");
  EXPECT_EQ(r.First, 3);
  EXPECT_EQ(r.Last, 4);
  // Sections added at the end of the new train: its terminal moves on to T.
  dia.SetCell(StepOf(Stop(R, 900, 930)), 2, false);
  dia.SetCell(StepOf(Term(T, 1000)), 3, false);
  dia.StoreTr(car);
  ExpectSteps(
      car, {StepOf({P, 1, -1, -1}), StepOf(Origin(P, 600), "101,普通"), StepOf(Term(Q, 700)),
            StepOf(Origin(Q, 800), "102,急行"), StepOf(Stop(R, 900, 930)), StepOf(Term(T, 1000))});
}

TEST_F(DiaGrid, StoreTrAfterDelLastCellDropsTheStep) {
  TCarObj& car = AddCar(brd, P);
  AddTrain(brd, car, "101,普通", {Origin(P, 600), Stop(Q, 700, 730), Term(R, 800)});
  BuildLine();
  dia.CurTr = 0;
  ASSERT_TRUE(dia.DelLastCell(0, 2));
  dia.StoreTr(car);
  ExpectSteps(car,
              {StepOf({P, 1, -1, -1}), StepOf(Origin(P, 600), "101,普通"), StepOf(Term(Q, 700))});
}

TEST_F(DiaGrid, StoreTrNeverLosesStepsTheGridDoesNotShow) {
  struct Case {
    const char* name;
    std::vector<int32_t> line;
    std::vector<test::TStepSpec> steps;
    int32_t lastSlot;  // the slot whose cell is removed before writing back
  };
  const Case cases[] = {
      {"turns back", {P, Q, R, T}, {Origin(P, 600), Stop(Q, 700, 730), Term(P, 800)}, 0},
      {"through the ring's first station",
       {P, Q, R, P},
       {Origin(R, 600), Stop(P, 700, 710), Term(Q, 800)},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBrdData board;
    TCarObj& car = AddCar(board, X);
    AddTrain(board, car, "5,普通", c.steps);
    TDiaObj d;
    d.Build(LineOf(c.line), board.TrainNos);
    d.CurTr = 0;
    ASSERT_TRUE(d.DelLastCell(0, c.lastSlot));
    d.StoreTr(car);
    // The first step (the train's origin, outside the run shown) stays; the last step goes and
    // the middle one becomes the terminal.
    TTmTbl mid = StepOf(c.steps[1]);
    mid.TmEnd = -1;
    ExpectSteps(car, {StepOf({X, 1, -1, -1}), StepOf(c.steps[0], "5,普通"), mid});
  }
}

TEST_F(DiaGrid, StoreTrWithoutCellsChangesNothing) {
  TCarObj& car = AddCar(brd, P);
  AddTrain(brd, car, "101,普通", {Origin(P, 600), Term(Q, 700)});
  BuildLine();
  const std::vector<TTmTbl> before = Steps(car);
  dia.AddTr("101", "普通", 1);
  dia.StoreTr(car);
  ExpectSteps(car, before);
}

}  // namespace
}  // namespace ramvel
