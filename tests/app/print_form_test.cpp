// The invoice printing form driven as a user would: an invoice seeded in INV1/INV2 (or stored in
// MINV1/MINV2) previewed through the shipped templates, printed with copies on made-up printers that write
// PDF files, the printer chosen in the setup dialog, Enter and Escape.
#include "app/invoice_templates.h"
#include "app/main_form.h"
#include "app/print_form.h"
#include "app/program.h"
#include "platform/core/format_settings.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/screen.h"
#include "report/engine.h"
#include "report/export_filter.h"
#include "report/printer_wrapper.h"
#include "report/ui/preview_form.h"
#include "report/variables.h"
#include "tests/app/app_fixture.h"
#include "tests/platform/std_test_helpers.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Collects the texts of the prepared pages, a list per page.
class TextCollector : public TfrExportFilter {
public:
  TextCollector(TStream *stream, QList<QStringList> *pages) : TfrExportFilter(stream), pages_(pages) {}
  void OnBeginPage() override { pages_->append(QStringList()); }
  void OnText(int, int, const QString &text, TfrView *) override { pages_->last().append(text); }

private:
  QList<QStringList> *pages_;
};

// The number of pages of a PDF file, -1 when it cannot be read.
// A field of the PDF file's information ("Pages", "Title").
QString PdfInfo(const QString &file, const QString &field) {
  QProcess process;
  process.start(QStringLiteral("pdfinfo"), {file});
  if (!process.waitForFinished(60000)) return QString();
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("^%1:\\s+(.*)$").arg(field), QRegularExpression::MultilineOption)
          .match(QString::fromUtf8(process.readAllStandardOutput()));
  return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

int PdfPages(const QString &file) {
  bool ok = false;
  const int pages = PdfInfo(file, QStringLiteral("Pages")).toInt(&ok);
  return ok ? pages : -1;
}

