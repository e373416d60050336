#include "app/main_form.h"
#include "app/about_box.h"
#include "app/create_invoice.h"
#include "app/customer_list.h"
#include "app/data_module.h"
#include "app/dialog_placement.h"
#include "app/focus_keeping_button.h"
#include "app/form_behaviour.h"
#include "app/form_parts.h"
#include "app/invoice_lines.h"
#include "app/past_invoices.h"
#include "app/pictures.h"
#include "app/print_form.h"
#include "app/product_list.h"
#include "app/settings_form.h"
#include "app/what_next_form.h"
#include "controls/framework/library_exceptions.h"
#include "platform/core/date_time.h"
#include "platform/core/number_format.h"
#include "platform/windowing/application.h"
#include "platform/windowing/system_services.h"

TF1 *F1 = nullptr;

namespace {
constexpr TColor kFormColor = 16245981;  // F7E4DD
constexpr TColor kTitleColor = 15581617; // EDC1B1
constexpr int kCustomerRows = 6;
constexpr int kCustomerFieldSize = 50; // INV1's and MINV1's CUSTOMER and ADDR1..ADDR5
constexpr int kDescriptionSize = 1000; // INV2.DESCRIPTION
// The line table's columns, by field.
constexpr int kQuantityColumn = 0;
constexpr int kDescriptionColumn = 1;
constexpr int kDescriptionWidthItems = 497;
constexpr int kDescriptionWidthServices = 561;
// A quantity may be a part of a unit: 0.5 hours, 0.125 kg.
constexpr int kQuantityDigits = 3;
constexpr double kMaxFieldValue = 99999999.9;

const QString kWipeAllText = QStringLiteral(
    "This will delete all invoices, products and customers.  Are you sure you want to do this?");
} // namespace

TF1::TF1(TComponent *AOwner) : TForm(AOwner) {
  // EXIT closes the window: it has no close box.
  SetUpDialog(this, QStringLiteral("F1"), QStringLiteral("  TALLYROOK Billsprints V1.1"), 696, 466);
  SetPosition(poScreenCenter);
  SetColor(kFormColor);
  OnShow = TNotifyEvent(this, &TF1::FormShow);
  OnClose = TCloseEvent(this, &TF1::FormClose);

  CreateCustomerControls();
  CreateGlobalControls();
  CreateAddControls();
  CreateDetailControls();
  CreateMenus();
}

TF1::~TF1() {
  if (F1 == this) F1 = nullptr;
}

// ---- the controls ----

void TF1::CreateCustomerControls() {
  PanelCUSTOMER = NewTitle(this, QStringLiteral("PanelCUSTOMER"), QStringLiteral("CUSTOMER DETAILS"),
                           Rect(6, 6, 346, 28), kTitleColor);
  ButtonLIST = NewButton<TVrHyperButton>(this, QStringLiteral("ButtonLIST"), QStringLiteral("LIST"),
                                         Rect(352, 6, 404, 28), TNotifyEvent(this, &TF1::ButtonLISTClick));
  ButtonMANUAL =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonMANUAL"), QStringLiteral("MANUAL"),
                                Rect(408, 6, 466, 28), TNotifyEvent(this, &TF1::ButtonMANUALClick));

  EGrid1 = NewControl<TO32InspectorGrid>(this, QStringLiteral("EGrid1"), Bounds(6, 32, 460, 124));
  EGrid1->SetDefaultRowHeight(19);
  EGrid1->SetItemTextColor(clNavy);
  const QString captions[kCustomerRows] = {QStringLiteral("Customer"), QStringLiteral("Address")};
  for (const QString &caption : captions) {
    TO32InspectorItem *row = EGrid1->AddItem(itString);
    row->SetCaption(caption);
    row->SetMaxLength(kCustomerFieldSize);
  }
}

