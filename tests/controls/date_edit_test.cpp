#include "controls/edits/date_edit.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/library_exceptions.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/core/intl_profile.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/virtual_keys.h"
#include "tests/platform/std_test_helpers.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

class DateEdit : public TOvcDateEdit {
public:
  using TOvcDateEdit::TOvcDateEdit;
  TDateTime Stored() const { return stored_; }
};

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

// Pins the clock (Wednesday 15 May 2024), the format settings and the "intl" values; ShortDate and iDate
// choose the user's date order.
class DateEditTest : public ::testing::Test {
protected:
  explicit DateEditTest(const char *shortDate = "MM/dd/yy", const char *iDate = "0")
      : settings_(FormatSettings::USEnglish()), profile_(ScopedIntlProfile::Start::Empty),
        clock_(EncodeDate(2024, 5, 15)) {
    profile_.Set(QStringLiteral("sShortDate"), QLatin1String(shortDate));
    profile_.Set(QStringLiteral("iDate"), QLatin1String(iDate));
    intl_ = std::make_unique<OvcIntlSupGuard>();
    edit = std::make_unique<DateEdit>(nullptr);
  }
  // The date the text gives, or the exception's message.
  QString Parse(const QString &text) {
    edit->SetText(text);
    try {
      TDateTime d = edit->Date();
      return d == 0 ? QStringLiteral("<none>") : FormatDateTime(QStringLiteral("yyyy-mm-dd"), d);
    } catch (const EOvcException &e) {
      return e.Message();
    }
  }

  FormatSettingsGuard settings_;
  ScopedIntlProfile profile_;
  ClockGuard clock_;
  std::unique_ptr<OvcIntlSupGuard> intl_;
  std::unique_ptr<DateEdit> edit;
};

// A date edit shown on a form, for the popup calendar.
class ShownDateEditTest : public DateEditTest {
protected:
  ShownDateEditTest() {
    // Away from the screen's corner, so that form and screen coordinates differ.
    form.SetBounds(150, 120, 400, 300);
    shown.SetParent(&form);
    shown.SetBounds(10, 10, 120, 22);
    guitest::ShowAndActivate(&form);
  }
  TForm form{nullptr};
  DateEdit shown{&form};
};

class DmyDateEditTest : public DateEditTest {
protected:
  DmyDateEditTest() : DateEditTest("dd/MM/yy", "1") {}
};

class YmdDateEditTest : public DateEditTest {
protected:
  YmdDateEditTest() : DateEditTest("yyyy-MM-dd", "2") {}
};

struct ParseCase {
  const char *text;
  const char *expected;
};

TEST_F(DateEditTest, RelativePhrasesOnAnyDay) {
  const ParseCase cases[] = {
      {"tomorrow", "2024-05-16"}, {"next fri", "2024-05-17"}, {"next", "2024-05-22"},
      {"last mon", "2024-05-13"}, {"prev", "2024-05-08"},     {"1st sunday", "2024-05-05"},
      {"final", "2024-05-29"},    {"bom", "2024-05-01"},      {"sat", "2024-05-18"},
  };
  for (const ParseCase &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Parse(QLatin1String(c.text)), QLatin1String(c.expected));
  }
  edit->SetText(QStringLiteral("eom"));
  edit->Date();
  EXPECT_EQ(edit->Text(), "05/31/24");
  {
    ClockGuard monday(EncodeDate(2024, 5, 13));
    EXPECT_EQ(Parse(QStringLiteral("next mon")), "2024-05-20");
  }
  ClockGuard february(EncodeDate(2024, 2, 10));
  EXPECT_EQ(Parse(QStringLiteral("eom")), "2024-02-29");
}

