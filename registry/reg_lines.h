#pragma once
// Reading .reg text (code page 1252, one char per character).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_value_type.h"

namespace zbx {

// The lines of a text, cut at every CR LF pair; a lone CR or LF stays inside its line.
// Text ending with CR LF ends with an empty line. The lines are views into the text.
class CrLfLines {
 public:
  explicit CrLfLines(std::string_view text) : text_(text) {}
  // The next line; false after the last one.
  bool Next(std::string_view& line);

 private:
  std::string_view text_;
  std::size_t start_ = 0;
  bool done_ = false;
};

// The longest run of hexadecimal digits at the start, as a 32-bit pattern: no digits give
// 0, eight digits with the top bit set a negative number; more than eight keep the low 32
// bits.
std::int32_t LeadingHexDword(std::string_view text);

// What the import does with a value line: delete the value, or write it as the kind
// whose .reg prefix starts its data ("hex:", "dword:"; see win::kValueTypes), as text
// when none does.
struct ValueLine {
  bool deletes = false;
  win::ValueKind kind = win::ValueKind::String;
  std::string name;  // the text before the first "=", as written ("@" not mapped)
  std::string data;  // the text after the first "=", up to the second, without the prefix
};

// True when a line inside a key section starts the next one: with its quotes and then
// the blanks at both ends removed, it starts with "[".
bool StartsKeySection(std::string_view line);

// What the import makes of a line inside a key section that does not start the next
// one: nothing (an empty line, a line without "=") or one value's action. Quotes are
// removed everywhere, then the blanks at both ends.
std::optional<ValueLine> ReadValueLine(std::string_view line);

// True when text starts with prefix, ASCII letters compared ignoring case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

}  // namespace zbx
