// The main window: start-up and settings, recent boards, new and opened boards, modes, the clock,
// the time input, zoom and centring, closing.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <filesystem>

#include "ShellFixture.h"
#include "shell/UrwOpt.h"
#include "windows/common/UrwSelStaForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

std::vector<std::string> LogCaptions(const TFrmMain& m) {
  std::vector<std::string> out;
  for (QAction* a : m.MnuLog) {
    if (a->isVisible()) out.push_back(a->text().toStdString());
  }
  return out;
}

// ---- Start-up and settings ---------------------------------------------------------------------

TEST_F(ShellTest, FirstStartWithoutSettingsFiles) {
  TFrmMain& m = Main();
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel");
  EXPECT_TRUE(LogCaptions(m).empty());
  EXPECT_EQ(m.IntvLevel, 0);
  EXPECT_EQ(m.Settings(), TShellSettings{});
  for (QAction* a : {m.MnuNew, m.MnuLoad, m.MnuExit, m.MnuOpt, m.H1, m.MnuAbout}) {
    EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
  }
  for (QAction* a :
       {m.MnuSave, m.MnuModeSel, m.MnuSaveBAK, m.MnuLandLoad, m.MnuStaEdit, m.MnuDiaEdit}) {
    EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  }
  EXPECT_FALSE(m.GbxDsp->isVisible());
  EXPECT_EQ(m.CbxIntv->count(), 9);
  EXPECT_EQ(m.CbxIntv->currentText().toStdString(), " 1倍速");
  EXPECT_EQ(m.CbxScale->count(), 12);
  EXPECT_EQ(m.CbxScale->itemText(11).toStdString(), "1/108");
  EXPECT_TRUE(m.close());
  EXPECT_EQ(ReadBytes(Base() + "PrwMain.ini"), "0\r\n0\r\n");
  EXPECT_TRUE(fs::exists(Base() + "latest.txt"));
  EXPECT_EQ(ReadBytes(Base() + "latest.txt"), "");
}

TEST_F(ShellTest, StartWithSettingsFilesShowsThreeNamesAndWritesThree) {
  WriteBytes(Base() + "latest.txt", "A\r\nB\r\nC\r\nD\r\nE\r\n");
  WriteBytes(Base() + "PrwMain.ini", "2\r\n0[ONLY]\r\n");
  TFrmMain& m = Main();
  EXPECT_EQ(LogCaptions(m), (Names{"A", "B", "C"}));
  EXPECT_EQ(m.IntvLevel, 2);
  EXPECT_EQ(m.Settings(), (TShellSettings{2, false, false, true}));
  EXPECT_TRUE(m.close());
  EXPECT_EQ(ReadBytes(Base() + "latest.txt"), "A\r\nB\r\nC\r\n");
  EXPECT_EQ(ReadBytes(Base() + "PrwMain.ini"), "2\r\n0[ONLY]\r\n");
}

TEST_F(ShellTest, MalformedSettingsNeverStopStartUp) {
  WriteBytes(Base() + "latest.txt", "\x85\xff\r\n");
  WriteBytes(Base() + "PrwMain.ini", "high\r\n");
  TFrmMain& m = Main();
  EXPECT_TRUE(LogCaptions(m).empty());
  EXPECT_EQ(m.Settings(), TShellSettings{});
  EXPECT_TRUE(Shown().empty());
}

// ---- Recent boards -----------------------------------------------------------------------------

