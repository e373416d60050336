// The main window driven as a user would, with key presses and mouse clicks: lines and totals exact to the
// cent, the tax percent taken on Enter or on leaving its field, a change of type, lines and tax percents too
// large to be stored, the line table's popup, the lists, the MENU popup, Create Invoice with its question,
// preview and what-next choices, and Wipe All.
#include "app/about_box.h"
#include "app/customer_editor.h"
#include "app/customer_list.h"
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
#include <QTimer>
#include <QWindow>
#include <sqlite3.h>

namespace {

struct Line {
  QString description, quantity, price;
};

class MainForm : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    ASSERT_TRUE(output.isValid());
    TShippedSettings defaults;
    defaults.TaxPCT = 10;
    ASSERT_EQ(SeedDataFolder(data.path(), InvoiceTemplates(), defaults).Outcome, TSeedOutcome::Created);
    settings.emplace(FormatSettings::USEnglish());
    Printer()->SetPrinterSystem(std::make_unique<TScriptedPrinterSystem>(output.path()));
    StartApplicationReports();
    Application()->CreateForm(DD);
    Application()->CreateForm(F1);
    Application()->CreateForm(SETTINGS);
    Application()->CreateForm(HARD);
    Application()->CreateForm(WOTNEXT);
    Application()->CreateForm(AboutBox);
    Application()->CreateForm(CUSTLIST);
    Application()->CreateForm(CUSTEDIT);
    Application()->CreateForm(INVOICES);
    Application()->CreateForm(PRODUCTS);
    Application()->CreateForm(PRODEDIT);
    guitest::ShowAndActivate(F1);
  }
  void TearDown() override {
    AppFolderTest::TearDown();
    FreeReportPrinter();
    FreePrinter();
    settings.reset();
  }

  // A left click on a control as the window system delivers it: through its window, which gives the focus
  // to what takes it on a click.
  static void Click(TControl *control) {
    ClickAt(control, QPoint(control->Width() / 2, control->Height() / 2));
  }
  static void ClickAt(TControl *control, const QPoint &point) {
    const TPoint screen = control->ClientToScreen(TPoint{point.x(), point.y()});
    QWidget *window = (control->Widget() ? control->Widget() : control->Parent()->Widget())->window();
    const QPointF at = window->mapFromGlobal(QPoint(screen.X, screen.Y));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, window->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(window->windowHandle(), &event);
    }
    guitest::ProcessEvents();
  }
  static void Key(int key, const QString &text = QString()) {
    guitest::PressKey(key, Qt::NoModifier, text);
    guitest::ProcessEvents();
  }
  // Clicks into an edit, empties it with the keyboard and types Text.
  static void TypeInto(TWinControl *edit, const QString &text) {
    Click(edit);
    Key(Qt::Key_End);
    for (int i = 0; i < 20; ++i) Key(Qt::Key_Backspace, QStringLiteral("\b"));
    stdtest::TypeText(text);
    guitest::ProcessEvents();
  }
  void TypeCustomer(int row, const QString &text) {
    const TRect cell = F1->EGrid1->CellRect(1, row);
    ClickAt(F1->EGrid1, QPoint(cell.Left + 20, cell.Top + cell.Height() / 2));
    stdtest::TypeText(text);
    Key(Qt::Key_Return, QStringLiteral("\r"));
  }
  void AddLine(const Line &line) {
    TypeInto(F1->Memo1, line.description);
    if (F1->FEquantity->Visible()) TypeInto(F1->FEquantity, line.quantity);
    TypeInto(F1->FEnet, line.price);
    Click(F1->Button1);
  }
  static QStringList Totals() {
    return {F1->LabelNET->Caption(), F1->LabelTAX->Caption(), F1->LabelGROSS->Caption()};
  }
  // Picks a type in the type box with the keyboard.
  static void ChooseType(int index) {
    Click(F1->Combo1);
    Key(index ? Qt::Key_Down : Qt::Key_Up);
    Key(Qt::Key_Return, QStringLiteral("\r"));
  }
  // Clicks the item with that caption in a menu on the screen.
  static void ChooseFromMenu(QMenu *menu, const QString &caption) {
    ASSERT_TRUE(menu->isVisible());
    for (QAction *action : menu->actions())
      if (action->text() == caption) {
        const QPoint at = menu->actionGeometry(action).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, menu->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(menu, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, menu->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(menu, &release);
        guitest::ProcessEvents();
        return;
      }
    ADD_FAILURE() << "no item " << caption.toStdString();
  }
  // Runs Action once Form shows modally; it runs from the form's own modal loop.
  static void WhenShown(TCustomForm *form, std::function<void()> action, int tries = 400) {
    QTimer::singleShot(5, [=] {
      if ((form->Showing() && QApplication::activeModalWidget() == form->Widget()) || tries <= 0) {
        QApplication::setActiveWindow(form->Widget());
        guitest::ProcessEvents();
        action();
      } else {
        WhenShown(form, action, tries - 1);
      }
    });
  }
  // Create Invoice, answered: the question, then the preview closed with Escape, then a what-next choice.
  void CreateInvoice(bool confirm, TRadioButton *choice = nullptr) {
    services->AnswerMessageBox(confirm ? IDYES : IDNO);
    WhenShown(HARD, [=, this] {
      headersWhenShown = Headers().size();
      Key(Qt::Key_Escape, QStringLiteral("\x1b"));
      if (choice)
        WhenShown(WOTNEXT, [=] {
          Click(choice);
          Click(WOTNEXT->Button1);
        });
    });
    Click(F1->ButtonCREATE);
    guitest::ProcessEvents();
  }
  int Lines() const { return int(DD->INV2->RecordCount()); }
  QList<QList<QVariant>> Headers() { return Records(QStringLiteral("MINV1")); }
  QStringList Messages() {
    QStringList texts;
    for (const TMessageBoxRequest &box : services->MessageBoxes()) texts << box.Text;
    return texts;
  }

  QTemporaryDir output;
  qsizetype headersWhenShown = -1; // invoices stored when the last preview showed
  std::optional<FormatSettingsGuard> settings;
  ScopedScriptedServices services;
};