void TF1::CreateGlobalControls() {
  Image1 = NewControl<TImage>(this, QStringLiteral("Image1"), Bounds(474, 4, 48, 48));
  Image1->SetTransparent(true);
  Image1->Picture()->Bitmap()->SetImage(ProgramIconImage());
  Image2 = NewControl<TImage>(this, QStringLiteral("Image2"), Bounds(526, 8, 150, 40));
  Image2->SetTransparent(true);
  Image2->Picture()->Bitmap()->SetImage(ProgramNameImage());

  PanelGLOBAL = NewTitle(this, QStringLiteral("PanelGLOBAL"), QStringLiteral("GLOBAL DETAILS"),
                         Rect(474, 56, 690, 78), kTitleColor);

  LabelDATE = NewLabel(this, QStringLiteral("LabelDATE"), QStringLiteral("Invoice Date"), 474, 87);
  OvcDateEdit1 = NewControl<TInvoiceDateEdit>(this, QStringLiteral("OvcDateEdit1"), Bounds(562, 84, 128, 23));
  OvcDateEdit1->SetEpoch(0);
  OvcDateEdit1->SetRequiredFields(TOvcRequiredDateFields{rfMonth, rfDay});
  LabelDATE->SetFocusControl(OvcDateEdit1);

  LabelTYPE = NewLabel(this, QStringLiteral("LabelTYPE"), QStringLiteral("Invoice Type"), 474, 114);
  Combo1 = NewControl<TComboBox>(this, QStringLiteral("Combo1"), Bounds(562, 111, 86, 23));
  Combo1->SetStyle(csDropDownList);
  Combo1->Items()->Add(QStringLiteral("ITEMS"));
  Combo1->Items()->Add(QStringLiteral("SERVICES"));
  Combo1->OnChange = TNotifyEvent(this, &TF1::Combo1Change);
  LabelTYPE->SetFocusControl(Combo1);

  LabelTAXPCT = NewLabel(this, QStringLiteral("LabelTAXPCT"), QStringLiteral("Tax Percent"), 474, 141);
  FEtax = NewFloatEdit(this, QStringLiteral("FEtax"), QStringLiteral("Tax Percent"), TaxPercentDigits, 0,
                       MaxTaxPercent, Rect(562, 138, 640, 161));
  FEtax->SetAlignment(taRightJustify);
  FEtax->OnEnterPress = TKeyPressEvent(this, &TF1::FEtaxEnterPress);
  FEtax->OnExit = TNotifyEvent(this, &TF1::FEtaxExit);
  LabelTAXPCT->SetFocusControl(FEtax);

  ButtonMENU = NewButton<TVrHyperButton>(this, QStringLiteral("ButtonMENU"), QStringLiteral("MENU"),
                                         Rect(652, 111, 690, 134), TNotifyEvent(this, &TF1::ButtonMENUClick));
  ButtonEXIT = NewButton<TVrHyperButton>(this, QStringLiteral("ButtonEXIT"), QStringLiteral("EXIT"),
                                         Rect(652, 138, 690, 161), TNotifyEvent(this, &TF1::ButtonEXITClick));
}

void TF1::CreateAddControls() {
  PanelADD = NewTitle(this, QStringLiteral("PanelADD"), QStringLiteral("ADD ITEMS"), Rect(6, 166, 690, 188),
                      kTitleColor);

  LabelDESCRIPTION =
      NewLabel(this, QStringLiteral("LabelDESCRIPTION"), QStringLiteral("DESCRIPTION"), 6, 192);
  Memo1 = NewControl<TMemo>(this, QStringLiteral("Memo1"), Bounds(6, 208, 420, 52));
  Memo1->SetMaxLength(kDescriptionSize);
  Memo1->SetWantReturns(false);
  Memo1->SetScrollBars(ssVertical);
  LabelDESCRIPTION->SetFocusControl(Memo1);

  LabelQUANTITY = NewLabel(this, QStringLiteral("LabelQUANTITY"), QStringLiteral("QUANTITY"), 434, 192);
  FEquantity = NewFloatEdit(this, QStringLiteral("FEquantity"), QStringLiteral("QUANTITY"), kQuantityDigits,
                            -kMaxFieldValue, kMaxFieldValue, Rect(434, 208, 506, 231));
  LabelQUANTITY->SetFocusControl(FEquantity);

  LabelPRICE = NewLabel(this, QStringLiteral("LabelPRICE"), QStringLiteral("ITEM PRICE"), 512, 192);
  FEnet = NewFloatEdit(this, QStringLiteral("FEnet"), QStringLiteral("ITEM PRICE"), 2, 0, kMaxFieldValue,
                       Rect(512, 208, 600, 231));
  LabelPRICE->SetFocusControl(FEnet);

  ButtonPRODUCTS =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonPRODUCTS"), QStringLiteral("LIST"),
                                Rect(606, 208, 690, 231), TNotifyEvent(this, &TF1::ButtonPRODUCTSClick));

  // A click leaves the focus where it is, as SAVE in the settings does: a number being typed is checked once,
  // by the line's own refusal.
  Button1 = NewButton<TFocusKeepingButton>(this, QStringLiteral("Button1"), QStringLiteral("Add to Invoice"),
                                           Bounds(512, 236, 178, 25),
                                           TNotifyEvent(this, &TF1::OvcButtonHeader3Click));
}

