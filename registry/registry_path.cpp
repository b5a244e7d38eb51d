#include "registry/registry_path.h"

#include <array>
#include <cstddef>
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

std::size_t FindIgnoringCase(const std::string& text, const std::string& what, std::size_t from) {
  if (what.empty() || text.size() < what.size()) return std::string::npos;
  for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < what.size() && AsciiUpper(text[i + k]) == AsciiUpper(what[k])) ++k;
    if (k == what.size()) return i;
  }
  return std::string::npos;
}

win::HKEY RootHandle(const std::string& rootText) {
  for (const RootName& r : kRoots)
    if (rootText == r.shortName) return r.handle;
  return 0;
}

}  // namespace

void ReplaceIgnoringCase(std::string& text, const std::string& from, const std::string& to) {
  std::size_t hit = FindIgnoringCase(text, from, 0);
  if (hit == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (hit != std::string::npos) {
    out.append(text, pos, hit - pos);
    out += to;
    pos = hit + from.size();
    hit = FindIgnoringCase(text, from, pos);
  }
  out.append(text, pos, std::string::npos);
  text = std::move(out);
}

win::HKEY ParseRegistryPath(std::string& path, std::string& subKey) {
  for (const RootName& r : kRoots) ReplaceIgnoringCase(path, r.longName, r.shortName);
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
  for (const RootName& r : kRoots) ReplaceIgnoringCase(path, r.shortName, r.longName);
  return path;
}

}  // namespace zbx
