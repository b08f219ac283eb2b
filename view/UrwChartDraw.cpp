// Drawing the time-space diagram and the platform chart.
#include "view/UrwChartDraw.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgGenerator>
#include <QTransform>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int kFontPx = 12;
constexpr int kTitlePx = 14;
const QColor kConflict(220, 0, 0);
const QColor kHourLine(150, 150, 150);
const QColor kTenMinLine(225, 225, 225);

// Labels already drawn; a new one is drawn only where it covers none of them.
class TLabelSpace {
 public:
  bool Take(const QPolygonF& area) {
    const QRectF box = area.boundingRect();
    for (size_t i = 0; i < boxes_.size(); ++i) {
      if (boxes_[i].intersects(box) && areas_[i].intersects(area)) return false;
    }
    Block(area);
    return true;
  }
  // Marks an area taken whatever lies there already.
  void Block(const QPolygonF& area) {
    boxes_.push_back(area.boundingRect());
    areas_.push_back(area);
  }

 private:
  std::vector<QRectF> boxes_;
  std::vector<QPolygonF> areas_;
};

QString ClockText(int32_t t) {
  const int32_t m = (t + kDayOffset) / 60;
  return QString("%1:%2").arg(m / 60).arg(m % 60, 2, 10, QChar('0'));
}

// The hours between grid labels so that labels of width w keep apart at pxPerHour.
int32_t HourStep(double pxPerHour, double w) {
  for (const int32_t step : {1, 2, 3, 4, 6, 12}) {
    if (pxPerHour * step >= w + 12) return step;
  }
  return 24;
}

// The time grid: hour lines with their clock labels above the plot, 10-minute lines between.
void DrawTimeGrid(QPainter& p, const QRectF& plot, TChartSpan span,
                  const std::function<double(int32_t)>& x, TLabelSpace& labels) {
  const QFontMetricsF fm(p.font());
  const double pxPerHour = x(span.From + 3600) - x(span.From);
  const int32_t labelStep = HourStep(pxPerHour, fm.horizontalAdvance("00:00"));
  const bool tenMin = pxPerHour / 6 >= 5;
  for (int32_t t = (span.From + 599) / 600 * 600; t <= span.To; t += 600) {
    const bool hour = (t + kDayOffset) % 3600 == 0;
    if (!hour && !tenMin) continue;
    p.setPen(QPen(hour ? kHourLine : kTenMinLine, 1));
    p.drawLine(QPointF(x(t), plot.top()), QPointF(x(t), plot.bottom()));
    if (!hour || ((t + kDayOffset) / 3600) % labelStep != 0) continue;
    const QString text = ClockText(t);
    const double w = fm.horizontalAdvance(text);
    // Centred on its line; at the plot's ends kept above the plot.
    const double left = std::clamp(x(t) - w / 2, plot.left(), plot.right() - w);
    const QRectF box(left, plot.top() - fm.height() - 2, w, fm.height());
    if (!labels.Take(QPolygonF(box))) continue;
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, text);
  }
}

QFont ChartFont(int px, bool bold = false) {
  QFont f = UiFont(true, px);
  f.setBold(bold);
  return f;
}

// ---- Time-space diagram ----

double NameColumn(const TLineDiagram& dia) {
  const QFontMetricsF fm(ChartFont(kFontPx));
  double w = 40;
  for (const TDiaStation& s : dia.Stas) w = std::max(w, fm.horizontalAdvance(QStr(s.Name)));
  return w + 12;
}

void DrawStationAxis(QPainter& p, const TLineDiagram& dia, const TDiaLayout& lay,
                     TLabelSpace& labels) {
  const QRectF plot = lay.Plot();
  const QFontMetricsF fm(p.font());
  for (const TDiaStation& s : dia.Stas) {
    const double y = lay.Y(s.Dist);
    if (y < plot.top() - 0.5 || y > plot.bottom() + 0.5) continue;
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    const double w = fm.horizontalAdvance(QStr(s.Name));
    const QRectF box(plot.left() - 8 - w, y - fm.height() / 2, w, fm.height());
    if (!labels.Take(QPolygonF(box))) continue;
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QStr(s.Name));
  }
}

