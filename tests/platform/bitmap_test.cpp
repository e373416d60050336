#include "platform/graphics/bitmap.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/picture.h"
#include <QBuffer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

void Put16(QByteArray &b, quint16 v) {
  char c[2];
  qToLittleEndian(v, c);
  b.append(c, 2);
}
void Put32(QByteArray &b, quint32 v) {
  char c[4];
  qToLittleEndian(v, c);
  b.append(c, 4);
}

// A test picture using `colors` distinct colours, chosen so that the given channel precision keeps them.
QImage Pattern(int w, int h, int colors, int step = 1) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int i = (x * 7 + y * 3) % colors;
      if (step >= 255) { // two colours: black and white
        image.setPixel(x, y, i % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        continue;
      }
      image.setPixel(x, y,
                     qRgb((i * 37 * step) % 256 / step * step, (i * 91 * step) % 256 / step * step,
                          (i * 53 * step) % 256 / step * step));
    }
  return image;
}

QImage Opaque(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

QByteArray QtBmp(const QImage &image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

TEST(BitmapFile, RoundTripsKeepPixelsAndWriteTheHeaderOfEachFormat) {
  struct Case {
    TPixelFormat format;
    int colors;
    int step; // channel precision the format keeps
    int bits;
    quint32 compression;
  };
  const std::vector<Case> cases = {
      {pf1bit, 2, 255, 1, 0},  {pf4bit, 12, 1, 4, 0},     {pf8bit, 200, 1, 8, 0},    {pf15bit, 50, 8, 16, 0},
      {pf16bit, 50, 8, 16, 3}, {pf24bit, 1000, 1, 24, 0}, {pf32bit, 1000, 1, 32, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.bits);
    // Odd widths make rows that need padding.
    const QImage picture = Pattern(13, 7, c.colors, c.step);
    QSet<QRgb> distinct;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) distinct.insert(picture.pixel(x, y));
    const int tableSize = c.bits <= 8 ? int(distinct.size()) : 0; // indexed files list the colours used
    TBitmap bitmap;
    bitmap.SetImage(picture);
    bitmap.SetPixelFormat(c.format);
    const QByteArray bytes = bitmap.SaveToBytes();

    const auto header = ReadBitmapFileHeader(bytes);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->fileSize, quint32(bytes.size()));
    EXPECT_EQ(header->infoSize, 40u);
    EXPECT_EQ(header->width, 13);
    EXPECT_EQ(header->height, 7);
    EXPECT_EQ(header->planes, 1);
    EXPECT_EQ(header->bitCount, c.bits);
    EXPECT_EQ(header->compression, c.compression);
    EXPECT_EQ(header->colorsUsed, quint32(tableSize));
    const quint32 stride = ((13u * c.bits + 31) / 32) * 4;
    EXPECT_EQ(header->imageSize, stride * 7);
    EXPECT_EQ(header->dataOffset, 14u + 40u + (c.compression == 3 ? 12u : 0u) + 4u * tableSize);
    EXPECT_EQ(header->dataOffset + header->imageSize, header->fileSize);

    TBitmap loaded;
    loaded.LoadFromBytes(bytes);
    EXPECT_EQ(loaded.PixelFormat(), c.format);
    EXPECT_EQ(Opaque(loaded.Image()), picture);
    EXPECT_EQ(loaded.SaveToBytes(), bytes) << "an unchanged bitmap saves its original bytes";
    // Another reader sees the same pixels in our file.
    EXPECT_EQ(Opaque(QImage::fromData(bytes, "BMP")), picture);
  }
}

