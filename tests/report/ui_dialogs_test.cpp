// The find and print dialogs: what they answer, the page list of each choice, the copies refused unless
// they are a whole number from 1 up, the printer chosen at once and given up on Cancel.
#include "../platform/std_test_helpers.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_combo_box.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/screen.h"
#include "report/printer_wrapper.h"
#include "report/ui/print_form.h"
#include "report/ui/search_form.h"
#include "tests/report/ui_preview_fixture.h"

namespace {

using stdtest::WhenFocused;

// The dialog that is up now.
template <class T>
T *Up() {
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (auto *f = dynamic_cast<T *>(Screen()->Forms(i)); f && f->Visible()) return f;
  return nullptr;
}

TEST(FindDialog, AnswersTheTextTheCaseAndTheOriginAndEscapeChangesNothing) {
  ScopedScriptedServices services;
  TfrFindRequest request{QStringLiteral("old"), false, false};
  WhenFocused([] {
    TfrPreviewSearchForm *dialog = Up<TfrPreviewSearchForm>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Edit1->SelLength(), 3) << "the text is selected";
    stdtest::TypeText(QStringLiteral("Batch"));
    guitest::Click(dialog->CB1, QPoint(5, 5));
    guitest::Click(dialog->RB2, QPoint(5, 5));
    dialog->Edit1->SetFocus();
    guitest::PressKey(Qt::Key_Return, Qt::NoModifier, "\r");
  });
  ASSERT_TRUE(frRunFindDialog(request));
  EXPECT_EQ(request.Text, "Batch");
  EXPECT_TRUE(request.CaseSensitive);
  EXPECT_FALSE(request.FromFirstPage);
  WhenFocused([] {
    stdtest::TypeText(QStringLiteral("new"));
    guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
  });
  EXPECT_FALSE(frRunFindDialog(request));
  EXPECT_EQ(request.Text, "Batch");
}

class PrintDialogTest : public test::ReportModelTest {
protected:
  void SetUp() override {
    ReportModelTest::SetUp();
    printers = std::make_unique<test::ScriptedPrinters>();
  }
  void TearDown() override {
    printers.reset();
    ReportModelTest::TearDown();
  }
  ScopedScriptedServices services;
  std::unique_ptr<test::ScriptedPrinters> printers;
};

TEST(PrintCopies, OnlyWholeNumbersFromOneUpAreCopies) {
  for (const int n : {1, 999}) EXPECT_EQ(frParseCopies(QStringLiteral(" %1 ").arg(n)), n);
  for (const char *bad : {"0", "+2", "1000", "99999999999", "1e3", "\xef\xbc\x92"})
    EXPECT_EQ(frParseCopies(QString::fromUtf8(bad)), std::nullopt) << bad;
}

TEST_F(PrintDialogTest, ThePageListFollowsTheChosenRangeAndPlusAndMinusStepTheCopies) {
  auto *dialog = TCustomForm::Create<TfrPrintForm>(nullptr);
  // All pages, the current one (3), or the numbers typed; the copies typed.
  QStringList requests;
  auto request = [&] {
    requests << QStringLiteral("'%1' x%2").arg(dialog->Request(3).PageNumbers).arg(dialog->Request(3).Copies);
  };
  request();
  dialog->RB2->SetChecked(true);
  request();
  dialog->RB3->SetChecked(true);
  dialog->E2->SetText(QStringLiteral("1,3,5-12"));
  dialog->E1->SetText(QStringLiteral("4"));
  request();
  EXPECT_EQ(requests, QStringList({"'' x1", "'3' x1", "'1,3,5-12' x4"}));
  // "before+after" or "before-after": never an exception, always a whole number from 1 to 999.
  for (const char *step : {"1-1", "abc+1", "999+999"}) {
    const QString text = QString::fromLatin1(step);
    const bool plus = text.contains(QLatin1Char('+'));
    const QStringList parts = text.split(QLatin1Char(plus ? '+' : '-'));
    dialog->E1->SetText(parts[0]);
    EXPECT_NO_THROW(plus ? dialog->PlusClick(nullptr) : dialog->MinusClick(nullptr));
    EXPECT_EQ(dialog->E1->Text(), parts[1]) << step;
  }
  dialog->Free();
}