TEST_F(ShellTest, RecentBoardOrdersThroughTheMenu) {
  for (const char* n : {"A", "B", "C", "D"}) MakeEmptyBoard(base_.Path(), n);
  WriteBytes(Base() + "latest.txt", "A\r\nB\r\nC\r\n");
  TFrmMain& m = Main();
  OnModal([](QWidget* w) {
    auto* sel = qobject_cast<TFrmSelSta*>(w);
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(sel->windowTitle().toStdString(), "ボードを選択して下さい");
    sel->LbxSta->setCurrentRow(3);  // A B C D
    sel->BtnOk->click();
  });
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kChoose));
  EXPECT_EQ(LogCaptions(m), (Names{"D", "A", "B"}));
  m.MnuLog[2]->trigger();  // B
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel - B");
  EXPECT_EQ(LogCaptions(m), (Names{"B", "D", "A"}));
  m.MnuLog[0]->trigger();  // B again
  EXPECT_EQ(LogCaptions(m), (Names{"B", "D", "A"}));
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ShellTest, ChosenBoardIsOpenedUnderItsOwnSpelling) {
  MakeEmptyBoard(base_.Path(), "Sample");
  TFrmMain& m = Main();
  OnModal([](QWidget* w) {
    auto* sel = qobject_cast<TFrmSelSta*>(w);
    ASSERT_NE(sel, nullptr);
    ASSERT_EQ(sel->LbxSta->count(), 1);
    EXPECT_EQ(sel->LbxSta->item(0)->text().toStdString(), "SAMPLE");
    sel->accept();
  });
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kChoose));
  EXPECT_EQ(m.Edit.Brd.BrdName, "Sample");
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel - Sample");
}

TEST_F(ShellTest, RecentBoardWhoseFolderWasDeletedFailsAndStaysListed) {
  MakeEmptyBoard(base_.Path(), "A");
  WriteBytes(Base() + "latest.txt", "GONE\r\nA\r\n");
  TFrmMain& m = Main();
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kRecent, 0));
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel");
  EXPECT_TRUE(m.Edit.Brd.BrdName.empty());
  EXPECT_FALSE(m.MnuSave->isEnabled());
  EXPECT_EQ(m.RecentBrds, (Names{"GONE", "A"}));
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Caption, "エラー");
}

// ---- New boards --------------------------------------------------------------------------------

TEST_F(ShellTest, NewBoardIsMadeSavedAndStartsInDesignMode) {
  TFrmMain& m = Main();
  WriteLand(Base() + "terrain.bmp", 40, 30);
  host_.InputAnswers.push_back("新線");
  host_.FileAnswers.push_back(Base() + "terrain.bmp");
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kNew));
  const std::string dir = Base() + "新線/";
  for (const char* sub : {"station", "rail", "car", "line"}) {
    EXPECT_TRUE(fs::is_directory(dir + sub)) << sub;
  }
  EXPECT_EQ(ReadBytes(dir + "Land.bmp"), ReadBytes(Base() + "terrain.bmp"));
  EXPECT_EQ(ReadBytes(dir + "Board.txt"),
            "SCR_XLEFT=0\r\nSCR_YTOP=0\r\nSCR_MPERP=18\r\nID_STA=0\r\nID_RAIL=0\r\n"
            "STA_COUNT=0\r\n");
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel - 新線");
  EXPECT_EQ(m.LblMode->text().toStdString(), "デザインモード");
  EXPECT_EQ(m.Edit.View.DesignMode, 1);
  EXPECT_FALSE(m.GbxTm->isVisible());
  EXPECT_TRUE(m.GbxDsp->isVisible());
  EXPECT_TRUE(m.MnuLandLoad->isEnabled());
  EXPECT_EQ(m.LblLandSize->text().toStdString(), "横4km x 縦3km");
  EXPECT_EQ(LogCaptions(m), (Names{"新線"}));
  ASSERT_EQ(host_.Events.size(), 2u);
  EXPECT_EQ(host_.Events[0].Caption, "ボードの新規作成");
  EXPECT_EQ(host_.Events[0].Text, "ボード名を入力して下さい");
  EXPECT_EQ(host_.Events[1].Caption, "地形データの読み込み");
}

