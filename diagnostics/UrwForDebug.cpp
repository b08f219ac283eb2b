// The diagnostics window.
#include "diagnostics/UrwForDebug.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <numbers>

#include "view/UrwDrawKit.h"
#include "view/UrwStaDraw.h"

namespace ramvel {

namespace {

constexpr uint32_t kClrPicture = 0x808080;  // the picture's ground
constexpr uint32_t kClrHiTrack = 0x0000FF;  // the track under the mouse
constexpr int kGrdCols = 4;
constexpr int kGrdH = 170;
constexpr int kLbxRows = 4;

QLineEdit* Field(QWidget* parent, int width = 0) {
  auto* e = new QLineEdit(parent);
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::ClickFocus);  // the window opens with no field framed
  if (width > 0) e->setFixedWidth(width);
  return e;
}

// The group of one end: its point, entry count, owner flag and the entries' connections.
QGroupBox* SideGroup(const QString& title, QLineEdit*& pos, QLineEdit*& ent, QLineEdit*& ofs,
                     QListWidget*& lbx, QWidget* parent) {
  auto* g = new QGroupBox(title, parent);
  auto* grid = new QGridLayout(g);
  grid->setContentsMargins(6, 4, 6, 6);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  pos = Field(g);
  ent = Field(g, 40);
  ofs = Field(g, 40);
  lbx = new QListWidget(g);
  lbx->setFocusPolicy(Qt::ClickFocus);
  lbx->setFixedHeight(lbx->fontMetrics().height() * kLbxRows + 8);
  grid->addWidget(new QLabel(QStringLiteral("端点 (m)"), g), 0, 0);
  grid->addWidget(pos, 0, 1, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("入口数"), g), 1, 0);
  grid->addWidget(ent, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("所有フラグ"), g), 1, 2, Qt::AlignRight);
  grid->addWidget(ofs, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("接続先"), g), 2, 0, Qt::AlignTop);
  grid->addWidget(lbx, 2, 1, 1, 3);
  return g;
}

void SetRow(QTableWidget* grd, int row, const TTmTbl& r) {
  const QString cells[kGrdCols] = {QStr(DebugTimeText(r.TmStart)), QStr(DebugTimeText(r.TmEnd)),
                                   QStr(IntText(r.Loc)), QStr(r.Txt)};
  for (int c = 0; c < kGrdCols; ++c) grd->setItem(row, c, new QTableWidgetItem(cells[c]));
}

}  // namespace

std::string DebugTimeText(int32_t t) { return t < 0 ? IntText(t) : TimeToText(t, true); }

// ---- The paint box -----------------------------------------------------------------------------

TDebugPaintBox::TDebugPaintBox(const QImage& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
  setFixedSize(TFrmDebug::kPbxW, TFrmDebug::kPbxH);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDebugPaintBox::paintEvent(QPaintEvent*) {  // FormPaint
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

void TDebugPaintBox::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  emit MouseMoved(at.x(), at.y());
}

// ---- The window --------------------------------------------------------------------------------

TFrmDebug::TFrmDebug(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("診断"));
  setModal(true);
  Picture = QImage(kPbxW, kPbxH, QImage::Format_RGB32);
  Picture.fill(RgbColour(kClrPicture));
  MakeControls();
  connect(Pbx, &TDebugPaintBox::MouseMoved, this, &TFrmDebug::PbxMouseMove);
}

// The fields, as wide as the picture below them.
void TFrmDebug::MakeControls() {
  auto* col = new QVBoxLayout(this);
  col->setSizeConstraint(QLayout::SetFixedSize);
  auto* fields = new QWidget(this);
  fields->setFixedWidth(kPbxW);
  auto* rows = new QVBoxLayout(fields);
  rows->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  EdtId = Field(fields, 70);
  EdtName = Field(fields);
  EdtAng = Field(fields, 50);
  top->addWidget(new QLabel(QStringLiteral("ID"), fields));
  top->addWidget(EdtId);
  top->addWidget(new QLabel(QStringLiteral("名前・長さ"), fields));
  top->addWidget(EdtName, 1);
  top->addWidget(new QLabel(QStringLiteral("角度"), fields));
  top->addWidget(EdtAng);
  rows->addLayout(top);
  auto* sides = new QHBoxLayout;
  sides->addWidget(SideGroup(QStringLiteral("端 0"), EdtPosL, EdtEntL, EdtOfsL, LbxEntL, fields));
  sides->addWidget(SideGroup(QStringLiteral("端 1"), EdtPosR, EdtEntR, EdtOfsR, LbxEntR, fields));
  rows->addLayout(sides);
  col->addWidget(fields);
  Pbx = new TDebugPaintBox(Picture, this);
  col->addWidget(Pbx);
  Grd = new QTableWidget(2, kGrdCols, this);
  Grd->setHorizontalHeaderLabels(
      {QStringLiteral("InTime"), QStringLiteral("OutTime"), QString(), QString()});
  Grd->verticalHeader()->setVisible(false);
  Grd->verticalHeader()->setDefaultSectionSize(Grd->fontMetrics().height() + 4);
  Grd->horizontalHeader()->setStretchLastSection(true);
  Grd->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grd->setFixedSize(kPbxW, kGrdH);
  col->addWidget(Grd);
}

void TFrmDebug::ShowSta(TStaObj& sta) {
  Sta = &sta;
  Rail = nullptr;
  Car = nullptr;
  exec();
}

void TFrmDebug::ShowRail(TRailObj& rail) {
  Sta = nullptr;
  Rail = &rail;
  Car = nullptr;
  exec();
}

