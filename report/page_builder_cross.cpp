// Page building: the cross cells of a band, printed once per record of the cross source, row after row, and
// the cross totals after the last of them.
#include "report/band_view.h"
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
// is being started.
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
  // Starts the next row in a new column or page when it does not fit here; true when it did.
  auto makeRoom = [&] {
    if (!MayBreak || Fresh() || page->CurY + RowHeight <= page->CurBottomY - ColumnFooterRoom()) return false;
    finish();
    NewColumn();
    page->PrintingCross = true;
    return true;
  };

  // The band has found room for its first row.
  if (!frModel().FirstPass && !report_->Terminated())
    PlaceObjects(Band, Objects, page->CurY, RowHeight, BandBottom(Band));
  page->PrintingCross = true;
  const std::vector<TfrCrossColumn> &columns = Columns.Columns();
  int row = 0;
  source->First();
  for (size_t i = 0; i < columns.size() && !source->Eof() && !report_->Terminated(); ++i) {
    const TfrCrossColumn &column = columns[i];
    if (column.row != row) {
      row = column.row;
      page->CurY += RowHeight;
      // The headers of a new page may have walked the cross source.
      if (makeRoom()) SeekRecord(source, i);
      if (source->Eof() || report_->Terminated()) break;
    }
    page->CurCrossColumn = int(i) + 1;
    const int shift = BandShift(Band);
    for (TfrView *cell : Band->CrossCells) {
      if (!PrepareObject(cell)) break;
      if (!frModel().FirstPass && cell->Visible)
        WriteWithin(cell, column.left + cell->Left - start + shift, page->CurY + cell->Top, cell->Height,
                    BandBottom(Band));
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
      if (!frModel().FirstPass && view->Visible)
        WriteWithin(view, Columns.End() + view->Left - (start + data->View->Width) + shift,
                    page->CurY + view->Top, view->Height, BandBottom(Band));
    }
  }
  totals->printing = wasPrinting;
  if (totals != Band) totals->ClearAggregates();
  page->CurY += RowHeight;
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
