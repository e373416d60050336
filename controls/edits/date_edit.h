// A one-line date edit with a button that drops down a calendar. Typed text is read in the user's date order
// (numeric or named months, two- or four-digit years) or as a relative phrase ("today", "next fri", "eom"),
// and shown again in the system's date format.
#pragma once
#include "controls/edits/calendar.h"
#include "controls/edits/popup_button_edit.h"

enum TOvcRequiredDateField { rfYear, rfMonth, rfDay };

class TOvcRequiredDateFields {
public:
  TOvcRequiredDateFields() = default;
  TOvcRequiredDateFields(std::initializer_list<TOvcRequiredDateField> fields) {
    for (auto f : fields) bits_ |= 1u << f;
  }
  bool Contains(TOvcRequiredDateField f) const { return (bits_ & (1u << f)) != 0; }
  bool Empty() const { return bits_ == 0; }
  bool operator==(const TOvcRequiredDateFields &) const = default;

private:
  unsigned bits_ = 0;
};

using TOvcGetDateEvent = TEvent<void(TObject *Sender, QString &Value)>;
using TOvcGetDateMaskEvent = TEvent<void(TObject *Sender, QString &Mask)>;
using TOvcPreParseDateEvent = TEvent<void(TObject *Sender, QString &Value)>;

class TOvcCustomDateEdit : public TOvcEdPopup {
public:
  enum DateOrder { doMDY = 0, doDMY = 1, doYMD = 2 };

  explicit TOvcCustomDateEdit(TComponent *AOwner);
  ~TOvcCustomDateEdit() override;
  QString ClassName() const override { return QStringLiteral("TOvcCustomDateEdit"); }

  // Reading parses the current text first (and raises its errors).
  TDateTime Date();
  void SetDate(TDateTime Value);
  int Epoch() const;
  void SetEpoch(int Value);
  bool ForceCentury() const { return forceCentury_; }
  void SetForceCentury(bool Value);
  TOvcRequiredDateFields RequiredFields() const { return requiredFields_; }
  void SetRequiredFields(TOvcRequiredDateFields Value) { requiredFields_ = Value; }
  QString TodayString() const { return todayString_; }
  void SetTodayString(const QString &Value) { todayString_ = Value; }
  bool AllowIncDec() const { return allowIncDec_; }
  void SetAllowIncDec(bool Value) { allowIncDec_ = Value; }
  void SetReadOnly(bool Value);
  DateOrder Order() const { return order_; }

  TOvcCalendar *Calendar() const { return calendar_; }
  TOvcCalColors *PopupColors() const { return calendar_->Colors(); }
  void SetPopupColors(const TOvcCalColors *Value) { calendar_->SetColors(Value); }
  TOvcDateFormat PopupDateFormat() const { return calendar_->DateFormat(); }
  void SetPopupDateFormat(TOvcDateFormat Value) { calendar_->SetDateFormat(Value); }
  TOvcDayNameWidth PopupDayNameWidth() const { return calendar_->DayNameWidth(); }
  void SetPopupDayNameWidth(TOvcDayNameWidth Value) { calendar_->SetDayNameWidth(Value); }
  TFont *PopupFont() const { return calendar_->Font(); }
  void SetPopupFont(const TFont *Value);
  int PopupHeight() const { return calendar_->Height(); }
  void SetPopupHeight(int Value) { calendar_->SetHeight(Value); }
  int PopupWidth() const { return calendar_->Width(); }
  void SetPopupWidth(int Value) { calendar_->SetWidth(Value); }
  TOvcCalDisplayOptions PopupOptions() const { return calendar_->Options(); }
  void SetPopupOptions(TOvcCalDisplayOptions Value) { calendar_->SetOptions(Value); }
  TOvcDayType PopupWeekStarts() const { return calendar_->WeekStarts(); }
  void SetPopupWeekStarts(TOvcDayType Value) { calendar_->SetWeekStarts(Value); }

  virtual QString FormatDateText(TDateTime Value);
  // Sets the date from Text; raises EOvcException for a bad text, leaving date and text as they were.
  virtual void ParseDateText(const QString &Text);

  void PopupOpen() override;
  void PopupClose(TObject *Sender) override;
  void GlyphChanged() override;

  TOvcGetDateEvent OnGetDate;
  TOvcGetDateMaskEvent OnGetDateMask;
  TOvcPreParseDateEvent OnPreParseDate;
  TNotifyEvent OnSetDate;

protected:
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void KeyPress(QChar &Key) override;
  void DoExit() override;

  void CalendarChange(TObject *Sender, TDateTime Value);
  void CalendarExit(TObject *Sender);
  void CalendarKeyDown(TObject *Sender, WORD &Key, TShiftState Shift);
  void CalendarKeyPress(TObject *Sender, QChar &Key);
  void CalendarMouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  TDateTime stored_ = 0;

private:
  // The relative phrase in Text turned into a date's text, or Text upper-cased when it holds none.
  QString ReplaceRelativePhrase(const QString &Text);
  void CommitText();
  void FocusEditAt(int Caret);

  TOvcCalendar *calendar_ = nullptr;
  int epoch_ = 0;
  bool forceCentury_ = false;
  TOvcRequiredDateFields requiredFields_{rfMonth, rfDay};
  QString todayString_;
  bool allowIncDec_ = true;
  DateOrder order_ = doMDY;
  TCursor savedCursor_ = crDefault;
  bool closing_ = false;
};

class TOvcDateEdit : public TOvcCustomDateEdit {
public:
  using TOvcCustomDateEdit::TOvcCustomDateEdit;
  QString ClassName() const override { return QStringLiteral("TOvcDateEdit"); }
};
