#pragma once
// Virtual-key codes of the key events and their translation from and to Qt.

#include "platform/ui/control_types.h"

#include <Qt>

constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_CLEAR = 0x0C;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12;
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;
constexpr WORD VK_NEXT = 0x22;
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
// '0'..'9' and 'A'..'Z' are their own codes.
constexpr WORD VK_NUMPAD0 = 0x60;  // .. VK_NUMPAD0 + 9
constexpr WORD VK_MULTIPLY = 0x6A;
constexpr WORD VK_ADD = 0x6B;
constexpr WORD VK_SEPARATOR = 0x6C;
constexpr WORD VK_SUBTRACT = 0x6D;
constexpr WORD VK_DECIMAL = 0x6E;
constexpr WORD VK_DIVIDE = 0x6F;
constexpr WORD VK_F1 = 0x70;  // .. VK_F1 + 23 for F24
constexpr WORD VK_OEM_PLUS = 0xBB;
constexpr WORD VK_OEM_COMMA = 0xBC;
constexpr WORD VK_OEM_MINUS = 0xBD;
constexpr WORD VK_OEM_PERIOD = 0xBE;
constexpr WORD VK_OEM_2 = 0xBF;  // '/?' on a US keyboard

// The numeric pad has codes of its own (VK_NUMPAD0.., VK_ADD, VK_SUBTRACT,
// VK_MULTIPLY, VK_DIVIDE, VK_DECIMAL) while Num Lock is on; the main keyboard's
// digits are '0'..'9' and its '+', '-', '.' and '/' keys the VK_OEM_ codes. With
// Num Lock off the pad gives the navigation keys (and VK_CLEAR for its 5).
// 0 for a key without a virtual-key code.
WORD VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);
// Qt::Key_unknown for a code without a Qt key; a pad code gives the key of the
// same character (the keypad modifier is the caller's to add).
int QtKeyFromVirtualKey(WORD key);
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// The modifier keys held now (as of the last input event), for handlers that
// get no shift state (a button's click).
TShiftState KeyboardShiftState();
