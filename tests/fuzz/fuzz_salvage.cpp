// Salvage of arbitrary bytes taken for a damaged store file (pages, records, overflow
// chains and free lists all read from the input): it must never crash, hang or read
// out of bounds, and whatever it carries over must be readable from the fresh store.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/registry_salvage.h"
#include "platform/winreg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string file = "/tmp/zbx-fuzz-salvage-" + std::to_string(::getpid()) + ".db";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  auto store = zbx::win::OpenRegistryStore(":memory:");
  const zbx::win::Salvaged saved = zbx::win::SalvageStore(file, *store);
  if (saved.keys > size || saved.values > size) std::abort();
  return 0;
}
