// .reg import of arbitrary file content into a fresh store, then an export of what it made
// and an import of that export into the same store: nothing may crash, hang or read out of
// bounds, an import always leaves the create switch on, and an export always reads back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {  // a private folder for this process's files
    std::string pattern = "/tmp/zbx-fuzz-import-XXXXXX";
    Check(mkdtemp(pattern.data()) != nullptr);
    return pattern;
  }();
  const std::string in = folder + "/in.reg", out = folder + "/out.reg";
  {
    std::ofstream file(in, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  auto store = zbx::win::OpenRegistryStore(":memory:");
  zbx::clsRegistryAccess reg(*store);
  const std::int32_t result = reg.ImportFromReg(in);
  Check(result == 0 || result == 1);
  Check(reg.CreateKeyIfDoesntExists() == zbx::clsRegistryAccess::kTrue);

  std::remove(out.c_str());
  Check(reg.ExportToReg("HKEY_CURRENT_USER", out) == 1);
  Check(reg.ImportFromReg(out) == 1);  // an export always reads back
  return 0;
}
