#include "db/storage/ff_sql_schema.h"
#include <sqlite3.h>

QStringList ffSqlCreateDatabaseStatements() {
  return {
      QStringLiteral("PRAGMA application_id = %1").arg(ffApplicationId),
      QStringLiteral("PRAGMA user_version = %1").arg(ffSchemaVersion),
      QStringLiteral("CREATE TABLE %1 (name TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, "
                     "dictionary TEXT NOT NULL, autoinc_seed INTEGER NOT NULL DEFAULT 0)")
          .arg(QLatin1String(ffDictionaryTable)),
  };
}

QString ffSqlQuote(const QString &name) {
  QString quoted = name;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

QString ffSqlColumnType(TffFieldType type) {
  switch (ffValueKind(type)) {
  case TffValueKind::Boolean:
  case TffValueKind::Integer:
  case TffValueKind::Currency: return QStringLiteral("INTEGER");
  case TffValueKind::Float:
  case TffValueKind::DateTime: return QStringLiteral("REAL");
  case TffValueKind::String: return QStringLiteral("TEXT");
  case TffValueKind::Bytes: return QStringLiteral("BLOB");
  }
  return QStringLiteral("BLOB");
}

QString ffSqlIndexName(const QString &tableName, const QString &indexName) {
  return tableName + u'$' + indexName;
}

QString ffSqlKeyExpression(const TffDataDictionary &dictionary, const TffIndexField &field) {
  const TffFieldDescriptor &descriptor = dictionary.FieldDescriptor(field.FieldNumber);
  QString expression = ffSqlQuote(descriptor.fdName);
  if (field.CaseInsensitive && ffIsStringType(descriptor.fdType))
    expression += QStringLiteral(" COLLATE ") + QLatin1String(ffNoCaseCollation);
  return expression;
}

bool ffSqlValidTableName(const QString &tableName) {
  if (tableName.trimmed().isEmpty() || tableName.size() > 255) return false;
  if (tableName.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive)) return false;
  if (tableName.compare(QLatin1String(ffDictionaryTable), Qt::CaseInsensitive) == 0) return false;
  return !tableName.contains(u'$') && !tableName.contains(QChar(0));
}

QStringList ffSqlCreateTableStatements(const QString &tableName, const TffDataDictionary &dictionary) {
  QStringList columns{ffSqlQuote(QLatin1String(ffRowIdColumn)) +
                      QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")};
  for (int i = 0; i < dictionary.FieldCount(); ++i) {
    const TffFieldDescriptor &field = dictionary.FieldDescriptor(i);
    columns.append(ffSqlQuote(field.fdName) + u' ' + ffSqlColumnType(field.fdType));
  }
  QStringList statements{
      QStringLiteral("CREATE TABLE %1 (%2)").arg(ffSqlQuote(tableName), columns.join(u", "))};
  for (int i = 1; i < dictionary.IndexCount(); ++i) {
    const TffIndexDescriptor &index = dictionary.IndexDescriptor(i);
    QStringList keys;
    for (const TffIndexField &field : index.idFields)
      keys.append(ffSqlKeyExpression(dictionary, field) +
                  (field.Descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC")));
    statements.append(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                          .arg(index.idDups ? QString() : QStringLiteral("UNIQUE "),
                               ffSqlQuote(ffSqlIndexName(tableName, index.idName)), ffSqlQuote(tableName),
                               keys.join(u", ")));
  }
  return statements;
}

int ffCompareNoCase(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive); }

namespace {

// SQLite hands over UTF-8. Equal ASCII prefixes are compared in place; the rest, from the first byte that
// is not ASCII, is compared as text with the case folded, which gives the same answer as comparing the
// whole strings that way.
int CompareNoCaseUtf8(void *, int lengthA, const void *dataA, int lengthB, const void *dataB) {
  const auto *a = static_cast<const unsigned char *>(dataA);
  const auto *b = static_cast<const unsigned char *>(dataB);
  const int common = std::min(lengthA, lengthB);
  int i = 0;
  for (; i < common; ++i) {
    unsigned char ca = a[i], cb = b[i];
    if (ca >= 0x80 || cb >= 0x80) break;
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i == common) return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
  const QString restA = QString::fromUtf8(reinterpret_cast<const char *>(a + i), lengthA - i);
  const QString restB = QString::fromUtf8(reinterpret_cast<const char *>(b + i), lengthB - i);
  return ffCompareNoCase(restA, restB);
}

} // namespace

int ffSqlRegisterCollations(sqlite3 *db) {
  return sqlite3_create_collation_v2(db, ffNoCaseCollation, SQLITE_UTF8, nullptr, CompareNoCaseUtf8, nullptr);
}
