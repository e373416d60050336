// The column list a table is configured with. Each column names the cell that paints and edits it; a cell
// may serve several columns of one table but never columns of two tables. Every change of a column or of the
// list is reported through one change event, with an action code saying what changed.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/core/string_list.h"
#include <QList>
#include <functional>
#include <memory>

class TOvcTableAncestor;
class TOvcBaseTableCell;
class TCustomForm;

// The Action argument of the change event.
enum TOvcColumnChange : std::uint8_t {
  occColumnChanged = 1, // a column's width, visibility or cell (ColNum1: that column)
  occCleared = 2,       // the list was emptied
  occAppended = 3,      // ColNum1: the new column
  occDeleted = 4,       // ColNum1: the former number of the deleted column
  occExchanged = 5      // ColNum1, ColNum2: the two columns
};
using TOvcColumnChangeEvent = TEvent<void(TObject *Sender, int ColNum1, int ColNum2, int Action)>;

// The most columns a list holds.
constexpr int MaxTableColumns = 0x7FFFFFF;

class TOvcTableColumn : public TPersistent {
public:
  explicit TOvcTableColumn(TOvcTableAncestor *Table) : table_(Table) {}
  ~TOvcTableColumn() override;
  QString ClassName() const override { return QStringLiteral("TOvcTableColumn"); }
  // Copies Width, Hidden and DefaultCell.
  void Assign(const TPersistent *Source) override;

  TOvcBaseTableCell *DefaultCell() const { return cell_; }
  // Refused silently when Value already serves another table.
  void SetDefaultCell(TOvcBaseTableCell *Value);
  int Number() const { return number_; }
  void SetNumber(int Value) { number_ = Value; }
  TOvcTableAncestor *Table() const { return table_; }
  int Width() const { return width_; }
  void SetWidth(int Value);
  bool Hidden() const { return hidden_; }
  void SetHidden(bool Value);

  TOvcColumnChangeEvent OnColumnChanged;

private:
  void Changed();

  TOvcBaseTableCell *cell_ = nullptr;
  int number_ = 0;
  TOvcTableAncestor *table_;
  int width_ = 150;
  bool hidden_ = false;
};

// The kind of column a list makes and accepts (a data-aware table keeps columns of a descendant).
struct TOvcTableColumnClass {
  std::function<TOvcTableColumn *(TOvcTableAncestor *Table)> Create;
  std::function<bool(const TOvcTableColumn *Column)> IsInstance;
};

template <class T>
TOvcTableColumnClass TableColumnClass() {
  return {[](TOvcTableAncestor *Table) -> TOvcTableColumn * { return new T(Table); },
          [](const TOvcTableColumn *Column) { return dynamic_cast<const T *>(Column) != nullptr; }};
}

class TOvcTableColumns : public TPersistent {
public:
  TOvcTableColumns(TOvcTableAncestor *Table, const TOvcTableColumnClass &ColumnClass, int Count);
  ~TOvcTableColumns() override;
  QString ClassName() const override { return QStringLiteral("TOvcTableColumns"); }

  int Count() const { return int(columns_.size()); }
  // nullptr outside 0 .. Count - 1.
  TOvcTableColumn *Column(int Index) const;
  TOvcBaseTableCell *DefaultCell(int Index) const;
  TOvcTableAncestor *Table() const { return table_; }

  // Grows with new columns or shrinks from the end; N below 1 is ignored.
  void SetCount(int N);
  // Takes Column when it belongs to this list's table and is of the list's column class (else it stays the
  // caller's); raises EDuvizivTable when the list is full.
  void Append(TOvcTableColumn *Column);
  void Delete(int Index);
  void Exchange(int Index1, int Index2);
  void Clear();
  void SetHidden(int Index, bool Value);
  void SetWidth(int Index, int Value);
  // Installs the change event in the list and every column.
  void SetChangeHandler(const TOvcColumnChangeEvent &Handler);
  // Every column served by Cell loses it.
  void CellRemoved(const TOvcBaseTableCell *Cell);

  // The cell names read with the columns, each with the column waiting for it; created (or cleared) here.
  TStringList *PendingCellNames();
  // Gives the waiting columns the cells their names find on the table's form or another open form.
  void ResolveCellNames();

private:
  void Fire(int ColNum1, int ColNum2, int Action);
  void Renumber();
  // The cell named Name on Form, nullptr when there is none.
  static TOvcBaseTableCell *FindCell(TCustomForm *Form, const QString &Name);

  QList<TOvcTableColumn *> columns_;
  TOvcColumnChangeEvent onChange_;
  std::unique_ptr<TStringList> pending_;
  TOvcTableAncestor *table_;
  TOvcTableColumnClass class_;
};
