// The invoice printing form driven as a user would: an invoice seeded in INV1/INV2 as Create Invoice leaves
// it, previewed through the shipped templates, printed with copies on made-up printers that write PDF files,
// the printer chosen in the setup dialog, Enter, Ctrl+P and Escape, where the PDF printer's files go, the
// date as the date fields show it, and templates that cannot run (a missing one: main_form_test.cpp).
#include "controls/framework/intl_support.h"
#include "platform/core/intl_profile.h"
#include "report/engine.h"
#include "report/ui/preview_form.h"
#include "report/variables.h"
#include "tests/app/dialog_fixture.h"
#include <QCryptographicHash>
#include <QStandardPaths>

namespace {

int PdfPages(const QString &file) { return PdfInfo(file, "Pages").toInt(); }

QByteArray FileHash(const QString &file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// A new, empty home folder (with a Documents folder when asked) for the life of the object.
class ScopedHome {
public:
  explicit ScopedHome(bool documents) : home_(qgetenv("HOME")), config_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("HOME", dir_.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    if (documents) QDir(dir_.path()).mkdir(QStringLiteral("Documents"));
  }
  ~ScopedHome() {
    qputenv("HOME", home_);
    if (config_.isEmpty())
      qunsetenv("XDG_CONFIG_HOME");
    else
      qputenv("XDG_CONFIG_HOME", config_);
  }
  QString Path(const QString &name = QString()) const {
    return name.isEmpty() ? dir_.path() : dir_.filePath(name);
  }

private:
  QTemporaryDir dir_;
  QByteArray home_, config_;
};

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

  // Runs template k; While runs inside the shown dialog, which is closed after it. No message is shown
  // unless Said names them.
  void Run(int k, const std::function<void()> &While, const QStringList &Said = {}) {
    bool ran = false;
    stdtest::WhenFocused([&] {
      ran = true;
      While();
      if (HARD->ModalResult() == mrNone) HARD->Close();
    });
    HARD->DoReport(k);
    guitest::ProcessEvents();
    EXPECT_TRUE(ran) << "the dialog did not show: " << HARD->frReport1->ErrorText().toStdString();
    EXPECT_EQ(Messages(), Said);
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

// Each job on the PDF printer asks where its file goes, offering the invoice's name in a folder that exists,
// and writes exactly there: never into the file of an earlier job, never into a folder that is not there.
TEST_F(PrintForm, WithoutAPrinterEveryPdfJobAsksWhereItsFileGoesAndWritesOnlyThere) {
  EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("(no printer)"));
  QStringList said;
  for (const bool documents : {false, true}) {
    SCOPED_TRACE(documents ? "with Documents" : "without Documents");
    ScopedHome home(documents);
    const QString offered = home.Path(documents ? QStringLiteral("Documents") : QString());
    const QString folder =
        QDir(output.path()).filePath(documents ? QStringLiteral("b") : QStringLiteral("a"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString first = QDir(folder).filePath(QStringLiteral("invoice 1042"));
    const QString second = QDir(folder).filePath(QStringLiteral("Invoice 1043.pdf"));
    const QString missing = QDir(folder).filePath(QStringLiteral("no such folder/x.pdf"));
    const qsizetype asked = services->FileDialogs().size();
    services->AnswerFileDialog(std::nullopt);
    services->AnswerFileDialog(TFileDialogResult{first, 1});
    services->AnswerFileDialog(std::nullopt);
    services->AnswerFileDialog(TFileDialogResult{missing, 1});
    said << QStringLiteral("The folder \"%1\" does not exist. Choose a folder that does.")
                .arg(QDir::toNativeSeparators(QFileInfo(missing).absolutePath()));
    QByteArray printed;
    Run(
        1,
        [&] {
          // Cancelled: nothing is printed.
          Click(HARD->Button1);
          EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 0);
          Click(HARD->Button1);
          printed = FileHash(first + QStringLiteral(".pdf"));
          // Ctrl+P asks anew: cancelled, or a folder that is not there, and the first file stays as it was.
          stdtest::PressCtrl('P');
          stdtest::PressCtrl('P');
          EXPECT_FALSE(QFileInfo::exists(QFileInfo(missing).absolutePath()));
          EXPECT_EQ(FileHash(first + QStringLiteral(".pdf")), printed);
        },
        said);
    HARD->SetInvVar(1043);
    services->AnswerFileDialog(TFileDialogResult{second, 1});
    Run(
        1, [&] { stdtest::PressCtrl('P'); }, said);
    ASSERT_EQ(services->FileDialogs().size(), asked + 5);
    for (qsizetype i = asked; i < services->FileDialogs().size(); ++i) {
      const TFileDialogRequest &request = services->FileDialogs()[i];
      EXPECT_TRUE(request.Save && request.Options.Contains(ofOverwritePrompt));
      EXPECT_EQ(request.InitialDir, offered);
      EXPECT_EQ(request.FileName,
                QDir(offered).filePath(i == asked + 4 ? QStringLiteral("Invoice 1043.pdf")
                                                      : QStringLiteral("Invoice 1042.pdf")));
    }
    // Copies are for paper: a file holds the invoice once, under its name.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"Invoice 1043.pdf", "invoice 1042.pdf"}));
    EXPECT_EQ(FileHash(first + QStringLiteral(".pdf")), printed);
    EXPECT_EQ(PdfPages(second), 1);
    EXPECT_EQ(PdfInfo(second, "Title"), QStringLiteral("Invoice 1043"));
    EXPECT_TRUE(PdfText(second).contains(QStringLiteral("1043")));
    EXPECT_EQ(QDir(home.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              documents ? QStringList{"Documents"} : QStringList{})
        << "nothing is written where the user did not choose";
    HARD->SetInvVar(1042);
  }
  // Chosen in the setup dialog, the PDF printer is named in the printer field.
  services->AnswerPrinterSetup(TPrinter::PdfPrinterName());
  Run(
      1,
      [&] {
        HARD->ET1->SetFocus();
        Key(Qt::Key_Down, QString(), Qt::AltModifier);
        EXPECT_EQ(HARD->ET1->Text(), TPrinter::PdfPrinterName());
      },
      said);
}

// The mark of a preview belongs to its run: it stays through a printer choice, PRINT and Ctrl+P. Ctrl+P
// prints as PRINT does: COPIES copies on the printer chosen.
TEST_F(PrintForm, CtrlPPrintsAsPrintDoesAndAPreviewKeepsItsMarkThroughAPrinterChoice) {
  for (const bool preview : {true, false}) {
    SCOPED_TRACE(preview ? "preview" : "invoice");
    HARD->SetPreviewVar(preview);
    services->AnswerPrinterSetup(QStringLiteral("Back room"));
    const qsizetype before = printers->Jobs().size();
    int pages = 0;
    Run(1, [&] {
      pages = HARD->frPreview1->PageCount();
      HARD->ET1->SetFocus();
      Key(Qt::Key_Down, QString(), Qt::AltModifier);
      EXPECT_EQ(HARD->ET1->Text(), QStringLiteral("Back room"));
      HARD->COPIES->SetFocus();
      Key(Qt::Key_Up);
      EXPECT_EQ(HARD->COPIES->Value(), 3);
      EXPECT_TRUE(PreviewFocused());
      stdtest::PressCtrl('P');
      Click(HARD->Button1);
      // Ctrl+P with the focus elsewhere in the dialog prints too.
      HARD->COPIES->SetFocus();
      stdtest::PressCtrl('P');
    });
    ASSERT_EQ(printers->Jobs().size(), before + 3);
    for (qsizetype i = before; i < printers->Jobs().size(); ++i) {
      const QString job = printers->Jobs()[i];
      EXPECT_TRUE(job.contains(QStringLiteral("Back room"))) << job.toStdString();
      EXPECT_EQ(PdfPages(job), pages * 3) << job.toStdString();
      EXPECT_EQ(PdfText(job).count(THARD::PreviewMarkText), preview ? 3 : 0) << job.toStdString();
    }
  }
}

// The date on paper and in the list of past invoices is the date as the date fields show it, in the
// user's short format.
class PrintFormDates : public PrintForm,
                       public ::testing::WithParamInterface<std::pair<const char *, const char *>> {
protected:
  void SetUp() override {
    const QLocale locale(QString::fromLatin1(GetParam().first));
    intl.emplace(locale);
    Settings() = FormatSettings::FromLocale(locale); // put back by the fixture's guard
    intlSup.emplace();
    PrintForm::SetUp();
  }
  std::optional<ScopedIntlProfile> intl;
  std::optional<OvcIntlSupGuard> intlSup;
};

TEST_P(PrintFormDates, TheInvoiceAndThePastInvoicesShowTheDateAsTheDateFieldDoes) {
  const TDateTime date = EncodeDate(2026, 12, 7);
  F1->OvcDateEdit1->SetDate(date);
  const QString shown = F1->OvcDateEdit1->Text().trimmed();
  EXPECT_EQ(shown, QString::fromUtf8(GetParam().second));
  DD->INV1->Edit();
  DD->INV1->FieldByName(QStringLiteral("InvDATE"))->SetAsDateTime(date);
  DD->INV1->Post();
  Run(1, [&] { Click(HARD->Button1); });
  ASSERT_FALSE(printers->Jobs().isEmpty());
  const QString text = PdfText(printers->Jobs().last(), true);
  EXPECT_TRUE(
      text.contains(QRegularExpression(QStringLiteral("Date +%1\\n").arg(QRegularExpression::escape(shown)))))
      << text.toStdString();

  DD->MINV1->Append();
  DD->MINV1TYPE->SetAsInteger(1);
  DD->MINV1CANC->SetAsBoolean(false);
  DD->MINV1CUSTOMER->SetAsString(QStringLiteral("Harbour Bakery Ltd"));
  DD->MINV1InvDATE->SetAsDateTime(date);
  DD->MINV1InvNUM->SetAsFloat(1042);
  DD->MINV1->Post();
  INVOICES->SetUp();
  DialogTest::Run(INVOICES, [&] { EXPECT_EQ(DD->MINV1InvDATE->DisplayText(), shown); });
}

INSTANTIATE_TEST_SUITE_P(Locales, PrintFormDates,
                         ::testing::Values(std::pair("C", "7 Dec 2026"), std::pair("pl_PL", "7.12.2026")),
                         [](const auto &info) { return std::string(info.param.first); });

} // namespace
