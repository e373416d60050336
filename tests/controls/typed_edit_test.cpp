// The typed edit and its ancestors: the edit button (styles, pictures, placement, click and shortcut), the
// popup edit with its month calendar, and the typed edit's masks, conversions, key filters, range check and
// auto-completion.
#include "controls/edits/typed_edit.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include "tests/platform/raises.h"
#include "tests/platform/std_test_helpers.h"
#include <QCompleter>
#include <QLineEdit>
#include <functional>

namespace {

class TypedEditTest : public stdtest::FormTest {
protected:
  TypedEditTest() : settings_(FormatSettings::USEnglish()) {}

  TEditTyped *AddTyped(TTypeForEdit type, int top = 10) {
    auto *edit = Add<TEditTyped>(10, top, 121, 21);
    edit->SetTypeValue(type);
    return edit;
  }
  TEdit *AddOther(int top = 60) { return Add<TEdit>(10, top, 121, 21); }
  static QLineEdit *LineEditOf(TControl *control) { return dynamic_cast<QLineEdit *>(control->Widget()); }
  static TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }

  FormatSettingsGuard settings_;
};

// ---- conversion ----

TEST_F(TypedEditTest, TextConvertsToTheTypesValue) {
  struct Case {
    TTypeForEdit type;
    const char *text;
    TVarType varType;
    double number; // numbers and dates
    const char *string = "";
  };
  const TDateTime may12 = Day(2024, 5, 12);
  const Case cases[] = {
      {teNumber, " -1E3 ", varDouble, -1000},
      {teInteger, "-7", varInteger, -7},
      {teDate, "05/12/2024", varDate, may12},
      {teDateShortTime, "05/12/2024 08:05", varDate, may12 + EncodeTime(8, 5, 0, 0)},
      {teShortTime, " 8:05", varDate, EncodeTime(8, 5, 0, 0)},
      {teString, " as typed ", varString, 0, " as typed "},
  };
  for (const Case &c : cases) {
    const Variant value = TypedTextToValue(c.type, QString::fromLatin1(c.text));
    EXPECT_EQ(value.VarType(), c.varType) << c.text;
    if (c.varType == varString)
      EXPECT_EQ(value.ToString(), QString::fromLatin1(c.string)) << c.text;
    else
      EXPECT_NEAR(value.ToDouble(), c.number, 1e-9) << c.text;
  }
}

// Nothing but the mask's literals is null; text that does not convert raises the conversion error.
TEST_F(TypedEditTest, BlankTextIsNullAndBadTextRaises) {
  const struct {
    TTypeForEdit type;
    const char *text;
    bool raises;
  } cases[] = {
      {teNumber, "", false},        {teDate, "  /  /    ", false}, {tePhone, "(   )    -    ", false},
      {teNumber, "1.2.3", true},    {teInteger, "12a", true},      {teDate, "13/45/2024", true},
      {teDate, "05/  /2024", true}, {teTime, "25:00:00", true},
  };
  for (const auto &c : cases) {
    const QString text = QString::fromLatin1(c.text);
    if (c.raises)
      EXPECT_THROW(TypedTextToValue(c.type, text), EConvertError) << c.text;
    else
      EXPECT_TRUE(TypedTextToValue(c.type, text).IsNull()) << c.text;
  }
}

TEST_F(TypedEditTest, ValuesAreShownInTheOrderOfTheRegionalDate) {
  const TDateTime when = Day(2024, 5, 12) + EncodeTime(13, 45, 30, 0);

  // Day first, with the regional separator the mask shows.
  Settings().ShortDateFormat = QStringLiteral("dd/mm/yyyy");
  Settings().DateSeparator = QLatin1Char('.');
  TEditTyped *edit = AddTyped(teDate);
  edit->SetValue(Variant::FromDateTime(when));
  EXPECT_EQ(edit->EditText(), QStringLiteral("12.05.2024"));
}

// ---- types ----

TEST_F(TypedEditTest, EachTypeSetsItsMaskOrLetterCase) {
  TEditTyped *edit = AddTyped(teString);

  edit->SetTypeValue(teStringUpper);
  EXPECT_EQ(edit->CharCase(), ecUpperCase);
  edit->SetTypeValue(teDate);
  edit->SetTypeValue(teNumber);
  EXPECT_TRUE(edit->EditMask().isEmpty());

  // The phone mask shows its literals.
  edit->SetTypeValue(tePhoneExt);
  Show();
  EXPECT_EQ(edit->EditText(), QStringLiteral("(___) ___-____ x____"));
  edit->SetFocus();
  edit->SetSelStart(0);
  Type(QStringLiteral("5551234567"));
  EXPECT_EQ(edit->Text(), QStringLiteral("(555) 123-4567 x    "));
}

