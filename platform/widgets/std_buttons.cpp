#include "platform/widgets/std_buttons.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// A push button whose face the control paints (so that a bit button can draw its glyph).
class PushButtonWidget : public TControlWidget<QPushButton> {
public:
  explicit PushButtonWidget(TControl *control) : TControlWidget<QPushButton>(control) {
    setAutoDefault(false);
  }

protected:
  void paintEvent(QPaintEvent *event) override {
    auto *button = dynamic_cast<TButton *>(Control());
    if (!button) {
      QPushButton::paintEvent(event);
      return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    button->PaintButton(painter, option);
  }
};

// Check boxes and radio buttons whose state the control decides: a click only reports itself.
class CheckBoxWidget : public TControlWidget<QCheckBox> {
public:
  using TControlWidget::TControlWidget;

protected:
  void nextCheckState() override {}
};

class RadioButtonWidget : public TControlWidget<QRadioButton> {
public:
  using TControlWidget::TControlWidget;

protected:
  void nextCheckState() override {}
};

// The buttons of a form, for the default-button look that follows the focus.
void CollectButtons(TWinControl *parent, QList<TButton *> &buttons) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl *c = parent->Controls(i);
    if (auto *button = dynamic_cast<TButton *>(c)) buttons.append(button);
    if (auto *win = dynamic_cast<TWinControl *>(c)) CollectButtons(win, buttons);
  }
}

// Shows the button that Enter would press as the default one: the focused button, else the default button.
void UpdateDefaultLooks(TControl *anyControl, TWinControl *focused) {
  TCustomForm *form = GetParentForm(anyControl);
  if (!form) return;
  QList<TButton *> buttons;
  CollectButtons(form, buttons);
  auto *focusedButton = dynamic_cast<TButton *>(focused);
  for (TButton *button : buttons) {
    const bool active = focusedButton ? button == focusedButton : button->Default();
    if (auto *widget = dynamic_cast<QPushButton *>(button->Widget())) widget->setDefault(active);
  }
}

} // namespace

// ---- TButtonControl ----

TButtonControl::TButtonControl(TComponent *AOwner) : TWinControl(AOwner) {
  controlStyle_ = {csSetCaption, csDoubleClicks};
}

QAbstractButton *TButtonControl::ButtonWidget() const { return dynamic_cast<QAbstractButton *>(Widget()); }

void TButtonControl::SetTextBuf(const QString &Value) {
  TWinControl::SetTextBuf(Value);
  UpdateCaption();
}

void TButtonControl::UpdateCaption() {
  QAbstractButton *button = ButtonWidget();
  if (!button) return;
  button->setText(Caption());
  // The accelerator comes through CM_DIALOGCHAR, not through a Qt shortcut.
  button->setShortcut(QKeySequence());
}

void TButtonControl::ApplyToWidget() {
  TWinControl::ApplyToWidget();
  KeepSystemBoxColors();
}

void TButtonControl::KeepSystemBoxColors() {
  // A check box's box and a radio button's circle keep the window colours, whatever the control's colour.
  QWidget *w = Widget();
  if (!w || dynamic_cast<QPushButton *>(w)) return;
  QPalette palette = w->palette();
  palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Base));
  w->setPalette(palette);
}

void TButtonControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateCaption();
}

void TButtonControl::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_GETDLGCODE: Message.Result = DLGC_BUTTON; return;
  case BM_GETCHECK: Message.Result = GetChecked() ? BST_CHECKED : BST_UNCHECKED; return;
  case BM_SETCHECK: SetChecked(Message.WParam == BST_CHECKED); return;
  case BM_CLICK: SendCommandNotification(this, BN_CLICKED); return;
  case CM_COLORCHANGED:
  case CM_FONTCHANGED:
    TWinControl::WndProc(Message);
    KeepSystemBoxColors();
    return;
  default: TWinControl::WndProc(Message); return;
  }
}

// ---- TButton ----

