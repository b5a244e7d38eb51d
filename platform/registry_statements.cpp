#include "platform/registry_statements.h"

namespace zbx::win {
namespace {

constexpr std::array<const char*, static_cast<std::size_t>(Sql::Count)> kText = {
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SAVEPOINT call",
    "RELEASE call",
    "ROLLBACK TO call",
    "BEGIN",
    "SELECT id FROM reg_keys WHERE path = ?1",
    "SELECT 1 FROM reg_keys WHERE id = ?1",
    "SELECT 1 FROM reg_keys WHERE parent = ?1 LIMIT 1",
    "INSERT INTO reg_keys(parent, name, uname, path) VALUES (?1, ?2, ?3, ?4)",
    "DELETE FROM reg_keys WHERE id = ?1",
    "DELETE FROM reg_values WHERE key = ?1",
    "SELECT name, uname FROM reg_keys WHERE parent = ?1 ORDER BY uname LIMIT 1 OFFSET ?2",
    "SELECT name, uname FROM reg_keys WHERE parent = ?1 AND uname > ?2 ORDER BY uname LIMIT 1",
    "SELECT type, data FROM reg_values WHERE key = ?1 AND uname = ?2",
    "INSERT INTO reg_values(key, name, uname, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
    "ON CONFLICT(key, uname) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM reg_values WHERE key = ?1 AND uname = ?2",
    "SELECT id, name, type, data FROM reg_values WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2",
    "SELECT id, name, type, data FROM reg_values WHERE key = ?1 AND id > ?2 ORDER BY id LIMIT 1",
};

}  // namespace

sqlite3_stmt* StatementCache::operator[](Sql which) {
  auto& slot = statements_[static_cast<std::size_t>(which)];
  if (!slot) slot = sql::PreparePersistent(db_, kText[static_cast<std::size_t>(which)]);
  return slot.get();
}

WriteTransaction::WriteTransaction(StatementCache& sql, bool single) : sql_(sql), nested_(sql.InTransaction()) {
  if (nested_ && single) {
    open_ = false;
    return;
  }
  sql::Step(sql_[nested_ ? Sql::Savepoint : Sql::Begin]).Run();
}

WriteTransaction::~WriteTransaction() {
  if (!open_) return;
  try {
    if (nested_) {
      sql::Step(sql_[Sql::RollbackTo]).Run();
      sql::Step(sql_[Sql::Release]).Run();
    } else {
      sql::Step(sql_[Sql::Rollback]).Run();
    }
  } catch (const sql::Error&) {
    // A failed rollback leaves SQLite to roll back on its own when the next
    // transaction starts; nothing better can be done from a destructor.
  }
}

void WriteTransaction::Commit() {
  if (!open_) return;
  sql::Step(sql_[nested_ ? Sql::Release : Sql::Commit]).Run();
  open_ = false;
}

}  // namespace zbx::win
