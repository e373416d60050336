// Cells that paint pictures: bitmap and icon cells, glyph and check-box cells over shared glyph strips, and
// the check box edited in a grid.
#include "cell_grid.h"
#include "grids/cells/bitmap_cells.h"
#include "grids/cells/cell_pictures.h"
#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QColor kBackground(128, 128, 128); // clGray

// A strip of 16 x 16 glyphs in the given colours, each with a white bottom-left pixel (its transparent
// colour).
std::unique_ptr<TBitmap> Strip(const QList<QColor> &colors) {
  QImage image(16 * int(colors.size()), 16, QImage::Format_RGB32);
  for (int i = 0; i < colors.size(); ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) image.setPixelColor(i * 16 + x, y, colors[i]);
  for (int i = 0; i < colors.size(); ++i) image.setPixelColor(i * 16, 15, Qt::white);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  return bitmap;
}

// The cell painted over a 40 x 30 grey rectangle.
QImage Paint(TOvcBaseTableCell &cell, const void *data, TOvcTblAdjust adjust = otaTopLeft,
             TOvcTblAccess access = otxNormal) {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::black);
  TCanvas canvas(&image);
  TOvcCellAttributes attr;
  attr.Access = access;
  attr.Adjust = adjust;
  attr.Color = clGray;
  cell.Paint(&canvas, TRect{0, 0, 40, 30}, 0, 0, attr, data);
  canvas.SetDevice(nullptr);
  return image;
}

TEST(BitmapCellTest, DrawsTheChosenGlyphOfAStripPlacedByTheAdjustment) {
  const auto strip = Strip({Qt::red, Qt::green, Qt::blue, Qt::yellow});
  TOvcTCBaseBitMap cell(nullptr);
  struct Case {
    int count, index;
    TOvcTblAdjust adjust;
    TPoint topLeft; // where the glyph starts
    QColor expected;
  };
  // Margin 4; a count or index past the strip draws the first glyph; no index, a negative one or an invisible
  // cell only the background.
  const Case cases[] = {
      {4, 2, otaTopLeft, {4, 4}, Qt::blue},      {4, 4, otaTopLeft, {4, 4}, Qt::red},
      {0, 2, otaTopLeft, {4, 4}, Qt::red},       {4, 1, otaCenter, {12, 7}, Qt::green},
      {4, 0, otaBottomRight, {20, 10}, Qt::red}, {4, -1, otaTopLeft, {4, 4}, kBackground},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << " " << c.index << " " << int(c.adjust));
    const TOvcCellBitMapInfo info{strip.get(), c.count, c.count, c.index};
    const QImage image = Paint(cell, &info, c.adjust);
    const auto [x, y] = std::pair(c.topLeft.X, c.topLeft.Y);
    EXPECT_EQ(image.pixelColor(x + 1, y), c.expected);
    EXPECT_EQ(image.pixelColor(x + 1, y - 1), kBackground);
    if (c.count == 4) {
      EXPECT_EQ(image.pixelColor(x + 16, y + 1), kBackground) << "only one glyph wide";
      EXPECT_EQ(image.pixelColor(x, y + 15), kBackground) << "the transparent colour shows the brush";
    }
  }
  const TOvcCellBitMapInfo shown{strip.get(), 4, 4, 1};
  EXPECT_EQ(Paint(cell, nullptr).pixelColor(10, 10), kBackground);
  EXPECT_EQ(Paint(cell, &shown, otaTopLeft, otxInvisible).pixelColor(10, 10), kBackground);
}

TEST(BitmapCellTest, ALargeBitmapIsCutToTheCellLessItsMarginsAndAnIconIsNot) {
  TOvcTCBitMap cell(nullptr);
  QImage big(100, 100, QImage::Format_RGB32);
  big.fill(Qt::blue);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) big.setPixelColor(x, y, Qt::red);
  big.setPixelColor(0, 99, Qt::white); // the transparent colour
  TBitmap bitmap;
  bitmap.SetImage(big);
  QImage image = Paint(cell, &bitmap, otaCenter);
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::red)); // the top-left part, at the margin
  EXPECT_EQ(image.pixelColor(35, 25), QColor(Qt::blue));
  EXPECT_EQ(image.pixelColor(37, 27), kBackground); // the margin stays background

  // Display cells are read-only.
  TOvcTCIcon iconCell(nullptr);
  TOvcCellAttributes attr;
  iconCell.GatherAttributes(0, 0, attr);
  EXPECT_EQ(attr.Access, otxReadOnly);

  QImage picture(32, 32, QImage::Format_ARGB32);
  picture.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "ICO")) GTEST_SKIP() << "no ICO writer on this system";
  TIcon icon;
  icon.LoadFromBytes(bytes);
  image = Paint(iconCell, &icon, otaTopLeft, otxReadOnly);
  EXPECT_EQ(image.pixelColor(35, 29), QColor(Qt::red)); // at its full size, not clipped to the margins
  EXPECT_EQ(image.pixelColor(2, 2), kBackground);
}

