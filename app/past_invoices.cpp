#include "app/past_invoices.h"
#include "app/customer_list.h"
#include "app/data_module.h"
#include "app/dialog_placement.h"
#include "app/form_parts.h"
#include "app/print_form.h"
#include "platform/widgets/menus.h"
#include "platform/windowing/system_services.h"
#include <QMenu> // menus.h keeps its menu in a QPointer

TINVOICES *INVOICES = nullptr;

namespace {
constexpr int kHeaderRows = 11;
constexpr int kLineRows = 7;
// MINV1.TYPE of an invoice of items (0: services).
constexpr int kItems = 1;
constexpr int kItemsReprint = 3;
constexpr int kServicesReprint = 4;

TListTable *NewList(TForm *Form, const QString &Name, TDataSource *Source, const QList<TListColumn> &Shown,
                    int Top, int Rows) {
  auto *table = new TListTable(Form);
  table->SetName(Name);
  table->SetParent(Form);
  table->ShowList(Source, Shown, true);
  const int width = std::min(Form->ClientWidth(), table->ListWidth());
  table->SetBounds((Form->ClientWidth() - width) / 2, Top, width, table->ListHeight(Rows));
  return table;
}
} // namespace

TINVOICES::TINVOICES(TComponent *AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("INVOICES"));
  SetCaption(QStringLiteral("  INVOICES"));
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{});
  SetClientSize(692, 446);
  SetKeyPreview(true);
  OnKeyPress = TKeyPressEvent(this, &TINVOICES::FormKeyPress);
  OnClose = TCloseEvent(this, &TINVOICES::FormClose);

  Label1 = NewLabel(this, QStringLiteral("Label1"), QStringLiteral("INVOICES"), 8, 6);
  Label1->Font()->SetStyle(fsBold);
  Label3 = NewLabel(this, QStringLiteral("Label3"), QStringLiteral("Double-click to re-print"), 484, 6);
  Label3->SetAutoSize(false);
  Label3->SetAlignment(taRightJustify);
  Label3->SetBounds(484, 6, 200, 16);

  PopupMINV1 = new TPopupMenu(this);
  PopupMINV1->SetName(QStringLiteral("PopupMINV1"));
  CancelInvoice1 = new TMenuItem(this);
  CancelInvoice1->SetName(QStringLiteral("CancelInvoice1"));
  CancelInvoice1->SetCaption(QStringLiteral("Cancel/Restore Invoice"));
  CancelInvoice1->OnClick = TNotifyEvent(this, &TINVOICES::CancelInvoice1Click);
  PopupMINV1->Items()->Add(CancelInvoice1);

  OvcDbTable1 = NewList(this, QStringLiteral("OvcDbTable1"), DD->dsMINV1,
                        {{QStringLiteral("CANC"), 34},
                         {QStringLiteral("CUSTOMER"), 272},
                         {QStringLiteral("NET"), 64},
                         {QStringLiteral("TAX"), 64},
                         {QStringLiteral("GROSS"), 64},
                         {QStringLiteral("InvDATE"), 112},
                         {QStringLiteral("InvNUM"), 64}},
                        24, kHeaderRows);
  OvcDbTable1->SetPopupMenu(PopupMINV1);
  OvcDbTable1->OnDblClick = TNotifyEvent(this, &TINVOICES::OvcDbTable1DblClick);

  Label2 = NewLabel(this, QStringLiteral("Label2"), QStringLiteral("DETAILS"), 8,
                    OvcDbTable1->Top() + OvcDbTable1->Height() + 6);
  Label2->Font()->SetStyle(fsBold);
  OvcDbTable2 = NewList(this, QStringLiteral("OvcDbTable2"), DD->dsMINV2,
                        {{QStringLiteral("QUANTITY"), 64},
                         {QStringLiteral("DESCRIPTION"), 482},
                         {QStringLiteral("ITEMPRICE"), 64},
                         {QStringLiteral("ITEMTOTAL"), 64}},
                        Label2->Top() + 18, kLineRows);

  const auto NewButton = [this](const QString &Name, const QString &Caption, int Left, int Width) {
    auto *button = new TVrHyperButton(this);
    button->SetName(Name);
    button->SetParent(this);
    button->SetBounds(Left, 408, Width, 28);
    button->SetCaption(Caption);
    return button;
  };
  ButtonALL = NewButton(QStringLiteral("ButtonALL"), QStringLiteral("All Invoices"), 8, 104);
  ButtonALL->OnClick = TNotifyEvent(this, &TINVOICES::ButtonALLClick);
  ButtonCUST = NewButton(QStringLiteral("ButtonCUST"), QStringLiteral("Customer"), 120, 104);
  ButtonCUST->OnClick = TNotifyEvent(this, &TINVOICES::ButtonCUSTClick);
  ButtonCLOSE = NewButton(QStringLiteral("ButtonCLOSE"), QStringLiteral("CLOSE"), 596, 88);
  ButtonCLOSE->OnClick = TNotifyEvent(this, &TINVOICES::ButtonCLOSEClick);
}

TINVOICES::~TINVOICES() {
  if (INVOICES == this) INVOICES = nullptr;
}

void TINVOICES::SetUp() {
  ButtonALLClick(this);
  if (Showing())
    OvcDbTable1->SetFocus();
  else
    SetActiveControl(OvcDbTable1);
}

void TINVOICES::ButtonALLClick(TObject *) {
  // Another index drops the customer's range.
  DD->MINV1->SetIndexName(QStringLiteral("INVNUM"));
  DD->MINV1->First();
}

void TINVOICES::ButtonCUSTClick(TObject *) {
  CUSTLIST->SetUp();
  CentreOverMainWindow(CUSTLIST);
  CUSTLIST->ShowModal();
  if (CUSTLIST->Tag() != 1) return;
  const Variant customer(DD->CUST->FieldByName(QStringLiteral("CUSTNO"))->AsInteger());
  TffTable *invoices = DD->MINV1;
  invoices->SetIndexName(QStringLiteral("CUST"));
  invoices->SetRange({customer}, {customer});
  invoices->First();
}

void TINVOICES::ButtonCLOSEClick(TObject *) { Close(); }

void TINVOICES::OvcDbTable1DblClick(TObject *) {
  if (!OvcDbTable1->DoubleClickedOnRecord() || DD->MINV1->IsEmpty()) return;
  HARD->SetCancVar(DD->MINV1CANC->AsBoolean() ? QStringLiteral("CANCELLED") : QString());
  HARD->DoReport(DD->MINV1TYPE->AsInteger() == kItems ? kItemsReprint : kServicesReprint);
}

void TINVOICES::CancelInvoice1Click(TObject *) {
  TffTable *invoices = DD->MINV1;
  if (invoices->IsEmpty()) return;
  const bool cancelled = DD->MINV1CANC->AsBoolean();
  const QString question = cancelled
                               ? QStringLiteral("Are you sure you want to RESTORE the selected invoice?")
                               : QStringLiteral("Are you sure you want to CANCEL the selected invoice?");
  if (::MessageBox(Handle(), question, QStringLiteral("Confirm"), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  invoices->Edit();
  try {
    DD->MINV1CANC->SetAsBoolean(!cancelled);
    invoices->Post();
  } catch (...) {
    // The list never shows a change the database did not keep; the application reports the failure.
    invoices->Cancel();
    throw;
  }
}

void TINVOICES::FormKeyPress(TObject *, QChar &Key) {
  if (Key == QChar(0x1B)) {
    Key = QChar();
    Close();
  }
}

void TINVOICES::FormClose(TObject *, TCloseAction &) { ButtonALLClick(this); }
