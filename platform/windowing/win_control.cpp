// TWinControl: windows, child controls, focus, keyboard and scroll bars.
#include "platform/core/scoped_value.h"
#include "platform/windowing/application.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/key_translation.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

namespace {

// The control that last lost the focus to another control, for the next WM_SETFOCUS (which names it).
HWND g_focusLoser = 0;
// The menus' shortcuts, asked before a key reaches the focused control.
TMenuKeyHook g_menuKeyHook = nullptr;

int ScrollBarExtent(const QWidget *widget) {
  return widget ? widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget)
                : QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

} // namespace

void SetMenuKeyHook(TMenuKeyHook Hook) { g_menuKeyHook = Hook; }

// ---- TWinControl ----

TWinControl::TWinControl(TComponent *AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // A plain delete: whatever BeforeDestruction has not done.
  for (TControl *c : std::as_const(controls_)) c->parent_ = nullptr;
  controls_.clear();
  tabList_.clear();
}

void TWinControl::BeforeDestruction() {
  Destroying();
  if (TCustomForm *form = GetParentForm(this)) form->DefocusControl(this, true);
  // Child controls go with their parent, whoever owns them.
  while (!controls_.isEmpty()) {
    TControl *child = controls_.last();
    RemoveControl(child);
    FreeObject(child);
  }
  TControl::BeforeDestruction();
}

void TWinControl::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_SETFOCUS: {
    if (TCustomForm *form = GetParentForm(this))
      if (!form->SetFocusedControl(this)) return;
    DefaultHandler(Message);
    return;
  }
  case WM_KILLFOCUS:
    if (controlState_.Contains(csFocusing)) return;
    DefaultHandler(Message);
    return;
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    if (!DoKeyDown(Message)) DefaultHandler(Message);
    return;
  case WM_KEYUP:
  case WM_SYSKEYUP:
    if (!DoKeyUp(Message)) DefaultHandler(Message);
    return;
  case WM_CHAR:
    if (!DoKeyPress(Message)) DefaultHandler(Message);
    return;
  case WM_SIZE:
    DefaultHandler(Message);
    Realign();
    if (!ComponentState().Contains(csLoading)) Resize();
    return;
  case CM_ENTER: DoEnter(); return;
  case CM_EXIT: DoExit(); return;
  case CM_DIALOGKEY:
  case CM_DIALOGCHAR: Broadcast(Message); return;
  case CM_CHILDKEY:
    if (parent_) parent_->WndProc(Message);
    return;
  case CM_FONTCHANGED:
    // The window hears of its new font (lParam 0: no repaint yet); then the children that follow it.
    if (Widget()) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(&font_), 0);
    Invalidate();
    NotifyChildren(CM_PARENTFONTCHANGED);
    return;
  case CM_COLORCHANGED:
    Invalidate();
    NotifyChildren(CM_PARENTCOLORCHANGED);
    return;
  case CM_CTL3DCHANGED: NotifyChildren(CM_PARENTCTL3DCHANGED); return;
  case CM_PARENTCTL3DCHANGED:
    if (parentCtl3D_ && parent_) {
      SetCtl3D(parent_->Ctl3D());
      parentCtl3D_ = true;
    }
    return;
  case CM_ENABLEDCHANGED:
  case CM_VISIBLECHANGED:
    // The focus leaves a control that is being disabled or hidden before its window goes.
    if ((!Enabled() || !Visible()) && parent_)
      if (TCustomForm *form = GetParentForm(this)) form->DefocusControl(this, false);
    TControl::WndProc(Message);
    return;
  case CM_RECREATEWND: RecreateWnd(); return;
  case WM_COMMAND:
    // Notifications of child windows go back to the child that sent them.
    if (TWinControl *child = FindControl(HWND(Message.LParam)); child && child != this) {
      Message.Result = child->Perform(CN_COMMAND, Message.WParam, Message.LParam);
      return;
    }
    DefaultHandler(Message);
    return;
  default: TControl::WndProc(Message); return;
  }
}

void TWinControl::DefaultHandler(TMessage &Message) {
  if (native_ && !native_->consumed && native_->msg == Message.Msg) {
    TControl::DefaultHandler(Message);
    return;
  }
  switch (Message.Msg) {
  case WM_ERASEBKGND:
    if (auto *painter = MessagePointer<QPainter>(Message.WParam)) {
      painter->fillRect(ClientRect().ToQRect(), ColorToQColor(color_));
      Message.Result = 1;
    }
    return;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
  case WM_GETDLGCODE: return;
  default: TControl::DefaultHandler(Message); return;
  }
}

