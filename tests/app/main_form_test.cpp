// The main window driven as a user would, with key presses and mouse clicks, in the number and date formats
// of the process's locale: typed lines and totals exact to the cent, lines whose fields cannot be stored as
// they show refused with a message naming the field, the tax percent taken on Enter or on leaving its field,
// one the settings hold that it cannot, lines and tax percents too large to be stored, the line table's
// popup, MANUAL after a picked customer, Create Invoice with its checks (a name of blanks, the date),
// question, preview and what-next choices, a store the database refuses, a refresh that fails after the
// store, an invoice that cannot be shown, settings texts longer than their fields, and Wipe All all or
// nothing. The whole road through the real program, with the rows it stores and the settings from the MENU,
// is tests/e2e/invoice_road.sh.
#include "report/export_filter.h"
#include "tests/app/dialog_fixture.h"

namespace {

struct Line {
  QString description, quantity, price;
};

// The text of the report the print form shows, as its text export writes it.
QString PreparedText(const QString &File) {
  for (int i = 0; i < frExportFilterCount(); ++i)
    if (frExportFilter(i).FilterExt == QLatin1String("*.txt")) {
      if (!HARD->frReport1->ExportTo(frExportFilter(i).FilterClass, File)) return QString();
      QFile text(File);
      return text.open(QIODevice::ReadOnly) ? QString::fromLatin1(text.readAll()) : QString();
    }
  ADD_FAILURE() << "no text export";
  return QString();
}

class MainForm : public DialogTest {
protected:
  void SetUp() override {
    shipped.TaxPCT = 10;
    DialogTest::SetUp();
    guitest::ShowAndActivate(F1);
  }

  // Clicks into an edit, empties it with the keyboard and types Text.
  static void TypeInto(TWinControl *edit, const QString &text) {
    Click(edit);
    Key(Qt::Key_End);
    for (int i = 0; i < 20; ++i) Key(Qt::Key_Backspace, QStringLiteral("\b"));
    TypeText(text);
    guitest::ProcessEvents();
  }
  static void TypeCustomer(int row, const QString &text, bool enter = true) {
    ClickRow(F1->EGrid1, F1->EGrid1->CellRect(1, row));
    TypeText(text);
    if (enter) Enter();
  }
  // Types a line's fields (numbers with the point of the table written in the locale's separator) and adds
  // it; a pasted price goes in past the key filter.
  void AddLine(const Line &line, bool pastePrice = false) {
    TypeInto(F1->Memo1, line.description);
    if (F1->FEquantity->Visible()) TypeInto(F1->FEquantity, Local(line.quantity));
    if (pastePrice) {
      TypeInto(F1->FEnet, QString());
      Paste(Local(line.price));
    } else {
      TypeInto(F1->FEnet, Local(line.price));
    }
    Click(F1->Button1);
  }
  static QStringList Totals() {
    return {F1->LabelNET->Caption(), F1->LabelTAX->Caption(), F1->LabelGROSS->Caption()};
  }
  // The date typed in the order of the invoice date's locale, its parts apart.
  static QString DateText(int day, int month, int year) {
    const QString d = QString::number(day), m = QString::number(month), y = QString::number(year);
    switch (F1->OvcDateEdit1->Order()) {
    case TOvcCustomDateEdit::doMDY: return m + '/' + d + '/' + y;
    case TOvcCustomDateEdit::doDMY: return d + '/' + m + '/' + y;
    case TOvcCustomDateEdit::doYMD: return y + '/' + m + '/' + d;
    }
    return QString();
  }
  // Picks a type in the type box with the keyboard.
  static void ChooseType(int index) {
    Click(F1->Combo1);
    Key(index ? Qt::Key_Down : Qt::Key_Up);
    Enter();
  }
  static void ChooseFromMainMenu(const char *caption) {
    Click(F1->ButtonMENU);
    ChooseFromMenu(F1->PopSETTINGS->MenuWidget(), QString::fromLatin1(caption));
  }
  // Create Invoice, answered: the question, then the preview closed with Escape, then a what-next choice.
  void CreateInvoice(bool confirm, TRadioButton *choice = nullptr) {
    services->AnswerMessageBox(confirm ? IDYES : IDNO);
    WhenUp(HARD, [=, this] {
      headersWhenShown = Headers().size();
      previewMarked = PreparedText(output.filePath(QStringLiteral("shown.txt")))
                          .contains(QStringLiteral("not an invoice"));
      Escape();
      if (choice)
        WhenUp(WOTNEXT, [=] {
          Click(choice);
          Click(WOTNEXT->Button1);
        });
    });
    Click(F1->ButtonCREATE);
    guitest::ProcessEvents();
  }
  // Create Invoice expected to be refused: a preview or what-next dialog that comes up all the same fails the
  // test and is closed.
  static void CreateRefused() {
    bool shown = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
      for (TCustomForm *dialog : {static_cast<TCustomForm *>(HARD), static_cast<TCustomForm *>(WOTNEXT)})
        if (dialog->Showing()) shown = true, dialog->Close();
    });
    guard.start(20);
    Click(F1->ButtonCREATE);
    EXPECT_FALSE(shown) << "Create Invoice was not refused";
  }
  int Lines() const { return int(DD->INV2->RecordCount()); }
  QList<TRow> Headers() { return Records(QStringLiteral("MINV1")); }
  QString Customer() const { return F1->EGrid1->ItemAt(0)->DisplayText(); }

  // The messages shown since the last call.
  QStringList NewMessages() {
    const QStringList all = Messages();
    const QStringList fresh = all.mid(seenMessages);
    seenMessages = all.size();
    return fresh;
  }

  qsizetype headersWhenShown = -1; // invoices stored when the last preview showed
  bool previewMarked = false;      // whether the last preview was marked as no invoice
  qsizetype seenMessages = 0;
};

