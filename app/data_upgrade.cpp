#include "app/data_upgrade.h"
#include "app/engine_cursor.h"
#include "app/invoice_templates.h"
#include "app/table_definitions.h"
#include "db/client/ff_client_errors.h"
#include <optional>

namespace {

const QString kHeaders = QStringLiteral("MINV1");
const QString kNumbers = QStringLiteral("INVNUM");

// The stored definition of MINV1 with its INVNUM index unique, or nothing when it is so already.
std::optional<TffDataDictionary> HeadersWithUniqueNumbers(const TffDataDictionary &stored) {
  const int numbers = stored.GetIndexFromName(kNumbers);
  if (numbers >= 0 && !stored.IndexDescriptor(numbers).idDups) return std::nullopt;
  TffDataDictionary wanted(stored.BlockSize());
  wanted.SetIsEncrypted(stored.IsEncrypted());
  wanted.GetFileDesc(0) = stored.GetFileDesc(0);
  for (int i = 0; i < stored.FieldCount(); ++i) {
    const TffFieldDescriptor &field = stored.FieldDescriptor(i);
    wanted.AddField(field.fdName, field.fdDesc, field.fdType, field.fdUnits, field.fdDecPl, field.fdRequired);
  }
  for (int i = 1; i < stored.IndexCount(); ++i) {
    const TffIndexDescriptor &index = stored.IndexDescriptor(i);
    wanted.AddIndex(index.idName, index.idDesc, index.idFile, index.idFields, index.idDups && i != numbers);
  }
  if (numbers < 0) {
    const TffDataDictionary shipped = MINV1Dictionary();
    const TffIndexDescriptor &index = shipped.IndexDescriptor(shipped.GetIndexFromName(kNumbers));
    wanted.AddIndex(index.idName, index.idDesc, index.idFile, index.idFields, false);
  }
  return wanted;
}

std::optional<TffDataDictionary> WantedHeaders(TffDatabase *database) {
  TffServerEngine *engine = database->ServerEngine();
  std::optional<TffDataDictionary> stored;
  CheckEngineResult(
      ffNoteEngineResult(engine->TableGetDictionary(database->DatabaseID(), kHeaders, stored), *engine));
  return HeadersWithUniqueNumbers(*stored);
}

void MakeNumbersUnique(TffDatabase *database) {
  TffServerEngine *engine = database->ServerEngine();
  const std::optional<TffDataDictionary> wanted = WantedHeaders(database);
  if (!wanted) return;
  const TffResult result = engine->TableChangeIndexes(database->DatabaseID(), kHeaders, *wanted);
  // Numbers already shared: the invoices keep them, and the index stays as it was.
  if (result == DBIERR_KEYVIOL) return;
  CheckEngineResult(ffNoteEngineResult(result, *engine));
}

bool HasOlderTemplates(TffDatabase *database) {
  TEngineCursor reports(database, QStringLiteral("Reports"));
  const int updated = reports.Field(QStringLiteral("Updated"));
  TffRecord record;
  while (reports.Next(record))
    if (record.Values[updated].toDouble() < InvoiceTemplatesDate()) return true;
  return false;
}

void ReplaceOlderTemplates(TffDatabase *database) {
  const TDateTime release = InvoiceTemplatesDate();
  TEngineCursor reports(database, QStringLiteral("Reports"));
  const int file = reports.Field(QStringLiteral("File"));
  const int fileName = reports.Field(QStringLiteral("FileName"));
  const int description = reports.Field(QStringLiteral("Description"));
  const int updated = reports.Field(QStringLiteral("Updated"));
  std::optional<QList<TShippedReport>> shipped;
  TffRecord record;
  while (reports.Next(record)) {
    if (record.Values[updated].toDouble() >= release) continue;
    if (!shipped) shipped = InvoiceTemplates();
    for (const TShippedReport &report : *shipped) {
      // Template n is the row whose first field is n.
      if (record.Values[0].toInt() != report.Number || record.Values[fileName].toString() != report.FileName)
        continue;
      record.Values[file] = report.Template;
      record.Values[description] = report.Description;
      record.Values[updated] = report.Updated;
      reports.Modify(record.Values);
    }
  }
}

} // namespace

void UpgradeData(TffDatabase *Database) {
  // Data of this release is only read.
  if (!WantedHeaders(Database) && !HasOlderTemplates(Database)) return;
  Database->StartTransaction();
  try {
    MakeNumbersUnique(Database);
    ReplaceOlderTemplates(Database);
    Database->Commit();
  } catch (...) {
    if (Database->InTransaction()) Database->Rollback();
    throw;
  }
}
