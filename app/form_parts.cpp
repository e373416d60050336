#include "app/form_parts.h"

TLabel *NewLabel(TForm *Form, TWinControl *Parent, const QString &Name, const QString &Caption, int Left,
                 int Top) {
  auto *label = new TLabel(Form);
  label->SetName(Name);
  label->SetParent(Parent);
  label->SetLeft(Left);
  label->SetTop(Top);
  label->SetCaption(Caption);
  return label;
}
