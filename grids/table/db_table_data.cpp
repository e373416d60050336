// The data side of the data-aware table: the data source, the field map, the columns, the exchange of
// values with the cells, the "ColData" stream property and the dataset's notices.
#include "grids/base/cell.h"
#include "grids/base/table_messages.h"
#include "grids/cells/heading_cells.h"
#include "grids/cells/string_cells.h"
#include "grids/table/db_table.h"
#include "platform/core/filer.h"
#include "platform/data/dataset.h"

TOvcDbTableColumn *TOvcCustomDbTable::Column(int ColNum) const {
  return static_cast<TOvcDbTableColumn *>(columns_->Column(ColNum));
}

void TOvcCustomDbTable::ClearColumnFields(bool AndNames) {
  for (int c = 0; c < ColumnCount(); ++c) {
    TOvcDbTableColumn *column = Column(c);
    column->ClearField();
    if (AndNames) column->SetDataField(QString());
  }
}

// ---- the data source ----

void TOvcCustomDbTable::SetDataSource(TDataSource *Value) {
  link_->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  TDataSet *dataSet = Value ? Value->DataSet() : nullptr;
  const bool sourceLoading = Value && Value->ComponentState().Contains(csLoading);
  const bool dataSetLoading = dataSet && dataSet->ComponentState().Contains(csLoading);
  // A source given at run time replaces the columns by the dataset's fields at the next layout change.
  if (!IsLoading() && !sourceLoading && !dataSetLoading)
    for (int c = 0; c < ColumnCount(); ++c) Column(c)->SetDataField(QString());
  if (dataSet && dataSet->Active() && Value == previousSource_) {
    DataLinkActiveChanged(true);
    return;
  }
  ClearColumnFields(false);
  if (!Value)
    for (int c = 0; c < ColumnCount(); ++c) Column(c)->SetDefaultCell(nullptr);
  previousSource_ = Value;
  DataLinkActiveChanged(link_->Active());
}

bool TOvcCustomDbTable::DataSetEditing() const {
  const TDataSet *dataSet = DataSet();
  return dataSet && (dataSet->State() == dsEdit || dataSet->State() == dsInsert);
}

// ---- the dataset's notices ----

void TOvcCustomDbTable::DataLinkActiveChanged(bool Active) {
  if (!Active) {
    if (!CloseEditor(true)) Abort();
    leftCol_ = NearestColumn(lockedColumns_, 1);
    MoveActiveCell(0, leftCol_);
  }
  if (IsDestroying()) return;
  if (!IsLoading() && HandleAllocated() && !DataSet()) ClearColumnFields(true);
  LayoutChanged();
  UpdateScrollBars();
  if (Active && options_.Contains(dtoAlwaysEditing) && HandleAllocated())
    PostMessage(Handle(), tcm_StartEditing);
}

void TOvcCustomDbTable::LayoutChanged() {
  if (Quiet() || !HandleAllocated()) return;
  if (!DataSet()) {
    ClearColumnFields(true);
    LayOutColumns(0);
  }
  BuildFieldMap();
  CalcMaxLeftColumn();
  CalcRows();
  Invalidate();
  UpdateScrollBars();
  PlaceOpenEditor();
}

void TOvcCustomDbTable::DataSetChanged() {
  if (!HandleAllocated() || updating_ || IsDestroying()) return;
  Invalidate();
  CalcRows();
  UpdateVScrollBar();
  PlaceOpenEditor();
}

void TOvcCustomDbTable::BuildFieldMap() {
  TDataSet *dataSet = DataSet();
  if (!DataSource() || !dataSet) return;
  // A closed dataset that makes its fields when it opens has none to map, nor to make columns from.
  if (!dataSet->Active() && dataSet->FieldCount() == 0) {
    link_->ClearMapping();
    ClearColumnFields(false);
    return;
  }
  bool remake = false;
  if (link_->MapBuilt()) {
    const int columns = ColumnCount(), mapped = link_->MappedCount(), fields = dataSet->FieldCount();
    remake = !(columns == mapped && mapped == fields && columns != 0);
  }
  link_->ClearMapping();
  for (int c = 0; !remake && c < ColumnCount(); ++c) remake = Column(c)->DataField().isEmpty();
  if (remake) CreateDefaultColumns();
  for (int c = 0; c < ColumnCount(); ++c) {
    Column(c)->ClearField();
    link_->AddField(Column(c)->DataField());
  }
}

