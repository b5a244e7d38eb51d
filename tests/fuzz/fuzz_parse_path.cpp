// Registry paths from arbitrary bytes: the parser's results must be consistent, and the
// class must cope with any path on a real store.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_names.h"
#include "platform/winreg.h"
#include "registry/cls_registry_access.h"
#include "registry/registry_path.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool HasLongRootName(const std::string& path) {
  const std::string upper = zbx::win::UpperName(path);
  for (const char* name : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT", "HKEY_USERS",
                           "HKEY_PERFORMANCE_DATA", "HKEY_DYN_DATA", "HKEY_CURRENT_CONFIG"})
    if (upper.find(name) != std::string::npos) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::shared_ptr<zbx::win::RegistryApi> store = zbx::win::OpenRegistryStore(":memory:");
  const std::string input(reinterpret_cast<const char*>(data), size);

  std::string path = input, subKey;
  const zbx::win::HKEY root = zbx::ParseRegistryPath(path, subKey);
  Check(root == 0 || (root >= zbx::win::HKEY_CLASSES_ROOT && root <= zbx::win::HKEY_DYN_DATA));
  Check(!HasLongRootName(path));
  const std::size_t slash = path.find('\\');
  Check(slash == std::string::npos ? subKey.empty() : subKey == path.substr(slash + 1));
  // Parsing the rewritten path again changes nothing.
  std::string again = path, subKey2;
  Check(zbx::ParseRegistryPath(again, subKey2) == root && again == path && subKey2 == subKey);

  // The same text as a path of the class (UTF-8 or not): reads only, so the store stays small.
  zbx::clsRegistryAccess reg(*store);
  reg.KeyExists(input);
  reg.ReadString(input, input, "d");
  std::vector<std::string> keys;
  reg.EnumKeys(input, keys);
  return 0;
}
