#include "controls/edits/calendar.h"
#include "controls/edits/calendar_glyphs.h"
#include "controls/framework/control_helpers.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include "platform/core/format_settings.h"
#include "platform/graphics/canvas.h"
#include "platform/widgets/menus.h"
#include "platform/windowing/messages.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include <QMenu>
#include <cmath>
#include <cstdlib>

namespace {

constexpr TColor SchemeColors[6][6] = {
    {}, // custom: keeps the colours
    {clHighlight, clWindow, clWindow, clWindow, clWindow, clWindow},
    {clRed, clMaroon, clBlack, clGray, clBlue, clRed},
    {clBlack, clBlack, clYellow, clGray, clBlack, clTeal},
    {clBlack, clBlack, clAqua, clGray, clBlack, clNavy},
    {clRed, clRed, clFuchsia, clGray, clBlue, clTeal},
};

TOvcDayNumber ToDayNumber(TDateTime value) { return ovcdate::DateTimeToDayNumber(value); }

bool InRange(TDateTime value) { return ToDayNumber(value) != BadDate; }

} // namespace

// ---- TOvcCalColors ----

TOvcCalColors::TOvcCalColors() {
  for (int i = 0; i < 6; ++i) colors_[i] = SchemeColors[cscalWindows][i];
}

void TOvcCalColors::Changed() {
  if (OnChange) OnChange(this);
}

void TOvcCalColors::SetColor(int index, TColor value) {
  if (colors_[index] == value) return;
  colors_[index] = value;
  Changed();
  if (!applyingScheme_) scheme_ = cscalCustom;
}

void TOvcCalColors::SetColorScheme(TOvcCalColorScheme value) {
  if (value == scheme_) return;
  scheme_ = value;
  if (value == cscalCustom) return;
  applyingScheme_ = true;
  for (int i = 0; i < 6; ++i) colors_[i] = SchemeColors[value][i];
  applyingScheme_ = false;
  Changed();
}

void TOvcCalColors::Assign(const TPersistent *Source) {
  if (auto *other = dynamic_cast<const TOvcCalColors *>(Source)) {
    colors_ = other->colors_;
    scheme_ = other->scheme_;
    OnChange = other->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

// ---- TOvcCustomCalendar ----

TOvcCustomCalendar::TOvcCustomCalendar(TComponent *AOwner) : TOvcCustomControl(AOwner) { Init(); }

TOvcCustomCalendar::TOvcCustomCalendar(TComponent *AOwner, bool AsPopup) : TOvcCustomControl(AOwner) {
  popup_ = AsPopup;
  Init();
}

TOvcCustomCalendar::~TOvcCustomCalendar() { FreeMonthMenu(); }

void TOvcCustomCalendar::Init() {
  RegisterCalendarGlyphs();
  colors_.OnChange = TNotifyEvent(this, &TOvcCustomCalendar::ColorsChanged);
  SetTabStop(true);
  SetControlStyle(ControlStyle().Set(csDoubleClicks, wantDblClicks_));
  Font()->SetName(QStringLiteral("MS Sans Serif"));
  Font()->SetSize(8);
  static const char *const glyphs[6] = {"ORLEFTARROW",  "ORRIGHTARROW", "ORRIGHTARROWS",
                                        "ORLEFTARROWS", "ORREVERT",     "ORTODAY"};
  for (int i = 0; i < 6; ++i) buttons_[i] = MakeButton(QLatin1String(glyphs[i]));
  SetBounds(Left(), Top(), 200, 140);
}

TSpeedButton *TOvcCustomCalendar::MakeButton(const QString &Glyph) {
  auto *button = new TSpeedButton(this);
  if (auto bitmap = LoadControlBitmap(Glyph)) button->SetGlyph(bitmap.get());
  button->OnClick = TNotifyEvent(this, &TOvcCustomCalendar::ButtonClick);
  button->SetParent(this);
  return button;
}

void TOvcCustomCalendar::CreateParams(TCreateParams &Params) {
  TOvcCustomControl::CreateParams(Params);
  if (borderStyle_ == bsSingle) Params.Style |= WS_BORDER;
  if (popup_) Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP | WS_BORDER;
  if (borderStyle_ == bsSingle && (Ctl3D() || popup_)) {
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (!popup_) Params.Style &= ~WS_BORDER;
  }
}

void TOvcCustomCalendar::CreateWnd() {
  TOvcCustomControl::CreateWnd();
  CalcLayout();
  if (date_ == 0) MoveTo(NearestEnabled(std::trunc(::Date()) - 1, 1));
}

void TOvcCustomCalendar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TOvcCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  CalcLayout();
}

void TOvcCustomCalendar::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_ERASEBKGND: Message.Result = 1; return;
  case WM_GETDLGCODE:
    Message.Result = 1; // DLGC_WANTARROWS
    return;
  case CM_FONTCHANGED:
  case CM_CTL3DCHANGED:
    TOvcCustomControl::WndProc(Message);
    CalcLayout();
    Invalidate();
    return;
  default: TOvcCustomControl::WndProc(Message);
  }
}

