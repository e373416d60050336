#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "report/parser.h"
#include "tests/report/report_model_fixture.h"
#include <QMap>
#include <gtest/gtest.h>

namespace {

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
      seen.append(QStringList{name, p1.ToString(), p2.ToString(), p3.ToString()}.join(QLatin1Char('|')));
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
  QStringList seen; // "name|p1|p2|p3" of each call
};

// Operators with their precedence (AND and OR bind tighter than comparisons, as in Pascal); prefix
// operators; numbers whatever the decimal separator; strings; nesting deeper than the eight slots the
// original stack had; the text ending at ";"; IF evaluating only the branch taken, which may compute and
// keeps its quotes, with a condition false exactly when it equals 0; COPY of a literal.
TEST_F(ParserTest, EvaluatesExpressions) {
  // "expression -> kind value": D a double, I an integer, S a string, E empty.
  const QStringList cases = {"2+3*4 -> D 14.0",
                             "10 - 4 - 3 -> D 3.0",
                             "7/0 -> I 0",
                             "-7 mod 3 -> I -1",
                             "INT(-3.7) -> D -3.0",
                             "FRAC(-3.75) -> D -0.75",
                             "ROUND(2.5) -> I 2",
                             "ROUND(-2.5) -> I -2",
                             "STR(1.5) + 'x' -> S 1.5x",
                             "NOT -1 -> I 0",
                             "1 AND 0 -> D 0.0",
                             "1 = 1 AND 2 = 2 -> I 0",
                             "2- -3 -> D 5.0",
                             "1,5 -> D 1.5",
                             "1e+2*2 -> D 200.0",
                             "'it''s' -> S it's",
                             "1+2; 5 -> D 3.0",
                             "IF(0.5, 'y', 'n') -> S y",
                             "IF(1, 'a', NOSUCH(1)) -> S a",
                             "IF(0, 1, 2 + 3) * 2 -> D 10.0",
                             "COPY('it''s', 1, 4) + '!' -> S it's!",
                             "COPY('abcdef', 0, 2) -> S ab",
                             "COPY('abcdef', 9, 2) -> S ",
                             "1+(2+(3+(4+(5+(6+(7+(8+(9+(10))))))))) -> D 55.0"};
  for (const QString &text : cases) {
    SCOPED_TRACE(text.toStdString());
    const QStringList parts = text.split(QStringLiteral(" -> "));
    const Variant v = Calc(parts[0]);
    const QChar kind = parts[1][0];
    const QString value = parts[1].mid(2);
    EXPECT_EQ(v.VarType(), kind == 'D'   ? varDouble
                           : kind == 'I' ? varInteger
                           : kind == 'S' ? varString
                                         : varEmpty);
    if (kind == 'D') {
      EXPECT_DOUBLE_EQ(v.ToDouble(), value.toDouble());
    }
    if (kind == 'I' || kind == 'S') {
      EXPECT_EQ(v.ToString(), value);
    }
  }
  EXPECT_EQ(Calc(QString()).VarType(), varEmpty);
  EXPECT_TRUE(seen.isEmpty()) << "the branch not taken is never converted";
  EXPECT_EQ(parser.ConvertToPostfix("IF(1 > 0, 'yes', 'no')"), QStringLiteral("'yes' "));
  values[QStringLiteral("A")] = 1;
  values[QStringLiteral("B")] = 2;
  names.clear();
  EXPECT_TRUE(Calc("IF(0, [A], [B])") == Variant(2));
  EXPECT_EQ(names, QStringList{QStringLiteral("B")});
  EXPECT_THROW(Calc("COPY('abc', 'x', 1)"), EVariantTypeCastError);
}

TEST_F(ParserTest, ConvertsToPostfixWithOperatorCodes) {
  const struct {
    const char *text;
    QString postfix;
  } cases[] = {{"2+3*4", QStringLiteral("2 3 4 *+")},
               {"a >= b", QStringLiteral("a b ") + QChar(frOp::GreaterEqual)},
               {"2*-3", QStringLiteral("2 3 ") + QChar(frOp::Negate) + QLatin1Char('*')},
               {"1 AND NOT 0", QStringLiteral("1 0 ") + QChar(frOp::Not) + QChar(frOp::And)},
               {"[Unit Price] * 2", QStringLiteral("[Unit Price] 2 *")},
               {"(1+2", QStringLiteral("1 2 +")}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parser.ConvertToPostfix(QString::fromUtf8(c.text)), c.postfix);
  }
  // Without calls only when nothing would run.
  EXPECT_EQ(parser.ConvertWithoutCalls("a + 1"), std::optional<QString>(QStringLiteral("a 1 +")));
  EXPECT_EQ(parser.ConvertWithoutCalls("F(1)"), std::nullopt);
  EXPECT_EQ(parser.ConvertWithoutCalls("IF(a, 1, 2)"), std::nullopt);
  EXPECT_TRUE(seen.isEmpty());
  EXPECT_TRUE(names.isEmpty());
}

