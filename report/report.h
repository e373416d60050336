// TfrReport: the report component an application places on a form. It owns a template (pages of bands and
// objects, values, variables), the prepared pages built from it, and offers the operations an application
// calls in turn: load a template (from a stream or a dataset row), prepare the pages, show them in a preview,
// print them with a page list and copies, save, load and export them.
//
// Long work (preparing, printing, exporting) runs behind the progress window of report_hooks.h unless
// ShowProgress is off or OnProgress is assigned; the window's Cancel sets the terminated flag, which every
// loop checks between bands and pages.
//
// The report owns its prepared pages; a preview refers to them and never keeps them. Preparation that is
// cancelled or fails leaves no prepared pages behind.
#pragma once
#include "platform/core/component.h"
#include "platform/core/date_time.h"
#include "platform/core/events.h"
#include "platform/core/small_set.h"
#include "platform/core/variant.h"
#include "report/engine_model.h"
#include "report/prepared_pages.h"
#include "report/report_model.h"
#include <QList>
#include <functional>
#include <memory>

class TDataSet;
class TStream;
class TfrBand;
class TfrDataset;
class TfrExportFilter;
class TfrPageBuilder;
class TfrPreviewPanel;
class TfrProgressWindow;

// A report operation refused for bad input: a template number with no row, a bad page list.
TALLYROOK_EXCEPTION(EfrReportError, Exception)

enum TfrPreviewZoom { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };
enum TfrPreviewButton { pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit };
using TfrPreviewButtons = TSmallSet<TfrPreviewButton>;
enum TfrReportType { rtSimple, rtMultiple };

using TfrDocEvent = TEvent<void()>;
// The index (from 0) of the prepared page that begins or ends.
using TfrPageEvent = TEvent<void(int PageNo)>;
using TfrBandEvent = TEvent<void(TfrBand *Band)>;
// The value of a name; a value left empty lets the report look further.
using TfrGetValueEvent = TEvent<void(const QString &Name, Variant &Value)>;
// A text object about to be placed: the handler may change its expanded text (Memo).
using TfrEnterRectEvent = TEvent<void(TStringList *Memo, TfrView *View)>;
using TfrUserFunctionEvent = TEvent<void(const QString &Name, const Variant &P1, const Variant &P2,
                                         const Variant &P3, Variant &Value)>;
using TfrProgressEvent = TEvent<void(int Number)>;
using TfrPrintColumnEvent = TEvent<void(int ColNo, int &Width)>;
using TfrManualBuildEvent = TEvent<void(TfrPage *Page)>;

// Makes an export filter writing to a stream (an export filter "class").
using TfrExportFilterClass = std::function<std::unique_ptr<TfrExportFilter>(TStream *Stream)>;

// The 1-based page numbers a page-list text names ("1,3,5-7"; blanks ignored). An empty text names every
// page (an empty list). A text that is not made of whole numbers and ranges, a reversed range or a number
// outside 1..PageCount raises EfrReportError naming what is wrong.
QList<int> frParsePageList(const QString &Text, int PageCount);

class TfrReport : public TComponent, public TfrEngineReport {
public:
  explicit TfrReport(TComponent *AOwner);
  ~TfrReport() override;
  QString ClassName() const override { return QStringLiteral("TfrReport"); }
  void Notification(TComponent *AComponent, TOperation Operation) override;

  // ---- the template ----
  TfrReportModel &Model() { return model_; }
  TfrPages &Pages() { return model_.Pages; }
  TfrValues &Values() { return model_.Values; }
  TStringList &Variables() { return model_.Variables; }
  bool PrintToDefault() const { return model_.PrintToDefault; }
  void SetPrintToDefault(bool Value) { model_.PrintToDefault = Value; }
  bool DoublePass() const { return model_.DoublePass; }
  void SetDoublePass(bool Value) { model_.DoublePass = Value; }

  // Reads the template from the BLOB (second field) of the dataset's row whose first field equals Number.
  // No such row raises EfrReportError and keeps the template as it was (the dataset is left at its end).
  void LoadTemplateFromDataset(TDataSet *DataSet, int Number);
  void LoadFromStream(TStream *Stream);
  // Writes the template stream, or, in XML mode, the template as a document of the XML report format.
  void SaveToStream(TStream *Stream);
  bool XmlMode = false;
  // The stored property "ReportForm": the template is kept in it only when StoreInDFM is on.
  void WriteReportForm(TStream *Stream) { model_.WriteReportForm(Stream, StoreInDFM); }
  void ReadReportForm(TStream *Stream) { model_.ReadReportForm(Stream, StoreInDFM); }
  // The first object on any page of that name (without regard to case); nullptr when none.
  TfrView *FindObject(const QString &Name) const;

