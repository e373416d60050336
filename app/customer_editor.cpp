#include "app/customer_editor.h"
#include "app/data_module.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"

TCUSTEDIT *CUSTEDIT = nullptr;

namespace {
// CUST's fields, in the order of the edits.
const QStringList kFields = {QStringLiteral("CUSTOMER"), QStringLiteral("ADDR1"), QStringLiteral("ADDR2"),
                             QStringLiteral("ADDR3"),    QStringLiteral("ADDR4"), QStringLiteral("ADDR5")};
// The size of each of those fields.
constexpr int kFieldSize = 50;
constexpr int kInsert = 1;
constexpr int kEdit = 0;
} // namespace

TCUSTEDIT::TCUSTEDIT(TComponent *AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("CUSTEDIT"));
  SetCaption(QStringLiteral("  Edit Customer"));
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{});
  SetClientSize(376, 262);
  SetKeyPreview(true);
  OnKeyDown = TKeyEvent(this, &TCUSTEDIT::FormKeyDown);

  const auto NewLabel = [this](const QString &Name, const QString &Caption, int Top) {
    auto *label = new TLabel(this);
    label->SetName(Name);
    label->SetParent(this);
    label->SetLeft(16);
    label->SetTop(Top);
    label->SetCaption(Caption);
    return label;
  };
  const auto NewEdit = [this](const QString &Name, int Top) {
    auto *edit = new TEdit(this);
    edit->SetName(Name);
    edit->SetParent(this);
    edit->SetBounds(16, Top, 344, 23);
    edit->SetMaxLength(kFieldSize);
    return edit;
  };
  Label1 = NewLabel(QStringLiteral("Label1"), QStringLiteral("NAME"), 12);
  Edit1 = NewEdit(QStringLiteral("Edit1"), 30);
  Label1->SetFocusControl(Edit1);
  Label2 = NewLabel(QStringLiteral("Label2"), QStringLiteral("ADDRESS"), 64);
  Edit2 = NewEdit(QStringLiteral("Edit2"), 82);
  Edit3 = NewEdit(QStringLiteral("Edit3"), 106);
  Edit4 = NewEdit(QStringLiteral("Edit4"), 130);
  Edit5 = NewEdit(QStringLiteral("Edit5"), 154);
  Edit6 = NewEdit(QStringLiteral("Edit6"), 178);
  Label2->SetFocusControl(Edit2);

  const auto NewButton = [this](const QString &Name, const QString &Caption, int Left) {
    auto *button = new TVrHyperButton(this);
    button->SetName(Name);
    button->SetParent(this);
    button->SetBounds(Left, 220, 88, 28);
    button->SetCaption(Caption);
    return button;
  };
  ButtonSAVE = NewButton(QStringLiteral("ButtonSAVE"), QStringLiteral("SAVE"), 176);
  ButtonSAVE->OnClick = TNotifyEvent(this, &TCUSTEDIT::ButtonSAVEClick);
  ButtonCANCEL = NewButton(QStringLiteral("ButtonCANCEL"), QStringLiteral("Cancel"), 272);
  ButtonCANCEL->OnClick = TNotifyEvent(this, &TCUSTEDIT::ButtonCANCELClick);
}

TCUSTEDIT::~TCUSTEDIT() {
  if (CUSTEDIT == this) CUSTEDIT = nullptr;
}

void TCUSTEDIT::FocusName() {
  if (Showing())
    Edit1->SetFocus();
  else
    SetActiveControl(Edit1);
}

void TCUSTEDIT::FillBlank() {
  for (TEdit *edit : Edits()) edit->SetText(QString());
  FocusName();
  ButtonSAVE->SetTag(kInsert);
  SetCaption(QStringLiteral("  Add Customer"));
}

void TCUSTEDIT::FillCurrent() {
  const QList<TEdit *> edits = Edits();
  for (int i = 0; i < edits.size(); ++i) edits[i]->SetText(DD->CUST->FieldByName(kFields[i])->AsString());
  FocusName();
  ButtonSAVE->SetTag(kEdit);
  SetCaption(QStringLiteral("  Edit Customer"));
}

void TCUSTEDIT::ButtonSAVEClick(TObject *) {
  if (Edit1->Text().trimmed().isEmpty()) {
    ShowMessage(QStringLiteral("Error:  You must supply a Customer Name."));
    return FocusName();
  }
  TffTable *cust = DD->CUST;
  if (ButtonSAVE->Tag() == kInsert)
    cust->Insert();
  else
    cust->Edit();
  try {
    const QList<TEdit *> edits = Edits();
    for (int i = 0; i < edits.size(); ++i) cust->FieldByName(kFields[i])->SetAsString(edits[i]->Text());
    cust->Post();
  } catch (...) {
    // Nothing half-made stays behind in the table; the application reports the failure.
    cust->Cancel();
    throw;
  }
  SetModalResult(mrOk);
}

void TCUSTEDIT::ButtonCANCELClick(TObject *) { Close(); }

void TCUSTEDIT::FormKeyDown(TObject *, WORD &Key, TShiftState) {
  if (Key == VK_ESCAPE) {
    Key = 0;
    Close();
  } else if (Key == VK_RETURN) {
    Key = 0;
    ButtonSAVEClick(this);
  }
}
