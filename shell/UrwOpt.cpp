// The options dialog.
#include "shell/UrwOpt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int kIndent = 20;  // pixels the two dependent options are indented by

}  // namespace

TFrmOpt::TFrmOpt(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("オプション設定"));
  setFont(UiFont(true, 12));
  LblIntv = new QLabel(QStringLiteral("画面更新の頻度"), this);
  CbxIntv = new QComboBox(this);
  CbxIntv->addItems({QStringLiteral("高"), QStringLiteral("中"), QStringLiteral("低")});
  CkbShowTrNo = new QCheckBox(QStringLiteral("列車番号を表示する"), this);
  CkbShowTrNick = new QCheckBox(QStringLiteral("列車愛称があれば表示"), this);
  CkbShowTrOnly = new QCheckBox(QStringLiteral("運行中でない編成は表示しない"), this);
  BtnOk = new QPushButton(QStringLiteral("OK"), this);
  BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  BtnOk->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(LblIntv, 0, 0);
  grid->addWidget(CbxIntv, 0, 1);
  grid->addWidget(CkbShowTrNo, 1, 0, 1, 2);
  auto* nick = new QHBoxLayout;
  nick->addSpacing(kIndent);
  nick->addWidget(CkbShowTrNick);
  grid->addLayout(nick, 2, 0, 1, 2);
  auto* only = new QHBoxLayout;
  only->addSpacing(kIndent);
  only->addWidget(CkbShowTrOnly);
  grid->addLayout(only, 3, 0, 1, 2);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(BtnOk);
  buttons->addWidget(BtnCancel);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 2, 4, 1);

  connect(CkbShowTrNo, &QCheckBox::clicked, this, [this] { CkbShowTrNoClick(); });
  connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  CkbShowTrNoClick();
}

void TFrmOpt::SetFrom(const TShellSettings& s) {
  CbxIntv->setCurrentIndex(s.IntvLevel >= 0 && s.IntvLevel <= 2 ? s.IntvLevel : 0);
  CkbShowTrNo->setChecked(s.ShowTrNo);
  CkbShowTrNoClick();
  CkbShowTrNick->setChecked(s.ShowTrNick);
  CkbShowTrOnly->setChecked(s.ShowTrOnly);
}

TShellSettings TFrmOpt::Result() const {
  TShellSettings s;
  s.IntvLevel = CbxIntv->currentIndex();
  s.ShowTrNo = CkbShowTrNo->isChecked();
  s.ShowTrNick = CkbShowTrNick->isChecked();
  s.ShowTrOnly = CkbShowTrOnly->isChecked();
  return s;
}

void TFrmOpt::CkbShowTrNoClick() {
  const bool on = CkbShowTrNo->isChecked();
  CkbShowTrNick->setEnabled(on);
  CkbShowTrOnly->setEnabled(on);
}

void TFrmOpt::done(int r) {
  FormClose();
  QDialog::done(r);
}

void TFrmOpt::FormClose() {
  if (CkbShowTrNo->isChecked()) return;
  CkbShowTrNick->setChecked(false);
  CkbShowTrOnly->setChecked(false);
}

}  // namespace ramvel
