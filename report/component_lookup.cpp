#include "report/component_lookup.h"
#include "platform/component.h"
#include "platform/string_list.h"
#include "report/engine.h"

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

} // namespace

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
