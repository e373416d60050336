#include "report/export_filter.h"
#include "platform/graphics/bitmap.h"
#include "report/memo_view.h"
#include "report/model_state.h"

TfrExportFilter::TfrExportFilter(TStream *Stream) : Stream(Stream) {}

TfrExportFilter::~TfrExportFilter() { ClearLines(); }

void TfrExportFilter::ClearLines() { Lines.clear(); }

void frSendToFilter(TfrView *View, TfrExportFilter *Filter) {
  if (!View || !Filter) return;
  Filter->OnView(View->Left, View->Top, View);
  auto memo = dynamic_cast<TfrMemoView *>(View);
  if (!memo) return;
  // The text is laid out as for drawing at scale 1, on a scratch canvas, each line going to the filter.
  TBitmap scratch(1, 1);
  TfrDocModeScope printing(dmPrinting);
  const bool firstPass = frModel().FirstPass;
  frModel().FirstPass = false;
  memo->ScaleX = memo->ScaleY = 1;
  memo->OffsX = memo->OffsY = 0;
  memo->OnExportLine = [Filter, memo](int X, int Y, const QString &Text) {
    Filter->OnText(X, Y, Text, memo);
  };
  try {
    memo->Draw(scratch.Canvas());
  } catch (...) {
    memo->OnExportLine = nullptr;
    frModel().FirstPass = firstPass;
    throw;
  }
  memo->OnExportLine = nullptr;
  frModel().FirstPass = firstPass;
}

namespace {
QList<TfrExportFilterInfo> &Registry() {
  static QList<TfrExportFilterInfo> registry;
  return registry;
}
} // namespace

void frRegisterExportFilter(const TfrExportFilterClass &FilterClass, const QString &FilterDesc,
                            const QString &FilterExt) {
  if (Registry().size() >= frMaxExportFilters)
    throw EInvalidOperation(
        QStringLiteral("No more than %1 export filters can be registered").arg(frMaxExportFilters));
  Registry().append({FilterClass, FilterDesc, FilterExt});
}

int frExportFilterCount() { return int(Registry().size()); }

const TfrExportFilterInfo &frExportFilter(int Index) {
  if (Index < 0 || Index >= Registry().size())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
  return Registry()[Index];
}
