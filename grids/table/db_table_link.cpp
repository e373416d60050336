#include "grids/table/db_table_link.h"
#include "grids/base/table_types.h"
#include "grids/table/db_table.h"

TOvcDbTableDataLink::~TOvcDbTableDataLink() = default;

bool TOvcDbTableDataLink::AddField(const QString &FieldName) {
  if (fieldIndexes_.size() >= MaxMappedFields) RaiseTableError(30262);
  TDataSet *dataSet = DataSet();
  TField *field = dataSet ? dataSet->FindField(FieldName) : nullptr;
  if (!field) return false;
  fieldIndexes_.append(field->Index());
  field->FreeNotification(table_);
  mapBuilt_ = true;
  return true;
}

void TOvcDbTableDataLink::ClearMapping() {
  fieldIndexes_.clear();
  mapBuilt_ = false;
}

TField *TOvcDbTableDataLink::MappedField(int Index) const {
  if (Index < 0 || Index >= fieldIndexes_.size()) RaiseTableError(30263);
  TDataSet *dataSet = DataSet();
  const int fieldIndex = fieldIndexes_[Index];
  if (!dataSet || fieldIndex < 0 || fieldIndex >= dataSet->FieldCount()) return nullptr;
  return dataSet->Fields()->Fields(fieldIndex);
}

bool TOvcDbTableDataLink::DefaultFieldsOrNoDataSet() const {
  TDataSet *dataSet = DataSet();
  return !dataSet || dataSet->DefaultFields();
}

void TOvcDbTableDataLink::Reset() {
  if (!modified_) {
    if (TDataSet *dataSet = DataSet()) dataSet->Cancel();
  } else {
    RecordChanged(nullptr);
  }
}

void TOvcDbTableDataLink::ActiveChanged() { table_->DataLinkActiveChanged(Active()); }

void TOvcDbTableDataLink::DataSetChanged() {
  modified_ = false;
  table_->DataSetChanged();
}

void TOvcDbTableDataLink::DataSetScrolled(int Distance) { table_->DataSetScrolled(Distance); }

void TOvcDbTableDataLink::EditingChanged() { table_->EditingChanged(); }

void TOvcDbTableDataLink::LayoutChanged() { table_->LayoutChanged(); }

void TOvcDbTableDataLink::RecordChanged(TField *Field) {
  if (Field && inUpdate_) return;
  table_->RecordChanged(Field);
  modified_ = false;
}

void TOvcDbTableDataLink::UpdateData() {
  // An open editor is asked even when the flag was cleared by another notice: its value must reach the
  // record before it is posted.
  if (!modified_ && !table_->EditorOpen()) return;
  inUpdate_ = true;
  bool saved = false;
  try {
    saved = table_->SaveEditedValue();
  } catch (...) {
    inUpdate_ = false;
    throw;
  }
  inUpdate_ = false;
  // A refused value stays marked, so that the next attempt to post asks for it again.
  if (!saved) Abort();
  modified_ = false;
}
