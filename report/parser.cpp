#include "report/parser.h"
#include "platform/core/date_time.h"
#include <QVarLengthArray>
#include <charconv>
#include <cmath>

namespace {

// Limits that keep hostile or runaway expressions from exhausting the stack or looping: nested conversions
// (IF conditions, COPY arguments, library arguments) and calls spliced into one text.
constexpr int MaxNestingDepth = 64;
constexpr int MaxCallsPerConversion = 10000;
// The longest text an expression may build by concatenation (a script loop doubling a text would otherwise
// exhaust memory).
constexpr qsizetype MaxTextLength = qsizetype(1) << 24;

bool IsSourceBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool IsWordDelimiter(QChar c) {
  switch (c.unicode()) {
  case '(':
  case ')':
  case '*':
  case '+':
  case '-':
  case '/':
  case '<':
  case '=':
  case '>': return true;
  default: return false;
  }
}

bool IsNumberStart(QChar c) { return c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char(','); }

// Moves past a single-quoted string starting at I (two quotes in a row stand for one); an unclosed string
// runs to the end of the text.
int SkipQuoted(const QString &Text, int I) {
  const int n = Text.size();
  ++I;
  while (I < n) {
    if (Text[I] == QLatin1Char('\'')) {
      if (I + 1 < n && Text[I + 1] == QLatin1Char('\'')) {
        I += 2;
        continue;
      }
      return I + 1;
    }
    ++I;
  }
  return n;
}

// Moves past a double-quoted part starting at I.
int SkipDoubleQuoted(const QString &Text, int I) {
  const int end = Text.indexOf(QLatin1Char('"'), I + 1);
  return end < 0 ? int(Text.size()) : end + 1;
}

// Moves past a bracketed text starting at I, brackets nesting; brackets inside quoted parts do not count.
int SkipBracketed(const QString &Text, int I) {
  const int n = Text.size();
  int depth = 0;
  while (I < n) {
    const QChar c = Text[I];
    if (c == QLatin1Char('\'')) {
      I = SkipQuoted(Text, I);
      continue;
    }
    if (c == QLatin1Char('"')) {
      I = SkipDoubleQuoted(Text, I);
      continue;
    }
    ++I;
    if (c == QLatin1Char('['))
      ++depth;
    else if (c == QLatin1Char(']') && --depth == 0)
      return I;
  }
  return n;
}

// Moves past a plain word starting at I: up to a blank or an operator character, where a delimiter inside
// a double-quoted part does not end the word. A number keeps the sign of its exponent ("1E-5"). In source
// text a ";" ends a word too, since it ends the expression.
int SkipWord(const QString &Text, int I, bool SourceBlanks) {
  const int n = Text.size();
  const int start = I;
  const bool number = I < n && IsNumberStart(Text[I]);
  while (I < n) {
    const QChar c = Text[I];
    if (c == QLatin1Char(' ') || (SourceBlanks && (IsSourceBlank(c) || c == QLatin1Char(';')))) break;
    if (c == QLatin1Char('"')) {
      I = SkipDoubleQuoted(Text, I);
      continue;
    }
    if (IsWordDelimiter(c)) {
      const bool exponentSign = number && (c == QLatin1Char('+') || c == QLatin1Char('-')) && I > start &&
                                (Text[I - 1] == QLatin1Char('e') || Text[I - 1] == QLatin1Char('E'));
      if (!exponentSign) break;
    }
    ++I;
  }
  return I;
}

// True when the text is one number word and nothing else: converted, it stays itself.
bool IsNumberWord(const QString &Text) {
  return !Text.isEmpty() && IsNumberStart(Text[0]) && SkipWord(Text, 0, true) == Text.size();
}

// The text of a single-quoted string without its quotes, doubled quotes reduced to one.
QString UnquoteString(const QString &Quoted) {
  QString inner = Quoted.mid(1);
  if (inner.endsWith(QLatin1Char('\''))) inner.chop(1);
  return inner.replace(QStringLiteral("''"), QStringLiteral("'"));
}

QString QuoteLiteral(const QString &Value) {
  QString inner = Value;
  return QLatin1Char('\'') + inner.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// Doubles the inner quotes of a single-quoted literal result; other results are spliced as they are.
QString SpliceableResult(const QString &Result) {
  if (Result.size() >= 2 && Result.startsWith(QLatin1Char('\'')) && Result.endsWith(QLatin1Char('\'')))
    return QuoteLiteral(Result.mid(1, Result.size() - 2));
  return Result;
}

double ReadNumber(const QString &Word) {
  double fast = 0;
  if (frReadDecimal(Word, fast)) return fast;
  QString text = Word;
  text.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (!ok || !std::isfinite(value))
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(Word));
  return value;
}

// Pascal's Copy: a start below 1 counts from 1, a count past the end stops at the end.
QString CopyText(const QString &Text, int64_t Start, int64_t Count) {
  if (Start < 1) Start = 1;
  if (Count <= 0 || Start > Text.size()) return QString();
  const int64_t available = Text.size() - (Start - 1);
  return Text.mid(int(Start - 1), int(std::min(Count, available)));
}

int Priority(QChar op) {
  switch (op.unicode()) {
  case '(': return 5;
  case ')': return 4;
  case '<':
  case '=':
  case '>':
  case frOp::GreaterEqual:
  case frOp::LessEqual:
  case frOp::NotEqual: return 3;
  case '+':
  case '-':
  case frOp::Negate:
  case frOp::Plus: return 2;
  case '*':
  case '/':
  case frOp::Or:
  case frOp::And:
  case frOp::Not:
  case frOp::Mod: return 1;
  default: return 0;
  }
}

bool IsPrefixOperator(QChar op) {
  switch (op.unicode()) {
  case frOp::Int:
  case frOp::Frac:
  case frOp::Negate:
  case frOp::Plus:
  case frOp::Str:
  case frOp::Not:
  case frOp::Round: return true;
  default: return false;
  }
}

std::optional<char16_t> KeywordCode(const QString &Upper) {
  static const struct {
    const char *word;
    char16_t code;
  } keywords[] = {{"INT", frOp::Int}, {"FRAC", frOp::Frac}, {"ROUND", frOp::Round}, {"OR", frOp::Or},
                  {"AND", frOp::And}, {"NOT", frOp::Not},   {"STR", frOp::Str},     {"MOD", frOp::Mod}};
  for (const auto &k : keywords)
    if (Upper == QLatin1String(k.word)) return k.code;
  return std::nullopt;
}

class DepthGuard {
public:
  explicit DepthGuard(int &depth) : depth_(depth) {
    if (++depth_ > MaxNestingDepth) {
      --depth_;
      throw EParserError(QStringLiteral("Expression nested too deeply"));
    }
  }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard &) = delete;
  DepthGuard &operator=(const DepthGuard &) = delete;

private:
  int &depth_;
};

