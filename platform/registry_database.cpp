#include "platform/registry_database.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

namespace zbx::win {
namespace {

namespace fs = std::filesystem;

constexpr int kSchemaVersion = 1;
constexpr int kWalRetryMs = 5;

// Names are code page 1252 bytes kept in TEXT columns and compared with the BINARY
// collation: "uname" (upper-cased) orders sub-keys the registry's way. "path" is the
// upper-cased path from the root ("2\SOFTWARE\X" below HKEY_LOCAL_MACHINE): keys never
// move, so one indexed lookup opens a key at any depth. Key ids never come back
// (AUTOINCREMENT), so a handle on a deleted key cannot land on a newer one. Values
// enumerate by row id, which is their order of creation. A new store starts with the
// keys every Windows machine has below its roots.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS reg_keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER,
  name TEXT NOT NULL,
  uname TEXT NOT NULL,
  path TEXT NOT NULL UNIQUE);
CREATE UNIQUE INDEX IF NOT EXISTS reg_keys_children ON reg_keys(parent, uname);
CREATE TABLE IF NOT EXISTS reg_values(
  id INTEGER PRIMARY KEY,
  key INTEGER NOT NULL,
  name TEXT NOT NULL,
  uname TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS reg_values_names ON reg_values(key, uname);
CREATE INDEX IF NOT EXISTS reg_values_order ON reg_values(key);
INSERT OR IGNORE INTO reg_keys(id, parent, name, uname, path) VALUES
  (1, NULL, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT', '0'),
  (2, NULL, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER', '1'),
  (3, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE', '2'),
  (4, NULL, 'HKEY_USERS', 'HKEY_USERS', '3'),
  (5, NULL, 'HKEY_PERFORMANCE_DATA', 'HKEY_PERFORMANCE_DATA', '4'),
  (6, NULL, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG', '5'),
  (7, NULL, 'HKEY_DYN_DATA', 'HKEY_DYN_DATA', '6');
INSERT OR IGNORE INTO reg_keys(parent, name, uname, path) VALUES
  (3, 'HARDWARE', 'HARDWARE', '2\HARDWARE'),
  (3, 'SOFTWARE', 'SOFTWARE', '2\SOFTWARE'),
  (3, 'SYSTEM', 'SYSTEM', '2\SYSTEM'),
  (2, 'Software', 'SOFTWARE', '1\SOFTWARE');
PRAGMA user_version = 1;
)sql";

struct Damaged {};

bool IsMemory(const std::string& path) { return path == ":memory:"; }

// Creates the folders and, when missing, the file itself, so that it starts with mode
// 0600 (SQLite gives its -wal and -shm files the mode of the database).
bool PrepareFile(const std::string& path) {
  std::error_code ec;
  const fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) fs::create_directories(parent, ec);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::int64_t SingleInt(sqlite3* db, const char* query) {
  auto stmt = sql::PreparePersistent(db, query);
  sql::Step step(stmt.get());
  return step.Next() ? step.Int(0) : 0;
}

void QuickCheck(sqlite3* db) {
  auto stmt = sql::PreparePersistent(db, "PRAGMA quick_check");
  sql::Step step(stmt.get());
  if (!step.Next() || step.Text(0) != "ok") throw Damaged{};
}

void CreateSchema(sqlite3* db) {
  sql::Exec(db, "BEGIN IMMEDIATE");
  try {
    // Another process may have created it while this one waited for the lock.
    if (SingleInt(db, "PRAGMA user_version") == 0) sql::Exec(db, kSchema);
    sql::Exec(db, "COMMIT");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

// Switching a new file to WAL needs it exclusively. Two processes creating the store at
// once can each hold the shared lock the other waits for; SQLite then answers busy at
// once instead of waiting, so the switch is retried here for as long as a busy wait.
void SwitchToWal(sqlite3* db) {
  for (int waited = 0;; waited += kWalRetryMs) {
    try {
      sql::Exec(db, "PRAGMA journal_mode=WAL");
      return;
    } catch (const sql::Error& e) {
      if (e.code() != SQLITE_BUSY || waited >= kBusyTimeoutMs) throw;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kWalRetryMs));
  }
}

sql::DatabasePtr OpenChecked(const std::string& path) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
  sql::DatabasePtr db(raw);
  sql::Check(db.get(), rc);
  sqlite3_extended_result_codes(db.get(), 1);
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  // A file of a newer format is left exactly as it is (switching the journal mode
  // would already write to it).
  const auto version = SingleInt(db.get(), "PRAGMA user_version");
  if (version > kSchemaVersion) throw sql::Error(SQLITE_CANTOPEN, "newer registry format");
  sql::Exec(db.get(), "PRAGMA page_size=1024");  // takes effect only in a new file
  SwitchToWal(db.get());
  // In WAL mode NORMAL loses nothing when the process dies: a commit is in the WAL
  // file (the OS holds it) before the call returns. Only a power cut can take back
  // the last commits, the price of not syncing on every write.
  sql::Exec(db.get(), "PRAGMA synchronous=NORMAL");
  // Every changing call is one commit, which writes each page it touched into the
  // WAL: small pages keep that cheap, and checkpoints (which sync) come every 4 MB.
  sql::Exec(db.get(), "PRAGMA wal_autocheckpoint=4000");
  QuickCheck(db.get());
  if (version < kSchemaVersion) CreateSchema(db.get());
  return db;
}

std::string TimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// Renames the file and its WAL companions; returns the new name, or "" on failure.
std::string MoveAside(const std::string& path) {
  std::string target = path + ".damaged-" + TimeStamp();
  std::error_code ec;
  for (int n = 1; fs::exists(target, ec); ++n)
    target = path + ".damaged-" + TimeStamp() + "-" + std::to_string(n);
  fs::rename(path, target, ec);
  if (ec) return {};
  for (const char* suffix : {"-wal", "-shm"}) {
    if (fs::exists(path + suffix, ec)) fs::rename(path + suffix, target + suffix, ec);
  }
  return target;
}

OpenedDatabase TryOpen(const std::string& path, bool& damaged) {
  damaged = false;
  if (!IsMemory(path) && !PrepareFile(path)) return {nullptr, ERROR_CANTOPEN, {}};
  try {
    return {OpenChecked(path), ERROR_SUCCESS, {}};
  } catch (const Damaged&) {
    damaged = true;
  } catch (const sql::Error& e) {
    if (e.code() == SQLITE_NOTADB || e.code() == SQLITE_CORRUPT) {
      damaged = true;
    } else {
      return {nullptr, e.code() == SQLITE_NOMEM ? ERROR_NOT_ENOUGH_MEMORY : ERROR_CANTOPEN, {}};
    }
  }
  return {nullptr, ERROR_BADDB, {}};
}

}  // namespace

OpenedDatabase OpenRegistryDatabase(const std::string& path) {
  bool damaged = false;
  OpenedDatabase opened = TryOpen(path, damaged);
  if (!damaged || IsMemory(path)) return opened;
  const std::string aside = MoveAside(path);
  if (aside.empty()) {
    std::fprintf(stderr, "zorbanix: registry store %s is damaged and could not be moved aside\n",
                 path.c_str());
    return opened;
  }
  std::fprintf(stderr, "zorbanix: registry store %s was damaged; kept as %s, starting a fresh one\n",
               path.c_str(), aside.c_str());
  opened = TryOpen(path, damaged);
  opened.movedAsideTo = aside;
  return opened;
}

LONG RegistryErrorCode(int sqliteCode) {
  switch (sqliteCode & 0xFF) {
    case SQLITE_NOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return ERROR_BADDB;
    case SQLITE_READONLY:
    case SQLITE_FULL:
      return ERROR_CANTWRITE;
    case SQLITE_CANTOPEN:
      return ERROR_CANTOPEN;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

}  // namespace zbx::win
