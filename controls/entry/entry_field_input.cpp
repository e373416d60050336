// Entry-field input: keys, characters, mouse and clipboard messages become commands; entering a field sets
// caret, selection and insert mode.
#include "controls/entry/base_entry_field.h"
#include "controls/framework/command_processor.h"
#include "controls/framework/controller.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/shift_state.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"

namespace {

// Commands that change the text: a read-only field refuses them.
bool ChangesText(WORD command) {
  switch (command) {
  case ccBack:
  case ccCtrlChar:
  case ccCut:
  case ccDec:
  case ccDel:
  case ccDelBol:
  case ccDelEol:
  case ccDelLine:
  case ccDelWord:
  case ccInc:
  case ccPaste:
  case ccRestore:
  case ccCharacter: return true;
  default: return false;
  }
}

} // namespace

void TOvcBaseEntryField::Beep() {
  if (Controller()->EntryOptions().Contains(efoBeepOnError)) MessageBeep(0);
}

void TOvcBaseEntryField::DoCommand(TMessage &Msg, WORD Command) {
  if (!HandleAllocated() && Parent()) HandleNeeded();
  if (!HandleAllocated()) return;
  if (Command == ccCharacter && Msg.WParam == 0) return;
  if (IsReadOnly() && ChangesText(Command)) {
    // The key was handled (refused): the character it also types is not a second refusal.
    acceptNextChar_ = false;
    Beep();
    return;
  }
  if (Command >= ccUserFirst) {
    DoOnUserCommand(Command);
    Command = ccDiscard;
  }
  if (Command != ccNoCommand && Command != ccCharacter && Command != ccCtrlChar) ctrlCharPrefix_ = false;
  EditCommand(Msg, Command);
  if (Command == ccCtrlChar) ctrlCharPrefix_ = true;
  if (focused_) PositionCaret(true);
  if (Command == ccIns) caretPair_->SetInsertMode(insertMode_);
  Repaint();
}

void TOvcBaseEntryField::DispatchKeyCommand(TMessage &Message, WORD Command) {
  if (Command == ccUndo) Command = ccRestore;
  if (Command == ccNone) return;
  if (Command == ccIns && (options_.Contains(efoForceInsert) || options_.Contains(efoForceOvertype))) return;
  switch (Command) {
  case ccCopy: CopyMessage(); return;
  case ccCut: CutMessage(); return;
  case ccPaste: PasteMessage(); return;
  default: DoCommand(Message, Command);
  }
}

void TOvcBaseEntryField::CopyToClipboard() {
  if (selEnd_ <= selStart_) return;
  const QString shown = GetDisplayString();
  QString text = shown.mid(selStart_, selEnd_ - selStart_);
  for (int i = 0; i < text.size(); ++i) {
    const QChar original = editText_.at(selStart_ + i);
    if (original.unicode() >= 1 && original.unicode() <= 31) text[i] = original;
  }
  Clipboard()->SetAsText(text);
}

void TOvcBaseEntryField::CopyMessage() {
  TMessage msg{WM_COPY, 0, 0, 0};
  DoCommand(msg, ccCopy);
}

void TOvcBaseEntryField::CutMessage() {
  if (!IsReadOnly()) CopyToClipboard();
  TMessage msg{WM_CUT, 0, 0, 0};
  DoCommand(msg, ccCut);
}

void TOvcBaseEntryField::PasteMessage() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  const QString text = Clipboard()->AsText();
  TMessage msg{WM_PASTE, 0, PointerParam(&text), 0};
  DoCommand(msg, ccPaste);
}

int TOvcBaseEntryField::CharIndexAt(int X) {
  const QString shown = GetDisplayString();
  TCanvas *canvas = Canvas();
  int left = textMargin_;
  if (X < left && firstVisible_ > 0) {
    const int average = std::max(1, canvas->TextWidth(QStringLiteral("x")));
    firstVisible_ = std::max(0, firstVisible_ - (left - X + average - 1) / average);
  }
  int position = firstVisible_;
  while (position < shown.size()) {
    const int width = canvas->TextWidth(QString(shown.at(position)));
    if (left + width / 2 > X) break;
    left += width;
    ++position;
  }
  return position;
}

void TOvcBaseEntryField::EnterField(HWND Losing) {
  if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading)) return;
  TOvcController *controller = Controller();
  focused_ = true;
  controller->EntryCommands()->ResetCommandProcessor();
  if (exitIncomplete_ && Losing != 0 && Losing != WindowHandle()) {
    // The window that had the focus may be in the middle of a click or drag: end it there.
    TPoint cursor{};
    GetCursorPos(cursor);
    ::ScreenToClient(Losing, cursor);
    SendMessage(Losing, WM_CANCELMODE);
    SendMessage(Losing, WM_LBUTTONUP, 0, MAKELPARAM(cursor.X, cursor.Y));
    Show();
    if (TCustomForm *form = GetParentForm(this)) form->SetActiveControl(this);
  }
  if (!options_.Contains(efoForceInsert) && !options_.Contains(efoForceOvertype))
    insertMode_ = controller->InsertMode();
  bool returningAfterError = false;
  bool selectAll = false;
  if (!keepCaret_) {
    if (controller->ErrorPending() && lastError_ != 0) {
      returningAfterError = true;
    } else {
      if (!exitIncomplete_) modified_ = false;
      controller->DoOnPreEdit(this, FindControl(Losing));
      savedText_ = editText_;
    }
    if (!mouseFocusing_) {
      PlaceInitialCaret();
      selectAll = !returningAfterError;
    }
  }
  refocusAfterError_ = returningAfterError && !options_.Contains(efoSoftValidation);
  keepCaret_ = false;
  errorBeingReported_ = false;
  mouseFocusing_ = false;
  exitIncomplete_ = false;
  if (!returningAfterError) controller->SetErrorPending(false);
  if (options_.Contains(efoForceInsert)) insertMode_ = true;
  if (options_.Contains(efoForceOvertype)) insertMode_ = false;
  ShowCaret();
  if (selectAll && controller->EntryOptions().Contains(efoAutoSelect)) SetSelection(0, int(editText_.size()));
  Repaint();
}

