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

// What both editors hand on to the table: a key the table takes, a navigation key for which Leaves says it
// leaves the editor, and the editor gaining or losing the focus (after Base, the editor's own class, has
// handled it). True when Message is dealt with.
template <typename Base, typename Leaves>
bool HandedToTable(Base *Editor, TOvcBaseTableCell *Owner, TMessage &Message, Leaves NavigationLeaves) {
  if (!Owner) return false;
  switch (Message.Msg) {
  case WM_KEYDOWN: {
    bool toTable = false;
    switch (Owner->AskTableKeyFilter(Message)) {
    case tkcNavigation: toTable = NavigationLeaves(Message.WParam); break;
    case tkcTableTakes: toTable = true; break;
    default: break;
    }
    if (toTable) Owner->PostKeyToTable(Message);
    return toTable;
  }
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    Editor->Base::WndProc(Message);
    Owner->PostToTable(Message.Msg == WM_SETFOCUS ? tcm_EditorGotFocus : tcm_EditorLostFocus, Message.WParam,
                       0);
    return true;
  default: return false;
  }
}

} // namespace

// ---- the string editor ----

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
  default: break;
  }
  const auto leaves = [this](WPARAM key) {
    if (key == VK_LEFT) return CellOwner->AutoAdvanceLeftRight() && LeftLeaves(this);
    if (key == VK_RIGHT) return CellOwner->AutoAdvanceLeftRight() && RightLeaves(this);
    return IsVerticalKey(key);
  };
  if (!HandedToTable<TCustomEdit>(this, CellOwner, Message, leaves)) TCustomEdit::WndProc(Message);
}

// ---- the memo editor ----

void TOvcTCMemoEdit::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_CHAR:
    if (Message.WParam == kTab && CellOwner && CellOwner->TableWantsTab()) return;
    break;
  case WM_GETDLGCODE:
    TCustomMemo::WndProc(Message);
    if (CellOwner && CellOwner->TableWantsTab()) Message.Result |= DLGC_WANTTAB;
    return;
  default: break;
  }
  const auto leaves = [this](WPARAM key) {
    if (key == VK_RETURN) return !WantReturns();
    if (key == VK_LEFT) return LeftLeaves(this);
    return key == VK_RIGHT && RightLeaves(this);
  };
  if (!HandedToTable<TCustomMemo>(this, CellOwner, Message, leaves)) TCustomMemo::WndProc(Message);
}

// ---- what both cells share ----

void TOvcTCEditedText::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcTCBaseString::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == editor_) editor_ = nullptr;
}

void TOvcTCEditedText::BeforeDestruction() {
  FreeEditor();
  TOvcTCBaseString::BeforeDestruction();
}

HWND TOvcTCEditedText::EditorWindow() { return editor_ ? editor_->Handle() : 0; }
void TOvcTCEditedText::HideEditor() { HideCellEditor(editor_); }
void TOvcTCEditedText::PlaceEditor(const TRect &CellRect) { PlaceCellEditor(editor_, CellRect); }

bool TOvcTCEditedText::EditorModified() const { return editor_ && editor_->Modified(); }

void TOvcTCEditedText::FreeEditor() {
  if (!editor_) return;
  editor_->Free();
  editor_ = nullptr;
}

void TOvcTCEditedText::OpenEditor(TCustomEdit *Editor, const TRect &CellRect,
                                  const TOvcCellAttributes &CellAttr, int CellStyle, const void *Data) {
  // The editor belongs to the table, which may be freed (with the editor) before the cell: the cell hears of
  // the editor's end and forgets it.
  editor_ = Editor;
  editor_->FreeNotification(this);
  editor_->SetText(DataText(Data));
  editor_->SetMaxLength(maxLength_);
  editor_->SetColor(CellAttr.Color);
  if (CellAttr.Font) editor_->Font()->Assign(CellAttr.Font);
  editor_->Font()->SetColor(CellAttr.FontColor);
  editor_->SetBoundsRect(CellRect);
  editor_->SetTabStop(false);
  editor_->SetHint(Hint());
  editor_->SetShowHint(ShowHint());
  editor_->SetBorderStyle(CellStyle == ocsSingle || CellStyle == ocs3D ? bsSingle : bsNone);
  editor_->SetCtl3D(CellStyle == ocs3D);
  TakeCellEvents(this, editor_);
  editor_->SetParent(Table());
  editor_->OnChange = OnChange;
}

// ---- the string cell ----

TOvcTCStringEdit *TOvcTCCustomString::CreateEditor(TComponent *AOwner) {
  return new TOvcTCStringEdit(AOwner);
}

void TOvcTCCustomString::CopyEditorValue(void *Data) {
  if (!Data || !Editor()) return;
  *static_cast<QString *>(Data) = CutText(Editor()->Text(), MaxLength());
}

void TOvcTCCustomString::StartEditing(int, int, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                                      int CellStyle, const void *Data) {
  FreeEditor();
  TOvcTCStringEdit *editor = CreateEditor(Table());
  editor->CellOwner = this;
  OpenEditor(editor, CellRect, CellAttr, CellStyle, Data);
}

void TOvcTCCustomString::EndEditing(bool SaveValue, void *Data) {
  if (SaveValue && Data) CopyEditorValue(Data);
  FreeEditor();
}

// ---- the memo cell ----

TOvcTCCustomMemo::TOvcTCCustomMemo(TComponent *AOwner) : TOvcTCEditedText(AOwner) {
  SetUseASCIIZStrings(true);
  SetUseWordWrap(true);
}

TOvcTCMemoEdit *TOvcTCCustomMemo::CreateEditor(TComponent *AOwner) { return new TOvcTCMemoEdit(AOwner); }

void TOvcTCCustomMemo::StartEditing(int, int, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                                    int CellStyle, const void *Data) {
  FreeEditor();
  TOvcTCMemoEdit *editor = CreateEditor(Table());
  editor->CellOwner = this;
  editor->SetWantReturns(wantReturns_);
  editor->SetWantTabs(wantTabs_);
  OpenEditor(editor, CellRect, CellAttr, CellStyle, Data);
  editor->Show();
}

void TOvcTCCustomMemo::EndEditing(bool SaveValue, void *Data) {
  // A limit of N leaves room for N - 1 characters and the terminator; no limit keeps the whole text.
  if (SaveValue && Data && Editor())
    *static_cast<QString *>(Data) = CutText(Editor()->Text(), MaxLength() > 0 ? MaxLength() - 1 : 0);
  FreeEditor();
}
