#include "app/product_editor.h"
#include "app/data_module.h"
#include "platform/core/number_format.h"
#include "platform/windowing/system_services.h"

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
  OnKeyPress = TKeyPressEvent(this, &TPRODEDIT::FormKeyPress);

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
  FE1->SetErrorMessage(PriceRangeMessage());
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

std::optional<double> TPRODEDIT::TypedPrice() const {
  const QString text = FE1->Text();
  // What the edit itself counts as 0 while the number is being typed.
  if (text.isEmpty() || text == QStringLiteral("-") || text == FE1->DecimalSeparator()) return 0.0;
  FormatSettings format = Settings();
  format.DecimalSeparator = FE1->DecimalSeparator();
  double price = 0;
  if (!TryStrToFloat(text, price, format) || !(price >= FE1->Min() && price <= FE1->Max()))
    return std::nullopt;
  return price;
}

QString TPRODEDIT::PriceRangeMessage() const {
  FormatSettings format = Settings();
  format.DecimalSeparator = FE1->DecimalSeparator();
  const auto shown = [&](double value) { return FloatToStrF(value, ffFixed, 18, FE1->Digits(), format); };
  return QStringLiteral("The item price must be a number from %1 to %2.")
      .arg(shown(FE1->Min()), shown(FE1->Max()));
}

void TPRODEDIT::ButtonSAVEClick(TObject *) {
  if (Memo1->Text().trimmed().isEmpty()) return;
  const std::optional<double> price = TypedPrice();
  if (!price) {
    ShowMessage(PriceRangeMessage());
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

void TPRODEDIT::FormKeyPress(TObject *, QChar &Key) {
  if (Key == QChar(0x1B)) {
    Key = QChar();
    Close();
  }
}
