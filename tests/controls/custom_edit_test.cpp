// The library's edit (label, controller pickup, no caption from its name) and the edit with a popup
// button (button layout, opening and closing through posted messages, Enter and Escape while open).
#include "controls/edits/custom_edit.h"
#include "controls/edits/popup_button_edit.h"
#include "controls/framework/controller.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include "tests/platform/gui_test_helpers.h"
#include <QString>
#include <gtest/gtest.h>

namespace {

class CustomEditTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetName(QStringLiteral("Form"));
    form->SetClientSize(400, 200);
  }
  void TearDown() override {
    form->Free();
    guitest::ProcessEvents();
  }
  template <typename T>
  T *Add(const QString &name) {
    auto *edit = new T(form);
    edit->SetName(name);
    edit->SetParent(form);
    edit->SetBounds(40, 50, 150, 24);
    return edit;
  }
  TOvcEdPopup *AddPopup() {
    auto *edit = Add<TOvcEdPopup>(QStringLiteral("DateEdit"));
    edit->OnPopupOpen = TNotifyEvent::From([this](TObject *) { events += QStringLiteral("open;"); });
    edit->OnPopupClose = TNotifyEvent::From([this](TObject *) { events += QStringLiteral("close;"); });
    return edit;
  }

  ScopedScriptedServices services;
  TForm *form = nullptr;
  QString events;
};

TEST_F(CustomEditTest, NameIsNotTakenAsText) {
  auto *edit = Add<TOvcCustomEdit>(QStringLiteral("Customer"));
  EXPECT_EQ(edit->Text(), QString());
}

TEST_F(CustomEditTest, LabelIsNamedAfterTheEditFollowsItAndGoesWithIt) {
  auto *edit = Add<TOvcCustomEdit>(QStringLiteral("Customer"));
  guitest::ShowAndActivate(form);
  edit->LabelInfo()->SetVisible(true);
  TOvcAttachedLabel *label = edit->AttachedLabel();
  EXPECT_TRUE(label->Name().startsWith(QStringLiteral("CustomerLabel")));
  EXPECT_EQ(label->Caption(), label->Name());
  EXPECT_EQ(label->Left(), 40);
  EXPECT_EQ(label->Top() + label->Height(), 50) << "above the edit";
  guitest::ProcessEvents();
  edit->SetBounds(100, 120, 150, 24);
  guitest::ProcessEvents();
  EXPECT_EQ(label->Left(), 100);
  EXPECT_EQ(label->Top() + label->Height(), 120);
  // The label goes with the edit.
  const QString labelName = label->Name();
  edit->Free();
  EXPECT_EQ(form->FindComponent(labelName), nullptr);
}

TEST_F(CustomEditTest, PicksUpTheFormsControllerWhenItsWindowIsMade) {
  auto *controller = new TOvcController(nullptr);
  form->InsertComponent(controller);
  auto *edit = Add<TOvcCustomEdit>(QStringLiteral("Customer"));
  EXPECT_EQ(edit->AssignedController(), nullptr);
  edit->HandleNeeded();
  EXPECT_EQ(edit->Controller(), controller);
  controller->Free();
  EXPECT_EQ(edit->AssignedController(), nullptr);
  EXPECT_EQ(edit->Controller(), GetDefaultController());
}

TEST_F(CustomEditTest, ButtonStandsAtTheRightEdgeForEachBorder) {
  struct Case {
    TBorderStyle border;
    bool ctl3D;
    int rightGap;
    int top;
    int heightLoss;
  };
  const Case cases[] = {{bsNone, true, 0, 0, 0}, {bsSingle, true, 4, 0, 0}, {bsSingle, false, 1, 1, 2}};
  for (const Case &c : cases) {
    auto *edit = AddPopup();
    edit->SetBorderStyle(c.border);
    edit->SetCtl3D(c.ctl3D);
    edit->SetBounds(40, 50, 150, 24);
    TOvcEdButton *button = edit->Button();
    const int width = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(button->Width(), width);
    EXPECT_EQ(button->Left(), 150 - width - c.rightGap) << c.border << c.ctl3D;
    EXPECT_EQ(button->Top(), c.top);
    EXPECT_EQ(button->Height(), edit->ClientHeight() - c.heightLoss);
    EXPECT_TRUE(button->Caption().isEmpty());
    EXPECT_FALSE(button->TabStop());
    edit->Free();
  }
}