TEST_F(ShellTest, CancelledTerrainRemovesTheNewFolder) {
  TFrmMain& m = Main();
  host_.InputAnswers.push_back("新線");
  host_.FileAnswers.push_back(std::nullopt);
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kNew));
  EXPECT_FALSE(fs::exists(Base() + "新線"));
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel");
  EXPECT_TRUE(m.Edit.Brd.BrdName.empty());
  EXPECT_FALSE(m.MnuSave->isEnabled());
  EXPECT_TRUE(LogCaptions(m).empty());
  EXPECT_EQ(host_.Events.size(), 2u);  // the two questions, no message
}

TEST_F(ShellTest, TerrainThatIsNotAPictureRemovesTheNewFolder) {
  TFrmMain& m = Main();
  WriteBytes(Base() + "bad.bmp", "not a bitmap");
  host_.InputAnswers.push_back("新線");
  host_.FileAnswers.push_back(Base() + "bad.bmp");
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kNew));
  EXPECT_FALSE(fs::exists(Base() + "新線"));
  ASSERT_EQ(host_.Events.size(), 3u);
  EXPECT_EQ(host_.Events[2].Caption, "エラー");
}

TEST_F(ShellTest, ExistingOrUnsafeNamesAreRefused) {
  fs::create_directory(Base() + "bakup");
  TFrmMain& m = Main();
  host_.InputAnswers.push_back("bakup");
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kNew));
  host_.InputAnswers.push_back("../outside");
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kNew));
  host_.InputAnswers.push_back("");
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kNew));
  ASSERT_EQ(host_.Events.size(), 5u);
  EXPECT_EQ(host_.Events[1].Caption, "エラー");
  EXPECT_EQ(host_.Events[1].Text, "そのボード名は既に存在します");
  EXPECT_EQ(host_.Events[3].Caption, "エラー");
  EXPECT_EQ(host_.Events[4].Kind, "input");  // the empty answer ends quietly
  EXPECT_FALSE(fs::exists(base_.Path() + "/../outside"));
  EXPECT_TRUE(fs::is_empty(Base() + "bakup"));
  EXPECT_EQ(host_.Unanswered, 0);
}

TEST_F(ShellTest, UnsavedChangesAreConfirmedBeforeAnotherBoard) {
  MakeEmptyBoard(base_.Path(), "A");
  MakeEmptyBoard(base_.Path(), "B");
  WriteBytes(Base() + "latest.txt", "A\r\nB\r\n");
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.Edit.Brd.Modified = true;
  host_.YesNoAnswers.push_back(false);
  EXPECT_FALSE(m.OpenBrd(TOpenKind::kRecent, 1));
  EXPECT_EQ(m.Edit.Brd.BrdName, "A");
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Caption, "確認");
  EXPECT_EQ(host_.Events[0].Text, "編集結果が保存されていませんがよろしいですか？");
  host_.YesNoAnswers.push_back(true);
  EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 1));
  EXPECT_EQ(m.Edit.Brd.BrdName, "B");
}

TEST_F(ShellTest, SaveFirstSavesOnYes) {
  MakeEmptyBoard(base_.Path(), "A");
  WriteBytes(Base() + "latest.txt", "A\r\n");
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.Edit.Brd.ID_RAIL = 7;
  m.Edit.Brd.Modified = true;
  host_.YesNoAnswers.push_back(false);
  EXPECT_FALSE(m.ConfirmSaveFirst());
  EXPECT_TRUE(m.Edit.Brd.Modified);
  host_.YesNoAnswers.push_back(true);
  EXPECT_TRUE(m.ConfirmSaveFirst());
  EXPECT_FALSE(m.Edit.Brd.Modified);
  EXPECT_NE(ReadBytes(Base() + "A/Board.txt").find("ID_RAIL=7\r\n"), std::string::npos);
  EXPECT_EQ(host_.Events[0].Text, "先にボードの保存が必要です。保存してよろしいですか？");
}

