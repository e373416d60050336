#include "grids/cells/string_cells.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/virtual_keys.h"
#include "test_table.h"
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

TEST(CellTextFlagsTest, AlignmentAndFallbackOfWideText) {
  struct Case {
    TOvcTblAdjust adjust;
    bool wrap;
    int textWidth;
    unsigned flags;
  };
  const unsigned line = DT_SINGLELINE | DT_NOPREFIX;
  const unsigned wrap = DT_WORDBREAK | DT_NOPREFIX;
  const Case cases[] = {
      {otaTopLeft, false, 10, line},
      {otaTopCenter, false, 10, line | DT_CENTER},
      {otaTopRight, false, 10, line | DT_RIGHT},
      {otaCenterLeft, false, 10, line | DT_VCENTER},
      {otaCenter, false, 10, line | DT_CENTER | DT_VCENTER},
      {otaCenterRight, false, 10, line | DT_RIGHT | DT_VCENTER},
      {otaDefault, false, 10, line | DT_CENTER | DT_VCENTER},
      {otaBottomLeft, false, 10, line | DT_BOTTOM},
      {otaBottomCenter, false, 10, line | DT_CENTER | DT_BOTTOM},
      {otaBottomRight, false, 10, line | DT_RIGHT | DT_BOTTOM},
      // Too wide: the left alignment of the same band.
      {otaTopRight, false, 500, line},
      {otaCenterRight, false, 500, line | DT_VCENTER},
      {otaCenter, false, 500, line | DT_VCENTER},
      {otaBottomCenter, false, 500, line | DT_BOTTOM},
      // Word wrap keeps the alignment and has no vertical flag.
      {otaCenterRight, true, 500, wrap | DT_RIGHT},
      {otaCenter, true, 500, wrap | DT_CENTER},
      {otaDefault, true, 0, wrap | DT_CENTER},
      {otaBottomLeft, true, 0, wrap},
  };
  for (const Case &c : cases)
    EXPECT_EQ(CellTextFlags(c.adjust, c.wrap, c.textWidth, 100), c.flags)
        << int(c.adjust) << " wrap " << c.wrap;
}

int CountPixels(const QImage &image, QColor color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (QColor(image.pixel(x, y)) == color) ++n;
  return n;
}

class StringPaintTest : public ::testing::Test {
protected:
  QImage Paint(const QString &text, TOvcTblAccess access = otxNormal, TOvcTextStyle style = tsFlat) {
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
    cell.Paint(&canvas, TRect{0, 0, 80, 24}, 0, 0, attr, &text);
    canvas.SetDevice(nullptr);
    return image;
  }
  TOvcTCBaseString cell{nullptr};
};

TEST_F(StringPaintTest, DrawsTheTextInTheFontColour) {
  EXPECT_GT(CountPixels(Paint(QStringLiteral("WWW")), QColor(0, 0, 255)), 10);
  EXPECT_EQ(CountPixels(Paint(QStringLiteral("WWW"), otxInvisible), QColor(0, 0, 255)), 0);
  EXPECT_EQ(CountPixels(Paint(QString()), QColor(0, 0, 255)), 0);
}

TEST_F(StringPaintTest, WithoutAValueOnlyTheDesignerShowsRowAndColumn) {
  QImage image(80, 24, QImage::Format_RGB32);
  TFont font;
  font.SetSize(12);
  TOvcCellAttributes attr;
  attr.Color = clWhite;
  attr.Font = &font;
  attr.FontColor = clBlue;
  for (bool designing : {false, true}) {
    image.fill(Qt::white);
    cell.SetDesigning(designing);
    TCanvas canvas(&image);
    cell.Paint(&canvas, TRect{0, 0, 80, 24}, 3, 4, attr, nullptr);
    canvas.SetDevice(nullptr);
    EXPECT_EQ(CountPixels(image, QColor(0, 0, 255)) > 0, designing);
  }
}

TEST_F(StringPaintTest, RaisedAndLoweredTextDrawAShadow) {
  EXPECT_EQ(CountPixels(Paint(QStringLiteral("WWW")), QColor(255, 0, 0)), 0);
  for (TOvcTextStyle style : {tsRaised, tsLowered}) {
    const QImage image = Paint(QStringLiteral("WWW"), otxNormal, style);
    EXPECT_GT(CountPixels(image, QColor(255, 0, 0)), 0) << int(style);
    EXPECT_GT(CountPixels(image, QColor(0, 0, 255)), 10) << int(style);
  }
}