TEST_F(ParserTest, GivesNamesUpperCasedAndBracketedTextAsWritten) {
  values[QStringLiteral("PRICE")] = 2.5;
  values[QStringLiteral("Unit Price")] = 4;
  EXPECT_DOUBLE_EQ(Calc("price * [Unit Price]").ToDouble(), 10.0);
  EXPECT_EQ(names, (QStringList{QStringLiteral("PRICE"), QStringLiteral("Unit Price")}));
  // A name without a value stays empty, and the empty value counts as 0 in arithmetic.
  EXPECT_DOUBLE_EQ(Calc("missing + 1").ToDouble(), 1.0);
}

TEST_F(ParserTest, PassesArgumentTextsToTheFunctionHandlerAndSplicesItsResults) {
  EXPECT_TRUE(Calc("F(1+2, 'a,b', G(x, y)) + 1") == Variant(43.0));
  EXPECT_EQ(seen, QStringList{"F|1+2| 'a,b'| G(x, y)"});
  seen.clear();
  // Met again, a call is made again.
  Calc("f ()");
  EXPECT_TRUE(Calc("f ()") == Variant(42.0));
  EXPECT_EQ(seen, QStringList(2, "F|||"));
  // Results are spliced so that they read back: a literal result's inner quotes are doubled.
  EXPECT_TRUE(Calc("Q(0) + '!'") == Variant("it's!"));
  for (const double x : {1e-5, 1e200}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(Calc(QStringLiteral("N(%1)").arg(frNumberText(x))).ToDouble(), x);
  }
  EXPECT_THROW(frNumberText(std::numeric_limits<double>::infinity()), EParserError);
}

TEST_F(ParserTest, ReadsNumbersDatesAndTimesByTheLocale) {
  FormatSettings local = FormatSettings::USEnglish();
  local.DecimalSeparator = QLatin1Char(',');
  local.ThousandSeparator = QLatin1Char('.');
  local.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
  local.DateSeparator = QLatin1Char('.');
  FormatSettingsGuard pinned(local);
  EXPECT_DOUBLE_EQ(Calc("1,5 + 1.25").ToDouble(), 2.75);
  EXPECT_DOUBLE_EQ(Calc("1E-5").ToDouble(), 1e-5);
  const Variant date = Calc("%D'01.02.2003'");
  EXPECT_EQ(date.VarType(), varDate);
  EXPECT_DOUBLE_EQ(date.ToDouble(), EncodeDate(2003, 2, 1));
  EXPECT_DOUBLE_EQ(Calc("%t'10:30:00'").ToDouble(), EncodeTime(10, 30, 0, 0));
  EXPECT_THROW(Calc("%D'31.02.2003'"), EConvertError);
}

TEST_F(ParserTest, RefusesUnknownFunctionsMalformedPostfixRunawayNestingAndPassesConversionErrors) {
  EXPECT_EQ(test::Refusal<EParserError>([&] { Calc("1 + Nope(2)"); }),
            QStringLiteral("Unknown function \"NOPE\""));
  EXPECT_THROW(Calc("F(1, 2, 3, 4)"), EParserError);
  for (const char *postfix : {"1 +", "1 2 + *", ")", "\x06"})
    EXPECT_THROW(parser.CalcPostfix(QString::fromLatin1(postfix)), EParserError) << postfix;
  QString nested = QStringLiteral("'x'"), deep = QStringLiteral("1");
  for (int i = 0; i < 100; ++i) nested = QStringLiteral("COPY(%1, 1, 1)").arg(nested);
  for (int i = 0; i < 20; ++i) deep = QStringLiteral("COPY(%1, 1, 1)").arg(deep);
  EXPECT_THROW(Calc(nested), EParserError);
  EXPECT_TRUE(Calc(deep) == Variant("1"));
  EXPECT_THROW(Calc("1.2.3"), EConvertError);
  EXPECT_THROW(Calc("5 MOD 0"), EDivByZero);
  TfrParser bare; // unassigned handlers are skipped
  EXPECT_TRUE(bare.Calc("abc").IsEmpty());
  EXPECT_THROW(bare.Calc("F(1)"), EParserError);
}

} // namespace
