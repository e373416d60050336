// The invoice road without its window: lines and totals exact to the cent, Create Invoice with scripted
// answers (checks, confirmation, preview, what next), numbering, a store that fails half-way, and Wipe All,
// each change all or nothing. The database refuses a change through a trigger put into the file behind the
// program's back.
#include "app/create_invoice.h"
#include "app/invoice_lines.h"
#include "platform/core/format_settings.h"
#include "tests/app/app_fixture.h"

namespace {

class InvoiceRoad : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    Seed();
    Application()->CreateForm(DD);
    ASSERT_NE(DD, nullptr);
    draft.Customer = QStringLiteral("Harbour Bakery Ltd");
    draft.Address = {QStringLiteral("12 Quay Street"), QStringLiteral("Portsmouth"), QString(), QString(),
                     QStringLiteral("PO1 3AB")};
    draft.Date = EncodeDate(2025, 3, 14);
    draft.TaxPercent = 17.5;
  }

  // Create Invoice with scripted steps: `confirm` answers the question; `done` tells what the road did.
  TCreateInvoiceResult Create() {
    done.clear();
    TCreateInvoiceSteps steps;
    steps.FocusDescription = [this] { done << QStringLiteral("focus description"); };
    steps.FocusCustomer = [this] { done << QStringLiteral("focus customer"); };
    steps.ShowMessage = [this](const QString &message) { done << message; };
    steps.Confirm = [this] {
      done << QStringLiteral("confirm?");
      return confirm;
    };
    steps.ShowInvoice = [this](int templateNumber, int number, bool preview) {
      done
          << QStringLiteral("show %1 no %2%3").arg(templateNumber).arg(number).arg(preview ? " preview" : "");
      // What the print preview reads: INV1's header, and for an invoice, everything already stored.
      EXPECT_TRUE(DD->INV1->Active());
      EXPECT_EQ(DD->INV1->FieldByName(QStringLiteral("InvNUM"))->AsInteger(), number);
      EXPECT_EQ(DD->INV1->FieldByName(QStringLiteral("CUSTOMER"))->AsString(), draft.Customer);
      headersWhenShown = Records(QStringLiteral("MINV1")).size();
      if (showFails) throw Exception(QStringLiteral("The template is missing"));
    };
    steps.WhatNext = [this] { done << QStringLiteral("what next"); };
    const TCreateInvoiceResult result = CreateInvoice(*DD, draft, steps);
    EXPECT_FALSE(DD->INV1->Active());
    return result;
  }

  void AddLines(const QList<std::pair<double, double>> &lines) {
    for (const auto &[quantity, price] : lines)
      ASSERT_TRUE(AddInvoiceLine(*DD, draft.Items, quantity, QStringLiteral("Line %1").arg(price), price));
  }

  TInvoiceDraft draft;
  bool confirm = true;
  bool showFails = false;
  qsizetype headersWhenShown = -1;
  QStringList done;
};

TEST_F(InvoiceRoad, LinesAndTotalsAreExactToTheCent) {
  const struct {
    bool items;
    QList<std::pair<double, double>> lines; // quantity, price
    double percent;
    QStringList texts; // net, tax, gross
  } cases[] = {
      {true, {{3, 0.333}}, 0, {"1.00", "0.00", "1.00"}},
      {true, {{1, 10}}, 17.5, {"10.00", "1.75", "11.75"}},
      {true, {}, 17.5, {"0.00", "0.00", "0.00"}},
      {true, {{1, 5}, {-1, 5}}, 17.5, {"0.00", "0.00", "0.00"}},
      {true, {{1, 1.01}}, 12.5, {"1.01", "0.13", "1.14"}},     // a tax of 12.625 cents rounds up
      {true, {{-1, 1.01}}, 12.5, {"-1.01", "-0.13", "-1.14"}}, // and down below zero
      {true, {{1, 999999999999.99}}, 10, {"999999999999.99", "100000000000.00", "1099999999999.99"}},
      {false, {{0, 0.1}, {0, 0.2}}, 0, {"0.30", "0.00", "0.30"}},
  };
  FormatSettingsGuard settings(FormatSettings::USEnglish());
  for (const auto &c : cases) {
    DD->NewINV2andOpen();
    draft.Items = c.items;
    AddLines(c.lines);
    const TInvoiceTotals totals = RecalcInvoiceTotals(*DD, c.percent);
    EXPECT_EQ(QStringList({AmountText(totals.Net), AmountText(totals.Tax), AmountText(totals.Gross)}),
              c.texts);
    EXPECT_EQ(DD->InvGROSS, CentsToAmount(totals.Gross));
  }
  // 0.1 + 0.2 (the last case) is 0.30 exactly; services keep no quantity.
  EXPECT_EQ(DD->InvNET, 0.3);
  EXPECT_FALSE(Records(QStringLiteral("INV2"))[0][0].isValid());
}

