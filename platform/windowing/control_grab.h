// Pictures of controls as they are on the screen, for tests and for looking at forms built in code.
#pragma once
#include <QImage>

class TControl;

// The control as it is drawn now (its window and everything inside), created and laid out first when
// needed; a null image when the control has no window.
QImage GrabControl(TControl *Control);
