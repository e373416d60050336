#include "controls/edits/calendar.h"
#include "controls/framework/library_exceptions.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/widgets/menus.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/virtual_keys.h"
#include "tests/platform/raises.h"
#include <QMenu>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Opens the protected handlers to the tests.
class Calendar : public TOvcCalendar {
public:
  using TOvcCalendar::TOvcCalendar;
  using TOvcCustomCalendar::ButtonClick;
  using TOvcCustomCalendar::DoOnMouseWheel;
  using TOvcCustomCalendar::KeyDown;
  using TOvcCustomCalendar::KeyPress;
  using TOvcCustomCalendar::MonthMenuPick;
  using TOvcCustomCalendar::MouseDown;
  using TOvcCustomCalendar::MouseUp;
  void Key(WORD key, TShiftState shift = {}) { KeyDown(key, shift); }
};

class CalendarTest : public ::testing::Test {
protected:
  CalendarTest() : settings_(FormatSettings::USEnglish()), clock_(EncodeDate(2024, 5, 15)) {
    cal.OnChange = TDateChangeEvent::From([this](TObject *, TDateTime d) {
      changes.push_back(d);
      changingFlags.push_back(cal.DateChanging());
    });
  }
  static TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

  FormatSettingsGuard settings_;
  ClockGuard clock_;
  Calendar cal{nullptr};
  std::vector<TDateTime> changes;
  std::vector<bool> changingFlags;
};

// A calendar shown on a form.
class ShownCalendarTest : public CalendarTest {
protected:
  ShownCalendarTest() {
    form.SetBounds(0, 0, 260, 200);
    shown.SetParent(&form);
    shown.SetBounds(10, 10, 220, 160);
  }
  TForm form{nullptr};
  Calendar shown{&form};
};

TEST(CalColorsTest, SchemesAndBackToCustom) {
  TOvcCalColors colors;
  EXPECT_EQ(colors.ColorScheme(), cscalCustom);
  int notices = 0;
  colors.OnChange = TNotifyEvent::From([&notices](TObject *) { ++notices; });
  colors.SetColorScheme(cscalGold);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(std::tuple(colors.ColorScheme(), colors.Days(), colors.Weekend()),
            std::tuple(cscalGold, clYellow, clTeal));
  colors.SetActiveDay(clGreen);
  EXPECT_EQ(colors.ColorScheme(), cscalCustom);
  EXPECT_EQ(notices, 2);
  colors.SetColorScheme(cscalCustom); // no change
  EXPECT_EQ(colors.ActiveDay(), clGreen);

  TOvcCalColors copy;
  copy.Assign(&colors);
  EXPECT_EQ(std::pair(copy.ActiveDay(), copy.Days()), std::pair(clGreen, clYellow));
}

TEST_F(CalendarTest, CellMapForWeekStarts) {
  // September 2024 starts on a Sunday.
  cal.SetDate(D(2024, 9, 10));
  EXPECT_EQ(cal.FirstCell(), 1);
  EXPECT_EQ(cal.LastCell(), 30);
  EXPECT_EQ(cal.CellDay(31), 1);
  cal.SetWeekStarts(TOvcDayType::Monday);
  EXPECT_EQ(cal.FirstCell(), 7);
  // Six cells of August's last days, counting down to the 31st.
  std::vector<int> lead;
  for (int c = 1; c <= 6; ++c) lead.push_back(cal.CellDay(c));
  EXPECT_EQ(lead, (std::vector<int>{26, 27, 28, 29, 30, 31}));
  EXPECT_EQ(cal.CellDay(7), 1);
  EXPECT_EQ(cal.CellDay(49), 13);
  // January borrows December's length.
  cal.SetWeekStarts(TOvcDayType::Sunday);
  cal.SetDate(D(2025, 1, 5)); // 1 January 2025 is a Wednesday
  EXPECT_EQ(cal.FirstCell(), 4);
  EXPECT_EQ(cal.CellDay(3), 31);
}

struct KeyCase {
  const char *name;
  TDateTime start;
  WORD key;
  TShiftState shift;
  TDateTime expected;
};