TEST_F(StringPaintTest, ReadsShortAndZeroTerminatedValues) {
  struct Probe : TOvcTCBaseString {
    using TOvcTCBaseString::DataText;
    using TOvcTCBaseString::TOvcTCBaseString;
  } probe(nullptr);
  const QString longText(300, QLatin1Char('x'));
  EXPECT_EQ(probe.DataText(&longText).length(), 255);
  probe.SetUseASCIIZStrings(true);
  EXPECT_EQ(probe.DataText(&longText).length(), 300);
  const QString withNul = QStringLiteral("ab") + QChar(0) + QStringLiteral("cd");
  EXPECT_EQ(probe.DataText(&withNul), QStringLiteral("ab"));
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
  void Start(TOvcBaseTableCell *c, const QString &value) {
    font.SetSize(10);
    attr.Font = &font;
    attr.Color = clAqua;
    c->StartEditing(1, 2, TRect{10, 10, 110, 30}, attr, ocsSingle, &value);
  }
  QList<TMessage> KeysAfter(const std::function<void()> &action) {
    QApplication::processEvents();
    table->received.clear();
    action();
    QApplication::processEvents();
    QList<TMessage> keys;
    for (const TMessage &m : table->received)
      if (m.Msg == WM_KEYDOWN) keys.append(m);
    return keys;
  }
  LRESULT Send(TOvcBaseTableCell *c, UINT msg, WPARAM w) { return SendMessage(c->EditorWindow(), msg, w, 0); }

  TForm *form = nullptr;
  TestTable *table = nullptr;
  TOvcTCString *cell = nullptr;
  TOvcTCMemo *memo = nullptr;
  TFont font;
  TOvcCellAttributes attr;
};

TEST_F(StringCellTest, EditsAndCopiesTheValueBack) {
  cell->SetMaxLength(5);
  Start(cell, QStringLiteral("abc"));
  auto *editor = dynamic_cast<TOvcTCStringEdit *>(cell->EditorControl());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Text(), QStringLiteral("abc"));
  EXPECT_EQ(editor->Parent(), table);
  EXPECT_EQ(editor->Color(), clAqua);
  EXPECT_EQ(editor->MaxLength(), 5);
  EXPECT_FALSE(editor->TabStop());
  EXPECT_FALSE(cell->EditorModified());
  editor->SetText(QStringLiteral("abcdefgh"));
  QString value;
  cell->CopyEditorValue(&value);
  EXPECT_EQ(value, QStringLiteral("abcde"));
  EXPECT_NE(cell->EditorControl(), nullptr);
  cell->EndEditing(true, &value);
  EXPECT_EQ(value, QStringLiteral("abcde"));
  EXPECT_EQ(cell->EditorControl(), nullptr);
  EXPECT_EQ(cell->EditorWindow(), 0u);
}

TEST_F(StringCellTest, WithoutALimitTheWholeTextGoesBack) {
  Start(cell, QString());
  cell->EditorControl()->SetText(QStringLiteral("typed text"));
  QString value = QStringLiteral("old");
  cell->EndEditing(true, &value);
  EXPECT_EQ(value, QStringLiteral("typed text"));
  Start(cell, QStringLiteral("x"));
  cell->EndEditing(false, &value); // cancelled: the value stays
  EXPECT_EQ(value, QStringLiteral("typed text"));
}

TEST_F(StringCellTest, AFullFieldAdvancesToTheNextCell) {
  cell->SetMaxLength(5);
  cell->SetAutoAdvanceChar(true);
  Start(cell, QStringLiteral("abc"));
  static_cast<TCustomEdit *>(cell->EditorControl())->SetSelStart(3);
  EXPECT_TRUE(KeysAfter([&] { Send(cell, WM_CHAR, 'd'); }).isEmpty());
  const QList<TMessage> keys = KeysAfter([&] { Send(cell, WM_CHAR, 'e'); });
  ASSERT_EQ(keys.size(), 1);
  EXPECT_EQ(keys[0].WParam, WPARAM(VK_RIGHT));
  EXPECT_EQ(cell->EditorControl()->Text(), QStringLiteral("abcde"));
  EXPECT_TRUE(cell->EditorModified());
}

TEST_F(StringCellTest, NoLimitNeverAdvances) {
  cell->SetAutoAdvanceChar(true);
  Start(cell, QString());
  EXPECT_TRUE(KeysAfter([&] { Send(cell, WM_CHAR, 'a'); }).isEmpty());
}

TEST_F(StringCellTest, EnterTabAndEscapeDoNotType) {
  Start(cell, QStringLiteral("ab"));
  for (WPARAM key : {WPARAM(13), WPARAM(9), WPARAM(27)}) Send(cell, WM_CHAR, key);
  EXPECT_EQ(cell->EditorControl()->Text(), QStringLiteral("ab"));
}

