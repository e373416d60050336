// TF1 (F1): the program's main window, where an invoice is made. The user types or picks a customer, sets
// the invoice date, type and tax percent, adds lines one by one to the scratch table INV2, sees the lines and
// the totals, and creates the invoice (create_invoice.h). The MENU button opens the settings, the past
// invoices, Wipe All and the about box; EXIT closes the window, which ends the program.
//
// What the fields show is what the invoice gets, or it is refused with a message: the number fields (tax
// percent, QUANTITY with up to 3 decimals, ITEM PRICE) name themselves in their refusals and keep what was
// typed to be mended; a line needs a description and a quantity other than 0; the invoice date is a date
// (invoice_date_edit.h); a default tax percent from the settings that the tax field cannot hold is shown
// as it is, said so, and refused until the user types one. Amounts are exact to the cent (amounts.h). A line
// whose total, or an invoice whose totals, the tables cannot hold is refused with a message and the form
// keeps what was typed; a tax percent that would make the totals too large is refused the same way and the
// field goes back to the percent the totals were worked out with. Changing the invoice type drops the lines
// already added, as the help text tells the user. At start, settings texts longer than their fields (left by
// another program) are told once.
#pragma once
#include "app/invoice_date_edit.h"
#include "app/invoice_storage.h"
#include "controls/buttons/hyper_button.h"
#include "controls/edits/date_edit.h"
#include "controls/edits/float_edit.h"
#include "controls/menus/menu_painter.h"
#include "grids/inspector/inspector_grid.h"
#include "grids/table/db_table.h"
#include "platform/widgets/menus.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_combo_box.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/widgets/std_panels.h"
#include "platform/windowing/forms.h"
#include <QMenu> // menus.h keeps its menus in QPointers

class TF1 : public TForm {
public:
  explicit TF1(TComponent *AOwner);
  ~TF1() override;
  QString ClassName() const override { return QStringLiteral("TF1"); }

  // -- reset routines --
  // Type, tax percent and date from the defaults (the date: today).
  void ResetGlobals();
  // The line table's columns for the invoice type: QUANTITY shown for items, hidden for services.
  void ResetDetails();
  // Empty line entry: no description, quantity 1, price 0; the quantity hidden for services.
  void ResetAdd();
  // No customer: six empty, editable rows, the name row focused.
  void ResetCustomer();
  // No lines: INV2 made anew.
  void ResetINV2();
  // The totals of INV2's lines with the tax percent, in the data module and the three labels.
  void RecalcTotals();

  // -- handlers --
  void FormShow(TObject *Sender);
  void FormClose(TObject *Sender, TCloseAction &Action);
  void Combo1Change(TObject *Sender);
  void FEtaxEnterPress(TObject *Sender, QChar &Key);
  void FEtaxExit(TObject *Sender);
  // "Add to Invoice".
  void OvcButtonHeader3Click(TObject *Sender);
  void DeleteItem1Click(TObject *Sender);
  void ButtonLISTClick(TObject *Sender);
  void ButtonMANUALClick(TObject *Sender);
  void ButtonPRODUCTSClick(TObject *Sender);
  void ButtonMENUClick(TObject *Sender);
  void ShowPopSettings();
  void EditSettings1Click(TObject *Sender);
  void ViewPastInvoices1Click(TObject *Sender);
  void WipeAll1Click(TObject *Sender);
  void About1Click(TObject *Sender);
  void ButtonEXITClick(TObject *Sender);
  // "Create Invoice".
  void ButtonCREATEClick(TObject *Sender);

  // What the window holds of the invoice being made, besides its lines; nothing when the tax percent or the
  // date cannot be read, which the user is told, with that field focused.
  std::optional<TInvoiceDraft> Draft();
  // The items (true) or services type chosen.
  bool ItemsChosen() const { return Combo1->ItemIndex() == 0; }

  // -- controls --
  TImage *Image1 = nullptr; // the program's icon
  TImage *Image2 = nullptr; // its name
  TPanel *PanelCUSTOMER = nullptr;
  TVrHyperButton *ButtonLIST = nullptr;
  TVrHyperButton *ButtonMANUAL = nullptr;
  TO32InspectorGrid *EGrid1 = nullptr;
  TPanel *PanelGLOBAL = nullptr;
  TLabel *LabelDATE = nullptr;
  TInvoiceDateEdit *OvcDateEdit1 = nullptr;
  TLabel *LabelTYPE = nullptr;
  TComboBox *Combo1 = nullptr;
  TLabel *LabelTAXPCT = nullptr;
  TFloatEdit *FEtax = nullptr;
  TVrHyperButton *ButtonMENU = nullptr;
  TVrHyperButton *ButtonEXIT = nullptr;
  TPanel *PanelADD = nullptr;
  TLabel *LabelDESCRIPTION = nullptr;
  TMemo *Memo1 = nullptr;
  TLabel *LabelQUANTITY = nullptr;
  TFloatEdit *FEquantity = nullptr;
  TLabel *LabelPRICE = nullptr;
  TFloatEdit *FEnet = nullptr;
  TVrHyperButton *ButtonPRODUCTS = nullptr;
  TButton *Button1 = nullptr; // "Add to Invoice"
  TPanel *PanelDETAIL = nullptr;
  TOvcDbTable *OvcDbTable1 = nullptr;
  TLabel *LabelNETCaption = nullptr;
  TLabel *LabelNET = nullptr;
  TLabel *LabelTAXCaption = nullptr;
  TLabel *LabelTAX = nullptr;
  TLabel *LabelGROSSCaption = nullptr;
  TLabel *LabelGROSS = nullptr;
  TVrHyperButton *ButtonCREATE = nullptr;
  TPopupMenu *PopSETTINGS = nullptr;
  TMenuItem *EditSettings1 = nullptr;
  TMenuItem *ViewPastInvoices1 = nullptr;
  TMenuItem *WipeAll1 = nullptr;
  TMenuItem *About1 = nullptr;
  TPopupMenu *PopupMenu1 = nullptr; // the line table's
  TMenuItem *DeleteItem1 = nullptr;
  TXPMenu *XPMenu1 = nullptr;

private:
  void CreateCustomerControls();
  void CreateGlobalControls();
  void CreateAddControls();
  void CreateDetailControls();
  void CreateMenus();
  // The customer rows: 0 the name, 1 to 5 the address.
  TO32InspectorItem *CustomerRow(int Row) const { return EGrid1->ItemAt(Row); }
  void EmptyCustomerRows();
  // A new invoice for the same customer: no lines, the default tax.
  void NewInvoiceLines();
  // The what-next dialog after a stored invoice, and its choice's action.
  void WhatNext();
  void FocusDescription();
  void ShowTotals(const TInvoiceTotals &Totals);
  void ShowRefusal(const QString &Message);
  // Refuses the text of a number field with its message, the field focused and its text selected.
  void RefuseField(TFloatEdit *Field);
  // The default tax percent in the tax field; one it cannot hold is shown as it is, and said so.
  void ShowDefaultTax();

  // The tax percent the shown totals were worked out with.
  double totalsTaxPercent_ = 0;
};

extern TF1 *F1;
