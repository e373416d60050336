#include "fake_engine_model.h"
#include "platform/core/date_time.h"
#include "platform/windowing/system_services.h"
#include "report/function_library.h"

namespace {

using FunctionLibraryTest = fake::EngineTest;

TEST_F(FunctionLibraryTest, ConvertsTexts) {
  fields[QStringLiteral("NAME")] = QStringLiteral("acme ltd");
  const struct {
    const char *expression;
    const char *expected;
  } cases[] = {{"UpperCase([Name])", "ACME LTD"},
               {"LOWERCASE('ÄBC')", "äbc"},
               {"NAMECASE('jOHN')", "John"},
               {"NAMECASE(NAME) + '!'", "Acme ltd!"},
               {"FORMATFLOAT('#,##0.00', 1234.5)", "1,234.50"},
               {"FORMATDATETIME('yyyy-mm-dd', STRTODATE('02/01/2003'))", "2003-02-01"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.expression);
    const Variant v = Calc(QString::fromUtf8(c.expression));
    EXPECT_EQ(v.VarType(), varString);
    EXPECT_EQ(v.ToString(), QString::fromUtf8(c.expected));
  }
}

TEST_F(FunctionLibraryTest, ReadsDatesAndTimesThroughTheParsersLiterals) {
  FormatSettings dotted = FormatSettings::USEnglish();
  dotted.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
  dotted.DateSeparator = QLatin1Char('.');
  FormatSettingsGuard pinned(dotted);
  const Variant date = Calc("STRTODATE('01.02.2003')");
  EXPECT_EQ(date.VarType(), varDate);
  EXPECT_DOUBLE_EQ(date.ToDouble(), EncodeDate(2003, 2, 1));
  EXPECT_DOUBLE_EQ(Calc("STRTOTIME('10:30')").ToDouble(), EncodeTime(10, 30, 0, 0));
  EXPECT_THROW(Calc("STRTODATE('not a date')"), EConvertError);
  // A quote in the text does not break out of the literal.
  EXPECT_THROW(Calc("STRTODATE('1''2')"), EConvertError);
}

TEST_F(FunctionLibraryTest, AsksForInputWithAnEmptyCaptionAndPassesEvaluationErrors) {
  QStringList asked;
  frSetInputQuery([&asked](const QString &caption, const QString &prompt, const QString &defaultText) {
    asked << caption << prompt << defaultText;
    return QStringLiteral("O'Brien");
  });
  const Variant v = Calc("INPUT('Name' + '?', 'Bob')");
  frSetInputQuery(nullptr);
  EXPECT_EQ(asked, (QStringList{QString(), QStringLiteral("Name?"), QStringLiteral("Bob")}));
  EXPECT_TRUE(v == Variant("O'Brien"));
  EXPECT_THROW(Calc("FORMATFLOAT('0.00', 'abc')"), EVariantTypeCastError);
}

TEST_F(FunctionLibraryTest, InputAsksThroughTheInputBoxWhenNoOneElseAnswers) {
  ScopedScriptedServices services;
  services->AnswerInput(QStringLiteral("Łódź"));
  services->AnswerInput(std::nullopt);
  EXPECT_TRUE(Calc("INPUT('City?', 'Kraków')") == Variant(QStringLiteral("Łódź")));
  // Cancelled: the default.
  EXPECT_TRUE(Calc("INPUT('City?', 'Kraków')") == Variant(QStringLiteral("Kraków")));
  ASSERT_EQ(services->Inputs().size(), 2);
  const TInputRequest &asked = services->Inputs().first();
  EXPECT_EQ(QStringList({asked.Caption, asked.Prompt, asked.Value}),
            QStringList({QString(), QStringLiteral("City?"), QStringLiteral("Kraków")}));
}

// Band-mode aggregates: a footer collects totals of the records of a data band.
class BandAggregateTest : public fake::EngineTest {
protected:
  void SetUp() override {
    EngineTest::SetUp();
    data.printing = true;
    frEngine().CurPage = &page;
    frEngine().CurBand = &data;
    frEngine().AggrBand = &footer;
  }

