// The display format of a text object's values: a 32-bit code (bits 24-27 the category, 16-23 the variant
// within it, 8-15 the number of decimals, 0-7 the decimal separator) and, for the custom variant (4), a
// format text. A bracketed expression in a text may carry its own format after " #" (see frParseFormatText).
#pragma once
#include "platform/core/variant.h"
#include <QString>

enum TfrFormatCategory { fcText = 0, fcNumber = 1, fcDate = 2, fcTime = 3, fcBoolean = 4 };
constexpr int frCustomVariant = 4;

constexpr int frFormatCategory(qint32 Code) { return (Code >> 24) & 0x0F; }
constexpr int frFormatVariant(qint32 Code) { return (Code >> 16) & 0xFF; }
constexpr int frFormatDecimals(qint32 Code) { return (Code >> 8) & 0xFF; }
constexpr int frFormatSeparator(qint32 Code) { return Code & 0xFF; }
constexpr qint32 frFormatCode(int Category, int Variant, int Decimals, int Separator) {
  return qint32((quint32(Category & 0x0F) << 24) | (quint32(Variant & 0xFF) << 16) |
                (quint32(Decimals & 0xFF) << 8) | quint32(Separator & 0xFF));
}

// The format written after " #" in a bracketed expression, turned into a code and a format text:
// - a digit, 'N' or 'n': a number (a leading digit reads as if 'N' stood before it). The last of ',', '-'
//   and '.' after the first character is the decimal separator (and becomes '.' in the format text). When
//   the second character is a digit: variant 1 (fixed) with the digits after the separator as decimals;
//   otherwise the text from the second character is a custom number format (variant 4).
// - 'D', 'd', 'T', 't': a custom date-time format (category 2, variant 4) from the second character;
// - 'B', 'b': a custom boolean pair "false;true" (category 4, variant 4) from the second character.
// Returns false (code and text unchanged) for any other text.
bool frParseFormatText(const QString &Text, qint32 &Code, QString &FormatStr);

// The text of a value in a format. Empty and null values give an empty text. The separator of the code is
// used for this call only (the process-wide settings are never changed). A value that cannot be read as the
// category asks (a text in a number format) gives its plain text.
QString frFormatValue(const Variant &Value, qint32 Code, const QString &FormatStr);
