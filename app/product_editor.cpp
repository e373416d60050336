#include "app/product_editor.h"
#include "app/data_module.h"
#include "app/form_behaviour.h"
#include "app/form_parts.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"

TPRODEDIT *PRODEDIT = nullptr;

namespace {
// The size of PRODUCTS.DESCRIPTION.
constexpr int kDescriptionSize = 1000;
constexpr double kMaxPrice = 99999999.9;
} // namespace

TPRODEDIT::TPRODEDIT(TComponent *AOwner) : TForm(AOwner) {
  SetUpDialog(this, QStringLiteral("PRODEDIT"), QStringLiteral("  Edit Product/Service"), 500, 262);
  SetKeyPreview(true);
  OnKeyDown = TKeyEvent(this, &TPRODEDIT::FormKeyDown);

  Label1 = NewLabel(this, QStringLiteral("Label1"), QStringLiteral("DESCRIPTION"), 16, 12);
  Memo1 = NewControl<TMemo>(this, QStringLiteral("Memo1"), Bounds(16, 30, 468, 150));
  Memo1->SetScrollBars(ssVertical);
  Memo1->SetMaxLength(kDescriptionSize);
  Label1->SetFocusControl(Memo1);

  Label2 = NewLabel(this, QStringLiteral("Label2"), QStringLiteral("ITEMPRICE"), 16, 194);
  FE1 = NewFloatEdit(this, QStringLiteral("FE1"), QStringLiteral("ITEMPRICE"), 2, 0, kMaxPrice,
                     Bounds(16, 212, 128, 23));
  Label2->SetFocusControl(FE1);

  ButtonSAVE =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonSAVE"), QStringLiteral("SAVE"),
                                Bounds(300, 210, 88, 28), TNotifyEvent(this, &TPRODEDIT::ButtonSAVEClick));
  ButtonCANCEL =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonCANCEL"), QStringLiteral("Cancel"),
                                Bounds(396, 210, 88, 28), TNotifyEvent(this, &TPRODEDIT::ButtonCANCELClick));
}

TPRODEDIT::~TPRODEDIT() {
  if (PRODEDIT == this) PRODEDIT = nullptr;
}

void TPRODEDIT::SetUp(int isNew) {
  IsNew = isNew;
  if (IsNew) {
    Memo1->SetText(QString());
    FE1->SetValue(0);
  } else {
    Memo1->SetText(DD->PRODUCTSDESCRIPTION->AsString());
    FE1->SetValue(DD->PRODUCTSITEMPRICE->AsFloat());
  }
  FocusWhenShown(this, Memo1);
}

void TPRODEDIT::ButtonSAVEClick(TObject *) {
  if (Memo1->Text().trimmed().isEmpty()) {
    ShowMessage(QStringLiteral("Error:  Type the DESCRIPTION of the product or service."));
    return Memo1->SetFocus();
  }
  // The price the edit shows, or none: never another.
  const std::optional<double> price = FE1->TypedValue();
  if (!price) {
    ShowMessage(FE1->ErrorMessage());
    FE1->SetFocus();
    FE1->SelectAll();
    return;
  }
  TffTable *products = DD->PRODUCTS;
  if (IsNew)
    products->Append();
  else
    products->Edit();
  PostOrCancel(products, [&] {
    if (IsNew) DD->PRODUCTSTYPE->SetAsInteger(ProductType);
    DD->PRODUCTSDESCRIPTION->SetAsString(Memo1->Text());
    DD->PRODUCTSITEMPRICE->SetAsFloat(*price);
  });
  SetModalResult(mrOk);
}

void TPRODEDIT::ButtonCANCELClick(TObject *) { Close(); }

void TPRODEDIT::FormKeyDown(TObject *, WORD &Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    Key = 0;
    Close();
  } else if (Key == VK_RETURN && (Shift.Contains(ssCtrl) || ActiveControl() != Memo1)) {
    // Enter alone starts a new line of the description.
    Key = 0;
    ButtonSAVEClick(this);
  }
}
