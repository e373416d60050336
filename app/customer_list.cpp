#include "app/customer_list.h"
#include "app/customer_editor.h"
#include "app/data_module.h"
#include "app/dialog_placement.h"
#include "app/form_behaviour.h"
#include "app/form_parts.h"

TCUSTLIST *CUSTLIST = nullptr;

namespace {
// The size of CUST.CUSTOMER: a longer text finds nothing more.
constexpr int kNameSize = 50;
constexpr int kRows = 16;
} // namespace

TCUSTLIST::TCUSTLIST(TComponent *AOwner) : TForm(AOwner) {
  SetUpDialog(this, QStringLiteral("CUSTLIST"), QStringLiteral("Customers - double click to select"), 322,
              366);
  SetKeyPreview(true);
  OnKeyPress = TKeyPressEvent(this, &TCUSTLIST::FormKeyPress);

  Label1 = NewLabel(this, QStringLiteral("Label1"), QStringLiteral("FIND"), 8, 12);
  Edit1 = NewEdit(this, QStringLiteral("Edit1"), Bounds(48, 8, 266, 23), kNameSize);
  Edit1->OnChange = TNotifyEvent(this, &TCUSTLIST::Edit1Change);
  Label1->SetFocusControl(Edit1);

  OvcDbTable1 = NewListTable(this, QStringLiteral("OvcDbTable1"), DD->dsCUST,
                             {{QStringLiteral("CUSTOMER"), 304}}, false, 40, kRows);
  OvcDbTable1->OnDblClick = TNotifyEvent(this, &TCUSTLIST::OvcDbTable1DblClick);

  ButtonNEW =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonNEW"), QStringLiteral("New"),
                                Bounds(8, 328, 88, 28), TNotifyEvent(this, &TCUSTLIST::ButtonNEWClick));
  ButtonEDIT =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonEDIT"), QStringLiteral("Edit"),
                                Bounds(104, 328, 88, 28), TNotifyEvent(this, &TCUSTLIST::ButtonEDITClick));
  ButtonCLOSE =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonCLOSE"), QStringLiteral("Close"),
                                Bounds(226, 328, 88, 28), TNotifyEvent(this, &TCUSTLIST::ButtonCLOSEClick));
}

TCUSTLIST::~TCUSTLIST() {
  if (CUSTLIST == this) CUSTLIST = nullptr;
}

void TCUSTLIST::FocusList() { FocusWhenShown(this, OvcDbTable1); }

void TCUSTLIST::SetUp() {
  SetTag(0);
  Edit1->SetText(QString());
  FocusList();
  DD->CUST->First();
}

bool TCUSTLIST::PickCustomer() {
  SetUp();
  ShowOverMainWindow(this);
  return Tag() == 1;
}

void TCUSTLIST::Edit1Change(TObject *) {
  const QString text = Edit1->Text();
  if (!text.isEmpty()) DD->CUST->FindNearest({Variant(text)});
}

void TCUSTLIST::OvcDbTable1DblClick(TObject *) {
  if (!OvcDbTable1->DoubleClickedOnRecord() || DD->CUST->IsEmpty()) return;
  SetTag(1);
  SetModalResult(mrOk);
}

void TCUSTLIST::ButtonNEWClick(TObject *) {
  CUSTEDIT->FillBlank();
  ShowOverMainWindow(CUSTEDIT);
}

void TCUSTLIST::ButtonEDITClick(TObject *) {
  if (DD->CUST->IsEmpty()) return;
  CUSTEDIT->FillCurrent();
  ShowOverMainWindow(CUSTEDIT);
}

void TCUSTLIST::ButtonCLOSEClick(TObject *) { Close(); }

void TCUSTLIST::FormKeyPress(TObject *, QChar &Key) { CloseOnEscape(this, Key); }
