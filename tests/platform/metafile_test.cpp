// Metafiles played onto images: shapes, mapping modes, transforms, saved states, clipping, bitmaps and text
// of enhanced and Windows metafiles, checked pixel by pixel, and damaged files that must draw safely.
#include "platform/graphics/canvas.h"
#include "platform/graphics/dib.h"
#include "platform/graphics/picture.h"
#include "tests/support/metafile_writer.h"
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using test::EmfWriter;
using test::WmfWriter;

constexpr QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kBlack = 0;
// The bits of the number 1.0 as a 32-bit float.
constexpr qint64 kOne = 0x3F800000;
constexpr qint64 NULL_PEN = 0x80000008, BLACK_BRUSH = 0x80000004;

// The metafile drawn onto a white image of the size given, into `target` (the whole image by default).
QImage Play(const QByteArray &bytes, QSize size = {100, 100}, QRect target = QRect()) {
  TMetafile metafile;
  metafile.LoadFromBytes(bytes);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  TCanvas canvas(&image);
  canvas.StretchDraw(TRect::FromQRect(target.isNull() ? image.rect() : target), &metafile);
  canvas.Release();
  return image;
}

QRgb At(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

// The bounds of the pixels that are not white.
QRect Ink(const QImage &image, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  QRect ink;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (At(image, x, y) != kWhite) ink |= QRect(x, y, 1, 1);
  return ink;
}

// A red brush and no pen.
EmfWriter RedFill() {
  EmfWriter emf;
  emf.Brush(1, Qt::red).Select(1).Select(NULL_PEN);
  return emf;
}

struct PixelCase {
  const char *name;
  QByteArray metafile;
  std::vector<std::pair<QPoint, QRgb>> pixels;
};

void CheckPixels(const std::vector<PixelCase> &cases, QSize size = {100, 100}) {
  for (const PixelCase &c : cases) {
    SCOPED_TRACE(c.name);
    const QImage image = Play(c.metafile, size);
    for (const auto &[point, colour] : c.pixels)
      EXPECT_EQ(At(image, point.x(), point.y()), colour)
          << "at " << point.x() << "," << point.y() << ": " << std::hex << At(image, point.x(), point.y());
  }
}

// The rectangle 20,30 - 60,70 in red: inside, and just outside each side (its right and bottom edges lie
// outside it).
const std::vector<std::pair<QPoint, QRgb>> kRedBox = {
    {{40, 50}, kRed},   {{20, 30}, kRed},   {{59, 69}, kRed},  {{19, 50}, kWhite},
    {{60, 50}, kWhite}, {{40, 29}, kWhite}, {{40, 70}, kWhite}};

TEST(MetafilePlayback, MappingModesOriginsExtentsAndWorldTransformsPlaceTheShape) {
  std::vector<PixelCase> cases = {
      {"logical units are the frame's pixels", RedFill().Rectangle(20, 30, 60, 70).Bytes(), kRedBox},
      {"the anisotropic window maps onto the viewport",
       RedFill().MapMode(8).WindowExt(1000, 500).ViewportExt(100, 50).Rectangle(200, 300, 600, 700).Bytes(),
       kRedBox},
      {"low metric counts tenths of a millimetre upwards",
       RedFill().MapMode(2).Rectangle(20, -30, 60, -70).Bytes(), kRedBox},
      {"high metric counts hundredths", RedFill().MapMode(3).Rectangle(200, -300, 600, -700).Bytes(),
       kRedBox},
      {"twips",
       RedFill().MapMode(6).Rectangle(113, -170, 340, -397).Bytes(),
       {{{40, 50}, kRed}, {{21, 31}, kRed}, {{58, 68}, kRed}, {{18, 50}, kWhite}, {{40, 72}, kWhite}}},
      {"the isotropic mode keeps one scale both ways",
       RedFill().MapMode(7).WindowExt(100, 50).ViewportExt(100, 100).Rectangle(20, 30, 60, 70).Bytes(),
       kRedBox},
      {"the window origin moves the picture", RedFill().WindowOrg(-10, -20).Rectangle(10, 10, 50, 50).Bytes(),
       kRedBox},
      {"the viewport origin too", RedFill().ViewportOrg(20, 30).Rectangle(0, 0, 40, 40).Bytes(), kRedBox},
      {"extents are kept out of the text mode",
       RedFill().WindowExt(1000, 1000).ViewportExt(100, 100).Rectangle(20, 30, 60, 70).Bytes(), kRedBox},
      {"a world transform scales",
       RedFill().WorldTransform({2, 0, 0, 2, 0, 0}).Rectangle(10, 15, 30, 35).Bytes(), kRedBox},
      {"a transform multiplied on the right applies after the world's",
       RedFill()
           .WorldTransform({2, 0, 0, 2, 0, 0})
           .WorldTransform({1, 0, 0, 1, 10, 0}, 3)
           .Rectangle(5, 15, 25, 35)
           .Bytes(),
       kRedBox},
      {"one multiplied on the left applies before it",
       RedFill()
           .WorldTransform({2, 0, 0, 2, 0, 0})
           .WorldTransform({1, 0, 0, 1, 5, 0}, 2)
           .Rectangle(5, 15, 25, 35)
           .Bytes(),
       kRedBox},
      {"a turned world turns the shape",
       RedFill().WorldTransform({0, 1, -1, 0, 100, 0}).Rectangle(30, 40, 70, 80).Bytes(),
       {{{40, 50}, kRed}, {{15, 50}, kWhite}, {{40, 75}, kWhite}}},
      {"a transform that is not one is ignored",
       RedFill().WorldTransform({0, 0, 0, 0, 50, 50}).Rectangle(20, 30, 60, 70).Bytes(), kRedBox},
      {"a zero extent is ignored", RedFill().MapMode(8).WindowExt(0, 10).Rectangle(20, 30, 60, 70).Bytes(),
       kRedBox},
  };
  CheckPixels(cases);
}

TEST(MetafilePlayback, SavedStatesObjectsAndClipping) {
  std::vector<PixelCase> cases = {
      {"restoring brings back the brush and the mapping",
       RedFill()
           .SaveDC()
           .Brush(2, Qt::blue)
           .Select(2)
           .WindowOrg(50, 50)
           .RestoreDC(-1)
           .Rectangle(20, 30, 60, 70)
           .Bytes(),
       kRedBox},
      {"a state saved twice back is restored by -2",
       RedFill()
           .SaveDC()
           .Brush(2, Qt::blue)
           .Select(2)
           .SaveDC()
           .Brush(3, Qt::green)
           .Select(3)
           .RestoreDC(-2)
           .Rectangle(20, 30, 60, 70)
           .Bytes(),
       kRedBox},
      {"a restore past the saves changes nothing",
       RedFill().SaveDC().Brush(2, Qt::blue).Select(2).RestoreDC(-3).Rectangle(20, 30, 60, 70).Bytes(),
       {{{40, 50}, kBlue}}},
      {"a stock brush",
       EmfWriter().Select(BLACK_BRUSH).Select(NULL_PEN).Rectangle(20, 30, 60, 70).Bytes(),
       {{{40, 50}, kBlack}, {{19, 50}, kWhite}}},
      {"the pen draws the outline, the brush the inside",
       EmfWriter().Brush(1, Qt::red).Select(1).Pen(2, Qt::blue).Select(2).Rectangle(20, 30, 60, 70).Bytes(),
       {{{40, 50}, kRed}, {{20, 50}, kBlue}, {{40, 30}, kBlue}}},
      {"a deleted object cannot be selected",
       RedFill().Brush(2, Qt::blue).Delete(2).Select(2).Rectangle(20, 30, 60, 70).Bytes(), kRedBox},
      {"an object made again at its index replaces it",
       EmfWriter()
           .Brush(1, Qt::blue)
           .Brush(1, Qt::red)
           .Select(1)
           .Select(NULL_PEN)
           .Rectangle(20, 30, 60, 70)
           .Bytes(),
       kRedBox},
      {"a clip rectangle",
       RedFill().IntersectClip(0, 0, 40, 100).Rectangle(20, 30, 60, 70).Bytes(),
       {{{39, 50}, kRed}, {{40, 50}, kWhite}}},
      {"clip rectangles narrow each other",
       RedFill()
           .IntersectClip(0, 0, 40, 100)
           .IntersectClip(30, 0, 100, 100)
           .Rectangle(20, 30, 60, 70)
           .Bytes(),
       {{{35, 50}, kRed}, {{25, 50}, kWhite}, {{45, 50}, kWhite}}},
      {"an excluded rectangle",
       RedFill().ExcludeClip(30, 40, 50, 60).Rectangle(20, 30, 60, 70).Bytes(),
       {{{40, 50}, kWhite}, {{25, 35}, kRed}, {{55, 65}, kRed}}},
      {"the clip goes with a restored state",
       RedFill().SaveDC().IntersectClip(0, 0, 10, 10).RestoreDC(-1).Rectangle(20, 30, 60, 70).Bytes(),
       kRedBox},
      {"a clip rectangle follows the mapping",
       RedFill()
           .MapMode(8)
           .WindowExt(10, 10)
           .ViewportExt(100, 100)
           .IntersectClip(0, 0, 4, 10)
           .Rectangle(2, 3, 6, 7)
           .Bytes(),
       {{{39, 50}, kRed}, {{40, 50}, kWhite}}},
      {"a clip region in device units",
       RedFill().ClipRegion(QRect(0, 0, 40, 100)).Rectangle(20, 30, 60, 70).Bytes(),
       {{{39, 50}, kRed}, {{40, 50}, kWhite}}},
      {"a region taken away from the clip",
       RedFill().ClipRegion(QRect(30, 40, 20, 20), 4).Rectangle(20, 30, 60, 70).Bytes(),
       {{{40, 50}, kWhite}, {{25, 35}, kRed}}},
      {"no region: no clip",
       RedFill().ClipRegion(QRect(0, 0, 10, 10)).ClipRegion(std::nullopt).Rectangle(20, 30, 60, 70).Bytes(),
       kRedBox},
  };
  CheckPixels(cases);
}

TEST(MetafilePlayback, ShapesLinesAndCurves) {
  auto triangle = [] {
    QByteArray points;
    for (int v : {20, 70, 60, 70, 40, 30}) test::PutLittleEndian(points, quint64(quint16(v)), 2);
    QByteArray params(16, '\0');
    test::PutLittleEndian(params, 3, 4);
    return RedFill().AddRaw(86, params + points);
  };
  // A triangle recorded as a path with a wide blue pen and a red brush selected: nothing drawn yet.
  auto pathTriangle = [] {
    EmfWriter emf;
    emf.Brush(1, Qt::red).Select(1).Pen(2, Qt::blue, 6).Select(2).Add(59, {});
    emf.Add(27, {20, 70}).Add(54, {60, 70}).Add(54, {40, 30}).Add(61, {}).Add(60, {});
    return emf;
  };
  auto widePen = [] {
    EmfWriter emf;
    emf.Pen(1, Qt::blue, 6).Select(1);
    return emf;
  };
  std::vector<PixelCase> cases = {
      {"an ellipse",
       RedFill().Ellipse(20, 30, 60, 70).Bytes(),
       {{{40, 50}, kRed}, {{22, 32}, kWhite}, {{40, 31}, kRed}}},
      {"a round rectangle leaves its corners",
       RedFill().Add(44, {20, 30, 60, 70, 20, 20}).Bytes(),
       {{{40, 50}, kRed}, {{21, 31}, kWhite}, {{40, 31}, kRed}}},
      {"a polygon of 16-bit points",
       triangle().Bytes(),
       {{{40, 60}, kRed}, {{22, 35}, kWhite}, {{58, 35}, kWhite}}},
      {"a polygon of 32-bit points",
       RedFill().Add(3, {0, 0, 0, 0, 3, 20, 70, 60, 70, 40, 30}).Bytes(),
       {{{40, 60}, kRed}, {{22, 35}, kWhite}}},
      {"a wide polyline",
       widePen().Add(4, {0, 0, 0, 0, 2, 10, 50, 90, 50}).Bytes(),
       {{{50, 50}, kBlue}, {{50, 52}, kBlue}, {{50, 47}, kBlue}, {{50, 45}, kWhite}, {{50, 55}, kWhite}}},
      {"a pen wider than the painter takes is held at the widest",
       EmfWriter()
           .MapMode(8)
           .WindowExt(100000, 100000)
           .ViewportExt(100, 100)
           .Pen(1, Qt::blue, 40000)
           .Select(1)
           .Add(27, {10000, 50000})
           .Add(54, {90000, 50000})
           .Bytes(),
       {{{50, 50}, kBlue}, {{50, 36}, kBlue}, {{50, 64}, kBlue}, {{50, 30}, kWhite}}},
      {"a line from the current position",
       widePen().Add(27, {10, 20}).Add(54, {90, 20}).Bytes(),
       {{{50, 20}, kBlue}, {{50, 30}, kWhite}}},
      {"polylines go on from where the last ended",
       widePen().Add(27, {10, 20}).Add(6, {0, 0, 0, 0, 1, 90, 20}).Add(54, {90, 80}).Bytes(),
       {{{50, 20}, kBlue}, {{90, 50}, kBlue}}},
      {"two polygons in one record",
       RedFill()
           .Add(8, {0, 0, 0, 0, 2, 8, 4, 4, 10, 10, 30, 10, 30, 30, 10, 30, 60, 60, 90, 60, 90, 90, 60, 90})
           .Bytes(),
       {{{20, 20}, kRed}, {{75, 75}, kRed}, {{45, 45}, kWhite}}},
      {"a pie from its start ray counter-clockwise to its end ray",
       RedFill().Add(47, {20, 30, 60, 70, 60, 50, 40, 30}).Bytes(),
       {{{50, 40}, kRed}, {{30, 60}, kWhite}, {{30, 40}, kWhite}}},
      {"a chord cuts along its ends",
       RedFill().Add(46, {20, 30, 60, 70, 60, 50, 20, 50}).Bytes(),
       {{{40, 40}, kRed}, {{40, 60}, kWhite}}},
      {"a path is filled when the records say, without its outline",
       pathTriangle().Add(62, {0, 0, 100, 100}).Bytes(),
       {{{40, 60}, kRed}, {{22, 35}, kWhite}, {{40, 73}, kWhite}}},
      {"a path stroked",
       pathTriangle().Add(64, {0, 0, 100, 100}).Bytes(),
       {{{40, 60}, kWhite}, {{40, 72}, kBlue}, {{30, 50}, kBlue}}},
      {"a path stroked and filled",
       pathTriangle().Add(63, {0, 0, 100, 100}).Bytes(),
       {{{40, 60}, kRed}, {{40, 72}, kBlue}}},
      {"an abandoned path draws nothing",
       pathTriangle().Add(68, {}).Add(63, {0, 0, 100, 100}).Bytes(),
       {{{40, 60}, kWhite}, {{40, 72}, kWhite}}},
      {"a shape goes into the path, not onto the picture",
       RedFill().Add(59, {}).Rectangle(0, 0, 40, 100).Add(60, {}).Bytes(),
       {{{20, 50}, kWhite}}},
      {"a path made the clip",
       RedFill()
           .Add(59, {})
           .Rectangle(0, 0, 40, 100)
           .Add(60, {})
           .Add(67, {5})
           .Rectangle(20, 30, 60, 70)
           .Bytes(),
       {{{39, 50}, kRed}, {{41, 50}, kWhite}}},
      {"a pixel",
       EmfWriter().Add(15, {5, 6, test::ColorRef(Qt::green)}).Bytes(),
       {{{5, 6}, kGreen}, {{6, 6}, kWhite}}},
      {"a bit copy without a bitmap fills with the brush",
       RedFill()
           .Add(76, {0, 0, 0, 0, 20, 30, 40, 40, 0x00F00021, 0, 0, kOne, 0, 0, kOne, 0, 0, 0, 0, 0, 0, 0, 0})
           .Bytes(),
       kRedBox},
      {"an unknown record is skipped", RedFill().AddRaw(9999, "anything").Rectangle(20, 30, 60, 70).Bytes(),
       kRedBox},
      {"a record whose count outruns its points is skipped, and the next is drawn",
       RedFill().Add(86, {0, 0, 0, 0, 1000, 0x00100010}).Rectangle(20, 30, 60, 70).Bytes(), kRedBox},
      {"a record longer than the file ends the playback",
       RedFill().Append(QByteArray::fromHex("2b00000000000100")).Rectangle(20, 30, 60, 70).Bytes(),
       {{{40, 50}, kWhite}}},
  };
  CheckPixels(cases);

  // A hatched brush leaves the background between its lines when the background is transparent.
  const QImage hatched = Play(EmfWriter()
                                  .BkMode(1)
                                  .Brush(1, Qt::blue, 2, 4)
                                  .Select(1)
                                  .Select(NULL_PEN)
                                  .Rectangle(0, 0, 100, 100)
                                  .Bytes());
  int blue = 0, white = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      blue += At(hatched, x, y) == kBlue;
      white += At(hatched, x, y) == kWhite;
    }
  EXPECT_GT(blue, 1000);
  EXPECT_GT(white, 5000);
  EXPECT_EQ(blue + white, 100 * 100);
}

