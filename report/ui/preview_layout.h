// Where the preview puts its pages: the zoom factor of the zoom mode, how many pages stand in a row, each
// page's rectangle in the page box (before scrolling) and the scroll ranges. A pure function of the page
// sizes, the current page and the box's client size, so that every zoom mode can be checked on its own.
#pragma once
#include "platform/core/types.h"
#include <QString>
#include <vector>

enum TfrZoomMode {
  zmFactor = 0,    // a fixed factor
  zmPageWidth = 1, // the current page fills the width
  zmWholePage = 2, // the current page fills the height
  zmTwoPages = 3   // two pages side by side fill the width
};

struct TfrPreviewLayout {
  double Factor = 1.0;
  int PagesPerRow = 1;
  // Each page's place in the box, in box pixels before scrolling.
  std::vector<TRect> Rects;
  // The scroll ranges (0: that bar is disabled).
  int HMax = 0;
  int VMax = 0;
  // Where the vertical bar goes: 10 pixels above the current page (within 0..VMax).
  int VPosition = 0;
};

// Lays out pages of the given sizes (at 100 %) for a box of boxWidth x boxHeight client pixels; currentPage
// is 0-based. Mode zmFactor keeps `factor`; the other modes compute it from the current page. The factor is
// kept within frMinZoom..frMaxZoom, so a tiny box or a damaged page size cannot make pages vanish or explode.
TfrPreviewLayout frLayoutPreview(const std::vector<TSize> &pageSizes, int currentPage, TfrZoomMode mode,
                                 double factor, int boxWidth, int boxHeight);
constexpr double frMinZoom = 0.01;
constexpr double frMaxZoom = 20.0;

// The zoom button's caption: the factor in percent, rounded, and "%".
QString frZoomCaption(double factor);

// The page (0-based) a vertical scroll position shows at the top: the first page whose rectangle spans the
// line 11 pixels below the position; `current` when no page does.
int frPageAtScrollPosition(const std::vector<TRect> &rects, int position, int current);
