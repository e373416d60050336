#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_edits.h"
#include "platform/windowing/virtual_keys.h"
#include "std_test_helpers.h"
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

using stdtest::TypeText;

class ButtonsTest : public stdtest::FormTest {
protected:
  template <class T>
  T *Add(const QString &name, int left, int top, const QString &caption = QString()) {
    auto *control = new T(form);
    control->SetName(name);
    control->SetLeft(left);
    control->SetTop(top);
    if (!caption.isEmpty()) control->SetCaption(caption);
    control->SetParent(form);
    return control;
  }
  TNotifyEvent Logger(const QString &text) {
    return TNotifyEvent::From([this, text](TObject *) { log.append(text); });
  }
};

// A dialog with an edit, an OK (default) and a Cancel (cancel) button.
class Dialog : public TForm {
public:
  explicit Dialog(TComponent *owner) : TForm(owner) {
    SetClientSize(240, 100);
    edit = new TEdit(this);
    edit->SetParent(this);
    ok = new TButton(this);
    ok->SetCaption(QStringLiteral("OK"));
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    ok->SetBounds(10, 60, 75, 25);
    ok->SetParent(this);
    cancel = new TButton(this);
    cancel->SetCaption(QStringLiteral("Cancel"));
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->SetBounds(100, 60, 75, 25);
    cancel->SetParent(this);
  }
  TEdit *edit;
  TButton *ok;
  TButton *cancel;
};

