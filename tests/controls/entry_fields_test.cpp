// The simple, numeric and picture fields on a form, typed into through real key events: keystroke scripts
// with the text shown, the value and the caret they leave; values of every type in and out; stepping,
// auto-advance and the insert mode the fields share through their controller; masks refused.
#include "controls/entry/numeric_field.h"
#include "controls/entry/picture_field.h"
#include "controls/entry/simple_field.h"
#include "controls/framework/day_numbers.h"
#include "controls/framework/library_exceptions.h"
#include "tests/controls/entry_field_fixture.h"
#include <functional>

namespace {

using EntryFieldsTest = EntryFieldForm;

QString Day(int d, int m, int y) { return QString::number(ovcdate::DMYtoDate(d, m, y, 0)); }

TEST_F(EntryFieldsTest, KeystrokeScripts) {
  struct Row {
    char kind;
    int type;
    const char *mask;
    const char *keys; // UTF-8
    const char *shown;
    QString value;
    int caret;
  };
  const Row rows[] = {
      {'s', sftString, "", "Łódź €ß", "Łódź €ß", QStringLiteral("Łódź €ß"), 7},
      {'s', sftString, "!", "ab", "AB", QStringLiteral("AB"), 2},
      {'s', sftString, "x", "new york", "New York", QStringLiteral("New York"), 8},
      {'s', sftString, "", "ab{Left}{Back}c", "cb", QStringLiteral("cb"), 1},
      {'s', sftLongInt, "K", "ff", "FF", QStringLiteral("255"), 2},
      {'s', sftWord, "", "12a3", "123", QStringLiteral("123"), 3},
      {'s', sftBoolean, "", "xt", "T", QStringLiteral("true"), 0},
      {'s', sftChar, "", "€", "€", QStringLiteral("€"), 0},
      {'n', nftDouble, "#######.##", "1.2.5", "1.25", QStringLiteral("1.25"), 10},
      {'n', nftDouble, "$###,###.##", "1234.5", "$1,234.5", QStringLiteral("1234.5"), 11},
      {'n', nftLongInt, "##########p", "42-", "(42)", QStringLiteral("-42"), 10},
      {'p', pftString, "(999) 999-9999", "5551234567", "(555) 123-4567", QStringLiteral("(555) 123-4567"),
       14},
      {'p', pftLongInt, "iiiiii", "12{Home}9", "912   ", QStringLiteral("912"), 1},
      {'p', pftDouble, "####.##", "12.5", "  12.5 ", QStringLiteral("12.5"), 6},
      {'p', pftDate, "", "5/15/2024", "5 /15/2024", Day(15, 5, 2024), 10},
      {'p', pftTime, "", "0930", "09:30", QStringLiteral("34200"), 5},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(std::string(1, row.kind) + " " + row.keys);
    controller->SetInsertMode(true);
    TOvcBaseEntryField *field = Make(row.kind, row.type, QString::fromUtf8(row.mask));
    Focus(field);
    Type(QString::fromUtf8(row.keys));
    EXPECT_EQ(field->DisplayString(), QString::fromUtf8(row.shown));
    EXPECT_EQ(field->CaretPosition(), row.caret);
    EXPECT_EQ(FieldValueText(field), row.value);
    field->SetVisible(false); // a hidden field lets the focus go whatever it holds
  }
}

TEST_F(EntryFieldsTest, ValuesOfEveryTypeTravelInAndOutUnchanged) {
  struct Row {
    char kind;
    int type;
    QString value;
  };
  const Row rows[] = {
      {'s', sftString, QStringLiteral("€")},
      {'s', sftString, QString()},
      {'p', pftChar, QStringLiteral("ß")},
      {'s', sftBoolean, QStringLiteral("true")},
      {'p', pftYesNo, QStringLiteral("false")},
      {'s', sftLongInt, QStringLiteral("-2147483648")},
      {'n', nftShortInt, QStringLiteral("-128")},
      {'s', sftReal, QStringLiteral("-0.25")},
      {'s', sftExtended, QStringLiteral("1234.5")},
      {'n', nftDouble, QStringLiteral("1234567890")},
      {'p', pftSingle, QStringLiteral("2.5")},
      {'n', nftComp, QStringLiteral("-900000000")},
      {'p', pftDate, Day(29, 2, 2024)},
      {'p', pftTime, QStringLiteral("45240")},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(std::string(1, row.kind) + " " + std::to_string(row.type) + " " + row.value.toStdString());
    TOvcBaseEntryField *field = Make(row.kind, row.type);
    field->SetValueFromText(row.value == QLatin1String("true")    ? QStringLiteral("T")
                            : row.value == QLatin1String("false") ? QStringLiteral("F")
                                                                  : row.value);
    if (field->DataType() == edtDate) field->SetAsDayNumber(row.value.toInt());
    if (field->DataType() == edtTime) field->SetAsSecondsOfDay(row.value.toInt());
    EXPECT_EQ(FieldValueText(field), row.value);
  }
  auto *stamp = static_cast<TOvcPictureField *>(Make('p', pftDateTime));
  TDateTime when = EncodeDate(2024, 3, 1) + EncodeTime(14, 5, 0, 0);
  stamp->SetFieldValue(&when);
  EXPECT_EQ(stamp->DisplayString(), QStringLiteral("03/01/2024 14:05"));
  EXPECT_EQ(FieldValueText(stamp, true), QString::number(double(when), 'g', 15));
}

TEST_F(EntryFieldsTest, ArrowsStepTheValueUnderTheCaret) {
  struct Row {
    char kind;
    int type;
    const char *start;
    const char *keys;
    const char *shown;
  };
  const Row rows[] = {
      {'p', pftDate, "01/31/2024", "{Home}{Up}", "02/29/2024"},
      {'p', pftDate, "12/31/3999", "{Home}{Right}{Right}{Right}{Down}{Up}{Up}", "01/01/1600"},
      {'p', pftTime, "23:59", "{End}{Up}", " 0:00"},
      {'n', nftByte, "255", "{Up}", "0"},
      {'p', pftByte, "7", "{Down}{Down}", "5  "},
      {'s', sftChar, "a", "{Up}{Up}", "c"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.keys);
    TOvcBaseEntryField *field = Make(row.kind, row.type);
    field->SetOptions(field->Options() + TOvcEntryFieldOptions{efoArrowIncDec});
    if (row.type == sftChar && row.kind == 's') {
      field->SetRangeLo(QStringLiteral("a"));
      field->SetRangeHi(QStringLiteral("c"));
    }
    field->SetValueFromText(QString::fromLatin1(row.start));
    Focus(field);
    Type(QString::fromLatin1(row.keys));
    EXPECT_EQ(field->DisplayString(), QString::fromLatin1(row.shown));
    field->SetVisible(false);
  }
}

TEST_F(EntryFieldsTest, TheInsertModeIsSharedThroughTheController) {
  auto *first = Make('s', sftString);
  auto *second = Make('p', pftString, QStringLiteral("XXXX"));
  second->SetValueFromText(QStringLiteral("abcd"));
  Focus(first);
  Type(QStringLiteral("{Ins}"));
  EXPECT_FALSE(first->InsertMode());
  Type(QStringLiteral("{Tab}"));
  ASSERT_TRUE(second->Focused());
  EXPECT_FALSE(controller->InsertMode());
  Type(QStringLiteral("{Home}Z"));
  EXPECT_EQ(second->DisplayString(), QStringLiteral("Zbcd")) << "overwrites as the first field left it";
  Type(QStringLiteral("{Ins}{Tab}"));
  EXPECT_TRUE(first->InsertMode());
}

TEST_F(EntryFieldsTest, AFullFieldAdvancesAfterTheLastCharacterAndRefusesMore) {
  controller->SetEntryOptions(controller->EntryOptions() + TOvcBaseEFOptions{efoAutoAdvanceChar});
  auto *byte = Make('n', nftByte);
  auto *next = Make('s', sftString);
  Focus(byte);
  Type(QStringLiteral("123"));
  EXPECT_TRUE(next->Focused()) << "the third digit fills the field";
  Focus(byte);
  Type(QStringLiteral("{End}4"));
  EXPECT_TRUE(byte->Focused()) << "a digit with no place is refused, not carried away";
  EXPECT_EQ(byte->DisplayString(), QStringLiteral("123"));
  EXPECT_FALSE(services->Beeps().isEmpty());
}

TEST_F(EntryFieldsTest, ABooleanTogglesByStepButItsArrowsMoveToAnotherField) {
  controller->SetEntryOptions(controller->EntryOptions() + TOvcBaseEFOptions{efoAutoAdvanceLeftRight});
  auto *flag = Make('s', sftBoolean);
  auto *next = Make('s', sftString);
  flag->SetOptions(flag->Options() + TOvcEntryFieldOptions{efoArrowIncDec});
  Focus(flag);
  Type(QStringLiteral("t"));
  flag->IncreaseValue();
  EXPECT_EQ(flag->DisplayString(), QStringLiteral("F"));
  Type(QStringLiteral("{Down}"));
  EXPECT_TRUE(next->Focused());
}

TEST_F(EntryFieldsTest, TheMaskLaysValuesOutAndTakesThemBackWithOrWithoutItsLiterals) {
  struct Row {
    const char *mask;
    const char *source;
    const char *merged;
    const char *stripped;
  };
  const Row rows[] = {
      {"$###,###.##", "-1234.5", " -$1,234.50", "-1234.50"},
      {"cc###", "12", " $ 12", "12"},
      {"(999) 999-9999", "5551234567", "(555) 123-4567", "5551234567"},
      {"###.#", "1234.5", "***.*", "***.*"},
  };
  for (const Row &row : rows) {
    auto *field = static_cast<TOvcPictureField *>(Make('p', pftDouble));
    field->SetPictureMask(QString::fromLatin1(row.mask));
    const QString merged = field->MergeWithPicture(QString::fromLatin1(row.source));
    EXPECT_EQ(merged, QString::fromLatin1(row.merged)) << row.mask;
    EXPECT_EQ(field->StripPicture(merged).trimmed(), QString::fromLatin1(row.stripped)) << row.mask;
  }
  // A picture string that strips its literals counts only its positions.
  auto *phone = static_cast<TOvcPictureField *>(Make('p', pftString, QStringLiteral("(999) 999-9999")));
  EXPECT_EQ(phone->GetDataSize(), 15);
  phone->SetOptions({efoStripLiterals});
  EXPECT_EQ(phone->GetDataSize(), 11);
  phone->SetValueFromText(QStringLiteral("5551234567"));
  EXPECT_EQ(FieldValueText(phone), QStringLiteral("5551234567"));
}

// Faults mended: a mask that cannot be edited is refused, a value that does not fit is never shown or stored
// cut, wrapped or rounded away, and a character the field cannot take is refused with a beep.
TEST_F(EntryFieldsTest, MasksTheFieldsCannotEditAreRefused) {
  auto *simple = static_cast<TOvcSimpleField *>(Make('s', sftString));
  EXPECT_THROW(simple->SetPictureMask(QLatin1Char('Z')), EInvalidPictureMask);
  EXPECT_EQ(simple->PictureMask(), QLatin1Char('X'));
  EXPECT_THROW(simple->SetDataType(TSimpleDataType(14)), EOvcException);
  auto *picture = static_cast<TOvcPictureField *>(Make('p', pftDouble));
  for (const char *mask : {"()-", "##.##.#", "##.##$", "#.#,#"})
    EXPECT_THROW(picture->SetPictureMask(QString::fromLatin1(mask)), EInvalidPictureMask) << mask;
  EXPECT_THROW(picture->SetPictureMask(QString(300, QLatin1Char('X'))), EInvalidPictureMask);
  EXPECT_EQ(picture->PictureMask(), QStringLiteral("##########"));
  auto *numeric = static_cast<TOvcNumericField *>(Make('n', nftLongInt));
  for (const char *mask : {"$,", "##p##", "###gg"})
    EXPECT_THROW(numeric->SetPictureMask(QString::fromLatin1(mask)), EInvalidPictureMask) << mask;
  EXPECT_THROW(numeric->SetDataType(TNumericDataType(10)), EOvcException);
  EXPECT_THROW(picture->SetDataType(TPictureDataType(17)), EOvcException);

  // On a form being designed, a decimal point is for the types with a fraction: a picture field of any other
  // type refuses it, and a numeric field of such a type refuses it beside 9 or i.
  const std::tuple<char, int, const char *, bool> designed[] = {
      {'p', pftDouble, "99.99", false}, {'p', pftSingle, "99.99", false}, {'p', pftComp, "99.99", true},
      {'p', pftLongInt, "99.99", true}, {'n', nftDouble, "99.99", true},  {'n', nftReal, "##.##", false},
      {'n', nftComp, "99.99", false}};
  for (const auto &[kind, type, mask, refused] : designed) {
    TOvcBaseEntryField *field = Make(kind, type);
    field->SetDesigning(true);
    auto *picture = kind == 'p' ? static_cast<TOvcPictureField *>(field) : nullptr;
    auto *numeric = kind == 'n' ? static_cast<TOvcNumericField *>(field) : nullptr;
    const QString text = QString::fromLatin1(mask);
    const auto set = [picture, numeric, &text] {
      if (picture)
        picture->SetPictureMask(text);
      else
        numeric->SetPictureMask(text);
    };
    if (refused)
      EXPECT_THROW(set(), EInvalidPictureMask) << kind << type << mask;
    else
      EXPECT_NO_THROW(set()) << kind << type << mask;
  }
}

TEST_F(EntryFieldsTest, ValuesThatDoNotFitAreRefusedNotCut) {
  auto *word = Make('s', sftWord);
  EXPECT_THROW(word->SetValueFromText(QStringLiteral("70000")), EEntryFieldError);
  auto *narrow = static_cast<TOvcPictureField *>(Make('p', pftLongInt, QStringLiteral("iii")));
  const std::int32_t big = 123456;
  narrow->SetFieldValue(&big);
  EXPECT_EQ(narrow->DisplayString(), QStringLiteral("***"));
  EXPECT_EQ(FieldValueText(narrow), QStringLiteral("error 257"));
  auto *money = Make('n', nftDouble, QStringLiteral("###.##"));
  const double tooMuch = 12345.5;
  money->SetFieldValue(&tooMuch);
  EXPECT_EQ(FieldValueText(money), QStringLiteral("error 257"));
  auto *plain = Make('s', sftDouble);
  const double half = 1.5;
  plain->SetFieldValue(&half);
  Focus(plain);
  EXPECT_EQ(plain->ValidateSelf(false), 0);
  EXPECT_EQ(FieldValueText(plain), QStringLiteral("1.5")) << "no decimal places set: not rounded to 2";
}

TEST_F(EntryFieldsTest, PastedCharactersTheFieldCannotTakeBeepOthersAreTypedAndTheCaretFollowsATransfer) {
  auto *digits = Make('s', sftLongInt);
  Focus(digits);
  services->SetClipboardText(QStringLiteral("12x4"));
  Type(QStringLiteral("{CtrlV}"));
  EXPECT_EQ(digits->DisplayString(), QStringLiteral("124"));
  EXPECT_EQ(services->Beeps().size(), 1);

  // A character no key press brought (as an input method delivers it) is typed.
  auto *text = Make('s', sftString);
  Focus(text);
  Type(QStringLiteral("ab{Left}"));
  text->Perform(WM_CHAR, u'€', 0); // as an input method delivers it
  EXPECT_EQ(text->DisplayString(), QStringLiteral("a€b"));

  // The caret shows after a value is transferred in.
  const QString value = QStringLiteral("invoice");
  text->SetFieldValue(&value);
  EXPECT_TRUE(text->Carets()->Visible());
  EXPECT_EQ(text->CaretPosition(), 7);

  // Changing the 3-D look makes the window again and keeps the text.
  text->SetValueFromText(QStringLiteral("invoice"));
  text->HandleNeeded();
  QWidget *before = text->Widget();
  text->SetCtl3D(false);
  EXPECT_NE(text->Widget(), before);
  EXPECT_EQ(text->EditString(), QStringLiteral("invoice"));
}

// A field assigned from another of its kind takes its type, mask, range and look: it shows and refuses values
// as the first does.
TEST_F(EntryFieldsTest, AssignCopiesAFieldOfTheSameKind) {
  for (const char kind : {'s', 'n', 'p'}) {
    SCOPED_TRACE(kind);
    TOvcBaseEntryField *from = Make(kind, kind == 'p'   ? int(pftLongInt)
                                          : kind == 'n' ? int(nftLongInt)
                                                        : int(sftLongInt));
    from->SetRangeLo(QStringLiteral("1"));
    from->SetRangeHi(QStringLiteral("50"));
    from->SetZeroDisplay(zdHide);
    from->SetOptions(from->Options() + TOvcEntryFieldOptions{efoArrowIncDec});
    from->SetColor(clYellow);
    TOvcBaseEntryField *to = Make(kind, kind == 'p'   ? int(pftString)
                                        : kind == 'n' ? int(nftByte)
                                                      : int(sftString));
    to->Assign(from);
    EXPECT_EQ(to->ZeroDisplay(), zdHide);
    EXPECT_EQ(to->Color(), clYellow);
    for (TOvcBaseEntryField *field : {from, to}) {
      field->SetValueFromText(QStringLiteral("50"));
      Focus(field);
      Type(QStringLiteral("{Up}"));
      EXPECT_EQ(field->DisplayString().trimmed(), QStringLiteral("1")) << "stepped past the top, it wraps";
      field->SetVisible(false);
    }
  }
}

TEST(ExtendedValue, StoresTheTenByteLayoutAndKeepsItsRange) {
  const TExtended one(1.0L);
  const TExtended::TBytes bytes = one.Bytes();
  EXPECT_EQ(bytes[7], 0x80);
  EXPECT_EQ(bytes[8], 0xFF);
  EXPECT_EQ(bytes[9], 0x3F);
  for (const char *text : {"1.1e4932", "-3.4e38", "0.1", "-0", "1e-4940"}) {
    const auto value = TExtended::Parse(QString::fromLatin1(text));
    ASSERT_TRUE(value) << text;
    EXPECT_EQ(TExtended::FromBytes(value->Bytes()), *value) << text;
  }
  EXPECT_FALSE(TExtended::Parse(QStringLiteral("1e5000")));
}

} // namespace