void TOvcCustomDbTable::CreateDefaultColumns() {
  if (IsLoading()) return;
  TDataSet *dataSet = DataSet();
  const int fields = dataSet ? dataSet->FieldCount() : 0;
  columnUpdate_ = true;
  try {
    columns_->SetCount(std::max(1, fields));
    for (int c = 0; c < ColumnCount(); ++c) {
      TOvcDbTableColumn *column = Column(c);
      column->ClearField();
      TField *field = c < fields ? dataSet->Fields()->Fields(c) : nullptr;
      if (field) {
        column->SetDataField(field->FieldName());
        column->SetWidth(DefaultColumnWidth(field));
      } else {
        column->SetDataField(QString());
        if (c < fields) column->SetWidth(150);
      }
    }
  } catch (...) {
    columnUpdate_ = false;
    throw;
  }
  columnUpdate_ = false;
  ColumnsChanged(columns_.get(), 0, 0, 0);
}

int TOvcCustomDbTable::DefaultColumnWidth(TField *Field) {
  TCanvas *canvas = Canvas();
  canvas->SetFont(Font());
  const int zero = canvas->TextWidth(QStringLiteral("0"));
  const int label =
      headerOptions_.Contains(hoShowHeader) ? int(Field->DisplayLabel().length()) * zero + 4 : 0;
  return std::max(label, zero * Field->DisplayWidth() + 4);
}

void TOvcCustomDbTable::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcTableAncestor::Notification(AComponent, Operation);
  if (!AComponent) return;
  if (Operation == opInsert) {
    auto *field = dynamic_cast<TField *>(AComponent);
    if (field && !IsLoading() && DataSet() && field->DataSet() == DataSet()) LayoutChanged();
    return;
  }
  if (auto *cell = dynamic_cast<TOvcBaseTableCell *>(AComponent)) {
    if (cell == editingCell_) {
      editingCell_ = nullptr;
      state_ &= ~stEditorOpen;
      state_ |= stReady;
    }
    if (cell == headerCell_) {
      headerCell_->RemoveUser();
      headerCell_ = nullptr;
      headerOptions_.Exclude(hoUseHeaderCell);
    } else {
      columns_->CellRemoved(cell);
    }
    return;
  }
  if (AComponent == previousSource_) previousSource_ = nullptr;
  if (AComponent == DataSource()) {
    visible_.Clear();
    SetDataSource(nullptr);
    return;
  }
  if (auto *field = dynamic_cast<TField *>(AComponent)) {
    // A dataset frees the fields it made when it closes: the columns stay and find their fields again when
    // it opens. A field freed on its own takes its column with it.
    const bool ownField = field->Owner() == field->DataSet() && field->DataSet();
    for (int c = ColumnCount() - 1; c >= 0; --c) {
      TOvcDbTableColumn *column = Column(c);
      if (column->CachedField() != field) continue;
      column->ClearField();
      if (ownField || IsDestroying()) continue;
      column->SetDefaultCell(nullptr);
      columns_->Delete(c);
    }
  }
}

void TOvcCustomDbTable::Loaded() {
  TOvcTableAncestor::Loaded();
  columns_->ResolveCellNames();
  LayOutColumns(leftCol_);
  if (RegisteredCells().isEmpty()) {
    RegisterCell(headerCell_);
    for (int c = 0; c < ColumnCount(); ++c) RegisterCell(columns_->DefaultCell(c));
  }
}

// ---- columns and fields ----

bool TOvcCustomDbTable::IsColumnHidden(int ColNum) const {
  TOvcDbTableColumn *column = Column(ColNum);
  if (!column) return true;
  if (link_->DefaultFieldsOrNoDataSet()) return column->Hidden();
  TField *field = column->Field();
  return column->Hidden() || (field && !field->Visible());
}

int TOvcCustomDbTable::ColumnOfField(const TField *Field) const {
  if (!Field) return -1;
  for (int c = 0; c < ColumnCount(); ++c)
    if (Column(c)->Field() == Field) return c;
  return -1;
}

TField *TOvcCustomDbTable::ColumnField(int ColNum) const {
  TOvcDbTableColumn *column = Column(ColNum);
  if (!column || !DataSetActive()) return nullptr;
  TField *field = column->Field();
  return field && !field->ComponentState().Contains(csDestroying) ? field : nullptr;
}

bool TOvcCustomDbTable::FitCellToField(TField *Field, TOvcBaseTableCell *Cell) {
  if (!Field || !Cell) return false;
  const int shownBy = ColumnOfField(Field);
  const std::optional<TDateOrTime> half =
      shownBy >= 0 ? std::optional<TDateOrTime>(Column(shownBy)->DateOrTime()) : std::nullopt;
  const bool fits = FitCellRule(Cell, Field, half) || Cell->AcceptsField(Field);
  if (fits) CellChanged(Cell);
  return fits;
}