  // ---- prepared pages ----
  TfrEMFPages &EMFPages() { return emfPages_; }
  // Builds the prepared pages. False when the user cancelled or an error stopped the build (ErrorText()
  // then says why); either way no prepared pages are left. Exceptions other than those of evaluating an
  // object (a dataset that cannot be opened) pass to the caller, also leaving no pages.
  bool PrepareReport();
  // Prepares and shows the pages; an error is shown in a message box ("Error") and false returned.
  bool ShowReport();
  // Shows the prepared pages in the Preview panel when set, else in the preview window.
  void ShowPreparedReport();
  // Prints the prepared pages named by the page list (empty: all), each Copies times in a row. The page
  // list is checked first (EfrReportError). False when the run was cancelled.
  bool PrintPreparedReport(const QString &PageNumbers, int Copies);
  void LoadPreparedReport(const QString &FileName);
  void SavePreparedReport(const QString &FileName);
  // Exports the prepared pages through a filter into FileName. The file is written aside and replaces
  // FileName only when the export succeeds. False when cancelled (FileName untouched).
  bool ExportTo(const TfrExportFilterClass &FilterClass, const QString &FileName);
  // The export filter at work (during ExportTo), else nullptr.
  TfrExportFilter *CurrentFilter() const { return currentFilter_; }
  // Editing prepared pages needs a report designer, which this program does not have: does nothing.
  void EditPreparedReport(int PageIndex) {}

  // Selects another printer of the printer wrapper and gives every template page its paper again. False
  // when the printer cannot be selected (nothing changes then).
  bool ChangePrinter(int OldIndex, int NewIndex);

  // ---- page building ----
  // One build pass (page_builder.h).
  virtual void BuildPages();
  // The parser's handlers while this report is being built.
  void GetVariableValue(const QString &Name, Variant &Value);
  void EvalFunction(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                    QString &Result);

  // ---- run state ----
  bool Terminated() const override { return terminated_; }
  void SetTerminated(bool Value) { terminated_ = Value; }
  TComponent *ReportComponent() const override { return const_cast<TfrReport *>(this); }
  // On while the last (or only) pass runs.
  bool FinalPass() const { return finalPass_; }
  // The error of the last preparation (the error flag and text).
  bool ErrorOccurred() const { return errorFlag_; }
  QString ErrorText() const { return errorText_; }
  void SetError(const QString &Text);
  // The report date and time fixed at preparation.
  TDateTime ReportDateTime() const { return dateTime_; }
  // The page total of the first pass of a double-pass report (0 otherwise).
  int TotalPages() const { return totalPages_; }
  QString FileName = QStringLiteral("Untitled");

  // ---- properties ----
  TfrDataset *Dataset() const { return dataset_; }
  void SetDataset(TfrDataset *Value);
  TfrPreviewPanel *Preview() const { return preview_; }
  void SetPreview(TfrPreviewPanel *Value);

  bool GrayedButtons = false;
  TfrPreviewZoom InitialZoom = pzDefault;
  bool ModalPreview = true;
  bool ModifyPrepared = true;
  TfrPreviewButtons PreviewButtons{pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit};
  TfrReportType ReportType = rtSimple;
  bool ShowProgress = true;
  bool StoreInDFM = false;
  QString Title;

  // ---- events ----
  TfrDocEvent OnBeginDoc;
  TfrDocEvent OnEndDoc;
  TfrPageEvent OnBeginPage;
  TfrPageEvent OnEndPage;
  TfrBandEvent OnBeginBand;
  TfrBandEvent OnEndBand;
  TfrGetValueEvent OnGetValue;
  TfrEnterRectEvent OnEnterRect;
  TfrUserFunctionEvent OnUserFunction;
  TfrProgressEvent OnProgress;
  // Before the cross columns of a band are laid out (the band), and for each column (its number from 1 and
  // its width, which the handler may change).
  TfrBandEvent OnBeginColumn;
  TfrPrintColumnEvent OnPrintColumn;
  TfrManualBuildEvent OnManualBuild;

  // ---- progress (used by page building, printing and export) ----
  // Shows "<label text>  <n>" (and " from <total>" when a total is known) or calls OnProgress, then lets the
  // application process its messages.
  void ShowProgressPage(int PageNo);

private:
  friend class TfrPageBuilder;

  bool RunPasses();
  void PrepareStep();
  // Runs Step behind the progress window (or directly); false when it ended with Cancel.
  bool RunWithProgress(const QString &LabelText, const std::function<void()> &Step);
  void PrintLoop(const QList<int> &Pages, int Copies);
  void PrintPage(int Index, bool FirstOfRun);
  void ExportPages(TfrExportFilter *Filter);
  QString ProgressCaption() const;
  void MakeCurrent();

  TfrReportModel model_;
  TfrEMFPages emfPages_;
  TfrDataset *dataset_ = nullptr;
  TfrPreviewPanel *preview_ = nullptr;
  TComponent *previewComponent_ = nullptr;

  bool terminated_ = false;
  bool finalPass_ = false;
  bool firstPassTerminated_ = false;
  bool errorFlag_ = false;
  QString errorText_;
  TDateTime dateTime_ = 0;
  int totalPages_ = 0;
  TfrExportFilter *currentFilter_ = nullptr;
  TfrProgressWindow *progress_ = nullptr;
  QString progressLabel_;
  bool progressShowsTotal_ = false;
  int progressTotal_ = 0;
  TfrPageBuilder *builder_ = nullptr;
};