TEST_F(ShellTest, TerrainIsReplacedInDesignMode) {
  MakeEmptyBoard(base_.Path(), "A", 40, 30);
  WriteBytes(Base() + "latest.txt", "A\r\n");
  WriteLand(Base() + "wide.bmp", 100, 30);
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.MnuModeSelClick();
  ASSERT_TRUE(m.MnuLandLoad->isEnabled());
  host_.FileAnswers.push_back(Base() + "wide.bmp");
  m.MnuLandLoad->trigger();
  EXPECT_EQ(ReadBytes(Base() + "A/Land.bmp"), ReadBytes(Base() + "wide.bmp"));
  EXPECT_EQ(m.LblLandSize->text().toStdString(), "横10km x 縦3km");
  EXPECT_EQ(m.Edit.View.LandWidth, 100 * 108);
}

// ---- Closing -----------------------------------------------------------------------------------

TEST_F(ShellTest, ClosingWithUnsavedChangesAsksFirst) {
  MakeEmptyBoard(base_.Path(), "A");
  WriteBytes(Base() + "latest.txt", "A\r\n");
  TFrmMain& m = Main();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.Edit.Brd.Modified = true;
  host_.YesNoAnswers.push_back(false);
  EXPECT_FALSE(m.close());
  EXPECT_TRUE(m.isVisible());
  EXPECT_FALSE(fs::exists(Base() + "PrwMain.ini"));
  host_.YesNoAnswers.push_back(true);
  EXPECT_TRUE(m.close());
  EXPECT_EQ(ReadBytes(Base() + "latest.txt"), "A\r\n");
  EXPECT_EQ(ReadBytes(Base() + "PrwMain.ini"), "0\r\n0\r\n");
}

// ---- Modes and the clock -----------------------------------------------------------------------

class RunTest : public ShellTest {
 protected:
  TFrmMain& Open(int32_t dep = At(6, 0)) {
    MakeBoard(base_.Path(), "S", dep);
    WriteBytes(Base() + "latest.txt", "S\r\n");
    TFrmMain& m = Main();
    m.WallClock = [this] { return wall_; };
    EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
    return m;
  }
  std::pair<int, int> wall_{8, 30};
};

TEST_F(RunTest, OpenedBoardRunsFromTheWallClock) {
  TFrmMain& m = Open();
  EXPECT_EQ(m.windowTitle().toStdString(), "Ramvel - S");
  EXPECT_EQ(m.LblMode->text().toStdString(), "運行モード");
  EXPECT_TRUE(m.GbxTm->isVisible());
  EXPECT_EQ(m.Edit.View.CurTime, At(8, 30));
  EXPECT_EQ(m.EdtCurTm->text().toStdString(), " 830");
  EXPECT_EQ(m.EdtCurTmSec->text().toStdString(), "00");
  EXPECT_FALSE(m.Timer.isActive());
  EXPECT_TRUE(m.ImgTmOff->isVisible());
  EXPECT_FALSE(m.ImgTmOn->isVisible());
  EXPECT_TRUE(m.BtnStep->isEnabled());
  EXPECT_EQ(m.Edit.FrameBmp.size(), QSize(800, 600));
  EXPECT_EQ(m.Edit.Brd.Stas.size(), 2u);
  EXPECT_FALSE(m.MnuLandLoad->isEnabled());
  EXPECT_TRUE(Shown().empty());
}

TEST_F(RunTest, EarlyWallClockStartsAtFour) {
  wall_ = {2, 15};
  TFrmMain& m = Open();
  EXPECT_EQ(m.Edit.View.CurTime, 0);
  EXPECT_EQ(m.EdtCurTm->text().toStdString(), " 400");
}

