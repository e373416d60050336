#include "db/client/ff_table.h"
#include "db/client/ff_client_errors.h"
#include <algorithm>
#include <cstring>
#include <limits>

namespace {

TBookmark EncodeBookmark(TffBookmark bookmark) {
  return TBookmark(reinterpret_cast<const char *>(&bookmark), sizeof bookmark);
}

TffBookmark DecodeBookmark(const TBookmark &bookmark) {
  TffBookmark value = 0;
  if (bookmark.size() == sizeof value) std::memcpy(&value, bookmark.constData(), sizeof value);
  return value;
}

// The class library's field type (and size, for strings) of an engine field type.
TFieldType DataTypeOf(TffFieldType type) {
  switch (type) {
  case fftBoolean: return ftBoolean;
  case fftByte:
  case fftInt8:
  case fftInt16: return ftSmallint;
  case fftWord16: return ftWord;
  case fftInt32: return ftInteger;
  case fftAutoInc: return ftAutoInc;
  case fftWord32: // beyond the 32-bit signed range: kept exact as a float
  case fftComp:
  case fftSingle:
  case fftDouble:
  case fftExtended: return ftFloat;
  case fftCurrency: return ftCurrency;
  case fftStDate: return ftDate;
  case fftStTime: return ftTime;
  case fftDateTime: return ftDateTime;
  case fftBLOBMemo: return ftMemo;
  case fftBLOBFmtMemo: return ftFmtMemo;
  case fftBLOBGraphic: return ftGraphic;
  case fftBLOBOLEObj: return ftParadoxOle;
  case fftBLOBDBSOLEObj: return ftDBaseOle;
  case fftBLOBTypedBin: return ftTypedBinary;
  case fftBLOB:
  case fftBLOBFile:
  case fftByteArray: return ftBlob;
  case fftChar:
  case fftWideChar:
  case fftShortString:
  case fftShortAnsiStr:
  case fftNullString:
  case fftNullAnsiStr:
  case fftWideString: return ftString;
  }
  return ftUnknown;
}

QVariant EngineValue(const Variant &value) {
  switch (value.VarType()) {
  case varInteger: return QVariant(qlonglong(value.ToInt64()));
  case varDouble:
  case varDate: return QVariant(value.ToDouble());
  case varBoolean: return QVariant(value.ToBool());
  case varString: return QVariant(value.ToString());
  default: return QVariant();
  }
}

} // namespace

TffTable::TffTable(TComponent *AOwner)
    : TDataSet(AOwner), masterLink_(std::make_unique<TMasterDataLink>(this)) {
  masterLink_->SetOnMasterChange(TNotifyEvent(this, &TffTable::MasterChanged));
  masterLink_->SetOnMasterDisable(TNotifyEvent(this, &TffTable::MasterDisabled));
}

TffTable::~TffTable() = default;

// ---- Settings ----

void TffTable::SetDatabaseName(const QString &Value) {
  CheckInactive();
  databaseName_ = Value;
}

void TffTable::SetSessionName(const QString &Value) {
  CheckInactive();
  sessionName_ = Value;
}

void TffTable::SetTableName(const QString &Value) {
  CheckInactive();
  tableName_ = Value;
}

void TffTable::SetReadOnly(bool Value) {
  CheckInactive();
  readOnly_ = Value;
}

void TffTable::SetIndexName(const QString &aValue) {
  if (!Active()) {
    indexName_ = aValue;
    return;
  }
  CheckBrowseMode();
  UpdateCursorPos();
  SettleReadAhead();
  Check(Engine()->CursorSwitchToIndex(cursor_, aValue, true));
  ranged_ = false;
  indexName_ = aValue;
  CursorPosChanged();
  if (masterLink_->Active() && !masterLink_->Fields().isEmpty()) {
    ApplyMasterRange(); // the master's range, on the new index
    First();
  } else {
    Resync(0);
  }
}

void TffTable::SetMasterSource(TDataSource *Value) {
  if (Value && IsLinkedTo(Value)) DatabaseError(QStringLiteral("Circular datalinks are not allowed"), this);
  masterLink_->SetDataSource(Value);
}

// ---- The engine ----

