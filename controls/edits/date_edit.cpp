#include "controls/edits/date_edit.h"
#include "controls/edits/calendar_glyphs.h"
#include "controls/framework/control_helpers.h"
#include "controls/framework/controller.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include "platform/core/format_settings.h"
#include "platform/core/intl_profile.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include <cmath>

namespace {

TDateTime Today() { return std::trunc(::Date()); }

bool IsIntegerText(const QString &token, int &value) {
  bool ok = false;
  value = token.toInt(&ok);
  return ok;
}

// Maximal runs of 0..9 and A..Z; everything else separates.
QStringList Tokens(const QString &upper) {
  QStringList tokens;
  QString run;
  for (QChar c : upper) {
    bool word =
        (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    if (word) {
      run += c;
    } else if (!run.isEmpty()) {
      tokens << run;
      run.clear();
    }
  }
  if (!run.isEmpty()) tokens << run;
  return tokens;
}

[[noreturn]] void RaiseQuoted(int messageNumber, const QString &token) {
  throw EOvcException(LibraryMessageText(messageNumber) + QStringLiteral(" \"") + token + QLatin1Char('"'));
}

} // namespace

TOvcCustomDateEdit::TOvcCustomDateEdit(TComponent *AOwner) : TOvcEdPopup(AOwner) {
  RegisterCalendarGlyphs();
  todayString_ = QString(Settings().DateSeparator);
  QString iDate = GetProfileString(QStringLiteral("intl"), QStringLiteral("iDate"), QStringLiteral("0"));
  int order = iDate.isEmpty() ? 0 : iDate[0].unicode() - '0';
  order_ = order >= 0 && order <= 2 ? DateOrder(order) : doMDY;
  if (auto glyph = LoadControlBitmap(QStringLiteral("ORBTNCAL"))) SetButtonGlyph(glyph.get());

  calendar_ = new TOvcCalendar(this, true);
  calendar_->SetVisible(false);
  calendar_->SetBorderStyle(bsSingle);
  calendar_->SetParentFont(false);
  calendar_->OnChange = TDateChangeEvent(this, &TOvcCustomDateEdit::CalendarChange);
  calendar_->OnExit = TNotifyEvent(this, &TOvcCustomDateEdit::CalendarExit);
  calendar_->OnKeyDown = TKeyEvent(this, &TOvcCustomDateEdit::CalendarKeyDown);
  calendar_->OnKeyPress = TKeyPressEvent(this, &TOvcCustomDateEdit::CalendarKeyPress);
  calendar_->OnMouseDown = TMouseEvent(this, &TOvcCustomDateEdit::CalendarMouseDown);
}

TOvcCustomDateEdit::~TOvcCustomDateEdit() = default;

// ---- properties ----

TDateTime TOvcCustomDateEdit::Date() {
  ParseDateText(Text());
  return stored_;
}

void TOvcCustomDateEdit::SetDate(TDateTime Value) {
  stored_ = Value;
  SetText(Value == 0 ? QString() : FormatDateText(Value));
  // After the text, which resets the edit's modified flag.
  SetModified(true);
  if (OnSetDate) OnSetDate(this);
}

int TOvcCustomDateEdit::Epoch() const {
  if (epoch_ != 0 || ComponentState().Contains(csDesigning)) return epoch_;
  TOvcController *controller = Controller();
  return controller ? controller->Epoch() : epoch_;
}

void TOvcCustomDateEdit::SetEpoch(int Value) {
  if (Value == 0 || (Value >= MinYear && Value <= MaxYear)) epoch_ = Value;
}

void TOvcCustomDateEdit::SetForceCentury(bool Value) {
  if (Value == forceCentury_) return;
  forceCentury_ = Value;
  // Re-shown from the edit's own date: the calendar holds no date until the popup has opened once.
  if (stored_ != 0) SetText(FormatDateText(stored_));
}

void TOvcCustomDateEdit::SetReadOnly(bool Value) {
  TOvcEdPopup::SetReadOnly(Value);
  Button()->SetEnabled(!Value);
}

void TOvcCustomDateEdit::SetPopupFont(const TFont *Value) {
  if (Value) calendar_->SetFont(Value);
}

void TOvcCustomDateEdit::GlyphChanged() {
  TBitmap *glyph = ButtonGlyph();
  if (!glyph || glyph->Empty()) {
    if (auto bitmap = LoadControlBitmap(QStringLiteral("ORBTNCAL"))) SetButtonGlyph(bitmap.get());
  }
}

// ---- text and dates ----

QString TOvcCustomDateEdit::FormatDateText(TDateTime Value) {
  QString mask = OvcIntlSup().InternationalDate(forceCentury_);
  if (OnGetDateMask) {
    OnGetDateMask(this, mask);
    QString upper = mask.toUpper();
    auto pos = [&upper](char c) { return int(upper.indexOf(QLatin1Char(c))) + 1; };
    if (pos('M') > pos('Y') || pos('N') > pos('Y'))
      order_ = doYMD;
    else if (pos('M') > pos('D') || pos('N') > pos('D'))
      order_ = doDMY;
    else
      order_ = doMDY;
  }
  return OvcIntlSup().DateToDateString(mask, ovcdate::DateTimeToDayNumber(Value), false);
}

QString TOvcCustomDateEdit::ReplaceRelativePhrase(const QString &Text) {
  QString upper = Text.toUpper();
  auto has = [&upper](std::int32_t number) { return upper.contains(LibraryMessageText(number)); };

  int named = -1;
  for (int i = 0; i < 7 && named < 0; ++i)
    if (upper.contains(Settings().LongDayNames[i].left(3).toUpper())) named = i;

  TDateTime today = Today();
  int year, month, day;
  DecodeDate(today, year, month, day);
  auto weekday = [](TDateTime d) { return DayOfWeek(d) - 1; }; // 0 = Sunday
  int wanted = named >= 0 ? named : weekday(today);
  TDateTime first = EncodeDate(year, month, 1);
  TDateTime last = EncodeDate(year, month, ovcdate::DaysInMonth(month, year, 0));
  auto nextNamed = [&] {
    TDateTime d = today + 1;
    while (weekday(d) != named) d += 1;
    return d;
  };
  auto occurrence = [&](int n) {
    TDateTime d = first - 1;
    for (int found = 0; found < n;) {
      d += 1;
      if (weekday(d) == wanted) ++found;
    }
    return d;
  };

  TDateTime result;
  if (has(msg::Yesterday)) {
    result = today - 1;
  } else if (has(msg::Today)) {
    result = today;
  } else if (has(msg::Tomorrow)) {
    result = today + 1;
  } else if (has(msg::Next)) {
    result = named >= 0 ? nextNamed() : today + 7;
  } else if (has(msg::Last) || has(msg::Prev)) {
    if (named >= 0) {
      result = today - 1;
      while (weekday(result) != named) result -= 1;
    } else {
      result = today - 7;
    }
  } else if (has(msg::First) || has(msg::First2)) {
    result = occurrence(1);
  } else if (has(msg::Second) || has(msg::Second2)) {
    result = occurrence(2);
  } else if (has(msg::Third) || has(msg::Third2)) {
    result = occurrence(3);
  } else if (has(msg::Fourth) || has(msg::Fourth2)) {
    result = occurrence(4);
  } else if (has(msg::Final)) {
    result = last + 1;
    do result -= 1;
    while (weekday(result) != wanted);
  } else if (has(msg::Bom) || has(msg::Begin)) {
    result = first;
  } else if (has(msg::Eom) || has(msg::End)) {
    result = last;
  } else if (named >= 0) {
    result = nextNamed();
  } else {
    return upper;
  }
  return FormatDateText(result);
}

void TOvcCustomDateEdit::ParseDateText(const QString &Text) {
  QString text = Text;
  if (OnPreParseDate) OnPreParseDate(this, text);
  text = ReplaceRelativePhrase(text);
  if (OnGetDate) OnGetDate(this, text);

  if (text.isEmpty() && !requiredFields_.Empty()) {
    stored_ = 0;
    SetText(QString());
    return;
  }
  if (text.compare(todayString_, Qt::CaseInsensitive) == 0) {
    SetDate(Today());
    SetText(FormatDateText(stored_));
    return;
  }

  int todayYear, todayMonth, todayDay;
  DecodeDate(Today(), todayYear, todayMonth, todayDay);
  QStringList tokens = Tokens(text.toUpper());
  int next = 0;
  auto token = [&]() { return next < tokens.size() ? tokens[next] : QString(); };
  auto quoted = [&text](const QString &t) { return t.isEmpty() ? text : t; };
  int day = 0, month = 0, year = 0;
  // A part left out is today's, unless it is required.
  auto orToday = [this](int value, TOvcRequiredDateField part, int required, int today) {
    if (value != 0) return value;
    if (requiredFields_.Contains(part)) throw EOvcException(LibraryMessageText(required));
    return today;
  };

  auto parseDay = [&] {
    QString t = token();
    int value = 0;
    bool bad = false;
    if (!t.isEmpty()) {
      if (!IsIntegerText(t, value)) {
        value = 0;
        bad = true;
      } else if (value < 1 || value > 31) {
        value = 0;
      }
    }
    if (value != 0) ++next;
    value = orToday(value, rfDay, msg::DayRequired, todayDay);
    if (bad) RaiseQuoted(msg::InvalidDay, quoted(t));
    day = value;
  };
  auto parseMonth = [&] {
    QString t = token();
    int value = 0;
    int error = 0;
    if (!t.isEmpty()) {
      if (!t[0].isDigit()) {
        QString prefix = t.left(3);
        for (int i = 0; i < 12 && value == 0; ++i)
          if (Settings().ShortMonthNames[i].toUpper().left(prefix.size()) == prefix) value = i + 1;
        if (value == 0) error = msg::InvalidMonthName;
      } else if (!IsIntegerText(t, value)) {
        value = 0;
        error = msg::InvalidMonth;
      } else if (value < 1 || value > 12) {
        value = 0;
      }
    }
    if (value != 0) ++next;
    value = orToday(value, rfMonth, msg::MonthRequired, todayMonth);
    if (error) RaiseQuoted(error, quoted(t));
    month = value;
  };
  auto parseYear = [&] {
    QString t = token();
    int value = 0;
    bool bad = false;
    if (!t.isEmpty()) {
      if (!IsIntegerText(t, value)) {
        value = 0;
        bad = true;
      }
      if (value < 100) {
        int epoch = Epoch();
        if (epoch == 0) {
          value += todayYear / 100 * 100;
        } else {
          int twoDigit = value;
          value += epoch / 100 * 100;
          if (epoch % 100 > twoDigit) value += 100;
        }
      }
      ++next;
    }
    if (bad) RaiseQuoted(msg::InvalidYear, quoted(t));
    year = orToday(value, rfYear, msg::YearRequired, todayYear);
  };

  switch (order_) {
  case doMDY:
    parseMonth();
    parseDay();
    parseYear();
    break;
  case doDMY:
    parseDay();
    parseMonth();
    parseYear();
    break;
  case doYMD:
    parseYear();
    parseMonth();
    parseDay();
    break;
  }

  try {
    TOvcDayNumber julian = ovcdate::DMYtoDate(day, month, year, Epoch());
    SetDate(ovcdate::DayNumberToDateTime(julian));
    // An impossible date clears the edit; it is not shown as the day the empty date stands for.
    SetText(stored_ == 0 ? QString() : FormatDateText(stored_));
  } catch (const Exception &) {
    RaiseQuoted(msg::InvalidDate, text);
  }
}

// ---- keys and focus ----

void TOvcCustomDateEdit::CommitText() {
  ParseDateText(Text());
  if (!PopupActive() && OnExit) OnExit(this);
}

void TOvcCustomDateEdit::DoExit() {
  ParseDateText(Text());
  if (!PopupActive()) TOvcEdPopup::DoExit();
}

void TOvcCustomDateEdit::KeyDown(WORD &Key, TShiftState Shift) {
  TOvcEdPopup::KeyDown(Key, Shift);
  if (Key == VK_DOWN && Shift.Contains(ssAlt) && ShowButton()) {
    PopupOpen();
    Key = 0;
  }
}

void TOvcCustomDateEdit::KeyPress(QChar &Key) {
  TOvcEdPopup::KeyPress(Key);
  bool up = Key == QLatin1Char('+');
  if ((!up && Key != QLatin1Char('-')) || !allowIncDec_ || ReadOnly()) return;
  CommitText();
  TDateTime base = stored_ == 0 ? Today() : stored_;
  int year, month, day;
  DecodeDate(base, year, month, day);
  day += up ? 1 : -1;
  if (day < 1) {
    if (--month < 1) {
      month = 12;
      --year;
    }
    day = ovcdate::DaysInMonth(month, year, 0);
  } else if (day > ovcdate::DaysInMonth(month, year, 0)) {
    day = 1;
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  if (year >= MinYear && year <= MaxYear) SetDate(EncodeDate(year, month, day));
  Key = QChar();
}

void TOvcCustomDateEdit::FocusEditAt(int Caret) {
  if (CanFocus()) SetFocus();
  SetSelStart(Caret);
  SetSelLength(0);
}

// ---- the popup ----

void TOvcCustomDateEdit::PopupOpen() {
  if (calendar_->Visible()) return;
  // The text is read before the popup counts as open, so that a bad text leaves it closed. OnExit does not
  // fire: the popup is opening.
  ParseDateText(Text());
  TOvcEdPopup::PopupOpen();

  TCustomForm *form = GetParentForm(this);
  calendar_->SetParent(form ? static_cast<TWinControl *>(form) : static_cast<TWinControl *>(this));
  calendar_->SetParentCtl3D(false);
  calendar_->SetCtl3D(false);

  TRect work = Screen()->WorkAreaRect();
  TPoint p = PopupAnchor() == paRight ? TPoint{Width() - calendar_->Width() - 1, Height() - 2}
                                      : TPoint{-3, Height() - 4};
  p = ClientToScreen(p);
  if (!Ctl3D()) {
    p.X += 3;
    p.Y += 3;
  }
  if (p.Y + calendar_->Height() >= work.Bottom) p.Y = p.Y - calendar_->Height() - Height();
  if (p.X + calendar_->Width() >= work.Right) p.X = work.Right - calendar_->Width() - 1;
  if (p.X <= work.Left) p.X = work.Left + 1;
  calendar_->SetBounds(p.X, p.Y, calendar_->Width(), calendar_->Height());

  calendar_->SetDate(Text().isEmpty() ? Today() : stored_);
  savedCursor_ = Cursor();
  SetCursor(crArrow);
  calendar_->Show();
  if (calendar_->CanFocus()) calendar_->SetFocus();
  calendar_->SetMouseCapture(true);
}

void TOvcCustomDateEdit::PopupClose(TObject *Sender) {
  if (!calendar_->Visible() || closing_) return;
  closing_ = true;
  TOvcEdPopup::PopupClose(Sender);
  if (calendar_->MouseCapture()) calendar_->SetMouseCapture(false);
  if (CanFocus()) SetFocus();
  calendar_->Hide();
  SetCursor(savedCursor_);
  calendar_->SetParent(this);
  closing_ = false;
}

void TOvcCustomDateEdit::CalendarChange(TObject *, TDateTime Value) {
  SetDate(Value);
  SetModified(true);
  if (calendar_->DateChanging()) return;
  PopupClose(this);
  FocusEditAt(int(Text().size()));
}

void TOvcCustomDateEdit::CalendarExit(TObject *) { PopupClose(this); }

void TOvcCustomDateEdit::CalendarKeyDown(TObject *, WORD &Key, TShiftState Shift) {
  if (Key == VK_TAB && (Shift.Empty() || Shift == TShiftState{ssShift})) {
    PopupClose(this);
    if (HandleAllocated()) PostMessage(WindowHandle(), WM_KEYDOWN, VK_TAB, 0);
  } else if (Key == VK_UP && Shift.Contains(ssAlt)) {
    int caret = SelStart();
    PopupClose(this);
    FocusEditAt(caret);
  }
}

void TOvcCustomDateEdit::CalendarKeyPress(TObject *, QChar &Key) {
  if (Key == QLatin1Char('\r') || Key == QChar(27) || Key == QLatin1Char(' ')) {
    int caret = SelStart();
    PopupClose(this);
    FocusEditAt(caret);
  }
}

void TOvcCustomDateEdit::CalendarMouseDown(TObject *, TMouseButton, TShiftState, int X, int Y) {
  TRect client = calendar_->ClientRect();
  if (X >= client.Left && X < client.Right && Y >= client.Top && Y < client.Bottom) return;
  int caret = SelStart();
  PopupClose(this);
  TPoint inEdit = ScreenToClient(calendar_->ClientToScreen(TPoint{X, Y}));
  TRect own = ClientRect();
  if (inEdit.X >= own.Left && inEdit.X < own.Right && inEdit.Y >= own.Top && inEdit.Y < own.Bottom)
    FocusEditAt(caret);
}
