#include "db/engine/ff_record_values.h"
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <limits>

namespace {

const QDate kDateTimeEpoch(1899, 12, 30);
constexpr double kMillisecondsPerDay = 86400000.0;

TffError Invalid(const TffDataDictionary &dictionary, int field, const QString &why) {
  return {DBIERR_INVALIDFLDVALUE, QStringLiteral("Invalid value for field %1 of table %2: %3")
                                      .arg(dictionary.FieldName(field), dictionary.BaseName(), why)};
}

bool IsNumber(const QVariant &value) {
  switch (value.typeId()) {
  case QMetaType::Int:
  case QMetaType::UInt:
  case QMetaType::LongLong:
  case QMetaType::ULongLong:
  case QMetaType::Double:
  case QMetaType::Float:
  case QMetaType::Short:
  case QMetaType::UShort:
  case QMetaType::Char:
  case QMetaType::SChar:
  case QMetaType::UChar:
  case QMetaType::Long:
  case QMetaType::ULong: return true;
  default: return false;
  }
}

// A number from a number, a truth value or a text in C notation.
bool ToDouble(const QVariant &value, double &result) {
  if (value.typeId() == QMetaType::Bool) {
    result = value.toBool() ? 1 : 0;
    return true;
  }
  if (IsNumber(value)) {
    result = value.toDouble();
    return true;
  }
  if (value.typeId() == QMetaType::QString) {
    bool ok = false;
    result = value.toString().trimmed().toDouble(&ok);
    return ok;
  }
  return false;
}

bool ToInteger(const QVariant &value, qint64 &result) {
  switch (value.typeId()) {
  case QMetaType::Bool: result = value.toBool() ? 1 : 0; return true;
  case QMetaType::ULongLong: {
    const qulonglong unsignedValue = value.toULongLong();
    if (unsignedValue > qulonglong(std::numeric_limits<qint64>::max())) return false;
    result = qint64(unsignedValue);
    return true;
  }
  case QMetaType::Double:
  case QMetaType::Float: {
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) > 9.2e18) return false;
    result = qint64(number);
    return true;
  }
  case QMetaType::QString: {
    bool ok = false;
    result = value.toString().trimmed().toLongLong(&ok);
    return ok;
  }
  default:
    if (!IsNumber(value)) return false;
    result = value.toLongLong();
    return true;
  }
}

bool ToDateTime(const QVariant &value, double &result) {
  switch (value.typeId()) {
  case QMetaType::QDate: {
    const QDate date = value.toDate();
    if (!date.isValid()) return false;
    result = double(kDateTimeEpoch.daysTo(date));
    return true;
  }
  case QMetaType::QTime: {
    const QTime time = value.toTime();
    if (!time.isValid()) return false;
    result = time.msecsSinceStartOfDay() / kMillisecondsPerDay;
    return true;
  }
  case QMetaType::QDateTime: {
    const QDateTime dateTime = value.toDateTime();
    if (!dateTime.isValid()) return false;
    const double days = double(kDateTimeEpoch.daysTo(dateTime.date()));
    const double fraction = dateTime.time().msecsSinceStartOfDay() / kMillisecondsPerDay;
    // Days before the epoch keep their time as a positive fraction after the minus sign.
    result = days >= 0 ? days + fraction : days - fraction;
    return true;
  }
  default: return ToDouble(value, result) && std::isfinite(result);
  }
}

} // namespace

int ffCharacterCount(const QString &text) {
  int count = 0;
  for (const QChar c : text)
    if (!c.isLowSurrogate()) ++count;
  return count;
}

