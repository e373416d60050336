// The add-in registry and the making of objects by type byte.
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/picture_view.h"
#include "report/view.h"
#include <QList>

namespace {

QList<TfrAddInObjectInfo> &AddIns() {
  static QList<TfrAddInObjectInfo> addIns;
  return addIns;
}

} // namespace

void frRegisterObject(const QString &className, std::function<std::unique_ptr<TfrView>()> create,
                      const QString &buttonHint) {
  QList<TfrAddInObjectInfo> &addIns = AddIns();
  for (const TfrAddInObjectInfo &info : addIns)
    if (info.ClassName == className) return;
  if (addIns.size() >= frMaxAddIns)
    throw EInvalidOperation(
        QStringLiteral("Cannot register the report object %1: at most %2 add-in objects can be registered")
            .arg(className)
            .arg(frMaxAddIns));
  addIns.append({className, std::move(create), buttonHint});
}

int frAddInCount() { return int(AddIns().size()); }

const TfrAddInObjectInfo &frAddIn(int index) {
  if (index < 0 || index >= AddIns().size()) throw EListError(QStringLiteral("Add-in index out of range"));
  return AddIns()[index];
}

std::unique_ptr<TfrView> CreateViewByType(int typ, const QString &className) {
  switch (typ) {
  case gtMemo: return std::make_unique<TfrMemoView>();
  case gtPicture: return std::make_unique<TfrPictureView>();
  case gtBand: return std::make_unique<TfrBandView>();
  case gtSubReport: return std::make_unique<TfrSubReportView>();
  case gtLine: return std::make_unique<TfrLineView>();
  case gtAddIn:
    for (const TfrAddInObjectInfo &info : AddIns()) {
      if (info.ClassName != className) continue;
      std::unique_ptr<TfrView> view = info.Create();
      view->Typ = gtAddIn;
      return view;
    }
    throw EClassNotFound(QStringLiteral("Не найден класс ") + className);
  default: return nullptr;
  }
}