TEST_F(DateEditTest, MonthDayYearTextsAndAFailedParseKeepsTheDate) {
  const ParseCase cases[] = {
      {"3/4", "2024-03-04"},
      {"jan 5 23", "2023-01-05"},
      {"Sep-9-1999", "1999-09-09"},
      {"2/30/2024", "<none>"},
      {"13/1/2024", "Month is required"},
      {"1/x7/2024", "Day is required"},
      {"3/4/2x", "Invalid year \"2X\""},
  };
  for (const ParseCase &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Parse(QLatin1String(c.text)), QLatin1String(c.expected));
  }
  EXPECT_EQ(Parse(QString()), "<none>");

  // A failed parse keeps the date and the text.
  edit->SetDate(D(2024, 1, 2));
  edit->SetText(QStringLiteral("1/x7/2024"));
  EXPECT_THROW(edit->Date(), EOvcException);
  EXPECT_EQ(edit->Stored(), D(2024, 1, 2));
  EXPECT_EQ(edit->Text(), "1/x7/2024");
}

TEST_F(DateEditTest, RequiredFieldsDecideWhatIsMissingAndWhatIsAnError) {
  edit->SetRequiredFields({rfYear, rfMonth, rfDay});
  EXPECT_EQ(Parse(QStringLiteral("3/4")), "Year is required");
  edit->SetRequiredFields({});
  const ParseCase cases[] = {
      {"1a/2/2024", "Invalid month \"1A\""},
      {"1/x7/2024", "Invalid day \"X7\""},
      {"x7/2/2024", "Invalid month name \"X7\""},
      {"", "2024-05-15"},
      {"7", "2024-07-15"},
  };
  for (const ParseCase &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Parse(QLatin1String(c.text)), QLatin1String(c.expected));
  }
}

TEST_F(DateEditTest, TodayStringSetDateAndTheCalendarsChange) {
  int setNotices = 0;
  edit->OnSetDate = TNotifyEvent::From([&setNotices](TObject *) { ++setNotices; });
  EXPECT_EQ(Parse(QStringLiteral("/")), "2024-05-15");
  EXPECT_EQ(edit->Text(), "05/15/24");
  EXPECT_GE(setNotices, 1);

  setNotices = 0;
  edit->SetDate(0);
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(setNotices, 1);
}

// Plus and minus step the day (from today when empty) unless steps are off or the edit is read-only.
TEST_F(ShownDateEditTest, IncrementDecrementAndForcedCentury) {
  const struct {
    TDateTime start;
    const char *keys;
    TDateTime stored;
  } steps[] = {
      {D(2024, 12, 31), "+", D(2025, 1, 1)}, {D(2024, 3, 1), "-", D(2024, 2, 29)}, {0, "-", D(2024, 5, 14)}};
  shown.SetFocus();
  for (const auto &step : steps) {
    shown.SetDate(step.start);
    stdtest::Type(QString::fromLatin1(step.keys));
    EXPECT_EQ(shown.Stored(), step.stored) << step.keys;
  }
  shown.SetAllowIncDec(false);
  stdtest::Type(QStringLiteral("+"));
  EXPECT_EQ(shown.Stored(), D(2024, 5, 14));
  shown.SetAllowIncDec(true);
  shown.SetReadOnly(true);
  stdtest::Type(QStringLiteral("+"));
  EXPECT_EQ(shown.Stored(), D(2024, 5, 14));
  EXPECT_FALSE(shown.Button()->Enabled());

  shown.SetDate(D(2024, 3, 4));
  shown.SetForceCentury(true);
  EXPECT_EQ(shown.Text(), "03/04/2024");
  EXPECT_EQ(shown.Stored(), D(2024, 3, 4));
}

TEST_F(DateEditTest, DateMaskEventSetsTheOrder) {
  edit->OnGetDateMask = TOvcGetDateMaskEvent::From([](TObject *, QString &mask) { mask = "dd.mm.yyyy"; });
  EXPECT_EQ(edit->FormatDateText(D(2024, 3, 4)), "04.03.2024");
  EXPECT_EQ(edit->Order(), TOvcCustomDateEdit::doDMY);
  EXPECT_EQ(Parse(QStringLiteral("5.6.2024")), "2024-06-05");
}

