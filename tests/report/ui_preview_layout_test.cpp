// The preview's page layout for each zoom mode, as a pure function of page sizes and box size.
#include "report/ui/preview_layout.h"
#include <gtest/gtest.h>

namespace {

struct LayoutCase {
  const char *name;
  std::vector<TSize> pages;
  int current;
  TfrZoomMode mode;
  double factor;
  int width, height;
  // expected
  double expectedFactor;
  int perRow;
  std::vector<TRect> rects;
  int hMax, vMax, vPosition;
};

const TSize kPortrait{600, 800};
const TSize kLandscape{800, 600};

std::vector<LayoutCase> Cases() {
  return {
      {"page width fits a 600 page into a 620 box at 100 % and centres it",
       {kPortrait, kPortrait, kPortrait},
       0,
       zmPageWidth,
       0.3,
       620,
       500,
       1.0,
       1,
       {Bounds(10, 10, 600, 800), Bounds(10, 820, 600, 800), Bounds(10, 1630, 600, 800)},
       0,
       2430 - 500 + 10,
       0},
      {"page width follows the current page and the bar goes to it",
       {kPortrait, kLandscape},
       1,
       zmPageWidth,
       1.0,
       620,
       500,
       0.75,
       1,
       {Bounds(85, 10, 450, 600), Bounds(10, 620, 600, 450)},
       0,
       1070 - 500 + 10,
       1070 - 500 + 10 /* 610 is beyond the range */},
      {"whole page fits the height, one page a row, centred",
       {kPortrait, kPortrait},
       0,
       zmWholePage,
       1.0,
       800,
       820,
       1.0,
       1,
       {Bounds(100, 10, 600, 800), Bounds(100, 820, 600, 800)},
       0,
       1620 - 820 + 10,
       0},
      {"two pages side by side",
       {kPortrait, kPortrait, kPortrait},
       0,
       zmTwoPages,
       1.0,
       1000,
       600,
       970.0 / 1200.0,
       2,
       {Bounds(10, 10, 485, 647), Bounds(505, 10, 485, 647), Bounds(10, 667, 485, 647)},
       0,
       1314 - 600 + 10,
       0},
      {"two pages per row however wide the box",
       {kPortrait, kPortrait, kPortrait},
       0,
       zmTwoPages,
       1.0,
       3030,
       600,
       2.5,
       2,
       {Bounds(10, 10, 1500, 2000), Bounds(1520, 10, 1500, 2000), Bounds(10, 2020, 1500, 2000)},
       0,
       4020 - 600 + 10,
       0},
      {"a fixed factor puts as many pages in a row as fit",
       {kPortrait, kPortrait, kPortrait, kPortrait},
       3,
       zmFactor,
       0.5,
       1000,
       600,
       0.5,
       3,
       {Bounds(10, 10, 300, 400), Bounds(320, 10, 300, 400), Bounds(630, 10, 300, 400),
        Bounds(10, 420, 300, 400)},
       0,
       820 - 600 + 10,
       230},
      {"a page wider than the box starts at the left and scrolls",
       {kPortrait},
       0,
       zmFactor,
       2.0,
       500,
       400,
       2.0,
       1,
       {Bounds(10, 10, 1200, 1600)},
       1210 - 500 + 10,
       1610 - 400 + 10,
       0},
      {"pages of a row share the tallest height",
       {kLandscape, kPortrait, kPortrait},
       0,
       zmFactor,
       1.0,
       1500,
       700,
       1.0,
       2,
       {Bounds(10, 10, 800, 600), Bounds(820, 10, 600, 800), Bounds(10, 820, 600, 800)},
       0,
       1620 - 700 + 10,
       0},
  };
}

TEST(PreviewLayout, EachZoomModePlacesThePages) {
  for (const LayoutCase &c : Cases()) {
    SCOPED_TRACE(c.name);
    const TfrPreviewLayout l = frLayoutPreview(c.pages, c.current, c.mode, c.factor, c.width, c.height);
    EXPECT_NEAR(l.Factor, c.expectedFactor, 1e-9);
    EXPECT_EQ(l.PagesPerRow, c.perRow);
    EXPECT_EQ(l.Rects, c.rects);
    EXPECT_EQ(l.HMax, c.hMax);
    EXPECT_EQ(l.VMax, c.vMax);
    EXPECT_EQ(l.VPosition, c.vPosition);
  }
}

TEST(PreviewLayout, DegenerateBoxesAndPagesKeepASaneFactor) {
  // A box narrower than its margins would give a negative factor.
  TfrPreviewLayout l = frLayoutPreview({kPortrait}, 0, zmPageWidth, 1.0, 10, 10);
  EXPECT_DOUBLE_EQ(l.Factor, frMinZoom);
  EXPECT_GE(l.Rects[0].Width(), 1);
  // A page of no width (damaged data) keeps the factor instead of dividing by zero.
  l = frLayoutPreview({TSize{0, 0}}, 0, zmPageWidth, 0.5, 600, 400);
  EXPECT_DOUBLE_EQ(l.Factor, 0.5);
  l = frLayoutPreview({kPortrait}, 0, zmFactor, 1000.0, 600, 400);
  EXPECT_DOUBLE_EQ(l.Factor, frMaxZoom);
  // No pages: nothing to place, and no current page to go to.
  l = frLayoutPreview({}, 0, zmPageWidth, 0.75, 600, 400);
  EXPECT_TRUE(l.Rects.empty());
  EXPECT_EQ(l.VMax, 0);
  // A current page beyond the list is taken as the last.
  l = frLayoutPreview({kPortrait, kLandscape}, 7, zmPageWidth, 1.0, 820, 400);
  EXPECT_DOUBLE_EQ(l.Factor, 1.0);
}

TEST(PreviewLayout, ZoomCaptionIsTheRoundedPercentage) {
  struct Case {
    double factor;
    const char *caption;
  };
  for (const Case &c : {Case{1.0, "100%"}, Case{970.0 / 1200.0, "81%"}, Case{0.1, "10%"}, Case{2.0, "200%"},
                        Case{0.755, "76%"}})
    EXPECT_EQ(frZoomCaption(c.factor), QString::fromLatin1(c.caption));
}

TEST(PreviewLayout, PageAtScrollPositionIsThePageSpanningTheLineBelowTheTop) {
  const std::vector<TRect> rects{Bounds(10, 10, 600, 800), Bounds(10, 820, 600, 800)};
  struct Case {
    int position, current, expected;
  };
  for (const Case &c : {Case{0, 1, 0}, Case{500, 1, 0}, Case{798, 1, 0}, Case{810, 0, 1}, Case{1500, 0, 1},
                        Case{800, 1, 1} /* in the gap: unchanged */, Case{800, 0, 0}, Case{5000, 0, 0}})
    EXPECT_EQ(frPageAtScrollPosition(rects, c.position, c.current), c.expected) << c.position;
}

} // namespace
