#include "app/customer_editor.h"
#include "app/data_module.h"
#include "app/form_behaviour.h"
#include "app/form_parts.h"
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
  SetUpDialog(this, QStringLiteral("CUSTEDIT"), QStringLiteral("  Edit Customer"), 376, 262);
  SetKeyPreview(true);
  OnKeyDown = TKeyEvent(this, &TCUSTEDIT::FormKeyDown);

  Label1 = NewLabel(this, QStringLiteral("Label1"), QStringLiteral("NAME"), 16, 12);
  Edit1 = NewEdit(this, QStringLiteral("Edit1"), Bounds(16, 30, 344, 23), kFieldSize);
  Label1->SetFocusControl(Edit1);
  Label2 = NewLabel(this, QStringLiteral("Label2"), QStringLiteral("ADDRESS"), 16, 64);
  Edit2 = NewEdit(this, QStringLiteral("Edit2"), Bounds(16, 82, 344, 23), kFieldSize);
  Edit3 = NewEdit(this, QStringLiteral("Edit3"), Bounds(16, 106, 344, 23), kFieldSize);
  Edit4 = NewEdit(this, QStringLiteral("Edit4"), Bounds(16, 130, 344, 23), kFieldSize);
  Edit5 = NewEdit(this, QStringLiteral("Edit5"), Bounds(16, 154, 344, 23), kFieldSize);
  Edit6 = NewEdit(this, QStringLiteral("Edit6"), Bounds(16, 178, 344, 23), kFieldSize);
  Label2->SetFocusControl(Edit2);

  ButtonSAVE =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonSAVE"), QStringLiteral("SAVE"),
                                Bounds(176, 220, 88, 28), TNotifyEvent(this, &TCUSTEDIT::ButtonSAVEClick));
  ButtonCANCEL =
      NewButton<TVrHyperButton>(this, QStringLiteral("ButtonCANCEL"), QStringLiteral("Cancel"),
                                Bounds(272, 220, 88, 28), TNotifyEvent(this, &TCUSTEDIT::ButtonCANCELClick));
}

TCUSTEDIT::~TCUSTEDIT() {
  if (CUSTEDIT == this) CUSTEDIT = nullptr;
}

void TCUSTEDIT::FocusName() { FocusWhenShown(this, Edit1); }

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
  PostOrCancel(cust, [&] {
    const QList<TEdit *> edits = Edits();
    for (int i = 0; i < edits.size(); ++i) cust->FieldByName(kFields[i])->SetAsString(edits[i]->Text());
  });
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