// ---- the key filter ----

TEST_F(TypedEditTest, KeysAreFilteredByType) {
  struct Case {
    TTypeForEdit type;
    const char *start;
    const char *typed;
    const char *expected; // the text afterwards
    int beeps;
    bool filter = true;
  };
  const Case cases[] = {
      {teInteger, "", "-12-3+4+", "-123+4", 2},
      {teNumber, "", "1.5.5", "1.55", 1},
      // Any key passes; the mask itself takes only what fits its positions.
      {tePhone, "", "x5", "(5  )    -    ", 0},
      {teInteger, "", "ab", "ab", 0, false},
  };
  for (const Case &c : cases) {
    TEditTyped *edit = AddTyped(c.type);
    edit->SetEnabledTypedLimit(c.filter);
    edit->SetText(QString::fromLatin1(c.start));
    Show();
    edit->SetFocus();
    edit->SetSelStart(0);
    const qsizetype beepsBefore = services->Beeps().size();
    Type(QString::fromLatin1(c.typed));
    EXPECT_EQ(edit->Text(), QString::fromLatin1(c.expected)) << c.typed;
    EXPECT_EQ(services->Beeps().size() - beepsBefore, c.beeps) << c.typed;
    edit->Free();
  }
}

TEST_F(TypedEditTest, DateKeysAreDigitsTheDecimalSeparatorIsRegionalASignMayReplaceItselfAndEnterMovesOn) {
  TEditTyped *date = AddTyped(teDate);
  TEditTyped *integer = AddTyped(teInteger, 35);
  TEdit *other = AddOther();
  integer->SetText(QStringLiteral("-5"));
  Show();
  date->SetFocus();
  date->SetSelStart(0);
  Type(QStringLiteral("0a5x12/2024"));
  // "a", "x" and "/" are refused with a beep; the mask skips its own literals.
  EXPECT_EQ(date->Text(), QStringLiteral("05/12/2024"));
  EXPECT_EQ(services->Beeps().size(), 3);

  // A sign or separator may replace the selection that holds it.
  integer->SetFocus();
  integer->SelectAll();
  Type(QStringLiteral("-8"));
  EXPECT_EQ(integer->Text(), QStringLiteral("-8"));
  Type(QStringLiteral("{Return}"));
  EXPECT_TRUE(other->Focused()) << "Enter moves to the next control";
  EXPECT_EQ(services->Beeps().size(), 3);

  // Comma and point become the regional decimal separator.
  Settings().DecimalSeparator = QLatin1Char(',');
  Settings().ThousandSeparator = QLatin1Char('.');
  integer->SetTypeValue(teNumber);
  integer->SetText(QString());
  integer->SetFocus();
  Type(QStringLiteral("3.75,"));
  EXPECT_EQ(integer->Text(), QStringLiteral("3,75"));
  EXPECT_DOUBLE_EQ(integer->Value().ToDouble(), 3.75);
}

// ---- the range ----

TEST_F(TypedEditTest, TheRangeCheckComparesTypedValues) {
  struct Case {
    TTypeForEdit type;
    const char *min;
    const char *max;
    const char *text;
    bool out;
  };
  const Case cases[] = {
      {teInteger, "1", "5", "7", true},
      {teInteger, "1", "5", "5", false},
      {teInteger, "1", "5", "", false},
      {teInteger, "10", "", "9", true},
      {teDate, "01/01/2024", "12/31/2024", "01/15/2025", true},
  };
  for (const Case &c : cases) {
    TEditTyped *edit = AddTyped(c.type);
    edit->SetMinValue(QString::fromLatin1(c.min));
    edit->SetMaxValue(QString::fromLatin1(c.max));
    edit->SetText(QString::fromLatin1(c.text));
    if (c.out) {
      EXPECT_EQ(MessageOf<EEditTypedRangeError>([&] { edit->CheckRange(); }),
                QStringLiteral("Value %1 out of range %2..%3")
                    .arg(edit->Text(), QString::fromLatin1(c.min), QString::fromLatin1(c.max)));
    } else {
      EXPECT_NO_THROW(edit->CheckRange()) << c.text;
    }
    edit->Free();
  }
}

