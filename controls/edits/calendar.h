// A month calendar: title, day names and a 7 x 7 grid of days, with navigation buttons. The application picks
// which dates are enabled and may draw the title and the cells itself. It also serves as the date edit's
// drop-down, created in popup mode.
#pragma once
#include "controls/framework/base.h"
#include "controls/framework/day_numbers.h"
#include "platform/core/date_time.h"
#include "platform/widgets/std_buttons.h"
#include <array>
#include <memory>

class TPopupMenu;

enum TOvcCalColorScheme { cscalCustom, cscalClassic, cscalWindows, cscalGold, cscalOcean, cscalRose };
enum TOvcCalDisplayOption {
  cdoShortNames,
  cdoShowYear,
  cdoShowInactive,
  cdoShowRevert,
  cdoShowToday,
  cdoShowNavBtns,
  cdoHideActive
};
enum TOvcDateFormat { dfShort, dfLong };
using TOvcDayNameWidth = int;

class TOvcCalDisplayOptions {
public:
  TOvcCalDisplayOptions() = default;
  TOvcCalDisplayOptions(std::initializer_list<TOvcCalDisplayOption> options) {
    for (auto o : options) Include(o);
  }
  bool Contains(TOvcCalDisplayOption o) const { return (bits_ & (1u << o)) != 0; }
  TOvcCalDisplayOptions &Include(TOvcCalDisplayOption o) {
    bits_ |= 1u << o;
    return *this;
  }
  TOvcCalDisplayOptions &Exclude(TOvcCalDisplayOption o) {
    bits_ &= ~(1u << o);
    return *this;
  }
  bool operator==(const TOvcCalDisplayOptions &) const = default;

private:
  unsigned bits_ = 0;
};

// The six colours of a calendar, indexed as the properties are declared.
class TOvcCalColors : public TPersistent {
public:
  enum Index { ciActiveDay, ciDayNames, ciDays, ciInactiveDays, ciMonthAndYear, ciWeekend };

  TOvcCalColors();
  QString ClassName() const override { return QStringLiteral("TOvcCalColors"); }
  void Assign(const TPersistent *Source) override;

  TColor Color(int index) const { return colors_[index]; }
  void SetColor(int index, TColor value);
  TColor ActiveDay() const { return colors_[ciActiveDay]; }
  void SetActiveDay(TColor v) { SetColor(ciActiveDay, v); }
  TColor DayNames() const { return colors_[ciDayNames]; }
  void SetDayNames(TColor v) { SetColor(ciDayNames, v); }
  TColor Days() const { return colors_[ciDays]; }
  void SetDays(TColor v) { SetColor(ciDays, v); }
  TColor InactiveDays() const { return colors_[ciInactiveDays]; }
  void SetInactiveDays(TColor v) { SetColor(ciInactiveDays, v); }
  TColor MonthAndYear() const { return colors_[ciMonthAndYear]; }
  void SetMonthAndYear(TColor v) { SetColor(ciMonthAndYear, v); }
  TColor Weekend() const { return colors_[ciWeekend]; }
  void SetWeekend(TColor v) { SetColor(ciWeekend, v); }

  TOvcCalColorScheme ColorScheme() const { return scheme_; }
  void SetColorScheme(TOvcCalColorScheme value);

  TNotifyEvent OnChange;

private:
  void Changed();

  std::array<TColor, 6> colors_;
  TOvcCalColorScheme scheme_ = cscalCustom;
  bool applyingScheme_ = false;
};

using TDateChangeEvent = TEvent<void(TObject *Sender, TDateTime Date)>;
using TCalendarDateEvent = TEvent<void(TObject *Sender, TDateTime Date, const TRect &Rect)>;
using TGetDateEnabledEvent = TEvent<void(TObject *Sender, TDateTime Date, bool &Enabled)>;
using TGetHighlightEvent = TEvent<void(TObject *Sender, TDateTime Date, TColor &Color)>;

class TOvcCustomCalendar : public TOvcCustomControl {
public:
  enum Btn { btnPrevMonth, btnNextMonth, btnNextYear, btnPrevYear, btnRevert, btnToday };

