#include "platform/core/format_settings.h"
#include "platform/core/string_list.h"
#include "report/interpreter.h"
#include <QMap>
#include <gtest/gtest.h>

namespace {

// An interpreter over a table of variables; it records function calls and answers F with a count of calls.
class TableInterpreter : public TfrInterpretator {
public:
  void GetValue(const QString &Name, Variant &Value) override {
    Value = vars.value(Name.toUpper(), Variant(0));
  }
  void SetValue(const QString &Name, const Variant &Value) override {
    vars[Name.toUpper()] = Value;
    ++assignments;
  }
  void DoFunction(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                  QString &Result) override {
    calls.append(QStringList{Name, P1.ToString(), P2.ToString(), P3.ToString()});
    Result = QString::number(calls.size());
  }
  bool Terminated() const override { return stopAfter >= 0 && assignments >= stopAfter; }

  QMap<QString, Variant> vars;
  QList<QStringList> calls;
  int assignments = 0;
  int stopAfter = -1;
};

class ScriptTest : public ::testing::Test {
protected:
  TfrCompiledScript Compile(const QStringList &lines) {
    TStringList source;
    for (const QString &line : lines) source.Add(line);
    TfrCompiledScript compiled;
    errors.Clear();
    interpreter.PrepareScript(&source, compiled, &errors);
    return compiled;
  }
  TfrCompiledScript Compile(const char *text) {
    return Compile(QString::fromUtf8(text).split(QLatin1Char('\n')));
  }
  void Run(const char *text) {
    const TfrCompiledScript compiled = Compile(text);
    ASSERT_EQ(errors.Count(), 0) << errors.Text().toStdString();
    interpreter.RunScript(compiled);
  }
  Variant Var(const char *name) { return interpreter.vars.value(QString::fromLatin1(name)); }

