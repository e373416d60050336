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

  fake::View memo{QStringLiteral("Memo1"), TfrViewKind::Text};
  fake::View picture{QStringLiteral("Picture1"), TfrViewKind::Other};
  fake::View band{QStringLiteral("MasterData1"), TfrViewKind::Band};
  fake::Band runBand{QStringLiteral("MasterData1"), 5};
  fake::Page page;
  fake::Report report;
};

TEST_F(ReportScriptTest, ReadsReportVariablesFirstThenFreeSpaceAndPropertiesOfTheCurrentAndNamedObjects) {
  ReportVariables()->SetVariable(QStringLiteral("CurrSym"), Variant("EUR"));
  ReportVariables()->SetVariable(QStringLiteral("Top"), Variant(99));
  page.bottom = 700;
  page.y = 450;
  picture.values[vpWidth] = 30;
  Run("begin s := CurrSym + '!'; l := Top; x := FreeSpace; a := Left + 5; b := Picture1.Width; t := Text "
      "end");
  EXPECT_TRUE(Var("S") == Variant("EUR!"));
  EXPECT_TRUE(Var("L") == Variant(99));
  EXPECT_TRUE(Var("X") == Variant("250")) << "free space as decimal text";
  EXPECT_TRUE(Var("A") == Variant(15.0));
  EXPECT_TRUE(Var("B") == Variant(30));
  EXPECT_TRUE(Var("T") == Variant("hello"));
}

TEST_F(ReportScriptTest, GivesColourNames) {
  Run("begin a := clWhite; b := clNavy; c := clFuchsia; d := CLTRANSPARENT; FillColor := clRed end");
  EXPECT_TRUE(Var("A") == Variant(16777215));
  EXPECT_TRUE(Var("B") == Variant(8388608));
  EXPECT_TRUE(Var("C") == Variant(16711935));
  EXPECT_TRUE(Var("D") == Variant(0x1FFFFFFF));
  EXPECT_TRUE(memo.values[vpFillColor] == Variant(255));
}

TEST_F(ReportScriptTest, PassesOtherNamesToTheReport) {
  fields[QStringLiteral("ITEMPRICE")] = 12.5;
  Run("begin p := ItemPrice * 2; q := [ItemPrice] end");
  EXPECT_TRUE(Var("P") == Variant(25.0));
  EXPECT_TRUE(Var("Q") == Variant(12.5));
  // With no current object every name goes to the report.
  frEngine().CurView = nullptr;
  lookups.clear();
  Run("x := Left");
  EXPECT_EQ(lookups, QStringList{QStringLiteral("LEFT")});
  // So does an object name that is not on the page.
  lookups.clear();
  Run("x := Nothing.Left");
  EXPECT_EQ(lookups, QStringList{QStringLiteral("NOTHING.LEFT")});
}

TEST_F(ReportScriptTest, SetsPropertiesConvertedToTheirTypes) {
  Run("begin Left := 20.4; Visible := 0; FrameWidth := 2; Text := 'abc'; FontName := 'Arial'; "
      "FontStyle := 3; Flags := '7' end");
  const auto set = [this](TfrViewProperty p) { return memo.values[p]; };
  EXPECT_TRUE(set(vpLeft) == Variant(20) && set(vpLeft).VarType() == varInteger);
  EXPECT_TRUE(set(vpVisible) == Variant(false) && set(vpVisible).VarType() == varBoolean);
  EXPECT_EQ(set(vpFrameWidth).VarType(), varDouble);
  EXPECT_TRUE(set(vpText) == Variant("abc") && set(vpFontName) == Variant("Arial"));
  EXPECT_TRUE(set(vpFontStyle) == Variant(3) && set(vpFlags) == Variant(7));
  Run("Picture1.Top := 5");
  EXPECT_TRUE(picture.values[vpTop] == Variant(5));
}

