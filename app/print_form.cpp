#include "app/print_form.h"
#include "app/data_module.h"
#include "app/form_behaviour.h"
#include "app/form_parts.h"
#include "controls/framework/intl_support.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/pdf_file_choice.h"
#include "platform/windowing/screen.h"
#include "report/engine.h"
#include "report/printer_wrapper.h"
#include "report/ui/preview_form.h"
#include "report/variables.h"
#include <cmath>

THARD *HARD = nullptr;

// ---- THARD ----

THARD::THARD(TComponent *AOwner) : TForm(AOwner) {
  SetUpDialog(this, QStringLiteral("HARD"), QStringLiteral("  Tallyrook Print Preview"), 792, 536);
  SetKeyPreview(true);
  OnCreate = TNotifyEvent(this, &THARD::FormCreate);
  OnKeyPress = TKeyPressEvent(this, &THARD::FormKeyPress);
  OnKeyDown = TKeyEvent(this, &THARD::FormKeyDown);

  Panel1 = NewComponent<TPanel>(this, QStringLiteral("Panel1"));
  Panel1->SetParent(this);
  Panel1->SetAlign(alBottom);
  Panel1->SetHeight(44);
  Panel1->SetCaption(QString());

  frPreview1 = NewComponent<TfrPreview>(this, QStringLiteral("frPreview1"));
  frPreview1->SetParent(this);
  frPreview1->SetAlign(alClient);
  frPreview1->SetScrollBars(ssBoth);
  frPreview1->OnMouseDown = TMouseEvent(this, &THARD::frPreview1MouseDown);
  frPreview1->Window()->PBox->OnMouseDown = TMouseEvent(this, &THARD::frPreview1MouseDown);

  frReport1 = NewComponent<TfrReport>(this, QStringLiteral("frReport1"));
  frReport1->SetPreview(frPreview1);
  frReport1->InitialZoom = pzDefault;
  frReport1->ModalPreview = false;
  frReport1->ModifyPrepared = false;
  frReport1->PreviewButtons = TfrPreviewButtons{pbZoom, pbPrint, pbExit};
  frReport1->Title = QStringLiteral("Tallyrook Document");

  frShapeObject1 = NewComponent<TfrShapeObject>(this, QStringLiteral("frShapeObject1"));
  frTextExport1 = NewComponent<TfrTextExport>(this, QStringLiteral("frTextExport1"));

  Button1 = NewButton<TButton>(this, Panel1, QStringLiteral("Button1"), QStringLiteral("PRINT"),
                               Bounds(12, 9, 90, 27), TNotifyEvent(this, &THARD::Button1Click));

  Label1 = NewLabel(this, Panel1, QStringLiteral("Label1"), QStringLiteral("COPIES"), 122, 15);
  COPIES = NewControl<TSpinEdit>(this, Panel1, QStringLiteral("COPIES"), Bounds(172, 10, 52, 24));
  COPIES->SetMinValue(1);
  COPIES->SetMaxValue(5);
  COPIES->SetValue(2);
  // Changed by its arrows only.
  COPIES->SetEditorEnabled(false);
  COPIES->OnChange = TNotifyEvent(this, &THARD::COPIESChange);
  Label1->SetFocusControl(COPIES);

  Label2 = NewLabel(this, Panel1, QStringLiteral("Label2"), QStringLiteral("PRINTER"), 248, 15);
  ET1 = NewControl<TEditTyped>(this, Panel1, QStringLiteral("ET1"), Bounds(308, 11, 330, 21));
  ET1->SetReadOnly(true);
  ET1->SetButtonStyle(TSMButtonStyle::bsEllipsis);
  ET1->SetButtonWidth(21);
  ET1->SetButtonHint(QStringLiteral("Choose the printer"));
  ET1->OnButtonClick = TNotifyEvent(this, &THARD::ET1ButtonClick);
  Label2->SetFocusControl(ET1);

  Button3 = NewButton<TButton>(this, Panel1, QStringLiteral("Button3"), QStringLiteral("Close"),
                               Bounds(690, 9, 90, 27), TNotifyEvent(this, &THARD::Button3Click));
  Button3->SetCancel(true);

  PrinterSetupDialog1 = NewComponent<TPrinterSetupDialog>(this, QStringLiteral("PrinterSetupDialog1"));
}

void THARD::FormCreate(TObject *) {
  SysFormats = NewComponent<TBFC_SysFormats>(this, QStringLiteral("SysFormats"));
  // One date format everywhere: the invoices and the lists show a date as the date fields do.
  SysFormats->SetShortDateFormat(DateFieldFormat());
  ET1->SetText(SelectedPrinterText());
  SetPreviewVar(false);
}

QString THARD::DateFieldFormat() {
  const TOvcIntlSup &intl = OvcIntlSup();
  const QString mask = intl.InternationalDate(false);
  QString format, literal;
  // A field of the format, after the literal text before it (quoted).
  const auto field = [&](const char *shorter, const char *longer, bool isLonger) {
    const QChar quote = literal.contains(QLatin1Char('"')) ? QLatin1Char('\'') : QLatin1Char('"');
    if (!literal.isEmpty()) format += quote + literal + quote;
    literal.clear();
    format += QLatin1String(isLonger ? longer : shorter);
  };
  for (qsizetype i = 0; i < mask.size();) {
    const QChar letter = mask[i];
    qsizetype run = 1;
    while (i + run < mask.size() && mask[i + run] == letter) ++run;
    i += run;
    // Lower-case day and month runs pad with zeros; upper-case ones with blanks, which read as no padding.
    switch (letter.unicode()) {
    case u'd': field("d", "dd", run >= 2); break;
    case u'D': field("d", "d", false); break;
    case u'm': field("m", "mm", run >= 2); break;
    case u'M': field("m", "m", false); break;
    case u'y':
    case u'Y': field("yy", "yyyy", run >= 3); break;
    case u'n':
    case u'N': field("mmm", "mmmm", run > 3); break;
    case u'w':
    case u'W': field("ddd", "dddd", run > 3); break;
    case u'/': literal += QString(run, intl.SlashChar()); break;
    default: literal += QString(run, letter); break;
    }
  }
  field("", "", false);
  return format;
}

