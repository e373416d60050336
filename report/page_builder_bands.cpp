// Page building: showing a band. Its script runs first and sees the band where it would print; then the band
// is measured, placed whole where it stands, moved on to a new column or page first, or printed in slices,
// and its objects are written into the prepared page.
#include "report/band_placement.h"
#include "report/band_slicer.h"
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/page_builder_run.h"
#include "report/parser.h"
#include "report/report.h"
#include "report/report_interpreter.h"
#include "report/text_layout.h"
#include <optional>

using namespace frbuild;

namespace {

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

// Overlay and "None" bands print at their own place on the page, whatever has printed before.
bool StandsApart(int type) { return type == btOverlay || type == btNone; }

} // namespace

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
  const int type = Band->Typ;
  // The script sees the band where it would print, and may move it.
  const int ownY = type == btPageFooter ? page->CurBottomY : StandsApart(type) ? Band->View->Top : page->CurY;
  Band->y = ownY;
  Band->x = Band->View->Left + ColumnShift();
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
  const bool moved = Band->y != ownY;
  Band->ScriptShift = Band->x - (Band->View->Left + ColumnShift());
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
    if (StandsApart(type)) {
      std::vector<TfrView *> objects = PrepareObjects(Band);
      if (!frModel().FirstPass && !report_->Terminated())
        PlaceObjects(Band, objects, Band->y, Band->dy, BandBottom(Band));
    } else {
      // A band its script moved stays on the page, above the column footer's room.
      if (moved)
        page->CurY = std::clamp(Band->y, 0, std::max(0, page->CurBottomY - ColumnFooterRoom()));
      else if (type == btPageFooter)
        page->CurY = page->CurBottomY;
      if (type == btColumnHeader) run.colPos = page->CurY;
      if (!PlaceBand(Band)) {
        Band->printing = false;
        return;
      }
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

// Measures the band, finds it room and prints it: whole, after moving on to a new column or page, in slices,
// or, holding cross cells, row after row. False when the run was stopped first.
bool TfrPageBuilder::PlaceBand(TfrBand *Band) {
  TfrPage *page = cur_->page.get();
  const bool crossing = HasCrossObjects(Band);
  // Footers stay where the page and column end; bands shown while a page or column starts stay put.
  const bool mayMove = (!Band->Objects.empty() || crossing) && Band->Typ != btPageFooter &&
                       Band->Typ != btColumnFooter && breaking_ == 0;
  // A stretched band must be evaluated to know its height; others are evaluated where they print.
  std::vector<TfrView *> objects;
  const bool prepared = Band->Stretched;
  if (prepared) objects = PrepareObjects(Band);
  int height = prepared ? BandHeight(Band, objects) : Band->dy;
  // Cross columns wrapped to further rows make the band as many times taller.
  std::optional<TfrCrossColumns> columns;
  if (crossing) columns = LayCrossColumns(Band);
  const int rows = columns ? columns->Rows() : 1;
  auto room = [&] {
    TfrBandRoom room;
    room.y = page->CurY;
    room.reach = std::max(height * rows, ObjectsReach(Band, height)) + ChainHeight(Band);
    room.bottom = page->CurBottomY - ColumnFooterRoom();
    room.maySplit = Band->AllowSplit;
    room.least = crossing ? height : 0;
    room.fresh = Fresh();
    return frPlaceBand(room);
  };
  TfrBandPlacing placing = mayMove && !report_->Terminated() ? room() : TfrBandPlacing::Whole;
  if (placing == TfrBandPlacing::MoveOn) {
    NewColumn();
    if (prepared) {
      // Evaluated again where it now prints (its page number may have changed).
      objects = PrepareObjects(Band);
      height = BandHeight(Band, objects);
    }
    placing = room() == TfrBandPlacing::Whole ? TfrBandPlacing::Whole : TfrBandPlacing::Slices;
  }
  if (!prepared) objects = PrepareObjects(Band);
  if (report_->Terminated()) return false;
  Band->y = page->CurY;
  Band->x = Band->View->Left + BandShift(Band);
  Band->maxdy = height * rows;
  const int top = page->CurY;
  const int startPage = pageNo_;
  if (crossing) {
    PrintCross(Band, objects, *columns, height, mayMove);
  } else if (placing == TfrBandPlacing::Slices) {
    SplitBand(Band, objects, height);
  } else {
    // A band that may not move on (one shown while a page or column starts) is cut at the bottom, and
    // what follows it goes on from there.
    const int bottom = BandBottom(Band);
    if (!frModel().FirstPass) PlaceObjects(Band, objects, top, height, bottom);
    page->CurY = std::min(top + height, std::max(top, bottom));
  }
  // After a split the subreports go on below the band's last slice.
  RunSubReports(Band, top, startPage);
  return true;
}

int TfrPageBuilder::ColumnShift() const { return cur_->xAdjust - cur_->leftMargin; }

int TfrPageBuilder::BandShift(const TfrBand *Band) const { return ColumnShift() + Band->ScriptShift; }

// The room the column footer keeps free below the other bands.
int TfrPageBuilder::ColumnFooterRoom() const {
  const TfrBand *footer = cur_->Band(btColumnFooter);
  return footer && footer->Visible ? footer->dy : 0;
}

// Bands of the chain without a source of their own print with a data band: they must fit too.
int TfrPageBuilder::ChainHeight(const TfrBand *Band) const {
  int height = 0;
  if (IsDataBand(Band->Typ))
    for (const TfrBand *next = Band->Next; next && !next->DataSet; next = next->Next)
      if (next->Visible) height += next->dy;
  return height;
}

// How far below the band's top its lowest visible object reaches, in a band of that height.
int TfrPageBuilder::ObjectsReach(const TfrBand *Band, int Height) const {
  int reach = 0;
  for (const TfrView *view : Band->Objects) {
    if (!view->Visible || view->Typ == gtSubReport) continue;
    int top = 0, height = 0;
    Place(Band, view, Height, top, height);
    reach = std::max(reach, top + height);
  }
  return reach;
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

// The height of a stretched band: its objects flow down as its stretched texts grow.
int TfrPageBuilder::BandHeight(TfrBand *Band, const std::vector<TfrView *> &Objects) {
  return flow_.Measure(Band->dy, Objects, [](const TfrView *view) {
    auto stretcheable = dynamic_cast<TfrStretcheable *>(const_cast<TfrView *>(view));
    return stretcheable && (view->Flags & flStretched) ? frCoord(stretcheable->CalcHeight()) : -1;
  });
}

// Where an object of a band of that height goes: in a stretched band where the flow puts it, else where it
// was designed.
void TfrPageBuilder::Place(const TfrBand *Band, const TfrView *View, int Height, int &Top,
                           int &ObjectHeight) const {
  if (Band->Stretched) {
    flow_.Place(View, Height, Top, ObjectHeight);
    return;
  }
  Top = View->Top;
  ObjectHeight = View->Height;
}

// The lowest y the objects of a band printing whole may reach: a page footer and the bands standing apart
// the paper's bottom, a column footer the bottom limit, any other band the bottom limit less the room the
// column footer keeps.
int TfrPageBuilder::BandBottom(const TfrBand *Band) const {
  const TfrPage *page = cur_->page.get();
  if (Band->Typ == btPageFooter || StandsApart(Band->Typ)) return page->PrnInfo.Pgh;
  if (Band->Typ == btColumnFooter) return page->CurBottomY;
  return page->CurBottomY - ColumnFooterRoom();
}

void TfrPageBuilder::PlaceObjects(TfrBand *Band, const std::vector<TfrView *> &Objects, int Top, int Height,
                                  int Bottom) {
  const int shift = BandShift(Band);
  for (TfrView *view : Objects) {
    if (!view->Visible || view->Typ == gtSubReport || report_->Terminated()) continue;
    int top = 0, height = 0;
    Place(Band, view, Height, top, height);
    WriteWithin(view, view->Left + shift, Top + top, height, Bottom);
  }
}

// Writes an object cut at the bottom; one lying wholly below it does not print.
void TfrPageBuilder::WriteWithin(TfrView *View, int Left, int Top, int Height, int Bottom) {
  if (Top > Bottom || (Top == Bottom && Height > 0)) return;
  WriteObject(View, Left, Top, std::min(Height, Bottom - Top));
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

// The piece an object makes in a band or row printed in slices, at its place there; a text keeps its lines,
// laid out now, to print them part by part.
TfrSlicePiece frbuild::SlicePiece(TfrView *view, int id, int top, int height, QList<TfrTextLine> &lines) {
  TfrSlicePiece piece;
  piece.id = id;
  piece.top = top;
  piece.height = height;
  if (auto memo = dynamic_cast<TfrMemoView *>(view); memo && !(memo->Adjust & frtaVertical)) {
    lines = memo->LayoutLines();
    piece.text = true;
    piece.lines = int(lines.size());
    piece.step = std::max(1, memo->StepHeight());
    piece.gaps = std::max(0, memo->CalcHeight() - piece.lines * piece.step);
  }
  return piece;
}

// A band that does not fit where it stands prints in slices, a new column or page after each; a text
// crossing the limit prints the lines that fit and keeps the rest for the next slice.
void TfrPageBuilder::SplitBand(TfrBand *Band, const std::vector<TfrView *> &Objects, int Height) {
  TfrPage *page = cur_->page.get();
  std::vector<TfrView *> views;
  std::vector<QList<TfrTextLine>> texts;
  std::vector<TfrSlicePiece> pieces;
  for (TfrView *view : Objects) {
    // Subreports print their own bands once the band is done.
    if (!view->Visible || view->Typ == gtSubReport) continue;
    int top = 0, height = 0;
    Place(Band, view, Height, top, height);
    QList<TfrTextLine> lines;
    pieces.push_back(SlicePiece(view, int(views.size()), top, height, lines));
    views.push_back(view);
    texts.push_back(std::move(lines));
  }
  PrintSlices(
      std::move(pieces), Height,
      [&](const TfrSliceWrite &write) {
        TfrView *view = views[size_t(write.id)];
        const int left = view->Left + BandShift(Band);
        if (write.lines > 0)
          WriteLines(static_cast<TfrMemoView *>(view), texts[size_t(write.id)], write.lines, left,
                     page->CurY + write.top, write.height);
        else if (!frModel().FirstPass)
          WriteObject(view, left, page->CurY + write.top, write.height);
      },
      [this] { NewColumn(); });
}

// Prints pieces in slices (TfrBandSlicer), breaking to a new column or page after each, and moves the page's
// y below the last slice. A slice's writes are at its top, the page's y.
void TfrPageBuilder::PrintSlices(std::vector<TfrSlicePiece> Pieces, int Height,
                                 const std::function<void(const TfrSliceWrite &)> &Write,
                                 const std::function<void()> &Break) {
  TfrPage *page = cur_->page.get();
  TfrBandSlicer slicer(std::move(Pieces), Height);
  bool fresh = Fresh();
  while (!report_->Terminated()) {
    const TfrSlice slice = slicer.Next(page->CurBottomY - ColumnFooterRoom() - page->CurY, fresh);
    for (const TfrSliceWrite &write : slice.writes) Write(write);
    if (slice.last) {
      page->CurY += slice.advance;
      return;
    }
    Break();
    fresh = true;
  }
}

// Writes the first lines of a text cut across pages (in the wrapped encoding, closed by a paragraph end when
// none of them ends one) and takes them off.
void TfrPageBuilder::WriteLines(TfrMemoView *Memo, QList<TfrTextLine> &Lines, int Count, int Left, int Top,
                                int Height) {
  QStringList part;
  bool paragraphEnd = false;
  for (int i = 0; i < Count; ++i) {
    part.append(frEncodeTextLine(Lines[i]));
    paragraphEnd = paragraphEnd || Lines[i].ParagraphEnd;
  }
  if (!paragraphEnd) part.append(QString(QChar(1)));
  if (!frModel().FirstPass) WriteTextPart(Memo, part, Left, Top, Height);
  Lines.erase(Lines.begin(), Lines.begin() + Count);
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
    run.subLeft = sub->Left + Band->ScriptShift;
    run.xAdjust = parent.xAdjust - parent.leftMargin + run.subLeft;
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
