#include "grids/cells/bitmap_cells.h"
#include <algorithm>

namespace {

void MakeReadOnly(TOvcCellAttributes &CellAttr) {
  if (CellAttr.Access == otxDefault || CellAttr.Access == otxNormal) CellAttr.Access = otxReadOnly;
}

} // namespace

void TOvcTCBaseBitMap::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                               const TOvcCellAttributes &CellAttr, const void *Data) {
  TOvcBaseTableCell::tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, Data);
  const auto *info = static_cast<const TOvcCellBitMapInfo *>(Data);
  // Any negative index would read outside the strip: like -1 it draws nothing.
  if (!info || !info->BM || info->BM->Empty() || info->Index < 0 || CellAttr.Access == otxInvisible) return;
  int index = info->Index;
  int w = info->BM->Width();
  if (info->Count > 1)
    w /= info->Count;
  else
    index = 0;
  if (info->Count <= index) index = 0;
  const int h = info->BM->Height();
  const int dw = std::min(w, CellRect.Right - CellRect.Left - 2 * Margin());
  const int dh = std::min(h, CellRect.Bottom - CellRect.Top - 2 * Margin());
  if (dw <= 0 || dh <= 0) return;
  const TRect source{index * w, 0, index * w + dw, dh};
  const TColor transparent = QColorToColor(info->BM->Image().pixelColor(index * w, h - 1));
  const TPoint at = PlaceInCell(CellRect, CellAttr.Adjust, Margin(), dw, dh);
  TableCanvas->BrushCopy(TRect{at.X, at.Y, at.X + dw, at.Y + dh}, info->BM, source, transparent);
}

void TOvcTCCustomBitMap::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                                 const TOvcCellAttributes &CellAttr, const void *Data) {
  if (!Data) {
    TOvcTCBaseBitMap::tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, nullptr);
    return;
  }
  const TOvcCellBitMapInfo info{static_cast<const TBitmap *>(Data), 1, 1, 0};
  TOvcTCBaseBitMap::tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, &info);
}

void TOvcTCCustomBitMap::GatherAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) {
  TOvcTCBaseBitMap::GatherAttributes(RowNum, ColNum, CellAttr);
  MakeReadOnly(CellAttr);
}

void TOvcTCCustomIcon::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                               const TOvcCellAttributes &CellAttr, const void *Data) {
  TOvcBaseTableCell::tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, Data);
  const auto *icon = static_cast<const TIcon *>(Data);
  if (!icon || icon->Empty() || CellAttr.Access == otxInvisible) return;
  const TPoint at = PlaceInCell(CellRect, CellAttr.Adjust, Margin(), icon->Width(), icon->Height());
  TableCanvas->Draw(at.X, at.Y, icon);
}

void TOvcTCCustomIcon::GatherAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) {
  TOvcBaseTableCell::GatherAttributes(RowNum, ColNum, CellAttr);
  MakeReadOnly(CellAttr);
}
