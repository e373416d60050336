// What the desktop tells the application, for tests on the offscreen platform: the mouse moving over the
// screen (Qt then sends the widgets their enter, leave and move events) and another application taking the
// activation away (Qt's application state turns inactive).
#pragma once
#include "gui_test_helpers.h"
#include <QCursor>
#include <QGuiApplication>
#include <qpa/qwindowsysteminterface.h>

namespace guitest {

// Moves the mouse to a point of the screen.
inline void MoveMouseTo(const QPoint &Screen) {
  QCursor::setPos(Screen);
  ProcessEvents();
}

// Moves the mouse to a client point of a control.
inline void MoveMouseTo(TControl *Control, const QPoint &Client) {
  const TPoint origin = Control->ClientOrigin();
  MoveMouseTo(QPoint(origin.X + Client.x(), origin.Y + Client.y()));
}

// Takes the mouse away from every window when it goes out of scope, so that later tests start without it.
struct MouseParker {
  MouseParker() = default;
  MouseParker(const MouseParker &) = delete;
  MouseParker &operator=(const MouseParker &) = delete;
  ~MouseParker() { MoveMouseTo(QPoint(-10000, -10000)); }
};

// Another application becomes the active one: no window of ours is active any more.
inline void ActivateOtherApplication() {
  QWindowSystemInterface::handleWindowActivated(nullptr);
  ProcessEvents();
}

// The user comes back to Form's window.
inline void ActivateWindowOf(TCustomForm *Form) {
  QWidget *window = Form->Widget();
  if (!window) return;
  QWindowSystemInterface::handleWindowActivated(window->windowHandle());
  ProcessEvents();
}

} // namespace guitest
