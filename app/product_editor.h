// TPRODEDIT (PRODEDIT): adds a product or service to the PRODUCTS table or edits the current one; the product
// list opens it, after SetUp. Escape closes it without a change; Ctrl+Enter saves, and so does Enter outside
// the description, where it starts a new line.
//
// SAVE refuses, with a message, an empty description (or one of blanks) and an item price the edit cannot
// hold (typed past the maximum, or pasted): never stored as something else; leaving the price so says it
// too. A product the database refuses to store is reported and left out, the dialog open with what was
// typed. Editing never changes a product's TYPE.
#pragma once
#include "controls/buttons/hyper_button.h"
#include "controls/edits/float_edit.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/forms.h"

class TPRODEDIT : public TForm {
public:
  explicit TPRODEDIT(TComponent *AOwner);
  ~TPRODEDIT() override;
  QString ClassName() const override { return QStringLiteral("TPRODEDIT"); }

  // Prepares a run: isNew 1 empties the fields for a new product of ProductType; 0 shows the current
  // PRODUCTS row. The description is focused.
  void SetUp(int isNew);
  // Stores the product and closes.
  void ButtonSAVEClick(TObject *Sender);
  // Closes without a change.
  void ButtonCANCELClick(TObject *Sender);
  void FormKeyDown(TObject *Sender, WORD &Key, TShiftState Shift);

  TLabel *Label1 = nullptr; // "DESCRIPTION"
  TMemo *Memo1 = nullptr;
  TLabel *Label2 = nullptr; // "ITEMPRICE"
  TFloatEdit *FE1 = nullptr;
  TVrHyperButton *ButtonSAVE = nullptr;
  TVrHyperButton *ButtonCANCEL = nullptr;

  // 1 when adding, 0 when editing the current product.
  int IsNew = 0;
  // The TYPE a new product gets: 0 items, 1 services.
  int ProductType = 0;
};

extern TPRODEDIT *PRODEDIT;