  FormatSettingsGuard settings{FormatSettings::USEnglish()};
  TableInterpreter interpreter;
  TStringList errors;
};

TEST_F(ScriptTest, AnEmptyScriptCompilesToNothing) {
  for (const char *text : {"", "   ", "// only a comment", "{ a note }", "\t"}) {
    const TfrCompiledScript compiled = Compile(text);
    EXPECT_TRUE(compiled.Statements().isEmpty()) << text;
    EXPECT_FALSE(compiled.HasErrors());
    interpreter.RunScript(compiled);
  }
  EXPECT_EQ(interpreter.assignments, 0);
}

TEST_F(ScriptTest, CompilesStatementsToJumpsAndAssignments) {
  using S = TfrScriptStatement;
  const struct {
    const char *text;
    QList<S::Kind> kinds;
    QList<int> targets; // of the jumps, in order
  } cases[] = {
      {"begin x := 1; end", {S::Assign}, {}},
      {"if a > 1 then b := 2", {S::ConditionalJump, S::Assign}, {2}},
      {"if a then b := 1 else c := 2", {S::ConditionalJump, S::Assign, S::Jump, S::Assign}, {3, 4}},
      {"while i < 3 do i := i + 1", {S::ConditionalJump, S::Assign, S::Jump}, {3, 0}},
      {"begin x := 0; repeat x := x + 1 until x > 2 end", {S::Assign, S::Assign, S::ConditionalJump}, {1}},
      {"begin 10: x := 1; goto 10 end", {S::Assign, S::Jump}, {0}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    const TfrCompiledScript compiled = Compile(c.text);
    ASSERT_FALSE(compiled.HasErrors()) << compiled.Errors().join(QLatin1Char('\n')).toStdString();
    QList<S::Kind> kinds;
    QList<int> targets;
    for (const S &s : compiled.Statements()) {
      kinds.append(s.kind);
      if (s.kind == S::ConditionalJump || s.kind == S::Jump) targets.append(s.target);
    }
    EXPECT_EQ(kinds, c.kinds);
    EXPECT_EQ(targets, c.targets);
  }
}

TEST_F(ScriptTest, CompilesArrayAssignmentsAndBareProceduresToCalls) {
  TfrCompiledScript compiled = Compile("arr[3] := 5");
  ASSERT_EQ(compiled.Statements().size(), 1);
  EXPECT_EQ(compiled.Statements()[0].kind, TfrScriptStatement::Evaluate);
  EXPECT_EQ(compiled.Statements()[0].expression, QStringLiteral("SETARRAY(arr, 3, 5)"));
  compiled = Compile("NewPage");
  ASSERT_EQ(compiled.Statements().size(), 1);
  EXPECT_EQ(compiled.Statements()[0].expression, QStringLiteral("NewPage(0)"));
  interpreter.RunScript(compiled);
  ASSERT_EQ(interpreter.calls.size(), 1);
  EXPECT_EQ(interpreter.calls[0][0], QStringLiteral("NEWPAGE"));
  // Before END and ELSE too.
  Run("begin if x then NewPage else NewColumn end");
  EXPECT_EQ(interpreter.calls.last()[0], QStringLiteral("NEWCOLUMN"));
}

TEST_F(ScriptTest, RunsAssignmentsBranchesAndLoops) {
  Run("begin x := 2; if x > 1 then y := 'big' else y := 'small' end");
  EXPECT_TRUE(Var("Y") == Variant("big"));
  Run("begin i := 0; s := 0; while i < 5 do begin i := i + 1; s := s + i end end");
  EXPECT_TRUE(Var("S") == Variant(15.0));
  Run("begin i := 0; repeat i := i + 2 until i >= 7 end");
  EXPECT_TRUE(Var("I") == Variant(8.0));
  Run("begin n := 0; 10: n := n + 1; if n < 3 then goto 10 end");
  EXPECT_TRUE(Var("N") == Variant(3.0));
  // The script is a sequence of statements; nothing after the first is lost.
  Run("a := 1; b := a + 1");
  EXPECT_TRUE(Var("B") == Variant(2.0));
  // A condition is false exactly when it equals 0.
  Run("begin c := -1; if c then t := 1 else t := 0 end");
  EXPECT_TRUE(Var("T") == Variant(1.0));
}

TEST_F(ScriptTest, ReadsKeywordsInAnyCaseAndOnlyAsWholeWords) {
  Run("BeGiN X := 1; iF x = 1 THEN y := 2 eNd");
  EXPECT_TRUE(Var("Y") == Variant(2.0));
  Run("begin EndDate := 1; Ifx := 2; BeginAt := 3; DoIt := 4; Thenceforth := 5 end");
  for (const char *name : {"ENDDATE", "IFX", "BEGINAT", "DOIT", "THENCEFORTH"})
    EXPECT_TRUE(interpreter.vars.contains(QString::fromLatin1(name))) << name;
  Run("begin x:=1;y:=x+1;end");
  EXPECT_TRUE(Var("Y") == Variant(2.0));
}

TEST_F(ScriptTest, StripsCommentsButNotInsideStrings) {
  Run("begin\n  x := 1; // y := 2;\n  { z := 3; }\n  w := 'http://example.com/{a}'\nend");
  EXPECT_TRUE(Var("X") == Variant(1.0));
  EXPECT_FALSE(interpreter.vars.contains(QStringLiteral("Y")));
  EXPECT_FALSE(interpreter.vars.contains(QStringLiteral("Z")));
  EXPECT_TRUE(Var("W") == Variant("http://example.com/{a}"));
  Run("s := 'a\t  b'\t;\tt := 1");
  EXPECT_TRUE(Var("S") == Variant("a\t  b"));
}

TEST_F(ScriptTest, RunsFunctionCallsWhenTheScriptRunsNotWhenItCompiles) {
  TStringList source;
  source.Add(QStringLiteral("begin x := F(1); if G(2) > 0 then y := 1 end"));
  TfrCompiledScript cache;
  interpreter.PrepareScript(&source, cache, nullptr);
  EXPECT_TRUE(interpreter.calls.isEmpty());
  interpreter.RunScript(&source, cache);
  interpreter.RunScript(&source, cache);
  ASSERT_EQ(interpreter.calls.size(), 4);
  EXPECT_EQ(interpreter.calls[2][0], QStringLiteral("F"));
  EXPECT_TRUE(Var("X") == Variant(3.0));
  // A changed source is compiled again.
  source.SetStrings(0, QStringLiteral("x := 7"));
  interpreter.RunScript(&source, cache);
  EXPECT_TRUE(Var("X") == Variant(7.0));
}

TEST_F(ScriptTest, ReportsEachCompileErrorWithItsLineAndColumn) {
  namespace m = frScriptMessage;
  const struct {
    QStringList lines;
    QString error;
  } cases[] = {{{"begin x := 1 y := 2 end"}, "Строка 1/14: " + m::EndExpected},
               {{"begin x := 1"}, "Строка 1/13: " + m::EndExpected},
               {{"if x > 1 b := 2"}, "Строка 1/10: " + m::ThenExpected},
               {{"repeat x := 1 while"}, "Строка 1/15: " + m::UntilExpected},
               {{"while x < 1 x := 2"}, "Строка 1/13: " + m::DoExpected},
               {{"goto abc"}, "Строка 1/6: " + m::LabelNotNumber},
               {{"x = 1"}, "Строка 1/3: " + m::AssignExpected},
               {{"x := (1 + 2"}, "Строка 1/12: " + m::CloseParenExpected},
               {{"x := [abc"}, "Строка 1/10: " + m::CloseBracketExpected},
               {{"x := f(1 2)"}, "Строка 1/10: " + m::CommaOrParenExpected},
               {{"x := ;"}, "Строка 1/6: " + m::ExpressionExpected},
               {{"x := 'abc", "y := 1"}, "Строка 1/10: " + m::QuoteExpected},
               {{"goto 20"}, "Строка 1/6: " + m::LabelNotDefined},
               {{"begin", "  x := 1;", "  y := (2", "end"}, "Строка 4/1: " + m::CloseParenExpected},
               {{"// header", "{ note }", "\tx = 1"}, "Строка 3/4: " + m::AssignExpected},
               {{"x := 1; y := 'a // b' +"}, "Строка 1/24: " + m::ExpressionExpected}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.lines.join(QLatin1Char('|')).toStdString());
    const TfrCompiledScript compiled = Compile(c.lines);
    ASSERT_EQ(errors.Count(), 1);
    EXPECT_EQ(errors[0], c.error);
    EXPECT_EQ(compiled.Errors(), QStringList{c.error});
  }
}

TEST_F(ScriptTest, ACompileErrorIsRaisedWhenTheScriptRunsAndNothingRuns) {
  const TfrCompiledScript compiled = Compile("x := 1; y := (");
  ASSERT_TRUE(compiled.HasErrors());
  try {
    interpreter.RunScript(compiled, QStringLiteral("Memo1"));
    FAIL() << "no error";
  } catch (const EfrScriptError &e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Script of \"Memo1\": Строка 1/15")))
        << e.Message().toStdString();
  }
  EXPECT_EQ(interpreter.assignments, 0);
}

