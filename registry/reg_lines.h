#pragma once
// Reading .reg text (code page 1252, one char per character).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zbx {

// Cuts at every CR LF pair; a lone CR or LF stays inside its line. Text ending with CR LF
// ends with an empty line.
std::vector<std::string> SplitCrLf(std::string_view text);

// The longest run of hexadecimal digits at the start, as a 32-bit pattern: no digits give
// 0, eight digits with the top bit set a negative number; more than eight keep the low 32
// bits.
std::int32_t LeadingHexDword(std::string_view text);

// True when text starts with prefix, ASCII letters compared ignoring case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

}  // namespace zbx
