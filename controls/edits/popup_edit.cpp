#include "controls/edits/popup_edit.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/virtual_keys.h"
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>
#include <cmath>

namespace {

bool IsDateVariant(const Variant &Value) { return Value.VarType() == varDate || Value.IsNumeric(); }

// A small arrow picture for the calendar's title buttons: one or two triangles pointing left or right.
QImage ArrowGlyph(bool left, bool doubled) {
  const QRgb olive = qRgb(128, 128, 0);
  const int width = doubled ? 8 : 4;
  QImage image(width + 2, 9, QImage::Format_RGB32);
  image.fill(olive);
  for (int k = 0; k < (doubled ? 2 : 1); ++k) {
    const int x0 = 1 + k * 4;
    for (int col = 0; col < 4; ++col) {
      // The tip column holds one pixel, the base column seven.
      const int half = left ? col : 3 - col;
      for (int y = 4 - half; y <= 4 + half; ++y) image.setPixel(x0 + col, y, qRgb(0, 0, 0));
    }
  }
  return image;
}

} // namespace

// ---- TPopupEditWindow ----

TPopupEditWindow::TPopupEditWindow(TComponent *AOwner) : TCustomControl(AOwner) {
  SetVisible(false);
  SetTabStop(false);
  SetColor(clBtnFace);
  SetParentColor(false);
}

TPopupEditWindow::~TPopupEditWindow() = default;

void TPopupEditWindow::CreateParams(TCreateParams &Params) {
  TCustomControl::CreateParams(Params);
  // A window of its own above the form, with a thin border, placed in screen coordinates.
  Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  Params.ExStyle |= WS_EX_TOOLWINDOW;
}

void TPopupEditWindow::CreateWnd() {
  TCustomControl::CreateWnd();
  if (QWidget *w = Widget()) {
    // A window the window system never activates (as it does a tool window on some platforms), so that the
    // edit under it keeps the focus.
    w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
  }
}

void TPopupEditWindow::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB; return;
  case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
  default: TCustomControl::WndProc(Message);
  }
}

void TPopupEditWindow::ShowAt(const TPoint &ScreenPos) {
  SetBounds(ScreenPos.X, ScreenPos.Y, Width(), Height());
  HandleNeeded();
  SetVisible(true);
  if (QWidget *w = Widget()) {
    CreateChildWidgets();
    w->show();
  }
}

void TPopupEditWindow::HidePopup() {
  SetVisible(false);
  if (QWidget *w = Widget()) w->hide();
}

bool TPopupEditWindow::PopupShowing() const { return Widget() && Widget()->isVisible(); }

void TPopupEditWindow::CloseUp(bool Accept) {
  if (OnCloseUp) OnCloseUp(this, Accept);
}

void TPopupEditWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  CloseUp(PtInRect(ClientRect(), {X, Y}));
}

void TPopupEditWindow::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---- TLocCalendar ----

TLocCalendar::TLocCalendar(TComponent *AOwner) : TCustomControl(AOwner) {
  SetTabStop(false);
  SetParentColor(true);
  // Qt numbers Monday 1 .. Sunday 7; the grid numbers Sunday 0 .. Saturday 6.
  startOfWeek_ = int(QLocale::system().firstDayOfWeek()) % 7;
  date_ = Date();
}

void TLocCalendar::SetCalendarDate(TDateTime Value) {
  const TDateTime day = std::floor(Value);
  if (day == date_) return;
  date_ = day;
  Invalidate();
  if (OnChange) OnChange(this);
}

int TLocCalendar::Year() const {
  int y = 0, m = 0, d = 0;
  DecodeDate(date_, y, m, d);
  return y;
}

int TLocCalendar::Month() const {
  int y = 0, m = 0, d = 0;
  DecodeDate(date_, y, m, d);
  return m;
}

int TLocCalendar::Day() const {
  int y = 0, m = 0, d = 0;
  DecodeDate(date_, y, m, d);
  return d;
}

void TLocCalendar::SetStartOfWeek(int Value) {
  startOfWeek_ = ((Value % 7) + 7) % 7;
  Invalidate();
}

