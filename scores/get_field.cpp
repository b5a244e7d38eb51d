#include "scores/get_field.h"

namespace zbx {

std::string GetField(std::string_view text, std::string_view delimiter, std::int16_t index) {
  if (delimiter.empty() || index < 1) return {};
  std::size_t start = 0;
  for (std::int16_t field = 1;; ++field) {
    const std::size_t end = text.find(delimiter, start);
    if (field == index) return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return {};
    start = end + delimiter.size();
  }
}

}  // namespace zbx
