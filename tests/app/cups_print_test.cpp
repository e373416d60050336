// A real printer: an invoice printed through the print form's PRINT button, with its two copies, on a
// cups-pdf queue of a CUPS scheduler of the test's own; the PDF that cups-pdf writes holds the invoice's
// number, lines and totals on pages × copies pages. Where no scheduler can be started (the test needs root),
// the test says so and is skipped.
#include "app/invoice_templates.h"
#include "app/print_form.h"
#include "app/program.h"
#include "platform/core/format_settings.h"
#include "platform/graphics/printer.h"
#include "report/printer_wrapper.h"
#include "report/ui/preview_form.h"
#include "tests/app/app_fixture.h"
#include "tests/platform/std_test_helpers.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace {

// Hang guards only: every wait ends as soon as its condition holds.
constexpr int kGenerousWait = 120000;

// Runs a program to its end; its output, or nothing when it failed.
std::optional<QString> RunTool(const QString &program, const QStringList &arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(kGenerousWait) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0)
    return std::nullopt;
  return QString::fromUtf8(process.readAllStandardOutput());
}

// A CUPS scheduler with a folder of its own, listening on a socket there, with one cups-pdf queue that
// writes its PDF files into the folder's "out".
class PrivateScheduler {
public:
  ~PrivateScheduler() { Stop(); }

  // Starts it; what kept it from starting, or an empty text.
  QString Start() {
    if (geteuid() != 0) return QStringLiteral("a CUPS scheduler of the test's own needs root");
    for (const char *needed : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/lib/cups/backend/cups-pdf",
                               "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"})
      if (!QFile::exists(QString::fromLatin1(needed)))
        return QStringLiteral("%1 is missing: scripts/setup installs it").arg(QString::fromLatin1(needed));
    if (!folder_.isValid()) return folder_.errorString();
    // Filters run as the scheduler's own user and must reach its spool folder.
    QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                              QFile::ExeOther);
    for (const char *sub : {"etc", "state", "cache", "log", "spool", "out"}) QDir(folder_.path()).mkdir(sub);
    const QString etc = Path("etc");
    Write(etc + QStringLiteral("/cupsd.conf"),
          QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\n"
                         "Browsing No\n<Location />\n  Order allow,deny\n"
                         "  Allow all\n</Location>\n")
              .arg(Socket()));
    Write(
        etc + QStringLiteral("/cups-files.conf"),
        QStringLiteral("ServerRoot %1\nStateDir %2\nCacheDir %3\nAccessLog %4/access_log\nErrorLog "
                       "%4/error_log\nPageLog %4/page_log\nRequestRoot %5\nSystemGroup root\nFileDevice No\n")
            .arg(etc, Path("state"), Path("cache"), Path("log"), Path("spool")));
    // cups-pdf reads the settings of a queue from the file its device names.
    Write(Settings(), QStringLiteral("Out %1\nAnonDirName %1\nLabel 1\n").arg(Path("out")));

    scheduler_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    scheduler_.start(QStringLiteral("/usr/sbin/cupsd"),
                     {QStringLiteral("-f"), QStringLiteral("-c"), etc + QStringLiteral("/cupsd.conf"),
                      QStringLiteral("-s"), etc + QStringLiteral("/cups-files.conf")});
    if (!scheduler_.waitForStarted(kGenerousWait))
      return QStringLiteral("cupsd: ") + scheduler_.errorString();
    QDeadlineTimer deadline(kGenerousWait);
    while (!Lpstat({QStringLiteral("-r")}).value_or(QString()).contains(QStringLiteral("is running"))) {
      if (deadline.hasExpired() || scheduler_.state() != QProcess::Running)
        return QStringLiteral("cupsd did not start; see %1/error_log").arg(Path("log"));
      QThread::msleep(50);
    }
    // cups-pdf takes PostScript: the PDF the program sends is converted by cairo, which keeps what each
    // letter is, so that the text of the PDF cups-pdf writes can be read back.
    const QString host = Socket();
    if (!RunTool(QStringLiteral("/usr/sbin/lpadmin"),
                 {QStringLiteral("-h"), host, QStringLiteral("-p"), Queue(), QStringLiteral("-E"),
                  QStringLiteral("-v"), QStringLiteral("cups-pdf:/") + Queue(), QStringLiteral("-P"),
                  QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"), QStringLiteral("-o"),
                  QStringLiteral("pdftops-renderer-default=pdftocairo")}) ||
        !RunTool(QStringLiteral("/usr/sbin/lpadmin"),
                 {QStringLiteral("-h"), host, QStringLiteral("-d"), Queue()}))
      return QStringLiteral("lpadmin could not add the cups-pdf queue");
    return QString();
  }

  void Stop() {
    if (scheduler_.state() != QProcess::NotRunning) {
      scheduler_.terminate();
      if (!scheduler_.waitForFinished(kGenerousWait)) scheduler_.kill();
    }
    QFile::remove(Settings());
    QFile::remove(QStringLiteral("/var/log/cups/cups-pdf-%1_log").arg(Queue()));
  }

  QString Socket() const { return Path("cups.sock"); }
  QString Queue() const { return QStringLiteral("TallyrookTest%1").arg(getpid()); }

  // The PDF files cups-pdf wrote, once the scheduler has no job left.
  QStringList WaitForPdfs() {
    QDeadlineTimer deadline(kGenerousWait);
    const QDir out(Path("out"));
    while (!deadline.hasExpired()) {
      const QStringList pdfs = out.entryList({QStringLiteral("*.pdf")}, QDir::Files);
      if (!pdfs.isEmpty() && Lpstat({QStringLiteral("-o")}) == QString()) {
        QStringList paths;
        for (const QString &pdf : pdfs) paths.append(out.filePath(pdf));
        return paths;
      }
      QThread::msleep(100);
    }
    return {};
  }

