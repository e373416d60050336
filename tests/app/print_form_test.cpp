// The invoice printing form driven as a user would: an invoice seeded in INV1/INV2 as Create Invoice leaves
// it, previewed through the shipped templates, printed with copies on made-up printers that write PDF files,
// the printer chosen in the setup dialog, Enter and Escape, and templates that cannot run (a missing one:
// main_form_test.cpp).
#include "report/engine.h"
#include "report/ui/preview_form.h"
#include "report/variables.h"
#include "tests/app/dialog_fixture.h"
#include <QStandardPaths>

namespace {

int PdfPages(const QString &file) { return PdfInfo(file, "Pages").toInt(); }

class PrintForm : public DialogTest {
protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
      GTEST_SKIP() << "poppler-utils is not installed";
    if (!std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()).starts_with("Without"))
      printerNames = {QStringLiteral("Office laser"), QStringLiteral("Back room")};
    Settings().CurrencyString = QStringLiteral("\u20AC"); // the printing form takes it when it is made
    DialogTest::SetUp();
    NewInvoiceToPrint(1);
  }

  // Runs template k; While runs inside the shown dialog, which is closed after it.
  void Run(int k, const std::function<void()> &While) {
    bool ran = false;
    stdtest::WhenFocused([&] {
      ran = true;
      While();
      if (HARD->ModalResult() == mrNone) HARD->Close();
    });
    HARD->DoReport(k);
    guitest::ProcessEvents();
    EXPECT_TRUE(ran) << "the dialog did not show: " << HARD->frReport1->ErrorText().toStdString();
    EXPECT_EQ(Messages(), QStringList());
  }
  bool PreviewFocused() const { return HARD->frPreview1->Window()->PBox->Focused(); }
};

TEST_F(PrintForm, AnInvoiceOrAPreviewShowsItsNumberAndCurrencyAndAPreviewIsMarkedAndTitledSo) {
  const struct {
    int k;
    bool preview;
    const char *title;
  } cases[] = {{2, true, "Preview of invoice 1042"}, {1, false, "Invoice 1042"}};
  for (const auto &c : cases) {
    HARD->SetPreviewVar(c.preview);
    Run(c.k, [&] {
      EXPECT_EQ(HARD->frPreview1->PageCount(), 1);
      EXPECT_TRUE(PreviewFocused());
      Click(HARD->Button1);
    });
    const QString job = printers->Jobs().last(), texts = PdfText(job);
    for (const QString &shown : {QStringLiteral("1042"), QStringLiteral("\u20AC")})
      EXPECT_TRUE(texts.contains(shown)) << shown.toStdString();
    EXPECT_EQ(texts.contains(QStringLiteral("PREVIEW \u2014 not an invoice")), c.preview) << c.k;
    EXPECT_TRUE(PdfInfo(job, "Title").endsWith(QString::fromLatin1(c.title)))
        << PdfInfo(job, "Title").toStdString();
  }
}

TEST_F(PrintForm, CopiesKeysAndPrintEveryPageCopiesTimesOnTheDefaultPrinter) {
  NewInvoiceToPrint(70);
  EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("Office laser"));
  Run(1, [&] {
    const int pages = HARD->frPreview1->PageCount();
    EXPECT_GE(pages, 2);
    EXPECT_EQ(HARD->COPIES->Value(), 2);
    HARD->COPIES->SetValue(3);
    // A change of copies gives the keys back to the preview; typing into COPIES does not change the number.
    EXPECT_TRUE(PreviewFocused());
    HARD->COPIES->SetFocus();
    TypeText(QStringLiteral("4"));
    EXPECT_EQ(HARD->COPIES->Value(), 3);
    // A click in the preview gives it the keys again, and Enter prints.
    guitest::Click(HARD->frPreview1->Window()->PBox, QPoint(50, 50));
    EXPECT_TRUE(PreviewFocused());
    Enter();
    Click(HARD->Button1);
    ASSERT_EQ(printers->Jobs().size(), 2);
    for (const QString &job : printers->Jobs()) {
      EXPECT_TRUE(job.contains(QStringLiteral("Office laser"))) << job.toStdString();
      EXPECT_EQ(PdfPages(job), pages * 3);
    }
    EXPECT_TRUE(HARD->Showing());
    EXPECT_EQ(HARD->frPreview1->PageCount(), pages);
    Escape();
    EXPECT_EQ(HARD->ModalResult(), mrCancel);
  });
}

TEST_F(PrintForm, TemplatesThatCannotRunShowNothingAndLeaveTheReportsTableClosed) {
  for (int k : {0, 5, -1}) HARD->DoReport(k);
  EXPECT_TRUE(services->MessageBoxes().isEmpty());
  // Without an invoice number the template cannot be filled: the error is shown.
  ReportVariables()->Delete(ReportVariables()->IndexOf(QStringLiteral("SINV")));
  HARD->DoReport(1);
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_TRUE(
      services->MessageBoxes()[0].Text.startsWith(QStringLiteral("An error occured during calculating")));
  EXPECT_FALSE(DD->REPORTS->Active());
}

TEST_F(PrintForm, ThePrinterChosenInTheSetupDialogPrintsFromThenOn) {
  services->AnswerPrinterSetup(QStringLiteral("Back room"));
  Run(1, [&] {
    // Alt+Down in the printer field presses its button.
    HARD->ET1->SetFocus();
    Key(Qt::Key_Down, QString(), Qt::AltModifier);
    EXPECT_EQ(services->PrinterSetups(), 1);
    EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("Back room"));
    EXPECT_TRUE(PreviewFocused());
    Click(HARD->Button1);
  });
  // Something selected another printer meanwhile (a template made for one); the choice holds.
  Printer()->SetPrinterIndex(0);
  Run(2, [&] { Click(HARD->Button1); });
  ASSERT_EQ(printers->Jobs().size(), 2);
  for (const QString &job : printers->Jobs())
    EXPECT_TRUE(job.contains(QStringLiteral("Back room"))) << job.toStdString();
}

TEST_F(PrintForm, WithoutAPrinterItPrintsOneCopyToAPdfFileItAsksFor) {
  EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("(no printer)"));
  const QString chosen = output.filePath(QStringLiteral("invoice 1042"));
  services->AnswerFileDialog(std::nullopt);
  services->AnswerFileDialog(TFileDialogResult{chosen, 1});
  Run(1, [&] {
    // Cancelled: nothing is printed.
    Click(HARD->Button1);
    EXPECT_EQ(QDir(output.path()).entryList({QStringLiteral("*.pdf")}).size(), 0);
    Click(HARD->Button1);
  });
  ASSERT_EQ(services->FileDialogs().size(), 2);
  const TFileDialogRequest &request = services->FileDialogs().last();
  EXPECT_TRUE(request.Save && request.Options.Contains(ofOverwritePrompt));
  EXPECT_EQ(request.FileName, QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                  .filePath(QStringLiteral("Invoice 1042.pdf")));
  // Copies are for paper: the file holds the invoice once, under its name.
  EXPECT_EQ(PdfPages(chosen + QStringLiteral(".pdf")), 1);
  EXPECT_EQ(PdfInfo(chosen + QStringLiteral(".pdf"), "Title"), QStringLiteral("Invoice 1042"));
}

} // namespace
