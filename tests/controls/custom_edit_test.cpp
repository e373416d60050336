// The library's edit (its label, no caption from its name) and the edit with a popup
// button (button layout, opening and closing through posted messages, Enter and Escape while open).
#include "controls/edits/custom_edit.h"
#include "controls/edits/popup_button_edit.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include "tests/platform/std_test_helpers.h"
#include <QString>
#include <gtest/gtest.h>

namespace {

class CustomEditTest : public stdtest::FormTest {
protected:
  template <typename T>
  T *AddEdit(const QString &name) {
    return Add<T>(40, 50, 150, 24, name);
  }
  TOvcEdPopup *AddPopup() {
    auto *edit = AddEdit<TOvcEdPopup>(QStringLiteral("DateEdit"));
    edit->OnPopupOpen = TNotifyEvent::From([this](TObject *) { events += QStringLiteral("open;"); });
    edit->OnPopupClose = TNotifyEvent::From([this](TObject *) { events += QStringLiteral("close;"); });
    return edit;
  }

  QString events;
};

TEST_F(CustomEditTest, TheNameIsNotTheTextAndTheLabelGoesWithTheEdit) {
  auto *edit = AddEdit<TOvcCustomEdit>(QStringLiteral("Customer"));
  EXPECT_EQ(edit->Text(), QString()) << "the name is not taken as text";
  guitest::ShowAndActivate(form);
  edit->LabelInfo()->SetVisible(true);
  TOvcAttachedLabel *label = edit->AttachedLabel();
  // The label goes with the edit.
  const QString labelName = label->Name();
  edit->Free();
  EXPECT_EQ(form->FindComponent(labelName), nullptr);
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
    EXPECT_EQ(button->Left(), 150 - GetSystemMetrics(SM_CXVSCROLL) - c.rightGap) << c.border << c.ctl3D;
    EXPECT_EQ(button->Top(), c.top);
    EXPECT_EQ(button->Height(), edit->ClientHeight() - c.heightLoss);
    edit->Free();
  }
}

TEST_F(CustomEditTest, AWideGlyphWidensTheButtonAHiddenOneHasNoSizeAndTheTextEndsWhereItBegins) {
  auto *edit = AddPopup();
  const int width = GetSystemMetrics(SM_CXVSCROLL);
  TBitmap wide(width + 10, 8);
  edit->SetButtonGlyph(&wide);
  EXPECT_EQ(edit->Button()->Width(), width + 14);

  guitest::ShowAndActivate(form);
  TRect text;
  edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_LE(text.Right, edit->Button()->Left());
  edit->SetShowButton(false);
  EXPECT_EQ(std::tuple(edit->Button()->Width(), edit->Button()->Height(), edit->Width()),
            std::tuple(0, 0, 150));
  edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text.Right, edit->ClientWidth());

  // The button is disabled for a read-only edit.
  edit->SetReadOnly(true);
  edit->RecreateWnd();
  EXPECT_FALSE(edit->Button()->Enabled());
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

TEST_F(CustomEditTest, EnterAndEscapeCloseAnOpenPopupOtherDialogKeysPass) {
  for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
    auto *edit = AddPopup();
    guitest::ShowAndActivate(form);
    edit->SetFocus();
    guitest::ProcessEvents();
    events.clear();
    TMessage closed{CM_DIALOGKEY, VK_ESCAPE, 0, 0};
    edit->WndProc(closed);
    EXPECT_EQ(closed.Result, 0) << "passes while the popup is closed";
    edit->PopupOpen();
    guitest::ProcessEvents();
    TMessage tab{CM_DIALOGKEY, VK_TAB, 0, 0};
    edit->WndProc(tab);
    EXPECT_EQ(tab.Result, 0);
    EXPECT_TRUE(edit->PopupActive()) << "only Enter and Escape close it";
    guitest::PressKey(key, Qt::NoModifier, QString(), 0, edit->Widget());
    EXPECT_FALSE(edit->PopupActive()) << key;
    guitest::ProcessEvents();
    EXPECT_EQ(events, QStringLiteral("open;close;")) << key;
    edit->Free();
  }
}

} // namespace
