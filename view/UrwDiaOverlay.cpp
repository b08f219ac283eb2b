#include "view/UrwDiaOverlay.h"

#include <QPainterPath>

namespace ramvel {

void DrawDiaOverlay(QPainter& p, QSize size, const TLineDiagram& dia, const TDiaDrawOpts& opts,
                    const TDiaOverlay& overlay) {
  if (overlay.Empty() || dia.Stas.empty()) return;
  const TDiaLayout lay(dia, size, opts);
  const QRectF plot = lay.Plot();
  p.save();
  p.setClipRect(plot);
  p.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(overlay.Colour, 2, overlay.Dashed ? Qt::DashLine : Qt::SolidLine);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  const int32_t last = static_cast<int32_t>(dia.Stas.size()) - 1;
  for (const TAnPath& path : overlay.Paths) {
    if ((opts.Dir > 0 && path.Dir < 0) || (opts.Dir < 0 && path.Dir > 0)) continue;
    QPainterPath line;
    for (size_t i = 0; i < path.Pts.size(); ++i) {
      const int32_t idx = std::clamp(path.Pts[i].LineIdx, 0, last);
      const QPointF at(lay.X(path.Pts[i].Tm), lay.Y(dia.Stas[idx].Dist));
      if (i == 0) {
        line.moveTo(at);
      } else {
        line.lineTo(at);
      }
    }
    p.drawPath(line);
  }
  p.setClipping(false);
  // The legend: a short stroke and the name, on white, inside the plot's top right corner.
  const QFontMetrics fm(p.font());
  const QString name = QString::fromStdString(overlay.Name);
  const QRectF box(plot.right() - fm.horizontalAdvance(name) - 52, plot.top() + 6,
                   fm.horizontalAdvance(name) + 46, fm.height() + 8);
  p.setPen(QPen(Qt::gray, 1));
  p.setBrush(Qt::white);
  p.drawRect(box);
  p.setPen(pen);
  const double y = box.center().y();
  p.drawLine(QPointF(box.left() + 6, y), QPointF(box.left() + 34, y));
  p.setPen(Qt::black);
  p.drawText(QPointF(box.left() + 40, y + fm.ascent() / 2.0 - 1), name);
  p.restore();
}

}  // namespace ramvel
