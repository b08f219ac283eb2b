// One board with a conflict of every kind: the command line check, the editor's problem list and
// the charts report exactly those, and the editor refuses the second train of each at entry,
// naming the train or set it would meet.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "ConflictBoard.h"
#include "DiaScript.h"
#include "TestSupport.h"
#include "timetable/UrwDiaChart.h"
#include "timetable/UrwDiaEditor.h"
#include "timetable/UrwLineCheck.h"
#include "timetable/UrwStaChart.h"

namespace ramvel::test {
namespace {

using Texts = std::vector<std::string>;

// (kind, trains) as a list names a problem, the trains in sorted order.
std::string Key(TProblemKind kind, std::string a, std::string b) {
  if (b < a) std::swap(a, b);
  return std::string(ProblemKindName(kind)) + " " + a + "/" + b;
}

std::multiset<std::string> Keys(const std::vector<TLineProblem>& ps) {
  std::multiset<std::string> out;
  for (const TLineProblem& p : ps) out.insert(Key(p.Kind, p.TrA, p.TrB));
  return out;
}

class ConflictBoard : public ::testing::Test {
 protected:
  void Fill(uint32_t plants) { FillConflictBoard(brd_, plants); }

  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TScriptedDiaDialogs dlg_;
};

// Worked from the timetables (55 s out of a stop, 59 s a block, 63 s in): 21 holds block A-B
// track 1 30055-30114 while 22 holds it 30055-30114; 41 holds C 2 from its coming in at 31114 until
// it has left at 31355, 51 from 31137 until 31315; 71 sets E's turnout 1 crossing over slots
// 2129-2133 (31941/15 .. 31996/15), 61 straight from 31996 (slot 2133); set 1 stands at B 1 from
// 30177 for the night and 91 comes in at 33114 to stay.
TEST_F(ConflictBoard, CheckListsEveryPlantedConflictOnce) {
  Fill(kPlantAll);
  const std::vector<TLineProblem> ps = CheckLine(brd_);
  const std::multiset<std::string> want = {
      Key(TProblemKind::kBlock, "21", "22"), Key(TProblemKind::kStand, "[1]", "91"),
      Key(TProblemKind::kTrack, "41", "51"), Key(TProblemKind::kTurnout, "61", "71"),
      Key(TProblemKind::kDupTrNo, "41", "[8]")};
  EXPECT_EQ(Keys(ps), want);
  const auto find = [&](TProblemKind k) {
    return *std::find_if(ps.begin(), ps.end(), [k](const TLineProblem& p) { return p.Kind == k; });
  };
  EXPECT_EQ(find(TProblemKind::kBlock).From, 30055);
  EXPECT_EQ(find(TProblemKind::kBlock).To, 30114);
  EXPECT_EQ(find(TProblemKind::kTrack).Place, "C駅 2番ホーム");
  EXPECT_EQ(find(TProblemKind::kTrack).From, 31137);
  EXPECT_EQ(find(TProblemKind::kTrack).To, 31315);
  EXPECT_EQ(find(TProblemKind::kTurnout).Place, "E駅 分岐器1");
  EXPECT_EQ(find(TProblemKind::kTurnout).From, 2133 * 15);
  EXPECT_EQ(find(TProblemKind::kTurnout).To, 2133 * 15 + 14);
  EXPECT_EQ(find(TProblemKind::kStand).Place, "B駅 1番ホーム");
  EXPECT_EQ(find(TProblemKind::kStand).From, 33114);
  EXPECT_EQ(find(TProblemKind::kStand).To, kDayEnd);
  EXPECT_EQ(find(TProblemKind::kDupTrNo).Text, "train 41: number used by sets 3 and 8");
}

TEST_F(ConflictBoard, TheEditorListsWhatCheckFinds) {
  Fill(kPlantAll);
  const Texts check = CheckLineProblems(brd_);
  TDiaEditor ed(brd_, dlg_);
  ed.OpenDia();
  Texts listed;
  for (const TLineProblem& p : ed.LineProblems()) listed.push_back(p.Text);
  EXPECT_EQ(listed, check);
  EXPECT_EQ(check.size(), 5u);
}

TEST_F(ConflictBoard, ChartsMarkTheSameMeetings) {
  Fill(kPlantAll);
  CheckLine(brd_);
  std::multiset<std::string> marked;
  for (const TDiaConflict& c : MakeLineDiagram(brd_).Conflicts) {
    marked.insert(std::min(c.TrA, c.TrB) + "/" + std::max(c.TrA, c.TrB));
  }
  EXPECT_EQ(marked, (std::multiset<std::string>{"21/22", "41/51", "61/71", "91/[1]"}));
  const TStaChart b = MakeStaChart(brd_, *brd_.FindSta(kCB, ""));
  ASSERT_FALSE(b.Conflicts.empty());
  EXPECT_EQ(b.Rows[b.Conflicts[0].Row].Name, "1番ホーム");
  const TStaChart c = MakeStaChart(brd_, *brd_.FindSta(kCC, ""));
  ASSERT_FALSE(c.Conflicts.empty());
  EXPECT_EQ(c.Rows[c.Conflicts[0].Row].Name, "2番ホーム");
}

// ---- Entry of each second train is refused --------------------------------------------------

struct TEntryCase {
  const char* name;
  uint32_t plant;
  int32_t car;       // the set that runs the second train
  std::string dir;   // "上り" or "下り": the view the new train is entered in
  std::vector<TStepAnswer> steps;
  std::string says;  // a part of the refusal
};

TEST_F(ConflictBoard, EachSecondTrainIsRefusedNamingTheOther) {
  const std::vector<TEntryCase> cases = {
      {"block", kPlantBlock, 2, "up", {StopVia("A  1番ホーム", "1220")}, "列車21"},
      {"platform", kPlantTrack, 4, "up", {StopVia("C  2番ホーム", "1237.03")}, "列車41"},
      {"turnout", kPlantTurnout, 6, "up", {StopVia("D  1番ホーム", "1252.21")}, "列車61"},
      {"stand", kPlantStand, 7, "up", {StopVia("B  1番ホーム", "1310")}, "編成1"},
  };
  for (const TEntryCase& c : cases) {
    SCOPED_TRACE(c.name);
    TBrdData brd;
    FillConflictBoard(brd, kPlantAll & ~c.plant);
    TScriptedDiaDialogs dlg;
    TDiaEditor ed(brd, dlg);
    ed.OpenDia();
    ed.KudariMode = c.dir == "down";
    ed.ApplyDir();
    host_.Events.clear();
    TCarObj& car = *brd.FindCar(c.car, "");
    const TEntCode from = SplitEntCode(car.TmTbl.At(0).Loc);
    ed.Dia.AddTr("99", "普通", c.dir == "down" ? 1 : -1);
    dlg.Steps.assign(c.steps.begin(), c.steps.end());
    dlg.Steps.push_back(Cancel());
    EXPECT_FALSE(ed.FixPathToTerminal(car, "99", from, c.dir == "down" ? 1 : -1, true));
    ASSERT_FALSE(host_.Events.empty());
    EXPECT_NE(host_.Events[0].Text.find(c.says), std::string::npos) << host_.Events[0].Text;
  }
}

// ---- The command line ---------------------------------------------------------------------------

TEST_F(ConflictBoard, CommandLineCheckReportsEachKindAndTheLineWithoutRail) {
  Fill(kPlantAll);
  TTempDir dir;
  std::filesystem::create_directories(dir / "B");
  const TStatus saved = brd_.SaveBrd(dir / "B/", false);
  ASSERT_TRUE(saved.ok()) << saved.Msg();
  ASSERT_TRUE(brd_.SaveLine(dir / "B/").ok());
  const Texts main = CheckLineProblems(brd_);
  ASSERT_TRUE(brd_.SetLine("飛越").ok());
  brd_.LineStas = {IntText(kCA), IntText(kCC)};
  ASSERT_TRUE(brd_.SaveLine(dir / "B/").ok());
  EXPECT_FALSE(brd_.CheckLineRails().ok());
  const TProgramRun run = RunProgram(RAMVEL_CLI, {"check", dir / "B"}, dir.Path());
  EXPECT_EQ(run.Exit, 1) << run.Err;
  std::string want;  // the layout line says A has a free entry on its far side
  for (const std::string& p : main) want += "line 本線: " + p + "\n";
  want += "line 飛越: no rail between A and C\n";
  EXPECT_NE(run.Out.find(want), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("board: 列車番号「41」が編成3と編成8の両方にあります"), std::string::npos)
      << run.Out;
}

}  // namespace
}  // namespace ramvel::test