TEST(GlyphCellTest, CellsShareOneStripAndAValuePastTheActiveGlyphsPaintsTheLast) {
  const int records = GlyphResourceManager()->Count();
  const auto bitmap = Strip({Qt::red, Qt::green, Qt::blue, Qt::yellow});
  TOvcCellGlyphs given;
  TBitmap wide(50, 14); // 50 is no multiple of 14: one glyph
  given.SetBitMap(&wide);
  EXPECT_EQ(given.GlyphCount(), 1);
  given.SetBitMap(bitmap.get());
  EXPECT_EQ(given.GlyphCount(), 4);
  auto first = std::make_unique<TOvcTCGlyph>(nullptr);
  TOvcTCGlyph second(nullptr);
  first->SetCellGlyphs(&given);
  second.SetCellGlyphs(&given);
  EXPECT_EQ(GlyphResourceManager()->Count(), records + 1);
  first->Free();
  first.release();
  given.Assign(nullptr);
  // The other cell's strip stays, also when it is given to itself.
  second.SetCellGlyphs(second.CellGlyphs());
  second.CellGlyphs()->SetActiveGlyphCount(3);
  for (const auto &[value, color] : {std::pair{0, Qt::red}, {2, Qt::blue}, {7, Qt::blue}}) {
    const qint32 data = value;
    EXPECT_EQ(Paint(second, &data, otaCenter).pixelColor(20, 15), QColor(color)) << value;
  }
  EXPECT_EQ(Paint(second, nullptr, otaCenter).pixelColor(20, 15), kBackground); // no value, no glyph
  second.CellGlyphs()->SetIsDefault(true);
  EXPECT_EQ(GlyphResourceManager()->Count(), records);
}

TEST(CheckBoxCellTest, KeepsAThreeGlyphStripAndPaintsEachState) {
  TOvcTCCheckBox cell(nullptr);
  const auto two = Strip({Qt::red, Qt::green});
  TOvcCellGlyphs twoGlyphs;
  twoGlyphs.SetBitMap(two.get());
  cell.SetCellGlyphs(&twoGlyphs);
  EXPECT_TRUE(cell.CellGlyphs()->IsDefault());
  cell.SetAllowGrayed(true);
  EXPECT_EQ(cell.CellGlyphs()->ActiveGlyphCount(), 3);
  // The middle of the box: white, the black tick, the grey tick on the button face.
  const std::pair<TCheckBoxState, QColor> cases[] = {
      {cbUnchecked, Qt::white}, {cbChecked, Qt::black}, {cbGrayed, QColor(128, 128, 128)}};
  for (const auto &[state, color] : cases) {
    const QImage image = Paint(cell, &state, otaCenter);
    EXPECT_EQ(image.pixelColor(13 + 7, 8 + 7), color) << state;
    EXPECT_EQ(image.pixelColor(13, 8 + 13), kBackground) << "the strip's transparent corner";
  }
}

using CheckBoxEditTest = CellGridTest;

TEST_F(CheckBoxEditTest, TheActivatingClickTicksAndKeysStepTheBox) {
  auto *cell = new TOvcTCCheckBox(form);
  grid->columns.Column(1)->SetDefaultCell(cell);
  Focus(grid);
  guitest::Click(grid, {135, 33}); // row 1, the check box
  ASSERT_EQ(grid->Editing(), cell);
  auto *editor = dynamic_cast<TOvcTCGlyphEdit *>(cell->EditorControl());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Value(), cbChecked);
  guitest::PressKey(Qt::Key_Space); // wraps past the last active glyph
  EXPECT_EQ(editor->Value(), cbUnchecked);
  guitest::PressKey(Qt::Key_Backspace);
  EXPECT_EQ(editor->Value(), cbChecked);
  guitest::PressKey(Qt::Key_Escape);
  guitest::ProcessEvents();
  EXPECT_EQ(grid->values[0][1].check, cbUnchecked); // cancelled

  cell->SetAllowGrayed(true);
  guitest::PressKey(Qt::Key_Return);
  guitest::ProcessEvents();
  for (int i = 0; i < 2; ++i) guitest::PressKey(Qt::Key_Space);
  guitest::PressKey(Qt::Key_Tab);
  guitest::ProcessEvents();
  EXPECT_EQ(grid->values[0][1].check, cbGrayed); // saved
}

} // namespace
