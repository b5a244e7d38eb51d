#pragma once
// Opening the registry store's SQLite file: its folder checked (made 0700 when missing),
// the file checked and opened without following links (made 0600), WAL journal, busy
// timeout, schema; a store that cannot be written is opened for reading only; a damaged
// file is moved aside and replaced.
#include <string>

#include "platform/sqlite_handle.h"
#include "platform/winreg.h"

namespace zbx::win {

inline constexpr int kBusyTimeoutMs = 5000;

struct OpenedDatabase {
  sql::DatabasePtr db;            // null when the store cannot be used
  LONG error = ERROR_SUCCESS;     // what every call answers then
  StoreStatus status;             // read-write, read-only or unavailable, and why
  std::string movedAsideTo;       // where a damaged file went, if one was found
};

// Opens the database at path (or ":memory:"). A file that is not a database, or fails
// the quick integrity check, is renamed to path + ".damaged-<time>" (its -wal and -shm
// files with it) and a fresh store is created; movedAsideTo says where it went.
OpenedDatabase OpenRegistryDatabase(const std::string& path);

// The SQL that makes a new store's tables and first keys.
const char* RegistrySchema();

// The Win32 code for an SQLite failure.
LONG RegistryErrorCode(int sqliteCode);

}  // namespace zbx::win
