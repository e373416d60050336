#include "report/component_lookup.h"
#include "platform/core/component.h"
#include "platform/core/string_list.h"
#include "report/db_dataset.h"
#include "report/engine.h"
#include "report/stream_utils.h"

namespace {

TComponent *FindTopLevel(const QString &Name) {
  for (TComponent *c : frTopLevelComponents())
    if (c && c->Name().compare(Name, Qt::CaseInsensitive) == 0) return c;
  return nullptr;
}

TComponent *FindOnReportOwner(const QString &Name) {
  if (!ReportEngineStarted()) return nullptr;
  const TfrEngineReport *report = frEngine().CurReport;
  TComponent *component = report ? report->ReportComponent() : nullptr;
  TComponent *owner = component ? component->Owner() : nullptr;
  return owner ? owner->FindComponent(Name) : nullptr;
}

// Splits at full stops outside double-quoted parts.
QStringList SplitName(const QString &Text) {
  QStringList parts;
  QString part;
  bool quoted = false;
  for (const QChar c : Text) {
    if (c == QLatin1Char('"')) quoted = !quoted;
    if (c == QLatin1Char('.') && !quoted) {
      parts.append(part.trimmed());
      part.clear();
    } else {
      part += c;
    }
  }
  parts.append(part.trimmed());
  return parts;
}

} // namespace

TDataSet *frDataSetOf(TComponent *Component) {
  if (auto *dataSet = dynamic_cast<TDataSet *>(Component)) return dataSet;
  if (auto *source = dynamic_cast<TfrDBDataSet *>(Component)) return source->GetDataSet();
  return nullptr;
}

bool FindReportDatasetField(const QString &Text, TDataSet *&DataSet, TField *&Field) {
  Field = nullptr;
  try {
    const QStringList parts = SplitName(Text);
    QString fieldName = parts.last();
    if (parts.size() == 2)
      DataSet = frDataSetOf(FindReportDataset(parts[0]));
    else if (parts.size() >= 3)
      DataSet = frDataSetOf(FindReportDataset(parts[0] + QLatin1Char('.') + parts[1]));
    if (parts.size() > 3) fieldName = parts.mid(2).join(QLatin1Char('.'));
    StripDoubleQuotes(fieldName);
    if (!DataSet || fieldName.isEmpty()) return false;
    Field = DataSet->FindField(fieldName);
  } catch (const Exception &) {
    Field = nullptr;
  }
  return Field != nullptr;
}

TComponent *FindReportDataset(const QString &Name) {
  try {
    const int dot = Name.indexOf(QLatin1Char('.'));
    if (dot < 0) return FindOnReportOwner(Name.trimmed());
    TComponent *form = FindTopLevel(Name.left(dot).trimmed());
    return form ? form->FindComponent(Name.mid(dot + 1).trimmed()) : nullptr;
  } catch (const Exception &) {
    return nullptr;
  }
}

void ListComponentsOfClass(TComponent *Owner, const std::function<bool(const TComponent *)> &IsOfClass,
                           TStrings *List, const TComponent *Skip) {
  List->Clear();
  QList<TComponent *> containers = frTopLevelComponents();
  if (Owner && !containers.contains(Owner)) containers.prepend(Owner);
  for (TComponent *container : std::as_const(containers)) {
    if (!container) continue;
    for (int i = 0; i < container->ComponentCount(); ++i) {
      TComponent *c = container->Components(i);
      if (c == Skip || !IsOfClass(c)) continue;
      List->Add(container == Owner ? c->Name() : container->Name() + QLatin1Char('.') + c->Name());
    }
  }
}
