// Qt key events as the keyboard messages Windows sends for them: WM_KEYDOWN / WM_SYSKEYDOWN (or the key-up
// forms) with the Windows virtual-key code and key data, followed by the characters the key types, each a
// WM_CHAR (WM_SYSCHAR while Alt is held).
//
// Rules that follow Windows rather than Qt:
// - a digit typed with Shift is the digit's key ('1' for Shift+1, whose character is '!'); the US layout's
//   shifted symbols and, on X11, the key's position in the digit row both say which digit key it was;
// - keypad keys have their own codes (VK_NUMPAD0.., VK_ADD, VK_DECIMAL, ...); keypad Enter is VK_RETURN with
//   the extended bit, the main Return key VK_RETURN without;
// - Ctrl with a letter types the control character (Ctrl+A is 1), Ctrl+Return types line feed (10),
//   Ctrl+Backspace 127; Ctrl with other keys types nothing; Backspace, Tab, Return and Escape type 8, 9, 13
//   and 27; Delete and the navigation keys type nothing;
// - Alt with a key is a system key (WM_SYSKEYDOWN, context bit 29 set) and types its character as
//   WM_SYSCHAR; F10 is a system key too.
#pragma once
#include "platform/windowing/messages.h"
#include <QString>

class QKeyEvent;

struct TKeyMessages {
  // WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP or WM_SYSKEYUP; 0 when the key has no virtual-key code (a character
  // from a key that Windows would name by the layout alone) or should not be reported (an auto-repeated
  // release, which Windows does not send).
  UINT KeyMsg = 0;
  WORD VirtualKey = 0;
  // Repeat count (bits 0-15), scan code (16-23), extended key (24), Alt held (29), key was down (30),
  // key is being released (31).
  LPARAM KeyData = 0;
  // WM_CHAR or WM_SYSCHAR, with one message per UTF-16 unit of Chars; 0 and empty when the key types nothing.
  UINT CharMsg = 0;
  QString Chars;
};

// The messages for a key press or release.
TKeyMessages TranslateKeyEvent(const QKeyEvent &event);

// The Windows virtual-key code of a Qt key (0 when there is none). Keypad says the key is on the keypad.
WORD VirtualKeyFromQtKey(int qtKey, bool keypad);
// A Qt key for a virtual-key code (for keys a control's handler replaced with another); 0 when unknown.
int QtKeyFromVirtualKey(WORD virtualKey);
// The set-1 scan code Windows reports for a virtual key (0 when unknown).
int ScanCodeFromVirtualKey(WORD virtualKey);