TEST_F(MainForm, TypedLinesAndTheirTotals) {
  // A window with no lines shows its totals as it shows every amount, in the user's own format.
  EXPECT_EQ(Totals(), Local({"0.00", "0.00", "0.00"}));
  const struct {
    int type;
    QString tax;
    QList<Line> lines;
    QStringList totals;
  } cases[] = {
      {0, "17.5", {{"Nails", "3", "0.33"}, {"Plank", "1", "10"}}, {"10.99", "1.92", "12.91"}},
      // Parts of a unit are kept as typed: 0.5 × 2.50 and 0.333 × 3.
      {0, "0", {{"Hours", "0.5", "2.5"}, {"Flour", "0.333", "3"}}, {"2.25", "0.00", "2.25"}},
      // A tax of -50.5 cents rounds away from zero.
      {0, "50", {{"Refund", "-1", "1.01"}}, {"-1.01", "-0.51", "-1.52"}},
      // A service has no quantity: its total is its price. A tax of 50.5 cents rounds up.
      {1,
       "50",
       {{"Consulting", "", "0.1"}, {"Travel", "", "0.2"}, {"Parking", "", "0.71"}},
       {"1.01", "0.51", "1.52"}},
  };
  for (const auto &c : cases) {
    // A change of type starts with no lines.
    ChooseType(1 - c.type);
    ChooseType(c.type);
    TypeInto(F1->FEtax, Local(c.tax));
    Enter();
    for (const Line &line : c.lines) {
      AddLine(line);
      // An added line empties the entry fields.
      EXPECT_EQ(F1->Memo1->Text(), QString());
      EXPECT_EQ(F1->ActiveControl(), F1->Memo1);
    }
    EXPECT_EQ(Lines(), c.lines.size()) << c.tax.toStdString();
    EXPECT_EQ(Totals(), Local(c.totals));
    if (c.type == 0) {
      QStringList quantities;
      for (const TRow &line : Records(QStringLiteral("INV2"))) quantities << line[0].toString();
      QStringList typed;
      for (const Line &line : c.lines) typed << QString::number(line.quantity.toDouble());
      EXPECT_EQ(quantities, typed);
    }
  }
  EXPECT_FALSE(Records(QStringLiteral("INV2"))[0][0].isValid()) << "a service is stored without a quantity";
  EXPECT_EQ(DD->InvNET, 1.01) << "the amounts add up in cents, exactly";
  EXPECT_TRUE(Messages().isEmpty());
}

