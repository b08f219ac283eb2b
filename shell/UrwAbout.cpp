// The about box.
#include "shell/UrwAbout.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include "engine/UrwShellState.h"
#include "view/UrwDrawKit.h"

// A resource of a static library is registered only when called for (and outside any namespace).
static void InitIconResource() { Q_INIT_RESOURCE(ramvel); }

namespace ramvel {

QImage ProgramIconImage(int size) {
  InitIconResource();
  QSvgRenderer svg(QStringLiteral(":/ramvel/ramvel.svg"));
  if (!svg.isValid()) return {};
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
  }
  return image;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QImage image = ProgramIconImage(size);
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

namespace {
constexpr int kIconSize = 64;
}  // namespace

TFrmAbout::TFrmAbout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("このソフトについて"));
  setFont(UiFont(true, 12));
  ImgIcon = new QLabel(this);
  ImgIcon->setPixmap(QPixmap::fromImage(ProgramIconImage(kIconSize)));
  ImgIcon->setAlignment(Qt::AlignCenter);
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
  box->addWidget(ImgIcon);
  box->addWidget(LblName);
  box->addWidget(LblVersion);
  box->addSpacing(8);
  box->addWidget(LblText);
  box->addSpacing(8);
  box->addWidget(BtnOk, 0, Qt::AlignCenter);
  connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace ramvel
