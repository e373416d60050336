#include "app/data_upgrade.h"
#include "app/table_definitions.h"
#include "db/client/ff_client_errors.h"
#include "db/client/ff_database.h"
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

} // namespace

void UpgradeData(TffDatabase *Database) {
  // Data of this release is only read.
  const std::optional<TffDataDictionary> wanted = WantedHeaders(Database);
  if (!wanted) return;
  // The engine changes the indexes in one transaction of their own.
  TffServerEngine *engine = Database->ServerEngine();
  const TffResult result = engine->TableChangeIndexes(Database->DatabaseID(), kHeaders, *wanted);
  // Numbers already shared: the invoices keep them, and the index stays as it was.
  if (result == DBIERR_KEYVIOL) return;
  CheckEngineResult(ffNoteEngineResult(result, *engine));
}