// A 20 x 20 picture in four colours: red top left, green top right, blue bottom left, white bottom right.
QImage Quadrants() {
  QImage image(20, 20, QImage::Format_RGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      image.setPixel(x, y, y < 10 ? (x < 10 ? kRed : kGreen) : (x < 10 ? kBlue : kWhite));
  return image;
}

// Where a bitmap record's BITMAPINFO starts in a file of EmfWriter with no record before it: the header, the
// record's type and size and its 18 numbers.
constexpr int kFirstDibInfo = 88 + 8 + 18 * 4;

// A bitmap record of the enhanced kind holding the quadrants: its numbers (zeros where the bitmap's offsets
// and sizes go, at `dibAt` from the record's start), then the BITMAPINFO and the rows.
QByteArray DibRecord(quint32 type, std::initializer_list<qint64> numbers, int dibAt) {
  const QByteArray dib = test::PackedDib(Quadrants());
  QByteArray params;
  for (qint64 n : numbers) test::PutLittleEndian(params, quint64(n), 4);
  const qint64 offBmi = 8 + params.size();
  const qint64 fields[] = {offBmi, 40, offBmi + 40, dib.size() - 40};
  for (int i = 0; i < 4; ++i) qToLittleEndian<quint32>(quint32(fields[i]), params.data() + dibAt - 8 + 4 * i);
  return EmfWriter().AddRaw(type, params + dib).Bytes();
}

TEST(MetafilePlayback, BitmapsAreCopiedStretchedInPartAndMirrored) {
  const std::vector<std::pair<QPoint, QRgb>> quadrants = {
      {{20, 20}, kRed}, {{40, 20}, kGreen}, {{20, 40}, kBlue}, {{40, 40}, kWhite}, {{5, 5}, kWhite}};
  const QImage image = Quadrants();
  std::vector<PixelCase> cases = {
      {"stretched onto its place", EmfWriter().StretchDib(10, 10, 40, 40, image).Bytes(), quadrants},
      {"part of it: rows count from the bottom",
       EmfWriter().StretchDib(10, 10, 40, 40, image, QRect(0, 10, 10, 10)).Bytes(),
       {{{20, 20}, kRed}, {{40, 40}, kRed}, {{55, 55}, kWhite}}},
      {"a negative width mirrors it",
       EmfWriter().StretchDib(50, 10, -40, 40, image).Bytes(),
       {{{20, 20}, kGreen}, {{40, 20}, kRed}, {{20, 40}, kWhite}}},
      {"a source reaching past the bitmap copies what there is",
       EmfWriter().StretchDib(10, 10, 80, 40, image, QRect(0, 0, 40, 20)).Bytes(),
       {{{20, 20}, kRed}, {{40, 20}, kGreen}, {{60, 20}, kWhite}}},
      {"a bit copy at the bitmap's size",
       DibRecord(76, {0, 0, 0, 0, 30, 30, 20, 20, 0x00CC0020, 0, 0, kOne, 0, 0, kOne, 0, 0, 0, 0, 0, 0, 0, 0},
                 84),
       {{{35, 35}, kRed}, {{45, 35}, kGreen}, {{35, 45}, kBlue}, {{25, 25}, kWhite}}},
      {"a stretching bit copy",
       DibRecord(77, {0, 0,    0, 0, 10, 10, 40, 40, 0x00CC0020, 0, 0,  kOne, 0,
                      0, kOne, 0, 0, 0,  0,  0,  0,  0,          0, 20, 20},
                 84),
       quadrants},
      {"bits set to the device at their own size",
       DibRecord(80, {0, 0, 0, 0, 30, 30, 0, 0, 20, 20, 0, 0, 0, 0, 0, 0, 20}, 48),
       {{{35, 35}, kRed}, {{45, 35}, kGreen}, {{35, 45}, kBlue}}},
      {"a copy whose bitmap claims more rows than it holds is skipped",
       [&] {
         QByteArray bytes = EmfWriter().StretchDib(10, 10, 40, 40, image).Bytes();
         qToLittleEndian<qint32>(200, bytes.data() + kFirstDibInfo + 8); // the bitmap header's height
         return bytes;
       }(),
       {{{20, 20}, kWhite}}},
  };
  CheckPixels(cases);
}

TEST(MetafilePlayback, TextStandsWhereItsAlignmentSays) {
  auto hello = [](int align, int x, int y) {
    EmfWriter emf;
    emf.Font(1, -20, "Arial").Select(1).BkMode(1).TextAlign(align).Text(x, y, "Hello");
    return Ink(Play(emf.Bytes()));
  };
  // Left and top: the text starts at the point and hangs below it.
  const QRect topLeft = hello(0, 10, 20);
  EXPECT_GE(topLeft.left(), 10);
  EXPECT_LE(topLeft.left(), 13);
  EXPECT_GE(topLeft.top(), 20);
  EXPECT_LE(topLeft.top(), 25);
  EXPECT_LE(topLeft.bottom(), 40);
  EXPECT_GT(topLeft.width(), 30) << "five letters of a 20-pixel font";
  // Right and baseline (2 | 24): it ends at the point and stands on it.
  const QRect rightBaseline = hello(2 | 24, 90, 60);
  EXPECT_LE(rightBaseline.right(), 90);
  EXPECT_GE(rightBaseline.right(), 86);
  EXPECT_LE(rightBaseline.bottom(), 60);
  EXPECT_GE(rightBaseline.bottom(), 58);
  // Centred (6) and bottom (8): about the point, above it.
  const QRect centreBottom = hello(6 | 8, 50, 90);
  EXPECT_NEAR(centreBottom.center().x(), 50, 2);
  EXPECT_LE(centreBottom.bottom(), 90);
  EXPECT_NEAR(topLeft.width(), rightBaseline.width(), 1);
  EXPECT_EQ(topLeft.height(), rightBaseline.height());

  // The colours: the text's own, and the background's when it is opaque.
  EmfWriter coloured;
  coloured.Font(1, -20, "Arial")
      .Select(1)
      .TextColor(Qt::red)
      .BkMode(2)
      .BkColor(Qt::green)
      .Text(10, 20, "Hello");
  const QImage image = Play(coloured.Bytes());
  EXPECT_EQ(At(image, topLeft.left() + 1, 21), kGreen) << "the character cell is filled";
  bool red = false;
  for (int y = topLeft.top(); y <= topLeft.bottom(); ++y)
    red = red || At(image, topLeft.left() + 1, y) == kRed;
  EXPECT_TRUE(red);

  // A transparent background leaves what is under the text, whatever was drawn before with an opaque one.
  EmfWriter over;
  over.Brush(1, Qt::red, 2, 4).Select(1).BkColor(Qt::green).Rectangle(0, 0, 100, 10);
  over.Font(2, -20, "Arial").Select(2).BkMode(1).Text(10, 20, "Hello");
  const QImage overImage = Play(over.Bytes());
  EXPECT_EQ(At(overImage, 5, 5), kGreen) << "the hatch's background";
  EXPECT_EQ(At(overImage, topLeft.left() + 1, 21), kWhite) << "the text's";

  // Advances given per character place each one.
  EmfWriter spaced;
  spaced.Font(1, -20, "Arial").Select(1).BkMode(1).Text(10, 20, "ab", {50, 10});
  const QImage apart = Play(spaced.Bytes());
  EXPECT_TRUE(Ink(apart, QRect(30, 0, 25, 100)).isNull()) << "nothing between the two letters";
  EXPECT_FALSE(Ink(apart, QRect(60, 0, 15, 100)).isNull()) << "the second letter 50 units on";

  // Large text is drawn (as outlines on an image) where its alignment says.
  EmfWriter large(300, 200);
  large.Font(1, -150, "Arial").Select(1).BkMode(1).Text(20, 10, "H");
  const QRect big = Ink(Play(large.Bytes(), {300, 200}));
  EXPECT_NEAR(big.top(), 10 + 150 * 0.2, 12) << "the letter's top below the cell's";
  EXPECT_NEAR(big.height(), 150 * 0.72, 6) << "a capital's height";
  EXPECT_NEAR(big.left(), 20 + 12, 8);

  // A width asked of the font widens its letters; one far beyond the face's is held within four times it.
  auto inkWidth = [](int width) {
    EmfWriter emf(400, 100);
    emf.Font(1, -20, "Arial", 0, 400, 0, width).Select(1).BkMode(1).Text(0, 20, "MMM");
    return Ink(Play(emf.Bytes(), {400, 100})).width();
  };
  EXPECT_NEAR(inkWidth(12) / double(inkWidth(6)), 2, 0.2);
  EXPECT_LE(inkWidth(2000), 4 * inkWidth(0) + 4);

  // A scaled mapping scales the font; text turned by its escapement runs upwards.
  EmfWriter scaled;
  scaled.MapMode(8)
      .WindowExt(50, 50)
      .ViewportExt(100, 100)
      .Font(1, -10, "Arial")
      .Select(1)
      .BkMode(1)
      .Text(5, 10, "Hello");
  EXPECT_NEAR(Ink(Play(scaled.Bytes())).height(), topLeft.height(), 2);
  EmfWriter turned;
  turned.Font(1, -20, "Arial", 0, 400, 900).Select(1).BkMode(1).TextAlign(24).Text(50, 90, "Hello");
  const QRect up = Ink(Play(turned.Bytes()));
  EXPECT_GT(up.height(), up.width());
  EXPECT_LE(up.bottom(), 91);

  // Single-byte text is read in the font's character set: Ł is 0xA3 in the Central European one.
  EmfWriter wide, narrow;
  wide.Font(1, -40, "Arial").Select(1).BkMode(1).Text(10, 10, QStringLiteral("Łódź"));
  narrow.Font(1, -40, "Arial", 238).Select(1).BkMode(1).TextA(10, 10, QByteArray("\xA3\xF3\x64\x9F"));
  EXPECT_EQ(Play(wide.Bytes()), Play(narrow.Bytes()));
}

TEST(MetafilePlayback, WindowsMetafilesMapTheirWindowOntoThePicture) {
  // 1000 x 500 units at 1440 an inch: 66 x 33 pixels on the screen, drawn here onto 200 x 100.
  auto wmf = [] { return WmfWriter(0, 0, 1000, 500); };
  // A pen that draws nothing in slot 0, a red brush in slot 1, both selected.
  auto redFill = [&] {
    WmfWriter w = wmf();
    w.Pen(Qt::black, 0, 5).Select(0).Brush(Qt::red).Select(1);
    return w;
  };
  TMetafile metafile;
  metafile.LoadFromBytes(wmf().Bytes());
  EXPECT_EQ(QSize(metafile.Width(), metafile.Height()), QSize(66, 33));
  EXPECT_FALSE(metafile.Enhanced());
  const std::vector<std::pair<QPoint, QRgb>> box = {{{100, 50}, kRed},   {{50, 20}, kRed},
                                                    {{149, 79}, kRed},   {{49, 50}, kWhite},
                                                    {{150, 50}, kWhite}, {{100, 80}, kWhite}};
  std::vector<PixelCase> cases = {
      {"the bounding box", redFill().Rectangle(250, 100, 750, 400).Bytes(), box},
      {"the window the records set",
       redFill().WindowOrg(100, 100).WindowExt(500, 250).Rectangle(225, 150, 475, 300).Bytes(), box},
      {"the default pen draws the outline inside the right and bottom edges",
       wmf().Brush(Qt::red).Select(0).Rectangle(250, 100, 750, 400).Bytes(),
       {{{100, 50}, kRed},
        {{50, 50}, kBlack},
        {{149, 50}, kBlack},
        {{100, 79}, kBlack},
        {{150, 50}, kWhite}}},
      {"objects take the lowest free slot",
       wmf()
           .Pen(Qt::green)
           .Brush(Qt::red)
           .Delete(0)
           .Brush(Qt::blue)
           .Select(0)
           .Rectangle(250, 100, 750, 400)
           .Bytes(),
       {{{100, 50}, kBlue}}},
      {"save and restore",
       redFill().Brush(Qt::blue).SaveDC().Select(2).RestoreDC(-1).Rectangle(250, 100, 750, 400).Bytes(), box},
      {"a clip rectangle",
       redFill().IntersectClip(0, 0, 500, 500).Rectangle(250, 100, 750, 400).Bytes(),
       {{{99, 50}, kRed}, {{101, 50}, kWhite}}},
      {"a bitmap",
       wmf().StretchDib(250, 100, 500, 300, Quadrants()).Bytes(),
       {{{60, 30}, kRed}, {{140, 30}, kGreen}, {{60, 70}, kBlue}, {{140, 70}, kWhite}, {{40, 50}, kWhite}}},
      {"without the placeable header: the first window set",
       WmfWriter(0, 0, 0, 0, 0, false)
           .WindowExt(1000, 500)
           .Pen(Qt::black, 0, 5)
           .Select(0)
           .Brush(Qt::red)
           .Select(1)
           .Rectangle(250, 100, 750, 400)
           .Bytes(),
       box},
  };
  CheckPixels(cases, {200, 100});

  // Text in the font's character set.
  const QImage text =
      Play(wmf().Font(-200, "Arial", 238).Select(0).TextOut(100, 100, "\xA3").Bytes(), {200, 100});
  const QRect ink = Ink(text);
  EXPECT_FALSE(ink.isNull());
  EXPECT_GE(ink.left(), 20);
  EXPECT_GE(ink.top(), 20);
}

TEST(MetafileBitmaps, OnePlaybackDecodesNoMorePixelsThanItsBudget) {
  const QByteArray dib = test::PackedDib(Quadrants()); // 20 x 20
  qint64 budget = 399;
  EXPECT_TRUE(DecodeDib(dib.left(40), dib.mid(40), budget).isNull());
  EXPECT_EQ(budget, 399);
  budget = 500;
  const QImage image = DecodePackedDib(dib, budget);
  EXPECT_EQ(image.size(), QSize(20, 20));
  EXPECT_EQ(image.pixel(15, 15) & 0xFFFFFF, kWhite);
  EXPECT_EQ(budget, 100);
  EXPECT_TRUE(DecodePackedDib(dib, budget).isNull()) << "the second one is beyond what is left";
  EXPECT_EQ(DibInfoSize(dib.left(39)), -1);
  EXPECT_TRUE(DecodePackedDib(dib.left(500), budget = 1000).isNull()) << "rows missing";
}

TEST(MetafilePlayback, DamagedOrHostileMetafilesDrawSafely) {
  // A frame far beyond the picture limit is refused when the file is read.
  QByteArray huge = EmfWriter().Bytes();
  qToLittleEndian<qint32>(100'000'000, huge.data() + 32);
  qToLittleEndian<qint32>(100'000'000, huge.data() + 36);
  TMetafile metafile;
  try {
    metafile.LoadFromBytes(huge);
    ADD_FAILURE() << "a frame of a kilometre was taken";
  } catch (const EInvalidGraphic &e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("too large"))) << e.what();
  }

  // A bitmap of more pixels than a picture may have is skipped; the next record is drawn.
  QImage tall(1, 1, QImage::Format_RGB32);
  tall.fill(Qt::blue);
  // (The red fill's three records come first: 48 bytes.)
  QByteArray claiming = RedFill().StretchDib(0, 0, 100, 100, tall).Rectangle(20, 30, 60, 70).Bytes();
  qToLittleEndian<qint32>(50'000, claiming.data() + kFirstDibInfo + 48 + 4);
  qToLittleEndian<qint32>(50'000, claiming.data() + kFirstDibInfo + 48 + 8);
  const QImage image = Play(claiming);
  EXPECT_EQ(At(image, 5, 5), kWhite);
  EXPECT_EQ(At(image, 40, 50), kRed);

  // Deep saves and restores, and drawing that reaches far outside the picture, end normally.
  EmfWriter deep = RedFill();
  for (int i = 0; i < 5000; ++i) deep.SaveDC();
  deep.Rectangle(-2'000'000'000, -2'000'000'000, 2'000'000'000, 2'000'000'000);
  for (int i = 0; i < 5000; ++i) deep.RestoreDC(-1);
  const QImage covered = Play(deep.Bytes());
  EXPECT_EQ(At(covered, 0, 0), kRed);
  EXPECT_EQ(At(covered, 99, 99), kRed);

  // Nothing is drawn outside the picture's rectangle.
  const QImage inside =
      Play(RedFill().Rectangle(-50, -50, 150, 150).Bytes(), {100, 100}, QRect(20, 20, 40, 40));
  EXPECT_EQ(Ink(inside), QRect(20, 20, 40, 40));
}

} // namespace
