// Writers of small metafiles for tests: an enhanced metafile, or a Windows metafile with or without the
// placeable header, built record by record (numbers little-endian), the header's sizes and counts filled in
// when the bytes are taken.
#pragma once
#include "platform/graphics/bitmap.h"
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <cstring>
#include <initializer_list>
#include <optional>

namespace test {

inline void PutLittleEndian(QByteArray &b, quint64 value, int size) {
  for (int i = 0; i < size; ++i) b.append(char((value >> (8 * i)) & 0xFF));
}

// A COLORREF.
inline quint32 ColorRef(const QColor &c) { return quint32(c.red() | c.green() << 8 | c.blue() << 16); }

// A packed bitmap (BITMAPINFO and rows) of the image, 24 bits per pixel, rows bottom-up: a BMP file without
// its 14-byte file header. Its BITMAPINFO is the first 40 bytes.
inline QByteArray PackedDib(const QImage &image) {
  TBitmap bitmap;
  bitmap.SetImage(image.convertToFormat(QImage::Format_RGB32));
  bitmap.SetPixelFormat(pf24bit);
  return bitmap.SaveToBytes().mid(14);
}

class EmfWriter {
public:
  // A picture frame of width x height pixels of a reference device with `pixelsPerMillimetre`.
  explicit EmfWriter(int width = 100, int height = 100, int pixelsPerMillimetre = 10)
      : width_(width), height_(height), ppm_(pixelsPerMillimetre) {}

  // A record of 32-bit numbers.
  EmfWriter &Add(quint32 type, std::initializer_list<qint64> numbers) {
    QByteArray params;
    for (qint64 n : numbers) PutLittleEndian(params, quint64(n), 4);
    return AddRaw(type, params);
  }
  // A record of any bytes (padded to four).
  EmfWriter &AddRaw(quint32 type, QByteArray params) {
    while (params.size() % 4) params.append('\0');
    PutLittleEndian(records_, type, 4);
    PutLittleEndian(records_, quint64(params.size() + 8), 4);
    records_.append(params);
    ++count_;
    return *this;
  }
  // Bytes appended as they are (a damaged record).
  EmfWriter &Append(const QByteArray &bytes) {
    records_.append(bytes);
    return *this;
  }

