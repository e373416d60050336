#include "platform/graphics/image_list.h"
#include <gtest/gtest.h>

namespace {

// A 32 x 16 strip: a red square on white, then a blue square on white; the white is the background.
TBitmap *Strip() {
  auto *strip = new TBitmap(32, 16);
  TCanvas *canvas = strip->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(Rect(0, 0, 32, 16));
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(4, 4, 12, 12));
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect(Rect(20, 4, 28, 12));
  return strip;
}

QRgb DrawnPixel(const TCustomImageList &list, int index, int x, int y, bool enabled = true) {
  TBitmap target(20, 20);
  target.Canvas()->Brush()->SetColor(clLime);
  target.Canvas()->FillRect(Rect(0, 0, 20, 20));
  list.Draw(target.Canvas(), 2, 2, index, enabled);
  return target.Image().pixel(x, y) & 0xFFFFFF;
}

TEST(ImageList, AddMaskedSplitsAStripAndDrawsWithoutTheMaskColour) {
  std::unique_ptr<TBitmap> strip(Strip());
  TImageList list(nullptr);
  int changes = 0;
  list.OnChange = TNotifyEvent::From([&changes](TObject *) { ++changes; });
  EXPECT_EQ(list.AddMasked(strip.get(), clWhite), 0);
  EXPECT_EQ(changes, 1);
  // Drawn at (2, 2): the square at 6..13, the white around it left out.
  EXPECT_EQ(QList<QRgb>({DrawnPixel(list, 0, 8, 8), DrawnPixel(list, 0, 3, 3), DrawnPixel(list, 1, 8, 8)}),
            QList<QRgb>({0xFF0000u, 0x00FF00u, 0x0000FFu}));
  // clDefault takes the bottom-left pixel's colour (white here).
  EXPECT_EQ(list.AddMasked(strip.get(), clDefault), 2);
  EXPECT_EQ(DrawnPixel(list, 2, 3, 3), 0x00FF00u);
  // Out of range: nothing is drawn.
  EXPECT_EQ(DrawnPixel(list, 9, 8, 8), 0x00FF00u);
}

TEST(ImageList, GetBitmapDisabledDrawingAndResizing) {
  std::unique_ptr<TBitmap> strip(Strip());
  TImageList list(nullptr);
  list.AddMasked(strip.get(), clWhite);
  TBitmap bitmap;
  list.GetBitmap(1, &bitmap);
  EXPECT_EQ(bitmap.Image().pixel(8, 8) & 0xFFFFFF, 0x0000FFu);
  const QRgb grey = DrawnPixel(list, 0, 8, 8, false);
  EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey)) << "disabled: grey";
  list.SetWidth(8); // empties the list
  EXPECT_EQ(list.AddMasked(strip.get(), clWhite), 0);
  EXPECT_EQ(list.Count(), 4);
}

} // namespace
