// .reg export of a tree drawn from arbitrary bytes (names and texts over every code page
// 1252 character, pieces of .reg syntax mixed in), imported into another store that holds
// other keys: nothing outside the tree may change, nothing may appear in it that was not
// exported, and nothing the export wrote may be lost. Any break of that aborts.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/registry/export_property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {
    std::string pattern = "/tmp/zbx-fuzz-export-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  // Choices read from the input, one or two bytes each; 0 once it runs out.
  std::size_t pos = 0;
  auto byte = [&] { return pos < size ? unsigned{data[pos++]} : 0u; };
  zbx::export_property::Choices choices = [&](unsigned bound) {
    if (bound <= 1) return 0u;
    unsigned value = byte();
    if (bound > 256) value = value << 8 | byte();
    return value % bound;
  };
  auto source = zbx::win::OpenRegistryStore(":memory:"), target = zbx::win::OpenRegistryStore(":memory:");
  const std::string broken = zbx::export_property::CheckOneTree(choices, folder, *source, *target);
  if (!broken.empty()) {
    std::fprintf(stderr, "export property broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
