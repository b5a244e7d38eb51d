#pragma once
// Every SQL statement of the registry store, prepared once on first use and reused.
#include <array>

#include "platform/sqlite_handle.h"

namespace zbx::win {

enum class Sql {
  Begin,
  Commit,
  Rollback,
  Savepoint,
  Release,
  RollbackTo,
  BeginRead,       // a deferred BEGIN: the read starts with the first statement
  KeyByPath,       // ?1 path -> id
  KeyExists,       // ?1 id
  HasSubKey,       // ?1 id
  InsertKey,       // ?1 parent, ?2 name, ?3 uname, ?4 path
  DeleteKey,       // ?1 id
  DeleteKeyValues, // ?1 key
  SubKeyAt,        // ?1 parent, ?2 offset -> name, uname
  SubKeyAfter,     // ?1 parent, ?2 uname -> name, uname
  ValueByName,     // ?1 key, ?2 uname -> type, data
  SetValue,        // ?1 key, ?2 name, ?3 uname, ?4 type, ?5 data
  DeleteValue,     // ?1 key, ?2 uname
  ValueAt,         // ?1 key, ?2 offset -> id, name, type, data
  ValueAfter,      // ?1 key, ?2 id -> id, name, type, data
  Count
};

class StatementCache {
 public:
  explicit StatementCache(sqlite3* db) : db_(db) {}
  sqlite3_stmt* operator[](Sql which);
  bool InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

 private:
  sqlite3* db_;
  std::array<sql::StatementPtr, static_cast<std::size_t>(Sql::Count)> statements_;
};

// A write transaction (BEGIN IMMEDIATE, so that the busy timeout applies up front
// instead of failing a later upgrade); rolled back unless committed. Inside a
// transaction already open it is a savepoint of that one instead, so that a call that
// fails half-way undoes only itself; a call whose change is a single statement needs no
// savepoint there (SQLite undoes a failed statement by itself): `single` says so.
class WriteTransaction {
 public:
  explicit WriteTransaction(StatementCache& sql, bool single = false);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  void Commit();

 private:
  StatementCache& sql_;
  bool open_ = true;
  bool nested_ = false;
};

}  // namespace zbx::win
