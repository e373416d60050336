#include "db/storage/ff_exceptions.h"

QString ffStorageErrorFormat(int errorCode) {
  switch (errorCode) {
  case fferrBadFieldNumber:
    return QStringLiteral("Field, index or file number does not exist in the dictionary [%s, item %d]");
  case fferrDictReadOnly:
    return QStringLiteral("Once a table has been built, cannot modify its dictionary [%s]");
  case fferrBadBlockSize:
    return QStringLiteral("The block size must be 4KB, 8KB, 16KB or 32KB only [size used: %d]");
  case fferrDupFieldName:
    return QStringLiteral("There is a duplicate field name in the dictionary [%s, field %s]");
  case fferrDupIndexName:
    return QStringLiteral("There is a duplicate index name in the dictionary [%s, index %s]");
  case fferrNoSuchFieldName:
    return QStringLiteral("Field name does not exist in the dictionary [%s, field %s]");
  case fferrBadName: return QStringLiteral("A field or index name must not be empty [%s]");
  case fferrIndexNoFields: return QStringLiteral("An index needs at least one field [%s, index %s]");
  case fferrDictCorrupt: return QStringLiteral("The stored dictionary is damaged [%s]");
  default:
    return QStringLiteral("Database storage error %d")
        .replace(QStringLiteral("%d"), QString::number(errorCode));
  }
}

QString ffFormatError(const QString &format, std::initializer_list<QVariant> args) {
  QString result;
  result.reserve(format.size() + 32);
  auto arg = args.begin();
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar c = format.at(i);
    if (c == u'%' && i + 1 < format.size() && (format.at(i + 1) == u's' || format.at(i + 1) == u'd')) {
      if (arg != args.end()) {
        result += arg->toString();
        ++arg;
      }
      ++i;
      continue;
    }
    result += c;
  }
  return result;
}

void ffRaiseStorageError(int errorCode, std::initializer_list<QVariant> args) {
  throw EffException(errorCode, ffFormatError(ffStorageErrorFormat(errorCode), args));
}
