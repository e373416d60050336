#include "app/focus_keeping_button.h"
#include <QWidget>

QWidget *TFocusKeepingButton::CreateWindowWidget(const TCreateParams &Params) {
  QWidget *widget = TButton::CreateWindowWidget(Params);
  widget->setFocusPolicy(Qt::TabFocus);
  return widget;
}
