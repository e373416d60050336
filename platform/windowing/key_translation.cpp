#include "platform/windowing/key_translation.h"
#include "platform/windowing/virtual_keys.h"
#include <QGuiApplication>
#include <QKeyEvent>
#include <array>

namespace {

struct KeyEntry {
  int qtKey;
  WORD vk;
  bool extended;
};

// Keys that are the same wherever they are (outside the keypad). The grey navigation block, the keypad's
// Enter and Divide and the right-hand modifiers are "extended" keys in Windows' key data.
constexpr std::array kFixedKeys{
    KeyEntry{Qt::Key_Escape, VK_ESCAPE, false},
    KeyEntry{Qt::Key_Tab, VK_TAB, false},
    KeyEntry{Qt::Key_Backtab, VK_TAB, false},
    KeyEntry{Qt::Key_Backspace, VK_BACK, false},
    KeyEntry{Qt::Key_Return, VK_RETURN, false},
    KeyEntry{Qt::Key_Enter, VK_RETURN, true},
    KeyEntry{Qt::Key_Insert, VK_INSERT, true},
    KeyEntry{Qt::Key_Delete, VK_DELETE, true},
    KeyEntry{Qt::Key_Pause, VK_PAUSE, false},
    KeyEntry{Qt::Key_Print, VK_SNAPSHOT, true},
    KeyEntry{Qt::Key_SysReq, VK_SNAPSHOT, true},
    KeyEntry{Qt::Key_Clear, VK_CLEAR, false},
    KeyEntry{Qt::Key_Home, VK_HOME, true},
    KeyEntry{Qt::Key_End, VK_END, true},
    KeyEntry{Qt::Key_Left, VK_LEFT, true},
    KeyEntry{Qt::Key_Up, VK_UP, true},
    KeyEntry{Qt::Key_Right, VK_RIGHT, true},
    KeyEntry{Qt::Key_Down, VK_DOWN, true},
    KeyEntry{Qt::Key_PageUp, VK_PRIOR, true},
    KeyEntry{Qt::Key_PageDown, VK_NEXT, true},
    KeyEntry{Qt::Key_Shift, VK_SHIFT, false},
    KeyEntry{Qt::Key_Control, VK_CONTROL, false},
    KeyEntry{Qt::Key_Meta, VK_LWIN, true},
    KeyEntry{Qt::Key_Super_L, VK_LWIN, true},
    KeyEntry{Qt::Key_Super_R, VK_RWIN, true},
    KeyEntry{Qt::Key_Alt, VK_MENU, false},
    KeyEntry{Qt::Key_AltGr, VK_MENU, true},
    KeyEntry{Qt::Key_CapsLock, VK_CAPITAL, false},
    KeyEntry{Qt::Key_NumLock, VK_NUMLOCK, true},
    KeyEntry{Qt::Key_ScrollLock, VK_SCROLL, false},
    KeyEntry{Qt::Key_Menu, VK_APPS, true},
    KeyEntry{Qt::Key_Help, VK_HELP, false},
    KeyEntry{Qt::Key_Space, VK_SPACE, false},
    KeyEntry{Qt::Key_Cancel, VK_CANCEL, true},
    // Punctuation, by the US layout's characters on the key (unshifted and shifted).
    KeyEntry{Qt::Key_Semicolon, VK_OEM_1, false},
    KeyEntry{Qt::Key_Colon, VK_OEM_1, false},
    KeyEntry{Qt::Key_Equal, VK_OEM_PLUS, false},
    KeyEntry{Qt::Key_Plus, VK_OEM_PLUS, false},
    KeyEntry{Qt::Key_Comma, VK_OEM_COMMA, false},
    KeyEntry{Qt::Key_Less, VK_OEM_COMMA, false},
    KeyEntry{Qt::Key_Minus, VK_OEM_MINUS, false},
    KeyEntry{Qt::Key_Underscore, VK_OEM_MINUS, false},
    KeyEntry{Qt::Key_Period, VK_OEM_PERIOD, false},
    KeyEntry{Qt::Key_Greater, VK_OEM_PERIOD, false},
    KeyEntry{Qt::Key_Slash, VK_OEM_2, false},
    KeyEntry{Qt::Key_Question, VK_OEM_2, false},
    KeyEntry{Qt::Key_QuoteLeft, VK_OEM_3, false},
    KeyEntry{Qt::Key_AsciiTilde, VK_OEM_3, false},
    KeyEntry{Qt::Key_BracketLeft, VK_OEM_4, false},
    KeyEntry{Qt::Key_BraceLeft, VK_OEM_4, false},
    KeyEntry{Qt::Key_Backslash, VK_OEM_5, false},
    KeyEntry{Qt::Key_Bar, VK_OEM_5, false},
    KeyEntry{Qt::Key_BracketRight, VK_OEM_6, false},
    KeyEntry{Qt::Key_BraceRight, VK_OEM_6, false},
    KeyEntry{Qt::Key_Apostrophe, VK_OEM_7, false},
    KeyEntry{Qt::Key_QuoteDbl, VK_OEM_7, false},
    // The US layout's shifted digits: the key is the digit's.
    KeyEntry{Qt::Key_Exclam, '1', false},
    KeyEntry{Qt::Key_At, '2', false},
    KeyEntry{Qt::Key_NumberSign, '3', false},
    KeyEntry{Qt::Key_Dollar, '4', false},
    KeyEntry{Qt::Key_Percent, '5', false},
    KeyEntry{Qt::Key_AsciiCircum, '6', false},
    KeyEntry{Qt::Key_Ampersand, '7', false},
    KeyEntry{Qt::Key_Asterisk, '8', false},
    KeyEntry{Qt::Key_ParenLeft, '9', false},
    KeyEntry{Qt::Key_ParenRight, '0', false},
};

// Keys of the numeric keypad. With Num Lock off the keypad's digits arrive as navigation keys, which Windows
// reports with the navigation codes but without the extended bit.
constexpr std::array kKeypadKeys{
    KeyEntry{Qt::Key_Asterisk, VK_MULTIPLY, false}, KeyEntry{Qt::Key_Plus, VK_ADD, false},
    KeyEntry{Qt::Key_Minus, VK_SUBTRACT, false},    KeyEntry{Qt::Key_Period, VK_DECIMAL, false},
    KeyEntry{Qt::Key_Comma, VK_DECIMAL, false},     KeyEntry{Qt::Key_Slash, VK_DIVIDE, true},
    KeyEntry{Qt::Key_Enter, VK_RETURN, true},       KeyEntry{Qt::Key_Return, VK_RETURN, true},
    KeyEntry{Qt::Key_Insert, VK_INSERT, false},     KeyEntry{Qt::Key_Delete, VK_DELETE, false},
    KeyEntry{Qt::Key_Home, VK_HOME, false},         KeyEntry{Qt::Key_End, VK_END, false},
    KeyEntry{Qt::Key_Left, VK_LEFT, false},         KeyEntry{Qt::Key_Up, VK_UP, false},
    KeyEntry{Qt::Key_Right, VK_RIGHT, false},       KeyEntry{Qt::Key_Down, VK_DOWN, false},
    KeyEntry{Qt::Key_PageUp, VK_PRIOR, false},      KeyEntry{Qt::Key_PageDown, VK_NEXT, false},
    KeyEntry{Qt::Key_Clear, VK_CLEAR, false},
};

struct ScanEntry {
  WORD vk;
  int scan;
};

// Windows' set-1 scan codes of the US layout.
constexpr std::array kScanCodes{
    ScanEntry{VK_ESCAPE, 0x01},     ScanEntry{'1', 0x02},         ScanEntry{'2', 0x03},
    ScanEntry{'3', 0x04},           ScanEntry{'4', 0x05},         ScanEntry{'5', 0x06},
    ScanEntry{'6', 0x07},           ScanEntry{'7', 0x08},         ScanEntry{'8', 0x09},
    ScanEntry{'9', 0x0A},           ScanEntry{'0', 0x0B},         ScanEntry{VK_OEM_MINUS, 0x0C},
    ScanEntry{VK_OEM_PLUS, 0x0D},   ScanEntry{VK_BACK, 0x0E},     ScanEntry{VK_TAB, 0x0F},
    ScanEntry{'Q', 0x10},           ScanEntry{'W', 0x11},         ScanEntry{'E', 0x12},
    ScanEntry{'R', 0x13},           ScanEntry{'T', 0x14},         ScanEntry{'Y', 0x15},
    ScanEntry{'U', 0x16},           ScanEntry{'I', 0x17},         ScanEntry{'O', 0x18},
    ScanEntry{'P', 0x19},           ScanEntry{VK_OEM_4, 0x1A},    ScanEntry{VK_OEM_6, 0x1B},
    ScanEntry{VK_RETURN, 0x1C},     ScanEntry{VK_CONTROL, 0x1D},  ScanEntry{'A', 0x1E},
    ScanEntry{'S', 0x1F},           ScanEntry{'D', 0x20},         ScanEntry{'F', 0x21},
    ScanEntry{'G', 0x22},           ScanEntry{'H', 0x23},         ScanEntry{'J', 0x24},
    ScanEntry{'K', 0x25},           ScanEntry{'L', 0x26},         ScanEntry{VK_OEM_1, 0x27},
    ScanEntry{VK_OEM_7, 0x28},      ScanEntry{VK_OEM_3, 0x29},    ScanEntry{VK_SHIFT, 0x2A},
    ScanEntry{VK_OEM_5, 0x2B},      ScanEntry{'Z', 0x2C},         ScanEntry{'X', 0x2D},
    ScanEntry{'C', 0x2E},           ScanEntry{'V', 0x2F},         ScanEntry{'B', 0x30},
    ScanEntry{'N', 0x31},           ScanEntry{'M', 0x32},         ScanEntry{VK_OEM_COMMA, 0x33},
    ScanEntry{VK_OEM_PERIOD, 0x34}, ScanEntry{VK_OEM_2, 0x35},    ScanEntry{VK_DIVIDE, 0x35},
    ScanEntry{VK_MULTIPLY, 0x37},   ScanEntry{VK_SNAPSHOT, 0x37}, ScanEntry{VK_MENU, 0x38},
    ScanEntry{VK_SPACE, 0x39},      ScanEntry{VK_CAPITAL, 0x3A},  ScanEntry{VK_F1, 0x3B},
    ScanEntry{VK_F2, 0x3C},         ScanEntry{VK_F3, 0x3D},       ScanEntry{VK_F4, 0x3E},
    ScanEntry{VK_F5, 0x3F},         ScanEntry{VK_F6, 0x40},       ScanEntry{VK_F7, 0x41},
    ScanEntry{VK_F8, 0x42},         ScanEntry{VK_F9, 0x43},       ScanEntry{VK_F10, 0x44},
    ScanEntry{VK_NUMLOCK, 0x45},    ScanEntry{VK_PAUSE, 0x45},    ScanEntry{VK_SCROLL, 0x46},
    ScanEntry{VK_HOME, 0x47},       ScanEntry{VK_NUMPAD7, 0x47},  ScanEntry{VK_UP, 0x48},
    ScanEntry{VK_NUMPAD8, 0x48},    ScanEntry{VK_PRIOR, 0x49},    ScanEntry{VK_NUMPAD9, 0x49},
    ScanEntry{VK_SUBTRACT, 0x4A},   ScanEntry{VK_LEFT, 0x4B},     ScanEntry{VK_NUMPAD4, 0x4B},
    ScanEntry{VK_CLEAR, 0x4C},      ScanEntry{VK_NUMPAD5, 0x4C},  ScanEntry{VK_RIGHT, 0x4D},
    ScanEntry{VK_NUMPAD6, 0x4D},    ScanEntry{VK_ADD, 0x4E},      ScanEntry{VK_END, 0x4F},
    ScanEntry{VK_NUMPAD1, 0x4F},    ScanEntry{VK_DOWN, 0x50},     ScanEntry{VK_NUMPAD2, 0x50},
    ScanEntry{VK_NEXT, 0x51},       ScanEntry{VK_NUMPAD3, 0x51},  ScanEntry{VK_INSERT, 0x52},
    ScanEntry{VK_NUMPAD0, 0x52},    ScanEntry{VK_DELETE, 0x53},   ScanEntry{VK_DECIMAL, 0x53},
    ScanEntry{VK_OEM_102, 0x56},    ScanEntry{VK_F11, 0x57},      ScanEntry{VK_F12, 0x58},
    ScanEntry{VK_LWIN, 0x5B},       ScanEntry{VK_RWIN, 0x5C},     ScanEntry{VK_APPS, 0x5D},
};

// X11 key codes (evdev numbering) of the keys whose virtual key Windows takes from the key's place on the
// keyboard rather than from what it types: the digit row, and the punctuation keys of the US layout.
struct PlaceEntry {
  quint32 keycode;
  WORD vk;
};
constexpr std::array kX11Places{
    PlaceEntry{10, '1'},          PlaceEntry{11, '2'},           PlaceEntry{12, '3'},
    PlaceEntry{13, '4'},          PlaceEntry{14, '5'},           PlaceEntry{15, '6'},
    PlaceEntry{16, '7'},          PlaceEntry{17, '8'},           PlaceEntry{18, '9'},
    PlaceEntry{19, '0'},          PlaceEntry{20, VK_OEM_MINUS},  PlaceEntry{21, VK_OEM_PLUS},
    PlaceEntry{34, VK_OEM_4},     PlaceEntry{35, VK_OEM_6},      PlaceEntry{47, VK_OEM_1},
    PlaceEntry{48, VK_OEM_7},     PlaceEntry{49, VK_OEM_3},      PlaceEntry{51, VK_OEM_5},
    PlaceEntry{59, VK_OEM_COMMA}, PlaceEntry{60, VK_OEM_PERIOD}, PlaceEntry{61, VK_OEM_2},
    PlaceEntry{94, VK_OEM_102},
};

bool NativeCodesAreX11() {
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("windows") && platform != QLatin1String("cocoa");
}

WORD VirtualKeyFromX11Place(quint32 keycode) {
  for (const PlaceEntry &e : kX11Places)
    if (e.keycode == keycode) return e.vk;
  return 0;
}

const KeyEntry *FindEntry(int qtKey, bool keypad) {
  if (keypad)
    for (const KeyEntry &e : kKeypadKeys)
      if (e.qtKey == qtKey) return &e;
  for (const KeyEntry &e : kFixedKeys)
    if (e.qtKey == qtKey) return &e;
  return nullptr;
}

bool IsDigitRowKey(WORD vk) { return vk >= '0' && vk <= '9'; }

// The character Windows types for a key with Ctrl held (and not Alt); null when none.
QChar ControlCharacter(WORD vk, bool shift) {
  if (vk >= 'A' && vk <= 'Z') return QChar(vk - 'A' + 1);
  switch (vk) {
  case VK_OEM_4: return QChar(27);
  case VK_OEM_5: return QChar(28);
  case VK_OEM_6: return QChar(29);
  case '6': return shift ? QChar(30) : QChar();
  case VK_OEM_MINUS: return shift ? QChar(31) : QChar();
  case VK_BACK: return QChar(127);
  case VK_RETURN: return QChar(10);
  case VK_SPACE: return QChar(' ');
  case VK_CANCEL: return QChar(3);
  default: return QChar();
  }
}

// The characters a key types without Ctrl: Windows' own for the editing keys, otherwise what Qt reports (or,
// for synthesized events without text, the letter or digit on the key).
QString PlainCharacters(WORD vk, const QKeyEvent &event, bool shift) {
  switch (vk) {
  case VK_BACK: return QString(QChar(8));
  case VK_TAB: return QString(QChar(9));
  case VK_RETURN: return QString(QChar(13));
  case VK_ESCAPE: return QString(QChar(27));
  case VK_SPACE: return QStringLiteral(" ");
  case VK_DELETE: return QString();
  default: break;
  }
  QString text = event.text();
  if (!text.isEmpty()) {
    for (QChar c : text)
      if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return QString(); // Qt's control text; Windows types none
    return text;
  }
  if (vk >= 'A' && vk <= 'Z') return QString(QChar(shift ? vk : vk - 'A' + 'a'));
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return QString(QChar('0' + (vk - VK_NUMPAD0)));
  if (IsDigitRowKey(vk) && !shift) return QString(QChar(vk));
  return QString();
}

} // namespace

