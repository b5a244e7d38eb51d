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

bool StartsKeySection(std::string_view line) {
  const std::string text = TrimBlanks(RemoveChar(line, '"'));
  return !text.empty() && text[0] == '[';
}

std::optional<ValueLine> ReadValueLine(std::string_view raw) {
  const std::string line = TrimBlanks(RemoveChar(raw, '"'));
  // The name ends at the first "=", the data at the second; anything after is ignored.
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  const std::size_t eq2 = line.find('=', eq + 1);
  ValueLine value{ValueAction::String, line.substr(0, eq),
                  line.substr(eq + 1, eq2 == std::string::npos ? std::string::npos : eq2 - eq - 1)};
  if (TrimBlanks(value.data) == "-") {
    value.action = ValueAction::Delete;
  } else if (StartsWithIgnoringCase(value.data, "hex:")) {
    value.action = ValueAction::Binary;
  } else if (StartsWithIgnoringCase(value.data, "dword:")) {
    value.action = ValueAction::Dword;
  }
  return value;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
  return true;
}

}  // namespace zbx