// Each case types a line; a field that cannot hold what it shows is refused with its message (and so is a
// key its filter refuses), keeps what was typed and the focus, until Escape puts its value back.
TEST_F(MainForm, ALineGetsWhatItsFieldsShowOrIsRefusedWithAMessage) {
  const QString price = QStringLiteral("ITEM PRICE must be a number from 0 to %1 with at most 2 decimals.")
                            .arg(Local("99999999.9"));
  const QString quantity = QStringLiteral("QUANTITY must be a number from -%1 to %1 with at most 3 decimals.")
                               .arg(Local("99999999.9"));
  const QString zero = QStringLiteral("Error:  The QUANTITY of a line cannot be 0.");
  const QString description = QStringLiteral("Error:  Type the DESCRIPTION of the line.");
  const struct {
    Line line;
    bool pastePrice;
    QStringList messages;
    TFloatEdit *TF1::*refused; // the field left focused, or none
    QString shown;             // what the refused field shows
    QString added;             // the line's quantity, price and total as stored, or none: refused
  } cases[] = {
      {{"Hours", "0.5", "40"}, false, {}, nullptr, {}, "0.5 40 20"},
      // A letter is refused as it is typed, and said so; the rest is what the field shows.
      {{"Flour", "1", "1e308"}, false, {price}, nullptr, {}, "1 1308 1308"},
      {{"Flour", "1", "-5"}, false, {price}, nullptr, {}, "1 5 5"},
      {{"Flour", "1", "1.005"}, false, {price}, nullptr, {}, "1 1 1"},
      {{"Flour", "1.2345", "1"}, false, {quantity}, nullptr, {}, "1.234 1 1.23"},
      // Past the maximum, or pasted past the key filter: refused, never another price.
      {{"Flour", "1", "99999999999999"}, false, {price}, &TF1::FEnet, "99999999999999", {}},
      {{"Flour", "1", "1e308"}, true, {price}, &TF1::FEnet, "1e308", {}},
      {{"Flour", "1", "2.505"}, true, {price}, &TF1::FEnet, "2.505", {}},
      {{"Flour", "abc", "1"}, false, {quantity, quantity, quantity, zero}, &TF1::FEquantity, "0.000", {}},
      {{"Flour", "0", "1"}, false, {zero}, &TF1::FEquantity, "0.000", {}},
      {{"   ", "1", "1"}, false, {description}, nullptr, {}, {}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.line.quantity.toStdString() + " " + c.line.price.toStdString());
    const int before = Lines();
    AddLine(c.line, c.pastePrice);
    EXPECT_EQ(NewMessages(), c.messages);
    ASSERT_EQ(Lines(), before + !c.added.isEmpty());
    if (!c.added.isEmpty()) {
      const TRow stored = Records(QStringLiteral("INV2")).last();
      EXPECT_EQ(QStringList({stored[0].toString(), stored[2].toString(), stored[3].toString()}).join(' '),
                c.added);
      continue;
    }
    if (!c.refused) {
      EXPECT_EQ(F1->ActiveControl(), F1->Memo1);
      continue;
    }
    TFloatEdit *field = F1->*c.refused;
    EXPECT_EQ(F1->ActiveControl(), field);
    EXPECT_EQ(field->Text(), Local(c.shown));
    Escape();
    EXPECT_EQ(NewMessages(), QStringList());
  }
}