TEST_F(MainForm, StartsEmptyWithTheDefaultsAndPaintsItsControls) {
  EXPECT_EQ(F1->Combo1->ItemIndex(), 0);
  EXPECT_EQ(F1->FEtax->Text(), QStringLiteral("10.0"));
  EXPECT_EQ(F1->OvcDateEdit1->Date(), Date());
  EXPECT_EQ(Totals(), QStringList({"0.00", "0.00", "0.00"}));
  EXPECT_EQ(F1->ActiveControl(), F1->EGrid1->Editor());
  EXPECT_EQ(F1->OvcDbTable1->Column(1)->Width(), 497);
  // The form's colour, a title panel's, and the line table's header and white rows.
  const QImage form = GrabControl(F1);
  EXPECT_EQ(form.pixelColor(300, 162).rgb() & 0xFFFFFF, 0xDDE4F7u);
  EXPECT_EQ(form.pixelColor(20, 170).rgb() & 0xFFFFFF, 0xB1C1EDu);
  EXPECT_NE(form.pixelColor(300, 302), form.pixelColor(300, 400));
  EXPECT_EQ(form.pixelColor(300, 400).rgb() & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(MainForm, LinesAndTotalsAreExactToTheCent) {
  const struct {
    int type;
    QString tax;
    QList<Line> lines;
    int kept;
    QStringList totals;
  } cases[] = {
      // The price field takes two decimals: 0.333 is typed as 0.33.
      {0, "0", {{"Nails", "3", "0.333"}}, 1, {"0.99", "0.00", "0.99"}},
      {0, "17.5", {{"Plank", "1", "10"}}, 1, {"10.00", "1.75", "11.75"}},
      {0, "0", {{"Plank", "1", "10"}}, 1, {"10.00", "0.00", "10.00"}},
      {0, "17.5", {}, 0, {"0.00", "0.00", "0.00"}},
      {0, "17.5", {{"Return", "1", "5"}, {"Refund", "-1", "5"}}, 2, {"0.00", "0.00", "0.00"}},
      // Refused without a word: no description, or quantity 0 on an items invoice.
      {0, "0", {{"", "2", "3"}, {"Nothing", "0", "3"}}, 0, {"0.00", "0.00", "0.00"}},
      // A service has no quantity: its total is its price.
      {1, "12.5", {{"Consulting", "", "1.01"}, {"Travel", "", "0.2"}}, 2, {"1.21", "0.15", "1.36"}},
  };
  for (const auto &c : cases) {
    // A change of type starts with no lines.
    ChooseType(1 - c.type);
    ChooseType(c.type);
    TypeInto(F1->FEtax, c.tax);
    Key(Qt::Key_Return, QStringLiteral("\r"));
    for (const Line &line : c.lines) AddLine(line);
    EXPECT_EQ(Lines(), c.kept) << c.tax.toStdString();
    EXPECT_EQ(Totals(), c.totals);
    // An added line empties the entry fields; a refused one leaves them.
    if (c.kept) {
      EXPECT_EQ(F1->Memo1->Text(), QString());
    }
    EXPECT_EQ(F1->FEquantity->Visible(), c.type == 0);
    if (!c.lines.isEmpty()) {
      EXPECT_EQ(F1->ActiveControl(), F1->Memo1);
    }
  }
  // The services' lines are stored without a quantity.
  EXPECT_FALSE(Records(QStringLiteral("INV2"))[0][0].isValid());
}

TEST_F(MainForm, TaxPercentCountsOnlyOnEnterOrWhenItsFieldIsLeft) {
  AddLine({"Plank", "1", "10"});
  for (const auto &[key, text] : {std::pair{Qt::Key_Return, "\r"}, std::pair{Qt::Key_Tab, "\t"}}) {
    TypeInto(F1->FEtax, QStringLiteral("17.5"));
    EXPECT_EQ(Totals(), QStringList({"10.00", "1.00", "11.00"}));
    Key(key, QString::fromLatin1(text));
    EXPECT_EQ(Totals(), QStringList({"10.00", "1.75", "11.75"}));
    TypeInto(F1->FEtax, QStringLiteral("10"));
    Key(key, QString::fromLatin1(text));
  }
}

TEST_F(MainForm, ChangingTheTypeDropsTheLines) {
  for (int i = 1; i <= 3; ++i) AddLine({QStringLiteral("Line %1").arg(i), "2", "1.5"});
  ASSERT_EQ(Lines(), 3);
  ChooseType(1);
  EXPECT_EQ(Lines(), 0);
  EXPECT_EQ(Totals(), QStringList({"0.00", "0.00", "0.00"}));
  EXPECT_TRUE(F1->OvcDbTable1->Column(0)->Hidden());
  EXPECT_EQ(F1->OvcDbTable1->Column(1)->Width(), 561);
  EXPECT_FALSE(F1->LabelQUANTITY->Visible());
  ChooseType(0);
  EXPECT_FALSE(F1->OvcDbTable1->Column(0)->Hidden());
  EXPECT_EQ(F1->OvcDbTable1->Column(1)->Width(), 497);
  EXPECT_TRUE(F1->FEquantity->Visible());
}

TEST_F(MainForm, AmountsTooLargeAreRefusedWithAMessageKeepingWhatWasTyped) {
  AddLine({"Fleet", "9999", "99999999.9"});
  ASSERT_EQ(Lines(), 1);
  const struct {
    Line line;
    QString message;
  } cases[] = {
      {{"Too much", "99999999", "99999999.9"}, "The line total (quantity × price) is too large"},
      // Storable, but not the gross with 10 % tax.
      {{"Too much with tax", "90000", "99999999.9"}, "The gross amount is too large"},
  };
  for (const auto &c : cases) {
    AddLine(c.line);
    EXPECT_EQ(Lines(), 1);
    ASSERT_FALSE(Messages().isEmpty());
    EXPECT_TRUE(Messages().last().startsWith(c.message)) << Messages().last().toStdString();
    EXPECT_EQ(F1->Memo1->Text(), c.line.description);
    EXPECT_EQ(F1->FEquantity->Text(), c.line.quantity);
  }
  // A tax percent that makes the tax too large goes back to the one the totals have.
  TypeInto(F1->FEtax, QStringLiteral("2000"));
  Key(Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_TRUE(Messages().last().startsWith(QStringLiteral("The tax is too large")))
      << Messages().last().toStdString();
  EXPECT_EQ(F1->FEtax->Text(), QStringLiteral("10.0"));
  EXPECT_EQ(Totals(), QStringList({"999899999000.10", "99989999900.01", "1099889998900.11"}));
}

TEST_F(MainForm, DeleteItemFromTheLineTablesPopup) {
  for (int i = 1; i <= 3; ++i) AddLine({QStringLiteral("Line %1").arg(i), QString::number(i), "1"});
  TOvcDbTable *table = F1->OvcDbTable1;
  const auto deleteRow = [&](int row) {
    const TRect cell = table->CellRect(row, 1);
    const QPoint at(cell.Left + 5, cell.Top + 5);
    // The click that gives the table the focus does nothing else.
    if (!table->Focused()) ClickAt(table, at);
    ClickAt(table, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, table->Widget()->mapToGlobal(at));
    QApplication::sendEvent(table->Widget(), &menu);
    guitest::ProcessEvents();
    ChooseFromMenu(F1->PopupMenu1->MenuWidget(), QStringLiteral("Delete Item"));
  };
  deleteRow(1);
  QStringList left;
  for (const QList<QVariant> &line : Records(QStringLiteral("INV2"))) left << line[1].toString();
  EXPECT_EQ(left, QStringList({"Line 1", "Line 3"}));
  EXPECT_EQ(Totals(), QStringList({"4.00", "0.40", "4.40"}));
  EXPECT_EQ(F1->ActiveControl(), F1->Memo1);
  deleteRow(0);
  deleteRow(0);
  EXPECT_EQ(Lines(), 0);
  deleteRow(0); // nothing left: nothing happens
  EXPECT_EQ(Totals(), QStringList({"0.00", "0.00", "0.00"}));
}

TEST_F(MainForm, CustomerAndProductArePickedFromTheirLists) {
  for (const QStringList &customer : {QStringList{"Mill Lane Garage", "1 Mill Lane"},
                                      QStringList{"Harbour Bakery", "12 Quay Street", "Portsmouth"}}) {
    DD->CUST->Append();
    for (int i = 0; i < customer.size(); ++i) DD->CUST->Fields()->Fields(i + 1)->SetAsString(customer[i]);
    DD->CUST->Post();
  }
  for (const auto &[type, description, price] : {std::tuple{0, "Bread knife", 12.0}, {1, "Delivery", 5.5}}) {
    DD->PRODUCTS->Append();
    DD->PRODUCTSTYPE->SetAsInteger(type);
    DD->PRODUCTSDESCRIPTION->SetAsString(QString::fromLatin1(description));
    DD->PRODUCTSITEMPRICE->SetAsFloat(price);
    DD->PRODUCTS->Post();
  }
  // A double-click on the first row of a list: the customers in name order, the products of the type.
  const auto pickFirst = [](TForm *list, TListTable *table) {
    WhenShown(list, [table] {
      const int header = table->HeaderOptions().Contains(hoShowHeader) ? table->HeaderHeight() : 0;
      const QPoint at(table->ClientWidth() / 2, header + table->RowHeight() / 2);
      guitest::Click(table, at);
      guitest::SendMouse(table, QEvent::MouseButtonDblClick, Qt::LeftButton, at, Qt::LeftButton);
      guitest::SendMouse(table, QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton);
    });
  };
  pickFirst(CUSTLIST, CUSTLIST->OvcDbTable1);
  Click(F1->ButtonLIST);
  QStringList rows;
  for (int row = 0; row < 3; ++row) rows << F1->EGrid1->ItemAt(row)->DisplayText();
  EXPECT_EQ(rows, QStringList({"Harbour Bakery", "12 Quay Street", "Portsmouth"}));
  EXPECT_EQ(DD->InvCUSTNO, DD->CUST->FieldByName(QStringLiteral("CUSTNO"))->AsInteger());
  EXPECT_NE(DD->InvCUSTNO, 0);
  EXPECT_TRUE(F1->EGrid1->ReadOnly());

  ChooseType(1);
  pickFirst(PRODUCTS, PRODUCTS->OvcDbTable1);
  Click(F1->ButtonPRODUCTS);
  EXPECT_EQ(F1->Memo1->Text(), QStringLiteral("Delivery"));
  EXPECT_EQ(F1->FEnet->Text(), QStringLiteral("5.50"));
  EXPECT_EQ(Lines(), 0); // filled in, not added

  // MANUAL: the rows empty and editable again, no customer number.
  Click(F1->ButtonMANUAL);
  EXPECT_EQ(F1->EGrid1->ItemAt(0)->DisplayText(), QString());
  EXPECT_FALSE(F1->EGrid1->ReadOnly());
  EXPECT_EQ(DD->InvCUSTNO, 0);
}

TEST_F(MainForm, CreateInvoiceChecksTheCustomerAndTheLinesFirst) {
  Click(F1->ButtonCREATE);
  EXPECT_EQ(Messages(), QStringList({"Error:  You must supply a Customer Name.",
                                     "Error:  You have not added any items."}));
  EXPECT_EQ(F1->ActiveControl(), F1->EGrid1->Editor());
  // A name still being typed counts.
  AddLine({"Flour", "1", "1"});
  const TRect cell = F1->EGrid1->CellRect(1, 0);
  ClickAt(F1->EGrid1, QPoint(cell.Left + 20, cell.Top + cell.Height() / 2));
  stdtest::TypeText(QStringLiteral("Mill"));
  CreateInvoice(false);
  EXPECT_EQ(services->MessageBoxes().last().Text, QStringLiteral("Do you want to confirm this invoice?"));
  EXPECT_TRUE(Headers().isEmpty());
}

TEST_F(MainForm, CreateInvoiceStoresOnlyWhenConfirmedAndActsOnTheWhatNextChoice) {
  const struct {
    bool confirm;
    int choice; // 1 to 4, 0 none
    int stored; // invoices stored after the run
    int lines;  // lines left on the window
    bool customerKept;
    bool open; // the main window still open
  } cases[] = {
      {false, 0, 0, 2, true, true}, {true, 4, 1, 2, false, true}, {true, 3, 2, 0, true, true},
      {true, 2, 3, 0, false, true}, {true, 1, 4, 2, true, false},
  };
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  TypeCustomer(1, QStringLiteral("12 Quay Street"));
  for (const auto &c : cases) {
    if (Lines() == 0)
      for (const Line &line : {Line{"Flour", "3", "2.5"}, Line{"Yeast", "1", "0.99"}}) AddLine(line);
    if (F1->EGrid1->ItemAt(0)->DisplayText().isEmpty()) TypeCustomer(0, QStringLiteral("Harbour Bakery"));
    TRadioButton *buttons[] = {nullptr, WOTNEXT->RB1, WOTNEXT->RB2, WOTNEXT->RB3, WOTNEXT->RB4};
    CreateInvoice(c.confirm, buttons[c.choice]);
    EXPECT_EQ(services->MessageBoxes().last().Text, QStringLiteral("Do you want to confirm this invoice?"));
    // A confirmed invoice is stored before it is shown.
    EXPECT_EQ(headersWhenShown, c.stored);
    EXPECT_EQ(F1->Showing(), c.open);
    if (!c.open) break;
    EXPECT_EQ(Headers().size(), c.stored) << c.choice;
    EXPECT_EQ(Lines(), c.lines) << c.choice;
    EXPECT_EQ(F1->EGrid1->ItemAt(0)->DisplayText().isEmpty(), !c.customerKept) << c.choice;
  }
  // Four invoices numbered 1 to 4, each whole: a hand-typed customer, 10 % of 8.49.
  ASSERT_EQ(Headers().size(), 4);
  for (int i = 0; i < 4; ++i) {
    const QList<QVariant> header = Headers()[i];
    EXPECT_EQ(header.mid(3, 3), QList<QVariant>({0, "Harbour Bakery", i == 0 ? "12 Quay Street" : ""}));
    EXPECT_EQ(header.mid(10, 3), QList<QVariant>({8.49, 0.85, 9.34}));
    EXPECT_EQ(header[14].toInt(), i + 1);
  }
  EXPECT_EQ(Records(QStringLiteral("MINV2")).size(), 8);
  // EXIT closed the window and every table.
  EXPECT_FALSE(DD->MINV1->Active());
  EXPECT_FALSE(DD->ffClient1->Active());
}

TEST_F(MainForm, AStoreTheDatabaseRefusesLeavesTheInvoiceOnTheWindow) {
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open(QDir(data.path()).filePath(QStringLiteral("tallyrook.db")).toUtf8(), &db),
            SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(db,
                   "CREATE TRIGGER refuse BEFORE INSERT ON MINV2 BEGIN SELECT RAISE(ABORT, 'disk full'); END",
                   nullptr, nullptr, nullptr),
      SQLITE_OK);
  sqlite3_close(db);
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  AddLine({"Flour", "3", "2.5"});
  services->AnswerMessageBox(IDYES);
  Click(F1->ButtonCREATE);
  EXPECT_TRUE(Messages().last().contains(QStringLiteral("disk full"))) << Messages().last().toStdString();
  EXPECT_TRUE(Headers().isEmpty());
  EXPECT_EQ(Lines(), 1);
  EXPECT_EQ(F1->EGrid1->ItemAt(0)->DisplayText(), QStringLiteral("Harbour Bakery"));
  EXPECT_EQ(Totals(), QStringList({"7.50", "0.75", "8.25"}));
}

TEST_F(MainForm, MenuPopsUpUnderItsButtonPaintedAndOpensWhatItNames) {
  Click(F1->ButtonMENU);
  QMenu *menu = F1->PopSETTINGS->MenuWidget();
  ASSERT_TRUE(menu->isVisible());
  const TPoint corner = F1->ButtonMENU->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(F1->PopSETTINGS->PopupPoint(), (TPoint{corner.X, corner.Y + 20}));
  QStringList captions;
  for (QAction *action : menu->actions()) captions << (action->isSeparator() ? "-" : action->text());
  EXPECT_EQ(captions, QStringList({"Edit Settings", "View Past Invoices", "-", "Wipe All and Re-Start", "-",
                                   "About Tallyrook - and Help"}));
  // Painted in the menu colour.
  const QImage picture = menu->grab().toImage();
  EXPECT_EQ(picture.pixelColor(picture.width() - 10, 10).rgb() & 0xFFFFFF, 0xD5DCF4u);

  bool aboutShown = false;
  WhenShown(AboutBox, [&] {
    aboutShown = AboutBox->ActiveControl() == AboutBox->OKButton;
    Key(Qt::Key_Escape, QStringLiteral("\x1b"));
  });
  ChooseFromMenu(menu, QStringLiteral("About Tallyrook - and Help"));
  EXPECT_TRUE(aboutShown);
}

TEST_F(MainForm, EditSettingsBringsTheNewDefaultTaxPercentAndKeepsTheType) {
  ChooseType(1);
  AddLine({"Consulting", "", "10"});
  WhenShown(SETTINGS, [] {
    const TRect cell = SETTINGS->EGrid1->CellRect(1, TSETTINGS::rowTaxPercent);
    ClickAt(SETTINGS->EGrid1, QPoint(cell.Left + 20, cell.Top + cell.Height() / 2));
    Key(Qt::Key_End);
    for (int i = 0; i < 6; ++i) Key(Qt::Key_Backspace, QStringLiteral("\b"));
    stdtest::TypeText(QStringLiteral("20"));
    Click(SETTINGS->Button1);
  });
  Click(F1->ButtonMENU);
  ChooseFromMenu(F1->PopSETTINGS->MenuWidget(), QStringLiteral("Edit Settings"));
  EXPECT_EQ(DD->DefaultTaxPCT, 20);
  EXPECT_EQ(F1->FEtax->Text(), QStringLiteral("20.0"));
  EXPECT_EQ(Totals(), QStringList({"10.00", "2.00", "12.00"}));
  EXPECT_EQ(F1->Combo1->ItemIndex(), 1);
  EXPECT_EQ(Lines(), 1);
}

TEST_F(MainForm, WipeAllAsksFirstThenEmptiesEverythingButTheSettings) {
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  AddLine({"Flour", "3", "2.5"});
  CreateInvoice(true, WOTNEXT->RB4);
  ASSERT_EQ(Headers().size(), 1);
  TypeCustomer(0, QStringLiteral("Mill"));
  for (const int answer : {IDNO, IDYES}) {
    services->AnswerMessageBox(answer);
    Click(F1->ButtonMENU);
    ChooseFromMenu(F1->PopSETTINGS->MenuWidget(), QStringLiteral("Wipe All and Re-Start"));
    const TMessageBoxRequest &box = services->MessageBoxes().last();
    EXPECT_EQ(box.Caption, QStringLiteral("Wipe All"));
    EXPECT_EQ(box.Icon, TMessageIcon::Warning);
    EXPECT_EQ(box.DefaultButton, IDNO);
    EXPECT_EQ(Headers().size(), answer == IDYES ? 0 : 1);
    EXPECT_EQ(Lines(), answer == IDYES ? 0 : 1);
    EXPECT_EQ(F1->EGrid1->ItemAt(0)->DisplayText().isEmpty(), answer == IDYES);
  }
  // The name row's editor starts empty too.
  Key(Qt::Key_Down);
  EXPECT_EQ(F1->EGrid1->ItemAt(0)->DisplayText(), QString());
  // The counter stays: the next invoice is number 2.
  EXPECT_EQ(Records(QStringLiteral("CONTROL"))[0][7].toInt(), 1);
}

} // namespace
