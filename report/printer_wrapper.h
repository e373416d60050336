// TfrPrinter: the report engine's view of the printer. It lists the platform's printers followed by one
// virtual printer (used when no real printer is wanted), keeps the chosen paper, writes paper and orientation
// to the platform printer and gives page metrics in report units.
//
// There is one printer selection in the process: while a real printer is chosen, the wrapper's index and
// paper are those of the platform printer (Printer()), read live, so the printer-setup dialog, the print loop
// and the wrapper always agree. Only the virtual printer keeps a paper of its own.
//
// Paper sizes are in tenths of a millimetre and follow the orientation (a landscape A4 is 2970 x 2100).
#pragma once
#include "platform/core/object.h"
#include <QList>
#include <QString>
#include <QStringList>

class TPrinter;

// Report units per inch: what a page's design pixels measure.
constexpr double frUnitsPerInchX = 90.99804305283757;
constexpr double frUnitsPerInchY = 91.6256157635468;

// The paper code of a custom size.
constexpr int frCustomPaperSize = 256;
// The paper code of a new page (A4).
constexpr int frDefaultPaperSize = 9;

constexpr int frPortrait = 0;
constexpr int frLandscape = 1;

// One row of the paper table: a standard paper code, its name and its portrait size.
struct TfrPaperInfo {
  int Typ;
  const char *Name;
  int X; // width, tenths of a millimetre
  int Y; // height
};

// The 67 papers every printer may name: the standard codes 1-47 and 50-68, then the custom size (256, 0 x 0).
constexpr int frPaperCount = 67;
const TfrPaperInfo &frPaperInfo(int index);
// The row of a paper code, or -1.
int frPaperIndex(int code);

// Page metrics: the whole sheet, the unprintable offsets and the printable area, each in device pixels and
// in report units. The virtual printer fills only the report units.
struct TfrPrnInfo {
  int PPgw = 0, PPgh = 0; // sheet, device pixels
  int Pgw = 0, Pgh = 0;   // sheet, report units
  int POfx = 0, POfy = 0; // offset of the printable area, device pixels
  int Ofx = 0, Ofy = 0;   // offset, report units
  int PPw = 0, PPh = 0;   // printable area, device pixels
  int Pw = 0, Ph = 0;     // printable area, report units
  bool operator==(const TfrPrnInfo &) const = default;
};

class TfrPrinter : public TObject {
public:
  // Bound to `printer` (nullptr: only the virtual printer exists).
  explicit TfrPrinter(TPrinter *printer = nullptr);
  QString ClassName() const override { return QStringLiteral("TfrPrinter"); }

  // Binds the wrapper to a platform printer; the selection becomes that printer's current one.
  void AttachPlatformPrinter(TPrinter *printer);
  TPrinter *PlatformPrinter() const { return printer_; }

  static QString VirtualPrinterName() { return QStringLiteral("Virtual printer"); }
  // The platform's printers followed by the virtual printer.
  QStringList Printers() const;
  int PrinterIndex() const;
  // The name of the chosen printer.
  QString PrinterName() const { return Printers().value(PrinterIndex()); }
  // The virtual printer's index: the last in the list.
  int VirtualIndex() const;
  bool IsVirtual() const { return virtual_; }
  // Selects a printer by index (EPrinter for an index outside the list). A real printer is selected on the
  // platform, where it starts from its own paper; the virtual printer keeps the paper it had.
  void SelectPrinter(int index);
  // Selects the printer of exactly that name; false when there is none.
  bool SelectPrinterByName(const QString &name);

  // The papers the chosen printer offers (at most 256): names and codes, in the same order.
  QStringList PaperNames() const;
  QList<int> PaperCodes() const;

  int PaperSize() const;
  int PaperWidth() const;
  int PaperHeight() const;
  int Orientation() const;

  // Writes the paper to the printer unless it is the current one. Width and height count only for a custom
  // size (and for a code the printer does not know).
  void ApplyPaper(int code, int width, int height, int orientation);
  // A different code is another paper; for a custom size width, height and orientation must match, for
  // other codes the orientation.
  bool SamePaper(int code, int width, int height, int orientation) const;
  // Makes the next ApplyPaper write its paper whatever it is (after a change of printer).
  void ForgetPaper() { forgotten_ = true; }

  void GetPageMetrics(TfrPrnInfo &info) const;
  TfrPrnInfo PageMetrics() const {
    TfrPrnInfo info;
    GetPageMetrics(info);
    return info;
  }

private:
  void SetVirtualPaper(int code, int width, int height, int orientation);
  void WritePlatformPaper(int code, int width, int height, int orientation);

  TPrinter *printer_ = nullptr;
  bool virtual_ = true;
  bool forgotten_ = false;
  // The virtual printer's paper.
  int paperSize_ = frDefaultPaperSize;
  int paperWidth_ = 2100;
  int paperHeight_ = 2970;
  int orientation_ = frPortrait;
};

// The process-wide printer wrapper, bound to the platform printer at first use.
TfrPrinter *ReportPrinter();
// Binds the process-wide wrapper to `printer` (nullptr: the virtual printer only), making it when needed
// without touching the platform's printer (tests, tools).
void BindReportPrinter(TPrinter *printer);
// Frees it (at shut-down, before the platform printer goes).
void FreeReportPrinter();
