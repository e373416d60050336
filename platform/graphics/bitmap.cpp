#include "platform/graphics/bitmap.h"
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QtEndian>
#include <array>

namespace {

quint16 U16(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 U32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
qint32 I32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<qint32>(b.constData() + at); }

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

EInvalidGraphic InvalidBitmap() { return EInvalidGraphic(QStringLiteral("Bitmap image is not valid")); }

int BitsOf(TPixelFormat format) {
  switch (format) {
  case pf1bit: return 1;
  case pf4bit: return 4;
  case pf8bit: return 8;
  case pf15bit:
  case pf16bit: return 16;
  case pf32bit: return 32;
  default: return 24;
  }
}

// The 16 colours of a 4-bit bitmap made without a colour table of its own.
QList<QRgb> StandardColors16() {
  static const std::array<QRgb, 16> colors = {
      0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFF808080,
      0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
  return QList<QRgb>(colors.begin(), colors.end());
}

// Reduces a 32-bit picture to at most 2^bits colours: to `table` when it fits, else to a table of its own.
QImage ToIndexed(const QImage &image, int bits, const QList<QRgb> &table) {
  const qsizetype maxColors = qsizetype(1) << bits;
  const auto flags = Qt::ColorOnly | Qt::ThresholdDither | Qt::AvoidDither;
  if (!table.isEmpty() && table.size() <= maxColors)
    return image.convertToFormat(QImage::Format_Indexed8, table, flags);
  if (bits == 1) return image.convertToFormat(QImage::Format_Indexed8, {0xFF000000, 0xFFFFFFFF}, flags);
  QImage indexed = image.convertToFormat(QImage::Format_Indexed8, flags);
  if (indexed.colorCount() > maxColors)
    indexed = image.convertToFormat(QImage::Format_Indexed8, StandardColors16(), flags);
  return indexed;
}

// A BMP file of the picture in the given pixel format.
QByteArray WriteBmp(const QImage &source, TPixelFormat format, const QList<QRgb> &table, qint32 xppm,
                    qint32 yppm) {
  const int bits = BitsOf(format);
  const int w = source.width(), h = source.height();
  QImage indexed;
  QList<QRgb> palette;
  if (bits <= 8) {
    indexed = ToIndexed(source, bits, table);
    palette = indexed.colorTable();
  }
  const QImage rgb = bits > 8 ? source.convertToFormat(QImage::Format_ARGB32) : QImage();
  const bool bitFields = format == pf16bit;
  const quint32 stride = ((quint32(w) * bits + 31) / 32) * 4;
  const quint32 headerSize = 14 + 40 + (bitFields ? 12 : 0) + quint32(palette.size()) * 4;
  const quint32 imageSize = stride * quint32(h);

  QByteArray out;
  out.reserve(int(headerSize + imageSize));
  out.append("BM", 2);
  Put32(out, headerSize + imageSize);
  Put32(out, 0);
  Put32(out, headerSize);
  Put32(out, 40);
  Put32(out, quint32(w));
  Put32(out, quint32(h)); // rows stored bottom-up
  Put16(out, 1);
  Put16(out, quint16(bits));
  Put32(out, bitFields ? 3 : 0);
  Put32(out, imageSize);
  Put32(out, quint32(xppm));
  Put32(out, quint32(yppm));
  Put32(out, quint32(palette.size()));
  Put32(out, 0);
  if (bitFields) {
    Put32(out, 0xF800);
    Put32(out, 0x07E0);
    Put32(out, 0x001F);
  }
  for (QRgb c : palette) {
    out.append(char(qBlue(c)));
    out.append(char(qGreen(c)));
    out.append(char(qRed(c)));
    out.append(char(0));
  }
  QByteArray row(int(stride), '\0');
  for (int y = h - 1; y >= 0; --y) {
    row.fill('\0');
    auto *d = reinterpret_cast<uchar *>(row.data());
    if (bits <= 8) {
      const uchar *s = indexed.constScanLine(y);
      for (int x = 0; x < w; ++x) {
        const int index = s[x];
        if (bits == 8)
          d[x] = uchar(index);
        else if (bits == 4)
          d[x / 2] |= uchar(x % 2 ? index & 0xF : (index & 0xF) << 4);
        else if (index)
          d[x / 8] |= uchar(0x80 >> (x % 8));
      }
    } else {
      const auto *s = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
      for (int x = 0; x < w; ++x) {
        const QRgb c = s[x];
        if (bits == 16) {
          const quint16 v = bitFields
                                ? quint16(((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3))
                                : quint16(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3));
          d[x * 2] = uchar(v & 0xFF);
          d[x * 2 + 1] = uchar(v >> 8);
        } else {
          uchar *p = d + x * (bits / 8);
          p[0] = uchar(qBlue(c));
          p[1] = uchar(qGreen(c));
          p[2] = uchar(qRed(c));
          if (bits == 32) p[3] = uchar(qAlpha(c));
        }
      }
    }
    out.append(row);
  }
  return out;
}

TPixelFormat FormatFromHeader(const TBitmapFileHeader &h, const QByteArray &bytes) {
  switch (h.bitCount) {
  case 1: return pf1bit;
  case 4: return pf4bit;
  case 8: return pf8bit;
  case 16:
    // 5-6-5 bit fields are pf16bit; the plain 16-bit layout is 5-5-5.
    if (h.compression == 3 && h.infoSize >= 40 && bytes.size() >= 14 + qsizetype(h.infoSize) + 12) {
      const quint32 green = h.infoSize >= 52 ? U32(bytes, 14 + 44) : U32(bytes, 14 + 40 + 4);
      if (green == 0x07E0) return pf16bit;
    }
    return pf15bit;
  case 32: return pf32bit;
  default: return pf24bit;
  }
}

} // namespace

// ---- TGraphic ----

void CheckPictureSize(qint64 Width, qint64 Height) {
  if (Width <= 0 || Height <= 0 || Width * Height <= MaxPicturePixels) return;
  throw EInvalidGraphic(QStringLiteral("The picture is too large: %1 x %2 pixels, more than %3 million")
                            .arg(Width)
                            .arg(Height)
                            .arg(MaxPicturePixels / 1'000'000));
}

void TGraphic::SetWidth(int) {
  throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of a %1").arg(ClassName()));
}

void TGraphic::SetHeight(int) {
  throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of a %1").arg(ClassName()));
}

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  if (OnChange) OnChange(this);
}

