#pragma once
#include <Qt>

// The viewer's owner steps its list on Windows virtual-key codes (40 Down, 38 Up) and
// Esc is 27, so Qt's key codes are translated before anything else sees them.

// The virtual-key code of a Qt key: letters and digits as their uppercase ASCII code,
// the keypad's digits and operators as the numeric-pad codes, punctuation as the codes
// of a US keyboard's keys (a shifted symbol gives the code of its key). 0 for a key
// that has no virtual-key code.
short VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The virtual-key codes the windows act on.
namespace KeyCodes {
constexpr short Enter = 13;
constexpr short Esc = 27;
constexpr short Up = 38;
constexpr short Down = 40;
}
