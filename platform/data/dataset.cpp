#include "platform/data/dataset.h"
#include "platform/data/data_source.h"
#include <algorithm>
#include <cstring>

namespace {

const QString kNotEditing = QStringLiteral("Dataset not in edit or insert mode");

// Runs a step when the scope ends, whether or not an exception passes (the class library's try/finally).
template <typename F>
class Finally {
public:
  explicit Finally(F f) : f_(std::move(f)) {}
  ~Finally() noexcept(false) {
    if (std::uncaught_exceptions() > count_) {
      try {
        f_();
      } catch (...) { // the exception already passing is the one to report
      }
    } else {
      f_();
    }
  }
  Finally(const Finally &) = delete;
  Finally &operator=(const Finally &) = delete;

private:
  F f_;
  int count_ = std::uncaught_exceptions();
};

} // namespace

TDataSet::TDataSet(TComponent *AOwner)
    : TComponent(AOwner), fields_(new TFields(this)), fieldDefs_(new TFieldDefs) {
  buffers_.resize(1);
}

TDataSet::~TDataSet() {
  // Whatever BeforeDestruction has not done (a plain delete): detach without notices.
  for (TField *field : std::as_const(fields_->list_)) field->dataSet_ = nullptr;
  for (TDataSource *source : std::as_const(dataSources_)) {
    source->dataSet_ = nullptr;
    source->state_ = dsInactive;
  }
  delete fields_;
  delete fieldDefs_;
}

void TDataSet::BeforeDestruction() {
  try {
    Close();
  } catch (...) { // the dataset goes away whatever its record source says
  }
  while (!dataSources_.isEmpty()) dataSources_.last()->SetDataSet(nullptr);
  while (fields_->Count() > 0) {
    TField *field = fields_->list_.takeLast();
    field->dataSet_ = nullptr;
    FreeObject(field);
  }
  TComponent::BeforeDestruction();
}

// ---- Opening and closing ----

void TDataSet::SetActive(bool Value) {
  if (Value == Active()) return;
  if (Value) {
    OpenCursor();
    SetState(dsBrowse);
  } else {
    SetState(dsInactive);
    CloseCursor();
  }
}

void TDataSet::OpenCursor() {
  try {
    InternalOpen();
    if (fields_->Count() == 0) {
      CreateFields();
      defaultFields_ = true;
    } else {
      defaultFields_ = false;
    }
    BindFields();
    buffers_.assign(1, TRecordBuffer());
    bufferCount_ = 0;
    ClearBuffers();
    UpdateBufferCount();
    bof_ = true;
  } catch (...) {
    CloseCursor();
    throw;
  }
}

void TDataSet::CloseCursor() {
  buffers_.assign(1, TRecordBuffer());
  bufferCount_ = 0;
  ClearBuffers();
  if (IsCursorOpen()) InternalClose();
  if (defaultFields_)
    DestroyFields();
  else
    for (TField *field : std::as_const(fields_->list_)) field->fieldNo_ = 0;
  defaultFields_ = false;
}

void TDataSet::CreateFields() {
  for (int i = 0; i < fieldDefs_->Count(); ++i) fieldDefs_->Items(i)->CreateField(this, this);
}

void TDataSet::BindFields() {
  for (TField *field : std::as_const(fields_->list_)) {
    TFieldDef *def = fieldDefs_->FindDef(field->FieldName());
    if (!def) DatabaseError(QStringLiteral("Field '%1' not found").arg(field->FieldName()), this);
    if (def->DataType() != field->DataType())
      DatabaseError(
          QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
              .arg(field->FieldName(), FieldTypeName(field->DataType()), FieldTypeName(def->DataType())),
          this);
    if (def->DataType() == ftString && def->Size() > 0) field->size_ = def->Size();
    field->fieldNo_ = def->FieldNo();
  }
}

void TDataSet::DestroyFields() {
  while (fields_->Count() > 0) {
    TField *field = fields_->list_.takeLast();
    field->dataSet_ = nullptr;
    FreeObject(field);
  }
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"), this);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"), this);
}

void TDataSet::CheckCanModify() const {
  if (!CanModify()) DatabaseError(QStringLiteral("Cannot modify a read-only dataset"), this);
}

void TDataSet::SetState(TDataSetState Value) {
  if (state_ == Value) return;
  state_ = Value;
  modified_ = false;
  DataEvent(deUpdateState);
}

TField *TDataSet::FieldByName(const QString &FieldName) const { return fields_->FieldByName(FieldName); }

QList<TField *> TDataSet::GetFieldList(const QString &FieldNames) const {
  QList<TField *> list;
  for (const QString &name : FieldNames.split(u';')) {
    const QString trimmed = name.trimmed();
    if (!trimmed.isEmpty()) list.append(FieldByName(trimmed));
  }
  return list;
}

