#include "platform/windowing/controls.h"
#include "platform/core/scoped_value.h"
#include "platform/windowing/application.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/key_translation.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/window_functions.h"
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>

namespace {
TPopupMenuHook g_popupHook = nullptr;
} // namespace

// ---- widget bridge ----

bool TWidgetBridge::Forward(QEvent *event) {
  if (control_) return control_->HandleQtEvent(event);
  return NativeEvent(event);
}

TControl *FindControlOfWidget(const QWidget *widget) {
  for (const QWidget *w = widget; w; w = w->parentWidget())
    if (auto *bridge = dynamic_cast<const TWidgetBridge *>(w))
      if (bridge->Control()) return bridge->Control();
  return nullptr;
}

void SetPopupMenuHook(TPopupMenuHook Hook) { g_popupHook = Hook; }

TCustomForm *GetParentForm(const TControl *Control) {
  const TControl *c = Control;
  while (c && c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm *>(const_cast<TControl *>(c));
}

TWinControl *FindControl(HWND Handle) { return dynamic_cast<TWinControl *>(FindWindowTarget(Handle)); }

TControl *FindDragTarget(const TPoint &Pos, bool AllowDisabled) {
  QWidget *w = QApplication::widgetAt(Pos.X, Pos.Y);
  TControl *c = FindControlOfWidget(w);
  if (c && !AllowDisabled && !c->Enabled()) return nullptr;
  return c;
}

// ---- TControl ----

TControl::TControl(TComponent *AOwner) : TComponent(AOwner) {
  handle_ = RegisterWindow(this);
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  font_.OnChange = TNotifyEvent(this, &TControl::FontChanged);
}

TControl::~TControl() {
  UnregisterWindow(handle_);
  if (GetCapture() == handle_) ReleaseCapture();
  ReleaseWidget();
  if (parent_) parent_->RemoveControl(this);
  alive_.reset();
}

void TControl::BeforeDestruction() {
  Destroying();
  if (GetCapture() == handle_) ReleaseCapture();
  SetParent(nullptr);
  ReleaseWidget();
  TComponent::BeforeDestruction();
}

void TControl::Notification(TComponent *AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == reinterpret_cast<TComponent *>(popupMenu_)) popupMenu_ = nullptr;
}

// -- messages --

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  WndProc(message);
  return message.Result;
}

LRESULT TControl::SendToSelf(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  MainWndProc(message);
  return message.Result;
}

void TControl::MainWndProc(TMessage &Message) {
  try {
    WndProc(Message);
  } catch (...) {
    Message.Result = 0;
    HandleCurrentException(this);
  }
}

