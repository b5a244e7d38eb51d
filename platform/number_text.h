#pragma once
// Reading numbers out of text: captions, the stored score table and cheat commands.
// Locale-independent; blanks are spaces and tabs.
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace zbx {

// A whole decimal number: optional blanks, an optional sign, one or more digits,
// optional blanks. Anything else (or a value beyond 64 bits) gives nothing.
std::optional<std::int64_t> ParseWholeDecimal(std::string_view text);

// The same, into the width the caller names; out of range gives nothing.
template <typename Int>
std::optional<Int> ParseWholeNumber(std::string_view text) {
  const auto v = ParseWholeDecimal(text);
  if (!v || *v < std::numeric_limits<Int>::min() || *v > std::numeric_limits<Int>::max())
    return std::nullopt;
  return static_cast<Int>(*v);
}

// A decimal number with an optional sign, an optional decimal point and an optional
// exponent ("12", "-3.5", ".5", "7.", "1e3"), blanks around it allowed. Letters other
// than the exponent's "e" make it no number. Values beyond the range of double give
// nothing.
std::optional<double> ParseDecimalNumber(std::string_view text);

}  // namespace zbx
