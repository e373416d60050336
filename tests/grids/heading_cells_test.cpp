#include "grids/cells/heading_cells.h"
#include "platform/windowing/forms.h"
#include "test_table.h"
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

TEST(ColumnLettersTest, SpreadsheetNames) {
  const std::pair<int, const char *> cases[] = {{1, "A"},    {26, "Z"},    {27, "AA"},
                                                {702, "ZZ"}, {703, "AAA"}, {0, ""}};
  for (const auto &[n, letters] : cases) EXPECT_EQ(ColumnLetters(n), letters) << n;
}

// The test table has 1 locked column and 2 locked rows; column 3 and row 4 are active.
class HeadingTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    table = new TestTable(form);
    table->SetParent(form);
    table->Handle();
    colHead = new TOvcTCColHead(form);
    rowHead = new TOvcTCRowHead(form);
    colHead->SetTable(table);
    rowHead->SetTable(table);
    font.SetSize(12);
  }
  void TearDown() override {
    form->Free();
    QApplication::processEvents();
  }
  QImage Paint(TOvcBaseTableCell *cell, int Row, int Col, const QString *Data = nullptr,
               TOvcTblAdjust Adjust = otaCenter) {
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    TOvcCellAttributes attr;
    attr.Adjust = Adjust;
    attr.Color = clWhite;
    attr.Font = &font;
    attr.FontColor = clBlue;
    cell->Paint(&canvas, TRect{0, 0, 60, 30}, Row, Col, attr, Data);
    canvas.SetDevice(nullptr);
    return image;
  }
  static QImage Blank() {
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
  }

  TForm *form = nullptr;
  TestTable *table = nullptr;
  TOvcTCColHead *colHead = nullptr;
  TOvcTCRowHead *rowHead = nullptr;
  TFont font;
};

TEST_F(HeadingTest, LettersAndNumbersCountFromTheFirstUnlockedColumnAndRow) {
  const QString a = "A", bb = "BB", one = "1";
  EXPECT_EQ(Paint(colHead, 0, 0), Blank());
  const QImage letter = Paint(colHead, 0, 1);
  EXPECT_NE(letter, Blank());
  colHead->SetShowLetters(false);
  EXPECT_EQ(Paint(colHead, 0, 7, &a), letter); // the value given
  EXPECT_EQ(Paint(rowHead, 2, 0), Paint(colHead, 0, 0, &one));
  colHead->Headings()->SetCommaText("A,BB");
  EXPECT_EQ(Paint(colHead, 0, 0), letter); // else the heading of the column
  EXPECT_EQ(Paint(colHead, 0, 1), Paint(colHead, 0, 7, &bb));
  EXPECT_EQ(Paint(colHead, 0, 5), Blank());
  rowHead->SetShowNumbers(false);
  EXPECT_EQ(Paint(rowHead, 2, 0), Blank());
}

TEST_F(HeadingTest, TheActiveColumnAndRowShowAMarkerPlacedByTheAlignment) {
  colHead->SetShowActiveCol(true);
  rowHead->SetShowActiveRow(true);
  EXPECT_NE(Paint(colHead, 0, 2), Paint(colHead, 0, 3)); // only the active column has the marker
  struct Case {
    TOvcBaseTableCell *cell;
    int row, col;
    TOvcTblAdjust adjust;
    QPoint inside, outside; // a pixel of the triangle, and one just past its point
  };
  // Column marker: side 10, pointing down; row marker: side 10, pointing right.
  const Case cases[] = {
      {colHead, 0, 3, otaTopLeft, {9, 5}, {9, 15}},
      {colHead, 0, 3, otaBottomRight, {51, 17}, {51, 27}},
      {rowHead, 4, 0, otaCenterRight, {47, 15}, {57, 15}},
  };
  for (const Case &c : cases) {
    const QImage image = Paint(c.cell, c.row, c.col, nullptr, c.adjust);
    EXPECT_EQ(image.pixelColor(c.inside), QColor(Qt::blue))
        << c.adjust << " " << c.cell->ClassName().toStdString();
    EXPECT_EQ(image.pixelColor(c.outside), QColor(Qt::white)) << c.adjust;
  }
}

} // namespace