TffServerEngine *TffTable::Engine() const { return database_ ? database_->ServerEngine() : nullptr; }

void TffTable::Check(TffResult aResult) const {
  if (aResult == DBIERR_NONE) return;
  if (TffServerEngine *engine = Engine()) ffNoteEngineResult(aResult, *engine);
  CheckEngineResult(aResult);
}

TffDatabase *TffTable::FindDatabase() const {
  TffDatabase *database = TffDatabase::Find(sessionName_, databaseName_);
  if (!database)
    ffRaiseClientError(
        DBIERR_NOSUCHOWNER,
        QStringLiteral("No database named \"%1\" exists in session \"%2\"").arg(databaseName_, sessionName_));
  return database;
}

QList<QVariant> TffTable::EngineValues(const QList<Variant> &Values) {
  QList<QVariant> values;
  values.reserve(Values.size());
  for (const Variant &value : Values) values.append(EngineValue(value));
  return values;
}

QList<int> TffTable::IndexFieldNumbers() const {
  QList<int> numbers;
  const TffDataDictionary *dictionary = Engine()->CursorDictionary(cursor_);
  const int index = Engine()->CursorIndex(cursor_);
  if (!dictionary || index < 0) return numbers;
  for (const TffIndexField &field : dictionary->IndexDescriptor(index).idFields)
    numbers.append(field.FieldNumber);
  return numbers;
}

// ---- Opening ----

void TffTable::InternalOpen() {
  if (tableName_.isEmpty())
    ffRaiseClientError(DBIERR_NOTABLENAME, QStringLiteral("No table name given for %1").arg(Name()));
  TffDatabase *database = FindDatabase();
  database->Open();
  TffServerEngine *engine = database->ServerEngine();
  TffCursorID cursor = 0;
  const TffResult result = engine->CursorOpen(database->DatabaseID(), tableName_, indexName_, cursor);
  if (result != DBIERR_NONE) CheckEngineResult(ffNoteEngineResult(result, *engine));
  cursor_ = cursor;
  database_ = database;
  database_->tables_.append(this);
  InitFieldDefs(*engine->CursorDictionary(cursor_));
  masterEmpty_ = false;
  ranged_ = false;
  ApplyMasterRange();
}

void TffTable::InitFieldDefs(const TffDataDictionary &Dictionary) {
  FieldDefs()->Clear();
  for (int i = 0; i < Dictionary.FieldCount(); ++i) {
    const TffFieldDescriptor &field = Dictionary.FieldDescriptor(i);
    const TFieldType type = DataTypeOf(field.fdType);
    const int size = type == ftString ? ffMaxCharacters(field.fdType, field.fdUnits) : 0;
    FieldDefs()->Add(field.fdName, type, size, field.fdRequired);
  }
}

void TffTable::InternalClose() {
  ForgetReadAhead();
  if (cursor_ != 0)
    if (TffServerEngine *engine = Engine()) engine->CursorClose(cursor_);
  cursor_ = 0;
  if (database_) database_->tables_.removeAll(this);
  database_ = nullptr;
  masterEmpty_ = false;
}

// ---- The cursor ----

void TffTable::InternalFirst() {
  ForgetReadAhead();
  Check(Engine()->CursorSetToBegin(cursor_));
  edgeRead_ = ranged_;
}

void TffTable::InternalLast() {
  ForgetReadAhead();
  Check(Engine()->CursorSetToEnd(cursor_));
  edgeRead_ = ranged_;
}

// ---- Reading ahead ----

void TffTable::ForgetReadAhead() {
  ahead_.clear();
  aheadNext_ = 0;
  aheadAtEdge_ = false;
  streak_ = 0;
  found_.reset();
}

void TffTable::SettleReadAhead() {
  const bool pending = HasReadAhead();
  ForgetReadAhead();
  if (pending) Check(Engine()->CursorSetToBookmark(cursor_, handedOut_));
}

