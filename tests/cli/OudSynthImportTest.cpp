// The import on the synthetic timetable of a busy line: a cut of it becomes a board whose trains
// are entered on time and which checks clean; a train that cannot be entered in the middle of a
// train set is refused alone; a stopped import leaves no folder behind.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <csignal>
#include <regex>
#include <sstream>

#include "StaPicture.h"
#include "TestSupport.h"
#include "CliInProcess.h"
#include "cli/UrwCli.h"
#include "engine/UrwBrdAudit.h"
#include "foundation/UrwTextRec.h"
#include "foundation/UrwUiHost.h"
#include "interop/UrwOudBoard.h"
#include "timetable/UrwLineCheck.h"
#include "tools/oud/UrwOudSynth.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::TCliRun;

// The weekday timetable of the synthetic line, cut to its first trains.
TOudDoc SynthWeekday(int32_t stations, int32_t cut) {
  TOudSynthShape shape;
  shape.Stations = stations;
  shape.Cut = cut;
  TOudDoc doc = MakeSynthOud(shape);
  doc.Dias.resize(1);
  return doc;
}

std::string WriteDoc(const test::TTempDir& dir, const TOudDoc& doc, const std::string& name) {
  std::string bytes;
  EXPECT_TRUE(OudDocBytes(doc, bytes).ok());
  test::WriteBytes(dir / name, bytes);
  return dir / name;
}

std::vector<std::string> Hidden(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().filename().string().rfind(".", 0) == 0) out.push_back(e.path().string());
  }
  return out;
}

// The totals of an import's report: on time, late, refused.
std::array<int, 3> Totals(const std::string& report) {
  std::smatch m;
  const std::regex totals("時刻どおり ([0-9]+)本、遅れ ([0-9]+)本、入れられない列車 ([0-9]+)本");
  if (!std::regex_search(report, m, totals)) return {-1, -1, -1};
  return {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])};
}

// Every train of the cut is judged and reported, whatever becomes of it, and the board checks
// clean: no refusal leaves anything behind that another set would be blamed for.
TEST(OudSynthImport, ACutOfTheBusyLineIsReportedWholeAndChecksClean) {
  test::TTempDir dir;
  const TOudDoc doc = SynthWeekday(40, 300);
  ASSERT_EQ(doc.Dias[0].Trains.size(), 300u);
  const std::string board = dir / "Busy";
  const TCliRun made = Cli({"import-oud", "--new-board", board, WriteDoc(dir, doc, "busy.oud2")});
  const auto [onTime, late, refused] = Totals(made.Out);
  EXPECT_EQ(onTime + late + refused, 300) << made.Out << made.Err;
  const TCliRun check = Cli({"check", board});
  EXPECT_EQ(check.Exit, 0) << check.Out << check.Err;
  // Progress went to stderr a line per 5 %, the last one at 100 %.
  EXPECT_NE(made.Err.find("読み込み中 5%\n"), std::string::npos) << made.Err;
  EXPECT_NE(made.Err.find("読み込み中 100%\n"), std::string::npos) << made.Err;
  EXPECT_TRUE(Hidden(dir.Path()).empty());
}

// The targets for a published timetable of this shape: 98 % of the trains entered, 95 % with
// every departure on time to the minute. Not met yet: every new set stands at its first station
// from the start of the day, so the sets that start at termini and turn-back stations need more
// platforms than a station holds, and each set refused there ends its chain early. Entering the
// trains in time order instead of set by set does not help while that is so: a set ended early
// then stands to the end of the day where trains entered after its arrival already run, and
// takes back more of its own trains. A stabling siding from which a set appears when first
// needed is what is missing.
TEST(OudSynthImport, DISABLED_ACutOfTheBusyLineIsEnteredOnTime) {
  test::TTempDir dir;
  const std::string board = dir / "Busy";
  const TCliRun made = Cli({"import-oud", "--new-board", board,
                            WriteDoc(dir, SynthWeekday(40, 300), "busy.oud2")});
  const auto [onTime, late, refused] = Totals(made.Out);
  EXPECT_GE(onTime + late, 294) << made.Out;
  EXPECT_GE(onTime, 285) << made.Out;
}