// -- window creation --

HWND TWinControl::Handle() {
  HandleNeeded();
  return WindowHandle();
}

void TWinControl::HandleNeeded() {
  if (Widget()) return;
  if (parent_) parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (Widget()) return;
  CreateWnd();
  if (!Widget()) return;
  // Children that are to be seen get their windows now (painted children above windowed ones stay in
  // creation order).
  if (Showing() || (Widget()->isWindow() && Visible())) CreateChildWidgets();
}

void TWinControl::CreateWidget() { HandleNeeded(); }

void TWinControl::CreateParams(TCreateParams &Params) {
  Params.Caption = GetText();
  Params.Style = WS_CLIPCHILDREN;
  if (parent_) Params.Style |= WS_CHILD;
  if (tabStop_) Params.Style |= WS_TABSTOP;
  if (Visible()) Params.Style |= WS_VISIBLE;
  if (!Enabled()) Params.Style |= WS_DISABLED;
  Params.X = left_;
  Params.Y = top_;
  Params.Width = width_;
  Params.Height = height_;
  Params.WndParent = parent_ ? parent_->WindowHandle() : 0;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  params_ = params;
  CreateWindowHandle(params);
  if (Widget()) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(&font_), 1);
}

void TWinControl::CreateWindowHandle(const TCreateParams &Params) {
  QWidget *widget = CreateWindowWidget(Params);
  auto *bridge = dynamic_cast<TWidgetBridge *>(widget);
  Q_ASSERT(bridge);
  if ((Params.Style & WS_POPUP) && !(Params.Style & WS_CHILD)) {
    widget->setParent(parent_ ? parent_->Widget() : nullptr, Qt::Tool | Qt::FramelessWindowHint);
  }
  AttachWidget(widget, bridge);
  if (paintedWindow_) {
    if (Params.Style & WS_VSCROLL) vScroll_.Visible = true;
    if (Params.Style & WS_HSCROLL) hScroll_.Visible = true;
    UpdateScrollBarWidget(SB_VERT);
    UpdateScrollBarWidget(SB_HORZ);
  }
}

QWidget *TWinControl::CreateWindowWidget(const TCreateParams &Params) {
  auto *widget = new TControlWidget<QWidget>(this);
  widget->setAttribute(Qt::WA_OpaquePaintEvent);
  widget->setFocusPolicy(Qt::NoFocus);
  paintedWindow_ = true;
  return widget;
}

void TWinControl::DestroyWnd() {
  for (TControl *c : std::as_const(controls_)) {
    if (auto *win = dynamic_cast<TWinControl *>(c))
      win->DestroyHandle();
    else
      c->ReleaseWidget();
  }
  hScrollWidget_ = nullptr;
  vScrollWidget_ = nullptr;
  ReleaseWidget();
  paintedWindow_ = false;
}