[[noreturn]] void Malformed() { throw EParserError(QStringLiteral("Malformed expression")); }

} // namespace

bool frIsTrue(const Variant &Value) { return Value != Variant(0); }

bool frReadDecimal(QStringView Text, double &Value) {
  char buffer[64];
  const qsizetype n = Text.size();
  if (n == 0 || n >= qsizetype(sizeof buffer)) return false;
  for (qsizetype i = 0; i < n; ++i) {
    char16_t c = Text[i].unicode();
    if (c == u',') c = u'.';
    if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E'))
      return false;
    buffer[i] = char(c);
  }
  const auto result = std::from_chars(buffer, buffer + n, Value);
  return result.ec == std::errc() && result.ptr == buffer + n && std::isfinite(Value);
}

QString frNumberText(double Value) {
  if (!std::isfinite(Value)) throw EParserError(QStringLiteral("Number out of range"));
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, Value);
  return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

// One conversion of expression text to postfix text (see the header for the rules).
class TfrParser::Converter {
public:
  Converter(TfrParser &Parser, const QString &Text, bool StopAtCall)
      : parser_(Parser), text_(Text), stopAtCall_(StopAtCall) {}

  // The postfix text, or nothing when StopAtCall is set and the text holds a call.
  std::optional<QString> Run() {
    int i = 0;
    while (i < text_.size()) {
      const QChar c = text_[i];
      if (IsSourceBlank(c)) {
        ++i;
      } else if (c == QLatin1Char('(')) {
        stack_.prepend(c);
        operand_ = false;
        ++i;
      } else if (c == QLatin1Char(')')) {
        CloseParenthesis();
        operand_ = true;
        ++i;
      } else if (c == QLatin1Char(';')) {
        break;
      } else if (QStringView(u"*+-/<=>").contains(c)) {
        QChar op = c;
        const QChar next = i + 1 < text_.size() ? text_[i + 1] : QChar();
        if (c == QLatin1Char('<') && next == QLatin1Char('>'))
          op = QChar(frOp::NotEqual);
        else if (c == QLatin1Char('>') && next == QLatin1Char('='))
          op = QChar(frOp::GreaterEqual);
        else if (c == QLatin1Char('<') && next == QLatin1Char('='))
          op = QChar(frOp::LessEqual);
        i += op == c ? 1 : 2;
        PushOperator(op);
      } else if (!Operand(i)) {
        return std::nullopt;
      }
    }
    // Whatever is left, top first; an unclosed "(" has nothing to contribute.
    for (const QChar op : std::as_const(stack_))
      if (op != QLatin1Char('(')) result_ += op;
    return result_;
  }

