#include "report/function_library.h"
#include "platform/core/date_time.h"
#include "platform/core/number_format.h"
#include "report/engine.h"
#include "report/parser.h"

namespace {

Variant Evaluate(const Variant &Argument) { return ReportParser()->Calc(VarToStr(Argument)); }

QString TextArgument(const Variant &Argument) { return VarToStr(Evaluate(Argument)); }

QString Quoted(const QString &Text) { return QLatin1Char('\'') + Text + QLatin1Char('\''); }

// A date or time literal the parser reads by the locale's format ("%d'...'", "%t'...'").
QString DateLiteral(QChar Letter, const QString &Text) {
  QString inner = Text;
  return QLatin1Char('%') + Letter + QLatin1Char('\'') +
         inner.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

} // namespace

TfrFunctionLibrary::TfrFunctionLibrary() { list_.SetSorted(true); }

bool TfrFunctionLibrary::TryFunction(const QString &Name, const Variant &P1, const Variant &P2,
                                     const Variant &P3, QString &Result) {
  int index = -1;
  if (!list_.Find(Name, index)) return false;
  DoFunction(index, P1, P2, P3, Result);
  return true;
}

TfrStdFunctionLibrary::TfrStdFunctionLibrary() {
  for (const char *name : {"AVG", "COUNT", "FORMATDATETIME", "FORMATFLOAT", "INPUT", "LOWERCASE", "MAX",
                           "MIN", "NAMECASE", "STRTODATE", "STRTOTIME", "SUM", "UPPERCASE"})
    list_.Add(QLatin1String(name));
}

void TfrStdFunctionLibrary::DoFunction(int FNo, const Variant &P1, const Variant &P2, const Variant &P3,
                                       QString &Result) {
  Result = QStringLiteral("0");
  if (FNo < 0 || FNo >= list_.Count()) return;
  const QString name = list_.Strings(FNo);
  const auto aggregate = [&](TfrAggregate kind) {
    Result = frAggregate(kind, VarToStr(P1), VarToStr(P2), VarToStr(P3));
  };
  if (name == QLatin1String("AVG")) {
    aggregate(TfrAggregate::Avg);
  } else if (name == QLatin1String("COUNT")) {
    aggregate(TfrAggregate::Count);
  } else if (name == QLatin1String("MAX")) {
    aggregate(TfrAggregate::Max);
  } else if (name == QLatin1String("MIN")) {
    aggregate(TfrAggregate::Min);
  } else if (name == QLatin1String("SUM")) {
    aggregate(TfrAggregate::Sum);
  } else if (name == QLatin1String("FORMATDATETIME")) {
    const QString format = TextArgument(P1);
    Result = Quoted(FormatDateTime(format, Evaluate(P2).ToDouble()));
  } else if (name == QLatin1String("FORMATFLOAT")) {
    const QString format = TextArgument(P1);
    Result = Quoted(FormatFloat(format, Evaluate(P2).ToDouble()));
  } else if (name == QLatin1String("INPUT")) {
    const QString prompt = TextArgument(P1);
    const QString defaultText = TextArgument(P2);
    Result = Quoted(frInputQuery(QString(), prompt, defaultText));
  } else if (name == QLatin1String("LOWERCASE")) {
    Result = Quoted(TextArgument(P1).toLower());
  } else if (name == QLatin1String("UPPERCASE")) {
    Result = Quoted(TextArgument(P1).toUpper());
  } else if (name == QLatin1String("NAMECASE")) {
    const QString text = TextArgument(P1);
    Result = Quoted(text.isEmpty() ? QString() : text.left(1).toUpper() + text.mid(1).toLower());
  } else if (name == QLatin1String("STRTODATE")) {
    Result = DateLiteral(QLatin1Char('d'), TextArgument(P1));
  } else if (name == QLatin1String("STRTOTIME")) {
    Result = DateLiteral(QLatin1Char('t'), TextArgument(P1));
  }
}
