#pragma once
// The process-local table of open registry keys: handle number -> key row. The seven
// predefined roots are permanent entries that closing leaves alone.
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/winreg.h"

namespace zbx::win {

// Where the last enumeration through a handle stopped, so that asking for the next
// index is a seek instead of a scan from the start. Valid only while the store has not
// changed since (generation for this connection, data version for every other one).
struct EnumCursor {
  bool valid = false;
  DWORD index = 0;
  std::string lastName;       // upper-cased name of the sub-key at index
  std::int64_t lastId = 0;    // row id of the value at index
  std::uint64_t generation = 0;
  unsigned dataVersion = 0;
};

struct OpenKey {
  std::int64_t id = 0;
  std::string path;  // upper-cased path from the root, the lookup form of the key
  int depth = 0;     // levels below the root: the number of names in the path
  REGSAM access = KEY_ALL_ACCESS;  // what the handle was opened for
  bool root = false;
  EnumCursor subKeys;
  EnumCursor values;
};

class HandleTable {
 public:
  static constexpr int kRootCount = 7;
  // Row id and lookup path of root number i (0 for HKEY_CLASSES_ROOT ...).
  static std::int64_t RootId(int i) { return i + 1; }
  static std::string RootPath(int i) { return std::to_string(i); }
  static bool IsRoot(HKEY handle) { return handle >= HKEY_CLASSES_ROOT && handle < HKEY_CLASSES_ROOT + kRootCount; }

  HandleTable();

  // The open key behind a handle, or nullptr for 0, a closed or an invented handle, and
  // for HKEY_PERFORMANCE_DATA.
  OpenKey* Find(HKEY handle);
  HKEY Open(std::int64_t id, std::string path, REGSAM access);
  // ERROR_INVALID_HANDLE for a handle that is not open; a root stays open.
  LONG Close(HKEY handle);
  std::size_t OpenCount() const { return open_.size(); }

 private:
  std::array<OpenKey, kRootCount> roots_;
  std::unordered_map<HKEY, OpenKey> open_;
  HKEY next_;
};

}  // namespace zbx::win
