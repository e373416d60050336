// String and memo cells: text placement flags, painting, and the in-place editors with their limits, keys
// passed to the table and values copied back.
#include "grids/cells/string_cells.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/virtual_keys.h"
#include "test_table.h"
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

TEST(CellTextFlagsTest, AlignmentAndFallbackOfWideText) {
  const unsigned line = DT_SINGLELINE | DT_NOPREFIX, wrap = DT_WORDBREAK | DT_NOPREFIX;
  // Too wide, a line takes the left alignment of the same band; word wrap keeps the alignment and has no
  // vertical flag.
  const std::tuple<TOvcTblAdjust, bool, int, unsigned> cases[] = {
      {otaTopLeft, false, 10, line},
      {otaCenterRight, false, 10, line | DT_RIGHT | DT_VCENTER},
      {otaDefault, false, 10, line | DT_CENTER | DT_VCENTER},
      {otaBottomCenter, false, 10, line | DT_CENTER | DT_BOTTOM},
      {otaTopRight, false, 500, line},
      {otaCenter, false, 500, line | DT_VCENTER},
      {otaCenterRight, true, 500, wrap | DT_RIGHT},
      {otaDefault, true, 0, wrap | DT_CENTER},
  };
  for (const auto &[adjust, wordWrap, width, flags] : cases)
    EXPECT_EQ(CellTextFlags(adjust, wordWrap, width, 100), flags) << int(adjust) << " wrap " << wordWrap;
}

int CountPixels(const QImage &image, QColor color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += QColor(image.pixel(x, y)) == color;
  return n;
}

TEST(StringPaintTest, TextInTheFontColourAShadowWhenRaisedAndRowAndColumnOnlyForTheDesigner) {
  TOvcTCBaseString cell(nullptr);
  const auto paint = [&](const QString *text, TOvcTblAccess access = otxNormal,
                         TOvcTextStyle style = tsFlat) {
    QImage image(80, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    TFont font;
    font.SetSize(12);
    TOvcCellAttributes attr;
    attr.Access = access;
    attr.Adjust = otaCenterLeft;
    attr.Color = clWhite;
    attr.Font = &font;
    attr.FontColor = clBlue;
    attr.FontHiColor = clRed;
    attr.TextStyle = style;
    cell.Paint(&canvas, TRect{0, 0, 80, 24}, 3, 4, attr, text);
    canvas.SetDevice(nullptr);
    // Pixels of the text, and of its shadow.
    return std::pair(CountPixels(image, Qt::blue), CountPixels(image, Qt::red));
  };
  const QString www = "WWW";
  EXPECT_GT(paint(&www).first, 10);
  EXPECT_EQ(paint(&www).second, 0);
  EXPECT_EQ(paint(&www, otxInvisible).first, 0);
  EXPECT_GT(paint(&www, otxNormal, tsRaised).second, 0);
  EXPECT_EQ(paint(nullptr).first, 0);
  cell.SetDesigning(true);
  EXPECT_GT(paint(nullptr).first, 0);
}

class StringCellTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    table = new TestTable(form);
    table->SetParent(form);
    table->SetBounds(0, 0, 300, 100);
    table->Handle();
    cell = new TOvcTCString(form);
    memo = new TOvcTCMemo(form);
    cell->SetTable(table);
    memo->SetTable(table);
  }
  void TearDown() override {
    form->Free();
    QApplication::processEvents();
  }
  TCustomEdit *Start(TOvcBaseTableCell *c, const QString &value) {
    font.SetSize(10);
    attr.Font = &font;
    attr.Color = clAqua;
    c->StartEditing(1, 2, TRect{10, 10, 110, 30}, attr, ocsSingle, &value);
    return static_cast<TCustomEdit *>(c->EditorControl());
  }
  // How many keys reached the table after the message to the editor.
  int KeysAfter(TOvcBaseTableCell *c, UINT msg, WPARAM w) {
    QApplication::processEvents();
    table->received.clear();
    SendMessage(c->EditorWindow(), msg, w, 0);
    QApplication::processEvents();
    return int(std::count_if(table->received.cbegin(), table->received.cend(),
                             [](const TMessage &m) { return m.Msg == WM_KEYDOWN; }));
  }

  TForm *form = nullptr;
  TestTable *table = nullptr;
  TOvcTCString *cell = nullptr;
  TOvcTCMemo *memo = nullptr;
  TFont font;
  TOvcCellAttributes attr;
};

