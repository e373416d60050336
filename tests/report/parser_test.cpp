#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "report/parser.h"
#include <QMap>
#include <gtest/gtest.h>

namespace {

struct ArgsSeen {
  QString name;
  QString p1, p2, p3;
};

// A parser whose names come from a table and whose functions F, Q and N answer fixed texts.
class ParserTest : public ::testing::Test {
protected:
  void SetUp() override {
    parser.OnGetValue = TGetPValueEvent::From([this](const QString &name, Variant &value) {
      names.append(name);
      value = values.value(name, Variant());
    });
    parser.OnFunction = TFunctionEvent::From([this](const QString &name, const Variant &p1, const Variant &p2,
                                                    const Variant &p3, QString &result) {
      seen.append({name, p1.ToString(), p2.ToString(), p3.ToString()});
      if (name == QLatin1String("F"))
        result = QStringLiteral("42");
      else if (name == QLatin1String("Q"))
        result = QStringLiteral("'it's'");
      else if (name == QLatin1String("N"))
        result = frNumberText(p1.ToString().toDouble());
    });
  }

  Variant Calc(const QString &text) { return parser.Calc(text); }

  FormatSettingsGuard settings{FormatSettings::USEnglish()};
  TfrParser parser;
  QMap<QString, Variant> values;
  QStringList names;
  QList<ArgsSeen> seen;
};

struct Case {
  const char *text;
  Variant expected;
  TVarType type;
};

TEST_F(ParserTest, EvaluatesOperatorsWithTheirPrecedence) {
  const Case cases[] = {
      {"2+3*4", 14.0, varDouble},
      {"(2+3)*4", 20.0, varDouble},
      {"10 - 4 - 3", 3.0, varDouble},
      {"7/2", 3.5, varDouble},
      {"7/0", 0, varInteger},
      {"0/0", 0, varInteger},
      {"10 MOD 3", 1, varInteger},
      {"-7 mod 3", -1, varInteger},
      {"INT(3.7)", 3.0, varDouble},
      {"INT(-3.7)", -3.0, varDouble},
      {"FRAC(3.75)", 0.75, varDouble},
      {"FRAC(-3.75)", -0.75, varDouble},
      {"ROUND(2.5)", 2, varInteger},
      {"ROUND(3.5)", 4, varInteger},
      {"ROUND(-2.5)", -2, varInteger},
      {"ROUND(2.6)", 3, varInteger},
      {"STR(5)", "5", varString},
      {"STR(1.5) + 'x'", "1.5x", varString},
      {"5 > 3", 1, varInteger},
      {"5 < 3", 0, varInteger},
      {"3 >= 3", 1, varInteger},
      {"3 <= 2", 0, varInteger},
      {"3 <> 2", 1, varInteger},
      {"3 = 3", 1, varInteger},
      {"NOT 0", 1, varInteger},
      {"NOT 7", 0, varInteger},
      {"NOT -1", 0, varInteger},
      {"1 AND 0", 0.0, varDouble},
      {"1 OR 0", 1.0, varDouble},
      // AND and OR bind tighter than comparisons, as in Pascal: 1 = (1 AND 2) = 2.
      {"1 = 1 AND 2 = 2", 0, varInteger},
      {"(1 = 1) AND (2 = 2)", 1, varInteger},
      {"2 > 1 AND 0", 1, varInteger},
      // Prefix operators.
      {"2*-3", -6.0, varDouble},
      {"2- -3", 5.0, varDouble},
      {"-2*3", -6.0, varDouble},
      {"- 2 + 3", 1.0, varDouble},
      {"+5", 5.0, varDouble},
      {"1 AND NOT 0", 1.0, varDouble},
      {"NOT NOT 5", 1, varInteger},
      {"3 * INT(2.5)", 6.0, varDouble},
      // Numbers, whatever the decimal separator, and with exponents.
      {"1,5", 1.5, varDouble},
      {"1.5", 1.5, varDouble},
      {".5 + 1", 1.5, varDouble},
      {"1E-5", 1e-5, varDouble},
      {"2.5e3 + 1", 2501.0, varDouble},
      {"1e+2*2", 200.0, varDouble},
      // Strings.
      {"'it''s'", "it's", varString},
      {"'a' + 'b'", "ab", varString},
      {"''''", "'", varString},
      {"'b' > 'a'", 1, varInteger},
      // Deeper than the eight slots the original stack had.
      {"1+(2+(3+(4+(5+(6+(7+(8+(9+(10)))))))))", 55.0, varDouble},
      // The text ends at ";".
      {"1+2; 5", 3.0, varDouble},
      {"", Variant(), varEmpty},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    const Variant v = Calc(QString::fromUtf8(c.text));
    EXPECT_EQ(v.VarType(), c.type);
    if (c.type != varEmpty) {
      EXPECT_TRUE(v == c.expected) << v.ToString().toStdString();
    }
  }
}

TEST_F(ParserTest, ConvertsToPostfixWithOperatorCodes) {
  const struct {
    const char *text;
    QString postfix;
  } cases[] = {
      {"2+3*4", QStringLiteral("2 3 4 *+")},
      {"a >= b", QStringLiteral("a b ") + QChar(frOp::GreaterEqual)},
      {"x <> 'y'", QStringLiteral("x 'y' ") + QChar(frOp::NotEqual)},
      {"2*-3", QStringLiteral("2 3 ") + QChar(frOp::Negate) + QLatin1Char('*')},
      {"1 AND NOT 0", QStringLiteral("1 0 ") + QChar(frOp::Not) + QChar(frOp::And)},
      {"1E-5", QStringLiteral("1E-5 ")},
      {"[Unit Price] * 2", QStringLiteral("[Unit Price] 2 *")},
      {"(1+2", QStringLiteral("1 2 +")},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parser.ConvertToPostfix(QString::fromUtf8(c.text)), c.postfix);
  }
}

