// TCUSTLIST (CUSTLIST): the customers in name order. Typing in FIND moves to the first customer whose name
// comes at or after the text, on every change of it (typed, deleted or pasted); double-clicking a customer
// picks it. New and Edit open the customer editor. The main window picks an invoice's customer here, the
// past invoices their customer filter.
//
// A run's outcome is the form's tag: 1 when a customer was picked (CUST then stands on it), 0 when the list
// was closed (Close or Escape). SetUp prepares each run.
#pragma once
#include "app/list_table.h"
#include "controls/buttons/hyper_button.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/forms.h"

class TCUSTLIST : public TForm {
public:
  explicit TCUSTLIST(TComponent *AOwner);
  ~TCUSTLIST() override;
  QString ClassName() const override { return QStringLiteral("TCUSTLIST"); }

  // Tag 0, FIND emptied, the list focused on its first customer.
  void SetUp();
  // A run from SetUp, over the main window: true when the user picked a customer.
  bool PickCustomer();
  void Edit1Change(TObject *Sender);
  void OvcDbTable1DblClick(TObject *Sender);
  void ButtonNEWClick(TObject *Sender);
  void ButtonEDITClick(TObject *Sender);
  void ButtonCLOSEClick(TObject *Sender);
  void FormKeyPress(TObject *Sender, QChar &Key);

  TLabel *Label1 = nullptr; // "FIND"
  TEdit *Edit1 = nullptr;
  TListTable *OvcDbTable1 = nullptr;
  TVrHyperButton *ButtonNEW = nullptr;
  TVrHyperButton *ButtonEDIT = nullptr;
  TVrHyperButton *ButtonCLOSE = nullptr;

private:
  void FocusList();
};

extern TCUSTLIST *CUSTLIST;
