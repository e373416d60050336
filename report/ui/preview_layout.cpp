#include "report/ui/preview_layout.h"
#include <algorithm>
#include <cmath>

namespace {

constexpr int kGap = 10;

int Scaled(int length, double factor) { return std::max(1, int(std::lround(length * factor))); }

} // namespace

TfrPreviewLayout frLayoutPreview(const std::vector<TSize> &pageSizes, int currentPage, TfrZoomMode mode,
                                 double factor, int boxWidth, int boxHeight) {
  TfrPreviewLayout layout;
  const int count = int(pageSizes.size());
  if (count == 0) {
    layout.Factor = std::clamp(factor, frMinZoom, frMaxZoom);
    return layout;
  }
  currentPage = std::clamp(currentPage, 0, count - 1);
  const TSize page = pageSizes[size_t(currentPage)];
  switch (mode) {
  case zmPageWidth:
    if (page.cx > 0) factor = double(boxWidth - 2 * kGap) / page.cx;
    break;
  case zmWholePage:
    if (page.cy > 0) factor = double(boxHeight - 2 * kGap) / page.cy;
    break;
  case zmTwoPages:
    if (page.cx > 0) factor = double(boxWidth - 3 * kGap) / (2.0 * page.cx);
    break;
  case zmFactor: break;
  }
  if (!std::isfinite(factor)) factor = 1.0;
  factor = std::clamp(factor, frMinZoom, frMaxZoom);
  layout.Factor = factor;

  std::vector<TSize> scaled;
  scaled.reserve(size_t(count));
  for (const TSize &s : pageSizes) scaled.push_back({Scaled(s.cx, factor), Scaled(s.cy, factor)});

  int perRow = 0;
  for (int x = kGap; perRow < count && x + scaled[size_t(perRow)].cx + kGap <= boxWidth;) {
    x += scaled[size_t(perRow)].cx + kGap;
    ++perRow;
  }
  perRow = std::max(perRow, 1);
  if (mode == zmWholePage) perRow = 1;
  if (mode == zmTwoPages) perRow = 2;
  layout.PagesPerRow = perRow;

  layout.Rects.resize(size_t(count));
  int y = kGap;
  int right = 0, bottom = 0;
  for (int first = 0; first < count; first += perRow) {
    int x = kGap;
    int rowHeight = 0;
    for (int i = first; i < std::min(count, first + perRow); ++i) {
      const TSize s = scaled[size_t(i)];
      int left = x;
      if (perRow == 1 && s.cx < boxWidth) left = (boxWidth - s.cx) / 2;
      layout.Rects[size_t(i)] = Bounds(left, y, s.cx, s.cy);
      right = std::max(right, left + s.cx);
      x += s.cx + kGap;
      rowHeight = std::max(rowHeight, s.cy);
    }
    bottom = y + rowHeight;
    y = bottom + kGap;
  }
  layout.HMax = std::max(0, right - boxWidth + kGap);
  layout.VMax = std::max(0, bottom - boxHeight + kGap);
  layout.VPosition = std::clamp(layout.Rects[size_t(currentPage)].Top - kGap, 0, layout.VMax);
  return layout;
}

QString frZoomCaption(double factor) { return QString::number(std::lround(factor * 100)) + QLatin1Char('%'); }

int frPageAtScrollPosition(const std::vector<TRect> &rects, int position, int current) {
  const int line = position + 11;
  for (size_t i = 0; i < rects.size(); ++i)
    if (rects[i].Top < line && rects[i].Bottom > line) return int(i);
  return current;
}