// ---- the column changes ----

void TOvcCustomDbTable::SetColumns(TOvcTableColumns *Value) {
  if (!Value || Value == columns_.get()) return;
  columns_->SetChangeHandler(nullptr);
  columns_.reset(Value);
  columns_->SetChangeHandler(TOvcColumnChangeEvent(this, &TOvcCustomDbTable::ColumnsChanged));
  ColumnsChanged(columns_.get(), 0, 0, occCleared);
}

void TOvcCustomDbTable::ColumnsChanged(TObject *, int ColNum1, int ColNum2, int Action) {
  if (Quiet() || columnUpdate_ || !HandleAllocated()) return;
  // With nothing laid out every change counts: a column just shown must appear.
  const bool nothingShown = visible_.Count() == 0;
  int first = INT_MAX, last = -1;
  for (int i = 0; i < visible_.Count(); ++i) {
    first = std::min(first, visible_.Number(i));
    last = std::max(last, visible_.Number(i));
  }
  const auto within = [&](int n) { return n >= first && n <= last; };
  const auto roomFor = [&](int n) {
    return within(n) || (n > last && visible_.TotalWidth() < ClientWidth());
  };
  bool shows = nothingShown;
  switch (Action) {
  case occColumnChanged: shows = shows || roomFor(ColNum1); break;
  case occAppended:
    LayOutColumns(leftCol_);
    LayoutChanged();
    shows = shows || roomFor(ColNum1);
    break;
  case occDeleted:
    LayOutColumns(0);
    shows = shows || visible_.Count() == 0 || within(ColNum1);
    LayOutColumns(std::min(leftCol_, std::max(0, ColumnCount() - 1)));
    LayoutChanged();
    break;
  case occExchanged:
    shows = shows || within(ColNum1) || within(ColNum2);
    LayOutColumns(leftCol_);
    LayoutChanged();
    break;
  default: shows = true; break;
  }
  if (!shows) return;
  CalcMaxLeftColumn();
  if (Action == occColumnChanged || Action == occDeleted) {
    // A column just hidden or deleted may have been the left or the active one.
    const int left = NearestColumn(leftCol_, 0);
    if (left != leftCol_) {
      leftCol_ = std::min(left, maxLeftCol_);
      LayOutColumns(leftCol_);
    }
    const int active = NearestColumn(activeCol_, 0);
    if (active != activeCol_) MoveActiveCell(activeRow_, active);
  }
  if (leftCol_ > maxLeftCol_) {
    leftCol_ = maxLeftCol_;
    LayOutColumns(leftCol_);
  }
  UpdateHScrollBar();
  Invalidate();
  PlaceOpenEditor();
}

void TOvcCustomDbTable::CellChanged(TObject *) {
  // While painting, a header cell told how to show itself changes nothing that needs another paint.
  if (Quiet() || updating_) return;
  Invalidate();
}

// ---- "ColData" ----

void TOvcCustomDbTable::DefineProperties(TFiler *Filer) {
  TOvcTableAncestor::DefineProperties(Filer);
  Filer->DefineProperty(
      QStringLiteral("ColData"), [this](TReader *Reader) { ReadColData(Reader); },
      [this](TWriter *Writer) { WriteColData(Writer); }, true);
}

void TOvcCustomDbTable::ReadColData(TReader *Reader) {
  Reader->ReadListBegin();
  columns_->Clear();
  TStringList *pending = columns_->PendingCellNames();
  while (!Reader->EndOfList()) {
    auto *column = new TOvcDbTableColumn(this);
    column->SetWidth(Reader->ReadInteger());
    column->SetHidden(Reader->ReadBoolean());
    column->SetDataField(Reader->ReadString());
    column->SetDateOrTime(Reader->ReadInteger() == dtUseTime ? dtUseTime : dtUseDate);
    if (Reader->ReadBoolean()) pending->AddObject(Reader->ReadString(), column);
    columns_->Append(column);
  }
  Reader->ReadListEnd();
}

void TOvcCustomDbTable::WriteColData(TWriter *Writer) {
  Writer->WriteListBegin();
  for (int c = 0; c < ColumnCount(); ++c) {
    const TOvcDbTableColumn *column = Column(c);
    Writer->WriteInteger(column->Width());
    Writer->WriteBoolean(column->Hidden());
    Writer->WriteString(column->DataField());
    Writer->WriteInteger(column->DateOrTime());
    Writer->WriteBoolean(column->DefaultCell() != nullptr);
    if (column->DefaultCell()) Writer->WriteString(column->DefaultCell()->Name());
  }
  Writer->WriteListEnd();
}
