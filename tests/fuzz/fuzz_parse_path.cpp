// Registry paths from arbitrary bytes: the parser's results must be consistent (the import
// fuzz target drives the class with any key path).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "registry/registry_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string path(reinterpret_cast<const char*>(data), size), subKey;
  const zbx::win::HKEY root = zbx::ParseRegistryPath(path, subKey);
  const std::size_t slash = path.find('\\');
  // Parsing the rewritten path again changes nothing; the sub-key follows the first "\".
  std::string again = path, subKey2;
  if ((root != 0 && (root < zbx::win::HKEY_CLASSES_ROOT || root > zbx::win::HKEY_DYN_DATA)) ||
      subKey != (slash == std::string::npos ? std::string() : path.substr(slash + 1)) ||
      zbx::ParseRegistryPath(again, subKey2) != root || again != path || subKey2 != subKey)
    std::abort();
  return 0;
}
