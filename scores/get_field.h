#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace zbx {

// The index-th field (from 1) of text cut at every occurrence of delimiter, searched
// for from the start in text with one delimiter appended. An empty field, an index
// below 1 or beyond the last field, or an empty delimiter give "". A text without the
// delimiter is one field. A delimiter of several characters that overlaps the appended
// one ends the last field early: field 1 of "a" cut at "aa" is "". Never fails.
std::string GetField(std::string_view text, std::string_view delimiter, std::int16_t index);

}  // namespace zbx
