#pragma once
// Every colour the window shows, by name, as 0xRRGGBB. The layout, the game and the view
// all take their colours from here.
#include <cstdint>

namespace zbx {

using Rgb = std::uint32_t;

namespace palette {

constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kNavy = 0x000080;    // label-buttons at rest
constexpr Rgb kBlue = 0x0000FF;    // a label-button under the pointer
constexpr Rgb kGreen = 0x00FF00;   // lives: more than the red limit
constexpr Rgb kRed = 0xFF0000;     // lives: the red limit or fewer
constexpr Rgb kYellow = 0xFFFF00;  // lives: unlimited
constexpr Rgb kLilac = 0xC0C0FF;   // the best score, and the row a game just entered
// The desktop's own drawing: etched and sunken edges, greyed-out captions.
constexpr Rgb kGrey = 0x808080;
constexpr Rgb kDarkGrey = 0x404040;
constexpr Rgb kButtonFace = 0xD4D0C8;

}  // namespace palette
}  // namespace zbx
