#include "grids/cells/heading_cells.h"
#include "grids/base/table_base.h"

QString ColumnLetters(int N) {
  QString letters;
  while (N > 0) {
    letters.prepend(QChar(u'A' + (N - 1) % 26));
    N = (N - 1) / 26;
  }
  return letters;
}

namespace {

// The attributes a heading paints with: the cell's own colour and font where it keeps its own.
TOvcCellAttributes HeadingAttributes(TOvcBaseTableCell *Cell, const TOvcCellAttributes &CellAttr) {
  TOvcCellAttributes attr = CellAttr;
  if (!Cell->TableColor()) attr.Color = Cell->Color();
  if (!Cell->TableFont()) {
    attr.Font = Cell->Font();
    attr.FontColor = Cell->Font()->Color();
  }
  return attr;
}

// The active marker: a filled triangle of side Side in the font colour, placed in the cell by the alignment.
// Corners are relative to the marker's top-left corner.
void PaintMarker(TCanvas *Canvas, const TRect &CellRect, const TOvcCellAttributes &Attr, int Margin, int Side,
                 const std::array<TPoint, 3> &Corners) {
  if (Side <= 0) return; // no room for it
  const TPoint at = PlaceInCell(CellRect, Attr.Adjust, Margin, Side, Side);
  Canvas->Pen()->SetColor(Attr.FontColor);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Brush()->SetColor(Attr.FontColor);
  Canvas->Brush()->SetStyle(bsSolid);
  std::vector<TPoint> points;
  for (const TPoint &p : Corners) points.push_back({at.X + p.X, at.Y + p.Y});
  Canvas->Polygon(points);
}

} // namespace

// ---- column heading ----

TOvcTCColHead::TOvcTCColHead(TComponent *AOwner) : TOvcTCBaseString(AOwner) {
  SetAccess(otxReadOnly);
  SetUseASCIIZStrings(false);
}

void TOvcTCColHead::SetHeadings(const TStrings *Value) {
  headings_.Assign(Value);
  DoCellChanged();
}

void TOvcTCColHead::SetShowActiveCol(bool Value) {
  if (Value == showActiveCol_) return;
  showActiveCol_ = Value;
  DoCellChanged();
}

void TOvcTCColHead::SetShowLetters(bool Value) {
  if (Value == showLetters_) return;
  showLetters_ = Value;
  DoCellChanged();
}

void TOvcTCColHead::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                            const TOvcCellAttributes &CellAttr, const void *Data) {
  const TOvcCellAttributes attr = HeadingAttributes(this, CellAttr);
  const int locked = Table() ? LockedColumns() : 0;
  const int active = Table() ? ActiveColumn() : -1;
  QString text;
  if (showActiveCol_ && ColNum == active) {
    TOvcTCBaseString::tcPaint(TableCanvas, CellRect, RowNum, ColNum, attr, &text);
    const int side = std::min(CellRect.Width(), CellRect.Height()) / 3;
    PaintMarker(TableCanvas, CellRect, attr, Margin(), side, {{{0, 0}, {side, 0}, {side / 2, side}}});
    return;
  }
  if (!showLetters_)
    text = Data ? DataText(Data)
                : (ColNum >= 0 && ColNum < headings_.Count() ? headings_.Strings(ColNum) : QString());
  else
    text = ColumnLetters(ColNum - locked + 1);
  TOvcTCBaseString::tcPaint(TableCanvas, CellRect, RowNum, ColNum, attr, &text);
}

// ---- row heading ----

TOvcTCRowHead::TOvcTCRowHead(TComponent *AOwner) : TOvcTCBaseString(AOwner) {
  SetAccess(otxReadOnly);
  SetUseASCIIZStrings(false);
  SetUseWordWrap(false);
}

void TOvcTCRowHead::SetShowActiveRow(bool Value) {
  if (Value == showActiveRow_) return;
  showActiveRow_ = Value;
  DoCellChanged();
}

void TOvcTCRowHead::SetShowNumbers(bool Value) {
  if (Value == showNumbers_) return;
  showNumbers_ = Value;
  DoCellChanged();
}

void TOvcTCRowHead::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                            const TOvcCellAttributes &CellAttr, const void *) {
  const TOvcCellAttributes attr = HeadingAttributes(this, CellAttr);
  const int locked = Table() ? LockedRows() : 0;
  const int active = Table() ? ActiveRow() : -1;
  QString text;
  if (showActiveRow_ && RowNum == active) {
    TOvcTCBaseString::tcPaint(TableCanvas, CellRect, RowNum, ColNum, attr, &text);
    const int side = std::min(CellRect.Width() - 8, CellRect.Height() / 3);
    PaintMarker(TableCanvas, CellRect, attr, Margin(), side, {{{side, side / 2}, {0, 0}, {0, side}}});
    return;
  }
  if (showNumbers_) text = QString::number(RowNum + 1 - locked);
  TOvcTCBaseString::tcPaint(TableCanvas, CellRect, RowNum, ColNum, attr, &text);
}