void TFrmDebug::ShowCar(TCarObj& car) {
  Sta = nullptr;
  Rail = nullptr;
  Car = &car;
  exec();
}

void TFrmDebug::showEvent(QShowEvent* e) {
  FormShow();
  QDialog::showEvent(e);
}

void TFrmDebug::FormShow() {
  hiRail_ = nullptr;
  Grd->setFixedHeight(kGrdH);
  Grd->setVisible(false);
  Pbx->setVisible(true);
  Picture.fill(RgbColour(kClrPicture));
  ClearFields();
  if (Sta != nullptr) {
    ShowObjFields(*Sta);
    EdtName->setText(QStr(Sta->Name));
    DrawStation();
  } else if (Rail != nullptr) {
    ShowObjFields(*Rail);
    EdtName->setText(QStr(IntText(Rail->Length) + "m"));
  } else if (Car != nullptr) {
    EdtId->setText(QStr(IntText(Car->Id)));
    Grd->setFixedHeight(kPbxH + kGrdH);  // a day's steps take the picture's place too
    Grd->setVisible(true);
    Pbx->setVisible(false);
    ListTmTbl(Car->TmTbl);
  }
  Pbx->update();
}

// Nothing of an object shown before stays in the fields.
void TFrmDebug::ClearFields() {
  for (QLineEdit* e :
       {EdtId, EdtName, EdtAng, EdtPosL, EdtPosR, EdtEntL, EdtOfsL, EdtEntR, EdtOfsR}) {
    e->clear();
  }
  LbxEntL->clear();
  LbxEntR->clear();
}

void TFrmDebug::ShowObjFields(const TBaseObj& obj) {
  EdtId->setText(QStr(IntText(obj.Id)));
  QLineEdit* ent[2] = {EdtEntL, EdtEntR};
  QLineEdit* ofs[2] = {EdtOfsL, EdtOfsR};
  QLineEdit* pos[2] = {EdtPosL, EdtPosR};
  QListWidget* lbx[2] = {LbxEntL, LbxEntR};
  for (int s = 0; s < 2; ++s) {
    ent[s]->setText(QStr(IntText(obj.EntCount[s])));
    ofs[s]->setText(QStr(IntText(obj.EntOwner[s] ? 1 : 0)));
    pos[s]->setText(QStr(PtToText(obj.EndPos[s])));
    const int32_t n = std::clamp(obj.EntCount[s], 0, kMaxSlots);
    for (int32_t k = 1; k <= n; ++k) lbx[s]->addItem(QStr(IntText(obj.EntConn[s][k])));
  }
  const double deg = double{obj.Rote} * 180.0 / std::numbers::pi;
  EdtAng->setText(QStr(IntText(RoundInt(deg))) + QStringLiteral("°"));
}

// The station from its side 0 end at the left edge, its axis across the middle, with platform
// numbers. The board's draw flag is set only for the drawing. The drawing stretches a turned
// station's axis to its length on the board; the along scale given here undoes that, so that
// every station fills the picture's 594 pixels and the tracks lie where the mouse finds them.
void TFrmDebug::DrawStation() {
  QPainter p(&Picture);
  TStaDrawArgs args;
  args.Origin = {0, kPbxH / 2};
  args.Angle = 0;
  args.AcrossScale = kAcrossScale;
  args.AlongScale = kAlongScale;
  const float len = ObjLength(*Sta);
  if (Sta->Rote != 0 && len > 0) args.AlongScale = kAlongScale * len / float{kStaAxisM};
  args.Flags = kDrawNumbers;
  args.BackColour = kClrPicture;
  args.TrackColour = kClrTrack;
  const bool shown = Sta->ShowDetail;
  Sta->ShowDetail = true;
  DrawSta(p, *Sta, args);
  Sta->ShowDetail = shown;
}

void TFrmDebug::DrawHiRail(const StaRail& r, uint32_t rgb) {
  QPainter p(&Picture);
  const int h2 = Pbx->height() / 2;
  const QPoint a(RoundInt(r.P[0].x / 2.0), RoundInt(3.0 * r.P[0].y) + h2);
  const QPoint b(RoundInt(r.P[1].x / 2.0), RoundInt(3.0 * r.P[1].y) + h2);
  DrawPlainLine(p, a, b, RgbColour(rgb));
}

void TFrmDebug::PbxMouseMove(int x, int y) {
  if (Sta == nullptr) return;
  if (hiRail_ != nullptr) DrawHiRail(*hiRail_, kClrTrack);
  const int h = Pbx->height();
  const TPoint at{RoundInt(2.0 * x), RoundInt((y - h / 2) / 3.0)};
  hiRail_ = Sta->FindRailAt(at);
  if (hiRail_ != nullptr) DrawHiRail(*hiRail_, kClrHiTrack);
  const bool listed = hiRail_ != nullptr && hiRail_->Occ && hiRail_->Occ->Count() > 0;
  if (listed) ListTmTbl(*hiRail_->Occ);
  Grd->setVisible(listed);
  Pbx->update();
}

void TFrmDebug::ListTmTbl(const TTmTblObj& tbl) {
  const int m = tbl.Count();
  Grd->clearContents();
  Grd->setRowCount(std::max(1, m));
  for (int k = 0; k < m; ++k) SetRow(Grd, k, tbl.At(k));
}

void TFrmDebug::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) return;  // the window closes when the key comes up
  QDialog::keyPressEvent(e);
}

void TFrmDebug::keyReleaseEvent(QKeyEvent* e) {  // FormKeyUp
  if (e->key() == Qt::Key_Escape) {
    reject();
    return;
  }
  QDialog::keyReleaseEvent(e);
}

}  // namespace ramvel