TEST_F(StringCellTest, NavigationKeysFollowTheCaretRules) {
  table->keyClass = tkcNavigation;
  Start(cell, QStringLiteral("abc"));
  auto *editor = static_cast<TCustomEdit *>(cell->EditorControl());
  editor->SetSelStart(0);
  EXPECT_EQ(KeysAfter([&] { Send(cell, WM_KEYDOWN, VK_DOWN); }).size(), 1);
  EXPECT_TRUE(KeysAfter([&] { Send(cell, WM_KEYDOWN, VK_LEFT); }).isEmpty()); // AutoAdvanceLeftRight off
  cell->SetAutoAdvanceLeftRight(true);
  editor->SetSelStart(0);
  EXPECT_EQ(KeysAfter([&] { Send(cell, WM_KEYDOWN, VK_LEFT); }).size(), 1);
  editor->SetSelStart(1);
  EXPECT_TRUE(KeysAfter([&] { Send(cell, WM_KEYDOWN, VK_RIGHT); }).isEmpty());
  editor->SetSelStart(3);
  EXPECT_EQ(KeysAfter([&] { Send(cell, WM_KEYDOWN, VK_RIGHT); }).size(), 1);
  table->keyClass = tkcTableTakes;
  EXPECT_EQ(KeysAfter([&] { Send(cell, WM_KEYDOWN, 'A'); }).size(), 1);
  table->keyClass = tkcEditorKeeps;
  EXPECT_TRUE(KeysAfter([&] { Send(cell, WM_KEYDOWN, VK_DOWN); }).isEmpty());
}

TEST_F(StringCellTest, DialogCodeAsksForTabAndEnterAsTheTableWants) {
  Start(cell, QString());
  table->options = 0;
  const LRESULT plain = Send(cell, WM_GETDLGCODE, 0);
  EXPECT_EQ(plain & (DLGC_WANTTAB | DLGC_WANTALLKEYS), 0);
  table->options = tblOptWantsTab | tblOptEnterLikeTab;
  EXPECT_EQ(Send(cell, WM_GETDLGCODE, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS),
            DLGC_WANTTAB | DLGC_WANTALLKEYS);
  Start(memo, QString());
  EXPECT_EQ(Send(memo, WM_GETDLGCODE, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
}

TEST_F(StringCellTest, FocusChangesReachTheTable) {
  Start(cell, QString());
  table->received.clear();
  Send(cell, WM_SETFOCUS, 7);
  Send(cell, WM_KILLFOCUS, 8);
  QApplication::processEvents();
  QList<UINT> notices;
  for (const TMessage &m : table->received)
    if (m.Msg == tcm_EditorGotFocus || m.Msg == tcm_EditorLostFocus) notices.append(m.Msg);
  EXPECT_EQ(notices, (QList<UINT>{tcm_EditorGotFocus, tcm_EditorLostFocus}));
}

TEST_F(StringCellTest, MemoIsWordWrappedAndZeroTerminated) {
  EXPECT_TRUE(memo->UseASCIIZStrings());
  EXPECT_TRUE(memo->UseWordWrap());
}

TEST_F(StringCellTest, MemoEnterLeavesUnlessItWantsReturns) {
  table->keyClass = tkcNavigation;
  Start(memo, QStringLiteral("line"));
  EXPECT_EQ(KeysAfter([&] { Send(memo, WM_KEYDOWN, VK_RETURN); }).size(), 1);
  EXPECT_TRUE(KeysAfter([&] { Send(memo, WM_KEYDOWN, VK_DOWN); }).isEmpty());
  memo->EndEditing(false, nullptr);
  memo->SetWantReturns(true);
  Start(memo, QStringLiteral("line"));
  EXPECT_TRUE(static_cast<TCustomMemo *>(memo->EditorControl())->WantReturns());
  EXPECT_TRUE(KeysAfter([&] { Send(memo, WM_KEYDOWN, VK_RETURN); }).isEmpty());
}

TEST_F(StringCellTest, MemoCopiesItsValueOnlyWhenEditingEnds) {
  memo->SetMaxLength(5);
  Start(memo, QStringLiteral("old"));
  memo->EditorControl()->SetText(QStringLiteral("new text"));
  QString value = QStringLiteral("old");
  memo->CopyEditorValue(&value);
  EXPECT_EQ(value, QStringLiteral("old"));
  memo->EndEditing(true, &value);
  EXPECT_EQ(value, QStringLiteral("new ")); // room for MaxLength - 1 characters
  memo->SetMaxLength(0);
  Start(memo, QString());
  memo->EditorControl()->SetText(QStringLiteral("all of it"));
  memo->EndEditing(true, &value);
  EXPECT_EQ(value, QStringLiteral("all of it"));
}

TEST_F(StringCellTest, FreeingTheTableWhileEditingTakesTheEditorsWithIt) {
  Start(cell, QStringLiteral("typing"));
  Start(memo, QStringLiteral("notes"));
  table->Free();
  table = nullptr;
  EXPECT_EQ(cell->EditorControl(), nullptr);
  EXPECT_EQ(memo->EditorControl(), nullptr);
  QString value = QStringLiteral("kept");
  cell->EndEditing(true, &value);
  EXPECT_EQ(value, QStringLiteral("kept"));
}

TEST_F(StringCellTest, PlaceAndHideTheEditor) {
  Start(cell, QString());
  TWinControl *editor = cell->EditorControl();
  cell->PlaceEditor(TRect{20, 5, 120, 25});
  EXPECT_EQ(editor->Left(), 20);
  EXPECT_EQ(editor->Width(), 100);
  EXPECT_TRUE(editor->Visible());
  cell->HideEditor();
  EXPECT_EQ(editor->Width(), 0);
  EXPECT_FALSE(editor->Visible());
}

} // namespace
