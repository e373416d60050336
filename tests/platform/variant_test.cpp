#include "platform/core/variant.h"
#include "tests/platform/raises.h"
#include <gtest/gtest.h>
#include <limits>

namespace {

class VariantTest : public ::testing::Test {
protected:
  FormatSettingsGuard settings_{FormatSettings::USEnglish()};
};

// Expects the call to raise EVariantTypeCastError with the class library's text for the two types.
template <typename Call>
void ExpectCastError(Call call, const char *from, const char *to) {
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { call(); }),
            QStringLiteral("Could not convert variant of type (%1) into type (%2)").arg(from, to));
}

TEST_F(VariantTest, KindsAndTypeCodes) {
  EXPECT_EQ(QList<TVarType>({VarType(Unassigned()), VarType(Null()), VarType(Variant(int64_t(1) << 40)),
                             VarType(VarFromDateTime(1.5)), VarType(Variant(QChar('x')))}),
            QList<TVarType>({varEmpty, varNull, varInteger, varDate, varString}));
}

TEST_F(VariantTest, ConversionsToNumbersTextAndTruth) {
  struct Case {
    Variant value;
    int64_t integer;
    double real;
    const char *text;
    bool truth;
  };
  const Case cases[] = {
      {Variant(), 0, 0, "", false},
      {Variant(5), 5, 5, "5", true},
      {Variant(2.5), 2, 2.5, "2.5", true}, // half to even
      {Variant(-3.5), -4, -3.5, "-3.5", true},
      {Variant(0.0), 0, 0, "0", false},
      {Variant(true), -1, -1, "True", true},
      {Variant(" 1.5 "), 2, 1.5, " 1.5 ", true},
      {Variant("0"), 0, 0, "0", false},
      {VarFromDateTime(EncodeDate(2003, 2, 1) + 0.5), 37654, 37653.5, "2/1/2003 12:00:00 PM", true},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(std::tuple(c.value.ToInt64(), c.value.ToInt(), c.value.ToDouble(), c.value.ToString(),
                         c.value.ToBool()),
              std::tuple(c.integer, int(c.integer), c.real, QString::fromUtf8(c.text), c.truth))
        << c.text;
  }
}

TEST_F(VariantTest, StringsReadAsBooleansDatesAndNumbersWithTheDecimalSeparator) {
  EXPECT_TRUE(Variant("TRUE").ToBool());
  EXPECT_EQ(Variant("2/1/2003 6:00 AM").ToDateTime(), EncodeDate(2003, 2, 1) + 0.25);
  EXPECT_EQ(Variant("1.5").ToDateTime(), 1.5);
  // Numbers in strings follow the decimal separator.
  FormatSettings european;
  european.DecimalSeparator = QLatin1Char(',');
  european.ThousandSeparator = QLatin1Char('.');
  FormatSettingsGuard pinned(european);
  EXPECT_EQ(Variant("1,5").ToDouble(), 1.5);
  EXPECT_EQ(Variant(1.5).ToString(), "1,5");
  ExpectCastError([] { Variant("1.5").ToDouble(); }, "String", "Double");
}

TEST_F(VariantTest, ConversionErrors) {
  ExpectCastError([] { Variant("12abc").ToInt(); }, "String", "Integer");
  ExpectCastError([] { Variant("yes").ToBool(); }, "String", "Boolean");
  ExpectCastError([] { Variant("abc").ToDateTime(); }, "String", "Date");
  ExpectCastError([] { Null().ToString(); }, "Null", "String");
  EXPECT_EQ(VarToStr(Null()), "");
  EXPECT_THROW(Variant(int64_t(1) << 40).ToInt(), EVariantOverflowError);
  EXPECT_THROW(Variant(std::numeric_limits<double>::quiet_NaN()).ToInt64(), EVariantOverflowError);
}

// Checks type and value of an arithmetic result.
void ExpectValue(const Variant &actual, TVarType type, const Variant &expected) {
  EXPECT_EQ(VarType(actual), type) << actual.ToString().toStdString();
  if (type != varNull) {
    EXPECT_EQ(VarToStr(actual), VarToStr(expected));
  }
}

TEST_F(VariantTest, ArithmeticOnNumbersStringsAndDates) {
  ExpectValue(Variant(2) + Variant(3), varInteger, 5);
  ExpectValue(Variant(6) / Variant(3), varDouble, 2.0);
  ExpectValue(Variant("ab") + Variant(), varString, "ab");
  ExpectValue(Variant(1) + Variant("5"), varInteger, 6);
  ExpectValue(Variant("1.5") + Variant(1), varDouble, 2.5);
  ExpectValue(Variant(true) + Variant(1), varInteger, 0);
  ExpectValue(Variant("abc") + Null(), varNull, Null());
  ExpectValue(Variant(std::numeric_limits<int64_t>::max()) + Variant(1), varDouble, 9223372036854775808.0);
  ExpectValue(-Variant(std::numeric_limits<int64_t>::min()), varDouble, 9223372036854775808.0);
  ExpectValue(-Variant("2.5"), varDouble, -2.5);
  ExpectCastError([] { Variant("abc") + Variant(1); }, "String", "Double");
  EXPECT_THROW(Variant(1) / Variant(0), EZeroDivide);

  // Dates plus or minus numbers stay dates; the distance between dates is a number.
  const Variant date = VarFromDateTime(EncodeDate(2003, 2, 1));
  EXPECT_EQ(VarType(Variant(1) + date), varDate);
  const Variant distance = VarFromDateTime(EncodeDate(2003, 3, 1)) - date;
  EXPECT_EQ(VarType(distance), varDouble);
  EXPECT_EQ(distance.ToDouble(), 28);
}

TEST_F(VariantTest, IntegerRemainder) {
  // The report expressions' tests show mod on everyday values; here the edges.
  ExpectValue(Mod(7.6, 3), varInteger, 2); // 7.6 rounds to 8
  ExpectValue(Mod("10", "4"), varInteger, 2);
  ExpectValue(Mod(std::numeric_limits<int64_t>::min(), -1), varInteger, 0);
  EXPECT_TRUE(VarIsNull(Mod(Null(), 2)));
  EXPECT_EQ(MessageOf<EDivByZero>([&] { Mod(1, 0); }), "Division by zero");
}

TEST_F(VariantTest, Comparisons) {
  EXPECT_TRUE(Variant(2.5) > Variant(2));
  EXPECT_TRUE(Variant("B") < Variant("a")); // by code units, case-sensitive
  EXPECT_TRUE(Variant("10") > Variant(9));  // as numbers, not as text
  EXPECT_TRUE(Variant("10") < Variant("9"));
  EXPECT_TRUE(Null() < Variant(-1000));
  EXPECT_FALSE(Null() == Variant(0));
  EXPECT_TRUE(Variant() == Variant(""));
  EXPECT_TRUE(VarFromDateTime(EncodeDate(2003, 2, 1)) < Variant("2/2/2003"));
  const int64_t big = int64_t(1) << 62;
  EXPECT_TRUE(Variant(big + 1) > Variant(big)); // integers compare exactly
  EXPECT_EQ(VarCompare(Variant("b"), Variant("a")), 1);
  ExpectCastError([] { return Variant(1) < Variant("abc"); }, "String", "Double");
}

} // namespace
