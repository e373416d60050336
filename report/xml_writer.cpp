#include "report/xml_writer.h"
#include "platform/core/streams.h"
#include "report/view.h"
#include <charconv>
#include <cmath>

namespace {

// Characters that XML 1.0 allows in a document (surrogate pairs are checked by the caller).
bool XmlAllows(char32_t c) {
  if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF;
}

} // namespace

QString frXmlEscape(const QString &Text) {
  QString out;
  out.reserve(Text.size() + Text.size() / 8);
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const QChar c = Text.at(i);
    if (c.isHighSurrogate() && i + 1 < Text.size() && Text.at(i + 1).isLowSurrogate()) {
      out += c;
      out += Text.at(++i);
      continue;
    }
    switch (c.unicode()) {
    case u'&': out += QLatin1String("&amp;"); break;
    case u'\r':
    case u'\n':
    case u'\t':
    case u'"':
    case u'<':
    case u'>': out += QStringLiteral("&#%1;").arg(c.unicode()); break;
    default: out += XmlAllows(c.unicode()) ? c : QChar(0xFFFD);
    }
  }
  return out;
}

QString frXmlFloat(float Value) {
  if (!std::isfinite(Value)) return QStringLiteral("0");
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, Value, std::chars_format::fixed);
  if (result.ec != std::errc()) return QStringLiteral("0");
  return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString frXmlHex(const QByteArray &Bytes) { return QString::fromLatin1(Bytes.toHex().toUpper()); }

int frUnitsToMillimetres(int Value, double UnitsPerInch) { return frRound(Value * 25.4 / UnitsPerInch); }

void TfrXmlWriter::Write(const QString &Text) { stream_->WriteBytes(Text.toUtf8()); }

void TfrXmlWriter::WriteLine(const QString &Text) { Write(Text + QLatin1String("\r\n")); }

void TfrXmlWriter::BeginElement(const QString &Name) { Write(QLatin1Char('<') + Name); }

void TfrXmlWriter::Attribute(const QString &Name, const QString &Value) {
  // The element's name is followed by one blank and the first attribute; each later one by one blank too.
  Write(QLatin1Char(' ') + Name + QLatin1String("=\"") + frXmlEscape(Value) + QLatin1Char('"'));
}

void TfrXmlWriter::Attribute(const QString &Name, qint64 Value) { Attribute(Name, QString::number(Value)); }
