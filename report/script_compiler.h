// Internals of the script compiler, shared by the interpreter and its tests.
#pragma once
#include "report/interpreter.h"
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The cleaned script text: each source line preceded by a blank and cut before "//" or "{", tabs made
// blanks and runs of blanks folded to one, all outside quoted strings; every character remembers the source
// line and column it came from.
class TfrScriptSource {
public:
  explicit TfrScriptSource(const QStringList &Lines);
  const QString &Text() const { return buffer_; }
  int LineOf(int Position) const { return lines_[Position]; }
  // "Строка <line>/<column>" of the character at Position (both from 1), or of the place just after it when
  // After is set; the end of the text is placed just after its last character.
  QString Locate(int Position, bool After = false) const;

private:
  void Append(QChar c, int line, int column);
  QString buffer_;
  QList<int> lines_;
  QList<int> columns_;
  int lineCount_ = 0;
};

class TfrScriptCompiler {
public:
  struct Error {
    int position;
    QString message;
    bool after = false; // the error lies just after the character at position
  };

  TfrScriptCompiler(TfrParser &Parser, const TfrScriptSource &Source, QList<TfrScriptStatement> &Statements);
  // Fills the statement list; the first syntax error stops the compilation and is returned.
  std::optional<Error> Compile();

private:
  struct Token {
    enum Kind { End, Ident, Number, String, Symbol, Other };
    Kind kind = End;
    int start = 0;
    int end = 0;
    QString text; // identifiers upper-cased, numbers and symbols as written
    bool digitsOnly = false;
    bool closed = true;
  };
  struct PendingGoto {
    int statement;
    QString label;
    int position;
  };
  class NestingGuard {
  public:
    explicit NestingGuard(TfrScriptCompiler &Compiler);
    ~NestingGuard();
    NestingGuard(const NestingGuard &) = delete;
    NestingGuard &operator=(const NestingGuard &) = delete;

  private:
    TfrScriptCompiler &compiler_;
  };

  [[noreturn]] static void Fail(int Position, const QString &Message, bool After = false);
  Token Peek() const;
  Token Next();
  int StringEnd(int Start, bool &Closed) const;
  static bool IsWord(const Token &T, const char *Word);
  static bool IsSymbol(const Token &T, const char *Symbol);
  static bool EndsStatement(const Token &T);
  bool ColonFollows(const Token &T) const;
  bool FollowedByParenthesis(const Token &T) const;

  void StatementSequence();
  void Statement();
  void DesignatorStatement();
  int Add(TfrScriptStatement::Kind Kind, const QString &Name, const QString &Expression);
  void ResolveLabels();

  QString Expression();
  void ValidateExpression();
  void SimpleExpression();
  void Term();
  void Factor();
  void Arguments();
  void BracketedText(int Start);

  TfrParser &parser_;
  const TfrScriptSource &source_;
  const QString &text_;
  QList<TfrScriptStatement> &statements_;
  int pos_ = 0;
  int nesting_ = 0;
  QHash<QString, int> labels_;
  QList<PendingGoto> gotos_;
};