TffError ffValueToStored(const TffDataDictionary &dictionary, int field, const QVariant &value, bool isKey,
                         QVariant &stored) {
  const TffFieldDescriptor &descriptor = dictionary.FieldDescriptor(field);
  stored = QVariant();
  if (!value.isValid() || value.typeId() == QMetaType::Nullptr) return {};

  switch (ffValueKind(descriptor.fdType)) {
  case TffValueKind::Boolean: {
    if (value.typeId() == QMetaType::QString) {
      const QString text = value.toString().trimmed();
      if (text.compare(u"true", Qt::CaseInsensitive) == 0 || text == u"1") {
        stored = qint64(1);
      } else if (text.compare(u"false", Qt::CaseInsensitive) == 0 || text == u"0") {
        stored = qint64(0);
      } else {
        return Invalid(dictionary, field, QStringLiteral("\"%1\" is not a truth value").arg(text));
      }
      return {};
    }
    double number = 0;
    if (!ToDouble(value, number)) return Invalid(dictionary, field, QStringLiteral("not a truth value"));
    stored = qint64(number != 0 ? 1 : 0);
    return {};
  }
  case TffValueKind::Integer: {
    qint64 number = 0;
    if (!ToInteger(value, number))
      return Invalid(dictionary, field, QStringLiteral("\"%1\" is not a whole number").arg(value.toString()));
    const qint64 low = ffIntegerMin(descriptor.fdType), high = ffIntegerMax(descriptor.fdType);
    if (number < low || number > high)
      return Invalid(dictionary, field,
                     QStringLiteral("%1 is outside the range %2 to %3").arg(number).arg(low).arg(high));
    stored = number;
    return {};
  }
  case TffValueKind::Float: {
    double number = 0;
    if (!ToDouble(value, number) || std::isnan(number))
      return Invalid(dictionary, field, QStringLiteral("\"%1\" is not a number").arg(value.toString()));
    if (descriptor.fdType == fftSingle) number = double(float(number));
    stored = number;
    return {};
  }
  case TffValueKind::Currency: {
    double number = 0;
    if (!ToDouble(value, number) || !std::isfinite(number) || std::fabs(number) >= 922337203685477.0)
      return Invalid(dictionary, field, QStringLiteral("\"%1\" is not an amount").arg(value.toString()));
    stored = qint64(std::llround(number * 10000.0));
    return {};
  }
  case TffValueKind::DateTime: {
    double dateTime = 0;
    if (!ToDateTime(value, dateTime))
      return Invalid(dictionary, field, QStringLiteral("\"%1\" is not a date or time").arg(value.toString()));
    stored = dateTime;
    return {};
  }
  case TffValueKind::String: {
    if (value.typeId() == QMetaType::QByteArray)
      return Invalid(dictionary, field, QStringLiteral("bytes given for a text field"));
    const QString text = value.toString();
    const int limit = ffMaxCharacters(descriptor.fdType, descriptor.fdUnits);
    const int length = ffCharacterCount(text);
    if (!isKey && length > limit)
      return {
          DBIERR_STRINGTOOLONG,
          QStringLiteral("Text too long for field %1 of table %2: it holds at most %3 characters, the value "
                         "has %4")
              .arg(descriptor.fdName, dictionary.BaseName())
              .arg(limit)
              .arg(length)};
    stored = text;
    return {};
  }
  case TffValueKind::Bytes: {
    QByteArray bytes;
    if (value.typeId() == QMetaType::QByteArray)
      bytes = value.toByteArray();
    else if (value.typeId() == QMetaType::QString)
      bytes = value.toString().toUtf8();
    else
      return Invalid(dictionary, field, QStringLiteral("not a byte string"));
    if (descriptor.fdType == fftByteArray && !isKey && bytes.size() > descriptor.fdUnits)
      return {DBIERR_STRINGTOOLONG,
              QStringLiteral("Value too long for field %1 of table %2: it holds at most "
                             "%3 bytes, the value has %4")
                  .arg(descriptor.fdName, dictionary.BaseName())
                  .arg(descriptor.fdUnits)
                  .arg(bytes.size())};
    stored = bytes.isNull() ? QByteArray("") : bytes;
    return {};
  }
  }
  return {};
}

namespace {

QString Unreadable(const TffDataDictionary &dictionary, int field, const QVariant &stored,
                   const QString &why) {
  const QString shown = stored.typeId() == QMetaType::QByteArray ? QStringLiteral("bytes")
                        : stored.typeId() == QMetaType::QString  ? u'"' + stored.toString().left(40) + u'"'
                                                                 : stored.toString();
  return QStringLiteral("field %1 of table %2 holds %3, %4")
      .arg(dictionary.FieldName(field), dictionary.BaseName(), shown, why);
}

// A stored number as a whole number: SQLite keeps an integer as one, a whole number stored as a float
// (by another program) is taken as well.
bool WholeNumber(const QVariant &stored, qint64 &number) {
  if (stored.typeId() == QMetaType::LongLong) {
    number = stored.toLongLong();
    return true;
  }
  if (stored.typeId() != QMetaType::Double) return false;
  const double real = stored.toDouble();
  if (!std::isfinite(real) || std::trunc(real) != real || std::fabs(real) > 9.2e18) return false;
  number = qint64(real);
  return true;
}

} // namespace

QString ffValueFromStored(const TffDataDictionary &dictionary, int field, QVariant &value) {
  if (!value.isValid()) return {};
  const TffFieldType type = dictionary.FieldType(field);
  const int storedType = value.typeId();
  const bool number = storedType == QMetaType::LongLong || storedType == QMetaType::Double;
  switch (ffValueKind(type)) {
  case TffValueKind::Boolean:
    if (!number) return Unreadable(dictionary, field, value, QStringLiteral("which is not a truth value"));
    value = QVariant(value.toDouble() != 0);
    return {};
  case TffValueKind::Integer: {
    qint64 whole = 0;
    if (!WholeNumber(value, whole))
      return Unreadable(dictionary, field, value, QStringLiteral("which is not a whole number"));
    const qint64 low = ffIntegerMin(type), high = ffIntegerMax(type);
    if (whole < low || whole > high)
      return Unreadable(dictionary, field, value,
                        QStringLiteral("beyond the range %1 to %2 that the field holds").arg(low).arg(high));
    value = high > std::numeric_limits<int>::max() ? QVariant(whole) : QVariant(int(whole));
    return {};
  }
  case TffValueKind::Float:
  case TffValueKind::DateTime:
    if (!number) return Unreadable(dictionary, field, value, QStringLiteral("which is not a number"));
    if (storedType != QMetaType::Double) value = QVariant(value.toDouble());
    return {};
  case TffValueKind::Currency: {
    // Kept in ten-thousandths: a whole number.
    qint64 whole = 0;
    if (!WholeNumber(value, whole))
      return Unreadable(dictionary, field, value, QStringLiteral("which is not an amount"));
    value = QVariant(double(whole) / 10000.0);
    return {};
  }
  case TffValueKind::String:
    if (storedType == QMetaType::QByteArray)
      value = QVariant(QString::fromUtf8(value.toByteArray()));
    else if (storedType != QMetaType::QString)
      value = QVariant(value.toString());
    return {};
  case TffValueKind::Bytes:
    if (storedType != QMetaType::QByteArray) {
      const QByteArray bytes = value.toString().toUtf8();
      // An empty BLOB is not a null one.
      value = QVariant(bytes.isNull() ? QByteArray("") : bytes);
    }
    return {};
  }
  return {};
}
