// The script compiler: cleans the source text, validates it by the script grammar and produces the list of
// statements that TfrInterpretator runs. It executes nothing: expressions keep their source text.
#include "report/script_compiler.h"
#include "report/interpreter.h"
#include <QSet>

namespace frScriptMessage {
const QString EndExpected = QStringLiteral("Здесь требуется \";\" или \"end\"");
const QString ThenExpected = QStringLiteral("Здесь требуется \"then\"");
const QString UntilExpected = QStringLiteral("Здесь требуется \";\" или \"until\"");
const QString DoExpected = QStringLiteral("Здесь требуется \"do\"");
const QString LabelNotNumber = QStringLiteral("Метка в goto должна быть числом");
const QString AssignExpected = QStringLiteral("Здесь требуется \":=\"");
const QString CloseParenExpected = QStringLiteral("Здесь требуется \")\"");
const QString CloseBracketExpected = QStringLiteral("Здесь требуется \"]\"");
const QString CommaOrParenExpected = QStringLiteral("Здесь требуется \",\" или \")\"");
const QString ExpressionExpected = QStringLiteral("Здесь требуется выражение");
const QString QuoteExpected = QStringLiteral("Здесь требуется \"'\"");
const QString LabelNotDefined = QStringLiteral("Метка не определена");
const QString NestedTooDeeply = QStringLiteral("Слишком глубокая вложенность");
} // namespace frScriptMessage

namespace {

constexpr int MaxNesting = 200;

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool IsIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool IsIdentPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.'); }

const QSet<QString> &ReservedWords() {
  static const QSet<QString> words{QStringLiteral("BEGIN"), QStringLiteral("END"),    QStringLiteral("IF"),
                                   QStringLiteral("THEN"),  QStringLiteral("ELSE"),   QStringLiteral("WHILE"),
                                   QStringLiteral("DO"),    QStringLiteral("REPEAT"), QStringLiteral("UNTIL"),
                                   QStringLiteral("GOTO"),  QStringLiteral("AND"),    QStringLiteral("OR"),
                                   QStringLiteral("NOT"),   QStringLiteral("MOD")};
  return words;
}

} // namespace

TfrScriptSource::TfrScriptSource(const QStringList &Lines) : lineCount_(int(Lines.size())) {
  for (int line = 0; line < Lines.size(); ++line) {
    const QString &text = Lines[line];
    Append(QLatin1Char(' '), line, 0);
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      if (quote.isNull()) {
        if (c == QLatin1Char('{')) break;
        if (c == QLatin1Char('/') && i + 1 < text.size() && text[i + 1] == QLatin1Char('/')) break;
        if (IsBlank(c)) {
          if (!buffer_.endsWith(QLatin1Char(' '))) Append(QLatin1Char(' '), line, i + 1);
          continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) quote = c;
      } else if (c == quote) {
        quote = QChar();
      }
      Append(c, line, i + 1);
    }
  }
}

void TfrScriptSource::Append(QChar c, int line, int column) {
  buffer_ += c;
  lines_.append(line);
  columns_.append(column);
}

QString TfrScriptSource::Locate(int Position, bool After) const {
  int line = 0;
  int column = 1;
  if (Position >= 0 && Position < buffer_.size()) {
    line = lines_[Position];
    column = std::max(columns_[Position], 1) + (After ? 1 : 0);
  } else {
    // The end of the text: just after its last character.
    for (int i = int(buffer_.size()) - 1; i >= 0; --i)
      if (buffer_[i] != QLatin1Char(' ')) {
        line = lines_[i];
        column = columns_[i] + 1;
        break;
      }
    if (buffer_.trimmed().isEmpty()) line = std::max(lineCount_ - 1, 0);
  }
  return QStringLiteral("Строка %1/%2").arg(line + 1).arg(column);
}

// ---------------------------------------------------------------------------------------------------------

TfrScriptCompiler::TfrScriptCompiler(TfrParser &Parser, const TfrScriptSource &Source,
                                     QList<TfrScriptStatement> &Statements)
    : parser_(Parser), source_(Source), text_(Source.Text()), statements_(Statements) {}

std::optional<TfrScriptCompiler::Error> TfrScriptCompiler::Compile() {
  statements_.clear();
  labels_.clear();
  gotos_.clear();
  pos_ = 0;
  if (text_.trimmed().isEmpty()) return std::nullopt;
  try {
    StatementSequence();
    const Token next = Peek();
    if (next.kind != Token::End) Fail(next.start, frScriptMessage::EndExpected);
    ResolveLabels();
  } catch (const Error &error) {
    return error;
  }
  return std::nullopt;
}

