// Pictures of controls as they are on the screen, for tests and for looking at forms built in code.
#pragma once
#include <QImage>
#include <QString>

class TControl;

// The control as it is drawn now (its window and everything inside), created and laid out first when
// needed; a null image when the control has no window.
QImage GrabControl(TControl *Control);
// Saves GrabControl's picture as a PNG file; false when there is nothing to save or the file cannot be
// written.
bool SaveControlPng(TControl *Control, const QString &FileName);
