// The parts the program's forms are built of in code, each made and placed in one call, so that a form says
// only what is its own: a part's name, caption, place and event. Every part is owned by the form, which frees
// it; Parent, where a part shows, is the form itself unless given. Bounds are a TRect: Bounds(Left, Top,
// Width, Height) or Rect(Left, Top, Right, Bottom).
#pragma once
#include "platform/core/alignment.h"
#include "platform/core/events.h"
#include "platform/core/types.h"
#include "platform/graphics/color.h"
#include "platform/windowing/forms.h"

class TEdit;
class TFloatEdit;
class TLabel;
class TMenuItem;
class TPanel;
class TPopupMenu;

// Names the form and makes it a dialog of a fixed size without border icons (no close box: it closes by its
// own buttons and keys), its client area ClientWidth x ClientHeight.
void SetUpDialog(TForm *Form, const QString &Name, const QString &Caption, int ClientWidth, int ClientHeight);

// A component of class T owned by Owner, named Name.
template <class T>
T *NewComponent(TComponent *Owner, const QString &Name) {
  auto *component = new T(Owner);
  component->SetName(Name);
  return component;
}

// A control of class T on Parent at Bounds.
template <class T>
T *NewControl(TForm *Form, TWinControl *Parent, const QString &Name, const TRect &Bounds) {
  T *control = NewComponent<T>(Form, Name);
  control->SetParent(Parent);
  control->SetBoundsRect(Bounds);
  return control;
}
template <class T>
T *NewControl(TForm *Form, const QString &Name, const TRect &Bounds) {
  return NewControl<T>(Form, Form, Name, Bounds);
}

// A button of class T (a push, hyper, radio or focus-keeping button) with its caption and its OnClick.
template <class T>
T *NewButton(TForm *Form, TWinControl *Parent, const QString &Name, const QString &Caption,
             const TRect &Bounds, const TNotifyEvent &OnClick = {}) {
  T *button = NewControl<T>(Form, Parent, Name, Bounds);
  button->SetCaption(Caption);
  if (OnClick) button->OnClick = OnClick;
  return button;
}
template <class T>
T *NewButton(TForm *Form, const QString &Name, const QString &Caption, const TRect &Bounds,
             const TNotifyEvent &OnClick = {}) {
  return NewButton<T>(Form, Form, Name, Caption, Bounds, OnClick);
}

// A label at Left, Top, sized to its caption.
TLabel *NewLabel(TForm *Form, TWinControl *Parent, const QString &Name, const QString &Caption, int Left,
                 int Top);
TLabel *NewLabel(TForm *Form, const QString &Name, const QString &Caption, int Left, int Top);

// A label of class T (a TLabel or one of its kind) that keeps the size of Bounds whatever its caption.
template <class T>
T *NewFixedLabel(TForm *Form, TWinControl *Parent, const QString &Name, const QString &Caption,
                 const TRect &Bounds, TAlignment Alignment = taLeftJustify) {
  T *label = NewComponent<T>(Form, Name);
  label->SetParent(Parent);
  label->SetAutoSize(false);
  label->SetAlignment(Alignment);
  label->SetBoundsRect(Bounds);
  label->SetCaption(Caption);
  return label;
}
template <class T>
T *NewFixedLabel(TForm *Form, const QString &Name, const QString &Caption, const TRect &Bounds,
                 TAlignment Alignment = taLeftJustify) {
  return NewFixedLabel<T>(Form, Form, Name, Caption, Bounds, Alignment);
}

// A one-line edit that takes at most MaxLength characters.
TEdit *NewEdit(TForm *Form, const QString &Name, const TRect &Bounds, int MaxLength);

// A number field from Min to Max with Digits decimals, whose refusals name it by Caption, the label it has
// on the form.
TFloatEdit *NewFloatEdit(TForm *Form, const QString &Name, const QString &Caption, int Digits, double Min,
                         double Max, const TRect &Bounds);

// A title bar: the caption in bold on a flat panel of colour Color.
TPanel *NewTitle(TForm *Form, const QString &Name, const QString &Caption, const TRect &Bounds, TColor Color);

// An item added at the end of Menu, owned by the menu's owner ("-" is a separator line).
TMenuItem *NewMenuItem(TPopupMenu *Menu, const QString &Name, const QString &Caption,
                       const TNotifyEvent &OnClick = {});
