#include "report/page_builder.h"
#include "platform/core/format_settings.h"
#include "platform/core/number_format.h"
#include "platform/data/dataset.h"
#include "platform/data/fields.h"
#include "platform/windowing/application.h"
#include "report/band.h"
#include "report/band_view.h"
#include "report/component_lookup.h"
#include "report/engine.h"
#include "report/font_style.h"
#include "report/memo_view.h"
#include "report/model_state.h"
#include "report/parser.h"
#include "report/report.h"
#include "report/report_dataset.h"
#include "report/report_interpreter.h"
#include "report/text_layout.h"
#include "report/text_plan.h"
#include "report/value_format.h"
#include "report/variables.h"
#include <algorithm>

namespace {

// Header, data and footer band types of the data levels 1 to 3.
constexpr int LevelHeader[4] = {0, btMasterHeader, btDetailHeader, btSubDetailHeader};
constexpr int LevelData[4] = {0, btMasterData, btDetailData, btSubDetailData};
constexpr int LevelFooter[4] = {0, btMasterFooter, btDetailFooter, btSubDetailFooter};

// The footers that take in a record's totals after a data band prints it.
constexpr int AggregateBands[] = {btReportSummary,   btPageFooter,  btMasterFooter, btDetailFooter,
                                  btSubDetailFooter, btGroupFooter, btCrossFooter};

const char *const SpecialNames[] = {"PAGE#",        "",        "DATE",     "TIME",      "LINE#",
                                    "LINETHROUGH#", "COLUMN#", "CURRENT#", "TOTALPAGES"};

bool IsDataBand(int type) { return type == btMasterData || type == btDetailData || type == btSubDetailData; }

bool IsCrossBand(int type) { return type == btCrossHeader || type == btCrossData || type == btCrossFooter; }

bool IsFooterBand(int type) {
  return std::find(std::begin(AggregateBands), std::end(AggregateBands), type) != std::end(AggregateBands);
}

// Forgets which totals took in the record before, so that the next one counts.
void UnmarkCounted(TStringList &values) {
  for (int i = 0; i < values.Count(); ++i) {
    QString line = values.Strings(i);
    const int eq = int(line.indexOf(QLatin1Char('=')));
    if (eq >= 0 && eq + 1 < line.size() && line[eq + 1] == QLatin1Char('1')) {
      line[eq + 1] = QLatin1Char('0');
      values.SetStrings(i, line);
    }
  }
}

// True when the object's left edge lies in the band's strip across the page.
bool InStrip(const TfrView *object, const TfrBand *strip) {
  return strip && object->Left >= strip->View->Left && object->Left < strip->View->Left + strip->View->Width;
}

int LevelOf(int type) {
  for (int level = 1; level <= 3; ++level)
    if (type == LevelHeader[level] || type == LevelData[level] || type == LevelFooter[level]) return level;
  return 0;
}

// The single bracketed name a memo consists of ("[Name]"), or an empty text.
QString SingleBracketedName(const TStrings &Memo) {
  if (Memo.Count() < 1) return QString();
  const QString line = Memo.Strings(0).trimmed();
  if (line.size() < 3 || !line.startsWith(QLatin1Char('[')) || frMatchBracket(line, 0) != line.size())
    return QString();
  const QString name = line.mid(1, line.size() - 2);
  if (name.contains(QLatin1Char('[')) || name.contains(QLatin1Char(']'))) return QString();
  return name;
}

std::unique_ptr<TfrView> CloneView(const TfrView *source) {
  std::unique_ptr<TfrView> copy =
      CreateViewByType(source->Typ, source->Typ == gtAddIn ? source->ClassName() : QString());
  if (!copy) return nullptr;
  copy->Assign(source);
  if (auto memo = dynamic_cast<TfrMemoView *>(copy.get()))
    memo->CharacterSpacing = static_cast<const TfrMemoView *>(source)->CharacterSpacing;
  return copy;
}

// Puts back what placing changed on an object, whatever happens while it is written.
class PlacementScope {
public:
  explicit PlacementScope(TfrView *view)
      : view_(view), left_(view->Left), top_(view->Top), width_(view->Width), height_(view->Height) {}
  ~PlacementScope() {
    view_->Left = left_;
    view_->Top = top_;
    view_->Width = width_;
    view_->Height = height_;
    view_->PreparedForm = false;
  }
  PlacementScope(const PlacementScope &) = delete;
  PlacementScope &operator=(const PlacementScope &) = delete;

private:
  TfrView *view_;
  int left_, top_, width_, height_;
};

// Counts the page and column breaks under way.
class BreakScope {
public:
  explicit BreakScope(int &depth) : depth_(depth) { ++depth_; }
  ~BreakScope() { --depth_; }
  BreakScope(const BreakScope &) = delete;
  BreakScope &operator=(const BreakScope &) = delete;

private:
  int &depth_;
};

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

} // namespace

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

TfrPageBuilder::TfrPageBuilder(TfrReport *Report) : report_(Report) {}

TfrPageBuilder::~TfrPageBuilder() { FreeBands(); }

// ---- the pass ----