// Five stations 3 minutes apart with a minute's stop; a local each way every 20 minutes from
// 6:00 to 9:40, the up trains 10 minutes after the down ones: sets turn at both ends.
TOudDoc Shuttles() {
  TOudDoc doc;
  doc.Second = true;
  doc.FileType = "OuDiaSecond.1.07";
  doc.LineName = "往復線";
  for (const char* name : {"甲", "乙", "丙", "丁", "戊"}) {
    TOudStation s;
    s.Name = name;
    s.Format = "Jikokukeisiki_Hatsuchaku";
    doc.Stations.push_back(s);
  }
  doc.Kinds.push_back(TOudKind{"普通", "普", 0xFF000000u});
  TOudDia dia;
  dia.Name = "平日";
  for (const bool up : {false, true}) {
    for (int32_t j = 0; j < 12; ++j) {
      TOudTrain t;
      t.Nobori = up;
      t.No = IntText(101 + 2 * j + (up ? 1 : 0));
      t.Cells.assign(5, TOudCell{});
      int32_t m = 6 * 60 + 20 * j + (up ? 10 : 0);
      for (int32_t k = 0; k < 5; ++k) {
        TOudCell& c = t.Cells[static_cast<size_t>(up ? 4 - k : k)];
        c.Stop = TOudStop::kStop;
        if (k > 0) c.Arr = (m += 3) * 60;
        if (k < 4) c.Dep = (k > 0 ? ++m : m) * 60;
      }
      dia.Trains.push_back(t);
    }
  }
  doc.Dias.push_back(dia);
  return doc;
}

// The shuttle line made into a board, then its train sets taken away again, with the plan that
// entered them: the same trains enter as before.
void EmptiedShuttles(const test::TTempDir& dir, TBrdData& brd, TLinePlan& plan) {
  const TOudDoc doc = Shuttles();
  const std::string board = dir / "Small";
  TOudBoardReport made;
  ASSERT_TRUE(MakeOudBoard(test::StdPanels(), doc, board, TOudImportOptions{}, made).ok());
  ASSERT_EQ(made.Refused(), 0);
  ASSERT_TRUE(brd.LoadBrd(dir.Path(), "Small").ok());
  ASSERT_TRUE(brd.SetLine(doc.LineName).ok());
  ASSERT_TRUE(brd.LoadLine(board + "/").ok());
  std::vector<int32_t> cars;
  for (const auto& [key, c] : brd.Cars) cars.push_back(c->Id);
  for (const int32_t id : cars) brd.CarDel(id);
  TOudImportOptions options;
  options.DefaultKmh = made.Plan.Kmh;
  std::vector<std::string> notes;
  std::vector<TTrainEntry> refused;
  ASSERT_TRUE(PlanOudImport(brd, doc, options, plan, notes, refused).ok());
}

// A train of a set's middle that no platform can take: it alone is refused, the set ends before
// it and the set's next train starts a set of its own; nothing is left in conflict.
TEST(OudSynthImport, ATrainRefusedInASetsMiddleIsRefusedAlone) {
  test::TTempDir dir;
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  TLinePlan plan;
  EmptiedShuttles(dir, brd, plan);
  if (HasFatalFailure()) return;
  // The first set of at least three trains; its second train wants a platform 99 on arriving.
  TCarPlan* set = nullptr;
  for (TCarPlan& c : plan.Cars) {
    if (c.Trains.size() >= 3) {
      set = &c;
      break;
    }
  }
  ASSERT_NE(set, nullptr);
  const std::string bad = set->Trains[1].TrNo;
  set->Trains[1].Stops.back().Homes = {99};
  std::vector<TTrainEntry> results;
  TAutoEntryOptions entry;
  entry.StopAtRefusal = false;
  ASSERT_TRUE(EnterLinePlan(brd, plan, entry, results).ok());
  size_t entered = 0;
  for (const TTrainEntry& e : results) {
    if (e.TrNo == bad) {
      EXPECT_FALSE(e.Entered);
      EXPECT_NE(e.Why.find("空いている番線がありません"), std::string::npos) << e.Why;
    } else {
      EXPECT_TRUE(e.Entered) << e.TrNo << ": " << e.Why;
      entered += e.Entered;
    }
  }
  EXPECT_EQ(entered, results.size() - 1);
  // The set's first and third trains run in different sets now.
  const TCarObj* first = brd.FindTrainCar(set->Trains[0].TrNo, "");
  const TCarObj* third = brd.FindTrainCar(set->Trains[2].TrNo, "");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(third, nullptr);
  EXPECT_NE(first->Id, third->Id);
  EXPECT_EQ(CheckLineProblems(brd), std::vector<std::string>{});
}

