#include "platform/data/memory_dataset.h"
#include <algorithm>
#include <cstring>

namespace {

bool IsIntegerValue(const QVariant &value) {
  switch (value.typeId()) {
  case QMetaType::Int:
  case QMetaType::UInt:
  case QMetaType::LongLong:
  case QMetaType::ULongLong: return true;
  default: return false;
  }
}

// Orders two stored values: null first, then strings by code units, bytes by value, numbers by size.
int CompareValues(const QVariant &a, const QVariant &b) {
  if (!a.isValid() || !b.isValid()) return int(a.isValid()) - int(b.isValid());
  if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString)
    return a.toString().compare(b.toString());
  if (a.typeId() == QMetaType::QByteArray && b.typeId() == QMetaType::QByteArray)
    return a.toByteArray().compare(b.toByteArray());
  if (IsIntegerValue(a) && IsIntegerValue(b)) {
    const qint64 x = a.toLongLong(), y = b.toLongLong();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  const double x = a.toDouble(), y = b.toDouble();
  return x < y ? -1 : (x > y ? 1 : 0);
}

} // namespace

TMemoryDataSet::TMemoryDataSet(TComponent *AOwner)
    : TDataSet(AOwner), masterLink_(std::make_unique<TMasterDataLink>(this)) {
  masterLink_->SetOnMasterChange(TNotifyEvent(this, &TMemoryDataSet::MasterChanged));
  masterLink_->SetOnMasterDisable(TNotifyEvent(this, &TMemoryDataSet::MasterDisabled));
}

TMemoryDataSet::~TMemoryDataSet() = default;

TBookmark TMemoryDataSet::BookmarkOf(qint64 Id) {
  return TBookmark(reinterpret_cast<const char *>(&Id), sizeof Id);
}

qint64 TMemoryDataSet::IdOf(const TBookmark &Bookmark) {
  qint64 id = 0;
  if (Bookmark.size() == sizeof id) std::memcpy(&id, Bookmark.constData(), sizeof id);
  return id;
}

// ---- Structure and opening ----

void TMemoryDataSet::CreateDataSet() {
  CheckInactive();
  rows_.clear();
  Open();
}

void TMemoryDataSet::InternalOpen() {
  if (FieldDefs()->Count() == 0)
    for (int i = 0; i < FieldCount(); ++i) {
      TField *field = Fields()->Fields(i);
      FieldDefs()->Add(field->FieldName(), field->DataType(),
                       field->DataType() == ftString ? field->Size() : 0, field->Required());
    }
  if (FieldDefs()->Count() == 0) DatabaseError(QStringLiteral("Cannot open a dataset without fields"), this);
  const int count = FieldDefs()->Count();
  for (auto &row : rows_) row->Values.resize(count);
  for (int i = 0; i < count; ++i) {
    if (FieldDefs()->Items(i)->DataType() != ftAutoInc) continue;
    qint64 last = lastAutoInc_.value(i, 0);
    for (const auto &row : rows_) last = std::max(last, qint64(row->Values[i].toLongLong()));
    lastAutoInc_[i] = last;
  }
  IndexFieldNumbers(); // an unknown index field fails the open
  cursorOpen_ = true;
  position_ = 0;
  onRecord_ = false;
  currentId_ = 0;
  Rebuild();
}

void TMemoryDataSet::InternalClose() {
  cursorOpen_ = false;
  visible_.clear();
  positionOf_.clear();
}

QList<int> TMemoryDataSet::IndexFieldNumbers() const {
  QList<int> numbers;
  for (const QString &name : indexFieldNames_.split(u';')) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) continue;
    const int index = FieldDefs()->IndexOf(trimmed);
    if (index < 0) DatabaseError(QStringLiteral("Field '%1' not found").arg(trimmed), this);
    numbers.append(index);
  }
  return numbers;
}

QList<int> TMemoryDataSet::DetailFieldNumbers() const {
  const QList<TField *> &masterFields = masterLink_->Fields();
  const QList<int> index = IndexFieldNumbers();
  if (index.size() >= masterFields.size()) return index.mid(0, masterFields.size());
  QList<int> numbers;
  for (TField *field : masterFields) {
    const int number = FieldDefs()->IndexOf(field->FieldName());
    if (number < 0) DatabaseError(QStringLiteral("Field '%1' not found").arg(field->FieldName()), this);
    numbers.append(number);
  }
  return numbers;
}

