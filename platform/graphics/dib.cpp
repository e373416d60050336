#include "platform/graphics/dib.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/metafile_records.h"
#include <QtEndian>
#include <climits>

namespace {

constexpr quint32 BI_BITFIELDS = 3;
constexpr quint32 BI_ALPHABITFIELDS = 6;

// The pixels a header claims, or -1 when it is not a bitmap header.
qint64 ClaimedPixels(const QByteArray &info) {
  TRecordReader r(info.constData(), info.size());
  const quint32 headerSize = r.U32(0);
  if (info.size() < 12) return -1;
  if (headerSize == 12) return qint64(r.U16(4)) * r.U16(6);
  if (headerSize < 40 || headerSize > quint32(info.size())) return -1;
  return std::abs(qint64(r.I32(4))) * std::abs(qint64(r.I32(8)));
}

} // namespace

bool DibBottomUp(const QByteArray &info) {
  TRecordReader r(info.constData(), info.size());
  return info.size() < 12 || r.U32(0) == 12 || r.I32(8) >= 0;
}

int DibRows(const QByteArray &info) {
  TRecordReader r(info.constData(), info.size());
  if (info.size() < 12) return 0;
  if (r.U32(0) == 12) return r.U16(6);
  return int(std::min<qint64>(std::abs(qint64(r.I32(8))), INT_MAX));
}

qsizetype DibInfoSize(const QByteArray &packed) {
  if (packed.size() < 12) return -1;
  TRecordReader r(packed.constData(), packed.size());
  const quint32 headerSize = r.U32(0);
  qint64 size = -1;
  if (headerSize == 12) {
    const int bits = r.U16(10);
    size = 12 + (bits <= 8 ? qint64(3) << bits : 0);
  } else if (headerSize >= 40 && headerSize <= quint32(packed.size())) {
    const int bits = r.U16(14);
    const quint32 compression = r.U32(16);
    const quint32 used = r.U32(32);
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
  QByteArray file(14, '\0');
  file[0] = 'B';
  file[1] = 'M';
  qToLittleEndian<quint32>(quint32(14 + info.size() + bits.size()), file.data() + 2);
  qToLittleEndian<quint32>(quint32(14 + info.size()), file.data() + 10);
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