void TF1::CreateDetailControls() {
  PanelDETAIL = NewTitle(this, QStringLiteral("PanelDETAIL"), QStringLiteral("INVOICE DETAIL"),
                         Rect(6, 268, 690, 290), kTitleColor);

  OvcDbTable1 = NewControl<TOvcDbTable>(this, QStringLiteral("OvcDbTable1"), Bounds(2, 294, 692, 2 + 17 * 8));
  OvcDbTable1->SetAccess(otxReadOnly);
  OvcDbTable1->SetHeaderOptions(TOvcHeaderOptions{hoShowHeader});
  OvcDbTable1->SetHeaderHeight(17);
  OvcDbTable1->SetRowHeight(17);
  OvcDbTable1->SetOptions(TOvcDbTableOptionSet{dtoHighlightActiveRow});
  OvcDbTable1->SetScrollBars(ssNone);
  OvcDbTable1->SetColor(clWindow);
  OvcDbTable1->SetColorUnused(clWindow);
  OvcDbTable1->SetDataSource(DD->dsINV2);
  const int widths[] = {64, kDescriptionWidthItems, 64, 64};
  for (int c = 0; c < OvcDbTable1->ColumnCount() && c < 4; ++c) OvcDbTable1->Column(c)->SetWidth(widths[c]);

  LabelNETCaption = NewLabel(this, QStringLiteral("LabelNETCaption"), QStringLiteral("NET"), 8, 440);
  LabelTAXCaption = NewLabel(this, QStringLiteral("LabelTAXCaption"), QStringLiteral("Tax"), 164, 440);
  LabelGROSSCaption = NewLabel(this, QStringLiteral("LabelGROSSCaption"), QStringLiteral("GROSS"), 306, 440);
  const auto NewTotal = [this](const QString &Name, int Left, int Width) {
    TLabel *label = NewLabel(this, Name, AmountText(0), Left, 440);
    label->SetAutoSize(false);
    label->SetWidth(Width);
    label->SetAlignment(taRightJustify);
    label->Font()->SetStyle(fsBold);
    return label;
  };
  LabelNET = NewTotal(QStringLiteral("LabelNET"), 36, 120);
  LabelTAX = NewTotal(QStringLiteral("LabelTAX"), 188, 110);
  LabelGROSS = NewTotal(QStringLiteral("LabelGROSS"), 350, 130);

  ButtonCREATE =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonCREATE"), QStringLiteral("Create Invoice"),
                                Rect(540, 434, 690, 460), TNotifyEvent(this, &TF1::ButtonCREATEClick));
}

void TF1::CreateMenus() {
  PopSETTINGS = NewComponent<TPopupMenu>(this, QStringLiteral("PopSETTINGS"));
  EditSettings1 = NewMenuItem(PopSETTINGS, QStringLiteral("EditSettings1"), QStringLiteral("Edit Settings"),
                              TNotifyEvent(this, &TF1::EditSettings1Click));
  ViewPastInvoices1 =
      NewMenuItem(PopSETTINGS, QStringLiteral("ViewPastInvoices1"), QStringLiteral("View Past Invoices"),
                  TNotifyEvent(this, &TF1::ViewPastInvoices1Click));
  NewMenuItem(PopSETTINGS, QStringLiteral("N1"), QStringLiteral("-"));
  WipeAll1 = NewMenuItem(PopSETTINGS, QStringLiteral("WipeAll1"), QStringLiteral("Wipe All and Re-Start"),
                         TNotifyEvent(this, &TF1::WipeAll1Click));
  NewMenuItem(PopSETTINGS, QStringLiteral("N2"), QStringLiteral("-"));
  About1 = NewMenuItem(PopSETTINGS, QStringLiteral("About1"), QStringLiteral("About Tallyrook - and Help"),
                       TNotifyEvent(this, &TF1::About1Click));

  PopupMenu1 = NewComponent<TPopupMenu>(this, QStringLiteral("PopupMenu1"));
  DeleteItem1 = NewMenuItem(PopupMenu1, QStringLiteral("DeleteItem1"), QStringLiteral("Delete Item"),
                            TNotifyEvent(this, &TF1::DeleteItem1Click));
  OvcDbTable1->SetPopupMenu(PopupMenu1);

  // Made last: it paints the menus the form holds when it becomes active.
  XPMenu1 = NewComponent<TXPMenu>(this, QStringLiteral("XPMenu1"));
  XPMenu1->ApplyMainFormSettings();
}

