#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include <gtest/gtest.h>

namespace {

constexpr QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0x000000;

QRgb At(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

// A white image with a canvas on it.
struct Surface {
  explicit Surface(int w = 40, int h = 40) : image(w, h, QImage::Format_RGB32), canvas(&image) {
    image.fill(Qt::white);
  }
  // Ends drawing so the pixels can be read.
  const QImage &Pixels() {
    canvas.Release();
    return image;
  }
  QImage image;
  TCanvas canvas;
};

// The bounds of every pixel that is not white.
QRect InkBounds(const QImage &image) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (At(image, x, y) != kWhite) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

// One letter per pixel: w white, r red, b blue, k black, g lime, ? anything else.
std::string Colors(const QImage &image, std::initializer_list<QPoint> points) {
  std::string letters;
  for (QPoint p : points) {
    const QRgb c = At(image, p.x(), p.y());
    letters += c == kWhite     ? 'w'
               : c == kRed     ? 'r'
               : c == kBlue    ? 'b'
               : c == kBlack   ? 'k'
               : c == 0x00FF00 ? 'g'
                               : '?';
  }
  return letters;
}

int CountInk(const QImage &image, const QRect &area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (At(image, x, y) != kWhite) ++n;
  return n;
}

TEST(CanvasPixels, RectangleCoversExactlyItsPixelsWithThePenOnTheOuterRingAndWithoutPenOneLess) {
  Surface s;
  s.canvas.Pen()->SetColor(clRed);
  s.canvas.Brush()->SetColor(clBlue);
  s.canvas.Rectangle(5, 7, 15, 17);
  const QImage &img = s.Pixels();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 5 && x < 15 && y >= 7 && y < 17;
      const bool ring = inside && (x == 5 || x == 14 || y == 7 || y == 16);
      const QRgb expected = !inside ? kWhite : ring ? kRed : kBlue;
      ASSERT_EQ(At(img, x, y), expected) << "pixel " << x << "," << y;
    }
  // Without a pen the last row and column stay out.
  s.image.fill(Qt::white);
  s.canvas.Pen()->SetStyle(psClear);
  s.canvas.Rectangle(0, 0, 10, 10);
  EXPECT_EQ(InkBounds(s.Pixels()), QRect(0, 0, 9, 9));
}

// Straight lines in each direction are the ring drawn below.
TEST(CanvasPixels, ASlopedLineLeavesOutItsEndPoint) {
  Surface s(30, 30);
  s.canvas.Pen()->SetColor(clBlack);
  s.canvas.MoveTo(10, 10);
  s.canvas.LineTo(20, 14);
  EXPECT_EQ(s.canvas.PenPos(), Point(20, 14));
  const QImage &img = s.Pixels();
  EXPECT_EQ(std::pair(At(img, 10, 10), At(img, 20, 14)), std::pair(kBlack, kWhite));
  EXPECT_EQ(CountInk(img, img.rect()), 10) << "one pixel per step, end excluded";
}

// Right, down, left and up: every pixel once, so each segment leaves out its end.
TEST(CanvasPixels, PolylineThroughARingDrawsEveryPixelOnce) {
  Surface s;
  s.canvas.Pen()->SetMode(pmXor); // a pixel drawn twice would come back white
  s.canvas.Pen()->SetColor(clWhite);
  s.canvas.Polyline({Point(2, 2), Point(12, 2), Point(12, 8), Point(2, 8), Point(2, 2)});
  EXPECT_EQ(CountInk(s.Pixels(), QRect(0, 0, 40, 40)), 2 * 10 + 2 * 6);
}

TEST(CanvasPixels, FillRectAndFrameRectUseTheBrushExactly) {
  Surface s;
  s.canvas.Brush()->SetColor(clBlue);
  s.canvas.FillRect(Rect(3, 4, 7, 9));
  s.canvas.Brush()->SetColor(clRed);
  s.canvas.FrameRect(Rect(20, 20, 30, 25));
  const QImage &img = s.Pixels();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool fill = x >= 3 && x < 7 && y >= 4 && y < 9;
      const bool frame = x >= 20 && x < 30 && y >= 20 && y < 25 && (x == 20 || x == 29 || y == 20 || y == 24);
      ASSERT_EQ(At(img, x, y), fill ? kBlue : frame ? kRed : kWhite) << x << "," << y;
    }
}