TEST_F(TypedEditTest, LeavingAFieldOutOfRangeIsRefusedOnlyWithTheLimit) {
  TEditTyped *edit = AddTyped(teInteger);
  TEdit *other = AddOther();
  edit->SetEnabledLimit(true);
  edit->SetMinValue(QStringLiteral("1"));
  edit->SetMaxValue(QStringLiteral("5"));
  Show();
  edit->SetFocus();
  Type(QStringLiteral("7{Tab}"));
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_TRUE(services->MessageBoxes().first().Text.startsWith(QStringLiteral("Value 7 out of range 1..5")));
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(other->Focused());

  // Without the limit any value may be left.
  edit->SetEnabledLimit(false);
  edit->SetFocus();
  edit->SelectAll();
  Type(QStringLiteral("99{Tab}"));
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(services->MessageBoxes().size(), 1);
}

TEST_F(TypedEditTest, ABoundThatDoesNotConvertIsIgnored) {
  TEditTyped *edit = AddTyped(teInteger);
  edit->SetMinValue(QStringLiteral("1"));
  edit->SetMinValue(QStringLiteral("one"));
  EXPECT_EQ(edit->MinValue(), QStringLiteral("1"));
  edit->SetTypeValue(teDate);
  // A bound kept from another type bounds nothing it cannot be read as.
  edit->SetText(QStringLiteral("05/12/2024"));
  EXPECT_NO_THROW(edit->CheckRange());
}

// ---- the button ----

// Each style's own picture; the stock ones drawn on the transparent colour the bottom-left pixel gives.
TEST_F(TypedEditTest, EachButtonStyleHasItsWidthAndPicture) {
  struct Case {
    TSMButtonStyle style;
    int width;
    bool picture, stock;
  };
  using enum TSMButtonStyle;
  const Case cases[] = {{bsNone, 0, false, false},
                        {bsDropDown, GetSystemMetrics(SM_CXVSCROLL), true, false},
                        {bsEllipsis, 21, true, false},
                        {bsCalculator, 17, true, true},
                        {bsSum, 21, true, true}};
  TEditTyped *edit = AddTyped(teString);
  for (const Case &c : cases) {
    SCOPED_TRACE(int(c.style));
    edit->SetButtonStyle(c.style);
    EXPECT_EQ(edit->ButtonWidth(), c.width);
    EXPECT_EQ(!edit->Glyph()->Empty(), c.picture);
    if (!c.stock) continue;
    const QImage image = edit->Glyph()->Image();
    EXPECT_EQ(image.pixel(0, image.height() - 1) & 0xFFFFFF, 0x808000u);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) drawn += (image.pixel(x, y) & 0xFFFFFF) != 0x808000u;
    EXPECT_GT(drawn, image.width() * image.height() / 8);
  }
}

TEST_F(TypedEditTest, TheButtonIsNeverWiderThanTheEdit) {
  TEditTyped *edit = AddTyped(teString);
  edit->SetButtonStyle(TSMButtonStyle::bsEllipsis);
  edit->SetButtonWidth(40);
  edit->SetButtonWidth(edit->ClientWidth());
  EXPECT_EQ(edit->ButtonWidth(), 40);
}

TEST_F(TypedEditTest, TheButtonStandsAtTheRightEdgeAndTheTextEndsBeforeIt) {
  TEditTyped *edit = AddTyped(teString);
  edit->SetButtonStyle(TSMButtonStyle::bsEllipsis);
  Show();
  const int w = edit->ClientWidth();
  const int h = edit->ClientHeight();
  EXPECT_EQ(edit->ButtonContainer()->BoundsRect(), Rect(w - 23, 1, w - 2, h - 1));
  TRect text;
  edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text.Right, w - 23);

  edit->SetFlat(true);
  EXPECT_EQ(edit->ButtonContainer()->BoundsRect(), Rect(w - 21, 0, w, h));

  edit->SetButtonStyle(TSMButtonStyle::bsNone);
  edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text.Right, w);
}

TEST_F(TypedEditTest, AFlatEditIsFramedWhileFocusedAndATransparentOneShowsWhatIsBehind) {
  TEditTyped *edit = AddTyped(teString);
  TEdit *other = AddOther();
  edit->SetFlat(true);
  Show();
  other->SetFocus();
  const QRgb shadow = ColorToQColor(clBtnShadow).rgb();
  EXPECT_NE(GrabControl(edit).pixel(0, 0), shadow);
  edit->SetFocus();
  EXPECT_EQ(GrabControl(edit).pixel(0, 0), shadow);

  edit->SetTransparent(true);
  // Still so after the edit moves and its colours are set again.
  edit->SetBounds(20, 20, 150, 21);
  edit->SetColor(clYellow);
  EXPECT_EQ(LineEditOf(edit)->palette().color(QPalette::Base).alpha(), 0);
  edit->SetTransparent(false);
  EXPECT_EQ(LineEditOf(edit)->palette().color(QPalette::Base), ColorToQColor(clYellow));
}

