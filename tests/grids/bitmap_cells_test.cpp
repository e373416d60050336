#include "grids/cells/bitmap_cells.h"
#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QColor kBackground(128, 128, 128); // clGray

// A strip of 16 x 16 glyphs in the given colours, each with a white bottom-left pixel (its transparent
// colour).
TBitmap *MakeStrip(const QList<QColor> &colors) {
  QImage image(16 * int(colors.size()), 16, QImage::Format_RGB32);
  for (int i = 0; i < colors.size(); ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) image.setPixelColor(i * 16 + x, y, colors[i]);
  for (int i = 0; i < colors.size(); ++i) image.setPixelColor(i * 16, 15, Qt::white);
  auto *bitmap = new TBitmap;
  bitmap->SetImage(image);
  return bitmap;
}

class BitmapCellTest : public ::testing::Test {
protected:
  QImage Paint(TOvcBaseTableCell &cell, const void *data, TOvcTblAdjust adjust = otaTopLeft, int w = 40,
               int h = 30, TOvcTblAccess access = otxNormal) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    TCanvas canvas(&image);
    TOvcCellAttributes attr;
    attr.Access = access;
    attr.Adjust = adjust;
    attr.Color = clGray;
    cell.Paint(&canvas, TRect{0, 0, w, h}, 0, 0, attr, data);
    canvas.SetDevice(nullptr);
    return image;
  }
  std::unique_ptr<TBitmap> strip{MakeStrip({Qt::red, Qt::green, Qt::blue, Qt::yellow})};
  TOvcTCBaseBitMap base{nullptr};
};

TEST_F(BitmapCellTest, DrawsTheChosenGlyphOfAStrip) {
  struct Case {
    int count, index;
    QColor expected;
  };
  const Case cases[] = {
      {4, 2, Qt::blue}, {4, 0, Qt::red}, {4, 4, Qt::red}, {4, 9, Qt::red}, {1, 3, Qt::red}, {0, 2, Qt::red},
  };
  for (const Case &c : cases) {
    const TOvcCellBitMapInfo info{strip.get(), c.count, c.count, c.index};
    const QImage image = Paint(base, &info);
    // Margin 4: the glyph starts at (4, 4).
    EXPECT_EQ(image.pixelColor(10, 10), c.expected) << c.count << " " << c.index;
    if (c.count == 4) {
      EXPECT_EQ(image.pixelColor(4 + 17, 10), kBackground) << "only one glyph wide";
    }
  }
}

TEST_F(BitmapCellTest, NothingButTheBackgroundWithoutAGlyph) {
  const TOvcCellBitMapInfo none{strip.get(), 4, 4, -1};
  const TOvcCellBitMapInfo negative{strip.get(), 4, 4, -3};
  const TOvcCellBitMapInfo shown{strip.get(), 4, 4, 1};
  for (const QImage &image : {Paint(base, nullptr), Paint(base, &none), Paint(base, &negative),
                              Paint(base, &shown, otaTopLeft, 40, 30, otxInvisible)})
    EXPECT_EQ(image.pixelColor(10, 10), kBackground);
}

TEST_F(BitmapCellTest, TheTransparentColourShowsTheBrush) {
  const TOvcCellBitMapInfo info{strip.get(), 4, 4, 1};
  const QImage image = Paint(base, &info);
  EXPECT_EQ(image.pixelColor(4, 4 + 15), kBackground);
  EXPECT_EQ(image.pixelColor(5, 4 + 15), QColor(Qt::green));
}

TEST_F(BitmapCellTest, PlacesTheGlyphByTheAdjustment) {
  const TOvcCellBitMapInfo info{strip.get(), 4, 4, 0};
  struct Case {
    TOvcTblAdjust adjust;
    TPoint topLeft;
  };
  const Case cases[] = {
      {otaTopLeft, {4, 4}},   {otaCenter, {12, 7}},        {otaBottomRight, {20, 10}},
      {otaTopRight, {20, 4}}, {otaBottomCenter, {12, 10}}, {otaCenterLeft, {4, 7}},
  };
  for (const Case &c : cases) {
    const QImage image = Paint(base, &info, c.adjust);
    EXPECT_EQ(image.pixelColor(c.topLeft.X + 1, c.topLeft.Y), QColor(Qt::red)) << int(c.adjust);
    EXPECT_EQ(image.pixelColor(c.topLeft.X + 1, c.topLeft.Y - 1), kBackground) << int(c.adjust);
    EXPECT_EQ(image.pixelColor(c.topLeft.X - 1, c.topLeft.Y + 1), kBackground) << int(c.adjust);
  }
}

TEST_F(BitmapCellTest, ALargeBitmapIsCutToTheCellLessItsMargins) {
  TOvcTCBitMap cell(nullptr);
  QImage big(100, 100, QImage::Format_RGB32);
  big.fill(Qt::blue);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) big.setPixelColor(x, y, Qt::red);
  big.setPixelColor(0, 99, Qt::white); // the transparent colour
  TBitmap bitmap;
  bitmap.SetImage(big);
  const QImage image = Paint(cell, &bitmap, otaCenter);
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::red)); // the top-left part, at the margin
  EXPECT_EQ(image.pixelColor(35, 25), QColor(Qt::blue));
  EXPECT_EQ(image.pixelColor(37, 27), kBackground); // the margin stays background
}

TEST(DisplayCellsTest, AreReadOnly) {
  TOvcTCBitMap bitmapCell(nullptr);
  TOvcTCIcon iconCell(nullptr);
  for (TOvcBaseTableCell *cell :
       {static_cast<TOvcBaseTableCell *>(&bitmapCell), static_cast<TOvcBaseTableCell *>(&iconCell)}) {
    TOvcCellAttributes attr;
    cell->GatherAttributes(0, 0, attr);
    EXPECT_EQ(attr.Access, otxReadOnly);
    cell->SetAccess(otxInvisible);
    cell->GatherAttributes(0, 0, attr);
    EXPECT_EQ(attr.Access, otxInvisible);
    EXPECT_EQ(cell->EditorWindow(), 0u);
  }
}

TEST(DisplayCellsTest, IconDrawsAtItsFullSize) {
  QImage picture(32, 32, QImage::Format_ARGB32);
  picture.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "ICO")) GTEST_SKIP() << "no ICO writer on this system";
  TIcon icon;
  icon.LoadFromBytes(bytes);
  TOvcTCIcon cell(nullptr);
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::black);
  {
    TCanvas canvas(&image);
    TOvcCellAttributes attr;
    attr.Access = otxReadOnly;
    attr.Adjust = otaTopLeft;
    attr.Color = clGray;
    cell.Paint(&canvas, TRect{0, 0, 40, 30}, 0, 0, attr, &icon);
  }
  EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(35, 29), QColor(Qt::red)); // not clipped to the margins
  EXPECT_EQ(image.pixelColor(2, 2), kBackground);
}

} // namespace
