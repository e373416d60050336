// The month calendar driven by keys, the wheel and the mouse as a person would: days, the buttons, the
// title's month menu, and what it asks while it paints.
#include "controls/edits/calendar.h"
#include "controls/framework/library_exceptions.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/widgets/menus.h"
#include "platform/windowing/forms.h"
#include "tests/platform/raises.h"
#include "tests/platform/std_test_helpers.h"
#include <QMenu>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <vector>

namespace {

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

// A calendar on a shown form, focused, with the clock on Wednesday 15 May 2024; OnChange records each date
// and whether the calendar was changing it.
class CalendarTest : public stdtest::FormTest {
protected:
  CalendarTest() : settings_(FormatSettings::USEnglish()), clock_(EncodeDate(2024, 5, 15)) {}
  void SetUp() override {
    stdtest::FormTest::SetUp();
    cal = Add<TOvcCalendar>(10, 10, 220, 160);
    cal->OnChange = TDateChangeEvent::From([this](TObject *, TDateTime d) {
      changes.push_back(d);
      changingFlags.push_back(cal->DateChanging());
    });
    Show();
    cal->SetFocus();
    guitest::ProcessEvents();
  }
  void ClickCell(int row, int col) {
    const TRect cell = cal->CellRect(row, col);
    guitest::Click(cal, QPoint(cell.Left + 2, cell.Top + 2));
  }
  void Wheel(int delta) {
    QWidget *w = cal->Widget();
    QWheelEvent wheel(QPointF(20, 20), QPointF(w->mapToGlobal(QPoint(20, 20))), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
  }

  FormatSettingsGuard settings_;
  ClockGuard clock_;
  TOvcCalendar *cal = nullptr;
  std::vector<TDateTime> changes;
  std::vector<bool> changingFlags;
};

TEST(CalColorsTest, SchemesAndBackToCustom) {
  TOvcCalColors colors;
  int notices = 0;
  colors.OnChange = TNotifyEvent::From([&notices](TObject *) { ++notices; });
  colors.SetColorScheme(cscalGold);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(std::tuple(colors.ColorScheme(), colors.Days(), colors.Weekend()),
            std::tuple(cscalGold, clYellow, clTeal));
  colors.SetActiveDay(clGreen);
  EXPECT_EQ(colors.ColorScheme(), cscalCustom);
  EXPECT_EQ(notices, 2);
}

TEST_F(CalendarTest, CellMapForWeekStarts) {
  // September 2024 starts on a Sunday.
  cal->SetDate(D(2024, 9, 10));
  EXPECT_EQ(cal->FirstCell(), 1);
  cal->SetWeekStarts(TOvcDayType::Monday);
  EXPECT_EQ(cal->FirstCell(), 7);
  // Six cells of August's last days, counting down to the 31st.
  std::vector<int> lead;
  for (int c = 1; c <= 6; ++c) lead.push_back(cal->CellDay(c));
  EXPECT_EQ(lead, (std::vector<int>{26, 27, 28, 29, 30, 31}));
  // January borrows December's length.
  cal->SetWeekStarts(TOvcDayType::Sunday);
  cal->SetDate(D(2025, 1, 5)); // 1 January 2025 is a Wednesday
  EXPECT_EQ(cal->FirstCell(), 4);
  EXPECT_EQ(cal->CellDay(3), 31);
}

// Keys and characters move the date, telling OnChange (changing while told) when it moved; the wheel steps
// months, or a week per half notch; a read-only calendar ignores them.
TEST_F(CalendarTest, KeysCharactersAndTheWheel) {
  const struct {
    const char *name;
    TDateTime start;
    const char *keys;
    int wheel;
    TDateTime expected;
  } cases[] = {
      {"page down clamps to leap February", D(2024, 1, 31), "{PgDown}", 0, D(2024, 2, 29)},
      {"ctrl home", D(2024, 3, 17), "{CtrlHome}", 0, D(2024, 1, 1)},
      {"right", D(2024, 12, 31), "{Right}", 0, D(2025, 1, 1)},
      {"alt backspace is today", D(2020, 6, 6), "{AltBack}", 0, D(2024, 5, 15)},
      {"backspace alone does nothing", D(2020, 6, 6), "{Back}", 0, D(2020, 6, 6)},
      {"plus and minus step days", D(2024, 3, 5), "+--", 0, D(2024, 3, 4)},
      {"wheel up a month", D(2024, 5, 15), "", 120, D(2024, 4, 15)},
      {"half a notch down a week", D(2024, 5, 15), "", -60, D(2024, 5, 22)},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    cal->SetDate(c.start);
    changes.clear();
    changingFlags.clear();
    Type(QString::fromLatin1(c.keys));
    if (c.wheel) Wheel(c.wheel);
    EXPECT_EQ(cal->Date(), c.expected);
    if (c.wheel || *c.keys == '+') continue;
    const bool moved = c.expected != c.start;
    EXPECT_EQ(changes, moved ? std::vector{c.expected} : std::vector<TDateTime>{});
    EXPECT_EQ(changingFlags, moved ? std::vector{true} : std::vector<bool>{}) << "changing while told";
    EXPECT_FALSE(cal->DateChanging());
  }
  // Ctrl+Z goes to today; Space and Enter tell the date again.
  stdtest::PressCtrl('Z');
  EXPECT_EQ(cal->Date(), D(2024, 5, 15));
  changes.clear();
  Type(QStringLiteral(" {Return}"));
  EXPECT_EQ(changes, std::vector<TDateTime>(2, D(2024, 5, 15)));

  cal->SetReadOnly(true);
  Type(QStringLiteral("{Right}+"));
  Wheel(120);
  EXPECT_EQ(cal->Date(), D(2024, 5, 15));
}

TEST_F(CalendarTest, EnabledDateSearchStaysWithinTheRange) {
  TDateTime only = D(2024, 6, 20);
  cal->SetDate(D(2024, 6, 1));
  cal->OnGetDateEnabled =
      TGetDateEnabledEvent::From([only](TObject *, TDateTime d, bool &e) { e = d == only; });
  Type(QStringLiteral("{Right}"));
  EXPECT_EQ(cal->Date(), only);

  // The search alternates around its start, so Wednesday 5 June finds Monday 3 June (tried second) before
  // Monday 10 June.
  cal->OnGetDateEnabled =
      TGetDateEnabledEvent::From([](TObject *, TDateTime d, bool &e) { e = DayOfWeek(d) == 2; });
  cal->SetDate(D(2024, 6, 5));
  EXPECT_EQ(cal->Date(), D(2024, 6, 3));
  Type(QStringLiteral("{End}")); // at or before 30 June (Sunday) -> Monday 24th
  EXPECT_EQ(cal->Date(), D(2024, 6, 24));

  cal->OnGetDateEnabled = TGetDateEnabledEvent::From([](TObject *, TDateTime, bool &e) { e = false; });
  Type(QStringLiteral("{Right}"));
  ASSERT_FALSE(services->MessageBoxes().isEmpty());
  EXPECT_EQ(services->MessageBoxes().last().Text, "Value is not a valid date.");
  EXPECT_EQ(MessageOf<EOvcException>([&] { cal->SetDate(D(2024, 1, 1)); }), "Value is not a valid date");

  // The range ends are refused; searching near the first day never offers dates outside the range.
  cal->OnGetDateEnabled = nullptr;
  cal->SetDate(D(2024, 2, 2));
  cal->SetDate(D(1600, 1, 1));
  cal->SetDate(D(3999, 12, 31));
  EXPECT_EQ(cal->Date(), D(2024, 2, 2));
  cal->SetDate(D(1600, 1, 2));
  EXPECT_EQ(cal->Date(), D(1600, 1, 2));
  std::vector<TDateTime> asked;
  cal->OnGetDateEnabled = TGetDateEnabledEvent::From([&asked](TObject *, TDateTime d, bool &e) {
    asked.push_back(d);
    e = d > EncodeDate(1600, 1, 2);
  });
  Type(QStringLiteral("{Left}"));
  EXPECT_EQ(cal->Date(), D(1600, 1, 3));
  for (TDateTime d : asked) EXPECT_GE(d, D(1600, 1, 1));
}

TEST_F(CalendarTest, ClicksOnDays) {
  cal->SetDate(D(2024, 9, 10)); // September 2024: cell 1 is the 1st, cell 31 is 1 October
  ClickCell(2 + 30 / 7, 30 % 7);
  EXPECT_EQ(cal->Date(), D(2024, 10, 1));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_TRUE(changingFlags[0]);

  // A day of the same month: OnChange without the changing flag.
  changes.clear();
  changingFlags.clear();
  ClickCell(3, 0); // 6 October 2024 (1 October is a Tuesday: cell 3)
  EXPECT_EQ(cal->Date(), D(2024, 10, 6));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_FALSE(changingFlags[0]);

  // Without inactive days shown, a grey day is not taken.
  changes.clear();
  TOvcCalDisplayOptions options = cal->Options();
  cal->SetOptions(options.Exclude(cdoShowInactive));
  ClickCell(2, 0); // 29 September
  EXPECT_EQ(cal->Date(), D(2024, 10, 6));
  EXPECT_TRUE(changes.empty());
}

TEST_F(CalendarTest, ButtonsActAsKeysAlsoWhileTheCalendarHoldsTheMouse) {
  const auto Click = [this](TOvcCustomCalendar::Btn button) {
    guitest::Click(cal->Button(button), QPoint(2, 2));
  };
  cal->SetDate(D(2024, 1, 31));
  Click(TOvcCustomCalendar::btnNextMonth);
  EXPECT_EQ(cal->Date(), D(2024, 2, 29));
  Click(TOvcCustomCalendar::btnToday);
  EXPECT_EQ(cal->Date(), D(2024, 5, 15));

  // A press on a button while the calendar holds the mouse reaches the button.
  cal->SetDate(D(2024, 1, 31));
  cal->SetMouseCapture(true);
  const TRect next = cal->Button(TOvcCustomCalendar::btnNextMonth)->BoundsRect();
  guitest::SendMouse(cal, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(next.Left + 1, next.Top + 1),
                     Qt::LeftButton);
  EXPECT_EQ(cal->Date(), D(2024, 2, 29));
  cal->SetMouseCapture(false);
}

TEST_F(CalendarTest, MonthMenuFromTheTitleWrapsTheYear) {
  cal->SetDate(D(2024, 1, 31));
  guitest::Click(cal, QPoint(100, 8), Qt::RightButton);
  TPopupMenu *menu = cal->MonthMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->Items()->Count(), 7);
  QStringList captions;
  for (int i = 0; i < 7; ++i) captions << menu->Items()->Items(i)->Caption();
  EXPECT_EQ(captions,
            QStringList({"October", "November", "December", "January", "February", "March", "April"}));
  menu->Items()->Items(0)->Click();
  EXPECT_EQ(cal->Date(), D(2023, 10, 31));
  ASSERT_EQ(changes.size(), 1u);

