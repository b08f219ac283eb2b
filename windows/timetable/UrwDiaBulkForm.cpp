// The dialogs of the bulk timetable edits.
#include "windows/timetable/UrwDiaBulkForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "timetable/UrwDiaBulk.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

QSpinBox* Spin(QWidget* parent, int lo, int hi, int value, const QString& suffix) {
  auto* s = new QSpinBox(parent);
  s->setRange(lo, hi);
  s->setValue(value);
  s->setSuffix(suffix);
  return s;
}

// OK and キャンセル at the bottom right; OK is the default button, Esc cancels.
QHBoxLayout* Buttons(QDialog* dlg, QPushButton*& ok, QPushButton*& cancel) {
  ok = new QPushButton(QStringLiteral("OK"), dlg);
  cancel = new QPushButton(QStringLiteral("キャンセル"), dlg);
  ok->setDefault(true);
  QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace

// ---- 時刻をずらす -------------------------------------------------------------------------------

TFrmShiftTime::TFrmShiftTime(QWidget* parent) : QDialog(parent) {
  setFont(UiFont(true, 12));
  setWindowTitle(QStringLiteral("時刻をずらす"));
  LblTrain = new QLabel(this);
  SpnMinutes = Spin(this, -1380, 1380, 5, QStringLiteral(" 分"));
  SpnMinutes->setToolTip(QStringLiteral("遅くするときは正、早くするときは負の値"));
  ChkFollowing = new QCheckBox(QStringLiteral("以降の列車も(&F)"), this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("ずらす時間(&M)："), SpnMinutes);
  auto* col = new QVBoxLayout(this);
  col->addWidget(LblTrain);
  col->addLayout(form);
  col->addWidget(ChkFollowing);
  col->addWidget(new QLabel(QStringLiteral("早くするときは「-5」のように入力します。"), this));
  col->addLayout(Buttons(this, BtnOk, BtnCancel));
  connect(BtnOk, &QPushButton::clicked, this, [this] {
    if (BtnOkClick()) accept();
  });
}

void TFrmShiftTime::Setup(const std::string& trNo) {
  LblTrain->setText(QStr("列車「" + trNo + "」の時刻をずらします。"));
  SpnMinutes->setFocus();
  SpnMinutes->selectAll();
}

bool TFrmShiftTime::BtnOkClick() {
  if (SpnMinutes->value() != 0) return true;
  ShowMsgBox(kCapError, "ずらす時間に0分は指定できません");
  SpnMinutes->setFocus();
  return false;
}

TShiftChoice TFrmShiftTime::Choice() const {
  return {SpnMinutes->value(), ChkFollowing->isChecked()};
}

std::optional<TShiftChoice> TFrmShiftTime::Run(const std::string& trNo) {
  Setup(trNo);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return Choice();
}

// ---- 繰り返し作成 -------------------------------------------------------------------------------

TFrmRepeat::TFrmRepeat(QWidget* parent) : QDialog(parent) {
  setFont(UiFont(true, 12));
  setWindowTitle(QStringLiteral("繰り返し作成"));
  LblCar = new QLabel(this);
  LblCar->setWordWrap(true);
  SpnK = Spin(this, 1, 1, 1, QStringLiteral(" 本"));
  SpnEvery = Spin(this, 1, 1380, 60, QStringLiteral(" 分ごと"));
  EdtUntil = new QLineEdit(QStringLiteral("23:00"), this);
  EdtUntil->setAttribute(Qt::WA_InputMethodEnabled, false);
  EdtUntil->setMaxLength(8);
  SpnIncrement = Spin(this, 1, 1000000, 2, QString());
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("繰り返す列車(&K)：最後の"), SpnK);
  form->addRow(QStringLiteral("間隔(&I)："), SpnEvery);
  form->addRow(QStringLiteral("終了時刻(&U)："), EdtUntil);
  form->addRow(QStringLiteral("列車番号の増分(&N)："), SpnIncrement);
  auto* col = new QVBoxLayout(this);
  col->addWidget(LblCar);
  col->addLayout(form);
  col->addWidget(new QLabel(
      QStringLiteral("終了時刻までに発車する分を作成します（例：101, 103, 105 …）。"), this));
  col->addLayout(Buttons(this, BtnOk, BtnCancel));
  connect(BtnOk, &QPushButton::clicked, this, [this] {
    if (BtnOkClick()) accept();
  });
}

void TFrmRepeat::Setup(int32_t carNo, int32_t trains) {
  LblCar->setText(
      QStr("編成" + IntText(carNo) + "の最後の列車から、始発駅に戻る往復を繰り返します。"));
  SpnK->setRange(1, std::max(1, trains));
  SpnK->setValue(std::min(std::max(1, trains), 2));
  SpnK->setFocus();
}

bool TFrmRepeat::BtnOkClick() {
  int32_t t = 0;
  if (ParseClock(EdtUntil->text().toStdString(), t)) return true;
  ShowMsgBox(kCapError, "終了時刻が正しく入力されていません（例：23:00）");
  EdtUntil->setFocus();
  return false;
}

TRepeatChoice TFrmRepeat::Choice() const {
  return {SpnK->value(), SpnEvery->value(), EdtUntil->text().trimmed().toStdString(),
          SpnIncrement->value()};
}

std::optional<TRepeatChoice> TFrmRepeat::Run(int32_t carNo, int32_t trains) {
  Setup(carNo, trains);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return Choice();
}

}  // namespace ramvel
