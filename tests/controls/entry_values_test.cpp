// Values put into the simple, numeric and picture fields come back as they went in, or the field says it
// cannot hold them (stars shown, error 257 on the way out); a new mask keeps the value where it can hold it;
// the mask engine lays plain texts into masks and takes them out again under other regional settings.
#include "controls/entry/typed_values.h"
#include "controls/framework/day_numbers.h"
#include "tests/controls/entry_field_fixture.h"

namespace {

using EntryValuesTest = EntryFieldForm;

// Puts a value given as text into the field in the form its data type takes: strings and characters as they
// are, "true" or "false" for flags, numbers (days and seconds for dates and times) in the type's buffer.
void PutValue(TOvcBaseEntryField *field, const QString &value) {
  switch (field->DataType()) {
  case edtString: field->SetFieldValue(&value); return;
  case edtChar: {
    const QChar ch = value.isEmpty() ? QLatin1Char(' ') : value.at(0);
    field->SetFieldValue(&ch);
    return;
  }
  case edtBoolean:
  case edtYesNo: {
    const bool flag = value == QLatin1String("true");
    field->SetFieldValue(&flag);
    return;
  }
  default: {
    const auto number = TExtended::Parse(value);
    ASSERT_TRUE(number) << value.toStdString();
    alignas(TExtended) std::uint8_t buffer[sizeof(TExtended)] = {};
    WriteNumber(buffer, field->DataType(), number->Value());
    field->SetFieldValue(buffer);
  }
  }
}

QString Day(int d, int m, int y) { return QString::number(ovcdate::DMYtoDate(d, m, y, 0)); }

struct PutRow {
  char kind;
  int type;
  const char *mask;
  QString value;
  QString shown;
  QString out; // the value read back, or "error N"
};

void PrintTo(const PutRow &row, std::ostream *os) {
  *os << row.kind << " type " << row.type << " mask \"" << row.mask << "\" value " << row.value.toStdString();
}

TEST_F(EntryValuesTest, AValuePutInComesBackOrTheFieldSaysItCannotHoldIt) {
  const QString same;
  const PutRow rows[] = {
      // Floating types in masks without a point keep their fraction.
      {'n', nftDouble, "", QStringLiteral("1.5"), QStringLiteral("1.5"), same},
      {'n', nftReal, "", QStringLiteral("2.5"), QStringLiteral("2.5"), same},
      {'n', nftSingle, "", QStringLiteral("0.5"), QStringLiteral("0.5"), same},
      {'n', nftExtended, "", QStringLiteral("0.4"), QStringLiteral("0.4"), same},
      {'n', nftDouble, "", QStringLiteral("-12.75"), QStringLiteral("-12.75"), same},
      {'n', nftDouble, "", QStringLiteral("1234567890"), QStringLiteral("1234567890"), same},
      {'n', nftDouble, "iiiiiiiiii", QStringLiteral("1.5"), QStringLiteral("**********"),
       QStringLiteral("error 257")},
      {'n', nftDouble, "#,###,###", QStringLiteral("1234.5"), QStringLiteral("*********"),
       QStringLiteral("error 257")},
      {'n', nftDouble, "#,###,###", QStringLiteral("1234"), QStringLiteral("1,234"), same},
      {'p', pftDouble, "$######", QStringLiteral("1.5"), QStringLiteral("   $1.5"), same},
      {'p', pftDouble, "$##", QStringLiteral("0.9"), QStringLiteral("$.9"), same},
      // A number with a point in its mask: rounded to the mask's decimals, refused when it does not fit.
      {'n', nftDouble, "###.##", QStringLiteral("-123"), QStringLiteral("***.**"),
       QStringLiteral("error 257")},
      {'n', nftDouble, "####.##", QStringLiteral("-123"), QStringLiteral("-123.00"), same},
      {'n', nftDouble, "#####.##", QStringLiteral("12345.67"), QStringLiteral("12345.67"), same},
      {'p', pftDouble, "###.##", QStringLiteral("-123"), QStringLiteral("***.**"),
       QStringLiteral("error 257")},
      {'p', pftDouble, "#####.##", QStringLiteral("12345.67"), QStringLiteral("12345.67"), same},
      // Small and large values where the field has no room for all their places.
      {'p', pftDouble, "", QStringLiteral("5e-05"), QStringLiteral("0.00005   "), same},
      {'p', pftDouble, "", QStringLiteral("12345678901"), QStringLiteral("1.2346E+10"),
       QStringLiteral("12346000000")},
      {'s', sftDouble, "", QStringLiteral("12345678901234567"), QStringLiteral("1.23456789E+16"),
       QStringLiteral("1.23456789e+16")},
      {'s', sftDouble, "", QStringLiteral("0.00000123"), QStringLiteral("0.00000123"),
       QStringLiteral("1.23e-06")},
      {'s', sftSingle, "", QStringLiteral("0.1"), QStringLiteral("0.1"), QStringLiteral("0.100000001490116")},
      // A currency symbol after the digits.
      {'n', nftLongInt, "#$", QStringLiteral("0"), QStringLiteral("0$"), same},
      {'n', nftLongInt, "##$", QStringLiteral("12"), QStringLiteral("12$"), same},
      {'n', nftLongInt, "#,#$", QStringLiteral("12"), QStringLiteral("1,2$"), same},
      {'n', nftLongInt, "##$", QStringLiteral("123"), QStringLiteral("***"), QStringLiteral("error 257")},
      {'p', pftLongInt, "$###", QStringLiteral("1234"), QStringLiteral("****"), QStringLiteral("error 257")},
      {'s', sftDouble, "", QStringLiteral("-0"), QStringLiteral("0"), QStringLiteral("0")},
      {'p', pftLongInt, "##$", QStringLiteral("7"), QStringLiteral(" 7$"), same},
      // Integers in the bases and widths of their masks.
      {'n', nftLongInt, "KKKK", QStringLiteral("31"), QStringLiteral("001F"), same},
      {'n', nftWord, "", QStringLiteral("65535"), QStringLiteral("65535"), same},
      {'p', pftShortInt, "iii", QStringLiteral("-128"), QStringLiteral("***"), QStringLiteral("error 257")},
      {'p', pftShortInt, "", QStringLiteral("-128"), QStringLiteral("-128"), same},
      {'s', sftLongInt, "b", QStringLiteral("5"), QStringLiteral("00000000101"), same},
      {'s', sftByte, "K", QStringLiteral("5"), QStringLiteral("05"), same},
      {'s', sftByte, "b", QStringLiteral("5"), QStringLiteral("101"), same},
      {'s', sftByte, "b", QStringLiteral("8"), QStringLiteral("***"), QStringLiteral("error 257")},
      {'s', sftComp, "", QStringLiteral("-9000000000000"), QStringLiteral("-9000000000000"), same},
      {'s', sftComp, "", QStringLiteral("9200000000000000000"), QStringLiteral("9.2E+18"), same},
      {'s', sftComp, "", QStringLiteral("123456789012345"), QStringLiteral("**************"),
       QStringLiteral("error 257")},
      {'p', pftComp, "", QStringLiteral("12345678901"), QStringLiteral("**********"),
       QStringLiteral("error 257")},
      // Texts, characters and flags.
      {'p', pftString, "!!!!!", QStringLiteral("ab"), QStringLiteral("AB   "), QStringLiteral("AB")},
      {'p', pftString, "999.999.9999", QStringLiteral("12"), QStringLiteral("12 .   .    "),
       QStringLiteral("12 .   .    ")},
      {'p', pftChar, "", QStringLiteral("é"), QStringLiteral("é"), same},
      {'s', sftYesNo, "", QStringLiteral("true"), QStringLiteral("Y"), same},
      {'p', pftBoolean, "", QStringLiteral("false"), QStringLiteral("F"), same},
      {'p', pftTime, "hh:mm:ss", QStringLiteral("45296"), QStringLiteral("12:34:56"), same},
      {'p', pftDate, "dd.mm.yy", Day(29, 2, 2024), QStringLiteral("29.02.24"), same},
      {'p', pftDate, "dd.mm.yy", Day(1, 5, 1700), QStringLiteral("**.**.**"), QStringLiteral("error 259")},
      {'p', pftDate, "dd.mm.yyyy", Day(1, 5, 1700), QStringLiteral("01.05.1700"), same},
  };
  for (const PutRow &row : rows) {
    SCOPED_TRACE(testing::PrintToString(row));
    TOvcBaseEntryField *field = Make(row.kind, row.type, QString::fromUtf8(row.mask));
    PutValue(field, row.value);
    EXPECT_EQ(field->DisplayString(), row.shown);
    EXPECT_EQ(FieldValueText(field), row.out.isEmpty() ? row.value : row.out);
  }
}

TEST_F(EntryValuesTest, ADateTimeFieldTakesADateAloneAsThatDayAtMidnight) {
  auto *stamp = static_cast<TOvcPictureField *>(Make('p', pftDateTime));
  const double day = EncodeDate(2024, 5, 15);
  stamp->SetValueFromText(QStringLiteral("05/15/2024"));
  EXPECT_EQ(FieldValueText(stamp, true), QString::number(day, 'g', 15));
  Focus(stamp);
  Type(QStringLiteral("06012024"));
  EXPECT_EQ(stamp->DisplayString(), QStringLiteral("06/01/2024   :  "));
  EXPECT_EQ(stamp->ValidateSelf(false), 0);
  EXPECT_EQ(FieldValueText(stamp, true), QString::number(double(EncodeDate(2024, 6, 1)), 'g', 15));
  Type(QStringLiteral("{Home}{Right}{Right}{Right}{Right}{Right}{Right}{Right}{Right}77"));
  EXPECT_EQ(stamp->ValidateSelf(false), oeInvalidTime) << "a time begun must be whole";
}

struct MaskChangeRow {
  char kind;
  int type;
  const char *from;
  QString value;
  const char *to;
  QString shown;
  QString out;
};

void PrintTo(const MaskChangeRow &row, std::ostream *os) {
  *os << row.kind << " type " << row.type << " \"" << row.from << "\" to \"" << row.to << "\"";
}

TEST_F(EntryValuesTest, ANewMaskKeepsTheValueWhereItCanHoldIt) {
  const QString same;
  const MaskChangeRow rows[] = {
      {'p', pftString, "XXXXXXXXXX", QStringLiteral("hello"), "XXXXXXXX", QStringLiteral("hello   "), same},
      {'p', pftString, "XXXXXXXXXX", QStringLiteral("hello"), "!!!!!!", QStringLiteral("HELLO "),
       QStringLiteral("HELLO")},
      {'p', pftString, "(999) 999-9999", QStringLiteral("5551234567"), "999.999.9999",
       QStringLiteral("555.123.4567"), QStringLiteral("555.123.4567")},
      {'p', pftLongInt, "", QStringLiteral("1234"), "iiiiii", QStringLiteral("1234  "), same},
      {'p', pftLongInt, "", QStringLiteral("1234"), "##,###", QStringLiteral(" 1,234"), same},
      {'p', pftLongInt, "", QStringLiteral("1234"), "iii", QStringLiteral("***"),
       QStringLiteral("error 257")},
      {'p', pftDouble, "", QStringLiteral("12.5"), "####.##", QStringLiteral("  12.50"), same},
      {'p', pftDate, "MM/dd/yyyy", Day(15, 5, 2024), "dd.mm.yy", QStringLiteral("15.05.24"), same},
      {'p', pftTime, "hh:mm", QStringLiteral("45240"), "hh:mm:ss", QStringLiteral("12:34:00"), same},
      {'n', nftLongInt, "", QStringLiteral("1234"), "##,###", QStringLiteral("1,234"), same},
      {'n', nftLongInt, "", QStringLiteral("255"), "KKKK", QStringLiteral("00FF"), same},
      {'n', nftDouble, "", QStringLiteral("12.5"), "#####.##", QStringLiteral("12.50"), same},
      {'s', sftLongInt, "i", QStringLiteral("255"), "K", QStringLiteral("000000FF"), same},
      {'s', sftString, "X", QStringLiteral("hello"), "!", QStringLiteral("HELLO"), QStringLiteral("HELLO")},
  };
  for (const MaskChangeRow &row : rows) {
    SCOPED_TRACE(testing::PrintToString(row));
    TOvcBaseEntryField *field = Make(row.kind, row.type, QString::fromUtf8(row.from));
    PutValue(field, row.value);
    if (auto *picture = dynamic_cast<TOvcPictureField *>(field))
      picture->SetPictureMask(QString::fromUtf8(row.to));
    else if (auto *numeric = dynamic_cast<TOvcNumericField *>(field))
      numeric->SetPictureMask(QString::fromUtf8(row.to));
    else
      static_cast<TOvcSimpleField *>(field)->SetPictureMask(QChar(row.to[0]));
    EXPECT_EQ(field->DisplayString(), row.shown);
    EXPECT_EQ(FieldValueText(field), row.out.isEmpty() ? row.value : row.out);
  }
}

// Plain texts laid into masks and taken out again, under the regional settings of each row.
struct MergeRow {
  const char *decimal;
  const char *thousands;
  const char *currency; // with a blank after it when the row says so
  bool spaced;
  const char *mask;
  QString source;
  QString merged;
  QString stripped;
};

TEST_F(EntryValuesTest, TheMaskLaysNumbersOutAndTakesThemBackUnderEachRegionalSetting) {
  const QChar none(0);
  const MergeRow rows[] = {
      {".", ",", "$", false, "KKKK", QStringLiteral("1F"), QStringLiteral("001F"), QStringLiteral("001F")},
      {".", ",", "$", false, "###,###.##", QStringLiteral("12"), QStringLiteral("     12.00"),
       QStringLiteral("12.00")},
      {".", ",", "$", false, "###,###.##", QStringLiteral("123456.78"), QStringLiteral("123,456.78"),
       QStringLiteral("123456.78")},
      {".", ",", "$", false, "###,###.##", QStringLiteral("1234567"), QStringLiteral("*******.**"),
       QStringLiteral("*******.**")},
      {".", ",", "", false, "$###,###.##", QStringLiteral("-1234.5"), QStringLiteral("  -1,234.50"),
       QStringLiteral("-1234.50")},
      {".", ",", "EUR", false, "$$$###", QStringLiteral("12"), QStringLiteral(" EUR12"),
       QStringLiteral("12")},
      {",", ".", "$", false, "###,###.##", QStringLiteral("1234.5"), QStringLiteral("  1.234,50"),
       QStringLiteral("1234.50")},
      {",", "", "$", false, "###,###.##", QStringLiteral("1234.5"), QStringLiteral("   1234,50"),
       QStringLiteral("1234.50")},
      {".", ",", "$", false, "cc###.#C", QStringLiteral("5"), QStringLiteral(" $  5.0$"),
       QStringLiteral("5.0")},
      {".", ",", "$", true, "$$###", QStringLiteral("12"), QStringLiteral(" $ 12"), QStringLiteral("12")},
      {",", ".", "$", false, "$####", QStringLiteral("1.5"), QStringLiteral(" $1,5"), QStringLiteral("1.5")},
      {".", ",", "$", false, "OOOO", QStringLiteral("17"), QStringLiteral("0017"), QStringLiteral("0017")},
      {".", ",", "$", false, "(999) 999-9999", QStringLiteral("5551234567"), QStringLiteral("(555) 123-4567"),
       QStringLiteral("5551234567")},
  };
  for (const MergeRow &row : rows) {
    SCOPED_TRACE(row.mask);
    ScopedIntlProfile profile;
    profile.Set(QStringLiteral("sDecimal"), QString::fromUtf8(row.decimal));
    profile.Set(QStringLiteral("sThousand"),
                *row.thousands ? QString::fromUtf8(row.thousands) : QString(none));
    profile.Set(QStringLiteral("sCurrency"), QString::fromUtf8(row.currency));
    profile.Set(QStringLiteral("iCurrency"), row.spaced ? QStringLiteral("2") : QStringLiteral("0"));
    OvcIntlSupGuard intl;
    const bool integer = QByteArray(row.mask).contains('K') || QByteArray(row.mask).contains('O');
    const QString mask = QString::fromUtf8(row.mask);
    auto *field = static_cast<TOvcPictureField *>(Make('p', integer ? pftLongInt : pftDouble, mask));
    const QString merged = field->MergeWithPicture(row.source);
    EXPECT_EQ(merged, row.merged);
    EXPECT_EQ(field->StripPicture(merged.leftJustified(field->MaxLength())).trimmed(), row.stripped);
  }
}

} // namespace
