// The data-aware table's keys, mouse, focus and in-place editing.
#include "controls/framework/command_codes.h"
#include "controls/framework/controller.h"
#include "controls/framework/library_messages.h"
#include "grids/base/table_messages.h"
#include "grids/cells/bitmap_cells.h"
#include "grids/cells/combo_cell.h"
#include "grids/cells/string_cells.h"
#include "grids/table/db_table.h"
#include "platform/data/dataset.h"
#include "platform/windowing/application.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"

namespace {

constexpr int kBorderReach = 4; // how near a column's right edge the mouse sizes it
constexpr int kNarrowest = 4;   // the narrowest column sizing leaves

bool IsNavigationCommand(WORD Command) {
  switch (Command) {
  case ccBotOfPage:
  case ccBotRightCell:
  case ccDown:
  case ccEnd:
  case ccFirstPage:
  case ccHome:
  case ccLastPage:
  case ccLeft:
  case ccNextPage:
  case ccPageLeft:
  case ccPageRight:
  case ccPrevPage:
  case ccRight:
  case ccTopLeftCell:
  case ccTopOfPage:
  case ccUp:
  case ccWordLeft:
  case ccWordRight: return true;
  default: return false;
  }
}

bool EditableFieldType(TFieldType Type) {
  switch (Type) {
  case ftString:
  case ftSmallint:
  case ftInteger:
  case ftWord:
  case ftBoolean:
  case ftFloat:
  case ftCurrency:
  case ftBCD:
  case ftDate:
  case ftTime:
  case ftDateTime: return true;
  default: return false;
  }
}

// Whether Window is Ancestor or lies inside it.
bool WindowWithin(HWND Window, HWND Ancestor) {
  for (; Window && Ancestor; Window = GetParent(Window))
    if (Window == Ancestor) return true;
  return false;
}

// The window of the cell's open editor; 0 when it has none (its window is never made here).
HWND EditorHandle(TOvcBaseTableCell *Cell) {
  TWinControl *editor = Cell ? Cell->EditorControl() : nullptr;
  return editor && editor->HandleAllocated() ? editor->Handle() : 0;
}

} // namespace

// ---- the active cell ----

void TOvcCustomDbTable::MoveActiveCell(int Row, int Col) {
  if (visible_.Count() == 0) return;
  Row = std::clamp(Row, 0, visibleRows_ - 1);
  Col = NearestColumn(Col, 0);
  if (Row == activeRow_ && Col == activeCol_) return;
  if (!HandleAllocated()) {
    activeRow_ = Row;
    activeCol_ = Col;
    return;
  }
  if (!CloseEditor(true)) return;
  InvalidateIndicators();
  InvalidateActive();
  if (DataSetActive() && !scrolling_ && Row != activeRow_) {
    scrolling_ = true;
    try {
      DataSet()->MoveBy(Row - activeRow_);
    } catch (...) {
      scrolling_ = false;
      throw;
    }
    scrolling_ = false;
    // The record reached, should fewer records lie between than rows.
    Row = std::clamp(link_->ActiveRecord(), 0, visibleRows_ - 1);
  }
  activeCol_ = Col;
  if (!scrolling_) MakeColumnVisible(Col);
  activeRow_ = Row;
  InvalidateActive();
  InvalidateIndicators();
  if (options_.Contains(dtoAlwaysEditing)) PostMessage(Handle(), tcm_StartEditing);
  UpdateScrollBars();
  DoActiveCellChanged(activeRow_, activeCol_);
}

void TOvcCustomDbTable::MakeColumnVisible(int ColNum) {
  if (ColNum < lockedColumns_ || ColNum >= ColumnCount()) return;
  if (visible_.IndexOf(ColNum) < 0) {
    SetLeftColumn(ColNum);
    return;
  }
  const TOvcDbTableColumn *column = Column(ColNum);
  int right = column->Left() + column->Width();
  int left = leftCol_;
  while (right > ClientWidth() && left != ColNum && left >= 0) {
    right -= Column(left)->Width();
    left = NextUnhidden(left);
  }
  if (left >= 0 && left != leftCol_) SetLeftColumn(left);
}

// ---- hit test ----

