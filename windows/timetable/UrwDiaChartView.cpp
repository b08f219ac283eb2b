// The time-space diagram and platform chart windows.
#include "windows/timetable/UrwDiaChartView.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "foundation/UrwUiHost.h"
#include "windows/timetable/UrwDiaChoice.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int32_t kMinSpan = 1800;  // the narrowest time window: 30 minutes
constexpr double kWheelStep = 1.25;

// The span zoomed by factor (above 1 narrows it) around time c, kept inside the day.
TChartSpan ZoomSpan(TChartSpan s, int32_t c, double factor) {
  const double w = std::clamp((s.To - s.From) / factor, double(kMinSpan), double(kDayEnd));
  const double left = c - (c - s.From) * w / (s.To - s.From);
  const int32_t from = static_cast<int32_t>(std::clamp(left, 0.0, kDayEnd - w));
  return {from, from + static_cast<int32_t>(w)};
}

TChartSpan ShiftSpan(TChartSpan s, int32_t by) {
  const int32_t w = s.To - s.From;
  const int32_t from = std::clamp(s.From + by, 0, kDayEnd - w);
  return {from, from + w};
}

// Wheel notches of an event, signed: positive rolls away from the user.
double Notches(const QWheelEvent* e) {
  const QPoint d = e->angleDelta();
  return (d.y() != 0 ? d.y() : d.x()) / 120.0;
}

double SegmentDistance(QPointF p, QPointF a, QPointF b) {
  const QPointF ab = b - a;
  const double len2 = QPointF::dotProduct(ab, ab);
  const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0) : 0;
  const QPointF q = a + t * ab - p;
  return std::hypot(q.x(), q.y());
}

}  // namespace

// ---- Canvas ----

TChartCanvas::TChartCanvas(TDraw draw, QWidget* parent) : QWidget(parent), draw_(std::move(draw)) {
  setMinimumSize(320, 200);
  setFocusPolicy(Qt::StrongFocus);
}

void TChartCanvas::MarkDirty() {
  dirty_ = true;
  update();
}

const QImage& TChartCanvas::Picture() {
  if (dirty_ || cache_.size() != size()) {
    cache_ = QImage(size(), QImage::Format_RGB32);
    QPainter p(&cache_);
    draw_(p, size());
    dirty_ = false;
    ++renders_;
  }
  return cache_;
}

void TChartCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, Picture());
}

void TChartCanvas::resizeEvent(QResizeEvent*) { dirty_ = true; }

void TChartCanvas::wheelEvent(QWheelEvent* e) {
  emit Wheel(e);
  e->accept();
}

void TChartCanvas::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit Clicked(e->position());
}

// ---- Common ----

TFrmChartBase::TFrmChartBase(QWidget* parent) : QWidget(parent, Qt::Window) {
  BtnSave = new QPushButton(QString::fromUtf8("画像の保存(&S)..."), this);
  BtnSave->setShortcut(QKeySequence::Save);
  LblInfo = new QLabel(this);
  CbxDia = new QComboBox(this);
  connect(CbxDia, &QComboBox::activated, this, [this](int k) {
    if (OnDiaChosen) OnDiaChosen(k);
  });
  connect(BtnSave, &QPushButton::clicked, this, [this] { BtnSaveClick(); });
  AskSavePath = [this]() -> std::optional<std::string> {
    const QString file =
        QFileDialog::getSaveFileName(this, QString::fromUtf8("画像の保存"), QString(),
                                     QString::fromUtf8("PNG 画像 (*.png);;SVG 画像 (*.svg)"));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
  };
}

void TFrmChartBase::AddDiaChoice(QHBoxLayout* bar) {
  bar->addWidget(new QLabel(QString::fromUtf8("ダイヤ:"), this));
  bar->addWidget(CbxDia);
}

void TFrmChartBase::BtnSaveClick() {
  const std::optional<std::string> path = AskSavePath();
  if (!path) return;
  const TStatus st = SaveAs(*path);
  if (!st) {
    ShowMsgBox(kCapError, "画像を保存できません: " + st.Msg());
    return;
  }
  LblInfo->setText(QString::fromUtf8("保存しました: ") + QStr(*path));
}

// ---- Time-space diagram ----

