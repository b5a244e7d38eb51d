#pragma once
// Virtual-key codes and shift bits of the desktop platform, as the key handlers see them.
#include <cstdint>

namespace zbx::vk {

constexpr std::int16_t kBack = 8;
constexpr std::int16_t kTab = 9;
constexpr std::int16_t kEnter = 13;
constexpr std::int16_t kShiftKey = 16;
constexpr std::int16_t kControlKey = 17;
constexpr std::int16_t kMenuKey = 18;  // Alt
constexpr std::int16_t kEscape = 27;
constexpr std::int16_t kSpace = 32;
constexpr std::int16_t kLeft = 37;
constexpr std::int16_t kUp = 38;
constexpr std::int16_t kRight = 39;
constexpr std::int16_t kDown = 40;
constexpr std::int16_t kC = 67;
constexpr std::int16_t kM = 77;
constexpr std::int16_t kS = 83;
constexpr std::int16_t kF1 = 112;
constexpr std::int16_t kF2 = 113;
constexpr std::int16_t kF4 = 115;
constexpr std::int16_t kF5 = 116;

// Shift state bits.
constexpr std::int16_t kShift = 1;
constexpr std::int16_t kCtrl = 2;
constexpr std::int16_t kAlt = 4;

}  // namespace zbx::vk