  // Whether the text is one call and nothing else, blanks around it aside; then Name (upper case) and Args
  // are the function and the argument texts that converting it would call it with. A call the conversion
  // refuses (too many arguments) is not taken.
  bool SingleCall(QString &Name, QStringList &Args) const {
    const int n = text_.size();
    int start = 0;
    while (start < n && IsSourceBlank(text_[start])) ++start;
    if (start == n) return false;
    const QChar c = text_[start];
    if (IsWordDelimiter(c) || IsNumberStart(c) || c == QLatin1Char(';') || c == QLatin1Char('%') ||
        c == QLatin1Char('\'') || c == QLatin1Char('['))
      return false;
    const int end = SkipWord(text_, start, true);
    const QString word = text_.mid(start, end - start);
    if (KeywordCode(word.toUpper())) return false;
    int open = end;
    while (open < n && IsSourceBlank(text_[open])) ++open;
    if (open == n || text_[open] != QLatin1Char('(')) return false;
    QStringList args;
    for (int i = SplitArguments(open, args); i < n; ++i)
      if (!IsSourceBlank(text_[i])) return false;
    if (args.size() > 3) return false;
    while (args.size() < 3) args.append(QString());
    Name = word.toUpper();
    Args = args;
    return true;
  }

  // Makes a single call (see SingleCall) as Run would, giving the text that takes the call's place.
  QString Call(const QString &Name, const QStringList &Args) {
    ++calls_;
    return CallValue(Name, Args);
  }

  // Converts what a single call gave (Call) in the call's place, as Run goes on after splicing it.
  QString ConvertCallValue(const QString &Value) {
    text_ = QLatin1Char('(') + Value + QLatin1Char(')');
    return *Run();
  }

private:
  void CloseParenthesis() {
    while (!stack_.isEmpty()) {
      const QChar top = stack_[0];
      stack_.remove(0, 1);
      if (top == QLatin1Char('(')) return;
      result_ += top;
    }
  }

  void PushOperator(QChar op) {
    if (!operand_) {
      if (op == QLatin1Char('-'))
        op = QChar(frOp::Negate);
      else if (op == QLatin1Char('+'))
        op = QChar(frOp::Plus);
    }
    operand_ = false;
    // A prefix operator has no left operand yet, so it cannot complete anything on the stack.
    if (!IsPrefixOperator(op))
      while (!stack_.isEmpty() && Priority(op) >= Priority(stack_[0])) {
        result_ += stack_[0];
        stack_.remove(0, 1);
      }
    stack_.prepend(op);
  }