WORD VirtualKeyFromQtKey(int qtKey, bool keypad) {
  if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return WORD(VK_NUMPAD0 + (qtKey - Qt::Key_0));
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return WORD('A' + (qtKey - Qt::Key_A));
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return WORD('0' + (qtKey - Qt::Key_0));
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return WORD(VK_F1 + (qtKey - Qt::Key_F1));
  const KeyEntry *e = FindEntry(qtKey, keypad);
  return e ? e->vk : 0;
}

int QtKeyFromVirtualKey(WORD vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Qt::Key_0 + (vk - VK_NUMPAD0);
  if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + (vk - VK_F1);
  for (const KeyEntry &e : kFixedKeys)
    if (e.vk == vk) return e.qtKey;
  for (const KeyEntry &e : kKeypadKeys)
    if (e.vk == vk) return e.qtKey;
  return 0;
}

int ScanCodeFromVirtualKey(WORD vk) {
  for (const ScanEntry &e : kScanCodes)
    if (e.vk == vk) return e.scan;
  return 0;
}

TKeyMessages TranslateKeyEvent(const QKeyEvent &event) {
  TKeyMessages out;
  const bool release = event.type() == QEvent::KeyRelease;
  if (release && event.isAutoRepeat()) return out; // Windows repeats key-downs only

  const Qt::KeyboardModifiers mods = event.modifiers();
  const bool keypad = mods.testFlag(Qt::KeypadModifier);
  const bool shift = mods.testFlag(Qt::ShiftModifier);
  const bool ctrl = mods.testFlag(Qt::ControlModifier);
  const int qtKey = event.key();

  WORD vk = 0;
  bool extended = false;
  const quint32 nativeCode = event.nativeScanCode();
  const bool x11 = nativeCode != 0 && NativeCodesAreX11();
  const bool letter = qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z;
  // The digit row is the digits' keys whatever the layout types on them (Shift+1 is '1', not '!').
  if (x11 && !keypad && !letter && IsDigitRowKey(VirtualKeyFromX11Place(nativeCode)))
    vk = VirtualKeyFromX11Place(nativeCode);
  if (vk == 0) {
    vk = VirtualKeyFromQtKey(qtKey, keypad);
    if (const KeyEntry *e = FindEntry(qtKey, keypad)) extended = e->extended;
  }
  // A key Qt names by a character no table knows (an accented letter, a dead key): its place says.
  if (vk == 0 && x11 && !keypad) vk = VirtualKeyFromX11Place(nativeCode);
  // The right-hand Ctrl and Alt keys (X11 key codes 105 and 108) are extended keys.
  if ((vk == VK_CONTROL && nativeCode == 105) || (vk == VK_MENU && nativeCode == 108)) extended = true;

  const bool alt = mods.testFlag(Qt::AltModifier) || vk == VK_MENU;
  const bool system = (alt && !ctrl) || (vk == VK_F10 && !ctrl);

  LPARAM data = LPARAM(release ? 1 : std::max(1, event.count())) & 0xFFFF;
  data |= LPARAM(ScanCodeFromVirtualKey(vk) & 0xFF) << 16;
  if (extended) data |= KF_EXTENDED;
  if (alt) data |= KF_ALTDOWN;
  if (release)
    data |= KF_REPEAT | KF_UP;
  else if (event.isAutoRepeat())
    data |= KF_REPEAT;
  out.KeyData = data;
  out.VirtualKey = vk;
  if (vk != 0)
    out.KeyMsg = release ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
  if (release) return out;

  // The characters the key types.
  const bool realAlt = mods.testFlag(Qt::AltModifier);
  if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_CAPITAL || vk == VK_NUMLOCK) return out;
  if (ctrl && !realAlt) {
    const QChar c = ControlCharacter(vk, shift);
    if (!c.isNull()) {
      out.CharMsg = WM_CHAR;
      out.Chars = QString(c);
    }
  } else if (realAlt && !ctrl) {
    const QString chars = PlainCharacters(vk, event, shift);
    if (!chars.isEmpty()) {
      out.CharMsg = WM_SYSCHAR;
      out.Chars = chars;
    }
  } else if (ctrl && realAlt) {
    // Ctrl+Alt is AltGr on Windows: it types only what the layout puts on the key.
    const QString text = event.text();
    if (!text.isEmpty() && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7F) {
      out.CharMsg = WM_CHAR;
      out.Chars = text;
    }
  } else {
    const QString chars = PlainCharacters(vk, event, shift);
    if (!chars.isEmpty()) {
      out.CharMsg = WM_CHAR;
      out.Chars = chars;
    }
  }
  return out;
}
