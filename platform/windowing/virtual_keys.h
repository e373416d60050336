// Windows virtual-key codes. Keyboard messages carry these numbers in wParam, and key tables store them, so
// they keep their Windows values on every platform. Letters and digits are their upper-case ASCII codes
// ('A'..'Z', '0'..'9'); there are no VK_ names for them.
#pragma once
#include <cstdint>

// Mouse buttons (as reported by the primary-button query and the key state).
constexpr std::uint8_t VK_LBUTTON = 0x01;
constexpr std::uint8_t VK_RBUTTON = 0x02;
constexpr std::uint8_t VK_CANCEL = 0x03;
constexpr std::uint8_t VK_MBUTTON = 0x04;
constexpr std::uint8_t VK_XBUTTON1 = 0x05;
constexpr std::uint8_t VK_XBUTTON2 = 0x06;

// Editing and control keys.
constexpr std::uint8_t VK_BACK = 0x08;
constexpr std::uint8_t VK_TAB = 0x09;
constexpr std::uint8_t VK_CLEAR = 0x0C;
constexpr std::uint8_t VK_RETURN = 0x0D;
constexpr std::uint8_t VK_SHIFT = 0x10;
constexpr std::uint8_t VK_CONTROL = 0x11;
constexpr std::uint8_t VK_MENU = 0x12; // Alt
constexpr std::uint8_t VK_PAUSE = 0x13;
constexpr std::uint8_t VK_CAPITAL = 0x14; // Caps Lock
constexpr std::uint8_t VK_ESCAPE = 0x1B;
constexpr std::uint8_t VK_SPACE = 0x20;
constexpr std::uint8_t VK_PRIOR = 0x21; // Page Up
constexpr std::uint8_t VK_NEXT = 0x22;  // Page Down
constexpr std::uint8_t VK_END = 0x23;
constexpr std::uint8_t VK_HOME = 0x24;
constexpr std::uint8_t VK_LEFT = 0x25;
constexpr std::uint8_t VK_UP = 0x26;
constexpr std::uint8_t VK_RIGHT = 0x27;
constexpr std::uint8_t VK_DOWN = 0x28;
constexpr std::uint8_t VK_SELECT = 0x29;
constexpr std::uint8_t VK_PRINT = 0x2A;
constexpr std::uint8_t VK_EXECUTE = 0x2B;
constexpr std::uint8_t VK_SNAPSHOT = 0x2C; // Print Screen
constexpr std::uint8_t VK_INSERT = 0x2D;
constexpr std::uint8_t VK_DELETE = 0x2E;
constexpr std::uint8_t VK_HELP = 0x2F;

// System keys.
constexpr std::uint8_t VK_LWIN = 0x5B;
constexpr std::uint8_t VK_RWIN = 0x5C;
constexpr std::uint8_t VK_APPS = 0x5D; // context-menu key
constexpr std::uint8_t VK_SLEEP = 0x5F;

// Numeric keypad.
constexpr std::uint8_t VK_NUMPAD0 = 0x60;
constexpr std::uint8_t VK_NUMPAD1 = 0x61;
constexpr std::uint8_t VK_NUMPAD2 = 0x62;
constexpr std::uint8_t VK_NUMPAD3 = 0x63;
constexpr std::uint8_t VK_NUMPAD4 = 0x64;
constexpr std::uint8_t VK_NUMPAD5 = 0x65;
constexpr std::uint8_t VK_NUMPAD6 = 0x66;
constexpr std::uint8_t VK_NUMPAD7 = 0x67;
constexpr std::uint8_t VK_NUMPAD8 = 0x68;
constexpr std::uint8_t VK_NUMPAD9 = 0x69;
constexpr std::uint8_t VK_MULTIPLY = 0x6A;
constexpr std::uint8_t VK_ADD = 0x6B;
constexpr std::uint8_t VK_SEPARATOR = 0x6C;
constexpr std::uint8_t VK_SUBTRACT = 0x6D;
constexpr std::uint8_t VK_DECIMAL = 0x6E;
constexpr std::uint8_t VK_DIVIDE = 0x6F;