bool TDataSet::IsLinkedTo(TDataSource *DataSource) const {
  for (int guard = 0; DataSource && guard < 1000; ++guard) {
    TDataSet *dataSet = DataSource->DataSet();
    if (!dataSet) break;
    if (dataSet == this) return true;
    DataSource = dataSet->GetDataSource();
  }
  return false;
}

// ---- Field values ----

bool TDataSet::GetFieldData(const TField *Field, QVariant &Value) const {
  Value = QVariant();
  if (!Active() || Field->fieldNo_ <= 0) return false;
  if (state_ == dsBrowse && IsEmpty()) return false;
  const TRecordBuffer &buffer = buffers_[activeRecord_];
  const int index = Field->fieldNo_ - 1;
  if (index >= buffer.Values.size()) return false;
  Value = buffer.Values[index];
  return Value.isValid();
}

void TDataSet::SetFieldData(TField *Field, const QVariant &Value) {
  if (state_ != dsEdit && state_ != dsInsert) DatabaseError(kNotEditing, this);
  if (!Field->CanModify())
    DatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(Field->DisplayName()));
  QVariant &slot = ActiveBuffer().Values[Field->fieldNo_ - 1];
  const QVariant old = slot;
  slot = Value;
  if (Field->onValidate_) {
    try {
      Field->onValidate_(Field);
    } catch (...) {
      ActiveBuffer().Values[Field->fieldNo_ - 1] = old;
      throw;
    }
  }
  DataEvent(deFieldChange, Field);
  if (Field->onChange_) Field->onChange_(Field);
}

// ---- Notices ----

void TDataSet::DataEvent(TDataEvent Event, TField *Field, int Info) {
  if (Event == deFieldChange) modified_ = true;
  if (disableCount_ == 0) {
    const QList<TDataSource *> sources = dataSources_;
    for (TDataSource *source : sources)
      if (dataSources_.contains(source)) source->DataEvent(Event, Field, Info);
  } else if ((Event == deUpdateState && state_ == dsInactive) || Event == deLayoutChange) {
    enableEvent_ = deLayoutChange;
  }
}

void TDataSet::DisableControls() {
  if (disableCount_ == 0) {
    disableState_ = state_;
    enableEvent_ = deDataSetChange;
  }
  ++disableCount_;
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ > 0) return;
  if (disableState_ != state_) DataEvent(deUpdateState);
  if (disableState_ != dsInactive && state_ != dsInactive) DataEvent(enableEvent_);
}

QList<TDataLink *> TDataSet::AllLinks() const {
  QList<TDataLink *> links;
  for (TDataSource *source : dataSources_) links += source->links_;
  return links;
}

// ---- The buffered window ----

void TDataSet::ClearBuffers() {
  recordCount_ = 0;
  activeRecord_ = 0;
  currentRecord_ = -1;
  bof_ = true;
  eof_ = true;
}

void TDataSet::ActivateBuffers() {
  recordCount_ = 1;
  activeRecord_ = 0;
  currentRecord_ = 0;
  bof_ = false;
  eof_ = false;
}

void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
  auto begin = buffers_.begin();
  if (CurIndex < NewIndex)
    std::rotate(begin + CurIndex, begin + CurIndex + 1, begin + NewIndex + 1);
  else if (CurIndex > NewIndex)
    std::rotate(begin + NewIndex, begin + CurIndex, begin + CurIndex + 1);
}

void TDataSet::UpdateBufferCount() {
  if (!IsCursorOpen()) return;
  int largest = 1;
  for (TDataLink *link : AllLinks()) largest = std::max(largest, link->bufferCount_);
  SetBufferCount(largest);
}

void TDataSet::AdjustLinksFirstRecord(int Delta) {
  for (TDataLink *link : AllLinks())
    if (link->active_) {
      link->firstRecord_ += Delta;
      link->ClampRange();
    }
}

void TDataSet::SetBufferCount(int Value) {
  if (bufferCount_ == Value) return;
  if (bufferCount_ > Value && recordCount_ > 0) {
    // Drop records from the front so that the active record and what the links show stay in the window.
    int delta = activeRecord_;
    for (TDataLink *link : AllLinks())
      if (link->active_) delta = std::min(delta, link->firstRecord_);
    delta = std::max({delta, activeRecord_ - Value + 1, 0});
    std::rotate(buffers_.begin(), buffers_.begin() + delta, buffers_.end());
    recordCount_ = std::min(recordCount_ - delta, Value);
    activeRecord_ -= delta;
    currentRecord_ = currentRecord_ >= delta ? currentRecord_ - delta : -1;
    if (currentRecord_ >= recordCount_) currentRecord_ = -1;
    AdjustLinksFirstRecord(-delta);
  }
  buffers_.resize(std::size_t(Value) + 1);
  bufferCount_ = Value;
  if (!ComponentState().Contains(csDestroying)) {
    GetNextRecords();
    AdjustLinksFirstRecord(GetPriorRecords());
  }
}