// ---- properties ----

void TOvcCustomCalendar::ColorsChanged(TObject *) { Invalidate(); }

void TOvcCustomCalendar::SetBorderStyle(TBorderStyle Value) {
  if (Value == borderStyle_) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TOvcCustomCalendar::SetWantDblClicks(bool Value) {
  if (Value == wantDblClicks_) return;
  wantDblClicks_ = Value;
  SetControlStyle(ControlStyle().Set(csDoubleClicks, Value));
  RecreateWnd();
}

void TOvcCustomCalendar::SetOptions(TOvcCalDisplayOptions Value) {
  if (Value == options_) return;
  options_ = Value;
  CalcLayout();
  Invalidate();
}

void TOvcCustomCalendar::SetDateFormat(TOvcDateFormat Value) {
  if (Value == dateFormat_) return;
  dateFormat_ = Value;
  Invalidate();
}

void TOvcCustomCalendar::SetDayNameWidth(TOvcDayNameWidth Value) {
  if (Value == dayNameWidth_) return;
  dayNameWidth_ = Value;
  Invalidate();
}

void TOvcCustomCalendar::SetWeekStarts(TOvcDayType Value) {
  if (Value == weekStarts_) return;
  weekStarts_ = Value;
  if (!ComponentState().Contains(csLoading)) RebuildCellMap();
  Invalidate();
}

// ---- dates ----

TDateTime TOvcCustomCalendar::NearestEnabled(TDateTime Start, int Step) {
  // Candidates outside the supported years are skipped rather than handed to the application.
  for (int i = 1; i <= 999; ++i) {
    TDateTime after = Start + Step * i;
    if (InRange(after) && DoOnGetDateEnabled(after)) return after;
    TDateTime before = Start - Step * i;
    if (InRange(before) && DoOnGetDateEnabled(before)) return before;
  }
  throw EOvcException(LibraryMessageText(msg::InvalidDate));
}

void TOvcCustomCalendar::SetDate(TDateTime Value) {
  Value = std::trunc(Value);
  if (!InRange(Value) || Value == date_) return;
  if (!InRange(Value - 1) || !InRange(Value + 1)) return;
  MoveTo(NearestEnabled(Value - 1, 1));
}

void TOvcCustomCalendar::MoveTo(TDateTime Value) {
  if (Value == date_) return;
  int oldMonth = month_, oldYear = year_, oldCell = CurrentCell();
  date_ = Value;
  DecodeDate(date_, year_, month_, day_);
  RebuildCellMap();
  if (month_ == oldMonth && year_ == oldYear) {
    InvalidateCell(oldCell);
    InvalidateCell(CurrentCell());
  } else {
    Invalidate();
  }
}

void TOvcCustomCalendar::RebuildCellMap() {
  if (month_ == 0) return;
  int weekday = ovcdate::DayOfWeekDMY(1, month_, year_, 0);
  int column = weekday - int(weekStarts_) + 1;
  if (column < 1) column += 7;
  firstCell_ = column;
  int length = ovcdate::DaysInMonth(month_, year_, 0);
  int prevLength = month_ == 1 ? 31 : ovcdate::DaysInMonth(month_ - 1, year_, 0);
  lastCell_ = firstCell_ + length - 1;
  for (int cell = 1; cell < firstCell_; ++cell) cellMap_[cell - 1] = prevLength - (firstCell_ - 1 - cell);
  int day = 1;
  for (int cell = firstCell_; cell <= 49; ++cell) {
    cellMap_[cell - 1] = day;
    day = day == length ? 1 : day + 1;
  }
}

TDateTime TOvcCustomCalendar::ClampedDate(int Year, int Month, int Day) const {
  while (Month < 1) {
    Month += 12;
    --Year;
  }
  while (Month > 12) {
    Month -= 12;
    ++Year;
  }
  if (Year < MinYear || Year > MaxYear) return date_;
  Day = std::min(Day, ovcdate::DaysInMonth(Month, Year, 0));
  return EncodeDate(Year, Month, Day);
}

void TOvcCustomCalendar::InvalidateCell(int Cell) {
  if (Cell < 1 || Cell > 49) return;
  TRect r = cells_[2 + (Cell - 1) / 7][(Cell - 1) % 7];
  InvalidateRect(&r);
}

bool TOvcCustomCalendar::DoOnGetDateEnabled(TDateTime Value) {
  bool enabled = true;
  if (OnGetDateEnabled) OnGetDateEnabled(this, Value, enabled);
  return enabled;
}

void TOvcCustomCalendar::DoOnChange(TDateTime Value) {
  if (OnChange) OnChange(this, Value);
}

// ---- layout ----

void TOvcCustomCalendar::CalcLayout() {
  bool flat = !(Ctl3D() || popup_);
  for (auto *b : buttons_) b->SetFlat(flat);
  buttons_[btnRevert]->SetVisible(options_.Contains(cdoShowRevert));
  buttons_[btnToday]->SetVisible(options_.Contains(cdoShowToday));
  for (Btn b : {btnPrevMonth, btnNextMonth, btnNextYear, btnPrevYear})
    buttons_[b]->SetVisible(options_.Contains(cdoShowNavBtns));

  int cw = ClientWidth(), ch = ClientHeight();
  int usable = cw - 8;
  int colWidth[7];
  for (int c = 0; c < 7; ++c) colWidth[c] = usable / 7 + (c < usable % 7 ? 1 : 0);

  Canvas()->SetFont(Font());
  int t = Canvas()->TextHeight(QStringLiteral("Yy"));
  int rowHeight[9];
  rowHeight[0] = int(std::lround(t * 1.4));
  rowHeight[1] = int(std::lround(t * 1.5));
  int week = (ch - 8 - rowHeight[0] - rowHeight[1]) / 7;
  for (int r = 2; r < 9; ++r) rowHeight[r] = week;
  int used = 0;
  for (int h : rowHeight) used += h;
  int left = ch - 8 - used;
  rowHeight[1] += left / 2;
  rowHeight[0] += left - left / 2;

  int y = 4;
  for (int r = 0; r < 9; ++r) {
    int x = 4;
    for (int c = 0; c < 7; ++c) {
      cells_[r][c] = TRect{x, y, x + colWidth[c], y + rowHeight[r]};
      x += colWidth[c];
    }
    y += rowHeight[r];
  }

  auto width = [this](Btn b, int w) {
    const TBitmap *glyph = buttons_[b]->Glyph();
    int min = glyph ? glyph->Width() + 3 : 3;
    return std::max(w, min);
  };
  int navH = rowHeight[0] - 4;
  int navW = colWidth[0] - 4;
  int w = width(btnNextYear, navW);
  buttons_[btnNextYear]->SetBounds(cw - 4 - w, 4, w, navH);
  int wPrevYear = width(btnPrevYear, navW);
  buttons_[btnPrevYear]->SetBounds(4, 4, wPrevYear, navH);
  buttons_[btnPrevMonth]->SetBounds(4 + wPrevYear, 4, width(btnPrevMonth, navW), navH);
  int wNextMonth = width(btnNextMonth, navW);
  buttons_[btnNextMonth]->SetBounds(cw - 4 - w - wNextMonth, 4, wNextMonth, navH);
  int wide = colWidth[0] * 2 - 4;
  int wToday = width(btnToday, wide);
  buttons_[btnToday]->SetBounds(cw - 4 - wToday, ch - 4 - week, wToday, week);
  int wRevert = width(btnRevert, wide);
  buttons_[btnRevert]->SetBounds(cw - 4 - wToday - 4 - wRevert, ch - 4 - week, wRevert, week);
}

// ---- painting ----

QString TOvcCustomCalendar::TitleText() {
  bool year = options_.Contains(cdoShowYear);
  QString format = dateFormat_ == dfLong ? (year ? QStringLiteral("mmmm yyyy") : QStringLiteral("mmmm"))
                                         : (year ? QStringLiteral("mmm yyyy") : QStringLiteral("mmm"));
  QString text = FormatDateTime(format, date_);
  if (dateFormat_ == dfLong) {
    Canvas()->SetFont(Font());
    int room = cells_[0][6].Left - cells_[0][1].Left;
    if (Canvas()->TextWidth(text) > room) text = FormatDateTime(QStringLiteral("mmm yyyy"), date_);
  }
  return text;
}

void TOvcCustomCalendar::Paint() {
  TCanvas *canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(ClientRect());
  canvas->Brush()->SetStyle(bsClear);
  auto centred = [canvas](const QString &text, TRect r) {
    canvas->DrawText(text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  };

  // Title.
  TRect title{cells_[0][0].Left, cells_[0][0].Top, cells_[0][6].Right, cells_[0][0].Bottom};
  canvas->Font()->SetColor(colors_.MonthAndYear());
  if (OnDrawDate)
    OnDrawDate(this, date_, title);
  else
    centred(TitleText(), title);

  // Day names.
  canvas->Font()->SetColor(colors_.DayNames());
  int sundayCol = -1, saturdayCol = -1;
  for (int c = 0; c < 7; ++c) {
    int weekday = (int(weekStarts_) + c) % 7;
    if (weekday == 0) sundayCol = c;
    if (weekday == 6) saturdayCol = c;
    centred(Settings().ShortDayNames[weekday].left(dayNameWidth_), cells_[1][c]);
  }

  // Separator under the day names.
  int bottom = cells_[1][0].Bottom;
  if (Ctl3D()) {
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->MoveTo(0, bottom - 3);
    canvas->LineTo(ClientWidth(), bottom - 3);
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(0, bottom - 2);
    canvas->LineTo(ClientWidth(), bottom - 2);
  } else if (borderStyle_ == bsSingle) {
    canvas->Pen()->SetColor(Font()->Color());
    canvas->MoveTo(0, bottom - 3);
    canvas->LineTo(ClientWidth(), bottom - 3);
  }

  // Days.
  int current = CurrentCell();
  for (int r = 2; r < 9; ++r) {
    for (int c = 0; c < 7; ++c) {
      if (r == 8 && options_.Contains(cdoShowRevert) && c >= 3) continue;
      if (r == 8 && options_.Contains(cdoShowToday) && c >= 5) continue;
      int cell = (r - 2) * 7 + c + 1;
      TColor color = (c == sundayCol || c == saturdayCol) ? colors_.Weekend() : colors_.Days();
      if (cell < firstCell_ || cell > lastCell_) {
        if (!options_.Contains(cdoShowInactive)) continue;
        color = colors_.InactiveDays();
      }
      TDateTime cellDate = date_ + (cell - current);
      if (OnGetHighlight) OnGetHighlight(this, cellDate, color);
      canvas->Font()->SetColor(color);
      if (OnDrawItem)
        OnDrawItem(this, cellDate, cells_[r][c]);
      else
        centred(QString::number(cellMap_[cell - 1]), cells_[r][c]);
    }
  }

  // The current day as a button face.
  if (!OnDrawItem && !options_.Contains(cdoHideActive) && current >= 1 && current <= 49) {
    TRect r = cells_[2 + (current - 1) / 7][(current - 1) % 7];
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnFace);
    TRect inner = DrawButtonFace(canvas, r, 1, Focused(), false);
    (void)inner;
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(colors_.ActiveDay());
    centred(QString::number(day_), r);
  }
}

// ---- focus ----

void TOvcCustomCalendar::DoEnter() {
  TOvcCustomControl::DoEnter();
  revertDate_ = date_;
  InvalidateCell(CurrentCell());
}

void TOvcCustomCalendar::DoExit() {
  TOvcCustomControl::DoExit();
  InvalidateCell(CurrentCell());
}

// ---- keyboard ----

void TOvcCustomCalendar::KeyDown(WORD &Key, TShiftState Shift) {
  TOvcCustomControl::KeyDown(Key, Shift);
  if (GetReadOnly()) return;
  bool ctrl = Shift.Contains(ssCtrl);
  bool none = Shift.Empty();
  TDateTime old = date_;
  auto atOrAfter = [this](TDateTime d) { MoveTo(NearestEnabled(d - 1, 1)); };
  auto atOrBefore = [this](TDateTime d) { MoveTo(NearestEnabled(d + 1, -1)); };
  switch (Key) {
  case VK_BACK:
    if (Shift.Contains(ssAlt)) atOrAfter(std::trunc(::Date()));
    break;
  case VK_ESCAPE:
    if (none) atOrAfter(revertDate_);
    break;
  case VK_PRIOR:
    if (none) atOrAfter(ClampedDate(year_, month_ - 1, day_));
    if (ctrl) atOrAfter(ClampedDate(year_ - 1, month_, day_));
    break;
  case VK_NEXT:
    if (none) atOrAfter(ClampedDate(year_, month_ + 1, day_));
    if (ctrl) atOrAfter(ClampedDate(year_ + 1, month_, day_));
    break;
  case VK_HOME:
    if (none) atOrAfter(EncodeDate(year_, month_, 1));
    if (ctrl) atOrAfter(EncodeDate(year_, 1, 1));
    break;
  case VK_END:
    if (none) atOrBefore(EncodeDate(year_, month_, ovcdate::DaysInMonth(month_, year_, 0)));
    if (ctrl) atOrBefore(EncodeDate(year_, 12, 31));
    break;
  case VK_LEFT:
    if (none) MoveTo(NearestEnabled(date_, -1));
    break;
  case VK_RIGHT:
    if (none) MoveTo(NearestEnabled(date_, 1));
    break;
  case VK_UP:
    if (none) MoveTo(NearestEnabled(date_, -7));
    break;
  case VK_DOWN:
    if (none) MoveTo(NearestEnabled(date_, 7));
    break;
  default: break;
  }
  if (date_ != old) {
    dateChanging_ = true;
    DoOnChange(date_);
    dateChanging_ = false;
  }
}

void TOvcCustomCalendar::KeyPress(QChar &Key) {
  TOvcCustomControl::KeyPress(Key);
  if (GetReadOnly()) return;
  switch (Key.unicode()) {
  case '+': MoveTo(NearestEnabled(date_, 1)); break;
  case '-': MoveTo(NearestEnabled(date_, -1)); break;
  case ' ':
  case '\r': DoOnChange(date_); break;
  case 26: MoveTo(NearestEnabled(std::trunc(::Date()) - 1, 1)); break;
  default: break;
  }
}

void TOvcCustomCalendar::DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos) {
  TOvcCustomControl::DoOnMouseWheel(Shift, Delta, XPos, YPos);
  int magnitude = std::abs(Delta);
  if (magnitude == 0) return;
  WORD key;
  TShiftState shift;
  if (magnitude == 120) {
    key = Delta > 0 ? VK_PRIOR : VK_NEXT;
  } else if (magnitude < 120) {
    key = Delta > 0 ? VK_UP : VK_DOWN;
  } else {
    key = Delta > 0 ? VK_PRIOR : VK_NEXT;
    shift = {ssCtrl};
  }
  KeyDown(key, shift);
}

