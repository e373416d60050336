#include "grids/table/db_table_columns.h"
#include "grids/table/db_table.h"
#include "platform/data/dataset.h"

TOvcCustomDbTable *TOvcDbTableColumn::DbTable() const { return dynamic_cast<TOvcCustomDbTable *>(Table()); }

void TOvcDbTableColumn::Assign(const TPersistent *Source) {
  TOvcTableColumn::Assign(Source);
  if (const auto *column = dynamic_cast<const TOvcDbTableColumn *>(Source)) {
    SetDataField(column->DataField());
    SetDateOrTime(column->DateOrTime());
  }
}

TField *TOvcDbTableColumn::Field() {
  if (field_ || dataField_.isEmpty()) return field_;
  TOvcCustomDbTable *table = DbTable();
  TDataSet *dataSet = table ? table->DataLink()->DataSet() : nullptr;
  if (!dataSet) return field_;
  // A closed dataset that makes its fields when it opens has none to find yet.
  if (!dataSet->Active() && (dataSet->DefaultFields() || dataSet->FieldCount() == 0)) return field_;
  SetField(dataSet->FindField(dataField_));
  return field_;
}

void TOvcDbTableColumn::SetField(TField *Value) {
  field_ = Value;
  if (Value) dataField_ = Value->FieldName();
}

void TOvcDbTableColumn::SetDataField(const QString &Value) {
  TOvcCustomDbTable *table = DbTable();
  TDataSet *dataSet = table ? table->DataLink()->DataSet() : nullptr;
  TField *found = nullptr;
  if (dataSet && !table->ComponentState().Contains(csLoading) && !Value.isEmpty())
    found = dataSet->FindField(Value);
  dataField_ = Value;
  SetField(found);
}

void TOvcDbTableColumn::SetDateOrTime(TDateOrTime Value) {
  if (Value == dateOrTime_) return;
  dateOrTime_ = Value;
  TOvcCustomDbTable *table = DbTable();
  if (!table || table->ComponentState().Contains(csLoading)) return;
  if (TField *field = Field(); field && DefaultCell()) table->FitCellToField(field, DefaultCell());
}

TOvcDbTableColumn *TOvcVisibleColumns::Items(int Index) const {
  return Index < 0 || Index >= numbers_.size() ? nullptr : table_->Column(numbers_[Index]);
}