TEST_F(CalendarTest, KeyboardNavigation) {
  auto D = CalendarTest::D;
  const KeyCase cases[] = {
      {"page down clamps to leap February", D(2024, 1, 31), VK_NEXT, {}, D(2024, 2, 29)},
      {"page down clamps to February", D(2023, 1, 31), VK_NEXT, {}, D(2023, 2, 28)},
      {"page up over the year", D(2024, 1, 15), VK_PRIOR, {}, D(2023, 12, 15)},
      {"ctrl page up", D(2024, 2, 29), VK_PRIOR, {ssCtrl}, D(2023, 2, 28)},
      {"ctrl page down", D(2024, 3, 3), VK_NEXT, {ssCtrl}, D(2025, 3, 3)},
      {"home", D(2024, 3, 17), VK_HOME, {}, D(2024, 3, 1)},
      {"ctrl home", D(2024, 3, 17), VK_HOME, {ssCtrl}, D(2024, 1, 1)},
      {"end", D(2024, 4, 2), VK_END, {}, D(2024, 4, 30)},
      {"ctrl end", D(2024, 4, 2), VK_END, {ssCtrl}, D(2024, 12, 31)},
      {"left", D(2024, 3, 1), VK_LEFT, {}, D(2024, 2, 29)},
      {"right", D(2024, 12, 31), VK_RIGHT, {}, D(2025, 1, 1)},
      {"up", D(2024, 3, 5), VK_UP, {}, D(2024, 2, 27)},
      {"down", D(2024, 3, 28), VK_DOWN, {}, D(2024, 4, 4)},
      {"alt backspace is today", D(2020, 6, 6), VK_BACK, {ssAlt}, D(2024, 5, 15)},
      {"backspace alone does nothing", D(2020, 6, 6), VK_BACK, {}, D(2020, 6, 6)},
  };
  for (const KeyCase &c : cases) {
    SCOPED_TRACE(c.name);
    cal.SetDate(c.start);
    changes.clear();
    changingFlags.clear();
    cal.Key(c.key, c.shift);
    EXPECT_EQ(cal.Date(), c.expected);
    const bool moved = c.expected != c.start;
    EXPECT_EQ(changes, moved ? std::vector{c.expected} : std::vector<TDateTime>{});
    EXPECT_EQ(changingFlags, moved ? std::vector{true} : std::vector<bool>{}) << "changing while told";
    EXPECT_FALSE(cal.DateChanging());
  }
}

TEST_F(CalendarTest, CharactersAndWheelUnlessReadOnly) {
  cal.SetDate(D(2024, 3, 5));
  QChar c('+');
  cal.KeyPress(c);
  EXPECT_EQ(cal.Date(), D(2024, 3, 6));
  c = QLatin1Char('-');
  cal.KeyPress(c);
  cal.KeyPress(c);
  EXPECT_EQ(cal.Date(), D(2024, 3, 4));
  c = QChar(26);
  cal.KeyPress(c);
  EXPECT_EQ(cal.Date(), D(2024, 5, 15));
  changes.clear();
  c = QLatin1Char(' ');
  cal.KeyPress(c);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], D(2024, 5, 15));

  cal.DoOnMouseWheel({}, 120, 0, 0);
  EXPECT_EQ(cal.Date(), D(2024, 4, 15));
  cal.DoOnMouseWheel({}, -120, 0, 0);
  EXPECT_EQ(cal.Date(), D(2024, 5, 15));
  cal.DoOnMouseWheel({}, -60, 0, 0);
  EXPECT_EQ(cal.Date(), D(2024, 5, 22));
  cal.DoOnMouseWheel({}, 240, 0, 0);
  EXPECT_EQ(cal.Date(), D(2023, 5, 22));

  // A read-only calendar ignores keys.
  cal.SetReadOnly(true);
  cal.Key(VK_RIGHT);
  c = QLatin1Char('+');
  cal.KeyPress(c);
  EXPECT_EQ(cal.Date(), D(2023, 5, 22));
}

