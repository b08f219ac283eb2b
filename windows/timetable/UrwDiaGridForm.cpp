// The string grid of the diagram editor and the small widgets of its window: the clickable
// panels and the area of the line picture.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "windows/timetable/UrwDiaEditorForm.h"

namespace ramvel {

namespace {
const std::string kNoText;
constexpr int kCol0W = 64;
}  // namespace

TStrGrid::TStrGrid(QWidget* parent) : QWidget(parent) {
  VBar = new QScrollBar(Qt::Vertical, this);
  VBar->setRange(0, 0);
  connect(VBar, &QScrollBar::valueChanged, this, [this] { update(); });
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  ResetCols();
  SetRowCount(2);
}

void TStrGrid::SetRowCount(int rows) {
  Cells.resize(std::max(rows, 1));
  for (auto& r : Cells) r.resize(ColWidths.size());
  UpdateBar();
  update();
}

void TStrGrid::ResetCols() {
  ColWidths.assign(1, kCol0W);
  for (auto& r : Cells) r.resize(1);
}

void TStrGrid::AddCol(int width, const std::string& header) {
  ColWidths.push_back(std::max(width, 0));
  for (auto& r : Cells) r.resize(ColWidths.size());
  Cells[0].back() = header;
}

const std::string& TStrGrid::Cell(int col, int row) const {
  if (row < 0 || row >= RowCount() || col < 0 || col >= ColCount()) return kNoText;
  return Cells[row][col];
}

void TStrGrid::SetCell(int col, int row, const std::string& text) {
  if (row < 0 || row >= RowCount() || col < 0 || col >= ColCount()) return;
  Cells[row][col] = text;
}

int TStrGrid::TopRow() const { return 1 + VBar->value(); }

int TStrGrid::ColLeft(int col) const {
  int x = 0;
  for (int c = 0; c < col; ++c) x += ColWidths[c] + kLineW;
  return x;
}

QRect TStrGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return {};
  const int step = DefaultRowHeight + kLineW;
  int y = 0;
  if (row > 0) {
    if (row < TopRow()) return {};
    y = step * (1 + row - TopRow());
  }
  return QRect(ColLeft(col), y, ColWidths[col], DefaultRowHeight);
}

bool TStrGrid::MouseToCell(QPoint p, int& col, int& row) const {
  if (p.x() < 0 || p.y() < 0 || p.x() >= width() - VBar->width()) return false;
  const int step = DefaultRowHeight + kLineW;
  const int band = p.y() / step;
  row = band == 0 ? 0 : TopRow() + band - 1;
  if (row >= RowCount()) return false;
  int x = 0;
  for (col = 0; col < ColCount(); ++col) {
    x += ColWidths[col] + kLineW;
    if (p.x() < x) return true;
  }
  return false;
}

void TStrGrid::UpdateBar() {
  const int step = DefaultRowHeight + kLineW;
  const int visible = std::max(1, height() / step - 1);
  VBar->setRange(0, std::max(0, RowCount() - 1 - visible));
  VBar->setPageStep(visible);
}

void TStrGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(128, 128, 128));
  const int step = DefaultRowHeight + kLineW;
  const int lastRow = std::min(RowCount() - 1, TopRow() + height() / step);
  for (int row = 0; row <= lastRow; ++row) {
    if (row > 0 && row < TopRow()) row = TopRow();
    for (int col = 0; col < ColCount(); ++col) {
      const QRect r = CellRect(col, row);
      if (r.isEmpty() || !OnDrawCell) continue;
      p.save();
      p.setClipRect(r);
      OnDrawCell(p, col, row, r);
      p.restore();
    }
  }
}

void TStrGrid::resizeEvent(QResizeEvent*) {
  const int w = VBar->sizeHint().width();
  VBar->setGeometry(width() - w, 0, w, height());
  UpdateBar();
}

void TStrGrid::mouseMoveEvent(QMouseEvent* e) {
  if (OnMouseMove) OnMouseMove(e->position().toPoint());
}

void TStrGrid::mouseReleaseEvent(QMouseEvent* e) {
  if (OnMouseUp) OnMouseUp(e->button(), e->position().toPoint());
}

void TStrGrid::wheelEvent(QWheelEvent* e) {
  VBar->setValue(VBar->value() - e->angleDelta().y() / 40);
}

void TStrGrid::keyPressEvent(QKeyEvent* e) {
  const int page = VBar->pageStep();
  switch (e->key()) {
    case Qt::Key_Up:
      VBar->setValue(VBar->value() - 1);
      break;
    case Qt::Key_Down:
      VBar->setValue(VBar->value() + 1);
      break;
    case Qt::Key_PageUp:
      VBar->setValue(VBar->value() - page);
      break;
    case Qt::Key_PageDown:
      VBar->setValue(VBar->value() + page);
      break;
    case Qt::Key_Home:
      VBar->setValue(0);
      break;
    case Qt::Key_End:
      VBar->setValue(VBar->maximum());
      break;
    default:
      QWidget::keyPressEvent(e);
      return;
  }
}

// ---- Panels and the picture area ---------------------------------------------------------------

TClickPanel::TClickPanel(const QString& caption, int tag, QWidget* parent)
    : QLabel(caption, parent), Tag(tag) {
  setAlignment(Qt::AlignCenter);
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setLineWidth(2);
  setCursor(Qt::PointingHandCursor);
}

void TClickPanel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick) {
    OnClick();
  }
}

TLinePicArea::TLinePicArea(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void TLinePicArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (Bmp != nullptr && !Bmp->isNull()) {
    p.drawImage(0, 0, *Bmp);
  } else {
    p.fillRect(rect(), QColor(128, 128, 128));
  }
}

void TLinePicArea::mouseMoveEvent(QMouseEvent* e) {
  if (OnMouseMove) OnMouseMove(e->position().toPoint());
}

void TLinePicArea::resizeEvent(QResizeEvent*) {
  if (OnResize) OnResize();
}

void TLinePicArea::leaveEvent(QEvent*) {
  if (OnLeave) OnLeave();
}

}  // namespace ramvel
