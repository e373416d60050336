#include "app/past_invoices.h"
#include "app/customer_list.h"
#include "app/data_module.h"
#include "app/dialog_placement.h"
#include "app/form_behaviour.h"
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
} // namespace

TINVOICES::TINVOICES(TComponent *AOwner) : TForm(AOwner) {
  SetUpDialog(this, QStringLiteral("INVOICES"), QStringLiteral("  INVOICES"), 692, 446);
  SetKeyPreview(true);
  OnKeyPress = TKeyPressEvent(this, &TINVOICES::FormKeyPress);
  OnClose = TCloseEvent(this, &TINVOICES::FormClose);

  Label1 = NewLabel(this, QStringLiteral("Label1"), QStringLiteral("INVOICES"), 8, 6);
  Label1->Font()->SetStyle(fsBold);
  Label3 = NewFixedLabel<TLabel>(this, QStringLiteral("Label3"), QStringLiteral("Double-click to re-print"),
                                 Bounds(484, 6, 200, 16), taRightJustify);

  PopupMINV1 = NewComponent<TPopupMenu>(this, QStringLiteral("PopupMINV1"));
  CancelInvoice1 =
      NewMenuItem(PopupMINV1, QStringLiteral("CancelInvoice1"), QStringLiteral("Cancel/Restore Invoice"),
                  TNotifyEvent(this, &TINVOICES::CancelInvoice1Click));

  OvcDbTable1 = NewListTable(this, QStringLiteral("OvcDbTable1"), DD->dsMINV1,
                             {{QStringLiteral("CANC"), 34},
                              {QStringLiteral("CUSTOMER"), 272},
                              {QStringLiteral("NET"), 64},
                              {QStringLiteral("TAX"), 64},
                              {QStringLiteral("GROSS"), 64},
                              {QStringLiteral("InvDATE"), 112},
                              {QStringLiteral("InvNUM"), 64}},
                             true, 24, kHeaderRows);
  OvcDbTable1->SetPopupMenu(PopupMINV1);
  OvcDbTable1->OnDblClick = TNotifyEvent(this, &TINVOICES::OvcDbTable1DblClick);

  Label2 = NewLabel(this, QStringLiteral("Label2"), QStringLiteral("DETAILS"), 8,
                    OvcDbTable1->Top() + OvcDbTable1->Height() + 6);
  Label2->Font()->SetStyle(fsBold);
  OvcDbTable2 = NewListTable(this, QStringLiteral("OvcDbTable2"), DD->dsMINV2,
                             {{QStringLiteral("QUANTITY"), 64},
                              {QStringLiteral("DESCRIPTION"), 482},
                              {QStringLiteral("ITEMPRICE"), 64},
                              {QStringLiteral("ITEMTOTAL"), 64}},
                             true, Label2->Top() + 18, kLineRows);

  ButtonALL =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonALL"), QStringLiteral("All Invoices"),
                                Bounds(8, 408, 104, 28), TNotifyEvent(this, &TINVOICES::ButtonALLClick));
  ButtonCUST =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonCUST"), QStringLiteral("Customer"),
                                Bounds(120, 408, 104, 28), TNotifyEvent(this, &TINVOICES::ButtonCUSTClick));
  ButtonCLOSE =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonCLOSE"), QStringLiteral("CLOSE"),
                                Bounds(596, 408, 88, 28), TNotifyEvent(this, &TINVOICES::ButtonCLOSEClick));
}

TINVOICES::~TINVOICES() {
  if (INVOICES == this) INVOICES = nullptr;
}

void TINVOICES::SetUp() {
  ButtonALLClick(this);
  FocusWhenShown(this, OvcDbTable1);
}

void TINVOICES::ButtonALLClick(TObject *) {
  // Another index drops the customer's range.
  DD->MINV1->SetIndexName(QStringLiteral("INVNUM"));
  DD->MINV1->First();
}

void TINVOICES::ButtonCUSTClick(TObject *) {
  if (!CUSTLIST->PickCustomer()) return;
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
  // The list never shows a change the database did not keep.
  PostOrCancel(invoices, [&] { DD->MINV1CANC->SetAsBoolean(!cancelled); });
}

void TINVOICES::FormKeyPress(TObject *, QChar &Key) { CloseOnEscape(this, Key); }

void TINVOICES::FormClose(TObject *, TCloseAction &) { ButtonALLClick(this); }
