// The process-wide default store and the free registry functions over it.
#include <mutex>

#include "platform/winreg.h"

namespace zbx::win {
namespace {

struct DefaultSlot {
  std::mutex mutex;
  std::shared_ptr<RegistryApi> store;
};

DefaultSlot& Slot() {
  static DefaultSlot slot;
  return slot;
}

}  // namespace

std::shared_ptr<RegistryApi> SharedDefaultRegistry() {
  DefaultSlot& slot = Slot();
  std::lock_guard<std::mutex> lock(slot.mutex);
  if (!slot.store) slot.store = OpenPlatformRegistry();
  return slot.store;
}

RegistryApi& DefaultRegistry() { return *SharedDefaultRegistry(); }

LONG SetValueBytes(RegistryApi& api, HKEY key, LPCSTR name, DWORD type, const std::string& data) {
  const std::string buffer = data + '\x01';
  return api.RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                            static_cast<DWORD>(data.size()));
}

std::string StoreProblem(const StoreStatus& status) {
  switch (status.access) {
    case StoreStatus::Access::Unavailable:
      return "cannot open the registry store " + status.path + ": " + status.reason;
    case StoreStatus::Access::ReadOnly:
      return "the registry store " + status.path + " is read-only (" + status.reason + ")";
    case StoreStatus::Access::ReadWrite:
      break;
  }
  return {};
}

void SetDefaultRegistry(std::shared_ptr<RegistryApi> store) {
  DefaultSlot& slot = Slot();
  std::lock_guard<std::mutex> lock(slot.mutex);
  slot.store = std::move(store);
}

// Each free function holds the store for the length of its call, so replacing the
// default meanwhile cannot pull it away under it.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult) {
  return SharedDefaultRegistry()->RegOpenKeyExA(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}
LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  return SharedDefaultRegistry()->RegOpenKeyA(hKey, lpSubKey, phkResult);
}
LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  return SharedDefaultRegistry()->RegCreateKeyA(hKey, lpSubKey, phkResult);
}
LONG RegCloseKey(HKEY hKey) { return SharedDefaultRegistry()->RegCloseKey(hKey); }
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  return SharedDefaultRegistry()->RegDeleteKeyA(hKey, lpSubKey);
}
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  return SharedDefaultRegistry()->RegEnumKeyExA(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass,
                                         lpcchClass, lpftLastWriteTime);
}
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  return SharedDefaultRegistry()->RegEnumValueA(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved,
                                         lpType, lpData, lpcbData);
}
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
  return SharedDefaultRegistry()->RegQueryValueExA(hKey, lpValueName, lpReserved, lpType, lpData,
                                            lpcbData);
}
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  return SharedDefaultRegistry()->RegSetValueExA(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  return SharedDefaultRegistry()->RegDeleteValueA(hKey, lpValueName);
}

}  // namespace zbx::win