void TMemoryDataSet::Rebuild() {
  visible_.clear();
  positionOf_.clear();
  const bool detail = masterLink_->Active() && !masterLink_->Fields().isEmpty();
  QList<QVariant> key;
  QList<int> keyFields;
  bool showNone = false;
  if (detail) {
    key = masterLink_->MasterValues();
    keyFields = DetailFieldNumbers();
    showNone =
        key.isEmpty() || std::any_of(key.begin(), key.end(), [](const QVariant &v) { return !v.isValid(); });
  }
  if (!showNone)
    for (const auto &row : rows_) {
      bool match = true;
      for (qsizetype i = 0; detail && match && i < keyFields.size(); ++i)
        match = CompareValues(row->Values[keyFields[i]], key[i]) == 0;
      if (match) visible_.push_back(row.get());
    }
  const QList<int> order = IndexFieldNumbers();
  if (!order.isEmpty())
    std::stable_sort(visible_.begin(), visible_.end(), [&order](const Row *a, const Row *b) {
      for (int field : order) {
        const int c = CompareValues(a->Values[field], b->Values[field]);
        if (c != 0) return c < 0;
      }
      return false;
    });
  for (int i = 0; i < int(visible_.size()); ++i) positionOf_.insert(visible_[i]->Id, i);
  if (onRecord_) {
    const int position = positionOf_.value(currentId_, -1);
    onRecord_ = position >= 0;
    position_ = onRecord_ ? position : 0;
  } else {
    position_ = std::clamp(position_, 0, int(visible_.size()));
  }
}

int TMemoryDataSet::VisiblePosition(qint64 Id) const { return positionOf_.value(Id, -1); }

// ---- The cursor ----

void TMemoryDataSet::InternalFirst() {
  position_ = 0;
  onRecord_ = false;
}

void TMemoryDataSet::InternalLast() {
  position_ = int(visible_.size());
  onRecord_ = false;
}

TGetResult TMemoryDataSet::GetRecord(TRecordBuffer &Buffer, TGetMode GetMode, bool) {
  const int count = int(visible_.size());
  int target = position_;
  switch (GetMode) {
  case gmCurrent:
    if (!onRecord_ || position_ >= count) return grError;
    break;
  case gmNext:
    target = onRecord_ ? position_ + 1 : position_;
    if (target >= count) {
      position_ = count;
      onRecord_ = false;
      return grEOF;
    }
    break;
  case gmPrior:
    target = position_ - 1;
    if (target < 0) {
      position_ = 0;
      onRecord_ = false;
      return grBOF;
    }
    break;
  }
  position_ = target;
  onRecord_ = true;
  const Row *row = visible_[target];
  currentId_ = row->Id;
  Buffer.Values = row->Values;
  Buffer.Bookmark = BookmarkOf(row->Id);
  Buffer.BookmarkFlag = bfCurrent;
  return grOK;
}

void TMemoryDataSet::InternalGotoBookmark(const TBookmark &Bookmark) {
  const int position = VisiblePosition(IdOf(Bookmark));
  if (position < 0) DatabaseError(QStringLiteral("Record not found"), this);
  position_ = position;
  onRecord_ = true;
  currentId_ = visible_[position]->Id;
}

int TMemoryDataSet::InternalCompareBookmarks(const TBookmark &Bookmark1, const TBookmark &Bookmark2) const {
  const qint64 id1 = IdOf(Bookmark1), id2 = IdOf(Bookmark2);
  const int position1 = VisiblePosition(id1), position2 = VisiblePosition(id2);
  if (position1 >= 0 && position2 >= 0) return position1 - position2;
  return id1 < id2 ? -1 : (id1 > id2 ? 1 : 0);
}

bool TMemoryDataSet::BookmarkValid(const TBookmark &Bookmark) const {
  return Active() && VisiblePosition(IdOf(Bookmark)) >= 0;
}

// ---- Changes ----