int TffTable::ReadAheadCount(TGetMode GetMode) {
  constexpr int kMostAhead = 64;
  streak_ = GetMode == aheadMode_ ? streak_ + 1 : 1;
  aheadMode_ = GetMode;
  const int windowNeeds = BufferCount() - BufferedRecordCount();
  // Each read in a row takes four times as many: a walk over a few records needs few reads.
  int stepping = 1 << std::min(2 * (streak_ - 1), 6);
  // A range (one customer's invoices, one invoice's lines) is mostly read whole from its first record.
  constexpr int kRangeFromEdge = 16;
  if (edgeRead_) stepping = std::max(stepping, kRangeFromEdge);
  edgeRead_ = false;
  return std::clamp(std::max(windowNeeds, stepping), 1, kMostAhead);
}

TGetResult TffTable::HandOut(TRecordBuffer &Buffer) {
  TffRecord &record = ahead_[aheadNext_++];
  handedOut_ = record.Bookmark;
  Buffer.Values = std::move(record.Values);
  Buffer.Bookmark = EncodeBookmark(record.Bookmark);
  Buffer.BookmarkFlag = bfCurrent;
  if (!HasReadAhead()) {
    ahead_.clear();
    aheadNext_ = 0;
  }
  return grOK;
}

TGetResult TffTable::GetRecord(TRecordBuffer &Buffer, TGetMode GetMode, bool DoCheck) {
  if (masterEmpty_) return GetMode == gmNext ? grEOF : (GetMode == gmPrior ? grBOF : grError);
  if (GetMode == gmCurrent && found_) {
    ahead_ = {std::move(*found_)};
    found_.reset();
    return HandOut(Buffer);
  }
  if (GetMode != gmCurrent && aheadMode_ == GetMode) {
    if (HasReadAhead()) {
      ++streak_;
      return HandOut(Buffer);
    }
    // The last read came back short: it reached the end (or beginning), where the cursor now stands.
    if (aheadAtEdge_) return GetMode == gmNext ? grEOF : grBOF;
  }
  const int keepStreak = GetMode == aheadMode_ ? streak_ : 0;
  SettleReadAhead();
  streak_ = keepStreak;
  TffRecord record;
  TffResult result = DBIERR_NONE;
  if (GetMode == gmCurrent) {
    result = Engine()->RecordGet(cursor_, record);
    if (result == DBIERR_NONE) ahead_ = {std::move(record)};
  } else {
    const int count = ReadAheadCount(GetMode);
    result = Engine()->RecordGetBatch(cursor_, count, GetMode == gmNext, ahead_);
    if (result == DBIERR_NONE && ahead_.isEmpty()) result = GetMode == gmNext ? DBIERR_EOF : DBIERR_BOF;
    aheadAtEdge_ = result == DBIERR_NONE && ahead_.size() < count;
  }
  if (result == DBIERR_NONE) return HandOut(Buffer);
  ahead_.clear();
  switch (result) {
  case DBIERR_EOF: return grEOF;
  case DBIERR_BOF: return grBOF;
  case DBIERR_NOCURRREC:
  case DBIERR_RECDELETED:
  case DBIERR_RECNOTFOUND:
    if (GetMode == gmCurrent) return grError; // no record where the cursor stands
    break;
  default: break;
  }
  if (DoCheck) Check(result);
  return grError;
}

void TffTable::InternalGotoBookmark(const TBookmark &Bookmark) {
  ForgetReadAhead();
  Check(Engine()->CursorSetToBookmark(cursor_, DecodeBookmark(Bookmark)));
}

int TffTable::InternalCompareBookmarks(const TBookmark &Bookmark1, const TBookmark &Bookmark2) const {
  const TffBookmark a = DecodeBookmark(Bookmark1), b = DecodeBookmark(Bookmark2);
  return a < b ? -1 : (a > b ? 1 : 0);
}

bool TffTable::BookmarkValid(const TBookmark &Bookmark) const {
  if (!Active() || Bookmark.isEmpty() || masterEmpty_) return false;
  const_cast<TffTable *>(this)->ForgetReadAhead();
  const TffResult result = Engine()->CursorSetToBookmark(cursor_, DecodeBookmark(Bookmark));
  const_cast<TffTable *>(this)->CursorPosChanged(); // the cursor moved: position it again before use
  return result == DBIERR_NONE;
}

int TffTable::RecordCount() const {
  CheckActive();
  if (masterEmpty_) return 0;
  qint64 count = 0;
  Check(Engine()->CursorGetRecordCount(cursor_, count));
  return int(std::min<qint64>(count, std::numeric_limits<int>::max()));
}