TEST_F(MainForm, TaxPercentCountsOnlyOnEnterOrWhenItsFieldIsLeft) {
  AddLine({"Plank", "1", "10"});
  for (const auto &[key, text] : {std::pair{Qt::Key_Return, "\r"}, std::pair{Qt::Key_Tab, "\t"}}) {
    TypeInto(F1->FEtax, Local(QStringLiteral("17.5")));
    EXPECT_EQ(Totals(), Local({"10.00", "1.00", "11.00"}));
    Key(key, QString::fromLatin1(text));
    EXPECT_EQ(Totals(), Local({"10.00", "1.75", "11.75"}));
    TypeInto(F1->FEtax, QStringLiteral("10"));
    Key(key, QString::fromLatin1(text));
  }
  // A second decimal is refused as it is typed, as the settings refuse it: one precision everywhere.
  TypeInto(F1->FEtax, Local(QStringLiteral("17.55")));
  EXPECT_EQ(Messages(),
            QStringList({QStringLiteral("Tax Percent must be a number from 0 to %1 with at most 1 decimal.")
                             .arg(Local("99999999.9"))}));
  Enter();
  EXPECT_EQ(Totals(), Local({"10.00", "1.75", "11.75"}));
}

TEST_F(MainForm, AmountsTooLargeAreRefusedWithAMessageKeepingWhatWasTyped) {
  AddLine({"Fleet", "9999", "99999999.9"});
  ASSERT_EQ(Lines(), 1);
  const struct {
    Line line;
    QString message;
  } cases[] = {
      {{"Too much", "99999999", "99999999.9"}, "The line total (quantity × price) is too large"},
      {{"Refund too large", "-99999999", "99999999.9"}, "The line total (quantity × price) is too large"},
      // Storable, but not the gross with 10 % tax.
      {{"Too much with tax", "90000", "99999999.9"}, "The gross amount is too large"},
  };
  for (const auto &c : cases) {
    AddLine(c.line);
    EXPECT_EQ(Lines(), 1);
    EXPECT_TRUE(Messages().value(Messages().size() - 1).startsWith(c.message))
        << Messages().join('\n').toStdString();
    EXPECT_EQ(F1->Memo1->Text(), c.line.description);
  }
  // A tax percent that makes the tax too large goes back to the one the totals have.
  TypeInto(F1->FEtax, QStringLiteral("2000"));
  Enter();
  EXPECT_TRUE(Messages().last().startsWith(QStringLiteral("The tax is too large")))
      << Messages().last().toStdString();
  EXPECT_EQ(F1->FEtax->Text(), Local(QStringLiteral("10.0")));
  EXPECT_EQ(Totals(), Local({"999899999000.10", "99989999900.01", "1099889998900.11"}));
}

TEST_F(MainForm, DeleteItemFromTheLineTablesPopup) {
  for (int i = 1; i <= 3; ++i) AddLine({QStringLiteral("Line %1").arg(i), QString::number(i), "1"});
  TOvcDbTable *table = F1->OvcDbTable1;
  const auto deleteRow = [&](int row) {
    const TRect cell = table->CellRect(row, 1);
    const QPoint at(cell.Left + 5, cell.Top + 5);
    // The click that gives the table the focus does nothing else.
    if (!table->Focused()) Click(table, at);
    Click(table, at);
    RightClick(table, at);
    ChooseFromMenu(F1->PopupMenu1->MenuWidget(), QStringLiteral("Delete Item"));
  };
  deleteRow(1);
  QStringList left;
  for (const TRow &line : Records(QStringLiteral("INV2"))) left << line[1].toString();
  EXPECT_EQ(left, QStringList({"Line 1", "Line 3"}));
  EXPECT_EQ(Totals(), Local({"4.00", "0.40", "4.40"}));
  EXPECT_EQ(F1->ActiveControl(), F1->Memo1);
  deleteRow(0);
  deleteRow(0);
  deleteRow(0); // nothing left: nothing happens
  EXPECT_EQ(Lines(), 0);
  EXPECT_EQ(Totals(), Local({"0.00", "0.00", "0.00"}));
}

