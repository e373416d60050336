// TfrInterpretator: compiles the small structured scripts of report objects and bands (assignments, BEGIN ..
// END, IF .. THEN .. ELSE, WHILE .. DO, REPEAT .. UNTIL, GOTO to numeric labels, procedure calls) and runs
// them. Expressions are handed to the interpreter's own TfrParser, whose value and function handlers are the
// interpreter's GetValue and DoFunction.
//
// A script is compiled once into a TfrCompiledScript, which keeps the source beside the compiled form:
// compiling executes nothing, and every function call of the script runs each time the script runs.
// Compilation stops at the first syntax error, which is appended to the error list as
// "Строка <line>/<column>: <message>"; running a script that has a compile error raises EfrScriptError with
// that text instead of running it. Evaluation errors pass to the caller of RunScript. A run stops when the
// report is cancelled (Terminated) and raises EfrScriptError naming the script's owner when it takes more
// than MaxSteps steps.
//
// Source text: "//" and "{" end a line's useful text (outside quoted strings); keywords are recognised in
// any letter case and only as whole words; the script is a sequence of statements separated by ";", normally
// one BEGIN .. END block.
#pragma once
#include "platform/core/exceptions.h"
#include "report/parser.h"
#include <QList>
#include <QStringList>

class TStrings;

TALLYROOK_EXCEPTION(EfrScriptError, Exception)

// The script compiler's messages.
namespace frScriptMessage {
extern const QString EndExpected;        // 1
extern const QString ThenExpected;       // 2
extern const QString UntilExpected;      // 3
extern const QString DoExpected;         // 4
extern const QString LabelNotNumber;     // 5
extern const QString AssignExpected;     // 6
extern const QString CloseParenExpected; // 7
extern const QString CloseBracketExpected;
extern const QString CommaOrParenExpected;
extern const QString ExpressionExpected;
extern const QString QuoteExpected;
extern const QString LabelNotDefined;
extern const QString NestedTooDeeply;
} // namespace frScriptMessage

// One compiled statement.
struct TfrScriptStatement {
  enum Kind {
    ConditionalJump, // go on with the next statement when Expression is true, else jump to Target
    Jump,            // continue at Target
    Evaluate,        // evaluate Expression for its effect
    Assign           // set Name to the value of Expression
  };
  Kind kind = Evaluate;
  int target = 0;
  QString name;
  QString expression;
  // The postfix form, kept when converting the expression calls no function (so nothing would run early).
  QString postfix;
  bool hasPostfix = false;
};

class TfrCompiledScript {
public:
  const QList<TfrScriptStatement> &Statements() const { return statements_; }
  const QStringList &Errors() const { return errors_; }
  bool HasErrors() const { return !errors_.isEmpty(); }
  // True when this is the compiled form of exactly these source lines.
  bool IsCompiledFrom(const TStrings *Source) const;
  void Clear();

private:
  friend class TfrInterpretator;
  friend class TfrScriptCompiler;
  QStringList source_;
  bool compiled_ = false;
  QList<TfrScriptStatement> statements_;
  QStringList errors_;
};

class TfrInterpretator {
public:
  TfrInterpretator();
  virtual ~TfrInterpretator() = default;
  TfrInterpretator(const TfrInterpretator &) = delete;
  TfrInterpretator &operator=(const TfrInterpretator &) = delete;

  // The value of a name (the base leaves it as it is).
  virtual void GetValue(const QString &Name, Variant &Value);
  // An assignment of a script (the base does nothing).
  virtual void SetValue(const QString &Name, const Variant &Value);
  // A function call of an expression (the base knows no function).
  virtual void DoFunction(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                          QString &Result);
  // Compiles Source into Compiled; a syntax error is appended to Errors (when given) and kept in Compiled.
  virtual void PrepareScript(const TStrings *Source, TfrCompiledScript &Compiled, TStrings *Errors);
  // Runs a compiled script. OwnerName names the object or band in errors (the current view when empty).
  virtual void RunScript(const TfrCompiledScript &Compiled, const QString &OwnerName = QString());
  // Compiles Source into Cache unless Cache already holds its compiled form, then runs it.
  void RunScript(const TStrings *Source, TfrCompiledScript &Cache, const QString &OwnerName = QString());

  TfrParser &Parser() { return parser_; }

  // The most statements one run may execute before it is stopped as endless.
  int MaxSteps() const { return maxSteps_; }
  void SetMaxSteps(int Value) { maxSteps_ = Value; }
  static constexpr int DefaultMaxSteps = 1000000;

protected:
  // True when the run should stop quietly (the report was cancelled).
  virtual bool Terminated() const { return false; }
  // The name that errors give for a script whose owner was not named.
  virtual QString DefaultOwnerName() const { return QString(); }

private:
  Variant Evaluate(const TfrScriptStatement &Statement);

  TfrParser parser_;
  int maxSteps_ = DefaultMaxSteps;
};
