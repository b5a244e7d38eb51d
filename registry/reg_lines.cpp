#include "registry/reg_lines.h"

#include "registry/text_util.h"

namespace zbx {

std::vector<std::string> SplitCrLf(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t cut = text.find("\r\n"); cut != std::string_view::npos; cut = text.find("\r\n", start)) {
    lines.emplace_back(text.substr(start, cut - start));
    start = cut + 2;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

std::int32_t LeadingHexDword(std::string_view text) {
  std::uint32_t bits = 0;
  for (char c : text) {
    const char u = AsciiUpper(c);
    unsigned digit = 0;
    if (u >= '0' && u <= '9') digit = static_cast<unsigned>(u - '0');
    else if (u >= 'A' && u <= 'F') digit = static_cast<unsigned>(u - 'A' + 10);
    else break;
    bits = (bits << 4) | digit;
  }
  return static_cast<std::int32_t>(bits);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
  return true;
}

}  // namespace zbx