void TWinControl::DestroyHandle() {
  if (!Widget()) return;
  controlState_.Include(csDestroyingHandle);
  DestroyWnd();
  controlState_.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
  if (!Widget()) return;
  const bool hadFocus = Focused();
  DestroyHandle();
  if (Showing() || (parent_ && parent_->Showing() && Visible()) || !parent_) CreateHandle();
  if (hadFocus && Widget() && CanFocus()) Widget()->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Showing() const {
  QWidget *w = Widget();
  return w && w->isVisible();
}

void TWinControl::CreateChildWidgets() {
  for (TControl *c : std::as_const(controls_)) {
    if (!c->Visible()) continue;
    if (auto *win = dynamic_cast<TWinControl *>(c)) {
      if (!win->Widget()) win->CreateHandle();
      win->CreateChildWidgets();
    } else if (!c->Widget()) {
      c->CreateWidget();
    }
  }
}

QRect TWinControl::WidgetGeometry() const {
  if ((params_.Style & WS_POPUP) && !(params_.Style & WS_CHILD)) return QRect(left_, top_, width_, height_);
  return TControl::WidgetGeometry();
}

void TWinControl::ApplyToWidget() {
  TControl::ApplyToWidget();
  LayoutScrollBars();
}

int TWinControl::BorderWidth() const {
  if (!paintedWindow_) return 0;
  int width = 0;
  if (params_.Style & WS_BORDER) width += 1;
  if (params_.ExStyle & WS_EX_CLIENTEDGE) width += 2;
  return width;
}

QPoint TWinControl::ClientOffset() const {
  const int border = BorderWidth();
  return QPoint(border, border + TopReservedHeight());
}

TRect TWinControl::ClientRect() const {
  const int border = BorderWidth();
  int w = width_ - 2 * border;
  int h = height_ - 2 * border - TopReservedHeight();
  if (paintedWindow_) {
    const int extent = ScrollBarExtent(Widget());
    if (vScroll_.Visible) w -= extent;
    if (hScroll_.Visible) h -= extent;
  }
  return Rect(0, 0, std::max(0, w), std::max(0, h));
}

void TWinControl::PaintNonClient(QPainter &Painter) {
  const int border = BorderWidth();
  const QRect all(0, TopReservedHeight(), width_, height_ - TopReservedHeight());
  if (border > 0) {
    const QPalette &pal = Widget()->palette();
    QRect r = all;
    auto frame = [&Painter, &r](const QColor &topLeft, const QColor &bottomRight) {
      Painter.setPen(topLeft);
      Painter.drawLine(r.topLeft(), r.topRight());
      Painter.drawLine(r.topLeft(), r.bottomLeft());
      Painter.setPen(bottomRight);
      Painter.drawLine(r.bottomLeft(), r.bottomRight());
      Painter.drawLine(r.topRight(), r.bottomRight());
      r.adjust(1, 1, -1, -1);
    };
    if (params_.ExStyle & WS_EX_CLIENTEDGE) {
      frame(pal.color(QPalette::Mid), pal.color(QPalette::Light));
      frame(pal.color(QPalette::Shadow), pal.color(QPalette::Midlight));
    }
    if (params_.Style & WS_BORDER) frame(pal.color(QPalette::WindowText), pal.color(QPalette::WindowText));
  }
  if (vScroll_.Visible && hScroll_.Visible) {
    // The square where the two scroll bars meet.
    const int extent = ScrollBarExtent(Widget());
    const QPoint o = ClientOffset();
    const TRect client = ClientRect();
    Painter.fillRect(QRect(o.x() + client.Right, o.y() + client.Bottom, extent, extent),
                     Widget()->palette().color(QPalette::Button));
  }
}

// -- children --

bool TWinControl::ContainsControl(const TControl *Control) const {
  for (const TControl *c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl *Control) {
  Control->parent_ = this;
  controls_.append(Control);
  if (auto *win = dynamic_cast<TWinControl *>(Control)) tabList_.append(win);
  Control->Perform(CM_PARENTCOLORCHANGED);
  Control->Perform(CM_PARENTFONTCHANGED);
  Control->Perform(CM_PARENTSHOWHINTCHANGED);
  if (auto *win = dynamic_cast<TWinControl *>(Control)) win->Perform(CM_PARENTCTL3DCHANGED);
  if (Control->Visible() && Showing()) {
    if (auto *win = dynamic_cast<TWinControl *>(Control)) {
      win->CreateHandle();
      win->CreateChildWidgets();
    } else {
      Control->CreateWidget();
    }
  }
  if (Control->Align() != alNone) Realign();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(Control), 1);
}

void TWinControl::RemoveControl(TControl *Control) {
  if (auto *win = dynamic_cast<TWinControl *>(Control)) {
    if (TCustomForm *form = GetParentForm(this)) form->DefocusControl(win, true);
    win->DestroyHandle();
    tabList_.removeOne(win);
  } else {
    Control->ReleaseWidget();
  }
  controls_.removeOne(Control);
  Control->parent_ = nullptr;
  if (Control->Align() != alNone) Realign();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(Control), 0);
}

