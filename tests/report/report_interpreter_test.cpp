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

TEST_F(ReportScriptTest, ReadsReportVariablesFirst) {
  ReportVariables()->SetVariable(QStringLiteral("CurrSym"), Variant("EUR"));
  ReportVariables()->SetVariable(QStringLiteral("Left"), Variant(99));
  Run("begin s := CurrSym + '!'; l := Left end");
  EXPECT_TRUE(Var("S") == Variant("EUR!"));
  EXPECT_TRUE(Var("L") == Variant(99));
}

TEST_F(ReportScriptTest, ReadsFreeSpaceAsDecimalText) {
  page.bottom = 700;
  page.y = 450;
  Run("x := FreeSpace");
  EXPECT_TRUE(Var("X") == Variant("250"));
}

TEST_F(ReportScriptTest, ReadsPropertiesOfTheCurrentObjectAndOfNamedObjects) {
  picture.values[vpWidth] = 30;
  Run("begin a := Left + 5; b := Picture1.Width; t := Text end");
  EXPECT_TRUE(Var("A") == Variant(15.0));
  EXPECT_TRUE(Var("B") == Variant(30));
  EXPECT_TRUE(Var("T") == Variant("hello"));
}

TEST_F(ReportScriptTest, GivesColourNames) {
  const struct {
    const char *name;
    int color;
  } cases[] = {
      {"clWhite", 16777215},        {"clBlack", 0},         {"clMaroon", 128},       {"clGreen", 32768},
      {"clOlive", 32896},           {"clNavy", 8388608},    {"clPurple", 8388736},   {"clTeal", 8421376},
      {"clGray", 8421504},          {"clSilver", 12632256}, {"clRed", 255},          {"clLime", 65280},
      {"clYellow", 65535},          {"clBlue", 16711680},   {"clFuchsia", 16711935}, {"clAqua", 16776960},
      {"CLTRANSPARENT", 0x1FFFFFFF}};
  for (const auto &c : cases) {
    Run(QStringLiteral("c := %1").arg(QLatin1String(c.name)));
    EXPECT_TRUE(Var("C") == Variant(c.color)) << c.name;
  }
  Run("FillColor := clRed");
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
  EXPECT_TRUE(memo.values[vpLeft] == Variant(20));
  EXPECT_EQ(memo.values[vpLeft].VarType(), varInteger);
  EXPECT_EQ(memo.values[vpVisible].VarType(), varBoolean);
  EXPECT_FALSE(memo.values[vpVisible].ToBool());
  EXPECT_EQ(memo.values[vpFrameWidth].VarType(), varDouble);
  EXPECT_TRUE(memo.values[vpText] == Variant("abc"));
  EXPECT_TRUE(memo.values[vpFontName] == Variant("Arial"));
  EXPECT_TRUE(memo.values[vpFontStyle] == Variant(3));
  EXPECT_TRUE(memo.values[vpFlags] == Variant(7));
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
  try {
    Run("Left := 1");
    FAIL() << "no error";
  } catch (const EfrScriptError &e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot set \"Left\": there is no current object"));
  }
  try {
    Run("Nothing.Width := 1");
    FAIL() << "no error";
  } catch (const EfrScriptError &e) {
    EXPECT_EQ(e.Message(),
              QStringLiteral("Cannot set \"Nothing.Width\": there is no object \"Nothing\" on the page"));
  }
  // Names that are not properties become report variables.
  Run("Total.Sum := 3");
  EXPECT_TRUE(Var("TOTAL.SUM") == Variant(3.0));
}

TEST_F(ReportScriptTest, RequestsANewPageOrColumnOfTheBandBeingPrinted) {
  frEngine().CurBand = &runBand;
  Run("begin NewPage end");
  EXPECT_TRUE(runBand.newPage);
  EXPECT_FALSE(runBand.newColumn);
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

TEST_F(ReportScriptTest, StopsWhenTheReportIsCancelled) {
  report.terminated = true;
  Run("x := 1");
  EXPECT_TRUE(Var("X").IsNull());
}

TEST_F(ReportScriptTest, NamesTheCurrentObjectWhenALoopIsStopped) {
  ReportInterpreter()->SetMaxSteps(500);
  TStringList source;
  source.Add(QStringLiteral("while 1 do x := 1"));
  TfrCompiledScript compiled;
  try {
    ReportInterpreter()->RunScript(&source, compiled);
    FAIL() << "no error";
  } catch (const EfrScriptError &e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("\"Memo1\""))) << e.Message().toStdString();
  }
}

TEST(ReportEngine, StartsAndStopsExplicitly) {
  EXPECT_FALSE(ReportEngineStarted());
  EXPECT_THROW(ReportParser(), EInvalidOperation);
  {
    ReportEngineScope scope;
    EXPECT_TRUE(ReportEngineStarted());
    EXPECT_THROW(StartReportEngine(), EInvalidOperation);
    ReportVariables()->SetVariable(QStringLiteral("A"), Variant(1));
    ASSERT_EQ(frFunctionLibraryCount(), 1);
    EXPECT_EQ(frFunctionLibrary(0)->ClassName(), QStringLiteral("TfrStdFunctionLibrary"));
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
  EXPECT_EQ(frRegRootKey, QStringLiteral("Software\\Reportwell"));
}

} // namespace
