#pragma once
// RAII over the SQLite C API: owning pointers for connections and statements, a scoped
// use of a prepared statement that always ends in a reset (so an implicit read
// transaction never outlives the call), and one error type carrying the SQLite code.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zbx::sql {

class Error : public std::runtime_error {
 public:
  Error(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  // The primary result code (SQLITE_BUSY, SQLITE_CORRUPT, ...).
  int code() const { return code_ & 0xFF; }

 private:
  int code_;
};

struct DatabaseCloser {
  void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }
};
using DatabasePtr = std::unique_ptr<sqlite3, DatabaseCloser>;
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Throws Error for a result code that is not SQLITE_OK.
void Check(sqlite3* db, int rc);
// Runs SQL without results (possibly several statements).
void Exec(sqlite3* db, const char* sql);
// Prepares a statement meant to be kept and reused.
StatementPtr PreparePersistent(sqlite3* db, std::string_view sql);

// One execution of a prepared statement. Parameters are bound without copying, so
// what is bound must outlive the Step; the destructor resets and clears the bindings.
class Step {
 public:
  explicit Step(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~Step();
  Step(const Step&) = delete;
  Step& operator=(const Step&) = delete;

  Step& Bind(int index, std::int64_t value);
  Step& BindText(int index, std::string_view text);
  Step& BindBlob(int index, const void* data, std::size_t size);

  // True while a row is available, false when the statement is done; throws on error.
  bool Next();
  // Runs a statement that returns no rows.
  void Run() { while (Next()) {} }

  std::int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  std::string_view Text(int column) const;
  // Pointer and size of a BLOB (or text) column; the pointer is valid until the next
  // Next() and may be null for an empty value.
  const unsigned char* BlobData(int column) const;
  std::size_t BlobSize(int column) const;

 private:
  sqlite3_stmt* stmt_;
};

}  // namespace zbx::sql