TEST(BitmapFile, ReadsFilesOfOtherWritersAndKeepsTheirBytes) {
  const QImage picture = Pattern(9, 5, 500);
  const QByteArray bytes = QtBmp(picture);
  TBitmap bitmap;
  bitmap.LoadFromBytes(bytes);
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(Opaque(bitmap.Image()), picture);
  EXPECT_EQ(bitmap.SaveToBytes(), bytes);
  EXPECT_FALSE(bitmap.Modified());

  // Rows stored top-down (a negative height).
  QByteArray topDown;
  topDown.append("BM", 2);
  Put32(topDown, 14 + 40 + 16);
  Put32(topDown, 0);
  Put32(topDown, 14 + 40);
  Put32(topDown, 40);
  Put32(topDown, 2);
  Put32(topDown, quint32(-2));
  Put16(topDown, 1);
  Put16(topDown, 24);
  for (int i = 0; i < 6; ++i) Put32(topDown, 0);
  topDown.append("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8); // red, green (+2 bytes padding)
  topDown.append("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8); // blue, white
  TBitmap small;
  small.LoadFromBytes(topDown);
  EXPECT_EQ(small.Image().pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(small.Image().pixel(1, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(small.Image().pixel(0, 1) & 0xFFFFFF, 0x0000FFu);
}

TEST(BitmapFile, DamagedFilesAreRefusedAndLeaveTheBitmapAsItWas) {
  TBitmap bitmap;
  bitmap.SetImage(Pattern(6, 6, 4));
  const QImage before = bitmap.Image().copy();
  const QByteArray good = QtBmp(Pattern(8, 8, 10));

  QByteArray huge = good;
  qToLittleEndian<qint32>(100000, huge.data() + 18);
  qToLittleEndian<qint32>(100000, huge.data() + 22);
  QByteArray badDepth = good;
  qToLittleEndian<quint16>(7, badDepth.data() + 28);
  for (const QByteArray &bad : {good.left(good.size() - 20), huge, badDepth, QByteArray("BM"),
                                QByteArray("not a picture at all, just some text")}) {
    EXPECT_THROW(bitmap.LoadFromBytes(bad), EInvalidGraphic);
    EXPECT_FALSE(ReadBitmapFileHeader(bad).has_value());
    EXPECT_EQ(bitmap.Image(), before);
  }
}

TEST(BitmapFile, KeepsResolutionFieldsWhenRewritten) {
  QByteArray bytes = QtBmp(Pattern(4, 4, 3));
  qToLittleEndian<qint32>(3780, bytes.data() + 38);
  qToLittleEndian<qint32>(3781, bytes.data() + 42);
  TBitmap bitmap;
  bitmap.LoadFromBytes(bytes);
  bitmap.Canvas()->Pixel(0, 0);
  bitmap.Canvas()->SetPixel(0, 0, clRed); // changed: written anew
  const QByteArray rewritten = bitmap.SaveToBytes();
  EXPECT_NE(rewritten, bytes);
  const auto header = ReadBitmapFileHeader(rewritten);
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->xPelsPerMeter, 3780);
  EXPECT_EQ(header->yPelsPerMeter, 3781);
}

TEST(Bitmap, DrawingOnItsCanvasMarksItChanged) {
  TBitmap bitmap;
  bitmap.LoadFromBytes(QtBmp(Pattern(10, 10, 5)));
  int changes = 0;
  bitmap.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  ASSERT_FALSE(bitmap.OriginalBytes().isEmpty());
  bitmap.Canvas()->Brush()->SetColor(clLime);
  bitmap.Canvas()->FillRect(Rect(0, 0, 3, 3));
  EXPECT_TRUE(bitmap.Modified());
  EXPECT_TRUE(bitmap.OriginalBytes().isEmpty());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(bitmap.Image().pixel(1, 1) & 0xFFFFFF, 0x00FF00u);
  TBitmap copy;
  copy.Assign(&bitmap);
  EXPECT_EQ(copy.Image(), bitmap.Image());
  copy.Canvas()->SetPixel(9, 9, clRed);
  EXPECT_NE(copy.Image().pixel(9, 9), bitmap.Image().pixel(9, 9)) << "a copy has pixels of its own";
}

TEST(Bitmap, ResizingKeepsThePictureAndFillsNewAreaWithTheBrush) {
  TBitmap bitmap(4, 4);
  EXPECT_EQ(bitmap.Image().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  bitmap.Canvas()->SetPixel(1, 1, clRed);
  bitmap.Canvas()->Brush()->SetColor(clBlue);
  bitmap.SetWidth(8);
  bitmap.SetHeight(6);
  EXPECT_EQ(bitmap.Width(), 8);
  EXPECT_EQ(bitmap.Height(), 6);
  EXPECT_EQ(bitmap.Image().pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(bitmap.Image().pixel(6, 5) & 0xFFFFFF, 0x0000FFu);
  bitmap.Canvas()->SetPixel(7, 5, clLime); // the canvas draws on the resized picture
  EXPECT_EQ(bitmap.Image().pixel(7, 5) & 0xFFFFFF, 0x00FF00u);
  bitmap.SetPixelFormat(pf1bit);
  EXPECT_EQ(bitmap.ColorTable().size(), 2);
  EXPECT_TRUE(bitmap.Empty() == false);
  TBitmap none;
  EXPECT_TRUE(none.Empty());
  EXPECT_TRUE(none.SaveToBytes().isEmpty());
}

TEST(Jpeg, EncodeAndDecodeRoundTripKeepsThePictureClose) {
  QImage gradient(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) gradient.setPixel(x, y, qRgb(x * 4, y * 5, 128 + (x - y)));
  for (bool progressive : {false, true}) {
    const QByteArray bytes = EncodeJpeg(gradient, 90, false, progressive);
    ASSERT_EQ(SniffGraphicKind(bytes), TGraphicKind::Jpeg);
    const QImage decoded = DecodeJpeg(bytes);
    ASSERT_EQ(decoded.size(), gradient.size());
    double total = 0;
    int worst = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        const QRgb a = gradient.pixel(x, y), b = decoded.pixel(x, y);
        for (int d : {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b)}) {
          total += std::abs(d);
          worst = std::max(worst, std::abs(d));
        }
      }
    EXPECT_LT(total / (64 * 48 * 3), 3.0);
    EXPECT_LT(worst, 40);
  }
  const QImage gray = DecodeJpeg(EncodeJpeg(gradient, 75, true));
  EXPECT_EQ(qRed(gray.pixel(10, 10)), qGreen(gray.pixel(10, 10)));
  EXPECT_EQ(qRed(gray.pixel(10, 10)), qBlue(gray.pixel(10, 10)));
}

TEST(Jpeg, ImageKeepsItsBytesAndRefusesDamagedData) {
  QImage picture(20, 10, QImage::Format_RGB32);
  picture.fill(QColor(200, 40, 40));
  const QByteArray bytes = EncodeJpeg(picture, 80);
  TJPEGImage jpeg;
  jpeg.LoadFromBytes(bytes);
  EXPECT_EQ(jpeg.Width(), 20);
  EXPECT_EQ(jpeg.Height(), 10);
  EXPECT_EQ(jpeg.SaveToBytes(), bytes);

  QByteArray damaged = bytes;
  damaged.truncate(20);
  damaged[3] = char(0xC4);
  try {
    jpeg.LoadFromBytes(damaged);
    FAIL() << "damaged data was accepted";
  } catch (const EInvalidGraphic &e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("JPEG image is not valid"))) << e.what();
  }
  EXPECT_EQ(jpeg.Width(), 20) << "the picture stays as it was";
  EXPECT_THROW(jpeg.LoadFromBytes(QByteArray("BM not a jpeg")), EInvalidGraphic);

  // Pixels from a bitmap are compressed when saved.
  TBitmap bitmap;
  bitmap.SetImage(picture);
  TJPEGImage fromBitmap;
  fromBitmap.Assign(&bitmap);
  const QByteArray written = fromBitmap.SaveToBytes();
  EXPECT_EQ(SniffGraphicKind(written), TGraphicKind::Jpeg);
  EXPECT_NEAR(qRed(DecodeJpeg(written).pixel(5, 5)), 200, 6);
  // And back to a bitmap.
  TBitmap back;
  back.Assign(&jpeg);
  EXPECT_EQ(back.Width(), 20);
  EXPECT_NEAR(qRed(back.Image().pixel(5, 5)), 200, 6);
}

// An icon file of one image given as a DIB (or PNG) entry.
QByteArray IconFile(const QByteArray &data, int w, int h, int bits) {
  QByteArray ico;
  Put16(ico, 0);
  Put16(ico, 1);
  Put16(ico, 1);
  ico.append(char(w));
  ico.append(char(h));
  ico.append(char(0));
  ico.append(char(0));
  Put16(ico, 1);
  Put16(ico, quint16(bits));
  Put32(ico, quint32(data.size()));
  Put32(ico, 6 + 16);
  ico.append(data);
  return ico;
}

QByteArray DibHeader(int w, int h, int bits, int colors) {
  QByteArray dib;
  Put32(dib, 40);
  Put32(dib, quint32(w));
  Put32(dib, quint32(h * 2));
  Put16(dib, 1);
  Put16(dib, quint16(bits));
  Put32(dib, 0);
  Put32(dib, 0);
  Put32(dib, 0);
  Put32(dib, 0);
  Put32(dib, quint32(colors));
  Put32(dib, 0);
  return dib;
}

TEST(Icon, ReadsIconImagesWithTheirTransparency) {
  // 4x2, 4 bits: left half red, right half blue; the mask makes the top-right pixel transparent.
  QByteArray dib = DibHeader(4, 2, 4, 2);
  dib.append("\x00\x00\xFF\x00", 4); // colour 0: red (blue, green, red, 0)
  dib.append("\xFF\x00\x00\x00", 4); // colour 1: blue
  dib.append("\x00\x11\x00\x00", 4); // bottom row
  dib.append("\x00\x11\x00\x00", 4); // top row
  dib.append("\x00\x00\x00\x00", 4); // mask, bottom row
  dib.append("\x10\x00\x00\x00", 4); // mask, top row: fourth pixel
  const QByteArray ico = IconFile(dib, 4, 2, 4);
  TIcon icon;
  icon.LoadFromBytes(ico);
  EXPECT_EQ(icon.Width(), 4);
  EXPECT_EQ(icon.Height(), 2);
  EXPECT_TRUE(icon.Transparent());
  EXPECT_EQ(icon.Image().pixel(0, 0), qRgba(255, 0, 0, 255));
  EXPECT_EQ(icon.Image().pixel(2, 1), qRgba(0, 0, 255, 255));
  EXPECT_EQ(qAlpha(icon.Image().pixel(3, 0)), 0);
  EXPECT_EQ(icon.SaveToBytes(), ico);
  EXPECT_THROW(icon.SetWidth(10), EInvalidGraphicOperation);

  // A 32-bit image carries its own alpha; a PNG entry is read as PNG.
  QByteArray dib32 = DibHeader(1, 1, 32, 0);
  dib32.append("\x10\x20\x30\x80", 4);
  dib32.append("\x00\x00\x00\x00", 4);
  icon.LoadFromBytes(IconFile(dib32, 1, 1, 32));
  EXPECT_EQ(icon.Image().pixel(0, 0), qRgba(0x30, 0x20, 0x10, 0x80));
  QImage png(3, 3, QImage::Format_ARGB32);
  png.fill(qRgba(1, 2, 3, 255));
  QByteArray pngBytes;
  QBuffer buffer(&pngBytes);
  buffer.open(QIODevice::WriteOnly);
  png.save(&buffer, "PNG");
  icon.LoadFromBytes(IconFile(pngBytes, 3, 3, 32));
  EXPECT_EQ(icon.Width(), 3);
  EXPECT_EQ(icon.Image().pixel(1, 1), qRgba(1, 2, 3, 255));

  EXPECT_THROW(icon.LoadFromBytes(IconFile(QByteArray(10, 'x'), 4, 4, 8)), EInvalidGraphic);
}

QByteArray EnhancedMetafile(int frameRight, int frameBottom) {
  QByteArray emf;
  Put32(emf, 1);  // header record
  Put32(emf, 88); // record size
  for (int i = 0; i < 4; ++i) Put32(emf, 0);
  Put32(emf, 0);
  Put32(emf, 0);
  Put32(emf, quint32(frameRight));
  Put32(emf, quint32(frameBottom));
  emf.append(" EMF", 4);
  while (emf.size() < 88) emf.append('\0');
  emf.append("record data kept as it is", 25);
  qToLittleEndian<quint32>(quint32(emf.size()), emf.data() + 48); // the metafile's size
  return emf;
}

TEST(Metafile, KeepsItsBytesAndTakesItsSizeFromTheHeader) {
  const QByteArray emf = EnhancedMetafile(5080, 2540); // 50.8 x 25.4 mm
  TMetafile meta;
  meta.LoadFromBytes(emf);
  EXPECT_TRUE(meta.Enhanced());
  EXPECT_EQ(meta.Width(), 192);
  EXPECT_EQ(meta.Height(), 96);
  EXPECT_EQ(meta.SaveToBytes(), emf);

  QByteArray wmf;
  Put32(wmf, 0x9AC6CDD7u);
  Put16(wmf, 0);
  for (int v : {0, 0, 1440, 720}) Put16(wmf, quint16(v));
  Put16(wmf, 1440); // units per inch
  Put32(wmf, 0);
  Put16(wmf, 0);
  Put16(wmf, 1);
  Put16(wmf, 9);
  while (wmf.size() < 40) wmf.append('\0');
  meta.LoadFromBytes(wmf);
  EXPECT_FALSE(meta.Enhanced());
  EXPECT_EQ(meta.Width(), 96);
  EXPECT_EQ(meta.Height(), 48);
  EXPECT_THROW(meta.LoadFromBytes(QByteArray(50, 'z')), EInvalidGraphic);

  // Drawn as a framed placeholder inside its rectangle.
  QImage target(30, 20, QImage::Format_RGB32);
  target.fill(Qt::white);
  {
    TCanvas canvas(&target);
    canvas.StretchDraw(Rect(5, 5, 25, 15), &meta);
  }
  EXPECT_NE(target.pixel(5, 5), qRgb(255, 255, 255));
  EXPECT_NE(target.pixel(24, 14), qRgb(255, 255, 255));
  EXPECT_EQ(target.pixel(4, 4), qRgb(255, 255, 255));
  EXPECT_EQ(target.pixel(25, 15), qRgb(255, 255, 255));
}

TEST(Picture, RecognisesEachKindByContentAndKeepsTheOriginalBytes) {
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(QColor(10, 200, 30));
  QByteArray dib = DibHeader(1, 1, 32, 0);
  dib.append("\x10\x20\x30\xFF\x00\x00\x00\x00", 8);
  struct Case {
    QByteArray bytes;
    const char *className;
  };
  const std::vector<Case> cases = {
      {QtBmp(image), "TBitmap"},
      {EncodeJpeg(image, 85), "TJPEGImage"},
      {IconFile(dib, 1, 1, 32), "TIcon"},
      {EnhancedMetafile(254, 254), "TMetafile"},
  };
  for (const Case &c : cases) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
    picture.LoadFromBytes(c.bytes);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->ClassName(), QString::fromLatin1(c.className));
    EXPECT_EQ(picture.SaveToBytes(), c.bytes);
    EXPECT_EQ(picture.OriginalBytes(), c.bytes);
    EXPECT_EQ(changes, 1);
    TPicture copy;
    copy.Assign(&picture);
    EXPECT_EQ(copy.Graphic()->ClassName(), QString::fromLatin1(c.className));
    EXPECT_EQ(copy.SaveToBytes(), c.bytes) << "a copy keeps the original bytes too";
  }
  TPicture picture;
  picture.LoadFromBytes(QtBmp(image));
  EXPECT_THROW(picture.LoadFromBytes(QByteArray("GIF89a....")), EInvalidGraphic);
  EXPECT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TBitmap")) << "unchanged after a refused load";
  picture.LoadFromBytes(QByteArray());
  EXPECT_TRUE(picture.Empty());
}