TEST_F(CalendarTest, EnabledDateSearchStaysWithinTheRange) {
  TDateTime only = D(2024, 6, 20);
  cal.SetDate(D(2024, 6, 1));
  cal.OnGetDateEnabled =
      TGetDateEnabledEvent::From([only](TObject *, TDateTime d, bool &e) { e = d == only; });
  cal.Key(VK_RIGHT);
  EXPECT_EQ(cal.Date(), only);
  cal.Key(VK_HOME);
  EXPECT_EQ(cal.Date(), only);

  // The search alternates around its start, so Wednesday 5 June finds Monday 3 June (tried second) before
  // Monday 10 June.
  cal.OnGetDateEnabled =
      TGetDateEnabledEvent::From([](TObject *, TDateTime d, bool &e) { e = DayOfWeek(d) == 2; });
  cal.SetDate(D(2024, 6, 5));
  EXPECT_EQ(cal.Date(), D(2024, 6, 3));
  cal.Key(VK_END); // at or before 30 June (Sunday) -> Monday 24th
  EXPECT_EQ(cal.Date(), D(2024, 6, 24));

  cal.OnGetDateEnabled = TGetDateEnabledEvent::From([](TObject *, TDateTime, bool &e) { e = false; });
  EXPECT_THROW(cal.Key(VK_RIGHT), EOvcException);
  EXPECT_EQ(MessageOf<EOvcException>([&] { cal.SetDate(D(2024, 1, 1)); }), "Value is not a valid date");

  // The range ends are refused; searching near the first day never offers dates outside the range.
  cal.OnGetDateEnabled = nullptr;
  cal.SetDate(D(2024, 2, 2));
  cal.SetDate(D(1600, 1, 1));
  cal.SetDate(D(3999, 12, 31));
  EXPECT_EQ(cal.Date(), D(2024, 2, 2));
  cal.SetDate(D(1600, 1, 2));
  EXPECT_EQ(cal.Date(), D(1600, 1, 2));
  std::vector<TDateTime> asked;
  cal.OnGetDateEnabled = TGetDateEnabledEvent::From([&asked](TObject *, TDateTime d, bool &e) {
    asked.push_back(d);
    e = d > EncodeDate(1600, 1, 2);
  });
  cal.Key(VK_LEFT);
  EXPECT_EQ(cal.Date(), D(1600, 1, 3));
  for (TDateTime d : asked) EXPECT_GE(d, D(1600, 1, 1));
}

TEST_F(CalendarTest, ClicksOnDays) {
  cal.SetDate(D(2024, 9, 10)); // September 2024: cell 1 is the 1st, cell 31 is 1 October
  TRect nextMonthCell = cal.CellRect(2 + 30 / 7, 30 % 7);
  cal.MouseDown(mbLeft, {}, nextMonthCell.Left + 2, nextMonthCell.Top + 2);
  EXPECT_EQ(cal.Date(), D(2024, 10, 1));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_TRUE(changingFlags[0]);

  // A day of the same month: OnChange without the changing flag.
  changes.clear();
  changingFlags.clear();
  TRect cell = cal.CellRect(3, 0); // 6 October 2024 (1 October is a Tuesday: cell 3)
  cal.MouseDown(mbLeft, {}, cell.Left + 2, cell.Top + 2);
  EXPECT_EQ(cal.Date(), D(2024, 10, 6));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_FALSE(changingFlags[0]);

  // Without inactive days shown, a grey day is not taken.
  changes.clear();
  TOvcCalDisplayOptions options = cal.Options();
  cal.SetOptions(options.Exclude(cdoShowInactive));
  TRect grey = cal.CellRect(2, 0); // 29 September
  cal.MouseDown(mbLeft, {}, grey.Left + 2, grey.Top + 2);
  EXPECT_EQ(cal.Date(), D(2024, 10, 6));
  EXPECT_TRUE(changes.empty());
}

TEST_F(CalendarTest, ButtonsActAsKeys) {
  cal.SetDate(D(2024, 1, 31));
  cal.ButtonClick(cal.Button(TOvcCustomCalendar::btnNextMonth));
  EXPECT_EQ(cal.Date(), D(2024, 2, 29));
  cal.ButtonClick(cal.Button(TOvcCustomCalendar::btnPrevYear));
  EXPECT_EQ(cal.Date(), D(2023, 2, 28));
  cal.ButtonClick(cal.Button(TOvcCustomCalendar::btnNextYear));
  cal.ButtonClick(cal.Button(TOvcCustomCalendar::btnPrevMonth));
  EXPECT_EQ(cal.Date(), D(2024, 1, 28));
  cal.ButtonClick(cal.Button(TOvcCustomCalendar::btnToday));
  EXPECT_EQ(cal.Date(), D(2024, 5, 15));
}

