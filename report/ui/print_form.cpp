#include "report/ui/print_form.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_combo_box.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/system_services.h"
#include "report/printer_wrapper.h"
#include "report/ui/dialog_parts.h"
#include "report/ui/toolbar_glyphs.h"
#include "report/ui/ui_texts.h"

std::optional<int> frParseCopies(const QString &Text) {
  const QString text = Text.trimmed();
  if (text.isEmpty() || text.size() > 4) return std::nullopt;
  for (QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
  const int copies = text.toInt();
  if (copies < 1 || copies > frMaxCopies) return std::nullopt;
  return copies;
}

TfrPrintForm::TfrPrintForm(TComponent *AOwner) : TForm(AOwner), printerPicture_(std::make_unique<TBitmap>()) {
  SetCaption(frtext::Print);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(360, 262);
  Font()->SetName(QStringLiteral("Arial"));
  Font()->SetSize(8);
  frLoadReportGlyph(printerPicture_.get(), frGlyphPrinter);
  printerPicture_->SetTransparent(true);

  GroupBox1 = new TfrGroupFrame(this);
  GroupBox1->SetBounds(8, 4, 344, 56);
  GroupBox1->SetParent(this);
  GroupBox1->SetCaption(frtext::Printer);
  CB1 = new TComboBox(this);
  CB1->SetStyle(csOwnerDrawFixed);
  CB1->SetItemHeight(18);
  CB1->SetBounds(16, 24, 240, 24);
  CB1->SetParent(this);
  CB1->OnDrawItem = TDrawItemEvent(this, &TfrPrintForm::DrawPrinter);
  CB1->OnChange = TNotifyEvent(this, &TfrPrintForm::PrinterChosen);
  PropButton = new TButton(this);
  PropButton->SetBounds(264, 23, 80, 25);
  PropButton->SetParent(this);
  PropButton->SetCaption(frtext::Properties);
  PropButton->OnClick = TNotifyEvent(this, &TfrPrintForm::PropertiesClick);

  Label1 = new TLabel(this);
  Label1->SetBounds(16, 74, 60, 14);
  Label1->SetParent(this);
  Label1->SetCaption(frtext::Copies);
  E1 = new TEdit(this);
  E1->SetBounds(80, 70, 44, 21);
  E1->SetParent(this);
  E1->SetText(QStringLiteral("1"));
  Label1->SetFocusControl(E1);
  PlusBtn = new TfrSpeedButton(this);
  PlusBtn->SetBounds(126, 70, 16, 10);
  PlusBtn->SetParent(this);
  frLoadReportGlyph(PlusBtn->Glyph(), frGlyphPageUp);
  PlusBtn->OnClick = TNotifyEvent(this, &TfrPrintForm::PlusClick);
  MinusBtn = new TfrSpeedButton(this);
  MinusBtn->SetBounds(126, 81, 16, 10);
  MinusBtn->SetParent(this);
  frLoadReportGlyph(MinusBtn->Glyph(), frGlyphPageDown);
  MinusBtn->OnClick = TNotifyEvent(this, &TfrPrintForm::MinusClick);

  GroupBox2 = new TfrGroupFrame(this);
  GroupBox2->SetBounds(8, 102, 344, 120);
  GroupBox2->SetParent(this);
  GroupBox2->SetCaption(frtext::PageRange);
  RB1 = new TRadioButton(this);
  RB1->SetBounds(16, 120, 120, 17);
  RB1->SetParent(this);
  RB1->SetCaption(frtext::All);
  RB1->SetChecked(true);
  RB2 = new TRadioButton(this);
  RB2->SetBounds(16, 140, 120, 17);
  RB2->SetParent(this);
  RB2->SetCaption(frtext::CurrentPage);
  RB3 = new TRadioButton(this);
  RB3->SetBounds(16, 160, 80, 17);
  RB3->SetParent(this);
  RB3->SetCaption(frtext::Numbers);
  RB3->OnClick = TNotifyEvent::From([this](TObject *) {
    if (RB3->Checked() && E2->CanFocus()) E2->SetFocus();
  });
  E2 = new TEdit(this);
  E2->SetBounds(100, 158, 244, 21);
  E2->SetParent(this);
  E2->OnClick = TNotifyEvent::From([this](TObject *) { RB3->SetChecked(true); });
  E2->OnChange = TNotifyEvent::From([this](TObject *) {
    if (!E2->Text().isEmpty()) RB3->SetChecked(true);
  });
  Label2 = new TLabel(this);
  Label2->SetAutoSize(false);
  Label2->SetWordWrap(true);
  Label2->SetShowAccelChar(false);
  Label2->SetBounds(16, 184, 328, 30);
  Label2->SetParent(this);
  Label2->SetCaption(frtext::PageRangeHint);

  OkButton = new TButton(this);
  OkButton->SetBounds(196, 230, 75, 25);
  OkButton->SetParent(this);
  OkButton->SetCaption(frtext::OK);
  OkButton->SetDefault(true);
  OkButton->SetModalResult(mrOk);
  OkButton->OnClick = TNotifyEvent(this, &TfrPrintForm::OkClick);
  CancelButton = new TButton(this);
  CancelButton->SetBounds(277, 230, 75, 25);
  CancelButton->SetParent(this);
  CancelButton->SetCaption(frtext::Cancel);
  CancelButton->SetCancel(true);
  CancelButton->SetModalResult(mrCancel);

  FillPrinters();
  oldIndex_ = ReportPrinter()->PrinterIndex();
}

TfrPrintForm::~TfrPrintForm() = default;

void TfrPrintForm::FillPrinters() {
  TfrPrinter *printer = ReportPrinter();
  CB1->Items()->Clear();
  // The system's printers, without the report engine's virtual printer.
  const QStringList names = printer->Printers();
  for (int i = 0; i < names.size(); ++i)
    if (i != printer->VirtualIndex()) CB1->Items()->Add(names[i]);
  const int index = printer->PrinterIndex();
  CB1->SetItemIndex(index < CB1->Items()->Count() ? index : -1);
}

void TfrPrintForm::PrinterChosen(TObject *) {
  const int index = CB1->ItemIndex();
  if (index >= 0 && index != ReportPrinter()->PrinterIndex()) ReportPrinter()->SelectPrinter(index);
}

void TfrPrintForm::PropertiesClick(TObject *) {
  TPrinterSetupDialog dialog(nullptr);
  dialog.Execute();
  // The setup dialog may have chosen another printer.
  FillPrinters();
}

void TfrPrintForm::DrawPrinter(TWinControl *, int Index, TRect Rect, TOwnerDrawState) {
  TCanvas *canvas = CB1->Canvas();
  canvas->FillRect(Rect);
  const int top = Rect.Top + (Rect.Height() - printerPicture_->Height()) / 2;
  canvas->Draw(Rect.Left + 2, top, printerPicture_.get());
  if (Index < 0 || Index >= CB1->Items()->Count()) return;
  canvas->Brush()->SetStyle(bsClear);
  TRect text = Rect;
  text.Left += 24;
  canvas->DrawText(CB1->Items()->Strings(Index), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TfrPrintForm::SetCopies(int Copies) { E1->SetText(QString::number(std::clamp(Copies, 1, frMaxCopies))); }

// A text that is no number of copies starts again from one.
void TfrPrintForm::PlusClick(TObject *) {
  const std::optional<int> copies = frParseCopies(E1->Text());
  SetCopies(copies ? *copies + 1 : 1);
}

void TfrPrintForm::MinusClick(TObject *) {
  const std::optional<int> copies = frParseCopies(E1->Text());
  SetCopies(copies ? *copies - 1 : 1);
}

void TfrPrintForm::OkClick(TObject *) {
  auto refuse = [this](const QString &message, TEdit *field) {
    SetModalResult(mrNone);
    MessageBox(Handle(), message, frtext::Print, MB_OK | MB_ICONWARNING);
    if (field->CanFocus()) {
      field->SetFocus();
      field->SelectAll();
    }
  };
  if (!frParseCopies(E1->Text())) {
    refuse(frtext::BadCopies.arg(frMaxCopies), E1);
    return;
  }
  if (RB3->Checked() && PageListError) {
    const QString error = PageListError(E2->Text());
    if (!error.isEmpty()) refuse(error, E2);
  }
}

TfrPrintRequest TfrPrintForm::Request(int CurrentPage) const {
  TfrPrintRequest request;
  if (RB2->Checked())
    request.PageNumbers = QString::number(CurrentPage);
  else if (RB3->Checked())
    request.PageNumbers = E2->Text();
  request.Copies = frParseCopies(E1->Text()).value_or(1);
  return request;
}

void TfrPrintForm::DoClose(TCloseAction &Action) {
  TForm::DoClose(Action);
  // Not confirmed: the printer chosen meanwhile is given up.
  if (ModalResult() != mrOk && ReportPrinter()->PrinterIndex() != oldIndex_) {
    try {
      ReportPrinter()->SelectPrinter(oldIndex_);
    } catch (const Exception &) {
    }
  }
}

bool frRunPrintDialog(int CurrentPage, const std::function<QString(const QString &)> &PageListError,
                      TfrPrintRequest &Request, int &OldPrinter, int &NewPrinter) {
  auto *form = TCustomForm::Create<TfrPrintForm>(nullptr);
  form->PageListError = PageListError;
  OldPrinter = form->OldPrinterIndex();
  const bool ok = form->ShowModal() == mrOk;
  if (ok) Request = form->Request(CurrentPage);
  NewPrinter = ReportPrinter()->PrinterIndex();
  form->Free();
  return ok;
}
