#include "grids/cells/string_cells.h"
#include "grids/base/table_base.h"
#include "grids/base/table_messages.h"
#include "grids/cells/cell_editors.h"
#include "platform/windowing/virtual_keys.h"

namespace {

constexpr WPARAM kEnter = 13, kTab = 9, kEscape = 27;

bool IsVerticalKey(WPARAM key) { return key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN; }

// Caret rules shared by both editors: Left leaves at the very start, Right at the very end.
bool LeftLeaves(const TCustomEdit *Edit) { return Edit->SelStart() == 0 && Edit->SelLength() == 0; }
bool RightLeaves(const TCustomEdit *Edit) {
  const bool selectionAfterStart = Edit->SelLength() > 0 && Edit->SelStart() > 0;
  return !selectionAfterStart && Edit->SelStart() + Edit->SelLength() == Edit->Text().length();
}

// The text a cell's value holds, at most Limit characters (0: no limit).
QString CutText(const QString &Text, int Limit) { return Limit > 0 ? Text.left(Limit) : Text; }

template <typename Edit>
void SetUpEditor(Edit *Editor, TOvcBaseTableCell *Cell, const TRect &CellRect,
                 const TOvcCellAttributes &CellAttr, int CellStyle) {
  Editor->SetColor(CellAttr.Color);
  if (CellAttr.Font) Editor->Font()->Assign(CellAttr.Font);
  Editor->Font()->SetColor(CellAttr.FontColor);
  Editor->SetBoundsRect(CellRect);
  Editor->SetTabStop(false);
  Editor->SetHint(Cell->Hint());
  Editor->SetShowHint(Cell->ShowHint());
  Editor->SetBorderStyle(CellStyle == ocsSingle || CellStyle == ocs3D ? bsSingle : bsNone);
  Editor->SetCtl3D(CellStyle == ocs3D);
  Editor->TakeCellEvents(Cell);
  Editor->SetParent(Cell->Table());
}

// The editor belongs to the table, which may be freed (with the editor) before the cell: the cell hears of
// the editor's end and forgets it.
template <typename Edit>
Edit *WatchedEditor(Edit *Editor, TComponent *Cell) {
  Editor->FreeNotification(Cell);
  return Editor;
}

} // namespace

// ---- the string editor ----

void TOvcTCStringEdit::TakeCellEvents(TOvcBaseTableCell *Cell) { ::TakeCellEvents(Cell, this); }

void TOvcTCStringEdit::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_CHAR:
    if (Message.WParam == kEnter || Message.WParam == kTab || Message.WParam == kEscape) return;
    TCustomEdit::WndProc(Message);
    // With no limit every length would count as full, so only a real limit advances.
    if (CellOwner && CellOwner->AutoAdvanceChar() && MaxLength() > 0 && Text().length() >= MaxLength())
      CellOwner->PostKeyToTable(TMessage{WM_KEYDOWN, VK_RIGHT, 0, 0});
    return;
  case WM_GETDLGCODE:
    TCustomEdit::WndProc(Message);
    if (CellOwner && CellOwner->TableWantsTab()) Message.Result |= DLGC_WANTTAB;
    if (CellOwner && CellOwner->TableWantsEnter()) Message.Result |= DLGC_WANTALLKEYS;
    return;
  case WM_KEYDOWN: {
    if (!CellOwner) break;
    const WPARAM key = Message.WParam;
    bool toTable = false;
    switch (CellOwner->AskTableKeyFilter(Message)) {
    case tkcNavigation:
      if (IsVerticalKey(key))
        toTable = true;
      else if (key == VK_LEFT)
        toTable = CellOwner->AutoAdvanceLeftRight() && LeftLeaves(this);
      else if (key == VK_RIGHT)
        toTable = CellOwner->AutoAdvanceLeftRight() && RightLeaves(this);
      break;
    case tkcTableTakes: toTable = true; break;
    default: break;
    }
    if (toTable) {
      CellOwner->PostKeyToTable(Message);
      return;
    }
    break;
  }
  case WM_SETFOCUS:
    TCustomEdit::WndProc(Message);
    if (CellOwner) CellOwner->PostToTable(tcm_EditorGotFocus, Message.WParam, 0);
    return;
  case WM_KILLFOCUS:
    TCustomEdit::WndProc(Message);
    if (CellOwner) CellOwner->PostToTable(tcm_EditorLostFocus, Message.WParam, 0);
    return;
  default: break;
  }
  TCustomEdit::WndProc(Message);
}

// ---- the memo editor ----

void TOvcTCMemoEdit::TakeCellEvents(TOvcBaseTableCell *Cell) { ::TakeCellEvents(Cell, this); }

