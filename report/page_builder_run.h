// What the files of page building share: the run-time state of a template page, the band types of the data
// levels and the scopes that set and put back engine state.
#pragma once
#include "report/band.h"
#include "report/engine.h"
#include "report/model_state.h"
#include "report/page.h"
#include "report/page_builder.h"
#include <algorithm>
#include <iterator>

namespace frbuild {

// Header, data and footer band types of the data levels 1 to 3.
constexpr int LevelHeader[4] = {0, btMasterHeader, btDetailHeader, btSubDetailHeader};
constexpr int LevelData[4] = {0, btMasterData, btDetailData, btSubDetailData};
constexpr int LevelFooter[4] = {0, btMasterFooter, btDetailFooter, btSubDetailFooter};

// The footers that take in a record's totals after a data band prints it.
constexpr int AggregateBands[] = {btReportSummary,   btPageFooter,  btMasterFooter, btDetailFooter,
                                  btSubDetailFooter, btGroupFooter, btCrossFooter};

inline bool IsDataBand(int type) {
  return type == btMasterData || type == btDetailData || type == btSubDetailData;
}

inline bool IsCrossBand(int type) {
  return type == btCrossHeader || type == btCrossData || type == btCrossFooter;
}

inline bool IsFooterBand(int type) {
  return std::find(std::begin(AggregateBands), std::end(AggregateBands), type) != std::end(AggregateBands);
}

// The piece an object makes in a band or row printed in slices; a text's lines go to Lines.
TfrSlicePiece SlicePiece(TfrView *view, int id, int top, int height, QList<TfrTextLine> &lines);

// Forgets which totals took in the record before, so that the next one counts.
void UnmarkCounted(TStringList &values);

// Sets the engine's current band (and the band collecting totals) for a scope.
class CurrentBandScope {
public:
  CurrentBandScope(TfrEngineBand *current, TfrEngineBand *totals)
      : savedCurrent_(frEngine().CurBand), savedTotals_(frEngine().AggrBand) {
    frEngine().CurBand = current;
    frEngine().AggrBand = totals;
  }
  ~CurrentBandScope() {
    frEngine().CurBand = savedCurrent_;
    frEngine().AggrBand = savedTotals_;
  }
  CurrentBandScope(const CurrentBandScope &) = delete;
  CurrentBandScope &operator=(const CurrentBandScope &) = delete;

private:
  TfrEngineBand *savedCurrent_;
  TfrEngineBand *savedTotals_;
};

} // namespace frbuild

// The run-time state of one template page.
struct TfrPageBuilder::PageRun {
  TfrPage *source = nullptr;
  std::unique_ptr<TfrPage> page; // the working copy
  std::vector<std::unique_ptr<TfrBand>> bands;
  bool isSubReport = false;
  int leftMargin = 0, topMargin = 0, rightMargin = 0, bottomMargin = 0;
  int colCount = 1, colWidth = 0, colGap = 0;
  int curColumn = 0;
  int xAdjust = 0;
  int colPos = 0; // the y where columns start
  int curPos = 1; // CURRENT#
  int maxLevel = 0;
  std::vector<TfrBand *> pending;
  std::vector<TfrBand *> groups; // group headers, outermost first
  // While the page prints as a subreport: the page it prints on, that page's data bands, and the place of
  // the subreport object.
  PageRun *parent = nullptr;
  TfrBand *parentData[4] = {};
  int subLeft = 0;

  TfrBand *Band(int type) const { return page->Bands[type]; }
  bool HasGroups() const { return !groups.empty(); }
};