  // Not over the title, or with the left button: no menu.
  auto *other = Add<TOvcCalendar>(240, 10, 220, 160);
  guitest::Click(other, QPoint(100, 100), Qt::RightButton);
  guitest::Click(other, QPoint(100, 8));
  EXPECT_EQ(other->MonthMenu(), nullptr);

  // A pick wraps the year: November before January is last year's.
  cal->SetDate(D(2024, 1, 31));
  guitest::Click(cal, QPoint(100, 8), Qt::RightButton);
  cal->MonthMenu()->Items()->Items(1)->Click();
  EXPECT_EQ(cal->Date(), D(2023, 11, 30));
}

TEST_F(CalendarTest, LayoutAndTitle) {
  cal->SetBounds(0, 0, 200, 140);
  // 192 usable pixels: 27 each, the leftover 3 to the first three columns.
  EXPECT_EQ(std::pair(cal->CellRect(2, 0).Width(), cal->CellRect(2, 3).Width()), std::pair(28, 27));
  EXPECT_EQ(std::tuple(cal->CellRect(0, 0).Left, cal->CellRect(0, 0).Top, cal->CellRect(8, 6).Right,
                       cal->CellRect(8, 6).Bottom),
            std::tuple(4, 4, 196, 136));
  cal->SetDate(D(2024, 9, 10));
  EXPECT_EQ(cal->TitleText(), "September 2024");
  cal->SetBounds(0, 0, 70, 140);
  EXPECT_EQ(cal->TitleText(), "Sep 2024");
  cal->SetDateFormat(dfShort);
  TOvcCalDisplayOptions options = cal->Options();
  cal->SetOptions(options.Exclude(cdoShowYear));
  EXPECT_EQ(cal->TitleText(), "Sep");
}

TEST_F(CalendarTest, PaintAsksForEachShownCell) {
  cal->SetDate(D(2024, 9, 10));
  std::vector<TDateTime> drawn;
  cal->OnDrawItem =
      TCalendarDateEvent::From([&drawn](TObject *, TDateTime d, const TRect &) { drawn.push_back(d); });
  cal->WidgetNeeded()->grab();
  // 49 cells less the four under the revert and today buttons; the first shown is the 1st (a Sunday).
  ASSERT_EQ(drawn.size(), 45u);
  EXPECT_EQ(drawn.front(), D(2024, 9, 1));
  EXPECT_EQ(drawn.back(), D(2024, 10, 15));

  // Without inactive days the next month's cells are skipped.
  drawn.clear();
  TOvcCalDisplayOptions options = cal->Options();
  cal->SetOptions(options.Exclude(cdoShowInactive));
  cal->WidgetNeeded()->grab();
  EXPECT_EQ(drawn.size(), 30u);
}

} // namespace