  // Reads the operand at I; false when a call was met and the caller asked to stop there.
  bool Operand(int &I) {
    const int start = I;
    const QChar c = text_[I];
    bool plainWord = false;
    if (c == QLatin1Char('%')) {
      I = std::min<int>(I + 2, text_.size());
      if (I < text_.size() && text_[I] == QLatin1Char('\''))
        I = SkipQuoted(text_, I);
      else if (I < text_.size() && !IsSourceBlank(text_[I]))
        I = SkipWord(text_, I, true);
    } else if (c == QLatin1Char('\'')) {
      I = SkipQuoted(text_, I);
    } else if (c == QLatin1Char('[')) {
      I = SkipBracketed(text_, I);
    } else {
      I = SkipWord(text_, I, true);
      plainWord = true;
    }
    const QString word = text_.mid(start, I - start);
    if (plainWord && !IsNumberStart(c)) {
      if (const auto code = KeywordCode(word.toUpper())) {
        PushOperator(QChar(*code));
        return true;
      }
      int open = I;
      while (open < text_.size() && IsSourceBlank(text_[open])) ++open;
      if (open < text_.size() && text_[open] == QLatin1Char('(')) {
        if (stopAtCall_) return false;
        SpliceCall(start, word, open);
        I = start;
        return true;
      }
    }
    result_ += word;
    result_ += QLatin1Char(' ');
    operand_ = true;
    return true;
  }

  // Evaluates the call of Name whose argument list opens at Open and puts "(" + value + ")" in its place.
  void SpliceCall(int Start, const QString &Name, int Open) {
    if (++calls_ > MaxCallsPerConversion) throw EParserError(QStringLiteral("Expression too complex"));
    QStringList args;
    const int end = SplitArguments(Open, args);
    if (args.size() > 3)
      throw EParserError(QStringLiteral("Too many arguments in the call of %1").arg(Name.toUpper()));
    while (args.size() < 3) args.append(QString());
    const QString value = CallValue(Name.toUpper(), args);
    text_ = text_.left(Start) + QLatin1Char('(') + value + QLatin1Char(')') + text_.mid(end);
  }

  // Splits the argument list opening at Open at commas of depth 1 outside quoted and bracketed parts;
  // returns the index after the closing parenthesis (the text's end when it is missing).
  int SplitArguments(int Open, QStringList &Args) const {
    const int n = text_.size();
    int depth = 1;
    int argStart = Open + 1;
    int i = Open + 1;
    while (i < n) {
      const QChar c = text_[i];
      if (c == QLatin1Char('\'')) {
        i = SkipQuoted(text_, i);
        continue;
      }
      if (c == QLatin1Char('"')) {
        i = SkipDoubleQuoted(text_, i);
        continue;
      }
      if (c == QLatin1Char('[')) {
        i = SkipBracketed(text_, i);
        continue;
      }
      if (c == QLatin1Char('(')) {
        ++depth;
      } else if (c == QLatin1Char(')')) {
        if (--depth == 0) {
          Args.append(text_.mid(argStart, i - argStart));
          return i + 1;
        }
      } else if (c == QLatin1Char(',') && depth == 1) {
        Args.append(text_.mid(argStart, i - argStart));
        argStart = i + 1;
      }
      ++i;
    }
    Args.append(text_.mid(argStart));
    return n;
  }

  QString CallValue(const QString &Name, const QStringList &Args) {
    if (Name == QLatin1String("IF")) {
      // The branch is expression text: it is converted where it is spliced, and only when taken.
      return frIsTrue(parser_.Calc(Args[0])) ? Args[1] : Args[2];
    }
    if (Name == QLatin1String("COPY")) {
      const int64_t start = parser_.Calc(Args[1]).ToInt64();
      const int64_t count = parser_.Calc(Args[2]).ToInt64();
      const QString text = VarToStr(parser_.Calc(Args[0]));
      return QuoteLiteral(CopyText(text, start, count));
    }
    QString result;
    if (parser_.OnFunction)
      parser_.OnFunction(Name, Variant(Args[0]), Variant(Args[1]), Variant(Args[2]), result);
    if (result.isEmpty()) throw EParserError(QStringLiteral("Unknown function \"%1\"").arg(Name));
    return SpliceableResult(result);
  }

