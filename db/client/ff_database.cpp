#include "db/client/ff_database.h"
#include "db/client/ff_client_errors.h"
#include "db/client/ff_table.h"

namespace {

QList<TffDatabase *> &Databases() {
  static QList<TffDatabase *> databases;
  return databases;
}

bool SameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

TffDatabase::TffDatabase(TComponent *AOwner) : TffDBListItem(AOwner) { Databases().append(this); }

TffDatabase::~TffDatabase() { Databases().removeAll(this); }

QList<TffDatabase *> TffDatabase::Instances() { return Databases(); }

TffDatabase *TffDatabase::Find(const QString &SessionName, const QString &DatabaseName) {
  for (TffDatabase *database : Databases())
    if (SameName(database->sessionName_, SessionName) && SameName(database->databaseName_, DatabaseName))
      return database;
  return nullptr;
}

void TffDatabase::SetDatabaseName(const QString &Value) {
  CheckInactive(QStringLiteral("database"));
  databaseName_ = Value;
}

void TffDatabase::SetSessionName(const QString &Value) {
  CheckInactive(QStringLiteral("database"));
  sessionName_ = Value;
}

void TffDatabase::SetAliasName(const QString &aValue) {
  CheckInactive(QStringLiteral("database"));
  aliasName_ = aValue;
}

void TffDatabase::Check(TffResult aResult) const {
  CheckEngineResult(ffNoteEngineResult(aResult, *ServerEngine()));
}

void TffDatabase::CheckActive() const {
  if (!Active())
    ffRaiseClientError(DBIERR_MUSTBECLOSED, QStringLiteral("Database \"%1\" is not open").arg(databaseName_));
}

void TffDatabase::OpenItem() {
  TffSession *session = TffSession::Find(sessionName_);
  if (!session)
    ffRaiseClientError(DBIERR_NOSUCHOWNER,
                       QStringLiteral("No session named \"%1\" exists").arg(sessionName_));
  session->Open();
  TffServerEngine *engine = session->ServerEngine();
  TffDatabaseID id = 0;
  const TffResult result = engine->DatabaseOpen(aliasName_, id);
  if (result != DBIERR_NONE) {
    ffNoteEngineResult(result, *engine);
    CheckEngineResult(result);
  }
  session_ = session;
  databaseId_ = id;
}

void TffDatabase::CloseItem() {
  for (TffTable *table : QList<TffTable *>(tables_)) table->Close();
  tables_.clear();
  if (TffServerEngine *engine = ServerEngine()) engine->DatabaseClose(databaseId_);
  databaseId_ = 0;
  session_ = nullptr;
}

QString TffDatabase::FilePath() const {
  CheckActive();
  QString path;
  Check(ServerEngine()->DatabaseGetFilePath(databaseId_, path));
  return path;
}

TffResult TffDatabase::CreateTable(bool aOverWrite, const QString &aTableName,
                                   const TffDataDictionary *aDictionary) {
  if (aTableName.isEmpty()) ffRaiseClientError(DBIERR_NOTABLENAME, QStringLiteral("No table name given"));
  if (!aDictionary)
    ffRaiseClientError(DBIERR_NODICTIONARY,
                       QStringLiteral("No table definition given for table %1").arg(aTableName));
  Open();
  TffServerEngine *engine = ServerEngine();
  return ffNoteEngineResult(engine->TableBuild(databaseId_, aOverWrite, aTableName, *aDictionary), *engine);
}

void TffDatabase::StartTransaction() {
  CheckActive();
  Check(ServerEngine()->TransactionStart(databaseId_));
}

void TffDatabase::Commit() {
  CheckActive();
  const TffResult result =
      ffNoteEngineResult(ServerEngine()->TransactionCommit(databaseId_), *ServerEngine());
  if (result != DBIERR_NONE) {
    // A commit that fails rolls the transaction back: the tables must not show what was lost.
    for (TffTable *table : QList<TffTable *>(tables_)) table->ResyncAfterRollback();
    CheckEngineResult(result);
  }
}

void TffDatabase::Rollback() {
  CheckActive();
  if (!InTransaction()) {
    // A failed commit (or a failure that ended the transaction) has rolled it back already: a handler that
    // rolls back after such a failure must not hide it behind an error of its own.
    for (TffTable *table : QList<TffTable *>(tables_)) table->ResyncAfterRollback();
    return;
  }
  const TffResult result =
      ffNoteEngineResult(ServerEngine()->TransactionRollback(databaseId_), *ServerEngine());
  for (TffTable *table : QList<TffTable *>(tables_)) table->ResyncAfterRollback();
  CheckEngineResult(result);
}

bool TffDatabase::InTransaction() const { return Active() && ServerEngine()->InTransaction(databaseId_); }
