#include "app/engine_cursor.h"
#include "db/client/ff_client_errors.h"

TEngineCursor::TEngineCursor(TffDatabase *Database, const QString &Table, const QString &IndexName)
    : engine_(Database->ServerEngine()), table_(Table) {
  if (!engine_) Database->Open();
  engine_ = Database->ServerEngine();
  Check(engine_->CursorOpen(Database->DatabaseID(), Table, IndexName, cursor_));
}

TEngineCursor::~TEngineCursor() {
  if (cursor_) engine_->CursorClose(cursor_);
}

void TEngineCursor::Check(TffResult Result) const { CheckEngineResult(ffNoteEngineResult(Result, *engine_)); }

int TEngineCursor::Field(const QString &Name) const {
  const int field = engine_->CursorDictionary(cursor_)->GetFieldFromName(Name);
  if (field < 0)
    ffRaiseClientError(DBIERR_NOSUCHFIELD,
                       QStringLiteral("Field %1 not found in table %2").arg(Name, table_));
  return field;
}

int TEngineCursor::FieldCount() const { return engine_->CursorDictionary(cursor_)->FieldCount(); }

bool TEngineCursor::Next(TffRecord &Record) {
  const TffResult result = engine_->RecordGetNext(cursor_, Record);
  if (result == DBIERR_EOF) return false;
  Check(result);
  return true;
}

TffRecord TEngineCursor::Insert(const QList<QVariant> &Values) {
  TffRecord inserted;
  Check(engine_->RecordInsert(cursor_, Values, inserted));
  return inserted;
}

void TEngineCursor::ModifyField(int Field, const QVariant &Value) {
  TffRecord modified;
  Check(engine_->RecordModifyField(cursor_, Field, Value, modified));
}