// ---- Changes ----

void TffTable::InternalPost() {
  SettleReadAhead(); // an edit changes the record the dataset believes the cursor is on
  TffRecord stored;
  if (State() == dsEdit)
    Check(Engine()->RecordModify(cursor_, ActiveBuffer().Values, stored));
  else
    Check(Engine()->RecordInsert(cursor_, ActiveBuffer().Values, stored));
}

void TffTable::InternalDelete() {
  SettleReadAhead();
  Check(Engine()->RecordDelete(cursor_));
}

void TffTable::DoOnNewRecord() {
  if (!masterLink_->Active() || masterLink_->Fields().isEmpty()) return;
  const QList<QVariant> key = masterLink_->MasterValues();
  const QList<int> fields = IndexFieldNumbers();
  for (qsizetype i = 0; i < key.size() && i < fields.size(); ++i) ActiveBuffer().Values[fields[i]] = key[i];
}

void TffTable::EmptyTable() {
  if (!Active()) {
    TffDatabase *database = FindDatabase();
    database->Open();
    TffServerEngine *engine = database->ServerEngine();
    CheckEngineResult(ffNoteEngineResult(engine->TableEmpty(database->DatabaseID(), tableName_), *engine));
    return;
  }
  CheckBrowseMode();
  ForgetReadAhead();
  Check(Engine()->TableEmpty(database_->DatabaseID(), tableName_));
  First();
}

void TffTable::ResyncAfterRollback() {
  if (State() != dsBrowse) return;
  // What was read ahead may have gone or changed back. The active record stays active when it is still
  // there; else the one that now stands at its key in the current index takes its place.
  ForgetReadAhead();
  if (!IsEmpty() && !masterEmpty_) {
    const TRecordBuffer &active = ActiveBuffer();
    if (Engine()->CursorSetToBookmark(cursor_, DecodeBookmark(active.Bookmark)) != DBIERR_NONE) {
      QList<QVariant> key;
      for (int field : IndexFieldNumbers()) key.append(active.Values.value(field));
      Check(Engine()->CursorSetToKey(cursor_, key));
    }
  }
  CursorPosChanged();
  Resync(0);
}

// ---- Searching and ranges ----

void TffTable::FindNearest(const QList<Variant> &aKeyValues) {
  CheckBrowseMode();
  if (masterEmpty_) return;
  ForgetReadAhead();
  Check(Engine()->CursorSetToKey(cursor_, EngineValues(aKeyValues), &found_));
  CursorPosChanged();
  Resync(rmCenter);
}

void TffTable::SetRange(const QList<Variant> &aStartValues, const QList<Variant> &aEndValues) {
  CheckBrowseMode();
  ForgetReadAhead();
  Check(Engine()->CursorSetRange(cursor_, EngineValues(aStartValues), true, EngineValues(aEndValues), true));
  ranged_ = true;
  masterEmpty_ = false;
  First();
}

void TffTable::CancelRange() {
  CheckBrowseMode();
  ForgetReadAhead();
  Check(Engine()->CursorResetRange(cursor_));
  ranged_ = false;
  masterEmpty_ = false;
  First();
}

// ---- Master-detail ----

void TffTable::ApplyMasterRange() {
  masterEmpty_ = false;
  if (!masterLink_->Active() || masterLink_->Fields().isEmpty()) return;
  ForgetReadAhead();
  const QList<QVariant> key = masterLink_->MasterValues();
  if (key.isEmpty() || std::any_of(key.begin(), key.end(), [](const QVariant &v) { return !v.isValid(); })) {
    masterEmpty_ = true;
    return;
  }
  Check(Engine()->CursorSetRange(cursor_, key, true, key, true));
  ranged_ = true;
}

void TffTable::MasterChanged(TObject *) {
  CheckBrowseMode();
  ApplyMasterRange();
  First();
}

void TffTable::MasterDisabled(TObject *) {
  CheckBrowseMode();
  ForgetReadAhead();
  masterEmpty_ = false;
  Check(Engine()->CursorResetRange(cursor_));
  ranged_ = false;
  First();
}
