// TfrPage: a template page (paper, margins, columns and its flat list of objects) and TfrPages, the report's
// pages. Paper sizes are in tenths of a millimetre, margins in design pixels. The page's printer
// information (page metrics in report units) comes from the printer wrapper when its paper is applied.
#pragma once
#include "report/engine_model.h"
#include "report/printer_wrapper.h"
#include "report/view.h"
#include <memory>
#include <vector>

class TStream;
class TfrBand;

class TfrPage : public TObject, public TfrEnginePage {
public:
  // A page of the default paper (A4, portrait); the printer is not asked.
  TfrPage();
  ~TfrPage() override;
  QString ClassName() const override { return QStringLiteral("TfrPage"); }

  // Sets the paper and asks the printer wrapper for its printer information. A standard code given without a
  // size takes the size of the paper table.
  void ChangePaper(int size, int width, int height, int orientation);
  // Gives the page's paper to the printer wrapper again and takes its printer information.
  void ApplyPaper() { ChangePaper(pgSize, pgWidth, pgHeight, pgOr); }

  // ---- objects ----
  int ObjectCount() const { return int(objects_.size()); }
  TfrView *Object(int index) const { return objects_.at(size_t(index)).get(); }
  TfrView *Add(std::unique_ptr<TfrView> view);
  void Delete(int index);
  void Clear() { objects_.clear(); }
  int IndexOf(const TfrView *view) const;
  // The first object of that name, without regard to case.
  TfrView *FindView(const QString &name) const;

  // The page record of the template stream (readers follow the version being read).
  void LoadFromStream(TStream *stream);
  void SaveToStream(TStream *stream) const;

  // ---- TfrEnginePage ----
  TfrEngineView *FindObject(const QString &name) override { return FindView(name); }
  int FreeSpace() const override { return CurBottomY - CurY; }
  bool PrintingCrossBands() const override { return PrintingCross; }
  int CrossColumn() const override { return CurCrossColumn; }

  qint32 pgSize = frDefaultPaperSize;
  qint32 pgWidth = 0;
  qint32 pgHeight = 0;
  TRect pgMargins;
  quint8 pgOr = frPortrait;
  bool PrintToPrevPage = false;
  bool UseMargins = false;
  TfrPrnInfo PrnInfo;
  qint32 ColCount = 1;
  qint32 ColGap = 0;
  int ColWidth = 0;
  // The page's run-time bands by band type, made and freed by page building.
  TfrBand *Bands[22] = {};
  // Page building's position on the page and its bottom limit, and the cross-band state.
  int CurY = 0;
  int CurBottomY = 0;
  bool PrintingCross = false;
  int CurCrossColumn = 0;

private:
  std::vector<std::unique_ptr<TfrView>> objects_;
};

class TfrPages {
public:
  int Count() const { return int(pages_.size()); }
  TfrPage *operator[](int index) const { return pages_.at(size_t(index)).get(); }
  // Appends a page of the default paper, applied to the printer wrapper.
  TfrPage *Add();
  TfrPage *Append(std::unique_ptr<TfrPage> page);
  void Delete(int index);
  void Clear() { pages_.clear(); }
  void Swap(TfrPages &other) { pages_.swap(other.pages_); }

private:
  std::vector<std::unique_ptr<TfrPage>> pages_;
};