// Cuts segment a-b to the rectangle (Liang-Barsky); false when nothing of it lies inside. The
// pictures clip by geometry because the SVG writer ignores the painter's clip.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    if (p[i] > 0) t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const QPointF from = a;
  a = from + t0 * QPointF(dx, dy);
  b = from + t1 * QPointF(dx, dy);
  return true;
}

// The train's line inside the plot; empty when none of it is in view.
QPainterPath TrainPath(const TDiaTrain& tr, const TDiaLayout& lay) {
  QPainterPath path;
  const QRectF plot = lay.Plot();
  const auto at = [&](size_t i) { return QPointF(lay.X(tr.Pts[i].Tm), lay.Y(tr.Pts[i].Dist)); };
  if (tr.Pts.size() == 1) {
    if (plot.contains(at(0))) path.addEllipse(at(0), 1.5, 1.5);
    return path;
  }
  for (size_t i = 0; i + 1 < tr.Pts.size(); ++i) {
    QPointF a = at(i), b = at(i + 1);
    if (!ClipSegment(a, b, plot)) continue;
    if (path.isEmpty() || path.currentPosition() != a) path.moveTo(a);
    path.lineTo(b);
  }
  return path;
}

// The train number along the train's first running section in view, when it has room.
void DrawTrainLabel(QPainter& p, const TDiaTrain& tr, const TDiaLayout& lay, TLabelSpace& labels) {
  for (size_t i = 0; i + 1 < tr.Pts.size(); ++i) {
    if (tr.Pts[i].Dist == tr.Pts[i + 1].Dist) continue;
    const QPointF a(lay.X(tr.Pts[i].Tm), lay.Y(tr.Pts[i].Dist));
    const QPointF b(lay.X(tr.Pts[i + 1].Tm), lay.Y(tr.Pts[i + 1].Dist));
    if (!lay.Plot().contains(a) || !lay.Plot().contains(b)) continue;
    double angle = std::atan2(b.y() - a.y(), b.x() - a.x()) * 180 / M_PI;
    if (angle > 90) angle -= 180;
    if (angle < -90) angle += 180;
    const QFontMetricsF fm(p.font());
    const QString text = QStr(tr.TrNo);
    const double w = fm.horizontalAdvance(text), h = fm.height();
    if (w + 4 > std::hypot(b.x() - a.x(), b.y() - a.y())) return;
    QTransform tf;
    tf.translate((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
    tf.rotate(angle);
    const QRectF box(-w / 2, -h - 1, w, h);
    if (!lay.Plot().contains(tf.map(QPolygonF(box)).boundingRect())) return;
    if (!labels.Take(tf.map(QPolygonF(box)))) return;
    p.save();
    p.setTransform(tf, true);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
    return;
  }
}

void DrawConflictMark(QPainter& p, QPointF a, QPointF b) {
  p.setPen(QPen(kConflict, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(a, b);
  p.setPen(QPen(kConflict, 2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(a, 6, 6);
}

void DrawConflictLabel(QPainter& p, QPointF a, const QString& text, TLabelSpace& labels) {
  const QFontMetricsF fm(p.font());
  const QRectF box(a.x() + 8, a.y() - fm.height() - 2, fm.horizontalAdvance(text), fm.height());
  if (!labels.Take(QPolygonF(box))) return;
  p.fillRect(box, QColor(255, 255, 255, 220));
  p.setPen(kConflict);
  p.drawText(box, Qt::AlignCenter, text);
}

void DrawLegend(QPainter& p, QSize size, const TLineDiagram& dia, const TDiaLayout& lay) {
  const QFontMetricsF fm(p.font());
  double x = lay.Plot().left();
  const double y = size.height() - fm.height() / 2 - 6;
  const auto item = [&](const QPen& pen, const QString& text) {
    p.setPen(pen);
    p.drawLine(QPointF(x, y), QPointF(x + 24, y));
    p.setPen(Qt::black);
    p.drawText(QPointF(x + 28, y + fm.ascent() / 2 - 1), text);
    x += 40 + fm.horizontalAdvance(text);
  };
  if (!dia.Kinds.empty()) {
    bool other = false;
    for (const TDiaTrain& tr : dia.Trains) other = other || tr.KindNo < 0;
    for (const TKindDef& k : dia.Kinds) {
      QPen pen(CarColour(k.Color), 2, k.Type == "回送" ? Qt::DashLine : Qt::SolidLine);
      item(pen, QStr(k.Name));
    }
    if (other) item(QPen(TrTypeColour(TTrType::kOther), 2), QString::fromUtf8("その他"));
    item(QPen(kConflict, 4), QString::fromUtf8("競合"));
    return;
  }
  bool other = false;
  for (const TDiaTrain& tr : dia.Trains) other = other || tr.Type == TTrType::kOther;
  for (int32_t i = 0; i < kTrTypeCount; ++i) {
    const auto type = static_cast<TTrType>(i);
    if (type == TTrType::kOther && !other) continue;
    item(QPen(TrTypeColour(type), 2), QString::fromUtf8(TrTypeName(type)));
  }
  item(QPen(kConflict, 4), QString::fromUtf8("競合"));
}

QString PairText(const std::string& a, const std::string& b) {
  return QStr(a) + QString::fromUtf8("×") + QStr(b);
}

// ---- Platform chart ----

struct TChartGeom {
  QRectF Plot;
  double RowH = 0;
  TChartSpan Span;
  double X(int32_t t) const {
    return Plot.left() + (t - Span.From) * Plot.width() / std::max(1, Span.To - Span.From);
  }
  QRectF Row(int32_t r) const { return {Plot.left(), Plot.top() + r * RowH, Plot.width(), RowH}; }
};

QRectF BarRect(const TChartGeom& g, int32_t row, int32_t from, int32_t to, double inset) {
  const QRectF r = g.Row(row);
  const double x0 = std::max(g.X(from), g.Plot.left());
  const double x1 = std::min(g.X(to), g.Plot.right());
  return {x0, r.top() + inset, std::max(1.0, x1 - x0), r.height() - 2 * inset};
}

// The bars of a row with their occupants inside; a bar too narrow for its text gets it beside,
// where that covers nothing.
void DrawBars(QPainter& p, const TChartGeom& g, int32_t row, const TChartRow& r,
              TLabelSpace& labels) {
  const QFontMetricsF fm(p.font());
  std::vector<std::pair<QRectF, const TChartBar*>> outside;
  for (const TChartBar& b : r.Bars) {
    if (b.To <= g.Span.From || b.From >= g.Span.To) continue;
    const QRectF rect = BarRect(g, row, b.From, b.To, 3);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(b.Stabled ? QColor(200, 200, 200) : QColor(158, 197, 254));
    p.drawRect(rect);
    labels.Block(QPolygonF(rect));
    const QString text = QStr(b.Label);
    if (fm.horizontalAdvance(text) + 4 > rect.width() || fm.height() > rect.height() + 2) {
      outside.push_back({rect, &b});
      continue;
    }
    p.setPen(Qt::black);
    p.drawText(rect, Qt::AlignCenter, text);
  }
  p.setPen(QColor(40, 40, 40));
  for (const auto& [rect, bar] : outside) {
    const QString text = QStr(bar->Label);
    const QRectF box(rect.right() + 2, rect.center().y() - fm.height() / 2,
                     fm.horizontalAdvance(text), fm.height());
    if (box.right() > g.Plot.right() || !labels.Take(QPolygonF(box))) continue;
    p.drawText(box, Qt::AlignCenter, text);
  }
}

void DrawChartConflicts(QPainter& p, const TChartGeom& g, const TStaChart& chart,
                        TLabelSpace& labels) {
  const QFontMetricsF fm(p.font());
  for (const TChartConflict& c : chart.Conflicts) {
    if (c.To < g.Span.From || c.From > g.Span.To) continue;
    const QRectF rect = BarRect(g, c.Row, c.From, std::max(c.To, c.From + 1), 1);
    p.setPen(QPen(kConflict, 2));
    p.setBrush(QColor(220, 0, 0, 90));
    p.drawRect(rect.adjusted(-2, 0, 2, 0));
    const QString text = PairText(c.TrA, c.TrB);
    const QRectF box(rect.right() + 4, rect.center().y() - fm.height() / 2,
                     fm.horizontalAdvance(text), fm.height());
    if (!labels.Take(QPolygonF(box))) continue;
    p.fillRect(box, QColor(255, 255, 255, 220));
    p.setPen(kConflict);
    p.drawText(box, Qt::AlignCenter, text);
  }
}

}  // namespace

// ---- Public ----

QColor TrainColour(const TLineDiagram& dia, const TDiaTrain& tr) {
  if (tr.KindNo >= 0 && static_cast<size_t>(tr.KindNo) < dia.Kinds.size()) {
    return CarColour(dia.Kinds[static_cast<size_t>(tr.KindNo)].Color);
  }
  return TrTypeColour(tr.Type);
}

QColor TrTypeColour(TTrType type) {
  switch (type) {
    case TTrType::kLocal:
      return QColor(40, 40, 40);
    case TTrType::kRapid:
      return QColor(230, 120, 0);
    case TTrType::kSemiExp:
      return QColor(0, 140, 60);
    case TTrType::kExpress:
      return QColor(0, 80, 220);
    case TTrType::kLtdExp:
      return QColor(170, 0, 200);
    case TTrType::kDeadhead:
      return QColor(150, 150, 150);
    case TTrType::kOther:
      break;
  }
  return QColor(130, 90, 40);
}

bool ShowsTrain(const TDiaTrain& tr, const TDiaDrawOpts& opts) {
  return opts.Dir == 0 || tr.Dir == 0 || tr.Dir == opts.Dir;
}

TDiaLayout::TDiaLayout(const TLineDiagram& dia, QSize size, const TDiaDrawOpts& opts)
    : opts_(opts), length_(std::max(1, dia.Length())) {
  const QFontMetricsF fm(ChartFont(kFontPx));
  const double top = 2 * fm.height() + kTitlePx + 10;
  const double bottom = fm.height() + 16;
  const double left = NameColumn(dia);
  plot_ = QRectF(left, top, std::max(10.0, size.width() - left - 16),
                 std::max(10.0, size.height() - top - bottom));
  if (opts_.Span.To <= opts_.Span.From) opts_.Span.To = opts_.Span.From + 1;
  opts_.DistZoom = std::max(1.0, opts_.DistZoom);
}

double TDiaLayout::X(int32_t t) const {
  return plot_.left() + (t - opts_.Span.From) * plot_.width() / (opts_.Span.To - opts_.Span.From);
}

double TDiaLayout::Y(int32_t dist) const {
  return plot_.top() + (dist - opts_.DistTop) * plot_.height() * opts_.DistZoom / length_;
}

int32_t TDiaLayout::TimeAt(double x) const {
  const double t =
      opts_.Span.From + (x - plot_.left()) * (opts_.Span.To - opts_.Span.From) / plot_.width();
  return static_cast<int32_t>(std::clamp(t, double(opts_.Span.From), double(opts_.Span.To)));
}

void DrawLineDiagram(QPainter& p, QSize size, const TLineDiagram& dia, const TDiaDrawOpts& opts) {
  const TDiaLayout lay(dia, size, opts);
  const QRectF plot = lay.Plot();
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setFont(ChartFont(kTitlePx, true));
  p.setPen(Qt::black);
  const QString dirText = opts.Dir > 0   ? QString::fromUtf8("  下り")
                          : opts.Dir < 0 ? QString::fromUtf8("  上り")
                                         : QString();
  const QString diaName = dia.DiaName.empty() ? QString() : QStr("（" + dia.DiaName + "）");
  p.drawText(QPointF(8, kTitlePx + 4), QStr(dia.LineName) + diaName + QString::fromUtf8(" ダイヤグラム  ") +
                                           ClockText(opts.Span.From) + "-" +
                                           ClockText(opts.Span.To) + dirText);
  p.setFont(ChartFont(kFontPx));
  TLabelSpace labels;
  DrawStationAxis(p, dia, lay, labels);
  DrawTimeGrid(
      p, plot, opts.Span, [&](int32_t t) { return lay.X(t); }, labels);
  p.save();
  std::vector<std::pair<QPointF, QString>> marks;
  for (const TDiaConflict& c : dia.Conflicts) {
    QPointF a(lay.X(c.From), lay.Y(c.Dist)), b(lay.X(std::max(c.To, c.From + 1)), lay.Y(c.Dist));
    if (!ClipSegment(a, b, plot)) continue;
    DrawConflictMark(p, a, b);
    marks.push_back({a, PairText(c.TrA, c.TrB)});
  }
  for (const auto& [at, text] : marks) DrawConflictLabel(p, at, text, labels);
  p.setBrush(Qt::NoBrush);
  for (const TDiaTrain& tr : dia.Trains) {
    if (!ShowsTrain(tr, opts)) continue;
    const QColor colour = TrainColour(dia, tr);
    // One-pixel cosmetic pens take the painter's fast line path: a whole day of a busy line
    // draws in a few milliseconds.
    QPen pen(colour, 1, tr.Type == TTrType::kDeadhead ? Qt::DashLine : Qt::SolidLine);
    pen.setCosmetic(true);
    p.setPen(pen);
    const QPainterPath path = TrainPath(tr, lay);
    if (!path.isEmpty()) p.drawPath(path);
  }
  for (const TDiaTrain& tr : dia.Trains) {
    if (!ShowsTrain(tr, opts)) continue;
    p.setPen(TrainColour(dia, tr).darker(120));
    DrawTrainLabel(p, tr, lay, labels);
  }
  p.restore();
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot);
  DrawLegend(p, size, dia, lay);
}

void DrawStaChart(QPainter& p, QSize size, const TStaChart& chart, TChartSpan span) {
  if (span.To <= span.From) span.To = span.From + 1;
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setFont(ChartFont(kTitlePx, true));
  p.setPen(Qt::black);
  p.drawText(QPointF(8, kTitlePx + 4), QStr(chart.StaName) + QString::fromUtf8("駅 番線使用図  ") +
                                           ClockText(span.From) + "-" + ClockText(span.To));
  p.setFont(ChartFont(kFontPx));
  const QFontMetricsF fm(p.font());
  double left = 60;
  for (const TChartRow& r : chart.Rows) left = std::max(left, fm.horizontalAdvance(QStr(r.Name)));
  TChartGeom g;
  g.Span = span;
  const double top = 2 * fm.height() + kTitlePx + 10;
  g.Plot = QRectF(left + 14, top, std::max(10.0, size.width() - left - 30),
                  std::max(10.0, size.height() - top - 12));
  g.RowH = std::min(32.0, g.Plot.height() / std::max<size_t>(1, chart.Rows.size()));
  g.Plot.setHeight(g.RowH * static_cast<double>(chart.Rows.size()));
  TLabelSpace labels, conflictLabels;
  DrawTimeGrid(
      p, g.Plot, span, [&](int32_t t) { return g.X(t); }, labels);
  p.save();
  p.setClipRect(g.Plot.adjusted(-3, -1, 3, 1));
  for (size_t i = 0; i < chart.Rows.size(); ++i) {
    const auto row = static_cast<int32_t>(i);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawLine(g.Row(row).bottomLeft(), g.Row(row).bottomRight());
    DrawBars(p, g, row, chart.Rows[i], labels);
  }
  p.setClipping(false);
  DrawChartConflicts(p, g, chart, conflictLabels);
  p.restore();
  p.setPen(Qt::black);
  for (size_t i = 0; i < chart.Rows.size(); ++i) {
    const QRectF r = g.Row(static_cast<int32_t>(i));
    p.drawText(QRectF(4, r.top(), left + 4, r.height()), Qt::AlignRight | Qt::AlignVCenter,
               QStr(chart.Rows[i].Name));
  }
  p.setBrush(Qt::NoBrush);
  p.drawRect(g.Plot);
}

namespace {

std::string LowerExt(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

bool IsChartPicturePath(const std::string& path) {
  const std::string ext = LowerExt(path);
  return ext == ".png" || ext == ".svg";
}

TStatus SaveChartPicture(const std::string& path, QSize size, const std::string& title,
                         const std::function<void(QPainter&)>& draw) {
  if (!IsChartPicturePath(path))
    return TStatus::Error(path + ": the name must end in .png or .svg");
  const std::string temp = path + ".part";
  bool ok = false;
  if (LowerExt(path) == ".svg") {
    QSvgGenerator svg;
    svg.setFileName(QStr(temp));
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStr(title));
    QPainter p;
    ok = p.begin(&svg);
    if (ok) {
      draw(p);
      ok = p.end();
    }
  } else {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    draw(p);
    p.end();
    ok = img.save(QStr(temp), "PNG");
  }
  std::error_code ec;
  if (ok && std::filesystem::exists(temp, ec)) {
    std::filesystem::rename(temp, path, ec);
    if (!ec) return TStatus::Ok();
  }
  std::filesystem::remove(temp, ec);
  return TStatus::Error(path + ": the picture cannot be written");
}

}  // namespace ramvel
