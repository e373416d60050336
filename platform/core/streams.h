// Byte streams in the class library's shape: TStream (abstract), TMemoryStream and TFileStream.
//
// Read and Write move as many bytes as they can and return the count; ReadBuffer and WriteBuffer move exactly
// the count asked for or raise EReadError "Stream read error" / EWriteError "Stream write error". Integers
// are read and written little-endian, whatever the machine. A descendant (such as a
// BLOB stream) implements Read, Write and Seek, and SetSize when it can change its size.
#pragma once
#include "platform/core/object.h"
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

enum TSeekOrigin {
  soBeginning = 0,
  soCurrent = 1,
  soEnd = 2,
  soFromBeginning = soBeginning,
  soFromCurrent = soCurrent,
  soFromEnd = soEnd
};

class TStream : public TObject {
public:
  QString ClassName() const override { return QStringLiteral("TStream"); }

  // Reads up to Count bytes into Buffer; returns the number read (0 at the end).
  virtual qint64 Read(void *Buffer, qint64 Count) = 0;
  // Writes up to Count bytes from Buffer; returns the number written.
  virtual qint64 Write(const void *Buffer, qint64 Count) = 0;
  // Moves the position; returns the new position.
  virtual qint64 Seek(qint64 Offset, TSeekOrigin Origin) = 0;

  qint64 Position() { return Seek(0, soCurrent); }
  void SetPosition(qint64 Value) { Seek(Value, soBeginning); }
  // The default finds the size by seeking to the end and back.
  virtual qint64 Size();
  // The default cannot change the size: EStreamError.
  virtual void SetSize(qint64 NewSize);

  void ReadBuffer(void *Buffer, qint64 Count);
  void WriteBuffer(const void *Buffer, qint64 Count);
  // Exactly Count bytes (EReadError when fewer remain).
  QByteArray ReadBytes(qint64 Count);
  void WriteBytes(const QByteArray &Bytes);
  // Copies Count bytes from Source's position into this stream; Count 0 copies the whole of Source from its
  // start. Returns the number copied; EReadError when Source runs short.
  qint64 CopyFrom(TStream *Source, qint64 Count);

  quint8 ReadUInt8();
  qint8 ReadInt8();
  quint16 ReadUInt16();
  qint16 ReadInt16();
  qint32 ReadInt32();

  void WriteUInt8(quint8 Value);
  void WriteInt8(qint8 Value);
  void WriteUInt16(quint16 Value);
  void WriteInt16(qint16 Value);
  void WriteInt32(qint32 Value);

private:
  template <typename T>
  T ReadLE();
  template <typename T>
  void WriteLE(T Value);
};

// A stream over bytes in memory. Writing past the end grows it (a gap is filled with zeros); the position
// may be set past the end or before the start, where reads and writes move nothing.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(const QByteArray &Bytes) : data_(Bytes), size_(Bytes.size()) {}
  QString ClassName() const override { return QStringLiteral("TMemoryStream"); }

  qint64 Read(void *Buffer, qint64 Count) override;
  qint64 Write(const void *Buffer, qint64 Count) override;
  qint64 Seek(qint64 Offset, TSeekOrigin Origin) override;
  qint64 Size() override { return size_; }
  // New bytes are zero; the position is kept, even when it now lies past the end.
  void SetSize(qint64 NewSize) override;

  // The stream's content.
  const QByteArray &Bytes() const;
  char *Memory() { return data_.data(); }
  void Clear();
  // Replaces the content with the whole of Stream (read from its start) and rewinds.
  void LoadFromStream(TStream *Stream);
  void LoadFromFile(const QString &FileName);
  // Writes the whole content to Stream at its position, whatever this stream's position.
  void SaveToStream(TStream *Stream);
  void SaveToFile(const QString &FileName);

private:
  // Writing grows the buffer ahead of the content (size_ bytes), so that many small writes cost linear time;
  // Bytes() trims it.
  mutable QByteArray data_;
  qint64 size_ = 0;
  qint64 position_ = 0;
};

// File open modes. fmCreate creates the file or empties an existing one and opens it for reading and
// writing; the other modes open an existing file. The share flags are accepted and have no effect.
enum : quint16 {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00
};

// A stream over a file. Failing to open raises EFOpenError "Cannot open file "<path>". <reason>"; failing to
// create raises EFCreateError "Cannot create file "<path>". <reason>".
class TFileStream : public TStream {
public:
  TFileStream(const QString &FileName, quint16 Mode);
  ~TFileStream() override;
  QString ClassName() const override { return QStringLiteral("TFileStream"); }

  qint64 Read(void *Buffer, qint64 Count) override;
  qint64 Write(const void *Buffer, qint64 Count) override;
  qint64 Seek(qint64 Offset, TSeekOrigin Origin) override;
  qint64 Size() override { return file_.size(); }
  // EStreamError when the file cannot be resized.
  void SetSize(qint64 NewSize) override;
  QString FileName() const { return file_.fileName(); }

private:
  QFile file_;
  bool canRead_ = false;
  bool canWrite_ = false;
};
