#include "app/what_next_form.h"

TWOTNEXT *WOTNEXT = nullptr;

TWOTNEXT::TWOTNEXT(TComponent *AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("WOTNEXT"));
  SetCaption(QStringLiteral("  Tallyrook"));
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{});
  SetClientSize(206, 201);

  const auto NewChoice = [this](const QString &Name, const QString &Caption, int Top) {
    auto *choice = new TRadioButton(this);
    choice->SetName(Name);
    choice->SetParent(this);
    choice->SetBounds(24, Top, 174, 20);
    choice->SetCaption(Caption);
    return choice;
  };
  RB1 = NewChoice(QStringLiteral("RB1"), QStringLiteral("EXIT"), 20);
  RB2 = NewChoice(QStringLiteral("RB2"), QStringLiteral("New Invoice, blank"), 52);
  RB3 = NewChoice(QStringLiteral("RB3"), QStringLiteral("New Invoice, Same Customer"), 84);
  RB4 = NewChoice(QStringLiteral("RB4"), QStringLiteral("Same Invoice, New Customer"), 116);
  RB1->SetChecked(true);

  Button1 = new TButton(this);
  Button1->SetName(QStringLiteral("Button1"));
  Button1->SetParent(this);
  Button1->SetBounds(65, 158, 75, 27);
  Button1->SetCaption(QStringLiteral("OK"));
  Button1->SetDefault(true);
  Button1->OnClick = TNotifyEvent(this, &TWOTNEXT::Button1Click);
}

TWOTNEXT::~TWOTNEXT() {
  if (WOTNEXT == this) WOTNEXT = nullptr;
}

void TWOTNEXT::Button1Click(TObject *) { SetModalResult(mrOk); }
