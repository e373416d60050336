// The customer list, the product list and the past invoices on a real data folder, driven by keys and the
// mouse: finding, picking, adding and editing through the editors, filtering, cancelling and restoring.
// Re-printing a cancelled invoice: tests/e2e/invoice_road.sh.
#include "platform/widgets/menus.h"
#include "tests/app/dialog_fixture.h"

namespace {

using Texts = std::vector<std::string>;

// What the focused list shows, top to bottom, as the keys walk it: Field of each record.
Texts Walk(TDataSet *DataSet, const QString &Field) {
  guitest::PressKey(Qt::Key_Home, Qt::ControlModifier);
  Texts shown;
  for (TBookmark last; DataSet->GetBookmark() != last; guitest::PressKey(Qt::Key_Down)) {
    last = DataSet->GetBookmark();
    shown.push_back(DataSet->FieldByName(Field)->DisplayText().toStdString());
  }
  return shown;
}

class ListDialogs : public DialogTest {
protected:
  void AddCustomers(const QStringList &Names) {
    for (const QString &name : Names) {
      DD->CUST->Append();
      DD->CUST->FieldByName(QStringLiteral("CUSTOMER"))->SetAsString(name);
      DD->CUST->FieldByName(QStringLiteral("ADDR1"))->SetAsString(QStringLiteral("1 High Street"));
      DD->CUST->Post();
    }
  }
  std::string Customer() const {
    return DD->CUST->FieldByName(QStringLiteral("CUSTOMER"))->AsString().toStdString();
  }
  // Runs an editor's dialog that Button opens: Type, then SAVE.
  static void ThroughEditor(TCustomForm *Editor, TControl *Save, TControl *Button,
                            const std::function<void()> &Type) {
    WhenUp(Editor, [=] {
      Type();
      Click(Save);
    });
    Click(Button);
  }
};

TEST_F(ListDialogs, FindMovesToTheNearestNameOnEveryChangeOfItsText) {
  AddCustomers({"Mill Lane Garage", "Brown & Sons", "Abbey Road Studio", "Harbour Bakery", "Bramble Cafe",
                "Zeta Windows"});
  const QString tooLong = QStringLiteral("Harbour") + QString(60, QLatin1Char('x'));
  const struct {
    std::function<void()> change;
    QString text;         // in FIND afterwards
    std::string customer; // current afterwards
  } steps[] = {
      {[] { TypeText(QStringLiteral("b")); }, "b", "Bramble Cafe"},
      {[&] { SelectAll(), Paste(QStringLiteral("MILL")); }, "MILL", "Mill Lane Garage"},
      {[&] { SelectAll(), Paste(tooLong); }, tooLong.left(50), "Mill Lane Garage"},
      // Emptied: the list stays where it is.
      {[] { SelectAll(), Key(Qt::Key_Backspace); }, "", "Mill Lane Garage"},
  };
  CUSTLIST->SetUp();
  Run(CUSTLIST, [&] {
    Key(Qt::Key_Home, QString(), Qt::ControlModifier);
    BackTab();
    for (const auto &step : steps) {
      step.change();
      EXPECT_EQ(CUSTLIST->Edit1->Text().toStdString(), step.text.toStdString());
      EXPECT_EQ(Customer(), step.customer) << step.text.toStdString();
    }
    Escape();
  });
  EXPECT_EQ(CUSTLIST->Tag(), 0);
}

TEST_F(ListDialogs, ACustomerIsAddedEditedAndPickedByADoubleClickOnIt) {
  AddCustomers({"Mill Lane Garage", "Harbour Bakery"});
  // Longer than the field: its first 50 characters.
  const std::string bramble = "Bramble Cafe" + std::string(38, '!');
  CUSTLIST->SetUp();
  EXPECT_EQ(Run(CUSTLIST,
                [&] {
                  ThroughEditor(CUSTEDIT, CUSTEDIT->ButtonSAVE, CUSTLIST->ButtonNEW, [this] {
                    // Without a name, or with spaces only, SAVE says so and stores nothing.
                    for (const char *name : {"", "   "}) {
                      TypeText(QString::fromLatin1(name));
                      Click(CUSTEDIT->ButtonSAVE);
                      EXPECT_EQ(CUSTEDIT->ModalResult(), mrNone);
                      EXPECT_EQ(Messages().last(),
                                QStringLiteral("Error:  You must supply a Customer Name."));
                    }
                    Key(Qt::Key_Home, QString(), Qt::ShiftModifier);
                    Paste(QStringLiteral("Bramble Cafe") + QString(40, QLatin1Char('!')));
                    Tab();
                    TypeText(QStringLiteral("12 Quay Street"));
                  });
                  EXPECT_EQ(Customer(), bramble);
                  // The next customer, renamed, moves to its place.
                  Key(Qt::Key_Down);
                  ThroughEditor(CUSTEDIT, CUSTEDIT->ButtonSAVE, CUSTLIST->ButtonEDIT,
                                [] { SelectAll(), TypeText(QStringLiteral("Anchor Bakery")); });
                  EXPECT_EQ(Walk(DD->CUST, QStringLiteral("CUSTOMER")),
                            Texts({"Anchor Bakery", bramble, "Mill Lane Garage"}));
                  // A double-click below the customers picks nothing, not even the current one.
                  DoubleClick(CUSTLIST->OvcDbTable1, 5);
                  EXPECT_EQ(CUSTLIST->ModalResult(), mrNone);
                  DoubleClick(CUSTLIST->OvcDbTable1, 1);
                }),
            mrOk);
  EXPECT_EQ(CUSTLIST->Tag(), 1);
  EXPECT_EQ(Customer(), bramble);
  EXPECT_EQ(DD->CUST->FieldByName(QStringLiteral("ADDR1"))->AsString(), QStringLiteral("12 Quay Street"));
  EXPECT_EQ(Messages(), QStringList(2, QStringLiteral("Error:  You must supply a Customer Name.")));
  // The next run starts from the first customer, nothing picked.
  CUSTLIST->SetUp();
  EXPECT_EQ(Run(CUSTLIST, [] { Click(CUSTLIST->ButtonCLOSE); }), mrCancel);
  EXPECT_EQ(CUSTLIST->Tag(), 0);
  EXPECT_EQ(Customer(), "Anchor Bakery");
}

TEST_F(ListDialogs, ProductsOfOneTypeAreAddedEditedAndPickedAndPRODUCTSIsLeftWhole) {
  for (const char *item : {"Sourdough loaf", "Rye loaf"}) {
    DD->PRODUCTS->Append();
    DD->PRODUCTSTYPE->SetAsInteger(0);
    DD->PRODUCTSDESCRIPTION->SetAsString(QString::fromLatin1(item));
    DD->PRODUCTS->Post();
  }
  PRODUCTS->SetUp(1);
  EXPECT_EQ(Run(PRODUCTS,
                [&] {
                  EXPECT_EQ(PRODUCTS->OvcLabel1->Caption(), QStringLiteral("SERVICES"));
                  // No services yet: nothing to pick or edit.
                  DoubleClick(PRODUCTS->OvcDbTable1, 0);
                  Click(PRODUCTS->ButtonEDIT);
                  EXPECT_EQ(PRODUCTS->ModalResult(), mrNone);
                  ThroughEditor(PRODEDIT, PRODEDIT->ButtonSAVE, PRODUCTS->ButtonNEW, [] {
                    TypeText(QStringLiteral("Window cleaning")), Tab(), TypeText(QStringLiteral("25"));
                  });
                  DoubleClick(PRODUCTS->OvcDbTable1, 0);
                }),
            mrOk);
  EXPECT_EQ(PRODUCTS->Tag(), 1);
  EXPECT_EQ(DD->PRODUCTSDESCRIPTION->AsString(), QStringLiteral("Window cleaning"));
  EXPECT_EQ(DD->PRODUCTSTYPE->AsInteger(), 1);
  EXPECT_EQ(DD->PRODUCTS->RecordCount(), 3);
}

// Escape closes each list without a pick, from its list or from another control that has the focus.
TEST_F(ListDialogs, EveryListClosesOnEscapeWhereverTheFocusIs) {
  AddCustomers({"Harbour Bakery"});
  const struct {
    TForm *list;
    std::function<void()> setUp;
    TWinControl *other; // reached from the list with Shift+Tab
  } lists[] = {
      {CUSTLIST, [] { CUSTLIST->SetUp(); }, CUSTLIST->Edit1},
      {PRODUCTS, [] { PRODUCTS->SetUp(0); }, nullptr},
      {INVOICES, [] { INVOICES->SetUp(); }, INVOICES->OvcDbTable2},
  };
  for (const auto &list : lists)
    for (TWinControl *focused :
         {static_cast<TWinControl *>(list.list->FindComponent(QStringLiteral("OvcDbTable1"))), list.other}) {
      if (!focused) continue;
      SCOPED_TRACE(list.list->Name().toStdString() + " from " + focused->Name().toStdString());
      list.setUp();
      Run(list.list, [&] {
        if (focused == list.other) BackTab();
        EXPECT_EQ(list.list->ActiveControl(), focused);
        Escape();
        EXPECT_EQ(list.list->ModalResult(), mrCancel);
      });
    }
}

class PastInvoices : public ListDialogs {
protected:
  void SetUp() override {
    ListDialogs::SetUp();
    AddCustomers({"Harbour Bakery", "Mill Lane Garage"});
  }

