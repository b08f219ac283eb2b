// The main window's modes and the operation clock.
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/UrwMain.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

void TFrmMain::SetMode(bool design) {
  RunClock(false);
  LblMode->setVisible(true);
  if (design) {
    Edit.EndEdit();
    LblMode->setText(QStringLiteral("デザインモード"));
    GbxTm->setVisible(false);
  } else {
    Edit.View.DesignMode = false;
    LblMode->setText(QStringLiteral("運行モード"));
    GbxTm->setVisible(true);
    if (Edit.View.CurTime < 0) {
      const auto [hour, minute] = WallClock();
      Edit.View.StartClock(hour, minute);
    }
    RunClock(false);
  }
  UpdateMenus();
  Redraw(true);
}

void TFrmMain::RunClock(bool on) {
  BtnStep->setEnabled(!on);
  ImgTmOn->setVisible(on);
  ImgTmOff->setVisible(!on);
  ShowCurTm();
  if (on) {
    const int item = CbxIntv->currentIndex();
    Edit.View.TimeStep = TickSeconds(item, IntvLevel);
    Timer.setInterval(TickIntervalMs(item, IntvLevel));
    PnlTmStat->setFrameShadow(QFrame::Sunken);
  } else {
    Edit.View.TimeStep = 0;
    PnlTmStat->setFrameShadow(QFrame::Raised);
  }
  TimerTag = 0;
  if (on) {
    Timer.start();
  } else {
    Timer.stop();
  }
}

// A tick that arrives while the previous one is still handled (a message box of the location
// lets the event loop run) stops the clock instead of piling up.
void TFrmMain::TimerTimer() {
  if (TimerTag != 0) {
    RunClock(false);
    return;
  }
  TimerTag = 1;
  const TQuietBoxes quiet = QuietToStatusBar();
  const int32_t step = Edit.View.ClockTick();
  Edit.Brd.CalcCarLocation(step, Edit.View.CurTime);
  ShowCurTm();
  Redraw(false);
  TimerTag = 0;
}

void TFrmMain::BtnStepClick() {
  Edit.View.TimeStep = StepMultiple(CbxIntv->currentText().toStdString());
  TimerTimer();
  Edit.View.TimeStep = 0;
}

void TFrmMain::ShowCurTm() {
  if (Edit.View.CurTime < 0) {
    EdtCurTm->clear();
    EdtCurTmSec->clear();
    return;
  }
  const std::string text = TimeToText(Edit.View.CurTime, true);
  const size_t dot = text.find('.');
  EdtCurTm->setText(QStr(text.substr(0, dot)));
  EdtCurTmSec->setText(QStr(dot == std::string::npos ? std::string() : text.substr(dot + 1)));
}

void TFrmMain::EdtCurTmClick() {
  const bool running = Timer.isActive();
  RunClock(false);
  int32_t t = 0;
  if (Edit.View.CurTime >= 0 && AskCurTime(EdtCurTm->text().left(4).toStdString(), t)) {
    Edit.View.CurTime = t;
    Redraw(true);
  }
  RunClock(running);
}

}  // namespace ramvel