TEST_F(MainForm, APickedCustomerIsReadOnlyUntilMANUAL) {
  DD->CUST->Append();
  DD->CUST->FieldByName(QStringLiteral("CUSTOMER"))->SetAsString(QStringLiteral("Harbour Bakery"));
  DD->CUST->FieldByName(QStringLiteral("ADDR1"))->SetAsString(QStringLiteral("12 Quay Street"));
  DD->CUST->Post();
  WhenUp(CUSTLIST, [] { DoubleClick(CUSTLIST->OvcDbTable1, 0); });
  Click(F1->ButtonLIST);
  EXPECT_EQ(F1->EGrid1->ItemAt(1)->DisplayText(), QStringLiteral("12 Quay Street"));
  EXPECT_NE(DD->InvCUSTNO, 0);
  EXPECT_TRUE(F1->EGrid1->ReadOnly());
  Click(F1->ButtonMANUAL);
  EXPECT_EQ(Customer(), QString());
  EXPECT_FALSE(F1->EGrid1->ReadOnly());
  EXPECT_EQ(DD->InvCUSTNO, 0);
}

TEST_F(MainForm, CreateInvoiceChecksTheCustomerTheLinesAndTheDateFirst) {
  const QString noName = QStringLiteral("Error:  You must supply a Customer Name.");
  const QString noLines = QStringLiteral("Error:  You have not added any items.");
  const QString noDate = QStringLiteral("Error:  Enter the invoice date.");
  TypeInto(F1->OvcDateEdit1, QString());
  CreateRefused();
  EXPECT_EQ(NewMessages(), QStringList({noName, noLines, noDate}));
  EXPECT_EQ(F1->ActiveControl(), F1->EGrid1->Editor());
  // A name of blanks is no name.
  AddLine({"Flour", "1", "1"});
  TypeInto(F1->OvcDateEdit1, DateText(24, 12, 2026));
  TypeCustomer(0, QStringLiteral("   "));
  CreateRefused();
  EXPECT_EQ(NewMessages(), QStringList({noName}));
  EXPECT_EQ(F1->ActiveControl(), F1->EGrid1->Editor());
  // A name still being typed counts.
  ClickRow(F1->EGrid1, F1->EGrid1->CellRect(1, 0));
  SelectAll();
  TypeText(QStringLiteral("Mill"));
  CreateInvoice(false);
  EXPECT_EQ(NewMessages(), QStringList({"Do you want to confirm this invoice?"}));
  // Not confirmed: a preview marked as no invoice, and nothing stored, not even the counter.
  EXPECT_TRUE(previewMarked);
  EXPECT_EQ(headersWhenShown, 0);
  EXPECT_TRUE(Headers().isEmpty());
  EXPECT_EQ(LastINV(), 0);
}

// Each text typed (or pasted past the date's own + and - keys) as the invoice date, then Create Invoice: a
// text that is not a date of the calendar is refused, saying what is expected, and stays to be mended.
TEST_F(MainForm, AnInvoiceDateThatIsNoDateIsRefusedSayingWhatIsExpectedAndNothingIsStored) {
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  AddLine({"Flour", "1", "1"});
  const QString example =
      QStringLiteral("Type a date of the years 1600 to 3999 as %1, for example %2.")
          .arg(F1->OvcDateEdit1->Order() == TOvcCustomDateEdit::doDMY   ? "day, month and year"
               : F1->OvcDateEdit1->Order() == TOvcCustomDateEdit::doMDY ? "month, day and year"
                                                                        : "year, month and day",
               F1->OvcDateEdit1->FormatDateText(std::trunc(Date())));
  const struct {
    QString text;
    bool paste;
  } refused[] = {
      {DateText(31, 2, 2026), false}, {DateText(30, 2, 2027), false}, {DateText(1, 1, 1500), false},
      {"31 Feb 2026", false},         {"1 Jan 1500", false},          {"2026-12-24", true},
  };
  for (const auto &c : refused) {
    SCOPED_TRACE(c.text.toStdString());
    if (c.paste) {
      TypeInto(F1->OvcDateEdit1, QString());
      Paste(c.text);
    } else {
      TypeInto(F1->OvcDateEdit1, c.text);
    }
    CreateRefused();
    EXPECT_EQ(NewMessages(),
              QStringList({QStringLiteral("The invoice date \"%1\" is not a date. ").arg(c.text) + example}));
    EXPECT_EQ(F1->OvcDateEdit1->Text(), c.text);
    EXPECT_EQ(F1->ActiveControl(), F1->OvcDateEdit1);
  }
  EXPECT_TRUE(Headers().isEmpty());
  EXPECT_EQ(LastINV(), 0);
  // Read as the locale orders the parts: 24/12/2026 where the day comes first.
  const bool dayFirst = F1->OvcDateEdit1->Order() == TOvcCustomDateEdit::doDMY;
  TypeInto(F1->OvcDateEdit1, dayFirst ? QStringLiteral("24/12/2026") : DateText(24, 12, 2026));
  CreateInvoice(true, WOTNEXT->RB4);
  ASSERT_EQ(Headers().size(), 1);
  EXPECT_EQ(Headers()[0][13].toDouble(), EncodeDate(2026, 12, 24));
}

