#include "platform/registry_database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

namespace zbx::win {
namespace {

namespace fs = std::filesystem;

constexpr int kSchemaVersion = 1;
constexpr const char* kNewerFormat = "it was written by a newer version of the registry";
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

using Access = StoreStatus::Access;

// What the checks before SQLite found: a reason to refuse the store, or how to open it.
struct Checked {
  std::string refusal;    // not empty: the store cannot be used
  std::string readOnly;   // not empty: open for reading only, for this reason
};

// Makes the folder and any missing folders above it, each with mode 0700.
void MakeFolders(const fs::path& folder) {
  struct stat st {};
  if (folder.empty() || ::stat(folder.c_str(), &st) == 0) return;
  MakeFolders(folder.parent_path());
  ::mkdir(folder.c_str(), 0700);
}

// The store's folder must be a folder of this user that nobody else can write: in a
// folder others can write, anyone could put a link or a file of theirs in the store's place.
void CheckFolder(const fs::path& folder, Checked& checked) {
  MakeFolders(folder);
  struct stat st {};
  const std::string name = folder.string();
  if (::stat(folder.c_str(), &st) != 0) {
    checked.refusal = "its folder " + name + " cannot be made: " + std::strerror(errno);
  } else if (!S_ISDIR(st.st_mode)) {
    checked.refusal = name + " is not a folder";
  } else if (st.st_uid != ::geteuid()) {
    checked.refusal = "its folder " + name + " belongs to another user";
  } else if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    checked.refusal = "its folder " + name + " can be written by other users";
  } else if ((st.st_mode & S_IWUSR) == 0) {
    checked.readOnly = "its folder " + name + " is read-only";
  }
}

// The file itself: never a link, a folder or another user's file. A missing one is made
// here with mode 0600 (SQLite gives its -wal and -shm files the mode of the database).
void CheckFile(const std::string& path, Checked& checked) {
  struct stat st {};
  const bool exists = ::lstat(path.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) {
    checked.refusal = std::strerror(errno);
    return;
  }
  if (exists) {
    if (S_ISLNK(st.st_mode)) checked.refusal = "it is a symbolic link";
    else if (S_ISDIR(st.st_mode)) checked.refusal = "it is a folder";
    else if (!S_ISREG(st.st_mode)) checked.refusal = "it is not a regular file";
    else if (st.st_uid != ::geteuid()) checked.refusal = "it belongs to another user";
    else if ((st.st_mode & S_IWUSR) == 0 && checked.readOnly.empty()) checked.readOnly = "the file is read-only";
    if (!checked.refusal.empty()) return;
  } else if (!checked.readOnly.empty()) {
    checked.refusal = "it does not exist and " + checked.readOnly;
    return;
  }
  const int flags = checked.readOnly.empty() ? O_RDWR | O_CREAT : O_RDONLY;
  int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0 && exists && (errno == EACCES || errno == EPERM || errno == EROFS) && checked.readOnly.empty()) {
    checked.readOnly = std::string("it cannot be written: ") + std::strerror(errno);
    fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  }
  if (fd < 0) {
    checked.refusal = errno == ELOOP ? "it is a symbolic link" : std::strerror(errno);
    return;
  }
  // What was opened is what was looked at (a regular file of this user).
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != ::geteuid() ||
      (exists && (opened.st_ino != st.st_ino || opened.st_dev != st.st_dev)))
    checked.refusal = "it changed while it was being opened";
  ::close(fd);
}

// A file name as an SQLite URI, for opening a store that nothing may change.
std::string ImmutableUri(const std::string& path) {
  std::string uri = "file:";
  for (unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20 || c >= 0x7F) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri + "?immutable=1";
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
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX |
                                     (IsMemory(path) ? 0 : SQLITE_OPEN_NOFOLLOW),
                                 nullptr);
  sql::DatabasePtr db(raw);
  sql::Check(db.get(), rc);
  sqlite3_extended_result_codes(db.get(), 1);
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  // A file of a newer format is left exactly as it is (switching the journal mode
  // would already write to it).
  const auto version = SingleInt(db.get(), "PRAGMA user_version");
  if (version > kSchemaVersion) throw sql::Error(SQLITE_CANTOPEN, kNewerFormat);
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

