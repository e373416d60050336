// TF1 (F1): the program's main window. Closing it ends the program.
#pragma once
#include "platform/windowing/forms.h"

class TF1 : public TForm {
public:
  explicit TF1(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TF1"); }
};

extern TF1 *F1;
