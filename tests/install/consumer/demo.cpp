// demo: counts its runs in a registry store of its own, lists the values of its key and
// exports the key to a .reg file.
#include <cstdint>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "platform/codepage.h"
#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

int main(int argc, char** argv) {
  // A store of its own (zbx::win::DefaultRegistry() is the game's, in the user's data folder).
  const std::string storePath = argc > 1 ? argv[1] : "demo/registry.db";
  const auto store = zbx::win::OpenRegistryStore(storePath);
  if (const std::string problem = zbx::win::StoreProblem(store->Status()); !problem.empty()) {
    std::cerr << "demo: " << problem << '\n';
    return 1;
  }
  zbx::clsRegistryAccess reg(*store);
  reg.CreateKeyIfDoesntExists(zbx::clsRegistryAccess::kTrue);  // writes create missing keys

  const std::string key = "HKCU\\Software\\Demo";
  const std::int32_t runs = reg.ReadDWORD(key, "Runs", 0) + 1;
  reg.WriteDWORD(key, "Runs", runs);
  const std::string greeting = "Grüße";  // UTF-8; the store keeps code page 1252
  if (zbx::CodePageProblem(greeting).empty()) reg.WriteString(key, "Greeting", greeting);
  reg.WriteBinary(key, "Blob", "01 0A FF");

  std::vector<std::string> names;
  std::vector<zbx::RegValue> values;
  const int count = reg.EnumValues(key, names, values);  // use the count, not the lists' size
  for (int i = 0; i < count; ++i) {
    std::cout << names[i] << " =";
    if (const auto* text = std::get_if<std::string>(&values[i])) std::cout << ' ' << *text;
    if (const auto* number = std::get_if<std::int32_t>(&values[i])) std::cout << ' ' << *number;
    std::cout << '\n';
  }
  // A new file each run: an export never overwrites one.
  const std::string regFile = storePath + ".run" + std::to_string(runs) + ".reg";
  if (reg.ExportToReg(key, regFile) != 1) {
    std::cerr << "demo: cannot export " << key << " to " << regFile << '\n';
    return 1;
  }
  return 0;
}
