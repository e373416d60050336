// What the preview asks of the report whose prepared pages it shows. The report owns the pages; the preview
// refers to them through its host for as long as it shows them and keeps no copy. frReportPreviewHost makes
// the host of a report component; tests give the preview hosts of their own.
#pragma once
#include "report/report.h"
#include <QList>
#include <QString>
#include <memory>

class TComponent;
class TfrEMFPages;

struct TfrPreviewSettings {
  TfrPreviewButtons Buttons{pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit};
  TfrPreviewZoom InitialZoom = pzDefault;
  bool ModalPreview = true;
  bool GrayedButtons = false;
  QString Title; // the report's title, which names a printed PDF file
};

// An export filter as the save dialog offers it.
struct TfrPreviewExportFilter {
  QString Description; // "Text file (*.txt)"
  QString Mask;        // "*.txt"
};

class TfrPreviewHost {
public:
  virtual ~TfrPreviewHost() = default;
  // The report's prepared pages.
  virtual TfrEMFPages &Pages() = 0;
  virtual TfrPreviewSettings Settings() const = 0;
  // The report component, whose removal ends the preview; nullptr when there is none.
  virtual TComponent *Component() = 0;

  // Replaces the report's pages with those of a prepared-report file (exceptions pass to the caller, and
  // the pages stay as they were).
  virtual void LoadPreparedReport(const QString &FileName) = 0;
  virtual void SavePreparedReport(const QString &FileName) = 0;
  virtual QList<TfrPreviewExportFilter> ExportFilters() const = 0;
  // Exports through the filter of that index in ExportFilters(); false when cancelled.
  virtual bool ExportTo(int FilterIndex, const QString &FileName) = 0;

  // What is wrong with a page list for the pages shown (empty when it is good).
  virtual QString PageListError(const QString &PageNumbers) = 0;
  // Prints the pages named by the list (empty: all), each Copies times; false when cancelled.
  virtual bool PrintPreparedReport(const QString &PageNumbers, int Copies) = 0;
  // Whether the report can prepare its pages again (a template is loaded).
  virtual bool CanRebuild() const = 0;
  // Moves the report to another printer of the printer wrapper; false when that failed.
  virtual bool ChangePrinter(int OldIndex, int NewIndex) = 0;
  // Prepares the pages again; false when cancelled or failed.
  virtual bool PrepareReport() = 0;
};

// The host of a report component.
std::unique_ptr<TfrPreviewHost> frReportPreviewHost(TfrReport *Report);
