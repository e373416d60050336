#include "grids/inspector/grid_editors.h"
#include "grids/inspector/inspector_grid.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>

namespace {

constexpr char16_t kBackspace = 8, kTab = 9, kEnter = 13, kCtrlV = 22, kCtrlX = 24, kEscape = 27;

// What every editor is: borderless, flat, no tab stop.
void SetUpEditor(TWinControl *Editor) {
  Editor->SetTabStop(false);
  Editor->SetCtl3D(false);
}

} // namespace

// ---- TO32EditorLink ----

bool TO32EditorLink::RouteKeyDown(WORD &Key, TShiftState Shift, bool EnterIsDown) {
  if (!grid_) return false;
  const bool alt = Shift.Contains(ssAlt);
  switch (Key) {
  case VK_RETURN:
    if (!EnterIsDown) break;
    {
      // Moving to a row of another type retires this editor, which then lets go of the grid.
      TO32CustomInspectorGrid *grid = grid_;
      WORD down = VK_DOWN;
      const int before = grid->Row();
      enterMoved_ = false;
      grid->EditorKeyDown(down, Shift);
      enterMoved_ = grid->Row() != before;
    }
    Key = 0;
    return true;
  case VK_UP:
  case VK_DOWN:
  case VK_PRIOR:
  case VK_NEXT:
  case VK_ESCAPE:
    // Alt with an arrow opens or closes a drop-down list.
    if (alt) break;
    grid_->EditorKeyDown(Key, Shift);
    Key = 0;
    return true;
  case VK_INSERT:
  case VK_TAB:
    if ((Key == VK_INSERT && !Shift.Empty()) || alt) break;
    grid_->EditorKeyDown(Key, Shift);
    Key = 0;
    return true;
  default: break;
  }
  grid_->EditorOnKeyDown(Key, Shift);
  return Key == 0;
}

void TO32EditorLink::RouteKeyPress(QChar &Key) {
  if (grid_) grid_->EditorKeyPress(Key);
}

bool TO32EditorLink::RouteWheel(const TMessage &Message) {
  if (Message.Msg != WM_MOUSEWHEEL || !grid_) return false;
  grid_->EditorWheel(std::int16_t(Message.WParamHi()));
  return true;
}

void TO32EditorLink::Changed() {
  if (grid_) grid_->EditorChanged();
}

// ---- TO32GridEdit ----

TO32GridEdit::TO32GridEdit(TComponent *AOwner) : TCustomMaskEdit(AOwner) {
  SetUpEditor(this);
  SetBorderStyle(bsNone);
  SetAutoSize(false);
}

void TO32GridEdit::SetTextInset() { SetTextMargins(Rect(2, 2, 2, 0)); }

void TO32GridEdit::WndProc(TMessage &Message) {
  if (link_.RouteWheel(Message)) return;
  switch (Message.Msg) {
  case CM_WANTSPECIALKEY:
    // Enter moves to the next row, whatever default button the form has.
    if (Message.WParam == VK_RETURN && link_.Grid()) {
      Message.Result = 1;
      return;
    }
    break;
  case WM_GETDLGCODE:
    TCustomMaskEdit::WndProc(Message);
    if (link_.Grid()) Message.Result |= DLGC_WANTTAB;
    return;
  case WM_LBUTTONDOWN:
    if (clickTimer_.isValid() && clickTimer_.elapsed() < qint64(GetDoubleClickTime()) && Widget()) {
      // The click that opened the editor and this one make a double click (which selects a word).
      clickTimer_.invalidate();
      TCustomMaskEdit::WndProc(Message);
      if (QWidget *widget = Widget()) {
        const QPointF at(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &twice);
      }
      return;
    }
    break;
  default: break;
  }
  TCustomMaskEdit::WndProc(Message);
}

void TO32GridEdit::KeyDown(WORD &Key, TShiftState Shift) {
  if (Key == VK_F2) {
    SetSelStart(int(Text().size()));
    Key = 0;
    return;
  }
  if (link_.RouteKeyDown(Key, Shift, true)) return;
  TCustomMaskEdit::KeyDown(Key, Shift);
}

