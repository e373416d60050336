#include "report/stream_utils.h"
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "platform/core/text_encoding.h"

namespace {

QByteArray EncodeChecked(const QString &Text) {
  QByteArray bytes = ToWindows1252(Text);
  if (bytes.size() > MaxStreamStringLength)
    throw EWriteError(QStringLiteral("Text of %1 bytes is too long for a report stream (at most %2)")
                          .arg(bytes.size())
                          .arg(MaxStreamStringLength));
  return bytes;
}

void WriteCounted(TStream *Stream, const QByteArray &Bytes) {
  Stream->WriteUInt16(quint16(Bytes.size()));
  Stream->WriteBytes(Bytes);
}

// Bytes up to (excluding) the first byte 0 or 13; Terminator receives the byte that ended the run.
QByteArray ReadUntilTerminator(TStream *Stream, bool StopAtLineEnd, quint8 &Terminator) {
  QByteArray bytes;
  for (;;) {
    const quint8 b = Stream->ReadUInt8();
    if (b == 0 || (StopAtLineEnd && b == 13)) {
      Terminator = b;
      return bytes;
    }
    bytes.append(char(b));
  }
}

} // namespace

QString ReadStreamString(TStream *Stream) {
  const quint16 length = Stream->ReadUInt16();
  const QByteArray bytes = Stream->ReadBytes(length);
  Stream->ReadUInt8(); // the closing byte, whatever it holds
  return FromWindows1252(bytes);
}

void WriteStreamString(TStream *Stream, const QString &Text) {
  WriteCounted(Stream, EncodeChecked(Text));
  Stream->WriteUInt8(0);
}

void ReadStreamLines(TStream *Stream, TStrings *List) {
  List->Clear();
  const quint16 count = Stream->ReadUInt16();
  if (count == 0) {
    Stream->ReadUInt8();
    return;
  }
  // The separator after each line decides whether another follows; the count is not what stops the list.
  List->BeginUpdate();
  try {
    quint8 separator = 0;
    do {
      const quint16 length = Stream->ReadUInt16();
      List->Add(FromWindows1252(Stream->ReadBytes(length)));
      separator = Stream->ReadUInt8();
    } while (separator != 0);
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

void WriteStreamLines(TStream *Stream, const TStrings *List) {
  const int count = List->Count();
  if (count > MaxStreamStringLength)
    throw EWriteError(QStringLiteral("A list of %1 lines is too long for a report stream (at most %2)")
                          .arg(count)
                          .arg(MaxStreamStringLength));
  // Encode everything first so that a refused line leaves nothing half written.
  QList<QByteArray> lines;
  lines.reserve(count);
  for (int i = 0; i < count; ++i) lines.append(EncodeChecked(List->Strings(i)));
  Stream->WriteUInt16(quint16(count));
  if (count == 0) {
    Stream->WriteUInt8(0);
    return;
  }
  for (int i = 0; i < count; ++i) {
    WriteCounted(Stream, lines[i]);
    Stream->WriteUInt8(i + 1 < count ? 13 : 0);
  }
}

QString ReadStreamStringOld(TStream *Stream) {
  quint8 terminator = 0;
  return FromWindows1252(ReadUntilTerminator(Stream, false, terminator));
}

void ReadStreamLinesOld(TStream *Stream, TStrings *List) {
  List->Clear();
  List->BeginUpdate();
  try {
    for (;;) {
      quint8 terminator = 0;
      const QByteArray line = ReadUntilTerminator(Stream, true, terminator);
      if (terminator == 13) {
        List->Add(FromWindows1252(line));
        continue;
      }
      if (!line.isEmpty()) List->Add(FromWindows1252(line));
      break;
    }
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

void WriteStreamText(TStream *Stream, const QString &Text) { Stream->WriteBytes(ToWindows1252(Text)); }

void WriteStreamTextLine(TStream *Stream, const QString &Text) {
  WriteStreamText(Stream, Text);
  Stream->WriteBytes(QByteArrayLiteral("\r\n"));
}

void StripDoubleQuotes(QString &Text) {
  if (Text.size() >= 2 && Text.startsWith(QLatin1Char('"')) && Text.endsWith(QLatin1Char('"')))
    Text = Text.mid(1, Text.size() - 2);
}