void TLocCalendar::ChangeMonth(int Months) { SetCalendarDate(IncMonth(date_, Months)); }

int TLocCalendar::FirstColumn() const {
  // DayOfWeek: 1 Sunday .. 7 Saturday.
  const int first = DayOfWeek(EncodeDate(Year(), Month(), 1)) - 1;
  return (first - startOfWeek_ + 7) % 7;
}

TRect TLocCalendar::CellRect(int Col, int Row) const {
  const TRect client = ClientRect();
  const int w = client.Width();
  const int h = client.Height();
  return Rect(Col * w / 7, Row * h / 7, (Col + 1) * w / 7, (Row + 1) * h / 7);
}

int TLocCalendar::DayInCell(int Col, int Row) const {
  if (Row < 1 || Col < 0 || Col > 6) return 0;
  const int day = (Row - 1) * 7 + Col - FirstColumn() + 1;
  return day >= 1 && day <= MonthDays(Year(), Month()) ? day : 0;
}

void TLocCalendar::CellOfDay(int Day, int &Col, int &Row) const {
  const int index = FirstColumn() + Day - 1;
  Col = index % 7;
  Row = 1 + index / 7;
}

bool TLocCalendar::CellAt(int X, int Y, int &Col, int &Row) const {
  for (Row = 0; Row < 7; ++Row)
    for (Col = 0; Col < 7; ++Col)
      if (PtInRect(CellRect(Col, Row), {X, Y})) return true;
  return false;
}

