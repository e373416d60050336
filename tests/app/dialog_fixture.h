// The program's start as far as its dialogs need it: a seeded data folder, the data module, the main window,
// then the dialogs in the program's order. Run shows a dialog modally as its caller does, centred over
// the main window, and drives it from inside its modal loop; with TALLYROOK_SCREENSHOTS set it saves a
// picture of the dialog there for a person to look at.
#pragma once
#include "app/about_box.h"
#include "app/customer_editor.h"
#include "app/dialog_placement.h"
#include "app/main_form.h"
#include "app/product_editor.h"
#include "app/settings_form.h"
#include "app/what_next_form.h"
#include "platform/windowing/control_grab.h"
#include "tests/app/app_fixture.h"
#include "tests/platform/std_test_helpers.h"
#include <QDir>

class DialogTest : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    Seed();
    Application()->CreateForm(DD);
    Application()->CreateForm(F1);
    // Not shown: the dialogs are the only windows that take the focus.
    F1->SetBounds(120, 90, F1->Width(), F1->Height());
    Application()->CreateForm(SETTINGS);
    Application()->CreateForm(WOTNEXT);
    Application()->CreateForm(AboutBox);
    Application()->CreateForm(CUSTEDIT);
    Application()->CreateForm(PRODEDIT);
  }

  // Returns the modal result; a dialog still open after While is closed.
  TModalResult Run(TCustomForm *Dialog, const std::function<void()> &While) {
    CentreOverMainWindow(Dialog);
    bool ran = false;
    stdtest::WhenFocused([&] {
      ran = true;
      EXPECT_EQ(Dialog->Left(), DD->FormPosLeft(Dialog->Width()));
      EXPECT_EQ(Dialog->Top(), DD->FormPosTop(Dialog->Height()));
      if (const QString shots = qEnvironmentVariable("TALLYROOK_SCREENSHOTS"); !shots.isEmpty())
        SaveControlPng(Dialog, QDir(shots).filePath(Dialog->Name().toLower() + QStringLiteral(".png")));
      While();
      guitest::ProcessEvents();
      if (Dialog->ModalResult() == mrNone) Dialog->Close();
    });
    const TModalResult result = Dialog->ShowModal();
    EXPECT_TRUE(ran);
    return result;
  }

  static void ClickOn(TControl *Control) {
    guitest::Click(Control, QPoint(Control->Width() / 2, Control->Height() / 2));
    guitest::ProcessEvents();
  }
  static void Tab() { guitest::PressKey(Qt::Key_Tab); }
  static void Enter() { guitest::PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); }
  static void Escape() { guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b")); }
  void Paste(const QString &Text) {
    services->SetClipboardText(Text);
    stdtest::PressCtrl('V');
  }

  ScopedScriptedServices services;
};