TEST_F(RunTest, ModeSwitchKeepsTheTimeAndStopsTheClock) {
  TFrmMain& m = Open();
  m.RunClock(true);
  m.MnuModeSelClick();
  EXPECT_EQ(m.LblMode->text().toStdString(), "デザインモード");
  EXPECT_FALSE(m.Timer.isActive());
  EXPECT_FALSE(m.GbxTm->isVisible());
  EXPECT_TRUE(m.MnuLandLoad->isEnabled());
  // Every command of design mode has its window now.
  for (QAction* a : {m.MnuStaEdit, m.MnuDiaEdit, m.MnuSaveBAK, m.MnuStaAdd, m.MnuStaRename,
                     m.MnuLineNew, m.MnuLineMod, m.MnuLineDel}) {
    EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
  }
  wall_ = {14, 30};
  m.MnuModeSelClick();
  EXPECT_EQ(m.Edit.View.CurTime, At(8, 30));
  EXPECT_TRUE(m.GbxTm->isVisible());
}

TEST_F(RunTest, StepAdvancesByTheMultiple) {
  TFrmMain& m = Open();
  m.CbxIntv->setCurrentIndex(7);
  EXPECT_EQ(m.CbxIntv->currentText().toStdString(), "30倍速");
  m.BtnStep->click();
  EXPECT_EQ(m.Edit.View.CurTime, At(8, 30, 30));
  EXPECT_EQ(m.EdtCurTmSec->text().toStdString(), "30");
  EXPECT_FALSE(m.Timer.isActive());
}

TEST_F(RunTest, ClockTablesAtSixtyTimes) {
  TFrmMain& m = Open();
  m.CbxIntv->setCurrentIndex(8);
  EXPECT_EQ(m.CbxIntv->currentText().toStdString(), "60倍速");
  m.RunClock(true);
  EXPECT_EQ(m.Edit.View.TimeStep, 6);
  EXPECT_EQ(m.Timer.interval(), 100);
  EXPECT_TRUE(m.ImgTmOn->isVisible());
  EXPECT_FALSE(m.BtnStep->isEnabled());
  m.IntvLevel = 2;
  m.CbxIntvChange();
  EXPECT_EQ(m.Edit.View.TimeStep, 20);
  EXPECT_EQ(m.Timer.interval(), 333);
  EXPECT_TRUE(m.Timer.isActive());
  m.RunClock(false);
  EXPECT_EQ(m.Edit.View.TimeStep, 0);
}

TEST_F(RunTest, ChangingTheSpeedWhileRunningAppliesAtOnce) {
  TFrmMain& m = Open();
  m.RunClock(true);
  m.CbxIntv->setCurrentIndex(5);  // 10倍速: 1 s every 100 ms at level 0
  EXPECT_TRUE(m.Timer.isActive());
  EXPECT_EQ(m.Timer.interval(), 100);
  m.RunClock(false);
  m.CbxIntv->setCurrentIndex(6);
  EXPECT_FALSE(m.Timer.isActive());
}

TEST_F(RunTest, OptionsLevelTakesEffectOnTheRunningClock) {
  TFrmMain& m = Open();
  m.CbxIntv->setCurrentIndex(8);
  m.RunClock(true);
  OnModal([&m](QWidget* w) {
    auto* opt = qobject_cast<TFrmOpt*>(w);
    ASSERT_NE(opt, nullptr);
    EXPECT_FALSE(m.Timer.isActive());  // the clock rests while the dialog is open
    opt->CbxIntv->setCurrentIndex(2);
    opt->BtnOk->click();
  });
  m.MnuOptClick();
  EXPECT_EQ(m.IntvLevel, 2);
  EXPECT_TRUE(m.Timer.isActive());
  EXPECT_EQ(m.Edit.View.TimeStep, 20);
  EXPECT_EQ(m.Timer.interval(), 333);
}

TEST_F(RunTest, CancelledOptionsChangeNothing) {
  TFrmMain& m = Open();
  OnModal([](QWidget* w) {
    auto* opt = qobject_cast<TFrmOpt*>(w);
    ASSERT_NE(opt, nullptr);
    opt->CbxIntv->setCurrentIndex(1);
    opt->CkbShowTrNo->click();
    opt->BtnCancel->click();
  });
  m.MnuOptClick();
  EXPECT_EQ(m.Settings(), TShellSettings{});
  EXPECT_FALSE(m.Timer.isActive());
}