TEST_F(MainForm, CreateInvoiceStoresOnlyWhenConfirmedAndActsOnTheWhatNextChoice) {
  const struct {
    bool confirm;
    int choice; // 1 to 4, 0 none
    int stored; // invoices stored after the run
    int lines;  // lines left on the window
    bool customerKept;
  } cases[] = {
      {false, 0, 0, 2, true}, {true, 4, 1, 2, false}, {true, 3, 2, 0, true},
      {true, 2, 3, 0, false}, {true, 1, 4, 2, true},
  };
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  TypeCustomer(1, QStringLiteral("12 Quay Street"));
  for (const auto &c : cases) {
    if (Lines() == 0)
      for (const Line &line : {Line{"Flour", "3", "2.5"}, Line{"Yeast", "1", "0.99"}}) AddLine(line);
    if (Customer().isEmpty()) TypeCustomer(0, QStringLiteral("Harbour Bakery"));
    TRadioButton *buttons[] = {nullptr, WOTNEXT->RB1, WOTNEXT->RB2, WOTNEXT->RB3, WOTNEXT->RB4};
    CreateInvoice(c.confirm, buttons[c.choice]);
    // A confirmed invoice is stored before it is shown.
    EXPECT_EQ(headersWhenShown, c.stored);
    // The first choice, EXIT, closes the window and every table.
    EXPECT_EQ(F1->Showing(), c.choice != 1);
    if (c.choice == 1) break;
    EXPECT_EQ(Headers().size(), c.stored) << c.choice;
    EXPECT_EQ(Lines(), c.lines) << c.choice;
    EXPECT_EQ(Customer().isEmpty(), !c.customerKept) << c.choice;
  }
  EXPECT_FALSE(DD->ffClient1->Active());
  // Four invoices numbered 1 to 4, each with its two lines.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Headers().value(i).value(14).toInt(), i + 1);
  EXPECT_EQ(Records(QStringLiteral("MINV2")).size(), 8);
}

