// The data-aware table's link to its dataset: it keeps the map from the table's columns to the dataset's
// fields, notes whether the user changed the current record through the table, and hands every dataset
// notice on to the table.
#pragma once
#include "platform/data/data_source.h"
#include <QList>

class TOvcCustomDbTable;

// The most fields the map holds.
constexpr int MaxMappedFields = 0x7FFFFFF;

class TOvcDbTableDataLink : public TDataLink {
public:
  explicit TOvcDbTableDataLink(TOvcCustomDbTable *Table) : table_(Table) {}
  ~TOvcDbTableDataLink() override;
  QString ClassName() const override { return QStringLiteral("TOvcDbTableDataLink"); }

  // Maps the next column to the dataset's field of that name; false when there is none. Raises
  // EDuvizivTable "Too many columns" when the map is full.
  bool AddField(const QString &FieldName);
  void ClearMapping();
  // The field mapped at Index; EDuvizivTable "Invalid field index" outside the map. nullptr when the mapped
  // field is no longer among the dataset's fields.
  TField *MappedField(int Index) const;
  int MappedCount() const { return int(fieldIndexes_.size()); }
  bool MapBuilt() const { return mapBuilt_; }
  // True without a dataset, else whether the dataset makes its own fields when it opens.
  bool DefaultFieldsOrNoDataSet() const;

  // Undoes the table's changes to the record: cancels the dataset when nothing was typed since the last
  // undo, else shows the record again as it stands.
  void Reset();
  void MarkModified() { modified_ = true; }
  bool Modified() const { return modified_; }

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField *Field) override;
  void UpdateData() override;

private:
  TOvcCustomDbTable *table_;
  QList<int> fieldIndexes_;
  bool inUpdate_ = false;
  bool mapBuilt_ = false;
  bool modified_ = false;
};
