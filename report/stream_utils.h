// The report engine's string encodings in template streams, text output to streams and small text helpers.
//
// Texts are held in Windows-1252 in streams: a length is a count of bytes of that encoding. A text with a
// character the code page lacks (or one that begins with the characters "ï»¿") is stored instead as the
// UTF-8 byte-order mark (EF BB BF) followed by its UTF-8 bytes, so that every text reads back as it was
// written; a text of the code page alone is stored as before.
//
// The current form (stream version 23):
//   string       u16 length (little-endian), the bytes, one byte 0
//   string list  u16 line count; each line as u16 length and bytes, followed by 13 when another line
//                follows and by 0 after the last; no lines is the count 0 and one byte 0
// The older form (versions 21 and 22):
//   string       the bytes up to and excluding a byte 0
//   string list  each line's bytes ended by 13, the list ended by 0 (an empty last line is not added)
//
// A text or a list that the 16-bit fields cannot describe (more than 65535 bytes or lines) is refused with
// EWriteError: the stream never holds a length that disagrees with the bytes written. A stream that ends
// inside an item raises EReadError.
//
// A prepared page in memory (TfrPageStream, page_stream.h) keeps its texts as text instead, with no limit:
// the current form's readers and writers given such a stream keep and take them there.
#pragma once
#include <QString>

class TStream;
class TStrings;

// The largest text length and line count the current form can hold.
constexpr int MaxStreamStringLength = 65535;

// The stored bytes of a text, and the text of stored bytes (see above).
QByteArray frEncodeStreamText(const QString &Text);
QString frDecodeStreamText(const QByteArray &Bytes);

QString ReadStreamString(TStream *Stream);
void WriteStreamString(TStream *Stream, const QString &Text);
// Reading clears List first.
void ReadStreamLines(TStream *Stream, TStrings *List);
void WriteStreamLines(TStream *Stream, const TStrings *List);

QString ReadStreamStringOld(TStream *Stream);
// Reading clears List first.
void ReadStreamLinesOld(TStream *Stream, TStrings *List);

// The text's bytes without a terminator; the text followed by CR LF.
void WriteStreamText(TStream *Stream, const QString &Text);
void WriteStreamTextLine(TStream *Stream, const QString &Text);

// Removes a double quote at each end when the text begins and ends with one.
void StripDoubleQuotes(QString &Text);
