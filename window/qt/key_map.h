#pragma once
// Qt's key, modifier and button codes to the values the window's handlers receive:
// virtual-key codes (letters by their capital letter, F1 = 112, Space 32, Enter 13,
// Esc 27, arrows 37-40 ...), shift bits (Shift 1, Ctrl 2, Alt 4) and button bits
// (left 1, right 2, middle 4).
#include <QKeyEvent>
#include <cstdint>

namespace zbx::qt {

// 0 for a key that has no virtual-key code.
std::int16_t VirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
std::int16_t ShiftBits(Qt::KeyboardModifiers modifiers);
std::int16_t ButtonBits(Qt::MouseButtons buttons);

}  // namespace zbx::qt