void TWinControl::Broadcast(TMessage &Message) {
  const QList<TControl *> children = controls_;
  for (TControl *c : children) {
    if (!controls_.contains(c)) continue;
    c->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyChildren(UINT Msg) {
  const QList<TControl *> children = controls_;
  for (TControl *c : children)
    if (controls_.contains(c)) c->Perform(Msg);
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  ScaleChildren(M, D);
  TControl::ChangeScale(M, D);
  EnableAlign();
}

void TWinControl::ScaleChildren(int M, int D) {
  for (TControl *control : QList<TControl *>(controls_)) control->ChangeScale(M, D);
}

void TWinControl::Realign() {
  if (alignDisabled_ > 0 || realigning_) return;
  ScopedValue<bool> guard(realigning_, true);
  TRect rect = ClientRect();
  AlignControls(nullptr, rect);
}

void TWinControl::AlignControls(TControl *, TRect &Rect) {
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    QList<TControl *> list;
    for (TControl *c : std::as_const(controls_))
      if (c->Align() == align && c->Visible()) list.append(c);
    // Controls of one alignment keep their order along the edge they stick to.
    std::stable_sort(list.begin(), list.end(), [align](TControl *a, TControl *b) {
      switch (align) {
      case alTop: return a->Top() < b->Top();
      case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
      case alLeft: return a->Left() < b->Left();
      case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
      default: return false;
      }
    });
    for (TControl *c : list) {
      switch (align) {
      case alTop:
        c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->Height());
        Rect.Top += c->Height();
        break;
      case alBottom:
        c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), Rect.Width(), c->Height());
        Rect.Bottom -= c->Height();
        break;
      case alLeft:
        c->SetBounds(Rect.Left, Rect.Top, c->Width(), Rect.Height());
        Rect.Left += c->Width();
        break;
      case alRight:
        c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), Rect.Height());
        Rect.Right -= c->Width();
        break;
      case alClient: c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height()); break;
      default: break;
      }
    }
  }
}

// -- focus --