class PrintForm : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
      GTEST_SKIP() << "poppler-utils is not installed";
    ASSERT_TRUE(output.isValid());
    ASSERT_EQ(SeedDataFolder(data.path(), InvoiceTemplates()).Outcome, TSeedOutcome::Created);
    settings.emplace(FormatSettings::USEnglish());
    Settings().CurrencyString = QStringLiteral("\u20AC");
  }
  void TearDown() override {
    AppFolderTest::TearDown();
    FreeReportPrinter();
    FreePrinter();
    settings.reset();
  }

  // Printers that write their jobs into the output folder: none (only the PDF printer), or two.
  void UsePrinters(bool some) {
    auto system = std::make_unique<TScriptedPrinterSystem>(output.path());
    printers = system.get();
    if (some) {
      for (const char *name : {"Office laser", "Back room"}) {
        TPrinterDescription printer;
        printer.name = QString::fromLatin1(name);
        printer.papers = {*StandardPaper(DMPAPER_A4), *StandardPaper(DMPAPER_LETTER)};
        printer.resolution = 150;
        system->AddPrinter(printer);
      }
      system->SetDefaultPrinter(QStringLiteral("Office laser"));
    }
    Printer()->SetPrinterSystem(std::move(system));
  }

  // The program's start, as far as the printing form needs it.
  void Start(bool somePrinters = true) {
    UsePrinters(somePrinters);
    StartApplicationReports();
    Application()->CreateForm(DD);
    ASSERT_NE(DD, nullptr);
    Application()->CreateForm(HARD);
    ASSERT_NE(HARD, nullptr);
  }

  // A new invoice as Create Invoice leaves it: its header in INV1, its lines in INV2, its number in "SINV".
  void NewInvoice(int lines = 3, int number = 1042) {
    TffTable *inv1 = DD->INV1;
    inv1->Open();
    inv1->Append();
    inv1->FieldByName(QStringLiteral("CUSTOMER"))->SetAsString(QStringLiteral("Harbour Bakery Ltd"));
    inv1->FieldByName(QStringLiteral("ADDR1"))->SetAsString(QStringLiteral("12 Quay Street"));
    inv1->FieldByName(QStringLiteral("ADDR2"))->SetAsString(QStringLiteral("Portsmouth"));
    inv1->FieldByName(QStringLiteral("NET"))->SetAsFloat(100);
    inv1->FieldByName(QStringLiteral("TAX"))->SetAsFloat(20);
    inv1->FieldByName(QStringLiteral("GROSS"))->SetAsFloat(120);
    inv1->FieldByName(QStringLiteral("InvDATE"))->SetAsDateTime(EncodeDate(2024, 5, 12));
    inv1->FieldByName(QStringLiteral("InvNUM"))->SetAsFloat(number);
    inv1->Post();
    HARD->SetInvVar(number);
    for (int i = 1; i <= lines; ++i) {
      DD->INV2->Append();
      DD->INV2QUANTITY->SetAsFloat(i);
      DD->INV2DESCRIPTION->SetAsString(QStringLiteral("Sourdough loaf, batch %1").arg(i));
      DD->INV2ITEMPRICE->SetAsFloat(2.5);
      DD->INV2ITEMTOTAL->SetAsFloat(2.5 * i);
      DD->INV2->Post();
    }
  }

  // The company's details as the settings dialog keeps them.
  void CompanyDetails() {
    DD->CONTROL->Edit();
    DD->CONTROLCOMPANY->SetAsString(QStringLiteral("Tallyrook Bakery Supplies"));
    DD->CONTROLADDRESS->SetAsString(QStringLiteral("Unit 4, Harbour Road, Southsea PO4 9XY"));
    DD->CONTROLPHONE->SetAsString(QStringLiteral("023 9200 1234"));
    DD->CONTROLFAX->SetAsString(QStringLiteral("023 9200 1235"));
    DD->CONTROLEMAIL->SetAsString(QStringLiteral("accounts@example.com"));
    DD->CONTROLWEBSITE->SetAsString(QStringLiteral("www.example.com"));
    DD->CONTROL->Post();
  }

  // A stored invoice, the current row of MINV1 with its lines in MINV2.
  void StoredInvoice(bool cancelled) {
    DD->MINV1->Append();
    DD->MINV1TYPE->SetAsInteger(1);
    DD->MINV1CANC->SetAsBoolean(cancelled);
    DD->MINV1CUSTOMER->SetAsString(QStringLiteral("Mill Lane Garage"));
    DD->MINV1ADDR1->SetAsString(QStringLiteral("3 Mill Lane"));
    DD->MINV1NET->SetAsFloat(50);
    DD->MINV1TAX->SetAsFloat(10);
    DD->MINV1GROSS->SetAsFloat(60);
    DD->MINV1InvDATE->SetAsDateTime(EncodeDate(2023, 11, 2));
    DD->MINV1InvNUM->SetAsFloat(977);
    DD->MINV1->Post();
    const int rec = DD->MINV1REC->AsInteger();
    DD->MINV2->Append();
    DD->MINV2REC->SetAsInteger(rec);
    DD->MINV2QUANTITY->SetAsFloat(2);
    DD->MINV2DESCRIPTION->SetAsString(QStringLiteral("Brake pads"));
    DD->MINV2ITEMPRICE->SetAsFloat(25);
    DD->MINV2ITEMTOTAL->SetAsFloat(50);
    DD->MINV2->Post();
  }

  // Runs template k; While runs inside the shown dialog, which it must close (it is closed after it
  // otherwise).
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
    for (const TMessageBoxRequest &box : services->MessageBoxes())
      ADD_FAILURE() << "message box: " << box.Text.toStdString();
  }

  // The texts of the prepared pages.
  QList<QStringList> PreparedTexts() {
    QList<QStringList> pages;
    const QString file = output.filePath(QStringLiteral("texts.txt"));
    EXPECT_TRUE(HARD->frReport1->ExportTo(
        [&pages](TStream *s) { return std::make_unique<TextCollector>(s, &pages); }, file));
    return pages;
  }
  static bool Holds(const QList<QStringList> &pages, const QString &text) {
    for (const QStringList &page : pages)
      for (const QString &line : page)
        if (line.contains(text)) return true;
    return false;
  }

  QTemporaryDir output;
  std::optional<FormatSettingsGuard> settings;
  TScriptedPrinterSystem *printers = nullptr;
  ScopedScriptedServices services;
};