TEST_F(InvoiceRoad, AConfirmedInvoiceIsStoredWholeBeforeItIsShown) {
  const QVariant none;
  const struct {
    bool items;
    int type; // as MINV1 keeps it
    QList<QVariant> quantities, lineTotals, totals;
  } cases[] = {
      {true, 1, {3.0, 2.0}, {1.0, 20.0}, {21.0, 3.68, 24.68}},
      // A service's total is its price.
      {false, 0, {none, none}, {0.33, 10.0}, {10.33, 1.81, 12.14}},
  };
  for (const auto &c : cases) {
    DD->NewINV2andOpen();
    draft.Items = c.items;
    draft.CustNo = c.items ? 7 : 0;
    AddLines({{3, 0.333}, {2, 10}});
    const int number = c.items ? 1 : 2;
    EXPECT_EQ(Create(), TCreateInvoiceResult::Stored);
    EXPECT_EQ(done, QStringList({"focus description", "confirm?",
                                 QStringLiteral("show %1 no %2").arg(number).arg(number), "what next"}));
    EXPECT_EQ(headersWhenShown, number);
    const TRow header = Records(QStringLiteral("MINV1")).last();
    EXPECT_EQ(header.mid(1), TRow({c.type, false, draft.CustNo, draft.Customer, draft.Address[0],
                                   draft.Address[1], QString(), QString(), draft.Address[4]}) +
                                 c.totals + TRow({draft.Date, double(number)}));
    QList<TRow> lines;
    for (const TRow &line : Records(QStringLiteral("MINV2")))
      if (line[0] == header[0]) lines.append(line.mid(1));
    EXPECT_EQ(lines, (QList<TRow>{{c.quantities[0], "Line 0.333", 0.333, c.lineTotals[0]},
                                  {c.quantities[1], "Line 10", 10.0, c.lineTotals[1]}}));
    // The counter, and the tables the windows show, see it too.
    EXPECT_EQ(LastINV(), number);
    EXPECT_EQ(DD->CONTROLLastINV->AsInteger(), number);
  }
}

TEST_F(InvoiceRoad, APreviewStoresNothingAndShowsTheNumberTheNextInvoiceGets) {
  const struct {
    int lastInv;
    QList<double> stored; // numbers of invoices already there
    int next;
  } cases[] = {{0, {}, 1}, {41, {}, 42}, {3, {7, 5}, 8}, {9, {7}, 10}};
  for (const auto &c : cases) {
    WipeAllData(*DD);
    SetFirst(QStringLiteral("CONTROL"), 7, c.lastInv);
    for (double number : c.stored) Insert(QStringLiteral("MINV1"), HeaderRow(number));
    DD->NewINV2andOpen();
    AddLines({{1, 4}});
    confirm = false;
    EXPECT_EQ(Create(), TCreateInvoiceResult::Previewed);
    EXPECT_EQ(done.last(), QStringLiteral("show 1 no %1 preview").arg(c.next));
    EXPECT_EQ(Records(QStringLiteral("MINV1")).size(), c.stored.size());
    EXPECT_EQ(LastINV(), c.lastInv);
    // Then confirmed: stored once, with the number the preview showed.
    confirm = true;
    EXPECT_EQ(Create(), TCreateInvoiceResult::Stored);
    EXPECT_EQ(done.at(2), QStringLiteral("show 1 no %1").arg(c.next));
    EXPECT_EQ(Records(QStringLiteral("MINV1")).size(), c.stored.size() + 1);
    EXPECT_EQ(LastINV(), c.next);
  }
}

TEST_F(InvoiceRoad, ChecksRefuseBeforeTheQuestionEachWithItsMessage) {
  const QString noName = QStringLiteral("Error:  You must supply a Customer Name."),
                noItems = QStringLiteral("Error:  You have not added any items.");
  const struct {
    QString customer;
    QList<std::pair<double, double>> lines;
    double percent;
    QStringList done;
  } cases[] = {
      {QString(), {}, 0, {"focus description", noName, "focus customer", noItems}},
      {QString(), {{1, 1}}, 0, {"focus description", noName, "focus customer"}},
      {QStringLiteral("Someone"), {}, 0, {"focus description", noItems}},
      {QStringLiteral("Someone"),
       {{1, 9999999999999.99}},
       1,
       {"focus description",
        "The gross amount is too large to be stored: an amount can be at most 9999999999999.99."}},
  };
  FormatSettingsGuard settings(FormatSettings::USEnglish());
  for (const auto &c : cases) {
    DD->NewINV2andOpen();
    draft.Customer = c.customer;
    draft.TaxPercent = c.percent;
    AddLines(c.lines);
    EXPECT_EQ(Create(), TCreateInvoiceResult::Refused);
    EXPECT_EQ(done, c.done);
  }
  EXPECT_TRUE(Records(QStringLiteral("MINV1")).isEmpty());
}

