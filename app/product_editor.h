// TPRODEDIT (PRODEDIT): adds a product or service to the PRODUCTS table or edits the current one; the product
// list opens it, after SetUp. Escape closes it without a change.
//
// SAVE does nothing while the description is empty (or only blanks). An item price that is no number or out
// of range (typed past the maximum, or pasted) is refused with a message rather than stored as something
// else; leaving the price out of range says so too. A product the database refuses to store is reported and
// left out, the dialog open with what was typed. Editing never changes a product's TYPE.
#pragma once
#include "controls/buttons/hyper_button.h"
#include "controls/edits/float_edit.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/forms.h"
#include <optional>

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
  void FormKeyPress(TObject *Sender, QChar &Key);

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

private:
  // The price as the edit shows it, when that is a number within the edit's range.
  std::optional<double> TypedPrice() const;
  // What a price out of range is refused with.
  QString PriceRangeMessage() const;
};

extern TPRODEDIT *PRODEDIT;
