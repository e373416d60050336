// Where the application's dialogs show: centred over the main window (TDD::FormPosLeft / FormPosTop), never
// before its left or top edge. Callers place a dialog this way right before they show it.
#pragma once

class TCustomForm;

void CentreOverMainWindow(TCustomForm *Dialog);
