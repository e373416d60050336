#include "grids/base/cell.h"
#include "grids/base/table_base.h"
#include "grids/base/table_messages.h"

TOvcBaseTableCell::TOvcBaseTableCell(TComponent *AOwner) : TOvcTableCellAncestor(AOwner) {
  font_.OnChange = TNotifyEvent(this, &TOvcBaseTableCell::FontChanged);
}

TOvcBaseTableCell::~TOvcBaseTableCell() = default;

void TOvcBaseTableCell::BeforeDestruction() {
  SetTable(nullptr);
  font_.OnChange = nullptr;
  TOvcTableCellAncestor::BeforeDestruction();
}

void TOvcBaseTableCell::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcTableCellAncestor::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == table_) {
    table_ = nullptr;
    users_ = 0;
    OnCellChanged = nullptr;
  }
}

// ---- painting ----

TPoint PlaceInCell(const TRect &CellRect, TOvcTblAdjust Adjust, int Margin, int Width, int Height) {
  const int cellWidth = CellRect.Right - CellRect.Left;
  const int cellHeight = CellRect.Bottom - CellRect.Top;
  int x = (cellWidth - Width) / 2;
  if (Adjust == otaTopLeft || Adjust == otaCenterLeft || Adjust == otaBottomLeft)
    x = Margin;
  else if (Adjust == otaTopRight || Adjust == otaCenterRight || Adjust == otaBottomRight)
    x = cellWidth - Width - Margin;
  int y = (cellHeight - Height) / 2;
  if (Adjust == otaTopLeft || Adjust == otaTopCenter || Adjust == otaTopRight)
    y = Margin;
  else if (Adjust == otaBottomLeft || Adjust == otaBottomCenter || Adjust == otaBottomRight)
    y = cellHeight - Height - Margin;
  return {CellRect.Left + x, CellRect.Top + y};
}

void TOvcBaseTableCell::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int, int,
                                const TOvcCellAttributes &CellAttr, const void *) {
  TableCanvas->Brush()->SetColor(CellAttr.Color);
  TableCanvas->FillRect(CellRect);
}

bool TOvcBaseTableCell::FireOwnerDraw(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                                      const TOvcCellAttributes &CellAttr, const void *Data) {
  bool doneIt = false;
  if (OnOwnerDraw) OnOwnerDraw(this, TableCanvas, CellRect, RowNum, ColNum, CellAttr, Data, doneIt);
  return doneIt;
}

void TOvcBaseTableCell::Paint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                              const TOvcCellAttributes &CellAttr, const void *Data) {
  if (!FireOwnerDraw(TableCanvas, CellRect, RowNum, ColNum, CellAttr, Data))
    tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, Data);
}

void TOvcBaseTableCell::GatherAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) {
  CellAttr.Access = access_;
  CellAttr.Adjust = adjust_;
  CellAttr.Color = Color();
  if (CellAttr.Font) CellAttr.Font->Assign(Font());
  CellAttr.FontColor = Font()->Color();
  CellAttr.FontHiColor = textHiColor_;
  CellAttr.TextStyle = textStyle_;
  if (table_) table_->AdjustCellAttributes(RowNum, ColNum, CellAttr);
  if (CellAttr.Access == otxDefault) CellAttr.Access = otxNormal;
  if (CellAttr.Adjust == otaDefault) CellAttr.Adjust = otaCenterLeft;
  if (CellAttr.Color == clOvcDefaultCellColor) CellAttr.Color = clBtnFace;
}

int TOvcBaseTableCell::AskTableKeyFilter(const TMessage &KeyMessage) {
  return table_ ? table_->ClassifyKey(KeyMessage) : tkcEditorKeeps;
}

// ---- users and the table ----

void TOvcBaseTableCell::AddUser() {
  if (users_ == 0 && table_) table_->RegisterCell(this);
  ++users_;
}

void TOvcBaseTableCell::RemoveUser() {
  if (users_ <= 0) return;
  if (--users_ == 0) {
    if (table_) table_->UnregisterCell(this);
    table_ = nullptr;
    OnCellChanged = nullptr;
  }
}

void TOvcBaseTableCell::SetTable(TOvcTableAncestor *Value) {
  if (Value == table_) return;
  // The table's answer to tcm_CellDetached drops the cell from its columns and header, whose last
  // RemoveUser unlinks the cell: the table it leaves is the one held here. A table without a window is told
  // too, or its columns would keep a cell that serves another table, and may be freed.
  if (TOvcTableAncestor *old = table_) {
    if (old->HandleAllocated())
      SendMessage(old->Handle(), tcm_CellDetached, 0, PointerParam(this));
    else
      old->Perform(tcm_CellDetached, 0, PointerParam(this));
    // The registry must not keep a cell that left, whether or not the table had a window.
    old->UnregisterCell(this);
    old->RemoveFreeNotification(this);
  }
  table_ = Value;
  if (table_) table_->FreeNotification(this);
  OnCellChanged = nullptr;
  users_ = 0;
  PullTableAttributes();
}