TEST_F(StringCellTest, EditsAndCopiesTheValueBackWithinItsLimit) {
  cell->SetMaxLength(5);
  auto *editor = dynamic_cast<TOvcTCStringEdit *>(Start(cell, "abc"));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Color(), clAqua);
  // Placed, then hidden.
  cell->PlaceEditor(TRect{20, 5, 120, 25});
  EXPECT_EQ(std::tuple(editor->Left(), editor->Width(), editor->Visible()), std::tuple(20, 100, true));
  cell->HideEditor();
  EXPECT_EQ(std::pair(editor->Width(), editor->Visible()), std::pair(0, false));
  // The data-aware table's test types into a string cell without a limit and cancels its typing.
  editor->SetText("abcdefgh");
  QString value = "typed text";
  cell->CopyEditorValue(&value);
  EXPECT_EQ(value, "abcde");
  cell->EndEditing(false, &value);

  // A memo copies its value only when editing ends, with room for MaxLength - 1 characters.
  memo->SetMaxLength(5);
  Start(memo, "old")->SetText("new text");
  memo->CopyEditorValue(&value);
  EXPECT_EQ(value, "abcde");
  memo->EndEditing(true, &value);
  EXPECT_EQ(value, "new ");
}

TEST_F(StringCellTest, AFullFieldAdvancesToTheNextCellButNoLimitNever) {
  cell->SetAutoAdvanceChar(true);
  Start(cell, QString());
  EXPECT_EQ(KeysAfter(cell, WM_CHAR, 'a'), 0);
  cell->SetMaxLength(5);
  Start(cell, "abc")->SetSelStart(3);
  EXPECT_EQ(KeysAfter(cell, WM_CHAR, 'd'), 0);
  EXPECT_EQ(KeysAfter(cell, WM_CHAR, 'e'), 1);
  EXPECT_EQ(table->received.last().WParam, WPARAM(VK_RIGHT));
  EXPECT_EQ(cell->EditorControl()->Text(), "abcde");
  EXPECT_TRUE(cell->EditorModified());
}

TEST_F(StringCellTest, KeysFollowTheCaretRulesAndEnterTabAndEscapeDoNotType) {
  table->keyClass = tkcNavigation;
  TCustomEdit *editor = Start(cell, "abc");
  for (WPARAM key : {WPARAM(13), WPARAM(9), WPARAM(27)}) SendMessage(cell->EditorWindow(), WM_CHAR, key, 0);
  EXPECT_EQ(editor->Text(), "abc");
  // Which keys go to the table from where the caret stands.
  const std::tuple<const char *, int, bool, int, WPARAM, int> cases[] = {
      {"left, advance off", tkcNavigation, false, 0, VK_LEFT, 0},
      {"left at the start", tkcNavigation, true, 0, VK_LEFT, 1},
      {"right at the end", tkcNavigation, true, 3, VK_RIGHT, 1},
      {"taken by the table", tkcTableTakes, true, 1, 'A', 1},
      {"kept by the editor", tkcEditorKeeps, true, 1, VK_DOWN, 0},
  };
  for (const auto &[what, keyClass, advance, caret, key, keys] : cases) {
    table->keyClass = keyClass;
    cell->SetAutoAdvanceLeftRight(advance);
    editor->SetSelStart(caret);
    EXPECT_EQ(KeysAfter(cell, WM_KEYDOWN, key), keys) << what;
  }
  // A memo's arrows leave it from its ends only; Enter leaves it unless it wants returns.
  table->keyClass = tkcNavigation;
  TCustomEdit *memoEditor = Start(memo, "line");
  const std::tuple<int, WPARAM, int> memoCases[] = {
      {0, VK_LEFT, 1}, {2, VK_LEFT, 0}, {2, VK_RIGHT, 0}, {4, VK_RIGHT, 1}, {0, VK_RIGHT, 0}};
  for (const auto &[caret, key, keys] : memoCases) {
    memoEditor->SetSelStart(caret);
    EXPECT_EQ(KeysAfter(memo, WM_KEYDOWN, key), keys) << "caret " << caret << " key " << key;
  }
  EXPECT_EQ(KeysAfter(memo, WM_KEYDOWN, VK_RETURN), 1);
  memo->EndEditing(false, nullptr);
  memo->SetWantReturns(true);
  Start(memo, "line");
  EXPECT_EQ(KeysAfter(memo, WM_KEYDOWN, VK_RETURN), 0);
}

TEST_F(StringCellTest, FreeingTheTableWhileEditingTakesTheEditorsWithIt) {
  Start(cell, "typing");
  Start(memo, "notes");
  table->Free();
  table = nullptr;
  EXPECT_EQ(memo->EditorControl(), nullptr);
  QString value = "kept";
  cell->EndEditing(true, &value);
  EXPECT_EQ(value, "kept");
}

} // namespace
