// THARD (HARD): the print preview dialog. A run loads one of the four invoice templates from the Reports
// table, sets the report variables the templates read, prepares the invoice, shows it page-wide and waits,
// modally, while the user prints it with a number of copies on the printer of their choice.
//
//   DoReport(1), DoReport(2)   a new invoice (items, services), after SetInvVar with its number
//   DoReport(3), DoReport(4)   a re-print (items, services), after SetCancVar
//
// Report variables: "CURRSYM" the locale's currency string (every run), "SINV" the invoice number, "CANCINV"
// "CANCELLED" or empty, "PREVIEWMARK" the words that mark a preview of a new invoice as no invoice, or empty
// (empty from the start). A variable keeps its last value until it is set again.
//
// A preview's mark belongs to the run: choosing a printer, printing again or printing with Ctrl+P never
// drops it.
//
// Enter and Ctrl+P print as PRINT does (COPIES copies, on the printer chosen), Escape closes. With no printer
// installed the printer field says "(no printer)" and printing goes to the PDF printer; every job on the PDF
// printer asks where to save its file. The printer chosen in the printer setup dialog is the one every later
// print uses, and the printer field names it.
#pragma once
#include "controls/edits/typed_edit.h"
#include "controls/framework/locale_formats.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_labels.h"
#include "platform/widgets/std_panels.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "report/report.h"
#include "report/shape_view.h"
#include "report/text_export.h"
#include "report/ui/preview_panel.h"

class THARD : public TForm {
public:
  explicit THARD(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("THARD"); }

  // The creation handler (OnCreate): makes SysFormats, makes the program's short date format the one the
  // date fields show, and shows the selected printer.
  void FormCreate(TObject *Sender);
  // The class library's date format of the text the date fields show (the user's short date).
  static QString DateFieldFormat();

  // "SINV" := n (a new invoice's number).
  void SetInvVar(int n);
  // "CANCINV" := Text ("CANCELLED" for a cancelled invoice re-printed, else empty).
  void SetCancVar(const QString &Text);
  // "PREVIEWMARK" := PreviewMarkText for a preview of a new invoice, which stores nothing; empty for an
  // invoice. A preview's document is titled so too.
  void SetPreviewVar(bool Preview);
  static const QString PreviewMarkText;
  // Runs template k (1 to 4); any other number does nothing.
  void DoReport(int k);
  void DoReportLETTERHEAD(int k);
  // Loads template k from the Reports table.
  void LoadReport(int k);
  // Prepares the report and shows it in the preview; false when nothing could be prepared.
  bool DisplayReport();

  // PRINT: prepares the report again and prints every page COPIES times; the dialog stays open.
  void Button1Click(TObject *Sender);
  // Close.
  void Button3Click(TObject *Sender);
  // The printer field's button: the printer setup dialog.
  void ET1ButtonClick(TObject *Sender);
  void FormKeyPress(TObject *Sender, QChar &Key);
  // Ctrl+P prints as PRINT does.
  void FormKeyDown(TObject *Sender, WORD &Key, TShiftState Shift);
  void COPIESChange(TObject *Sender);
  void frPreview1MouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  // What the printer field shows at first for the selected printer: its name, or "(no printer)" when the
  // system has none and only the PDF printer is there. A printer chosen in the setup dialog is shown by name.
  static QString SelectedPrinterText();

  TfrPreview *frPreview1 = nullptr;
  TfrReport *frReport1 = nullptr;
  TfrShapeObject *frShapeObject1 = nullptr;
  TfrTextExport *frTextExport1 = nullptr;
  // The bar along the bottom that holds the buttons and fields.
  TPanel *Panel1 = nullptr;
  TButton *Button1 = nullptr;
  TLabel *Label1 = nullptr;
  TSpinEdit *COPIES = nullptr;
  TLabel *Label2 = nullptr;
  TEditTyped *ET1 = nullptr;
  TButton *Button3 = nullptr;
  TPrinterSetupDialog *PrinterSetupDialog1 = nullptr;
  TBFC_SysFormats *SysFormats = nullptr;

private:
  void FocusPreview();
  // The printer the user chose in the setup dialog (empty until then).
  QString chosenPrinter_;
};

extern THARD *HARD;
