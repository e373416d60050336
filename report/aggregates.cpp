// The aggregate functions SUM, MIN, MAX, AVG and COUNT of the standard function library.
#include "report/engine.h"
#include "report/function_library.h"
#include "report/parser.h"

namespace {

QString KindName(TfrAggregate Kind) {
  switch (Kind) {
  case TfrAggregate::Sum: return QStringLiteral("SUM");
  case TfrAggregate::Min: return QStringLiteral("MIN");
  case TfrAggregate::Max: return QStringLiteral("MAX");
  case TfrAggregate::Avg: return QStringLiteral("AVG");
  case TfrAggregate::Count: return QStringLiteral("COUNT");
  }
  return QString();
}

bool IsFooter(int BandType) {
  switch (BandType) {
  case frBandReportSummary:
  case frBandPageFooter:
  case frBandMasterFooter:
  case frBandDetailFooter:
  case frBandSubDetailFooter:
  case frBandGroupFooter:
  case frBandCrossFooter: return true;
  default: return false;
  }
}

// A stored total (after its marker); a text that is not a number counts as nothing stored.
std::optional<double> ReadTotal(const QString &Text) {
  QString number = Text.trimmed();
  number.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double value = number.toDouble(&ok);
  if (!ok) return std::nullopt;
  return value;
}

// The key of a band total. Its text becomes the name of a "name=value" line, so an "=" in the argument
// (a comparison) is stored as another character to keep the line's name whole.
QString TotalKey(TfrAggregate Kind, const QString &Argument) {
  QString key = KindName(Kind) + Argument;
  key.replace(QLatin1Char('='), QChar(0x2261));
  return key;
}

QString BandAggregate(TfrAggregate Kind, const QString &P1, const QString &P2, const QString &P3) {
  TfrEngineState &engine = frEngine();
  TfrEngineBand *totals = engine.AggrBand;
  TfrEngineBand *current = engine.CurBand;
  const QString zero = QStringLiteral("0");
  if (!totals || !IsFooter(totals->BandType())) return zero;

  QString bandName = P2.trimmed();
  if (bandName.isEmpty() && current) bandName = current->BandName();
  const QString flag = (Kind == TfrAggregate::Count ? P2 : P3).trimmed();
  if (flag != QLatin1String("1") && !(current && current->Printing())) return zero;

  QString key = TotalKey(Kind, P1);
  if (engine.CurPage && engine.CurPage->PrintingCrossBands())
    key += totals->BandType() == frBandCrossFooter ? QStringLiteral("00")
                                                   : QString::number(engine.CurPage->CrossColumn());
  TStrings *values = totals->AggregateValues();
  const QString stored = values->Values(key);

  const bool collecting =
      current && !totals->Printing() && current->BandName().compare(bandName, Qt::CaseInsensitive) == 0;
  if (!collecting) {
    if (!totals->Printing() || stored.isEmpty()) return zero;
    const std::optional<double> total = ReadTotal(stored.mid(1));
    if (!total) return zero;
    if (Kind != TfrAggregate::Avg) return frNumberText(*total);
    const int count = totals->AggregateRecordCount();
    return count > 0 ? frNumberText(*total / count) : zero;
  }

  if (stored.startsWith(QLatin1Char('1'))) return zero; // this record has been counted
  std::optional<double> total = stored.isEmpty() ? std::nullopt : ReadTotal(stored.mid(1));
  if (!total) total = Kind == TfrAggregate::Min ? 1e200 : Kind == TfrAggregate::Max ? -1e200 : 0.0;
  double figure = 0;
  if (Kind != TfrAggregate::Count) {
    const Variant value = ReportParser()->Calc(P1);
    figure = value.IsNull() ? 0.0 : value.ToDouble();
  }
  switch (Kind) {
  case TfrAggregate::Sum:
  case TfrAggregate::Avg: *total += figure; break;
  case TfrAggregate::Min: *total = std::min(*total, figure); break;
  case TfrAggregate::Max: *total = std::max(*total, figure); break;
  case TfrAggregate::Count: *total += 1; break;
  }
  values->SetValues(key, QLatin1Char('1') + frNumberText(*total));
  return zero;
}

} // namespace

QString frAggregate(TfrAggregate Kind, const QString &P1, const QString &P2, const QString &P3) {
  return BandAggregate(Kind, P1, P2, P3);
}
