#include "platform/codepage.h"

#include <array>
#include <cstdio>

namespace zbx {
namespace {

// 0x80..0x9F of code page 1252; the undefined five map to the C1 control of the same value.
constexpr auto kHigh = std::to_array<char32_t>({
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178});
static_assert(kHigh.size() == 0xA0 - 0x80);

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

char32_t FromAnsiCode(std::uint8_t code) {
  if (code >= 0x80 && code <= 0x9F) return kHigh[code - 0x80];
  return code;
}

std::optional<std::uint8_t> AnsiCode(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<std::uint8_t>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<std::uint8_t>(0x80 + i);
  return std::nullopt;
}

char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  // The lead byte gives the length and the first bits: 110xxxxx, 1110xxxx, 11110xxx.
  const int len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0) {
    ++pos;
    return 0xFFFD;
  }
  char32_t cp = b0 & (0x7Fu >> len);
  if (pos + len > s.size()) {
    ++pos;
    return 0xFFFD;
  }
  for (int i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  // The lowest code point of each length: a shorter form would do for anything below.
  static constexpr char32_t kLowest[] = {0x80, 0x800, 0x10000};
  if (cp < kLowest[len - 2] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return 0xFFFD;
  }
  pos += len;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf8ToAnsi(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);  // the same bytes in both
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto code = AnsiCode(NextCodePoint(utf8, pos));
    out += code ? static_cast<char>(*code) : '?';
  }
  return out;
}

std::string CodePageProblem(std::string_view utf8) {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t at = pos;
    const char32_t cp = NextCodePoint(utf8, pos);
    // U+FFFD stands for bytes that are no UTF-8, unless it was written as itself.
    if (cp == 0xFFFD && utf8.substr(at, pos - at) != "\xEF\xBF\xBD") return "it is not valid UTF-8";
    if (!AnsiCode(cp)) {
      char text[40];
      std::snprintf(text, sizeof text, "code page 1252 has no U+%04X", static_cast<unsigned>(cp));
      return text;
    }
  }
  return {};
}

std::string AnsiToUtf8(std::string_view ansi) {
  if (IsAscii(ansi)) return std::string(ansi);
  std::string out;
  out.reserve(ansi.size() * 2);
  for (char c : ansi) AppendUtf8(out, FromAnsiCode(static_cast<std::uint8_t>(c)));
  return out;
}

}  // namespace zbx
