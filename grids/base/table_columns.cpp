#include "grids/base/table_columns.h"
#include "grids/base/cell.h"
#include "grids/base/table_base.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/screen.h"

// ---- a column ----

TOvcTableColumn::~TOvcTableColumn() {
  OnColumnChanged = nullptr;
  SetDefaultCell(nullptr);
}

void TOvcTableColumn::Assign(const TPersistent *Source) {
  const auto *column = dynamic_cast<const TOvcTableColumn *>(Source);
  if (!column) {
    TPersistent::Assign(Source);
    return;
  }
  SetWidth(column->Width());
  SetHidden(column->Hidden());
  SetDefaultCell(column->DefaultCell());
}

void TOvcTableColumn::Changed() {
  if (OnColumnChanged) OnColumnChanged(this, number_, 0, occColumnChanged);
}

void TOvcTableColumn::SetDefaultCell(TOvcBaseTableCell *Value) {
  if (Value == cell_) return;
  // A cell serves the columns of one table only.
  if (Value && Value->UserCount() > 0 && Value->Table() != table_) return;
  if (cell_) cell_->RemoveUser();
  cell_ = Value;
  if (cell_) {
    if (cell_->UserCount() == 0) cell_->SetTable(table_);
    cell_->AddUser();
  }
  Changed();
}

void TOvcTableColumn::SetWidth(int Value) {
  if (Value == width_) return;
  width_ = Value;
  Changed();
}

void TOvcTableColumn::SetHidden(bool Value) {
  if (Value == hidden_) return;
  hidden_ = Value;
  Changed();
}

// ---- the list ----

TOvcTableColumns::TOvcTableColumns(TOvcTableAncestor *Table, const TOvcTableColumnClass &ColumnClass,
                                   int Count)
    : table_(Table), class_(ColumnClass) {
  for (int i = 0; i < Count; ++i) Append(class_.Create(table_));
}

TOvcTableColumns::~TOvcTableColumns() {
  SetChangeHandler(nullptr);
  Clear();
}

TOvcTableColumn *TOvcTableColumns::Column(int Index) const { return columns_.value(Index, nullptr); }

TOvcBaseTableCell *TOvcTableColumns::DefaultCell(int Index) const {
  const TOvcTableColumn *column = Column(Index);
  return column ? column->DefaultCell() : nullptr;
}

void TOvcTableColumns::Fire(int ColNum1, int ColNum2, int Action) {
  if (onChange_) onChange_(this, ColNum1, ColNum2, Action);
}

void TOvcTableColumns::Renumber() {
  for (int i = 0; i < columns_.size(); ++i) columns_[i]->SetNumber(i);
}

void TOvcTableColumns::SetCount(int N) {
  if (N <= 0 || N == Count()) return;
  while (Count() < N) Append(class_.Create(table_));
  while (Count() > N) Delete(Count() - 1);
}

void TOvcTableColumns::Append(TOvcTableColumn *Column) {
  if (Count() >= MaxTableColumns) RaiseTableError(30260);
  if (!Column || Column->Table() != table_ || !class_.IsInstance(Column)) return;
  Column->SetNumber(Count());
  columns_.append(Column);
  Column->OnColumnChanged = onChange_;
  Fire(Column->Number(), 0, occAppended);
}

void TOvcTableColumns::Delete(int Index) {
  if (Index < 0 || Index >= Count()) return;
  TOvcTableColumn *column = columns_.takeAt(Index);
  // A name still waiting for this column goes with it (found by the column, which Exchange may have moved).
  if (pending_)
    for (int i = pending_->Count() - 1; i >= 0; --i)
      if (pending_->Objects(i) == column) pending_->Delete(i);
  // The list reports the deletion itself, once the column is out of it.
  column->OnColumnChanged = nullptr;
  delete column;
  Renumber();
  Fire(Index, 0, occDeleted);
}