TEST_F(ParserTest, ReadsNumbersUnderACommaDecimalSeparator) {
  FormatSettings german = FormatSettings::USEnglish();
  german.DecimalSeparator = QLatin1Char(',');
  german.ThousandSeparator = QLatin1Char('.');
  FormatSettingsGuard pinned(german);
  EXPECT_DOUBLE_EQ(Calc("1,5 + 1.25").ToDouble(), 2.75);
  EXPECT_DOUBLE_EQ(Calc("1E-5").ToDouble(), 1e-5);
}

TEST_F(ParserTest, ReadsDateAndTimeLiteralsByTheLocale) {
  FormatSettings dotted = FormatSettings::USEnglish();
  dotted.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
  dotted.DateSeparator = QLatin1Char('.');
  FormatSettingsGuard pinned(dotted);
  Variant date = Calc("%D'01.02.2003'");
  EXPECT_EQ(date.VarType(), varDate);
  EXPECT_DOUBLE_EQ(date.ToDouble(), EncodeDate(2003, 2, 1));
  date = Calc("%d'01.02.2003' + 1");
  EXPECT_DOUBLE_EQ(date.ToDouble(), EncodeDate(2003, 2, 2));
  const Variant time = Calc("%t'10:30:00'");
  EXPECT_EQ(time.VarType(), varDate);
  EXPECT_DOUBLE_EQ(time.ToDouble(), EncodeTime(10, 30, 0, 0));
  EXPECT_THROW(Calc("%D'31.02.2003'"), EConvertError);
}

TEST_F(ParserTest, GivesNamesUpperCasedAndBracketedTextAsWritten) {
  values[QStringLiteral("PRICE")] = 2.5;
  values[QStringLiteral("Unit Price")] = 4;
  EXPECT_DOUBLE_EQ(Calc("price * [Unit Price]").ToDouble(), 10.0);
  EXPECT_EQ(names, (QStringList{QStringLiteral("PRICE"), QStringLiteral("Unit Price")}));
  // A name without a value stays empty, and the empty value counts as 0 in arithmetic.
  EXPECT_DOUBLE_EQ(Calc("missing + 1").ToDouble(), 1.0);
}

TEST_F(ParserTest, SkipsUnassignedHandlers) {
  TfrParser bare;
  EXPECT_TRUE(bare.Calc("abc").IsEmpty());
  EXPECT_THROW(bare.Calc("F(1)"), EParserError);
}

TEST_F(ParserTest, EvaluatesOnlyTheBranchOfIfThatIsTaken) {
  values[QStringLiteral("A")] = 1;
  values[QStringLiteral("B")] = 2;
  EXPECT_TRUE(Calc("IF(1 > 0, 'yes', 'no')") == Variant("yes"));
  EXPECT_EQ(parser.ConvertToPostfix("IF(1 > 0, 'yes', 'no')"), QStringLiteral("'yes' "));
  names.clear();
  EXPECT_TRUE(Calc("IF(0, [A], [B])") == Variant(2));
  EXPECT_EQ(names, QStringList{QStringLiteral("B")});
  // The branch not taken is never converted: an unknown function there does no harm.
  EXPECT_TRUE(Calc("IF(1, 'a', NOSUCH(1))") == Variant("a"));
  EXPECT_TRUE(seen.isEmpty());
  // A branch is an expression: its quotes stay as written, and it may compute.
  EXPECT_TRUE(Calc("IF(1, 'it''s', 'x')") == Variant("it's"));
  EXPECT_TRUE(Calc("IF(0, 1, 2 + 3) * 2") == Variant(10.0));
  // A condition is false exactly when it equals 0.
  EXPECT_TRUE(Calc("IF(-1, 'y', 'n')") == Variant("y"));
  EXPECT_TRUE(Calc("IF(0.5, 'y', 'n')") == Variant("y"));
  EXPECT_TRUE(Calc("IF(0.0, 'y', 'n')") == Variant("n"));
}

