// The program's start in process, as far as its windows need it: a data folder seeded with the invoice
// templates and `shipped` settings, the printers `printerNames` that write PDF files into `output`, the data
// module, the main window (not shown unless a test shows it) and every dialog in the program's order, under
// the formats of the process's locale (US English under the C locale), so that the same tests run under a
// locale with a decimal comma too. Run shows a dialog modally as its caller does, centred over the main
// window, and drives it from inside its modal loop; WhenUp drives a dialog that the code under test shows.
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
#include "platform/core/format_settings.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/control_grab.h"
#include "report/printer_wrapper.h"
#include "tests/app/app_fixture.h"
#include "tests/platform/std_test_helpers.h"
#include <QContextMenuEvent>
#include <QMenu>
#include <QWindow>

using stdtest::TypeText;

class DialogTest : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    ASSERT_TRUE(output.isValid());
    Seed(InvoiceTemplates(), shipped);
    if (!sqlBeforeStart.isEmpty()) Sql(sqlBeforeStart.toUtf8().constData());
    auto system = std::make_unique<TScriptedPrinterSystem>(output.path());
    printers = system.get();
    for (const QString &name : printerNames) {
      TPrinterDescription printer;
      printer.name = name;
      printer.papers = {*StandardPaper(DMPAPER_A4), *StandardPaper(DMPAPER_LETTER)};
      printer.resolution = 150;
      system->AddPrinter(printer);
    }
    if (!printerNames.isEmpty()) system->SetDefaultPrinter(printerNames[0]);
    Printer()->SetPrinterSystem(std::move(system));
    StartApplicationReports();
    Application()->CreateForm(DD);
    Application()->CreateForm(F1);
    F1->SetBounds(120, 90, F1->Width(), F1->Height());
    Application()->CreateForm(SETTINGS);
    Application()->CreateForm(HARD);
    Application()->CreateForm(WOTNEXT);
    Application()->CreateForm(AboutBox);
    Application()->CreateForm(CUSTLIST);
    Application()->CreateForm(CUSTEDIT);
    Application()->CreateForm(INVOICES);
    Application()->CreateForm(PRODUCTS);
    Application()->CreateForm(PRODEDIT);
  }
  void TearDown() override {
    AppFolderTest::TearDown();
    FreeReportPrinter();
    FreePrinter();
  }

  // Returns the modal result; a dialog still open after While is closed.
  TModalResult Run(TCustomForm *Dialog, const std::function<void()> &While) {
    CentreOverMainWindow(Dialog);
    bool ran = false;
    stdtest::WhenFocused([&] {
      ran = true;
      EXPECT_EQ(Dialog->Left(), DD->FormPosLeft(Dialog->Width()));
      EXPECT_EQ(Dialog->Top(), DD->FormPosTop(Dialog->Height()));
      While();
      guitest::ProcessEvents();
      if (Dialog->ModalResult() == mrNone) Dialog->Close();
    });
    const TModalResult result = Dialog->ShowModal();
    EXPECT_TRUE(ran);
    return result;
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

  // A left click as the window system delivers it: through the control's window, which gives the focus to
  // what takes it on a click. At: in the control's client area, its middle by default.
  static void Click(TControl *Control, std::optional<QPoint> At = std::nullopt) {
    const QPoint point = At.value_or(QPoint(Control->Width() / 2, Control->Height() / 2));
    const TPoint screen = Control->ClientToScreen(TPoint{point.x(), point.y()});
    QWidget *window = (Control->Widget() ? Control->Widget() : Control->Parent()->Widget())->window();
    const QPointF at = window->mapFromGlobal(QPoint(screen.X, screen.Y));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, window->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(window->windowHandle(), &event);
    }
    guitest::ProcessEvents();
  }
  // Clicks the value cell of a row of an entry grid, which opens its editor.
  static void ClickRow(TControl *Grid, const TRect &Cell) {
    Click(Grid, QPoint(Cell.Left + 20, (Cell.Top + Cell.Bottom) / 2));
  }
  // The middle of a row of a list, in its client area.
  static QPoint RowPoint(TListTable *Table, int Row) {
    const int header = Table->HeaderOptions().Contains(hoShowHeader) ? Table->HeaderHeight() : 0;
    return QPoint(Table->ClientWidth() / 2, header + Row * Table->RowHeight() + Table->RowHeight() / 2);
  }
  static void DoubleClick(TListTable *Table, int Row) {
    const QPoint at = RowPoint(Table, Row);
    guitest::Click(Table, at);
    guitest::SendMouse(Table, QEvent::MouseButtonDblClick, Qt::LeftButton, at, Qt::LeftButton);
    guitest::SendMouse(Table, QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton);
    guitest::ProcessEvents();
  }
  // Clicks the item with that caption (the first item when none) in a menu on the screen.
  static void ChooseFromMenu(QMenu *Menu, const QString &Caption = QString()) {
    ASSERT_TRUE(Menu->isVisible());
    for (QAction *action : Menu->actions())
      if (Caption.isEmpty() || action->text() == Caption) {
        const QPoint at = Menu->actionGeometry(action).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
          QMouseEvent event(type, at, Menu->mapToGlobal(at), Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
          QApplication::sendEvent(Menu, &event);
        }
        guitest::ProcessEvents();
        return;
      }
    ADD_FAILURE() << "no item " << Caption.toStdString();
  }
  // A right click at At in a control, as the window system delivers it with its context menu event.
  static void RightClick(TControl *Control, QPoint At) {
    guitest::Click(Control, At, Qt::RightButton);
    const TPoint origin = Control->ClientOrigin();
    const QPoint global(origin.X + At.x(), origin.Y + At.y());
    QContextMenuEvent menu(QContextMenuEvent::Mouse, Control->Widget()->mapFromGlobal(global), global);
    QApplication::sendEvent(Control->Widget(), &menu);
    guitest::ProcessEvents();
  }
  static void Key(int Key, const QString &Text = QString(),
                  Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    guitest::PressKey(Key, Modifiers, Text);
    guitest::ProcessEvents();
  }
  static void Tab() { Key(Qt::Key_Tab); }
  static void BackTab() { Key(Qt::Key_Backtab, QString(), Qt::ShiftModifier); }
  static void Enter() { Key(Qt::Key_Return, QStringLiteral("\r")); }
  static void Escape() { Key(Qt::Key_Escape, QStringLiteral("\x1b")); }
  static void SelectAll() {
    Key(Qt::Key_End);
    Key(Qt::Key_Home, QString(), Qt::ShiftModifier);
  }
  void Paste(const QString &Text) {
    services->SetClipboardText(Text);
    stdtest::PressCtrl('V');
  }
  // A number written with a point (or several, as in a list of totals) in the locale's decimal separator.
  static QString Local(QString Number) {
    return Number.replace(QLatin1Char('.'), Settings().DecimalSeparator);
  }
  static QStringList Local(QStringList Numbers) {
    for (QString &number : Numbers) number = Local(number);
    return Numbers;
  }
  QStringList Messages() {
    QStringList texts;
    for (const TMessageBoxRequest &box : services->MessageBoxes()) texts << box.Text;
    return texts;
  }

  TShippedSettings shipped;
  QString sqlBeforeStart;   // run on the seeded file, as another program would, before the program starts
  QStringList printerNames; // made-up printers besides the PDF printer, the first the default
  TScriptedPrinterSystem *printers = nullptr;
  QTemporaryDir output;
  FormatSettingsGuard formats{FormatSettings::FromLocale(QLocale::system())};
  ScopedScriptedServices services;
};
