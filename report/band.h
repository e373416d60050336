// TfrBand: a band at run time, made by page building from a band object of a template page: its type and
// flags, its place on the page, its record source, the objects lying on it, its group condition, its links
// to the header and footer of a data band, its line counters and its aggregate values.
#pragma once
#include "platform/core/string_list.h"
#include "platform/core/variant.h"
#include "report/engine_model.h"
#include "report/interpreter.h"
#include <memory>
#include <vector>

class TfrBandView;
class TfrDataset;
class TfrPage;
class TfrView;

class TfrBand : public TObject, public TfrEngineBand {
public:
  TfrBand(TfrPage *Page, TfrBandView *View, bool SubReportPage);
  ~TfrBand() override;
  QString ClassName() const override { return QStringLiteral("TfrBand"); }

  // ---- TfrEngineBand ----
  QString BandName() const override;
  int BandType() const override { return Typ; }
  bool Printing() const override { return printing; }
  TStrings *AggregateValues() override { return &Values; }
  int AggregateRecordCount() const override { return Count; }
  void RequestNewPage() override { ForceNewPage = true; }
  void RequestNewColumn() override { ForceNewColumn = true; }

  // Forgets the aggregate values and the records they took in.
  void ClearAggregates();
  // Makes the band's record source: owned (a count of records) or one found by name.
  void SetOwnedDataSet(std::unique_ptr<TfrDataset> DataSet);

  TfrPage *Page;
  TfrBandView *View;
  TfrBand *Next = nullptr; // the next band of the same type
  int Typ = 0;
  quint16 Flags = 0;
  bool Visible = true;
  // The band's place on the page while it is shown, which its script reads and may change: y its top, x its
  // left (its object's Left moved into the current column), dx its width (its object's Width).
  int x = 0;
  int y = 0;
  int dx = 0;
  int dy = 0; // design height
  // How far the band's script moved it across from its place in the column.
  int ScriptShift = 0;
  int maxdy = 0;
  bool Stretched = false;
  bool PrintIfSubsetEmpty = false;
  bool NewPageAfter = false;
  bool AllowSplit = false;
  bool RepeatHeader = false;
  TfrDataset *DataSet = nullptr;
  TStringList Script;
  TfrCompiledScript CompiledScript;
  QString GroupCondition;
  Variant LastGroupValue;
  TfrBand *HeaderBand = nullptr;
  TfrBand *FooterBand = nullptr;
  // For a group header: the footer that closes its group.
  TfrBand *GroupFooter = nullptr;
  std::vector<TfrView *> Objects;
  // Objects lying where the page's cross data band and cross footer band cross this band: printed once per
  // record of the cross data band's source, and once after the last of them.
  std::vector<TfrView *> CrossCells;
  std::vector<TfrView *> CrossTotals;
  TStringList Values;
  int Count = 0;
  int LineNo = 0;
  int LineThrough = 0;
  bool ForceNewPage = false;
  bool ForceNewColumn = false;
  // On while the band is being shown (not while it collects totals).
  bool printing = false;

private:
  std::unique_ptr<TfrDataset> ownedDataSet_;
};
