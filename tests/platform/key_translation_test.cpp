#include "platform/windowing/key_translation.h"
#include "platform/windowing/virtual_keys.h"
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

// One key as Qt reports it and the messages Windows sends for it.
struct KeyCase {
  const char *name;
  int qtKey;
  Qt::KeyboardModifiers modifiers;
  QString text;
  quint32 x11Keycode; // 0: no native code (a synthesized event)
  UINT keyMsg;
  WORD vk;
  bool extended;
  bool altBit;
  UINT charMsg;
  QString chars;
};

QString Ch(int c) { return QString(QChar(c)); }

const KeyCase kPresses[] = {
    {"letter without text", Qt::Key_Q, Qt::NoModifier, "", 0, WM_KEYDOWN, 'Q', false, false, WM_CHAR, "q"},
    {"ctrl shift letter", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "", 52, WM_KEYDOWN, 'Z', false,
     false, WM_CHAR, Ch(26)},
    {"alt letter", Qt::Key_F, Qt::AltModifier, "f", 41, WM_SYSKEYDOWN, 'F', false, true, WM_SYSCHAR, "f"},
    {"ctrl alt letter types nothing", Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, "", 38, WM_KEYDOWN,
     'A', false, true, 0, ""},
    {"shifted digit by symbol", Qt::Key_ParenRight, Qt::ShiftModifier, ")", 0, WM_KEYDOWN, '0', false, false,
     WM_CHAR, ")"},
    {"shifted 8 is not multiply", Qt::Key_Asterisk, Qt::ShiftModifier, "*", 17, WM_KEYDOWN, '8', false, false,
     WM_CHAR, "*"},
    {"ctrl digit types nothing", Qt::Key_5, Qt::ControlModifier, "", 14, WM_KEYDOWN, '5', false, false, 0,
     ""},
    {"keypad digit without text", Qt::Key_0, Qt::KeypadModifier, "", 0, WM_KEYDOWN, VK_NUMPAD0, false, false,
     WM_CHAR, "0"},
    {"keypad divide", Qt::Key_Slash, Qt::KeypadModifier, "/", 106, WM_KEYDOWN, VK_DIVIDE, true, false,
     WM_CHAR, "/"},
    {"keypad decimal comma", Qt::Key_Comma, Qt::KeypadModifier, ",", 91, WM_KEYDOWN, VK_DECIMAL, false, false,
     WM_CHAR, ","},
    {"keypad home without num lock", Qt::Key_Home, Qt::KeypadModifier, "", 79, WM_KEYDOWN, VK_HOME, false,
     false, 0, ""},
    {"ctrl return", Qt::Key_Return, Qt::ControlModifier, "\r", 36, WM_KEYDOWN, VK_RETURN, false, false,
     WM_CHAR, Ch(10)},
    {"ctrl backspace", Qt::Key_Backspace, Qt::ControlModifier, "", 22, WM_KEYDOWN, VK_BACK, false, false,
     WM_CHAR, Ch(127)},
    {"shift tab", Qt::Key_Backtab, Qt::ShiftModifier, "", 23, WM_KEYDOWN, VK_TAB, false, false, WM_CHAR,
     Ch(9)},
    {"delete types nothing", Qt::Key_Delete, Qt::NoModifier, "\x7f", 119, WM_KEYDOWN, VK_DELETE, true, false,
     0, ""},
    {"F10 is a system key", Qt::Key_F10, Qt::NoModifier, "", 76, WM_SYSKEYDOWN, VK_F10, false, false, 0, ""},
    {"alt alone", Qt::Key_Alt, Qt::AltModifier, "", 64, WM_SYSKEYDOWN, VK_MENU, false, true, 0, ""},
    {"right ctrl", Qt::Key_Control, Qt::ControlModifier, "", 105, WM_KEYDOWN, VK_CONTROL, true, false, 0, ""},
    {"accented letter by place", Qt::Key_Odiaeresis, Qt::NoModifier, QString(QChar(0xF6)), 47, WM_KEYDOWN,
     VK_OEM_1, false, false, WM_CHAR, QString(QChar(0xF6))},
};

TEST(KeyTranslation, KeyPressesGiveWindowsMessages) {
  for (const KeyCase &c : kPresses) {
    SCOPED_TRACE(c.name);
    const QKeyEvent event(QEvent::KeyPress, c.qtKey, c.modifiers, c.x11Keycode, 0, 0, c.text);
    const TKeyMessages m = TranslateKeyEvent(event);
    // A first press: repeat count 1, neither the previous-state nor the transition bit.
    EXPECT_EQ(std::tuple(m.KeyMsg, m.VirtualKey, (m.KeyData & KF_EXTENDED) != 0,
                         (m.KeyData & KF_ALTDOWN) != 0, m.KeyData & 0xFFFF, m.KeyData & (KF_REPEAT | KF_UP),
                         m.CharMsg, m.Chars),
              std::tuple(c.keyMsg, c.vk, c.extended, c.altBit, 1u, 0u, c.charMsg, c.chars));
  }
}

TEST(KeyTranslation, ScanCodesReleasesAndAutoRepeat) {
  const QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, QStringLiteral("a"));
  EXPECT_EQ((TranslateKeyEvent(a).KeyData >> 16) & 0xFF, 0x1E);
  const QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier, 104, 0, 0, QStringLiteral("\r"));
  EXPECT_EQ((TranslateKeyEvent(enter).KeyData >> 16) & 0xFF, 0x1C);

  // A release sets the previous-state and transition bits and types nothing.
  const QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, 56, 0, 0, QStringLiteral("b"));
  const TKeyMessages m = TranslateKeyEvent(release);
  EXPECT_EQ(std::tuple(m.KeyMsg, m.VirtualKey, m.KeyData & (KF_REPEAT | KF_UP), m.CharMsg, m.Chars),
            std::tuple(UINT(WM_KEYUP), WORD('B'), KF_REPEAT | KF_UP, 0u, QString()));

  // Auto-repeat marks the previous state; repeated releases are dropped.
  const QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, 114, 0, 0, QString(), true);
  const TKeyMessages r = TranslateKeyEvent(repeat);
  EXPECT_EQ(std::pair(r.KeyMsg, r.KeyData & (KF_REPEAT | KF_UP)), std::pair(UINT(WM_KEYDOWN), KF_REPEAT));

  const QKeyEvent repeatedRelease(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, 114, 0, 0, QString(),
                                  true);
  EXPECT_EQ(TranslateKeyEvent(repeatedRelease).KeyMsg, 0u);
}

TEST(KeyTranslation, VirtualKeysMapBackToQtKeys) {
  for (WORD vk :
       {WORD('A'), WORD('7'), WORD(VK_RETURN), WORD(VK_LEFT), WORD(VK_F12), WORD(VK_DELETE), WORD(VK_TAB)}) {
    const int qtKey = QtKeyFromVirtualKey(vk);
    ASSERT_NE(qtKey, 0) << vk;
    EXPECT_EQ(VirtualKeyFromQtKey(qtKey, false), vk);
  }
}

} // namespace
