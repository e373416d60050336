// The simple, numeric and picture fields typed into through real key events, row by row: each row starts a
// field of a kind, type and mask (with a value and settings when it says so), types its keys and checks the
// text shown, the value read back and the caret.
#include "controls/framework/day_numbers.h"
#include "tests/controls/entry_field_fixture.h"
#include <QImage>
#include <functional>

namespace {

struct KeyRow {
  char kind; // 's' simple, 'n' numeric, 'p' picture
  int type;
  const char *mask;
  const char *start; // a value given as text before the field is entered, or nullptr
  const char *keys;  // UTF-8
  const char *shown;
  QString value; // as FieldValueText gives it
  int caret;
  std::function<void(TOvcBaseEntryField *, TOvcController *)> setup = {};
};

void PrintTo(const KeyRow &row, std::ostream *os) {
  *os << row.kind << " type " << row.type << " mask \"" << row.mask << "\" start \""
      << (row.start ? row.start : "") << "\" keys \"" << row.keys << '"';
}

QString Day(int d, int m, int y) { return QString::number(ovcdate::DMYtoDate(d, m, y, 0)); }

void AddOptions(TOvcBaseEntryField *field, TOvcEntryFieldOptions options) {
  field->SetOptions(field->Options() + options);
}

class EntryKeystrokesTest : public EntryFieldForm {
protected:
  void Run(const std::vector<KeyRow> &rows) {
    AddCommandKeys();
    const TOvcBaseEFOptions entryOptions = controller->EntryOptions();
    for (const KeyRow &row : rows) {
      SCOPED_TRACE(testing::PrintToString(row));
      controller->SetInsertMode(true);
      controller->SetEntryOptions(entryOptions);
      TOvcBaseEntryField *field = Make(row.kind, row.type, QString::fromUtf8(row.mask));
      TOvcBaseEntryField *next = Make('s', sftString); // where {Tab} goes
      if (row.setup) row.setup(field, controller);
      if (row.start) field->SetValueFromText(QString::fromUtf8(row.start));
      Focus(field);
      Type(QString::fromUtf8(row.keys));
      EXPECT_EQ(field->DisplayString(), QString::fromUtf8(row.shown));
      EXPECT_EQ(FieldValueText(field), row.value);
      EXPECT_EQ(field->CaretPosition(), row.caret);
      // Hidden fields let the focus go whatever they hold.
      field->SetVisible(false);
      next->SetVisible(false);
    }
  }
};

TEST_F(EntryKeystrokesTest, SimpleField) {
  auto maxLength = [](int length) {
    return [length](TOvcBaseEntryField *f, TOvcController *) { f->SetMaxLength(length); };
  };
  auto range = [](const char *lo, const char *hi) {
    return [lo, hi](TOvcBaseEntryField *f, TOvcController *) {
      AddOptions(f, {efoArrowIncDec});
      f->SetRangeLo(QString::fromLatin1(lo));
      f->SetRangeHi(QString::fromLatin1(hi));
    };
  };
  const auto arrows = [](TOvcBaseEntryField *f, TOvcController *) { AddOptions(f, {efoArrowIncDec}); };
  auto places = [](int decimals) {
    return [decimals](TOvcBaseEntryField *f, TOvcController *) { f->SetDecimalPlaces(decimals); };
  };
  Run({
      {'s', sftString, "", nullptr, "abc{Home}{Del}", "bc", QStringLiteral("bc"), 0},
      {'s', sftString, "", nullptr, "abc{Home}{Ins}xy", "xyc", QStringLiteral("xyc"), 2},
      {'s', sftString, "", nullptr, "abc def{ShiftHome}x", "x", QStringLiteral("x"), 1},
      {'s', sftString, "", nullptr, "abc def{Home}{CtrlRight}", "abc def", QStringLiteral("abc def"), 4},
      {'s', sftString, "", nullptr, "abc def{CtrlLeft}{ShiftEnd}{Del}", "abc ", QStringLiteral("abc "), 4},
      {'s', sftString, "", nullptr, "abcdef{Left}{Left}{Back}{F2}", "abc", QStringLiteral("abc"), 3},
      {'s', sftString, "", nullptr, "abcdef{Left}{Left}{F3}", "ef", QStringLiteral("ef"), 0},
      {'s', sftString, "", nullptr, "abc def{Home}{F4}", "def", QStringLiteral("def"), 0},
      {'s', sftString, "", nullptr, "abc{Left}{ShiftLeft}{ShiftLeft}z", "zc", QStringLiteral("zc"), 1},
      {'s', sftString, "", nullptr, "abc{F11}", "", QString(), 0},
      {'s', sftString, "", nullptr, "abc", "***", QStringLiteral("abc"), 3,
       [](TOvcBaseEntryField *f, TOvcController *) { AddOptions(f, {efoPasswordMode}); }},
      {'s', sftString, "", nullptr, "ab", "ab____", QStringLiteral("ab"), 2,
       [](TOvcBaseEntryField *f, TOvcController *) {
         f->SetMaxLength(6);
         f->SetPadChar(QLatin1Char('_'));
       }},
      {'s', sftString, "", nullptr, "abcde{Home}X", "Xabcd", QStringLiteral("Xabcd"), 1, maxLength(5)},
      {'s', sftString, "", nullptr, "abcde{Home}X", "abcde", QStringLiteral("abcde"), 0,
       [](TOvcBaseEntryField *f, TOvcController *c) {
         f->SetMaxLength(5);
         c->SetEntryOptions(c->EntryOptions() - TOvcBaseEFOptions{efoInsertPushes});
       }},
      {'s', sftString, "", nullptr, "abcdeX", "abcde", QStringLiteral("abcde"), 5, maxLength(5)},
      {'s', sftString, "", "abcde", "{Home}{CtrlV}", "Xabcd", QStringLiteral("Xabcd"), 1,
       [this](TOvcBaseEntryField *f, TOvcController *) {
         f->SetMaxLength(5);
         services->SetClipboardText(QStringLiteral("X"));
       }},
      {'s', sftString, "", nullptr, "abc", "abc", QStringLiteral("abc"), 0,
       [](TOvcBaseEntryField *f, TOvcController *c) {
         f->SetMaxLength(3);
         c->SetEntryOptions(c->EntryOptions() + TOvcBaseEFOptions{efoAutoAdvanceChar});
       }},
      {'s', sftString, "!", "paid", "", "PAID", QStringLiteral("PAID"), 4},
      {'s', sftLongInt, "", nullptr, "--5", "--5", QStringLiteral("error 257"), 3},
      {'s', sftLongInt, "K", nullptr, "ffffffff", "FFFFFFFF", QStringLiteral("-1"), 8},
      {'s', sftShortInt, "K", nullptr, "80", "80", QStringLiteral("-128"), 2},
      {'s', sftDouble, "E", nullptr, "1e+3", "1E+3", QStringLiteral("1000"), 4},
      {'s', sftLongInt, "", nullptr, "12{Up}3", "132", QStringLiteral("132"), 2},
      {'s', sftLongInt, "", "-7", "{F5}{F5}", "-5", QStringLiteral("-5"), 2},
      {'s', sftWord, "", nullptr, "70000", "70000", QStringLiteral("error 256"), 5},
      {'s', sftByte, "", "255", "{Up}", "0", QStringLiteral("0"), 1, arrows},
      {'s', sftDouble, "", nullptr, "1,5", "15", QStringLiteral("15"), 2},
      {'s', sftComp, "", nullptr, "1.5", "15", QStringLiteral("15"), 2},
      {'s', sftLongInt, "", nullptr, "{CtrlV}", "12", QStringLiteral("12"), 2,
       [this](TOvcBaseEntryField *, TOvcController *) { services->SetClipboardText(QStringLiteral("1 2")); }},
      {'s', sftDouble, "", "1.23456789012e30", "", "1.23457E+30", QStringLiteral("1.23457e+30"), 11,
       places(2)},
      {'s', sftDouble, "", "1.5", "2", "2", QStringLiteral("2"), 1},
      {'s', sftDouble, "", "1.5", "{Down}", "0.5", QStringLiteral("0.5"), 3, arrows},
      {'s', sftDouble, "", "1.5", "", "1.5", QStringLiteral("1.5"), 3, places(2)},
      {'s', sftDouble, "", "1e30", "", "1E+30", QStringLiteral("1e+30"), 5, places(2)},
      {'s', sftBoolean, "", nullptr, "xf", "F", QStringLiteral("false"), 0},
      {'s', sftYesNo, "", "Y", "{F5}", "N", QStringLiteral("false"), 0},
      {'s', sftChar, "", "a", "{Up}", "b", QStringLiteral("b"), 0, range("a", "c")},
      {'s', sftChar, "", "a", "{Up}{Up}", "c", QStringLiteral("c"), 0, range("a", "c")},
      {'s', sftChar, "", "a", "{Up}{Up}{Up}", "a", QStringLiteral("a"), 0, range("a", "c")},
      {'s', sftChar, "", "a", "{Down}", "c", QStringLiteral("c"), 0, range("a", "c")},
      {'s', sftChar, "9", "8", "{F5}{F5}{F5}", "0", QStringLiteral("0"), 0},
      {'s', sftChar, "", "ÿ", "{F6}", "þ", QStringLiteral("þ"), 0},
      {'s', sftChar, "", "a", "d", "d", QStringLiteral("error 256"), 0, range("a", "c")},
  });
}

// A simple field's window starts it with the type's first value inside its range.
TEST_F(EntryKeystrokesTest, ASimpleFieldStartsInsideItsRange) {
  const struct {
    TSimpleDataType type;
    const char *lo, *hi, *start;
  } cases[] = {{sftChar, "a", "c", "a"},      {sftChar, "#32", "c", " "}, {sftLongInt, "-10", "-5", "-10"},
               {sftLongInt, "-10", "5", "0"}, {sftByte, "3", "9", "3"},   {sftDouble, "-2.5", "-1", "-2.5"}};
  for (const auto &c : cases) {
    auto *field = new TOvcSimpleField(form);
    field->SetDataType(c.type);
    field->SetRangeLo(QString::fromLatin1(c.lo));
    field->SetRangeHi(QString::fromLatin1(c.hi));
    field->SetParent(form);
    field->HandleNeeded();
    EXPECT_EQ(FieldValueText(field), QString::fromLatin1(c.start)) << c.type << " " << c.lo;
  }
}

TEST_F(EntryKeystrokesTest, NumericField) {
  const auto arrows = [](TOvcBaseEntryField *f, TOvcController *) { AddOptions(f, {efoArrowIncDec}); };
  Run({
      {'n', nftDouble, "#######.##", nullptr, "12", "12", QStringLiteral("12"), 10},
      {'n', nftDouble, "#######.##", nullptr, "12.5", "12.5", QStringLiteral("12.5"), 10},
      {'n', nftDouble, "#######.##", nullptr, "1.2.5", "1.25", QStringLiteral("1.25"), 10},
      {'n', nftDouble, "#######.##", nullptr, "1.257", "1.257", QStringLiteral("1.26"), 10},
      {'n', nftDouble, "#######.##", nullptr, "123{Back}", "12", QStringLiteral("12"), 10},
      {'n', nftDouble, "cc#####.##", nullptr, "12", "$      12", QStringLiteral("12"), 10},
      {'n', nftDouble, "#######.##", nullptr, "12{Back}{Back}{Back}", "0", QStringLiteral("0"), 10},
      {'n', nftDouble, "#######.##", "123", "4", "4", QStringLiteral("4"), 10},
      {'n', nftDouble, "#####.##", nullptr, "12345.67", "12345.67", QStringLiteral("12345.67"), 8},
      {'n', nftDouble, "#####.##", nullptr, "123456", "12345", QStringLiteral("12345"), 8},
      {'n', nftDouble, "###.##", nullptr, "-123", "-12", QStringLiteral("-12"), 6},
      {'n', nftDouble, "###.##", nullptr, "123-", "123", QStringLiteral("123"), 6},
      {'n', nftDouble, ".##", nullptr, ".357", ".35", QStringLiteral("0.35"), 3},
      {'n', nftDouble, "###,###.##", nullptr, "12", "12", QStringLiteral("12"), 10},
      {'n', nftDouble, "###,###.##", nullptr, "123456789012", "123,456", QStringLiteral("123456"), 10},
      {'n', nftDouble, "", "1.5", "{Home}7", "1.57", QStringLiteral("1.57"), 10},
      {'n', nftLongInt, "", nullptr, "--5", "5", QStringLiteral("5"), 11},
      {'n', nftLongInt, "", nullptr, "-", "0", QStringLiteral("0"), 11},
      {'n', nftLongInt, "", nullptr, "-5", "-5", QStringLiteral("-5"), 11},
      {'n', nftLongInt, "", nullptr, "5-{Back}{Back}", "0", QStringLiteral("0"), 11},
      {'n', nftLongInt, "", nullptr, "-{Back}5", "5", QStringLiteral("5"), 11},
      {'n', nftLongInt, "", "-3", "{Home}{CtrlV}", "-35", QStringLiteral("-35"), 11,
       [this](TOvcBaseEntryField *, TOvcController *) { services->SetClipboardText(QStringLiteral("-5")); }},
      {'n', nftDouble, "#####.##", "1.5", "{Home}7", "1.57", QStringLiteral("1.57"), 8},
      {'n', nftLongInt, "", nullptr, "007", "7", QStringLiteral("7"), 11},
      {'n', nftLongInt, "", "123", "{ShiftHome}{Back}", "0", QStringLiteral("0"), 11},
      {'n', nftLongInt, "", "2147483647", "{Up}", "-2147483648", QStringLiteral("-2147483648"), 11, arrows},
      {'n', nftLongInt, "", "5", "{Down}{Down}", "3", QStringLiteral("3"), 11, arrows},
      {'n', nftLongInt, "##########p", nullptr, "42-", "(42)", QStringLiteral("-42"), 10},
      {'n', nftLongInt, "##########g", nullptr, "42-", "42-", QStringLiteral("-42"), 10},
      {'n', nftLongInt, "##########p", nullptr, "{CtrlV}", "(42)", QStringLiteral("-42"), 10,
       [this](TOvcBaseEntryField *, TOvcController *) {
         services->SetClipboardText(QStringLiteral("(42)"));
       }},
      {'n', nftLongInt, "KKKK", nullptr, "1f", "001F", QStringLiteral("31"), 4},
      {'n', nftLongInt, "OOOO", nullptr, "178", "0017", QStringLiteral("15"), 4},
      {'n', nftWord, "", nullptr, "70000", "70000", QStringLiteral("error 256"), 5},
      {'n', nftByte, "", nullptr, "1234", "123", QStringLiteral("123"), 3},
      {'n', nftByte, "", nullptr, "0012", "12", QStringLiteral("12"), 3},
      {'n', nftShortInt, "", nullptr, "-1289", "-128", QStringLiteral("-128"), 4},
  });
}

TEST_F(EntryKeystrokesTest, PictureField) {
  const auto noPushes = [](TOvcBaseEntryField *, TOvcController *c) {
    c->SetEntryOptions(c->EntryOptions() - TOvcBaseEFOptions{efoInsertPushes});
  };
  const auto now = [](TOvcBaseEntryField *f, TOvcController *) {
    static_cast<TOvcPictureField *>(f)->SetInitDateTime(true);
  };
  const QString phone = QStringLiteral("(555) 123-4567");
  auto paste = [this](const QString &text) {
    return [this, text](TOvcBaseEntryField *, TOvcController *) { services->SetClipboardText(text); };
  };
  // A low limit the value typed is under: leaving reports it and the field keeps its text as laid out.
  auto from = [](int low) {
    return [low](TOvcBaseEntryField *f, TOvcController *) { f->SetRangeLo(QString::number(low)); };
  };
  Run({
      {'p', pftString, "(999) 999-9999", nullptr, "5551234567", "(555) 123-4567", phone, 14},
      {'p', pftString, "(999) 999-9999", nullptr, "", "(   )    -    ", QStringLiteral("(   )    -    "), 1},
      {'p', pftString, "(999) 999-9999", nullptr, "{CtrlV}", "(555) 123-4567", phone, 14, paste(phone)},
      {'p', pftString, "(999) 999-9999", "5551234567", "{Home}{Back}", "(555) 123-4567", phone, 1},
      {'p', pftString, "(999) 999-9999", "5551234567", "{End}{Back}", "(555) 123-456 ",
       QStringLiteral("(555) 123-456 "), 13},
      {'p', pftString, "(999) 999-9999", "5551234567", "{Home}{Right}{Right}{F3}", "(5  ) 123-4567",
       QStringLiteral("(5  ) 123-4567"), 1},
      {'p', pftString, "(999) 999-9999", "5551234567", "{End}{CtrlLeft}{Del}", "(555) 123-567 ",
       QStringLiteral("(555) 123-567 "), 10},
      {'p', pftString, "XXXX", "abcd", "{Home}Z", "Zabc", QStringLiteral("Zabc"), 1},
      {'p', pftString, "XXXX", "abcd", "{Home}{Right}{Right}{Right}{Right}", "abcd", QStringLiteral("abcd"),
       4},
      {'p', pftString, "XXXXXX", "ab  cd", "{End}{CtrlLeft}{CtrlLeft}", "ab  cd", QStringLiteral("ab  cd"),
       0},
      {'p', pftString, "XXXX", "abcd", "{Home}Z", "abcd", QStringLiteral("abcd"), 0, noPushes},
      {'p', pftString, "XXXXXX", "abc", "{Home}Z", "Zabc  ", QStringLiteral("Zabc"), 1, noPushes},
      {'p', pftString, "XXXX", "abcd", "{Ins}{Home}Z", "Zbcd", QStringLiteral("Zbcd"), 1},
      {'p', pftString, "XXXXXX", "abcdef", "{Home}{Right}{Right}{F2}", "ab    ", QStringLiteral("ab"), 2},
      {'p', pftString, "XXXX", "abcd", "{End}{ShiftHome}x", "x   ", QStringLiteral("x"), 1},
      {'p', pftString, "XXXX", "ab", "", "**  ", QStringLiteral("ab"), 2,
       [](TOvcBaseEntryField *f, TOvcController *) { AddOptions(f, {efoPasswordMode}); }},
      {'p', pftString, "XX-XX", "ab", "", "ab-__", QStringLiteral("ab-  "), 3,
       [](TOvcBaseEntryField *f, TOvcController *) { f->SetPadChar(QLatin1Char('_')); }},
      {'p', pftString, "XX-XX", "ab", "", "**-  ", QStringLiteral("ab-  "), 3,
       [](TOvcBaseEntryField *f, TOvcController *) { AddOptions(f, {efoPasswordMode}); }},
      {'p', pftString, "XXXXX", "ab", "", "   ab", QStringLiteral("ab"), 5,
       [](TOvcBaseEntryField *f, TOvcController *) { AddOptions(f, {efoRightJustify}); }},
      {'p', pftString, "llll", nullptr, "AB", "ab  ", QStringLiteral("ab"), 2},
      {'p', pftBoolean, "", nullptr, "xf", "F", QStringLiteral("false"), 0},
      {'p', pftChar, "", "a", "{F5}{F6}{F6}", "`", QStringLiteral("`"), 0},
      {'p', pftChar, "", "!", "{F6}{F6}", "_", QString(QChar(31)), 0},
      {'p', pftChar, "(X)", "b", "{CtrlV}", "(a)", QStringLiteral("a"), 1, paste(QStringLiteral("(a)"))},
      {'p', pftLongInt, "iiiiii", nullptr, "12{Home}9", "912   ", QStringLiteral("912"), 1},
      {'p', pftLongInt, "", nullptr, "12{F5}", "13         ", QStringLiteral("13"), 2},
      {'p', pftDouble, "####.##", nullptr, "12.5", "  12.5 ", QStringLiteral("12.5"), 6},
      {'p', pftDouble, "####.##", nullptr, "3.", "   3.  ", QStringLiteral("3"), 5},
      {'p', pftDouble, "$###,###.##", "1234.5", "{Home}", "    1234.50", QStringLiteral("1234.5"), 2},
      {'p', pftDouble, "###.##", nullptr, "5{Home}{Up}", "  5.00", QStringLiteral("5"), 0,
       [](TOvcBaseEntryField *, TOvcController *c) {
         c->SetEntryOptions(c->EntryOptions() + TOvcBaseEFOptions{efoAutoAdvanceLeftRight});
       }},
      {'p', pftDouble, "###.##", nullptr, ".5{Tab}", "  0.50", QStringLiteral("error 256"), 5, from(1)},
      {'p', pftDouble, "###.##", nullptr, "1.5{Tab}", "  1.50", QStringLiteral("error 256"), 5, from(2)},
      {'p', pftLongInt, "$###", nullptr, "1234", " 123", QStringLiteral("123"), 4},
      {'p', pftDouble, "#,###", nullptr, "1.5{Tab}", " 1.5 ", QStringLiteral("error 257"), 4},
      {'p', pftLongInt, "$###", "123", "{Home}{Right}{F3}45", " 452", QStringLiteral("452"), 3},
      {'p', pftDate, "", nullptr, "05152024", "05/15/2024", Day(15, 5, 2024), 10},
      {'p', pftDate, "", nullptr, "5/1/2024", "5 /1 /2024", Day(1, 5, 2024), 10},
      {'p', pftDate, "", nullptr, "/5", "5 /  /    ", QStringLiteral("error 259"), 1},
      {'p', pftDate, "dd.mm.yyyy", nullptr, "5.5.2024{Tab}", "05.05.2024", Day(5, 5, 2024), 0},
      {'p', pftString, "999.999.9999", nullptr, "55{Tab}", "55 .   .    ", QStringLiteral("55 .   .    "), 0},
      {'p', pftDate, "", nullptr, "", "05/15/2024", Day(15, 5, 2024), 10, now},
      {'p', pftDate, "", "5/1/2024", "", "  /  /    ", QStringLiteral("-1"), 0},
      {'p', pftDate, "", nullptr, "{F7}", "05/15/2024", Day(15, 5, 2024), 0},
      {'p', pftDate, "", "05/15/2024", "{Home}{F5}", "06/15/2024", Day(15, 6, 2024), 0},
      {'p', pftDate, "", "05/15/2024", "{Home}{Right}{Right}{F6}", "05/14/2024", Day(14, 5, 2024), 3},
      {'p', pftDate, "", "05/15/2024", "{End}{F5}", "05/15/2025", Day(15, 5, 2025), 10},
      {'p', pftDate, "", "02/29/2024", "{End}{F5}", "02/28/2025", Day(28, 2, 2025), 10},
      {'p', pftDate, "", "12/31/3999", "{Home}{F5}", "01/31/1600", Day(31, 1, 1600), 0},
      {'p', pftDate, "mm/dd/yyyy;", "05/15/2024;", "{End}{F5}", "05/15/2025;", Day(15, 5, 2025), 10},
      {'p', pftTime, "", nullptr, "0930", "09:30", QStringLiteral("34200"), 5},
      {'p', pftTime, "", nullptr, "", " 9:30", QStringLiteral("34200"), 5, now},
      {'p', pftTime, "", "09:30", "{End}{F5}", " 9:31", QStringLiteral("34260"), 5},
      {'p', pftTime, "", "09:30", "{Home}{F6}", " 8:30", QStringLiteral("30600"), 0},
      {'p', pftTime, "", "11:11", "{Home}{Right}{Right}{Right}{F8}", "11:30", QStringLiteral("41400"), 4},
  });
}

// The pixels of the field drawn in the colour.
int PixelsOf(TOvcBaseEntryField *field, const QColor &color) {
  const QImage image = field->Widget()->grab().toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == color ? 1 : 0;
  return count;
}

TEST_F(EntryKeystrokesTest, ANumberSelectedOnEntryIsDrawnSelectedAndTheFirstDigitReplacesIt) {
  auto *before = Make('s', sftString);
  auto *amount = Make('n', nftDouble, QStringLiteral("#####.##"));
  amount->EFColors()->Highlight()->SetBackColor(clLime);
  amount->SetValueFromText(QStringLiteral("123"));
  Focus(before);
  EXPECT_EQ(PixelsOf(amount, QColor(Qt::green)), 0);
  Type(QStringLiteral("{Tab}"));
  ASSERT_TRUE(amount->Focused());
  const int whole = PixelsOf(amount, QColor(Qt::green));
  EXPECT_GT(whole, 20) << "the whole number is drawn selected";
  amount->Perform(EM_SETSEL, 0, MAKELPARAM(0, 1));
  EXPECT_EQ(PixelsOf(amount, QColor(Qt::green)), whole)
      << "a digit replaces the whole number however much is selected";
  Type(QStringLiteral("4"));
  EXPECT_EQ(PixelsOf(amount, QColor(Qt::green)), 0);
  EXPECT_EQ(FieldValueText(amount), QStringLiteral("4"));
}

TEST_F(EntryKeystrokesTest, AnInsertionPointOnALiteralMovesToTheEditablePlaceLeftOfIt) {
  auto *field = static_cast<TOvcPictureField *>(Make('p', pftString, QStringLiteral("(999) 999-9999")));
  Focus(field);
  const struct {
    int asked;
    int placed;
  } cases[] = {{4, 3}, {5, 3}, {0, 1}, {9, 8}, {10, 10}, {20, 14}};
  for (const auto &c : cases) {
    field->SetInsertionPoint(c.asked);
    EXPECT_EQ(field->CaretPosition(), c.placed) << c.asked;
  }
}

} // namespace