TEST_F(PrintDialogTest, OkRefusesBadCopiesAndBadPageListsAndStaysOpen) {
  TfrPrintRequest request;
  int oldPrinter = -1, newPrinter = -1;
  int stillOpen = 0;
  WhenFocused([&] {
    TfrPrintForm *dialog = Up<TfrPrintForm>();
    ASSERT_NE(dialog, nullptr);
    for (const char *bad : {"0", ""}) {
      dialog->E1->SetText(QString::fromLatin1(bad));
      guitest::Click(dialog->OkButton, QPoint(5, 5));
      guitest::ProcessEvents();
      if (dialog->Visible() && dialog->ModalResult() == mrNone) ++stillOpen;
    }
    EXPECT_TRUE(dialog->E1->Focused()) << "the bad field has the focus";
    dialog->E1->SetText(QStringLiteral("2"));
    dialog->E2->SetText(QStringLiteral("x"));
    EXPECT_TRUE(dialog->RB3->Checked()) << "typing numbers chooses them";
    guitest::Click(dialog->OkButton, QPoint(5, 5));
    guitest::ProcessEvents();
    if (dialog->Visible() && dialog->ModalResult() == mrNone) ++stillOpen;
    dialog->E2->SetText(QStringLiteral("2-3"));
    guitest::Click(dialog->OkButton, QPoint(5, 5));
  });
  ASSERT_TRUE(frRunPrintDialog(
      5,
      [](const QString &pages) {
        return pages == "x" ? QStringLiteral("\"x\" is not a page number") : QString();
      },
      request, oldPrinter, newPrinter));
  EXPECT_EQ(stillOpen, 3);
  ASSERT_EQ(services->MessageBoxes().size(), 3);
  EXPECT_EQ(services->MessageBoxes()[0].Text, "The number of copies must be a whole number from 1 to 999.");
  EXPECT_EQ(services->MessageBoxes()[2].Text, "\"x\" is not a page number");
  EXPECT_EQ(
      QStringLiteral("%1 %2 %3").arg(request.PageNumbers).arg(request.Copies).arg(oldPrinter == newPrinter),
      "2-3 2 1");
}

TEST_F(PrintDialogTest, APrinterChosenIsTakenAtOnceAndGivenUpOnCancel) {
  auto *dialog = TCustomForm::Create<TfrPrintForm>(nullptr);
  EXPECT_EQ(dialog->CB1->Items()->Text(), "Office\r\nLabels\r\nPDF file\r\n") << "not the virtual printer";
  dialog->CB1->SetItemIndex(1);
  dialog->CB1->OnChange(dialog->CB1);
  EXPECT_EQ(ReportPrinter()->PrinterIndex(), 1) << "chosen at once";
  // Properties runs the printer setup and shows its choice.
  dialog->CB1->SetItemIndex(0);
  dialog->CB1->OnChange(dialog->CB1);
  services->AnswerPrinterSetup(QStringLiteral("Labels"));
  dialog->PropertiesClick(nullptr);
  EXPECT_EQ(QString::asprintf("%d %d %d", services->PrinterSetups(), dialog->CB1->ItemIndex(),
                              ReportPrinter()->PrinterIndex()),
            "1 1 1");
  dialog->Free();

  // Cancel gives the other printer up; OK keeps it and tells which printer the report had and has.
  ReportPrinter()->SelectPrinter(0);
  TfrPrintRequest request;
  int oldPrinter = -1, newPrinter = -1;
  for (const bool ok : {false, true}) {
    WhenFocused([ok] {
      TfrPrintForm *up = Up<TfrPrintForm>();
      up->CB1->SetItemIndex(1);
      up->CB1->OnChange(up->CB1);
      ok ? guitest::Click(up->OkButton, QPoint(5, 5))
         : guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    });
    EXPECT_EQ(frRunPrintDialog(1, {}, request, oldPrinter, newPrinter), ok);
    EXPECT_EQ(QString::asprintf("%d %d %d", oldPrinter, newPrinter, ReportPrinter()->PrinterIndex()),
              ok ? "0 1 1" : "0 0 0");
  }
}

TEST_F(PrintDialogTest, EachPrinterIsDrawnWithThePrinterPictureBeforeItsName) {
  auto *dialog = TCustomForm::Create<TfrPrintForm>(nullptr);
  guitest::ShowAndActivate(dialog);
  const QImage box = dialog->CB1->Widget()->grab().toImage();
  int picture = 0, beyond = 0;
  for (int y = 2; y < box.height() - 2; ++y) {
    for (int x = 3; x < 21; ++x)
      if (qGray(box.pixel(x, y)) < 120) ++picture;
    for (int x = 26; x < 60; ++x)
      if (qGray(box.pixel(x, y)) < 120) ++beyond;
  }
  EXPECT_GT(picture, 10) << "the printer picture";
  EXPECT_GT(beyond, 10) << "the name 24 pixels in";
  dialog->Free();
}

TEST_F(PrintDialogTest, ThePreviewPrintsWhatTheDialogAnswers) {
  test::PreparedPagesBuilder builder;
  TfrEMFPages pages;
  builder.TwoPageInvoice(pages);
  auto *preview = TCustomForm::Create<TfrPreviewForm>(nullptr);
  auto host = std::make_unique<test::FakePreviewHost>(&pages);
  test::FakePreviewHost *raw = host.get();
  preview->Connect(std::move(host));
  preview->SetPage(2);
  WhenFocused([] {
    TfrPrintForm *up = Up<TfrPrintForm>();
    up->RB2->SetChecked(true);
    up->E1->SetText(QStringLiteral("3"));
    guitest::Click(up->OkButton, QPoint(5, 5));
  });
  preview->PrintBtnClick(nullptr);
  EXPECT_EQ(raw->calls, QStringList({"print '2' x3"}));
  preview->Free();
}

} // namespace
