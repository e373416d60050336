// The printer: one process-wide TPrinter (Printer()) over the system's printers (CUPS through Qt) plus a
// "PDF file" printer that is always in the list, so that a machine without a printer can still print. It
// keeps the class library's shape: the printer list with one shared selection, paper and orientation, job
// title and copies, BeginDoc/NewPage/EndDoc/Abort and a canvas in device pixels whose origin is the top left
// of the printable area. Paper sizes are Windows paper codes (DMPAPER_*), in tenths of a millimetre.
//
// Which printers exist is asked of a TPrinterSystem: the real one reads the system's printers; tests script
// printers of their own, which print into PDF files.
#pragma once
#include "platform/core/object.h"
#include "platform/graphics/canvas.h"
#include <QList>
#include <QMarginsF>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPrinter;

enum TPrinterOrientation { poPortrait, poLandscape };

// Windows paper codes this program names.
constexpr int DMPAPER_LETTER = 1;
constexpr int DMPAPER_LEGAL = 5;
constexpr int DMPAPER_A3 = 8;
constexpr int DMPAPER_A4 = 9;
constexpr int DMPAPER_A5 = 11;
constexpr int DMPAPER_USER = 256; // a custom size

// A paper a printer offers: its code, name and size (portrait) in tenths of a millimetre.
struct TPaperInfo {
  int code = 0;
  QString name;
  int width = 0;
  int height = 0;
  bool operator==(const TPaperInfo &) const = default;
};

// Every standard paper with a Windows code, in order of code.
const QList<TPaperInfo> &StandardPapers();
// The standard paper of a code, or nothing for an unknown code.
std::optional<TPaperInfo> StandardPaper(int code);

// What the program needs to know of one printer.
struct TPrinterDescription {
  QString name;
  QList<TPaperInfo> papers; // what it offers
  int defaultPaper = DMPAPER_A4;
  bool customPaper = true;  // accepts DMPAPER_USER sizes
  QMarginsF minimumMargins; // unprintable margins, millimetres
  int resolution = 600;     // dots per inch
};

class TPrinterSystem {
public:
  virtual ~TPrinterSystem() = default;
  virtual QStringList PrinterNames() const = 0;
  // Empty when the system has no default printer.
  virtual QString DefaultPrinterName() const = 0;
  virtual TPrinterDescription Describe(const QString &name) const = 0;
  // A Qt printer that prints on the named printer (output format and file already set where needed).
  virtual std::unique_ptr<QPrinter> CreatePrinter(const QString &name) const = 0;
  // A file a job on the named printer is to be written to instead (empty: the printer prints it).
  virtual QString JobOutputFile(const QString &name) const { return QString(); }
};

// The system's printers, through Qt's print support.
std::unique_ptr<TPrinterSystem> CreateSystemPrinters();

// A file name made of a document's title: the characters a file name cannot hold become "_"; an empty title
// gives "Document".
QString SafeFileName(const QString &title);

// Printers made up by tests: each prints its jobs into numbered PDF files in a folder.
class TScriptedPrinterSystem : public TPrinterSystem {
public:
  explicit TScriptedPrinterSystem(const QString &outputFolder) : folder_(outputFolder) {}
  void AddPrinter(const TPrinterDescription &printer) { printers_.append(printer); }
  void SetDefaultPrinter(const QString &name) { default_ = name; }
  // The files printed so far, in order.
  const QStringList &Jobs() const { return jobs_; }

  QStringList PrinterNames() const override;
  QString DefaultPrinterName() const override { return default_; }
  TPrinterDescription Describe(const QString &name) const override;
  std::unique_ptr<QPrinter> CreatePrinter(const QString &name) const override;
  QString JobOutputFile(const QString &name) const override;

private:
  QString folder_;
  QList<TPrinterDescription> printers_;
  QString default_;
  mutable QStringList jobs_;
};

class TPrinter : public TObject {
public:
  // The name of the printer that writes PDF files.
  static QString PdfPrinterName() { return QStringLiteral("PDF file"); }