TButton::TButton(TComponent *AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

QWidget *TButton::CreateWindowWidget(const TCreateParams &) {
  auto *widget = new PushButtonWidget(this);
  QObject::connect(widget, &QAbstractButton::clicked, widget, [this, widget] {
    if (widget->Control() == this) SendCommandNotification(this, BN_CLICKED);
  });
  widget->setDefault(default_);
  return widget;
}

void TButton::SetDefault(bool Value) {
  if (default_ == Value) return;
  default_ = Value;
  TCustomForm *form = GetParentForm(this);
  UpdateDefaultLooks(this, form ? form->ActiveControl() : nullptr);
}

bool TButton::Active() const {
  TCustomForm *form = GetParentForm(this);
  if (form)
    if (auto *focused = dynamic_cast<TButton *>(form->ActiveControl())) return focused == this;
  return default_;
}

void TButton::Click() {
  if (TCustomForm *form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::PaintButton(QPainter &Painter, QStyleOptionButton &Option) {
  Widget()->style()->drawControl(QStyle::CE_PushButton, &Option, &Painter, Widget());
}

void TButton::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CN_COMMAND:
    if (HIWORD(Message.WParam) == BN_CLICKED) Click();
    return;
  case CM_DIALOGKEY:
    if (((Message.WParam == VK_RETURN && Active()) || (Message.WParam == VK_ESCAPE && cancel_)) &&
        KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
      Click();
      Message.Result = 1;
      return;
    }
    TButtonControl::WndProc(Message);
    return;
  case CM_DIALOGCHAR:
    if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
      Click();
      Message.Result = 1;
      return;
    }
    TButtonControl::WndProc(Message);
    return;
  case WM_GETDLGCODE:
    Message.Result = DLGC_BUTTON | (Active() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    return;
  case WM_SETFOCUS:
  case WM_KILLFOCUS: {
    const std::weak_ptr<bool> token = AliveToken();
    const bool gaining = Message.Msg == WM_SETFOCUS;
    TWinControl *focused = gaining ? this : FindControl(HWND(Message.WParam));
    TButtonControl::WndProc(Message);
    if (!token.expired()) UpdateDefaultLooks(this, focused);
    return;
  }
  default: TButtonControl::WndProc(Message); return;
  }
}

// ---- TBitBtn ----

TBitBtn::TBitBtn(TComponent *AOwner) : TButton(AOwner) {
  glyph_.OnChange = TNotifyEvent(this, &TBitBtn::GlyphChanged);
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::GlyphChanged(TObject *) { Invalidate(); }

void TBitBtn::SetLayout(TButtonLayout Value) {
  layout_ = Value;
  Invalidate();
}

void TBitBtn::SetMargin(int Value) {
  margin_ = std::max(-1, Value);
  Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
  spacing_ = std::max(-1, Value);
  Invalidate();
}

void TBitBtn::PaintButton(QPainter &Painter, QStyleOptionButton &Option) {
  const QString caption = Caption();
  Option.text.clear();
  Option.icon = QIcon();
  Widget()->style()->drawControl(QStyle::CE_PushButton, &Option, &Painter, Widget());
  const bool down = Option.state & QStyle::State_Sunken;
  TButtonState state = down ? bsDown : bsUp;
  if (!Enabled()) state = bsDisabled;
  TCanvas canvas;
  canvas.SetPainter(&Painter);
  canvas.SetFont(Font());
  canvas.Font()->SetColor(clBtnText);
  TRect client = ClientRect();
  InflateRect(client, -4, -4);
  const TPoint offset = down ? TPoint{1, 1} : TPoint{0, 0};
  glyph_.Draw(&canvas, client, offset, caption, layout_, margin_, spacing_, state);
  canvas.SetPainter(nullptr);
}

// ---- TCustomCheckBox ----

TCustomCheckBox::TCustomCheckBox(TComponent *AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

QWidget *TCustomCheckBox::CreateWindowWidget(const TCreateParams &) {
  auto *widget = new CheckBoxWidget(this);
  QObject::connect(widget, &QAbstractButton::clicked, widget, [this, widget] {
    if (widget->Control() == this) SendCommandNotification(this, BN_CLICKED);
  });
  return widget;
}

void TCustomCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  UpdateWidgetState();
}

void TCustomCheckBox::UpdateWidgetState() {
  auto *box = dynamic_cast<QCheckBox *>(Widget());
  if (!box) return;
  const QSignalBlocker block(box);
  box->setTristate(allowGrayed_ || state_ == cbGrayed);
  box->setCheckState(state_ == cbChecked  ? Qt::Checked
                     : state_ == cbGrayed ? Qt::PartiallyChecked
                                          : Qt::Unchecked);
  box->setLayoutDirection(alignment_ == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (state_ == Value) return;
  state_ = Value;
  UpdateWidgetState();
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight Value) {
  alignment_ = Value;
  UpdateWidgetState();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
  case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
  case cbChecked: SetState(cbUnchecked); break;
  case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CN_COMMAND:
    if (HIWORD(Message.WParam) == BN_CLICKED) Toggle();
    return;
  case CM_DIALOGCHAR:
    if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
      SetFocus();
      if (Focused()) Toggle();
      Message.Result = 1;
      return;
    }
    TButtonControl::WndProc(Message);
    return;
  case BM_SETCHECK:
    SetState(Message.WParam == BST_CHECKED         ? cbChecked
             : Message.WParam == BST_INDETERMINATE ? cbGrayed
                                                   : cbUnchecked);
    return;
  case BM_GETCHECK:
    Message.Result = state_ == cbChecked  ? BST_CHECKED
                     : state_ == cbGrayed ? BST_INDETERMINATE
                                          : BST_UNCHECKED;
    return;
  default: TButtonControl::WndProc(Message); return;
  }
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent *AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

QWidget *TRadioButton::CreateWindowWidget(const TCreateParams &) {
  auto *widget = new RadioButtonWidget(this);
  widget->setAutoExclusive(false);
  QObject::connect(widget, &QAbstractButton::clicked, widget, [this, widget] {
    if (widget->Control() == this) SendCommandNotification(this, BN_CLICKED);
  });
  return widget;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  UpdateWidgetState();
}

void TRadioButton::UpdateWidgetState() {
  auto *radio = dynamic_cast<QRadioButton *>(Widget());
  if (!radio) return;
  const QSignalBlocker block(radio);
  radio->setChecked(checked_);
  radio->setLayoutDirection(alignment_ == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TRadioButton::SetAlignment(TLeftRight Value) {
  alignment_ = Value;
  UpdateWidgetState();
}

void TRadioButton::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  SetTabStop(Value);
  UpdateWidgetState();
  if (!Value) return;
  if (TWinControl *parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto *sibling = dynamic_cast<TRadioButton *>(parent->Controls(i)); sibling && sibling != this)
        sibling->SetChecked(false);
  }
  if (!ClicksDisabled()) Click();
}

void TRadioButton::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CN_COMMAND:
    if (HIWORD(Message.WParam) == BN_CLICKED || HIWORD(Message.WParam) == BN_DOUBLECLICKED) SetChecked(true);
    return;
  case CM_DIALOGCHAR:
    if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
      SetFocus();
      if (Focused()) SetChecked(true);
      Message.Result = 1;
      return;
    }
    TButtonControl::WndProc(Message);
    return;
  case CM_CHILDKEY: {
    // The arrow keys move the focus and the check among the radio buttons of the parent.
    const WORD key = WORD(Message.WParam);
    const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    if (arrow && MessagePointer<TControl>(std::uintptr_t(Message.LParam)) == this && Parent()) {
      const bool forward = key == VK_RIGHT || key == VK_DOWN;
      QList<TWinControl *> order = Parent()->TabList();
      const int count = int(order.size());
      const int self = int(order.indexOf(this));
      for (int step = 1; step < count; ++step) {
        TWinControl *c = order[((forward ? self + step : self - step) % count + count) % count];
        auto *radio = dynamic_cast<TRadioButton *>(c);
        if (!radio || !radio->CanFocus()) continue;
        radio->SetFocus();
        if (radio->Focused()) radio->SetChecked(true);
        Message.Result = 1;
        return;
      }
    }
    TButtonControl::WndProc(Message);
    return;
  }
  case WM_GETDLGCODE: Message.Result = DLGC_BUTTON | DLGC_RADIOBUTTON; return;
  default: TButtonControl::WndProc(Message); return;
  }
}

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(TComponent *AOwner) : TGraphicControl(AOwner) {
  controlStyle_ = {csCaptureMouse, csDoubleClicks};
  SetBounds(0, 0, 23, 22);
  SetColor(clBtnFace);
  SetParentColor(true);
  glyph_.OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::GlyphChanged(TObject *) { Invalidate(); }

void TSpeedButton::SetGroupIndex(int Value) {
  if (groupIndex_ == Value) return;
  groupIndex_ = Value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
  if (groupIndex_ == 0) Value = false;
  if (Value == down_) return;
  // The down button of a group that must keep one down stays down.
  if (down_ && !allowAllUp_) return;
  down_ = Value;
  state_ = Value ? bsExclusive : bsUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (allowAllUp_ == Value) return;
  allowAllUp_ = Value;
  UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
  flat_ = Value;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  layout_ = Value;
  Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
  margin_ = std::max(-1, Value);
  Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
  spacing_ = std::max(-1, Value);
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage message{CM_BUTTONPRESSED, WPARAM(groupIndex_), PointerParam(this), 0};
  Parent()->Broadcast(message);
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Repaint();
  }
  dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!dragging_) return;
  TButtonState state = down_ ? bsExclusive : bsUp;
  if (PtInRect(ClientRect(), TPoint{X, Y})) state = bsDown;
  if (state != state_) {
    state_ = state;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const std::weak_ptr<bool> token = AliveToken();
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (token.expired() || !dragging_) return;
  dragging_ = false;
  const bool inside = PtInRect(ClientRect(), TPoint{X, Y});
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
  } else if (inside) {
    SetDown(!down_);
  } else {
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  }
  if (inside) Click();
}

