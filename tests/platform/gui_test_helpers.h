// Helpers for tests that drive controls through Qt events, as a person would, on the offscreen platform.
#pragma once
#include "platform/windowing/controls.h"
#include "platform/windowing/forms.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace guitest {

inline void ProcessEvents() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Shows the form and makes its window the active one.
inline void ShowAndActivate(TCustomForm *form) {
  form->Show();
  ProcessEvents();
  if (QWidget *w = form->Widget()) {
    w->activateWindow();
    ProcessEvents();
  }
}

// The widget that has the keyboard focus (where key events go).
inline QWidget *FocusWidget() { return QApplication::focusWidget(); }

// Sends a key press and release to the focused widget (or to Target).
inline void PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     const QString &text = QString(), quint32 nativeScanCode = 0, QWidget *target = nullptr) {
  if (!target) target = FocusWidget();
  if (!target) return;
  QKeyEvent press(QEvent::KeyPress, key, modifiers, nativeScanCode, 0, 0, text);
  QApplication::sendEvent(target, &press);
  QWidget *now = FocusWidget() ? FocusWidget() : target;
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, nativeScanCode, 0, 0, text);
  QApplication::sendEvent(now, &release);
}

// Sends a mouse event to a control's widget at a client point.
inline void SendMouse(TControl *control, QEvent::Type type, Qt::MouseButton button, const QPoint &client,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget *w = control->Widget();
  const TPoint origin = control->ClientOrigin();
  const QPoint local = w->mapFromGlobal(QPoint(origin.X + client.x(), origin.Y + client.y()));
  QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons, modifiers);
  QApplication::sendEvent(w, &event);
}

inline void Click(TControl *control, const QPoint &client, Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(control, QEvent::MouseButtonPress, button, client, button);
  SendMouse(control, QEvent::MouseButtonRelease, button, client, Qt::NoButton);
}

} // namespace guitest