TEST_F(ScriptTest, RefusesNestingTooDeep) {
  QString text;
  for (int i = 0; i < 300; ++i) text += QStringLiteral("begin ");
  const TfrCompiledScript compiled = Compile(QStringList{text});
  ASSERT_EQ(errors.Count(), 1);
  EXPECT_TRUE(errors[0].endsWith(frScriptMessage::NestedTooDeeply));
  const TfrCompiledScript parens = Compile(QStringList{"x := " + QString(300, QLatin1Char('(')) + "1"});
  EXPECT_TRUE(parens.HasErrors());
}

TEST_F(ScriptTest, StopsAnEndlessLoopAndNamesItsOwner) {
  interpreter.SetMaxSteps(1000);
  const TfrCompiledScript compiled = Compile("while 1 do x := x + 1");
  try {
    interpreter.RunScript(compiled, QStringLiteral("Memo7"));
    FAIL() << "no error";
  } catch (const EfrScriptError &e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("\"Memo7\""))) << e.Message().toStdString();
  }
  EXPECT_LE(interpreter.assignments, 1000);
}

TEST_F(ScriptTest, StopsQuietlyWhenTheRunIsCancelled) {
  interpreter.stopAfter = 5;
  Run("while 1 do x := x + 1");
  EXPECT_EQ(interpreter.assignments, 5);
}

TEST_F(ScriptTest, PassesEvaluationErrorsToTheCaller) {
  const TfrCompiledScript compiled = Compile("x := 'abc' > 1");
  EXPECT_THROW(interpreter.RunScript(compiled), EVariantTypeCastError);
}

TEST_F(ScriptTest, KeepsTheFirstLineOfALabelDefinedTwice) {
  Run("begin n := 0; 5: n := n + 1; 5: n := n + 10; if n < 20 then goto 5 end");
  // The jump goes to the first definition: +1, +10 each time round, until n reaches 22.
  EXPECT_TRUE(Var("N") == Variant(22.0));
}

} // namespace
