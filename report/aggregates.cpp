// The aggregate functions SUM, MIN, MAX, AVG and COUNT of the standard function library.
#include "platform/data/dataset.h"
#include "report/component_lookup.h"
#include "report/engine.h"
#include "report/function_library.h"
#include "report/parser.h"
#include <QStringBuilder>

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
std::optional<double> ReadTotal(QStringView Text) {
  double value = 0;
  if (frReadDecimal(Text.trimmed(), value)) return value;
  QString number = Text.trimmed().toString();
  number.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  value = number.toDouble(&ok);
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
  const int index = values->IndexOfName(key);
  const QString line = index >= 0 ? values->Strings(index) : QString();
  const QString stored = index >= 0 ? values->ValueFromIndex(index) : QString();

  const bool collecting =
      current && !totals->Printing() && current->BandName().compare(bandName, Qt::CaseInsensitive) == 0;
  if (!collecting) {
    if (!totals->Printing() || stored.isEmpty()) return zero;
    const std::optional<double> total = ReadTotal(QStringView(stored).mid(1));
    if (!total) return zero;
    if (Kind != TfrAggregate::Avg) return frNumberText(*total);
    const int count = totals->AggregateRecordCount();
    return count > 0 ? frNumberText(*total / count) : zero;
  }

  if (stored.startsWith(QLatin1Char('1'))) return zero; // this record has been counted
  std::optional<double> total = stored.isEmpty() ? std::nullopt : ReadTotal(QStringView(stored).mid(1));
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
  // The "1" marks the record as counted.
  const QString number = frNumberText(*total);
  // Evaluating the argument may have stored totals too: the line read is replaced where it was found only
  // while the list still holds that very line there, else it is looked up again.
  if (index >= 0 && index < values->Count() && values->Strings(index).constData() == line.constData())
    values->SetStrings(index, key % QLatin1Char('=') % QLatin1Char('1') % number);
  else
    values->SetValues(key, QLatin1Char('1') % number);
  return zero;
}

// The dataset (and, except for COUNT, the field) the first argument names; nothing when it names none.
bool FindDatasetArgument(TfrAggregate Kind, const QString &P1, TDataSet *&DataSet, TField *&Field) {
  DataSet = nullptr;
  Field = nullptr;
  const QString name = P1.trimmed();
  if (name.isEmpty()) return false;
  if (Kind == TfrAggregate::Count) {
    try {
      DataSet = frDataSetOf(FindReportDataset(name));
    } catch (const Exception &) {
      DataSet = nullptr;
    }
    return DataSet != nullptr;
  }
  return FindReportDatasetField(name, DataSet, Field);
}

// Reads every record of the dataset and leaves it on the record where it was found.
QString DatasetAggregate(TfrAggregate Kind, TDataSet *DataSet, TField *Field) {
  double sum = 0;
  double minimum = 1e200;
  double maximum = -1e200;
  int count = 0;
  const bool wasActive = DataSet->Active();
  TBookmark place = DataSet->GetBookmark();
  DataSet->DisableControls();
  try {
    if (!wasActive) DataSet->Open();
    DataSet->First();
    while (!DataSet->Eof()) {
      if (Kind != TfrAggregate::Count) {
        const double value = Field->IsNull() ? 0.0 : Field->AsFloat();
        sum += value;
        minimum = std::min(minimum, value);
        maximum = std::max(maximum, value);
      }
      ++count;
      DataSet->Next();
    }
    if (!place.isEmpty()) DataSet->GotoBookmark(place);
  } catch (...) {
    DataSet->EnableControls();
    throw;
  }
  DataSet->EnableControls();
  switch (Kind) {
  case TfrAggregate::Sum: return frNumberText(sum);
  case TfrAggregate::Min: return frNumberText(minimum);
  case TfrAggregate::Max: return frNumberText(maximum);
  case TfrAggregate::Avg: return count > 0 ? frNumberText(sum / count) : QStringLiteral("0");
  case TfrAggregate::Count: return frNumberText(count);
  }
  return QStringLiteral("0");
}

} // namespace

QString frAggregate(TfrAggregate Kind, const QString &P1, const QString &P2, const QString &P3) {
  TDataSet *dataSet = nullptr;
  TField *field = nullptr;
  const TfrEngineBand *totals = frEngine().AggrBand;
  if (totals && totals->Printing() && FindDatasetArgument(Kind, P1, dataSet, field))
    return DatasetAggregate(Kind, dataSet, field);
  return BandAggregate(Kind, P1, P2, P3);
}
