#include "db/storage/ff_sql_schema.h"

QStringList ffSqlCreateDatabaseStatements() {
  return {
      QStringLiteral("PRAGMA application_id = %1").arg(ffApplicationId),
      QStringLiteral("PRAGMA user_version = %1").arg(ffSchemaVersion),
      QStringLiteral("CREATE TABLE %1 (name TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, "
                     "dictionary TEXT NOT NULL, autoinc_seed INTEGER NOT NULL DEFAULT 0, "
                     "unchecked_changes INTEGER NOT NULL DEFAULT 0)")
          .arg(QLatin1String(ffDictionaryTable)),
      ffSqlCreatePropertiesStatement(),
  };
}

QString ffSqlCreatePropertiesStatement(bool unlessExists) {
  return QStringLiteral("CREATE TABLE %1%2 (name TEXT NOT NULL PRIMARY KEY, value TEXT)")
      .arg(unlessExists ? QStringLiteral("IF NOT EXISTS ") : QString(), QLatin1String(ffPropertiesTable));
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

namespace {

bool HasKeyColumn(const TffDataDictionary &dictionary, const TffIndexField &field) {
  return field.CaseInsensitive && ffIsStringType(dictionary.FieldType(field.FieldNumber));
}

} // namespace

QList<int> ffSqlKeyColumnFields(const TffDataDictionary &dictionary) {
  QList<bool> keyed(dictionary.FieldCount(), false);
  for (int i = 1; i < dictionary.IndexCount(); ++i)
    for (const TffIndexField &field : dictionary.IndexDescriptor(i).idFields)
      if (HasKeyColumn(dictionary, field)) keyed[field.FieldNumber] = true;
  QList<int> fields;
  for (int i = 0; i < keyed.size(); ++i)
    if (keyed[i]) fields.append(i);
  return fields;
}

QString ffSqlKeyColumn(const QString &fieldName) { return QStringLiteral("ff_key_") + fieldName; }

QString ffSqlKeyExpression(const TffDataDictionary &dictionary, const TffIndexField &field) {
  const QString &name = dictionary.FieldDescriptor(field.FieldNumber).fdName;
  return ffSqlQuote(HasKeyColumn(dictionary, field) ? ffSqlKeyColumn(name) : name);
}

bool ffSqlValidTableName(const QString &tableName) {
  if (tableName.trimmed().isEmpty() || tableName.size() > 255) return false;
  if (tableName.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive)) return false;
  for (const char *own : {ffDictionaryTable, ffPropertiesTable})
    if (tableName.compare(QLatin1String(own), Qt::CaseInsensitive) == 0) return false;
  return !tableName.contains(u'$') && !tableName.contains(QChar(0));
}

QString ffSqlCreateTableStatement(const QString &tableName, const TffDataDictionary &dictionary) {
  QStringList columns{ffSqlQuote(QLatin1String(ffRowIdColumn)) +
                      QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")};
  for (int i = 0; i < dictionary.FieldCount(); ++i) {
    const TffFieldDescriptor &field = dictionary.FieldDescriptor(i);
    columns.append(ffSqlQuote(field.fdName) + u' ' + ffSqlColumnType(field.fdType));
  }
  for (int field : ffSqlKeyColumnFields(dictionary))
    columns.append(ffSqlQuote(ffSqlKeyColumn(dictionary.FieldName(field))) + QStringLiteral(" BLOB"));
  return QStringLiteral("CREATE TABLE %1 (%2)").arg(ffSqlQuote(tableName), columns.join(u", "));
}

QStringList ffSqlCreateIndexStatements(const QString &tableName, const TffDataDictionary &dictionary) {
  QStringList statements;
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

namespace {

QString TriggerName(const QString &tableName, const char *event) {
  return ffSqlQuote(tableName + QStringLiteral("$ff_") + QLatin1String(event));
}

} // namespace

QStringList ffSqlCreateTriggerStatements(const QString &tableName, const TffDataDictionary &dictionary) {
  QStringList kept;
  for (int i = 0; i < dictionary.FieldCount(); ++i)
    if (dictionary.FieldType(i) == fftAutoInc) {
      kept.append(ffSqlQuote(dictionary.FieldName(i)));
      break;
    }
  for (int field : ffSqlKeyColumnFields(dictionary))
    kept +=
        {ffSqlQuote(dictionary.FieldName(field)), ffSqlQuote(ffSqlKeyColumn(dictionary.FieldName(field)))};
  if (kept.isEmpty()) return {};
  QString literal = tableName;
  literal.replace(u'\'', QStringLiteral("''"));
  // A table already marked is not written again, so a long run of inserts costs one look-up a row.
  const QString mark = QStringLiteral("BEGIN UPDATE %1 SET unchecked_changes = 1 WHERE name = '%2' AND "
                                      "unchecked_changes = 0; END")
                           .arg(QLatin1String(ffDictionaryTable), literal);
  const QString table = ffSqlQuote(tableName);
  return {QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 %3")
              .arg(TriggerName(tableName, "inserted"), table, mark),
          QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3 %4")
              .arg(TriggerName(tableName, "updated"), kept.join(u", "), table, mark)};
}

QStringList ffSqlDropTriggerStatements(const QString &tableName) {
  return {QStringLiteral("DROP TRIGGER IF EXISTS ") + TriggerName(tableName, "inserted"),
          QStringLiteral("DROP TRIGGER IF EXISTS ") + TriggerName(tableName, "updated")};
}