void TControl::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_LBUTTONDOWN: WMMouseButton(Message, mbLeft, true, false); return;
  case WM_RBUTTONDOWN: WMMouseButton(Message, mbRight, true, false); return;
  case WM_MBUTTONDOWN: WMMouseButton(Message, mbMiddle, true, false); return;
  case WM_LBUTTONDBLCLK: WMMouseButton(Message, mbLeft, true, true); return;
  case WM_RBUTTONDBLCLK: WMMouseButton(Message, mbRight, true, true); return;
  case WM_MBUTTONDBLCLK: WMMouseButton(Message, mbMiddle, true, true); return;
  case WM_LBUTTONUP:
    PendingDragMouse(Message);
    WMMouseButton(Message, mbLeft, false, false);
    return;
  case WM_RBUTTONUP: WMMouseButton(Message, mbRight, false, false); return;
  case WM_MBUTTONUP: WMMouseButton(Message, mbMiddle, false, false); return;
  case WM_MOUSEMOVE:
    if (!PendingDragMouse(Message)) WMMouseMove(Message);
    return;
  case CM_DRAG: DragMessage(Message); return;
  case WM_PAINT: PaintHandler(Message); return;
  case WM_SIZE:
    DefaultHandler(Message);
    if (!ComponentState().Contains(csLoading)) Resize();
    return;
  case WM_CONTEXTMENU: {
    if (Message.Result != 0) return;
    const TPoint screenPos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    const bool fromKeyboard = screenPos.X == -1 && screenPos.Y == -1;
    bool handled = false;
    DoContextPopup(fromKeyboard ? TPoint{-1, -1} : ScreenToClient(screenPos), handled);
    if (handled) {
      Message.Result = 1;
      return;
    }
    if (popupMenu_ && g_popupHook &&
        g_popupHook(popupMenu_, this, fromKeyboard ? ClientToScreen(TPoint{0, 0}) : screenPos)) {
      Message.Result = 1;
      return;
    }
    DefaultHandler(Message);
    return;
  }
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    // Parents hear of their children's mouse enter and leave (with the child in lParam).
    if (parent_ && Message.LParam == 0) parent_->Perform(Message.Msg, 0, PointerParam(this));
    DefaultHandler(Message);
    return;
  case CM_PARENTFONTCHANGED:
    if (parentFont_ && parent_) {
      font_.Assign(parent_->Font());
      parentFont_ = true;
    }
    return;
  case CM_PARENTCOLORCHANGED:
    if (parentColor_ && parent_) {
      SetColor(parent_->Color());
      parentColor_ = true;
    }
    return;
  case CM_PARENTSHOWHINTCHANGED:
    if (parentShowHint_ && parent_) {
      SetShowHint(parent_->ShowHint());
      parentShowHint_ = true;
    }
    return;
  case CM_VISIBLECHANGED: UpdateShowing(); return;
  case CM_ENABLEDCHANGED:
    if (widget_) widget_->setEnabled(enabled_);
    Invalidate();
    return;
  case CM_FONTCHANGED:
  case CM_COLORCHANGED:
  case CM_TEXTCHANGED: Invalidate(); return;
  case CM_HITTEST:
  case WM_NCHITTEST: Message.Result = HTCLIENT; return;
  case WM_CANCELMODE:
    if (MouseCapture()) SetMouseCapture(false);
    DefaultHandler(Message);
    return;
  default: DefaultHandler(Message); return;
  }
}

void TControl::DefaultHandler(TMessage &Message) {
  if (native_ && !native_->consumed && native_->msg == Message.Msg && (bridge_ || innerTarget_)) {
    native_->consumed = true;
    QEvent *event = native_->event;
    if (auto *key = dynamic_cast<QKeyEvent *>(event)) {
      native_->result = true;
      if (Message.WParam == native_->wParam) {
        CallNativeKey(key);
      } else if (Message.Msg == WM_CHAR || Message.Msg == WM_SYSCHAR) {
        // A character that a handler replaced goes to Qt as the replacement.
        QKeyEvent replaced(key->type(), key->key(), key->modifiers(),
                           QString(QChar(char16_t(Message.WParam))));
        CallNativeKey(&replaced);
      } else if (int qtKey = QtKeyFromVirtualKey(WORD(Message.WParam))) {
        QKeyEvent replaced(key->type(), qtKey, key->modifiers(), key->text());
        CallNativeKey(&replaced);
      }
      return;
    }
    native_->result = CallNative(event);
    return;
  }
  switch (Message.Msg) {
  case WM_SETTEXT:
    if (auto *text = MessagePointer<const QString>(std::uintptr_t(Message.LParam))) SetTextBuf(*text);
    Message.Result = 1;
    return;
  case WM_GETTEXTLENGTH: Message.Result = GetText().size(); return;
  case WM_SETCURSOR: UpdateWidgetCursor(); return;
  default: return;
  }
}

bool TControl::DispatchTranslated(TMessage &Message, QEvent *Event, NativeEvent *native) {
  const std::weak_ptr<bool> token = alive_;
  NativeEvent none;
  NativeEvent *context = native ? native : &none;
  context->event = Event;
  context->msg = native ? Message.Msg : 0;
  context->wParam = Message.WParam;
  {
    ScopedValue<NativeEvent *> scope(native_, context);
    MainWndProc(Message);
    if (token.expired()) return false;
  }
  return true;
}

