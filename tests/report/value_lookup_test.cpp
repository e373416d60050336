// How a report finds the value of a name while it builds its pages, and what happens when it cannot.
#include "platform/windowing/system_services.h"
#include "report/parser.h"
#include "report/values.h"
#include "tests/report/report_build_fixture.h"

namespace build {
namespace {

class ValueLookupTest : public ReportBuildTest {
protected:
  void SetUp() override {
    ReportBuildTest::SetUp();
    Fill({{QStringLiteral("Bolt"), 3, 2.5, QStringLiteral("A"), {}}});
    AddBand(btMasterData, 0, 20, QStringLiteral("frLines"));
  }
  // The text the expression gives in a text object of the data band.
  QString Show(const QString &expression) {
    TfrMemoView *memo = AddMemo(0, 0, 300, 20, {expression});
    const bool ok = report->PrepareReport();
    page->Delete(page->IndexOf(memo));
    if (!ok) return QStringLiteral("failed: ") + report->ErrorText();
    const QStringList texts = Texts();
    return texts.isEmpty() ? QString() : texts[0].mid(3);
  }
};

TEST_F(ValueLookupTest, NamesAreLookedUpInTheOrderOfEventValuesFieldsSpecialNamesVariablesAndExpressions) {
  ReportVariables()->SetVariable(QStringLiteral("QTY"), Variant(99));
  ReportVariables()->SetVariable(QStringLiteral("PAGE#"), Variant(77));
  EXPECT_EQ(Show(QStringLiteral("[QTY]")), QStringLiteral("3"));           // a field before a variable
  EXPECT_EQ(Show(QStringLiteral("[PAGE#]")), QStringLiteral("1"));         // a special name before a variable
  EXPECT_EQ(Show(QStringLiteral("[Lines.NAME]")), QStringLiteral("Bolt")); // dataset and field
  const QString special = Show(QStringLiteral(
      "[DATE #Dyyyy-mm-dd] [TIME #Thh:nn] [LINE#] [LINETHROUGH#] [COLUMN#] [CURRENT#] [TOTALPAGES]"));
  const TDateTime when = report->ReportDateTime();
  EXPECT_EQ(special, FormatDateTime(QStringLiteral("yyyy-mm-dd"), when) + QLatin1Char(' ') +
                         FormatDateTime(QStringLiteral("hh:nn"), when) + QStringLiteral(" 1 0 1 1 0"));

  // A values entry comes before the band's field of the same name.
  TfrValues &values = report->Values();
  const int entry = values.AddValue(QStringLiteral("QTY"));
  values[entry].Typ = 1;
  values[entry].DataSet = QStringLiteral("frLines");
  values[entry].Field = QStringLiteral("GRP");
  EXPECT_EQ(Show(QStringLiteral("[QTY]")), QStringLiteral("A"));
  values[entry].Typ = 3;
  values[entry].Field = QStringLiteral("[PRICE] * 4");
  EXPECT_EQ(Show(QStringLiteral("[QTY]")), QStringLiteral("10"));
  values[entry].Typ = 0;
  EXPECT_EQ(Show(QStringLiteral("<[QTY]>")), QStringLiteral("<>")) << "an entry of no kind is empty";

  // The application's event answers first.
  report->OnGetValue = TfrGetValueEvent::From([](const QString &name, Variant &value) {
    if (name == QLatin1String("QTY")) value = Variant(QStringLiteral("from the event"));
  });
  EXPECT_EQ(Show(QStringLiteral("[QTY]")), QStringLiteral("from the event"));
}

TEST_F(ValueLookupTest, FunctionsGoToTheLibrariesFirstAndThenToTheReportsEvent) {
  QStringList asked;
  report->OnUserFunction = TfrUserFunctionEvent::From(
      [&asked](const QString &name, const Variant &p1, const Variant &, const Variant &, Variant &value) {
        asked << name;
        if (name == QLatin1String("TWICE"))
          value = Variant(ReportParser()->Calc(p1.ToString()).ToDouble() * 2);
        if (name == QLatin1String("GREET")) value = Variant(QStringLiteral("it's ") + p1.ToString());
      });
  EXPECT_EQ(Show(QStringLiteral("[UPPERCASE([NAME])] [TWICE([QTY])] [GREET('you')]")),
            QStringLiteral("BOLT 6 it's 'you'"));
  EXPECT_EQ(asked, (QStringList{QStringLiteral("TWICE"), QStringLiteral("GREET")}));
}

// A name that nothing knows is evaluated as an expression, which asks for the name again: the second request
// stops the run instead of recursing without end. Values entries that are expressions naming each other stop
// the same way.
TEST_F(ValueLookupTest, AnUnknownNameOrNamesDefinedByEachOtherStopPreparationAsUndefined) {
  const QString failure = QStringLiteral(
      "failed: An error occured during calculating\r[%1]\rReport: frReport1\rBand: Master data\r"
      "Undefined symbol \"%2\"");
  EXPECT_EQ(Show(QStringLiteral("[FOO]")), failure.arg(QStringLiteral("FOO"), QStringLiteral("FOO")));
  EXPECT_EQ(report->EMFPages().Count(), 0);
  EXPECT_EQ(Settings().DecimalSeparator, QLatin1Char('.'));

  TfrValues &values = report->Values();
  for (const char *name : {"A", "B"}) {
    const int entry = values.AddValue(QString::fromLatin1(name));
    values[entry].Typ = 3;
    values[entry].Field = QString::fromLatin1(name[0] == 'A' ? "[B] + 1" : "[A] + 1");
  }
  EXPECT_EQ(Show(QStringLiteral("[A]")), failure.arg(QStringLiteral("A"), QStringLiteral("A")));
}

TEST_F(ValueLookupTest, ShowReportShowsTheErrorInAMessageBoxAndTellsItsCaller) {
  AddMemo(0, 0, 300, 20, {QStringLiteral("[1 +]"), QStringLiteral("[NOSUCHNAME]")});
  ScopedScriptedServices services;
  bool opened = false;
  frSetPreviewWindowOpener([&opened](TfrReport *, const QString &) { opened = true; });
  EXPECT_FALSE(report->ShowReport());
  EXPECT_FALSE(opened);
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_TRUE(services->MessageBoxes()[0].Text.startsWith(
      QStringLiteral("An error occured during calculating\r[1 +]\r[NOSUCHNAME]\rReport: frReport1\rBand: ")));
  EXPECT_EQ(report->EMFPages().Count(), 0);
  EXPECT_EQ(Settings().DecimalSeparator, QLatin1Char('.'));

  // Once the template is mended, the same report prepares and opens its preview.
  page->Delete(page->ObjectCount() - 1);
  AddMemo(0, 0, 300, 20, {QStringLiteral("[NAME]")});
  report->Title = QStringLiteral("Invoice");
  QString caption;
  frSetPreviewWindowOpener([&caption](TfrReport *, const QString &c) { caption = c; });
  EXPECT_TRUE(report->ShowReport());
  EXPECT_EQ(caption, QStringLiteral("Invoice - Preview"));
}

} // namespace
} // namespace build