// A store that must not be changed: no journal switch, no schema. When SQLite cannot
// read a WAL store without making its -shm file (a read-only folder), it reads the file
// as one that nothing changes.
sql::DatabasePtr OpenReadOnly(const std::string& path, bool immutable) {
  sqlite3* raw = nullptr;
  const std::string name = immutable ? ImmutableUri(path) : path;
  const int rc = sqlite3_open_v2(name.c_str(), &raw,
                                 SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW |
                                     (immutable ? SQLITE_OPEN_URI : 0),
                                 nullptr);
  sql::DatabasePtr db(raw);
  sql::Check(db.get(), rc);
  sqlite3_extended_result_codes(db.get(), 1);
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  try {
    const auto version = SingleInt(db.get(), "PRAGMA user_version");
    if (version > kSchemaVersion) throw sql::Error(SQLITE_CANTOPEN, kNewerFormat);
    if (version < kSchemaVersion) throw sql::Error(SQLITE_CANTOPEN, "it holds no registry yet");
    QuickCheck(db.get());
  } catch (const sql::Error& e) {
    if (!immutable && e.code() == SQLITE_CANTOPEN && std::string(e.what()) != kNewerFormat &&
        std::string(e.what()) != "it holds no registry yet")
      return OpenReadOnly(path, true);
    throw;
  }
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

OpenedDatabase Unavailable(const std::string& path, LONG error, const std::string& reason) {
  return {nullptr, error, {Access::Unavailable, path, reason}, {}};
}

OpenedDatabase TryOpen(const std::string& path, bool& damaged) {
  damaged = false;
  Checked checked;
  if (!IsMemory(path)) {
    CheckFolder(fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path(), checked);
    if (checked.refusal.empty()) CheckFile(path, checked);
    if (!checked.refusal.empty()) return Unavailable(path, ERROR_CANTOPEN, checked.refusal);
  }
  try {
    if (checked.readOnly.empty()) return {OpenChecked(path), ERROR_SUCCESS, {Access::ReadWrite, path, {}}, {}};
  } catch (const Damaged&) {
    damaged = true;
    return Unavailable(path, ERROR_BADDB, "it is damaged");
  } catch (const sql::Error& e) {
    if (e.code() == SQLITE_NOTADB || e.code() == SQLITE_CORRUPT) {
      damaged = true;
      return Unavailable(path, ERROR_BADDB, "it is damaged");
    }
    if (e.code() == SQLITE_NOMEM) return Unavailable(path, ERROR_NOT_ENOUGH_MEMORY, e.what());
    if (std::string(e.what()) == kNewerFormat) return Unavailable(path, ERROR_CANTOPEN, e.what());
    checked.readOnly = std::string("it cannot be written: ") + e.what();
  }
  // Read-only: a damaged file is left as it is, since nothing may change it.
  try {
    return {OpenReadOnly(path, false), ERROR_SUCCESS, {Access::ReadOnly, path, checked.readOnly}, {}};
  } catch (const Damaged&) {
    return Unavailable(path, ERROR_BADDB, "it is damaged, and " + checked.readOnly);
  } catch (const sql::Error& e) {
    const bool broken = e.code() == SQLITE_NOTADB || e.code() == SQLITE_CORRUPT;
    return Unavailable(path, broken ? ERROR_BADDB : ERROR_CANTOPEN,
                       (broken ? std::string("it is damaged") : std::string(e.what())) + ", and " + checked.readOnly);
  }
}

}  // namespace

OpenedDatabase OpenRegistryDatabase(const std::string& path) {
  bool damaged = false;
  OpenedDatabase opened = TryOpen(path, damaged);
  if (!damaged || IsMemory(path)) return opened;
  const std::string aside = MoveAside(path);
  if (aside.empty()) {
    opened.status.reason = "it is damaged and could not be moved aside";
    return opened;
  }
  opened = TryOpen(path, damaged);
  opened.movedAsideTo = aside;
  return opened;
}

const char* RegistrySchema() { return kSchema; }

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
