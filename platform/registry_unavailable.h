#pragma once
// The store that stands in when the database cannot be opened: every call fails with
// the same code, so callers see a failure instead of a crash.
#include <utility>

#include "platform/winreg.h"

namespace zbx::win {

class UnavailableRegistry final : public RegistryApi {
 public:
  UnavailableRegistry(LONG error, StoreStatus status) : error_(error), status_(std::move(status)) {}

  StoreStatus Status() const override { return status_; }

  LONG RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, PHKEY phkResult) override {
    return Fail(phkResult);
  }
  LONG RegOpenKeyA(HKEY, LPCSTR, PHKEY phkResult) override { return Fail(phkResult); }
  LONG RegCreateKeyA(HKEY, LPCSTR, PHKEY phkResult) override { return Fail(phkResult); }
  LONG RegCloseKey(HKEY) override { return error_; }
  LONG RegDeleteKeyA(HKEY, LPCSTR) override { return error_; }
  LONG RegEnumKeyExA(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPSTR, LPDWORD, PFILETIME) override {
    return error_;
  }
  LONG RegEnumValueA(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD) override {
    return error_;
  }
  LONG RegQueryValueExA(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) override {
    return error_;
  }
  LONG RegSetValueExA(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) override { return error_; }
  LONG RegDeleteValueA(HKEY, LPCSTR) override { return error_; }

  LONG error() const { return error_; }

 private:
  LONG Fail(PHKEY out) const {
    if (out != nullptr) *out = 0;
    return error_;
  }
  LONG error_;
  StoreStatus status_;
};

}  // namespace zbx::win