void TOvcTCMemoEdit::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_CHAR:
    if (Message.WParam == kTab && CellOwner && CellOwner->TableWantsTab()) return;
    break;
  case WM_GETDLGCODE:
    TCustomMemo::WndProc(Message);
    if (CellOwner && CellOwner->TableWantsTab()) Message.Result |= DLGC_WANTTAB;
    return;
  case WM_KEYDOWN: {
    if (!CellOwner) break;
    const WPARAM key = Message.WParam;
    bool toTable = false;
    switch (CellOwner->AskTableKeyFilter(Message)) {
    case tkcNavigation:
      if (key == VK_RETURN)
        toTable = !WantReturns();
      else if (key == VK_LEFT)
        toTable = LeftLeaves(this);
      else if (key == VK_RIGHT)
        toTable = RightLeaves(this);
      break;
    case tkcTableTakes: toTable = true; break;
    default: break;
    }
    if (toTable) {
      CellOwner->PostKeyToTable(Message);
      return;
    }
    break;
  }
  case WM_SETFOCUS:
    TCustomMemo::WndProc(Message);
    if (CellOwner) CellOwner->PostToTable(tcm_EditorGotFocus, Message.WParam, 0);
    return;
  case WM_KILLFOCUS:
    TCustomMemo::WndProc(Message);
    if (CellOwner) CellOwner->PostToTable(tcm_EditorLostFocus, Message.WParam, 0);
    return;
  default: break;
  }
  TCustomMemo::WndProc(Message);
}

// ---- the string cell ----

void TOvcTCCustomString::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcTCBaseString::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == editor_) editor_ = nullptr;
}

void TOvcTCCustomString::BeforeDestruction() {
  if (editor_) {
    editor_->Free();
    editor_ = nullptr;
  }
  TOvcTCBaseString::BeforeDestruction();
}

HWND TOvcTCCustomString::EditorWindow() { return editor_ ? editor_->Handle() : 0; }
void TOvcTCCustomString::HideEditor() { HideCellEditor(editor_); }
void TOvcTCCustomString::PlaceEditor(const TRect &CellRect) { PlaceCellEditor(editor_, CellRect); }

TOvcTCStringEdit *TOvcTCCustomString::CreateEditor(TComponent *AOwner) {
  return new TOvcTCStringEdit(AOwner);
}

bool TOvcTCCustomString::EditorModified() const { return editor_ && editor_->Modified(); }

void TOvcTCCustomString::CopyEditorValue(void *Data) {
  if (!Data || !editor_) return;
  *static_cast<QString *>(Data) = CutText(editor_->Text(), maxLength_);
}

void TOvcTCCustomString::StartEditing(int, int, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                                      int CellStyle, const void *Data) {
  if (editor_) editor_->Free();
  editor_ = WatchedEditor(CreateEditor(Table()), this);
  editor_->CellOwner = this;
  editor_->SetText(DataText(Data));
  editor_->SetMaxLength(maxLength_);
  SetUpEditor(editor_, this, CellRect, CellAttr, CellStyle);
  editor_->OnChange = OnChange;
}

void TOvcTCCustomString::EndEditing(bool SaveValue, void *Data) {
  if (SaveValue && Data) CopyEditorValue(Data);
  if (editor_) {
    editor_->Free();
    editor_ = nullptr;
  }
}

// ---- the memo cell ----

TOvcTCCustomMemo::TOvcTCCustomMemo(TComponent *AOwner) : TOvcTCBaseString(AOwner) {
  SetUseASCIIZStrings(true);
  SetUseWordWrap(true);
}

void TOvcTCCustomMemo::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcTCBaseString::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == editor_) editor_ = nullptr;
}

void TOvcTCCustomMemo::BeforeDestruction() {
  if (editor_) {
    editor_->Free();
    editor_ = nullptr;
  }
  TOvcTCBaseString::BeforeDestruction();
}

HWND TOvcTCCustomMemo::EditorWindow() { return editor_ ? editor_->Handle() : 0; }
void TOvcTCCustomMemo::HideEditor() { HideCellEditor(editor_); }
void TOvcTCCustomMemo::PlaceEditor(const TRect &CellRect) { PlaceCellEditor(editor_, CellRect); }

TOvcTCMemoEdit *TOvcTCCustomMemo::CreateEditor(TComponent *AOwner) { return new TOvcTCMemoEdit(AOwner); }

bool TOvcTCCustomMemo::EditorModified() const { return editor_ && editor_->Modified(); }

void TOvcTCCustomMemo::StartEditing(int, int, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                                    int CellStyle, const void *Data) {
  if (editor_) editor_->Free();
  editor_ = WatchedEditor(CreateEditor(Table()), this);
  editor_->CellOwner = this;
  editor_->SetText(DataText(Data));
  editor_->SetMaxLength(maxLength_);
  editor_->SetWantReturns(wantReturns_);
  editor_->SetWantTabs(wantTabs_);
  SetUpEditor(editor_, this, CellRect, CellAttr, CellStyle);
  editor_->OnChange = OnChange;
  editor_->Show();
}

void TOvcTCCustomMemo::EndEditing(bool SaveValue, void *Data) {
  // A limit of N leaves room for N - 1 characters and the terminator; no limit keeps the whole text.
  if (SaveValue && Data && editor_)
    *static_cast<QString *>(Data) = CutText(editor_->Text(), maxLength_ > 0 ? maxLength_ - 1 : 0);
  if (editor_) {
    editor_->Free();
    editor_ = nullptr;
  }
}
