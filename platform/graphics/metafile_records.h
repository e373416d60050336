// Reading the records of a metafile: little-endian numbers at offsets inside one record, each read checked
// against the bytes the record has. A read past the end gives 0 and marks the reader failed, so that a
// record's handler reads its fields and then asks once whether they were all there.
#pragma once
#include <QByteArray>
#include <QPolygonF>
#include <QtGlobal>

class TRecordReader {
public:
  TRecordReader(const char *data, qsizetype size) : data_(data), size_(size) {}

  qsizetype Size() const { return size_; }
  bool Failed() const { return failed_; }
  // For a check of the handler's own (a count that cannot fit).
  void MarkFailed() { failed_ = true; }
  // True when `length` bytes from `at` lie inside the record (nothing is marked).
  bool Has(qint64 at, qint64 length) const { return at >= 0 && length >= 0 && at <= size_ - length; }

  quint8 U8(qint64 at);
  quint16 U16(qint64 at);
  qint16 I16(qint64 at) { return qint16(U16(at)); }
  quint32 U32(qint64 at);
  qint32 I32(qint64 at) { return qint32(U32(at)); }
  float F32(qint64 at);
  // The `length` bytes at `at` (a copy), or nothing when they are not all there.
  QByteArray Bytes(qint64 at, qint64 length);
  // `count` points of two 16-bit or two 32-bit signed numbers each, from `at`.
  QPolygonF Points(qint64 at, qint64 count, bool sixteenBit);
  // `count` 32-bit signed numbers (sixteenBit: 16-bit ones) from `at`.
  QList<qint32> Numbers(qint64 at, qint64 count, bool sixteenBit);

private:
  bool Check(qint64 at, qint64 length);

  const char *data_;
  qsizetype size_;
  bool failed_ = false;
};