TEST_F(PrintForm, IsCreatedAtStartAfterTheMainWindowAndTheSettings) {
  UsePrinters(true);
  bool checked = false;
  QTimer::singleShot(0, [&] {
    checked = true;
    ASSERT_NE(HARD, nullptr);
    QStringList order;
    for (int i = 0; i < Application()->ComponentCount(); ++i) order << Application()->Components(i)->Name();
    EXPECT_EQ(order.mid(0, 4), (QStringList{QStringLiteral("DD"), QStringLiteral("F1"),
                                            QStringLiteral("SETTINGS"), QStringLiteral("HARD")}));
    EXPECT_EQ(Application()->MainForm(), F1);
    EXPECT_FALSE(HARD->Showing());
    EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("Office laser"));
    F1->Close();
  });
  EXPECT_EQ(RunTallyrook(), 0);
  EXPECT_TRUE(checked);
  EXPECT_EQ(HARD, nullptr);
}

TEST_F(PrintForm, IsMadeAsDesigned) {
  Start();
  EXPECT_EQ(HARD->Name(), QStringLiteral("HARD"));
  EXPECT_EQ(HARD->Caption(), QStringLiteral("  Tallyrook Print Preview"));
  EXPECT_EQ(HARD->ClientWidth(), 792);
  EXPECT_EQ(HARD->ClientHeight(), 536);
  EXPECT_TRUE(HARD->KeyPreview());
  EXPECT_EQ(HARD->BorderStyle(), bsDialog);
  EXPECT_TRUE(HARD->BorderIcons().Empty());
  EXPECT_EQ(HARD->frReport1->Preview(), HARD->frPreview1);
  EXPECT_FALSE(HARD->frReport1->ModalPreview);
  EXPECT_FALSE(HARD->frReport1->ModifyPrepared);
  EXPECT_EQ(HARD->frReport1->Title, QStringLiteral("Tallyrook Document"));
  EXPECT_EQ(HARD->frReport1->PreviewButtons, (TfrPreviewButtons{pbZoom, pbPrint, pbExit}));
  EXPECT_EQ(HARD->Button1->Caption(), QStringLiteral("PRINT"));
  EXPECT_EQ(HARD->Button3->Caption(), QStringLiteral("Close"));
  EXPECT_TRUE(HARD->Button3->Cancel());
  EXPECT_EQ(HARD->Label1->Caption(), QStringLiteral("COPIES"));
  EXPECT_EQ(HARD->Label2->Caption(), QStringLiteral("PRINTER"));
  EXPECT_TRUE(HARD->ET1->ReadOnly());
  EXPECT_EQ(HARD->ET1->ButtonStyle(), TSMButtonStyle::bsEllipsis);
  EXPECT_EQ(HARD->ET1->ButtonWidth(), 21);
  EXPECT_EQ(HARD->ET1->ButtonKey(), kEditButtonDefaultKey);
  EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("Office laser"));
  ASSERT_NE(HARD->SysFormats, nullptr);
  EXPECT_EQ(HARD->SysFormats->Owner(), HARD);
  EXPECT_EQ(HARD->COPIES->MinValue(), 1);
  EXPECT_EQ(HARD->COPIES->MaxValue(), 5);
  EXPECT_FALSE(HARD->COPIES->EditorEnabled());
}

