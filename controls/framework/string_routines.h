// String primitives of the control library. Entry fields keep their edit text in a QString and edit it with
// these routines; positions are 0-based. Routines that change a string change it in place and return it.
#pragma once
#include <QChar>
#include <QString>
#include <cstdint>

// Len copies of Ch.
QString &CharStrPChar(QString &dest, QChar ch, int len);
// 32 binary digits, most significant first.
QString &BinaryLPChar(QString &dest, std::uint32_t value);
// 12 octal digits, zero-filled on the left.
QString &OctalLPChar(QString &dest, std::uint32_t value);
// 4 upper-case hexadecimal digits.
QString &HexWPChar(QString &dest, std::uint16_t value);
// 8 upper-case hexadecimal digits.
QString &HexLPChar(QString &dest, std::uint32_t value);

// One character through the locale's case mapping.
QChar LoCaseChar(QChar ch);
QChar UpCaseChar(QChar ch);

// First position of Ch in S; false when S is empty or Ch is absent.
bool StrChPos(const QString &s, QChar ch, int &pos);
// First position of Sub in S; false when Sub is empty, longer than S or absent.
bool StrStPos(const QString &s, const QString &sub, int &pos);
// Inserts at Pos (at the end when Pos lies beyond it).
QString &StrChInsertPrim(QString &s, QChar ch, int pos);
QString &StrStInsertPrim(QString &s, const QString &sub, int pos);
// Deletes the character at Pos; nothing when Pos lies beyond the end.
QString &StrChDeletePrim(QString &s, int pos);
// Deletes Count characters at Pos, or up to the end when fewer remain.
QString &StrStDeletePrim(QString &s, int pos, int count);
// Up to Count characters of S from Pos; empty when Pos is at or beyond the end.
QString &StrStCopy(QString &dest, const QString &s, int pos, int count);

// Removes leading and trailing blanks.
QString &TrimAllSpacesPChar(QString &s);
// Removes trailing characters with codes up to 32.
QString &TrimTrailPrim(QString &s);
// For a number with a decimal point and no exponent: removes trailing zeros and then a trailing point; blanks
// at both ends are removed in any case. "12.500" gives "12.5", "12.000" gives "12".
QString &TrimTrailingZeros(QString &s);
// For a number with an exponent "E": removes the zeros of the fraction just before the "E" (and a point left
// in front of it) and the leading zeros of the exponent; an exponent of only zeros is removed whole.
// "1.2500E+007" gives "1.25E+7", "2.000E+000" gives "2".
QString &TrimEmbeddedZeros(QString &s);

// Reads a 32-bit integer: decimal, or hexadecimal after a "0x" (or "$") prefix, with an optional sign;
// trailing blanks and control characters are ignored. On failure Value is the 0-based position of the
// offending character (-1 for a text of 256 characters or more), and a value beyond the 32-bit range fails at
// the digit that overflows it.
bool Str2LongPChar(const QString &s, std::int32_t &value);

// Prepares a real-number text for conversion: trims it, turns the decimal character into ".", gives a bare
// point a zero on its open side, and pads the fraction of a number with an exponent.
QString &FixRealText(QString &s, QChar decimalChar);
