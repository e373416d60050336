// TfrParser: the report engine's expression parser. It turns expression text into a compact postfix string
// and evaluates postfix strings to Variants. It knows operators, numbers, quoted strings, date and time
// literals and a few built-in words; every name goes to its value handler and every function call other than
// IF and COPY to its function handler.
//
// Postfix text: operands are written as their source text followed by one blank; operators as single
// characters: "+", "-", "*", "/", "<", "=", ">" and the codes below.
//
// Function calls (IF, COPY and any name followed by "(") are evaluated while the text is converted: the call
// is replaced by "(" + its value + ")" and the scan goes on there, so a converted string holds only results.
//   IF(condition, a, b)   the text of a when the condition is true (not 0), else the text of b; the branch
//                         not taken is never evaluated, the one taken is an expression in its own right
//   COPY(text, start, n)  n characters from the 1-based position start, as a quoted string
//   NAME(p1, p2, p3)      the function handler's result text: a number or a single-quoted string whose
//                         inner quotes are NOT doubled (the parser doubles them when it splices the text in);
//                         a handler that leaves the result empty does not know the function, and the call
//                         raises EParserError "Unknown function "NAME""
// Arguments are split at commas outside parentheses, quotes and brackets; there are at most three.
//
// Truth values are integers: comparisons give 1 or 0, AND multiplies, OR adds, and a condition is false
// exactly when it equals 0 (frIsTrue).
//
// Errors: malformed postfix text (an operator without its operands, a stray parenthesis), expressions
// nested too deeply and texts concatenated beyond 16M characters raise EParserError; conversions of Variants
// raise their own errors; a division by zero gives 0.
#pragma once
#include "platform/core/events.h"
#include "platform/core/exceptions.h"
#include "platform/core/variant.h"
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

TALLYROOK_EXCEPTION(EParserError, Exception)

// Operator codes of postfix text.
namespace frOp {
constexpr char16_t GreaterEqual = 1;
constexpr char16_t LessEqual = 2;
constexpr char16_t NotEqual = 3;
constexpr char16_t Or = 4;
constexpr char16_t And = 5;
constexpr char16_t Int = 6;
constexpr char16_t Frac = 7;
constexpr char16_t Negate = 9;
constexpr char16_t Plus = 10;
constexpr char16_t Str = 11;
constexpr char16_t Not = 12;
constexpr char16_t Mod = 13;
constexpr char16_t Round = 14;
} // namespace frOp

// The value of a name: Value arrives empty and must be set.
using TGetPValueEvent = TEvent<void(const QString &Name, Variant &Value)>;
// A function call: P1 to P3 hold the argument texts (strings, empty when absent); Result arrives empty.
using TFunctionEvent = TEvent<void(const QString &Name, const Variant &P1, const Variant &P2,
                                   const Variant &P3, QString &Result)>;

// The truth rule of report expressions: false exactly when the value equals 0.
bool frIsTrue(const Variant &Value);

// Reads plain decimal number text ("-12.5", "1e-3"; a ',' taken for the decimal point) as QString::toDouble
// does, only faster; false for any other text, which is then left to the slower readers.
bool frReadDecimal(QStringView Text, double &Value);

// The text a number is spliced into an expression as: shortest text that reads back to the same double,
// with "." as the decimal separator. EParserError for infinities and NaN.
QString frNumberText(double Value);

class TfrParser {
public:
  TGetPValueEvent OnGetValue;
  TFunctionEvent OnFunction;

  QString ConvertToPostfix(const QString &Text);
  Variant CalcPostfix(const QString &Postfix);
  Variant Calc(const QString &Text);

  // The postfix form when converting Text calls no function (so converting it now and evaluating it later
  // gives what Calc would give then); nothing when it holds a call.
  std::optional<QString> ConvertWithoutCalls(const QString &Text);

private:
  class Converter;
  friend class Converter;

  // A step of evaluating postfix text: a value to push (a number read already, a number word to read, a
  // name to look up, a quoted text, as a date or time when code is 'D' or 'T'), an operator (code) to apply,
  // or a malformed part that stops the evaluation.
  struct Step {
    enum Kind : quint8 { Value, Number, Name, Text, Operator, Malformed } kind;
    char16_t code = 0;
    QString text;
    double number = 0;
  };
  using Program = QList<Step>;
  static Program Compile(const QString &Postfix);
  Variant Run(const Program &Steps);

  // What Calc keeps of an expression it met: its postfix form read into steps when it calls no function;
  // its function's name and argument texts when it is a single call and nothing else (so only the call
  // runs again); otherwise nothing, and it is converted every time.
  struct Prepared {
    enum Kind { Postfix, Call, Convert } kind = Convert;
    Program program;
    QString name;
    QStringList args;
  };
  Prepared Prepare(const QString &Text);

  Variant GetValue(const QString &Name);

  int depth_ = 0;
  QHash<QString, Prepared> prepared_;
};