void TControl::WMMouseButton(TMessage &Message, TMouseButton Button, bool Down, bool Double) {
  const int x = GET_X_LPARAM(Message.LParam);
  const int y = GET_Y_LPARAM(Message.LParam);
  const std::weak_ptr<bool> token = alive_;
  if (Down) {
    DefaultHandler(Message);
    if (token.expired()) return;
    if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (Button == mbLeft && controlStyle_.Contains(csClickEvents)) {
      if (Double)
        DblClick();
      else
        controlState_.Include(csClicked);
    }
    if (token.expired()) return;
    if (!controlStyle_.Contains(csNoStdEvents)) {
      TShiftState shift = KeysToShiftState(Message.WParamLo());
      if (Double) shift.Include(ssDouble);
      MouseDown(Button, shift, x, y);
    }
  } else {
    DefaultHandler(Message);
    if (token.expired()) return;
    if (controlStyle_.Contains(csCaptureMouse) && MouseCapture() && InputButtons() == Qt::NoButton)
      SetMouseCapture(false);
    if (Button == mbLeft && controlState_.Contains(csClicked)) {
      controlState_.Exclude(csClicked);
      if (PtInRect(ClientRect(), TPoint{x, y})) Click();
    }
    if (token.expired()) return;
    if (!controlStyle_.Contains(csNoStdEvents)) MouseUp(Button, KeysToShiftState(Message.WParamLo()), x, y);
  }
}

void TControl::WMMouseMove(TMessage &Message) {
  const std::weak_ptr<bool> token = alive_;
  DefaultHandler(Message);
  if (token.expired()) return;
  if (!controlStyle_.Contains(csNoStdEvents))
    MouseMove(KeysToShiftState(Message.WParamLo()), GET_X_LPARAM(Message.LParam),
              GET_Y_LPARAM(Message.LParam));
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}
void TControl::DoContextPopup(const TPoint &MousePos, bool &Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

// -- placement --

void TControl::SetParent(TWinControl *AParent) {
  if (parent_ == AParent) return;
  for (TControl *p = AParent; p; p = p->parent_)
    if (p == this) throw EInvalidOperation(QStringLiteral("A control cannot have itself as its parent"));
  if (parent_) parent_->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  AWidth = std::max(0, AWidth);
  AHeight = std::max(0, AHeight);
  const bool moved = ALeft != left_ || ATop != top_;
  const bool sized = AWidth != width_ || AHeight != height_;
  if (!moved && !sized) return;
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  if (widget_) {
    ScopedValue<bool> applying(applyingBounds_, true);
    const QRect g = WidgetGeometry();
    if (widget_->isWindow()) {
      widget_->resize(g.size());
      widget_->move(g.topLeft());
    } else {
      widget_->setGeometry(g);
    }
  }
  if (parent_ && align_ != alNone) parent_->Realign();
  if (moved) Perform(WM_MOVE, 0, MAKELPARAM(left_, top_));
  if (sized) Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(), ClientHeight()));
}

void TControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  const int left = MulDiv(left_, M, D);
  const int top = MulDiv(top_, M, D);
  SetBounds(left, top, MulDiv(left_ + width_, M, D) - left, MulDiv(top_ + height_, M, D) - top);
  // A font taken from the parent follows the parent's scaled one.
  if (!parentFont_) font_.SetSize(MulDiv(font_.Size(), M, D));
}

TRect TControl::ClientRect() const { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
void TControl::SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }

void TControl::SetClientSize(int AWidth, int AHeight) {
  const TRect client = ClientRect();
  SetBounds(left_, top_, width_ + AWidth - client.Width(), height_ + AHeight - client.Height());
}

TPoint TControl::ClientOrigin() const {
  if (widget_) {
    const QPoint p = widget_->mapToGlobal(ClientOffset());
    return {p.x(), p.y()};
  }
  if (!parent_) return {left_, top_};
  const TPoint o = parent_->ClientOrigin();
  return {o.X + left_, o.Y + top_};
}

