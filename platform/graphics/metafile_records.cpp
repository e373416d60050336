#include "platform/graphics/metafile_records.h"
#include <QtEndian>
#include <cstring>

bool TRecordReader::Check(qint64 at, qint64 length) {
  if (Has(at, length)) return true;
  failed_ = true;
  return false;
}

quint8 TRecordReader::U8(qint64 at) { return Check(at, 1) ? quint8(data_[at]) : 0; }

quint16 TRecordReader::U16(qint64 at) { return Check(at, 2) ? qFromLittleEndian<quint16>(data_ + at) : 0; }

quint32 TRecordReader::U32(qint64 at) { return Check(at, 4) ? qFromLittleEndian<quint32>(data_ + at) : 0; }

float TRecordReader::F32(qint64 at) {
  const quint32 bits = U32(at);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

QByteArray TRecordReader::Bytes(qint64 at, qint64 length) {
  return Check(at, length) ? QByteArray(data_ + at, qsizetype(length)) : QByteArray();
}

QPolygonF TRecordReader::Points(qint64 at, qint64 count, bool sixteenBit) {
  const int size = sixteenBit ? 4 : 8;
  // The count is checked against the bytes before anything is reserved for it.
  if (count < 0 || count > size_ / size || !Check(at, count * size)) {
    failed_ = true;
    return {};
  }
  QPolygonF points;
  points.reserve(qsizetype(count));
  for (qint64 i = 0; i < count; ++i) {
    const qint64 p = at + i * size;
    if (sixteenBit)
      points.append(QPointF(I16(p), I16(p + 2)));
    else
      points.append(QPointF(I32(p), I32(p + 4)));
  }
  return points;
}

QList<qint32> TRecordReader::Numbers(qint64 at, qint64 count, bool sixteenBit) {
  const int size = sixteenBit ? 2 : 4;
  if (count < 0 || count > size_ / size || !Check(at, count * size)) {
    failed_ = true;
    return {};
  }
  QList<qint32> numbers;
  numbers.reserve(qsizetype(count));
  for (qint64 i = 0; i < count; ++i) numbers.append(sixteenBit ? I16(at + i * size) : I32(at + i * size));
  return numbers;
}
