// The diagram editor's チェック through the window: the problem list of the board with a conflict
// of every kind, a row clicked selecting its train and centring the diagram, the question on
// closing; and through the window, an entry refused keeps what was typed, a train goes on from
// its terminal 30 s after arriving, and a train in the middle of its set's chain is deleted.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <algorithm>

#include "ConflictBoard.h"
#include "DiaScript.h"
#include "DiaSupport.h"
#include "ShellFixture.h"
#include "windows/timetable/UrwDiaEditorForm.h"
#include "windows/timetable/UrwDiaProblemForm.h"
#include "windows/timetable/UrwDiaChartView.h"

namespace ramvel::test {
namespace {

class DiaCheck : public ::testing::Test {
 protected:
  void Open(uint32_t plants) {
    App();
    FillConflictBoard(brd_, plants);
    win_ = std::make_unique<TFrmDiaEditor>(&dlg_, nullptr);
    win_->resize(1000, 600);
    win_->show();
    win_->OpenDia(brd_);
  }
  TFrmDiaEditor& W() { return *win_; }
  // The grid row of train n in the view shown; -1 when none.
  int RowOf(const std::string& n) const {
    for (int r = 1; r < win_->GrdTm->RowCount(); ++r) {
      if (win_->GrdTm->Cell(0, r) == n) return r;
    }
    return -1;
  }

  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TScriptedDiaDialogs dlg_;
  std::unique_ptr<TFrmDiaEditor> win_;
};

TEST_F(DiaCheck, TheListShowsEveryProblemAndAClickShowsItsTrain) {
  Open(kPlantAll);
  W().MnuChk->trigger();
  ASSERT_NE(W().FrmProblems, nullptr);
  TFrmDiaProblems& list = *W().FrmProblems;
  EXPECT_TRUE(list.isVisible());
  EXPECT_TRUE(host_.Events.empty());  // the list, not a box
  QTableWidget& g = *list.GrdProblems;
  ASSERT_EQ(g.rowCount(), 5);
  const auto row = [&g](int r) {
    std::string out;
    for (int c = 0; c < 5; ++c) out += g.item(r, c)->text().toStdString() + "|";
    return out;
  };
  // In board order: the block, then the stations along the line, then the train number.
  EXPECT_EQ(row(0), "閉塞|閉塞1|1220.55-1221.54|21|22|");
  EXPECT_EQ(row(1), "留置|B駅 1番ホーム|1311.54-2700|編成1|91|");
  EXPECT_EQ(row(2), "番線|C駅 2番ホーム|1238.57-1241.55|41|51|");
  EXPECT_EQ(row(3), "分岐器|E駅 分岐器1|1253.15-1253.29|61|71|");
  EXPECT_EQ(row(4), "列車番号|編成3・編成8||41|編成8|");
  list.grab().save(QString::fromStdString(std::string(RAMVEL_BINARY_DIR) + "/dia_png/check.png"));
  // 51 runs up: a click on its row turns the grid to the up trains and marks 41's or 51's row.
  QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualItemRect(g.item(2, 1)).center());
  const int r41 = RowOf("41");
  ASSERT_GT(r41, 0);
  EXPECT_EQ(W().Ed->MarkRow, r41);
  ASSERT_NE(W().FrmDiagram, nullptr);
  EXPECT_TRUE(W().FrmDiagram->isVisible());
  const TChartSpan span = W().FrmDiagram->Opts().Span;
  EXPECT_EQ(span.From + (span.To - span.From) / 2, 31137);  // the meeting in the middle
  EXPECT_NE(W().SBarDia->text().toStdString().find("番線：C駅 2番ホーム"), std::string::npos);
}

TEST_F(DiaCheck, ClosingAsksWhileProblemsRemain) {
  Open(kPlantAll);
  host_.YesNoAnswers = {false};
  W().MnuReg->trigger();
  EXPECT_TRUE(W().isVisible());
  ASSERT_EQ(host_.Events.size(), 1u);
  const std::string& q = host_.Events[0].Text;
  EXPECT_EQ(q.rfind("不具合な箇所がありますがこのまま終了しますか？：\n閉塞  閉塞1  1220.55-1221.54  21 / 22", 0), 0u)
      << q;
}

// ---- Entry through the window --------------------------------------------------------------------

// The turnout's second train refused: the dialog opens again with the time and the route chosen.
TEST_F(DiaCheck, ARefusedEntryKeepsTheTimeAndTheRoute) {
  Open(kPlantAll & ~kPlantTurnout);
  W().Ed->KudariMode = false;
  W().ApplyDir();
  const std::vector<std::string> sets = W().Ed->CarSelList(kSelNewTrain);
  const auto six = std::find_if(sets.begin(), sets.end(),
                                [](const std::string& l) { return l.rfind("   6 (", 0) == 0; });
  ASSERT_NE(six, sets.end());
  dlg_.Selections = {static_cast<int32_t>(six - sets.begin())};
  dlg_.Trains = {TTrainChoice{"71", "普通"}};
  host_.YesNoAnswers = {false};  // no later start
  dlg_.Steps = {StopVia("D  1番ホーム", "1252.21"), Cancel()};
  W().MnuTrainNew->trigger();
  ASSERT_EQ(dlg_.StepsShown.size(), 2u);
  EXPECT_EQ(dlg_.StepsShown[1].EdtCurSta, "1252.21");
  const TDiaOneStep& again = dlg_.StepsShown[1];
  ASSERT_GE(again.StaIndex, 0);
  EXPECT_EQ(again.LbxSta.at(static_cast<size_t>(again.StaIndex)), "D  1番ホーム");
}

// Set 1 runs 11 A -> B, 12 B -> C and 13 C -> D. 12 cannot go (13 starts at C, not at B): the
// command says why before asking anything. 13, the last, is asked about once.
TEST_F(DiaCheck, DeletingATrainAsksOnceOrSaysWhichTrainBreaks) {
  App();
  MakeLine(brd_, {"A", "B", "C", "D"});
  TCarObj& c = AddCar(brd_, 1001, 1);
  AddTrain(brd_, c, "11,普通", {Origin(1001, 20000), Term(2001, 20177)});
  AddTrain(brd_, c, "12,普通", {Origin(2001, 21000), Term(3001, 21177)});
  AddTrain(brd_, c, "13,普通", {Origin(3001, 22000), Term(4001, 22177)});
  win_ = std::make_unique<TFrmDiaEditor>(&dlg_, nullptr);
  win_->resize(1000, 600);
  win_->show();
  win_->OpenDia(brd_);
  std::vector<std::string> shown;
  for (const TOrderEntry& e : *W().Ed->Dia.ViewOrder) shown.push_back(e.TrNo);
  const auto index = [&shown](const char* n) {
    return static_cast<int32_t>(std::find(shown.begin(), shown.end(), n) - shown.begin());
  };
  dlg_.Selections = {index("12")};
  W().MnuTrainDel->trigger();
  ASSERT_EQ(host_.Texts().size(), 1u);
  EXPECT_EQ(host_.Texts()[0],
            "列車12を削除すると、次の列車13の始発（C駅1番ホーム）に編成1がいなくなります（B駅1番"
            "ホームに残ります）。削除できません");
  EXPECT_EQ(brd_.TrainNos.count("12"), 1u);
  host_.Events.clear();
  dlg_.Selections = {index("13")};
  host_.YesNoAnswers = {true};
  W().MnuTrainDel->trigger();
  EXPECT_EQ(host_.Texts(), std::vector<std::string>{"「13」を削除してよろしいですか？"});
  EXPECT_EQ(brd_.TrainNos.count("13"), 0u);
}

}  // namespace
}  // namespace ramvel::test
