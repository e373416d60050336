#include "cell_grid.h"
#include "grids/cells/cell_pictures.h"
#include "tests/platform/gui_test_helpers.h"
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QColor kBackground(128, 128, 128); // clGray

// A strip of Width x Height glyphs in the given colours, each with a white bottom-left pixel (its
// transparent colour).
std::unique_ptr<TBitmap> Strip(const QList<QColor> &colors, int width = 16, int height = 16) {
  QImage image(width * int(colors.size()), height, QImage::Format_RGB32);
  for (int i = 0; i < colors.size(); ++i)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) image.setPixelColor(i * width + x, y, colors[i]);
  for (int i = 0; i < colors.size(); ++i) image.setPixelColor(i * width, height - 1, Qt::white);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  return bitmap;
}

// The cell painted over a 40 x 30 grey rectangle, the glyph in the middle.
QImage Paint(TOvcBaseTableCell &cell, const void *data) {
  QImage image(40, 30, QImage::Format_RGB32);
  TCanvas canvas(&image);
  TOvcCellAttributes attr;
  attr.Adjust = otaCenter;
  attr.Color = clGray;
  cell.Paint(&canvas, TRect{0, 0, 40, 30}, 0, 0, attr, data);
  canvas.SetDevice(nullptr);
  return image;
}

TEST(CellGlyphsTest, CellsShareOneStrip) {
  const int records = GlyphResourceManager()->Count();
  const auto bitmap = Strip({Qt::red, Qt::green, Qt::blue});
  TOvcCellGlyphs given;
  TBitmap wide(50, 14); // 50 is no multiple of 14: one glyph
  given.SetBitMap(&wide);
  EXPECT_EQ(given.GlyphCount(), 1);
  given.SetBitMap(bitmap.get());
  EXPECT_EQ(given.GlyphCount(), 3);
  auto first = std::make_unique<TOvcTCGlyph>(nullptr);
  TOvcTCGlyph second(nullptr);
  first->SetCellGlyphs(&given);
  second.SetCellGlyphs(&given);
  EXPECT_EQ(first->CellGlyphs()->BitMap(), second.CellGlyphs()->BitMap());
  EXPECT_EQ(GlyphResourceManager()->Count(), records + 1);
  first->Free();
  first.release();
  given.Assign(nullptr);
  // The other cell's strip stays, also when it is given to itself.
  second.SetCellGlyphs(second.CellGlyphs());
  const qint32 value = 1;
  EXPECT_EQ(Paint(second, &value).pixelColor(20, 15), QColor(Qt::green));
  second.CellGlyphs()->SetIsDefault(true);
  EXPECT_EQ(GlyphResourceManager()->Count(), records);
}

TEST(GlyphCellTest, AValuePastTheActiveGlyphsPaintsTheLast) {
  const auto bitmap = Strip({Qt::red, Qt::green, Qt::blue, Qt::yellow});
  TOvcCellGlyphs glyphs;
  glyphs.SetBitMap(bitmap.get());
  glyphs.SetActiveGlyphCount(3);
  TOvcTCGlyph cell(nullptr);
  EXPECT_TRUE(cell.AcceptActivationClick());
  cell.SetCellGlyphs(&glyphs);
  cell.CellGlyphs()->SetActiveGlyphCount(3);
  for (const auto &[value, color] : {std::pair{0, Qt::red}, {2, Qt::blue}, {7, Qt::blue}}) {
    const qint32 data = value;
    EXPECT_EQ(Paint(cell, &data).pixelColor(20, 15), QColor(color)) << value;
  }
  EXPECT_EQ(Paint(cell, nullptr).pixelColor(20, 15), kBackground); // no value, no glyph
}

TEST(CheckBoxCellTest, KeepsAThreeGlyphStripAndPaintsEachState) {
  TOvcTCCheckBox cell(nullptr);
  EXPECT_TRUE(cell.CellGlyphs()->IsDefault());
  EXPECT_EQ(cell.CellGlyphs()->ActiveGlyphCount(), 2);
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
    const QImage image = Paint(cell, &state);
    EXPECT_EQ(image.pixelColor(13 + 7, 8 + 7), color) << state;
    EXPECT_EQ(image.pixelColor(13, 8 + 13), kBackground) << "the strip's transparent corner";
  }
}

class CheckBoxEditTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetClientSize(200, 100);
    grid = new CellGrid(form, 2, 2);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 180, 66);
    grid->options |= tblOptWantsTab | tblOptEnterLikeTab;
    cell = new TOvcTCCheckBox(form);
    grid->columns.Column(1)->SetDefaultCell(cell);
    guitest::ShowAndActivate(form);
    grid->SetFocus();
  }
  void TearDown() override {
    form->Free();
    guitest::ProcessEvents();
  }
  TCheckBoxState State(int Row) const { return grid->values[Row - 1][1].check; }

  TForm *form = nullptr;
  CellGrid *grid = nullptr;
  TOvcTCCheckBox *cell = nullptr;
};

TEST_F(CheckBoxEditTest, TheActivatingClickTicksAndKeysStepTheBox) {
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
  EXPECT_EQ(State(1), cbUnchecked); // cancelled
  EXPECT_EQ(grid->Editing(), nullptr);

  cell->SetAllowGrayed(true);
  guitest::PressKey(Qt::Key_Return);
  guitest::ProcessEvents();
  for (int i = 0; i < 2; ++i) guitest::PressKey(Qt::Key_Space);
  guitest::PressKey(Qt::Key_Tab);
  guitest::ProcessEvents();
  EXPECT_EQ(State(1), cbGrayed); // saved
}

} // namespace
