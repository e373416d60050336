#include "platform/graphics/glyph_drawing.h"
#include <gtest/gtest.h>

namespace {

// A 4 x 4 glyph filled wholly with one colour (edges sharp, so every pixel is covered alike).
QImage FilledGlyph(const QColor &fill) {
  return GlyphPicture(4, 4, [&fill](QPainter &p) {
    if (fill.isValid()) p.fillRect(QRect(0, 0, 4, 4), fill);
  });
}

} // namespace

TEST(GlyphPicture, FlattensOntoTheTransparentColourAndPaintedImagesStartClearAndAntialiased) {
  struct Case {
    const char *what;
    QColor fill;
    QRgb expected;
  };
  const Case cases[] = {
      {"nothing drawn", QColor(), kGlyphTransparent},
      {"the transparent colour itself stays visible", QColor(128, 128, 0), qRgb(128, 128, 1)},
      {"half covered black blends with the face", QColor(0, 0, 0, 128), qRgb(117, 117, 117)},
      {"barely covered counts as clear", QColor(0, 0, 0, 30), kGlyphTransparent},
  };
  for (const Case &c : cases) {
    const QImage image = FilledGlyph(c.fill);
    EXPECT_EQ(image.format(), QImage::Format_RGB32) << c.what;
    EXPECT_EQ(image.pixel(3, 3), c.expected) << c.what;
  }

  // A painted image starts clear and antialiased.
  bool antialiased = false;
  const QImage image = PaintedImage(
      5, 3, [&antialiased](QPainter &p) { antialiased = p.testRenderHint(QPainter::Antialiasing); },
      QImage::Format_ARGB32);
  EXPECT_EQ(std::tuple(antialiased, image.format(), image.size(), qAlpha(image.pixel(2, 1))),
            std::tuple(true, QImage::Format_ARGB32, QSize(5, 3), 0));
}
