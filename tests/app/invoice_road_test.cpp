// The invoice road without its window: the number a preview shows and an invoice that cannot be shown. The
// window's side, with totals, refusals and Wipe All: main_form_test; the rows stored: tests/e2e.
#include "app/create_invoice.h"
#include "app/invoice_lines.h"
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
  }

  // Create Invoice with scripted steps: `confirm` answers the question; `done` tells what the road did.
  TCreateInvoiceResult Create() {
    done.clear();
    TCreateInvoiceSteps steps;
    steps.FocusDescription = steps.FocusCustomer = [] {};
    steps.ShowMessage = [this](const QString &message) { done << message; };
    steps.Confirm = [this] { return confirm; };
    steps.ShowInvoice = [this](int templateNumber, int number, bool preview) {
      done
          << QStringLiteral("show %1 no %2%3").arg(templateNumber).arg(number).arg(preview ? " preview" : "");
      // What the print preview reads: INV1's header.
      EXPECT_EQ(DD->INV1->FieldByName(QStringLiteral("InvNUM"))->AsInteger(), number);
      if (showFails) throw Exception(QStringLiteral("The template is missing"));
    };
    steps.WhatNext = [this] { done << QStringLiteral("what next"); };
    const TCreateInvoiceResult result = CreateInvoice(*DD, draft, steps);
    EXPECT_FALSE(DD->INV1->Active());
    return result;
  }

  void AddLine() { ASSERT_TRUE(AddInvoiceLine(*DD, true, 1, QStringLiteral("Flour"), 4)); }

  TInvoiceDraft draft;
  bool confirm = true;
  bool showFails = false;
  QStringList done;
};

TEST_F(InvoiceRoad, APreviewStoresNothingAndShowsTheNumberTheNextInvoiceGets) {
  const struct {
    int lastInv;
    QList<double> stored; // numbers of invoices already there
    int next;
  } cases[] = {{0, {}, 1}, {3, {7, 5}, 8}, {9, {7}, 10}};
  for (const auto &c : cases) {
    WipeAllData(*DD);
    SetFirst(QStringLiteral("CONTROL"), 7, c.lastInv);
    for (double number : c.stored) Insert(QStringLiteral("MINV1"), HeaderRow(number));
    DD->NewINV2andOpen();
    AddLine();
    confirm = false;
    EXPECT_EQ(Create(), TCreateInvoiceResult::Previewed);
    EXPECT_EQ(done, QStringList{QStringLiteral("show 1 no %1 preview").arg(c.next)});
    EXPECT_EQ(Records(QStringLiteral("MINV1")).size(), c.stored.size());
    EXPECT_EQ(LastINV(), c.lastInv);
    // Then confirmed: stored once, with the number the preview showed.
    confirm = true;
    EXPECT_EQ(Create(), TCreateInvoiceResult::Stored);
    EXPECT_EQ(done.value(0), QStringLiteral("show 1 no %1").arg(c.next));
    EXPECT_EQ(LastINV(), c.next);
  }
}

TEST_F(InvoiceRoad, HeaderTableIsClosedAlsoWhenTheShowingFails) {
  AddLine();
  showFails = true;
  confirm = false;
  EXPECT_THROW(Create(), Exception);
  EXPECT_FALSE(DD->INV1->Active());
  // A stored invoice that cannot be shown is said so, and the user goes on.
  confirm = true;
  EXPECT_EQ(Create(), TCreateInvoiceResult::Stored);
  ASSERT_EQ(done.size(), 3);
  EXPECT_TRUE(done[1].startsWith(
      QStringLiteral("Invoice 1 was stored but cannot be shown: The template is missing")));
  EXPECT_EQ(done[2], QStringLiteral("what next"));
}

} // namespace
