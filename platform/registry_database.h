#pragma once
// Opening the registry store's SQLite file: folders and file created (mode 0600),
// WAL journal, busy timeout, schema; a damaged file is moved aside and replaced.
#include <string>

#include "platform/sqlite_handle.h"
#include "platform/winreg.h"

namespace zbx::win {

inline constexpr int kBusyTimeoutMs = 5000;

struct OpenedDatabase {
  sql::DatabasePtr db;            // null when the store cannot be used
  LONG error = ERROR_SUCCESS;     // what every call answers then
  std::string movedAsideTo;       // where a damaged file went, if one was found
};

// Opens the database at path (or ":memory:"). A file that is not a database, or fails
// the quick integrity check, is renamed to path + ".damaged-<time>" (its -wal and -shm
// files with it), the fact is reported once on stderr, and a fresh store is created.
OpenedDatabase OpenRegistryDatabase(const std::string& path);

// The Win32 code for an SQLite failure.
LONG RegistryErrorCode(int sqliteCode);

}  // namespace zbx::win