TEST_F(ParserTest, CopiesPartOfATextAsALiteral) {
  EXPECT_TRUE(Calc("COPY('abcdef', 2, 3)") == Variant("bcd"));
  EXPECT_TRUE(Calc("COPY('abcdef', 1 + 3, 10)") == Variant("def"));
  EXPECT_TRUE(Calc("COPY('abcdef', 0, 2)") == Variant("ab"));
  EXPECT_TRUE(Calc("COPY('abcdef', 9, 2)") == Variant(""));
  EXPECT_TRUE(Calc("COPY('it''s', 1, 4) + '!'") == Variant("it's!"));
  EXPECT_THROW(Calc("COPY('abc', 'x', 1)"), EVariantTypeCastError);
}

TEST_F(ParserTest, PassesArgumentTextsToTheFunctionHandler) {
  EXPECT_TRUE(Calc("F(1+2, 'a,b', G(x, y)) + 1") == Variant(43.0));
  ASSERT_EQ(seen.size(), 1);
  EXPECT_EQ(seen[0].name, QStringLiteral("F"));
  EXPECT_EQ(seen[0].p1, QStringLiteral("1+2"));
  EXPECT_EQ(seen[0].p2, QStringLiteral(" 'a,b'"));
  EXPECT_EQ(seen[0].p3, QStringLiteral(" G(x, y)"));
  seen.clear();
  Calc("f ()");
  ASSERT_EQ(seen.size(), 1);
  EXPECT_EQ(seen[0].name, QStringLiteral("F"));
  EXPECT_TRUE(seen[0].p1.isEmpty() && seen[0].p2.isEmpty() && seen[0].p3.isEmpty());
  // Met again, a call is made again.
  EXPECT_TRUE(Calc("f ()") == Variant(42.0));
  EXPECT_EQ(seen.size(), 2);
  // Commas inside brackets do not split arguments.
  seen.clear();
  Calc("F([a,b], 2)");
  EXPECT_EQ(seen[0].p1, QStringLiteral("[a,b]"));
}

TEST_F(ParserTest, SplicesFunctionResultsSoThatTheyReadBack) {
  // A literal result's inner quotes are doubled when it is spliced.
  EXPECT_TRUE(Calc("Q(0) + '!'") == Variant("it's!"));
  for (const double x : {1e-5, 0.1, 123456.789, -2.5, 1e200}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(Calc(QStringLiteral("N(%1)").arg(frNumberText(x))).ToDouble(), x);
  }
  EXPECT_THROW(frNumberText(std::numeric_limits<double>::infinity()), EParserError);
}

TEST_F(ParserTest, RefusesUnknownFunctionsAndTooManyArguments) {
  try {
    Calc("1 + Nope(2)");
    FAIL() << "no error";
  } catch (const EParserError &e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Unknown function \"NOPE\""));
  }
  EXPECT_THROW(Calc("F(1, 2, 3, 4)"), EParserError);
}

TEST_F(ParserTest, RefusesMalformedPostfixAndRunawayNesting) {
  for (const char *postfix : {"+", "1 +", "1 2 + *", ")", "1 (", "\x06", "\x0d"}) {
    SCOPED_TRACE(postfix);
    EXPECT_THROW(parser.CalcPostfix(QString::fromLatin1(postfix)), EParserError);
  }
  QString nested = QStringLiteral("'x'");
  for (int i = 0; i < 100; ++i) nested = QStringLiteral("COPY(%1, 1, 1)").arg(nested);
  EXPECT_THROW(Calc(nested), EParserError);
  QString deep = QStringLiteral("1");
  for (int i = 0; i < 20; ++i) deep = QStringLiteral("COPY(%1, 1, 1)").arg(deep);
  EXPECT_TRUE(Calc(deep) == Variant("1"));
}

TEST_F(ParserTest, PassesConversionErrorsToTheCaller) {
  EXPECT_THROW(Calc("'abc' > 1"), EVariantTypeCastError);
  EXPECT_THROW(Calc("1.2.3"), EConvertError);
  EXPECT_THROW(Calc("5 MOD 0"), EDivByZero);
}

TEST_F(ParserTest, ConvertsWithoutCallsOnlyWhenNothingWouldRun) {
  EXPECT_EQ(parser.ConvertWithoutCalls("a + 1"), std::optional<QString>(QStringLiteral("a 1 +")));
  EXPECT_EQ(parser.ConvertWithoutCalls("F(1)"), std::nullopt);
  EXPECT_EQ(parser.ConvertWithoutCalls("IF(a, 1, 2)"), std::nullopt);
  EXPECT_TRUE(seen.isEmpty());
  EXPECT_TRUE(names.isEmpty());
}

TEST(ReportTruth, IsFalseExactlyWhenZero) {
  EXPECT_FALSE(frIsTrue(Variant(0)));
  EXPECT_FALSE(frIsTrue(Variant(0.0)));
  EXPECT_FALSE(frIsTrue(Variant()));
  EXPECT_TRUE(frIsTrue(Variant(1)));
  EXPECT_TRUE(frIsTrue(Variant(-3)));
  EXPECT_TRUE(frIsTrue(Variant(0.25)));
  EXPECT_TRUE(frIsTrue(Variant(true)));
  EXPECT_FALSE(frIsTrue(Variant(false)));
}

} // namespace
