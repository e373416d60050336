#include "report/ui/search_form.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "report/ui/dialog_parts.h"
#include "report/ui/ui_texts.h"

TfrPreviewSearchForm::TfrPreviewSearchForm(TComponent *AOwner) : TForm(AOwner) {
  SetCaption(frtext::FindText);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(336, 170);
  Font()->SetName(QStringLiteral("Arial"));
  Font()->SetSize(8);

  Label1 = new TLabel(this);
  Label1->SetBounds(8, 10, 200, 14);
  Label1->SetParent(this);
  Label1->SetCaption(frtext::TextToFind);
  Edit1 = new TEdit(this);
  Edit1->SetBounds(8, 28, 320, 21);
  Edit1->SetParent(this);
  Label1->SetFocusControl(Edit1);

  GroupBox1 = new TfrGroupFrame(this);
  GroupBox1->SetBounds(8, 60, 156, 64);
  GroupBox1->SetParent(this);
  GroupBox1->SetCaption(frtext::Options);
  CB1 = new TCheckBox(this);
  CB1->SetBounds(18, 82, 140, 17);
  CB1->SetParent(this);
  CB1->SetCaption(frtext::CaseSensitive);

  GroupBox2 = new TfrGroupFrame(this);
  GroupBox2->SetBounds(172, 60, 156, 64);
  GroupBox2->SetParent(this);
  GroupBox2->SetCaption(frtext::Origin);
  RB1 = new TRadioButton(this);
  RB1->SetBounds(182, 78, 140, 17);
  RB1->SetParent(this);
  RB1->SetCaption(frtext::FirstPage);
  RB1->SetChecked(true);
  RB2 = new TRadioButton(this);
  RB2->SetBounds(182, 98, 140, 17);
  RB2->SetParent(this);
  RB2->SetCaption(frtext::CurrentPage);

  Button1 = new TButton(this);
  Button1->SetBounds(172, 136, 75, 25);
  Button1->SetParent(this);
  Button1->SetCaption(frtext::OK);
  Button1->SetDefault(true);
  Button1->SetModalResult(mrOk);
  Button2 = new TButton(this);
  Button2->SetBounds(253, 136, 75, 25);
  Button2->SetParent(this);
  Button2->SetCaption(frtext::Cancel);
  Button2->SetCancel(true);
  Button2->SetModalResult(mrCancel);
  SetActiveControl(Edit1);
}

void TfrPreviewSearchForm::Activate() {
  TForm::Activate();
  if (Edit1->CanFocus()) {
    Edit1->SetFocus();
    Edit1->SelectAll();
  }
}

void TfrPreviewSearchForm::SetRequest(const TfrFindRequest &Request) {
  Edit1->SetText(Request.Text);
  CB1->SetChecked(Request.CaseSensitive);
  RB1->SetChecked(Request.FromFirstPage);
  RB2->SetChecked(!Request.FromFirstPage);
}

TfrFindRequest TfrPreviewSearchForm::Request() const {
  return TfrFindRequest{Edit1->Text(), CB1->Checked(), RB1->Checked()};
}

bool frRunFindDialog(TfrFindRequest &Request) {
  auto *form = TCustomForm::Create<TfrPreviewSearchForm>(nullptr);
  TfrFindRequest shown = Request;
  shown.FromFirstPage = true; // the origin starts at the first page each time
  form->SetRequest(shown);
  const bool ok = form->ShowModal() == mrOk;
  if (ok) Request = form->Request();
  form->Free();
  return ok;
}
