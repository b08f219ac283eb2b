// 表示 › 線路容量 and 表示 › 遅延シミュレーション of the diagram editor, driven by real key and
// mouse events on the hand-timed follow line (AnalysisBoards.h), and run mode's 計画 / 遅延 switch.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <QTest>
#include <filesystem>

#include "AnalysisBoards.h"
#include "DiaScript.h"
#include "ShellFixture.h"
#include "engine/UrwPlayDay.h"
#include "shell/UrwMainPlayDay.h"
#include "windows/timetable/UrwCapacityForm.h"
#include "windows/timetable/UrwDelaySimForm.h"
#include "windows/timetable/UrwDiaEditorForm.h"
#include "windows/timetable/UrwDiaChartView.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

std::string PngDir() {
  const std::string dir = std::string(RAMVEL_BINARY_DIR) + "/dia_png";
  fs::create_directories(dir);
  return dir + "/";
}

void TypeInto(QWidget* w, const QString& text) {
  w->setFocus();
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_Delete);
  QTest::keyClicks(w, text);
}

class AnalysisForms : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    FillFollowLine(brd_);
    win_ = std::make_unique<TFrmDiaEditor>(&dlg_, nullptr);
    win_->resize(1000, 600);
    win_->show();
    win_->OpenDia(brd_);
  }
  void TearDown() override { ClearPlayDay(); }
  QAction* Menu(const char* name) {
    QAction* a = win_->findChild<QAction*>(name);
    EXPECT_NE(a, nullptr) << name;
    return a;
  }

  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TScriptedDiaDialogs dlg_;
  std::unique_ptr<TFrmDiaEditor> win_;
};

TEST_F(AnalysisForms, CapacityShowsBarsAgainstTheReferenceAndTheCompressedPaths) {
  QAction* item = Menu("MnuCapacity");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "線路容量(&C)...");
  item->trigger();
  TFrmCapacity* f = win_->findChild<TFrmCapacity*>();
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->isVisible());
  // The window opens on the line's operating day in whole hours.
  EXPECT_EQ(f->EdtFrom->text(), "400");
  EXPECT_EQ(f->EdtTo->text(), "500");
  // A time that is none is named and nothing is computed.
  TypeInto(f->EdtFrom, "2900");
  QTest::mouseClick(f->BtnCalc, Qt::LeftButton);
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Text,
            "開始時刻「2900」は時刻ではありません。400から2700の間で入力して下さい（例: 0630）");
  EXPECT_TRUE(f->Result().Places.empty());
  // 04:16:40-04:26:40, seconds 1000-1600, typed and entered.
  TypeInto(f->EdtFrom, "416.40");
  TypeInto(f->EdtTo, "426.40");
  QTest::keyClick(f->EdtTo, Qt::Key_Return);
  ASSERT_EQ(f->GrdCap->rowCount(), static_cast<int>(f->Result().Places.size()));
  int ab = -1;
  for (int r = 0; r < f->GrdCap->rowCount(); ++r) {
    if (f->GrdCap->item(r, 0)->text() == "A駅〜B駅") ab = r;
  }
  ASSERT_GE(ab, 0);
  EXPECT_EQ(f->GrdCap->item(ab, 2)->text(), "19.7%");
  EXPECT_EQ(f->GrdCap->item(ab, 5)->text(), "0分41秒");
  EXPECT_EQ(f->Threshold(), 85);  // a window of ten minutes: the peak-hour figure
  // Bars along the line: A's tracks first (22.5 %), then A-B (19.7 %), green under 75 %.
  const QImage& bars = f->ImgBars->Picture();
  const QRgb bar = bars.pixel(182, 8 + 24 + 12);
  EXPECT_EQ(QColor(bar), QColor(60, 170, 60));
  // Mixed traffic: the reference becomes 75 %.
  f->CbxKind->setFocus();
  QTest::keyClick(f->CbxKind, Qt::Key_Down);
  EXPECT_EQ(f->Threshold(), 75);
  // The compressed paths of the sections are drawn in the diagram, over the window.
  ASSERT_NE(win_->FrmDiagram, nullptr);
  EXPECT_TRUE(win_->FrmDiagram->isVisible());
  EXPECT_EQ(win_->FrmDiagram->Overlay().Name, "圧縮ダイヤ");
  // A-B holds both trains in the window, B-C train 1 only (train 2 enters it at 1655).
  EXPECT_EQ(win_->FrmDiagram->Overlay().Paths.size(), 3u);
  EXPECT_EQ(win_->FrmDiagram->Opts().Span.From, 1000);
  EXPECT_EQ(win_->FrmDiagram->Opts().Span.To, 1600);
  f->grab().save(QString::fromStdString(PngDir() + "capacity.png"));
  win_->FrmDiagram->grab().save(QString::fromStdString(PngDir() + "capacity_diagram.png"));
  // The menu brings the same window up again.
  item->trigger();
  EXPECT_EQ(win_->findChildren<TFrmCapacity*>().size(), 1);
}