// A small file whose header claims a picture of width x height pixels.
QByteArray JpegClaiming(int width, int height, bool progressive) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::gray);
  QByteArray bytes = EncodeJpeg(image, 80, false, progressive);
  const qsizetype frame = bytes.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
  qToBigEndian<quint16>(quint16(height), bytes.data() + frame + 5);
  qToBigEndian<quint16>(quint16(width), bytes.data() + frame + 7);
  return bytes;
}

QByteArray Rle8BmpClaiming(int width, int height) {
  QImage image(2, 2, QImage::Format_Indexed8);
  image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  image.fill(1);
  QByteArray bytes = QtBmp(image);
  qToLittleEndian<qint32>(width, bytes.data() + 18);
  qToLittleEndian<qint32>(height, bytes.data() + 22);
  qToLittleEndian<quint32>(1, bytes.data() + 30); // RLE8: the rows need not be there
  bytes.append("\x00\x01", 2);                    // end of picture
  qToLittleEndian<quint32>(quint32(bytes.size()), bytes.data() + 2);
  return bytes;
}

TEST(Picture, PicturesLargerThanTheLimitAreRefusedAndNothingChanges) {
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(QColor(10, 200, 30));
  const QByteArray logo = QtBmp(image);
  for (const QByteArray &large :
       {JpegClaiming(8000, 6000, false), JpegClaiming(65000, 65000, true), Rle8BmpClaiming(8000, 6000)}) {
    TPicture picture;
    picture.LoadFromBytes(logo);
    try {
      picture.LoadFromBytes(large);
      ADD_FAILURE() << "a picture of 48 million pixels or more was loaded";
    } catch (const EInvalidGraphic &e) {
      EXPECT_TRUE(e.Message().contains(QStringLiteral("too large"))) << e.what();
    }
    EXPECT_EQ(picture.SaveToBytes(), logo);
  }
  // Pictures within the limit load as before.
  TJPEGImage jpeg;
  jpeg.LoadFromBytes(JpegClaiming(16, 24, false));
  EXPECT_EQ(jpeg.Width(), 16);
  EXPECT_EQ(jpeg.Height(), 24);

  // A metafile drawn into a bitmap takes the same limit.
  TMetafile huge;
  huge.LoadFromBytes(EnhancedMetafile(100'000'000, 100'000'000));
  TBitmap bitmap;
  bitmap.SetImage(image);
  EXPECT_THROW(bitmap.Assign(&huge), EInvalidGraphic);
  EXPECT_EQ(bitmap.Width(), 6);
  EXPECT_EQ(bitmap.Image().pixel(0, 0), qRgb(10, 200, 30));
}