QByteArray TGraphic::SaveToBytes() const {
  if (!original_.isEmpty()) return original_;
  if (Empty()) return QByteArray();
  return Encode();
}

void TGraphic::LoadFromStream(TStream *stream) {
  if (!stream) return;
  const qint64 start = stream->Position();
  const qint64 remaining = std::max<qint64>(0, stream->Size() - start);
  QByteArray bytes = stream->ReadBytes(remaining);
  const qsizetype length = DataLength(bytes);
  if (length >= 0 && length < bytes.size()) bytes.truncate(length);
  try {
    LoadFromBytes(bytes);
  } catch (...) {
    stream->SetPosition(start);
    throw;
  }
  stream->SetPosition(start + bytes.size());
}

void TGraphic::SaveToStream(TStream *stream) const {
  if (stream) stream->WriteBytes(SaveToBytes());
}

void TGraphic::LoadFromFile(const QString &fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw EReadError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
  LoadFromBytes(bytes);
}

void TGraphic::SaveToFile(const QString &fileName) const {
  const QByteArray bytes = SaveToBytes();
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
}

void TGraphic::Changed() {
  original_.clear();
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::Loaded(const QByteArray &bytes) {
  original_ = bytes;
  modified_ = false;
  if (OnChange) OnChange(this);
}

// ---- BMP header ----

std::optional<TBitmapFileHeader> ReadBitmapFileHeader(const QByteArray &bytes) {
  if (bytes.size() < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  TBitmapFileHeader h;
  h.fileSize = U32(bytes, 2);
  h.dataOffset = U32(bytes, 10);
  h.infoSize = U32(bytes, 14);
  if (h.infoSize == 12) { // the old OS/2 header
    h.width = U16(bytes, 18);
    h.height = qint16(U16(bytes, 20));
    h.planes = U16(bytes, 22);
    h.bitCount = U16(bytes, 24);
  } else if (h.infoSize >= 40 && h.infoSize <= 124 && bytes.size() >= 14 + 40) {
    h.width = I32(bytes, 18);
    h.height = I32(bytes, 22);
    h.planes = U16(bytes, 26);
    h.bitCount = U16(bytes, 28);
    h.compression = U32(bytes, 30);
    h.imageSize = U32(bytes, 34);
    h.xPelsPerMeter = I32(bytes, 38);
    h.yPelsPerMeter = I32(bytes, 42);
    h.colorsUsed = U32(bytes, 46);
    h.colorsImportant = U32(bytes, 50);
  } else {
    return std::nullopt;
  }
  const qint64 w = h.width, rows = h.height < 0 ? -qint64(h.height) : qint64(h.height);
  const bool knownDepth = h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 ||
                          h.bitCount == 24 || h.bitCount == 32;
  if (w <= 0 || rows <= 0 || h.planes != 1 || !knownDepth) return std::nullopt;
  if (h.compression > 3 && h.compression != 6) return std::nullopt;
  if (h.dataOffset < 14 + h.infoSize || h.dataOffset > quint64(bytes.size())) return std::nullopt;
  if (h.compression == 0 || h.compression == 3) {
    const qint64 stride = ((w * h.bitCount + 31) / 32) * 4;
    if (h.dataOffset + stride * rows > bytes.size()) return std::nullopt;
  }
  return h;
}

// ---- TBitmap ----

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() { canvas_.reset(); }

void TBitmap::ReleaseCanvas() const {
  if (canvas_) canvas_->Release();
}

void TBitmap::ContentChanged() {
  maskedCache_ = QImage();
  Changed();
}

void TBitmap::CanvasChanged(TObject *) { ContentChanged(); }

TCanvas *TBitmap::Canvas() {
  if (!canvas_) {
    if (image_.isNull()) image_ = QImage(0, 0, QImage::Format_RGB32);
    canvas_ = std::make_unique<TCanvas>(&image_);
    canvas_->OnChange = TNotifyEvent(this, &TBitmap::CanvasChanged);
  }
  return canvas_.get();
}

const QImage &TBitmap::Image() const {
  // Ends drawing on the picture, so that whoever holds the image next holds it as it is now.
  ReleaseCanvas();
  return image_;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == Width() && height == Height() && !image_.isNull()) return;
  if (qint64(width) * height > MaxPicturePixels)
    throw EOutOfResources(QStringLiteral("Not enough storage is available to process this command"));
  ReleaseCanvas();
  QImage sized(width, height, pixelFormat_ == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  sized.fill(canvas_ ? ColorToQColor(canvas_->Brush()->Color()) : QColor(Qt::white));
  if (!image_.isNull() && width > 0 && height > 0) {
    QPainter p(&sized);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, image_);
  }
  image_ = sized;
  ContentChanged();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pixelFormat_) return;
  ReleaseCanvas();
  pixelFormat_ = format;
  const int bits = BitsOf(format);
  if (!Empty()) {
    if (bits <= 8) {
      // Reduce the colours now, so that what is drawn is what will be saved.
      const QImage indexed = ToIndexed(image_, bits, colorTable_);
      colorTable_ = indexed.colorTable();
      image_ = indexed.convertToFormat(QImage::Format_RGB32);
    } else {
      colorTable_.clear();
      image_ = image_.convertToFormat(format == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
  } else if (bits > 8) {
    colorTable_.clear();
  }
  ContentChanged();
}

TColor TBitmap::TransparentColor() const {
  if (transparentColor_ != clDefault) return transparentColor_;
  if (Empty()) return clDefault;
  return QColorToColor(QColor(Image().pixel(0, Height() - 1)));
}

void TBitmap::SetTransparentColor(TColor color) {
  transparentColor_ = color;
  maskedCache_ = QImage();
  if (OnChange) OnChange(this);
}

void TBitmap::SetImage(const QImage &image) {
  ReleaseCanvas();
  switch (image.depth()) {
  case 1: pixelFormat_ = pf1bit; break;
  case 8: pixelFormat_ = image.format() == QImage::Format_Indexed8 ? pf8bit : pf24bit; break;
  case 16: pixelFormat_ = pf16bit; break;
  case 32: pixelFormat_ = image.hasAlphaChannel() ? pf32bit : pf24bit; break;
  default: pixelFormat_ = pf24bit; break;
  }
  colorTable_ = image.colorCount() > 0 ? image.colorTable() : QList<QRgb>();
  image_ = image.convertToFormat(pixelFormat_ == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  ContentChanged();
}

void TBitmap::Assign(const TPersistent *source) {
  if (!source) {
    ReleaseCanvas();
    image_ = QImage(0, 0, QImage::Format_RGB32);
    colorTable_.clear();
    pixelFormat_ = pfDevice;
    ContentChanged();
    return;
  }
  if (auto other = dynamic_cast<const TBitmap *>(source)) {
    if (other == this) return;
    ReleaseCanvas();
    image_ = other->Image().copy();
    pixelFormat_ = other->pixelFormat_;
    colorTable_ = other->colorTable_;
    xPelsPerMeter_ = other->xPelsPerMeter_;
    yPelsPerMeter_ = other->yPelsPerMeter_;
    transparentColor_ = other->transparentColor_;
    maskedCache_ = QImage();
    SetTransparent(other->Transparent());
    if (other->OriginalBytes().isEmpty())
      Changed();
    else
      Loaded(other->OriginalBytes());
    return;
  }
  if (auto graphic = dynamic_cast<const TGraphic *>(source)) {
    CheckPictureSize(graphic->Width(), graphic->Height());
    ReleaseCanvas();
    QImage drawn(graphic->Width(), graphic->Height(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    if (!graphic->Empty()) {
      TCanvas canvas(&drawn);
      graphic->Draw(&canvas, Bounds(0, 0, drawn.width(), drawn.height()));
    }
    image_ = drawn;
    pixelFormat_ = pf24bit;
    colorTable_.clear();
    ContentChanged();
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::LoadFromBytes(const QByteArray &bytes) {
  const auto header = ReadBitmapFileHeader(bytes);
  if (!header) throw InvalidBitmap();
  CheckPictureSize(header->width, header->height < 0 ? -qint64(header->height) : qint64(header->height));
  QImage decoded = QImage::fromData(bytes, "BMP");
  if (decoded.isNull() || decoded.width() != header->width) throw InvalidBitmap();
  ReleaseCanvas();
  pixelFormat_ = FormatFromHeader(*header, bytes);
  colorTable_ = header->bitCount <= 8 ? decoded.colorTable() : QList<QRgb>();
  image_ = decoded.convertToFormat(pixelFormat_ == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (pixelFormat_ == pf32bit) {
    // The fourth byte of 32-bit rows is not alpha in plain BMP files: all pixels are opaque.
    for (int y = 0; y < image_.height(); ++y) {
      auto *line = reinterpret_cast<QRgb *>(image_.scanLine(y));
      for (int x = 0; x < image_.width(); ++x) line[x] |= 0xFF000000;
    }
  }
  xPelsPerMeter_ = header->xPelsPerMeter;
  yPelsPerMeter_ = header->yPelsPerMeter;
  maskedCache_ = QImage();
  Loaded(bytes);
}

qsizetype TBitmap::DataLength(const QByteArray &bytes) const {
  const auto header = ReadBitmapFileHeader(bytes);
  if (!header) return -1;
  // The file size field when it is plausible, else the pixel rows' end.
  if (header->fileSize >= header->dataOffset && header->fileSize <= quint64(bytes.size()))
    return header->fileSize;
  if (header->compression == 0 || header->compression == 3) {
    const qint64 rows = header->height < 0 ? -qint64(header->height) : header->height;
    return header->dataOffset + ((qint64(header->width) * header->bitCount + 31) / 32) * 4 * rows;
  }
  if (header->imageSize > 0 && header->dataOffset + quint64(header->imageSize) <= quint64(bytes.size()))
    return header->dataOffset + header->imageSize;
  return -1;
}

QByteArray TBitmap::Encode() const {
  return WriteBmp(Image(), pixelFormat_, colorTable_, xPelsPerMeter_, yPelsPerMeter_);
}

void TBitmap::Draw(TCanvas *canvas, const TRect &r) const {
  if (!canvas || Empty()) return;
  const QImage &pixels = Image();
  if (!Transparent()) {
    canvas->DrawImage(r, pixels, pixels.rect());
    return;
  }
  const TColor key = TransparentColor();
  if (maskedCache_.isNull() || maskedColor_ != key) {
    maskedCache_ = pixels.convertToFormat(QImage::Format_ARGB32);
    const QRgb rgb = ColorToQColor(key).rgb() & 0xFFFFFF;
    for (int y = 0; y < maskedCache_.height(); ++y) {
      auto *line = reinterpret_cast<QRgb *>(maskedCache_.scanLine(y));
      for (int x = 0; x < maskedCache_.width(); ++x)
        if ((line[x] & 0xFFFFFF) == rgb) line[x] = 0;
    }
    maskedColor_ = key;
  }
  canvas->DrawImage(r, maskedCache_, maskedCache_.rect());
}

// ---- TIcon ----

namespace {

EInvalidGraphic InvalidIcon() { return EInvalidGraphic(QStringLiteral("Icon image is not valid")); }

} // namespace

TIcon::TIcon() { SetTransparent(true); }

void TIcon::Assign(const TPersistent *source) {
  if (!source) {
    image_ = QImage();
    Changed();
    return;
  }
  if (auto other = dynamic_cast<const TIcon *>(source)) {
    if (other == this) return;
    image_ = other->image_;
    Loaded(other->OriginalBytes());
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::LoadFromBytes(const QByteArray &bytes) {
  if (bytes.size() < 6 || U16(bytes, 0) != 0 || (U16(bytes, 2) != 1 && U16(bytes, 2) != 2))
    throw InvalidIcon();
  const int count = U16(bytes, 4);
  if (count == 0 || bytes.size() < 6 + 16 * count) throw InvalidIcon();
  // The largest image, the deepest of those.
  int best = -1;
  qint64 bestArea = -1;
  int bestBits = -1;
  for (int i = 0; i < count; ++i) {
    const qsizetype e = 6 + 16 * i;
    const int w = uchar(bytes[e]) ? uchar(bytes[e]) : 256;
    const int h = uchar(bytes[e + 1]) ? uchar(bytes[e + 1]) : 256;
    const int bits = U16(bytes, e + 6);
    const quint32 size = U32(bytes, e + 8), offset = U32(bytes, e + 12);
    if (offset >= quint64(bytes.size()) || size > quint64(bytes.size()) - offset) continue;
    const qint64 area = qint64(w) * h;
    if (area > bestArea || (area == bestArea && bits > bestBits)) {
      best = i;
      bestArea = area;
      bestBits = bits;
    }
  }
  if (best < 0) throw InvalidIcon();
  // Qt's icon reader decodes the chosen image, bitmap or PNG, with its transparency mask.
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  QImage image;
  if (reader.jumpToImage(best)) {
    // An entry may hold a PNG of any size, whatever the directory says.
    const QSize size = reader.size();
    if (size.isValid()) CheckPictureSize(size.width(), size.height());
    image = reader.read().convertToFormat(QImage::Format_ARGB32);
  }
  if (image.isNull()) throw InvalidIcon();
  CheckPictureSize(image.width(), image.height());
  image_ = image;
  Loaded(bytes);
}

qsizetype TIcon::DataLength(const QByteArray &bytes) const {
  if (bytes.size() < 6) return -1;
  const int count = U16(bytes, 4);
  if (bytes.size() < 6 + 16 * count) return -1;
  qint64 end = 6 + 16 * count;
  for (int i = 0; i < count; ++i)
    end = std::max<qint64>(end, qint64(U32(bytes, 6 + 16 * i + 12)) + U32(bytes, 6 + 16 * i + 8));
  return end <= bytes.size() ? qsizetype(end) : -1;
}

void TIcon::Draw(TCanvas *canvas, const TRect &r) const {
  if (canvas && !Empty()) canvas->DrawImage(r, image_, image_.rect());
}