// Function keys.
constexpr std::uint8_t VK_F1 = 0x70;
constexpr std::uint8_t VK_F2 = 0x71;
constexpr std::uint8_t VK_F3 = 0x72;
constexpr std::uint8_t VK_F4 = 0x73;
constexpr std::uint8_t VK_F5 = 0x74;
constexpr std::uint8_t VK_F6 = 0x75;
constexpr std::uint8_t VK_F7 = 0x76;
constexpr std::uint8_t VK_F8 = 0x77;
constexpr std::uint8_t VK_F9 = 0x78;
constexpr std::uint8_t VK_F10 = 0x79;
constexpr std::uint8_t VK_F11 = 0x7A;
constexpr std::uint8_t VK_F12 = 0x7B;
constexpr std::uint8_t VK_F13 = 0x7C;
constexpr std::uint8_t VK_F14 = 0x7D;
constexpr std::uint8_t VK_F15 = 0x7E;
constexpr std::uint8_t VK_F16 = 0x7F;
constexpr std::uint8_t VK_F17 = 0x80;
constexpr std::uint8_t VK_F18 = 0x81;
constexpr std::uint8_t VK_F19 = 0x82;
constexpr std::uint8_t VK_F20 = 0x83;
constexpr std::uint8_t VK_F21 = 0x84;
constexpr std::uint8_t VK_F22 = 0x85;
constexpr std::uint8_t VK_F23 = 0x86;
constexpr std::uint8_t VK_F24 = 0x87;

// Lock keys.
constexpr std::uint8_t VK_NUMLOCK = 0x90;
constexpr std::uint8_t VK_SCROLL = 0x91; // Scroll Lock

// Left and right variants of the shift keys (key-state queries only; messages report VK_SHIFT etc.).
constexpr std::uint8_t VK_LSHIFT = 0xA0;
constexpr std::uint8_t VK_RSHIFT = 0xA1;
constexpr std::uint8_t VK_LCONTROL = 0xA2;
constexpr std::uint8_t VK_RCONTROL = 0xA3;
constexpr std::uint8_t VK_LMENU = 0xA4;
constexpr std::uint8_t VK_RMENU = 0xA5;

// Punctuation keys, named after the US layout's characters.
constexpr std::uint8_t VK_OEM_1 = 0xBA;      // ; :
constexpr std::uint8_t VK_OEM_PLUS = 0xBB;   // = +
constexpr std::uint8_t VK_OEM_COMMA = 0xBC;  // , <
constexpr std::uint8_t VK_OEM_MINUS = 0xBD;  // - _
constexpr std::uint8_t VK_OEM_PERIOD = 0xBE; // . >
constexpr std::uint8_t VK_OEM_2 = 0xBF;      // / ?
constexpr std::uint8_t VK_OEM_3 = 0xC0;      // ` ~
constexpr std::uint8_t VK_OEM_4 = 0xDB;      // [ {
constexpr std::uint8_t VK_OEM_5 = 0xDC;      // \ |
constexpr std::uint8_t VK_OEM_6 = 0xDD;      // ] }
constexpr std::uint8_t VK_OEM_7 = 0xDE;      // ' "
constexpr std::uint8_t VK_OEM_102 = 0xE2;    // the extra key of 102-key keyboards

// Shift-state bits of key tables: the shift keys held with a key, as stored in a key-table record.
constexpr std::uint8_t ss_None = 0x00;
constexpr std::uint8_t ss_Shift = 0x02;
constexpr std::uint8_t ss_Ctrl = 0x04;
constexpr std::uint8_t ss_Alt = 0x08;
// In a second key's shift state only: the key matches with no shift key held or with Ctrl alone.
constexpr std::uint8_t ss_Wild = 0x80;
