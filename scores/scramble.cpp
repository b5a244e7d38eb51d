#include "scores/scramble.h"

#include <cstdint>

#include "platform/codepage.h"

namespace zbx {
namespace {

constexpr int kShift = 21;

// The code-page code of every character of text, '?' for those the code page lacks.
template <typename PerCode>
std::string MapCodes(std::string_view text, PerCode&& perCode) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto code = AnsiCode(NextCodePoint(text, pos));
    AppendUtf8(out, FromAnsiCode(perCode(code.value_or('?'))));
  }
  return out;
}

}  // namespace

std::string ScrambleText(std::string_view text) {
  return MapCodes(text, [](std::uint8_t code) {
    if (code + kShift > 255) code = '?';
    return static_cast<std::uint8_t>(code + kShift);
  });
}

std::string UnscrambleText(std::string_view text) {
  return MapCodes(text, [](std::uint8_t code) {
    return static_cast<std::uint8_t>(code >= kShift ? code - kShift : 0);
  });
}

}  // namespace zbx
