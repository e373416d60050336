// Text output of the XML report format: attribute escaping, locale-free numbers, the hexadecimal encoding of
// binary property data, and a small writer that puts elements and attributes on a stream as UTF-8.
//
// An attribute is one blank, its name, '=', '"', the escaped
// value and '"'. Every value goes through frXmlEscape, whatever it holds, so a document always parses.
#pragma once
#include <QByteArray>
#include <QString>

class TStream;

// The text as it may stand between double quotes: '&' as "&amp;"; CR, LF, TAB, '"', '<' and '>' as numeric
// character references ("&#13;"), so that line breaks survive attribute-value normalisation; characters that
// XML 1.0 cannot carry at all (other control characters, unpaired surrogates, U+FFFE and U+FFFF) as U+FFFD.
QString frXmlEscape(const QString &Text);

// A floating-point number in its shortest form that reads back to the same value, with '.' as the decimal
// separator whatever the locale, and without an exponent ("1", "0.5", "1.25").
QString frXmlFloat(float Value);

// Every byte as two upper-case hexadecimal digits.
QString frXmlHex(const QByteArray &Bytes);

// Report units to whole millimetres, at the given units per inch (the horizontal or the vertical one).
int frUnitsToMillimetres(int Value, double UnitsPerInch);

class TfrXmlWriter {
public:
  // The stream is not owned.
  explicit TfrXmlWriter(TStream *Stream) : stream_(Stream) {}

  // Text as UTF-8, unchanged; followed by CR LF.
  void Write(const QString &Text);
  void WriteLine(const QString &Text);

  // "<" and the element name.
  void BeginElement(const QString &Name);
  // One blank and an attribute of the element begun last (or of the declaration); the value is escaped.
  void Attribute(const QString &Name, const QString &Value);
  void Attribute(const QString &Name, qint64 Value);

  TStream *Stream() const { return stream_; }

private:
  TStream *stream_;
};
