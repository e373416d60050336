// How the data-aware table moves values between a dataset field and a cell, by the cell's class: which field
// types a cell suits, the value the cell paints and edits, and the value written back.
//
// Values travel typed, never as bytes: a text cell holds the field's whole text (no length limit), a
// combo-box cell a TOvcTCComboBoxData, a glyph cell its glyph number, a check-box cell a TCheckBoxState, a
// field cell a TOvcEntryValue of its editor's data type (a date as a day number, a time as seconds of the
// day). A cell that handles a field itself (AcceptsField) is given a QVariant, which its TransferField fills
// from the field and reads back.
#pragma once
#include "grids/base/cell.h"
#include "grids/cells/combo_cell.h"
#include "grids/cells/entry_value.h"
#include "grids/cells/glyph_cells.h"
#include "grids/table/db_table_columns.h"
#include <QVariant>
#include <optional>
#include <variant>

// One cell's value; empty for a cell that takes no value.
class TOvcDbCellValue {
public:
  bool Empty() const { return std::holds_alternative<std::monostate>(value_); }
  // The value in the cell's format, nullptr when empty.
  void *Data();
  const void *Data() const { return const_cast<TOvcDbCellValue *>(this)->Data(); }
  template <class T>
  T &Make() {
    return value_.emplace<T>();
  }
  template <class T>
  const T *Get() const {
    return std::get_if<T>(&value_);
  }

private:
  std::variant<std::monostate, QString, TOvcTCComboBoxData, qint32, TCheckBoxState, TOvcEntryValue, QVariant>
      value_;
};

// The size the cell's value takes: the cell's own DataSize when it has one, else by class (0 when the cell
// takes no value from the table).
int CellDataSize(TOvcBaseTableCell *Cell);

// Sets the cell up for the field's type; false when the cell cannot show such a field (the cell's own
// AcceptsField may still take it). DateOrTime is the half of a date-time field its column shows (none when
// no column shows the field).
bool FitCellRule(TOvcBaseTableCell *Cell, TField *Field, std::optional<TDateOrTime> DateOrTime);

// The cell's value for the field's current value.
void FieldToCellData(TField *Field, TOvcBaseTableCell *Cell, TOvcDbCellValue &Value);

// Writes a cell's value to the field (only while the dataset edits or inserts). Raises what the field
// raises for a value it refuses.
void CellDataToField(TField *Field, TOvcBaseTableCell *Cell, TOvcDbCellValue &Value);

// Whether the user changed the value in the cell's open editor (true for cells that cannot tell).
bool CellEditorModified(TOvcBaseTableCell *Cell);
