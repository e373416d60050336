#include "controls/control_helpers.h"
#include "platform/virtual_keys.h"
#include <QDate>
#include <QGuiApplication>

std::uint8_t GetShiftFlags() {
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  std::uint8_t flags = ss_None;
  if (modifiers & Qt::ShiftModifier) flags |= ss_Shift;
  if (modifiers & Qt::ControlModifier) flags |= ss_Ctrl;
  if (modifiers & Qt::AltModifier) flags |= ss_Alt;
  return flags;
}

// Qt reports the primary button as the left one whatever the user's handedness setting, so the left button's
// key is always the primary one here.
std::uint8_t GetLeftButton() { return VK_LBUTTON; }

int DefaultEpoch() { return QDate::currentDate().year() / 100 * 100; }