TFrmDiagram::TFrmDiagram(TBrdData& brd, QWidget* parent) : TFrmChartBase(parent), brd_(brd) {
  setWindowTitle(QString::fromUtf8("ダイヤグラム"));
  CbxDir = new QComboBox(this);
  CbxDir->addItems(
      {QString::fromUtf8("上下"), QString::fromUtf8("下り"), QString::fromUtf8("上り")});
  BtnAll = new QPushButton(QString::fromUtf8("全体表示(&A)"), this);
  canvas_ =
      new TChartCanvas([this](QPainter& p, QSize s) {
        DrawLineDiagram(p, s, dia_, opts_);
        DrawDiaOverlay(p, s, dia_, opts_, overlay_);
      }, this);
  auto* bar = new QHBoxLayout;
  AddDiaChoice(bar);
  bar->addWidget(CbxDir);
  bar->addWidget(BtnAll);
  bar->addWidget(BtnSave);
  bar->addWidget(LblInfo, 1);
  auto* box = new QVBoxLayout(this);
  box->addLayout(bar);
  box->addWidget(canvas_, 1);
  resize(1200, 700);
  connect(CbxDir, &QComboBox::currentIndexChanged, this, [this](int i) {
    opts_.Dir = i == 1 ? 1 : i == 2 ? -1 : 0;
    Changed();
  });
  connect(BtnAll, &QPushButton::clicked, this, [this] { SetOpts(TDiaDrawOpts{}); });
  connect(canvas_, &TChartCanvas::Wheel, this, [this](QWheelEvent* e) { CanvasWheel(e); });
  connect(canvas_, &TChartCanvas::Clicked, this, [this](QPointF at) { CanvasClick(at); });
}

void TFrmDiagram::Refresh() {
  dia_ = MakeLineDiagram(brd_);
  FillDiaChoice(CbxDia, brd_);
  Changed();
}

void TFrmDiagram::Refresh(const TDiaObj& dia) {
  dia_ = MakeLineDiagram(brd_, dia);
  FillDiaChoice(CbxDia, brd_);
  Changed();
}

void TFrmDiagram::SetOpts(const TDiaDrawOpts& opts) {
  opts_ = opts;
  CbxDir->blockSignals(true);
  CbxDir->setCurrentIndex(opts.Dir > 0 ? 1 : opts.Dir < 0 ? 2 : 0);
  CbxDir->blockSignals(false);
  Changed();
}

void TFrmDiagram::CentreOn(int32_t t) {
  constexpr int32_t kNearSpan = 2 * 3600;
  int32_t w = opts_.Span.To - opts_.Span.From;
  if (w <= 0 || w >= kDayEnd) w = kNearSpan;
  const int32_t from = std::clamp(t - w / 2, 0, kDayEnd - w);
  opts_.Span = TChartSpan{from, from + w};
  Changed();
}

void TFrmDiagram::Changed() {
  setWindowTitle(QStr(dia_.LineName) + QString::fromUtf8(" - ダイヤグラム"));
  LblInfo->setText(
      QString::fromUtf8("列車 %1本  競合 %2件").arg(dia_.Trains.size()).arg(dia_.Conflicts.size()));
  canvas_->MarkDirty();
}

TStatus TFrmDiagram::SaveAs(const std::string& path) {
  const QSize size = canvas_->size();
  return SaveChartPicture(path, size, dia_.LineName,
                          [&](QPainter& p) {
                            DrawLineDiagram(p, size, dia_, opts_);
                            DrawDiaOverlay(p, size, dia_, opts_, overlay_);
                          });
}

void TFrmDiagram::SetOverlay(TDiaOverlay overlay) {
  overlay_ = std::move(overlay);
  canvas_->MarkDirty();
}

void TFrmDiagram::CanvasWheel(QWheelEvent* e) {
  const double n = Notches(e);
  const TDiaLayout lay(dia_, canvas_->size(), opts_);
  const Qt::KeyboardModifiers mods = e->modifiers();
  if (mods & Qt::ShiftModifier) {
    opts_.Span =
        ShiftSpan(opts_.Span, static_cast<int32_t>(-n * (opts_.Span.To - opts_.Span.From) / 8));
  } else if (mods & Qt::ControlModifier) {
    const double zoom = std::clamp(opts_.DistZoom * std::pow(kWheelStep, n), 1.0, 16.0);
    const double length = std::max(1, dia_.Length());
    const double atY = (e->position().y() - lay.Plot().top()) / lay.Plot().height();
    const double atDist = opts_.DistTop + atY * length / opts_.DistZoom;
    const double top = atDist - atY * length / zoom;
    opts_.DistTop = static_cast<int32_t>(std::clamp(top, 0.0, length - length / zoom));
    opts_.DistZoom = zoom;
  } else {
    opts_.Span = ZoomSpan(opts_.Span, lay.TimeAt(e->position().x()), std::pow(kWheelStep, n));
  }
  canvas_->MarkDirty();
}

