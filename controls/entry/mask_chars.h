// The characters of picture masks: which positions a user fills, what each accepts, and the case it applies.
// Every character that is not a mask character is a literal.
#pragma once
#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

// Whether M marks a position the user fills.
bool IsMaskChar(QChar m);
// Ch with the case mask character M applies; Prev is the character before it, or QChar() when a whole value
// is laid into a mask (then "x" changes nothing).
QChar ApplyMaskCase(QChar m, QChar ch, QChar prev);
// Ch as a position of mask character M stores it (its case applied), or nothing when M refuses it. A literal
// accepts nothing; neither does any mask character accept character 0.
std::optional<QChar> CheckMaskChar(QChar m, QChar ch, QChar prev);
// Mask characters that take the characters of a number (digits, sign, point, exponent, base digits).
inline bool IsNumberMaskChar(QChar m) { return QStringView(u"9#iEKOb").contains(m); }
// Whether a mask can hold a number of the kind: no mask character of it takes anything else; an integer mask
// has no point and a fractional one at most one point, followed directly by all its decimal places and by
// no currency sign or thousands separator, and no base digits.
bool IsNumberMask(const QString &mask, bool integer);
// Whether a mask can hold a date (one day, one month and one year run and nothing else to fill) or a time
// (one hour and one minute run, at most one seconds and one AM/PM run).
bool IsDateMask(const QString &mask);
bool IsTimeMask(const QString &mask);
// The number of positions of a mask that a user fills.
int MaskCharCount(const QString &mask);
// Mask characters that take a hexadecimal, octal or binary digit.
inline bool IsBaseMaskChar(QChar m) {
  return m == QLatin1Char('K') || m == QLatin1Char('O') || m == QLatin1Char('b');
}