TEST_F(InvoiceRoad, AStoreThatFailsHalfWayLeavesNothingStoredAndTheInvoiceOnScreen) {
  Sql("CREATE TRIGGER refuse BEFORE INSERT ON MINV2 WHEN NEW.DESCRIPTION = 'Line 2' "
      "BEGIN SELECT RAISE(ABORT, 'line refused'); END");
  AddLines({{1, 1}, {1, 2}, {1, 3}});
  try {
    Create();
    ADD_FAILURE() << "stored";
  } catch (const EInvoiceNotStored &e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("The invoice was not stored:")) &&
                e.Message().contains(QStringLiteral("line refused")))
        << e.Message().toStdString();
  }
  EXPECT_EQ(done, QStringList({"focus description", "confirm?"}));
  EXPECT_TRUE(Records(QStringLiteral("MINV1")).isEmpty());
  EXPECT_TRUE(Records(QStringLiteral("MINV2")).isEmpty());
  EXPECT_EQ(LastINV(), 0);
  EXPECT_EQ(DD->CONTROLLastINV->AsInteger(), 0);
  EXPECT_EQ(Records(QStringLiteral("INV2")).size(), 3);
  EXPECT_EQ(DD->INV2->RecordCount(), 3);

  // The number was not used up.
  Sql("DROP TRIGGER refuse");
  EXPECT_EQ(Create(), TCreateInvoiceResult::Stored);
  EXPECT_EQ(done.at(2), QStringLiteral("show 1 no 1"));
  EXPECT_EQ(Records(QStringLiteral("MINV2")).size(), 3);
}

TEST_F(InvoiceRoad, HeaderTableIsClosedAlsoWhenTheShowingFails) {
  AddLines({{1, 1}});
  showFails = true;
  confirm = false;
  EXPECT_THROW(Create(), Exception);
  EXPECT_FALSE(DD->INV1->Active());
  // A stored invoice that cannot be shown is said so, and the user goes on.
  confirm = true;
  EXPECT_EQ(Create(), TCreateInvoiceResult::Stored);
  ASSERT_EQ(done.size(), 5);
  EXPECT_TRUE(done[3].startsWith(
      QStringLiteral("Invoice 1 was stored but cannot be shown: The template is missing")));
  EXPECT_EQ(done[4], QStringLiteral("what next"));
}

TEST_F(InvoiceRoad, WipeAllEmptiesProductsCustomersAndInvoicesAllOrNothing) {
  Insert(QStringLiteral("PRODUCTS"), {0, QStringLiteral("Bread"), 2.5});
  Insert(QStringLiteral("CUSTOMERS"), {QVariant(), QStringLiteral("Someone"), {}, {}, {}, {}, {}});
  AddLines({{1, 1}, {2, 2}});
  ASSERT_EQ(Create(), TCreateInvoiceResult::Stored);
  const auto counts = [this] {
    QList<qsizetype> n;
    for (const char *table : {"PRODUCTS", "CUSTOMERS", "MINV2", "MINV1", "CONTROL", "Reports"})
      n.append(Records(QString::fromLatin1(table)).size());
    return n;
  };
  ASSERT_EQ(counts(), QList<qsizetype>({1, 1, 2, 1, 1, 0}));

  // MINV1, the last one emptied, refuses.
  Sql("CREATE TRIGGER keep BEFORE DELETE ON MINV1 BEGIN SELECT RAISE(ABORT, 'kept'); END");
  try {
    WipeAllData(*DD);
    ADD_FAILURE() << "wiped";
  } catch (const EDatabaseError &e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Nothing was deleted:"))) << e.Message().toStdString();
  }
  EXPECT_EQ(counts(), QList<qsizetype>({1, 1, 2, 1, 1, 0}));
  EXPECT_EQ(DD->PRODUCTS->RecordCount(), 1);

  Sql("DROP TRIGGER keep");
  WipeAllData(*DD);
  EXPECT_EQ(counts(), QList<qsizetype>({0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(LastINV(), 1);
  EXPECT_EQ(DD->MINV1->RecordCount(), 0);
}

} // namespace
