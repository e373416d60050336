#include "app/product_list.h"
#include "app/data_module.h"
#include "app/dialog_placement.h"
#include "app/product_editor.h"

TPRODUCTS *PRODUCTS = nullptr;

namespace {
const QString kItems = QStringLiteral("ITEMS");
const QString kServices = QStringLiteral("SERVICES");
constexpr int kRows = 20;
} // namespace

TPRODUCTS::TPRODUCTS(TComponent *AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("PRODUCTS"));
  SetCaption(QStringLiteral("  Predefined List"));
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{});
  SetClientSize(692, 446);
  SetKeyPreview(true);
  OnKeyPress = TKeyPressEvent(this, &TPRODUCTS::FormKeyPress);
  OnClose = TCloseEvent(this, &TPRODUCTS::FormClose);

  OvcLabel1 = new TOvcLabel(this);
  OvcLabel1->SetName(QStringLiteral("OvcLabel1"));
  OvcLabel1->SetParent(this);
  OvcLabel1->SetBounds(8, 4, 200, 26);
  OvcLabel1->SetColorScheme(csEmbossed);
  OvcLabel1->Font()->SetName(QStringLiteral("Arial"));
  OvcLabel1->Font()->SetSize(12);
  OvcLabel1->Font()->SetStyle(fsBold);
  OvcLabel1->SetCaption(kItems);

  Label1 = new TLabel(this);
  Label1->SetName(QStringLiteral("Label1"));
  Label1->SetParent(this);
  Label1->SetAutoSize(false);
  Label1->SetAlignment(taRightJustify);
  Label1->SetBounds(484, 12, 200, 16);
  Label1->SetCaption(QStringLiteral("Double-click to Select"));

  OvcDbTable1 = new TListTable(this);
  OvcDbTable1->SetName(QStringLiteral("OvcDbTable1"));
  OvcDbTable1->SetParent(this);
  OvcDbTable1->ShowList(DD->dsPRODUCTS,
                        {{QStringLiteral("DESCRIPTION"), 596}, {QStringLiteral("ITEMPRICE"), 78}}, true);
  const int width = std::min(ClientWidth(), OvcDbTable1->ListWidth());
  OvcDbTable1->SetBounds((ClientWidth() - width) / 2, 36, width, OvcDbTable1->ListHeight(kRows));
  OvcDbTable1->OnDblClick = TNotifyEvent(this, &TPRODUCTS::OvcDbTable1DblClick);

  const auto NewButton = [this](const QString &Name, const QString &Caption, int Left) {
    auto *button = new TVrHyperButton(this);
    button->SetName(Name);
    button->SetParent(this);
    button->SetBounds(Left, 408, 88, 28);
    button->SetCaption(Caption);
    return button;
  };
  ButtonNEW = NewButton(QStringLiteral("ButtonNEW"), QStringLiteral("New"), 8);
  ButtonNEW->OnClick = TNotifyEvent(this, &TPRODUCTS::ButtonNEWClick);
  ButtonEDIT = NewButton(QStringLiteral("ButtonEDIT"), QStringLiteral("Edit"), 104);
  ButtonEDIT->OnClick = TNotifyEvent(this, &TPRODUCTS::ButtonEDITClick);
  ButtonCLOSE = NewButton(QStringLiteral("ButtonCLOSE"), QStringLiteral("Close"), 596);
  ButtonCLOSE->OnClick = TNotifyEvent(this, &TPRODUCTS::ButtonCLOSEClick);
}

TPRODUCTS::~TPRODUCTS() {
  if (PRODUCTS == this) PRODUCTS = nullptr;
}

void TPRODUCTS::SetUp(int Type) {
  const int type = Type != 0 ? 1 : 0;
  OvcLabel1->SetCaption(type ? kServices : kItems);
  TffTable *products = DD->PRODUCTS;
  products->SetIndexName(QStringLiteral("TYPE"));
  products->SetRange({Variant(type)}, {Variant(type)});
  products->First();
  SetTag(0);
  if (Showing())
    OvcDbTable1->SetFocus();
  else
    SetActiveControl(OvcDbTable1);
}

int TPRODUCTS::ListedType() const { return OvcLabel1->Caption() == kItems ? 0 : 1; }

void TPRODUCTS::OvcDbTable1DblClick(TObject *) {
  if (!OvcDbTable1->DoubleClickedOnRecord() || DD->PRODUCTS->IsEmpty()) return;
  SetTag(1);
  SetModalResult(mrOk);
}

void TPRODUCTS::RunEditor(int IsNew) {
  PRODEDIT->ProductType = ListedType();
  PRODEDIT->SetUp(IsNew);
  CentreOverMainWindow(PRODEDIT);
  PRODEDIT->ShowModal();
}

void TPRODUCTS::ButtonNEWClick(TObject *) { RunEditor(1); }

void TPRODUCTS::ButtonEDITClick(TObject *) {
  if (!DD->PRODUCTS->IsEmpty()) RunEditor(0);
}

void TPRODUCTS::ButtonCLOSEClick(TObject *) { Close(); }

void TPRODUCTS::FormKeyPress(TObject *, QChar &Key) {
  if (Key == QChar(0x1B)) {
    Key = QChar();
    Close();
  }
}

void TPRODUCTS::FormClose(TObject *, TCloseAction &) {
  // PRODUCTS is the data module's for every form: it is left whole, on the product picked or last shown.
  TffTable *products = DD->PRODUCTS;
  const TBookmark current = products->GetBookmark();
  products->CancelRange();
  if (!current.isEmpty() && products->BookmarkValid(current)) products->GotoBookmark(current);
}