// ---- reset routines ----

void TF1::ResetGlobals() {
  Combo1->SetItemIndex(DD->DefaultINVTYPE);
  ShowDefaultTax();
  OvcDateEdit1->SetDate(Date());
}

void TF1::ResetDetails() {
  const bool items = ItemsChosen();
  OvcDbTable1->Column(kQuantityColumn)->SetHidden(!items);
  OvcDbTable1->Column(kDescriptionColumn)
      ->SetWidth(items ? kDescriptionWidthItems : kDescriptionWidthServices);
  OvcDbTable1->MoveToColumn(items ? kQuantityColumn : kDescriptionColumn);
}

void TF1::ResetAdd() {
  Memo1->Clear();
  FEquantity->SetValue(1);
  FEnet->SetValue(0);
  const bool items = ItemsChosen();
  FEquantity->SetVisible(items);
  LabelQUANTITY->SetVisible(items);
}

void TF1::EmptyCustomerRows() {
  for (int row = 0; row < kCustomerRows; ++row) CustomerRow(row)->SetDisplayText(QString());
}

void TF1::ResetCustomer() {
  DD->InvCUSTNO = 0;
  EGrid1->SetReadOnly(false);
  EmptyCustomerRows();
  EGrid1->SetColumnWidth(0, 108);
  EGrid1->SetColumnWidth(1, 348);
  EGrid1->SelectRow(1);
  EGrid1->SelectRow(0);
  FocusWhenShown(this, EGrid1);
}

void TF1::ResetINV2() { DD->NewINV2andOpen(); }

void TF1::ShowDefaultTax() {
  const double percent = DD->DefaultTaxPCT;
  if (FEtax->CanHold(percent)) return FEtax->SetValue(percent);
  // Another program wrote it: shown as it is, and no invoice is made with it until it is mended.
  FEtax->SetText(FloatToStr(percent));
  ShowRefusal(QStringLiteral("The default tax percent in the settings, %1, cannot be used: the Tax Percent "
                             "must be %2.\n\nType the tax percent of this invoice, and correct the default "
                             "in Edit Settings.")
                  .arg(FloatToStr(percent), FEtax->NumberRule()));
}

void TF1::RecalcTotals() {
  // A tax percent the field cannot hold counts for nothing until it is mended: the totals keep theirs.
  const double percent = FEtax->TypedValue().value_or(totalsTaxPercent_);
  TInvoiceTotals totals;
  try {
    totals = RecalcInvoiceTotals(*DD, percent);
    totalsTaxPercent_ = percent;
  } catch (const EAmountError &e) {
    // The lines were storable with the percent the totals last had; the new percent is refused.
    FEtax->SetValue(totalsTaxPercent_);
    totals = RecalcInvoiceTotals(*DD, totalsTaxPercent_);
    ShowRefusal(e.Message());
  }
  ShowTotals(totals);
}

void TF1::ShowTotals(const TInvoiceTotals &Totals) {
  LabelNET->SetCaption(AmountText(Totals.Net));
  LabelTAX->SetCaption(AmountText(Totals.Tax));
  LabelGROSS->SetCaption(AmountText(Totals.Gross));
}

// ---- handlers ----

void TF1::FormShow(TObject *) {
  ResetGlobals();
  ResetDetails();
  ResetAdd();
  ResetCustomer();
  if (const QString warning = SETTINGS ? SETTINGS->OverlongTextsWarning() : QString(); !warning.isEmpty())
    ShowRefusal(warning);
}