void TMemoryDataSet::InternalPost() {
  const TRecordBuffer &buffer = ActiveBuffer();
  QList<QVariant> values = buffer.Values;
  values.resize(FieldDefs()->Count());
  Row *edited = nullptr;
  if (State() == dsEdit) {
    if (!onRecord_) DatabaseError(QStringLiteral("Record not found"), this);
    edited = visible_[position_];
  }
  for (int i = 0; i < values.size(); ++i) {
    if (FieldDefs()->Items(i)->DataType() != ftAutoInc) continue;
    if (values[i].isValid() && values[i].toLongLong() != 0) {
      lastAutoInc_[i] = std::max(lastAutoInc_.value(i, 0), qint64(values[i].toLongLong()));
    } else if (edited) {
      values[i] = edited->Values[i];
    } else {
      lastAutoInc_[i] = lastAutoInc_.value(i, 0) + 1;
      values[i] = lastAutoInc_[i];
    }
  }
  if (edited) {
    edited->Values = values;
    currentId_ = edited->Id;
  } else {
    auto row = std::make_unique<Row>();
    row->Id = nextId_++;
    row->Values = values;
    currentId_ = row->Id;
    auto place = rows_.end();
    if (buffer.BookmarkFlag == bfInserted) {
      const qint64 before = IdOf(buffer.Bookmark);
      place = std::find_if(rows_.begin(), rows_.end(), [before](const auto &r) { return r->Id == before; });
    }
    const bool appended = place == rows_.end();
    rows_.insert(place, std::move(row));
    // Filling record after record stays linear: a record appended where the order puts it last joins the
    // end of the visible list.
    if (appended && AppendVisible(rows_.back().get())) {
      onRecord_ = true;
      return;
    }
  }
  onRecord_ = true;
  Rebuild();
}

bool TMemoryDataSet::AppendVisible(Row *row) {
  if (masterLink_->Active() && !masterLink_->Fields().isEmpty()) return false;
  if (!visible_.empty()) {
    const Row *last = visible_.back();
    for (int field : IndexFieldNumbers()) {
      const int c = CompareValues(row->Values[field], last->Values[field]);
      if (c < 0) return false;
      if (c > 0) break;
    }
  }
  visible_.push_back(row);
  position_ = int(visible_.size()) - 1;
  positionOf_.insert(row->Id, position_);
  return true;
}

void TMemoryDataSet::InternalDelete() {
  if (!onRecord_) DatabaseError(QStringLiteral("Record not found"), this);
  const qint64 id = visible_[position_]->Id;
  rows_.erase(std::find_if(rows_.begin(), rows_.end(), [id](const auto &r) { return r->Id == id; }));
  onRecord_ = false; // in the gap: the next record is the one that followed
  Rebuild();
}

void TMemoryDataSet::DoOnNewRecord() {
  if (!masterLink_->Active() || masterLink_->Fields().isEmpty()) return;
  const QList<QVariant> key = masterLink_->MasterValues();
  const QList<int> fields = DetailFieldNumbers();
  for (qsizetype i = 0; i < key.size() && i < fields.size(); ++i) ActiveBuffer().Values[fields[i]] = key[i];
}

void TMemoryDataSet::EmptyDataSet() {
  if (Active()) CheckBrowseMode();
  rows_.clear();
  if (!Active()) return;
  InternalFirst();
  Rebuild();
  First();
}

// ---- Counting ----

int TMemoryDataSet::RecordCount() const {
  CheckActive();
  return int(visible_.size());
}

int TMemoryDataSet::RecNo() const {
  if (!Active()) return -1;
  if (IsEmpty()) return 0;
  const TRecordBuffer &buffer = ActiveBuffer();
  if (buffer.BookmarkFlag != bfCurrent) return -1;
  const int position = VisiblePosition(IdOf(buffer.Bookmark));
  return position < 0 ? -1 : position + 1;
}

void TMemoryDataSet::SetRecNo(int Value) {
  CheckBrowseMode();
  if (Value < 1 || Value > int(visible_.size()) || Value == RecNo()) return;
  position_ = Value - 1;
  onRecord_ = true;
  currentId_ = visible_[position_]->Id;
  Resync(rmExact | rmCenter);
}

// ---- Order and master ----

void TMemoryDataSet::SetIndexFieldNames(const QString &Value) {
  if (Value == indexFieldNames_) return;
  const QString old = indexFieldNames_;
  indexFieldNames_ = Value;
  if (!Active()) return;
  try {
    IndexFieldNumbers();
  } catch (...) {
    indexFieldNames_ = old;
    throw;
  }
  ApplyOrderChange();
}

void TMemoryDataSet::ApplyOrderChange() {
  CheckBrowseMode();
  UpdateCursorPos();
  Rebuild();
  Resync(0);
}

void TMemoryDataSet::SetMasterSource(TDataSource *Value) {
  if (Value && IsLinkedTo(Value)) DatabaseError(QStringLiteral("Circular datalinks are not allowed"), this);
  masterLink_->SetDataSource(Value);
}

void TMemoryDataSet::MasterChanged(TObject *) {
  CheckBrowseMode();
  onRecord_ = false;
  position_ = 0;
  Rebuild();
  First();
}

void TMemoryDataSet::MasterDisabled(TObject *) { MasterChanged(nullptr); }
