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

// Little-endian words of 16 or 32 bits, as the file formats store them.
QByteArray Le16(std::initializer_list<quint16> values) {
  QByteArray b;
  for (quint16 v : values) b.append(char(v & 0xFF)).append(char(v >> 8));
  return b;
}
QByteArray Le32(std::initializer_list<quint32> values) {
  QByteArray b;
  for (quint32 v : values) b.append(Le16({quint16(v & 0xFFFF), quint16(v >> 16)}));
  return b;
}

// A test picture using `colors` distinct colours, chosen so that the given channel precision keeps them.
QImage Pattern(int w, int h, int colors, int step = 1) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int i = (x * 7 + y * 3) % colors;
      const auto channel = [&](int k) { return (i * k * step) % 256 / step * step; };
      image.setPixel(x, y,
                     step >= 255 ? (i % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0))
                                 : qRgb(channel(37), channel(91), channel(53)));
    }
  return image;
}

QImage Filled(int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

QImage Opaque(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }
QRgb Rgb(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

QByteArray Encoded(const QImage &image, const char *format = "BMP") {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

TEST(BitmapFile, RoundTripsKeepPixelsAndWriteTheHeaderOfEachFormat) {
  struct Case {
    TPixelFormat format;
    int colors;
    int step; // channel precision the format keeps
    quint16 bits;
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
    const quint32 tableSize =
        c.bits <= 8 ? quint32(distinct.size()) : 0; // indexed files list the colours used
    TBitmap bitmap;
    bitmap.SetImage(picture);
    bitmap.SetPixelFormat(c.format);
    const QByteArray bytes = bitmap.SaveToBytes();

    const auto h = ReadBitmapFileHeader(bytes);
    ASSERT_TRUE(h.has_value());
    const quint32 imageSize = ((13u * c.bits + 31) / 32) * 4 * 7;
    const quint32 offset = 14u + 40u + (c.compression == 3 ? 12u : 0u) + 4u * tableSize;
    EXPECT_EQ(std::tuple(h->fileSize, h->infoSize, h->width, h->height, h->planes, h->bitCount,
                         h->compression, h->colorsUsed, h->imageSize, h->dataOffset),
              std::tuple(quint32(bytes.size()), 40u, 13, 7, quint16(1), c.bits, c.compression, tableSize,
                         imageSize, offset));
    EXPECT_EQ(offset + imageSize, quint32(bytes.size()));

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
  const QByteArray bytes = Encoded(picture);
  TBitmap bitmap;
  bitmap.LoadFromBytes(bytes);
  EXPECT_EQ(Opaque(bitmap.Image()), picture);
  EXPECT_EQ(bitmap.SaveToBytes(), bytes);

  // Rows stored top-down (a negative height): red, green / blue, white, each row padded by 2 bytes.
  const QByteArray topDown =
      "BM" + Le32({14 + 40 + 16, 0, 14 + 40, 40, 2, quint32(-2)}) + Le16({1, 24}) + Le32({0, 0, 0, 0, 0, 0}) +
      QByteArray("\x00\x00\xFF\x00\xFF\x00\x00\x00\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 16);
  TBitmap small;
  small.LoadFromBytes(topDown);
  EXPECT_EQ(std::pair(Rgb(small.Image(), 1, 0), Rgb(small.Image(), 0, 1)), std::pair(0x00FF00u, 0x0000FFu));
}

TEST(BitmapFile, DamagedFilesAreRefusedAndLeaveTheBitmapAsItWas) {
  TBitmap bitmap;
  bitmap.SetImage(Pattern(6, 6, 4));
  const QImage before = bitmap.Image().copy();
  const QByteArray good = Encoded(Pattern(8, 8, 10));
  const auto patched = [&](int offset, const QByteArray &value) {
    return QByteArray(good).replace(offset, value.size(), value);
  };
  for (const QByteArray &bad :
       {good.left(good.size() - 20), patched(18, Le32({100000, 100000})), patched(28, Le16({7})),
        QByteArray("BM"), QByteArray("not a picture at all, just some text")}) {
    EXPECT_THROW(bitmap.LoadFromBytes(bad), EInvalidGraphic);
    EXPECT_FALSE(ReadBitmapFileHeader(bad).has_value());
    EXPECT_EQ(bitmap.Image(), before);
  }
}

TEST(Bitmap, DrawingOnItsCanvasMarksItChangedAndDropsTheOriginalBytesButKeepsTheResolution) {
  QByteArray bytes = Encoded(Pattern(10, 10, 5));
  bytes.replace(38, 8, Le32({3780, 3781}));
  TBitmap bitmap;
  bitmap.LoadFromBytes(bytes);
  int changes = 0;
  bitmap.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  ASSERT_EQ(bitmap.OriginalBytes(), bytes);
  bitmap.Canvas()->Brush()->SetColor(clLime);
  bitmap.Canvas()->FillRect(Rect(0, 0, 3, 3));
  EXPECT_TRUE(bitmap.OriginalBytes().isEmpty());
  EXPECT_EQ(changes, 1);
  const auto header = ReadBitmapFileHeader(bitmap.SaveToBytes()); // written anew
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(std::pair(header->xPelsPerMeter, header->yPelsPerMeter), std::pair(3780, 3781));
}

TEST(Bitmap, ResizingKeepsThePictureAndFillsNewAreaWithTheBrush) {
  TBitmap bitmap(4, 4);
  bitmap.Canvas()->SetPixel(1, 1, clRed);
  bitmap.Canvas()->Brush()->SetColor(clBlue);
  bitmap.SetWidth(8);
  bitmap.SetHeight(6);
  EXPECT_EQ(Rgb(bitmap.Image(), 1, 1), 0xFF0000u);
  EXPECT_EQ(Rgb(bitmap.Image(), 6, 5), 0x0000FFu);
  bitmap.Canvas()->SetPixel(7, 5, clLime); // the canvas draws on the resized picture
  EXPECT_EQ(Rgb(bitmap.Image(), 7, 5), 0x00FF00u);
}

TEST(Jpeg, EncodeAndDecodeRoundTripKeepsThePictureClose) {
  QImage gradient(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) gradient.setPixel(x, y, qRgb(x * 4, y * 5, 128 + (x - y)));
  const QByteArray bytes = EncodeJpeg(gradient, 90);
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
  const QRgb gray = DecodeJpeg(EncodeJpeg(gradient, 75, true)).pixel(10, 10);
  EXPECT_TRUE(qRed(gray) == qGreen(gray) && qRed(gray) == qBlue(gray));
}

TEST(Jpeg, ImageKeepsItsBytesAndRefusesDamagedData) {
  const QImage picture = Filled(20, 10, QColor(200, 40, 40));
  const QByteArray bytes = EncodeJpeg(picture, 80);
  TJPEGImage jpeg;
  jpeg.LoadFromBytes(bytes);
  EXPECT_EQ(QSize(jpeg.Width(), jpeg.Height()), QSize(20, 10));
  EXPECT_EQ(jpeg.SaveToBytes(), bytes);

  QByteArray damaged = bytes.left(20);
  damaged[3] = char(0xC4);
  try {
    jpeg.LoadFromBytes(damaged);
    FAIL() << "damaged data was accepted";
  } catch (const EInvalidGraphic &e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("JPEG image is not valid"))) << e.what();
  }
  EXPECT_EQ(jpeg.Width(), 20) << "the picture stays as it was";

  // Pixels from a bitmap are compressed when saved, and a JPEG turns back into a bitmap.
  TBitmap bitmap;
  bitmap.SetImage(picture);
  TJPEGImage fromBitmap;
  fromBitmap.Assign(&bitmap);
  EXPECT_NEAR(qRed(DecodeJpeg(fromBitmap.SaveToBytes()).pixel(5, 5)), 200, 6);
  TBitmap back;
  back.Assign(&jpeg);
  EXPECT_EQ(back.Width(), 20);
  EXPECT_NEAR(qRed(back.Image().pixel(5, 5)), 200, 6);
}

// An icon file of one image given as a DIB (or PNG) entry, and the header of a DIB entry.
QByteArray IconFile(const QByteArray &data, int w, int h, int bits) {
  return Le16({0, 1, 1}) + QByteArray(1, char(w)) + QByteArray(1, char(h)) + QByteArray(2, '\0') +
         Le16({1, quint16(bits)}) + Le32({quint32(data.size()), 6 + 16}) + data;
}
QByteArray DibHeader(int w, int h, int bits, int colors) {
  return Le32({40, quint32(w), quint32(h * 2)}) + Le16({1, quint16(bits)}) +
         Le32({0, 0, 0, 0, quint32(colors), 0});
}
// A one-pixel 32-bit icon.
QByteArray SmallIcon() {
  return IconFile(DibHeader(1, 1, 32, 0) + QByteArray("\x10\x20\x30\xFF\x00\x00\x00\x00", 8), 1, 1, 32);
}

TEST(Icon, ReadsIconImagesWithTheirTransparency) {
  // 4x2, 4 bits: left half red, right half blue; the mask makes the top-right pixel transparent.
  const QByteArray dib = DibHeader(4, 2, 4, 2) + QByteArray("\x00\x00\xFF\x00"  // colour 0: red
                                                            "\xFF\x00\x00\x00"  // colour 1: blue
                                                            "\x00\x11\x00\x00"  // bottom row
                                                            "\x00\x11\x00\x00"  // top row
                                                            "\x00\x00\x00\x00"  // mask, bottom row
                                                            "\x10\x00\x00\x00", // mask, top row: 4th pixel
                                                            24);
  const QByteArray ico = IconFile(dib, 4, 2, 4);
  TIcon icon;
  icon.LoadFromBytes(ico);
  EXPECT_EQ(QSize(icon.Width(), icon.Height()), QSize(4, 2));
  EXPECT_TRUE(icon.Transparent());
  EXPECT_EQ(icon.Image().pixel(2, 1), qRgba(0, 0, 255, 255));
  EXPECT_EQ(qAlpha(icon.Image().pixel(3, 0)), 0);
  EXPECT_EQ(icon.SaveToBytes(), ico);
  EXPECT_THROW(icon.SetWidth(10), EInvalidGraphicOperation);

  // A 32-bit image carries its own alpha; a PNG entry is read as PNG.
  icon.LoadFromBytes(
      IconFile(DibHeader(1, 1, 32, 0) + QByteArray("\x10\x20\x30\x80\x00\x00\x00\x00", 8), 1, 1, 32));
  EXPECT_EQ(icon.Image().pixel(0, 0), qRgba(0x30, 0x20, 0x10, 0x80));
  QImage png(3, 3, QImage::Format_ARGB32);
  png.fill(qRgba(1, 2, 3, 255));
  icon.LoadFromBytes(IconFile(Encoded(png, "PNG"), 3, 3, 32));
  EXPECT_EQ(icon.Image().pixel(1, 1), qRgba(1, 2, 3, 255));

  EXPECT_THROW(icon.LoadFromBytes(IconFile(QByteArray(10, 'x'), 4, 4, 8)), EInvalidGraphic);
}

QByteArray EnhancedMetafile(int frameRight, int frameBottom) {
  // Header record (type 1, 88 bytes) with its frame, the signature and the metafile's size at 48.
  QByteArray emf = Le32({1, 88, 0, 0, 0, 0, 0, 0, quint32(frameRight), quint32(frameBottom)}) + " EMF";
  emf.append(QByteArray(88 - emf.size(), '\0')).append("record data kept as it is");
  return emf.replace(48, 4, Le32({quint32(emf.size())}));
}

TEST(Metafile, KeepsItsBytesAndTakesItsSizeFromTheHeader) {
  const QByteArray emf = EnhancedMetafile(5080, 2540); // 50.8 x 25.4 mm
  TMetafile meta;
  meta.LoadFromBytes(emf);
  EXPECT_TRUE(meta.Enhanced());
  EXPECT_EQ(QSize(meta.Width(), meta.Height()), QSize(192, 96));
  EXPECT_EQ(meta.SaveToBytes(), emf);

  // A placeable metafile: key, handle, bounds, 1440 units per inch, reserved, checksum, then the header.
  QByteArray wmf = Le32({0x9AC6CDD7u}) + Le16({0, 0, 0, 1440, 720, 1440}) + Le32({0}) + Le16({0, 1, 9});
  meta.LoadFromBytes(wmf.leftJustified(40, '\0'));
  EXPECT_FALSE(meta.Enhanced());
  EXPECT_EQ(QSize(meta.Width(), meta.Height()), QSize(96, 48));
  EXPECT_THROW(meta.LoadFromBytes(QByteArray(50, 'z')), EInvalidGraphic);

  // Bytes after the header that make no record draw nothing (tests/platform/metafile_test.cpp plays real
  // ones).
  meta.LoadFromBytes(emf);
  QImage target = Filled(30, 20, Qt::white);
  {
    TCanvas canvas(&target);
    canvas.StretchDraw(Rect(5, 5, 25, 15), &meta);
  }
  EXPECT_EQ(target, Filled(30, 20, Qt::white));
}

TEST(Picture, RecognisesEachKindByContentAndKeepsTheOriginalBytesInStreamsAndCopies) {
  const QImage image = Filled(6, 4, QColor(10, 200, 30));
  struct Case {
    QByteArray bytes;
    const char *className;
  };
  const std::vector<Case> cases = {
      {Encoded(image), "TBitmap"},
      {EncodeJpeg(image, 85, false, true), "TJPEGImage"},
      {SmallIcon(), "TIcon"},
      {EnhancedMetafile(254, 254), "TMetafile"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.className);
    TPicture picture;
    picture.LoadFromBytes(c.bytes);
    TPicture copy;
    copy.Assign(&picture);
    EXPECT_EQ(copy.Graphic()->ClassName(), QString::fromLatin1(c.className));
    EXPECT_EQ(copy.SaveToBytes(), c.bytes) << "a copy keeps the original bytes too";

    // A picture inside a larger stream, as in a report template, takes only its own bytes.
    TMemoryStream stream;
    stream.WriteBytes("HEAD" + c.bytes + "TAIL");
    stream.SetPosition(4);
    TPicture loaded;
    loaded.LoadFromStream(&stream);
    EXPECT_EQ(stream.ReadBytes(4), QByteArray("TAIL"));
    TMemoryStream written;
    loaded.SaveToStream(&written);
    EXPECT_EQ(written.Bytes(), c.bytes);
  }
  TPicture picture;
  picture.LoadFromBytes(Encoded(image));
  EXPECT_THROW(picture.LoadFromBytes(QByteArray("GIF89a....")), EInvalidGraphic);
  EXPECT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TBitmap")) << "unchanged after a refused load";
  picture.LoadFromBytes(QByteArray());
  EXPECT_TRUE(picture.Empty());
}

// A small file whose header claims a picture of width x height pixels.
QByteArray JpegClaiming(int width, int height, bool progressive) {
  QByteArray bytes = EncodeJpeg(Filled(8, 8, Qt::gray), 80, false, progressive);
  const qsizetype frame = bytes.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
  qToBigEndian<quint16>(quint16(height), bytes.data() + frame + 5);
  qToBigEndian<quint16>(quint16(width), bytes.data() + frame + 7);
  return bytes;
}

QByteArray Rle8BmpClaiming(int width, int height) {
  QImage image(2, 2, QImage::Format_Indexed8);
  image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  image.fill(1);
  // RLE8 (the rows need not be there), then the end-of-picture code.
  QByteArray bytes = Encoded(image).replace(18, 8, Le32({quint32(width), quint32(height)}));
  bytes.replace(30, 4, Le32({1})).append("\x00\x01", 2);
  return bytes.replace(2, 4, Le32({quint32(bytes.size())}));
}

TEST(Picture, PicturesLargerThanTheLimitAreRefusedAndNothingChanges) {
  const QImage image = Filled(6, 4, QColor(10, 200, 30));
  const QByteArray logo = Encoded(image);
  // A bitmap stored top-down gives its height as a negative number: the limit holds all the same.
  for (const QByteArray &large : {JpegClaiming(8000, 6000, false), JpegClaiming(65000, 65000, true),
                                  Rle8BmpClaiming(8000, 6000), Rle8BmpClaiming(8000, -6000)}) {
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
  // A metafile whose frame is larger is refused as it is read, and one shown larger is refused when drawn
  // into a bitmap.
  TMetafile huge;
  EXPECT_THROW(huge.LoadFromBytes(EnhancedMetafile(100'000'000, 100'000'000)), EInvalidGraphic);
  huge.LoadFromBytes(EnhancedMetafile(2540, 2540));
  huge.SetWidth(10'000);
  huge.SetHeight(10'000);
  TBitmap bitmap;
  bitmap.SetImage(image);
  EXPECT_THROW(bitmap.Assign(&huge), EInvalidGraphic);
  EXPECT_EQ(bitmap.Width(), 6);
  EXPECT_EQ(bitmap.Image().pixel(0, 0), qRgb(10, 200, 30));
}

TEST(Picture, ChangingTheBitmapDropsTheOriginalBytes) {
  const QImage image = Filled(6, 4, Qt::white);
  TPicture picture;
  picture.LoadFromBytes(Encoded(image));
  int changes = 0;
  picture.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  picture.Bitmap()->Canvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(changes, 1);
  TBitmap reread;
  reread.LoadFromBytes(picture.SaveToBytes());
  EXPECT_EQ(Rgb(reread.Image(), 0, 0), 0xFF0000u);

  // Asking a JPEG picture for its bitmap replaces it with an empty bitmap.
  picture.LoadFromBytes(EncodeJpeg(image, 90));
  TBitmap *bitmap = picture.Bitmap();
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(picture.Graphic(), bitmap);
}

TEST(Picture, FilesAreReadAndWrittenWhole) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("logo.bmp"));
  const QByteArray bytes = Encoded(Filled(5, 5, QColor(1, 2, 3)));
  TPicture picture;
  picture.LoadFromBytes(bytes);
  picture.SaveToFile(file);
  TPicture again;
  again.LoadFromFile(file);
  EXPECT_EQ(again.SaveToBytes(), bytes);
  EXPECT_THROW(picture.SaveToFile(dir.filePath(QStringLiteral("no/such/folder/x.bmp"))), EFCreateError);
  EXPECT_THROW(TPicture().SaveToFile(file), EInvalidGraphicOperation);
}

} // namespace