void TDataSet::SetCurrentRecord(int Index) {
  if (currentRecord_ == Index) return;
  const TRecordBuffer &buffer = buffers_[Index];
  switch (buffer.BookmarkFlag) {
  case bfCurrent:
  case bfInserted: InternalSetToRecord(buffer); break;
  case bfBOF: InternalFirst(); break;
  case bfEOF: InternalLast(); break;
  }
  currentRecord_ = Index;
}

bool TDataSet::GetNextRecord() {
  TGetMode mode = gmNext;
  if (recordCount_ > 0) {
    SetCurrentRecord(recordCount_ - 1);
    // A new record stands before the record its bookmark names: that record comes next.
    if (buffers_[recordCount_ - 1].BookmarkFlag == bfInserted) mode = gmCurrent;
  }
  if (GetRecord(buffers_[recordCount_], mode, true) != grOK) {
    CursorPosChanged();
    return false;
  }
  if (recordCount_ == 0)
    ActivateBuffers();
  else if (recordCount_ < bufferCount_)
    ++recordCount_;
  else
    MoveBuffer(0, recordCount_);
  currentRecord_ = recordCount_ - 1;
  return true;
}

bool TDataSet::GetPriorRecord() {
  if (recordCount_ > 0) SetCurrentRecord(0);
  if (GetRecord(buffers_[recordCount_], gmPrior, true) != grOK) {
    CursorPosChanged();
    return false;
  }
  if (recordCount_ == 0) {
    ActivateBuffers();
  } else {
    MoveBuffer(recordCount_, 0);
    if (recordCount_ < bufferCount_) {
      ++recordCount_;
      ++activeRecord_;
    }
  }
  currentRecord_ = 0;
  return true;
}

int TDataSet::GetNextRecords() {
  int count = 0;
  while (recordCount_ < bufferCount_ && GetNextRecord()) ++count;
  return count;
}

int TDataSet::GetPriorRecords() {
  int count = 0;
  while (recordCount_ < bufferCount_ && GetPriorRecord()) ++count;
  return count;
}

void TDataSet::UpdateCursorPos() {
  if (recordCount_ > 0) SetCurrentRecord(activeRecord_);
}

void TDataSet::Resync(TResyncMode Mode) {
  if (Mode & rmExact) {
    CursorPosChanged();
    if (GetRecord(buffers_[recordCount_], gmCurrent, true) != grOK)
      DatabaseError(QStringLiteral("Record not found"), this);
  } else if (GetRecord(buffers_[recordCount_], gmCurrent, false) != grOK &&
             GetRecord(buffers_[recordCount_], gmNext, false) != grOK &&
             GetRecord(buffers_[recordCount_], gmPrior, false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange);
    return;
  }
  int count = (Mode & rmCenter) ? (bufferCount_ - 1) / 2 : activeRecord_;
  MoveBuffer(recordCount_, 0);
  ActivateBuffers();
  Finally notify([this] { DataEvent(deDataSetChange); });
  while (count > 0 && GetPriorRecord()) --count;
  GetNextRecords();
  GetPriorRecords();
}

// ---- Navigation ----

void TDataSet::First() {
  CheckBrowseMode();
  ClearBuffers();
  Finally notify([this] {
    bof_ = true;
    DataEvent(deDataSetChange);
  });
  InternalFirst();
  GetNextRecord();
  GetNextRecords();
}

void TDataSet::Last() {
  CheckBrowseMode();
  ClearBuffers();
  Finally notify([this] {
    eof_ = true;
    DataEvent(deDataSetChange);
  });
  InternalLast();
  GetPriorRecord();
  GetPriorRecords();
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  int moved = 0;
  if ((Distance > 0 && !eof_) || (Distance < 0 && !bof_)) {
    bof_ = false;
    eof_ = false;
    int shift = 0; // how far the buffered records moved within the window
    Finally notify([this, &shift] { DataEvent(deDataSetScroll, nullptr, shift); });
    while (Distance > 0) {
      if (activeRecord_ < recordCount_ - 1) {
        ++activeRecord_;
      } else {
        const bool full = recordCount_ == bufferCount_;
        if (!GetNextRecord()) {
          eof_ = true;
          break;
        }
        if (full) --shift;
        activeRecord_ = recordCount_ - 1;
      }
      --Distance;
      ++moved;
    }
    while (Distance < 0) {
      if (activeRecord_ > 0) {
        --activeRecord_;
      } else {
        if (!GetPriorRecord()) {
          bof_ = true;
          break;
        }
        ++shift;
        activeRecord_ = 0;
      }
      ++Distance;
      --moved;
    }
  }
  return moved;
}