  TfrParser &parser_;
  QString text_;
  bool stopAtCall_;
  QString stack_; // operator stack, top first
  QString result_;
  bool operand_ = false;
  int calls_ = 0;
};

QString TfrParser::ConvertToPostfix(const QString &Text) {
  DepthGuard guard(depth_);
  return *Converter(*this, Text, false).Run();
}

std::optional<QString> TfrParser::ConvertWithoutCalls(const QString &Text) {
  DepthGuard guard(depth_);
  return Converter(*this, Text, true).Run();
}

TfrParser::Prepared TfrParser::Prepare(const QString &Text) {
  DepthGuard guard(depth_);
  Prepared prepared;
  if (std::optional<QString> postfix = Converter(*this, Text, true).Run()) {
    prepared.kind = Prepared::Postfix;
    prepared.program = Compile(*postfix);
  } else if (Converter(*this, Text, false).SingleCall(prepared.name, prepared.args)) {
    prepared.kind = Prepared::Call;
  }
  return prepared;
}

Variant TfrParser::Calc(const QString &Text) {
  // An expression without calls converts to the same postfix form every time: it is converted once. A
  // single call is read once; its call is made each time.
  auto known = prepared_.constFind(Text);
  if (known == prepared_.constEnd()) {
    if (prepared_.size() >= 4096) prepared_.clear(); // texts from many reports must not pile up
    known = prepared_.insert(Text, Prepare(Text));
  }
  // A copy: evaluating meets further expressions, which may grow or clear the table.
  const Prepared prepared = *known;
  switch (prepared.kind) {
  case Prepared::Postfix: return Run(prepared.program);
  case Prepared::Call: {
    QString postfix;
    {
      DepthGuard guard(depth_);
      Converter converter(*this, QString(), false);
      const QString value = converter.Call(prepared.name, prepared.args);
      // A number, as the aggregates give, converts to itself: it is read straight away.
      if (IsNumberWord(value)) return Variant(ReadNumber(value));
      postfix = converter.ConvertCallValue(value);
    }
    return CalcPostfix(postfix);
  }
  case Prepared::Convert: break;
  }
  return CalcPostfix(ConvertToPostfix(Text));
}

Variant TfrParser::GetValue(const QString &Name) {
  Variant value;
  if (OnGetValue) OnGetValue(Name, value);
  return value;
}

Variant TfrParser::CalcPostfix(const QString &Postfix) { return Run(Compile(Postfix)); }

// Reads postfix text into steps. Reading has no effects: what evaluation would refuse (a stray parenthesis,
// a number word that does not read) becomes a step that refuses when it is reached, after the steps before
// it have run.
TfrParser::Program TfrParser::Compile(const QString &Postfix) {
  Program steps;
  auto add = [&steps](Step::Kind kind, char16_t code = 0, const QString &text = QString()) {
    steps.append(Step{kind, code, text, 0});
  };
  char16_t mark = 0; // 'D' or 'T' after "%d" or "%t", for the quoted text that follows
  const int n = Postfix.size();
  int i = 0;
  while (i < n) {
    const QChar c = Postfix[i];
    switch (c.unicode()) {
    case ' ':
    case frOp::Plus: ++i; continue;
    case '%': {
      const QChar letter = i + 1 < n ? Postfix[i + 1].toUpper() : QChar();
      if (letter == QLatin1Char('D') || letter == QLatin1Char('T')) {
        mark = letter.unicode();
        i += 2;
        continue;
      }
      break; // a word beginning with "%"
    }
    case '\'': {
      const int end = SkipQuoted(Postfix, i);
      add(Step::Text, mark, UnquoteString(Postfix.mid(i, end - i)));
      i = end;
      mark = 0;
      continue;
    }
    case '[': {
      const int end = SkipBracketed(Postfix, i);
      QString inner = Postfix.mid(i + 1, end - i - 1);
      if (inner.endsWith(QLatin1Char(']'))) inner.chop(1);
      add(Step::Name, 0, inner);
      i = end;
      mark = 0;
      continue;
    }
    case '(':
    case ')': add(Step::Malformed); return steps;
    case '<':
    case '=':
    case '>':
    case frOp::GreaterEqual:
    case frOp::LessEqual:
    case frOp::NotEqual:
    case '+':
    case frOp::Or:
    case '-':
    case '*':
    case frOp::And:
    case '/':
    case frOp::Mod:
    case frOp::Int:
    case frOp::Frac:
    case frOp::Round:
    case frOp::Negate:
    case frOp::Str:
    case frOp::Not:
      add(Step::Operator, c.unicode());
      ++i;
      continue;
    default: break;
    }
    // A word: a number, or a name for the value handler.
    const int end = SkipWord(Postfix, i, false);
    if (end == i) {
      add(Step::Malformed);
      return steps;
    }
    const QString word = Postfix.mid(i, end - i);
    i = end;
    mark = 0;
    if (!IsNumberStart(word[0])) {
      add(Step::Name, 0, word.toUpper());
      continue;
    }
    Step number{Step::Number, 0, word, 0};
    if (frReadDecimal(word, number.number)) number.kind = Step::Value;
    steps.append(number);
  }
  return steps;
}