TOvcDbTableRegion TOvcCustomDbTable::HitTest(int X, int Y, int &Col, int &Row) const {
  Col = Row = HitUnused;
  if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight()) return otrOutside;
  const int header = headerOptions_.Contains(hoShowHeader) ? headerHeight_ : 0;
  const int rowsEnd = std::min(ClientHeight(), header + RecordRows() * rowHeight_);
  if (Y < header)
    Row = HitLocked;
  else if (Y < rowsEnd)
    Row = (Y - header) / rowHeight_;
  if (X < indicatorWidth_) {
    Col = HitLocked;
  } else if (X < std::min(ClientWidth(), visible_.TotalWidth())) {
    for (int i = 0; i < visible_.Count(); ++i)
      if (visible_.Items(i)->Left() <= X) Col = visible_.Number(i);
  }
  if (Row == HitUnused || Col == HitUnused) return otrUnused;
  if (Row == HitLocked || Col == HitLocked || Col < lockedColumns_) return otrLocked;
  return otrCell;
}

// ---- keys ----

int TOvcCustomDbTable::ClassifyKey(const TMessage &KeyMessage) {
  MakeColumnVisible(activeCol_);
  TOvcController *controller = Controller() ? Controller() : GetDefaultController();
  const WORD command = controller->EntryCommands()->LookupUsing(commandTables_, KeyMessage);
  const WPARAM key = KeyMessage.WParam;
  if ((key == VK_TAB && options_.Contains(dtoWantTabs)) ||
      (key == VK_RETURN && options_.Contains(dtoEnterToTab)) || key == VK_ESCAPE || command == ccTableEdit)
    return tkcTableTakes;
  return IsNavigationCommand(command) ? tkcNavigation : tkcEditorKeeps;
}

void TOvcCustomDbTable::WMKeyDown(TMessage &Message) {
  TOvcTableAncestor::WndProc(Message);
  if (!DataSource() || !DataSet()) return;
  const WORD key = WORD(Message.WParam);
  if (key == 0) return;
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0,
             alt = GetKeyState(VK_MENU) < 0;
  WORD command = ccNone;
  if (key == VK_TAB && options_.Contains(dtoWantTabs)) {
    command = !shift && !ctrl && !alt ? ccRight : shift && !ctrl && !alt ? ccLeft : ccNone;
  } else if (key == VK_RETURN && options_.Contains(dtoEnterToTab)) {
    command = !shift && !ctrl && !alt ? ccRight : shift ? ccLeft : ccNone;
  } else {
    TOvcController *controller = Controller() ? Controller() : GetDefaultController();
    command = controller->EntryCommands()->TranslateUsing(commandTables_, Message);
  }

  if (!EditorOpen()) {
    const bool noCommand = command > ccLastNamedCommand && command < ccUserFirst;
    const bool typed = noCommand && (key == VK_SPACE || (key >= 0x30 && key <= 0x6F) || key >= 0xBA);
    if (command == ccTableEdit || typed) {
      if (OpenEditor() && typed) {
        // The key, and the character it types, go on to the editor.
        keyOpenedEditor_ = true;
        pendingChars_.clear();
        PostMessage(Handle(), tcm_EditWithKey, Message.WParam, Message.LParam);
      }
      return;
    }
    if (key == VK_ESCAPE) {
      // The first undoes the table's changes, the second cancels the record.
      link_->Reset();
      if (DataSetEditing()) link_->Reset();
      return;
    }
  } else if (!options_.Contains(dtoAlwaysEditing) && (command == ccTableEdit || key == VK_ESCAPE)) {
    const bool escape = key == VK_ESCAPE;
    if (!CloseEditor(!escape)) return;
    if (escape) link_->Reset();
    if (!Focused() && CanFocus()) SetFocus();
    state_ |= stFocused;
    return;
  }
  if (command <= ccLastNamedCommand && IsNavigationCommand(command))
    ProcessCommand(command);
  else if (command >= ccUserFirst)
    DoUserCommand(command);
}

