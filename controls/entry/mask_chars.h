// The characters of picture masks: which positions a user fills, what each accepts, and the case it applies.
// Every character that is not a mask character is a literal.
#pragma once
#include <QChar>
#include <optional>

// Whether M marks a position the user fills.
bool IsMaskChar(QChar m);
// Ch with the case mask character M applies; Prev is the character before it, or QChar() when a whole value
// is laid into a mask (then "x" changes nothing).
QChar ApplyMaskCase(QChar m, QChar ch, QChar prev);
// Ch as a position of mask character M stores it (its case applied), or nothing when M refuses it. A literal
// accepts nothing; neither does any mask character accept character 0.
std::optional<QChar> CheckMaskChar(QChar m, QChar ch, QChar prev);
// Mask characters that take a hexadecimal, octal or binary digit.
inline bool IsBaseMaskChar(QChar m) {
  return m == QLatin1Char('K') || m == QLatin1Char('O') || m == QLatin1Char('b');
}
