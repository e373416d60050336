// Number formatting and parsing with the class library's rules.
//
// Rounding is decimal: a double stands for the shortest decimal text that reads back to it (0.175, not
// 0.17499999999999998889...). A value is first rounded to the requested number of significant digits
// (Precision, at most 15, the digits a double holds) and then to the requested decimals, each time half away
// from zero. So FloatToStrF(0.175, ffFixed, 12, 2) is "0.18" and FloatToStrF(2.675, ffFixed, 15, 2) is
// "2.68". A negative value that rounds to zero prints without its sign ("0.00", never "-0.00").
//
// Every routine that depends on separators or currency reads Settings(); each has an overload that takes the
// settings explicitly.
#pragma once
#include "platform/core/format_settings.h"
#include <QList>
#include <QString>
#include <cstdint>

class Variant;

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// FloatToStrF(value, ffGeneral, 15, 0): fixed notation while it fits 15 digits and the value is at least
// 0.0001 in size, else scientific ("1E20", "1.5E-5"); trailing zeros removed.
QString FloatToStr(double value);
QString FloatToStr(double value, const FormatSettings &settings);

// Format:
// - ffGeneral: shortest of fixed and scientific with Precision significant digits; Digits is the least number
//   of exponent digits (0..4).
// - ffExponent: "-d.ddddE+xx" with Precision digits in all; Digits is the least number of exponent digits.
// - ffFixed: Digits decimals (0..18); scientific when the integer part has more digits than Precision.
// - ffNumber: as ffFixed with thousands separators.
// - ffCurrency: as ffNumber, laid out by CurrencyString, CurrencyFormat and NegCurrFormat.
// NaN gives "NAN", infinities "INF" and "-INF".
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                    const FormatSettings &settings);

// Formats by a picture of up to three sections separated by ";": positive (and, without further sections,
// every value); negative; zero. An empty or missing negative or zero section uses the first section; a value
// that rounds to zero uses the zero section. The first section, when used for a negative value, puts "-" in
// front. In a section: "0" a digit or zero, "#" a digit or nothing, "." the decimal separator (first one),
// "," anywhere asks for thousands separators, "E+" "E-" "e+" "e-" scientific notation (followed by "0"s
// giving the least exponent digits; "+" always shows the sign, "-" only a minus), text in ' or " copied as it
// is, any other character copied. An empty picture (or first section) gives FloatToStr's text.
QString FormatFloat(const QString &format, double value);
QString FormatFloat(const QString &format, double value, const FormatSettings &settings);

// sprintf in the class library's manner: "%" [index ":"] ["-"] [width] ["." precision] type, with width and
// precision given as digits or "*" (taken from the next argument), and "%%" for a percent sign. Types:
//   d  integer, precision = least digits        x  integer in upper-case hexadecimal, precision = least
//   digits s  text, precision = most characters        f  fixed, precision = decimals (default 2) e
//   scientific, precision = digits (def. 15) g  general, precision = digits (default 15) n  as f with
//   thousands separators           m  currency, precision = decimals (default CurrencyDecimals)
// Arguments are Variants; "d" and "x" need an integer (or a boolean), the float types a number; "s" takes any
// value's text. A missing argument or a wrong type raises EConvertError "Format '<fmt>' invalid or
// incompatible with argument" (or "No argument for format '<fmt>'").
QString Format(const QString &format, const QList<Variant> &args);
QString Format(const QString &format, const QList<Variant> &args, const FormatSettings &settings);

QString IntToStr(int64_t value);
// Upper-case hexadecimal with at least `digits` digits; negative values as their 64-bit two's complement.
QString IntToHex(int64_t value, int digits);

// Decimal integers with optional sign and leading blanks; "$", "0x" or "0X" introduce hexadecimal. Text that
// is not an integer of the range raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString &text);
int StrToIntDef(const QString &text, int defaultValue);
bool TryStrToInt(const QString &text, int &value);
bool TryStrToInt64(const QString &text, int64_t &value);

// A decimal number using the settings' decimal separator (no thousands separators), optional sign and
// exponent, surrounding blanks allowed. Anything else raises EConvertError "'<text>' is not a valid floating
// point value".
double StrToFloat(const QString &text);
double StrToFloat(const QString &text, const FormatSettings &settings);
bool TryStrToFloat(const QString &text, double &value);
bool TryStrToFloat(const QString &text, double &value, const FormatSettings &settings);