TEST_F(RunTest, WrapAfterTwentySevenRelocatesEveryTrainSet) {
  TFrmMain& m = Open(At(26, 56));
  m.Edit.View.CurTime = At(26, 59, 58);
  m.Redraw(true);
  const TCarObj* car = m.Edit.Brd.FindCar(1, "");
  ASSERT_NE(car, nullptr);
  ASSERT_FALSE(car->PathItems.empty());
  EXPECT_NE(car->PathItems[0], "-1011");  // at B after the day's last run
  m.CbxIntv->setCurrentIndex(8);
  m.RunClock(true);
  m.TimerTimer();
  EXPECT_EQ(m.Edit.View.CurTime, 0);
  EXPECT_EQ(m.EdtCurTm->text().toStdString(), " 400");
  EXPECT_EQ(m.EdtCurTmSec->text().toStdString(), "00");
  EXPECT_EQ(car->PathItems, Names{"-1011"});  // stabled at A platform 1 again
  EXPECT_EQ(car->LocState, kLocStand);
  EXPECT_TRUE(m.Timer.isActive());
}

TEST_F(RunTest, TickDuringATickStopsTheClock) {
  TFrmMain& m = Open();
  m.RunClock(true);
  m.TimerTag = 1;
  const int32_t before = m.Edit.View.CurTime;
  m.TimerTimer();
  EXPECT_FALSE(m.Timer.isActive());
  EXPECT_EQ(m.Edit.View.CurTime, before);
  EXPECT_TRUE(m.ImgTmOff->isVisible());
}

TEST_F(RunTest, TimeInputAcceptsPastMidnightAndAsksAgainOnRefusal) {
  TFrmMain& m = Open();
  m.RunClock(true);
  host_.InputAnswers.push_back("0330");
  host_.InputAnswers.push_back("2530");
  m.EdtCurTmClick();
  EXPECT_EQ(m.Edit.View.CurTime, 91800 - 14400);
  EXPECT_EQ(m.EdtCurTm->text().toStdString(), "2530");
  ASSERT_EQ(host_.Events.size(), 2u);
  EXPECT_EQ(host_.Events[0].Caption, "時刻の変更");
  EXPECT_EQ(host_.Events[0].Text, "希望の時刻を入力して下さい");
  EXPECT_TRUE(m.Timer.isActive());  // back to running
}

TEST_F(RunTest, TimeInputKeptOrCancelledChangesNothing) {
  TFrmMain& m = Open();
  host_.InputAnswers.push_back(" 830");
  m.EdtCurTmClick();
  host_.InputAnswers.push_back(std::nullopt);
  m.EdtCurTmClick();
  EXPECT_EQ(m.Edit.View.CurTime, At(8, 30));
  EXPECT_FALSE(m.Timer.isActive());
}

// ---- Zoom, scroll, centring --------------------------------------------------------------------

TEST_F(ShellTest, ZoomFromEighteenToNineKeepsTheCentre) {
  MakeBoard(base_.Path(), "S", At(6, 0), 300, 300);
  WriteBytes(Base() + "latest.txt", "S\r\n");
  TFrmMain& m = Main(800, 600);
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.Edit.Brd.SCR_XLEFT = 10800;
  m.Edit.Brd.SCR_YTOP = 5400;
  m.Redraw(true);
  ASSERT_EQ(m.Edit.Brd.SCR_MPERP, 18);
  m.CbxScale->setCurrentIndex(5);
  EXPECT_EQ(m.Edit.Brd.SCR_MPERP, 9);
  EXPECT_EQ(m.Edit.View.ScaleIdx, 5);
  EXPECT_EQ(m.Edit.Brd.SCR_XLEFT, 10800 + 3600);
  EXPECT_EQ(m.Edit.Brd.SCR_YTOP, 5400 + 2700);
}