  EmfWriter &MapMode(int mode) { return Add(17, {mode}); }
  EmfWriter &WindowExt(int x, int y) { return Add(9, {x, y}); }
  EmfWriter &WindowOrg(int x, int y) { return Add(10, {x, y}); }
  EmfWriter &ViewportExt(int x, int y) { return Add(11, {x, y}); }
  EmfWriter &ViewportOrg(int x, int y) { return Add(12, {x, y}); }
  EmfWriter &Brush(int index, const QColor &color, int style = 0, int hatch = 0) {
    return Add(39, {index, style, ColorRef(color), hatch});
  }
  EmfWriter &Pen(int index, const QColor &color, int width = 0, int style = 0) {
    return Add(38, {index, style, width, 0, ColorRef(color)});
  }
  EmfWriter &Select(qint64 handle) { return Add(37, {handle}); }
  EmfWriter &Delete(int index) { return Add(40, {index}); }
  EmfWriter &Rectangle(int l, int t, int r, int b) { return Add(43, {l, t, r, b}); }
  EmfWriter &Ellipse(int l, int t, int r, int b) { return Add(42, {l, t, r, b}); }
  EmfWriter &SaveDC() { return Add(33, {}); }
  EmfWriter &RestoreDC(int which) { return Add(34, {which}); }
  EmfWriter &IntersectClip(int l, int t, int r, int b) { return Add(30, {l, t, r, b}); }
  EmfWriter &ExcludeClip(int l, int t, int r, int b) { return Add(29, {l, t, r, b}); }
  // A clip region of one rectangle (in the reference device's pixels) combined by `mode` (RGN_COPY by
  // default); none resets the clip.
  EmfWriter &ClipRegion(std::optional<QRect> rect, int mode = 5) {
    if (!rect) return Add(75, {0, mode});
    const qint64 l = rect->left(), t = rect->top(), r = rect->right() + 1, b = rect->bottom() + 1;
    return Add(75, {48, mode, 32, 1, 1, 16, l, t, r, b, l, t, r, b});
  }
  EmfWriter &TextColor(const QColor &color) { return Add(24, {ColorRef(color)}); }
  EmfWriter &BkColor(const QColor &color) { return Add(25, {ColorRef(color)}); }
  EmfWriter &BkMode(int mode) { return Add(18, {mode}); }
  EmfWriter &TextAlign(int align) { return Add(22, {align}); }
  // A transform of six numbers (m11, m12, m21, m22, dx, dy).
  EmfWriter &WorldTransform(std::initializer_list<float> m, int modify = 0) {
    QByteArray params;
    for (float v : m) {
      quint32 bits;
      std::memcpy(&bits, &v, 4);
      PutLittleEndian(params, bits, 4);
    }
    if (modify) PutLittleEndian(params, quint64(modify), 4);
    return AddRaw(modify ? 36 : 35, params);
  }
  // A font of the given height (negative: em size) and average character width (0: the face's) in logical
  // units.
  EmfWriter &Font(int index, int height, const QString &face, int charset = 0, int weight = 400,
                  int escapement = 0, int width = 0) {
    QByteArray params;
    for (qint64 n :
         {qint64(index), qint64(height), qint64(width), qint64(escapement), qint64(0), qint64(weight)})
      PutLittleEndian(params, quint64(n), 4);
    params.append(char(0)).append(char(0)).append(char(0)).append(char(charset));
    params.append(QByteArray(4, '\0'));
    for (int i = 0; i < 32; ++i) PutLittleEndian(params, i < face.size() ? face[i].unicode() : 0, 2);
    return AddRaw(82, params);
  }
  // ExtTextOutW (or A, with `bytes` of the font's character set) at x, y; dx per character when given.
  EmfWriter &Text(int x, int y, const QString &text, QList<int> dx = {}, unsigned options = 0,
                  QRect rect = QRect()) {
    QByteArray chars;
    for (QChar c : text) PutLittleEndian(chars, c.unicode(), 2);
    return TextRecord(84, x, y, chars, int(text.size()), dx, options, rect);
  }
  EmfWriter &TextA(int x, int y, const QByteArray &bytes) {
    return TextRecord(83, x, y, bytes, int(bytes.size()), {}, 0, {});
  }
  // StretchDIBits of the image's source rectangle (counted from the bitmap's bottom row) onto x, y, w, h.
  EmfWriter &StretchDib(int x, int y, int w, int h, const QImage &image, QRect source = QRect(),
                        quint32 rop = 0x00CC0020) {
    if (source.isNull()) source = QRect(QPoint(), image.size());
    const QByteArray dib = PackedDib(image);
    const qint64 offBmi = 80, offBits = offBmi + 40;
    QByteArray params;
    for (qint64 n : {qint64(0), qint64(0), qint64(0), qint64(0), qint64(x), qint64(y), qint64(source.x()),
                     qint64(source.y()), qint64(source.width()), qint64(source.height()), offBmi, qint64(40),
                     offBits, qint64(dib.size() - 40), qint64(0), qint64(rop), qint64(w), qint64(h)})
      PutLittleEndian(params, quint64(n), 4);
    return AddRaw(81, params + dib);
  }

  QByteArray Bytes() const {
    QByteArray eof;
    for (qint64 n : {14, 20, 0, 16, 20}) PutLittleEndian(eof, quint64(n), 4);
    const qint64 total = 88 + records_.size() + eof.size();
    QByteArray out;
    for (qint64 n : {qint64(1), qint64(88), qint64(0), qint64(0), qint64(width_ - 1), qint64(height_ - 1),
                     qint64(0), qint64(0), qint64(width_ * 100 / ppm_), qint64(height_ * 100 / ppm_),
                     qint64(0x464D4520), qint64(0x10000), total, qint64(count_ + 2)})
      PutLittleEndian(out, quint64(n), 4);
    PutLittleEndian(out, 64, 2); // handles
    PutLittleEndian(out, 0, 2);
    for (qint64 n : {qint64(0), qint64(0), qint64(0), qint64(ppm_ * 1000), qint64(ppm_ * 1000), qint64(1000),
                     qint64(1000)})
      PutLittleEndian(out, quint64(n), 4);
    return out + records_ + eof;
  }

private:
  EmfWriter &TextRecord(quint32 type, int x, int y, const QByteArray &chars, int count, const QList<int> &dx,
                        unsigned options, QRect rect) {
    const qint64 offString = 76, offDx = dx.isEmpty() ? 0 : offString + (chars.size() + 3) / 4 * 4;
    QByteArray params;
    for (qint64 n :
         {qint64(0), qint64(0), qint64(0), qint64(0), qint64(1), qint64(0), qint64(0), qint64(x), qint64(y),
          qint64(count), offString, qint64(options), qint64(rect.left()), qint64(rect.top()),
          qint64(rect.isNull() ? 0 : rect.right() + 1), qint64(rect.isNull() ? 0 : rect.bottom() + 1), offDx})
      PutLittleEndian(params, quint64(n), 4);
    params.append(chars);
    while (params.size() % 4) params.append('\0');
    for (int d : dx) PutLittleEndian(params, quint64(qint64(d)), 4);
    return AddRaw(type, params);
  }