TEST(CanvasPixels, ShapesStayInsideTheirBoundsAndReachEachEdge) {
  Surface s;
  s.canvas.Pen()->SetColor(clBlack);
  s.canvas.Brush()->SetColor(clBlue);
  const TRect box = Rect(4, 6, 30, 22);
  for (int shape = 0; shape < 3; ++shape) {
    s.image.fill(Qt::white);
    if (shape == 0) s.canvas.Ellipse(box);
    if (shape == 1) s.canvas.RoundRect(box.Left, box.Top, box.Right, box.Bottom, 10, 8);
    if (shape == 2) s.canvas.Polygon({Point(4, 21), Point(17, 6), Point(29, 21)});
    EXPECT_EQ(InkBounds(s.Pixels()), box.ToQRect()) << "shape " << shape;
    // Not antialiased: only the pen's and the brush's colours appear.
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const QRgb c = At(s.image, x, y);
        ASSERT_TRUE(c == kWhite || c == kBlack || c == kBlue) << "shape " << shape << " at " << x << "," << y;
      }
  }
}

TEST(CanvasPixels, DottedAndDashedPensLeaveGaps) {
  struct Case {
    TPenStyle style;
    int on, off;
  };
  for (const Case &c : {Case{psDot, 3, 3}, Case{psDash, 18, 6}}) {
    Surface s(60, 5);
    s.canvas.Pen()->SetStyle(c.style);
    s.canvas.MoveTo(0, 2);
    s.canvas.LineTo(48, 2);
    const QImage &img = s.Pixels();
    for (int x = 0; x < 48; ++x)
      EXPECT_EQ(At(img, x, 2) != kWhite, x % (c.on + c.off) < c.on) << "style " << c.style << " x " << x;
  }
}

TEST(CanvasPixels, XorPenAndFocusRectangleUndoThemselves) {
  Surface s;
  s.canvas.Brush()->SetColor(clBlue);
  s.canvas.FillRect(Rect(0, 0, 20, 40));
  const QImage before = s.Pixels().copy();
  s.canvas.DrawFocusRect(Rect(2, 2, 30, 30));
  EXPECT_NE(s.Pixels(), before);
  s.canvas.DrawFocusRect(Rect(2, 2, 30, 30));
  EXPECT_EQ(s.Pixels(), before);
  s.canvas.Pen()->SetMode(pmXor);
  s.canvas.Rectangle(Rect(5, 5, 35, 35));
  s.canvas.Rectangle(Rect(5, 5, 35, 35));
  // The brush is copied, not combined: compare the pen ring only.
  for (int x = 5; x < 35; ++x) EXPECT_EQ(At(s.Pixels(), x, 5), At(before, x, 5));
}

TEST(CanvasPixels, PixelsReadInsideThePictureAndAsMinusOneOutside) {
  Surface s;
  s.canvas.SetPixel(10, 10, clRed);
  EXPECT_EQ(std::pair(s.canvas.Pixel(10, 10), s.canvas.Pixel(100, 0)), std::pair(clRed, TColor(-1)));
}

TEST(CanvasClip, DrawingStaysInsideTheClipAndClipRectReportsIt) {
  Surface s;
  s.canvas.IntersectClipRect(Rect(10, 15, 20, 30));
  EXPECT_EQ(s.canvas.ClipRect(), Rect(10, 15, 20, 30));
  s.canvas.Brush()->SetColor(clBlue);
  s.canvas.FillRect(Rect(0, 0, 40, 40));
  EXPECT_EQ(InkBounds(s.Pixels()), QRect(10, 15, 10, 15));
  s.canvas.ClearClipRegion();
  s.canvas.FillRect(Rect(0, 0, 40, 40));
  EXPECT_EQ(InkBounds(s.Pixels()), QRect(0, 0, 40, 40));
}

TEST(CanvasText, TextOutPaintsTheCellWithASolidBrushAndMovesThePenAndTextRectClips) {
  Surface s(200, 40);
  s.canvas.Font()->SetName(QStringLiteral("Arial"));
  s.canvas.Font()->SetSize(10);
  s.canvas.Brush()->SetColor(clBlue);
  s.canvas.TextOut(10, 5, QStringLiteral("Invoice"));
  const int w = s.canvas.TextWidth(QStringLiteral("Invoice"));
  const int h = s.canvas.TextHeight(QStringLiteral("Invoice"));
  EXPECT_EQ(s.canvas.PenPos(), Point(10 + w, 5));
  EXPECT_EQ(InkBounds(s.Pixels()), QRect(10, 5, w, h));
  s.image.fill(Qt::white);
  s.canvas.Brush()->SetStyle(bsClear);
  s.canvas.TextOut(10, 5, QStringLiteral("Invoice"));
  const QRect ink = InkBounds(s.Pixels());
  EXPECT_TRUE(QRect(10, 5, w + 1, h).contains(ink)) << "glyphs inside the cell";
  EXPECT_EQ(At(s.image, 10, 5), kWhite) << "no background";

  // TextRect clips to its rectangle.
  s.image.fill(Qt::white);
  s.canvas.Brush()->SetStyle(bsSolid);
  s.canvas.TextRect(Rect(20, 10, 60, 30), 0, 10, QStringLiteral("A long line of text drawn from the left"));
  EXPECT_EQ(InkBounds(s.Pixels()), QRect(20, 10, 40, 20));
}

