// The about box.
#include "shell/UrwAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/UrwShellState.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

TFrmAbout::TFrmAbout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("このソフトについて"));
  setFont(UiFont(true, 12));
  LblName = new QLabel(QString::fromUtf8(kCapProgram), this);
  QFont big = UiFont(true, 24);
  big.setBold(true);
  LblName->setFont(big);
  LblName->setAlignment(Qt::AlignCenter);
  LblVersion = new QLabel(QStringLiteral("バージョン ") + QString::fromUtf8(kProgramVersion), this);
  LblVersion->setAlignment(Qt::AlignCenter);
  LblText = new QLabel(QStringLiteral("鉄道レイアウトの設計とダイヤの運行シミュレーション"), this);
  LblText->setAlignment(Qt::AlignCenter);
  BtnOk = new QPushButton(QStringLiteral("OK"), this);
  BtnOk->setDefault(true);
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(24, 16, 24, 16);
  box->addWidget(LblName);
  box->addWidget(LblVersion);
  box->addSpacing(8);
  box->addWidget(LblText);
  box->addSpacing(8);
  box->addWidget(BtnOk, 0, Qt::AlignCenter);
  connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace ramvel
