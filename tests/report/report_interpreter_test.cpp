#include "fake_engine_model.h"
#include "report/function_library.h"

namespace {

class ReportScriptTest : public fake::EngineTest {
protected:
  void SetUp() override {
    EngineTest::SetUp();
    memo.values[vpLeft] = 10;
    memo.values[vpText] = QStringLiteral("hello");
    page.objects = {&memo, &picture, &band};
    frEngine().CurPage = &page;
    frEngine().CurView = &memo;
    frEngine().CurBand = &runBand;
    frEngine().CurReport = &report;
  }

  void Run(const QString &text) {
    TStringList source;
    source.SetText(text);
    TfrCompiledScript compiled;
    ReportInterpreter()->RunScript(&source, compiled, QStringLiteral("Test"));
  }
  Variant Var(const char *name) { return ReportVariables()->GetVariable(QString::fromLatin1(name)); }
  // The texts of the variables named, joined by blanks.
  QString Vars(const char *names) {
    QStringList texts;
    for (const QString &name : QString::fromLatin1(names).split(QLatin1Char(' ')))
      texts << ReportVariables()->GetVariable(name).ToString();
    return texts.join(QLatin1Char(' '));
  }

  fake::View memo{QStringLiteral("Memo1"), TfrViewKind::Text};
  fake::View picture{QStringLiteral("Picture1"), TfrViewKind::Other};
  fake::View band{QStringLiteral("MasterData1"), TfrViewKind::Band};
  fake::Band runBand{QStringLiteral("MasterData1"), 5};
  fake::Page page;
  fake::Report report;
};

TEST_F(ReportScriptTest,
       ReadsReportVariablesFirstThenFreeSpaceColoursAndPropertiesOfTheCurrentAndNamedObjects) {
  ReportVariables()->SetVariable(QStringLiteral("CurrSym"), Variant("EUR"));
  ReportVariables()->SetVariable(QStringLiteral("Top"), Variant(99));
  page.bottom = 700;
  page.y = 450;
  picture.values[vpWidth] = 30;
  Run("begin s := CurrSym + '!'; l := Top; x := FreeSpace; a := Left + 5; b := Picture1.Width; t := Text "
      "end");
  EXPECT_EQ(Vars("S L A B T"), "EUR! 99 15 30 hello");
  EXPECT_TRUE(Var("X") == Variant("250")) << "free space as decimal text";
  Run("begin d := CLTRANSPARENT; FillColor := clRed end");
  EXPECT_EQ(Vars("D"), "536870911");
  EXPECT_TRUE(memo.values[vpFillColor] == Variant(255));
}

// Names that are no property of the object in hand go to the report: fields, names with no current object
// or of an object not on the page, and text and font properties of an object that holds no text.
TEST_F(ReportScriptTest, PassesOtherNamesToTheReport) {
  fields[QStringLiteral("ITEMPRICE")] = 12.5;
  Run("begin p := ItemPrice * 2; q := [ItemPrice] end");
  EXPECT_EQ(Vars("P Q"), "25 12.5");
  const struct {
    TfrEngineView *current;
    const char *script, *asked;
  } cases[] = {{nullptr, "x := Left", "LEFT"},
               {&memo, "x := Nothing.Left", "NOTHING.LEFT"},
               {&picture, "begin FontName := 'Courier'; f := FontSize end", "FONTSIZE"}};
  for (const auto &c : cases) {
    frEngine().CurView = c.current;
    lookups.clear();
    Run(QString::fromLatin1(c.script));
    EXPECT_EQ(lookups, QStringList{QString::fromLatin1(c.asked)}) << c.script;
  }
  EXPECT_FALSE(picture.values.contains(vpFontName));
}

TEST_F(ReportScriptTest, SetsPropertiesConvertedToTheirTypes) {
  Run("begin Left := 20.4; Visible := 0; FrameWidth := 2; Text := 'abc'; FontName := 'Arial'; "
      "FontStyle := 3; Flags := '7' end");
  const auto set = [this](TfrViewProperty p) { return memo.values[p]; };
  EXPECT_TRUE(set(vpLeft) == Variant(20) && set(vpLeft).VarType() == varInteger);
  EXPECT_TRUE(set(vpVisible) == Variant(false) && set(vpVisible).VarType() == varBoolean);
  EXPECT_TRUE(set(vpFontStyle) == Variant(3) && set(vpFlags) == Variant(7));
}

TEST_F(ReportScriptTest, RefusesToSetAPropertyWithNoObjectToSetItOn) {
  frEngine().CurView = nullptr;
  EXPECT_EQ(test::Refusal<EfrScriptError>([&] { Run("Left := 1"); }),
            QStringLiteral("Cannot set \"Left\": there is no current object"));
  EXPECT_EQ(test::Refusal<EfrScriptError>([&] { Run("Nothing.Width := 1"); }),
            QStringLiteral("Cannot set \"Nothing.Width\": there is no object \"Nothing\" on the page"));
  // Names that are not properties become report variables.
  Run("Total.Sum := 3");
  EXPECT_TRUE(Var("TOTAL.SUM") == Variant(3.0));
}

TEST_F(ReportScriptTest, CallsLibraryFunctionsEachTimeTheScriptRuns) {
  int asked = 0;
  frSetInputQuery([&asked](const QString &, const QString &, const QString &) {
    ++asked;
    return QStringLiteral("typed");
  });
  TStringList source;
  source.Add(QStringLiteral("begin s := UpperCase('abc'); i := Input('Name?', '') end"));
  TfrCompiledScript compiled;
  ReportInterpreter()->RunScript(&source, compiled);
  ReportInterpreter()->RunScript(&source, compiled);
  frSetInputQuery(nullptr);
  EXPECT_EQ(asked, 2);
}

TEST_F(ReportScriptTest, StopsWhenTheReportIsCancelledAndNamesTheCurrentObjectWhenALoopIsStopped) {
  ReportInterpreter()->SetMaxSteps(500);
  TStringList source;
  source.Add(QStringLiteral("while 1 do x := 1"));
  TfrCompiledScript compiled;
  EXPECT_TRUE(test::Refusal<EfrScriptError>([&] {
                ReportInterpreter()->RunScript(&source, compiled);
              }).contains(QStringLiteral("\"Memo1\"")));
  report.terminated = true;
  Run("y := 1");
  EXPECT_TRUE(Var("Y").IsNull());
}

TEST(ReportEngine, StartsAndStopsExplicitly) {
  EXPECT_THROW(ReportParser(), EInvalidOperation);
  {
    ReportEngineScope scope;
    EXPECT_THROW(StartReportEngine(), EInvalidOperation);
    ReportVariables()->SetVariable(QStringLiteral("A"), Variant(1));
  }
  EXPECT_FALSE(ReportEngineStarted());
  ReportEngineScope again;
  EXPECT_EQ(ReportVariables()->Count(), 0);
}

// An object that notes its end in a shared log.
struct LoggedObject : TObject {
  LoggedObject(QStringList &log, QString name) : log_(log), name_(std::move(name)) {}
  ~LoggedObject() override { log_.append(name_); }
  QStringList &log_;
  QString name_;
};

// The objects the engine owns are freed once each: at once when asked, the rest in the order added when the
// engine stops; an object the engine does not own is left alone.
TEST(ReportEngine, FreesItsObjectsOnceInTheOrderAdded) {
  QStringList log;
  auto *stranger = new LoggedObject(log, QStringLiteral("stranger"));
  {
    ReportEngineScope scope;
    auto *first = new LoggedObject(log, QStringLiteral("first"));
    auto *second = new LoggedObject(log, QStringLiteral("second"));
    auto *third = new LoggedObject(log, QStringLiteral("third"));
    frAddEngineObject(first);
    frAddEngineObject(second);
    frAddEngineObject(third);
    frAddEngineObject(first); // already owned: still freed once
    frAddEngineObject(nullptr);
    frFreeEngineObject(second);
    EXPECT_EQ(log, QStringList({"second"}));
    frFreeEngineObject(second); // no longer owned
    frFreeEngineObject(stranger);
    EXPECT_EQ(log, QStringList({"second"}));
  }
  EXPECT_EQ(log, QStringList({"second", "first", "third"}));
  EXPECT_THROW(frAddEngineObject(stranger), EInvalidOperation);
  delete stranger;
  EXPECT_EQ(log.last(), QStringLiteral("stranger"));
}

// Variables are replaced by name without regard to case and keep the first written name; a missing name gives
// null, and Delete ignores indexes outside the list.
TEST(ReportVariables, ReplaceByNameWithoutRegardToCaseAndMissOrDeleteQuietly) {
  TfrVariables variables;
  EXPECT_TRUE(variables.GetVariable(QStringLiteral("X")).IsNull());
  variables.SetVariable(QStringLiteral("CurrSym"), Variant("$"));
  variables.SetVariable(QStringLiteral("SINV"), Variant(17));
  variables.SetVariable(QStringLiteral("CURRSYM"), Variant("EUR"));
  ASSERT_EQ(variables.Count(), 2);
  EXPECT_EQ(variables.Name(0), QStringLiteral("CurrSym"));
  EXPECT_TRUE(variables.GetVariable(QStringLiteral("currsym")) == Variant("EUR"));
  variables.Delete(-1);
  variables.Delete(2);
  variables.Delete(0);
  ASSERT_EQ(variables.Count(), 1);
  EXPECT_EQ(variables.Name(0), QStringLiteral("SINV"));
}

} // namespace
