// TINVOICES (INVOICES): the stored invoices, newest number first, with the lines of the selected one below.
// "Customer" limits the list to the invoices of a customer picked from the customer list (those made with a
// typed-in customer are never among them), "All Invoices" shows every invoice again. Double-clicking an
// invoice re-prints it through the print preview, marked CANCELLED when it was cancelled; the headers'
// popup menu cancels the selected invoice or restores a cancelled one, after a question. Nothing else of an
// invoice changes here, and none is deleted.
//
// SetUp prepares each run. The customer filter never outlives the dialog: closing it shows all invoices.
#pragma once
#include "app/list_table.h"
#include "controls/buttons/hyper_button.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/forms.h"

class TPopupMenu;
class TMenuItem;

class TINVOICES : public TForm {
public:
  explicit TINVOICES(TComponent *AOwner);
  ~TINVOICES() override;
  QString ClassName() const override { return QStringLiteral("TINVOICES"); }

  // All invoices, the headers focused.
  void SetUp();
  // Every invoice, newest number first, the first selected.
  void ButtonALLClick(TObject *Sender);
  // The invoices of a customer picked from the customer list, newest first; nothing changes when none is
  // picked.
  void ButtonCUSTClick(TObject *Sender);
  void ButtonCLOSEClick(TObject *Sender);
  // Re-prints the invoice double-clicked.
  void OvcDbTable1DblClick(TObject *Sender);
  // Cancels the selected invoice, or restores it when it is cancelled, once the user says yes.
  void CancelInvoice1Click(TObject *Sender);
  void FormKeyPress(TObject *Sender, QChar &Key);
  void FormClose(TObject *Sender, TCloseAction &Action);

  TLabel *Label1 = nullptr; // "INVOICES"
  TLabel *Label2 = nullptr; // "DETAILS"
  TLabel *Label3 = nullptr; // "Double-click to re-print"
  TListTable *OvcDbTable1 = nullptr;
  TListTable *OvcDbTable2 = nullptr;
  TPopupMenu *PopupMINV1 = nullptr;
  TMenuItem *CancelInvoice1 = nullptr;
  TVrHyperButton *ButtonALL = nullptr;
  TVrHyperButton *ButtonCUST = nullptr;
  TVrHyperButton *ButtonCLOSE = nullptr;
};

extern TINVOICES *INVOICES;
