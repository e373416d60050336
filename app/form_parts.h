// The parts the program's forms are built of in code, made and placed in one call.
#pragma once
#include "platform/widgets/std_labels.h"
#include "platform/windowing/forms.h"

// A label owned by Form, shown on Parent (the form itself when none is given) at Left, Top.
TLabel *NewLabel(TForm *Form, TWinControl *Parent, const QString &Name, const QString &Caption, int Left,
                 int Top);
inline TLabel *NewLabel(TForm *Form, const QString &Name, const QString &Caption, int Left, int Top) {
  return NewLabel(Form, Form, Name, Caption, Left, Top);
}