void TfrScriptCompiler::Fail(int Position, const QString &Message, bool After) {
  throw Error{Position, Message, After};
}

// --- tokens ---

TfrScriptCompiler::Token TfrScriptCompiler::Peek() const {
  const int n = text_.size();
  int i = pos_;
  while (i < n && text_[i] == QLatin1Char(' ')) ++i;
  Token t;
  t.start = i;
  if (i >= n) {
    t.kind = Token::End;
    t.end = n;
    return t;
  }
  const QChar c = text_[i];
  if (IsIdentStart(c)) {
    int j = i + 1;
    while (j < n) {
      if (text_[j] == QLatin1Char('"')) {
        const int close = text_.indexOf(QLatin1Char('"'), j + 1);
        j = close < 0 ? n : close + 1;
      } else if (IsIdentPart(text_[j])) {
        ++j;
      } else {
        break;
      }
    }
    t.kind = Token::Ident;
    t.end = j;
    t.text = text_.mid(i, j - i).toUpper();
    return t;
  }
  if (c.isDigit()) {
    int j = i;
    while (j < n && text_[j].isDigit()) ++j;
    t.digitsOnly = true;
    if (j + 1 < n && text_[j] == QLatin1Char('.') && text_[j + 1].isDigit()) {
      t.digitsOnly = false;
      ++j;
      while (j < n && text_[j].isDigit()) ++j;
    }
    if (j < n && (text_[j] == QLatin1Char('e') || text_[j] == QLatin1Char('E'))) {
      int k = j + 1;
      if (k < n && (text_[k] == QLatin1Char('+') || text_[k] == QLatin1Char('-'))) ++k;
      if (k < n && text_[k].isDigit()) {
        t.digitsOnly = false;
        j = k;
        while (j < n && text_[j].isDigit()) ++j;
      }
    }
    t.kind = Token::Number;
    t.end = j;
    t.text = text_.mid(i, j - i);
    return t;
  }
  if (c == QLatin1Char('\'')) {
    t.kind = Token::String;
    t.end = StringEnd(i, t.closed);
    return t;
  }
  if (c == QLatin1Char('%') && i + 2 < n && text_[i + 1].isLetter() && text_[i + 2] == QLatin1Char('\'')) {
    t.kind = Token::String;
    t.end = StringEnd(i + 2, t.closed);
    return t;
  }
  static const char *const pairs[] = {":=", "<>", "<=", ">="};
  for (const char *pair : pairs)
    if (QStringView(text_).mid(i).startsWith(QLatin1String(pair))) {
      t.kind = Token::Symbol;
      t.end = i + 2;
      t.text = QLatin1String(pair);
      return t;
    }
  t.kind = QStringView(u";,()[]+-*/=<>:").contains(c) ? Token::Symbol : Token::Other;
  t.end = i + 1;
  t.text = QString(c);
  return t;
}

// The end of a single-quoted string starting at Start; a string must close on the line it begins.
int TfrScriptCompiler::StringEnd(int Start, bool &Closed) const {
  const int n = text_.size();
  const int line = source_.LineOf(Start);
  int i = Start + 1;
  while (i < n && source_.LineOf(i) == line) {
    if (text_[i] == QLatin1Char('\'')) {
      if (i + 1 < n && text_[i + 1] == QLatin1Char('\'')) {
        i += 2;
        continue;
      }
      Closed = true;
      return i + 1;
    }
    ++i;
  }
  Closed = false;
  return i;
}

TfrScriptCompiler::Token TfrScriptCompiler::Next() {
  const Token t = Peek();
  pos_ = t.end;
  return t;
}

bool TfrScriptCompiler::IsWord(const Token &T, const char *Word) {
  return T.kind == Token::Ident && T.text == QLatin1String(Word);
}

bool TfrScriptCompiler::IsSymbol(const Token &T, const char *Symbol) {
  return T.kind == Token::Symbol && T.text == QLatin1String(Symbol);
}

// --- statements ---

TfrScriptCompiler::NestingGuard::NestingGuard(TfrScriptCompiler &Compiler) : compiler_(Compiler) {
  if (++compiler_.nesting_ > MaxNesting)
    compiler_.Fail(compiler_.Peek().start, frScriptMessage::NestedTooDeeply);
}

TfrScriptCompiler::NestingGuard::~NestingGuard() { --compiler_.nesting_; }

void TfrScriptCompiler::StatementSequence() {
  Statement();
  while (IsSymbol(Peek(), ";")) {
    Next();
    Statement();
  }
}

