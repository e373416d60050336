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

class FindDialogTest : public ::testing::Test {
protected:
  ScopedScriptedServices services;
};

TEST_F(FindDialogTest, AnswersTheTextTheCaseAndTheOrigin) {
  TfrFindRequest request{QStringLiteral("old"), false, false};
  WhenFocused([] {
    TfrPreviewSearchForm *dialog = Up<TfrPreviewSearchForm>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Caption(), "Find text");
    EXPECT_TRUE(dialog->Edit1->Focused()) << "the text is focused and selected";
    EXPECT_EQ(dialog->Edit1->SelLength(), 3);
    EXPECT_TRUE(dialog->RB1->Checked()) << "the origin starts at the first page";
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
}

TEST_F(FindDialogTest, EscapeCancelsAndChangesNothing) {
  TfrFindRequest request{QStringLiteral("old"), true, false};
  WhenFocused([] {
    stdtest::TypeText(QStringLiteral("new"));
    guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
  });
  EXPECT_FALSE(frRunFindDialog(request));
  EXPECT_EQ(request.Text, "old");
  EXPECT_TRUE(request.CaseSensitive);
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
  struct Case {
    const char *text;
    std::optional<int> copies;
  };
  const Case cases[] = {{"1", 1},
                        {"12", 12},
                        {" 3 ", 3},
                        {"999", 999},
                        {"0", std::nullopt},
                        {"-1", std::nullopt},
                        {"+2", std::nullopt},
                        {"1.5", std::nullopt},
                        {"2,0", std::nullopt},
                        {"abc", std::nullopt},
                        {"", std::nullopt},
                        {"1000", std::nullopt},
                        {"99999999999", std::nullopt},
                        {"1e3", std::nullopt}};
  for (const Case &c : cases) EXPECT_EQ(frParseCopies(QString::fromLatin1(c.text)), c.copies) << c.text;
  EXPECT_EQ(frParseCopies(QString::fromUtf8("\xef\xbc\x92")), std::nullopt) << "a full-width digit";
}

TEST_F(PrintDialogTest, ThePageListFollowsTheChosenRange) {
  auto *dialog = TCustomForm::Create<TfrPrintForm>(nullptr);
  EXPECT_TRUE(dialog->RB1->Checked());
  EXPECT_EQ(dialog->Request(3).PageNumbers, "");
  dialog->RB2->SetChecked(true);
  EXPECT_EQ(dialog->Request(3).PageNumbers, "3");
  dialog->RB3->SetChecked(true);
  dialog->E2->SetText(QStringLiteral("1,3,5-12"));
  EXPECT_EQ(dialog->Request(3).PageNumbers, "1,3,5-12");
  EXPECT_EQ(dialog->Request(3).Copies, 1);
  dialog->E1->SetText(QStringLiteral("4"));
  EXPECT_EQ(dialog->Request(3).Copies, 4);
  EXPECT_EQ(dialog->Label2->Caption(),
            "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12");
  dialog->Free();
}

TEST_F(PrintDialogTest, PlusAndMinusStepTheCopiesAndNeverThrow) {
  auto *dialog = TCustomForm::Create<TfrPrintForm>(nullptr);
  struct Step {
    const char *before;
    bool plus;
    const char *after;
  };
  const Step steps[] = {{"1", false, "1"}, {"1", true, "2"}, {"7", false, "6"},    {"abc", true, "1"},
                        {"", false, "1"},  {"0", true, "1"}, {"999", true, "999"}, {"2.5", false, "1"}};
  for (const Step &s : steps) {
    dialog->E1->SetText(QString::fromLatin1(s.before));
    EXPECT_NO_THROW(s.plus ? dialog->PlusClick(nullptr) : dialog->MinusClick(nullptr));
    EXPECT_EQ(dialog->E1->Text(), QString::fromLatin1(s.after)) << s.before << (s.plus ? " +" : " -");
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
    for (const char *bad : {"0", "abc", "1.5", ""}) {
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
  EXPECT_EQ(stillOpen, 5);
  ASSERT_EQ(services->MessageBoxes().size(), 5);
  EXPECT_EQ(services->MessageBoxes()[0].Text, "The number of copies must be a whole number from 1 to 999.");
  EXPECT_EQ(services->MessageBoxes()[4].Text, "\"x\" is not a page number");
  EXPECT_EQ(request.PageNumbers, "2-3");
  EXPECT_EQ(request.Copies, 2);
  EXPECT_EQ(oldPrinter, newPrinter);
}

TEST_F(PrintDialogTest, APrinterChosenIsTakenAtOnceAndGivenUpOnCancel) {
  auto *dialog = TCustomForm::Create<TfrPrintForm>(nullptr);
  EXPECT_EQ(dialog->CB1->Items()->Count(), 3) << "Office, Labels and PDF file, not the virtual printer";
  EXPECT_EQ(dialog->CB1->Items()->Strings(1), "Labels");
  EXPECT_EQ(dialog->CB1->ItemIndex(), 0);
  dialog->CB1->SetItemIndex(1);
  dialog->CB1->OnChange(dialog->CB1);
  EXPECT_EQ(ReportPrinter()->PrinterIndex(), 1) << "chosen at once";
  dialog->Free();

  ReportPrinter()->SelectPrinter(0);
  TfrPrintRequest request;
  int oldPrinter = -1, newPrinter = -1;
  WhenFocused([] {
    TfrPrintForm *up = Up<TfrPrintForm>();
    up->CB1->SetItemIndex(1);
    up->CB1->OnChange(up->CB1);
    guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
  });
  EXPECT_FALSE(frRunPrintDialog(1, {}, request, oldPrinter, newPrinter));
  EXPECT_EQ(ReportPrinter()->PrinterIndex(), 0) << "Cancel gives the other printer up";
  EXPECT_EQ(oldPrinter, 0);
  EXPECT_EQ(newPrinter, 0);

  WhenFocused([] {
    TfrPrintForm *up = Up<TfrPrintForm>();
    up->CB1->SetItemIndex(1);
    up->CB1->OnChange(up->CB1);
    guitest::Click(up->OkButton, QPoint(5, 5));
  });
  EXPECT_TRUE(frRunPrintDialog(1, {}, request, oldPrinter, newPrinter));
  EXPECT_EQ(oldPrinter, 0);
  EXPECT_EQ(newPrinter, 1);
  EXPECT_EQ(ReportPrinter()->PrinterIndex(), 1);
}

TEST_F(PrintDialogTest, PropertiesRunsThePrinterSetupAndShowsItsChoice) {
  auto *dialog = TCustomForm::Create<TfrPrintForm>(nullptr);
  services->AnswerPrinterSetup(QStringLiteral("Labels"));
  dialog->PropertiesClick(nullptr);
  EXPECT_EQ(services->PrinterSetups(), 1);
  EXPECT_EQ(dialog->CB1->ItemIndex(), 1);
  EXPECT_EQ(ReportPrinter()->PrinterIndex(), 1);
  dialog->Free();
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