TPoint TControl::ClientToScreen(const TPoint &Point) const {
  const TPoint o = ClientOrigin();
  return {Point.X + o.X, Point.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint &Point) const {
  const TPoint o = ClientOrigin();
  return {Point.X - o.X, Point.Y - o.Y};
}

void TControl::SetAlign(TAlign Value) {
  if (align_ == Value) return;
  align_ = Value;
  if (parent_) parent_->Realign();
}

// -- appearance --

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::UpdateShowing() {
  if (!parent_) return;
  if (visible_ && !widget_ && parent_->Showing()) CreateWidget();
  if (widget_) widget_->setVisible(visible_);
  // Children added while this control was hidden get their windows now.
  if (auto *win = dynamic_cast<TWinControl *>(this); win && visible_ && win->Showing())
    win->CreateChildWidgets();
}

void TControl::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const QString &Value) {
  if (GetText() == Value) return;
  TMessage message{WM_SETTEXT, 0, PointerParam(&Value), 0};
  WndProc(message);
  Perform(CM_TEXTCHANGED);
}

void TControl::SetTextBuf(const QString &Value) {
  text_ = Value;
  if (widget_ && widget_->isWindow()) widget_->setWindowTitle(Value);
}

void TControl::FontChanged(TObject *) {
  parentFont_ = false;
  if (widget_) widget_->setFont(font_.ToQFont());
  UpdateWidgetPalette();
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (Value && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor Value) {
  if (color_ == Value) {
    parentColor_ = false;
    return;
  }
  color_ = Value;
  parentColor_ = false;
  UpdateWidgetPalette();
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  parentColor_ = Value;
  if (Value && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetCursor(TCursor Value) {
  if (cursor_ == Value) return;
  cursor_ = Value;
  UpdateWidgetCursor();
  Perform(CM_CURSORCHANGED);
}

void TControl::UpdateWidgetCursor() {
  if (!widget_) return;
  if (cursor_ == crDefault)
    widget_->unsetCursor();
  else
    widget_->setCursor(Screen()->Cursors(cursor_));
}

void TControl::UpdateWidgetPalette() {
  if (!widget_) return;
  QPalette palette = widget_->palette();
  const QColor background = ColorToQColor(color_);
  const QColor text = ColorToQColor(font_.Color());
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::Base, background);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Text, text);
  palette.setColor(QPalette::ButtonText, text);
  widget_->setPalette(palette);
}

void TControl::SetHint(const QString &Value) {
  hint_ = Value;
  ApplyToWidget();
}

void TControl::SetShowHint(bool Value) {
  parentShowHint_ = false;
  if (showHint_ == Value) return;
  showHint_ = Value;
  ApplyToWidget();
  if (auto *win = dynamic_cast<TWinControl *>(this)) win->NotifyChildren(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
  if (parentShowHint_ == Value) return;
  parentShowHint_ = Value;
  if (Value && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu *Value) {
  popupMenu_ = Value;
  if (auto *component = reinterpret_cast<TComponent *>(Value)) component->FreeNotification(this);
}

bool TControl::MouseCapture() const { return GetCapture() == handle_; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  if (Value)
    SetCapture(handle_);
  else
    ReleaseCapture();
}

// -- painting --

void TControl::Invalidate() {
  if (widget_) widget_->update();
}

void TControl::Update() {
  if (widget_ && widget_->isVisible()) widget_->repaint();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

QRegion TControl::PaintRegion() const {
  if (auto *paint = dynamic_cast<QPaintEvent *>(paintEvent_))
    return paint->region().translated(-ClientOffset()).intersected(ClientRect().ToQRect());
  return QRegion(ClientRect().ToQRect());
}

void TControl::PaintHandler(TMessage &Message) { DefaultHandler(Message); }

// -- widget --

QWidget *TControl::WidgetNeeded() {
  if (!widget_) {
    if (auto *win = dynamic_cast<TWinControl *>(this))
      win->HandleNeeded();
    else {
      if (parent_) parent_->HandleNeeded();
      CreateWidget();
    }
  }
  return widget_;
}

void TControl::CreateWidget() {}

void TControl::AttachWidget(QWidget *widget, TWidgetBridge *bridge) {
  widget_ = widget;
  bridge_ = bridge;
  widget->setAttribute(Qt::WA_Hover, false);
  widget->setMouseTracking(true);
  // Any control may take a control dragged onto it (drag_drop.h).
  widget->setAcceptDrops(true);
  // A pop-up window has been given its parent already, as a window of its own.
  if (parent_ && parent_->Widget() && !widget->parentWidget()) widget->setParent(parent_->Widget());
  ApplyToWidget();
}

void TControl::ReleaseWidget() {
  if (!widget_) {
    bridge_ = nullptr;
    return;
  }
  QWidget *widget = widget_;
  widget_ = nullptr;
  if (bridge_) bridge_->Detach();
  bridge_ = nullptr;
  // The widget may be inside one of its own event handlers now: hide it and delete it from Qt's loop.
  widget->hide();
  if (!widget->isWindow()) widget->setParent(nullptr);
  widget->deleteLater();
}

QRect TControl::WidgetGeometry() const {
  QPoint offset(0, 0);
  if (parent_) offset = parent_->ClientOffset();
  return QRect(offset.x() + left_, offset.y() + top_, width_, height_);
}

void TControl::ApplyToWidget() {
  if (!widget_) return;
  {
    ScopedValue<bool> applying(applyingBounds_, true);
    const QRect g = WidgetGeometry();
    if (widget_->isWindow()) {
      widget_->resize(g.size());
      widget_->move(g.topLeft());
    } else {
      widget_->setGeometry(g);
    }
  }
  widget_->setFont(font_.ToQFont());
  UpdateWidgetPalette();
  UpdateWidgetCursor();
  widget_->setEnabled(enabled_);
  const bool showHint = showHint_ && Application()->ShowHint();
  widget_->setToolTip(showHint ? hint_.section(QLatin1Char('|'), 0, 0) : QString());
  if (parent_) widget_->setVisible(visible_);
}

// -- Qt events --

namespace {

// Hands the input events of a widget inside a control's window (a combo box's edit field, a memo's
// viewport) to the control, as if they had reached the window itself.
class InnerWidgetFilter : public QObject {
public:
  InnerWidgetFilter(TControl *control, QWidget *inner, std::weak_ptr<bool> alive)
      : QObject(inner), control_(control), alive_(std::move(alive)) {}
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (alive_.expired()) return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu: break;
    default: return false;
    }
    auto *inner = static_cast<QWidget *>(watched);
    QWidget *window = control_->Widget();
    if (!window || !window->isAncestorOf(inner)) return false;
    return control_->HandleInnerEvent(inner, event);
  }

private:
  TControl *control_;
  std::weak_ptr<bool> alive_;
};

} // namespace

void TControl::ForwardEventsOf(QWidget *Inner) {
  if (Inner && Inner != widget_) Inner->installEventFilter(new InnerWidgetFilter(this, Inner, alive_));
}

bool TControl::HandleInnerEvent(QWidget *Inner, QEvent *Event) {
  ScopedValue<QWidget *> scope(innerTarget_, Inner);
  HandleQtEvent(Event);
  return true;
}

bool TControl::CallNative(QEvent *Event) {
  // QObject::event is public: the widget's own handling, without passing its event filters again.
  if (innerTarget_) return static_cast<QObject *>(innerTarget_)->event(Event);
  return bridge_ ? bridge_->NativeEvent(Event) : false;
}

void TControl::CallNativeKey(QKeyEvent *Event) {
  if (innerTarget_)
    static_cast<QObject *>(innerTarget_)->event(Event);
  else if (bridge_)
    bridge_->NativeKeyEvent(Event);
}

QPoint TControl::WidgetPoint(const QPoint &Point) const {
  if (innerTarget_ && widget_) return innerTarget_->mapTo(widget_, Point);
  return Point;
}

bool TControl::HandleQtEvent(QEvent *Event) {
  switch (Event->type()) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseMove: return HandleMouseEvent(static_cast<QMouseEvent *>(Event));
  case QEvent::Paint: {
    ScopedValue<QEvent *> scope(paintEvent_, Event);
    NativeEvent native;
    TMessage message{WM_PAINT, 0, 0, 0};
    DispatchTranslated(message, Event, &native);
    return true;
  }
  default: return HandleOtherEvent(Event);
  }
}

bool TControl::MouseMessage(QMouseEvent *Event, TMessage &Message) {
  const bool doubleClicks = controlStyle_.Contains(csDoubleClicks);
  UINT msg = 0;
  const Qt::MouseButton button = Event->button();
  switch (Event->type()) {
  case QEvent::MouseMove: msg = WM_MOUSEMOVE; break;
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick: {
    const bool dbl = Event->type() == QEvent::MouseButtonDblClick && doubleClicks;
    if (button == Qt::LeftButton)
      msg = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    else if (button == Qt::RightButton)
      msg = dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    else if (button == Qt::MiddleButton)
      msg = dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
    break;
  }
  case QEvent::MouseButtonRelease:
    if (button == Qt::LeftButton)
      msg = WM_LBUTTONUP;
    else if (button == Qt::RightButton)
      msg = WM_RBUTTONUP;
    else if (button == Qt::MiddleButton)
      msg = WM_MBUTTONUP;
    break;
  default: break;
  }
  if (msg == 0) return false;
  const QPoint p = WidgetPoint(Event->position().toPoint()) - ClientOffset();
  Message = TMessage{msg, MouseKeyFlags(Event->modifiers(), Event->buttons()), MAKELPARAM(p.x(), p.y()), 0};
  return true;
}

bool TControl::HandleMouseEvent(QMouseEvent *Event) {
  SetInputState(Event->modifiers(), Event->buttons());
  TMessage message;
  if (!bridge_ || !MouseMessage(Event, message)) return CallNative(Event);
  if (message.Msg == WM_MOUSEMOVE) {
    // As in Win32, the window is asked what lies under the mouse (screen coordinates) before it is told.
    const QPoint screen = Event->globalPosition().toPoint();
    TMessage hitTest{WM_NCHITTEST, 0, MAKELPARAM(screen.x(), screen.y()), 0};
    if (!DispatchTranslated(hitTest, Event)) return true;
    TMessage setCursor{WM_SETCURSOR, handle_, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 0};
    if (!DispatchTranslated(setCursor, Event)) return true;
  }
  NativeEvent native;
  if (!DispatchTranslated(message, Event, &native)) return true;
  Event->accept();
  return true;
}

bool TControl::HandleOtherEvent(QEvent *Event) {
  switch (Event->type()) {
  case QEvent::DragEnter:
  case QEvent::DragMove:
  case QEvent::DragLeave:
  case QEvent::Drop: return HandleDragEvent(Event);
  case QEvent::Enter:
  case QEvent::Leave: {
    NativeEvent native;
    TMessage message{Event->type() == QEvent::Enter ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0, 0};
    DispatchTranslated(message, Event, &native);
    return native.consumed ? native.result : true;
  }
  case QEvent::ContextMenu: {
    auto *menu = static_cast<QContextMenuEvent *>(Event);
    const QPoint global = menu->reason() == QContextMenuEvent::Keyboard ? QPoint(-1, -1) : menu->globalPos();
    NativeEvent native;
    TMessage message{WM_CONTEXTMENU, handle_, MAKELPARAM(global.x(), global.y()), 0};
    if (!DispatchTranslated(message, Event, &native)) return true;
    if (native.consumed) return native.result;
    Event->accept();
    return true;
  }
  default: return CallNative(Event);
  }
}
