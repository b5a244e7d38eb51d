#pragma once
// The registry store on one SQLite database: the Win32 registry calls over a tree of
// keys and values kept in two tables, with a process-local table of open handles.
// Safe to call from several threads (one lock per store); several processes may share
// the file (WAL journal, busy timeout, one transaction per changing call).
//
// The store belongs to one user (the file is mode 0600) and keeps no per-key security:
// access masks decide what a handle may do with values and listings: setting and
// deleting values takes KEY_SET_VALUE, reading and listing them KEY_QUERY_VALUE, listing
// sub-keys KEY_ENUMERATE_SUB_KEYS (else ERROR_ACCESS_DENIED). Creating and deleting keys
// works through any handle, as it does on Windows, where those rights are the key's,
// not the handle's.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry_database.h"
#include "platform/registry_handles.h"
#include "platform/registry_statements.h"
#include "platform/sqlite_handle.h"
#include "platform/winreg.h"

namespace zbx::win {

class SqliteRegistry final : public RegistryApi {
 public:
  // status: how the database was opened; a read-only store refuses every change with
  // ERROR_ACCESS_DENIED.
  explicit SqliteRegistry(sql::DatabasePtr db, StoreStatus status = {});
  ~SqliteRegistry() override = default;

  StoreStatus Status() const override { return status_; }

  LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                     PHKEY phkResult) override;
  LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) override;
  LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) override;
  LONG RegCloseKey(HKEY hKey) override;
  LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) override;
  LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                     LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                     PFILETIME lpftLastWriteTime) override;
  LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                     LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                     LPDWORD lpcbData) override;
  LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                        LPBYTE lpData, LPDWORD lpcbData) override;
  LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                      const BYTE* lpData, DWORD cbData) override;
  LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) override;
  LONG Transact(const std::function<LONG()>& body) override;
  LONG Bulk(const std::function<LONG()>& body) override;
  LONG Snapshot(const std::function<LONG()>& body) override;

  // Handles currently open, roots not counted (for leak checks in tests).
  std::size_t OpenHandleCount();

 private:
  struct SubKeyRow {
    std::string name, uname;
  };
  struct ValueRow {
    std::int64_t id = 0;
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
  };

  enum class ScopeKind { Atomic, Bulk, Snapshot };
  // The open bulk scope, when the outermost scope is one.
  struct BulkState {
    bool open = false;
    bool transaction = false;                     // false when one could not be begun
    std::chrono::steady_clock::time_point since;  // when its transaction began
    LONG error = ERROR_SUCCESS;                   // the first commit that failed
    unsigned calls = 0;                           // calls made in it
  };

  // Runs one call under the lock, turning SQLite failures into Win32 codes.
  template <class Call>
  LONG Guarded(Call&& call) noexcept;
  // Runs a piece of the store's own work, turning SQLite failures into Win32 codes.
  template <class Work>
  LONG Attempt(Work&& work) noexcept;

  LONG RunScope(ScopeKind kind, const std::function<LONG()>& body);
  LONG RunOutermost(ScopeKind kind, const std::function<LONG()>& body);
  LONG End(bool keep) noexcept;
  // Between two calls of a bulk scope that has run long: commits, lets other writers in,
  // and begins again.
  void NextBulkTransaction() noexcept;

  std::optional<std::int64_t> FindKey(const std::string& path);
  // True when the keys remembered belong to the state this connection sees now.
  bool KeysCurrent() { return sql_.InTransaction() && keyCacheVersion_ == DataVersion(); }
  void ForgetKeys() { keyCache_.clear(); }
  // Commits a change of this connection; the keys remembered stay (a commit moves none).
  void Commit(WriteTransaction& transaction);
  bool Alive(const OpenKey& key);
  unsigned DataVersion();
  bool CursorUsable(const EnumCursor& cursor, DWORD index);
  void Remember(EnumCursor& cursor, DWORD index);

  LONG OpenKeyLocked(HKEY hKey, LPCSTR lpSubKey, REGSAM access, PHKEY phkResult);
  LONG CreateKeyLocked(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
  std::int64_t CreatePath(std::int64_t parent, std::string path,
                          const std::vector<std::string_view>& names);
  LONG DeleteKeyLocked(HKEY hKey, LPCSTR lpSubKey);
  std::optional<SubKeyRow> SubKeyAt(OpenKey& key, DWORD index);
  std::optional<SubKeyRow> ReadSubKey(sql::Step& step);
  std::optional<ValueRow> ValueAt(OpenKey& key, DWORD index);
  std::optional<ValueRow> ReadValue(sql::Step& step);
  void Changed() { ++generation_; }
  bool ReadOnly() const { return status_.access == StoreStatus::Access::ReadOnly; }

  std::recursive_mutex mutex_;  // recursive: a Transact body makes calls of its own
  const StoreStatus status_;
  sql::DatabasePtr db_;      // declared before the statements: closed after them
  StatementCache sql_;
  HandleTable handles_;
  std::uint64_t generation_ = 0;  // bumped by every change this store commits
  int holds_ = 0;                  // atomic scopes and snapshots open inside the outermost scope
  // Keys found by path while a transaction is open, and the data version they belong to.
  std::unordered_map<std::string, std::int64_t> keyCache_;
  unsigned keyCacheVersion_ = 0;
  BulkState bulk_;
  std::vector<std::string_view> names_;  // scratch for path splitting
};

template <class Call>
LONG SqliteRegistry::Guarded(Call&& call) noexcept {
  std::lock_guard lock(mutex_);
  const LONG rc = Attempt(call);
  // The clock is asked every few calls only: a call takes microseconds.
  if (bulk_.open && holds_ == 0 && ++bulk_.calls % 32 == 0) NextBulkTransaction();
  return rc;
}

template <class Work>
LONG SqliteRegistry::Attempt(Work&& work) noexcept {
  try {
    return work();
  } catch (const sql::Error& e) {
    ForgetKeys();  // what failed may have been undone, keys found meanwhile included
    return RegistryErrorCode(e.code());
  } catch (const std::bad_alloc&) {
    ForgetKeys();
    return ERROR_NOT_ENOUGH_MEMORY;
  } catch (const std::exception&) {
    ForgetKeys();
    return ERROR_REGISTRY_IO_FAILED;
  }
}

}  // namespace zbx::win
