#include "registry/hex_text.h"

#include <cstdint>

#include "platform/codepage.h"
#include "platform/rounding.h"
#include "registry/text_util.h"

namespace zbx {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char u = AsciiUpper(c);
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

// The leading hexadecimal digits of a group of at most two characters; none give 0.
char GroupByte(std::string_view group) {
  int value = 0;
  for (char c : group) {
    const int d = HexDigit(c);
    if (d < 0) break;
    value = value * 16 + d;
  }
  return static_cast<char>(static_cast<std::uint8_t>(value));
}

}  // namespace

std::string HexTextToBytes(std::string& hex) {
  hex = RemoveChar(hex, ' ');
  const std::string text = Utf8ToAnsi(hex);
  if (text.empty()) return {};
  const auto groups = RoundTo<std::int64_t>(static_cast<double>(text.size()) / 2.0);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(groups));
  for (std::int64_t g = 0; g < groups; ++g)
    bytes += GroupByte(std::string_view(text).substr(static_cast<std::size_t>(g) * 2, 2));
  return bytes;
}

std::string BytesToHexText(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char c : bytes) {
    const auto b = static_cast<std::uint8_t>(c);
    out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

bool IsValidHexText(std::string_view text) {
  for (char c : text) {
    if (c == ' ') continue;
    if (HexDigit(c) < 0) return false;
  }
  return true;
}

}  // namespace zbx