void TF1::FormClose(TObject *, TCloseAction &) {
  for (TffTable *table :
       {DD->CONTROL, DD->INV1, DD->INV2, DD->MINV2, DD->MINV1, DD->REPORTS, DD->CUST, DD->PRODUCTS})
    if (table->Active()) table->Close();
  DD->ffClient1->Close();
}

void TF1::Combo1Change(TObject *) {
  // The lines of the other type go without a question: the help text says so.
  ResetAdd();
  ResetINV2();
  ResetDetails();
  RecalcTotals();
}

void TF1::FEtaxEnterPress(TObject *, QChar &) {
  if (!FEtax->TypedValue()) return RefuseField(FEtax);
  RecalcTotals();
}

void TF1::FEtaxExit(TObject *) { RecalcTotals(); }

void TF1::FocusDescription() { FocusWhenShown(this, Memo1); }

void TF1::ShowRefusal(const QString &Message) {
  ::MessageBox(Handle(), Message, Application()->Title(), MB_OK | MB_ICONEXCLAMATION);
}

void TF1::RefuseField(TFloatEdit *Field) {
  ShowRefusal(Field->ErrorMessage());
  FocusWhenShown(this, Field);
  Field->SelectAll();
}

void TF1::OvcButtonHeader3Click(TObject *) {
  // The line gets what the fields show, or nothing.
  const bool items = FEquantity->Visible();
  const std::optional<double> quantity = items ? FEquantity->TypedValue() : 0.0;
  if (!quantity) return RefuseField(FEquantity);
  const std::optional<double> price = FEnet->TypedValue();
  if (!price) return RefuseField(FEnet);
  FocusDescription();
  if (Memo1->Text().trimmed().isEmpty())
    return ShowRefusal(QStringLiteral("Error:  Type the DESCRIPTION of the line."));
  if (items && *quantity == 0) {
    ShowRefusal(QStringLiteral("Error:  The QUANTITY of a line cannot be 0."));
    FocusWhenShown(this, FEquantity);
    return FEquantity->SelectAll();
  }
  const double taxPercent = FEtax->TypedValue().value_or(totalsTaxPercent_);
  TInvoiceTotals totals;
  try {
    if (!AddInvoiceLine(*DD, items, *quantity, Memo1->Text(), *price)) return;
    try {
      totals = RecalcInvoiceTotals(*DD, taxPercent);
    } catch (const EAmountError &) {
      // Storable alone, the line makes the totals too large with the tax: it goes again.
      DD->INV2->Last();
      DD->INV2->Delete();
      RecalcTotals();
      throw;
    }
  } catch (const EAmountError &e) {
    // What was typed stays, to be mended.
    ShowRefusal(e.Message());
    return;
  }
  totalsTaxPercent_ = taxPercent;
  ShowTotals(totals);
  ResetAdd();
}

void TF1::DeleteItem1Click(TObject *) {
  TffTable *lines = DD->INV2;
  if (lines->IsEmpty()) return;
  lines->Delete();
  lines->Last();
  RecalcTotals();
  FocusDescription();
}

void TF1::ButtonLISTClick(TObject *) {
  if (!CUSTLIST->PickCustomer()) return;
  // The customer as stored; the rows are not to be changed by hand while they show it.
  EGrid1->HideEditor();
  const QStringList fields = {QStringLiteral("CUSTOMER"), QStringLiteral("ADDR1"), QStringLiteral("ADDR2"),
                              QStringLiteral("ADDR3"),    QStringLiteral("ADDR4"), QStringLiteral("ADDR5")};
  for (int row = 0; row < kCustomerRows; ++row)
    CustomerRow(row)->SetDisplayText(DD->CUST->FieldByName(fields[row])->AsString());
  DD->InvCUSTNO = DD->CUST->FieldByName(QStringLiteral("CUSTNO"))->AsInteger();
  EGrid1->SetReadOnly(true);
}

void TF1::ButtonMANUALClick(TObject *) {
  EmptyCustomerRows();
  DD->InvCUSTNO = 0;
  EGrid1->SetReadOnly(false);
}

void TF1::ButtonPRODUCTSClick(TObject *) {
  PRODUCTS->SetUp(Combo1->ItemIndex());
  ShowOverMainWindow(PRODUCTS);
  if (PRODUCTS->Tag() != 1) return;
  // The line is filled in, not added.
  Memo1->Clear();
  Memo1->SetText(DD->PRODUCTSDESCRIPTION->AsString());
  FEquantity->SetValue(1);
  FEnet->SetValue(DD->PRODUCTSITEMPRICE->AsFloat());
}