TEST_F(PrintForm, ANewInvoiceShowsItsNumberAndCurrencyWithTemplatesOneAndTwo) {
  Start();
  CompanyDetails();
  NewInvoice();
  for (int k : {1, 2}) {
    HARD->SetInvVar(1042);
    Run(k, [&] {
      EXPECT_EQ(HARD->frPreview1->PageCount(), 1) << k;
      EXPECT_EQ(HARD->frPreview1->Window()->ZoomMode(), zmPageWidth) << k;
      EXPECT_TRUE(HARD->frPreview1->Window()->PBox->Focused()) << k;
      const QList<QStringList> pages = PreparedTexts();
      EXPECT_TRUE(Holds(pages, QStringLiteral("1042"))) << k;
      EXPECT_TRUE(Holds(pages, QStringLiteral("\u20AC"))) << k;
      EXPECT_TRUE(Holds(pages, QStringLiteral("Harbour Bakery Ltd"))) << k;
      EXPECT_TRUE(Holds(pages, QStringLiteral("Tallyrook Bakery Supplies"))) << k;
      EXPECT_TRUE(Holds(pages, QStringLiteral("Sourdough loaf, batch 3"))) << k;
      // The items template has a quantity column; the services template has none.
      EXPECT_EQ(Holds(pages, QStringLiteral("Qty")), k == 1) << k;
      const QString shots = qEnvironmentVariable("TALLYROOK_SCREENSHOTS");
      if (k == 1 && !shots.isEmpty()) {
        QDir().mkpath(shots);
        EXPECT_TRUE(SaveControlPng(HARD, QDir(shots).filePath(QStringLiteral("print_preview.png"))));
        HARD->frPreview1->Window()->SetVertPosition(10000);
        EXPECT_TRUE(SaveControlPng(HARD, QDir(shots).filePath(QStringLiteral("print_preview_foot.png"))));
      }
    });
  }
  EXPECT_EQ(ReportVariables()->GetVariable(QStringLiteral("CURRSYM")).ToString(), QStringLiteral("\u20AC"));
  EXPECT_EQ(ReportVariables()->GetVariable(QStringLiteral("SINV")).VarType(), varInteger);
}

TEST_F(PrintForm, APreviewOfANewInvoiceIsMarkedAsNoInvoiceAndTitledSo) {
  Start();
  NewInvoice();
  const struct {
    int k;
    bool preview;
    const char *title;
  } cases[] = {
      {1, true, "Preview of invoice 1042"}, {2, true, "Preview of invoice 1042"}, {1, false, "Invoice 1042"}};
  for (const auto &c : cases) {
    HARD->SetPreviewVar(c.preview);
    Run(c.k, [&] {
      const QList<QStringList> pages = PreparedTexts();
      EXPECT_EQ(Holds(pages, QStringLiteral("PREVIEW \u2014 not an invoice")), c.preview) << c.k;
      EXPECT_TRUE(Holds(pages, QStringLiteral("1042"))) << c.k;
      EXPECT_EQ(HARD->frReport1->Title, QString::fromLatin1(c.title));
    });
  }
}

TEST_F(PrintForm, EveryRunStartsWithTwoCopiesAndCopiesStayWithinOneToFive) {
  Start();
  NewInvoice();
  Run(1, [&] {
    EXPECT_EQ(HARD->COPIES->Value(), 2);
    HARD->COPIES->SetValue(9);
    EXPECT_EQ(HARD->COPIES->Value(), 5);
    HARD->COPIES->SetValue(0);
    EXPECT_EQ(HARD->COPIES->Value(), 1);
    HARD->COPIES->SetValue(4);
    // A change of copies gives the keys back to the preview.
    EXPECT_TRUE(HARD->frPreview1->Window()->PBox->Focused());
    // Typing does not change the number.
    HARD->COPIES->SetFocus();
    stdtest::TypeText(QStringLiteral("3"));
    EXPECT_EQ(HARD->COPIES->Value(), 4);
    // A click in the preview gives it the keys again.
    guitest::SendMouse(HARD->frPreview1->Window()->PBox, QEvent::MouseButtonPress, Qt::LeftButton,
                       QPoint(50, 50), Qt::LeftButton);
    guitest::SendMouse(HARD->frPreview1->Window()->PBox, QEvent::MouseButtonRelease, Qt::LeftButton,
                       QPoint(50, 50), Qt::NoButton);
    EXPECT_TRUE(HARD->frPreview1->Window()->PBox->Focused());
  });
  Run(1, [&] { EXPECT_EQ(HARD->COPIES->Value(), 2); });
}