// Entered in time order, a set that came in at the line's end holds its platform only until
// its next train leaves: every up train that a set's next train follows ends on one platform of
// 甲, each arriving (26 past) after the set before it has turned (at 20 past). Every train is
// entered, none held longer than a platform's clearing, the results stay in the plan's order,
// and nothing is left in conflict.
TEST(OudSynthImport, TrainsEnteredInTimeOrderShareATerminalPlatformInTurn) {
  test::TTempDir dir;
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  TLinePlan plan;
  EmptiedShuttles(dir, brd, plan);
  if (HasFatalFailure()) return;
  std::vector<std::string> planned;
  int32_t home = -1;
  for (TCarPlan& c : plan.Cars) {
    for (TTrainPlan& t : c.Trains) {
      planned.push_back(t.TrNo);
      // A set's last train stays where it ends to the end of the day: those keep every platform.
      if (t.Dir > 0 || &t == &c.Trains.back()) continue;
      if (home < 0) home = t.Stops.back().Homes.front();
      t.Stops.back().Homes = {home};
      t.Stops.back().AnyHome = false;
    }
  }
  ASSERT_EQ(planned.size(), 24u);
  std::vector<TTrainEntry> results;
  TAutoEntryOptions entry;
  entry.StopAtRefusal = false;
  entry.EveryPlatformFirst = true;
  entry.TimeOrder = true;
  ASSERT_TRUE(EnterLinePlan(brd, plan, entry, results).ok());
  ASSERT_EQ(results.size(), planned.size());
  for (size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(results[i].TrNo, planned[i]);
    EXPECT_TRUE(results[i].Entered) << results[i].TrNo << ": " << results[i].Why;
    // Nothing stands in a train's way longer than another train's clearing a platform ahead.
    EXPECT_LE(results[i].Late, 120) << results[i].TrNo << ": " << results[i].Why;
  }
  EXPECT_EQ(CheckLineProblems(brd), std::vector<std::string>{});
}

// SIGTERM while a new board is made: the command stops with the shell's code and neither the
// board's folder nor the hidden working folder is left.
TEST(OudSynthImport, AStoppedImportLeavesNoFolder) {
  test::TTempDir dir;
  const std::string file = WriteDoc(dir, SynthWeekday(40, 600), "busy.oud2");
  const std::string board = dir / "Stopped";
  std::ostringstream out, err;
  // The stop arrives as the progress reaches its first step of train entry.
  struct TStopAtEntry : std::streambuf {
    int overflow(int c) override {
      if (c == '\n' && ++lines == 2) std::raise(SIGTERM);
      return c;
    }
    int lines = 0;
  } stopper;
  std::ostream errStream(&stopper);
  const int exit = cli::CliMain({"import-oud", "--new-board", board, file}, out, errStream);
  EXPECT_EQ(exit, 130);
  EXPECT_FALSE(fs::exists(board));
  EXPECT_TRUE(Hidden(dir.Path()).empty());
}

// A timetable too large to import, or a file cut short, ends in one message naming the
// timetable or the line, and leaves nothing on disk.
TEST(OudSynthImport, AHugeOrTruncatedFileIsRefusedUpFront) {
  test::TTempDir dir;
  TOudDoc huge = Shuttles();
  const TOudTrain one = huge.Dias[0].Trains.front();
  huge.Dias[0].Trains.clear();
  for (int32_t k = 0; k < 20001; ++k) {
    huge.Dias[0].Trains.push_back(one);
    huge.Dias[0].Trains.back().No = IntText(100000 + k);
  }
  const TCliRun big = Cli({"import-oud", "--new-board", dir / "Huge", WriteDoc(dir, huge, "huge.oud2")});
  EXPECT_EQ(big.Exit, 1);
  EXPECT_NE(big.Err.find("ダイヤ「平日」の列車が多すぎます (20001本、読み込めるのは20000本までです)"),
            std::string::npos)
      << big.Err;
  std::string bytes;
  ASSERT_TRUE(OudDocBytes(Shuttles(), bytes).ok());
  test::WriteBytes(dir / "cut.oud2", bytes.substr(0, bytes.size() / 2));
  const TCliRun cut = Cli({"import-oud", "--new-board", dir / "Cut", dir / "cut.oud2"});
  EXPECT_NE(cut.Exit, 0);
  EXPECT_NE(cut.Err.find("行目"), std::string::npos) << cut.Err;
  EXPECT_FALSE(fs::exists(dir / "Huge"));
  EXPECT_FALSE(fs::exists(dir / "Cut"));
  EXPECT_TRUE(Hidden(dir.Path()).empty());
}

}  // namespace
}  // namespace ramvel