  int width_, height_, ppm_;
  QByteArray records_;
  int count_ = 0;
};

class WmfWriter {
public:
  // A placeable metafile whose bounding box is left, top, right, bottom in units of which `inch` make an
  // inch; `placeable` false leaves the placeable header out.
  WmfWriter(int left, int top, int right, int bottom, int inch = 1440, bool placeable = true)
      : box_{left, top, right, bottom}, inch_(inch), placeable_(placeable) {}

  // A record of 16-bit words.
  WmfWriter &Add(quint16 function, std::initializer_list<int> words) {
    QByteArray params;
    for (int w : words) PutLittleEndian(params, quint64(quint16(w)), 2);
    return AddRaw(function, params);
  }
  WmfWriter &AddRaw(quint16 function, QByteArray params) {
    if (params.size() % 2) params.append('\0');
    PutLittleEndian(records_, quint64(3 + params.size() / 2), 4);
    PutLittleEndian(records_, function, 2);
    records_.append(params);
    maxRecord_ = std::max<qint64>(maxRecord_, 3 + params.size() / 2);
    return *this;
  }

  WmfWriter &WindowOrg(int x, int y) { return Add(0x020B, {y, x}); }
  WmfWriter &WindowExt(int x, int y) { return Add(0x020C, {y, x}); }
  WmfWriter &Brush(const QColor &color, int style = 0, int hatch = 0) {
    const quint32 c = ColorRef(color);
    return Add(0x02FC, {style, int(c & 0xFFFF), int(c >> 16), hatch});
  }
  WmfWriter &Pen(const QColor &color, int width = 0, int style = 0) {
    const quint32 c = ColorRef(color);
    return Add(0x02FA, {style, width, 0, int(c & 0xFFFF), int(c >> 16)});
  }
  WmfWriter &Select(int slot) { return Add(0x012D, {slot}); }
  WmfWriter &Delete(int slot) { return Add(0x01F0, {slot}); }
  WmfWriter &Rectangle(int l, int t, int r, int b) { return Add(0x041B, {b, r, t, l}); }
  WmfWriter &SaveDC() { return Add(0x001E, {}); }
  WmfWriter &RestoreDC(int which) { return Add(0x0127, {which}); }
  WmfWriter &IntersectClip(int l, int t, int r, int b) { return Add(0x0416, {b, r, t, l}); }
  WmfWriter &Font(int height, const QByteArray &face, int charset = 0) {
    QByteArray params;
    for (int w : {height, 0, 0, 0, 400}) PutLittleEndian(params, quint64(quint16(w)), 2);
    params.append(char(0)).append(char(0)).append(char(0)).append(char(charset));
    params.append(QByteArray(4, '\0')).append(face).append('\0');
    return AddRaw(0x02FB, params);
  }
  WmfWriter &TextOut(int x, int y, const QByteArray &text) {
    QByteArray params;
    PutLittleEndian(params, quint64(text.size()), 2);
    params.append(text);
    if (params.size() % 2) params.append('\0');
    PutLittleEndian(params, quint64(quint16(y)), 2);
    PutLittleEndian(params, quint64(quint16(x)), 2);
    return AddRaw(0x0521, params);
  }
  // StretchDIB of the whole image onto x, y, w, h.
  WmfWriter &StretchDib(int x, int y, int w, int h, const QImage &image) {
    QByteArray params;
    PutLittleEndian(params, 0x00CC0020, 4);
    for (int v : {0, image.height(), image.width(), 0, 0, h, w, y, x})
      PutLittleEndian(params, quint64(quint16(v)), 2);
    return AddRaw(0x0F43, params + PackedDib(image));
  }

  QByteArray Bytes() const {
    QByteArray records = records_;
    PutLittleEndian(records, 3, 4);
    PutLittleEndian(records, 0, 2);
    QByteArray out;
    if (placeable_) {
      QByteArray head;
      PutLittleEndian(head, 0x9AC6CDD7u, 4);
      PutLittleEndian(head, 0, 2);
      for (int v : box_) PutLittleEndian(head, quint64(quint16(v)), 2);
      PutLittleEndian(head, quint64(inch_), 2);
      PutLittleEndian(head, 0, 4);
      quint16 sum = 0;
      for (int i = 0; i < 20; i += 2) sum ^= quint16(quint8(head[i]) | quint8(head[i + 1]) << 8);
      PutLittleEndian(head, sum, 2);
      out = head;
    }
    const qint64 words = 9 + records.size() / 2;
    for (int v : {1, 9, 0x300}) PutLittleEndian(out, quint64(v), 2);
    PutLittleEndian(out, quint64(words), 4);
    PutLittleEndian(out, 16, 2); // objects
    PutLittleEndian(out, quint64(maxRecord_), 4);
    PutLittleEndian(out, 0, 2);
    return out + records;
  }

private:
  int box_[4];
  int inch_;
  bool placeable_;
  QByteArray records_;
  qint64 maxRecord_ = 3;
};

} // namespace test
