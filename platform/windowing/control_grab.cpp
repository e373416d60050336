#include "platform/windowing/control_grab.h"
#include "platform/windowing/controls.h"
#include <QApplication>
#include <QWidget>

QImage GrabControl(TControl *Control) {
  if (!Control) return QImage();
  QWidget *widget = Control->WidgetNeeded();
  if (!widget) return QImage();
  if (auto *win = dynamic_cast<TWinControl *>(Control)) win->CreateChildWidgets();
  QApplication::processEvents();
  return widget->grab().toImage();
}