TEST_F(PrintForm, PrintPrintsEveryPageCopiesTimesAndTheDialogStaysOpen) {
  Start();
  NewInvoice(70);
  HARD->SetInvVar(1042);
  Run(1, [&] {
    const int pages = HARD->frPreview1->PageCount();
    EXPECT_GE(pages, 2);
    HARD->COPIES->SetValue(3);
    HARD->Button1Click(HARD->Button1);
    ASSERT_EQ(printers->Jobs().size(), 1);
    EXPECT_TRUE(printers->Jobs().first().contains(QStringLiteral("Office laser")));
    EXPECT_EQ(PdfPages(printers->Jobs().first()), pages * 3);
    EXPECT_EQ(HARD->ModalResult(), mrNone);
    // The preview shows the pages prepared again.
    EXPECT_EQ(HARD->frPreview1->PageCount(), pages);
  });
}

TEST_F(PrintForm, EnterPrintsAndEscapeCloses) {
  Start();
  NewInvoice();
  bool closedByEscape = false;
  Run(2, [&] {
    guitest::PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    guitest::ProcessEvents();
    ASSERT_EQ(printers->Jobs().size(), 1);
    EXPECT_EQ(PdfPages(printers->Jobs().first()), 2);
    EXPECT_TRUE(HARD->Showing());
    EXPECT_EQ(HARD->ModalResult(), mrNone);
    guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    guitest::ProcessEvents();
    // The modal loop ends with the answer of a closed dialog.
    closedByEscape = HARD->ModalResult() == mrCancel;
  });
  EXPECT_TRUE(closedByEscape);
  EXPECT_EQ(printers->Jobs().size(), 1);
}

TEST_F(PrintForm, CloseFocusesThePreviewAndEndsTheRun) {
  Start();
  NewInvoice();
  bool closed = false;
  Run(1, [&] {
    HARD->Button3->Click();
    guitest::ProcessEvents();
    closed = HARD->ModalResult() == mrCancel;
  });
  EXPECT_TRUE(closed);
  EXPECT_EQ(HARD->ActiveControl(), HARD->frPreview1->Window()->PBox);
}

TEST_F(PrintForm, ACancelledInvoiceIsReprintedCancelled) {
  Start();
  StoredInvoice(true);
  HARD->SetCancVar(QStringLiteral("CANCELLED"));
  Run(3, [&] {
    const QList<QStringList> pages = PreparedTexts();
    EXPECT_TRUE(Holds(pages, QStringLiteral("CANCELLED")));
    EXPECT_TRUE(Holds(pages, QStringLiteral("977")));
    EXPECT_TRUE(Holds(pages, QStringLiteral("Brake pads")));
    EXPECT_TRUE(Holds(pages, QStringLiteral("\u20AC")));
  });

  // A new invoice right after it still finds the variable set; its templates do not show it.
  NewInvoice(3, 1043);
  Run(1, [&] { EXPECT_FALSE(Holds(PreparedTexts(), QStringLiteral("CANCELLED"))); });
  EXPECT_EQ(ReportVariables()->GetVariable(QStringLiteral("CANCINV")).ToString(),
            QStringLiteral("CANCELLED"));

  // Re-printed as valid.
  HARD->SetCancVar(QString());
  Run(4, [&] {
    const QList<QStringList> pages = PreparedTexts();
    EXPECT_FALSE(Holds(pages, QStringLiteral("CANCELLED")));
    EXPECT_TRUE(Holds(pages, QStringLiteral("977")));
  });
}

TEST_F(PrintForm, OnlyTemplatesOneToFourRun) {
  Start();
  NewInvoice();
  for (int k : {0, 5, -1}) {
    HARD->DoReport(k);
    EXPECT_FALSE(HARD->Showing());
    EXPECT_EQ(HARD->frPreview1->PageCount(), 0);
    EXPECT_EQ(HARD->frReport1->Pages().Count(), 0);
  }
  EXPECT_FALSE(DD->REPORTS->Active());
}

TEST_F(PrintForm, AReportThatCannotBePreparedIsReportedAndNotShown) {
  Start();
  // No invoice number was given: the template cannot be filled.
  HARD->DoReport(1);
  EXPECT_FALSE(HARD->Showing());
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_EQ(services->MessageBoxes().first().Caption, QStringLiteral("Error"));
  EXPECT_TRUE(services->MessageBoxes().first().Text.startsWith(
      QStringLiteral("An error occured during calculating")));
  EXPECT_FALSE(DD->REPORTS->Active());
}

