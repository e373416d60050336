#include "controls/combos/color_combo.h"
#include "controls/combos/font_combo.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/virtual_keys.h"
#include "tests/platform/std_test_helpers.h"
#include <QFontDatabase>

namespace {

// ---- colours ----

class ColorComboTest : public stdtest::FormTest {
protected:
  TOvcColorComboBox *AddCombo() {
    auto *combo = Add<TOvcColorComboBox>(10, 10, 160, 24);
    combo->OnChange = TNotifyEvent::From([this](TObject *) { log.append(QStringLiteral("change")); });
    return combo;
  }
};

TEST_F(ColorComboTest, FilledInTableOrderWithTheFirstSelectedAndSelectedByValue) {
  TOvcColorComboBox *combo = AddCombo();
  Show();
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->SelectedColor(), TColor(0));
  // Choosing the last of the 22 entries gives its colour.
  ASSERT_EQ(combo->Items()->Count(), 22);
  combo->SetItemIndex(21);
  EXPECT_EQ(std::pair(combo->Text(), combo->SelectedColor()),
            std::pair(QStringLiteral("Cream"), TColor(0xF0FBFF)));
  log.clear();

  // A selected colour picks the first name with its value; one not in the list changes nothing.
  combo->SetSelectedColor(0xC0C0C0);
  EXPECT_EQ(combo->Text(), QStringLiteral("Silver"));
  combo->SetSelectedColor(0x123456);
  EXPECT_EQ(combo->Text(), QStringLiteral("Silver"));
  EXPECT_EQ(log.size(), 1);
  combo->SetItemIndex(-1);
  EXPECT_EQ(combo->SelectedColor(), TColor(0));
}

TEST_F(ColorComboTest, SwatchWidthFollowsNamesSizeAndFontAndFillsTheItemWithoutNames) {
  TOvcColorComboBox *combo = AddCombo();
  Show();
  const int withNames = combo->SwatchWidth();
  combo->SetBounds(10, 10, 260, 24);
  combo->SetShowColorNames(true);
  EXPECT_GT(combo->SwatchWidth(), withNames);
  const int wide = combo->SwatchWidth();
  combo->Font()->SetSize(combo->Font()->Size() * 2);
  EXPECT_LT(combo->SwatchWidth(), wide);

  // Without names the swatch fills the shown entry from near the left edge.
  combo->SetShowColorNames(false);
  combo->SetSelectedColor(0x0000FF);
  guitest::ProcessEvents();
  const QImage image = GrabControl(combo);
  const int y = image.height() / 2;
  EXPECT_EQ(image.pixelColor(6, y), QColor(255, 0, 0));
}

// ---- fonts ----

class FontComboTest : public stdtest::FormTest {
protected:
  TOvcFontComboBox *AddCombo() {
    auto *combo = Add<TOvcFontComboBox>(10, 10, 200, 24);
    combo->RebuildFontList();
    return combo;
  }
  static QStringList Entries(const TOvcFontComboBox *combo) {
    QStringList entries;
    for (int i = 0; i < combo->Items()->Count(); ++i) entries.append(combo->Items()->Strings(i));
    return entries;
  }
};

TEST_F(FontComboTest, ListsTheInstalledFontsSortedOnceEach) {
  TOvcFontComboBox *combo = AddCombo();
  const QStringList entries = Entries(combo);
  ASSERT_FALSE(entries.isEmpty());
  EXPECT_TRUE(entries.contains(QStringLiteral("Liberation Sans")));
  QStringList sorted = entries;
  std::sort(sorted.begin(), sorted.end(),
            [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
  EXPECT_EQ(entries, sorted);
  EXPECT_EQ(QSet<QString>(entries.begin(), entries.end()).size(), entries.size());
  for (int i = 0; i < combo->Items()->Count(); ++i) {
    const bool scalable = QFontDatabase::isScalable(entries[i]);
    EXPECT_EQ(combo->Items()->Objects(i), scalable ? combo->TrueTypeGlyph() : combo->DeviceGlyph())
        << entries[i].toStdString();
  }
}

TEST_F(FontComboTest, PitchAndCategoryFilters) {
  struct Case {
    TFontPitches pitches;
    bool wantFixed, wantVariable;
  };
  TOvcFontComboBox *combo = AddCombo();
  for (const Case &c : {Case{TFontPitches::fpAll, true, true}, Case{TFontPitches::fpFixed, true, false},
                        Case{TFontPitches::fpVariable, false, true}}) {
    SCOPED_TRACE(int(c.pitches));
    combo->SetFontPitchStyles(c.pitches);
    const QStringList entries = Entries(combo);
    ASSERT_FALSE(entries.isEmpty());
    for (const QString &name : entries)
      EXPECT_TRUE(QFontDatabase::isFixedPitch(name) ? c.wantFixed : c.wantVariable) << name.toStdString();
    EXPECT_EQ(entries.contains(QStringLiteral("Liberation Mono")), c.wantFixed);
    EXPECT_EQ(entries.contains(QStringLiteral("Liberation Sans")), c.wantVariable);
  }
  combo->SetFontCategories(TFontCategories::fcTrueType);
  for (const QString &name : Entries(combo))
    EXPECT_TRUE(QFontDatabase::isScalable(name)) << name.toStdString();
}

TEST_F(FontComboTest, FontNameSelectsAndDownChangesThePreviewControlsFont) {
  auto *label = new TLabel(form);
  label->SetParent(form);
  label->SetCaption(QStringLiteral("Preview"));
  TOvcFontComboBox *combo = AddCombo();
  combo->SetPreviewControl(label);
  Show();
  combo->SetFontName(QStringLiteral("Liberation Mono"));
  EXPECT_EQ(combo->FontName(), QStringLiteral("Liberation Mono"));
  combo->SetFontName(QStringLiteral("No Such Font"));
  EXPECT_EQ(combo->FontName(), QStringLiteral("Liberation Mono"));
  combo->SetFocus();
  guitest::ProcessEvents();
  Type(QStringLiteral("{Down}"));
  ASSERT_NE(combo->FontName(), QStringLiteral("Liberation Mono"));
  EXPECT_EQ(label->Font()->Name(), combo->FontName());
  // The label going away clears the reference.
  label->Free();
  EXPECT_EQ(combo->PreviewControl(), nullptr);
  Type(QStringLiteral("{Up}"));
}

} // namespace
