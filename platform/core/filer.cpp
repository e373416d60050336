#include "platform/core/filer.h"
#include "platform/core/streams.h"
#include "platform/core/text_encoding.h"
#include <utility>

// ---- TWriter ----

void TWriter::WriteValue(TValueType Value) { stream_->WriteUInt8(Value); }

void TWriter::WriteInteger(qint32 Value) {
  if (Value >= -128 && Value <= 127) {
    WriteValue(vaInt8);
    stream_->WriteInt8(qint8(Value));
  } else if (Value >= -32768 && Value <= 32767) {
    WriteValue(vaInt16);
    stream_->WriteInt16(qint16(Value));
  } else {
    WriteValue(vaInt32);
    stream_->WriteInt32(Value);
  }
}

void TWriter::WriteString(const QString &Value) {
  if (!IsWindows1252(Value)) {
    const QByteArray utf8 = Value.toUtf8();
    WriteValue(vaUTF8String);
    stream_->WriteInt32(qint32(utf8.size()));
    stream_->WriteBytes(utf8);
    return;
  }
  const QByteArray bytes = ToWindows1252(Value);
  if (bytes.size() <= 255) {
    WriteValue(vaString);
    stream_->WriteUInt8(quint8(bytes.size()));
  } else {
    WriteValue(vaLString);
    stream_->WriteInt32(qint32(bytes.size()));
  }
  stream_->WriteBytes(bytes);
}

void TWriter::WriteStr(const QString &Value) {
  const QByteArray bytes = ToWindows1252(Value);
  if (bytes.size() > 255) throw EWriteError(QStringLiteral("Name too long to store: %1").arg(Value.left(40)));
  stream_->WriteUInt8(quint8(bytes.size()));
  stream_->WriteBytes(bytes);
}

void TWriter::WriteProperties(TPersistent *Instance) {
  Instance->DefineProperties(this);
  WriteListEnd();
}

void TWriter::DefineProperty(const QString &Name, const TReaderProc &, const TWriterProc &WriteData,
                             bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const QString &Name, const TStreamProc &, const TStreamProc &WriteData,
                                   bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream data;
  WriteData(&data);
  WritePropName(Name);
  WriteValue(vaBinary);
  stream_->WriteInt32(qint32(data.Size()));
  stream_->WriteBytes(data.Bytes());
}

// ---- TReader ----

void TReader::InvalidValue() { throw EReadError(QStringLiteral("Invalid property value")); }

TValueType TReader::ReadValue() {
  const quint8 value = stream_->ReadUInt8();
  if (value > vaUTF8String) InvalidValue();
  return TValueType(value);
}

TValueType TReader::NextValue() {
  const TValueType value = ReadValue();
  stream_->Seek(-1, soCurrent);
  return value;
}

void TReader::CheckValue(TValueType Expected) {
  if (NextValue() != Expected) InvalidValue();
  ReadValue();
}

qint32 TReader::ReadInteger() {
  switch (NextValue()) {
  case vaInt8: ReadValue(); return stream_->ReadInt8();
  case vaInt16: ReadValue(); return stream_->ReadInt16();
  case vaInt32: ReadValue(); return stream_->ReadInt32();
  default: InvalidValue();
  }
}

bool TReader::ReadBoolean() {
  const TValueType value = NextValue();
  if (value != vaTrue && value != vaFalse) InvalidValue();
  ReadValue();
  return value == vaTrue;
}

QString TReader::ReadString() {
  const TValueType type = NextValue();
  if (type != vaString && type != vaLString && type != vaWString && type != vaUTF8String) InvalidValue();
  ReadValue();
  const qint64 length = type == vaString ? stream_->ReadUInt8() : stream_->ReadInt32();
  if (length < 0) InvalidValue();
  switch (type) {
  case vaUTF8String: return QString::fromUtf8(stream_->ReadBytes(length));
  case vaWString: {
    const QByteArray bytes = stream_->ReadBytes(length * 2);
    QString text(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i)
      text[i] = QChar(quint16(quint8(bytes[2 * i]) | (quint8(bytes[2 * i + 1]) << 8)));
    return text;
  }
  default: return FromWindows1252(stream_->ReadBytes(length));
  }
}

QString TReader::ReadStr() { return FromWindows1252(stream_->ReadBytes(stream_->ReadUInt8())); }

void TReader::ReadProperties(TPersistent *Instance) {
  while (!EndOfList()) {
    pendingName_ = ReadPropName();
    Instance->DefineProperties(this);
    if (!pendingName_.isEmpty())
      throw EReadError(QStringLiteral("Property %1 does not exist").arg(std::exchange(pendingName_, {})));
  }
  ReadListEnd();
}

void TReader::DefineProperty(const QString &Name, const TReaderProc &ReadData, const TWriterProc &, bool) {
  if (pendingName_.isEmpty() || !ReadData || pendingName_.compare(Name, Qt::CaseInsensitive) != 0) return;
  pendingName_.clear();
  ReadData(this);
}

void TReader::DefineBinaryProperty(const QString &Name, const TStreamProc &ReadData, const TStreamProc &,
                                   bool) {
  if (pendingName_.isEmpty() || !ReadData || pendingName_.compare(Name, Qt::CaseInsensitive) != 0) return;
  pendingName_.clear();
  CheckValue(vaBinary);
  const qint32 size = stream_->ReadInt32();
  if (size < 0) InvalidValue();
  TMemoryStream data(stream_->ReadBytes(size));
  ReadData(&data);
}
