// Where the application's dialogs show: centred over the main window (TDD::FormPosLeft / FormPosTop), never
// before its left or top edge. Callers place a dialog this way right before they show it, or have
// ShowOverMainWindow place and show it.
#pragma once
#include "platform/windowing/forms.h"

void CentreOverMainWindow(TCustomForm *Dialog);
// Shows Dialog modally, centred over the main window; returns its modal result.
TModalResult ShowOverMainWindow(TCustomForm *Dialog);
