#include "platform/core/format_settings.h"
#include "platform/core/string_list.h"
#include "report/interpreter.h"
#include "tests/report/report_model_fixture.h"
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

TEST_F(ScriptTest, CompilesEmptyScriptsToNothingAndArrayAssignmentsAndBareProceduresToCalls) {
  for (const char *text : {"", "// only a comment", "{ a note }"}) {
    const TfrCompiledScript compiled = Compile(text);
    EXPECT_TRUE(compiled.Statements().isEmpty()) << text;
    EXPECT_FALSE(compiled.HasErrors());
    interpreter.RunScript(compiled);
  }
  EXPECT_EQ(interpreter.assignments, 0);
  TfrCompiledScript compiled = Compile("arr[3] := 5");
  ASSERT_EQ(compiled.Statements().size(), 1);
  EXPECT_EQ(compiled.Statements()[0].kind, TfrScriptStatement::Evaluate);
  EXPECT_EQ(compiled.Statements()[0].expression, QStringLiteral("SETARRAY(arr, 3, 5)"));
  // A bare procedure, before END and ELSE too.
  Run("begin if x then NewPage else NewColumn end");
  EXPECT_EQ(interpreter.calls.last()[0], QStringLiteral("NEWCOLUMN"));
}

// Assignments, branches and loops; a sequence of statements loses nothing after the first; a condition is
// false exactly when it equals 0; a label defined twice jumps to its first line; keywords in any case and
// only as whole words; comments stripped but not inside strings.
TEST_F(ScriptTest, RunsAssignmentsBranchesAndLoops) {
  const struct {
    const char *script, *variable;
    Variant expected;
  } cases[] = {{"begin x := 2; if x > 1 then y := 'big' else y := 'small' end", "Y", "big"},
               {"begin i := 0; s := 0; while i < 5 do begin i := i + 1; s := s + i end end", "S", 15.0},
               {"begin i := 0; repeat i := i + 2 until i >= 7 end", "I", 8.0},
               {"a := 1; b := a + 1", "B", 2.0},
               {"begin c := -1; if c then t := 1 else t := 0 end", "T", 1.0},
               {"begin n := 0; 5: n := n + 1; 5: n := n + 10; if n < 20 then goto 5 end", "N", 22.0},
               {"BeGiN X := 1; iF x = 1 THEN y := 2 eNd", "Y", 2.0},
               {"begin\n  x := 1; // y := 2;\n  { z := 3; }\n  w := 'http://example.com/{a}'\nend", "W",
                "http://example.com/{a}"},
               {"s := 'a\t  b'\t;\tt := 1", "S", "a\t  b"}};
  for (const auto &c : cases) {
    interpreter.vars.clear();
    Run(c.script);
    EXPECT_TRUE(Var(c.variable) == c.expected) << c.script;
  }
  EXPECT_EQ(interpreter.vars.keys(), (QList<QString>{"S", "T"}));
  Run("begin EndDate := 1; Ifx := 2 end");
  EXPECT_EQ(interpreter.vars.keys(), (QList<QString>{"ENDDATE", "IFX", "S", "T"}));
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
               {{"if x > 1 b := 2"}, "Строка 1/10: " + m::ThenExpected},
               {{"repeat x := 1 while"}, "Строка 1/15: " + m::UntilExpected},
               {{"while x < 1 x := 2"}, "Строка 1/13: " + m::DoExpected},
               {{"goto abc"}, "Строка 1/6: " + m::LabelNotNumber},
               {{"x = 1"}, "Строка 1/3: " + m::AssignExpected},
               {{"x := (1 + 2"}, "Строка 1/12: " + m::CloseParenExpected},
               {{"x := ;"}, "Строка 1/6: " + m::ExpressionExpected},
               {{"x := 'abc", "y := 1"}, "Строка 1/10: " + m::QuoteExpected},
               {{"goto 20"}, "Строка 1/6: " + m::LabelNotDefined},
               {{"// header", "{ note }", "\tx = 1"}, "Строка 3/4: " + m::AssignExpected},
               {{"x := 1; y := 'a // b' +"}, "Строка 1/24: " + m::ExpressionExpected}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.lines.join(QLatin1Char('|')).toStdString());
    const TfrCompiledScript compiled = Compile(c.lines);
    EXPECT_EQ(errors.Text(), c.error + QStringLiteral("\r\n"));
    EXPECT_EQ(compiled.Errors(), QStringList{c.error});
  }
  // The error is raised when the script runs, and nothing runs.
  const TfrCompiledScript compiled = Compile("x := 1; y := (");
  ASSERT_TRUE(compiled.HasErrors());
  EXPECT_TRUE(test::Refusal<EfrScriptError>([&] {
                interpreter.RunScript(compiled, QStringLiteral("Memo1"));
              }).startsWith(QStringLiteral("Script of \"Memo1\": Строка 1/15")));
  EXPECT_EQ(interpreter.assignments, 0);
}

// Nesting too deep is refused; an endless loop is stopped and its owner named; a cancelled run stops
// quietly; evaluation errors reach the caller.
TEST_F(ScriptTest, StopsWhatCannotEnd) {
  Compile(QStringList{QStringLiteral("begin ").repeated(300)});
  ASSERT_EQ(errors.Count(), 1);
  EXPECT_TRUE(errors[0].endsWith(frScriptMessage::NestedTooDeeply));
  interpreter.SetMaxSteps(1000);
  EXPECT_TRUE(test::Refusal<EfrScriptError>([&] {
                interpreter.RunScript(Compile("while 1 do x := x + 1"), QStringLiteral("Memo7"));
              }).contains(QStringLiteral("\"Memo7\"")));
  EXPECT_LE(interpreter.assignments, 1000);
  EXPECT_THROW(interpreter.RunScript(Compile("x := 'abc' > 1")), EVariantTypeCastError);
  interpreter.assignments = 0;
  interpreter.stopAfter = 5;
  Run("while 1 do x := x + 1");
  EXPECT_EQ(interpreter.assignments, 5);
}

} // namespace
