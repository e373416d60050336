#include "app/dialog_placement.h"
#include "app/data_module.h"

void CentreOverMainWindow(TCustomForm *Dialog) {
  Dialog->SetBounds(DD->FormPosLeft(Dialog->Width()), DD->FormPosTop(Dialog->Height()), Dialog->Width(),
                    Dialog->Height());
}

TModalResult ShowOverMainWindow(TCustomForm *Dialog) {
  CentreOverMainWindow(Dialog);
  return Dialog->ShowModal();
}
