#include "scores/get_field.h"

namespace zbx {

std::string GetField(std::string_view text, std::string_view delimiter, std::int16_t index) {
  if (delimiter.empty() || index < 1) return {};
  // One delimiter is appended so that the last field is closed like the others; each
  // search starts where the previous delimiter ended, so a delimiter that overlaps the
  // appended one closes the last field there.
  const std::string closed = std::string(text) + std::string(delimiter);
  std::size_t start = 0;
  for (std::int16_t field = 1;; ++field) {
    const std::size_t end = closed.find(delimiter, start);
    if (end == std::string::npos) return {};
    if (field == index) return closed.substr(start, end - start);
    start = end + delimiter.size();
  }
}

}  // namespace zbx
