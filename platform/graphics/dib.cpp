#include "platform/graphics/dib.h"
#include "platform/graphics/bitmap.h"
#include <QtEndian>
#include <climits>

namespace {

constexpr quint32 BI_BITFIELDS = 3;
constexpr quint32 BI_ALPHABITFIELDS = 6;

quint32 U32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 U16(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }

void Put32(QByteArray &b, quint32 v) {
  char c[4];
  qToLittleEndian(v, c);
  b.append(c, 4);
}

// The pixels a header claims, or -1 when it is not a bitmap header.
qint64 ClaimedPixels(const QByteArray &info) {
  if (info.size() < 12) return -1;
  const quint32 headerSize = U32(info, 0);
  if (headerSize == 12) return qint64(U16(info, 4)) * U16(info, 6);
  if (headerSize < 40 || headerSize > quint32(info.size())) return -1;
  const qint64 width = qint32(U32(info, 4)), height = qint32(U32(info, 8));
  return std::abs(width) * std::abs(height);
}

} // namespace

bool DibBottomUp(const QByteArray &info) {
  if (info.size() < 12 || U32(info, 0) == 12) return true;
  return qint32(U32(info, 8)) >= 0;
}

int DibRows(const QByteArray &info) {
  if (info.size() < 12) return 0;
  if (U32(info, 0) == 12) return U16(info, 6);
  return int(std::min<qint64>(std::abs(qint64(qint32(U32(info, 8)))), INT_MAX));
}

qsizetype DibInfoSize(const QByteArray &packed) {
  if (packed.size() < 12) return -1;
  const quint32 headerSize = U32(packed, 0);
  qint64 size = -1;
  if (headerSize == 12) {
    const int bits = U16(packed, 10);
    size = 12 + (bits <= 8 ? qint64(3) << bits : 0);
  } else if (headerSize >= 40 && headerSize <= quint32(packed.size())) {
    const int bits = U16(packed, 14);
    const quint32 compression = U32(packed, 16);
    const quint32 used = U32(packed, 32);
    const qint64 colors = used ? qint64(used) : bits <= 8 ? qint64(1) << bits : 0;
    qint64 masks = 0;
    if (headerSize == 40 && compression == BI_BITFIELDS) masks = 12;
    if (headerSize == 40 && compression == BI_ALPHABITFIELDS) masks = 16;
    size = headerSize + masks + 4 * colors;
  }
  return size >= 0 && size <= packed.size() ? qsizetype(size) : -1;
}

QImage DecodeDib(const QByteArray &info, const QByteArray &bits, qint64 &pixelBudget) {
  const qint64 pixels = ClaimedPixels(info);
  if (pixels <= 0 || pixels > pixelBudget || bits.isEmpty()) return {};
  pixelBudget -= pixels;
  // The BMP file header: signature, file size, two reserved words, where the rows start.
  QByteArray file("BM", 2);
  Put32(file, quint32(14 + info.size() + bits.size()));
  Put32(file, 0);
  Put32(file, quint32(14 + info.size()));
  file.append(info).append(bits);
  TBitmap bitmap;
  try {
    bitmap.LoadFromBytes(file);
  } catch (const EInvalidGraphic &) {
    return {};
  }
  return bitmap.Image();
}

QImage DecodePackedDib(const QByteArray &packed, qint64 &pixelBudget) {
  const qsizetype infoSize = DibInfoSize(packed);
  if (infoSize < 0) return {};
  return DecodeDib(packed.left(infoSize), packed.mid(infoSize), pixelBudget);
}
