// Labels drawn from glyphs laid out once give exactly the pixels of text shaped at every call.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ViewSupport.h"
#include "view/UrwDrawKit.h"

namespace ramvel {
namespace {

constexpr int kW = 240, kH = 48;

// A striped ground, so that a pixel drawn outside the box or missing inside it shows.
QImage Ground() {
  QImage img(kW, kH, QImage::Format_RGB32);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) img.setPixel(x, y, ((x + y) / 3) % 2 != 0 ? 0x336699 : 0xEEDDCC);
  }
  return img;
}

QImage Shaped(const QFont& font, const QString& text, QRect* box) {
  QImage img = Ground();
  QPainter p(&img);
  p.setFont(font);
  *box = DrawBoxedText(p, QPoint(7, 9), text, RgbColour(0x0000FF), RgbColour(0xC0C0C0));
  return img;
}

QImage Laid(TLaidTextCache& cache, const QFont& font, const QString& text, QRect* box) {
  QImage img = Ground();
  QPainter p(&img);
  p.setFont(font);
  cache.UseFont(font);
  *box = cache.DrawBoxed(p, QPoint(7, 9), text, RgbColour(0x0000FF), RgbColour(0xC0C0C0));
  return img;
}

// Pixels that differ, as a count (0 when identical).
int Differences(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) n += a.pixel(x, y) != b.pixel(x, y);
  }
  return n;
}

TEST(LaidText, SamePixelsAsShapingEveryTimeForEveryKindOfLabel) {
  test::EnsureApp();
  QFont smooth = UiFont(true, 14);
  smooth.setStyleStrategy(QFont::PreferAntialias);
  const QFont fonts[] = {UiFont(true, PointsToPixels(9)), UiFont(false, 16), smooth};
  // Train numbers, nicknames, bracketed notes, full-width and half-width kana, a separator that
  // would start a second line in a layout, and nothing at all.
  const QString texts[] = {QStringLiteral("1234M"),
                           QStringLiteral("快速 501"),
                           QStringLiteral("[回送]"),
                           QStringLiteral("ﾄｯｷｭｳ・特急"),
                           QStringLiteral("Ａ　Ｂ ijl WW"),
                           QStringLiteral("上り\u2028下り"),
                           QString()};
  for (const QFont& font : fonts) {
    TLaidTextCache cache;
    for (const QString& text : texts) {
      SCOPED_TRACE(text.toStdString() + " at " + std::to_string(font.pixelSize()) + " px");
      QRect shapedBox, laidBox;
      const QImage shaped = Shaped(font, text, &shapedBox);
      EXPECT_EQ(Differences(shaped, Laid(cache, font, text, &laidBox)), 0);
      EXPECT_EQ(laidBox, shapedBox);
      // Drawn a second time from what was kept.
      EXPECT_EQ(Differences(shaped, Laid(cache, font, text, &laidBox)), 0);
      EXPECT_EQ(cache.Get(text).Width, QFontMetrics(font).horizontalAdvance(text));
    }
    // The separator's text is drawn as it comes; the others are kept as glyphs.
    EXPECT_FALSE(cache.Get(texts[5]).Glyphs);
    EXPECT_TRUE(cache.Get(texts[0]).Glyphs);
    EXPECT_EQ(cache.Height(), QFontMetrics(font).height());
  }
}

TEST(LaidText, AnotherFontLaysTheTextsAgain) {
  test::EnsureApp();
  TLaidTextCache cache;
  const QFont small = UiFont(true, 10), large = UiFont(true, 20);
  const QString text = QStringLiteral("1234M");
  cache.UseFont(small);
  const int smallWidth = cache.Get(text).Width;
  cache.Get(QStringLiteral("5678M"));
  cache.UseFont(small);
  EXPECT_EQ(cache.Size(), 2);
  cache.UseFont(large);
  EXPECT_EQ(cache.Size(), 0);
  EXPECT_GT(cache.Get(text).Width, smallWidth);
  EXPECT_EQ(cache.Size(), 1);
  QRect shapedBox, laidBox;
  EXPECT_EQ(Differences(Shaped(large, text, &shapedBox), Laid(cache, large, text, &laidBox)), 0);
}

}  // namespace
}  // namespace ramvel