bool TWinControl::CanFocus() const {
  TCustomForm *form = GetParentForm(this);
  if (!form) return Visible() && Enabled();
  for (const TControl *c = this; c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const {
  QWidget *w = Widget();
  if (!w) return false;
  QWidget *focus = QApplication::focusWidget();
  return focus && FindControlOfWidget(focus) == this;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
  if (TCustomForm *form = GetParentForm(this); form && form != this) {
    form->FocusControl(this);
    return;
  }
  HandleNeeded();
  if (QWidget *w = Widget()) {
    if (w->isWindow()) {
      w->activateWindow();
      w->raise();
    }
    w->setFocus(Qt::OtherFocusReason);
  }
}

void TWinControl::SetTabStop(bool Value) {
  if (tabStop_ == Value) return;
  tabStop_ = Value;
  Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
  return parent_ ? int(parent_->tabList_.indexOf(const_cast<TWinControl *>(this))) : -1;
}

void TWinControl::SetTabOrder(int Value) {
  if (!parent_) return;
  QList<TWinControl *> &list = parent_->tabList_;
  const int current = int(list.indexOf(this));
  if (current < 0) return;
  Value = std::clamp(Value, 0, int(list.size()) - 1);
  list.move(current, Value);
}

void TWinControl::GetTabOrderList(QList<TWinControl *> &List) const {
  for (TWinControl *c : tabList_) {
    List.append(c);
    c->GetTabOrderList(List);
  }
}

TWinControl *TWinControl::FindNextControl(TWinControl *CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
  QList<TWinControl *> list;
  GetTabOrderList(list);
  if (list.isEmpty()) return nullptr;
  const int count = int(list.size());
  int start = int(list.indexOf(CurControl));
  if (start < 0) start = GoForward ? count - 1 : 0;
  int i = start;
  do {
    if (GoForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl *c = list[i];
    if (c != CurControl && c->CanFocus() && (c->TabStop() || !CheckTabStop) &&
        (!CheckParent || !CurControl || c->Parent() == CurControl->Parent()))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl *CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl *next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
    next->SetFocus();
}

void TWinControl::SetCtl3D(bool Value) {
  parentCtl3D_ = false;
  if (ctl3D_ == Value) return;
  ctl3D_ = Value;
  Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool Value) {
  if (parentCtl3D_ == Value) return;
  parentCtl3D_ = Value;
  if (Value && parent_) Perform(CM_PARENTCTL3DCHANGED);
}

// -- keyboard --

void TWinControl::KeyDown(WORD &Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(WORD &Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(QChar &Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

bool TWinControl::FormTakesKey(TMessage &Message, bool (TWinControl::*Step)(TMessage &)) {
  TCustomForm *form = GetParentForm(this);
  return form && form != this && form->KeyPreview() && (static_cast<TWinControl *>(form)->*Step)(Message);
}

bool TWinControl::DoKeyDown(TMessage &Message) {
  if (FormTakesKey(Message, &TWinControl::DoKeyDown)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  WORD key = WORD(Message.WParam);
  KeyDown(key, KeyDataToShiftState(Message.LParam));
  Message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage &Message) {
  if (FormTakesKey(Message, &TWinControl::DoKeyUp)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  WORD key = WORD(Message.WParam);
  KeyUp(key, KeyDataToShiftState(Message.LParam));
  Message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyPress(TMessage &Message) {
  if (FormTakesKey(Message, &TWinControl::DoKeyPress)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  QChar ch(char16_t(Message.WParam));
  KeyPress(ch);
  Message.WParam = ch.unicode();
  return ch.isNull();
}

bool TWinControl::HandleDialogKey(UINT KeyMsg, WORD Key, LPARAM KeyData) {
  if (Perform(CM_CHILDKEY, Key, PointerParam(this)) != 0) return true;
  LRESULT mask = 0;
  switch (Key) {
  case VK_TAB: mask = DLGC_WANTTAB; break;
  case VK_LEFT:
  case VK_RIGHT:
  case VK_UP:
  case VK_DOWN: mask = DLGC_WANTARROWS; break;
  case VK_RETURN:
  case VK_EXECUTE:
  case VK_ESCAPE:
  case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
  default: break;
  }
  if (mask == 0 || Perform(CM_WANTSPECIALKEY, Key) != 0 || (Perform(WM_GETDLGCODE) & mask) != 0) return false;
  TCustomForm *form = GetParentForm(this);
  return form && form->Perform(CM_DIALOGKEY, Key, KeyData) != 0;
}

bool TWinControl::ClaimsKey(const QKeyEvent *Event) {
  const Qt::KeyboardModifiers mods = Event->modifiers();
  const WORD vk = VirtualKeyFromQtKey(Event->key(), mods.testFlag(Qt::KeypadModifier));
  LRESULT mask = 0;
  switch (vk) {
  case VK_TAB: mask = DLGC_WANTTAB; break;
  case VK_LEFT:
  case VK_RIGHT:
  case VK_UP:
  case VK_DOWN: mask = DLGC_WANTARROWS; break;
  case VK_RETURN:
  case VK_ESCAPE: mask = DLGC_WANTALLKEYS; break;
  default:
    if (!Event->text().isEmpty() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) mask = DLGC_WANTCHARS;
    break;
  }
  if (mask == 0) return false;
  TMessage message{WM_GETDLGCODE, vk, 0, 0};
  MainWndProc(message);
  return (message.Result & mask) != 0;
}

bool TWinControl::HandleKeyEvent(QKeyEvent *Event) {
  SetInputState(Event->modifiers(), QGuiApplication::mouseButtons());
  const TKeyMessages keys = TranslateKeyEvent(*Event);
  const std::weak_ptr<bool> token = AliveToken();
  const bool press = Event->type() == QEvent::KeyPress;
  // Keys go to the focused window only: an event Qt's handling left unaccepted must not travel on to the
  // parent widgets.
  struct AcceptOnExit {
    QKeyEvent *event;
    ~AcceptOnExit() { event->accept(); }
  } accept{Event};
  if (press && keys.KeyMsg != 0) {
    bool handled = false;
    try {
      // Menu shortcuts come before the control and the dialog keys.
      handled = (g_menuKeyHook && g_menuKeyHook(this, keys.VirtualKey, KeyDataToShiftState(keys.KeyData))) ||
                HandleDialogKey(keys.KeyMsg, keys.VirtualKey, keys.KeyData);
    } catch (...) {
      handled = true;
      HandleCurrentException(this);
    }
    if (token.expired() || handled) return true;
  }
  if (keys.KeyMsg != 0) {
    // The key goes to Qt with the key-down when it types nothing, otherwise with its first character.
    NativeEvent native;
    TMessage message{keys.KeyMsg, keys.VirtualKey, keys.KeyData, 0};
    if (!DispatchTranslated(message, Event, (keys.Chars.isEmpty() || !press) ? &native : nullptr))
      return true;
  }
  if (!press) return true;
  for (int i = 0; i < keys.Chars.size(); ++i) {
    const QChar ch = keys.Chars[i];
    // A control that takes no characters lets the form's mnemonics (CM_DIALOGCHAR) have them first.
    bool handled = false;
    try {
      TCustomForm *form = GetParentForm(this);
      if (form && (keys.CharMsg == WM_SYSCHAR || (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0))
        handled = form->Perform(CM_DIALOGCHAR, ch.unicode(), keys.KeyData) != 0;
    } catch (...) {
      handled = true;
      HandleCurrentException(this);
    }
    if (token.expired()) return true;
    if (handled) continue;
    NativeEvent native;
    TMessage message{keys.CharMsg, ch.unicode(), keys.KeyData, 0};
    if (!DispatchTranslated(message, Event, i == 0 ? &native : nullptr)) return true;
  }
  return true;
}

bool TWinControl::HandleOtherEvent(QEvent *Event) {
  switch (Event->type()) {
  case QEvent::KeyPress:
  case QEvent::KeyRelease: return HandleKeyEvent(static_cast<QKeyEvent *>(Event));
  case QEvent::ShortcutOverride: {
    auto *key = static_cast<QKeyEvent *>(Event);
    if (ClaimsKey(key)) {
      Event->accept();
      return true;
    }
    return CallNative(Event);
  }
  case QEvent::FocusIn: {
    HWND loser = g_focusLoser;
    g_focusLoser = 0;
    if (loser == WindowHandle()) loser = 0;
    NativeEvent native;
    TMessage message{WM_SETFOCUS, loser, 0, 0};
    DispatchTranslated(message, Event, &native);
    return true;
  }
  case QEvent::FocusOut: {
    TControl *gainer = FindControlOfWidget(QApplication::focusWidget());
    HWND gained = 0;
    if (gainer && gainer != this) gained = gainer->WindowHandle();
    g_focusLoser = gained ? WindowHandle() : 0;
    NativeEvent native;
    TMessage message{WM_KILLFOCUS, gained, 0, 0};
    DispatchTranslated(message, Event, &native);
    return true;
  }
  case QEvent::Wheel: {
    auto *wheel = static_cast<QWheelEvent *>(Event);
    SetInputState(wheel->modifiers(), wheel->buttons());
    const QPoint global = wheel->globalPosition().toPoint();
    const int delta = wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
    NativeEvent native;
    TMessage message{WM_MOUSEWHEEL,
                     MAKEWPARAM(int(MouseKeyFlags(wheel->modifiers(), wheel->buttons())), delta),
                     MAKELPARAM(global.x(), global.y()), 0};
    if (!DispatchTranslated(message, Event, &native)) return true;
    if (native.consumed) return native.result;
    Event->accept();
    return true;
  }
  case QEvent::Resize:
  case QEvent::Move: {
    if (Widget() && Widget()->isWindow() && !applyingBounds_) {
      // The user moved or sized the window.
      const QRect g = Widget()->geometry();
      const QPoint pos = Widget()->pos();
      const bool sized = g.width() != width_ || g.height() != height_;
      const bool moved = pos.x() != left_ || pos.y() != top_;
      left_ = pos.x();
      top_ = pos.y();
      width_ = g.width();
      height_ = g.height();
      const bool result = CallNative(Event);
      if (sized) {
        LayoutScrollBars();
        SendToSelf(WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(), ClientHeight()));
      }
      if (moved) SendToSelf(WM_MOVE, 0, MAKELPARAM(left_, top_));
      return result;
    }
    return CallNative(Event);
  }
  default: return TControl::HandleOtherEvent(Event);
  }
}

// -- scroll bars --

void TWinControl::SetScrollBar(int Bar, const TScrollBarState &State) {
  TScrollBarState &target = Bar == SB_HORZ ? hScroll_ : vScroll_;
  const bool visibilityChanged = target.Visible != State.Visible;
  target = State;
  target.Pos =
      std::clamp(target.Pos, target.Min, std::max(target.Min, target.Max - std::max(0, target.Page - 1)));
  UpdateScrollBarWidget(Bar);
  if (visibilityChanged) {
    LayoutScrollBars();
    Invalidate();
    if (Widget()) Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(), ClientHeight()));
  }
}

void TWinControl::UpdateScrollBarWidget(int Bar) {
  QWidget *w = Widget();
  if (!w || !paintedWindow_) return;
  const TScrollBarState &state = Bar == SB_HORZ ? hScroll_ : vScroll_;
  QPointer<QScrollBar> &bar = Bar == SB_HORZ ? hScrollWidget_ : vScrollWidget_;
  if (!bar && state.Visible) {
    bar = new QScrollBar(Bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, w);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setTracking(false);
    QScrollBar *raw = bar;
    QObject::connect(raw, &QAbstractSlider::actionTriggered, raw,
                     [this, Bar](int action) { ScrollBarAction(Bar, action); });
    QObject::connect(raw, &QAbstractSlider::sliderReleased, raw, [this, Bar] { ScrollBarReleased(Bar); });
  }
  if (!bar) return;
  const QSignalBlocker block(bar.data());
  const bool enabled = state.Enabled && state.Max > state.Min;
  bar->setRange(state.Min, std::max(state.Min, state.Max - std::max(0, state.Page - 1)));
  // A bar with nowhere to go shows its slider over the whole groove, as Win32 shows no thumb at all.
  bar->setPageStep(enabled ? std::max(1, state.Page) : std::max(1, state.Max - state.Min + 1) * 1000);
  bar->setSingleStep(1);
  if (!bar->isSliderDown()) bar->setValue(state.Pos);
  bar->setEnabled(enabled);
  bar->setVisible(state.Visible);
  LayoutScrollBars();
}

void TWinControl::LayoutScrollBars() {
  QWidget *w = Widget();
  if (!w || !paintedWindow_) return;
  const QPoint o = ClientOffset();
  const TRect client = ClientRect();
  if (vScrollWidget_)
    vScrollWidget_->setGeometry(o.x() + client.Right, o.y(), ScrollBarExtent(w), client.Height());
  if (hScrollWidget_)
    hScrollWidget_->setGeometry(o.x(), o.y() + client.Bottom, client.Width(), ScrollBarExtent(w));
}

void TWinControl::ScrollBarAction(int Bar, int Action) {
  QScrollBar *bar = Bar == SB_HORZ ? hScrollWidget_.data() : vScrollWidget_.data();
  if (!bar) return;
  const UINT msg = Bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
  WORD code = SB_ENDSCROLL;
  switch (Action) {
  case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
  case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
  case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
  case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
  case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
  case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
  case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
  default: return;
  }
  const int requested = bar->sliderPosition();
  if (code != SB_THUMBTRACK) {
    // As in Win32 the scroll bar does not move by itself: the control answers by setting the position.
    bar->setSliderPosition(bar->value());
    SendToSelf(msg, MAKEWPARAM(code, 0), 0);
    SendToSelf(msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
  } else {
    SendToSelf(msg, MAKEWPARAM(code, requested), 0);
  }
}

void TWinControl::ScrollBarReleased(int Bar) {
  QScrollBar *bar = Bar == SB_HORZ ? hScrollWidget_.data() : vScrollWidget_.data();
  if (!bar) return;
  const UINT msg = Bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
  const int position = bar->sliderPosition();
  SendToSelf(msg, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
  SendToSelf(msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
  if (QScrollBar *again = Bar == SB_HORZ ? hScrollWidget_.data() : vScrollWidget_.data()) {
    const QSignalBlocker block(again);
    again->setValue((Bar == SB_HORZ ? hScroll_ : vScroll_).Pos);
  }
}

void TWinControl::ScrollWindow(int Dx, int Dy, const TRect *ScrollRect) {
  const TRect client = ClientRect();
  TRect area = client;
  if (ScrollRect) IntersectRect(area, *ScrollRect, client);
  if (QWidget *w = Widget()) {
    if (!area.IsEmpty()) w->scroll(Dx, Dy, area.ToQRect().translated(ClientOffset()));
  }
  if (!ScrollRect) {
    // Scrolling the whole window moves its child windows along, as in Win32.
    for (TControl *c : std::as_const(controls_))
      c->SetBounds(c->Left() + Dx, c->Top() + Dy, c->Width(), c->Height());
  }
}

void TWinControl::InvalidateRect(const TRect *Rect) {
  QWidget *w = Widget();
  if (!w) return;
  if (!Rect) {
    w->update();
    return;
  }
  w->update(Rect->ToQRect().translated(ClientOffset()));
}

void TWinControl::Invalidate() { InvalidateRect(nullptr); }

void TWinControl::Update() {
  if (QWidget *w = Widget(); w && w->isVisible()) w->repaint();
}
