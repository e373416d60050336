// The program's start as far as its dialogs need it: a seeded data folder, the data module, the main window,
// then the dialogs in the program's order; with `printing` set before SetUp, also the print preview, the
// invoice templates and printers that write PDF files into `output`. Run shows a dialog modally as its
// caller does, centred over the main window, and drives it from inside its modal loop; WhenUp drives a
// dialog that the code under test shows. With TALLYROOK_SCREENSHOTS set Run saves a picture of the dialog
// there for a person to look at.
#pragma once
#include "app/about_box.h"
#include "app/customer_editor.h"
#include "app/customer_list.h"
#include "app/dialog_placement.h"
#include "app/invoice_templates.h"
#include "app/main_form.h"
#include "app/past_invoices.h"
#include "app/print_form.h"
#include "app/product_editor.h"
#include "app/product_list.h"
#include "app/program.h"
#include "app/settings_form.h"
#include "app/what_next_form.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/control_grab.h"
#include "report/printer_wrapper.h"
#include "tests/app/app_fixture.h"
#include "tests/platform/std_test_helpers.h"
#include <QDir>

class DialogTest : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    if (printing) {
      ASSERT_TRUE(output.isValid());
      ASSERT_EQ(SeedDataFolder(data.path(), InvoiceTemplates()).Outcome, TSeedOutcome::Created);
      Printer()->SetPrinterSystem(std::make_unique<TScriptedPrinterSystem>(output.path()));
      StartApplicationReports();
    } else {
      Seed();
    }
    Application()->CreateForm(DD);
    Application()->CreateForm(F1);
    // Not shown: the dialogs are the only windows that take the focus.
    F1->SetBounds(120, 90, F1->Width(), F1->Height());
    Application()->CreateForm(SETTINGS);
    if (printing) Application()->CreateForm(HARD);
    Application()->CreateForm(WOTNEXT);
    Application()->CreateForm(AboutBox);
    Application()->CreateForm(CUSTLIST);
    Application()->CreateForm(CUSTEDIT);
    Application()->CreateForm(INVOICES);
    Application()->CreateForm(PRODUCTS);
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

  void TearDown() override {
    AppFolderTest::TearDown();
    if (printing) {
      FreeReportPrinter();
      FreePrinter();
    }
  }

  // Runs While once Dialog, shown modally by the code under test, is up and has the focus; a dialog still
  // open after While is closed.
  static void WhenUp(TCustomForm *Dialog, const std::function<void()> &While, int Tries = 400) {
    QTimer::singleShot(5, [Dialog, While, Tries] {
      QWidget *focus = QApplication::focusWidget();
      if (Dialog->Showing() && focus && focus->window() == Dialog->Widget()->window() &&
          focus->window()->isActiveWindow()) {
        While();
        guitest::ProcessEvents();
        if (Dialog->Showing() && Dialog->ModalResult() == mrNone) Dialog->Close();
        return;
      }
      if (Tries <= 0) {
        ADD_FAILURE() << Dialog->Name().toStdString() << " did not come up";
        if (Dialog->Showing()) Dialog->Close();
        return;
      }
      // The offscreen platform does not always activate a modal window shown after another; the user would
      // click it.
      if (QWidget *modal = QApplication::activeModalWidget(); modal && !modal->isActiveWindow())
        QApplication::setActiveWindow(modal);
      WhenUp(Dialog, While, Tries - 1);
    });
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

  bool printing = false;
  QTemporaryDir output;
  ScopedScriptedServices services;
};
