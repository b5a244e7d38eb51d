// The platform's registry on Windows: the system's own, through advapi32. Every call
// passes straight to the system's call of the same name; what happens here is only the
// widening of this interface's types to the system's. A registry handle is a kernel
// handle, whose value fits 32 bits: it is sign-extended on the way in (which also makes
// 0x80000001 the system's HKEY_CURRENT_USER) and cut to 32 bits on the way out.
//
// The "A" calls read and write text in the system's ANSI code page: the class hands them
// code page 1252, which is that code page on Western-European Windows.
#include "platform/winreg.h"

// After our header: <windows.h> defines macros (DELETE, ERROR_SUCCESS, KEY_READ, ...)
// over the names of our constants, so from here on only the system's names are used.
#include <windows.h>

namespace zbx::win {
namespace {

::HKEY Wide(HKEY key) { return reinterpret_cast<::HKEY>(static_cast<LONG_PTR>(static_cast<std::int32_t>(key))); }

HKEY Narrow(::HKEY key) { return static_cast<HKEY>(reinterpret_cast<ULONG_PTR>(key)); }

// An in-out argument that the caller may leave null: its value goes in as the system's
// type and comes back when the call returns (when the object goes out of scope).
template <typename Ours, typename Theirs>
class InOut {
 public:
  InOut(Ours* ours, Theirs value) : ours_(ours), theirs_(value) {}
  ~InOut() {
    if (ours_ != nullptr) Back();
  }
  InOut(const InOut&) = delete;
  InOut& operator=(const InOut&) = delete;
  Theirs* get() { return ours_ != nullptr ? &theirs_ : nullptr; }

 private:
  void Back();
  Ours* ours_;
  Theirs theirs_;
};

template <>
void InOut<DWORD, ::DWORD>::Back() { *ours_ = theirs_; }
template <>
void InOut<HKEY, ::HKEY>::Back() { *ours_ = Narrow(theirs_); }
template <>
void InOut<FILETIME, ::FILETIME>::Back() { *ours_ = {theirs_.dwLowDateTime, theirs_.dwHighDateTime}; }

// (HKEY and DWORD are one type here, so the three have names of their own.)
InOut<DWORD, ::DWORD> Size(DWORD* p) { return {p, p != nullptr ? *p : 0}; }
InOut<HKEY, ::HKEY> Key(HKEY* p) { return {p, p != nullptr ? Wide(*p) : nullptr}; }
InOut<FILETIME, ::FILETIME> Time(FILETIME* p) {
  return {p, p != nullptr ? ::FILETIME{p->dwLowDateTime, p->dwHighDateTime} : ::FILETIME{}};
}

class SystemRegistry final : public RegistryApi {
 public:
  LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                     PHKEY phkResult) override {
    auto result = Key(phkResult);
    return ::RegOpenKeyExA(Wide(hKey), lpSubKey, ulOptions, samDesired, result.get());
  }
  LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) override {
    auto result = Key(phkResult);
    return ::RegOpenKeyA(Wide(hKey), lpSubKey, result.get());
  }
  LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) override {
    auto result = Key(phkResult);
    return ::RegCreateKeyA(Wide(hKey), lpSubKey, result.get());
  }
  LONG RegCloseKey(HKEY hKey) override { return ::RegCloseKey(Wide(hKey)); }
  LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) override { return ::RegDeleteKeyA(Wide(hKey), lpSubKey); }
  LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                     LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) override {
    auto name = Size(lpcchName), reserved = Size(lpReserved), cls = Size(lpcchClass);
    auto time = Time(lpftLastWriteTime);
    return ::RegEnumKeyExA(Wide(hKey), dwIndex, lpName, name.get(), reserved.get(), lpClass, cls.get(),
                           time.get());
  }
  LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                     LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) override {
    auto name = Size(lpcchValueName), reserved = Size(lpReserved), type = Size(lpType), size = Size(lpcbData);
    return ::RegEnumValueA(Wide(hKey), dwIndex, lpValueName, name.get(), reserved.get(), type.get(), lpData,
                           size.get());
  }
  LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                        LPDWORD lpcbData) override {
    auto reserved = Size(lpReserved), type = Size(lpType), size = Size(lpcbData);
    return ::RegQueryValueExA(Wide(hKey), lpValueName, reserved.get(), type.get(), lpData, size.get());
  }
  LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                      DWORD cbData) override {
    return ::RegSetValueExA(Wide(hKey), lpValueName, Reserved, dwType, lpData, cbData);
  }
  LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) override {
    return ::RegDeleteValueA(Wide(hKey), lpValueName);
  }
};

}  // namespace

std::shared_ptr<RegistryApi> OpenPlatformRegistry() { return std::make_shared<SystemRegistry>(); }

}  // namespace zbx::win