void TOvcTableColumns::Exchange(int Index1, int Index2) {
  if (Index1 == Index2 || Index1 < 0 || Index2 < 0 || Index1 >= Count() || Index2 >= Count()) return;
  columns_.swapItemsAt(Index1, Index2);
  columns_[Index1]->SetNumber(Index1);
  columns_[Index2]->SetNumber(Index2);
  Fire(Index1, Index2, occExchanged);
}

void TOvcTableColumns::Clear() {
  // The names waiting for columns would otherwise outlive them.
  if (pending_) pending_->Clear();
  const QList<TOvcTableColumn *> columns = columns_;
  columns_.clear();
  for (TOvcTableColumn *column : columns) {
    column->OnColumnChanged = nullptr;
    delete column;
  }
  Fire(0, 0, occCleared);
}

void TOvcTableColumns::SetHidden(int Index, bool Value) {
  if (TOvcTableColumn *column = Column(Index)) column->SetHidden(Value);
}

void TOvcTableColumns::SetWidth(int Index, int Value) {
  if (TOvcTableColumn *column = Column(Index)) column->SetWidth(Value);
}

void TOvcTableColumns::SetChangeHandler(const TOvcColumnChangeEvent &Handler) {
  onChange_ = Handler;
  for (TOvcTableColumn *column : columns_) column->OnColumnChanged = Handler;
}

void TOvcTableColumns::CellRemoved(const TOvcBaseTableCell *Cell) {
  for (TOvcTableColumn *column : columns_)
    if (column->DefaultCell() == Cell) column->SetDefaultCell(nullptr);
}

// ---- cell names after loading ----

TStringList *TOvcTableColumns::PendingCellNames() {
  if (pending_)
    pending_->Clear();
  else
    pending_ = std::make_unique<TStringList>();
  return pending_.get();
}

TOvcBaseTableCell *TOvcTableColumns::FindCell(TCustomForm *Form, const QString &Name) {
  return Form ? dynamic_cast<TOvcBaseTableCell *>(Form->FindComponent(Name)) : nullptr;
}

void TOvcTableColumns::ResolveCellNames() {
  if (!pending_) return;
  TCustomForm *tableForm = nullptr;
  for (TWinControl *parent = table_ ? table_->Parent() : nullptr; parent && !tableForm;
       parent = parent->Parent())
    tableForm = dynamic_cast<TCustomForm *>(parent);
  const QString tableFormName = tableForm ? tableForm->Name() : QString();

  struct Entry {
    QString form, cell;
  };
  const auto split = [&](int i) {
    const QString text = pending_->Strings(i);
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    return dot < 0 ? Entry{tableFormName, text} : Entry{text.left(dot), text.mid(dot + 1)};
  };
  const auto place = [&](int i, TOvcBaseTableCell *cell) {
    auto *column = static_cast<TOvcTableColumn *>(pending_->Objects(i));
    pending_->Delete(i);
    if (columns_.contains(column)) column->SetDefaultCell(cell);
  };

  if (tableForm) {
    // A second instance of a form is named with a "_" suffix: its cells still belong to it.
    const qsizetype underscore = tableFormName.lastIndexOf(QLatin1Char('_'));
    const QString baseName = underscore < 0 ? QString() : tableFormName.left(underscore);
    for (int i = pending_->Count() - 1; i >= 0; --i) {
      const Entry entry = split(i);
      const bool ours = entry.form == tableFormName || tableFormName.isEmpty() ||
                        (underscore >= 0 && entry.form == baseName);
      if (!ours) continue;
      if (TOvcBaseTableCell *cell = FindCell(tableForm, entry.cell)) place(i, cell);
    }
  }
  for (int f = 0; f < Screen()->FormCount() && pending_->Count() > 0; ++f) {
    TCustomForm *form = Screen()->Forms(f);
    for (int i = pending_->Count() - 1; i >= 0; --i) {
      const Entry entry = split(i);
      if (entry.form != form->Name()) continue;
      if (TOvcBaseTableCell *cell = FindCell(form, entry.cell)) place(i, cell);
    }
  }
  pending_.reset();
}
