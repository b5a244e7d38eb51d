// Registry paths from arbitrary bytes: the parser's results must be consistent, and the
// class must cope with any path on a real store.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"
#include "registry/registry_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::shared_ptr<zbx::win::RegistryApi> store = zbx::win::OpenRegistryStore(":memory:");
  const std::string input(reinterpret_cast<const char*>(data), size);

  std::string path = input, subKey;
  const zbx::win::HKEY root = zbx::ParseRegistryPath(path, subKey);
  const std::size_t slash = path.find('\\');
  // Parsing the rewritten path again changes nothing; the sub-key follows the first "\".
  std::string again = path, subKey2;
  if ((root != 0 && (root < zbx::win::HKEY_CLASSES_ROOT || root > zbx::win::HKEY_DYN_DATA)) ||
      subKey != (slash == std::string::npos ? std::string() : path.substr(slash + 1)) ||
      zbx::ParseRegistryPath(again, subKey2) != root || again != path || subKey2 != subKey)
    std::abort();

  // The same text as a path of the class (UTF-8 or not): reads only, so the store stays small.
  zbx::clsRegistryAccess reg(*store);
  reg.ReadString(input, input, "d");
  std::vector<std::string> keys;
  reg.EnumKeys(input, keys);
  return 0;
}
