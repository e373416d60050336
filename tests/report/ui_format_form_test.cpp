// The display-format dialog: the lists and panels it shows for a format word, and the word and text it
// gives back as the user chooses a category, a variant, decimals, a separator or a custom format.
#include "../platform/std_test_helpers.h"
#include "platform/widgets/std_combo_box.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_panels.h"
#include "platform/windowing/screen.h"
#include "report/ui/format_form.h"

namespace {

int Word(int category, int variant, int decimals, char separator) {
  return (category << 24) | (variant << 16) | (decimals << 8) | quint8(separator);
}

class FormatFormTest : public ::testing::Test {
protected:
  void SetUp() override { form = TCustomForm::Create<TfrFmtForm>(nullptr); }
  void TearDown() override { form->Free(); }
  void Open(int format, const QString &text = QString()) {
    form->Format = format;
    form->FormatStr = text;
    form->FillFromFormat();
  }
  QStringList Variants() const {
    QStringList out;
    for (int i = 0; i < form->ComboBox2->Items()->Count(); ++i) out << form->ComboBox2->Items()->Strings(i);
    return out;
  }
  // "category variant panels decimals separator 'format text'": the lists' choices, which of the decimals
  // panel (1) and the format text panel (2) show, and the fields.
  QString Shown() const {
    return QStringLiteral("%1 %2 %3%4 %5 %6 '%7'")
        .arg(form->ComboBox1->ItemIndex())
        .arg(form->ComboBox2->ItemIndex())
        .arg(form->Panel1->Visible() ? "1" : "-", form->Panel2->Visible() ? "2" : "-",
             form->DecimalsEdit->Text(), form->SeparatorEdit->Text(), form->FormatEdit->Text());
  }
  void ChooseCategory(int index) {
    form->ComboBox1->SetItemIndex(index);
    form->CategoryChange(nullptr);
  }
  void ChooseVariant(int index) {
    form->ComboBox2->SetItemIndex(index);
    form->VariantChange(nullptr);
  }
  ScopedScriptedServices services;
  TfrFmtForm *form = nullptr;
};

TEST_F(FormatFormTest, ANumberFormatShowsItsVariantDecimalsAndSeparator) {
  Open(Word(1, 1, 2, '.'));
  EXPECT_EQ(Variants().size(), 5);
  EXPECT_EQ(Shown(), "1 1 1- 2 . ''");
  EXPECT_EQ(form->Format, Word(1, 1, 2, '.')) << "showing changes nothing";
}

TEST_F(FormatFormTest, TheCustomVariantShowsOnlyTheFormatTextAndANewCategoryStartsAfresh) {
  Open(Word(1, 0, 2, ','));
  ChooseVariant(frFormatCustom);
  EXPECT_EQ(Shown(), "1 4 -2 2 , ''");
  form->FormatEdit->SetText(QStringLiteral("#,##0.00"));
  form->FormatTextChange(nullptr);
  EXPECT_EQ(form->FormatStr, "#,##0.00");
  ChooseCategory(2);
  EXPECT_EQ(form->Format, Word(2, 0, 2, ',')) << "the other bits stay";
  EXPECT_EQ(form->FormatStr, "");
  EXPECT_EQ(Shown(), "2 0 -- 2 , ''");
}

TEST_F(FormatFormTest, DecimalsAndSeparatorGoIntoTheWordAndBadInputChangesNothing) {
  Open(Word(1, 0, 2, ','));
  struct Step {
    TEdit *edit;
    const char *text;
    int decimals;
    char separator;
  };
  const Step steps[] = {{form->DecimalsEdit, "3", 3, ','},
                        {form->DecimalsEdit, "abc", 3, ','},
                        {form->DecimalsEdit, "999", 3, ','},
                        {form->SeparatorEdit, "", 3, ','},
                        {form->SeparatorEdit, " ", 3, ' '}};
  for (const Step &s : steps) {
    s.edit->SetText(QString::fromLatin1(s.text));
    EXPECT_NO_THROW(s.edit == form->DecimalsEdit ? form->DecimalsChange(nullptr)
                                                 : form->SeparatorChange(nullptr));
    EXPECT_EQ(frFormatDecimals(form->Format), s.decimals) << s.text;
    EXPECT_EQ(frFormatSeparator(form->Format), s.separator) << s.text;
  }
  form->SeparatorEdit->SetText(QString(QChar(0x20AC)));
  form->SeparatorChange(nullptr);
  EXPECT_EQ(frFormatSeparator(form->Format), ' ') << "a character the word cannot hold";
}

TEST(FormatDialog, OkGivesTheWordBackAndCancelKeepsIt) {
  ScopedScriptedServices services;
  int format = Word(1, 0, 2, ',');
  QString text;
  auto choose = [](int category) {
    auto *dialog = dynamic_cast<TfrFmtForm *>(Screen()->ActiveForm());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->ComboBox1->ItemIndex(), 1) << "filled when it comes up";
    dialog->ComboBox1->SetItemIndex(category);
    dialog->CategoryChange(nullptr);
  };
  stdtest::WhenFocused([&] {
    choose(3);
    guitest::PressKey(Qt::Key_Return, Qt::NoModifier, "\r");
  });
  EXPECT_TRUE(frRunFormatDialog(format, text));
  EXPECT_EQ(format, Word(3, 0, 2, ','));
  format = Word(1, 0, 2, ',');
  stdtest::WhenFocused([&] {
    choose(4);
    guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
  });
  EXPECT_FALSE(frRunFormatDialog(format, text));
  EXPECT_EQ(format, Word(1, 0, 2, ','));
}

} // namespace