void TfrScriptCompiler::Statement() {
  NestingGuard guard(*this);
  const Token t = Peek();
  if (IsWord(t, "BEGIN")) {
    Next();
    StatementSequence();
    const Token end = Peek();
    if (!IsWord(end, "END")) Fail(end.start, frScriptMessage::EndExpected);
    Next();
  } else if (IsWord(t, "IF")) {
    Next();
    const QString condition = Expression();
    const Token then = Peek();
    if (!IsWord(then, "THEN")) Fail(then.start, frScriptMessage::ThenExpected);
    Next();
    const int conditional = Add(TfrScriptStatement::ConditionalJump, QString(), condition);
    Statement();
    if (IsWord(Peek(), "ELSE")) {
      Next();
      const int jump = Add(TfrScriptStatement::Jump, QString(), QString());
      statements_[conditional].target = int(statements_.size());
      Statement();
      statements_[jump].target = int(statements_.size());
    } else {
      statements_[conditional].target = int(statements_.size());
    }
  } else if (IsWord(t, "REPEAT")) {
    Next();
    const int loopStart = int(statements_.size());
    StatementSequence();
    const Token until = Peek();
    if (!IsWord(until, "UNTIL")) Fail(until.start, frScriptMessage::UntilExpected);
    Next();
    const int conditional = Add(TfrScriptStatement::ConditionalJump, QString(), Expression());
    statements_[conditional].target = loopStart;
  } else if (IsWord(t, "WHILE")) {
    Next();
    const int loopStart = int(statements_.size());
    const int conditional = Add(TfrScriptStatement::ConditionalJump, QString(), Expression());
    const Token doWord = Peek();
    if (!IsWord(doWord, "DO")) Fail(doWord.start, frScriptMessage::DoExpected);
    Next();
    Statement();
    const int jump = Add(TfrScriptStatement::Jump, QString(), QString());
    statements_[jump].target = loopStart;
    statements_[conditional].target = int(statements_.size());
  } else if (IsWord(t, "GOTO")) {
    Next();
    const Token label = Peek();
    if (label.kind != Token::Number || !label.digitsOnly) Fail(label.start, frScriptMessage::LabelNotNumber);
    Next();
    const int jump = Add(TfrScriptStatement::Jump, QString(), QString());
    gotos_.append({jump, label.text, label.start});
  } else if (EndsStatement(t)) {
    // An empty statement.
  } else if (t.kind == Token::Number && t.digitsOnly && ColonFollows(t)) {
    Next();
    Next(); // the colon
    if (!labels_.contains(t.text)) labels_.insert(t.text, int(statements_.size()));
    Statement();
  } else if (t.kind == Token::Ident && !ReservedWords().contains(t.text) && !FollowedByParenthesis(t)) {
    DesignatorStatement();
  } else {
    Add(TfrScriptStatement::Evaluate, QString(), Expression());
  }
}

bool TfrScriptCompiler::EndsStatement(const Token &T) {
  return T.kind == Token::End || IsSymbol(T, ";") || IsWord(T, "END") || IsWord(T, "ELSE") ||
         IsWord(T, "UNTIL");
}

bool TfrScriptCompiler::ColonFollows(const Token &T) const {
  int i = T.end;
  while (i < text_.size() && text_[i] == QLatin1Char(' ')) ++i;
  return i < text_.size() && text_[i] == QLatin1Char(':') &&
         (i + 1 >= text_.size() || text_[i + 1] != QLatin1Char('='));
}

bool TfrScriptCompiler::FollowedByParenthesis(const Token &T) const {
  int i = T.end;
  while (i < text_.size() && text_[i] == QLatin1Char(' ')) ++i;
  return i < text_.size() && text_[i] == QLatin1Char('(');
}

void TfrScriptCompiler::DesignatorStatement() {
  const Token name = Next();
  const QString nameText = text_.mid(name.start, name.end - name.start);
  QString index;
  bool indexed = false;
  if (pos_ < text_.size() && text_[pos_] == QLatin1Char('[')) {
    Next();
    index = Expression();
    const Token close = Peek();
    if (!IsSymbol(close, "]")) Fail(close.start, frScriptMessage::CloseBracketExpected);
    Next();
    indexed = true;
  }
  const Token next = Peek();
  if (!indexed && EndsStatement(next)) {
    // A procedure call without arguments.
    Add(TfrScriptStatement::Evaluate, QString(), nameText + QStringLiteral("(0)"));
    return;
  }
  if (!IsSymbol(next, ":=")) Fail(next.start, frScriptMessage::AssignExpected);
  Next();
  const QString value = Expression();
  if (indexed)
    Add(TfrScriptStatement::Evaluate, QString(),
        QStringLiteral("SETARRAY(%1, %2, %3)").arg(nameText, index, value));
  else
    Add(TfrScriptStatement::Assign, nameText, value);
}

