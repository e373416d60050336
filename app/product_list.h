// TPRODUCTS (PRODUCTS): the predefined lines of one invoice type, items or services, in description order;
// double-clicking one picks it. New adds one of the listed type and Edit changes the current one, through
// the product editor. The main window opens it with its invoice type and fills its line from the pick.
//
// A run's outcome is the form's tag: 1 when a product was picked (PRODUCTS then stands on it), 0 when the
// list was closed (Close or Escape). SetUp prepares each run and limits PRODUCTS to the type; closing lifts
// the limit again, PRODUCTS staying on the product that was current.
#pragma once
#include "app/list_table.h"
#include "controls/buttons/hyper_button.h"
#include "controls/labels/label.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/forms.h"

class TPRODUCTS : public TForm {
public:
  explicit TPRODUCTS(TComponent *AOwner);
  ~TPRODUCTS() override;
  QString ClassName() const override { return QStringLiteral("TPRODUCTS"); }

  // Lists the products of Type (the main window's type index: 0 items, anything else services), the first
  // focused; tag 0.
  void SetUp(int Type);
  void OvcDbTable1DblClick(TObject *Sender);
  void ButtonNEWClick(TObject *Sender);
  void ButtonEDITClick(TObject *Sender);
  void ButtonCLOSEClick(TObject *Sender);
  void FormKeyPress(TObject *Sender, QChar &Key);
  void FormClose(TObject *Sender, TCloseAction &Action);

  TOvcLabel *OvcLabel1 = nullptr; // "ITEMS" or "SERVICES"
  TLabel *Label1 = nullptr;       // "Double-click to Select"
  TListTable *OvcDbTable1 = nullptr;
  TVrHyperButton *ButtonNEW = nullptr;
  TVrHyperButton *ButtonEDIT = nullptr;
  TVrHyperButton *ButtonCLOSE = nullptr;

private:
  // The TYPE being listed, which a new product gets.
  int ListedType() const;
  void RunEditor(int IsNew);
};

extern TPRODUCTS *PRODUCTS;