TEST_F(PrintForm, AMissingTemplateIsAnErrorAndLeavesTheReportsTableClosed) {
  Start();
  NewInvoice();
  DD->REPORTS->Open();
  DD->REPORTS->First();
  while (!DD->REPORTS->Eof() && DD->REPORTS->FieldByName(QStringLiteral("rec"))->AsInteger() != 2)
    DD->REPORTS->Next();
  ASSERT_FALSE(DD->REPORTS->Eof());
  DD->REPORTS->Delete();
  DD->REPORTS->Close();
  EXPECT_THROW(HARD->DoReport(2), EfrReportError);
  EXPECT_FALSE(DD->REPORTS->Active());
  EXPECT_FALSE(HARD->Showing());
}

TEST_F(PrintForm, ThePrinterChosenInTheSetupDialogPrintsFromThenOn) {
  Start();
  NewInvoice();
  services->AnswerPrinterSetup(QStringLiteral("Back room"));
  Run(1, [&] {
    // Alt+Down in the printer field presses its button.
    HARD->ET1->SetFocus();
    guitest::PressKey(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(services->PrinterSetups(), 1);
    EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("Back room"));
    EXPECT_TRUE(HARD->frPreview1->Window()->PBox->Focused());
    HARD->Button1Click(HARD->Button1);
  });
  // Something selected another printer meanwhile (a template made for one); the choice holds.
  Printer()->SetPrinterIndex(0);
  Run(2, [&] { HARD->Button1Click(HARD->Button1); });
  ASSERT_EQ(printers->Jobs().size(), 2);
  for (const QString &job : printers->Jobs())
    EXPECT_TRUE(job.contains(QStringLiteral("Back room"))) << job.toStdString();

  // A cancelled setup changes nothing.
  Run(1, [&] {
    HARD->ET1ButtonClick(HARD->ET1);
    EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("Back room"));
  });
}

TEST_F(PrintForm, WithoutAPrinterItPrintsToAPdfFileItAsksFor) {
  Start(false);
  NewInvoice();
  EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("(no printer)"));
  const QString chosen = output.filePath(QStringLiteral("invoice 1042"));
  services->AnswerFileDialog(std::nullopt);
  services->AnswerFileDialog(TFileDialogResult{chosen, 1});
  Run(1, [&] {
    HARD->COPIES->SetValue(2);
    // Cancelled: nothing is printed.
    HARD->Button1Click(HARD->Button1);
    EXPECT_EQ(QDir(output.path()).entryList({QStringLiteral("*.pdf")}).size(), 0);
    HARD->Button1Click(HARD->Button1);
  });
  ASSERT_EQ(services->FileDialogs().size(), 2);
  const TFileDialogRequest &request = services->FileDialogs().last();
  EXPECT_TRUE(request.Save);
  EXPECT_EQ(request.DefaultExt, QStringLiteral("pdf"));
  EXPECT_TRUE(request.Options.Contains(ofOverwritePrompt));
  EXPECT_EQ(request.FileName, QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                  .filePath(QStringLiteral("Invoice 1042.pdf")));
  // Copies are for paper: the file holds the invoice once, under its name.
  EXPECT_EQ(PdfPages(chosen + QStringLiteral(".pdf")), 1);
  EXPECT_EQ(PdfInfo(chosen + QStringLiteral(".pdf"), QStringLiteral("Title")),
            QStringLiteral("Invoice 1042"));
}

TEST_F(PrintForm, PlacesItselfForTheScreen) {
  Start();
  NewInvoice();
  Run(1, [&] {
    const int screenWidth = Screen()->Width();
    if (screenWidth <= 800) {
      EXPECT_EQ(HARD->Left(), 0);
      EXPECT_EQ(HARD->Top(), 0);
    } else {
      EXPECT_EQ(HARD->Left(), int(std::nearbyint((screenWidth - HARD->Width()) / 2.0)));
      EXPECT_EQ(HARD->Top(), int(std::nearbyint((Screen()->Height() - HARD->Height()) / 2.0)));
    }
  });
}

} // namespace
