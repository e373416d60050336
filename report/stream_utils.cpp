#include "report/stream_utils.h"
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "platform/core/text_encoding.h"
#include "report/page_stream.h"
#include <QVarLengthArray>

namespace {

// What starts a text stored as UTF-8 (the UTF-8 byte-order mark, "ï»¿" in Windows-1252).
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr qsizetype kUtf8MarkSize = 3;

QByteArray EncodeChecked(const QString &Text) {
  QByteArray bytes = frEncodeStreamText(Text);
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

QByteArray frEncodeStreamText(const QString &Text) {
  QByteArray bytes(Text.size(), Qt::Uninitialized);
  char *out = bytes.data();
  for (const QChar c : Text) {
    const char16_t u = c.unicode();
    const int b = u < 0x80 ? int(u) : CharToWindows1252(u);
    if (b < 0) return QByteArray(kUtf8Mark) + Text.toUtf8();
    *out++ = char(b);
  }
  // A text that itself begins with the mark's characters is stored marked too, so that it reads back whole.
  if (bytes.startsWith(kUtf8Mark)) return QByteArray(kUtf8Mark) + Text.toUtf8();
  return bytes;
}

QString frDecodeStreamText(const QByteArray &Bytes) {
  if (Bytes.startsWith(kUtf8Mark))
    return QString::fromUtf8(Bytes.constData() + kUtf8MarkSize, Bytes.size() - kUtf8MarkSize);
  return FromWindows1252(Bytes);
}

namespace {

// Reads Count bytes of stored text and decodes them (the bytes themselves are not kept).
QString ReadStreamText(TStream *Stream, quint16 Count) {
  QVarLengthArray<char, 256> bytes(Count);
  Stream->ReadBuffer(bytes.data(), Count);
  return frDecodeStreamText(QByteArray::fromRawData(bytes.constData(), Count));
}

} // namespace

// A prepared page in memory keeps its texts as text (page_stream.h); every other stream holds their bytes.

QString ReadStreamString(TStream *Stream) {
  if (auto *page = dynamic_cast<TfrPageStream *>(Stream)) return page->ReadText();
  const quint16 length = Stream->ReadUInt16();
  const QString text = ReadStreamText(Stream, length);
  Stream->ReadUInt8(); // the closing byte, whatever it holds
  return text;
}

void WriteStreamString(TStream *Stream, const QString &Text) {
  if (auto *page = dynamic_cast<TfrPageStream *>(Stream)) {
    page->WriteText(Text);
    return;
  }
  WriteCounted(Stream, EncodeChecked(Text));
  Stream->WriteUInt8(0);
}

void ReadStreamLines(TStream *Stream, TStrings *List) {
  if (auto *page = dynamic_cast<TfrPageStream *>(Stream)) {
    page->ReadLines(List);
    return;
  }
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
      List->Add(ReadStreamText(Stream, length));
      separator = Stream->ReadUInt8();
    } while (separator != 0);
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

void WriteStreamLines(TStream *Stream, const TStrings *List) {
  if (auto *page = dynamic_cast<TfrPageStream *>(Stream)) {
    page->WriteLines(List);
    return;
  }
  const int count = List->Count();
  if (count > MaxStreamStringLength)
    throw EWriteError(QStringLiteral("A list of %1 lines is too long for a report stream (at most %2)")
                          .arg(count)
                          .arg(MaxStreamStringLength));
  // Encode everything first so that a refused line leaves nothing half written.
  QVarLengthArray<QByteArray, 4> lines;
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
  return frDecodeStreamText(ReadUntilTerminator(Stream, false, terminator));
}

void ReadStreamLinesOld(TStream *Stream, TStrings *List) {
  List->Clear();
  List->BeginUpdate();
  try {
    for (;;) {
      quint8 terminator = 0;
      const QByteArray line = ReadUntilTerminator(Stream, true, terminator);
      if (terminator == 13) {
        List->Add(frDecodeStreamText(line));
        continue;
      }
      if (!line.isEmpty()) List->Add(frDecodeStreamText(line));
      break;
    }
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

void WriteStreamText(TStream *Stream, const QString &Text) { Stream->WriteBytes(frEncodeStreamText(Text)); }

void WriteStreamTextLine(TStream *Stream, const QString &Text) {
  WriteStreamText(Stream, Text);
  Stream->WriteBytes(QByteArrayLiteral("\r\n"));
}

void StripDoubleQuotes(QString &Text) {
  if (Text.size() >= 2 && Text.startsWith(QLatin1Char('"')) && Text.endsWith(QLatin1Char('"')))
    Text = Text.mid(1, Text.size() - 2);
}
