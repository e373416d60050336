#include "app/form_behaviour.h"
#include "platform/windowing/forms.h"

void FocusWhenShown(TCustomForm *Form, TWinControl *Control) {
  if (!Control->CanFocus()) return;
  if (Form->Showing())
    Control->SetFocus();
  else
    Form->SetActiveControl(Control);
}

void CloseOnEscape(TCustomForm *Form, QChar &Key) {
  if (Key != QChar(0x1B)) return;
  Key = QChar();
  Form->Close();
}