TEST(Picture, ChangingTheBitmapDropsTheOriginalBytes) {
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(Qt::white);
  TPicture picture;
  picture.LoadFromBytes(QtBmp(image));
  int changes = 0;
  picture.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  picture.Bitmap()->Canvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(picture.OriginalBytes().isEmpty());
  TBitmap reread;
  reread.LoadFromBytes(picture.SaveToBytes());
  EXPECT_EQ(reread.Image().pixel(0, 0) & 0xFFFFFF, 0xFF0000u);

  // Asking a JPEG picture for its bitmap replaces it with an empty bitmap.
  picture.LoadFromBytes(EncodeJpeg(image, 90));
  TBitmap *bitmap = picture.Bitmap();
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(picture.Graphic(), bitmap);
}

TEST(Picture, StreamsHoldingMoreThanThePictureKeepTheirOtherBytes) {
  QImage image(7, 3, QImage::Format_RGB32);
  image.fill(QColor(50, 60, 70));
  QByteArray dib = DibHeader(1, 1, 32, 0);
  dib.append("\x10\x20\x30\xFF\x00\x00\x00\x00", 8);
  for (const QByteArray &picture : {QtBmp(image), EncodeJpeg(image, 85), EncodeJpeg(image, 85, false, true),
                                    IconFile(dib, 1, 1, 32), EnhancedMetafile(254, 254)}) {
    // A picture inside a larger stream, as in a report template.
    TMemoryStream stream;
    stream.WriteBytes(QByteArray("HEAD"));
    stream.WriteBytes(picture);
    stream.WriteBytes(QByteArray("TAIL"));
    stream.SetPosition(4);
    TPicture loaded;
    loaded.LoadFromStream(&stream);
    ASSERT_FALSE(loaded.Empty());
    EXPECT_EQ(loaded.SaveToBytes(), picture) << loaded.Graphic()->ClassName().toStdString();
    EXPECT_EQ(stream.Position(), 4 + picture.size());
    EXPECT_EQ(stream.ReadBytes(4), QByteArray("TAIL"));

    TMemoryStream written;
    loaded.SaveToStream(&written);
    EXPECT_EQ(written.Bytes(), picture);
  }
  TMemoryStream garbage(QByteArray("no picture here"));
  TPicture picture;
  EXPECT_THROW(picture.LoadFromStream(&garbage), EInvalidGraphic);
  EXPECT_EQ(garbage.Position(), 0);
}

TEST(Picture, FilesAreReadAndWrittenWhole) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("logo.bmp"));
  QImage image(5, 5, QImage::Format_RGB32);
  image.fill(QColor(1, 2, 3));
  const QByteArray bytes = QtBmp(image);
  TPicture picture;
  picture.LoadFromBytes(bytes);
  picture.SaveToFile(file);
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), bytes);
  TPicture again;
  again.LoadFromFile(file);
  EXPECT_EQ(again.SaveToBytes(), bytes);
  EXPECT_THROW(again.LoadFromFile(dir.filePath(QStringLiteral("missing.bmp"))), EFOpenError);
  EXPECT_THROW(picture.SaveToFile(dir.filePath(QStringLiteral("no/such/folder/x.bmp"))), EFCreateError);
  TPicture empty;
  EXPECT_THROW(empty.SaveToFile(file), EInvalidGraphicOperation);
}

} // namespace