// ---- Editing ----

void TDataSet::InternalInitRecord(TRecordBuffer &Buffer) {
  Buffer.Values = QList<QVariant>(fieldDefs_->Count());
}

void TDataSet::InitRecord(TRecordBuffer &Buffer) {
  InternalInitRecord(Buffer);
  Buffer.Bookmark.clear();
  Buffer.BookmarkFlag = bfInserted;
}

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (recordCount_ == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  CheckCanModify();
  UpdateCursorPos();
  InternalEdit();
  SetState(dsEdit);
  DataEvent(deRecordChange);
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  CheckCanModify();
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  try {
    DoOnNewRecord();
  } catch (...) {
    UpdateCursorPos();
    SetState(dsBrowse);
    Resync(0);
    throw;
  }
  modified_ = false;
  DataEvent(deDataSetChange);
}

void TDataSet::Insert() {
  BeginInsertAppend();
  const TBookmark oldCurrent = GetBookmark();
  MoveBuffer(recordCount_, activeRecord_);
  CursorPosChanged();
  TRecordBuffer &buffer = ActiveBuffer();
  InitRecord(buffer);
  if (recordCount_ == 0)
    buffer.BookmarkFlag = bfBOF;
  else
    buffer.Bookmark = oldCurrent;
  if (recordCount_ < bufferCount_) ++recordCount_;
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend();
  ClearBuffers();
  TRecordBuffer &buffer = buffers_[0];
  InitRecord(buffer);
  buffer.BookmarkFlag = bfEOF;
  recordCount_ = 1;
  bof_ = false;
  GetPriorRecords();
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::CheckRequiredFields() {
  for (TField *field : std::as_const(fields_->list_)) {
    if (!field->Required() || field->fieldNo_ <= 0) continue;
    if (field->DataType() == ftAutoInc) continue; // numbered by the record source
    if (field->IsNull())
      DatabaseError(QStringLiteral("Field '%1' must have a value").arg(field->DisplayName()), this);
  }
}

void TDataSet::UpdateRecord() {
  if (state_ != dsEdit && state_ != dsInsert) DatabaseError(kNotEditing, this);
  DataEvent(deUpdateRecord);
}

void TDataSet::Post() {
  UpdateRecord();
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(deCheckBrowseMode);
  CheckRequiredFields();
  UpdateCursorPos();
  InternalPost();
  CursorPosChanged();
  SetState(dsBrowse);
  Resync(0);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(deCheckBrowseMode);
  UpdateCursorPos();
  InternalCancel();
  SetState(dsBrowse);
  Resync(0);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (recordCount_ == 0)
    DatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"), this);
  DataEvent(deCheckBrowseMode);
  UpdateCursorPos();
  InternalDelete();
  CursorPosChanged();
  SetState(dsBrowse);
  Resync(0);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode);
  if (state_ == dsEdit || state_ == dsInsert) {
    UpdateRecord();
    if (modified_)
      Post();
    else
      Cancel();
  }
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  InternalRefresh();
  Resync(0);
}

// ---- Bookmarks ----

TBookmark TDataSet::GetBookmark() const {
  if (!Active() || IsEmpty()) return TBookmark();
  const TRecordBuffer &buffer = ActiveBuffer();
  return buffer.BookmarkFlag == bfCurrent ? buffer.Bookmark : TBookmark();
}

void TDataSet::GotoBookmark(const TBookmark &Bookmark) {
  if (Bookmark.isEmpty()) return;
  CheckBrowseMode();
  InternalGotoBookmark(Bookmark);
  Resync(rmExact | rmCenter);
}

int TDataSet::CompareBookmarks(const TBookmark &Bookmark1, const TBookmark &Bookmark2) const {
  if (Bookmark1.isEmpty() || Bookmark2.isEmpty()) {
    if (Bookmark1.isEmpty() && Bookmark2.isEmpty()) return 0;
    return Bookmark1.isEmpty() ? -1 : 1;
  }
  const int result = InternalCompareBookmarks(Bookmark1, Bookmark2);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int TDataSet::InternalCompareBookmarks(const TBookmark &Bookmark1, const TBookmark &Bookmark2) const {
  return Bookmark1.compare(Bookmark2);
}

bool TDataSet::BookmarkValid(const TBookmark &) const { return false; }

// ---- BLOBs ----

TStream *TDataSet::CreateBlobStream(TField *Field, TBlobStreamMode Mode) {
  auto *blob = dynamic_cast<TBlobField *>(Field);
  if (!blob) DatabaseError(QStringLiteral("Field '%1' is not a BLOB field").arg(Field->DisplayName()), this);
  return new TBlobStream(blob, Mode);
}
