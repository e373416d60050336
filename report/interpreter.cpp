#include "report/interpreter.h"
#include "platform/core/string_list.h"
#include "report/script_compiler.h"

namespace {

QStringList LinesOf(const TStrings *Source) {
  QStringList lines;
  if (!Source) return lines;
  lines.reserve(Source->Count());
  for (int i = 0; i < Source->Count(); ++i) lines.append(Source->Strings(i));
  return lines;
}

} // namespace

bool TfrCompiledScript::IsCompiledFrom(const TStrings *Source) const {
  return compiled_ && source_ == LinesOf(Source);
}

void TfrCompiledScript::Clear() {
  source_.clear();
  compiled_ = false;
  statements_.clear();
  errors_.clear();
}

TfrInterpretator::TfrInterpretator() {
  parser_.OnGetValue = TGetPValueEvent(this, &TfrInterpretator::GetValue);
  parser_.OnFunction = TFunctionEvent(this, &TfrInterpretator::DoFunction);
}

void TfrInterpretator::GetValue(const QString &, Variant &) {}

void TfrInterpretator::SetValue(const QString &, const Variant &) {}

void TfrInterpretator::DoFunction(const QString &, const Variant &, const Variant &, const Variant &,
                                  QString &) {}

void TfrInterpretator::PrepareScript(const TStrings *Source, TfrCompiledScript &Compiled, TStrings *Errors) {
  Compiled.Clear();
  Compiled.source_ = LinesOf(Source);
  Compiled.compiled_ = true;
  const TfrScriptSource source(Compiled.source_);
  TfrScriptCompiler compiler(parser_, source, Compiled.statements_);
  if (const auto error = compiler.Compile()) {
    const QString line = source.Locate(error->position, error->after) + QStringLiteral(": ") + error->message;
    Compiled.errors_.append(line);
    if (Errors) Errors->Add(line);
  }
}

Variant TfrInterpretator::Evaluate(const TfrScriptStatement &Statement) {
  return Statement.hasPostfix ? parser_.CalcPostfix(Statement.postfix) : parser_.Calc(Statement.expression);
}

void TfrInterpretator::RunScript(const TfrCompiledScript &Compiled, const QString &OwnerName) {
  const QString owner = OwnerName.isEmpty() ? DefaultOwnerName() : OwnerName;
  if (Compiled.HasErrors()) {
    const QString prefix = owner.isEmpty() ? QString() : QStringLiteral("Script of \"%1\": ").arg(owner);
    throw EfrScriptError(prefix + Compiled.Errors().first());
  }
  const QList<TfrScriptStatement> &statements = Compiled.Statements();
  const int count = int(statements.size());
  int steps = 0;
  int i = 0;
  while (i >= 0 && i < count) {
    if (Terminated()) return;
    if (++steps > maxSteps_) {
      const QString who =
          owner.isEmpty() ? QStringLiteral("A script") : QStringLiteral("The script of \"%1\"").arg(owner);
      throw EfrScriptError(
          QStringLiteral("%1 was stopped after %2 steps: it does not end").arg(who).arg(maxSteps_));
    }
    const TfrScriptStatement &statement = statements[i];
    switch (statement.kind) {
    case TfrScriptStatement::ConditionalJump:
      i = frIsTrue(Evaluate(statement)) ? i + 1 : statement.target;
      break;
    case TfrScriptStatement::Jump: i = statement.target; break;
    case TfrScriptStatement::Evaluate:
      Evaluate(statement);
      ++i;
      break;
    case TfrScriptStatement::Assign:
      SetValue(statement.name, Evaluate(statement));
      ++i;
      break;
    }
  }
}

void TfrInterpretator::RunScript(const TStrings *Source, TfrCompiledScript &Cache, const QString &OwnerName) {
  if (!Cache.IsCompiledFrom(Source)) PrepareScript(Source, Cache, nullptr);
  RunScript(Cache, OwnerName);
}
