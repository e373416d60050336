#include "app/product_editor.h"
#include "app/data_module.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"

TPRODEDIT *PRODEDIT = nullptr;

namespace {
// The size of PRODUCTS.DESCRIPTION.
constexpr int kDescriptionSize = 1000;
constexpr double kMaxPrice = 99999999.9;
} // namespace

TPRODEDIT::TPRODEDIT(TComponent *AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("PRODEDIT"));
  SetCaption(QStringLiteral("  Edit Product/Service"));
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{});
  SetClientSize(500, 262);
  SetKeyPreview(true);
  OnKeyDown = TKeyEvent(this, &TPRODEDIT::FormKeyDown);

  Label1 = new TLabel(this);
  Label1->SetName(QStringLiteral("Label1"));
  Label1->SetParent(this);
  Label1->SetLeft(16);
  Label1->SetTop(12);
  Label1->SetCaption(QStringLiteral("DESCRIPTION"));

  Memo1 = new TMemo(this);
  Memo1->SetName(QStringLiteral("Memo1"));
  Memo1->SetParent(this);
  Memo1->SetBounds(16, 30, 468, 150);
  Memo1->SetScrollBars(ssVertical);
  Memo1->SetMaxLength(kDescriptionSize);
  Label1->SetFocusControl(Memo1);

  Label2 = new TLabel(this);
  Label2->SetName(QStringLiteral("Label2"));
  Label2->SetParent(this);
  Label2->SetLeft(16);
  Label2->SetTop(194);
  Label2->SetCaption(QStringLiteral("ITEMPRICE"));

  FE1 = new TFloatEdit(this);
  FE1->SetName(QStringLiteral("FE1"));
  FE1->SetParent(this);
  FE1->SetBounds(16, 212, 128, 23);
  FE1->SetDigits(2);
  FE1->SetMax(kMaxPrice);
  FE1->SetErrorMessage(QStringLiteral("ITEMPRICE must be %1.").arg(FE1->NumberRule()));
  Label2->SetFocusControl(FE1);

  const auto NewButton = [this](const QString &Name, const QString &Caption, int Left) {
    auto *button = new TVrHyperButton(this);
    button->SetName(Name);
    button->SetParent(this);
    button->SetBounds(Left, 210, 88, 28);
    button->SetCaption(Caption);
    return button;
  };
  ButtonSAVE = NewButton(QStringLiteral("ButtonSAVE"), QStringLiteral("SAVE"), 300);
  ButtonSAVE->OnClick = TNotifyEvent(this, &TPRODEDIT::ButtonSAVEClick);
  ButtonCANCEL = NewButton(QStringLiteral("ButtonCANCEL"), QStringLiteral("Cancel"), 396);
  ButtonCANCEL->OnClick = TNotifyEvent(this, &TPRODEDIT::ButtonCANCELClick);
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
  if (Showing())
    Memo1->SetFocus();
  else
    SetActiveControl(Memo1);
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
  try {
    if (IsNew) DD->PRODUCTSTYPE->SetAsInteger(ProductType);
    DD->PRODUCTSDESCRIPTION->SetAsString(Memo1->Text());
    DD->PRODUCTSITEMPRICE->SetAsFloat(*price);
    products->Post();
  } catch (...) {
    // Nothing half-made stays behind in the table; the application reports the failure.
    products->Cancel();
    throw;
  }
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
