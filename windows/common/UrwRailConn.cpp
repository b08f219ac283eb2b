// The rail connection dialog: the picture of a station side with its entry markers, the
// pointer's hand over an entry, and clicks handed to the dialog's state.
#include "windows/common/UrwRailConn.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/UrwBrdView.h"
#include "model/UrwRailObj.h"
#include "model/UrwStaObj.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr uint32_t kClrRunEnd = 0x00FFFF;  // the ends of the run: cyan

}  // namespace

TFrmRailConn::TFrmRailConn(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("駅/レール間の接続変更"));
  setFont(UiFont(true, 12));
  ImgConn = new QLabel(this);
  ImgConn->setFixedSize(kPicSize, kPicSize);
  ImgConn->setMouseTracking(true);
  ImgConn->installEventFilter(this);
  BtnOk = new QPushButton(QStringLiteral("OK"), this);
  BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(BtnOk);
  buttons->addWidget(BtnCancel);
  buttons->addStretch(1);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 8, 0);
  row->addWidget(ImgConn);
  row->addLayout(buttons);
  connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFrmRailConn::Execute(TStaObj& sta, TRailObj& rail, int32_t staSide) {
  Open(sta, rail, staSide);
  return exec() == QDialog::Accepted;
}

void TFrmRailConn::Open(TStaObj& sta, TRailObj& rail, int32_t staSide) {
  sta_ = &sta;
  rail_ = &rail;
  State.Open(sta, rail, staSide);
  CurEnt = 0;
  BtnOk->setEnabled(false);
  ImgConn->setCursor(Qt::ArrowCursor);
  DrawPicture();
}

void TFrmRailConn::ImgMouseMove(int x, int y) {
  CurEnt = State.EntryAt(x, y, Middle());
  ImgConn->setCursor(CurEnt > 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TFrmRailConn::ImgMouseUp(int x, int y) {
  ImgMouseMove(x, y);
  if (CurEnt == 0 || !State.Click(CurEnt)) return;
  BtnOk->setEnabled(true);
  DrawPicture();
}

void TFrmRailConn::BtnOkClick() {
  if (sta_ != nullptr && rail_ != nullptr) State.Apply(*sta_, *rail_);
  accept();
}

bool TFrmRailConn::eventFilter(QObject* obj, QEvent* e) {
  if (obj != ImgConn) return QDialog::eventFilter(obj, e);
  if (e->type() == QEvent::MouseMove) {
    const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
    ImgMouseMove(p.x(), p.y());
    return true;
  }
  if (e->type() == QEvent::MouseButtonRelease) {
    const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
    ImgMouseUp(p.x(), p.y());
    return true;
  }
  return QDialog::eventFilter(obj, e);
}

// ---- Picture -----------------------------------------------------------------------------------

void TFrmRailConn::DrawPicture() {
  Picture = QImage(kPicSize, kPicSize, QImage::Format_RGB32);
  Picture.fill(RgbColour(kClrLand));
  QPainter p(&Picture);
  const TPoint m = Middle();
  const QColor white = RgbColour(kClrTrack);
  for (int32_t i = 1; i <= State.N; ++i) {
    const TPoint e = State.EntryPos(i, m);
    DrawPlainLine(p, QPt(e), QPt(State.StaLineEnd(i, m)), white);
    const TRailConnClass k = State.ClassOf(i);
    if (k == TRailConnClass::kRunEnd || k == TRailConnClass::kRunInner) {
      DrawPlainLine(p, QPt(e), QPt(State.RailLineEnd(i, m)), white);
    }
  }
  for (int32_t i = 1; i <= State.N; ++i) DrawMarker(p, i);
  p.end();
  ImgConn->setPixmap(QPixmap::fromImage(Picture));
}

// 11 x 11 pixels with a black outline: circles for this rail's run and its free neighbours,
// a square for an entry taken by another object, nothing for other free entries.
void TFrmRailConn::DrawMarker(QPainter& p, int32_t i) {
  const TPoint e = State.EntryPos(i, Middle());
  const QRect box(e.x - 5, e.y - 5, 10, 10);
  p.setPen(Qt::black);
  switch (State.ClassOf(i)) {
    case TRailConnClass::kRunEnd:
      p.setBrush(RgbColour(kClrRunEnd));
      p.drawEllipse(box);
      break;
    case TRailConnClass::kRunNext:
      p.setBrush(Qt::white);
      p.drawEllipse(box);
      break;
    case TRailConnClass::kRunInner:
      p.setBrush(Qt::black);
      p.drawEllipse(box);
      break;
    case TRailConnClass::kOther:
      p.setBrush(Qt::black);
      p.drawRect(box);
      break;
    case TRailConnClass::kFree:
      break;
  }
}

}  // namespace ramvel
