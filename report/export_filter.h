// Export filters: a prepared report written to a file in another format. A filter derives from
// TfrExportFilter and receives, for each prepared page in order, OnBeginPage, then for every object OnView
// (and for every output line of a text object OnText, at the line's drawing position in report units), then
// OnEndPage; the whole export is framed by OnBeginDoc and OnEndDoc. TfrReport::ExportTo drives it.
//
// The registry lists the filters the preview's save dialog offers, in registration order.
#pragma once
#include "platform/core/object.h"
#include "report/report.h"
#include <QList>
#include <QString>
#include <vector>

class TStream;
class TfrView;

// A text placed on a line of an export page, with the look of the object it came from.
struct TfrTextRec {
  int X = 0; // report units
  QString Text;
  QString FontName;
  int FontSize = 0;
  int FontStyle = 0; // 1 italic, 2 bold, 4 underline, added
  int FontColor = 0;
  int FontCharset = 0;
  int FillColor = 0;
  bool FromMemo = false;
};

class TfrExportFilter : public TObject {
public:
  // Writes to Stream, which the filter does not own.
  explicit TfrExportFilter(TStream *Stream);
  ~TfrExportFilter() override;
  QString ClassName() const override { return QStringLiteral("TfrExportFilter"); }

  virtual void OnBeginDoc() {}
  virtual void OnEndDoc() {}
  virtual void OnBeginPage() {}
  virtual void OnEndPage() {}
  virtual void OnView(int X, int Y, TfrView *View) {}
  virtual void OnText(int X, int Y, const QString &Text, TfrView *View) {}

  // Empties the line list.
  void ClearLines();

protected:
  TStream *Stream;
  // Lines of text items for the use of derived filters, each ordered as the filter likes.
  std::vector<std::vector<TfrTextRec>> Lines;
};

// Sends an object of a prepared page to the filter: OnView with its left and top, and for a text object
// OnText for each output line, at the positions drawing would give them at scale 1.
void frSendToFilter(TfrView *View, TfrExportFilter *Filter);

struct TfrExportFilterInfo {
  TfrExportFilterClass FilterClass;
  QString FilterDesc; // "ASCII Text file (*.txt)"
  QString FilterExt;  // "*.txt"
};

// The registry holds at most this many filters.
constexpr int frMaxExportFilters = 32;
// Appends a filter; registering a full registry raises EInvalidOperation.
void frRegisterExportFilter(const TfrExportFilterClass &FilterClass, const QString &FilterDesc,
                            const QString &FilterExt);
int frExportFilterCount();
const TfrExportFilterInfo &frExportFilter(int Index);
