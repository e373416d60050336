#include "report/text_plan.h"
#include "platform/core/format_settings.h"
#include "platform/core/string_list.h"
#include "report/value_format.h"

namespace {

// Where " #" starts a format in a bracketed text (outside quotes and inner brackets), or -1.
int FormatMark(const QString &Inner) {
  int depth = 0;
  const int n = int(Inner.size());
  for (int i = 0; i < n; ++i) {
    const QChar c = Inner[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      const QChar quote = c;
      ++i;
      while (i < n && Inner[i] != quote) ++i;
      continue;
    }
    if (c == QLatin1Char('['))
      ++depth;
    else if (c == QLatin1Char(']'))
      --depth;
    else if (depth == 0 && c == QLatin1Char(' ') && i + 1 < n && Inner[i + 1] == QLatin1Char('#'))
      return i;
  }
  return -1;
}

TfrTextPlanLine CutLine(const QString &Line, qint32 Format, const QString &FormatStr) {
  TfrTextPlanLine cut;
  cut.empty = Line.isEmpty();
  int from = 0;
  int at = 0;
  while ((at = int(Line.indexOf(QLatin1Char('['), at))) >= 0) {
    const int end = frMatchBracket(Line, at);
    if (end < 0) break;
    const QString inner = Line.mid(at + 1, end - at - 2);
    TfrTextExpression expression;
    expression.code = Format;
    expression.format = FormatStr;
    expression.callsFunction = inner.contains(QLatin1Char('('));
    const int mark = FormatMark(inner);
    expression.expression = mark >= 0 ? inner.left(mark) : inner;
    if (mark >= 0) frParseFormatText(inner.mid(mark + 2), expression.code, expression.format);
    cut.literals.append(Line.mid(from, at - from));
    cut.expressions.append(expression);
    from = at = end;
  }
  cut.literals.append(Line.mid(from));
  return cut;
}

} // namespace

int frMatchBracket(const QString &Text, int Start) {
  int depth = 0;
  const int n = int(Text.size());
  for (int i = Start; i < n; ++i) {
    const QChar c = Text[i];
    if (c == QLatin1Char('\'') || (c == QLatin1Char('"') && depth > 0)) {
      const QChar quote = c;
      ++i;
      while (i < n && Text[i] != quote) ++i;
      continue;
    }
    if (c == QLatin1Char('['))
      ++depth;
    else if (c == QLatin1Char(']') && --depth == 0)
      return i + 1;
  }
  return -1;
}

bool TfrTextPlan::IsPlanOf(const TStrings &Lines, qint32 Format, const QString &FormatStr) const {
  if (!made_ || Format != format_ || FormatStr != formatStr_ || Settings().DecimalSeparator != separator_ ||
      Lines.Count() != source_.size())
    return false;
  for (int i = 0; i < Lines.Count(); ++i)
    if (Lines.Strings(i) != source_[i]) return false;
  return true;
}

void TfrTextPlan::Make(const TStrings &Lines, qint32 Format, const QString &FormatStr) {
  source_.clear();
  lines_.clear();
  for (int i = 0; i < Lines.Count(); ++i) {
    source_.append(Lines.Strings(i));
    lines_.append(CutLine(source_.last(), Format, FormatStr));
  }
  format_ = Format;
  formatStr_ = FormatStr;
  separator_ = Settings().DecimalSeparator;
  made_ = true;
}