bool TOvcBaseEntryField::HandleInputMessage(TMessage &Message) {
  switch (Message.Msg) {
  case WM_KEYDOWN: {
    keyDownSeen_ = true;
    TOvcCustomControlEx::WndProc(Message);
    const WORD key = WORD(Message.WParam);
    if (key == 0 || key == VK_SHIFT) return true;
    DispatchKeyCommand(Message, Controller()->EntryCommands()->Translate(Message));
    return true;
  }
  case WM_SYSKEYDOWN: {
    keyDownSeen_ = true;
    TOvcCustomControlEx::WndProc(Message);
    const WORD key = WORD(Message.WParam);
    if (key == 0 || key == VK_TAB || key == VK_MENU) return true;
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
      acceptNextChar_ = true;
      charAllowed_ = true;
    }
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    shift.Include(ssAlt);
    DispatchKeyCommand(Message, Controller()->EntryCommands()->TranslateKey(key, shift));
    return true;
  }
  case WM_KEYUP:
  case WM_SYSKEYUP: keyDownSeen_ = false; return false;
  case WM_CHAR:
    TOvcCustomControlEx::WndProc(Message);
    // A character that no key press brought (an input method, a composed character) is no command key's.
    if (!keyDownSeen_) {
      acceptNextChar_ = true;
      charAllowed_ = true;
    }
    keyDownSeen_ = false;
    if (acceptNextChar_ && Message.WParam != 0) DoCommand(Message, ccCharacter);
    return true;
  case WM_SETFOCUS: {
    const HWND losing = HWND(Message.WParam);
    EnterField(losing);
    TOvcCustomControlEx::WndProc(Message);
    return true;
  }
  case WM_KILLFOCUS:
    TOvcCustomControlEx::WndProc(Message);
    LeaveField(HWND(Message.WParam));
    return true;
  case WM_LBUTTONDOWN:
    TOvcCustomControlEx::WndProc(Message);
    if (!focused_ && CanFocus()) {
      mouseFocusing_ = true;
      SetSelection(caret_, caret_);
      SetFocus();
    }
    if (focused_) DoCommand(Message, ccMouseClick);
    return true;
  case WM_LBUTTONDBLCLK:
    if (focused_) DoCommand(Message, ccDblClick);
    TOvcCustomControlEx::WndProc(Message);
    return true;
  case WM_MOUSEMOVE:
    TOvcCustomControlEx::WndProc(Message);
    if (MouseCapture() && (Message.WParam & MK_LBUTTON) != 0) DoCommand(Message, ccMouseMove);
    return true;
  case WM_RBUTTONUP: {
    if (!focused_ && CanFocus()) SetFocus();
    TOvcCustomControlEx::WndProc(Message);
    if (!PopupMenu()) ShowBuiltInMenu(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    return true;
  }
  case CM_DIALOGCHAR:
    // Alt+Backspace is the field's own (undo), not a dialog accelerator.
    if (Message.WParam == VK_BACK && (Message.LParam & 0x20000000) != 0) {
      Message.Result = 1;
      return true;
    }
    return false;
  case WM_MOUSEACTIVATE:
    if (ComponentState().Contains(csDesigning)) return true;
    return false;
  case WM_COPY: CopyMessage(); return true;
  case WM_CUT: CutMessage(); return true;
  case WM_CLEAR: {
    TMessage msg{WM_CUT, 0, 0, 0};
    DoCommand(msg, ccCut);
    return true;
  }
  case WM_PASTE: PasteMessage(); return true;
  case WM_SETTEXT:
    if (HandleAllocated()) {
      const QString *text = MessagePointer<const QString>(std::uintptr_t(Message.LParam));
      const QString value = text ? *text : QString();
      SetSelection(0, int(editText_.size()));
      TMessage msg{WM_PASTE, 0, PointerParam(&value), 0};
      DoCommand(msg, ccPaste);
      Message.Result = 1;
    }
    return true;
  case WM_GETDLGCODE:
    TOvcCustomControlEx::WndProc(Message);
    Message.Result =
        ComponentState().Contains(csDesigning) ? 256 : Message.Result | DLGC_WANTCHARS | DLGC_WANTARROWS;
    return true;
  default: return false;
  }
}

void TOvcBaseEntryField::SetInsertionPoint(int Position) {
  if (!focused_) return;
  // A caret past the end of the text would point outside the edit buffer: the end is the last place.
  caret_ = std::clamp(Position, 0, int(editText_.size()));
  PositionCaret(true);
  Repaint();
}

void TOvcBaseEntryField::MoveToNextField() {
  if (TCustomForm *form = GetParentForm(this)) form->SelectNext(this, true, true);
}

void TOvcBaseEntryField::MoveToPrevField() {
  if (TCustomForm *form = GetParentForm(this)) form->SelectNext(this, false, true);
}