  // What the band engine does after the data band printed a record: the footer takes it in.
  void TakeIn(const Variant &price, const QStringList &expressions) {
    fields[QStringLiteral("PRICE")] = price;
    footer.MarkNotCounted();
    for (const QString &e : expressions) EXPECT_TRUE(Calc(e) == Variant(0.0)) << e.toStdString();
    ++footer.recordCount;
  }

  // The footer prints.
  Variant Print(const QString &expression) {
    footer.printing = true;
    frEngine().CurBand = &footer;
    const Variant v = Calc(expression);
    footer.printing = false;
    frEngine().CurBand = &data;
    return v;
  }

  fake::Band data{QStringLiteral("MasterData1"), 5};
  fake::Band footer{QStringLiteral("MasterFooter1"), frBandMasterFooter};
  fake::Page page;
};

// A record is counted once until the band engine marks the next; null counts as zero, comparisons in the
// expression work; a total never stored reads 0, and so does an average of no records.
TEST_F(BandAggregateTest, CountsEachRecordOnceAndNullAsZero) {
  fields[QStringLiteral("A")] = 1;
  const QString sum = QStringLiteral("SUM(IF([A] = 1, [PRICE], 0), MasterData1)");
  EXPECT_TRUE(Print("SUM([PRICE], MasterData1)") == Variant(0.0));
  TakeIn(Variant::Null(), {"SUM([PRICE], MasterData1)", sum});
  TakeIn(4.0, {"SUM([PRICE], MasterData1)", sum});
  EXPECT_TRUE(Calc("SUM([PRICE], MasterData1)") == Variant(0.0));
  EXPECT_DOUBLE_EQ(Print("SUM([PRICE], MasterData1)").ToDouble(), 4.0);
  EXPECT_DOUBLE_EQ(Print(sum).ToDouble(), 4.0);
  footer.values.Add(QStringLiteral("AVG[PRICE]=15"));
  footer.recordCount = 0;
  EXPECT_TRUE(Print("AVG([PRICE], MasterData1)") == Variant(0.0));
}

// Nothing is taken in outside a footer or for another band, unless the flag 1 asks for it; a cross column
// keeps its own total.
TEST_F(BandAggregateTest, TakesInOnlyForItsFooterAndBandAndPerCrossColumn) {
  // Another band is printing: the record is not taken in, and outside printing nothing is read.
  TakeIn(7.0, {"SUM([PRICE], DetailData1)"});
  EXPECT_EQ(footer.values.Count(), 0);
  // A band that is not a footer collects nothing.
  fake::Band header{QStringLiteral("MasterHeader1"), 4};
  frEngine().AggrBand = &header;
  TakeIn(7.0, {"SUM([PRICE], MasterData1)"});
  EXPECT_EQ(header.values.Count(), 0);
  // Neither printing nor the flag: nothing.
  frEngine().AggrBand = &footer;
  data.printing = false;
  TakeIn(7.0, {"SUM([PRICE], MasterData1)"});
  EXPECT_EQ(footer.values.Count(), 0);
  // The flag 1 takes the record in all the same.
  TakeIn(7.0, {"SUM([PRICE], MasterData1, 1)"});
  EXPECT_DOUBLE_EQ(Print("SUM([PRICE], MasterData1, 1)").ToDouble(), 7.0);
  page.crossBands = true;
  page.crossColumn = 2;
  data.printing = true;
  TakeIn(3.0, {"SUM([PRICE], MasterData1)"});
  EXPECT_EQ(footer.values.Names(1), QStringLiteral("SUM[PRICE]2"));
  fake::Band cross{QStringLiteral("CrossFooter1"), frBandCrossFooter};
  frEngine().AggrBand = &cross;
  fields[QStringLiteral("PRICE")] = 1;
  Calc("SUM([PRICE], MasterData1)");
  EXPECT_EQ(cross.values.Names(0), QStringLiteral("SUM[PRICE]00"));
}

} // namespace
