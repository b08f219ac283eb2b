// Small drawing helpers shared by the windows: colours, the user-interface fonts with their
// fallback, boxed text and plain lines in the system's pixel conventions.
#pragma once

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

// A colour given as 0xRRGGBB.
QColor RgbColour(uint32_t rgb);
// A train set's colour, stored as 0x00BBGGRR.
QColor CarColour(int32_t bgr);

inline QString QStr(const std::string& s) { return QString::fromStdString(s); }
inline QPoint QPt(TPoint p) { return {p.x, p.y}; }

// Pixels of a font size given in points, on the 96 dots per inch the pictures are laid out for.
int PointsToPixels(int points);
// "ＭＳ ゴシック" (proportional: "ＭＳ Ｐゴシック") at a pixel size, falling back to the IPA gothic
// faces where the Windows faces are not installed.
QFont UiFont(bool proportional, int pixelSize);

// Draws text with its top-left corner at topLeft on a box of back as large as the text, and
// returns the box.
QRect DrawBoxedText(QPainter& p, QPoint topLeft, const QString& text, QColor fore, QColor back);
// The same for a text already measured: width is its advance in the painter's font.
QRect DrawBoxedText(QPainter& p, QPoint topLeft, const QString& text, int width, QColor fore,
                    QColor back);
// The same, centred on a point.
QRect DrawBoxedTextCentred(QPainter& p, QPoint centre, const QString& text, QColor fore,
                           QColor back);

// Texts laid out once and drawn again from their glyphs. QPainter::drawText shapes its text anew
// on every call, which dominates a frame that draws the same labels tick after tick; a text drawn
// here gives the pixels DrawBoxedText gives in the same font. Texts are kept per font (a change of
// font empties the cache) and the cache is emptied when it grows large.
class TLaidTextCache {
 public:
  // A text of the font as it was laid out: its advance and its glyphs about its baseline.
  struct TLaid {
    int Width = 0;
    // Whether the glyphs are kept; a text that does not lay out as one line is drawn by
    // QPainter as it comes.
    bool Glyphs = false;
    qreal Ascent = 0;
    QList<QGlyphRun> Runs;
  };
  // Lays texts out in font from now on; a font other than the last one empties the cache.
  void UseFont(const QFont& font);
  // The text laid out in the font given to UseFont; valid until the next call.
  const TLaid& Get(const QString& text);
  // DrawBoxedText of a text; the painter's font is the one given to UseFont.
  QRect DrawBoxed(QPainter& p, QPoint topLeft, const QString& text, QColor fore, QColor back);
  // The font's height and ascent, as QFontMetrics gives them.
  int Height() const { return height_; }
  int Ascent() const { return ascent_; }
  qsizetype Size() const { return laid_.size(); }

  static constexpr qsizetype kMaxTexts = 20000;

 private:
  QFont font_;
  bool haveFont_ = false;
  int height_ = 0, ascent_ = 0;
  QHash<QString, TLaid> laid_;
};

// A line of the given pixel width in the painter's current state, without antialiasing; wider
// lines get round ends, as the pens of the pictures always had.
void DrawPlainLine(QPainter& p, QPoint a, QPoint b, QColor colour, int width = 1);
// A filled 3 x 3 pixel square centred on a point (the joint dots of tracks).
void DrawJointDot(QPainter& p, QPoint c, QColor colour);

}  // namespace ramvel