TEST_F(TypedEditTest, TheButtonAndItsKeyFireOnButtonClick) {
  TEditTyped *edit = AddTyped(teString);
  int clicks = 0;
  edit->OnButtonClick = TNotifyEvent::From([&clicks](TObject *) { ++clicks; });
  Show();
  edit->SetFocus();
  // No button yet: nothing to click.
  Type(QStringLiteral("{AltDown}"));
  EXPECT_EQ(clicks, 0);
  edit->SetButtonStyle(TSMButtonStyle::bsEllipsis);
  guitest::Click(edit->Button(), QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  Type(QStringLiteral("{AltDown}"));
  EXPECT_EQ(clicks, 2);
  // Another shortcut.
  edit->SetButtonKey(VK_F4);
  Type(QStringLiteral("{AltDown}{F4}"));
  EXPECT_EQ(clicks, 3);
}

// ---- the calendar popup ----

class PopupTest : public TypedEditTest {
protected:
  void SetUp() override {
    TypedEditTest::SetUp();
    edit = AddTyped(teDate);
    edit->SetButtonStyle(TSMButtonStyle::bsCalendar);
    edit->SetText(QStringLiteral("05/12/2024"));
    Show();
    edit->SetFocus();
  }
  TPopupEditCalendar *Calendar() const { return dynamic_cast<TPopupEditCalendar *>(edit->Popup()); }
  void Open() {
    guitest::Click(edit->Button(), QPoint(4, 4));
    guitest::ProcessEvents();
    ASSERT_TRUE(edit->PopupVisible());
  }

  ClockGuard clock{EncodeDate(2024, 8, 20) + EncodeTime(9, 0, 0, 0)};
  TEditTyped *edit = nullptr;
};

TEST_F(PopupTest, TheButtonOpensTheCalendarUnderTheEditOnItsDateForDateTypesOnly) {
  Open();
  TPopupEditCalendar *popup = Calendar();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->Calendar()->CalendarDate(), Day(2024, 5, 12));
  const TPoint origin = edit->ClientOrigin();
  EXPECT_EQ(popup->Left(), origin.X);
  EXPECT_EQ(popup->Top(), origin.Y + edit->Height());
  // The edit keeps the keys, its caret hidden.
  EXPECT_TRUE(edit->Focused());
  EXPECT_TRUE(LineEditOf(edit)->isReadOnly());

  // Only date types open it; another kind of button only clicks.
  guitest::Click(edit->Button(), QPoint(4, 4));
  ASSERT_FALSE(edit->PopupVisible());
  int clicks = 0;
  edit->OnButtonClick = TNotifyEvent::From([&clicks](TObject *) { ++clicks; });
  edit->SetTypeValue(teTime);
  guitest::Click(edit->Button(), QPoint(4, 4));
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(clicks, 1);
}

TEST_F(PopupTest, PageKeysChangeTheMonthAndEnterOrAClickOnADayTakesTheDate) {
  Open();
  Type(QStringLiteral("{PgDown}"));
  EXPECT_EQ(Calendar()->TitleText(), QStringLiteral("June, 2024"));
  Type(QStringLiteral("{CtrlPgDown}"));
  EXPECT_EQ(Calendar()->TitleText(), QStringLiteral("June, 2025"));
  Type(QStringLiteral("{CtrlPgUp}{Right}{Down}{Return}"));
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(edit->Text(), QStringLiteral("06/20/2024"));

  // A click on a day takes it.
  edit->SetText(QStringLiteral("05/12/2024"));
  Open();
  TLocCalendar *calendar = Calendar()->Calendar();
  int col = 0, row = 0;
  calendar->CellOfDay(27, col, row);
  const TRect cell = calendar->CellRect(col, row);
  guitest::Click(calendar, QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
  guitest::ProcessEvents();
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(edit->Text(), QStringLiteral("05/27/2024"));
}

TEST_F(PopupTest, TheTitleButtonsPageAndTheTitleShowsTodaysMonth) {
  Open();
  TPopupEditCalendar *popup = Calendar();
  guitest::Click(popup->NextYearButton(), QPoint(3, 3));
  EXPECT_EQ(popup->TitleText(), QStringLiteral("May, 2025"));
  guitest::Click(popup->PrevMonthButton(), QPoint(3, 3));
  EXPECT_EQ(popup->TitleText(), QStringLiteral("April, 2025"));
  guitest::Click(popup->Title(), QPoint(10, 5));
  EXPECT_EQ(popup->TitleText(), QStringLiteral("August, 2024"));
}

// Escape, a release elsewhere and leaving the edit close the popup without a value; a release on the popup
// itself takes the date it shows. Escape goes no further (the form stays open).
TEST_F(PopupTest, WaysOfClosingThePopup) {
  TEdit *other = AddOther(100);
  const struct {
    const char *name;
    std::function<void()> close;
    const char *text;
  } cases[] = {
      {"Escape", [] { Type(QStringLiteral("{Esc}")); }, "05/12/2024"},
      {"release elsewhere",
       [this] {
         guitest::SendMouse(form, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(200, 200), Qt::NoButton);
       },
       "05/12/2024"},
      {"focus leaves", [other] { other->SetFocus(); }, "05/12/2024"},
      {"release on the popup", [this] { guitest::Click(edit->Popup(), QPoint(1, 10)); }, "06/12/2024"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    edit->SetText(QStringLiteral("05/12/2024"));
    edit->SetFocus();
    Open();
    Type(QStringLiteral("{PgDown}"));
    c.close();
    guitest::ProcessEvents();
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), QString::fromLatin1(c.text));
    EXPECT_TRUE(form->Showing());
  }
}

