#include "platform/registry_store.h"

#include <thread>
#include <utility>

namespace zbx::win {
namespace {

// A bulk scope commits once its transaction has been open this long, and then waits this
// long before it begins the next one: a writer that waits for the store (SQLite's busy
// wait) tries again at least every 100 ms, so it gets its turn.
constexpr auto kBulkTransactionTime = std::chrono::seconds(1);
constexpr auto kBulkPause = std::chrono::milliseconds(110);
// Keys remembered by path at most (work in bulk goes from one key to the next).
constexpr std::size_t kKeyCacheSize = 4096;

}  // namespace

SqliteRegistry::SqliteRegistry(sql::DatabasePtr db, StoreStatus status)
    : status_(std::move(status)), db_(std::move(db)), sql_(db_.get()) {}

std::size_t SqliteRegistry::OpenHandleCount() {
  std::lock_guard lock(mutex_);
  return handles_.OpenCount();
}

// Inside a transaction the store does not change under this connection: a key found
// there stays where it is (keys never move, and their ids never come back) until this
// store deletes a key or undoes a change, which empties the cache. Another connection's
// commit shows as a new data version when the next transaction begins; this
// connection's own commits carry the cache over (see Commit).
std::optional<std::int64_t> SqliteRegistry::FindKey(const std::string& path) {
  const bool cached = sql_.InTransaction();
  if (cached) {
    if (!KeysCurrent() || keyCache_.size() >= kKeyCacheSize) {
      keyCache_.clear();
      keyCacheVersion_ = DataVersion();
    }
    if (const auto hit = keyCache_.find(path); hit != keyCache_.end()) return hit->second;
  }
  sql::Step step(sql_[Sql::KeyByPath]);
  step.BindText(1, path);
  if (!step.Next()) return std::nullopt;
  const std::int64_t id = step.Int(0);
  if (cached) keyCache_.emplace(path, id);
  return id;
}

bool SqliteRegistry::Alive(const OpenKey& key) {
  if (key.root) return true;
  // A key found by its path in the state seen now exists.
  if (KeysCurrent())
    if (const auto hit = keyCache_.find(key.path); hit != keyCache_.end() && hit->second == key.id) return true;
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

void SqliteRegistry::Commit(WriteTransaction& transaction) {
  const bool current = KeysCurrent();
  transaction.Commit();
  if (current) keyCacheVersion_ = DataVersion();
  Changed();
}

LONG SqliteRegistry::Transact(const std::function<LONG()>& body) { return RunScope(ScopeKind::Atomic, body); }

LONG SqliteRegistry::Bulk(const std::function<LONG()>& body) { return RunScope(ScopeKind::Bulk, body); }

LONG SqliteRegistry::Snapshot(const std::function<LONG()>& body) { return RunScope(ScopeKind::Snapshot, body); }

LONG SqliteRegistry::RunScope(ScopeKind kind, const std::function<LONG()>& body) {
  std::lock_guard lock(mutex_);
  if (!sql_.InTransaction()) return RunOutermost(kind, body);
  // Inside a transaction already open. Work in bulk is part of it; an atomic scope and a
  // snapshot hold it as it is (an open bulk commits nothing meanwhile), and an atomic
  // scope is a savepoint of it, so that its body is still undone whole when it throws.
  if (kind == ScopeKind::Bulk) return body();
  struct Hold {
    int& holds;
    explicit Hold(int& n) : holds(++n) {}
    ~Hold() { --holds; }
  } hold(holds_);
  if (kind == ScopeKind::Snapshot) return body();
  std::optional<WriteTransaction> savepoint;
  const LONG begun = Attempt([&] {
    savepoint.emplace(sql_);
    return ERROR_SUCCESS;
  });
  if (begun != ERROR_SUCCESS) return begun;
  LONG result = ERROR_SUCCESS;
  try {
    result = body();
  } catch (...) {
    ForgetKeys();  // the savepoint is rolled back
    throw;
  }
  const LONG released = Attempt([&] {
    savepoint->Commit();
    return ERROR_SUCCESS;
  });
  Changed();
  return released != ERROR_SUCCESS ? released : result;
}

// The outermost scope: an atomic scope and a bulk one hold the write lock from the start
// (BEGIN IMMEDIATE), a snapshot takes its state with a first read.
LONG SqliteRegistry::RunOutermost(ScopeKind kind, const std::function<LONG()>& body) {
  const LONG begun = Attempt([&] {
    if (kind != ScopeKind::Snapshot) {
      sql::Step(sql_[Sql::Begin]).Run();
      return ERROR_SUCCESS;
    }
    sql::Step(sql_[Sql::BeginRead]).Run();
    sql::Step(sql_[Sql::KeyExists]).Bind(1, HandleTable::RootId(0)).Run();
    return ERROR_SUCCESS;
  });
  if (begun != ERROR_SUCCESS) {
    End(false);
    if (kind == ScopeKind::Atomic) return begun;
    return body();  // without a transaction: every call commits on its own
  }
  if (kind == ScopeKind::Bulk) bulk_ = {true, true, std::chrono::steady_clock::now(), ERROR_SUCCESS, 0};
  LONG result = ERROR_SUCCESS;
  try {
    result = body();
  } catch (...) {
    End(kind != ScopeKind::Atomic);  // a bulk keeps what was done, an atomic scope nothing
    throw;
  }
  const LONG ended = End(true);
  return ended != ERROR_SUCCESS ? ended : result;
}

// Ends the outermost scope's transaction, committing it when keep is true (else rolling
// it back); the first failure of the scope's commits, or success.
LONG SqliteRegistry::End(bool keep) noexcept {
  const bool bulk = std::exchange(bulk_.open, false);
  const bool expected = !bulk || bulk_.transaction;
  LONG rc = Attempt([&] {
    // A transaction that is gone was rolled back by SQLite after a failure in it.
    if (!sql_.InTransaction()) return expected ? ERROR_REGISTRY_IO_FAILED : ERROR_SUCCESS;
    const bool current = KeysCurrent();
    sql::Step(sql_[keep ? Sql::Commit : Sql::Rollback]).Run();
    if (current) keyCacheVersion_ = DataVersion();
    return ERROR_SUCCESS;
  });
  if (sql_.InTransaction()) Attempt([&] {
    sql::Step(sql_[Sql::Rollback]).Run();
    return ERROR_SUCCESS;
  });
  if (!keep || rc != ERROR_SUCCESS) ForgetKeys();
  Changed();
  if (bulk && bulk_.error != ERROR_SUCCESS) rc = bulk_.error;
  return keep ? rc : ERROR_SUCCESS;
}

void SqliteRegistry::NextBulkTransaction() noexcept {
  if (std::chrono::steady_clock::now() - bulk_.since < kBulkTransactionTime) return;
  const LONG committed = Attempt([&] {
    if (!sql_.InTransaction()) return bulk_.transaction ? ERROR_REGISTRY_IO_FAILED : ERROR_SUCCESS;
    const bool current = KeysCurrent();
    sql::Step(sql_[Sql::Commit]).Run();
    if (current) keyCacheVersion_ = DataVersion();
    return ERROR_SUCCESS;
  });
  if (committed != ERROR_SUCCESS) {
    ForgetKeys();
    if (bulk_.error == ERROR_SUCCESS) bulk_.error = committed;
  }
  if (sql_.InTransaction()) Attempt([&] {
    sql::Step(sql_[Sql::Rollback]).Run();
    return ERROR_SUCCESS;
  });
  std::this_thread::sleep_for(kBulkPause);
  bulk_.transaction = Attempt([&] {
    sql::Step(sql_[Sql::Begin]).Run();
    return ERROR_SUCCESS;
  }) == ERROR_SUCCESS;
  bulk_.since = std::chrono::steady_clock::now();
}

LONG SqliteRegistry::RegCloseKey(HKEY hKey) {
  return Guarded([&] { return handles_.Close(hKey); });
}

}  // namespace zbx::win