void TLocCalendar::Paint() {
  TCanvas *c = Canvas();
  c->SetFont(Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  c->Brush()->SetStyle(bsClear);
  const FormatSettings &settings = Settings();
  for (int col = 0; col < 7; ++col) {
    TRect r = CellRect(col, 0);
    c->Font()->SetColor(clBtnShadow);
    c->DrawText(settings.ShortDayNames[std::size_t((startOfWeek_ + col) % 7)], r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  // A line parts the names from the days.
  const TRect names = CellRect(0, 0);
  c->Pen()->SetColor(clBtnShadow);
  c->MoveTo(ClientRect().Left + 2, names.Bottom - 1);
  c->LineTo(ClientRect().Right - 2, names.Bottom - 1);

  int todayYear = 0, todayMonth = 0, todayDay = 0;
  DecodeDate(Date(), todayYear, todayMonth, todayDay);
  const int days = MonthDays(Year(), Month());
  for (int day = 1; day <= days; ++day) {
    int col = 0, row = 0;
    CellOfDay(day, col, row);
    TRect r = CellRect(col, row);
    const bool chosen = day == Day();
    if (chosen) {
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(clHighlight);
      TRect fill = r;
      InflateRect(fill, -1, -1);
      c->FillRect(fill);
      c->Brush()->SetStyle(bsClear);
    }
    if (todayYear == Year() && todayMonth == Month() && todayDay == day) {
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(clMaroon);
      TRect frame = r;
      InflateRect(frame, -1, -1);
      c->FrameRect(frame);
      c->Brush()->SetStyle(bsClear);
    }
    c->Font()->SetColor(chosen ? clHighlightText : Font()->Color());
    c->DrawText(QString::number(day), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

void TLocCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  pressedDay_ = 0;
  int col = 0, row = 0;
  if (Button != mbLeft || !CellAt(X, Y, col, row)) return;
  const int day = DayInCell(col, row);
  if (day == 0) return;
  pressedDay_ = day;
  SetCalendarDate(EncodeDate(Year(), Month(), day));
}

void TLocCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  const int pressed = pressedDay_;
  pressedDay_ = 0;
  int col = 0, row = 0;
  if (Button != mbLeft || pressed == 0 || !CellAt(X, Y, col, row)) return;
  if (DayInCell(col, row) == pressed && OnDayClick) OnDayClick(this);
}

void TLocCalendar::KeyDown(WORD &Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
  case VK_LEFT: SetCalendarDate(date_ - 1); break;
  case VK_RIGHT: SetCalendarDate(date_ + 1); break;
  case VK_UP: SetCalendarDate(date_ - 7); break;
  case VK_DOWN: SetCalendarDate(date_ + 7); break;
  case VK_PRIOR: ChangeMonth(ctrl ? -12 : -1); break;
  case VK_NEXT: ChangeMonth(ctrl ? 12 : 1); break;
  case VK_HOME: SetCalendarDate(EncodeDate(Year(), Month(), 1)); break;
  case VK_END: SetCalendarDate(EncodeDate(Year(), Month(), MonthDays(Year(), Month()))); break;
  default: return;
  }
  Key = 0;
}

void TLocCalendar::WndProc(TMessage &Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---- TPopupCalendarTitle ----

// The month's name and year across the popup's title bar.
class TPopupCalendarTitle : public TGraphicControl {
public:
  explicit TPopupCalendarTitle(TComponent *AOwner) : TGraphicControl(AOwner) {
    TControlStyle style = ControlStyle();
    style.Include(csClickEvents);
    SetControlStyle(style);
    SetCursor(crHandPoint);
  }
  QString ClassName() const override { return QStringLiteral("TPopupCalendarTitle"); }

protected:
  void Paint() override {
    TCanvas *c = Canvas();
    c->SetFont(Font());
    c->Font()->SetStyle(fsBold);
    c->Brush()->SetStyle(bsClear);
    TRect r = ClientRect();
    c->DrawText(Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
};

// ---- TPopupEditCalendar ----

TPopupEditCalendar::TPopupEditCalendar(TComponent *AOwner) : TPopupEditWindow(AOwner) {
  Font()->SetName(QStringLiteral("MS Sans Serif"));
  Font()->SetSize(8);
  SetColor(clBtnFace);

  const auto button = [this](bool left, bool doubled) {
    auto *b = new TSpeedButton(this);
    b->SetParent(this);
    b->SetFlat(true);
    TBitmap glyph;
    glyph.SetImage(ArrowGlyph(left, doubled));
    b->SetGlyph(&glyph);
    b->OnClick = TNotifyEvent(this, &TPopupEditCalendar::ButtonClicked);
    return b;
  };
  prevYear_ = button(true, true);
  prevMonth_ = button(true, false);
  nextMonth_ = button(false, false);
  nextYear_ = button(false, true);
  prevYear_->SetHint(QStringLiteral("Previous year"));
  prevMonth_->SetHint(QStringLiteral("Previous month"));
  nextMonth_->SetHint(QStringLiteral("Next month"));
  nextYear_->SetHint(QStringLiteral("Next year"));

  title_ = new TPopupCalendarTitle(this);
  title_->SetParent(this);
  title_->OnClick = TNotifyEvent(this, &TPopupEditCalendar::TitleClicked);

  calendar_ = new TLocCalendar(this);
  calendar_->SetParent(this);
  calendar_->OnChange = TNotifyEvent(this, &TPopupEditCalendar::CalendarChanged);
  calendar_->OnDayClick = TNotifyEvent(this, &TPopupEditCalendar::DayClicked);

  // Seven rows of the 8-point font with room around each, and the title bar: at least 180 x 120.
  const int row = QFontMetrics(Font()->ToQFont()).height() + 4;
  SetBounds(0, 0, MinWidth, std::max(MinHeight, TitleHeight + 7 * row + 4));
  CalendarChanged(this);
}

TControl *TPopupEditCalendar::Title() const { return title_; }

void TPopupEditCalendar::Resize() {
  TPopupEditWindow::Resize();
  Layout();
}

void TPopupEditCalendar::Layout() {
  if (!calendar_) return;
  const TRect client = ClientRect();
  const int w = client.Width();
  const int top = (TitleHeight - 14) / 2;
  prevYear_->SetBounds(2, top, 14, 14);
  prevMonth_->SetBounds(17, top, 14, 14);
  nextMonth_->SetBounds(w - 31, top, 14, 14);
  nextYear_->SetBounds(w - 16, top, 14, 14);
  title_->SetBounds(32, 0, std::max(0, w - 64), TitleHeight);
  calendar_->SetBounds(2, TitleHeight, std::max(0, w - 4), std::max(0, client.Height() - TitleHeight - 2));
}

QString TPopupEditCalendar::TitleText() const {
  return FormatDateTime(QStringLiteral("mmmm, yyyy"), calendar_->CalendarDate());
}

void TPopupEditCalendar::CalendarChanged(TObject *) {
  title_->SetCaption(TitleText());
  title_->Invalidate();
}

void TPopupEditCalendar::DayClicked(TObject *) { CloseUp(true); }

void TPopupEditCalendar::ButtonClicked(TObject *Sender) {
  if (Sender == prevYear_) calendar_->ChangeMonth(-12);
  if (Sender == prevMonth_) calendar_->ChangeMonth(-1);
  if (Sender == nextMonth_) calendar_->ChangeMonth(1);
  if (Sender == nextYear_) calendar_->ChangeMonth(12);
}

void TPopupEditCalendar::TitleClicked(TObject *) {
  // Today's month, on the day that was chosen (as far as the month has it).
  int y = 0, m = 0, d = 0;
  DecodeDate(Date(), y, m, d);
  calendar_->SetCalendarDate(EncodeDate(y, m, std::min(calendar_->Day(), MonthDays(y, m))));
}

Variant TPopupEditCalendar::GetValue() const {
  return Variant::FromDateTime(calendar_->CalendarDate() + timeOfDay_);
}

void TPopupEditCalendar::SetValue(const Variant &Value) {
  TDateTime value = Date();
  if (Value.IsString()) {
    TDateTime read = 0;
    if (TryStrToDateTime(Value.ToString(), read) || TryStrToDate(Value.ToString(), read)) value = read;
  } else if (!Value.IsNull() && !Value.IsEmpty() && IsDateVariant(Value)) {
    value = Value.ToDouble();
  }
  // The time of day comes back with the chosen date.
  timeOfDay_ = std::fabs(value - std::floor(value));
  calendar_->SetCalendarDate(value);
  CalendarChanged(this);
}

void TPopupEditCalendar::PopupKeyDown(WORD &Key, TShiftState Shift) {
  switch (Key) {
  case VK_LEFT:
  case VK_RIGHT:
  case VK_UP:
  case VK_DOWN:
  case VK_PRIOR:
  case VK_NEXT:
  case VK_HOME:
  case VK_END: calendar_->Perform(WM_KEYDOWN, Key, 0); break;
  default: return;
  }
  Key = 0;
}

// ---- the mouse outside the popup ----

namespace {

// While a popup is open: a mouse button released anywhere but on the popup closes it without a value; one
// released on the popup after a press elsewhere (a drag from the edit's button) accepts. The edit's button
// opens and closes the popup itself.
class PopupMouseWatcher : public QObject {
public:
  PopupMouseWatcher(TCustomPopupEdit *edit, TPopupEditWindow *popup) : edit_(edit), popup_(popup) {}

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::MouseButtonRelease || !edit_->PopupVisible()) return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    QWidget *popupWidget = popup_->Widget();
    if (!widget || !popupWidget || !widget->isWidgetType()) return false;
    const QPoint global = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
    const bool onPopup = popupWidget->geometry().contains(global);
    const bool inPopup = popupWidget == widget || popupWidget->isAncestorOf(widget);
    QWidget *button = edit_->Button()->Widget();
    const bool onButton = button && (button == widget || button->isAncestorOf(widget));
    if (inPopup) return false; // the popup and its controls see to their own clicks
    if (onPopup)
      edit_->PopupCloseUp(true);
    else if (!onButton)
      edit_->PopupCloseUp(false);
    return false;
  }

private:
  TCustomPopupEdit *edit_;
  TPopupEditWindow *popup_;
};

} // namespace

// ---- TCustomPopupEdit ----

TCustomPopupEdit::TCustomPopupEdit(TComponent *AOwner) : TCustomEditButton(AOwner) {
  if (ComponentState().Contains(csDesigning)) return;
  popup_ = new TPopupEditCalendar(this);
  popup_->SetParent(this);
  popup_->SetColor(popupColor_);
  popup_->OnCloseUp = TCloseUpEvent(this, &TCustomPopupEdit::PopupClosed);
}

TCustomPopupEdit::~TCustomPopupEdit() = default;

void TCustomPopupEdit::BeforeDestruction() {
  mouseWatcher_.reset();
  popupVisible_ = false;
  TCustomEditButton::BeforeDestruction();
}

void TCustomPopupEdit::SetPopupColor(TColor Value) {
  popupColor_ = Value;
  if (popup_) popup_->SetColor(Value);
}

bool TCustomPopupEdit::CanPopup() const {
  return popup_ &&
         (ButtonStyle() == TSMButtonStyle::bsDropDown || ButtonStyle() == TSMButtonStyle::bsCalendar);
}

Variant TCustomPopupEdit::PopupValue() const {
  const QString text = Text();
  return text.isEmpty() ? Variant::Null() : Variant(text);
}

void TCustomPopupEdit::AcceptPopupValue(const Variant &Value) { SetText(VarToStr(Value)); }

void TCustomPopupEdit::ButtonClick() {
  if (CanPopup()) {
    if (popupVisible_)
      PopupCloseUp(false);
    else
      PopupDropDown();
  }
  TCustomEditButton::ButtonClick();
}

TPoint TCustomPopupEdit::PopupPosition() const {
  const TPoint origin = ClientOrigin();
  const int screenWidth = Screen()->Width();
  const int screenHeight = Screen()->Height();
  const int w = popup_ ? popup_->Width() : 0;
  const int h = popup_ ? popup_->Height() : 0;
  int y = origin.Y + Height();
  if (y + h > screenHeight) y = origin.Y - h;
  int x = popupAlign_ == taRightJustify ? origin.X + Width() - w : origin.X;
  if (x + w > screenWidth) x = screenWidth - w;
  if (x < 0) x = 0;
  return {x, y};
}

void TCustomPopupEdit::PopupDropDown() {
  if (!popup_ || popupVisible_) return;
  const TPoint where = PopupPosition();
  popup_->SetValue(PopupValue());
  if (CanFocus() && !Focused()) SetFocus();
  popup_->ShowAt(where);
  popupVisible_ = true;
  mouseWatcher_ = std::make_unique<PopupMouseWatcher>(this, popup_);
  qApp->installEventFilter(mouseWatcher_.get());
  // A read-only line edit draws no caret; the popup has the keys meanwhile.
  if (QLineEdit *edit = LineEdit()) edit->setReadOnly(true);
}

void TCustomPopupEdit::PopupCloseUp(bool Accept) {
  if (!popup_ || !popupVisible_) return;
  popupVisible_ = false;
  mouseWatcher_.reset();
  if (popup_->MouseCapture()) popup_->SetMouseCapture(false);
  popup_->HidePopup();
  UpdateWidget();
  if (CanFocus() && !Focused()) SetFocus();
  if (Accept && !ReadOnly()) AcceptPopupValue(popup_->GetValue());
}

void TCustomPopupEdit::PopupClosed(TObject *, bool Accept) { PopupCloseUp(Accept); }

void TCustomPopupEdit::KeyDown(WORD &Key, TShiftState Shift) {
  if (popupVisible_) {
    switch (Key) {
    case VK_RETURN:
    case VK_ESCAPE:
      // The character the key types next is the popup's too.
      swallowChar_ = Key == VK_RETURN ? QChar(0x0D) : QChar(0x1B);
      PopupCloseUp(Key == VK_RETURN);
      Key = 0;
      return;
    default: popup_->PopupKeyDown(Key, Shift); break;
    }
    if (Key == 0) return;
  }
  TCustomEditButton::KeyDown(Key, Shift);
}

void TCustomPopupEdit::KeyPress(QChar &Key) {
  if (!swallowChar_.isNull() && Key == swallowChar_) {
    swallowChar_ = QChar();
    Key = QChar();
    return;
  }
  swallowChar_ = QChar();
  TCustomEditButton::KeyPress(Key);
}

void TCustomPopupEdit::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_WANTSPECIALKEY:
    // While open, Enter and Escape belong to the popup, not to the form's buttons.
    if (popupVisible_ && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
      Message.Result = 1;
      return;
    }
    break;
  case WM_KILLFOCUS:
  case CM_CANCELMODE: PopupCloseUp(false); break;
  default: break;
  }
  TCustomEditButton::WndProc(Message);
}