  // Invoices 1001 to 1005, each with a line; 1002 and 1004 for services; 1003 and 1005 made with a customer
  // typed in (1003 named as a listed one).
  void StoreInvoices() {
    const QList<std::pair<const char *, int>> customers = {{"Harbour Bakery", 1},
                                                           {"Mill Lane Garage", 2},
                                                           {"Harbour Bakery", 0},
                                                           {"Harbour Bakery", 1},
                                                           {"Passing trade", 0}};
    for (int i = 0; i < customers.size(); ++i) {
      const int number = 1001 + i;
      DD->MINV1->Append();
      DD->MINV1TYPE->SetAsInteger(number % 2);
      DD->MINV1CANC->SetAsBoolean(false);
      DD->MINV1CUSTNO->SetAsInteger(customers[i].second);
      DD->MINV1CUSTOMER->SetAsString(QString::fromLatin1(customers[i].first));
      DD->MINV1InvDATE->SetAsDateTime(EncodeDate(2024, 5, 12));
      DD->MINV1InvNUM->SetAsFloat(number);
      DD->MINV1->Post();
      DD->MINV2->Append();
      DD->MINV2REC->SetAsInteger(DD->MINV1REC->AsInteger());
      DD->MINV2DESCRIPTION->SetAsString(QStringLiteral("Line of invoice %1").arg(number));
      DD->MINV2->Post();
    }
  }
  // Picks the first customer FIND finds for Text from the customer list that Customer opens.
  void FilterTo(const QString &Text) {
    WhenUp(CUSTLIST, [&] {
      BackTab();
      TypeText(Text);
      DoubleClick(CUSTLIST->OvcDbTable1, CUSTLIST->OvcDbTable1->ActiveRow());
    });
    Click(INVOICES->ButtonCUST);
  }
  Texts Numbers() { return Walk(DD->MINV1, QStringLiteral("InvNUM")); }
  // Right-clicks a row and chooses the popup menu's item (CANCEL or RESTORE).
  static void ChooseFromPopup(int Row) {
    RightClick(INVOICES->OvcDbTable1, RowPoint(INVOICES->OvcDbTable1, Row));
    ChooseFromMenu(INVOICES->OvcDbTable1->PopupMenu()->MenuWidget());
  }
};

TEST_F(PastInvoices, AreListedNewestFirstAndFilteredToAPickedCustomerUntilClosed) {
  StoreInvoices();
  const Texts all{"1005", "1004", "1003", "1002", "1001"};
  INVOICES->SetUp();
  Run(INVOICES, [&] {
    EXPECT_EQ(Numbers(), all);
    // The lines below are the selected invoice's.
    Key(Qt::Key_Home, QString(), Qt::ControlModifier);
    Key(Qt::Key_Down);
    Tab();
    EXPECT_EQ(Walk(DD->MINV2, QStringLiteral("DESCRIPTION")), Texts({"Line of invoice 1004"}));
    BackTab();
    // Harbour Bakery's invoices, newest first, without the one made with its name typed in.
    FilterTo(QStringLiteral("harb"));
    EXPECT_EQ(DD->MINV1InvNUM->AsInteger(), 1004);
    EXPECT_EQ(Numbers(), Texts({"1004", "1001"}));
    Click(INVOICES->ButtonALL);
    EXPECT_EQ(DD->MINV1InvNUM->AsInteger(), 1005);
    EXPECT_EQ(Numbers(), all);
    FilterTo(QStringLiteral("Harbour"));
    Click(INVOICES->ButtonCLOSE);
  });
  // Closed while filtered: every invoice, for the other forms and when it opens next.
  EXPECT_EQ(DD->MINV1->RecordCount(), 5);
  INVOICES->SetUp();
  Run(INVOICES, [&] { EXPECT_EQ(Numbers(), all); });
}

TEST_F(PastInvoices, TheInvoiceRightClickedIsCancelledOrRestoredOnceTheUserSaysYes) {
  const QString cancel = QStringLiteral("Are you sure you want to CANCEL the selected invoice?");
  const QString restore = QStringLiteral("Are you sure you want to RESTORE the selected invoice?");
  const struct {
    int row, answer;
    QString question;
    Texts cancelled;      // afterwards, in the table file
    bool refused = false; // by the database
  } steps[] = {
      {2, IDNO, cancel, {}},
      {2, IDYES, cancel, {"1003"}},
      {1, IDYES, cancel, {"1003"}, true},
      {2, IDYES, restore, {}},
  };
  const auto cancelled = [&] {
    Texts numbers;
    for (const TRow &invoice : Records(QStringLiteral("MINV1")))
      if (invoice[2].toBool()) numbers.push_back(invoice[14].toString().toStdString());
    return numbers;
  };
  INVOICES->SetUp();
  Run(INVOICES, [&] {
    // With no invoice there is nothing to ask about.
    ChooseFromPopup(0);
    EXPECT_TRUE(services->MessageBoxes().isEmpty());
    StoreInvoices();
    Click(INVOICES->ButtonALL);
    for (const auto &step : steps) {
      if (step.refused)
        Sql("CREATE TRIGGER refuse BEFORE UPDATE ON MINV1 BEGIN SELECT RAISE(ABORT, 'kept'); END");
      const qsizetype asked = services->MessageBoxes().size();
      services->AnswerMessageBox(step.answer);
      ChooseFromPopup(step.row);
      ASSERT_EQ(services->MessageBoxes().size(), asked + (step.refused ? 2 : 1));
      const TMessageBoxRequest &box = services->MessageBoxes()[asked];
      EXPECT_EQ(box.Text, step.question);
      EXPECT_EQ(cancelled(), step.cancelled);
      // The list shows what the table file holds.
      EXPECT_EQ(DD->MINV1->State(), dsBrowse);
      const bool shown = DD->MINV1CANC->DisplayText() == QStringLiteral("Canc");
      EXPECT_EQ(shown, std::ranges::count(step.cancelled, DD->MINV1InvNUM->DisplayText().toStdString()) == 1);
      if (step.refused) Sql("DROP TRIGGER refuse");
    }
  });
}

} // namespace
