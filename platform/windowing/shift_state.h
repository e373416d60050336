// The shift state of input events as the class library reports it, and the keyboard and mouse state that
// Win32's GetKeyState answers: the state as of the input message being handled.
#pragma once
#include "platform/windowing/messages.h"
#include <Qt>
#include <cstdint>
#include <initializer_list>

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

// A set of TShiftStateFlag.
class TShiftState {
public:
  TShiftState() = default;
  TShiftState(std::initializer_list<TShiftStateFlag> flags) {
    for (TShiftStateFlag f : flags) Include(f);
  }
  bool Contains(TShiftStateFlag flag) const { return (bits_ & Bit(flag)) != 0; }
  TShiftState &Include(TShiftStateFlag flag) {
    bits_ |= Bit(flag);
    return *this;
  }
  TShiftState &Exclude(TShiftStateFlag flag) {
    bits_ &= ~Bit(flag);
    return *this;
  }
  bool Empty() const { return bits_ == 0; }
  bool operator==(const TShiftState &other) const = default;
  std::uint8_t Bits() const { return bits_; }

private:
  static std::uint8_t Bit(TShiftStateFlag flag) { return std::uint8_t(1u << unsigned(flag)); }
  std::uint8_t bits_ = 0;
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// The class library's conversions: mouse-message key flags (MK_*) and keyboard-message key data.
TShiftState KeysToShiftState(WORD Keys);
// ssAlt from the context bit of the key data, ssShift and ssCtrl from the keyboard state.
TShiftState KeyDataToShiftState(LPARAM KeyData);
// The MK_* flags of a mouse message.
WPARAM MouseKeyFlags(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// Records the keyboard modifiers and mouse buttons of the input event being translated.
void SetInputState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
Qt::MouseButtons InputButtons();

// Win32 GetKeyState: negative (high bit set) when the key is down. Knows the shift keys (VK_SHIFT,
// VK_CONTROL, VK_MENU and their left/right forms, answering for either side) and the mouse buttons; 0 for
// other keys.
short GetKeyState(int VirtualKey);
