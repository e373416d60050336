// A windowed control that wraps a Qt widget with an inner widget of its own (an editable combo box's line
// edit): the inner widget's keys and mouse reach the control first, in the window's client coordinates.
#include "gui_test_helpers.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// An editable combo box, whose edit field inside the window also takes the mouse.
class ComboBox : public TWinControl {
public:
  explicit ComboBox(TComponent *owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 120, 24);
  }
  QComboBox *Combo() const { return static_cast<QComboBox *>(Widget()); }
  QStringList messages;
  void WndProc(TMessage &m) override {
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS;
      return;
    }
    if (m.Msg == WM_KEYDOWN) messages.append(QStringLiteral("keydown %1").arg(m.WParam));
    TWinControl::WndProc(m);
  }

protected:
  QWidget *CreateWindowWidget(const TCreateParams &) override {
    auto *combo = new TControlWidget<QComboBox>(this);
    combo->setEditable(true);
    combo->setFocusPolicy(Qt::StrongFocus);
    ForwardEventsOf(combo->lineEdit());
    return combo;
  }
};

class WrappedWidgetTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetClientSize(200, 80);
    next = new TCustomControl(form);
    next->SetParent(form);
    next->SetTabStop(true);
    next->SetBounds(8, 8, 120, 22);
    guitest::ShowAndActivate(form);
  }
  void TearDown() override {
    form->Free();
    guitest::ProcessEvents();
  }
  ScopedScriptedServices services;
  TForm *form = nullptr;
  TCustomControl *next = nullptr;
};

TEST_F(WrappedWidgetTest, KeysGivenToAWidgetInsideTheWindowReachTheControlFirst) {
  auto *combo = new ComboBox(form);
  combo->SetParent(form);
  combo->SetBounds(8, 60, 120, 24);
  combo->SetTabOrder(0);
  combo->OnKeyPress = TKeyPressEvent::From([](TObject *, QChar &key) { key = key.toUpper(); });
  combo->SetFocus();
  ASSERT_TRUE(combo->Focused());
  guitest::PressKey(Qt::Key_A, Qt::NoModifier, "a");
  guitest::PressKey(Qt::Key_B, Qt::NoModifier, "b");
  EXPECT_EQ(combo->Combo()->currentText(), QStringLiteral("AB"));
  EXPECT_TRUE(combo->messages.contains(QStringLiteral("keydown %1").arg(int('A'))));
  guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_TRUE(next->Focused()) << "Tab goes on in tab order";

  // A click on the edit field inside reaches the control in the window's client coordinates.
  QStringList clicks;
  combo->OnMouseDown = TMouseEvent::From([&](TObject *, TMouseButton, TShiftState, int x, int y) {
    clicks.append(QStringLiteral("%1,%2").arg(x).arg(y));
  });
  QLineEdit *field = combo->Combo()->lineEdit();
  const QPoint inField(4, 3);
  const QPoint inWindow = field->mapTo(combo->Widget(), inField);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(inField), QPointF(field->mapToGlobal(inField)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(inField), QPointF(field->mapToGlobal(inField)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(field, &release);
  EXPECT_EQ(clicks, QStringList({QStringLiteral("%1,%2").arg(inWindow.x()).arg(inWindow.y())}));
}

} // namespace