TEST_F(ButtonsTest, EnterEscapeAndTheMousePressTheButtonsOfAModalForm) {
  auto *dialog = TCustomForm::Create<Dialog>(nullptr);
  int okClicks = 0;
  dialog->ok->OnClick = TNotifyEvent::From([&okClicks](TObject *) { ++okClicks; });
  stdtest::WhenFocused([] {
    TypeText(QStringLiteral("a"));
    guitest::PressKey(Qt::Key_Return, Qt::NoModifier, "\r");
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(dialog->edit->Text(), QStringLiteral("a"));
  stdtest::WhenFocused([] { guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27))); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  // Enter presses the focused button rather than the default one.
  stdtest::WhenFocused([dialog] {
    dialog->cancel->SetFocus();
    guitest::PressKey(Qt::Key_Return, Qt::NoModifier, "\r");
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(okClicks, 1);

  // A click with the mouse clicks once and hands the modal result to the form.
  int cancelClicks = 0;
  dialog->cancel->OnClick = TNotifyEvent::From([&cancelClicks](TObject *) { ++cancelClicks; });
  stdtest::WhenFocused([dialog] { guitest::Click(dialog->cancel, QPoint(10, 10)); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(cancelClicks, 1);
  dialog->Free();
}

TEST_F(ButtonsTest, TheDefaultLookFollowsTheFocus) {
  auto *dialog = TCustomForm::Create<Dialog>(nullptr);
  guitest::ShowAndActivate(dialog);
  auto look = [dialog] {
    return std::pair(dynamic_cast<QPushButton *>(dialog->ok->Widget())->isDefault(),
                     dynamic_cast<QPushButton *>(dialog->cancel->Widget())->isDefault());
  };
  dialog->cancel->SetFocus();
  EXPECT_EQ(look(), std::pair(false, true));
  dialog->edit->SetFocus();
  EXPECT_EQ(look(), std::pair(true, false));
  dialog->Free();
}

TEST_F(ButtonsTest, AcceleratorsClickButtonsAndFocusCheckBoxes) {
  auto *apply = Add<TButton>(QStringLiteral("Apply"), 0, 0, QStringLiteral("&Apply"));
  auto *other = Add<TButton>(QStringLiteral("Other"), 80, 0, QStringLiteral("Other"));
  auto *edit = Add<TEdit>(QStringLiteral("Edit1"), 0, 40);
  auto *check = Add<TCheckBox>(QStringLiteral("Check"), 0, 70, QStringLiteral("&Keep"));
  auto *speed = Add<TSpeedButton>(QStringLiteral("Speed"), 160, 0, QStringLiteral("&Refresh"));
  apply->OnClick = Logger(QStringLiteral("apply"));
  check->OnClick = Logger(QStringLiteral("check"));
  speed->OnClick = Logger(QStringLiteral("speed"));
  Show();
  other->SetFocus();
  // A button takes no characters: a plain letter is an accelerator.
  TypeText(QStringLiteral("a"));
  EXPECT_EQ(log, QStringList({"apply"}));
  edit->SetFocus();
  TypeText(QStringLiteral("a"));
  EXPECT_EQ(edit->Text(), QStringLiteral("a"));
  guitest::PressKey(Qt::Key_A, Qt::AltModifier, QStringLiteral("a"));
  guitest::PressKey(Qt::Key_K, Qt::AltModifier, QStringLiteral("k"));
  EXPECT_EQ(log, QStringList({"apply", "apply", "check"}));
  EXPECT_TRUE(check->Focused());
  // A speed button clicks on its accelerator, unless disabled.
  guitest::PressKey(Qt::Key_R, Qt::AltModifier, QStringLiteral("r"));
  speed->SetEnabled(false);
  guitest::PressKey(Qt::Key_R, Qt::AltModifier, QStringLiteral("r"));
  EXPECT_EQ(log, QStringList({"apply", "apply", "check", "speed"}));
}

TEST_F(ButtonsTest, CheckBoxStepsThroughItsStatesAndReportsEveryChange) {
  auto *check = Add<TCheckBox>(QStringLiteral("Check"), 0, 0, QStringLiteral("Check"));
  check->OnClick =
      TNotifyEvent::From([this, check](TObject *) { log.append(QString::number(check->State())); });
  Show();
  guitest::Click(check, QPoint(5, 8));
  guitest::PressKey(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  check->SetAllowGrayed(true);
  guitest::Click(check, QPoint(5, 8));
  EXPECT_EQ(check->State(), cbGrayed);
  EXPECT_EQ(dynamic_cast<QCheckBox *>(check->Widget())->checkState(), Qt::PartiallyChecked);
  guitest::Click(check, QPoint(5, 8));
  // Set by the program, too.
  check->SetChecked(false);
  EXPECT_EQ(log, QStringList({"1", "0", "2", "1", "0"}));
}

TEST_F(ButtonsTest, RadioButtonsOfAParentAreExclusiveAndTheArrowsMoveTheCheck) {
  auto *a = Add<TRadioButton>(QStringLiteral("A"), 0, 0, QStringLiteral("A"));
  auto *b = Add<TRadioButton>(QStringLiteral("B"), 0, 20, QStringLiteral("B"));
  auto *c = Add<TRadioButton>(QStringLiteral("C"), 0, 40, QStringLiteral("C"));
  auto *after = Add<TEdit>(QStringLiteral("After"), 0, 70);
  a->OnClick = Logger(QStringLiteral("a"));
  b->OnClick = Logger(QStringLiteral("b"));
  c->OnClick = Logger(QStringLiteral("c"));
  a->SetChecked(true);
  Show();
  // Only the checked button is a tab stop.
  EXPECT_TRUE(a->Focused());
  guitest::Click(c, QPoint(5, 8));
  EXPECT_FALSE(dynamic_cast<QRadioButton *>(a->Widget())->isChecked());
  // Clicking the checked one changes nothing.
  guitest::Click(c, QPoint(5, 8));
  c->SetFocus();
  guitest::PressKey(Qt::Key_Up);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(c->Checked());
  guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_TRUE(after->Focused());
  guitest::PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(log, QStringList({"a", "c", "b"}));
}

TEST_F(ButtonsTest, SpeedButtonsOfAGroupStayDownOneAtATimeAndReleasedOutsideDoNotClick) {
  auto *left = Add<TSpeedButton>(QStringLiteral("Left"), 0, 0);
  auto *right = Add<TSpeedButton>(QStringLiteral("Right"), 30, 0);
  left->SetGroupIndex(1);
  right->SetGroupIndex(1);
  left->OnClick = Logger(QStringLiteral("left"));
  right->OnClick = Logger(QStringLiteral("right"));
  Show();
  guitest::Click(left, QPoint(5, 5));
  guitest::Click(right, QPoint(5, 5));
  EXPECT_FALSE(left->Down());
  // Without AllowAllUp the down button stays down, and still clicks.
  guitest::Click(right, QPoint(5, 5));
  EXPECT_TRUE(right->Down());
  left->SetAllowAllUp(true); // for the whole group
  guitest::Click(right, QPoint(5, 5));
  EXPECT_FALSE(right->Down());
  EXPECT_EQ(log, QStringList({"left", "right", "right", "right"}));

  // A press released outside does not click; back inside before the release it does.
  auto *button = Add<TSpeedButton>(QStringLiteral("Button"), 60, 0);
  button->OnClick = Logger(QStringLiteral("click"));
  log.clear();
  guitest::SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5), Qt::LeftButton);
  guitest::SendMouse(button, QEvent::MouseMove, Qt::NoButton, QPoint(80, 5), Qt::LeftButton);
  EXPECT_EQ(button->State(), bsUp);
  guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(80, 5), Qt::NoButton);
  EXPECT_TRUE(log.isEmpty());
  // Back inside before the release: pressed again, and it clicks.
  guitest::SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5), Qt::LeftButton);
  guitest::SendMouse(button, QEvent::MouseMove, Qt::NoButton, QPoint(80, 5), Qt::LeftButton);
  guitest::SendMouse(button, QEvent::MouseMove, Qt::NoButton, QPoint(6, 6), Qt::LeftButton);
  EXPECT_EQ(button->State(), bsDown);
  guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(6, 6), Qt::NoButton);
  EXPECT_EQ(log, QStringList({"click"}));
}

