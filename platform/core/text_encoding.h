// Windows-1252, the 8-bit text of stored binary formats (report templates, prepared reports), by a table of
// our own so that the result never depends on the codecs a system has.
//
// Every byte has a character: 0x80..0x9F are the code page's typographic characters (0x80 is the euro sign),
// and its five undefined bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D stand for U+0081, U+008D, U+008F, U+0090 and
// U+009D, so that any byte string survives the trip to text and back. A character the code page lacks is
// written as '?' (one per character, also outside the basic plane).
#pragma once
#include <QByteArray>
#include <QString>

// The character of a byte.
char16_t Windows1252ToChar(unsigned char Byte);
// The byte of a character, or -1 when the code page has none.
int CharToWindows1252(char32_t Character);

QString FromWindows1252(const QByteArray &Bytes);
QByteArray ToWindows1252(const QString &Text);
// True when every character of Text has a byte (the conversion loses nothing).
bool IsWindows1252(const QString &Text);
