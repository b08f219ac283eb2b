// Small drawing helpers shared by the windows.
#include "view/UrwDrawKit.h"

#include <QFontMetrics>
#include <QPen>
#include <QTextLayout>
#include <QTextOption>
#include <QStringList>

namespace ramvel {

QColor RgbColour(uint32_t rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

QColor CarColour(int32_t bgr) {
  const auto v = static_cast<uint32_t>(bgr);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

QFont UiFont(bool proportional, int pixelSize) {
  QFont f;
  const QStringList fixed = {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")};
  const QStringList prop = {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                            QStringLiteral("IPAGothic")};
  f.setFamilies(proportional ? prop : fixed);
  f.setPixelSize(pixelSize > 0 ? pixelSize : 1);
  // Small captions stay crisp and in their exact colours, as bitmap fonts draw them.
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

QRect DrawBoxedText(QPainter& p, QPoint topLeft, const QString& text, QColor fore, QColor back) {
  return DrawBoxedText(p, topLeft, text, QFontMetrics(p.font()).horizontalAdvance(text), fore,
                       back);
}

QRect DrawBoxedText(QPainter& p, QPoint topLeft, const QString& text, int width, QColor fore,
                    QColor back) {
  const QFontMetrics fm(p.font());
  const QRect box(topLeft, QSize(width, fm.height()));
  p.fillRect(box, back);
  p.setPen(fore);
  p.drawText(QPoint(box.left(), box.top() + fm.ascent()), text);
  return box;
}

QRect DrawBoxedTextCentred(QPainter& p, QPoint centre, const QString& text, QColor fore,
                           QColor back) {
  const QFontMetrics fm(p.font());
  const QPoint topLeft(centre.x() - fm.horizontalAdvance(text) / 2, centre.y() - fm.height() / 2);
  return DrawBoxedText(p, topLeft, text, fore, back);
}

void TLaidTextCache::UseFont(const QFont& font) {
  if (haveFont_ && font_ == font) return;
  laid_.clear();
  font_ = font;
  haveFont_ = true;
  const QFontMetrics fm(font);
  height_ = fm.height();
  ascent_ = fm.ascent();
}

const TLaidTextCache::TLaid& TLaidTextCache::Get(const QString& text) {
  const QFont& font = font_;
  const auto it = laid_.constFind(text);
  if (it != laid_.constEnd()) return it.value();
  if (laid_.size() >= kMaxTexts) laid_.clear();
  TLaid laid;
  laid.Width = QFontMetrics(font).horizontalAdvance(text);
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTextDirection(Qt::LeftToRight);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (line.isValid()) {
    line.setLineWidth(1e6);
    line.setPosition(QPointF(0, 0));
    laid.Ascent = line.ascent();
  }
  // Line and paragraph separators would start a second line, which drawText does not do.
  const bool oneLine = line.isValid() && !layout.createLine().isValid();
  layout.endLayout();
  if (oneLine && line.textLength() == text.size()) {
    laid.Glyphs = true;
    laid.Runs = layout.glyphRuns();
  }
  return laid_.insert(text, std::move(laid)).value();
}

QRect TLaidTextCache::DrawBoxed(QPainter& p, QPoint topLeft, const QString& text, QColor fore,
                                QColor back) {
  const TLaid& laid = Get(text);
  if (!laid.Glyphs) return DrawBoxedText(p, topLeft, text, laid.Width, fore, back);
  const QRect box(topLeft, QSize(laid.Width, height_));
  p.fillRect(box, back);
  p.setPen(fore);
  // The runs sit on a baseline laid.Ascent below their origin; drawText puts it the font's ascent
  // below the box's top.
  const QPointF origin(box.left(), box.top() + ascent_ - laid.Ascent);
  for (const QGlyphRun& run : laid.Runs) p.drawGlyphRun(origin, run);
  return box;
}

void DrawPlainLine(QPainter& p, QPoint a, QPoint b, QColor colour, int width) {
  QPen pen(colour);
  pen.setWidth(width < 1 ? 1 : width);
  pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
  p.setPen(pen);
  p.drawLine(a, b);
}

void DrawJointDot(QPainter& p, QPoint c, QColor colour) {
  p.fillRect(QRect(c.x() - 1, c.y() - 1, 3, 3), colour);
}

}  // namespace ramvel
