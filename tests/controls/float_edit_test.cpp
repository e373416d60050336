// The float edit: its key filter, the value read from and shown in the text, the bounds and digits, and what
// happens when the user enters and leaves it.
#include "controls/edits/float_edit.h"
#include "platform/core/format_settings.h"
#include "tests/platform/std_test_helpers.h"
#include <cmath>

namespace {

class FloatEditTest : public stdtest::FormTest {
protected:
  FloatEditTest() : settings_(FormatSettings::USEnglish()) {}

  TFloatEdit *AddFloat(int top = 10) { return Add<TFloatEdit>(10, top, 121, 21); }
  TEdit *AddOther() { return Add<TEdit>(10, 100, 121, 21); }
  // Enters the edit and types Text over all of it.
  static void Retype(TFloatEdit *edit, const QString &text) {
    edit->SetFocus();
    guitest::ProcessEvents();
    edit->SelectAll();
    Type(text);
  }
  QStringList Messages() {
    QStringList texts;
    for (const TMessageBoxRequest &request : services->MessageBoxes()) texts << request.Text;
    return texts;
  }

  FormatSettingsGuard settings_;
};

// ---- key filter ----

struct KeyCase {
  const char *name;
  double min;
  int digits;
  const char *text; // the text before the key
  int selStart;
  int selLength;
  char key;
  const char *expected;
  int expectedSelStart; // -1: not checked
  int expectedSelLength;
};

const KeyCase kKeyCases[] = {
    {"third decimal is refused", 0, 2, "1.23", 4, 0, '4', "1.23", -1, 0},
    {"letter is refused", 0, 2, "12", 2, 0, 'a', "12", -1, 0},
    {"second separator is refused", 0, 2, "1.2", 3, 0, '.', "1.2", -1, 0},
    {"separator replacing the selected one", 0, 2, "1.2", 1, 1, '.', "1.2", -1, 0},
    {"separator with no decimals allowed is refused", -100, 0, "12", 2, 0, '.', "12", -1, 0},
    {"minus when Min is 0 is refused", 0, 1, "5", 0, 0, '-', "5", -1, 0},
    {"minus at the start of a signed edit", -99999999.9, 1, "5", 0, 0, '-', "-5", -1, 0},
    {"minus elsewhere is refused", -99999999.9, 1, "5", 1, 0, '-', "5", -1, 0},
    {"minus into an empty signed edit", -99999999.9, 1, "", 0, 0, '-', "-0", 1, 1},
    {"separator into an empty edit", 0, 2, "", 0, 0, '.', "0.0", 2, 1},
};

TEST_F(FloatEditTest, KeyFilterKeepsAWellFormedNumber) {
  TFloatEdit *edit = AddFloat();
  Show();
  edit->SetFocus();
  // Each case twice: silently without a message, and saying the message for each key refused.
  for (const bool told : {false, true})
    for (const KeyCase &c : kKeyCases) {
      edit->SetErrorMessage(told ? QStringLiteral("Not a number this field holds") : TFloatEdit::NoText);
      const qsizetype before = Messages().size();
      SCOPED_TRACE(c.name);
      edit->SetMin(c.min);
      edit->SetDigits(c.digits);
      edit->SetText(QString::fromLatin1(c.text));
      edit->SetSelStart(c.selStart);
      edit->SetSelLength(c.selLength);
      Type(QString(QLatin1Char(c.key)));
      EXPECT_EQ(edit->Text(), QString::fromLatin1(c.expected));
      if (c.expectedSelStart >= 0) {
        EXPECT_EQ(std::pair(edit->SelStart(), edit->SelLength()),
                  std::pair(c.expectedSelStart, c.expectedSelLength));
      }
      const bool refused = std::string_view(c.name).ends_with("refused");
      EXPECT_EQ(Messages().size() - before, told && refused ? 1 : 0);
    }
  edit->SetErrorMessage(TFloatEdit::NoText);
  // Typed as a person does: a fourth character after two decimals is refused; OnKeyPress may change a key
  // before the filter sees it; Escape restores the value on entry.
  TFloatEdit *typed = AddFloat(40);
  typed->SetDigits(2);
  typed->SetValue(12.5);
  typed->OnKeyPress = TKeyPressEvent::From([](TObject *, QChar &Key) {
    if (Key == QLatin1Char('x')) Key = QLatin1Char('7');
  });
  Retype(typed, QStringLiteral("x.234"));
  EXPECT_EQ(typed->Text(), QStringLiteral("7.23"));
  Type(QStringLiteral("{Esc}"));
  EXPECT_EQ(typed->Text(), QStringLiteral("12.50"));
  EXPECT_EQ(typed->SelLength(), 5);
}

TEST_F(FloatEditTest, UsesTheDecimalSeparatorOfTheLocaleItWasMadeIn) {
  FormatSettings comma = FormatSettings::USEnglish();
  comma.DecimalSeparator = QLatin1Char(',');
  comma.ThousandSeparator = QLatin1Char('.');
  Settings() = comma;
  TFloatEdit *edit = AddFloat();
  edit->SetDigits(2);
  Settings() = FormatSettings::USEnglish(); // a later change does not reach the edit
  EXPECT_EQ(edit->Text(), QStringLiteral("0,00"));
  Show();
  Retype(edit, QStringLiteral("3.1,25"));
  EXPECT_EQ(edit->Text(), QStringLiteral("31,25"));
  EXPECT_DOUBLE_EQ(edit->Value(), 31.25);
}

TEST_F(FloatEditTest, EnterFiresItsOwnEventAndTypesNothing) {
  TFloatEdit *edit = AddFloat();
  int presses = 0;
  QChar seen;
  edit->OnEnterPress = TKeyPressEvent::From([&](TObject *, QChar &Key) {
    seen = Key;
    ++presses;
  });
  int keyPresses = 0;
  edit->OnKeyPress = TKeyPressEvent::From([&](TObject *, QChar &) { ++keyPresses; });
  Show();
  edit->SetFocus();
  edit->SetText(QStringLiteral("4.5"));
  edit->Perform(WM_CHAR, '\r', 0);
  edit->Perform(WM_CHAR, '\n', 0);
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(seen, QLatin1Char('\n'));
  EXPECT_EQ(keyPresses, 2); // OnKeyPress sees the keys first
  EXPECT_EQ(edit->Text(), QStringLiteral("4.5"));
}

TEST_F(FloatEditTest, EnteringSelectsAllAndFiresOnEnter) {
  TFloatEdit *edit = AddFloat();
  AddOther();
  int enters = 0;
  edit->OnEnter = TNotifyEvent::From([&](TObject *) { ++enters; });
  edit->SetValue(3.5);
  Show();
  edit->SetFocus();
  guitest::ProcessEvents();
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(std::pair(edit->SelStart(), edit->SelLength()), std::pair(0, 3));
}

// ---- value ----

struct ReadCase {
  const char *text;
  double expected;
};

TEST_F(FloatEditTest, ValueIsReadFromTheTextAndShownInFixedNotationWithinTheBounds) {
  TFloatEdit *edit = AddFloat();
  edit->SetMin(-10);
  edit->SetMax(100);
  const ReadCase cases[] = {
      {"", 0}, {"-", 0}, {"12.5", 12.5}, {"abc", -10}, {"500", 100}, {"-50", -10},
  };
  for (const ReadCase &c : cases) {
    edit->SetText(QString::fromLatin1(c.text));
    EXPECT_DOUBLE_EQ(edit->Value(), c.expected) << c.text;
  }

  // The value is shown in fixed notation within the bounds.
  edit = AddFloat(40);
  EXPECT_EQ(edit->Text(), QStringLiteral("0.0"));
  edit->SetDigits(2);
  edit->SetValue(0.175);
  EXPECT_EQ(edit->Text(), QStringLiteral("0.18"));

  // Out of range: the bound, and no message while there is none.
  edit->SetValue(200000000);
  EXPECT_EQ(edit->Text(), QStringLiteral("99999999.90"));
  edit->SetValue(-5);
  EXPECT_EQ(edit->Text(), QStringLiteral("0.00"));
  edit->SetValue(std::nan(""));
  EXPECT_EQ(edit->Text(), QStringLiteral("0.00"));
  EXPECT_TRUE(Messages().isEmpty());

  edit->SetErrorMessage(QStringLiteral("Out of range"));
  edit->SetValue(-5);
  edit->SetValue(1e12);
  EXPECT_EQ(edit->Text(), QStringLiteral("99999999.90"));
  EXPECT_EQ(Messages(), QStringList({QStringLiteral("Out of range"), QStringLiteral("Out of range")}));

  edit->SetMin(-10);
  edit->SetText(QStringLiteral("-0"));
  edit->SetValue(edit->Value()); // negative zero shows as zero
  EXPECT_EQ(edit->Text(), QStringLiteral("0.00"));
}

TEST_F(FloatEditTest, DigitsAreAtMostEighteenAndReshowTheValueAndBoundsCannotCross) {
  TFloatEdit *edit = AddFloat();
  edit->SetValue(1.5);
  edit->SetDigits(0);
  EXPECT_EQ(edit->Text(), QStringLiteral("2"));
  edit->SetDigits(40);
  EXPECT_EQ(edit->Digits(), 18);
  EXPECT_EQ(edit->Text(), QStringLiteral("2.") + QString(18, QLatin1Char('0')));

  edit->SetDigits(1);
  edit->SetMax(50);
  edit->SetMin(80);
  EXPECT_EQ(edit->Min(), 50);
  EXPECT_EQ(edit->Text(), QStringLiteral("50.0")) << "the value moved into the new bounds";
  edit->SetMax(20);
  EXPECT_EQ(edit->Max(), 50);
  EXPECT_EQ(Messages(),
            QStringList({QStringLiteral("Min-Value has to be less than or equal to Max-Value !"),
                         QStringLiteral("Max-Value has to be greater than or equal to Min-Value !")}));
}

// What the text holds as a number the edit can hold, and the values it can show unchanged.
TEST_F(FloatEditTest, TheTypedValueIsTheNumberShownWhenTheEditCanHoldIt) {
  TFloatEdit *edit = AddFloat();
  edit->SetDigits(2);
  edit->SetMin(-10);
  edit->SetMax(100);
  const struct {
    const char *text;
    std::optional<double> typed;
  } cases[] = {
      {"", 0},          {"-", 0},
      {".", 0},         {"12.5", 12.5},
      {"-0.25", -0.25}, {"12.345", {}},
      {"100.01", {}},   {"-10.5", {}},
      {"1e2", {}},      {"1,5", {}},
      {" 5", {}},       {"5-", {}},
      {"1.2.3", {}},    {"99999999999999", {}},
      {"0.99", 0.99},
  };
  for (const auto &c : cases) {
    edit->SetText(QString::fromLatin1(c.text));
    EXPECT_EQ(edit->TypedValue(), c.typed) << c.text;
  }
  for (const auto &[value, held] :
       {std::pair{0.1, true}, std::pair{99.99, true}, std::pair{0.175, false}, std::pair{100.5, false},
        std::pair{-11.0, false}, std::pair{std::nan(""), false}})
    EXPECT_EQ(edit->CanHold(value), held) << value;
  EXPECT_EQ(edit->NumberRule(), QStringLiteral("a number from -10 to 100 with at most 2 decimals"));
  edit->SetDigits(1);
  EXPECT_TRUE(edit->NumberRule().endsWith(QStringLiteral("with at most 1 decimal")));
  edit->SetDigits(0);
  EXPECT_TRUE(edit->NumberRule().endsWith(QStringLiteral("without decimals")));
}

// ---- entering and leaving ----

// A text the edit cannot hold keeps the focus: with a message, said so and kept selected to be mended (Escape
// brings back the value on entry); without one, the value on entry comes back. Within the bounds, or empty or
// a sign alone (zero), the edit is left with its value reformatted.
TEST_F(FloatEditTest, LeavingWithATextItCannotHoldKeepsTheFocus) {
  const struct {
    double min, max;
    const char *message, *typed, *text;
    bool left;
  } cases[] = {
      {0, 100, "Too much", "250", "250", false},      {0, 100, "Too much", "7", "7.0", true},
      {0, 100, "Too much", "{CtrlV}", "7.25", false}, // pasted, with a decimal more than it shows
      {40, 100, nullptr, "1", "42.0", false},         {40, 100, nullptr, "{CtrlV}", "42.0", false},
      {-100, 100, nullptr, "-", "0.0", true},
  };
  services->SetClipboardText(QStringLiteral("7.25"));
  TFloatEdit *edit = AddFloat();
  TEdit *other = AddOther();
  int exits = 0;
  edit->OnExit = TNotifyEvent::From([&](TObject *) { ++exits; });
  edit->SetValue(42);
  Show();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    edit->SetMin(c.min);
    edit->SetMax(c.max);
    edit->SetErrorMessage(c.message ? QString::fromLatin1(c.message) : TFloatEdit::NoText);
    edit->SetValue(42);
    exits = 0;
    const qsizetype boxes = services->MessageBoxes().size();
    Retype(edit, QString::fromLatin1(c.typed) + QStringLiteral("{Tab}"));
    EXPECT_EQ(edit->Text(), QString::fromLatin1(c.text));
    EXPECT_EQ(std::pair(edit->Focused(), other->Focused()), std::pair(!c.left, c.left));
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(Messages().mid(boxes),
              c.message && !c.left ? QStringList({QString::fromLatin1(c.message)}) : QStringList());
    EXPECT_EQ(edit->SelLength(), c.left ? 0 : edit->Text().size());
    if (c.left) other->SetFocus();
  }
  // Entered again with the text it refused, Escape still brings back the value it had before.
  edit->SetErrorMessage(QStringLiteral("Too much"));
  edit->SetValue(42);
  other->SetFocus();
  Retype(edit, QStringLiteral("500{Tab}"));
  EXPECT_EQ(edit->Text(), QStringLiteral("500"));
  Type(QStringLiteral("{Esc}"));
  EXPECT_EQ(edit->Text(), QStringLiteral("42.0"));
}

} // namespace
