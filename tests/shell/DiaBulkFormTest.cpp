// 時刻をずらす and 繰り返し作成 in the diagram editor window, from the 列車 menu and the grid's
// popup, their dialogs answered by script, on a single-track line A - B - C - D where a
// stop-to-stop section takes 177 s. The dialogs themselves are rendered to PNG.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "ShellFixture.h"
#include "windows/timetable/UrwDiaBulkForm.h"
#include "windows/timetable/UrwDiaEditorForm.h"

namespace ramvel::test {
namespace {

constexpr int32_t A = 1001, B = 2001, C = 3001, D = 4001;
constexpr int32_t k0600 = 7200;

std::string PngDir() {
  const std::string dir = std::string(RAMVEL_BINARY_DIR) + "/dia_png";
  std::filesystem::create_directories(dir);
  return dir + "/";
}

void Add(TBrdData& brd, TCarObj& c, const std::string& no, int32_t from, int32_t to, int32_t home,
         int32_t side, int32_t dep) {
  for (const TTmTbl& s :
       {MakeStep(from, home, side, dep, dep, no + ",普通"),
        MakeStep(B, home, side, dep + 177, dep + 207), MakeStep(to, home, side, dep + 384, -1)}) {
    c.TmTbl.Add(s);
  }
  ASSERT_TRUE(brd.TrainReg(c.Id, no));
}

// Set 1 at A/1 runs 101 A -> C at 06:00 and 102 back at 06:20; set 2 at D/2 runs 402 to C/1 at
// 07:30 (there at 07:32:57) and stays.
class DiaBulkForm : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    MakeLine(brd_, {"A", "B", "C", "D"});
    TCarObj& c1 = AddCar(brd_, A, 1);
    Add(brd_, c1, "101", A, C, 1, 1, k0600);
    Add(brd_, c1, "102", C, A, 1, 0, k0600 + 1200);
    TCarObj& c2 = AddCar(brd_, D, 2);
    c2.TmTbl.Add(MakeStep(D, 2, 0, k0600 + 5400, k0600 + 5400, "402,普通"));
    c2.TmTbl.Add(MakeStep(C, 1, 0, k0600 + 5577, -1));
    ASSERT_TRUE(brd_.TrainReg(c2.Id, "402"));
    win_ = std::make_unique<TFrmDiaEditor>(&dlg_, nullptr);
    win_->resize(1000, 600);
    win_->show();
    win_->OpenDia(brd_);
  }
  TFrmDiaEditor& W() { return *win_; }
  int Row(const std::string& n) const {
    for (int r = 1; r < win_->GrdTm->RowCount(); ++r) {
      if (win_->GrdTm->Cell(0, r) == n) return r;
    }
    return -1;
  }
  // Opens the popup on train n's first station column.
  void Popup(const std::string& n) {
    const int row = Row(n);
    ASSERT_GT(row, 0) << n;
    const int col = W().Ed->KudariMode ? 1 : 5;
    QTest::mouseClick(W().GrdTm, Qt::LeftButton, {}, W().GrdTm->CellRect(col, row).center());
    ASSERT_TRUE(W().PMnuGrid->isVisible());
    W().PMnuGrid->hide();
  }
  std::string Rec(int32_t no) {
    std::string text;
    for (const std::string& l : brd_.FindCar(no, "")->MakeRec().Lines) text += l + "\n";
    return text;
  }
  const TTmTbl& Step(int32_t car, int32_t i) { return brd_.FindCar(car, "")->TmTbl.At(i); }

  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TScriptedDiaDialogs dlg_;
  std::unique_ptr<TFrmDiaEditor> win_;
};

TEST_F(DiaBulkForm, PopupShiftMovesTheClickedTrain) {
  Popup("101");
  EXPECT_TRUE(W().MnuShiftTime2->isVisible());
  EXPECT_FALSE(W().MnuRepeat2->isVisible());  // 101 is not its set's last train
  dlg_.Shifts.push_back(TShiftChoice{5, false});
  W().MnuShiftTime2->trigger();
  EXPECT_EQ(std::vector<std::string>{"101"}, dlg_.ShiftsShown);
  EXPECT_EQ(k0600 + 300, Step(1, 1).TmEnd);
  EXPECT_EQ(k0600 + 384 + 300, Step(1, 3).TmStart);
  EXPECT_EQ(k0600 + 1200, Step(1, 4).TmEnd);  // 102 stays
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("お知らせ", host_.Events[0].Caption);
  EXPECT_EQ("列車101の時刻を+5分ずらしました", host_.Events[0].Text);
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_T), W().MnuShiftTime->shortcut());
}