Variant TfrParser::Run(const Program &Steps) {
  QVarLengthArray<Variant, 8> stack;
  auto pop = [&stack]() {
    if (stack.isEmpty()) Malformed();
    Variant top = std::move(stack.last());
    stack.removeLast();
    return top;
  };
  for (const Step &step : Steps) {
    switch (step.kind) {
    case Step::Value: stack.append(Variant(step.number)); continue;
    case Step::Number: stack.append(Variant(ReadNumber(step.text))); continue;
    case Step::Name: stack.append(GetValue(step.text)); continue;
    case Step::Text:
      if (step.code == u'D')
        stack.append(Variant::FromDateTime(StrToDate(step.text)));
      else if (step.code == u'T')
        stack.append(Variant::FromDateTime(StrToTime(step.text)));
      else
        stack.append(Variant(step.text));
      continue;
    case Step::Malformed: Malformed();
    case Step::Operator: break;
    }
    const char16_t op = step.code;
    switch (op) {
    case frOp::Int:
    case frOp::Frac:
    case frOp::Round:
    case frOp::Negate:
    case frOp::Str:
    case frOp::Not: {
      const Variant a = pop();
      Variant r;
      switch (op) {
      case frOp::Int: r = Variant(std::trunc(a.ToDouble())); break;
      case frOp::Frac: {
        const double x = a.ToDouble();
        r = Variant(x - std::trunc(x));
        break;
      }
      case frOp::Round: r = Variant(Variant(a.ToDouble()).ToInt64()); break;
      case frOp::Negate: r = -a; break;
      case frOp::Str: r = Variant(VarToStr(a)); break;
      default: r = Variant(frIsTrue(a) ? 0 : 1); break;
      }
      stack.append(r);
      continue;
    }
    default: break;
    }
    const Variant b = pop();
    const Variant a = pop();
    Variant r;
    switch (op) {
    case '<': r = Variant(a < b ? 1 : 0); break;
    case '=': r = Variant(a == b ? 1 : 0); break;
    case '>': r = Variant(a > b ? 1 : 0); break;
    case frOp::GreaterEqual: r = Variant(a >= b ? 1 : 0); break;
    case frOp::LessEqual: r = Variant(a <= b ? 1 : 0); break;
    case frOp::NotEqual: r = Variant(a != b ? 1 : 0); break;
    case '+':
    case frOp::Or:
      r = a + b;
      if (r.IsString() && r.ToString().size() > MaxTextLength)
        throw EParserError(QStringLiteral("Text too long (more than %1 characters)").arg(MaxTextLength));
      break;
    case '-': r = a - b; break;
    case '*':
    case frOp::And: r = a * b; break;
    case '/': r = b == Variant(0) ? Variant(0) : a / b; break;
    default: r = Mod(a, b); break;
    }
    stack.append(r);
  }
  return stack.isEmpty() ? Variant() : stack.first();
}
