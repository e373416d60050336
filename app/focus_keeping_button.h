// TFocusKeepingButton: a push button that a mouse click does not give the focus. The control being typed in
// keeps it (an entry grid its editor), so that the button's action can take over the value being typed, or
// refuse it and leave it there to be mended; a number being typed is checked once, by the action's own
// refusal. The keyboard still reaches the button with Tab.
#pragma once
#include "platform/widgets/std_buttons.h"

class TFocusKeepingButton : public TButton {
public:
  using TButton::TButton;
  QString ClassName() const override { return QStringLiteral("TFocusKeepingButton"); }

protected:
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
};
