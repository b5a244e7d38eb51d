#include "platform/sqlite_handle.h"

namespace zbx::sql {
namespace {

// A valid pointer for binding zero-length data (a null pointer would bind NULL).
constexpr unsigned char kEmpty = 0;

[[noreturn]] void Throw(sqlite3* db, int rc) {
  const char* msg = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  throw Error(db != nullptr ? sqlite3_extended_errcode(db) : rc, msg);
}

}  // namespace

void Check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK) Throw(db, rc);
}

void Exec(sqlite3* db, const char* sqlText) {
  Check(db, sqlite3_exec(db, sqlText, nullptr, nullptr, nullptr));
}

StatementPtr PreparePersistent(sqlite3* db, std::string_view sqlText) {
  sqlite3_stmt* stmt = nullptr;
  Check(db, sqlite3_prepare_v3(db, sqlText.data(), static_cast<int>(sqlText.size()),
                               SQLITE_PREPARE_PERSISTENT, &stmt, nullptr));
  return StatementPtr(stmt);
}

Step::~Step() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

Step& Step::Bind(int index, std::int64_t value) {
  Check(sqlite3_db_handle(stmt_), sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

Step& Step::BindText(int index, std::string_view text) {
  const char* data = text.empty() ? reinterpret_cast<const char*>(&kEmpty) : text.data();
  Check(sqlite3_db_handle(stmt_),
        sqlite3_bind_text(stmt_, index, data, static_cast<int>(text.size()), SQLITE_STATIC));
  return *this;
}

Step& Step::BindBlob(int index, const void* data, std::size_t size) {
  if (size == 0 || data == nullptr) data = &kEmpty;
  Check(sqlite3_db_handle(stmt_),
        sqlite3_bind_blob64(stmt_, index, data, size, SQLITE_STATIC));
  return *this;
}

bool Step::Next() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Throw(sqlite3_db_handle(stmt_), rc);
}

std::string_view Step::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  const auto size = static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column));
  if (text == nullptr) return {};
  return {reinterpret_cast<const char*>(text), size};
}

const unsigned char* Step::BlobData(int column) const {
  return static_cast<const unsigned char*>(sqlite3_column_blob(stmt_, column));
}

std::size_t Step::BlobSize(int column) const {
  return static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column));
}

}  // namespace zbx::sql
