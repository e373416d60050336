// Where the columns of a cross source lie across a band.
#include "report/cross_columns.h"
#include "report/memo_view.h"
#include <gtest/gtest.h>

namespace {

TEST(CrossColumns, ColumnsLieSideBySideAndWrapToAFurtherRowWhereTheyWouldPassTheRight) {
  TfrCrossColumns columns(200, 500);
  EXPECT_EQ(columns.Rows(), 1);
  EXPECT_EQ(columns.End(), 200);
  // Widths of 0 count as 1; a column as wide as the rest of the row still fits; one wider than the whole
  // row stands alone in its row.
  for (int width : {100, 0, 199, 80, 400, 50}) columns.Add(width);
  std::vector<std::string> placed;
  for (const TfrCrossColumn &c : columns.Columns())
    placed.push_back(std::to_string(c.row) + ":" + std::to_string(c.left) + "+" + std::to_string(c.width));
  EXPECT_EQ(placed, (std::vector<std::string>{"0:200+100", "0:300+1", "0:301+199", "1:200+80", "2:200+400",
                                              "3:200+50"}));
  EXPECT_EQ(columns.Rows(), 4);
  EXPECT_EQ(columns.End(), 250);
}

TEST(CrossColumns, AnObjectIsInAStripWhenItsLeftEdgeIs) {
  TfrMemoView object;
  const struct {
    int left;
    bool in;
  } cases[] = {{199, false}, {200, true}, {279, true}, {280, false}};
  for (const auto &c : cases) {
    object.Left = c.left;
    EXPECT_EQ(frInStrip(&object, 200, 80), c.in) << c.left;
  }
}

} // namespace