TEST_F(DmyDateEditTest, DayMonthYearTexts) {
  EXPECT_EQ(edit->Order(), TOvcCustomDateEdit::doDMY);
  EXPECT_EQ(Parse(QStringLiteral("12 dec 05")), "2005-12-12");
  EXPECT_EQ(Parse(QStringLiteral("12 dec 60")), "2060-12-12");
  edit->SetEpoch(1950);
  EXPECT_EQ(Parse(QStringLiteral("12 dec 60")), "1960-12-12");
  EXPECT_EQ(Parse(QStringLiteral("32/1/2024")), "Day is required");
  edit->SetRequiredFields({rfDay});
  EXPECT_EQ(Parse(QStringLiteral("1/xyz/2024")), "Invalid month name \"XYZ\"");
}

TEST_F(YmdDateEditTest, OrderFromTheProfile) {
  EXPECT_EQ(edit->Order(), TOvcCustomDateEdit::doYMD);
  EXPECT_EQ(Parse(QStringLiteral("2023 feb 28")), "2023-02-28");
}

TEST_F(ShownDateEditTest, PopupOpensWithTheDateAndClosesOnAChoice) {
  shown.SetText(QStringLiteral("1/x7/2024"));
  EXPECT_THROW(shown.PopupOpen(), EOvcException);
  EXPECT_FALSE(shown.PopupActive()) << "a bad text keeps it closed";
  shown.SetText(QStringLiteral("3/4/2024"));
  shown.PopupOpen();
  TOvcCalendar *calendar = shown.Calendar();
  EXPECT_TRUE(calendar->Visible());
  EXPECT_EQ(calendar->Date(), D(2024, 3, 4));

  // A choice in the calendar hands the date over and closes it.
  calendar->SetDate(D(2024, 3, 5));
  calendar->OnChange(calendar, calendar->Date());
  EXPECT_FALSE(calendar->Visible());
  EXPECT_EQ(shown.Text(), "03/05/24");
}

TEST_F(ShownDateEditTest, ThePopupCalendarOpensOnScreenRightBelowTheEdit) {
  shown.SetDate(D(2024, 3, 4));
  guitest::Click(&shown, QPoint(5, 5)); // the edit takes the focus
  stdtest::Type(QStringLiteral("{AltDown}"));
  TOvcCalendar *calendar = shown.Calendar();
  ASSERT_TRUE(calendar->Visible());
  guitest::ProcessEvents();
  const QRect edit(shown.Widget()->mapToGlobal(QPoint(0, 0)), shown.Widget()->size());
  const QRect popup(calendar->Widget()->mapToGlobal(QPoint(0, 0)), calendar->Widget()->size());
  EXPECT_LE(std::abs(popup.left() - edit.left()), 3) << "left edges";
  EXPECT_LE(std::abs(popup.top() - edit.bottom()), 4) << "top against the edit's bottom";
}

// Enter, Escape, Tab and Alt+Up close the popup (Up alone is the calendar's own); so does a press outside it.
TEST_F(ShownDateEditTest, CalendarKeysAndClicksCloseThePopup) {
  TOvcCalendar *calendar = shown.Calendar();
  for (const auto &[keys, open] :
       {std::pair("{Return}", false), {"{Esc}", false}, {"{Up}", true}, {"{AltUp}", false}}) {
    if (!calendar->Visible()) shown.PopupOpen();
    guitest::ProcessEvents();
    ASSERT_EQ(QApplication::focusWidget(), calendar->Widget()) << "the open calendar has the keys";
    stdtest::Type(QString::fromLatin1(keys));
    EXPECT_EQ(calendar->Visible(), open) << keys;
  }
  shown.SetDate(0);
  shown.PopupOpen();
  const TRect weekday = calendar->CellRect(1, 3);
  guitest::SendMouse(calendar, QEvent::MouseButtonPress, Qt::LeftButton,
                     QPoint(weekday.Left + 2, weekday.Top + 2), Qt::LeftButton);
  EXPECT_TRUE(calendar->Visible()) << "a press inside keeps it open";
  guitest::SendMouse(calendar, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(-5, 10), Qt::LeftButton);
  EXPECT_FALSE(calendar->Visible());
  EXPECT_EQ(shown.Text(), "") << "closed without a choice: the empty edit stays empty";
}

} // namespace
