// The inspector grid's messages, keys, mouse and scrolling.
#include "controls/framework/private_messages.h"
#include "grids/inspector/grid_editors.h"
#include "grids/inspector/grid_messages.h"
#include "grids/inspector/inspector_grid.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"

namespace {

// How far from the divider after column 0 a press starts sizing the columns.
constexpr int kSizingReach = 3;
// The least width the pointer leaves either column while sizing.
constexpr int kSizingMargin = 35;
// A press this close to the left of an item's indentation toggles it (its expand button).
constexpr int kButtonZone = 14;

} // namespace

void TO32CustomInspectorGrid::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
  case WM_SETFOCUS: {
    const bool fromEditor = editor_ && FindControl(HWND(Message.WParam)) == editor_;
    TO32CustomControl::WndProc(Message);
    Invalidate();
    if (!fromEditor) ShowEditor();
    return;
  }
  case WM_KILLFOCUS: {
    const bool toEditor = editor_ && FindControl(HWND(Message.WParam)) == editor_;
    TO32CustomControl::WndProc(Message);
    if (!toEditor) {
      Invalidate();
      HideEditor();
    }
    return;
  }
  case WM_VSCROLL: ScrollMessage(Message.WParamLo(), std::int16_t(Message.WParamHi())); return;
  case WM_SETCURSOR: {
    TPoint pointer;
    GetCursorPos(pointer);
    if (gridState_ == gsColSizing || InSizingZone(ScreenToClient(pointer).X)) {
      ::SetCursor(Screen()->Cursors(crHSplit));
      Message.Result = 1;
      return;
    }
    break;
  }
  case WM_CANCELMODE:
  case CM_CANCELMODE: gridState_ = gsNormal; break;
  case CM_FONTCHANGED:
    TO32CustomControl::WndProc(Message);
    if (!Loading()) AdjustRowsAndScrollBar();
    Invalidate();
    return;
  case CM_CTL3DCHANGED:
    TO32CustomControl::WndProc(Message);
    RecreateWnd();
    return;
  case ovm_ItemsChanged:
    if (Designing()) RefreshItems();
    return;
  case igm_FreeRetiredEditors: FreeRetiredEditors(); return;
  case igm_ReportRefusal: ReportRefusal(); return;
  default: break;
  }
  TO32CustomControl::WndProc(Message);
}

// -- keys --

void TO32CustomInspectorGrid::KeyDown(WORD &Key, TShiftState Shift) {
  TO32CustomControl::KeyDown(Key, Shift);
  if (Key == 0 || RowCount() == 0) return;
  const bool ctrl = Shift.Contains(ssCtrl);
  const int page = VisibleRowCount();
  const int last = RowCount() - 1;
  TO32InspectorItem *item = Selected();
  int top = topRow_;
  int row = row_;
  switch (Key) {
  case VK_UP:
    if (ctrl) {
      --top;
    } else if (row_ == 0) {
      CommitEditor();
      return;
    } else {
      --row;
    }
    break;
  case VK_DOWN:
    if (ctrl) {
      ++top;
    } else if (row_ == last) {
      CommitEditor();
      return;
    } else {
      ++row;
    }
    break;
  case VK_LEFT:
    if (item->Expanded()) item->Collapse();
    return;
  case VK_RIGHT:
    if (item->HasChildren() && !item->Expanded()) item->Expand();
    return;
  case VK_NEXT:
    if (ctrl) {
      row = topRow_ + page - 1;
    } else {
      row += page;
      top += page;
    }
    break;
  case VK_PRIOR:
    if (ctrl) {
      row = topRow_;
    } else {
      row -= page;
      top -= page;
    }
    break;
  case VK_HOME: row = 0; break;
  case VK_END: row = last; break;
  case VK_F2: SetEditorMode(true); return;
  case VK_TAB:
    // From the editor: the focus moves on from the grid, as from the grid itself.
    if (TCustomForm *form = GetParentForm(this)) form->SelectNext(this, !Shift.Contains(ssShift), true);
    return;
  default: return;
  }
  SetTopRow(std::clamp(top, 0, MaxTopRow()));
  row = std::clamp(row, 0, last);
  if (row == row_) return;
  MoveToRow(0, row, true);
  if (autoExpand_)
    if (TO32InspectorItem *now = Selected()) now->Expand();
}