TEST_F(ButtonsTest, FlatSpeedButtonShowsItsFrameOnlyUnderTheMouse) {
  auto *button = Add<TSpeedButton>(QStringLiteral("Button"), 10, 10);
  button->SetFlat(true);
  form->SetColor(clBtnFace);
  Show();
  auto edgePixel = [this] { return form->Widget()->grab().toImage().pixel(10, 10) & 0xFFFFFF; };
  const QRgb face = ColorToQColor(clBtnFace).rgb() & 0xFFFFFF;
  EXPECT_EQ(edgePixel(), face);
  button->Perform(CM_MOUSEENTER);
  EXPECT_EQ(edgePixel(), ColorToQColor(clBtnHighlight).rgb() & 0xFFFFFF);
  button->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(edgePixel(), face);
}

struct LayoutCase {
  TButtonLayout layout;
  int margin;
  int spacing;
  TPoint glyph;
  TRect text;
};

// A 100 x 30 client with a 16 x 16 glyph and a 40 x 13 caption.
TEST(ButtonLayout, PlacesGlyphAndCaption) {
  const LayoutCase cases[] = {// Centred as a block: (100 - (16 + 4 + 40) + 1) / 2 = 20.
                              {blGlyphLeft, -1, 4, {20, 7}, Bounds(40, 9, 40, 13)},
                              {blGlyphRight, -1, 4, {64, 7}, Bounds(20, 9, 40, 13)},
                              // Spacing -1 with a margin: the rest is shared out.
                              {blGlyphLeft, 5, -1, {5, 7}, Bounds(40, 9, 40, 13)},
                              // Both -1: thirds.
                              {blGlyphLeft, -1, -1, {14, 7}, Bounds(44, 9, 40, 13)},
                              {blGlyphTop, 2, 1, {42, 2}, Bounds(30, 19, 40, 13)}};
  for (const LayoutCase &c : cases) {
    TPoint glyph;
    TRect text;
    CalcButtonLayout(Rect(0, 0, 100, 30), TPoint{0, 0}, TSize{16, 16}, TSize{40, 13}, c.layout, c.margin,
                     c.spacing, glyph, text);
    EXPECT_EQ(glyph, c.glyph) << c.layout << " " << c.margin << " " << c.spacing;
    EXPECT_EQ(text, c.text) << c.layout << " " << c.margin << " " << c.spacing;
  }
}

} // namespace