TEST_F(CustomEditTest, WideGlyphWidensTheButton) {
  auto *edit = AddPopup();
  const int width = GetSystemMetrics(SM_CXVSCROLL);
  TBitmap narrow(4, 4);
  edit->SetButtonGlyph(&narrow);
  EXPECT_EQ(edit->Button()->Width(), width);
  TBitmap wide(width + 10, 8);
  edit->SetButtonGlyph(&wide);
  EXPECT_EQ(edit->Button()->Width(), width + 14);
  EXPECT_EQ(edit->Button()->Glyph()->Width(), width + 10);
  EXPECT_NE(edit->ButtonGlyph(), &wide) << "the glyph is copied";
}

TEST_F(CustomEditTest, HiddenButtonHasNoSizeAndTheEditKeepsItsWidth) {
  auto *edit = AddPopup();
  edit->SetShowButton(false);
  EXPECT_EQ(edit->Button()->Width(), 0);
  EXPECT_EQ(edit->Button()->Height(), 0);
  EXPECT_EQ(edit->Width(), 150);
  edit->SetShowButton(true);
  EXPECT_GT(edit->Button()->Width(), 0);
}

TEST_F(CustomEditTest, TextEndsWhereTheButtonBegins) {
  auto *edit = AddPopup();
  guitest::ShowAndActivate(form);
  TRect text;
  edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_LE(text.Right, edit->Button()->Left());
  edit->SetShowButton(false);
  edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text.Right, edit->ClientWidth());
}

TEST_F(CustomEditTest, ButtonIsDisabledForAReadOnlyEdit) {
  auto *edit = AddPopup();
  edit->SetReadOnly(true);
  edit->HandleNeeded();
  EXPECT_FALSE(edit->Button()->Enabled());
  auto *other = Add<TOvcEdPopup>(QStringLiteral("Other"));
  other->HandleNeeded();
  EXPECT_TRUE(other->Button()->Enabled());
}

TEST_F(CustomEditTest, ButtonOpensThePopupAndTheEventFollowsLater) {
  auto *edit = AddPopup();
  guitest::ShowAndActivate(form);
  edit->Button()->Click();
  EXPECT_TRUE(edit->PopupActive());
  EXPECT_EQ(events, QString()) << "the event comes through a posted message";
  guitest::ProcessEvents();
  EXPECT_EQ(events, QStringLiteral("open;"));
  edit->PopupClose(edit);
  EXPECT_FALSE(edit->PopupActive());
  guitest::ProcessEvents();
  EXPECT_EQ(events, QStringLiteral("open;close;"));
}

TEST_F(CustomEditTest, EnterAndEscapeCloseAnOpenPopup) {
  for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
    auto *edit = AddPopup();
    guitest::ShowAndActivate(form);
    edit->SetFocus();
    guitest::ProcessEvents();
    events.clear();
    edit->PopupOpen();
    guitest::ProcessEvents();
    guitest::PressKey(key, Qt::NoModifier, QString(), 0, edit->Widget());
    EXPECT_FALSE(edit->PopupActive()) << key;
    guitest::ProcessEvents();
    EXPECT_EQ(events, QStringLiteral("open;close;")) << key;
    edit->Free();
  }
}

TEST_F(CustomEditTest, DialogKeysPassWhileThePopupIsClosed) {
  auto *edit = AddPopup();
  guitest::ShowAndActivate(form);
  TMessage message{CM_DIALOGKEY, VK_ESCAPE, 0, 0};
  edit->WndProc(message);
  EXPECT_EQ(message.Result, 0);
  edit->PopupOpen();
  TMessage other{CM_DIALOGKEY, VK_TAB, 0, 0};
  edit->WndProc(other);
  EXPECT_EQ(other.Result, 0);
  EXPECT_TRUE(edit->PopupActive()) << "only Enter and Escape close it";
}

TEST(PopupArrowGlyph, IsAnArrowPointingDown) {
  const QImage image = PopupArrowGlyph();
  ASSERT_EQ(image.size(), QSize(7, 4));
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(6, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(0, 3).alpha(), 0);
}

} // namespace