QString THARD::SelectedPrinterText() {
  TPrinter *printer = Printer();
  // The PDF printer is always in the list; alone, it means the system has no printer.
  if (printer->IsPdfPrinter() && printer->Printers().size() == 1) return QStringLiteral("(no printer)");
  return printer->PrinterName();
}

void THARD::SetInvVar(int n) { ReportVariables()->SetVariable(QStringLiteral("SINV"), Variant(n)); }

void THARD::SetCancVar(const QString &Text) {
  ReportVariables()->SetVariable(QStringLiteral("CANCINV"), Variant(Text));
}

const QString THARD::PreviewMarkText = QStringLiteral("PREVIEW \u2014 not an invoice");

void THARD::SetPreviewVar(bool Preview) {
  ReportVariables()->SetVariable(QStringLiteral("PREVIEWMARK"),
                                 Variant(Preview ? PreviewMarkText : QString()));
}

void THARD::DoReport(int k) {
  if (k >= 1 && k <= 4) DoReportLETTERHEAD(k);
}

void THARD::DoReportLETTERHEAD(int k) {
  ReportVariables()->SetVariable(QStringLiteral("CURRSYM"), Variant(SysFormats->CurrencyString()));
  FocusPreview();
  LoadReport(k);
  COPIES->SetValue(2);
  // A report that could not be prepared (cancelled, or an error already reported) has nothing to show.
  if (!DisplayReport()) return;
  frPreview1->ZoomToPageWidth();
  const int screenWidth = Screen()->Width();
  if (screenWidth <= 800)
    SetBounds(0, 0, Width(), Height());
  else
    SetBounds(int(std::nearbyint((screenWidth - Width()) / 2.0)),
              int(std::nearbyint((Screen()->Height() - Height()) / 2.0)), Width(), Height());
  ShowModal();
}

void THARD::LoadReport(int k) {
  // The invoice names its printed document (the PDF's title and file name).
  QString number;
  if (k <= 2) {
    const Variant sinv = ReportVariables()->GetVariable(QStringLiteral("SINV"));
    if (!sinv.IsNull() && !sinv.IsEmpty()) number = sinv.ToString();
  } else if (DD->MINV1->Active() && !DD->MINV1InvNUM->IsNull()) {
    number = QString::number(DD->MINV1InvNUM->AsFloat(), 'f', 0);
  }
  frReport1->Title = number.isEmpty() ? QStringLiteral("Invoice") : QStringLiteral("Invoice ") + number;
  if (k <= 2 && !ReportVariables()->GetVariable(QStringLiteral("PREVIEWMARK")).ToString().isEmpty())
    frReport1->Title = QStringLiteral("Preview of ") + frReport1->Title.toLower();
  TffTable *reports = DD->REPORTS;
  reports->Open();
  try {
    frReport1->LoadTemplateFromDataset(reports, k);
  } catch (...) {
    reports->Close();
    throw;
  }
  reports->Close();
}

bool THARD::DisplayReport() { return frReport1->ShowReport(); }

void THARD::FocusPreview() { FocusWhenShown(this, frPreview1->Window()->PBox); }

void THARD::Button1Click(TObject *) {
  // The printer chosen in the setup dialog, whatever a template selected since.
  if (!chosenPrinter_.isEmpty() && Printer()->PrinterName() != chosenPrinter_)
    ReportPrinter()->SelectPrinterByName(chosenPrinter_);
  // Each job on the PDF printer asks where it goes.
  if (!ChoosePdfFileForNextJob(Printer(), QStringLiteral("Save the invoice as PDF"), frReport1->Title))
    return;
  const bool prepared = frReport1->PrepareReport();
  frPreview1->Window()->Relayout();
  frPreview1->Invalidate();
  if (!prepared) {
    if (frReport1->ErrorOccurred())
      ::MessageBox(Handle(), frReport1->ErrorText(), QStringLiteral("Error"), MB_OK | MB_ICONERROR);
    return;
  }
  frReport1->PrintPreparedReport(QString(), COPIES->Value());
}

void THARD::Button3Click(TObject *) {
  FocusPreview();
  Close();
}

void THARD::ET1ButtonClick(TObject *) {
  FocusPreview();
  if (!PrinterSetupDialog1->Execute()) return;
  // The choice changes where the run prints, never what it prints: a preview stays marked as one.
  chosenPrinter_ = Printer()->PrinterName();
  ET1->SetText(chosenPrinter_);
}

void THARD::FormKeyDown(TObject *, WORD &Key, TShiftState Shift) {
  // Ctrl+P anywhere in the dialog, the preview included, prints as PRINT does.
  if (Key == 'P' && Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
    Key = 0;
    Button1Click(this);
  }
}

void THARD::FormKeyPress(TObject *, QChar &Key) {
  if (Key == QChar(0x0D)) {
    Key = QChar();
    Button1Click(this);
  } else if (Key == QChar(0x1B)) {
    Key = QChar();
    Close();
  }
}

void THARD::COPIESChange(TObject *) { FocusPreview(); }

void THARD::frPreview1MouseDown(TObject *, TMouseButton, TShiftState, int, int) { FocusPreview(); }