TEST(CanvasText, MetricsFollowThePointSizeAndWidthsAddUp) {
  Surface s;
  s.canvas.Font()->SetName(QStringLiteral("Arial"));
  s.canvas.Font()->SetSize(10);
  const TTextMetric small = s.canvas.TextMetrics();
  EXPECT_EQ(small.tmHeight, small.tmAscent + small.tmDescent);
  EXPECT_NEAR(small.tmHeight - small.tmInternalLeading, 13, 1) << "10 points are 13 pixels at 96 dpi";
  // Kerning plays no part.
  EXPECT_NEAR(s.canvas.TextWidth(QStringLiteral("AVAV")), 2 * s.canvas.TextWidth(QStringLiteral("AV")), 1);
}

TEST(CanvasDrawText, WordBreakWrapsIntoTheExpectedLines) {
  Surface s;
  s.canvas.Font()->SetName(QStringLiteral("Arial"));
  s.canvas.Font()->SetSize(10);
  const int word = s.canvas.TextWidth(QStringLiteral("wxyz"));
  const int threeWords = s.canvas.TextWidth(QStringLiteral("wxyz wxyz wxyz"));
  const int lineHeight = s.canvas.TextMetrics().tmHeight;
  // Room for three words but not four.
  const int width = threeWords + word / 2;
  QStringList words;
  for (int i = 0; i < 10; ++i) words << QStringLiteral("wxyz");
  TRect r = Rect(5, 7, 5 + width, 8);
  const int height = s.canvas.DrawText(words.join(QLatin1Char(' ')), r, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(height, 4 * lineHeight); // 3 + 3 + 3 + 1
  EXPECT_EQ(std::pair(r.Top, r.Bottom), std::pair(7, 7 + 4 * lineHeight));
  EXPECT_NEAR(r.Width(), threeWords, 1);

  // Line breaks in the text start new lines; single-line text ignores them.
  TRect lines = Rect(0, 0, 500, 0);
  EXPECT_EQ(s.canvas.DrawText(QStringLiteral("one\r\ntwo\nthree\n"), lines, DT_CALCRECT), 3 * lineHeight);
  TRect single = Rect(0, 0, 500, 0);
  EXPECT_EQ(s.canvas.DrawText(QStringLiteral("one\r\ntwo\nthree"), single, DT_CALCRECT | DT_SINGLELINE),
            lineHeight);
  // A word longer than the line stays whole on its own line.
  TRect narrow = Rect(0, 0, word / 2, 0);
  EXPECT_EQ(s.canvas.DrawText(QStringLiteral("wxyz wxyz"), narrow, DT_CALCRECT | DT_WORDBREAK),
            2 * lineHeight);
  EXPECT_GE(narrow.Width(), word - 1);
  EXPECT_EQ(CountInk(s.Pixels(), QRect(0, 0, 40, 40)), 0) << "measuring draws nothing";
}

TEST(CanvasDrawText, PrefixesAreHiddenAndMarkedUnlessNoPrefix) {
  Surface s(200, 40);
  s.canvas.Font()->SetName(QStringLiteral("Arial"));
  s.canvas.Font()->SetSize(12);
  TRect plain = Rect(0, 0, 200, 0), prefixed = Rect(0, 0, 200, 0), raw = Rect(0, 0, 200, 0);
  s.canvas.DrawText(QStringLiteral("File"), plain, DT_CALCRECT | DT_SINGLELINE);
  s.canvas.DrawText(QStringLiteral("&File"), prefixed, DT_CALCRECT | DT_SINGLELINE);
  s.canvas.DrawText(QStringLiteral("&File"), raw, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(prefixed.Width(), plain.Width());
  EXPECT_GT(raw.Width(), plain.Width());

  // The marked letter is underlined: ink below the baseline under the F.
  s.canvas.Brush()->SetStyle(bsClear);
  const TTextMetric tm = s.canvas.TextMetrics();
  const int fWidth = s.canvas.TextWidth(QStringLiteral("F"));
  const QRect belowBaseline(0, tm.tmAscent + 1, fWidth, tm.tmDescent - 1);
  TRect r = Rect(0, 0, 200, 40);
  s.canvas.DrawText(QStringLiteral("&File"), r, DT_SINGLELINE);
  EXPECT_GT(CountInk(s.Pixels(), belowBaseline), fWidth / 2);
}

TEST(CanvasDrawText, AlignsHorizontallyAndVertically) {
  struct Case {
    unsigned format;
    char horizontal; // l, c, r
    char vertical;   // t, c, b
  };
  const std::vector<Case> cases = {
      {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 'c', 'c'},
      {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 'r', 'b'},
      {DT_WORDBREAK | DT_CENTER | DT_VCENTER, 'c', 't'}, // vertical centring is for single lines only
  };
  for (const Case &c : cases) {
    Surface s(200, 100);
    s.canvas.Font()->SetName(QStringLiteral("Arial"));
    s.canvas.Font()->SetSize(10);
    s.canvas.Brush()->SetColor(clBlue); // paints the text's cell, which is easy to find
    const TRect box = Rect(20, 10, 180, 90);
    TRect r = box;
    s.canvas.DrawText(QStringLiteral("Total"), r, c.format);
    EXPECT_EQ(r, box) << "drawing leaves the rectangle alone";
    const QRect cell = InkBounds(s.Pixels());
    const int w = s.canvas.TextWidth(QStringLiteral("Total")), h = s.canvas.TextMetrics().tmHeight;
    const int x = c.horizontal == 'l' ? 20 : c.horizontal == 'c' ? 20 + (160 - w) / 2 : 180 - w;
    const int y = c.vertical == 't' ? 10 : c.vertical == 'c' ? 10 + (80 - h) / 2 : 90 - h;
    EXPECT_NEAR(cell.left(), x, 1) << "format " << c.format;
    EXPECT_EQ(cell.top(), y) << "format " << c.format;
  }
}

TEST(CanvasDrawText, TabsExpandToStopsOfEightAverageCharacters) {
  Surface s(300, 30);
  s.canvas.Font()->SetName(QStringLiteral("Courier New"));
  s.canvas.Font()->SetSize(10);
  const int stop = 8 * s.canvas.TextMetrics().tmAveCharWidth;
  TRect tabbed = Rect(0, 0, 1000, 0);
  s.canvas.DrawText(QStringLiteral("ab\tc"), tabbed, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_NEAR(tabbed.Width(), stop + s.canvas.TextWidth(QStringLiteral("c")), 1);
}

TEST(CanvasPictures, TransparentBitmapsAndBrushCopyLeaveOutTheirColour) {
  TBitmap glyph(4, 4);
  glyph.Canvas()->Brush()->SetColor(clOlive);
  glyph.Canvas()->FillRect(Rect(0, 0, 4, 4));
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(Rect(1, 1, 3, 3));

  Surface s(10, 10);
  glyph.SetTransparent(true);
  EXPECT_EQ(glyph.TransparentColor(), clOlive) << "the bottom-left pixel's colour";
  s.canvas.Brush()->SetColor(clBlue);
  s.canvas.BrushCopy(Rect(5, 5, 9, 9), &glyph, Rect(0, 0, 4, 4), clOlive);
  EXPECT_EQ(Colors(s.Pixels(), {{5, 5}, {6, 6}}), "br");
  s.canvas.StretchDraw(Rect(0, 0, 8, 8), &glyph);
  EXPECT_EQ(Colors(s.Pixels(), {{0, 0}, {4, 4}}), "wr") << "stretched drawing stays transparent";
}

// The edges' colours are checked with the combo boxes and buttons that draw them.
TEST(CanvasFrames, Frame3DPaintsItsRingsAndShrinksTheRectangle) {
  Surface s(20, 20);
  TRect r = Rect(2, 2, 12, 12);
  Frame3D(&s.canvas, r, clRed, clBlue, 2);
  EXPECT_EQ(r, Rect(4, 4, 10, 10));
  // Top and left rings red, bottom and right (with the top-right corner) blue, inside untouched.
  EXPECT_EQ(Colors(s.Pixels(), {{2, 2}, {3, 6}, {11, 6}, {6, 10}, {11, 2}, {4, 4}}), "rrbbbw");
}

TEST(CanvasTarget, NeedsSomethingToDrawOnButMeasuresWithout) {
  TCanvas canvas;
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_GT(canvas.TextWidth(QStringLiteral("abc")), 0);
  TBitmap empty;
  EXPECT_NO_THROW(empty.Canvas()->Rectangle(0, 0, 5, 5)) << "drawing on an empty bitmap goes nowhere";
}

} // namespace