void TOvcBaseTableCell::PullTableAttributes() {
  if (!table_) return;
  if (tableFont_) FetchTableFont();
  if (tableColor_) FetchTableColor();
}

// ---- queries of the table ----

bool TOvcBaseTableCell::TableHasWindow() const { return table_ && table_->HandleAllocated(); }

LRESULT TOvcBaseTableCell::SendToTable(UINT Msg) const {
  return TableHasWindow() ? SendMessage(table_->Handle(), Msg, 0, 0) : 0;
}

int TOvcBaseTableCell::ActiveColumn() const { return int(SendToTable(tcm_GetActiveColumn)); }
int TOvcBaseTableCell::ActiveRow() const { return int(SendToTable(tcm_GetActiveRow)); }
int TOvcBaseTableCell::LockedColumns() const { return int(SendToTable(tcm_GetLockedColumns)); }
int TOvcBaseTableCell::LockedRows() const { return int(SendToTable(tcm_GetLockedRows)); }
bool TOvcBaseTableCell::TableWantsTab() const {
  return (SendToTable(tcm_GetTableOptions) & tblOptWantsTab) != 0;
}
bool TOvcBaseTableCell::TableWantsEnter() const {
  return (SendToTable(tcm_GetTableOptions) & tblOptEnterLikeTab) != 0;
}

void TOvcBaseTableCell::PostToTable(UINT Msg, WPARAM WParam, LPARAM LParam) const {
  if (TableHasWindow()) PostMessage(table_->Handle(), Msg, WParam, LParam);
}

void TOvcBaseTableCell::PostKeyToTable(const TMessage &KeyMessage) const {
  PostToTable(WM_KEYDOWN, KeyMessage.WParam & 0xFFFF, KeyMessage.LParam);
}

// ---- attributes ----

void TOvcBaseTableCell::DoCellChanged() {
  if (OnCellChanged) OnCellChanged(this);
}

TColor TOvcBaseTableCell::Color() {
  if (tableColor_ && colorPending_) FetchTableColor();
  return color_;
}

void TOvcBaseTableCell::SetColor(TColor Value) {
  color_ = Value;
  tableColor_ = false;
  colorPending_ = false;
  DoCellChanged();
}

TFont *TOvcBaseTableCell::Font() {
  if (tableFont_ && fontPending_) FetchTableFont();
  return &font_;
}

void TOvcBaseTableCell::SetFont(const TFont *Value) {
  font_.Assign(Value); // the change event clears TableFont and fires the hook
  fontPending_ = false;
  tableFont_ = false;
}

void TOvcBaseTableCell::FontChanged(TObject *) {
  if (!pullingFont_) tableFont_ = false;
  DoCellChanged();
}

void TOvcBaseTableCell::SetMargin(int Value) {
  if (Value < 0 || Value == margin_) return;
  margin_ = Value;
  DoCellChanged();
}

void TOvcBaseTableCell::SetTextHiColor(TColor Value) {
  if (Value == textHiColor_) return;
  textHiColor_ = Value;
  DoCellChanged();
}

void TOvcBaseTableCell::SetAccess(TOvcTblAccess Value) {
  if (Value == access_) return;
  access_ = Value;
  DoCellChanged();
}

void TOvcBaseTableCell::SetAdjust(TOvcTblAdjust Value) {
  if (Value == adjust_) return;
  adjust_ = Value;
  DoCellChanged();
}

void TOvcBaseTableCell::SetTextStyle(TOvcTextStyle Value) {
  if (Value == textStyle_) return;
  textStyle_ = Value;
  DoCellChanged();
}

void TOvcBaseTableCell::SetTableColor(bool Value) {
  if (Value == tableColor_) return;
  tableColor_ = Value;
  colorPending_ = false;
  if (Value) FetchTableColor();
  DoCellChanged();
}

void TOvcBaseTableCell::SetTableFont(bool Value) {
  if (Value == tableFont_) return;
  tableFont_ = Value;
  fontPending_ = false;
  if (Value) FetchTableFont();
  DoCellChanged();
}

void TOvcBaseTableCell::FetchTableColor() {
  if (!TableHasWindow()) {
    colorPending_ = true;
    return;
  }
  color_ = TColor(SendMessage(table_->Handle(), tcm_GetTableColor, 0, 0));
  colorPending_ = false;
}

void TOvcBaseTableCell::FetchTableFont() {
  if (!TableHasWindow()) {
    fontPending_ = true;
    return;
  }
  if (auto *tableFont =
          MessagePointer<TFont>(std::uintptr_t(SendMessage(table_->Handle(), tcm_GetTableFont, 0, 0)))) {
    pullingFont_ = true;
    font_.Assign(tableFont);
    pullingFont_ = false;
  }
  fontPending_ = false;
  tableFont_ = true;
}

void TOvcBaseTableCell::ScaleFont(int M, int D) {
  if (!tableFont_ && D != 0) font_.SetSize(MulDiv(font_.Size(), M, D));
}
