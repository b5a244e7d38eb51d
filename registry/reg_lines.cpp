#include "registry/reg_lines.h"

#include "registry/text_util.h"

namespace zbx {

bool CrLfLines::Next(std::string_view& line) {
  if (done_) return false;
  const std::size_t cut = text_.find("\r\n", start_);
  if (cut == std::string_view::npos) {
    line = text_.substr(start_);
    done_ = true;
  } else {
    line = text_.substr(start_, cut - start_);
    start_ = cut + 2;
  }
  return true;
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
  // The first character that is neither a quote nor a blank.
  const std::size_t first = line.find_first_not_of("\" ");
  return first != std::string_view::npos && line[first] == '[';
}

std::optional<ValueLine> ReadValueLine(std::string_view raw) {
  const std::string line = TrimBlanks(RemoveChar(raw, '"'));
  // The name ends at the first "=", the data at the second; anything after is ignored.
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  const std::size_t eq2 = line.find('=', eq + 1);
  ValueLine value;
  value.name = line.substr(0, eq);
  value.data = line.substr(eq + 1, eq2 == std::string::npos ? std::string::npos : eq2 - eq - 1);
  if (TrimBlanks(value.data) == "-") {
    value.deletes = true;
    return value;
  }
  for (const win::ValueType& type : win::kValueTypes) {
    if (!type.regPrefix.empty() && StartsWithIgnoringCase(value.data, type.regPrefix)) {
      value.kind = type.kind;
      value.data.erase(0, type.regPrefix.size());
      break;
    }
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
