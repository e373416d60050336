#include "platform/core/streams.h"
#include <QtEndian>
#include <algorithm>
#include <cstring>

// ---- TStream ----

qint64 TStream::Size() {
  const qint64 position = Seek(0, soCurrent);
  const qint64 size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(qint64) {
  throw EStreamError(QStringLiteral("%1 cannot change its size").arg(ClassName()));
}

void TStream::ReadBuffer(void *Buffer, qint64 Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void *Buffer, qint64 Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError(QStringLiteral("Stream write error"));
}

QByteArray TStream::ReadBytes(qint64 Count) {
  if (Count < 0) throw EReadError(QStringLiteral("Stream read error"));
  // Do not trust a count read from damaged data with a huge allocation: never more than what remains.
  const qint64 remaining = Size() - Position();
  if (Count > remaining) throw EReadError(QStringLiteral("Stream read error"));
  QByteArray bytes(Count, Qt::Uninitialized);
  ReadBuffer(bytes.data(), Count);
  return bytes;
}

void TStream::WriteBytes(const QByteArray &Bytes) { WriteBuffer(Bytes.constData(), Bytes.size()); }

qint64 TStream::CopyFrom(TStream *Source, qint64 Count) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  constexpr qint64 chunk = 64 * 1024;
  QByteArray buffer(std::min(Count, chunk), Qt::Uninitialized);
  for (qint64 left = Count; left > 0;) {
    const qint64 n = std::min(left, chunk);
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.constData(), n);
    left -= n;
  }
  return Count;
}

template <typename T>
T TStream::ReadLE() {
  unsigned char bytes[sizeof(T)];
  ReadBuffer(bytes, sizeof(T));
  return qFromLittleEndian<T>(bytes);
}

template <typename T>
void TStream::WriteLE(T Value) {
  unsigned char bytes[sizeof(T)];
  qToLittleEndian(Value, bytes);
  WriteBuffer(bytes, sizeof(T));
}

quint8 TStream::ReadUInt8() { return ReadLE<quint8>(); }
qint8 TStream::ReadInt8() { return qint8(ReadLE<quint8>()); }
quint16 TStream::ReadUInt16() { return ReadLE<quint16>(); }
qint16 TStream::ReadInt16() { return ReadLE<qint16>(); }
qint32 TStream::ReadInt32() { return ReadLE<qint32>(); }

void TStream::WriteUInt8(quint8 Value) { WriteLE(Value); }
void TStream::WriteInt8(qint8 Value) { WriteLE(quint8(Value)); }
void TStream::WriteUInt16(quint16 Value) { WriteLE(Value); }
void TStream::WriteInt16(qint16 Value) { WriteLE(Value); }
void TStream::WriteInt32(qint32 Value) { WriteLE(Value); }

// ---- TMemoryStream ----

qint64 TMemoryStream::Read(void *Buffer, qint64 Count) {
  if (position_ < 0 || Count <= 0 || position_ >= size_) return 0;
  const qint64 n = std::min(Count, size_ - position_);
  std::memcpy(Buffer, data_.constData() + position_, size_t(n));
  position_ += n;
  return n;
}

qint64 TMemoryStream::Write(const void *Buffer, qint64 Count) {
  if (position_ < 0 || Count <= 0) return 0;
  const qint64 end = position_ + Count;
  if (end > data_.size()) data_.resize(std::max(end, data_.size() + data_.size() / 2 + 64));
  if (position_ > size_) std::memset(data_.data() + size_, 0, size_t(position_ - size_));
  std::memcpy(data_.data() + position_, Buffer, size_t(Count));
  position_ = end;
  size_ = std::max(size_, end);
  return Count;
}

qint64 TMemoryStream::Seek(qint64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
  case soBeginning: position_ = Offset; break;
  case soCurrent: position_ += Offset; break;
  case soEnd: position_ = size_ + Offset; break;
  }
  return position_;
}

void TMemoryStream::SetSize(qint64 NewSize) {
  if (NewSize < 0) throw EStreamError(QStringLiteral("Invalid stream size %1").arg(NewSize));
  if (NewSize > data_.size()) data_.resize(NewSize);
  if (NewSize > size_) std::memset(data_.data() + size_, 0, size_t(NewSize - size_));
  size_ = NewSize;
}

const QByteArray &TMemoryStream::Bytes() const {
  if (data_.size() != size_) data_.resize(size_);
  return data_;
}

void TMemoryStream::Clear() {
  data_.clear();
  size_ = 0;
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream *Stream) {
  Stream->SetPosition(0);
  const qint64 size = Stream->Size();
  QByteArray bytes(size, Qt::Uninitialized);
  Stream->ReadBuffer(bytes.data(), size);
  data_ = bytes;
  size_ = size;
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const QString &FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TMemoryStream::SaveToStream(TStream *Stream) { Stream->WriteBuffer(data_.constData(), size_); }

void TMemoryStream::SaveToFile(const QString &FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

// ---- TFileStream ----

TFileStream::TFileStream(const QString &FileName, quint16 Mode) : file_(FileName) {
  if (Mode == fmCreate) {
    if (!file_.open(QIODevice::ReadWrite | QIODevice::Truncate))
      throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file_.errorString()));
    canRead_ = canWrite_ = true;
    return;
  }
  const int access = Mode & 0x3;
  // Qt empties a file opened write-only, so writing without reading opens it read-write and refuses reads.
  const QIODevice::OpenMode open = access == fmOpenRead ? QIODevice::ReadOnly : QIODevice::ReadWrite;
  if (access > fmOpenReadWrite || !file_.open(open | QIODevice::ExistingOnly)) {
    const QString reason =
        access > fmOpenReadWrite ? QStringLiteral("Invalid file mode") : file_.errorString();
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, reason));
  }
  canRead_ = access != fmOpenWrite;
  canWrite_ = access != fmOpenRead;
}

TFileStream::~TFileStream() = default;

qint64 TFileStream::Read(void *Buffer, qint64 Count) {
  if (!canRead_ || Count <= 0) return 0;
  return std::max<qint64>(0, file_.read(static_cast<char *>(Buffer), Count));
}

qint64 TFileStream::Write(const void *Buffer, qint64 Count) {
  if (!canWrite_ || Count <= 0) return 0;
  return std::max<qint64>(0, file_.write(static_cast<const char *>(Buffer), Count));
}

qint64 TFileStream::Seek(qint64 Offset, TSeekOrigin Origin) {
  qint64 target = Offset;
  if (Origin == soCurrent) target += file_.pos();
  if (Origin == soEnd) target += file_.size();
  if (target >= 0) file_.seek(target);
  return file_.pos();
}

void TFileStream::SetSize(qint64 NewSize) {
  if (!canWrite_ || NewSize < 0 || !file_.resize(NewSize))
    throw EStreamError(QStringLiteral("Cannot change the size of \"%1\"").arg(file_.fileName()));
  if (file_.pos() > NewSize) file_.seek(NewSize);
}