TEST_F(ShownCalendarTest, PressOnAButtonWhileHoldingTheCapture) {
  shown.SetDate(D(2024, 1, 31));
  form.Show();
  shown.SetMouseCapture(true);
  ASSERT_TRUE(shown.MouseCapture());
  TRect next = shown.Button(TOvcCustomCalendar::btnNextMonth)->BoundsRect();
  shown.MouseDown(mbLeft, {}, next.Left + 1, next.Top + 1);
  EXPECT_EQ(shown.Date(), D(2024, 2, 29));
  shown.SetMouseCapture(false);
}

TEST_F(CalendarTest, MonthMenuFromTheTitleWrapsTheYear) {
  cal.SetDate(D(2024, 1, 31));
  cal.MouseUp(mbRight, {}, 100, 8);
  TPopupMenu *menu = cal.MonthMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->Items()->Count(), 7);
  QStringList captions;
  for (int i = 0; i < 7; ++i) captions << menu->Items()->Items(i)->Caption();
  EXPECT_EQ(captions,
            QStringList({"October", "November", "December", "January", "February", "March", "April"}));
  menu->Items()->Items(0)->Click();
  EXPECT_EQ(cal.Date(), D(2023, 10, 31));
  ASSERT_EQ(changes.size(), 1u);

  // Not over the title, or with the left button: no menu.
  Calendar other(nullptr);
  other.MouseUp(mbRight, {}, 100, 100);
  other.MouseUp(mbLeft, {}, 100, 8);
  EXPECT_EQ(other.MonthMenu(), nullptr);

  // A pick wraps the year: November before January is last year's, February after November next year's.
  cal.SetDate(D(2024, 1, 31));
  cal.MonthMenuPick(11, 1);
  EXPECT_EQ(cal.Date(), D(2023, 11, 30));
  cal.MonthMenuPick(2, 6);
  EXPECT_EQ(cal.Date(), D(2024, 2, 29));
  EXPECT_EQ(changes.size(), 3u) << "the menu pick and the two month picks";
}

TEST_F(CalendarTest, LayoutAndTitle) {
  cal.SetBounds(0, 0, 200, 140);
  // 192 usable pixels: 27 each, the leftover 3 to the first three columns.
  EXPECT_EQ(std::pair(cal.CellRect(2, 0).Width(), cal.CellRect(2, 3).Width()), std::pair(28, 27));
  EXPECT_EQ(std::tuple(cal.CellRect(0, 0).Left, cal.CellRect(0, 0).Top, cal.CellRect(8, 6).Right,
                       cal.CellRect(8, 6).Bottom),
            std::tuple(4, 4, 196, 136));
  cal.SetDate(D(2024, 9, 10));
  EXPECT_EQ(cal.TitleText(), "September 2024");
  cal.SetBounds(0, 0, 70, 140);
  EXPECT_EQ(cal.TitleText(), "Sep 2024");
  cal.SetDateFormat(dfShort);
  TOvcCalDisplayOptions options = cal.Options();
  cal.SetOptions(options.Exclude(cdoShowYear));
  EXPECT_EQ(cal.TitleText(), "Sep");
}

TEST_F(ShownCalendarTest, PaintAsksForEachShownCell) {
  shown.SetDate(D(2024, 9, 10));
  std::vector<TDateTime> drawn, highlighted;
  TDateTime title = 0;
  shown.OnDrawItem =
      TCalendarDateEvent::From([&drawn](TObject *, TDateTime d, const TRect &) { drawn.push_back(d); });
  shown.OnGetHighlight = TGetHighlightEvent::From(
      [&highlighted](TObject *, TDateTime d, TColor &) { highlighted.push_back(d); });
  shown.OnDrawDate = TCalendarDateEvent::From([&title](TObject *, TDateTime d, const TRect &) { title = d; });
  form.Show();
  shown.WidgetNeeded()->grab();
  // 49 cells less the four under the revert and today buttons; the first shown is the 1st (a Sunday).
  ASSERT_EQ(drawn.size(), 45u);
  EXPECT_EQ(drawn.front(), D(2024, 9, 1));
  EXPECT_EQ(drawn.back(), D(2024, 10, 15));
  EXPECT_EQ(highlighted, drawn);
  EXPECT_EQ(title, D(2024, 9, 10));

  // Without inactive days the next month's cells are skipped.
  drawn.clear();
  TOvcCalDisplayOptions options = shown.Options();
  shown.SetOptions(options.Exclude(cdoShowInactive));
  shown.WidgetNeeded()->grab();
  EXPECT_EQ(drawn.size(), 30u);
}

} // namespace
