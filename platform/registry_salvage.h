#pragma once
// Salvage of a damaged store file: its pages are read directly (the file's own format,
// not through SQLite, which refuses a damaged file), every key and value row that can
// still be read is found, and they are written into another store.
#include <cstddef>
#include <string>

#include "platform/winreg.h"

namespace zbx::win {

struct Salvaged {
  std::size_t keys = 0;
  std::size_t values = 0;
  std::size_t homeless = 0;  // values read whose key was lost with the damage
};

// Reads the store file at damagedPath (with its -wal file, when there is one) and
// writes every key and value it can read into `into`. Never fails: what cannot be read
// is left out.
Salvaged SalvageStore(const std::string& damagedPath, RegistryApi& into);

}  // namespace zbx::win
