// Page building: the cross cells of a band, printed once per record of the cross source, row after row, and
// the cross totals after the last of them.
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/page_builder_run.h"
#include "report/report.h"
#include "report/report_dataset.h"

using namespace frbuild;

namespace {

// Moves the source to its record at that index (from 0).
void SeekRecord(TfrDataset *source, size_t index) {
  source->First();
  for (size_t i = 0; i < index && !source->Eof(); ++i) source->Next();
}

} // namespace

bool TfrPageBuilder::HasCrossObjects(const TfrBand *Band) const {
  const TfrBand *data = cur_->Band(btCrossData);
  return data && data->DataSet && data->Visible && (!Band->CrossCells.empty() || !Band->CrossTotals.empty());
}

// The place of each column of the cross source: side by side from the cross data strip's left, wrapping to
// a further row where the next would pass the page's right margin less the room of the cross footer.
TfrCrossColumns TfrPageBuilder::LayCrossColumns(TfrBand *Band) {
  PageRun &run = *cur_;
  const TfrBand *data = run.Band(btCrossData);
  const TfrBand *footer = run.Band(btCrossFooter);
  const int start = data->View->Left;
  const int dataEnd = start + data->View->Width;
  const int footerRoom = footer && footer->Visible ? footer->View->Left + footer->View->Width - dataEnd : 0;
  TfrCrossColumns columns(start, run.leftMargin + run.colWidth - std::max(0, footerRoom));
  if (report_->OnBeginColumn) report_->OnBeginColumn(Band);
  TfrDataset *source = data->DataSet;
  source->First();
  for (int number = 1; !source->Eof() && !report_->Terminated(); ++number) {
    int width = data->View->Width;
    if (report_->OnPrintColumn) report_->OnPrintColumn(number, width);
    columns.Add(width);
    source->Next();
  }
  return columns;
}

// Prints a band holding cells: its own objects with the first row, its cells once per column and its cross
// totals after the last column. A data band's cells are records: every footer takes each of them in under
// its column number, and the cross footer the row's. A row that does not fit on the rest of the page (or
// column) goes on on the next one, below that page's headers, unless the band prints while a page or column
// is being started (it is then cut at the bottom). A row taller than a whole page or column prints in slices
// as a band that may split does.
void TfrPageBuilder::PrintCross(TfrBand *Band, const std::vector<TfrView *> &Objects,
                                const TfrCrossColumns &Columns, int RowHeight, bool MayBreak) {
  PageRun &run = *cur_;
  TfrPage *page = run.page.get();
  TfrBand *data = run.Band(btCrossData);
  TfrBand *footer = run.Band(btCrossFooter);
  TfrDataset *source = data->DataSet;
  const int start = data->View->Left;
  const bool record = IsDataBand(Band->Typ) && Band->DataSet;
  const bool wasCrossing = page->PrintingCross;
  auto finish = [&] {
    page->PrintingCross = wasCrossing;
    page->CurCrossColumn = 0;
  };
  auto breakTo = [&] {
    finish();
    NewColumn();
    page->PrintingCross = true;
  };
  // Starts the next row in a new column or page when it does not fit here; true when it did.
  auto makeRoom = [&] {
    if (!MayBreak || Fresh() || page->CurY + RowHeight <= BandBottom(Band)) return false;
    breakTo();
    return true;
  };

  // The objects of a row too tall for the room it has, gathered to print in slices once it is complete:
  // each with its place across the page and, for a cell, the index of its column.
  struct RowPiece {
    TfrView *view;
    int left;
    int column;
    QList<TfrTextLine> lines;
  };
  std::vector<RowPiece> rowPieces;
  std::vector<TfrSlicePiece> slicePieces;
  bool slicing = false;
  auto beginRow = [&] { slicing = MayBreak && page->CurY + RowHeight > BandBottom(Band); };
  // Writes an object of the row, or keeps it for the row's slices.
  auto write = [&](TfrView *view, int left, int top, int height, int column) {
    if (!slicing) {
      if (!frModel().FirstPass) WriteWithin(view, left, page->CurY + top, height, BandBottom(Band));
      return;
    }
    RowPiece piece{view, left, column, {}};
    slicePieces.push_back(SlicePiece(view, int(rowPieces.size()), top, height, piece.lines));
    rowPieces.push_back(std::move(piece));
  };
  // Ends the row (Next is the index of the column after it): the page's y goes below it.
  auto endRow = [&](size_t next) {
    if (!slicing) {
      page->CurY += RowHeight;
      return;
    }
    PrintSlices(
        std::move(slicePieces), RowHeight,
        [&](const TfrSliceWrite &slice) {
          RowPiece &piece = rowPieces[size_t(slice.id)];
          // A cell shows its own column's record again (the bands of a new page may have walked the source).
          if (piece.column >= 0) {
            SeekRecord(source, size_t(piece.column));
            page->CurCrossColumn = piece.column + 1;
            if (!PrepareObject(piece.view)) return;
          }
          const int top = page->CurY + slice.top;
          if (slice.lines > 0)
            WriteLines(static_cast<TfrMemoView *>(piece.view), piece.lines, slice.lines, piece.left, top,
                       slice.height);
          else if (!frModel().FirstPass)
            WriteObject(piece.view, piece.left, top, slice.height);
        },
        breakTo);
    rowPieces.clear();
    slicePieces.clear();
    page->CurCrossColumn = 0;
    SeekRecord(source, next);
  };

  // The band has found room for its first row.
  page->PrintingCross = true;
  beginRow();
  if (!report_->Terminated()) {
    for (TfrView *view : Objects) {
      if (!view->Visible || view->Typ == gtSubReport) continue;
      int top = 0, height = 0;
      Place(Band, view, RowHeight, top, height);
      write(view, view->Left + BandShift(Band), top, height, -1);
    }
  }
  const std::vector<TfrCrossColumn> &columns = Columns.Columns();
  int row = 0;
  source->First();
  for (size_t i = 0; i < columns.size() && !source->Eof() && !report_->Terminated(); ++i) {
    const TfrCrossColumn &column = columns[i];
    if (column.row != row) {
      row = column.row;
      endRow(i);
      // The headers of a new page may have walked the cross source.
      if (makeRoom()) SeekRecord(source, i);
      beginRow();
      if (source->Eof() || report_->Terminated()) break;
    }
    page->CurCrossColumn = int(i) + 1;
    const int shift = BandShift(Band);
    for (TfrView *cell : Band->CrossCells) {
      if (!PrepareObject(cell)) break;
      if (cell->Visible)
        write(cell, column.left + cell->Left - start + shift, cell->Top, cell->Height, int(i));
    }
    if (record && !report_->Terminated()) TakeInCell(Band);
    source->Next();
  }
  // Totals after the last column: a footer's own (of all its cells), else the cross footer's (of the row).
  page->CurCrossColumn = 0;
  const int shift = BandShift(Band);
  TfrBand *totals = IsFooterBand(Band->Typ) || !footer ? Band : footer;
  const bool wasPrinting = totals->printing;
  totals->printing = true;
  {
    CurrentBandScope scope(Band, totals);
    for (TfrView *view : Band->CrossTotals) {
      if (report_->Terminated() || !PrepareObject(view)) break;
      if (view->Visible)
        write(view, Columns.End() + view->Left - (start + data->View->Width) + shift, view->Top, view->Height,
              -1);
    }
  }
  totals->printing = wasPrinting;
  if (totals != Band) totals->ClearAggregates();
  endRow(columns.size());
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