  explicit TOvcCustomCalendar(TComponent *AOwner);
  TOvcCustomCalendar(TComponent *AOwner, bool AsPopup);
  ~TOvcCustomCalendar() override;
  QString ClassName() const override { return QStringLiteral("TOvcCustomCalendar"); }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage &Message) override;

  TDateTime Date() const { return date_; }
  // Moves to the nearest enabled date at or after Value; ignores bad dates, the current date and the first
  // and last days of the supported range.
  virtual void SetDate(TDateTime Value);
  int Day() const { return day_; }
  int Month() const { return month_; }
  int Year() const { return year_; }

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  bool DateChanging() const { return dateChanging_; }
  TOvcCalColors *Colors() { return &colors_; }
  void SetColors(const TOvcCalColors *Value) { colors_.Assign(Value); }
  TOvcCalDisplayOptions Options() const { return options_; }
  void SetOptions(TOvcCalDisplayOptions Value);
  TOvcDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TOvcDateFormat Value);
  TOvcDayNameWidth DayNameWidth() const { return dayNameWidth_; }
  void SetDayNameWidth(TOvcDayNameWidth Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value) { readOnly_ = Value; }
  bool WantDblClicks() const { return wantDblClicks_; }
  void SetWantDblClicks(bool Value);
  TOvcDayType WeekStarts() const { return weekStarts_; }
  void SetWeekStarts(TOvcDayType Value);
  bool IsPopup() const { return popup_; }
  TSpeedButton *Button(Btn Which) const { return buttons_[Which]; }
  // The month menu last shown from the title (nullptr before the first); its items carry the month in Tag.
  TPopupMenu *MonthMenu() const { return monthMenu_.get(); }
  bool MenuShowing() const { return menuShowing_; }

  // The day number shown in grid cell 1..49, row by row; the cells of the 1st and of the month's last day.
  int CellDay(int Cell) const { return cellMap_[Cell - 1]; }
  int FirstCell() const { return firstCell_; }
  int LastCell() const { return lastCell_; }
  // Rows 0..8 (title, day names, six+one weeks) by columns 0..6.
  TRect CellRect(int Row, int Col) const { return cells_[Row][Col]; }
  // The title text for the current date and width.
  QString TitleText();

  // Nearest enabled date to Start stepping by Step (trying Start + Step*i, then Start - Step*i);
  // EOvcException "Value is not a valid date" when none of the 1998 candidates is enabled.
  TDateTime NearestEnabled(TDateTime Start, int Step);

  TDateChangeEvent OnChange;
  TCalendarDateEvent OnDrawDate;
  TCalendarDateEvent OnDrawItem;
  TGetDateEnabledEvent OnGetDateEnabled;
  TGetHighlightEvent OnGetHighlight;

  using TWinControl::OnExit;
  using TWinControl::OnKeyDown;
  using TWinControl::OnKeyPress;

protected:
  virtual void DoOnChange(TDateTime Value);
  virtual bool DoOnGetDateEnabled(TDateTime Value);
  virtual bool GetReadOnly() const { return readOnly_; }

  void CreateParams(TCreateParams &Params) override;
  void CreateWnd() override;
  void Paint() override;
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void KeyPress(QChar &Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos) override;
  void DoEnter() override;
  void DoExit() override;

  // Handles a click of one of the six buttons as the matching key.
  void ButtonClick(TObject *Sender);
  // Chooses the month-menu item at Position (0..6) holding Month.
  void MonthMenuPick(int Month, int Position);
  void ShowMonthMenu(int X, int Y);
  void MonthItemClick(TObject *Sender);
  void FreeMonthMenu();
  // Recomputes cell rectangles and button places from the client size and font.
  void CalcLayout();

private:
  void Init();
  void ColorsChanged(TObject *Sender);
  void MoveTo(TDateTime Value);
  void RebuildCellMap();
  int CurrentCell() const { return firstCell_ + day_ - 1; }
  bool CellAt(int X, int Y, int &Cell) const;
  void InvalidateCell(int Cell);
  TDateTime ClampedDate(int Year, int Month, int Day) const;
  TSpeedButton *MakeButton(const QString &Glyph);

  TBorderStyle borderStyle_ = bsNone;
  bool dateChanging_ = false;
  TOvcCalColors colors_;
  TOvcCalDisplayOptions options_{cdoShortNames, cdoShowYear,  cdoShowInactive,
                                 cdoShowRevert, cdoShowToday, cdoShowNavBtns};
  TDateTime date_ = 0;
  int day_ = 0, month_ = 0, year_ = 0;
  TOvcDateFormat dateFormat_ = dfLong;
  TOvcDayNameWidth dayNameWidth_ = 3;
  bool readOnly_ = false;
  bool wantDblClicks_ = true;
  TOvcDayType weekStarts_ = TOvcDayType::Sunday;
  std::array<TSpeedButton *, 6> buttons_{};
  bool menuShowing_ = false;
  std::unique_ptr<TPopupMenu> monthMenu_;
  std::array<int, 49> cellMap_{};
  int firstCell_ = 1;
  int lastCell_ = 1;
  TRect cells_[9][7];
  bool popup_ = false;
  TDateTime revertDate_ = 0;
};

class TOvcCalendar : public TOvcCustomCalendar {
public:
  using TOvcCustomCalendar::TOvcCustomCalendar;
  QString ClassName() const override { return QStringLiteral("TOvcCalendar"); }
};