void TF1::ButtonMENUClick(TObject *) { ShowPopSettings(); }

void TF1::ShowPopSettings() {
  const TPoint corner = ButtonMENU->ClientToScreen(TPoint{0, 0});
  PopSETTINGS->Popup(corner.X, corner.Y + 20);
}

void TF1::EditSettings1Click(TObject *) {
  SETTINGS->Setup();
  ShowOverMainWindow(SETTINGS);
  // The invoice being made keeps its type.
  ShowDefaultTax();
  RecalcTotals();
}

void TF1::ViewPastInvoices1Click(TObject *) {
  INVOICES->SetUp();
  ShowOverMainWindow(INVOICES);
}

void TF1::About1Click(TObject *) {
  AboutBox->SetActiveControl(AboutBox->OKButton);
  ShowOverMainWindow(AboutBox);
}

void TF1::WipeAll1Click(TObject *) {
  if (::MessageBox(Handle(), kWipeAllText, QStringLiteral("Wipe All"),
                   MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
    return;
  WipeAllData(*DD);
  NewInvoiceLines();
  ResetCustomer();
}

void TF1::ButtonEXITClick(TObject *) { Close(); }

// ---- Create Invoice ----

std::optional<TInvoiceDraft> TF1::Draft() {
  const std::optional<double> taxPercent = FEtax->TypedValue();
  if (!taxPercent) {
    RefuseField(FEtax);
    return std::nullopt;
  }
  TInvoiceDraft draft;
  try {
    draft.Date = OvcDateEdit1->Date();
  } catch (const EOvcException &e) {
    ShowRefusal(e.Message());
    FocusWhenShown(this, OvcDateEdit1);
    return std::nullopt;
  }
  draft.TaxPercent = *taxPercent;
  draft.Items = ItemsChosen();
  draft.CustNo = DD->InvCUSTNO;
  draft.Customer = CustomerRow(0)->DisplayText();
  for (int line = 0; line < 5; ++line) draft.Address[line] = CustomerRow(line + 1)->DisplayText();
  return draft;
}

void TF1::NewInvoiceLines() {
  ResetAdd();
  ResetINV2();
  ResetDetails();
  ShowDefaultTax();
  RecalcTotals();
}

void TF1::WhatNext() {
  WOTNEXT->RB1->SetChecked(true);
  WOTNEXT->SetActiveControl(WOTNEXT->RB1);
  ShowOverMainWindow(WOTNEXT);
  if (WOTNEXT->RB1->Checked()) {
    Close();
  } else if (WOTNEXT->RB2->Checked()) {
    NewInvoiceLines();
    ResetCustomer();
  } else if (WOTNEXT->RB3->Checked()) {
    NewInvoiceLines();
    FocusDescription();
  } else if (WOTNEXT->RB4->Checked()) {
    ResetCustomer();
  }
}

void TF1::ButtonCREATEClick(TObject *) {
  // The customer row being typed in counts; a tax percent or date that cannot be read is refused where it
  // stands, before the focus moves on.
  EGrid1->CommitEditor();
  const std::optional<TInvoiceDraft> draft = Draft();
  if (!draft) return;
  // Leaving the field being typed in takes its value over: the tax percent into the totals.
  FocusDescription();
  TCreateInvoiceSteps steps;
  steps.FocusDescription = [this] { FocusDescription(); };
  steps.FocusCustomer = [this] { FocusWhenShown(this, EGrid1); };
  steps.FocusDate = [this] { FocusWhenShown(this, OvcDateEdit1); };
  steps.ShowMessage = [](const QString &Message) { MessageDlg(Message, mtCustom, TMsgDlgButtons{mbOK}); };
  steps.Confirm = [this] {
    return ::MessageBox(Handle(), QStringLiteral("Do you want to confirm this invoice?"),
                        QStringLiteral("Confirm"), MB_YESNO | MB_ICONQUESTION) == IDYES;
  };
  steps.ShowInvoice = ShowInvoiceInPrintForm(HARD);
  steps.WhatNext = [this] { WhatNext(); };
  CreateInvoice(*DD, *draft, steps);
}