void TfrPageBuilder::Build() {
  TfrEngineState &engine = frEngine();
  engine.CurReport = report_;
  report_->Values().Sort();
  TfrParser *parser = ReportParser();
  parser->OnGetValue = TGetPValueEvent(report_, &TfrReport::GetVariableValue);
  parser->OnFunction = TFunctionEvent(report_, &TfrReport::EvalFunction);
  report_->errorFlag_ = false;
  report_->errorText_.clear();

  TfrDataset *master = report_->ReportType == rtMultiple ? report_->Dataset() : nullptr;
  if (master) {
    master->Init();
    master->First();
  }
  // Whatever happens, the run-time bands go and the sources are released.
  auto finish = [this, master, &engine] {
    FreeBands();
    engine.CurPage = nullptr;
    engine.CurBand = engine.AggrBand = nullptr;
    engine.CurView = nullptr;
    if (master) master->Done();
  };
  try {
    MakePages();
    TfrEMFPages &emf = report_->EMFPages();
    pageNo_ = emf.Count();
    continuing_ = false;
    while (!(master && master->Eof())) {
      for (size_t i = 0; i < pages_.size(); ++i) {
        PageRun &run = *pages_[i];
        if (run.isSubReport) continue;
        report_->ShowProgressPage(emf.Count() + 1);
        cur_ = &run;
        engine.CurPage = run.page.get();
        run.pending.clear();
        if (report_->OnManualBuild)
          report_->OnManualBuild(run.page.get());
        else
          FormPage(run);
        // The first template page has no page before it to continue on.
        const bool nextContinues = i + 1 < pages_.size() && pages_[i + 1]->source->PrintToPrevPage &&
                                   !pages_[i + 1]->isSubReport && emf.Count() > 0;
        continuing_ = nextContinues;
        pageNo_ = nextContinues ? emf.Count() - 1 : emf.Count();
        if (report_->Terminated()) break;
      }
      if (!master || report_->Terminated()) break;
      master->Next();
      // A new record starts on a new sheet.
      continuing_ = false;
      pageNo_ = emf.Count();
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TfrPageBuilder::MakePages() {
  TfrPages &pages = report_->Pages();
  QList<int> subPages;
  for (int i = 0; i < pages.Count(); ++i)
    for (int j = 0; j < pages[i]->ObjectCount(); ++j)
      if (auto sub = dynamic_cast<TfrSubReportView *>(pages[i]->Object(j))) subPages.append(sub->SubPage);

  for (int i = 0; i < pages.Count(); ++i) {
    TfrPage *source = pages[i];
    source->ApplyPaper();
    auto run = std::make_unique<PageRun>();
    run->source = source;
    run->isSubReport = subPages.contains(i) && i > 0;
    auto page = std::make_unique<TfrPage>();
    page->pgSize = source->pgSize;
    page->pgWidth = source->pgWidth;
    page->pgHeight = source->pgHeight;
    page->pgMargins = source->pgMargins;
    page->pgOr = source->pgOr;
    page->PrintToPrevPage = source->PrintToPrevPage;
    page->UseMargins = source->UseMargins;
    page->PrnInfo = source->PrnInfo;
    page->ColCount = source->ColCount;
    page->ColGap = source->ColGap;
    for (int j = 0; j < source->ObjectCount(); ++j)
      if (auto copy = CloneView(source->Object(j))) page->Add(std::move(copy));
    run->page = std::move(page);

    const TfrPrnInfo &info = run->page->PrnInfo;
    const TRect &m = run->page->pgMargins;
    if (run->page->UseMargins) {
      run->leftMargin = m.Left ? m.Left : info.Ofx;
      run->topMargin = m.Top ? m.Top : info.Ofy;
      run->rightMargin = m.Right ? info.Pgw - m.Right : info.Ofx + info.Pw;
      run->bottomMargin = m.Bottom ? info.Pgh - m.Bottom : info.Ofy + info.Ph;
    } else {
      run->leftMargin = 0;
      run->topMargin = 0;
      run->rightMargin = info.Pgw;
      run->bottomMargin = info.Pgh;
    }
    // A page stored without columns has one.
    run->colCount = std::max(1, int(run->page->ColCount));
    run->colGap = std::max(0, int(run->page->ColGap));
    // Reckoned wide, so that damaged column counts and gaps cannot overflow.
    run->colWidth =
        frCoord((double(run->rightMargin) - run->leftMargin - (double(run->colCount) - 1) * run->colGap) /
                run->colCount);
    run->page->ColWidth = run->colWidth;
    run->xAdjust = run->leftMargin;
    InitBands(*run);
    pages_.push_back(std::move(run));
  }
}

void TfrPageBuilder::InitBands(PageRun &run) {
  TfrPage *page = run.page.get();
  std::vector<TfrBandView *> bandViews;
  std::vector<TfrView *> printable;
  for (int i = 0; i < page->ObjectCount(); ++i) {
    TfrView *view = page->Object(i);
    if (auto band = dynamic_cast<TfrBandView *>(view))
      bandViews.push_back(band);
    else
      printable.push_back(view);
  }
  // Bands of a type are chained top to bottom.
  std::stable_sort(bandViews.begin(), bandViews.end(),
                   [](const TfrBandView *a, const TfrBandView *b) { return a->Top < b->Top; });
  std::vector<bool> attached(printable.size(), false);

  for (int type = 0; type < frBandTypeCount; ++type) {
    TfrBand *last = nullptr;
    for (TfrBandView *view : bandViews) {
      if (view->BandType() != type) continue;
      auto owned = std::make_unique<TfrBand>(page, view, run.isSubReport);
      TfrBand *band = owned.get();
      run.bands.push_back(std::move(owned));
      if (last)
        last->Next = band;
      else
        page->Bands[type] = band;
      last = band;

      if (type == btGroupHeader)
        band->GroupCondition = view->FormatStr;
      else if (!view->FormatStr.isEmpty() && !view->FormatStr.contains(QLatin1Char(';')))
        band->DataSet = RecordSourceByName(view->FormatStr.trimmed(), band);
      if (type == btMasterData && !band->DataSet && report_->ReportType == rtSimple && report_->Dataset()) {
        band->DataSet = report_->Dataset();
        band->DataSet->Init();
      }

      // Objects lying on the band: other objects first, subreports last. Cross bands lie across the page
      // and take their objects from the bands they cross, below.
      for (int pass = 0; pass < 2 && !IsCrossBand(type); ++pass) {
        for (size_t i = 0; i < printable.size(); ++i) {
          TfrView *object = printable[i];
          const bool subReport = object->Typ == gtSubReport;
          if (attached[i] || subReport != (pass == 1)) continue;
          if (object->Top >= band->y && object->Top <= band->y + band->dy) {
            attached[i] = true;
            object->Top -= band->y;
            object->Parent = band;
            band->Objects.push_back(object);
          }
        }
      }
    }
  }

  // Cells and totals where the cross strips cross the other bands.
  TfrBand *crossData = page->Bands[btCrossData];
  TfrBand *crossFooter = page->Bands[btCrossFooter];
  if (crossData) {
    for (auto &band : run.bands) {
      if (IsCrossBand(band->Typ)) continue;
      std::vector<TfrView *> own;
      for (TfrView *object : band->Objects) {
        if (object->Typ != gtSubReport && InStrip(object, crossData))
          band->CrossCells.push_back(object);
        else if (object->Typ != gtSubReport && InStrip(object, crossFooter))
          band->CrossTotals.push_back(object);
        else
          own.push_back(object);
      }
      band->Objects = std::move(own);
    }
  }

  // Headers and footers of the data bands, by their order on the page.
  for (int level = 1; level <= 3; ++level) {
    TfrBand *header = page->Bands[LevelHeader[level]];
    TfrBand *footer = page->Bands[LevelFooter[level]];
    for (TfrBand *data = page->Bands[LevelData[level]]; data; data = data->Next) {
      data->HeaderBand = header;
      data->FooterBand = footer;
      if (header) header = header->Next;
      if (footer) footer = footer->Next;
    }
  }
  // Groups nest: the innermost header (the lowest) closes with the first footer.
  for (TfrBand *group = page->Bands[btGroupHeader]; group; group = group->Next) run.groups.push_back(group);
  TfrBand *footer = page->Bands[btGroupFooter];
  for (auto it = run.groups.rbegin(); it != run.groups.rend() && footer; ++it, footer = footer->Next)
    (*it)->GroupFooter = footer;

  // The deepest data level in use.
  run.maxLevel = 0;
  for (int level = 1; level <= 3; ++level)
    if (TfrBand *data = page->Bands[LevelData[level]]; data && data->Visible) run.maxLevel = level;
}

TfrDataset *TfrPageBuilder::RecordSourceByName(const QString &Name, TfrBand *Band) {
  if (!Name.isEmpty() && Name[0] >= QLatin1Char('1') && Name[0] <= QLatin1Char('9')) {
    auto counted = std::make_unique<TfrUserDataset>(nullptr);
    counted->SetRangeEnd(reCount);
    counted->SetRangeEndCount(StrToIntDef(Name, 0));
    counted->Init();
    Band->SetOwnedDataSet(std::move(counted));
    return Band->DataSet;
  }
  TfrDataset *source = dynamic_cast<TfrDataset *>(FindReportDataset(Name));
  if (source) source->Init();
  return source;
}

void TfrPageBuilder::FreeBands() {
  std::vector<TfrDataset *> done;
  for (auto &run : pages_) {
    for (auto &band : run->bands) {
      if (band->DataSet && std::find(done.begin(), done.end(), band->DataSet) == done.end()) {
        done.push_back(band->DataSet);
        try {
          band->DataSet->Done();
        } catch (const Exception &) {
          // A source that cannot be put back does not keep the other sources from being released.
        }
      }
    }
    for (int i = 0; i < frBandTypeCount; ++i) run->page->Bands[i] = nullptr;
    run->bands.clear();
  }
  pages_.clear();
  cur_ = nullptr;
}

// ---- forming pages ----

int TfrPageBuilder::BottomLimit() const {
  TfrBand *footer = cur_->Band(btPageFooter);
  return cur_->bottomMargin - (footer && footer->Visible ? footer->dy : 0);
}

void TfrPageBuilder::AddPage() {
  TfrEMFPages &emf = report_->EMFPages();
  emf.Add(cur_->page.get());
  pageNo_ = emf.Count() - 1;
}

void TfrPageBuilder::MarkFresh() {
  freshY_ = cur_->page->CurY;
  freshPage_ = pageNo_;
}

bool TfrPageBuilder::Fresh() const { return cur_->page->CurY == freshY_ && pageNo_ == freshPage_; }

void TfrPageBuilder::FormPage(PageRun &run) {
  TfrPage *page = run.page.get();
  TfrEMFPages &emf = report_->EMFPages();
  const bool continuing = continuing_ && emf.Count() > 0;
  page->CurBottomY = continuing ? keptBottom_ : BottomLimit();
  run.curColumn = 0;
  run.xAdjust = run.leftMargin;
  run.curPos = 1;
  if (!continuing) {
    AddPage();
    page->CurY = run.topMargin;
    ShowBand(run.Band(btOverlay));
    ShowBand(run.Band(btNone));
  } else {
    pageNo_ = emf.Count() - 1;
    page->CurY = keptY_;
  }
  run.colPos = page->CurY;
  MarkFresh();

  const int pagesBefore = emf.Count();
  ShowBand(run.Band(btReportTitle));
  if (emf.Count() == pagesBefore) {
    TfrBand *header = run.Band(btPageHeader);
    if (header && header->Visible && (header->Flags & flBandOnFirstPage)) ShowBand(header);
    ShowBand(run.Band(btColumnHeader));
  }
  if (run.maxLevel > 0 && !report_->Terminated()) DoLoop(1);
  ShowBand(run.Band(btColumnFooter));
  ShowBand(run.Band(btReportSummary));

  keptY_ = run.curColumn > 0 ? run.bottomMargin : page->CurY;
  keptBottom_ = page->CurBottomY;
  run.curColumn = 0;
  run.xAdjust = run.leftMargin;
  TfrBand *footer = run.Band(btPageFooter);
  if (footer && footer->Visible && (footer->Flags & flBandOnLastPage)) PrintOwedFooters();
}

void TfrPageBuilder::PrintOwedFooters() {
  TfrEMFPages &emf = report_->EMFPages();
  TfrBand *footer = cur_->Band(btPageFooter);
  for (int i = std::max(0, pageNo_); i < emf.Count(); ++i) {
    pageNo_ = i;
    if (report_->OnEndPage) report_->OnEndPage(i);
    if (footer && (i > 0 || (footer->Flags & flBandOnFirstPage))) ShowBand(footer);
  }
  pageNo_ = emf.Count() - 1;
}

void TfrPageBuilder::NewPage(bool Reprint) {
  if (cur_->parent) {
    BreakOutOfSubReport(false);
    return;
  }
  PageRun &run = *cur_;
  TfrPage *page = run.page.get();
  BreakScope breaking(breaking_);
  report_->ShowProgressPage(report_->EMFPages().Count() + 1);
  ShowBand(run.Band(btColumnFooter));
  PrintOwedFooters();
  page->CurBottomY = BottomLimit();
  AddPage();
  run.curColumn = 0;
  run.xAdjust = run.leftMargin;
  ShowBand(run.Band(btOverlay));
  page->CurY = run.topMargin;
  run.colPos = page->CurY;
  MarkFresh();
  ShowBand(run.Band(btPageHeader));
  ShowBand(run.Band(btColumnHeader));
  if (Reprint) ReprintHeaders();
  MarkFresh();
}

void TfrPageBuilder::NewColumn() {
  if (cur_->parent) {
    BreakOutOfSubReport(true);
    return;
  }
  PageRun &run = *cur_;
  BreakScope breaking(breaking_);
  if (run.curColumn < run.colCount - 1) {
    ShowBand(run.Band(btColumnFooter));
    ++run.curColumn;
    run.xAdjust = frCoord(double(run.xAdjust) + run.colWidth + run.colGap);
    run.page->CurY = run.colPos;
    MarkFresh();
    ShowBand(run.Band(btColumnHeader));
  } else {
    NewPage(false);
  }
  ReprintHeaders();
  MarkFresh();
}

// Headers of the data bands being walked that ask to be repeated, outermost first; a header still waiting
// to print, or the band whose overflow started the page, is not shown twice.
void TfrPageBuilder::ReprintHeaders() {
  for (int level = 1; level <= 3; ++level) {
    TfrBand *data = activeData_[level];
    if (!data) continue;
    TfrBand *header = data->HeaderBand;
    if (!header || !header->RepeatHeader || header == showing_) continue;
    if (std::find(cur_->pending.begin(), cur_->pending.end(), header) != cur_->pending.end()) continue;
    ShowBand(header);
  }
}

// ---- data ----

void TfrPageBuilder::DoLoop(int Level) {
  PageRun &run = *cur_;
  TfrBand *first = run.Band(LevelData[Level]);
  for (TfrBand *band = first; band; band = band->Next) {
    TfrDataset *source = band->DataSet;
    if (!source) continue;
    TfrBand *const savedActive = activeData_[Level];
    activeData_[Level] = band;
    source->First();
    band->LineNo = 1;
    for (TfrBand *group : run.groups) group->LineNo = group->LineThrough = 0;
    if (source->Eof()) {
      activeData_[Level] = savedActive;
      continue;
    }
    if (Level == 1)
      for (TfrBand *group : run.groups) ShowGroupHeader(group);
    if (band->HeaderBand) run.pending.push_back(band->HeaderBand);
    if (band->FooterBand) band->FooterBand->ClearAggregates();

    bool footerShown = false;
    while (!source->Eof()) {
      // The user's Cancel is heard every few milliseconds, not at the cost of a look at the queue per record.
      if (!messageClock_.isValid() || messageClock_.elapsed() >= 5) {
        Application()->ProcessMessages();
        messageClock_.start();
      }
      if (report_->Terminated()) break;
      run.pending.push_back(band);
      bool printed = true;
      if (Level < run.maxLevel) {
        DoLoop(Level + 1);
        if (!run.pending.empty()) {
          if (band->PrintIfSubsetEmpty) {
            PrintPending();
          } else {
            RemovePending(band);
            printed = false;
          }
        }
      } else {
        PrintPending();
      }
      if (report_->Terminated()) break;
      source->Next();
      const bool restart = Level == 1 && run.HasGroups() && CheckGroups(band, footerShown);
      if (printed) {
        ++run.curPos;
        ++band->LineThrough;
        ++band->LineNo;
        if (!source->Eof() && band->NewPageAfter) NewPage(true);
      }
      if (restart) band->LineNo = 1;
    }
    const bool headerPending = band->HeaderBand && std::find(run.pending.begin(), run.pending.end(),
                                                             band->HeaderBand) != run.pending.end();
    if (headerPending)
      RemovePending(band->HeaderBand);
    else if (!footerShown && !report_->Terminated())
      ShowBand(band->FooterBand);
    activeData_[Level] = savedActive;
    if (report_->Terminated()) return;
  }
}

// After a move to the next record: closes and opens groups whose condition changed. True when the data
// band's line number starts again. At the end of the source every group closes, and the data band's
// footer is shown here (FooterShown) rather than a second time by the loop.
bool TfrPageBuilder::CheckGroups(TfrBand *Data, bool &FooterShown) {
  PageRun &run = *cur_;
  TfrDataset *source = Data->DataSet;
  int changed = -1;
  const bool atEnd = source->Eof();
  for (int i = 0; i < int(run.groups.size()) && changed < 0; ++i) {
    TfrBand *group = run.groups[size_t(i)];
    if (atEnd) {
      changed = 0;
      break;
    }
    Variant value;
    try {
      CurrentBandScope scope(group, group);
      value = ReportParser()->Calc(group->GroupCondition);
    } catch (const Exception &e) {
      FailWith(e, nullptr);
      return false;
    }
    if (VarCompare(value, group->LastGroupValue) != 0) changed = i;
  }
  if (changed < 0) return false;
  ShowBand(Data->FooterBand);
  for (int i = int(run.groups.size()) - 1; i >= changed; --i) {
    TfrBand *group = run.groups[size_t(i)];
    ShowBand(group->GroupFooter);
    group->LineNo = 0;
  }
  if (atEnd) {
    FooterShown = true;
    return false;
  }
  if (run.groups[size_t(changed)]->NewPageAfter) NewPage(false);
  for (int i = changed; i < int(run.groups.size()); ++i) ShowGroupHeader(run.groups[size_t(i)]);
  ShowBand(Data->HeaderBand);
  return true;
}

void TfrPageBuilder::ShowGroupHeader(TfrBand *Group) {
  ++Group->LineNo;
  ++Group->LineThrough;
  ShowBand(Group);
}

void TfrPageBuilder::PrintPending() {
  std::vector<TfrBand *> bands;
  bands.swap(cur_->pending);
  for (TfrBand *band : bands) {
    if (report_->Terminated()) break;
    ShowBand(band);
  }
}

void TfrPageBuilder::RemovePending(TfrBand *Band) {
  auto &pending = cur_->pending;
  auto it = std::find(pending.rbegin(), pending.rend(), Band);
  if (it != pending.rend()) pending.erase(std::next(it).base());
}

// Every footer takes in the record just printed: its totals are marked as not yet counted and its text
// objects are expanded, which makes the aggregate functions add the record.
void TfrPageBuilder::DoAggregate() {
  TfrEngineBand *const current = frEngine().CurBand;
  for (int type : AggregateBands) {
    for (TfrBand *footer = cur_->Band(type); footer; footer = footer->Next) {
      CurrentBandScope scope(current, footer);
      UnmarkCounted(footer->Values);
      for (TfrView *view : footer->Objects)
        if (!TakeIn(view)) return;
      ++footer->Count;
    }
  }
}

// Expands a text object's lines without printing them, so that its aggregate functions take in the record.
bool TfrPageBuilder::TakeIn(TfrView *View) {
  if (View->Typ != gtMemo || report_->Terminated()) return !report_->Terminated();
  frEngine().CurView = View;
  // Totals are function calls: only the bracketed expressions that call one are evaluated, and nothing is
  // formatted.
  try {
    const QList<TfrTextPlanLine> lines = TextPlan(View).Lines();
    for (const TfrTextPlanLine &line : lines)
      for (const TfrTextExpression &expression : line.expressions)
        if (expression.callsFunction) {
          Variant value;
          GetValue(expression.expression, value);
        }
  } catch (const Exception &e) {
    FailWith(e, View);
    return false;
  }
  return true;
}

// ---- bands ----

void TfrPageBuilder::ShowBand(TfrBand *Band) {
  if (!Band || report_->Terminated()) return;
  TfrBand *const saved = showing_;
  showing_ = Band;
  try {
    DrawBand(Band);
  } catch (...) {
    showing_ = saved;
    throw;
  }
  showing_ = saved;
}

void TfrPageBuilder::DrawBand(TfrBand *Band) {
  PageRun &run = *cur_;
  TfrPage *page = run.page.get();
  CurrentBandScope scope(Band, Band);
  if (report_->OnBeginBand) report_->OnBeginBand(Band);
  if (Band->Script.Count() > 0) {
    // The band's own script speaks of the band: "Visible := 0" hides it.
    frEngine().CurView = Band->View;
    try {
      ReportInterpreter()->RunScript(&Band->Script, Band->CompiledScript, Band->BandName());
    } catch (const Exception &e) {
      FailWith(e, nullptr);
      return;
    }
  }
  // Bands shown while a page or column is being started (headers, footers) cannot start another one.
  if (Band->ForceNewPage) {
    Band->ForceNewPage = false;
    if (breaking_ == 0) {
      run.curColumn = run.colCount - 1;
      NewColumn();
    }
  }
  if (Band->ForceNewColumn) {
    Band->ForceNewColumn = false;
    if (breaking_ == 0) NewColumn();
  }

  if (Band->Visible) {
    Band->printing = true;
    const int type = Band->Typ;
    if (type == btColumnHeader) run.colPos = page->CurY;
    if (type == btPageFooter) page->CurY = page->CurBottomY;
    if (type == btOverlay || type == btNone) {
      std::vector<TfrView *> objects = PrepareObjects(Band);
      if (!frModel().FirstPass && !report_->Terminated()) PlaceObjects(Band, objects, Band->y, Band->dy);
    } else {
      const TfrBand *columnFooter = run.Band(btColumnFooter);
      const int footerRoom = columnFooter && columnFooter->Visible ? columnFooter->dy : 0;
      const bool measured = !Band->Objects.empty() && type != btPageFooter;
      // A stretched band must be evaluated to know its height; others are evaluated where they print.
      std::vector<TfrView *> objects;
      bool prepared = false;
      if (Band->Stretched) {
        objects = PrepareObjects(Band);
        prepared = true;
      }
      int height = Band->Stretched ? BandHeight(Band, objects) : Band->dy;
      // Cross columns wrapped to further rows make the band as many times taller.
      const bool crossing = HasCrossObjects(Band);
      std::vector<CrossColumn> columns;
      int rowHeight = height;
      if (crossing) {
        int rows = 1;
        columns = LayCrossColumns(Band, rows);
        height = rowHeight * rows;
      }
      // Bands of the chain without a source of their own print with a data band: they must fit too.
      int chainHeight = 0;
      if (IsDataBand(type))
        for (TfrBand *next = Band->Next; next && !next->DataSet; next = next->Next)
          if (next->Visible) chainHeight += next->dy;
      const bool fits = page->CurY + height + chainHeight + footerRoom <= page->CurBottomY;
      if (measured && !fits && !Band->AllowSplit && !Fresh() && breaking_ == 0 && !report_->Terminated()) {
        NewColumn();
        if (prepared) {
          // Evaluated again where it now prints (its page number may have changed).
          objects = PrepareObjects(Band);
          rowHeight = BandHeight(Band, objects);
          height = crossing && !columns.empty() ? rowHeight * (columns.back().row + 1) : rowHeight;
        }
      }
      if (!prepared) objects = PrepareObjects(Band);
      if (report_->Terminated()) {
        Band->printing = false;
        return;
      }
      Band->y = page->CurY;
      Band->maxdy = height;
      const int top = page->CurY;
      const int startPage = pageNo_;
      if (measured && Band->AllowSplit && !crossing && breaking_ == 0 &&
          page->CurY + height + footerRoom > page->CurBottomY) {
        SplitBand(Band, objects, height);
      } else {
        if (!frModel().FirstPass) PlaceObjects(Band, objects, top, rowHeight);
        if (crossing) PrintCross(Band, columns, top, rowHeight);
        page->CurY = top + height;
      }
      // After a split the subreports go on below the band's last slice.
      RunSubReports(Band, top, startPage);
    }
  }
  // A data band with a source takes its record into the totals once, and brings the bands chained after it
  // that have no source of their own.
  if (IsDataBand(Band->Typ) && Band->DataSet) {
    DoAggregate();
    if (Band->Visible)
      for (TfrBand *next = Band->Next; next && !next->DataSet; next = next->Next) ShowBand(next);
  }
  Band->printing = false;
  AfterPrint(Band);
  if (Band->Typ == btReportTitle && Band->NewPageAfter && Band->Visible) NewPage(false);
  if (report_->OnEndBand) report_->OnEndBand(Band);
}

void TfrPageBuilder::AfterPrint(TfrBand *Band) {
  if (Band->Typ == btGroupHeader) {
    const auto &groups = cur_->groups;
    auto it = std::find(groups.begin(), groups.end(), Band);
    for (; it != groups.end(); ++it) {
      TfrBand *group = *it;
      if (group->GroupFooter) group->GroupFooter->ClearAggregates();
      try {
        CurrentBandScope scope(group, group);
        group->LastGroupValue = ReportParser()->Calc(group->GroupCondition);
      } catch (const Exception &e) {
        FailWith(e, nullptr);
        return;
      }
    }
    return;
  }
  if (!Band->Visible) return;
  if (Band->Typ == btPageFooter && pageNo_ != report_->EMFPages().Count() - 1) return;
  Band->ClearAggregates();
}

std::vector<TfrView *> TfrPageBuilder::PrepareObjects(TfrBand *Band) {
  std::vector<TfrView *> objects;
  for (TfrView *view : Band->Objects) {
    if (report_->Terminated()) break;
    if (PrepareObject(view)) objects.push_back(view);
  }
  return objects;
}

// The height of a stretched band. A stretched object that needs more room than it was given pushes down the
// objects lying below it (overlapping it across), and those push what lies below them, so that a long text
// never runs into what follows; the band grows to hold them.
int TfrPageBuilder::BandHeight(TfrBand *Band, const std::vector<TfrView *> &Objects) {
  std::vector<TfrView *> order;
  for (TfrView *view : Objects)
    if (view->Visible) order.push_back(view);
  std::stable_sort(order.begin(), order.end(),
                   [](const TfrView *a, const TfrView *b) { return a->Top < b->Top; });
  int height = Band->dy;
  for (size_t i = 0; i < order.size(); ++i) {
    TfrView *view = order[i];
    Flow flow;
    for (size_t j = 0; j < i; ++j) {
      const TfrView *above = order[j];
      if (above->Top + above->Height > view->Top || above->Left >= view->Left + view->Width ||
          view->Left >= above->Left + above->Width)
        continue;
      Flow &pushing = flow_[above];
      flow.shift = std::max(flow.shift, pushing.shift + pushing.growth);
      pushing.pushes = true;
    }
    auto stretcheable = dynamic_cast<TfrStretcheable *>(view);
    if (stretcheable && (view->Flags & flStretched)) {
      flow.needed = frCoord(stretcheable->CalcHeight());
      flow.growth = std::max(0, flow.needed - view->Height);
      height = std::max(height, view->Top + flow.shift + flow.needed);
    } else {
      // An object that does not measure its content (a picture scaled into its box) needs its own height.
      flow.needed = view->Height;
    }
    // What was pushed keeps the room the design left below it.
    if (flow.shift > 0) height = std::max(height, Band->dy + flow.shift + flow.growth);
    flow_[view] = flow;
  }
  return height;
}

// Where an object of a band of that height goes: moved down by what pushed it; a stretched object in a
// stretched band reaches down to the band's bottom unless it pushed something below it.
void TfrPageBuilder::Place(const TfrBand *Band, const TfrView *View, int Height, int &Top,
                           int &ObjectHeight) {
  Top = View->Top;
  ObjectHeight = View->Height;
  if (!Band->Stretched) return;
  const auto it = flow_.find(View);
  const Flow flow = it != flow_.end() ? it->second : Flow{};
  Top += flow.shift;
  if (View->Flags & flStretched) ObjectHeight = flow.pushes ? flow.needed : Height - Top;
}

void TfrPageBuilder::PlaceObjects(TfrBand *Band, const std::vector<TfrView *> &Objects, int Top, int Height) {
  const int shift = cur_->xAdjust - cur_->leftMargin;
  for (TfrView *view : Objects) {
    if (!view->Visible || view->Typ == gtSubReport || report_->Terminated()) continue;
    int top = 0, height = 0;
    Place(Band, view, Height, top, height);
    WriteObject(view, view->Left + shift, Top + top, height);
  }
}

void TfrPageBuilder::WriteObject(TfrView *View, int Left, int Top, int Height) {
  frEngine().CurView = View;
  try {
    PlacementScope restore(View);
    View->Left = Left;
    View->Top = Top;
    View->Height = Height;
    TMemoryStream *stream = report_->EMFPages()[pageNo_].Stream.get();
    stream->SetPosition(stream->Size());
    View->PrintToStream(stream);
  } catch (const Exception &e) {
    FailWith(e, View);
  }
}

void TfrPageBuilder::WriteTextPart(TfrMemoView *Memo, const QStringList &Lines, int Left, int Top,
                                   int Height) {
  TStringList saved;
  saved.Assign(&Memo->Memo1);
  Memo->Memo1.Clear();
  for (const QString &line : Lines) Memo->Memo1.Add(line);
  WriteObject(Memo, Left, Top, Height);
  Memo->Memo1.Assign(&saved);
}

// A band allowed to split that does not fit is printed in slices. In each slice the objects that fit are
// printed, a text object crossing the limit prints the lines that fit and keeps the rest, other objects
// crossing it wait; what is left moves up by the room used and continues in a new column or page. A slice
// that starts a fresh page always prints something: the waiting object nearest the top is placed and
// clipped to the page (or, for a text, at least one line), so the split ends.
struct TfrPageBuilder::Piece {
  TfrView *view = nullptr;
  int top = 0;
  int height = 0;
  // For a text: its laid-out lines not yet printed, the height of a line and of the gaps around the text.
  QList<TfrTextLine> lines;
  int step = 0;
  int gaps = 0;
  bool text = false;
};

void TfrPageBuilder::SplitBand(TfrBand *Band, const std::vector<TfrView *> &Objects, int Height) {
  PageRun &run = *cur_;
  TfrPage *page = run.page.get();
  const TfrBand *columnFooter = run.Band(btColumnFooter);
  const int footerRoom = columnFooter && columnFooter->Visible ? columnFooter->dy : 0;

  std::vector<Piece> pieces;
  for (TfrView *view : Objects) {
    // Subreports print their own bands once the band is done.
    if (!view->Visible || view->Typ == gtSubReport) continue;
    Piece piece;
    piece.view = view;
    Place(Band, view, Height, piece.top, piece.height);
    if (auto memo = dynamic_cast<TfrMemoView *>(view); memo && !(memo->Adjust & frtaVertical)) {
      piece.text = true;
      piece.lines = memo->LayoutLines();
      piece.step = std::max(1, memo->StepHeight());
      const int full = memo->CalcHeight();
      piece.gaps = std::max(0, full - int(piece.lines.size()) * piece.step);
    }
    pieces.push_back(std::move(piece));
  }

  int remaining = Height;
  bool fresh = Fresh();
  while (!report_->Terminated()) {
    const int limit = page->CurBottomY - footerRoom - page->CurY;
    const int left = run.xAdjust - run.leftMargin;
    bool printedAny = false;
    int extent = 0;
    std::vector<Piece> waiting;
    auto writeText = [&](Piece &piece, int count, int top, int height) {
      QStringList lines;
      bool paragraphEnd = false;
      for (int i = 0; i < count; ++i) {
        lines.append(frEncodeTextLine(piece.lines[i]));
        paragraphEnd = paragraphEnd || piece.lines[i].ParagraphEnd;
      }
      if (!paragraphEnd) lines.append(QString(QChar(1)));
      if (!frModel().FirstPass)
        WriteTextPart(static_cast<TfrMemoView *>(piece.view), lines, piece.view->Left + left,
                      page->CurY + top, height);
      piece.lines.erase(piece.lines.begin(), piece.lines.begin() + count);
    };
    for (Piece &piece : pieces) {
      if (piece.top + piece.height <= limit) {
        if (piece.text && !piece.lines.isEmpty()) {
          writeText(piece, int(piece.lines.size()), piece.top, piece.height);
        } else if (!frModel().FirstPass) {
          WriteObject(piece.view, piece.view->Left + left, page->CurY + piece.top, piece.height);
        }
        extent = std::max(extent, piece.top + piece.height);
        printedAny = true;
        continue;
      }
      if (piece.text && piece.top < limit) {
        const int fit = (limit - piece.top - piece.gaps) / piece.step;
        if (fit >= 1 && fit < int(piece.lines.size())) {
          const int height = fit * piece.step + piece.gaps;
          writeText(piece, fit, piece.top, height);
          extent = std::max(extent, piece.top + height);
          piece.height = int(piece.lines.size()) * piece.step + piece.gaps;
          printedAny = true;
        }
      }
      waiting.push_back(std::move(piece));
    }
    if (waiting.empty()) {
      page->CurY += std::max(extent, remaining);
      return;
    }
    auto topmost = std::min_element(waiting.begin(), waiting.end(),
                                    [](const Piece &a, const Piece &b) { return a.top < b.top; });
    if (!printedAny && fresh && (topmost->top == 0 || limit <= 0)) {
      // What starts at the top of a fresh page and still does not fit is placed and clipped to the page.
      Piece &piece = *topmost;
      const int top = std::clamp(piece.top, 0, std::max(0, limit));
      const int room = std::max(0, limit - top);
      if (piece.text && !piece.lines.isEmpty()) {
        const int count = std::clamp((room - piece.gaps) / piece.step, 1, int(piece.lines.size()));
        writeText(piece, count, top, room);
        piece.height = int(piece.lines.size()) * piece.step + piece.gaps;
        if (piece.lines.isEmpty()) waiting.erase(topmost);
      } else {
        if (!frModel().FirstPass) WriteObject(piece.view, piece.view->Left + left, page->CurY + top, room);
        waiting.erase(topmost);
      }
      if (waiting.empty()) {
        page->CurY += std::max(0, limit);
        return;
      }
    }
    const int used = std::max(0, limit);
    remaining = std::max(0, remaining - used);
    for (Piece &piece : waiting) piece.top = std::max(0, piece.top - used);
    pieces = std::move(waiting);
    NewColumn();
    fresh = true;
  }
}

// ---- subreports ----

// The subreports of a band print the bands of their pages beside it, one after another, each from the
// band's top at the subreport object's place. The band's page goes on below the lowest of them.
void TfrPageBuilder::RunSubReports(TfrBand *Band, int Top, int StartPage) {
  PageRun &parent = *cur_;
  int bottom = parent.page->CurY;
  int bottomPage = StartPage;
  for (TfrView *view : Band->Objects) {
    auto sub = dynamic_cast<TfrSubReportView *>(view);
    if (!sub || !sub->Visible || report_->Terminated()) continue;
    if (sub->SubPage < 0 || sub->SubPage >= int(pages_.size())) continue;
    PageRun &run = *pages_[size_t(sub->SubPage)];
    if (!run.isSubReport || run.parent || &run == &parent) continue;
    // A subreport after one that moved on to later pages starts where that one ended.
    const int start = pageNo_ == StartPage ? Top + sub->Top : parent.page->CurY;
    run.parent = &parent;
    std::copy(std::begin(activeData_), std::end(activeData_), std::begin(run.parentData));
    std::fill(std::begin(activeData_), std::end(activeData_), nullptr);
    run.subLeft = sub->Left;
    run.xAdjust = parent.xAdjust - parent.leftMargin + sub->Left;
    run.page->CurY = start;
    run.page->CurBottomY = parent.page->CurBottomY;
    run.pending.clear();
    run.curPos = 1;
    cur_ = &run;
    frEngine().CurPage = run.page.get();
    try {
      ShowBand(run.Band(btReportTitle));
      if (run.maxLevel > 0 && !report_->Terminated()) DoLoop(1);
      ShowBand(run.Band(btReportSummary));
    } catch (...) {
      std::copy(std::begin(run.parentData), std::end(run.parentData), std::begin(activeData_));
      run.parent = nullptr;
      cur_ = &parent;
      frEngine().CurPage = parent.page.get();
      throw;
    }
    const int end = run.page->CurY;
    std::copy(std::begin(run.parentData), std::end(run.parentData), std::begin(activeData_));
    run.parent = nullptr;
    cur_ = &parent;
    frEngine().CurPage = parent.page.get();
    if (pageNo_ != bottomPage) {
      bottomPage = pageNo_;
      bottom = end;
    } else {
      bottom = std::max(bottom, end);
    }
    parent.page->CurY = bottom;
  }
}

// ---- cross bands ----

bool TfrPageBuilder::HasCrossObjects(const TfrBand *Band) const {
  const TfrBand *data = cur_->Band(btCrossData);
  return data && data->DataSet && data->Visible && (!Band->CrossCells.empty() || !Band->CrossTotals.empty());
}

// The place of each column of the cross source: side by side from the cross data strip's left, wrapping to
// a further row where the next would pass the page's right margin less the room of the cross footer.
std::vector<TfrPageBuilder::CrossColumn> TfrPageBuilder::LayCrossColumns(TfrBand *Band, int &Rows) {
  PageRun &run = *cur_;
  const TfrBand *data = run.Band(btCrossData);
  const TfrBand *footer = run.Band(btCrossFooter);
  const int start = data->View->Left;
  const int dataEnd = start + data->View->Width;
  const int footerRoom = footer && footer->Visible ? footer->View->Left + footer->View->Width - dataEnd : 0;
  const int right = run.leftMargin + run.colWidth - std::max(0, footerRoom);
  if (report_->OnBeginColumn) report_->OnBeginColumn(Band);
  std::vector<CrossColumn> columns;
  int x = start;
  int row = 0;
  TfrDataset *source = data->DataSet;
  source->First();
  for (int number = 1; !source->Eof() && !report_->Terminated(); ++number) {
    int width = data->View->Width;
    if (report_->OnPrintColumn) report_->OnPrintColumn(number, width);
    width = std::max(1, width);
    if (x + width > right && x > start) {
      ++row;
      x = start;
    }
    columns.push_back({x, row, width});
    x += width;
    source->Next();
  }
  Rows = row + 1;
  return columns;
}

// Prints the band's cells once per column and its cross totals after the last column. A data band's cells
// are records: every footer takes each of them in under its column number, and the cross footer the row's.
void TfrPageBuilder::PrintCross(TfrBand *Band, const std::vector<CrossColumn> &Columns, int Top,
                                int RowHeight) {
  PageRun &run = *cur_;
  TfrPage *page = run.page.get();
  TfrBand *data = run.Band(btCrossData);
  TfrBand *footer = run.Band(btCrossFooter);
  const int shift = run.xAdjust - run.leftMargin;
  const int start = data->View->Left;
  const bool record = IsDataBand(Band->Typ) && Band->DataSet;
  const bool wasCrossing = page->PrintingCross;
  page->PrintingCross = true;
  auto finish = [&] {
    page->PrintingCross = wasCrossing;
    page->CurCrossColumn = 0;
  };
  TfrDataset *source = data->DataSet;
  source->First();
  for (size_t i = 0; i < Columns.size() && !source->Eof() && !report_->Terminated(); ++i) {
    page->CurCrossColumn = int(i) + 1;
    const CrossColumn &column = Columns[i];
    for (TfrView *cell : Band->CrossCells) {
      if (!PrepareObject(cell)) break;
      if (!frModel().FirstPass && cell->Visible)
        WriteObject(cell, column.left + cell->Left - start + shift, Top + column.row * RowHeight + cell->Top,
                    cell->Height);
    }
    if (record && !report_->Terminated()) TakeInCell(Band);
    source->Next();
  }
  // Totals after the last column: a footer's own (of all its cells), else the cross footer's (of the row).
  page->CurCrossColumn = 0;
  const int end = Columns.empty() ? start : Columns.back().left + Columns.back().width;
  const int row = Columns.empty() ? 0 : Columns.back().row;
  TfrBand *totals = IsFooterBand(Band->Typ) || !footer ? Band : footer;
  const bool wasPrinting = totals->printing;
  totals->printing = true;
  {
    CurrentBandScope scope(Band, totals);
    for (TfrView *view : Band->CrossTotals) {
      if (report_->Terminated() || !PrepareObject(view)) break;
      if (!frModel().FirstPass && view->Visible)
        WriteObject(view, end + view->Left - (start + data->View->Width) + shift,
                    Top + row * RowHeight + view->Top, view->Height);
    }
  }
  totals->printing = wasPrinting;
  if (totals != Band) totals->ClearAggregates();
  finish();
}

// Every footer takes in the cell just printed: its cells under the current column, its cross totals under
// column 0; the cross footer takes it in for the row's totals.
void TfrPageBuilder::TakeInCell(TfrBand *Band) {
  TfrPage *page = cur_->page.get();
  const int column = page->CurCrossColumn;
  for (int type : AggregateBands) {
    const bool crossFooter = type == btCrossFooter;
    for (TfrBand *footer = cur_->Band(type); footer; footer = footer->Next) {
      CurrentBandScope scope(Band, footer);
      UnmarkCounted(footer->Values);
      if (crossFooter) {
        for (TfrView *view : Band->CrossTotals)
          if (!TakeIn(view)) return;
        continue;
      }
      for (TfrView *view : footer->CrossCells)
        if (!TakeIn(view)) return;
      page->CurCrossColumn = 0;
      for (TfrView *view : footer->CrossTotals)
        if (!TakeIn(view)) return;
      page->CurCrossColumn = column;
    }
  }
}

// A subreport that runs out of room starts the new column or page of the page it prints on (with that
// page's headers and footers) and goes on there.
void TfrPageBuilder::BreakOutOfSubReport(bool Column) {
  PageRun &run = *cur_;
  PageRun &parent = *run.parent;
  TfrBand *own[4];
  std::copy(std::begin(activeData_), std::end(activeData_), std::begin(own));
  std::copy(std::begin(run.parentData), std::end(run.parentData), std::begin(activeData_));
  parent.page->CurY = run.page->CurY;
  cur_ = &parent;
  frEngine().CurPage = parent.page.get();
  try {
    if (Column)
      NewColumn();
    else
      NewPage(true);
  } catch (...) {
    cur_ = &run;
    std::copy(std::begin(own), std::end(own), std::begin(activeData_));
    throw;
  }
  cur_ = &run;
  frEngine().CurPage = run.page.get();
  std::copy(std::begin(own), std::end(own), std::begin(activeData_));
  run.xAdjust = parent.xAdjust - parent.leftMargin + run.subLeft;
  run.page->CurY = parent.page->CurY;
  run.page->CurBottomY = parent.page->CurBottomY;
  BreakScope breaking(breaking_);
  ReprintHeaders();
  MarkFresh();
}

// ---- objects ----

// Runs the object's script and makes its content: the expanded text of a text object (or the text of the
// BLOB field it shows), the picture of a BLOB field, then lets OnEnterRect change it. False when the object
// failed (the run is then terminated).
bool TfrPageBuilder::PrepareObject(TfrView *View) {
  frEngine().CurView = View;
  auto memo = dynamic_cast<TfrMemoView *>(View);
  // The highlight look of the previous record is taken off first.
  if (memo && ownLooks_.contains(View)) {
    const OwnLook look = ownLooks_.take(View);
    memo->Font.SetStyle(BitsToFontStyle(look.fontStyle));
    memo->Font.SetColor(look.fontColor);
    memo->FillColor = look.fillColor;
  }
  try {
    if (View->Script.Count() > 0) RunScript(View);
    if (!LoadBlobContent(View)) {
      if (memo)
        ExpandText(memo);
      else
        View->Memo1.Assign(&View->Memo);
    }
    if (report_->OnEnterRect) report_->OnEnterRect(&View->Memo1, View);
    if (memo && !memo->HighlightStr.trimmed().isEmpty() &&
        frIsTrue(ReportParser()->Calc(memo->HighlightStr))) {
      ownLooks_.insert(View, {FontStyleToBits(memo->Font.Style()), memo->Font.Color(), memo->FillColor});
      memo->Font.SetStyle(BitsToFontStyle(memo->Highlight.FontStyle));
      memo->Font.SetColor(memo->Highlight.FontColor);
      memo->FillColor = memo->Highlight.FillColor;
    }
  } catch (const Exception &e) {
    FailWith(e, View);
    return false;
  }
  return true;
}

void TfrPageBuilder::RunScript(TfrView *View) {
  TfrCompiledScript &compiled = scripts_[View];
  ReportInterpreter()->RunScript(&View->Script, compiled, View->Name);
}

// The plan of the object's text, made again when its text or format changed.
const TfrTextPlan &TfrPageBuilder::TextPlan(TfrView *View) {
  TfrTextPlan &plan = plans_[View];
  if (!plan.IsPlanOf(View->Memo, View->Format, View->FormatStr))
    plan.Make(View->Memo, View->Format, View->FormatStr);
  return plan;
}

void TfrPageBuilder::ExpandText(TfrView *View) {
  // A copy of the plan's lines: the evaluation may run scripts that change the object's text.
  const QList<TfrTextPlanLine> lines = TextPlan(View).Lines();
  View->Memo1.Clear();
  for (const TfrTextPlanLine &line : lines) {
    if (line.empty) {
      View->Memo1.Add(QString());
      continue;
    }
    QString text = line.literals[0];
    for (qsizetype i = 0; i < line.expressions.size(); ++i) {
      text += EvaluateExpression(line.expressions[i]);
      text += line.literals[i + 1];
    }
    // A value holding line breaks gives several lines.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
      View->Memo1.Add(text);
      continue;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &part : text.split(QLatin1Char('\n'))) View->Memo1.Add(part);
  }
}

QString TfrPageBuilder::EvaluateExpression(const TfrTextExpression &Expression) {
  Variant value;
  GetValue(Expression.expression, value);
  currentValue_ = value;
  return frFormatValue(value, Expression.code, Expression.format);
}

// A text or picture object whose text is a single bracketed name of a BLOB field shows that field.
bool TfrPageBuilder::LoadBlobContent(TfrView *View) {
  if (View->Typ != gtMemo && View->Typ != gtPicture) return false;
  // The name is read once, and a text found once to show no BLOB is not looked at again, while the text's
  // first line stays the same.
  const QString first = View->Memo.Count() > 0 ? View->Memo.Strings(0) : QString();
  BlobLook &look = blobLooks_[View];
  if (!look.read || look.first != first) {
    look.read = true;
    look.first = first;
    look.name = SingleBracketedName(View->Memo);
    look.noBlob = look.name.isEmpty();
  }
  if (look.noBlob) return false;
  const QString name = look.name;
  TField *field = nullptr;
  if (TfrValue *entry = report_->Values().FindValue(name); entry && entry->Typ == 1) {
    TDataSet *dataSet = frDataSetOf(FindReportDataset(entry->DataSet));
    field = dataSet ? dataSet->FindField(entry->Field) : nullptr;
  } else if (TDataSet *dataSet = BandDataSet()) {
    field = dataSet->FindField(name);
  }
  if (!field) return false;
  if (!frIsBlob(field)) {
    look.noBlob = true;
    return false;
  }
  if (View->Typ == gtPicture) {
    View->LoadFromField(field);
    View->Memo1.Assign(&View->Memo);
  } else {
    View->Memo1.Clear();
    if (!field->IsNull()) {
      QString text = field->AsString();
      text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
      for (const QString &line : text.split(QLatin1Char('\n'))) View->Memo1.Add(line);
    }
  }
  return true;
}

void TfrPageBuilder::FailWith(const Exception &Error, TfrView *View) {
  QString text = QStringLiteral("An error occured during calculating");
  if (View)
    for (int i = 0; i < View->Memo.Count(); ++i) text += QChar(13) + View->Memo.Strings(i);
  text += QChar(13) + QStringLiteral("Report: ") + report_->Name();
  const TfrEngineBand *band = frEngine().CurBand;
  text += QChar(13) + QStringLiteral("Band: ") + frBandName(band ? band->BandType() : btNone);
  text += QChar(13) + Error.Message();
  report_->SetError(text);
}

// ---- value lookup ----

TfrBand *TfrPageBuilder::DataBandFor(int BandType) const {
  int level = LevelOf(BandType);
  if (BandType == btCrossHeader || BandType == btCrossData || BandType == btCrossFooter) {
    return cur_ ? cur_->Band(btCrossData) : nullptr;
  }
  if (level == 0) level = 1;
  if (activeData_[level]) return activeData_[level];
  if (!cur_) return nullptr;
  for (TfrBand *band = cur_->Band(LevelData[level]); band; band = band->Next)
    if (band->DataSet) return band;
  return nullptr;
}

TDataSet *TfrPageBuilder::BandDataSet() const {
  const TfrEngineBand *current = frEngine().CurBand;
  TfrBand *data = DataBandFor(current ? current->BandType() : btMasterData);
  // Without a band source of its own, a band reads the record the whole report is built for.
  TfrDataset *source = data && data->DataSet ? data->DataSet : report_->Dataset();
  return source ? source->RecordDataSet() : nullptr;
}

bool TfrPageBuilder::FieldValue(TDataSet *DataSet, TField *Field, Variant &Value) const {
  if (!DataSet || !Field) return false;
  if (!DataSet->Active()) DataSet->Open();
  Value = Field->OnGetText() ? Variant(Field->DisplayText()) : Field->AsVariant();
  return true;
}

int TfrPageBuilder::ActiveLineNo(bool Through) const {
  const TfrEngineBand *current = frEngine().CurBand;
  const TfrBand *band = nullptr;
  if (current && IsDataBand(current->BandType()))
    band = static_cast<const TfrBand *>(current);
  else if (current && current->BandType() == btGroupHeader)
    band = static_cast<const TfrBand *>(current);
  else
    band = DataBandFor(current ? current->BandType() : btMasterData);
  if (!band) return 0;
  return Through ? band->LineThrough : band->LineNo;
}

bool TfrPageBuilder::SpecialValue(const QString &Name, Variant &Value) const {
  // Upper case is never shorter: a name longer than the longest special name is none of them.
  if (QStringView(Name).trimmed().size() > qsizetype(std::size("LINETHROUGH#") - 1)) return false;
  const QString name = Name.trimmed().toUpper();
  if (name == QLatin1String("PAGE#")) {
    Value = Variant(pageNo_ + 1);
  } else if (name == QLatin1String("DATE")) {
    Value = Variant::FromDateTime(std::floor(report_->ReportDateTime()));
  } else if (name == QLatin1String("TIME")) {
    const TDateTime now = report_->ReportDateTime();
    Value = Variant::FromDateTime(now - std::floor(now));
  } else if (name == QLatin1String("LINE#")) {
    Value = Variant(ActiveLineNo(false));
  } else if (name == QLatin1String("LINETHROUGH#")) {
    Value = Variant(ActiveLineNo(true));
  } else if (name == QLatin1String("COLUMN#")) {
    Value = Variant(cur_ ? cur_->curColumn + 1 : 1);
  } else if (name == QLatin1String("CURRENT#")) {
    Value = Variant(cur_ ? cur_->curPos : 0);
  } else if (name == QLatin1String("TOTALPAGES")) {
    Value = Variant(report_->TotalPages());
  } else if (name == QLatin1String("VALUE")) {
    Value = currentValue_;
  } else {
    return false;
  }
  return true;
}

bool TfrPageBuilder::SpecialValueByIndex(int Index, const QString &Expression, Variant &Value) {
  if (Index == 1) {
    Value = ReportParser()->Calc(Expression);
    return true;
  }
  if (Index < 0 || Index >= int(std::size(SpecialNames))) return false;
  return SpecialValue(QString::fromLatin1(SpecialNames[Index]), Value);
}

void TfrPageBuilder::GetValue(const QString &Name, Variant &Value) {
  Value = Variant();
  if (report_->OnGetValue) {
    report_->OnGetValue(Name, Value);
    if (!Value.IsEmpty()) return;
  }
  if (TfrValue *entry = report_->Values().FindValue(Name)) {
    switch (entry->Typ) {
    case 0: Value = Variant(QString()); return;
    case 1: {
      TDataSet *dataSet = frDataSetOf(FindReportDataset(entry->DataSet));
      TField *field = dataSet ? dataSet->FindField(entry->Field) : nullptr;
      if (FieldValue(dataSet, field, Value)) return;
      break;
    }
    case 2:
      if (SpecialValueByIndex(entry->OtherKind, entry->Field, Value)) return;
      break;
    case 3: Value = ReportParser()->Calc(entry->Field); return;
    default: break;
    }
  }
  // While cells print, the cross source's fields come first.
  if (cur_ && cur_->page->PrintingCross)
    if (TfrBand *cross = cur_->Band(btCrossData); cross && cross->DataSet)
      if (TDataSet *dataSet = cross->DataSet->RecordDataSet())
        if (FieldValue(dataSet, dataSet->FindField(Name), Value)) return;
  if (TDataSet *dataSet = BandDataSet())
    if (FieldValue(dataSet, dataSet->FindField(Name), Value)) return;
  if (Name.contains(QLatin1Char('.'))) {
    TDataSet *dataSet = nullptr;
    TField *field = nullptr;
    if (FindReportDatasetField(Name, dataSet, field) && FieldValue(dataSet, field, Value)) return;
  }
  if (SpecialValue(Name, Value)) return;
  TfrVariables *variables = ReportVariables();
  if (const int index = variables->IndexOf(Name); index >= 0) {
    Value = variables->Value(index);
    return;
  }
  const QString key = Name.trimmed().toUpper();
  if (evaluating_.contains(key))
    throw EParserError(QStringLiteral("Undefined symbol \"%1\"").arg(Name.trimmed()));
  evaluating_.append(key);
  try {
    Value = ReportParser()->Calc(Name);
  } catch (...) {
    evaluating_.removeOne(key);
    throw;
  }
  evaluating_.removeOne(key);
}