void TOvcCustomDbTable::ProcessCommand(WORD Command) {
  if (!DataSetActive() || Command > ccUp) return;
  TDataSet *dataSet = DataSet();
  const auto lastUnhidden = [this] { return NearestColumn(ColumnCount() - 1, -1); };
  const auto firstUnlocked = [this] { return NearestColumn(lockedColumns_, 1); };
  switch (Command) {
  case ccBotOfPage: MoveToRow(visibleRows_ - 1); break;
  case ccBotRightCell:
    dataSet->Last();
    MoveToColumn(lastUnhidden());
    break;
  case ccDown: MoveBy(1); break;
  case ccEnd: MoveToColumn(lastUnhidden()); break;
  case ccFirstPage: dataSet->First(); break;
  case ccHome: MoveToColumn(firstUnlocked()); break;
  case ccLastPage: dataSet->Last(); break;
  case ccLeft: MoveLeftCommand(); break;
  case ccNextPage: MoveBy(visibleRows_); break;
  case ccPageLeft:
  case ccPageRight: {
    const int place = visible_.IndexOf(activeCol_);
    if (!CloseEditor(true)) return;
    if (Command == ccPageLeft)
      PageLeft();
    else
      PageRight();
    if (place >= 0) MoveToColumn(visible_.Number(std::min(place, visible_.Count() - 1)));
    break;
  }
  case ccPrevPage: MoveBy(-visibleRows_); break;
  case ccRight: MoveRightCommand(); break;
  case ccTopLeftCell:
    dataSet->First();
    MoveToColumn(firstUnlocked());
    break;
  case ccTopOfPage: MoveToRow(0); break;
  case ccUp: MoveBy(-1); break;
  default: break;
  }
}

void TOvcCustomDbTable::MoveLeftCommand() {
  if (EditorOpen() && editingCell_->EditorControl()) editingCell_->EditorControl()->Perform(CM_EXIT, 0, 0);
  const int target = PreviousUnhidden(activeCol_);
  if (target >= 0) {
    MoveToColumn(target);
  } else if (options_.Contains(dtoWrapAtEnds)) {
    if (activeRow_ > 0) {
      MoveActiveCell(activeRow_ - 1, ColumnCount() - 1);
    } else {
      MoveBy(-1);
      MoveToColumn(ColumnCount() - 1);
    }
  }
}

void TOvcCustomDbTable::MoveRightCommand() {
  if (EditorOpen() && editingCell_->EditorControl()) editingCell_->EditorControl()->Perform(CM_EXIT, 0, 0);
  const int target = NextUnhidden(activeCol_);
  if (target >= 0) {
    MoveToColumn(target);
  } else if (options_.Contains(dtoWrapAtEnds)) {
    if (activeRow_ < visibleRows_ - 1) {
      MoveActiveCell(activeRow_ + 1, 0);
    } else {
      MoveBy(1);
      MoveToColumn(0);
    }
  }
}

void TOvcCustomDbTable::DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos) {
  TOvcTableAncestor::DoOnMouseWheel(Shift, Delta, XPos, YPos);
  if (Delta > 0)
    ProcessCommand(ccUp);
  else if (Delta < 0)
    ProcessCommand(ccDown);
}

// ---- the mouse ----

void TOvcCustomDbTable::WMLButtonDown(TMessage &Message) {
  TOvcTableAncestor::WndProc(Message);
  if (!DataSource()) return;
  if (!CloseEditor(true)) return;
  if (!Focused() && !IsDesigning()) {
    // The click that brings the focus does nothing else.
    focusingByClick_ = true;
    if (CanFocus()) SetFocus();
    focusingByClick_ = false;
    Application()->ProcessMessages();
    return;
  }
  state_ |= stFocused;
  const int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
  if ((state_ & stOverBorder) && Column(sizingCol_)) {
    state_ |= stSizing;
    sizingX_ = std::max(x, Column(sizingCol_)->Left() + kNarrowest);
    DrawSizingLine();
    return;
  }
  if ((state_ & stOverHeader) && moveFrom_ >= 0) {
    state_ |= stMoving;
    moveTo_ = moveFrom_;
    DrawMoveMarker();
    return;
  }
  if (IsDesigning() || !DataSetActive() || !(state_ & stFocused) || !(state_ & stReady)) return;
  int col = 0, row = 0;
  const TOvcDbTableRegion region = HitTest(x, y, col, row);
  if (DataSetEditing() && (visible_.IndexOf(col) < 0 || !Column(col)->DefaultCell())) DataSet()->Post();
  switch (region) {
  case otrCell:
    if (options_.Contains(dtoAlwaysEditing) || (row == activeRow_ && col == activeCol_)) {
      PostMessage(Handle(), tcm_StartEditing);
      PostMessage(Handle(), tcm_EditWithMouse, Message.WParam, Message.LParam);
    }
    MoveActiveCell(row, col);
    break;
  case otrLocked:
    if (x < indicatorWidth_)
      DoIndicatorClick(row, col);
    else if (state_ & stReady)
      DoLockedCellClick(row, col);
    break;
  case otrUnused: DoUnusedAreaClick(row, col); break;
  default: break;
  }
}