TEST_F(DiaBulkForm, MenuShiftThatMeetsATrainIsRefusedAndChangesNothing) {
  QTest::mouseClick(W().PnlNobori, Qt::LeftButton);
  int idx = 0;
  for (const TOrderEntry& e : *W().Ed->Dia.ViewOrder) {
    if (e.TrNo == "102") break;
    ++idx;
  }
  dlg_.Selections.push_back(idx);
  dlg_.Shifts.push_back(TShiftChoice{75, false});
  const std::string before = Rec(1);
  W().MnuShiftTime->trigger();
  EXPECT_EQ(std::vector<std::string>{"102"}, dlg_.ShiftsShown);
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("エラー", host_.Events[0].Caption);
  // Set 1 would still stand at C/1 when 402 comes in at 07:32:57.
  EXPECT_EQ("列車102を+75分ずらすと、C駅の1番ホームで列車402と重なります。時刻は変更していません。",
            host_.Events[0].Text);
  EXPECT_EQ(before, Rec(1));
  EXPECT_TRUE(W().Ed->ChkMsg.empty());
}

TEST_F(DiaBulkForm, PopupRepeatOnTheLastTrainMakesHourlyCopies) {
  const std::string before = Rec(1);
  QTest::mouseClick(W().PnlNobori, Qt::LeftButton);
  Popup("102");
  ASSERT_TRUE(W().MnuRepeat2->isVisible());
  dlg_.Repeats.push_back(TRepeatChoice{2, 60, "10:00", 2});
  W().MnuRepeat2->trigger();
  EXPECT_EQ(std::vector<std::string>{"1 2"}, dlg_.RepeatsShown);  // set 1 runs two trains
  ASSERT_EQ(1u, host_.Events.size());
  // Copies leave A at 07:00, 08:00, 09:00 and 10:00; from 08:00 on they end at C/2.
  EXPECT_EQ(
      "4回分（8本）の列車を作成しました。次の複製は1000より後に発車するため、ここで終わりました。",
      host_.Events[0].Text);
  for (const char* n : {"104", "106", "108", "110"}) EXPECT_GT(Row(n), 0) << n;
  EXPECT_EQ(k0600 + 1200 + 4 * 3600, Step(1, brd_.FindCar(1, "")->TmTbl.Count() - 3).TmEnd);
  // One undo takes every copy back.
  EXPECT_EQ("元に戻す: 繰り返し作成", W().MnuUndoRedo.Undo->text().toStdString());
  W().MnuUndoRedo.Undo->trigger();
  EXPECT_EQ(before, Rec(1));
  for (const char* n : {"104", "106", "108", "110"}) EXPECT_LT(Row(n), 0) << n;
}

TEST_F(DiaBulkForm, MenuRepeatCancelledOrWithABadTimeChangesNothing) {
  dlg_.Selections = {0, 0};  // train set 1, the first line of the list
  dlg_.Repeats = {std::nullopt, TRepeatChoice{2, 60, "25:70", 2}};
  const std::string before = Rec(1);
  W().MnuRepeat->trigger();
  EXPECT_TRUE(host_.Events.empty());
  W().MnuRepeat->trigger();
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("終了時刻「25:70」が正しくありません（例：23:00）", host_.Events[0].Text);
  EXPECT_EQ(before, Rec(1));
  EXPECT_EQ((std::vector<std::string>{"1 2", "1 2"}), dlg_.RepeatsShown);
}

TEST(DiaBulkDialogs, RenderAndRefuseWhatIsNoValue) {
  App();
  TScriptedHost host;
  TUiHostScope scope(host);
  TFrmShiftTime shift;
  shift.Setup("101");
  shift.SpnMinutes->setValue(0);
  EXPECT_FALSE(shift.BtnOkClick());
  shift.SpnMinutes->setValue(-5);
  shift.ChkFollowing->setChecked(true);
  EXPECT_TRUE(shift.BtnOkClick());
  EXPECT_EQ(-5, shift.Choice().Minutes);
  EXPECT_TRUE(shift.Choice().Following);
  shift.show();
  shift.grab().save(QString::fromStdString(PngDir() + "bulk_shift.png"));
  TFrmRepeat rep;
  rep.Setup(3, 40);
  EXPECT_EQ(40, rep.SpnK->maximum());
  rep.EdtUntil->setText("2400");
  EXPECT_TRUE(rep.BtnOkClick());
  rep.EdtUntil->setText("12:3");
  EXPECT_FALSE(rep.BtnOkClick());
  rep.show();
  rep.grab().save(QString::fromStdString(PngDir() + "bulk_repeat.png"));
  EXPECT_EQ((std::vector<std::string>{"ずらす時間に0分は指定できません",
                                      "終了時刻が正しく入力されていません（例：23:00）"}),
            host.Texts());
}

}  // namespace
}  // namespace ramvel::test
