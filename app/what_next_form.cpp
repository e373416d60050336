#include "app/what_next_form.h"
#include "app/form_parts.h"

TWOTNEXT *WOTNEXT = nullptr;

TWOTNEXT::TWOTNEXT(TComponent *AOwner) : TForm(AOwner) {
  SetUpDialog(this, QStringLiteral("WOTNEXT"), QStringLiteral("  Tallyrook"), 206, 201);

  RB1 = NewButton<TRadioButton>(this, QStringLiteral("RB1"), QStringLiteral("EXIT"), Bounds(24, 20, 174, 20));
  RB2 = NewButton<TRadioButton>(this, QStringLiteral("RB2"), QStringLiteral("New Invoice, blank"),
                                Bounds(24, 52, 174, 20));
  RB3 = NewButton<TRadioButton>(this, QStringLiteral("RB3"), QStringLiteral("New Invoice, Same Customer"),
                                Bounds(24, 84, 174, 20));
  RB4 = NewButton<TRadioButton>(this, QStringLiteral("RB4"), QStringLiteral("Same Invoice, New Customer"),
                                Bounds(24, 116, 174, 20));
  RB1->SetChecked(true);

  Button1 = NewButton<TButton>(this, QStringLiteral("Button1"), QStringLiteral("OK"), Bounds(65, 158, 75, 27),
                               TNotifyEvent(this, &TWOTNEXT::Button1Click));
  Button1->SetDefault(true);
}

TWOTNEXT::~TWOTNEXT() {
  if (WOTNEXT == this) WOTNEXT = nullptr;
}

void TWOTNEXT::Button1Click(TObject *) { SetModalResult(mrOk); }
