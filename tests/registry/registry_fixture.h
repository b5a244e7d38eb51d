#pragma once
// Class tests: a fresh store per test (support/test_store.h) behind a probe that can fail
// chosen listing calls, a class object on it, and a temporary folder for files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/winreg_fixture.h"
#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

namespace zbx::test {

using win::DWORD, win::HKEY, win::LONG, win::LPCSTR, win::LPSTR, win::LPDWORD;
using Names = std::vector<std::string>;
using Values = std::vector<RegValue>;
inline constexpr std::int16_t kTrue = clsRegistryAccess::kTrue;
inline constexpr std::int16_t kFalse = clsRegistryAccess::kFalse;
inline constexpr const char* kKey = "HKCU\\Software\\Test";

// Forwards to a real store; a listing call may instead report the result a test chooses,
// and the opening of a key whose path holds lockedName is refused.
class ProbeStore : public win::RegistryApi {
 public:
  std::shared_ptr<win::RegistryApi> inner = OpenTestStore();
  std::function<std::optional<LONG>(DWORD index)> onEnumKey, onEnumValue;
  std::string lockedName;

  LONG RegOpenKeyExA(HKEY h, LPCSTR s, DWORD o, win::REGSAM m, win::PHKEY k) override {
    return inner->RegOpenKeyExA(h, s, o, m, k);
  }
  LONG RegOpenKeyA(HKEY h, LPCSTR s, win::PHKEY k) override {
    if (lockedName.empty() || std::string(s).find(lockedName) == std::string::npos) return inner->RegOpenKeyA(h, s, k);
    *k = 0;
    return win::ERROR_ACCESS_DENIED;
  }
  LONG RegCreateKeyA(HKEY h, LPCSTR s, win::PHKEY k) override { return inner->RegCreateKeyA(h, s, k); }
  LONG RegCloseKey(HKEY h) override { return inner->RegCloseKey(h); }
  LONG RegDeleteKeyA(HKEY h, LPCSTR s) override { return inner->RegDeleteKeyA(h, s); }
  LONG RegEnumKeyExA(HKEY h, DWORD i, LPSTR n, LPDWORD cch, LPDWORD r, LPSTR c, LPDWORD cc,
                     win::PFILETIME t) override {
    if (auto rc = onEnumKey ? onEnumKey(i) : std::nullopt) return *rc;
    return inner->RegEnumKeyExA(h, i, n, cch, r, c, cc, t);
  }
  LONG RegEnumValueA(HKEY h, DWORD i, LPSTR n, LPDWORD cch, LPDWORD r, LPDWORD type, win::LPBYTE d,
                     LPDWORD cb) override {
    if (auto rc = onEnumValue ? onEnumValue(i) : std::nullopt) return *rc;
    return inner->RegEnumValueA(h, i, n, cch, r, type, d, cb);
  }
  LONG RegQueryValueExA(HKEY h, LPCSTR n, LPDWORD r, LPDWORD type, win::LPBYTE d, LPDWORD cb) override {
    return inner->RegQueryValueExA(h, n, r, type, d, cb);
  }
  LONG RegSetValueExA(HKEY h, LPCSTR n, DWORD r, DWORD type, const win::BYTE* d, DWORD cb) override {
    return inner->RegSetValueExA(h, n, r, type, d, cb);
  }
  LONG RegDeleteValueA(HKEY h, LPCSTR n) override { return inner->RegDeleteValueA(h, n); }

};

using win::test::Slurp;
using win::test::TempDir;

class RegistryTest : public ::testing::Test {
 protected:
  ProbeStore store;
  clsRegistryAccess reg{store};
  TempDir dir;
  Names names;
  Values values;

  // Every operation closes the keys it opened, on success and failure alike.
  void TearDown() override {
    EXPECT_EQ(OpenHandleCount(*store.inner), 0u) << "key(s) left open";
  }
  // The bytes the store holds for a value of kKey, and their type, bypassing the class.
  std::string Raw(const std::string& name, DWORD* type = nullptr) {
    HKEY key = 0;
    store.RegOpenKeyA(win::HKEY_CURRENT_USER, "Software\\Test", &key);
    const std::string data = win::test::Get(store, key, name.c_str(), type);
    store.RegCloseKey(key);
    return data;
  }
  // Sets a value of kKey (or of a key below it) to exactly these bytes, past the class.
  void SetRaw(const std::string& name, DWORD type, const std::string& data, const std::string& below = "") {
    HKEY key = 0;
    store.RegCreateKeyA(win::HKEY_CURRENT_USER, ("Software\\Test" + below).c_str(), &key);
    win::SetValueBytes(store, key, name.c_str(), type, data);
    store.RegCloseKey(key);
  }
  // Exports to a new file and returns its bytes; the result must be `expected`.
  std::string Exported(const std::string& path, std::int32_t expected = 1, RegExportOutput* out = nullptr) {
    std::filesystem::remove(dir / "out.reg");
    EXPECT_EQ(reg.ExportToReg(path, dir / "out.reg", out), expected);
    return Slurp(dir / "out.reg");
  }
  // Writes bytes exactly as given (no newline translation); returns the path.
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return dir / name;
  }
};

}  // namespace zbx::test
