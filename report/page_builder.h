// TfrPageBuilder: one build pass of a report: it turns the template pages into prepared pages. For each
// template page it makes a working copy of the page and its objects (so that scripts and placement never
// change the template), creates the run-time bands from the band objects, attaches every printable object
// to the band it lies on, walks the data bands over their record sources, evaluates the bracketed
// expressions of the text objects, lays the bands out top to bottom, starts new columns and pages when space
// runs out, and writes each finished object into the current prepared page.
//
// A subreport object prints the bands of its page beside its band (one subreport after another), going on
// to new pages of the page it prints on.
//
// The work is shared by files of their own: page_builder.cpp runs the pass (pages, columns, the data loop,
// subreports breaking out); page_builder_bands.cpp shows a band (its script, its place, its slices, its
// objects), with the rules of band_placement.h and band_slicer.h; page_builder_cross.cpp prints cross cells
// (cross_columns.h); page_builder_values.cpp makes the objects' content and answers the report's value
// lookup.
//
// Errors while an object (or a band's script or a group condition) is evaluated are caught: the report's
// error text is built and the run is terminated. Other errors pass to the caller.
#pragma once
#include "platform/core/variant.h"
#include "report/band_placement.h"
#include "report/band_slicer.h"
#include "report/cross_columns.h"
#include "report/interpreter.h"
#include "report/text_plan.h"
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <unordered_map>
#include <vector>

class TField;
class TDataSet;
class TStrings;
class TfrBand;
class TfrDataset;
class TfrPage;
class TfrReport;
class TfrView;
class TfrMemoView;
class Exception;
struct TfrTextLine;

class TfrPageBuilder {
public:
  explicit TfrPageBuilder(TfrReport *Report);
  ~TfrPageBuilder();
  TfrPageBuilder(const TfrPageBuilder &) = delete;
  TfrPageBuilder &operator=(const TfrPageBuilder &) = delete;

  // Runs the pass.
  void Build();
  // The report's value lookup (TfrReport::GetVariableValue) while the pass runs.
  void GetValue(const QString &Name, Variant &Value);

private:
  struct PageRun;

  // ---- set-up ----
  void MakePages();
  void InitBands(PageRun &run);
  TfrDataset *RecordSourceByName(const QString &Name, TfrBand *Band);
  void FreeBands();

  // ---- forming pages ----
  void FormPage(PageRun &run);
  void AddPage();
  void NewPage(bool ReprintHeaders);
  void NewColumn();
  void ReprintHeaders();
  void PrintOwedFooters();
  int BottomLimit() const;
  void MarkFresh();
  bool Fresh() const;

  // ---- data ----
  void DoLoop(int Level);
  bool CheckGroups(TfrBand *Data, bool &FooterShown);
  void ShowGroupHeader(TfrBand *Group);
  void PrintPending();
  void RemovePending(TfrBand *Band);
  void DoAggregate();

  // ---- bands ----
  void ShowBand(TfrBand *Band);
  void DrawBand(TfrBand *Band);
  bool PlaceBand(TfrBand *Band);
  int ColumnShift() const;
  int BandShift(const TfrBand *Band) const;
  int ColumnFooterRoom() const;
  int ChainHeight(const TfrBand *Band) const;
  int ObjectsReach(const TfrBand *Band, int Height) const;
  std::vector<TfrView *> PrepareObjects(TfrBand *Band);
  int BandHeight(TfrBand *Band, const std::vector<TfrView *> &Objects);
  void Place(const TfrBand *Band, const TfrView *View, int Height, int &Top, int &ObjectHeight) const;
  int BandBottom(const TfrBand *Band) const;
  void PlaceObjects(TfrBand *Band, const std::vector<TfrView *> &Objects, int Top, int Height, int Bottom);
  void SplitBand(TfrBand *Band, const std::vector<TfrView *> &Objects, int Height);
  void PrintSlices(std::vector<TfrSlicePiece> Pieces, int Height,
                   const std::function<void(const TfrSliceWrite &)> &Write,
                   const std::function<void()> &Break);
  void WriteObject(TfrView *View, int Left, int Top, int Height);
  void WriteWithin(TfrView *View, int Left, int Top, int Height, int Bottom);
  void WriteLines(TfrMemoView *Memo, QList<TfrTextLine> &Lines, int Count, int Left, int Top, int Height);
  void WriteTextPart(TfrMemoView *Memo, const QStringList &Lines, int Left, int Top, int Height);
  void AfterPrint(TfrBand *Band);
  void RunSubReports(TfrBand *Band, int Top, int StartPage);
  void BreakOutOfSubReport(bool Column);

  // ---- cross cells ----
  bool HasCrossObjects(const TfrBand *Band) const;
  TfrCrossColumns LayCrossColumns(TfrBand *Band);
  void PrintCross(TfrBand *Band, const std::vector<TfrView *> &Objects, const TfrCrossColumns &Columns,
                  int RowHeight, bool MayBreak);
  void TakeInCell(TfrBand *Band);
  bool TakeIn(TfrView *View);

  // ---- objects ----
  bool PrepareObject(TfrView *View);
  void RunScript(TfrView *View);
  const TfrTextPlan &TextPlan(TfrView *View);
  void ExpandText(TfrView *View);
  QString EvaluateExpression(const TfrTextExpression &Expression);
  bool LoadBlobContent(TfrView *View);
  void FailWith(const Exception &Error, TfrView *View);

  // ---- value lookup ----
  TDataSet *BandDataSet() const;
  bool FieldValue(TDataSet *DataSet, TField *Field, Variant &Value) const;
  bool SpecialValue(const QString &Name, Variant &Value) const;
  bool SpecialValueByIndex(const QString &Name, int Index, const QString &Expression, Variant &Value);
  Variant EvaluateFor(const QString &Name, const QString &Expression);
  int ActiveLineNo(bool Through) const;
  TfrBand *DataBandFor(int BandType) const;

  TfrReport *report_;
  std::vector<std::unique_ptr<PageRun>> pages_;
  PageRun *cur_ = nullptr;
  // The prepared page being written (PAGE# is one more).
  int pageNo_ = 0;
  bool continuing_ = false;
  int keptY_ = 0;
  int keptBottom_ = 0;
  int freshY_ = -1;
  int freshPage_ = -1;
  // The data band each level walks now (levels 1..3).
  TfrBand *activeData_[4] = {};
  TfrBand *showing_ = nullptr;
  // Above 0 while a page or column is being started.
  int breaking_ = 0;
  // Since the application last processed its messages during the data loop.
  QElapsedTimer messageClock_;
  // Names whose evaluation as an expression is under way.
  QStringList evaluating_;
  Variant currentValue_;
  std::unordered_map<const TfrView *, TfrCompiledScript> scripts_;
  // The look of text objects printing in their highlight look, put back before their next record.
  struct OwnLook {
    int fontStyle;
    int fontColor;
    int fillColor;
  };
  QHash<const TfrView *, OwnLook> ownLooks_;
  // How the objects of the stretched band being laid out moved down and grew (BandHeight).
  TfrBandFlow flow_;
  // The cut text of each text object.
  std::unordered_map<const TfrView *, TfrTextPlan> plans_;
  // The single bracketed name of each object's text (as its first line read) and whether it was found to
  // show no BLOB field.
  struct BlobLook {
    bool read = false;
    QString first;
    QString name;
    bool noBlob = false;
  };
  std::unordered_map<const TfrView *, BlobLook> blobLooks_;
};