void TSpeedButton::Paint() {
  TCanvas *canvas = Canvas();
  const TRect client = ClientRect();
  TButtonState state = state_;
  if (!Enabled())
    state = bsDisabled;
  else if (state == bsDisabled)
    state = down_ ? bsExclusive : bsUp;
  const bool pressed = state == bsDown || state == bsExclusive;
  TRect face = client;
  if (flat_) {
    if (pressed || (mouseInControl_ && Enabled())) {
      TRect edge = client;
      DrawEdge(canvas, edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    InflateRect(face, -1, -1);
  } else {
    face = DrawButtonFace(canvas, client, 2, pressed, false);
  }
  if (state == bsExclusive && !face.IsEmpty()) {
    // The checkered face of a button held down in its group.
    QImage pattern(2, 2, QImage::Format_RGB32);
    pattern.setPixel(0, 0, ColorToQColor(clBtnHighlight).rgb());
    pattern.setPixel(1, 1, ColorToQColor(clBtnHighlight).rgb());
    pattern.setPixel(1, 0, ColorToQColor(clBtnFace).rgb());
    pattern.setPixel(0, 1, ColorToQColor(clBtnFace).rgb());
    canvas->Handle()->fillRect(face.ToQRect(), QBrush(pattern));
  }
  canvas->SetFont(Font());
  const TPoint offset = pressed ? TPoint{1, 1} : TPoint{0, 0};
  glyph_.Draw(canvas, face, offset, Caption(), layout_, margin_, spacing_, state);
}

void TSpeedButton::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_BUTTONPRESSED: {
    auto *sender = MessagePointer<TSpeedButton>(std::uintptr_t(Message.LParam));
    if (int(Message.WParam) == groupIndex_ && sender && sender != this) {
      if (sender->Down() && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
      }
      allowAllUp_ = sender->AllowAllUp();
    }
    return;
  }
  case CM_DIALOGCHAR:
    if (IsAccel(Message.WParam, Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
      Click();
      Message.Result = 1;
      return;
    }
    TGraphicControl::WndProc(Message);
    return;
  case CM_MOUSEENTER:
    TGraphicControl::WndProc(Message);
    if (Message.LParam == 0 && !mouseInControl_ && Enabled()) {
      mouseInControl_ = true;
      if (flat_) Invalidate();
    }
    return;
  case CM_MOUSELEAVE:
    TGraphicControl::WndProc(Message);
    if (Message.LParam == 0 && mouseInControl_) {
      mouseInControl_ = false;
      if (flat_) Invalidate();
    }
    return;
  case CM_ENABLEDCHANGED:
    if (!Enabled()) {
      mouseInControl_ = false;
      dragging_ = false;
    }
    state_ = down_ ? bsExclusive : bsUp;
    TGraphicControl::WndProc(Message);
    return;
  default: TGraphicControl::WndProc(Message); return;
  }
}
