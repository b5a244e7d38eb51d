#pragma once
// The registry API of the desktop platform, ours: the advapi32 calls the registry class
// is written against, with their ANSI signatures, 32-bit handles and Win32 result codes.
// Text crossing this API is single-byte code page 1252.
//
// RegistryApi is the interface (tests and callers hand the class their own store);
// the free functions go to the process-wide default store. On Linux the calls are
// answered by our store on SQLite; on Windows by the system (OpenPlatformRegistry).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zbx::win {

using LONG = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using REGSAM = std::uint32_t;
using HKEY = std::uint32_t;  // 32-bit handle values, 0 is never valid
using PHKEY = HKEY*;
using LPCSTR = const char*;
using LPSTR = char*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM DELETE = 0x00010000;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_NOACCESS = 998;
inline constexpr LONG ERROR_BADDB = 1009;
inline constexpr LONG ERROR_BADKEY = 1010;
inline constexpr LONG ERROR_CANTOPEN = 1011;
inline constexpr LONG ERROR_CANTREAD = 1012;
inline constexpr LONG ERROR_CANTWRITE = 1013;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr LONG ERROR_KEY_DELETED = 1018;
inline constexpr LONG ERROR_NO_SYSTEM_RESOURCES = 1450;

// The deepest a key may lie below its root: the Win32 registry's 512 levels. Creating a
// deeper key fails with ERROR_NO_SYSTEM_RESOURCES, as it does there.
inline constexpr int kMaxKeyDepth = 512;

// How a store was opened: for reading and writing; for reading only (every change
// answers ERROR_ACCESS_DENIED); or not at all (every call fails). `reason` says why it
// is read-only or unusable, in words fit to follow "cannot open the registry store PATH: ".
struct StoreStatus {
  enum class Access { ReadWrite, ReadOnly, Unavailable };
  Access access = Access::ReadWrite;
  std::string path;
  std::string reason;
};

// Why nothing can be written to a store, in one line: "cannot open the registry store
// PATH: REASON" or "the registry store PATH is read-only (REASON)"; empty when it can be.
std::string StoreProblem(const StoreStatus& status);

// A registry store with the Win32 call semantics.
//
// RegSetValueExA, as on Windows, reads one byte past the cbData bytes of string data
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ): a zero there is taken for a terminator the
// caller forgot to count, and stored too. SetValueBytes stores exactly the bytes given.
class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // How the store was opened (a store of the caller's own is read-write).
  virtual StoreStatus Status() const { return {}; }
  virtual LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult) = 0;
  virtual LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) = 0;
  virtual LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) = 0;
  virtual LONG RegCloseKey(HKEY hKey) = 0;
  virtual LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) = 0;
  virtual LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                             LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                             PFILETIME lpftLastWriteTime) = 0;
  virtual LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData) = 0;
  virtual LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData) = 0;
  virtual LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* lpData, DWORD cbData) = 0;
  virtual LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) = 0;

  // Runs body with the store to itself: no other thread or process changes the store
  // between body's reads and writes, and body's changes are committed together when it
  // returns (rolled back, and the exception passed on, when it throws). Body makes its
  // calls on this store as usual. Returns body's result, or the store's error code when
  // the store cannot be had (body has not run then). A store without transactions just
  // runs body.
  virtual LONG Transact(const std::function<LONG()>& body) { return body(); }

  // Runs body as one piece of bulk work. Its calls do exactly what they do alone, but
  // share one transaction (work that runs longer than a second is committed about every
  // second, between two calls), committed before Bulk returns, whether body succeeds,
  // fails or throws (the exception passes on). A crash may lose what was not yet
  // committed, never part of a call. Other writers wait while a transaction of it is
  // open; between two of them it pauses so that they get their turn. Returns body's
  // result, or the store's error code when a commit failed (what that transaction held
  // is lost then). When the store cannot be had, body runs all the same, each call
  // committing on its own. Inside another scope, body simply runs in that one.
  virtual LONG Bulk(const std::function<LONG()>& body) { return body(); }

  // Runs body on one state of the store: every call of body sees the store as it was when
  // Snapshot began, whatever other processes change meanwhile (their changes show after
  // it returns); other writers are not held up. Meant for reading: a change made inside
  // fails when another process has changed the store since the snapshot began. Returns
  // body's result. Inside another scope, body simply runs in that one.
  virtual LONG Snapshot(const std::function<LONG()>& body) { return body(); }
};

// Sets a value to exactly the given bytes: they are handed over with a byte behind them
// that is not zero, so that no terminator is added to string data.
LONG SetValueBytes(RegistryApi& api, HKEY key, LPCSTR name, DWORD type, const std::string& data);

// The process-wide default store: the platform's registry (see OpenPlatformRegistry),
// opened on first use. Whoever holds the pointer keeps that store alive, also after the
// default is replaced.
std::shared_ptr<RegistryApi> SharedDefaultRegistry();
// The default store, for one call: replacing the default may free it behind a reference
// kept longer (hold SharedDefaultRegistry() instead).
RegistryApi& DefaultRegistry();
// Replaces the default store (for example with one on another file); nullptr goes back
// to the platform's registry. Those holding the one before keep it until they let go.
void SetDefaultRegistry(std::shared_ptr<RegistryApi> store);
// The platform's registry: on Linux our store on the per-user database file (see
// DefaultStorePath); on Windows the system's own registry, every call passed straight
// to advapi32 (the 32-bit handles of this interface are the system's handle values).
std::shared_ptr<RegistryApi> OpenPlatformRegistry();

#ifndef _WIN32
// $XDG_DATA_HOME/zorbanix/registry.db, else ~/.local/share/zorbanix/registry.db.
std::string DefaultStorePath();

// Opens a store on a database file, or ":memory:". Missing folders are made with mode
// 0700 and the file with 0600. A store that cannot be opened still gives a store, whose
// Status() says why and whose every call fails; a file or folder that is not writable
// gives a read-only store. Refused: a path that is a symbolic link, a file or folder of
// another user, a folder that others may write. A damaged file is moved aside, and what
// can still be read of it is carried into the fresh store that replaces it.
std::shared_ptr<RegistryApi> OpenRegistryStore(const std::string& path);
#endif

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
LONG RegCloseKey(HKEY hKey);
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);

}  // namespace zbx::win