int32_t TFrmDiagram::TrainAt(QPointF at) const {
  const TDiaLayout lay(dia_, canvas_->size(), opts_);
  int32_t best = -1;
  double bestD = 5;
  for (size_t i = 0; i < dia_.Trains.size(); ++i) {
    const TDiaTrain& tr = dia_.Trains[i];
    if (!ShowsTrain(tr, opts_)) continue;
    for (size_t j = 0; j < tr.Pts.size(); ++j) {
      const QPointF a(lay.X(tr.Pts[j].Tm), lay.Y(tr.Pts[j].Dist));
      const size_t k = j + 1 < tr.Pts.size() ? j + 1 : j;
      const QPointF b(lay.X(tr.Pts[k].Tm), lay.Y(tr.Pts[k].Dist));
      const double d = SegmentDistance(at, a, b);
      if (d < bestD) {
        bestD = d;
        best = static_cast<int32_t>(i);
      }
    }
  }
  return best;
}

void TFrmDiagram::CanvasClick(QPointF at) {
  const int32_t i = TrainAt(at);
  if (i < 0) return;
  const TDiaTrain& tr = dia_.Trains[static_cast<size_t>(i)];
  LblInfo->setText(QStr(tr.TrNo) + " " + QStr(tr.Kind));
  emit TrainClicked(QStr(tr.TrNo), tr.Column);
}

// ---- Platform chart ----

TFrmHomeChart::TFrmHomeChart(TBrdData& brd, QWidget* parent) : TFrmChartBase(parent), brd_(brd) {
  setWindowTitle(QString::fromUtf8("番線使用図"));
  CbxSta = new QComboBox(this);
  canvas_ =
      new TChartCanvas([this](QPainter& p, QSize s) { DrawStaChart(p, s, chart_, span_); }, this);
  auto* bar = new QHBoxLayout;
  AddDiaChoice(bar);
  bar->addWidget(new QLabel(QString::fromUtf8("駅:"), this));
  bar->addWidget(CbxSta);
  bar->addWidget(BtnSave);
  bar->addWidget(LblInfo, 1);
  auto* box = new QVBoxLayout(this);
  box->addLayout(bar);
  box->addWidget(canvas_, 1);
  resize(1200, 420);
  connect(CbxSta, &QComboBox::activated, this, [this](int i) { CbxStaChange(i); });
  connect(canvas_, &TChartCanvas::Wheel, this, [this](QWheelEvent* e) { CanvasWheel(e); });
}

void TFrmHomeChart::Refresh(int32_t staId) {
  FillDiaChoice(CbxDia, brd_);
  if (staId == 0 && CbxSta->currentIndex() >= 0) staId = CbxSta->currentData().toInt();
  CbxSta->clear();
  std::vector<int32_t> seen;
  for (const std::string& key : brd_.LineStas) {
    const int32_t id = IntOr0(key);
    const TStaObj* sta = brd_.FindSta(id, "");
    if (sta == nullptr || std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
    seen.push_back(id);
    CbxSta->addItem(QStr(sta->Name), id);
  }
  const int at = std::max(0, CbxSta->findData(staId));
  CbxSta->setCurrentIndex(CbxSta->count() > 0 ? at : -1);
  CbxStaChange(CbxSta->currentIndex());
}

void TFrmHomeChart::CbxStaChange(int index) {
  chart_ = TStaChart{};
  const TStaObj* sta = index >= 0 ? brd_.FindSta(CbxSta->itemData(index).toInt(), "") : nullptr;
  if (sta != nullptr) chart_ = MakeStaChart(brd_, *sta);
  setWindowTitle(QStr(chart_.StaName) + QString::fromUtf8(" - 番線使用図"));
  LblInfo->setText(
      QString::fromUtf8("番線 %1  競合 %2件").arg(chart_.Rows.size()).arg(chart_.Conflicts.size()));
  canvas_->MarkDirty();
}

void TFrmHomeChart::SetSpan(TChartSpan span) {
  span_ = span;
  canvas_->MarkDirty();
}

QSize TFrmHomeChart::PictureSize() const {
  return {canvas_->width(),
          std::max(canvas_->height(), 70 + 32 * static_cast<int>(chart_.Rows.size()))};
}

TStatus TFrmHomeChart::SaveAs(const std::string& path) {
  const QSize size = PictureSize();
  return SaveChartPicture(path, size, chart_.StaName,
                          [&](QPainter& p) { DrawStaChart(p, size, chart_, span_); });
}

void TFrmHomeChart::CanvasWheel(QWheelEvent* e) {
  const double n = Notches(e);
  const double left = 80, width = std::max(1, canvas_->width() - 110);
  const double share = std::clamp((e->position().x() - left) / width, 0.0, 1.0);
  const auto c = static_cast<int32_t>(span_.From + share * (span_.To - span_.From));
  if (e->modifiers() & Qt::ShiftModifier) {
    span_ = ShiftSpan(span_, static_cast<int32_t>(-n * (span_.To - span_.From) / 8));
  } else {
    span_ = ZoomSpan(span_, c, std::pow(kWheelStep, n));
  }
  canvas_->MarkDirty();
}

}  // namespace ramvel
