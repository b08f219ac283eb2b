// The entry crossing dialog.
#include "windows/station_designer/UrwStaEntConnForm.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "view/UrwDrawKit.h"
#include "view/UrwStaEditDraw.h"

namespace ramvel {

namespace {

constexpr int kBtnX = TStaEntConn::kPicSize + 10, kBtnW = 75, kBtnH = 25;
constexpr int kFormW = kBtnX + kBtnW + 10;

}  // namespace

TEntConnPic::TEntConnPic(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TEntConnPic::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, Pic);
}

void TEntConnPic::mouseMoveEvent(QMouseEvent* e) {
  emit MouseMoved(e->position().toPoint().x(), e->position().toPoint().y());
}

void TEntConnPic::mouseReleaseEvent(QMouseEvent* e) {
  emit MouseReleased(e->position().toPoint().x(), e->position().toPoint().y());
}

TFrmStaEnt::TFrmStaEnt(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("立体交差の設定"));
  setFont(UiFont(true, 12));
  setFixedSize(kFormW, TStaEntConn::kPicSize);
  ImgEnt = new TEntConnPic(this);
  ImgEnt->setGeometry(0, 0, TStaEntConn::kPicSize, TStaEntConn::kPicSize);
  ImgEnt->Pic = QImage(TStaEntConn::kPicSize, TStaEntConn::kPicSize, QImage::Format_RGB32);
  BtnOk = new QPushButton(QStringLiteral("OK"), this);
  BtnOk->setGeometry(kBtnX, 8, kBtnW, kBtnH);
  BtnOk->setDefault(true);
  BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  BtnCancel->setGeometry(kBtnX, 40, kBtnW, kBtnH);
  connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ImgEnt, &TEntConnPic::MouseMoved, this, &TFrmStaEnt::ImgEntMouseMove);
  connect(ImgEnt, &TEntConnPic::MouseReleased, this, &TFrmStaEnt::ImgEntMouseUp);
}

bool TFrmStaEnt::Execute(TStaEntConn& conn) {
  conn_ = &conn;
  ImgEnt->setCursor(Qt::ArrowCursor);
  DrawPic();
  const bool ok = exec() == QDialog::Accepted;
  conn_ = nullptr;
  return ok;
}

void TFrmStaEnt::DrawPic() {
  if (conn_ == nullptr) return;
  QPainter p(&ImgEnt->Pic);
  DrawEntConn(p, *conn_);
  p.end();
  ImgEnt->update();
}

void TFrmStaEnt::ImgEntMouseMove(int x, int y) {
  if (conn_ == nullptr) return;
  conn_->MouseMove(x, y);
  ImgEnt->setCursor(conn_->Hover() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TFrmStaEnt::ImgEntMouseUp(int x, int y) {
  if (conn_ != nullptr && conn_->Click(x, y)) DrawPic();
}

}  // namespace ramvel
