#include "app/product_list.h"
#include "app/data_module.h"
#include "app/dialog_placement.h"
#include "app/form_behaviour.h"
#include "app/form_parts.h"
#include "app/product_editor.h"

TPRODUCTS *PRODUCTS = nullptr;

namespace {
const QString kItems = QStringLiteral("ITEMS");
const QString kServices = QStringLiteral("SERVICES");
constexpr int kRows = 20;
} // namespace

TPRODUCTS::TPRODUCTS(TComponent *AOwner) : TForm(AOwner) {
  SetUpDialog(this, QStringLiteral("PRODUCTS"), QStringLiteral("  Predefined List"), 692, 446);
  SetKeyPreview(true);
  OnKeyPress = TKeyPressEvent(this, &TPRODUCTS::FormKeyPress);
  OnClose = TCloseEvent(this, &TPRODUCTS::FormClose);

  OvcLabel1 = NewControl<TOvcLabel>(this, QStringLiteral("OvcLabel1"), Bounds(8, 4, 200, 26));
  OvcLabel1->SetColorScheme(csEmbossed);
  OvcLabel1->Font()->SetName(QStringLiteral("Arial"));
  OvcLabel1->Font()->SetSize(12);
  OvcLabel1->Font()->SetStyle(fsBold);
  OvcLabel1->SetCaption(kItems);

  Label1 = NewFixedLabel<TLabel>(this, QStringLiteral("Label1"), QStringLiteral("Double-click to Select"),
                                 Bounds(484, 12, 200, 16), taRightJustify);

  OvcDbTable1 = NewListTable(this, QStringLiteral("OvcDbTable1"), DD->dsPRODUCTS,
                             {{QStringLiteral("DESCRIPTION"), 596}, {QStringLiteral("ITEMPRICE"), 78}}, true,
                             36, kRows);
  OvcDbTable1->OnDblClick = TNotifyEvent(this, &TPRODUCTS::OvcDbTable1DblClick);

  ButtonNEW =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonNEW"), QStringLiteral("New"),
                                Bounds(8, 408, 88, 28), TNotifyEvent(this, &TPRODUCTS::ButtonNEWClick));
  ButtonEDIT =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonEDIT"), QStringLiteral("Edit"),
                                Bounds(104, 408, 88, 28), TNotifyEvent(this, &TPRODUCTS::ButtonEDITClick));
  ButtonCLOSE =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonCLOSE"), QStringLiteral("Close"),
                                Bounds(596, 408, 88, 28), TNotifyEvent(this, &TPRODUCTS::ButtonCLOSEClick));
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
  FocusWhenShown(this, OvcDbTable1);
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
  ShowOverMainWindow(PRODEDIT);
}

void TPRODUCTS::ButtonNEWClick(TObject *) { RunEditor(1); }

void TPRODUCTS::ButtonEDITClick(TObject *) {
  if (!DD->PRODUCTS->IsEmpty()) RunEditor(0);
}

void TPRODUCTS::ButtonCLOSEClick(TObject *) { Close(); }

void TPRODUCTS::FormKeyPress(TObject *, QChar &Key) { CloseOnEscape(this, Key); }

void TPRODUCTS::FormClose(TObject *, TCloseAction &) {
  // PRODUCTS is the data module's for every form: it is left whole, on the product picked or last shown.
  TffTable *products = DD->PRODUCTS;
  const TBookmark current = products->GetBookmark();
  products->CancelRange();
  if (!current.isEmpty() && products->BookmarkValid(current)) products->GotoBookmark(current);
}
