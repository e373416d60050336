#include "app/main_form.h"

TF1 *F1 = nullptr;

TF1::TF1(TComponent *AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("F1"));
  SetCaption(QStringLiteral("  TALLYROOK Billsprints V1.1"));
  SetBorderStyle(bsDialog);
  // The window keeps its close box until its own EXIT button is there to close it.
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetClientSize(696, 466);
  SetPosition(poScreenCenter);
  SetColor(16245981);
}
