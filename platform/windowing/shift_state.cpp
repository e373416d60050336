#include "platform/windowing/shift_state.h"
#include "platform/windowing/virtual_keys.h"

namespace {
Qt::KeyboardModifiers g_modifiers;
Qt::MouseButtons g_buttons;

short KeyStateFrom(int vk, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  bool down = false;
  switch (vk) {
  case VK_SHIFT:
  case VK_LSHIFT:
  case VK_RSHIFT: down = modifiers.testFlag(Qt::ShiftModifier); break;
  case VK_CONTROL:
  case VK_LCONTROL:
  case VK_RCONTROL: down = modifiers.testFlag(Qt::ControlModifier); break;
  case VK_MENU:
  case VK_LMENU:
  case VK_RMENU: down = modifiers.testFlag(Qt::AltModifier); break;
  case VK_LBUTTON: down = buttons.testFlag(Qt::LeftButton); break;
  case VK_RBUTTON: down = buttons.testFlag(Qt::RightButton); break;
  case VK_MBUTTON: down = buttons.testFlag(Qt::MiddleButton); break;
  default: break;
  }
  return down ? short(-32768) : short(0);
}
} // namespace

TShiftState KeysToShiftState(WORD Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s.Include(ssShift);
  if (Keys & MK_CONTROL) s.Include(ssCtrl);
  if (Keys & MK_LBUTTON) s.Include(ssLeft);
  if (Keys & MK_RBUTTON) s.Include(ssRight);
  if (Keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (KeyData & KF_ALTDOWN) s.Include(ssAlt);
  return s;
}

WPARAM MouseKeyFlags(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  WPARAM keys = 0;
  if (buttons.testFlag(Qt::LeftButton)) keys |= MK_LBUTTON;
  if (buttons.testFlag(Qt::RightButton)) keys |= MK_RBUTTON;
  if (buttons.testFlag(Qt::MiddleButton)) keys |= MK_MBUTTON;
  if (modifiers.testFlag(Qt::ShiftModifier)) keys |= MK_SHIFT;
  if (modifiers.testFlag(Qt::ControlModifier)) keys |= MK_CONTROL;
  return keys;
}

void SetInputState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  g_modifiers = modifiers;
  g_buttons = buttons;
}

Qt::MouseButtons InputButtons() { return g_buttons; }

short GetKeyState(int VirtualKey) { return KeyStateFrom(VirtualKey, g_modifiers, g_buttons); }
