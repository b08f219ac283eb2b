// The one-section dialog's window: it shows the form's fields and hands the user's edits and
// buttons to the form's handlers.
#include "windows/timetable/UrwDiaOneStepForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "timetable/UrwDiaOneStep.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

QLabel* TitleLabel(QWidget* parent, int x, int y) {
  auto* l = new QLabel(parent);
  l->setGeometry(x, y, 321, 18);
  l->setAlignment(Qt::AlignCenter);
  l->setFont(UiFont(true, 16));
  l->setStyleSheet(QStringLiteral("color: white; background-color: rgb(128, 128, 128);"));
  return l;
}

QListWidget* ItemList(QWidget* parent) {
  auto* l = new QListWidget(parent);
  l->setUniformItemSizes(true);
  l->setFont(UiFont(true, 13));
  l->setStyleSheet(QStringLiteral("QListWidget::item { height: 15px; }"));
  return l;
}

void FillList(QListWidget* l, const std::vector<std::string>& items, int selected) {
  l->clear();
  for (const std::string& s : items) l->addItem(QStr(s));
  if (selected >= 0 && selected < l->count()) l->setCurrentRow(selected);
}

}  // namespace

TFrmDiaOneStep::TFrmDiaOneStep(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("一区間の設定"));
  setFont(UiFont(true, 12));
  resize(682, 371);
  LblCurSta = TitleLabel(this, 8, 8);
  Lbl4CurSta = new QLabel(this);
  Lbl4CurSta->setGeometry(8, 32, 321, 17);
  Lbl4CurSta->setFont(UiFont(true, 15));
  EdtCurSta = new QLineEdit(this);
  EdtCurSta->setGeometry(192, 56, 137, 23);
  EdtCurSta->setAttribute(Qt::WA_InputMethodEnabled, false);
  LbxStart = ItemList(this);
  LbxStart->setGeometry(192, 88, 137, 178);
  LblNextSta = TitleLabel(this, 344, 8);
  BtnOk = new QPushButton(QStringLiteral("停車"), this);
  BtnOk->setGeometry(344, 32, 75, 25);
  BtnThru = new QPushButton(QStringLiteral("通過"), this);
  BtnThru->setGeometry(424, 32, 75, 25);
  BtnCancel = new QPushButton(this);
  BtnCancel->setGeometry(544, 32, 123, 25);
  for (QPushButton* b : {BtnOk, BtnThru, BtnCancel}) b->setAutoDefault(false);
  BtnOk->setDefault(true);  // Enter after the time: a stop
  LbxSta = ItemList(this);
  LbxSta->setGeometry(344, 64, 321, 20);
  connect(LbxStart, &QListWidget::itemClicked, this, [this] {
    if (form_ == nullptr) return;
    form_->LbxStartClick(LbxStart->currentRow());
    EdtCurSta->setText(QStr(form_->EdtCurSta));
  });
  connect(BtnOk, &QPushButton::clicked, this, [this] { Press(false); });
  connect(BtnThru, &QPushButton::clicked, this, [this] { Press(true); });
  connect(BtnCancel, &QPushButton::clicked, this, &TFrmDiaOneStep::reject);
}

void TFrmDiaOneStep::Show(const TDiaOneStep& f) {
  LblCurSta->setText(QStr(f.LblCurSta));
  Lbl4CurSta->setText(QStr(f.Lbl4CurSta));
  LblNextSta->setText(QStr(f.LblNextSta));
  EdtCurSta->setText(QStr(f.EdtCurSta));
  EdtCurSta->setVisible(f.EdtCurStaVisible);
  FillList(LbxStart, f.LbxStart, f.StartIndex);
  LbxStart->setVisible(f.LbxStartVisible);
  FillList(LbxSta, f.LbxSta, f.StaIndex);
  LbxSta->setFixedHeight(f.LbxStaHeight);
  BtnCancel->setText(QStr(f.BtnCancelCaption));
  BtnCancel->setEnabled(f.BtnCancelEnabled);
  BtnThru->setEnabled(f.BtnThruEnabled);
  setFixedSize(682, f.ClientHeight);
}

bool TFrmDiaOneStep::Run(TDiaOneStep& form) {
  form_ = &form;
  Show(form);
  if (form.EdtCurStaVisible) EdtCurSta->setFocus();
  const bool ok = exec() == QDialog::Accepted;
  form_ = nullptr;
  return ok;
}

void TFrmDiaOneStep::reject() {
  if (BtnCancel->isEnabled()) QDialog::reject();
}

// The edits go back into the form, whose check decides; a refused choice keeps the dialog open
// with the focus where the correction belongs.
void TFrmDiaOneStep::Press(bool thru) {
  if (form_ == nullptr) return;
  form_->EdtCurSta = EdtCurSta->text().toStdString();
  form_->StartIndex = LbxStart->currentRow();
  form_->StaIndex = LbxSta->currentRow();
  if (thru ? form_->BtnThruClick() : form_->BtnOkClick()) {
    accept();
    return;
  }
  if (form_->Focus == TOneStepFocus::kDep) EdtCurSta->setFocus();
  if (form_->Focus == TOneStepFocus::kRoute) LbxSta->setFocus();
}

}  // namespace ramvel