void TO32CustomInspectorGrid::KeyPress(QChar &Key) {
  TO32CustomControl::KeyPress(Key);
  if (Key != QLatin1Char('\r')) return;
  // Enter on the grid itself opens or closes the editor.
  if (editor_ && editorItem_ && editor_->Visible())
    HideEditor();
  else
    ShowEditor();
  Key = QChar();
}

void TO32CustomInspectorGrid::EditorWheel(int Delta) {
  if (RowCount() == 0 || Delta == 0) return;
  const int row = std::clamp(row_ + (Delta > 0 ? -1 : 1), 0, RowCount() - 1);
  if (row != row_) MoveToRow(0, row, true);
}

void TO32CustomInspectorGrid::DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos) {
  TO32CustomControl::DoOnMouseWheel(Shift, Delta, XPos, YPos);
  EditorWheel(Delta);
}

// -- mouse --

bool TO32CustomInspectorGrid::InSizingZone(int X) const {
  const int divider = ColWidth(0);
  return X <= divider + 2 && X >= divider - kSizingReach;
}

void TO32CustomInspectorGrid::CalcSizingState(int X, int Y, TGridState &State, int &Index, int &SizingPos,
                                              int &SizingOfs) {
  State = gsNormal;
  Index = -1;
  if (!InSizingZone(X)) return;
  State = gsColSizing;
  Index = 0;
  SizingPos = ColWidth(0);
  SizingOfs = SizingPos - X;
}

void TO32CustomInspectorGrid::ToggleItem(TO32InspectorItem *Item) {
  if (Item->Expanded())
    Item->Collapse();
  else if (Item->HasChildren())
    Item->Expand();
}

void TO32CustomInspectorGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!Designing()) {
    if (!FocusInside() && CanFocus()) SetFocus();
    if (!FocusInside()) return;
  }
  TGridState sizing = gsNormal;
  int index = -1;
  int position = 0;
  int offset = 0;
  CalcSizingState(X, Y, sizing, index, position, offset);
  const int row = RowAtY(Y);
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    if (sizing == gsNormal && row >= 0) {
      DblClick();
      ToggleItem(RowItem(row));
    }
  } else if (Button == mbLeft) {
    if (sizing != gsNormal) {
      gridState_ = sizing;
    } else if (row < 0) {
      Click();
    } else {
      MoveToRow(0, row, true);
      TO32InspectorItem *item = RowItem(row);
      // The expand button sits at the start of the item's indentation.
      const int indent = items_->HasParentItems() ? item->Level() * childIndentation_ : 0;
      if (autoExpand_ && !item->Expanded())
        item->Expand();
      else if (X < indent + kButtonZone && X < ColWidth(0))
        ToggleItem(item);
    }
  }
  TO32CustomControl::MouseDown(Button, Shift, X, Y);
}

void TO32CustomInspectorGrid::MouseMove(TShiftState Shift, int X, int Y) {
  if (gridState_ == gsColSizing) {
    const int x = std::clamp(X, kSizingMargin, std::max(kSizingMargin, Width() - kSizingMargin));
    const int both = ColWidth(0) + ColWidth(1);
    SetColumnWidths(x, both - x);
  }
  TO32CustomControl::MouseMove(Shift, X, Y);
}

void TO32CustomInspectorGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  gridState_ = gsNormal;
  ShowEditor();
  if (auto *edit = dynamic_cast<TO32GridEdit *>(editor_)) edit->StartDoubleClickWindow();
  TO32CustomControl::MouseUp(Button, Shift, X, Y);
}

// -- scrolling --

void TO32CustomInspectorGrid::ScrollMessage(WORD Code, int Position) {
  if (Visible() && TabStop() && CanFocus() && !FocusInside()) SetFocus();
  const int last = MaxTopRow();
  int top = topRow_;
  switch (Code) {
  case SB_LINEUP: --top; break;
  case SB_LINEDOWN: ++top; break;
  case SB_PAGEUP: top -= VisibleRowCount(); break;
  case SB_PAGEDOWN: top += VisibleRowCount(); break;
  case SB_THUMBPOSITION:
  case SB_THUMBTRACK: top = (Position * last + 63) / 127; break;
  case SB_TOP: top = 0; break;
  case SB_BOTTOM: top = last; break;
  default: return;
  }
  SetTopRow(top);
}
