// Popup edits: an edit whose button opens a small window under it (TCustomPopupEdit), the popup window
// (TPopupEditWindow), and the popup that shows a month calendar (TPopupEditCalendar with its TLocCalendar).
//
// The popup is a tool window with a thin border, shown at a screen point without taking the activation
// from the form: the edit keeps the keyboard focus (its caret hidden) and hands the popup the keys it uses
// (arrows, Page Up and Page Down, Home and End). Enter accepts the popup's value, Escape and Tab close it
// without. A mouse button released on the popup accepts, released anywhere else closes it without; a click
// on a day of the calendar accepts that day. Closing gives the value to the edit (when accepted and the edit
// may be changed) and the focus back to it.
#pragma once
#include "controls/edits/edit_button.h"
#include "platform/core/variant.h"
#include <memory>

class QObject;

using TCloseUpEvent = TEvent<void(TObject *Sender, bool Accept)>;

// ---- TPopupEditWindow ----

class TPopupEditWindow : public TCustomControl {
public:
  explicit TPopupEditWindow(TComponent *AOwner);
  ~TPopupEditWindow() override;
  QString ClassName() const override { return QStringLiteral("TPopupEditWindow"); }
  void WndProc(TMessage &Message) override;

  // The value shown: what the edit's text gives (Null for none) in, the chosen value out.
  virtual Variant GetValue() const { return value_; }
  virtual void SetValue(const Variant &Value) { value_ = Value; }
  // Shows the window with its top-left corner at a screen point, without activating it.
  void ShowAt(const TPoint &ScreenPos);
  void HidePopup();
  bool PopupShowing() const;
  // Ends the popup with its value accepted or not (OnCloseUp tells the edit).
  void CloseUp(bool Accept);
  // A key the edit hands on while the popup is open; Key becomes 0 when the popup used it.
  virtual void PopupKeyDown(WORD &Key, TShiftState Shift) {}

  TCloseUpEvent OnCloseUp;

protected:
  void CreateParams(TCreateParams &Params) override;
  void CreateWnd() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;

private:
  Variant value_ = Variant::Null();
};

// ---- TLocCalendar ----

// A month laid out as a grid: a row of day names, then up to six weeks; the chosen day highlighted and
// today's cell framed. Flat, without border or tab stop, in its parent's colour.
class TLocCalendar : public TCustomControl {
public:
  explicit TLocCalendar(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TLocCalendar"); }
  void WndProc(TMessage &Message) override;

  TDateTime CalendarDate() const { return date_; }
  // The date without its time of day; fires OnChange when it changes.
  void SetCalendarDate(TDateTime Value);
  int Year() const;
  int Month() const;
  int Day() const;
  // The first day of the week in the grid: 0 Sunday .. 6 Saturday (from the user's locale at first).
  int StartOfWeek() const { return startOfWeek_; }
  void SetStartOfWeek(int Value);
  // Moves the date by months (the day kept within the month's days).
  void ChangeMonth(int Months);

  // Grid geometry (client coordinates): 7 columns, row 0 the day names.
  TRect CellRect(int Col, int Row) const;
  // The day of the shown month in a cell, 0 for an empty cell or the names' row.
  int DayInCell(int Col, int Row) const;
  // The cell that shows a day of the shown month.
  void CellOfDay(int Day, int &Col, int &Row) const;

  // The date changed.
  TNotifyEvent OnChange;
  // A day was clicked (pressed and released on the same day).
  TNotifyEvent OnDayClick;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD &Key, TShiftState Shift) override;

private:
  // The column of the month's first day.
  int FirstColumn() const;
  bool CellAt(int X, int Y, int &Col, int &Row) const;

  TDateTime date_ = 0;
  int startOfWeek_ = 0;
  int pressedDay_ = 0;
};

// ---- TPopupEditCalendar ----

class TPopupCalendarTitle;

class TPopupEditCalendar : public TPopupEditWindow {
public:
  explicit TPopupEditCalendar(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TPopupEditCalendar"); }

  static constexpr int MinWidth = 180;
  static constexpr int MinHeight = 120;
  static constexpr int TitleHeight = 18;

  // A date (with the time of day the value came with); an empty value or a text that is no date shows today.
  Variant GetValue() const override;
  void SetValue(const Variant &Value) override;
  // Page Up / Page Down a month back or on (a year with Ctrl); the arrows move the day.
  void PopupKeyDown(WORD &Key, TShiftState Shift) override;

  TLocCalendar *Calendar() const { return calendar_; }
  // The month title: "MMMM, YYYY" of the shown date.
  QString TitleText() const;
  TSpeedButton *PrevYearButton() const { return prevYear_; }
  TSpeedButton *PrevMonthButton() const { return prevMonth_; }
  TSpeedButton *NextMonthButton() const { return nextMonth_; }
  TSpeedButton *NextYearButton() const { return nextYear_; }
  // The month title; a click on it shows today's month.
  TControl *Title() const;

protected:
  void Resize() override;

private:
  void Layout();
  void CalendarChanged(TObject *Sender);
  void DayClicked(TObject *Sender);
  void ButtonClicked(TObject *Sender);
  void TitleClicked(TObject *Sender);

  TLocCalendar *calendar_ = nullptr;
  TPopupCalendarTitle *title_ = nullptr;
  TSpeedButton *prevYear_ = nullptr;
  TSpeedButton *prevMonth_ = nullptr;
  TSpeedButton *nextMonth_ = nullptr;
  TSpeedButton *nextYear_ = nullptr;
  double timeOfDay_ = 0;
};

// ---- TCustomPopupEdit ----

class TCustomPopupEdit : public TCustomEditButton {
public:
  explicit TCustomPopupEdit(TComponent *AOwner);
  ~TCustomPopupEdit() override;
  QString ClassName() const override { return QStringLiteral("TCustomPopupEdit"); }
  void WndProc(TMessage &Message) override;
  void BeforeDestruction() override;

  // The popup (none while designing).
  TPopupEditWindow *Popup() const { return popup_; }
  TColor PopupColor() const { return popupColor_; }
  void SetPopupColor(TColor Value);
  // Which edge of the edit the popup lines up with (left or right).
  TAlignment PopupAlign() const { return popupAlign_; }
  void SetPopupAlign(TAlignment Value) { popupAlign_ = Value; }
  // Whether the popup is open.
  bool PopupVisible() const { return popupVisible_; }

  // The button opens the popup (or closes it without a value when open), where the edit has a popup to
  // show (CanPopup), and fires OnButtonClick.
  void ButtonClick() override;
  void PopupDropDown();
  void PopupCloseUp(bool Accept);
  // Where the popup goes for the edit's place on the screen: under it, or above it when it would leave the
  // bottom of the screen; lined up with the edit's left or right edge and kept on the screen.
  TPoint PopupPosition() const;

protected:
  // Whether the button opens the popup: there is one, and the button is a drop-down or calendar button.
  virtual bool CanPopup() const;
  // The value the popup opens with: the text, Null when it is empty.
  virtual Variant PopupValue() const;
  // Takes an accepted value from the popup: the default shows it as text.
  virtual void AcceptPopupValue(const Variant &Value);
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void KeyPress(QChar &Key) override;

private:
  void PopupClosed(TObject *Sender, bool Accept);

  TPopupEditWindow *popup_ = nullptr;
  TColor popupColor_ = clBtnFace;
  TAlignment popupAlign_ = taLeftJustify;
  bool popupVisible_ = false;
  // The character of a key the popup took (Enter, Escape), so that it types nothing afterwards.
  QChar swallowChar_;
  std::unique_ptr<QObject> mouseWatcher_;
};