  explicit TPrinter(std::unique_ptr<TPrinterSystem> system = CreateSystemPrinters());
  ~TPrinter() override;
  QString ClassName() const override { return QStringLiteral("TPrinter"); }

  // ---- which printer ----
  // The system's printers followed by "PDF file".
  const QStringList &Printers() const { return printers_; }
  // Changes the source of printers (tests); the list is read again.
  void SetPrinterSystem(std::unique_ptr<TPrinterSystem> system);
  // The selected printer's index in Printers(). At first the system's default printer, else "PDF file".
  int PrinterIndex() const { return index_; }
  // -1 selects the default printer. A printer is selected with its own default paper, in portrait. Raises
  // EPrinter for an index outside the list or while printing.
  void SetPrinterIndex(int index);
  QString PrinterName() const { return printers_.value(index_); }
  bool IsPdfPrinter() const { return index_ == printers_.size() - 1; }
  // The file the PDF printer writes its next job to, as the user chose it. A name serves one job: BeginDoc
  // takes it, and the job after needs a name of its own. The file's folder must exist (none is made), and a
  // job on the PDF printer without a name is refused.
  QString PdfFileName() const { return pdfFileName_; }
  void SetPdfFileName(const QString &fileName) { pdfFileName_ = fileName; }
  // The file the last PDF job went to.
  QString OutputFileName() const { return outputFileName_; }

  // ---- paper ----
  // The papers the selected printer offers (its device capabilities).
  QList<TPaperInfo> Papers() const;
  bool SupportsCustomPaper() const;
  int PaperSize() const { return paper_.code; }
  // The paper's size (portrait) in tenths of a millimetre.
  int PaperWidth() const { return paper_.width; }
  int PaperHeight() const { return paper_.height; }
  // Raises EPrinter for a code the printer does not offer. Paper and orientation may change while printing:
  // they apply from the next page.
  void SetPaperSize(int code);
  // A custom paper (DMPAPER_USER) of the given size in tenths of a millimetre.
  void SetCustomPaperSize(int width, int height);
  TPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(TPrinterOrientation orientation);

  // ---- device ----
  // GetDeviceCaps of the printer: resolution, printable area, whole sheet and unprintable offsets.
  int DeviceCaps(int index) const;
  // The printable area in device pixels.
  int PageWidth() const { return DeviceCaps(HORZRES); }
  int PageHeight() const { return DeviceCaps(VERTRES); }

  // ---- the job ----
  QString Title() const { return title_; }
  void SetTitle(const QString &title) { title_ = title; }
  // Copies the printer makes of the job (a PDF file holds one).
  int Copies() const { return copies_; }
  void SetCopies(int copies) { copies_ = std::max(1, copies); }
  // Starts a job; raises EPrinter when one is running or the printer cannot start it.
  void BeginDoc();
  void NewPage();
  void EndDoc();
  // Stops the job; nothing more is printed (a PDF file begun is removed).
  void Abort();
  bool Printing() const { return printing_; }
  bool Aborted() const { return aborted_; }
  int PageNumber() const { return pageNumber_; }
  // The canvas of the job. Between jobs it measures text for the printer but refuses to draw.
  TCanvas *Canvas() { return &canvas_; }
  // The Qt printer of the selection.
  QPrinter *Handle() const { return qprinter_.get(); }

private:
  void ReadPrinters();
  void Select(int index);
  void CreateQPrinter();
  void ApplyLayout();
  TPrinterDescription Description() const;
  void CheckNotPrinting() const;

  std::unique_ptr<TPrinterSystem> system_;
  QStringList printers_;
  int index_ = 0;
  std::unique_ptr<QPrinter> qprinter_;
  TCanvas canvas_;
  TPaperInfo paper_;
  TPrinterOrientation orientation_ = poPortrait;
  QString pdfFileName_;
  QString outputFileName_;
  QString title_;
  int copies_ = 1;
  bool printing_ = false;
  bool aborted_ = false;
  int pageNumber_ = 0;
};

// The process-wide printer, made at first use.
TPrinter *Printer();
// Frees the process-wide printer (at shut-down, before the application object goes).
void FreePrinter();
