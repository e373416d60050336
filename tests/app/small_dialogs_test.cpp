// The what-next dialog and the about box, driven by clicks and keys; and the dialogs made once at start, in
// the program's order.
#include "app/program.h"
#include "platform/windowing/messages.h"
#include "tests/app/dialog_fixture.h"
#include <QUrl>

namespace {

using WhatNext = DialogTest;
using AboutDialog = DialogTest;
using ProgramDialogs = AppFolderTest;

TEST_F(ProgramDialogs, AreMadeOnceAtStartInTheProgramsOrderAndFreedAtExit) {
  Seed();
  QStringList made;
  QTimer::singleShot(0, [&] {
    for (int i = 0; i < Application()->ComponentCount(); ++i) made << Application()->Components(i)->Name();
    for (TCustomForm *dialog : std::initializer_list<TCustomForm *>{SETTINGS, WOTNEXT, AboutBox, CUSTLIST,
                                                                    CUSTEDIT, INVOICES, PRODUCTS, PRODEDIT})
      EXPECT_FALSE(dialog->Showing()) << dialog->Name().toStdString();
    F1->Close();
  });
  EXPECT_EQ(RunTallyrook(), 0);
  EXPECT_EQ(made, QStringList({"DD", "F1", "SETTINGS", "HARD", "WOTNEXT", "AboutBox", "CUSTLIST", "CUSTEDIT",
                               "INVOICES", "PRODUCTS", "PRODEDIT"}));
  EXPECT_TRUE(!SETTINGS && !WOTNEXT && !AboutBox && !CUSTLIST && !CUSTEDIT && !INVOICES && !PRODUCTS &&
              !PRODEDIT);
}

TEST_F(WhatNext, OKClosesItWithTheChosenAnswerChecked) {
  const std::pair<std::function<void()>, int> cases[] = {
      {[] {}, 1},
      {[] { ClickOn(WOTNEXT->RB4); }, 4},
      {[] { ClickOn(WOTNEXT->RB2); }, 2},
      {[] { guitest::PressKey(Qt::Key_Down), guitest::PressKey(Qt::Key_Down); }, 3},
  };
  for (const auto &[chooseAnswer, answer] : cases) {
    const auto &choose = chooseAnswer; // clang 14 does not capture a structured binding
    // As the caller does before each show.
    WOTNEXT->RB1->SetChecked(true);
    WOTNEXT->SetActiveControl(WOTNEXT->RB1);
    EXPECT_EQ(Run(WOTNEXT, [&] { choose(), Enter(); }), mrOk);
    const QList<bool> checked{WOTNEXT->RB1->Checked(), WOTNEXT->RB2->Checked(), WOTNEXT->RB3->Checked(),
                              WOTNEXT->RB4->Checked()};
    EXPECT_EQ(checked.indexOf(true) + 1, answer);
    EXPECT_EQ(checked.count(true), 1);
  }
}

TEST_F(AboutDialog, ItsLinksOpenOnlyAnAddressTheBuildGivesAndOKEnterOrEscapeCloseIt) {
  struct Case {
    QString webSite, email;
    QStringList opened; // by the product name, the e-mail line and the web site line, clicked in that order
    std::function<void()> close;
  };
  const Case cases[] = {
      {{}, {}, {}, [] { ClickOn(AboutBox->OKButton); }},
      {QStringLiteral("www.example.com"),
       QStringLiteral("help@example.com"),
       {"http://www.example.com", "mailto:help@example.com", "http://www.example.com"},
       Enter},
      {{}, {}, {}, Escape},
  };
  for (const Case &c : cases) {
    AboutBox->ShowPublisher(c.webSite, c.email);
    // As the main window's menu does: OK focused.
    AboutBox->SetActiveControl(AboutBox->OKButton);
    const qsizetype before = services->OpenedUrls().size();
    EXPECT_EQ(Run(AboutBox,
                  [&] {
                    EXPECT_EQ(AboutBox->ProductName->Caption(), QStringLiteral("Billsprint Creation"));
                    for (TControl *link : std::initializer_list<TControl *>{
                             AboutBox->ProductName, AboutBox->KNGURLLabel1, AboutBox->KNGURLLabel2})
                      ClickOn(link);
                    EXPECT_TRUE(AboutBox->OKButton->Focused());
                    c.close();
                  }),
              mrOk);
    QStringList opened;
    for (const QUrl &url : services->OpenedUrls().mid(before)) opened << url.toString();
    EXPECT_EQ(opened, c.opened);
  }
}

TEST_F(AboutDialog, TheQuickHelpIsReadOnlyInSectionsAwayFromTheMemosEdges) {
  const QString text = AboutBox->Memo1->Text();
  const QString rule = QStringLiteral("\r\n") + QString(58, QLatin1Char('-')) + QStringLiteral("\r\n");
  qsizetype at = 0;
  for (const char *heading :
       {"An Important note regarding invoices:", "Using Tallyrook:", "CUSTOMER DETAILS (top left)",
        "GLOBAL DETAILS (top right)", "ADD ITEMS (middle)", "INVOICE DETAIL (bottom)", "PAST INVOICES",
        "WIPE ALL AND RESTART", "CHANGING THE SETTINGS"}) {
    at = text.indexOf(QString::fromLatin1(heading) + rule, at);
    EXPECT_GE(at, 0) << heading << " (in order, with its rule)";
  }
  AboutBox->SetActiveControl(AboutBox->Memo1);
  Run(AboutBox, [&] {
    stdtest::TypeText(QStringLiteral("xyz"));
    guitest::PressKey(Qt::Key_Delete);
    EXPECT_EQ(AboutBox->Memo1->Text(), text);
    TRect inside;
    AboutBox->Memo1->Perform(EM_GETRECT, 0, LPARAM(&inside));
    const TRect client = AboutBox->Memo1->ClientRect();
    EXPECT_EQ(inside, Rect(client.Left + 4, client.Top + 2, client.Right - 4, client.Bottom - 2));
  });
}

} // namespace
