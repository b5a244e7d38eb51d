#pragma once
// A registry store that forwards to a real one, counts the handles opened and closed, and
// lets a test replace the result of chosen enumeration calls.
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "platform/winreg.h"

namespace zbx::test {

class ProbeStore : public win::RegistryApi {
 public:
  using LONG = win::LONG;
  using DWORD = win::DWORD;
  using HKEY = win::HKEY;

  explicit ProbeStore(std::shared_ptr<win::RegistryApi> inner) : inner_(std::move(inner)) {}

  // Keys opened or created and not closed yet (roots excluded: closing them is a no-op).
  std::set<HKEY> open;
  // Returns a result to report instead of calling the store, or nothing to go on.
  std::function<std::optional<LONG>(DWORD index)> onEnumKey;
  std::function<std::optional<LONG>(DWORD index)> onEnumValue;
  int enumValueCalls = 0;

  LONG RegOpenKeyExA(HKEY h, win::LPCSTR sub, DWORD opt, win::REGSAM sam, win::PHKEY out) override {
    return Track(inner_->RegOpenKeyExA(h, sub, opt, sam, out), out);
  }
  LONG RegOpenKeyA(HKEY h, win::LPCSTR sub, win::PHKEY out) override {
    return Track(inner_->RegOpenKeyA(h, sub, out), out);
  }
  LONG RegCreateKeyA(HKEY h, win::LPCSTR sub, win::PHKEY out) override {
    return Track(inner_->RegCreateKeyA(h, sub, out), out);
  }
  LONG RegCloseKey(HKEY h) override {
    open.erase(h);
    return inner_->RegCloseKey(h);
  }
  LONG RegDeleteKeyA(HKEY h, win::LPCSTR sub) override { return inner_->RegDeleteKeyA(h, sub); }
  LONG RegEnumKeyExA(HKEY h, DWORD i, win::LPSTR name, win::LPDWORD cch, win::LPDWORD r,
                     win::LPSTR cls, win::LPDWORD ccls, win::PFILETIME t) override {
    if (onEnumKey)
      if (auto rc = onEnumKey(i)) return *rc;
    return inner_->RegEnumKeyExA(h, i, name, cch, r, cls, ccls, t);
  }
  LONG RegEnumValueA(HKEY h, DWORD i, win::LPSTR name, win::LPDWORD cch, win::LPDWORD r,
                     win::LPDWORD type, win::LPBYTE data, win::LPDWORD cb) override {
    ++enumValueCalls;
    if (onEnumValue)
      if (auto rc = onEnumValue(i)) return *rc;
    return inner_->RegEnumValueA(h, i, name, cch, r, type, data, cb);
  }
  LONG RegQueryValueExA(HKEY h, win::LPCSTR n, win::LPDWORD r, win::LPDWORD type, win::LPBYTE data,
                        win::LPDWORD cb) override {
    return inner_->RegQueryValueExA(h, n, r, type, data, cb);
  }
  LONG RegSetValueExA(HKEY h, win::LPCSTR n, DWORD r, DWORD type, const win::BYTE* data,
                      DWORD cb) override {
    return inner_->RegSetValueExA(h, n, r, type, data, cb);
  }
  LONG RegDeleteValueA(HKEY h, win::LPCSTR n) override { return inner_->RegDeleteValueA(h, n); }

 private:
  LONG Track(LONG rc, win::PHKEY out) {
    if (rc == win::ERROR_SUCCESS && (*out < win::HKEY_CLASSES_ROOT || *out > win::HKEY_DYN_DATA))
      open.insert(*out);
    return rc;
  }

  std::shared_ptr<win::RegistryApi> inner_;
};

}  // namespace zbx::test
