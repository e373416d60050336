#include "platform/widgets/spin_edit.h"
#include "std_test_helpers.h"

namespace {

using stdtest::TypeText;

class SpinEditTest : public stdtest::FormTest {
protected:
  TSpinEdit *AddSpin() {
    auto *spin = new TSpinEdit(form);
    spin->SetParent(form);
    spin->OnChange = TNotifyEvent::From([this, spin](TObject *) { log.append(spin->Text()); });
    return spin;
  }
};

TEST_F(SpinEditTest, ArrowsStepTheValueWithinTheBoundsAndEqualBoundsMeanNone) {
  TSpinEdit *spin = AddSpin();
  spin->SetMinValue(1);
  spin->SetMaxValue(5);
  spin->SetIncrement(2);
  Show();
  guitest::PressKey(Qt::Key_Up);
  guitest::PressKey(Qt::Key_Up);
  guitest::PressKey(Qt::Key_Up);
  guitest::PressKey(Qt::Key_Down);
  EXPECT_EQ(log, QStringList({"3", "5", "3"}));
  spin->SetValue(-3);
  EXPECT_EQ(spin->Text(), QStringLiteral("1"));

  // Equal bounds mean no bounds.
  TSpinEdit *free = AddSpin();
  free->SetTop(40);
  free->SetValue(123456);
  EXPECT_EQ(free->Value(), 123456);
}

TEST_F(SpinEditTest, TypingTakesDigitsOnlyAndNothingWithoutTheEditor) {
  TSpinEdit *spin = AddSpin();
  spin->SetMaxValue(999);
  Show();
  spin->SelectAll();
  TypeText(QStringLiteral("4x2"));
  EXPECT_EQ(spin->Value(), 42);
  spin->SetEditorEnabled(false);
  spin->SelectAll();
  TypeText(QStringLiteral("7"));
  guitest::PressKey(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
  EXPECT_EQ(spin->Value(), 42);
  // The arrows still work.
  guitest::PressKey(Qt::Key_Up);
  EXPECT_EQ(spin->Value(), 43);
}

} // namespace