int TfrScriptCompiler::Add(TfrScriptStatement::Kind Kind, const QString &Name, const QString &Expression) {
  TfrScriptStatement statement;
  statement.kind = Kind;
  statement.name = Name;
  statement.expression = Expression;
  if (!Expression.isEmpty()) {
    try {
      if (const auto postfix = parser_.ConvertWithoutCalls(Expression)) {
        statement.postfix = *postfix;
        statement.hasPostfix = true;
      }
    } catch (const Exception &) {
      // Converted when the statement runs instead.
    }
  }
  statements_.append(statement);
  return int(statements_.size()) - 1;
}

void TfrScriptCompiler::ResolveLabels() {
  for (const PendingGoto &jump : std::as_const(gotos_)) {
    const auto label = labels_.constFind(jump.label);
    if (label == labels_.constEnd()) Fail(jump.position, frScriptMessage::LabelNotDefined);
    statements_[jump.statement].target = *label;
  }
}

// --- expressions (validated; their text is kept) ---

QString TfrScriptCompiler::Expression() {
  const int start = Peek().start;
  ValidateExpression();
  return text_.mid(start, pos_ - start).trimmed();
}

void TfrScriptCompiler::ValidateExpression() {
  SimpleExpression();
  const Token t = Peek();
  if (t.kind == Token::Symbol && QStringList{QStringLiteral(">="), QStringLiteral("<="), QStringLiteral("<>"),
                                             QStringLiteral(">"), QStringLiteral("<"), QStringLiteral("=")}
                                     .contains(t.text)) {
    Next();
    SimpleExpression();
  }
}

void TfrScriptCompiler::SimpleExpression() {
  Term();
  for (;;) {
    const Token t = Peek();
    if (!IsSymbol(t, "+") && !IsSymbol(t, "-") && !IsWord(t, "OR")) return;
    Next();
    Term();
  }
}

void TfrScriptCompiler::Term() {
  Factor();
  for (;;) {
    const Token t = Peek();
    if (!IsSymbol(t, "*") && !IsSymbol(t, "/") && !IsWord(t, "AND") && !IsWord(t, "MOD")) return;
    Next();
    Factor();
  }
}

void TfrScriptCompiler::Factor() {
  NestingGuard guard(*this);
  const Token t = Peek();
  if (IsSymbol(t, "(")) {
    Next();
    ValidateExpression();
    const Token close = Peek();
    if (!IsSymbol(close, ")")) Fail(close.start, frScriptMessage::CloseParenExpected);
    Next();
  } else if (IsSymbol(t, "[")) {
    BracketedText(t.start);
  } else if (IsSymbol(t, "+") || IsSymbol(t, "-") || IsWord(t, "NOT")) {
    Next();
    Factor();
  } else if (t.kind == Token::String) {
    if (!t.closed) Fail(t.end - 1, frScriptMessage::QuoteExpected, true);
    Next();
  } else if (t.kind == Token::Number) {
    Next();
  } else if (t.kind == Token::Ident && !ReservedWords().contains(t.text)) {
    Next();
    if (FollowedByParenthesis(t)) {
      Arguments();
    } else if (pos_ < text_.size() && text_[pos_] == QLatin1Char('[')) {
      Next();
      ValidateExpression();
      const Token close = Peek();
      if (!IsSymbol(close, "]")) Fail(close.start, frScriptMessage::CloseBracketExpected);
      Next();
    }
  } else {
    Fail(t.start, frScriptMessage::ExpressionExpected);
  }
}

void TfrScriptCompiler::Arguments() {
  Next(); // "("
  if (IsSymbol(Peek(), ")")) {
    Next();
    return;
  }
  for (;;) {
    ValidateExpression();
    const Token t = Peek();
    if (IsSymbol(t, ")")) {
      Next();
      return;
    }
    if (!IsSymbol(t, ",")) Fail(t.start, frScriptMessage::CommaOrParenExpected);
    Next();
  }
}

// A bracketed text from "[" to its matching "]", brackets nesting; brackets in quoted parts do not count.
void TfrScriptCompiler::BracketedText(int Start) {
  const int n = text_.size();
  int depth = 0;
  int i = Start;
  while (i < n) {
    const QChar c = text_[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      const int close = text_.indexOf(c, i + 1);
      i = close < 0 ? n : close + 1;
      continue;
    }
    ++i;
    if (c == QLatin1Char('['))
      ++depth;
    else if (c == QLatin1Char(']') && --depth == 0) {
      pos_ = i;
      return;
    }
  }
  Fail(n, frScriptMessage::CloseBracketExpected);
}
