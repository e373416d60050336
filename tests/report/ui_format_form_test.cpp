// The display-format dialog: the word it gives back as the user chooses a category, decimals or a separator,
// and bad input refused.
#include "../platform/std_test_helpers.h"
#include "platform/widgets/std_combo_box.h"
#include "platform/widgets/std_edits.h"
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
  void Open(int format) {
    form->Format = format;
    form->FillFromFormat();
  }
  ScopedScriptedServices services;
  TfrFmtForm *form = nullptr;
};

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
