#pragma once
#include <Qt>

// The windows act on Windows virtual-key codes (the viewer's owner steps its list on
// Down and Up, Esc closes the viewer, Enter opens a file), so Qt's key codes are
// translated here before anything else sees them, and every layer names them from here.

// The virtual-key code of a Qt key: letters and digits as their uppercase ASCII code,
// the keypad's digits and operators as the numeric-pad codes, punctuation as the codes
// of a US keyboard's keys (a shifted symbol gives the code of its key). 0 for a key
// that has no virtual-key code.
short VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The virtual-key codes the windows act on.
namespace KeyCodes {
constexpr short Enter = 13;
constexpr short Esc = 27;
constexpr short PageUp = 33;
constexpr short PageDown = 34;
constexpr short Up = 38;
constexpr short Down = 40;
}
