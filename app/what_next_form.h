// TWOTNEXT (WOTNEXT): after an invoice was stored, asks what comes next. The caller checks RB1 ("EXIT") and
// focuses it before each show, and reads which choice is checked once OK (the default button) closed it.
#pragma once
#include "platform/widgets/std_buttons.h"
#include "platform/windowing/forms.h"

class TWOTNEXT : public TForm {
public:
  explicit TWOTNEXT(TComponent *AOwner);
  ~TWOTNEXT() override;
  QString ClassName() const override { return QStringLiteral("TWOTNEXT"); }

  // OK: closes the dialog.
  void Button1Click(TObject *Sender);

  TRadioButton *RB1 = nullptr; // "EXIT"
  TRadioButton *RB2 = nullptr; // "New Invoice, blank"
  TRadioButton *RB3 = nullptr; // "New Invoice, Same Customer"
  TRadioButton *RB4 = nullptr; // "Same Invoice, New Customer"
  TButton *Button1 = nullptr;
};

extern TWOTNEXT *WOTNEXT;