TEST_F(AnalysisForms, DelaySimulationDrawsTheDelayedPathsAndHandsTheDayToRunMode) {
  QAction* item = Menu("MnuDelaySim");
  ASSERT_NE(item, nullptr);
  item->trigger();
  TFrmDelaySim* f = win_->findChild<TFrmDelaySim*>();
  ASSERT_NE(f, nullptr);
  // A train the line does not run is refused by name.
  TypeInto(f->EdtTrain, "9");
  QTest::mouseClick(f->BtnRun, Qt::LeftButton);
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Text, "列車「9」はこの路線の駅から発車しません。列車番号を確かめて下さい");
  EXPECT_FALSE(HasPlayDay(brd_));
  // Train 1, five minutes late at its first departure.
  TypeInto(f->EdtTrain, "1");
  EXPECT_FALSE(f->SpnShare->isEnabled());
  TypeInto(f->SpnDelay, "5");
  QTest::mouseClick(f->BtnRun, Qt::LeftButton);
  const std::string text = f->MemResult->toPlainText().toStdString();
  EXPECT_NE(text.find("定時率（到着の遅れ 1分以内 / 3分以内 / 5分以内）: 25.0% / 25.0% / 100.0%"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("一次遅延 5.0分　波及遅延 4.5分"), std::string::npos) << text;
  EXPECT_NE(text.find("列車2　A駅　発+4分31秒"), std::string::npos) << text;
  ASSERT_NE(win_->FrmDiagram, nullptr);
  EXPECT_EQ(win_->FrmDiagram->Overlay().Name, "遅延ダイヤ");
  EXPECT_TRUE(win_->FrmDiagram->Overlay().Dashed);
  EXPECT_EQ(win_->FrmDiagram->Overlay().Paths.size(), 2u);
  f->grab().save(QString::fromStdString(PngDir() + "delays.png"));
  win_->FrmDiagram->grab().save(QString::fromStdString(PngDir() + "delays_diagram.png"));
  // Run mode: at 04:17:30 (1050) train 1 has left A by the plan; in the delayed day it still
  // stands there until 1300. Either way its own timetable is left as it was.
  ASSERT_TRUE(HasPlayDay(brd_));
  TCarObj* car = brd_.FindCar(1, "");
  brd_.CalcCarLocation(0, 1050);
  EXPECT_TRUE(car->LocState == kLocRun || (car->LocState == kLocHidden && car->LocTm == 1177))
      << int(car->LocState) << " " << car->LocTm;
  PlayDay().Delayed = true;
  brd_.CalcCarLocation(0, 1050);
  EXPECT_TRUE(car->LocState == kLocStand || car->LocState == kLocHidden) << int(car->LocState);
  EXPECT_EQ(car->LocTm, 1300);  // standing at A until its delayed departure
  EXPECT_EQ(car->TmTbl.At(1).TmEnd, 1000);
}

// The main window's switch: 遅延ダイヤ only with a delayed day of the board, and each choice
// relocates the trains.
TEST_F(AnalysisForms, RunModeSwitchesBetweenPlanAndDelayedDay) {
  QMenuBar bar;
  QMenu* help = bar.addMenu("ヘルプ");
  int relocated = 0;
  QMenu* menu = MakePlayDayMenu(&bar, help->menuAction(), brd_, [&] { ++relocated; });
  QAction* plan = menu->findChild<QAction*>("MnuPlayPlan");
  QAction* late = menu->findChild<QAction*>("MnuPlayDelayed");
  ASSERT_NE(plan, nullptr);
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(bar.actions().front(), menu->menuAction());  // before ヘルプ
  emit menu->aboutToShow();
  EXPECT_FALSE(late->isEnabled());
  EXPECT_TRUE(plan->isChecked());
  std::map<int32_t, TTmTblObj> day;
  day[1] = brd_.FindCar(1, "")->TmTbl;
  SetPlayDay(brd_, day);
  emit menu->aboutToShow();
  EXPECT_TRUE(late->isEnabled());
  late->trigger();
  EXPECT_TRUE(PlayDay().Delayed);
  EXPECT_EQ(menu->title(), "運行ダイヤ：遅延(&P)");
  plan->trigger();
  EXPECT_FALSE(PlayDay().Delayed);
  EXPECT_EQ(relocated, 2);
  // Emptying the board (another one is read) forgets the day.
  brd_.ClearBrd();
  EXPECT_FALSE(HasPlayDay(brd_));
}

}  // namespace
}  // namespace ramvel::test