TEST_F(ReportScriptTest, GivesTextAndFontPropertiesOnlyToTextObjects) {
  frEngine().CurView = &picture;
  lookups.clear();
  Run("begin FontName := 'Courier'; f := FontSize end");
  EXPECT_FALSE(picture.values.contains(vpFontName));
  EXPECT_EQ(lookups, QStringList{QStringLiteral("FONTSIZE")});
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

TEST_F(ReportScriptTest, RequestsANewPageOrColumnOfTheBandBeingPrinted) {
  frEngine().CurBand = &runBand;
  Run("begin NewPage end");
  EXPECT_TRUE(runBand.newPage && !runBand.newColumn);
  Run("if 1 then NewColumn");
  EXPECT_TRUE(runBand.newColumn);
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
  EXPECT_TRUE(Var("S") == Variant("ABC"));
  EXPECT_TRUE(Var("I") == Variant("typed"));
  EXPECT_THROW(Run("x := NoSuchFunction(1)"), EParserError);
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
  EXPECT_FALSE(ReportEngineStarted());
  EXPECT_THROW(ReportParser(), EInvalidOperation);
  {
    ReportEngineScope scope;
    EXPECT_TRUE(ReportEngineStarted());
    EXPECT_THROW(StartReportEngine(), EInvalidOperation);
    ReportVariables()->SetVariable(QStringLiteral("A"), Variant(1));
  }
  EXPECT_FALSE(ReportEngineStarted());
  ReportEngineScope again;
  EXPECT_EQ(ReportVariables()->Count(), 0);
}

class Tracked : public TObject {
public:
  Tracked(QStringList &log, QString name) : log_(log), name_(std::move(name)) {}
  ~Tracked() override { log_.append(name_); }

private:
  QStringList &log_;
  QString name_;
};

TEST(ReportEngine, FreesItsObjectsInTheOrderAddedWhenItStops) {
  QStringList freed;
  StartReportEngine();
  frAddEngineObject(new Tracked(freed, QStringLiteral("a")));
  auto *b = new Tracked(freed, QStringLiteral("b"));
  frAddEngineObject(b);
  frAddEngineObject(new Tracked(freed, QStringLiteral("c")));
  frFreeEngineObject(b);
  EXPECT_EQ(freed, QStringList{QStringLiteral("b")});
  StopReportEngine();
  EXPECT_EQ(freed, (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}));
}

TEST(ReportVariables, ReplaceByNameWithoutRegardToCaseAndKeepTheFirstWrittenName) {
  TfrVariables variables;
  variables.SetVariable(QStringLiteral("CurrSym"), Variant("$"));
  variables.SetVariable(QStringLiteral("SINV"), Variant(17));
  variables.SetVariable(QStringLiteral("CURRSYM"), Variant("EUR"));
  ASSERT_EQ(variables.Count(), 2);
  EXPECT_EQ(variables.Name(0), QStringLiteral("CurrSym"));
  EXPECT_TRUE(variables.GetVariable(QStringLiteral("currsym")) == Variant("EUR"));
  EXPECT_EQ(variables.IndexOf(QStringLiteral("sinv")), 1);
  EXPECT_TRUE(variables.GetVariable(QStringLiteral("SInv")) == Variant(17));
}

TEST(ReportVariables, AMissingNameGivesNullAndDeleteIgnoresIndexesOutsideTheList) {
  TfrVariables variables;
  EXPECT_TRUE(variables.GetVariable(QStringLiteral("X")).IsNull());
  EXPECT_EQ(variables.IndexOf(QStringLiteral("X")), -1);
  variables.SetVariable(QStringLiteral("A"), Variant(1));
  variables.SetVariable(QStringLiteral("B"), Variant(2));
  variables.Delete(-1);
  variables.Delete(2);
  variables.Delete(0);
  ASSERT_EQ(variables.Count(), 1);
  EXPECT_EQ(variables.Name(0), QStringLiteral("B"));
}

} // namespace
