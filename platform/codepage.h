#pragma once
// Text at the platform's single-byte boundary: code page 1252 (Windows Latin 1).
// Inside the program text is UTF-8. The five bytes that 1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to U+0081, U+008D, U+008F, U+0090, U+009D, so every one
// of the 256 byte values survives a round trip.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zbx {

// The code-page byte of a Unicode code point, or nothing when 1252 cannot hold it.
std::optional<std::uint8_t> AnsiCode(char32_t cp);
// The Unicode code point of a code-page byte.
char32_t FromAnsiCode(std::uint8_t code);

// UTF-8 to code-page bytes; characters the code page cannot hold (and invalid UTF-8)
// become '?'.
std::string Utf8ToAnsi(std::string_view utf8);
// Why UTF-8 text would not reach the code page unchanged: empty when it would, else
// "it is not valid UTF-8" or "code page 1252 has no U+XXXX".
std::string CodePageProblem(std::string_view utf8);
// Code-page bytes to UTF-8; never fails.
std::string AnsiToUtf8(std::string_view ansi);

// Decodes one code point from UTF-8 at pos (advancing pos); invalid input gives
// U+FFFD and advances by one byte.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace zbx
