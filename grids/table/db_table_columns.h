// The columns of the data-aware table: each names the field it shows, and the table lays them out as a list
// of visible columns (locked ones first, then the scrolled ones from the left column on).
#pragma once
#include "grids/base/table_columns.h"
#include <QList>

class TField;
class TOvcCustomDbTable;

// Which half of a date-time field a column's cell edits.
enum TDateOrTime { dtUseDate, dtUseTime };

class TOvcDbTableColumn : public TOvcTableColumn {
public:
  explicit TOvcDbTableColumn(TOvcTableAncestor *Table) : TOvcTableColumn(Table) {}
  QString ClassName() const override { return QStringLiteral("TOvcDbTableColumn"); }
  // Width, Hidden and cell, then DataField and DateOrTime from another data-aware column.
  void Assign(const TPersistent *Source) override;

  QString DataField() const { return dataField_; }
  // Looks the field up when the table has a dataset; an unknown name leaves no field.
  void SetDataField(const QString &Value);
  TDateOrTime DateOrTime() const { return dateOrTime_; }
  void SetDateOrTime(TDateOrTime Value);

  // The field the column shows, resolved by name when needed; nullptr when there is none.
  TField *Field();
  // The field as last resolved, without resolving.
  TField *CachedField() const { return field_; }
  // Sets the cache (and DataField to the field's name when Value is a field).
  void SetField(TField *Value);
  void ClearField() { field_ = nullptr; }

  // The column's left x in the table's client area, set by the layout.
  int Left() const { return left_; }
  void SetLeft(int Value) { left_ = Value; }

private:
  TOvcCustomDbTable *DbTable() const;

  QString dataField_;
  TDateOrTime dateOrTime_ = dtUseDate;
  TField *field_ = nullptr;
  int left_ = 0;
};

// The columns laid out in the client area, in display order.
class TOvcVisibleColumns {
public:
  explicit TOvcVisibleColumns(TOvcCustomDbTable *Table) : table_(Table) {}
  // The position of column ColNum, -1 when it is not listed.
  int IndexOf(int ColNum) const { return int(numbers_.indexOf(ColNum)); }
  // The column at a position, nullptr outside the list.
  TOvcDbTableColumn *Items(int Index) const;
  // The column number at a position, -1 outside the list.
  int Number(int Index) const { return numbers_.value(Index, -1); }
  int Count() const { return int(numbers_.size()); }
  void Add(int ColNum) { numbers_.append(ColNum); }
  void Clear() {
    numbers_.clear();
    totalWidth_ = 0;
  }
  // The x of the right edge of the last listed column.
  int TotalWidth() const { return totalWidth_; }
  void SetTotalWidth(int Value) { totalWidth_ = Value; }

private:
  TOvcCustomDbTable *table_;
  QList<int> numbers_;
  int totalWidth_ = 0;
};
