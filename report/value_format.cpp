#include "report/value_format.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/core/number_format.h"
#include <optional>

namespace {

const char *const DateFormats[4] = {"mm.dd.yy", "mm.dd.yyyy", "d mmm yyyy", "d mmmm yyyy"};
const char *const TimeFormats[4] = {"hh:nn:ss", "h:nn:ss", "hh:nn", "h:nn"};
const char *const BooleanPairs[4] = {"0;1", "No;Yes", "_;x", "False;True"};

bool IsSeparatorChar(QChar c) {
  return c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

QString NumberText(double value, int variant, int decimals, const QString &custom,
                   const FormatSettings &settings) {
  switch (variant) {
  case 0: return FormatFloat(QStringLiteral("###.##"), value, settings);
  case 1: return FloatToStrF(value, ffFixed, 15, decimals, settings);
  case 2: return FormatFloat(QStringLiteral("#,###.##"), value, settings);
  case 3: return FloatToStrF(value, ffNumber, 15, decimals, settings);
  default: return FormatFloat(custom, value, settings);
  }
}

QString BooleanText(bool value, const QString &pair) {
  const int semicolon = pair.indexOf(QLatin1Char(';'));
  if (semicolon < 0) return value ? QString() : pair;
  return value ? pair.mid(semicolon + 1) : pair.left(semicolon);
}

} // namespace

bool frParseFormatText(const QString &Text, qint32 &Code, QString &FormatStr) {
  if (Text.isEmpty()) return false;
  QString text = Text;
  if (text[0].isDigit()) text.prepend(QLatin1Char('N'));
  const QChar kind = text[0].toUpper();
  if (kind == QLatin1Char('N')) {
    int separatorAt = -1;
    for (int i = 1; i < text.size(); ++i)
      if (IsSeparatorChar(text[i])) separatorAt = i;
    const QChar separator = separatorAt > 0 ? text[separatorAt] : Settings().DecimalSeparator;
    if (separatorAt > 0) text[separatorAt] = QLatin1Char('.');
    const bool fixed = text.size() > 1 && text[1].isDigit();
    int decimals = 0;
    if (fixed && separatorAt > 0) {
      for (int i = separatorAt + 1; i < text.size() && text[i].isDigit(); ++i)
        decimals = std::min(decimals * 10 + text[i].digitValue(), 255);
    }
    const int sep = separator.unicode() < 256 ? separator.unicode() : '.';
    if (fixed) {
      Code = frFormatCode(fcNumber, 1, decimals, sep);
    } else {
      Code = frFormatCode(fcNumber, frCustomVariant, 0, sep);
      FormatStr = text.mid(1);
    }
    return true;
  }
  const int defaultSeparator = Settings().DecimalSeparator.unicode() & 0xFF;
  if (kind == QLatin1Char('D') || kind == QLatin1Char('T')) {
    Code = frFormatCode(fcDate, frCustomVariant, 0, defaultSeparator);
    FormatStr = text.mid(1);
    return true;
  }
  if (kind == QLatin1Char('B')) {
    Code = frFormatCode(fcBoolean, frCustomVariant, 0, defaultSeparator);
    FormatStr = text.mid(1);
    return true;
  }
  return false;
}

QString frFormatValue(const Variant &Value, qint32 Code, const QString &FormatStr) {
  if (Value.IsEmpty() || Value.IsNull()) return QString();
  // The user's formats, copied only when the code asks for another decimal separator.
  const FormatSettings &user = Settings();
  std::optional<FormatSettings> own;
  if (const int separator = frFormatSeparator(Code); separator && QChar(separator) != user.DecimalSeparator) {
    own = user;
    own->DecimalSeparator = QChar(separator);
  }
  const FormatSettings &settings = own ? *own : user;
  const int variant = frFormatVariant(Code);
  const bool custom = variant >= frCustomVariant;
  try {
    switch (frFormatCategory(Code)) {
    case fcNumber: return NumberText(Value.ToDouble(), variant, frFormatDecimals(Code), FormatStr, settings);
    case fcDate:
      return FormatDateTime(custom ? FormatStr : QString::fromLatin1(DateFormats[variant]),
                            Value.ToDateTime(), settings);
    case fcTime:
      return FormatDateTime(custom ? FormatStr : QString::fromLatin1(TimeFormats[variant]),
                            Value.ToDateTime(), settings);
    case fcBoolean:
      return BooleanText(Value.ToBool(), custom ? FormatStr : QString::fromLatin1(BooleanPairs[variant]));
    default: break;
    }
  } catch (const EConvertError &) {
  } catch (const EVariantError &) {
  }
  if (Value.VarType() == varDouble) return FloatToStr(Value.ToDouble(), settings);
  return VarToStr(Value);
}