void TOvcCustomCalendar::ButtonClick(TObject *Sender) {
  if (CanFocus()) SetFocus();
  WORD key = 0;
  TShiftState shift;
  if (Sender == buttons_[btnPrevMonth]) {
    key = VK_PRIOR;
  } else if (Sender == buttons_[btnNextMonth]) {
    key = VK_NEXT;
  } else if (Sender == buttons_[btnPrevYear]) {
    key = VK_PRIOR;
    shift = {ssCtrl};
  } else if (Sender == buttons_[btnNextYear]) {
    key = VK_NEXT;
    shift = {ssCtrl};
  } else if (Sender == buttons_[btnRevert]) {
    key = VK_ESCAPE;
  } else if (Sender == buttons_[btnToday]) {
    key = VK_BACK;
    shift = {ssAlt};
  }
  if (key) KeyDown(key, shift);
}

// ---- mouse ----

bool TOvcCustomCalendar::CellAt(int X, int Y, int &Cell) const {
  for (int r = 2; r < 9; ++r)
    for (int c = 0; c < 7; ++c) {
      const TRect &rc = cells_[r][c];
      if (X >= rc.Left && X < rc.Right && Y >= rc.Top && Y < rc.Bottom) {
        Cell = (r - 2) * 7 + c + 1;
        return true;
      }
    }
  return false;
}

void TOvcCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (menuShowing_) return;
  if (CanFocus()) SetFocus();
  TOvcCustomControl::MouseDown(Button, Shift, X, Y);
  if (GetReadOnly()) return;
  if (MouseCapture()) {
    for (Btn b : {btnPrevMonth, btnNextMonth, btnNextYear, btnPrevYear, btnRevert, btnToday}) {
      TSpeedButton *button = buttons_[b];
      TRect r = button->BoundsRect();
      if (button->Visible() && X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom) {
        button->Click();
        return;
      }
    }
  }
  int cell = 0;
  if (!CellAt(X, Y, cell)) return;
  int current = CurrentCell();
  bool hitCurrent = cell == current;
  bool accepted = false;
  int oldMonth = month_;
  if (!hitCurrent) {
    TDateTime target = date_ + (cell - current);
    bool inMonth = cell >= firstCell_ && cell <= lastCell_;
    if (InRange(target) && DoOnGetDateEnabled(target) && (inMonth || options_.Contains(cdoShowInactive))) {
      MoveTo(target);
      accepted = true;
    }
  }
  if (Button == mbLeft && (hitCurrent || accepted)) {
    dateChanging_ = month_ != oldMonth;
    DoOnChange(date_);
    dateChanging_ = false;
  }
}

void TOvcCustomCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TOvcCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbRight || PopupMenu()) return;
  const TRect &title = cells_[0][0];
  int left = buttons_[btnPrevYear]->BoundsRect().Right;
  int right = buttons_[btnNextYear]->BoundsRect().Left;
  if (Y >= title.Top && Y < title.Bottom && X >= left && X < right) ShowMonthMenu(X, Y);
}

void TOvcCustomCalendar::ShowMonthMenu(int X, int Y) {
  if (!Focused() && CanFocus()) SetFocus();
  bool hadCapture = MouseCapture();
  FreeMonthMenu();
  monthMenu_ = std::make_unique<TPopupMenu>(nullptr);
  for (int position = 0; position < 7; ++position) {
    int month = (month_ - 1 + position - 3 + 12) % 12 + 1;
    auto *item = new TMenuItem(nullptr); // freed by FreeMonthMenu
    item->SetCaption(Settings().LongMonthNames[month - 1]);
    item->SetEnabled(Enabled());
    item->SetTag(month);
    item->OnClick = TNotifyEvent(this, &TOvcCustomCalendar::MonthItemClick);
    monthMenu_->Items()->Add(item);
  }
  TPoint at = ClientToScreen(TPoint{X - 20, Y - 7 * GetSystemMetrics(SM_CYMENU) / 2});
  if (HandleAllocated()) PostMessage(WindowHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, Y + 1));
  menuShowing_ = true;
  QObject::connect(monthMenu_->MenuWidget(), &QMenu::aboutToHide, monthMenu_->MenuWidget(),
                   [this, hadCapture] {
                     menuShowing_ = false;
                     if (hadCapture) SetMouseCapture(true);
                   });
  monthMenu_->Popup(at.X, at.Y);
}

void TOvcCustomCalendar::FreeMonthMenu() {
  if (!monthMenu_) return;
  QObject::disconnect(monthMenu_->MenuWidget(), &QMenu::aboutToHide, nullptr, nullptr);
  // The items go first, while the menu they sit in is whole.
  while (monthMenu_->Items()->Count() > 0) monthMenu_->Items()->Items(0)->Free();
  monthMenu_.reset();
  menuShowing_ = false;
}

void TOvcCustomCalendar::MonthItemClick(TObject *Sender) {
  auto *item = dynamic_cast<TMenuItem *>(Sender);
  if (item) MonthMenuPick(item->Tag(), item->MenuIndex());
}

void TOvcCustomCalendar::MonthMenuPick(int Month, int Position) {
  int year = year_;
  if (Month > month_ && Position < 3) --year;
  if (Month < month_ && Position >= 4) ++year;
  TDateTime target = ClampedDate(year, Month, day_);
  MoveTo(NearestEnabled(target - 1, 1));
  DoOnChange(date_);
}
