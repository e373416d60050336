#include "app/form_parts.h"
#include "controls/edits/float_edit.h"
#include "platform/widgets/menus.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/widgets/std_panels.h"
#include <QMenu> // menus.h keeps its menu in a QPointer

void SetUpDialog(TForm *Form, const QString &Name, const QString &Caption, int ClientWidth,
                 int ClientHeight) {
  Form->SetName(Name);
  Form->SetCaption(Caption);
  Form->SetBorderStyle(bsDialog);
  Form->SetBorderIcons(TBorderIcons{});
  Form->SetClientSize(ClientWidth, ClientHeight);
}

TLabel *NewLabel(TForm *Form, TWinControl *Parent, const QString &Name, const QString &Caption, int Left,
                 int Top) {
  auto *label = NewComponent<TLabel>(Form, Name);
  label->SetParent(Parent);
  label->SetLeft(Left);
  label->SetTop(Top);
  label->SetCaption(Caption);
  return label;
}

TLabel *NewLabel(TForm *Form, const QString &Name, const QString &Caption, int Left, int Top) {
  return NewLabel(Form, Form, Name, Caption, Left, Top);
}

TEdit *NewEdit(TForm *Form, const QString &Name, const TRect &Bounds, int MaxLength) {
  auto *edit = NewControl<TEdit>(Form, Name, Bounds);
  edit->SetMaxLength(MaxLength);
  return edit;
}

TFloatEdit *NewFloatEdit(TForm *Form, const QString &Name, const QString &Caption, int Digits, double Min,
                         double Max, const TRect &Bounds) {
  auto *edit = NewControl<TFloatEdit>(Form, Name, Bounds);
  edit->SetDigits(Digits);
  edit->SetMax(Max);
  edit->SetMin(Min);
  edit->SetErrorMessage(QStringLiteral("%1 must be %2.").arg(Caption, edit->NumberRule()));
  return edit;
}

TPanel *NewTitle(TForm *Form, const QString &Name, const QString &Caption, const TRect &Bounds,
                 TColor Color) {
  auto *panel = NewControl<TPanel>(Form, Name, Bounds);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(Color);
  panel->Font()->SetStyle(fsBold);
  panel->SetCaption(Caption);
  return panel;
}

TMenuItem *NewMenuItem(TPopupMenu *Menu, const QString &Name, const QString &Caption,
                       const TNotifyEvent &OnClick) {
  auto *item = NewComponent<TMenuItem>(Menu->Owner(), Name);
  item->SetCaption(Caption);
  if (OnClick) item->OnClick = OnClick;
  Menu->Items()->Add(item);
  return item;
}