private:
  QString Path(const char *name) const { return QDir(folder_.path()).filePath(QString::fromLatin1(name)); }
  QString Settings() const { return QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(Queue()); }
  static void Write(const QString &file, const QString &text) {
    QFile out(file);
    if (out.open(QIODevice::WriteOnly)) out.write(text.toUtf8());
  }
  std::optional<QString> Lpstat(const QStringList &arguments) {
    return RunTool(QStringLiteral("lpstat"), QStringList{QStringLiteral("-h"), Socket()} + arguments);
  }

  QTemporaryDir folder_;
  QProcess scheduler_;
};

class CupsPrinter : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    for (const char *tool : {"pdftotext", "pdfinfo", "lpstat"})
      if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
        GTEST_SKIP() << "Printing through CUPS is not tested: " << tool << " is missing (scripts/setup)";
    if (const QString why = scheduler.Start(); !why.isEmpty())
      GTEST_SKIP() << "Printing through CUPS is not tested: " << why.toStdString();
    // The program's printers are those of this scheduler.
    qputenv("CUPS_SERVER", scheduler.Socket().toUtf8());
    ASSERT_EQ(SeedDataFolder(data.path(), InvoiceTemplates()).Outcome, TSeedOutcome::Created);
    settings.emplace(FormatSettings::USEnglish());
    Settings().CurrencyString = QStringLiteral("\u20AC");
  }
  void TearDown() override {
    AppFolderTest::TearDown();
    FreeReportPrinter();
    FreePrinter();
    settings.reset();
    scheduler.Stop();
    qunsetenv("CUPS_SERVER");
  }

  PrivateScheduler scheduler;
  std::optional<FormatSettingsGuard> settings;
  ScopedScriptedServices services;
};

TEST_F(CupsPrinter, PrintWithTwoCopiesReachesThePrinterAsTheInvoiceTwice) {
  StartApplicationReports();
  Application()->CreateForm(DD);
  Application()->CreateForm(HARD);
  EXPECT_EQ(HARD->ET1->Text(), scheduler.Queue()) << "the scheduler's queue is the default printer";
  NewInvoiceToPrint(60);
  int pages = 0;
  stdtest::WhenFocused([&] {
    pages = HARD->frPreview1->PageCount();
    EXPECT_EQ(HARD->COPIES->Value(), 2);
    guitest::Click(HARD->Button1, QPoint(10, 10));
    HARD->Close();
  });
  HARD->DoReport(1);
  guitest::ProcessEvents();
  for (const TMessageBoxRequest &box : services->MessageBoxes()) ADD_FAILURE() << box.Text.toStdString();
  ASSERT_GE(pages, 2);

  const QStringList pdfs = scheduler.WaitForPdfs();
  ASSERT_EQ(pdfs.size(), 1) << "cups-pdf wrote no PDF";
  EXPECT_EQ(PdfInfo(pdfs[0], "Pages").toInt(), pages * 2);
  // The invoice's last line and its total are there once a copy (what the templates print: their goldens).
  const QString text = PdfText(pdfs[0]);
  for (const QString &expected : {QStringLiteral("Sourdough loaf, batch 60"), QStringLiteral("5185.50")})
    EXPECT_EQ(text.count(expected), 2) << text.toStdString();
}

} // namespace