TEST_F(PopupTest, AnEmptyEditOpensOnTodayTheTimeComesBackWithTheDateAndAReadOnlyEditStays) {
  edit->SetText(QString());
  Open();
  EXPECT_EQ(Calendar()->Calendar()->CalendarDate(), Day(2024, 8, 20));
  guitest::Click(edit->Button(), QPoint(4, 4));
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(edit->Text(), QStringLiteral("  /  /    "));

  // The time of day comes back with the chosen date.
  edit->SetTypeValue(teDateShortTime);
  edit->SetText(QStringLiteral("05/12/2024 14:30"));
  Open();
  Type(QStringLiteral("{Left}{Return}"));
  EXPECT_EQ(edit->Text(), QStringLiteral("05/11/2024 14:30"));

  // A read-only edit is not changed by the popup.
  edit->SetReadOnly(true);
  Open();
  Type(QStringLiteral("{PgDown}{Return}"));
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(edit->Text(), QStringLiteral("05/11/2024 14:30"));
  EXPECT_TRUE(LineEditOf(edit)->isReadOnly());
}

TEST_F(PopupTest, ThePopupStaysOnTheScreen) {
  const int screenWidth = Screen()->Width();
  const int screenHeight = Screen()->Height();
  const int w = edit->Popup()->Width();
  const int h = edit->Popup()->Height();
  const TPoint origin = edit->ClientOrigin();
  edit->SetPopupAlign(taRightJustify);
  TPoint p = edit->PopupPosition();
  // Lined up with the right edge, but never left of the screen.
  EXPECT_EQ(p.X, std::max(0, origin.X + edit->Width() - w));

  // Near the bottom right of the screen: above the edit, pulled in from the right.
  edit->SetPopupAlign(taLeftJustify);
  form->SetBounds(screenWidth - 60, screenHeight - 80, form->Width(), form->Height());
  guitest::ProcessEvents();
  const TPoint moved = edit->ClientOrigin();
  ASSERT_GT(moved.Y + edit->Height() + h, screenHeight);
  p = edit->PopupPosition();
  EXPECT_EQ(p.Y, moved.Y - h);
  EXPECT_EQ(p.X, screenWidth - w);
}

// ---- auto-completion ----

TEST_F(TypedEditTest, FileNamesAreCompletedWhereAskedAndNothingElseIs) {
  TEditTyped *edit = AddTyped(teString);
  Show();
  QLineEdit *line = LineEditOf(edit);
  EXPECT_EQ(line->completer(), nullptr);
  edit->SetAutoComplete(TSMCompletition{mcFileSystem, mcAutoSuggest});
  ASSERT_NE(line->completer(), nullptr);
  // No source of web addresses on this system: the edit works without completion.
  edit->SetAutoComplete(TSMCompletition{mcUrlHistory, mcUrlMRU, mcAutoSuggest});
  EXPECT_EQ(line->completer(), nullptr);

  // Completion is set up again when the window is made.
  edit->SetAutoComplete(TSMCompletition{mcFileSystem});
  edit->RecreateWnd();
  ASSERT_NE(LineEditOf(edit), nullptr);
  EXPECT_NE(LineEditOf(edit)->completer(), nullptr);
}

} // namespace
