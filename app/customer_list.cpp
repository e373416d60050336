#include "app/customer_list.h"
#include "app/customer_editor.h"
#include "app/data_module.h"
#include "app/dialog_placement.h"

TCUSTLIST *CUSTLIST = nullptr;

namespace {
// The size of CUST.CUSTOMER: a longer text finds nothing more.
constexpr int kNameSize = 50;
constexpr int kRows = 16;
} // namespace

TCUSTLIST::TCUSTLIST(TComponent *AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("CUSTLIST"));
  SetCaption(QStringLiteral("Customers - double click to select"));
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{});
  SetClientSize(322, 366);
  SetKeyPreview(true);
  OnKeyPress = TKeyPressEvent(this, &TCUSTLIST::FormKeyPress);

  Label1 = new TLabel(this);
  Label1->SetName(QStringLiteral("Label1"));
  Label1->SetParent(this);
  Label1->SetLeft(8);
  Label1->SetTop(12);
  Label1->SetCaption(QStringLiteral("FIND"));

  Edit1 = new TEdit(this);
  Edit1->SetName(QStringLiteral("Edit1"));
  Edit1->SetParent(this);
  Edit1->SetBounds(48, 8, 266, 23);
  Edit1->SetMaxLength(kNameSize);
  Edit1->OnChange = TNotifyEvent(this, &TCUSTLIST::Edit1Change);
  Label1->SetFocusControl(Edit1);

  OvcDbTable1 = new TListTable(this);
  OvcDbTable1->SetName(QStringLiteral("OvcDbTable1"));
  OvcDbTable1->SetParent(this);
  OvcDbTable1->ShowList(DD->dsCUST, {{QStringLiteral("CUSTOMER"), 304}}, false);
  const int width = std::min(ClientWidth(), OvcDbTable1->ListWidth());
  OvcDbTable1->SetBounds((ClientWidth() - width) / 2, 40, width, OvcDbTable1->ListHeight(kRows));
  OvcDbTable1->OnDblClick = TNotifyEvent(this, &TCUSTLIST::OvcDbTable1DblClick);

  const auto NewButton = [this](const QString &Name, const QString &Caption, int Left) {
    auto *button = new TVrHyperButton(this);
    button->SetName(Name);
    button->SetParent(this);
    button->SetBounds(Left, 328, 88, 28);
    button->SetCaption(Caption);
    return button;
  };
  ButtonNEW = NewButton(QStringLiteral("ButtonNEW"), QStringLiteral("New"), 8);
  ButtonNEW->OnClick = TNotifyEvent(this, &TCUSTLIST::ButtonNEWClick);
  ButtonEDIT = NewButton(QStringLiteral("ButtonEDIT"), QStringLiteral("Edit"), 104);
  ButtonEDIT->OnClick = TNotifyEvent(this, &TCUSTLIST::ButtonEDITClick);
  ButtonCLOSE = NewButton(QStringLiteral("ButtonCLOSE"), QStringLiteral("Close"), 226);
  ButtonCLOSE->OnClick = TNotifyEvent(this, &TCUSTLIST::ButtonCLOSEClick);
}

TCUSTLIST::~TCUSTLIST() {
  if (CUSTLIST == this) CUSTLIST = nullptr;
}

void TCUSTLIST::FocusList() {
  if (Showing())
    OvcDbTable1->SetFocus();
  else
    SetActiveControl(OvcDbTable1);
}

void TCUSTLIST::SetUp() {
  SetTag(0);
  Edit1->SetText(QString());
  FocusList();
  DD->CUST->First();
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
  CentreOverMainWindow(CUSTEDIT);
  CUSTEDIT->ShowModal();
}

void TCUSTLIST::ButtonEDITClick(TObject *) {
  if (DD->CUST->IsEmpty()) return;
  CUSTEDIT->FillCurrent();
  CentreOverMainWindow(CUSTEDIT);
  CUSTEDIT->ShowModal();
}

void TCUSTLIST::ButtonCLOSEClick(TObject *) { Close(); }

void TCUSTLIST::FormKeyPress(TObject *, QChar &Key) {
  if (Key == QChar(0x1B)) {
    Key = QChar();
    Close();
  }
}