TEST_F(ShellTest, ScrollButtonsAndDoubleClick) {
  MakeBoard(base_.Path(), "S", At(6, 0), 300, 300);
  WriteBytes(Base() + "latest.txt", "S\r\n");
  TFrmMain& m = Main(800, 600);
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.BtnMuki[7]->click();  // Tag 22: right and down by half a view
  EXPECT_EQ(m.Edit.Brd.SCR_XLEFT, 400 * 18);
  EXPECT_EQ(m.Edit.Brd.SCR_YTOP, 300 * 18);
  m.FormDblClick(500, 400);  // this point becomes the centre
  EXPECT_EQ(m.Edit.Brd.SCR_XLEFT, 400 * 18 + 100 * 18);
  EXPECT_EQ(m.Edit.Brd.SCR_YTOP, 300 * 18 + 100 * 18);
  m.SetViewCursor(Qt::SplitHCursor);
  m.FormDblClick(100, 100);  // not with the scroll cursor
  EXPECT_EQ(m.Edit.Brd.SCR_XLEFT, 500 * 18);
  m.FormMouseUp(Qt::LeftButton, 2, 300);  // a click at the left edge scrolls half a view
  EXPECT_EQ(m.Edit.Brd.SCR_XLEFT, 100 * 18);
  EXPECT_EQ(m.Edit.Brd.SCR_YTOP, 400 * 18);
}

TEST_F(ShellTest, ResizingTheWindowResizesTheView) {
  MakeBoard(base_.Path(), "S");
  WriteBytes(Base() + "latest.txt", "S\r\n");
  TFrmMain& m = Main(800, 600);
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  SetBoardArea(640, 480);
  EXPECT_EQ(m.Edit.Brd.ScrWidth, 640);
  EXPECT_EQ(m.Edit.Brd.ScrHeight, 480);
  EXPECT_EQ(m.Edit.FrameBmp.size(), QSize(640, 480));
}

// ---- Help and about ----------------------------------------------------------------------------

TEST_F(ShellTest, HelpOpensTheHelpPageOfTheProgramFolder) {
  TFrmMain& m = Main();
  std::string opened;
  m.OpenDocument = [&opened](const std::string& p) {
    opened = p;
    return true;
  };
  m.H1->trigger();
  EXPECT_EQ(opened, Base() + "help/top.html");
}

TEST_F(ShellTest, AboutBoxNamesTheProgramAndVersion) {
  TFrmMain& m = Main();
  OnModal([](QWidget* w) {
    EXPECT_EQ(w->windowTitle().toStdString(), "このソフトについて");
    QStringList texts;
    for (QLabel* l : w->findChildren<QLabel*>()) texts << l->text();
    EXPECT_TRUE(texts.contains("Ramvel"));
    EXPECT_TRUE(texts.join(" ").contains(QString::fromUtf8(kProgramVersion)));
    static_cast<QDialog*>(w)->accept();
  });
  m.MnuAboutClick();
}

// Every command the menu shows is explained in the help page under its real caption.
TEST_F(ShellTest, HelpPageUsesTheRealMenuCaptions) {
  TFrmMain& m = Main();
  const QString page = QString::fromStdString(ReadBytes(RAMVEL_SOURCE_DIR "/data/help/top.html"));
  ASSERT_FALSE(page.isEmpty());
  std::vector<QAction*> actions;
  for (QAction* top : m.menuBar()->actions()) {
    actions.push_back(top);
    if (top->menu() != nullptr) {
      for (QAction* a : top->menu()->actions()) actions.push_back(a);
    }
  }
  for (QAction* a : actions) {
    if (a->isSeparator() || a->text().startsWith("Log") || a->text() == "&File") continue;
    const QString caption = QString(a->text()).remove('&');
    EXPECT_TRUE(page.contains(caption)) << caption.toStdString();
  }
}

}  // namespace
}  // namespace ramvel::test
