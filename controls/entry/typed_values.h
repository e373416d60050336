// The typed values of the numeric data types in a caller's buffer (see base_entry_field.h), and the texts the
// fields show them by: integers in decimal or in the base a mask selects, floating values in fixed or
// scientific notation.
#pragma once
#include "controls/framework/extended_value.h"
#include <QString>
#include <cstdint>
#include <optional>

// Bytes of an integer type (LongInt 4, Word and SmallInt 2, Byte and ShortInt 1).
int IntegerTypeBytes(int dataType);
bool IsIntegerType(int dataType);
bool IsFloatType(int dataType);
// A floating type that keeps a fraction: all but Comp, which holds whole numbers.
bool IsFractionType(int dataType);
// The values an integer type holds.
std::int64_t IntegerTypeMin(int dataType);
std::int64_t IntegerTypeMax(int dataType);

// Whether a number of the data type can hold Value (integers within the type, Single within its range).
bool TypeHolds(int dataType, long double value);
// The numeric value held in Buffer for a numeric, date or time data type.
long double ReadNumber(const void *buffer, int dataType);
// Stores Value in Buffer in the data type's form (integers truncated toward zero, Comp rounded); the caller
// has checked that it fits.
void WriteNumber(void *buffer, int dataType, long double value);
// Stores Value in Buffer, or 0 when there is none or an integer type cannot hold it.
void WriteNumberOrZero(void *buffer, int dataType, std::optional<long double> value);

// The numeric base a mask selects: 16 for "K", 8 for "O", 2 for "b", else 10.
int MaskBase(const QString &mask);
// An integer text in Base (a base other than 10 reads the type's bit pattern); nothing when it is no number
// (or has more digits than the type's bits). A decimal text outside the type is returned for the range check.
std::optional<std::int64_t> ParseIntegerText(const QString &text, int base, int dataType);
// An integer as a text in Base; other bases than 10 show the type's bit pattern with leading zeros (2 hex
// digits per byte, 4, 8 or 12 octal digits, 8 binary digits per byte).
QString IntegerText(std::int64_t value, int base, int dataType);
// A floating text with "." as its point (blanks, a bare point and exponent forms allowed); nothing when it
// is no number.
std::optional<TExtended> ParseFloatText(const QString &text);
// A number of the data type read from its text: an integer type by ParseIntegerText, a floating type by
// ParseFloatText (Comp rounded to a whole number); nothing when it is no number.
std::optional<long double> ParseNumberText(const QString &text, int base, int dataType);
// The significant digits a floating type's value is shown with: 7 for Single, 15 for the others.
int SignificantDigits(int dataType);
// Fixed notation with Decimals places, or, with Decimals 0, as many places as the value needs at Digits
// significant digits (a whole number below 1e19 in all its digits); nothing when the result would be longer
// than MaxChars.
std::optional<QString> FixedText(long double value, int decimals, int maxChars, int digits = 15);
// Scientific notation no longer than Width characters, with as many of Digits significant digits as fit,
// trailing mantissa zeros and leading exponent zeros removed.
QString ScientificText(long double value, int width, int digits = 15);
