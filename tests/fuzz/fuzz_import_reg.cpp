// .reg import of arbitrary file content into a fresh store, then an export of what it made
// and an import of that export into the same store: nothing may crash, hang or read out of
// bounds, an import always leaves the create switch on, and an export always reads back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {  // a private folder for this process's files
    std::string pattern = "/tmp/zbx-fuzz-import-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  const std::string in = folder + "/in.reg", out = folder + "/out.reg";
  std::ofstream(in, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                              static_cast<std::streamsize>(size));
  auto store = zbx::win::OpenRegistryStore(":memory:");
  zbx::clsRegistryAccess reg(*store);
  const std::int32_t result = reg.ImportFromReg(in);
  std::remove(out.c_str());
  if ((result != 0 && result != 1) || reg.CreateKeyIfDoesntExists() != zbx::clsRegistryAccess::kTrue ||
      reg.ExportToReg("HKEY_CURRENT_USER", out) != 1 || reg.ImportFromReg(out) != 1)
    std::abort();
  return 0;
}