void TOvcCustomDbTable::WMLButtonDblClk(TMessage &Message) {
  if (!IsDesigning() && DataSource()) {
    if (!CloseEditor(true)) return;
    int col = 0, row = 0;
    if (HitTest(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam), col, row) == otrCell) {
      MoveActiveCell(row, col);
      PostMessage(Handle(), tcm_StartEditing);
      PostMessage(Handle(), tcm_EditWithMouse, Message.WParam, Message.LParam);
    }
  }
  TOvcTableAncestor::WndProc(Message);
}

void TOvcCustomDbTable::WMRButtonDown(TMessage &Message) {
  // A right click makes the record under the mouse the one its popup menu acts on.
  if (!IsDesigning() && DataSource() && DataSetActive() && (state_ & stReady)) {
    int col = 0, row = 0;
    if (HitTest(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam), col, row) == otrCell &&
        CloseEditor(true))
      MoveActiveCell(row, col);
  }
  TOvcTableAncestor::WndProc(Message);
}

void TOvcCustomDbTable::WMMouseMove(TMessage &Message) {
  TOvcTableAncestor::WndProc(Message);
  if (!DataSource()) return;
  const int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
  if (state_ & stSizing) {
    const TOvcDbTableColumn *column = Column(sizingCol_);
    const int newX = std::max(x, column ? column->Left() + kNarrowest : x);
    if (newX != sizingX_) {
      DrawSizingLine();
      sizingX_ = newX;
      DrawSizingLine();
    }
    return;
  }
  if (state_ & stMoving) {
    int col = 0, row = 0;
    HitTest(x, y, col, row);
    const int place = col >= lockedColumns_ ? visible_.IndexOf(col) : -1;
    if (place >= 0 && place != moveTo_) {
      DrawMoveMarker();
      moveTo_ = place;
      DrawMoveMarker();
    }
    return;
  }
  // Where the mouse is decides what a press does and which cursor shows.
  state_ &= ~(stOverBorder | stOverHeader);
  sizingCol_ = moveFrom_ = -1;
  const bool headerHere =
      headerOptions_.Contains(hoShowHeader) && !EditorOpen() && y >= 0 && y < headerHeight_;
  if (headerHere && (options_.Contains(dtoAllowColumnSize) || IsDesigning())) {
    for (int i = 0; i < visible_.Count() && sizingCol_ < 0; ++i) {
      const TOvcDbTableColumn *column = visible_.Items(i);
      const int edge = i == visible_.Count() - 1 ? visible_.TotalWidth() : column->Left() + column->Width();
      if (std::abs(x - edge) <= kBorderReach) sizingCol_ = visible_.Number(i);
    }
    if (sizingCol_ >= 0) state_ |= stOverBorder;
  }
  if (headerHere && !(state_ & stOverBorder) && (options_.Contains(dtoAllowColumnMove) || IsDesigning())) {
    int col = 0, row = 0;
    HitTest(x, y, col, row);
    if (col >= lockedColumns_ && visible_.IndexOf(col) >= 0) {
      moveFrom_ = visible_.IndexOf(col);
      state_ |= stOverHeader;
    }
  }
  if (state_ & (stOverBorder | stOverHeader))
    state_ &= ~stReady;
  else if (!EditorOpen())
    state_ |= stReady;
  if (QWidget *widget = Widget()) {
    if (state_ & stOverBorder)
      widget->setCursor(Screen()->Cursors(crHSplit));
    else if (state_ & stOverHeader)
      widget->setCursor(moveCursor_);
    else
      Perform(WM_SETCURSOR, WPARAM(Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

void TOvcCustomDbTable::WMSetCursor(TMessage &Message) {
  const bool ours =
      LOWORD(Message.LParam) == HTCLIENT && headerOptions_.Contains(hoShowHeader) && !EditorOpen();
  if (ours && (state_ & (stOverBorder | stSizing))) {
    ::SetCursor(Screen()->Cursors(crHSplit));
    return;
  }
  if (ours && (state_ & (stOverHeader | stMoving))) {
    ::SetCursor(moveCursor_);
    return;
  }
  TOvcTableAncestor::WndProc(Message);
}

void TOvcCustomDbTable::WMLButtonUp(TMessage &Message) {
  TOvcTableAncestor::WndProc(Message);
  if (!DataSource()) return;
  if (state_ & stSizing) {
    DrawSizingLine();
    state_ &= ~(stSizing | stOverBorder);
    state_ |= stReady;
    if (TOvcDbTableColumn *column = Column(sizingCol_))
      column->SetWidth(std::max(sizingX_, column->Left() + kNarrowest) - column->Left());
    Invalidate();
    return;
  }
  if (state_ & stMoving) {
    DrawMoveMarker();
    state_ &= ~(stMoving | stOverHeader);
    state_ |= stReady;
    EndColumnMove();
  }
}

void TOvcCustomDbTable::EndColumnMove() {
  const int from = visible_.Number(moveFrom_), to = visible_.Number(moveTo_);
  if (from < 0 || to < 0 || from == to) return;
  columnUpdate_ = true;
  try {
    for (int c = from; c != to; c += to > from ? 1 : -1) columns_->Exchange(c, c + (to > from ? 1 : -1));
  } catch (...) {
    columnUpdate_ = false;
    throw;
  }
  columnUpdate_ = false;
  ColumnsChanged(columns_.get(), from, to, occExchanged);
  if (activeCol_ == from) MoveToColumn(to);
  DoColumnMoved(from, to);
}

// The sizing line and the move marker are drawn over the picture when the table paints; these mark the
// strips where they come and go.
void TOvcCustomDbTable::DrawSizingLine() {
  if (updating_ && (state_ & stSizing)) {
    Canvas()->Pen()->SetMode(pmXor);
    Canvas()->Pen()->SetColor(clWhite);
    Canvas()->Pen()->SetStyle(psDot);
    Canvas()->MoveTo(sizingX_, 0);
    Canvas()->LineTo(sizingX_, ClientHeight());
    Canvas()->Pen()->SetMode(pmCopy);
    Canvas()->Pen()->SetStyle(psSolid);
    return;
  }
  const TRect strip{sizingX_, 0, sizingX_ + 1, ClientHeight()};
  InvalidateRect(&strip);
}

int TOvcCustomDbTable::MoveMarkerX() const {
  const int from = visible_.Number(moveFrom_), to = visible_.Number(moveTo_);
  const TOvcDbTableColumn *target = visible_.Items(moveTo_);
  if (!target) return visible_.TotalWidth();
  if (to <= from) return target->Left();
  const TOvcDbTableColumn *next = visible_.Items(moveTo_ + 1);
  return next ? next->Left() : visible_.TotalWidth();
}

void TOvcCustomDbTable::DrawMoveMarker() {
  const int x = MoveMarkerX();
  if (updating_ && (state_ & stMoving)) {
    Canvas()->Pen()->SetMode(pmXor);
    Canvas()->Pen()->SetColor(clWhite);
    Canvas()->Pen()->SetWidth(1);
    for (int dx = -1; dx <= 1; ++dx) {
      Canvas()->MoveTo(x + dx, 0);
      Canvas()->LineTo(x + dx, ClientHeight());
    }
    Canvas()->Pen()->SetMode(pmCopy);
    return;
  }
  const TRect strip{x - 1, 0, x + 2, ClientHeight()};
  InvalidateRect(&strip);
}

// ---- focus ----

bool TOvcCustomDbTable::OnOwnForm(HWND Window) const {
  TWinControl *control = FindControl(Window);
  if (!control) control = FindControl(GetParent(Window));
  return control && GetParentForm(control) == GetParentForm(this);
}

void TOvcCustomDbTable::PostRecordOnLeaving() {
  // An edit the table began ends when the focus leaves it: posted when changed, dropped otherwise.
  if (!editStartedHere_ || EditorOpen() || !DataSetEditing()) return;
  DataSet()->CheckBrowseMode();
}

void TOvcCustomDbTable::WMSetFocus(TMessage &Message) {
  TOvcTableAncestor::WndProc(Message);
  state_ |= stFocused | stReady;
  InvalidateActive();
  if (focusingByClick_) return;
  if (editRefused_) {
    editRefused_ = false;
    return;
  }
  const HWND losing = HWND(Message.WParam);
  const bool fromOwnEditor = losing && losing == EditorHandle(editingCell_);
  if (!IsDesigning() && options_.Contains(dtoAlwaysEditing) && !fromOwnEditor)
    PostMessage(Handle(), tcm_StartEditing);
}

void TOvcCustomDbTable::WMKillFocus(TMessage &Message) {
  TOvcTableAncestor::WndProc(Message);
  state_ &= ~stFocused;
  InvalidateActive();
  const HWND gaining = HWND(Message.WParam);
  const bool toOwnEditor = WindowWithin(gaining, EditorHandle(editingCell_));
  if (gaining && !toOwnEditor && !WindowWithin(gaining, Handle()) && OnOwnForm(gaining))
    PostRecordOnLeaving();
}

void TOvcCustomDbTable::EditorLostFocus(HWND Gaining, LPARAM ErrorCode) {
  if (!Gaining || !OnOwnForm(Gaining)) return; // a dialog of another form leaves the editor open
  if (ErrorCode == 0) CloseEditor(true);
  const bool tableHasIt = Gaining == Handle() || GetFocus() == Handle();
  if (!tableHasIt) {
    state_ &= ~stFocused;
    PostRecordOnLeaving();
  }
  InvalidateActive();
}

// ---- the editor ----

bool TOvcCustomDbTable::BeginFieldEdit() {
  TOvcBaseTableCell *cell = columns_->DefaultCell(activeCol_);
  if (!cell || dynamic_cast<TOvcTCCustomBitMap *>(cell) || dynamic_cast<TOvcTCCustomIcon *>(cell))
    return false;
  if (!DataSetActive() || link_->ReadOnly() || link_->MappedCount() == 0) return false;
  TField *field = activeCol_ < link_->MappedCount() ? link_->MappedField(activeCol_) : nullptr;
  if (!field || !field->CanModify()) return false;
  const bool wasEditing = DataSetEditing();
  if (DataSource()->AutoEdit()) {
    for (;;) {
      try {
        link_->Edit();
        break;
      } catch (const EDatabaseError &) {
        if (MessageDlg(LibraryMessageText(30238), mtError, {mbAbort, mbRetry}) == mrRetry) continue;
        editRefused_ = true;
        throw;
      }
    }
  }
  if (!link_->Editing()) return false;
  if (!wasEditing) editStartedHere_ = true;
  link_->MarkModified();
  return true;
}

bool TOvcCustomDbTable::OpenEditor() {
  if (EditorOpen()) return true;
  if (IsDesigning() || !DataSource()) return false;
  TOvcBaseTableCell *cell = columns_->DefaultCell(activeCol_);
  TOvcDbTableColumn *column = Column(activeCol_);
  TField *field = column ? column->Field() : nullptr;
  if (!cell || !field || (!EditableFieldType(field->DataType()) && !cell->AcceptsField(field))) return false;
  if (!Focused() && CanFocus()) SetFocus();
  state_ |= stFocused;
  MakeColumnVisible(activeCol_);

  TFont font;
  font.Assign(Font());
  TOvcCellAttributes attr;
  attr.Font = &font;
  cell->GatherAttributes(activeRow_, activeCol_, attr);
  if (attr.Access != otxNormal) return false;
  if (!BeginFieldEdit()) return false;
  InvalidateIndicators();
  const TRect rect = CellContentRect(activeRow_, activeCol_);
  if (rect.IsEmpty() || CellDataSize(cell) == 0) return false;
  state_ &= ~stReady;
  attr.Color = colors_->Editing();
  attr.FontColor = colors_->EditingText();
  if (dynamic_cast<TOvcTCComboBox *>(cell)) InvalidateCell(activeRow_, activeCol_);

  TOvcDbCellValue value;
  FieldToCellData(field, cell, value);
  editingCell_ = cell;
  cell->StartEditing(activeRow_, activeCol_, rect, attr, ocsPlain, value.Data());
  if (!cell->EditorWindow()) {
    editingCell_ = nullptr;
    state_ |= stReady;
    return false;
  }
  state_ |= stEditorOpen;
  cell->PlaceEditor(rect);
  ::SetFocus(cell->EditorWindow());
  return true;
}

bool TOvcCustomDbTable::CloseEditor(bool SaveValue) {
  if (!EditorOpen() || !DataSet() || !editingCell_) return true;
  TOvcBaseTableCell *cell = editingCell_;
  if (!cell->CanEndEditing(SaveValue)) return false;
  const bool focusInEditor = WindowWithin(GetFocus(), EditorHandle(cell));
  // The table no longer counts the editor as open while the value reaches the field, so that the field's
  // change notice only repaints.
  state_ &= ~stEditorOpen;
  state_ |= stReady;
  const bool save = SaveValue && CellDataSize(cell) >= 1 && CellEditorModified(cell);
  TOvcDbCellValue value;
  if (save) {
    TOvcDbTableColumn *column = Column(activeCol_);
    TField *field = column ? column->Field() : nullptr;
    FieldToCellData(field, cell, value);
    cell->CopyEditorValue(value.Data());
    try {
      CellDataToField(field, cell, value);
    } catch (...) {
      // A refused value keeps its editor, with the field's message shown by whoever handles the error.
      state_ |= stEditorOpen;
      state_ &= ~stReady;
      throw;
    }
  }
  cell->EndEditing(save, save ? value.Data() : nullptr);
  editingCell_ = nullptr;
  if (save && DataSetEditing()) link_->UpdateRecord();
  InvalidateActive();
  InvalidateIndicators();
  if (focusInEditor && CanFocus()) SetFocus();
  return true;
}

bool TOvcCustomDbTable::SaveEditedValue() {
  if (!EditorOpen() || !editingCell_ || link_->MappedCount() == 0 || !CellEditorModified(editingCell_))
    return true;
  if (!editingCell_->CanEndEditing(true)) return false;
  if (CellDataSize(editingCell_) == 0) return false;
  TOvcDbTableColumn *column = Column(activeCol_);
  TField *field = column ? column->Field() : nullptr;
  TOvcDbCellValue value;
  FieldToCellData(field, editingCell_, value);
  editingCell_->CopyEditorValue(value.Data());
  CellDataToField(field, editingCell_, value);
  return true;
}

// ---- the dataset's editing notices ----

void TOvcCustomDbTable::EditingChanged() {
  if (IsDestroying()) return;
  if (!DataSetEditing()) {
    editStartedHere_ = false;
    CloseEditor(true);
  }
  InvalidateIndicators();
  if (options_.Contains(dtoAlwaysEditing) && DataSetEditing() && HandleAllocated())
    PostMessage(Handle(), tcm_StartEditing);
}

void TOvcCustomDbTable::RecordChanged(TField *Field) {
  if (IsDestroying() || !HandleAllocated()) return;
  if (Field) {
    for (int c = 0; c < link_->MappedCount(); ++c)
      if (link_->MappedField(c) == Field) InvalidateCell(activeRow_, c);
  } else {
    InvalidateRow(activeRow_);
  }
  TOvcDbTableColumn *column = Column(activeCol_);
  if (EditorOpen() && (!Field || (column && Field == column->Field()))) {
    // The editor shows the record's new value.
    if (!CloseEditor(false)) Abort();
    PostMessage(Handle(), tcm_StartEditing);
  }
}

// ---- the window's messages ----

void TOvcCustomDbTable::AnswerPrivateMessage(TMessage &Message) {
  switch (Message.Msg) {
  case tcm_GetTableOptions: {
    LRESULT flags = tblOptAlwaysSet1 | tblOptAlwaysSet6;
    if (options_.Contains(dtoHighlightActiveRow)) flags |= tblOptHighlightActiveRow;
    if (!options_.Contains(dtoAllowColumnSize)) flags |= tblOptNoColumnSizing;
    if (options_.Contains(dtoWantTabs)) flags |= tblOptWantsTab;
    if (options_.Contains(dtoEnterToTab)) flags |= tblOptEnterLikeTab;
    if (options_.Contains(dtoAlwaysEditing)) flags |= tblOptAlwaysEditing;
    if (options_.Contains(dtoAllowColumnMove)) flags |= tblOptColumnsMovable;
    Message.Result = flags;
    return;
  }
  case tcm_GetTableColor: Message.Result = LRESULT(Color()); return;
  case tcm_GetTableFont: Message.Result = PointerParam(Font()); return;
  case tcm_GetLockedColumns: Message.Result = lockedColumns_; return;
  case tcm_GetLockedRows: Message.Result = 0; return;
  case tcm_GetActiveColumn: Message.Result = activeCol_; return;
  case tcm_GetActiveRow: Message.Result = activeRow_; return;
  case tcm_CellDetached:
    if (auto *cell = MessagePointer<TOvcBaseTableCell>(std::uintptr_t(Message.LParam)))
      Notification(cell, opRemove);
    Message.Result = 0;
    return;
  case tcm_StartEditing: Message.Result = (state_ & stFocused) ? (OpenEditor(), 1) : 0; return;
  case tcm_EditWithMouse:
    if (EditorOpen() && editingCell_) {
      TWinControl *editor = editingCell_->EditorControl();
      ::SetFocus(editingCell_->EditorWindow());
      auto *combo = dynamic_cast<TOvcTCCustomComboBox *>(editingCell_);
      if (editor && !(combo && combo->Style() == csDropDownList)) {
        // The press lands where it was made, in the editor's own coordinates.
        const int x = GET_X_LPARAM(Message.LParam) - editor->Left();
        const int y = GET_Y_LPARAM(Message.LParam) - editor->Top();
        PostMessage(editingCell_->EditorWindow(), WM_LBUTTONDOWN, Message.WParam, MAKELPARAM(x, y));
      }
    }
    Message.Result = 1;
    return;
  case tcm_EditWithKey:
    if (EditorOpen() && editingCell_) {
      const HWND editor = editingCell_->EditorWindow();
      ::SetFocus(editor);
      PostMessage(editor, WM_KEYDOWN, Message.WParam, Message.LParam);
      for (const QChar ch : std::as_const(pendingChars_))
        PostMessage(editor, WM_CHAR, ch.unicode(), Message.LParam);
    }
    keyOpenedEditor_ = false;
    pendingChars_.clear();
    Message.Result = 1;
    return;
  case tcm_EditorGotFocus: state_ |= stFocused; return;
  case tcm_EditorLostFocus: EditorLostFocus(HWND(Message.WParam), Message.LParam); return;
  default: return;
  }
}

void TOvcCustomDbTable::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case tcm_GetTableOptions:
  case tcm_GetTableColor:
  case tcm_GetTableFont:
  case tcm_GetLockedColumns:
  case tcm_GetLockedRows:
  case tcm_GetActiveColumn:
  case tcm_GetActiveRow:
  case tcm_CellDetached:
  case tcm_StartEditing:
  case tcm_EditWithMouse:
  case tcm_EditWithKey:
  case tcm_EditorGotFocus:
  case tcm_EditorLostFocus: AnswerPrivateMessage(Message); return;
  case WM_ERASEBKGND: Message.Result = 1; return;
  case WM_GETDLGCODE: {
    LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (options_.Contains(dtoWantTabs)) code |= DLGC_WANTTAB;
    if (options_.Contains(dtoEnterToTab)) code |= DLGC_WANTALLKEYS;
    Message.Result = code;
    return;
  }
  case WM_KEYDOWN: WMKeyDown(Message); return;
  case WM_CHAR:
    // The character of the key that opened the editor follows that key to it.
    if (keyOpenedEditor_) {
      pendingChars_.append(QChar(char16_t(Message.WParam)));
      return;
    }
    break;
  case WM_LBUTTONDOWN: WMLButtonDown(Message); return;
  case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); return;
  case WM_RBUTTONDOWN: WMRButtonDown(Message); return;
  case WM_LBUTTONUP: WMLButtonUp(Message); return;
  case WM_MOUSEMOVE: WMMouseMove(Message); return;
  case WM_SETCURSOR: WMSetCursor(Message); return;
  case WM_SETFOCUS: WMSetFocus(Message); return;
  case WM_KILLFOCUS: WMKillFocus(Message); return;
  case WM_VSCROLL: WMVScroll(Message); return;
  case WM_HSCROLL: WMHScroll(Message); return;
  case WM_SIZE:
    TOvcTableAncestor::WndProc(Message);
    CalcMaxLeftColumn();
    CalcRows();
    UpdateScrollBars();
    PlaceOpenEditor();
    return;
  case WM_COMMAND:
    if (EditorOpen() && editingCell_ && HWND(Message.LParam) == EditorHandle(editingCell_)) {
      const WORD code = HIWORD(Message.WParam);
      if (code == CBN_KILLFOCUS && !WindowWithin(GetFocus(), EditorHandle(editingCell_)))
        PostMessage(Handle(), tcm_EditorLostFocus, WPARAM(GetFocus()), 0);
      if (code == CBN_CLOSEUP) {
        const TRect r{Column(activeCol_)->Left(), 0, Column(activeCol_)->Left() + Column(activeCol_)->Width(),
                      ClientHeight()};
        InvalidateRect(&r);
      }
    }
    break;
  case CM_DESIGNHITTEST:
    // The designer leaves column sizing and moving to the table.
    Message.Result = (state_ & (stSizing | stMoving | stOverBorder | stOverHeader)) ? 1 : 0;
    return;
  case CM_CTL3DCHANGED:
    TOvcTableAncestor::WndProc(Message);
    if (!IsLoading() && HandleAllocated() && borderStyle_ == bsSingle) RecreateWnd();
    return;
  default: break;
  }
  TOvcTableAncestor::WndProc(Message);
}
