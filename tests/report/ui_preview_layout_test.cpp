// The preview's page layout for each zoom mode, as a pure function of page sizes and box size.
#include "report/ui/preview_layout.h"
#include <gtest/gtest.h>

namespace {

const TSize P{600, 800}; // portrait
const TSize L{800, 600}; // landscape

// "factor perRow hMax vMax vPosition: left,top widthxheight ..."
QString Describe(const TfrPreviewLayout &l) {
  QString text = QStringLiteral("%1 %2 %3 %4 %5:")
                     .arg(QString::number(l.Factor, 'g', 6))
                     .arg(l.PagesPerRow)
                     .arg(l.HMax)
                     .arg(l.VMax)
                     .arg(l.VPosition);
  for (const TRect &r : l.Rects)
    text += QStringLiteral(" %1,%2 %3x%4").arg(r.Left).arg(r.Top).arg(r.Width()).arg(r.Height());
  return text;
}

TEST(PreviewLayout, EachZoomModePlacesThePages) {
  struct Case {
    const char *name;
    const char *pages; // P portrait, L landscape
    int current;
    TfrZoomMode mode;
    double factor;
    int width, height;
    const char *expected;
  };
  const Case cases[] = {{"page width fits a 600 page into a 620 box at 100 % and centres it", "PPP", 0,
                         zmPageWidth, 0.3, 620, 500,
                         "1 1 0 1940 0: 10,10 600x800 10,820 600x800 10,1630 600x800"},
                        // 610 is beyond the range.
                        {"page width follows the current page and the bar goes to it", "PL", 1, zmPageWidth,
                         1.0, 620, 500, "0.75 1 0 580 580: 85,10 450x600 10,620 600x450"},
                        {"whole page fits the height, one page a row, centred", "PP", 0, zmWholePage, 1.0,
                         800, 820, "1 1 0 810 0: 100,10 600x800 100,820 600x800"},
                        {"two pages per row however wide the box", "PPP", 0, zmTwoPages, 1.0, 3030, 600,
                         "2.5 2 0 3430 0: 10,10 1500x2000 1520,10 1500x2000 10,2020 1500x2000"},
                        {"a fixed factor puts as many pages in a row as fit", "PPPP", 3, zmFactor, 0.5, 1000,
                         600, "0.5 3 0 230 230: 10,10 300x400 320,10 300x400 630,10 300x400 10,420 300x400"},
                        {"a page wider than the box starts at the left and scrolls", "P", 0, zmFactor, 2.0,
                         500, 400, "2 1 720 1220 0: 10,10 1200x1600"},
                        {"pages of a row share the tallest height", "LPP", 0, zmFactor, 1.0, 1500, 700,
                         "1 2 0 930 0: 10,10 800x600 820,10 600x800 10,820 600x800"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TSize> pages;
    for (const char *p = c.pages; *p; ++p) pages.push_back(*p == 'P' ? P : L);
    const QString got = Describe(frLayoutPreview(pages, c.current, c.mode, c.factor, c.width, c.height));
    EXPECT_EQ(got, QString::fromLatin1(c.expected));
  }
  // Degenerate boxes and pages keep a sane factor: a box narrower than its margins would give a negative
  // one, a page of no width (damaged data) would divide by zero.
  TfrPreviewLayout l = frLayoutPreview({P}, 0, zmPageWidth, 1.0, 10, 10);
  EXPECT_DOUBLE_EQ(l.Factor, frMinZoom);
  EXPECT_GE(l.Rects[0].Width(), 1);
  EXPECT_DOUBLE_EQ(frLayoutPreview({TSize{0, 0}}, 0, zmPageWidth, 0.5, 600, 400).Factor, 0.5);
  EXPECT_DOUBLE_EQ(frLayoutPreview({P}, 0, zmFactor, 1000.0, 600, 400).Factor, frMaxZoom);
  // A current page beyond the list is the last.
  EXPECT_DOUBLE_EQ(frLayoutPreview({P, L}, 7, zmPageWidth, 1.0, 820, 400).Factor, 1.0);
}

TEST(PreviewLayout, ZoomCaptionAndThePageAtAScrollPosition) {
  struct Caption {
    double factor;
    const char *caption;
  };
  for (const Caption &c : {Caption{970.0 / 1200.0, "81%"}, Caption{0.755, "76%"}})
    EXPECT_EQ(frZoomCaption(c.factor), QString::fromLatin1(c.caption));
  // The page spanning the line below the top; in the gap between pages the current one stays.
  const std::vector<TRect> rects{Bounds(10, 10, 600, 800), Bounds(10, 820, 600, 800)};
  struct Case {
    int position, current, expected;
  };
  for (const Case &c : {Case{0, 1, 0}, Case{798, 1, 0}, Case{810, 0, 1}, Case{800, 1, 1}, Case{800, 0, 0}})
    EXPECT_EQ(frPageAtScrollPosition(rects, c.position, c.current), c.expected) << c.position;
}

} // namespace
