#include "platform/registry_names.h"

#include <array>
#include <cstring>

namespace zbx::win {
namespace {

constexpr std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 0x20);
  // Latin-1 letters: U+00E0..U+00FE map 0x20 down, except the division sign.
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 0x20);
  table[0x9A] = 0x8A;  // s caron
  table[0x9C] = 0x8C;  // oe ligature
  table[0x9E] = 0x8E;  // z caron
  table[0xFF] = 0x9F;  // y diaeresis
  return table;
}

constexpr auto kUpper = MakeUpperTable();

}  // namespace

char UpperAnsi(char c) {
  return static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
}

std::string UpperName(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = UpperAnsi(c);
  return out;
}

LONG SplitKeyPath(LPCSTR subKey, std::vector<std::string_view>& names) {
  names.clear();
  if (subKey == nullptr || *subKey == '\0') return ERROR_SUCCESS;
  if (*subKey == '\\') return ERROR_BAD_PATHNAME;
  const std::string_view path(subKey);
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) {
      if (end - start > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
      names.push_back(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

void AppendChildPath(std::string& path, std::string_view name) {
  path.reserve(path.size() + 1 + name.size());
  path.push_back('\\');
  for (char c : name) path.push_back(UpperAnsi(c));
}

std::string ChildPath(std::string_view parentPath, const std::vector<std::string_view>& names) {
  std::string path(parentPath);
  for (auto name : names) AppendChildPath(path, name);
  return path;
}

LONG CheckValueName(LPCSTR name, std::string_view& out) {
  out = name != nullptr ? std::string_view(name) : std::string_view();
  return out.size() > kMaxValueNameLength ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

}  // namespace zbx::win
