#include "report/page_builder.h"
#include "platform/core/number_format.h"
#include "platform/windowing/application.h"
#include "report/band_view.h"
#include "report/component_lookup.h"
#include "report/cross_columns.h"
#include "report/memo_view.h"
#include "report/page_builder_run.h"
#include "report/parser.h"
#include "report/report.h"
#include "report/report_dataset.h"

using namespace frbuild;

namespace {

// True when the object's left edge lies in the band's strip across the page.
bool InStrip(const TfrView *object, const TfrBand *strip) {
  return strip && frInStrip(object, strip->View->Left, strip->View->Width);
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

} // namespace

void frbuild::UnmarkCounted(TStringList &values) {
  for (int i = 0; i < values.Count(); ++i) {
    QString line = values.Strings(i);
    const int eq = int(line.indexOf(QLatin1Char('=')));
    if (eq >= 0 && eq + 1 < line.size() && line[eq + 1] == QLatin1Char('1')) {
      line[eq + 1] = QLatin1Char('0');
      values.SetStrings(i, line);
    }
  }
}

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

// ---- subreports ----

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
