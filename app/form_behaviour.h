// What the program's forms do alike, whatever they hold.
#pragma once
#include <QChar>

class TCustomForm;
class TWinControl;

// Gives Control the focus: at once when Form shows, else as soon as it is shown. A control that cannot take
// the focus (hidden or disabled) is left as it is.
void FocusWhenShown(TCustomForm *Form, TWinControl *Control);

// Closes Form on Escape (for its OnKeyPress with KeyPreview), the key then handled.
void CloseOnEscape(TCustomForm *Form, QChar &Key);
