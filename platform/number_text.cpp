#include "platform/number_text.h"

#include <charconv>

namespace zbx {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

// Consumes a run of digits; returns how many there were.
std::size_t SkipDigits(std::string_view t, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < t.size() && IsDigit(t[pos])) ++pos;
  return pos - start;
}

// Whether t (already trimmed) is sign, mantissa with optional point, optional exponent.
bool IsDecimalNumberSyntax(std::string_view t) {
  std::size_t pos = 0;
  if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) ++pos;
  std::size_t digits = SkipDigits(t, pos);
  if (pos < t.size() && t[pos] == '.') {
    ++pos;
    digits += SkipDigits(t, pos);
  }
  if (digits == 0) return false;
  if (pos < t.size() && (t[pos] == 'e' || t[pos] == 'E')) {
    ++pos;
    if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) ++pos;
    if (SkipDigits(t, pos) == 0) return false;
  }
  return pos == t.size();
}

}  // namespace

std::optional<std::int64_t> ParseWholeDecimal(std::string_view text) {
  std::string_view t = TrimBlanks(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
  for (char c : t) {
    if (!IsDigit(c)) return std::nullopt;
    const auto d = static_cast<std::uint64_t>(c - '0');
    if (magnitude > (kLimit - d) / 10) return std::nullopt;
    magnitude = magnitude * 10 + d;
  }
  if (!negative && magnitude == kLimit) return std::nullopt;
  return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

std::optional<double> ParseDecimalNumber(std::string_view text) {
  std::string_view t = TrimBlanks(text);
  if (!IsDecimalNumberSyntax(t)) return std::nullopt;
  if (t.front() == '+') t.remove_prefix(1);  // from_chars takes no plus sign
  double value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}

}  // namespace zbx
