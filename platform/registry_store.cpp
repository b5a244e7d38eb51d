#include "platform/registry_store.h"

#include <utility>

namespace zbx::win {

SqliteRegistry::SqliteRegistry(sql::DatabasePtr db, StoreStatus status)
    : status_(std::move(status)), db_(std::move(db)), sql_(db_.get()) {}

std::size_t SqliteRegistry::OpenHandleCount() {
  std::lock_guard lock(mutex_);
  return handles_.OpenCount();
}

std::optional<std::int64_t> SqliteRegistry::FindKey(const std::string& path) {
  sql::Step step(sql_[Sql::KeyByPath]);
  step.BindText(1, path);
  if (!step.Next()) return std::nullopt;
  return step.Int(0);
}

bool SqliteRegistry::Alive(const OpenKey& key) {
  if (key.root) return true;
  sql::Step step(sql_[Sql::KeyExists]);
  step.Bind(1, key.id);
  return step.Next();
}

// Changes whenever another connection commits to the file (read at the start of each
// statement's read transaction, so it describes what the last statement saw).
unsigned SqliteRegistry::DataVersion() {
  unsigned version = 0;
  sqlite3_file_control(db_.get(), "main", SQLITE_FCNTL_DATA_VERSION, &version);
  return version;
}

bool SqliteRegistry::CursorUsable(const EnumCursor& cursor, DWORD index) {
  return cursor.valid && index == cursor.index + 1 && cursor.generation == generation_;
}

void SqliteRegistry::Remember(EnumCursor& cursor, DWORD index) {
  cursor.valid = true;
  cursor.index = index;
  cursor.generation = generation_;
  cursor.dataVersion = DataVersion();
}

// One write transaction around the whole body; the changing calls inside it become
// savepoints of it (see WriteTransaction), so a failing call still undoes only itself.
LONG SqliteRegistry::Transact(const std::function<LONG()>& body) {
  std::lock_guard lock(mutex_);
  std::optional<WriteTransaction> transaction;
  const LONG begun = Guarded([&] {
    transaction.emplace(sql_);
    return ERROR_SUCCESS;
  });
  if (begun != ERROR_SUCCESS) return begun;
  const LONG result = body();
  const LONG committed = Guarded([&] {
    transaction->Commit();
    return ERROR_SUCCESS;
  });
  Changed();
  return committed != ERROR_SUCCESS ? committed : result;
}

LONG SqliteRegistry::RegCloseKey(HKEY hKey) {
  return Guarded([&] { return handles_.Close(hKey); });
}

}  // namespace zbx::win
