#pragma once
// One open registry key, closed when the guard goes out of scope, on every path.
#include <string>

#include "platform/winreg.h"

namespace zbx {

class RegKey {
 public:
  explicit RegKey(win::RegistryApi& api) : api_(api) {}
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  win::LONG OpenEx(win::HKEY root, const std::string& subKey, win::REGSAM access) {
    return Take(api_.RegOpenKeyExA(root, subKey.c_str(), 0, access, &pending_));
  }
  win::LONG Open(win::HKEY root, const std::string& subKey) {
    return Take(api_.RegOpenKeyA(root, subKey.c_str(), &pending_));
  }
  win::LONG Create(win::HKEY root, const std::string& subKey) {
    return Take(api_.RegCreateKeyA(root, subKey.c_str(), &pending_));
  }

  win::HKEY get() const { return handle_; }
  bool is_open() const { return handle_ != 0; }

  void Close() {
    if (handle_ != 0) api_.RegCloseKey(handle_);
    handle_ = 0;
  }

 private:
  // Keeps the handle only when the call succeeded: a failed open leaves nothing to close.
  win::LONG Take(win::LONG rc) {
    Close();
    if (rc == win::ERROR_SUCCESS) handle_ = pending_;
    pending_ = 0;
    return rc;
  }

  win::RegistryApi& api_;
  win::HKEY handle_ = 0;
  win::HKEY pending_ = 0;
};

}  // namespace zbx