// A store the database refuses leaves the invoice on the window; stored again once it takes it, with a
// template that cannot run, it is stored all the same under the number not used up, the user told so.
TEST_F(MainForm, AStoreTheDatabaseRefusesLeavesTheInvoiceOnTheWindowAndOneThatCannotBeShownIsSaidSo) {
  Sql("CREATE TRIGGER refuse BEFORE INSERT ON MINV2 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  AddLine({"Flour", "3", "2.5"});
  services->AnswerMessageBox(IDYES);
  Click(F1->ButtonCREATE);
  EXPECT_TRUE(Messages().last().contains(QStringLiteral("disk full"))) << Messages().last().toStdString();
  // Nothing stored, the number not used up, the invoice still there to be stored again.
  EXPECT_TRUE(Headers().isEmpty());
  EXPECT_EQ(LastINV(), 0);
  EXPECT_EQ(Lines(), 1);
  EXPECT_EQ(Customer(), QStringLiteral("Harbour Bakery"));

  Sql("DROP TRIGGER refuse; DELETE FROM Reports WHERE rec = 1");
  services->AnswerMessageBox(IDYES);
  bool whatNext = false;
  WhenUp(WOTNEXT, [&] { whatNext = true; });
  Click(F1->ButtonCREATE);
  EXPECT_TRUE(Messages().last().startsWith(QStringLiteral("Invoice 1 was stored but cannot be shown:")))
      << Messages().last().toStdString();
  EXPECT_TRUE(whatNext);
  EXPECT_EQ(Headers().size(), 1);
  EXPECT_FALSE(DD->INV1->Active());
  EXPECT_FALSE(DD->REPORTS->Active());
}

// No; then yes, with MINV1 (the last table emptied) refusing; then yes.
TEST_F(MainForm, WipeAllAsksFirstThenEmptiesEverythingButTheSettingsAllOrNothing) {
  Insert(QStringLiteral("PRODUCTS"), {0, QStringLiteral("Bread"), 2.5});
  Insert(QStringLiteral("CUSTOMERS"), {QVariant(), QStringLiteral("Someone"), {}, {}, {}, {}, {}});
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  AddLine({"Flour", "3", "2.5"});
  CreateInvoice(true, WOTNEXT->RB4);
  TypeCustomer(0, QStringLiteral("Mill"));
  const auto stored = [this] {
    QList<qsizetype> n;
    for (const char *table : {"PRODUCTS", "CUSTOMERS", "MINV2", "MINV1", "CONTROL"})
      n.append(Records(QString::fromLatin1(table)).size());
    return n;
  };
  for (const int step : {0, 1, 2}) {
    if (step == 1) Sql("CREATE TRIGGER keep BEFORE DELETE ON MINV1 BEGIN SELECT RAISE(ABORT, 'kept'); END");
    if (step == 2) Sql("DROP TRIGGER keep");
    services->AnswerMessageBox(step ? IDYES : IDNO);
    ChooseFromMainMenu("Wipe All and Re-Start");
    if (step == 1) {
      EXPECT_TRUE(Messages().last().startsWith(QStringLiteral("Nothing was deleted:")))
          << Messages().last().toStdString();
    } else {
      EXPECT_EQ(services->MessageBoxes().last().DefaultButton, IDNO);
    }
    const bool wiped = step == 2;
    EXPECT_EQ(stored(), wiped ? QList<qsizetype>({0, 0, 0, 0, 1}) : QList<qsizetype>({1, 1, 1, 1, 1}));
    EXPECT_EQ(DD->PRODUCTS->RecordCount(), wiped ? 0 : 1);
    EXPECT_EQ(Lines(), wiped ? 0 : 1);
    EXPECT_EQ(Customer().isEmpty(), wiped);
  }
  // The counter stays: the next invoice is number 2.
  EXPECT_EQ(LastINV(), 1);
}

// A data link that fails when the dataset it shows changes, once armed: a window that cannot be updated.
class FailingView : public TDataLink {
public:
  bool armed = false;

protected:
  void DataSetChanged() override {
    if (armed) throw EDatabaseError(QStringLiteral("the list cannot be read"));
  }
};

// The invoice is stored when the tables are read again for the windows: that failing says so, and the
// invoice is shown and followed by the what-next dialog all the same.
TEST_F(MainForm, ARefreshThatFailsAfterTheStoreIsSaidAsSuchAndTheRoadGoesOn) {
  FailingView view;
  view.SetDataSource(DD->dsMINV1);
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  AddLine({"Flour", "3", "2.5"});
  NewMessages();
  view.armed = true;
  CreateInvoice(true, WOTNEXT->RB2);
  view.armed = false;
  EXPECT_EQ(
      NewMessages(),
      QStringList({"Do you want to confirm this invoice?",
                   "Invoice 1 is stored, but the stored invoices could not be read back for the windows: "
                   "the list cannot be read"}));
  EXPECT_EQ(headersWhenShown, 1);
  EXPECT_FALSE(previewMarked);
  EXPECT_EQ(Headers().size(), 1);
  // The what-next choice was taken: a blank invoice.
  EXPECT_EQ(Lines(), 0);
  EXPECT_EQ(Customer(), QString());
  view.SetDataSource(nullptr);
}

// Texts another program wrote into the settings, longer than their fields: one warning at start, and
// invoices are made changing nothing of the settings but the counter.
class OverlongSettings : public MainForm {
protected:
  void SetUp() override {
    sqlBeforeStart = QStringLiteral("UPDATE CONTROL SET COMPANY = '%1', FootNote = '%2'")
                         .arg(QString(51, QLatin1Char('C')), QString(101, QLatin1Char('F')));
    MainForm::SetUp();
  }
};

TEST_F(OverlongSettings, WarnOnceAtStartAndInvoicesChangeOnlyTheCounter) {
  EXPECT_EQ(
      NewMessages(),
      QStringList({"Some settings are longer than their fields allow, as another program left them: Company "
                   "Name (51 characters, at most 50), Invoice FootNote (101 characters, at most 100).\n\n"
                   "Edit Settings shows them cut to fit, and saving the settings stores them so. Invoices "
                   "can be made meanwhile."}));
  TRow settings = Records(QStringLiteral("CONTROL")).value(0);
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  AddLine({"Flour", "3", "2.5"});
  CreateInvoice(true, WOTNEXT->RB4);
  EXPECT_EQ(Headers().size(), 1);
  settings[7] = 1; // LastINV
  EXPECT_EQ(Records(QStringLiteral("CONTROL")).value(0), settings);
  EXPECT_EQ(NewMessages(), QStringList({"Do you want to confirm this invoice?"}));
  // The settings show them cut.
  WhenUp(SETTINGS, [] {
    EXPECT_EQ(SETTINGS->EGrid1->ItemAt(0)->DisplayText(), QString(50, QLatin1Char('C')));
    Escape();
  });
  ChooseFromMainMenu("Edit Settings");
  EXPECT_EQ(Records(QStringLiteral("CONTROL")).value(0), settings);
}

// A default tax percent another program stored that the tax field cannot hold: said so at start, shown as
// it is, and no invoice is made with it until the user types one.
class DefaultTaxPercent : public MainForm, public ::testing::WithParamInterface<const char *> {
protected:
  void SetUp() override {
    sqlBeforeStart = QStringLiteral("UPDATE CONTROL SET TaxPCT = %1").arg(QLatin1String(GetParam()));
    MainForm::SetUp();
  }
};

TEST_P(DefaultTaxPercent, TheSettingsWouldRefuseIsRefusedWithAMessage) {
  const QString stored = Local(QString::fromLatin1(GetParam()));
  const QString rule =
      QStringLiteral("a number from 0 to %1 with at most 1 decimal").arg(Local("99999999.9"));
  EXPECT_EQ(NewMessages(),
            QStringList({QStringLiteral("The default tax percent in the settings, %1, cannot be "
                                        "used: the Tax Percent must be %2.\n\nType the tax percent "
                                        "of this invoice, and correct the default in Edit Settings.")
                             .arg(stored, rule)}));
  EXPECT_EQ(F1->FEtax->Text(), stored);
  TypeCustomer(0, QStringLiteral("Harbour Bakery"));
  AddLine({"Flour", "1", "100"});
  EXPECT_EQ(Totals(), Local({"100.00", "0.00", "100.00"}));
  CreateRefused();
  EXPECT_EQ(NewMessages(), QStringList({QStringLiteral("Tax Percent must be %1.").arg(rule)}));
  EXPECT_EQ(F1->ActiveControl(), F1->FEtax);
  EXPECT_TRUE(Headers().isEmpty());
  // Typed, it counts.
  SelectAll();
  TypeText(Local(QStringLiteral("17.5")));
  CreateInvoice(true, WOTNEXT->RB4);
  ASSERT_EQ(Headers().size(), 1);
  EXPECT_EQ(Headers()[0][11].toDouble(), 17.5);
}

INSTANTIATE_TEST_SUITE_P(Stored, DefaultTaxPercent, ::testing::Values("-100", "17.55", "100000000"));

} // namespace