void TO32GridEdit::KeyPress(QChar &Key) {
  link_.RouteKeyPress(Key);
  const char16_t c = Key.unicode();
  if (c == 0) return;
  if (c == kTab || c == kEscape) {
    Key = QChar();
    return;
  }
  if (c == kEnter) {
    // Enter that moved to another row leaves the new row's text selected; otherwise it selects the whole
    // text, or lets go of a whole selection.
    if (!link_.EnterMoved()) {
      const bool whole = SelStart() == 0 && SelLength() == int(Text().size());
      if (whole)
        SetSelStart(int(Text().size()));
      else
        SelectAll();
    }
    link_.ClearEnterMoved();
    Key = QChar();
    return;
  }
  TO32CustomInspectorGrid *grid = link_.Grid();
  if (grid && !grid->EditModify() && (c == kBackspace || c == kCtrlV || c == kCtrlX || c >= 32)) {
    Key = QChar();
    return;
  }
  TCustomMaskEdit::KeyPress(Key);
}

void TO32GridEdit::Change() {
  TCustomMaskEdit::Change();
  link_.Changed();
}

// ---- the drop-down editors ----

template <class ComboBase>
TO32GridComboEditor<ComboBase>::TO32GridComboEditor(TComponent *AOwner) : ComboBase(AOwner) {
  SetUpEditor(this);
}

template <class ComboBase>
void TO32GridComboEditor<ComboBase>::CreateWnd() {
  ComboBase::CreateWnd();
  if (QComboBox *combo = this->ComboWidget()) combo->setFrame(false);
}

template <class ComboBase>
void TO32GridComboEditor<ComboBase>::WndProc(TMessage &Message) {
  if (link_.RouteWheel(Message)) return;
  ComboBase::WndProc(Message);
  // Tab goes to the grid, which moves the focus on from itself.
  if (Message.Msg == WM_GETDLGCODE && link_.Grid()) Message.Result |= DLGC_WANTTAB;
}

template <class ComboBase>
void TO32GridComboEditor<ComboBase>::KeyDown(WORD &Key, TShiftState Shift) {
  if (link_.RouteKeyDown(Key, Shift, false)) return;
  ComboBase::KeyDown(Key, Shift);
}

template <class ComboBase>
void TO32GridComboEditor<ComboBase>::KeyPress(QChar &Key) {
  link_.RouteKeyPress(Key);
  // The Tab that moved the focus on types nothing.
  if (Key.unicode() == kTab) Key = QChar();
  if (!Key.isNull()) ComboBase::KeyPress(Key);
}

template <class ComboBase>
void TO32GridComboEditor<ComboBase>::Change() {
  ComboBase::Change();
  link_.Changed();
}

template class TO32GridComboEditor<TCustomComboBox>;
template class TO32GridComboEditor<TOvcCustomColorComboBox>;
template class TO32GridComboEditor<TOvcFontComboBox>;

TO32GridCombo::TO32GridCombo(TComponent *AOwner) : TO32GridComboEditor(AOwner) { SetStyle(csDropDownList); }

TO32GridFontCombo::TO32GridFontCombo(TComponent *AOwner) : TO32GridComboEditor(AOwner) {
  SetStyle(ocsDropDownList);
  SetMRUListCount(0);
  // Made at run time, not read from a form: the list is filled here.
  RebuildFontList();
}

TO32EditorLink *EditorLinkOf(TWinControl *Editor) {
  if (auto *edit = dynamic_cast<TO32GridEdit *>(Editor)) return &edit->Link();
  if (auto *combo = dynamic_cast<TO32GridCombo *>(Editor)) return &combo->Link();
  if (auto *combo = dynamic_cast<TO32GridColorCombo *>(Editor)) return &combo->Link();
  if (auto *combo = dynamic_cast<TO32GridFontCombo *>(Editor)) return &combo->Link();
  return nullptr;
}
