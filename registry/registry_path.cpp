#include "registry/registry_path.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

#include "registry/text_util.h"

namespace zbx {
namespace {

struct RootName {
  const char* longName;
  const char* shortName;
  win::HKEY handle;
};

// Long names are shortened, and short names expanded, in this order.
constexpr std::array<RootName, 7> kRoots = {{
    {"HKEY_CURRENT_USER", "HKCU", win::HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", win::HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT", "HKCR", win::HKEY_CLASSES_ROOT},
    {"HKEY_USERS", "HKUS", win::HKEY_USERS},
    {"HKEY_PERFORMANCE_DATA", "HKPD", win::HKEY_PERFORMANCE_DATA},
    {"HKEY_DYN_DATA", "HKDD", win::HKEY_DYN_DATA},
    {"HKEY_CURRENT_CONFIG", "HKCC", win::HKEY_CURRENT_CONFIG},
}};

bool MatchesAt(std::string_view text, std::size_t at, std::string_view what) {
  if (at + what.size() > text.size()) return false;
  for (std::size_t k = 0; k < what.size(); ++k)
    if (AsciiUpper(text[at + k]) != AsciiUpper(what[k])) return false;
  return true;
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view what, std::size_t from) {
  for (std::size_t i = from; i + what.size() <= text.size(); ++i)
    if (MatchesAt(text, i, what)) return i;
  return std::string::npos;
}

win::HKEY RootHandle(const std::string& rootText) {
  for (const RootName& r : kRoots)
    if (rootText == r.shortName) return r.handle;
  return 0;
}

}  // namespace

namespace {

// Replaces every root name of one form by the other form, in one pass. That is what
// replacing them name by name in the table's order gives: the names of one form never
// overlap, and a replacement never makes a new one of the same form with the text around
// it (long names all start with "HKEY_", short ones with "HK" and two letters).
void ReplaceRootNames(std::string& path, bool shorten) {
  const std::string_view lead = shorten ? "HKEY_" : "HK";
  std::size_t hit = FindIgnoringCase(path, lead, 0);
  if (hit == std::string::npos) return;
  std::string out;
  out.reserve(path.size() + 32);
  std::size_t pos = 0;
  for (; hit != std::string::npos; hit = FindIgnoringCase(path, lead, hit)) {
    const RootName* match = nullptr;
    for (const RootName& r : kRoots)
      if (MatchesAt(path, hit, shorten ? r.longName : r.shortName)) match = &r;
    if (match == nullptr) {
      ++hit;
      continue;
    }
    out.append(path, pos, hit - pos);
    out += shorten ? match->shortName : match->longName;
    hit += std::char_traits<char>::length(shorten ? match->longName : match->shortName);
    pos = hit;
  }
  out.append(path, pos, std::string::npos);
  path = std::move(out);
}

}  // namespace

win::HKEY ParseRegistryPath(std::string& path, std::string& subKey) {
  ReplaceRootNames(path, true);
  const std::size_t slash = path.find('\\');
  std::string rootText;
  if (slash == std::string::npos) {
    rootText = AsciiUpperCopy(path);
    subKey.clear();
  } else {
    // Only the first four characters name the root, whatever stands before the "\".
    rootText = AsciiUpperCopy(path.substr(0, 4));
    subKey = path.substr(slash + 1);
  }
  return RootHandle(rootText);
}

std::string ExpandRootNames(std::string path) {
  ReplaceRootNames(path, false);
  return path;
}

}  // namespace zbx
