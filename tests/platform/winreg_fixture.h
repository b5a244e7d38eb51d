#pragma once
// A fresh in-memory registry store per test, with small helpers that keep the tests
// about behaviour instead of buffer plumbing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/winreg.h"

namespace zbx::win::test {

class RegistryTest : public ::testing::Test {
 protected:
  std::shared_ptr<RegistryApi> store = OpenRegistryStore(":memory:");
  RegistryApi& reg = *store;

  HKEY Create(HKEY parent, const char* path) {
    HKEY key = 0;
    EXPECT_EQ(reg.RegCreateKeyA(parent, path, &key), ERROR_SUCCESS) << path;
    return key;
  }
  LONG Open(HKEY parent, const char* path, HKEY& key) {
    return reg.RegOpenKeyExA(parent, path, 0, KEY_READ, &key);
  }
  bool Exists(HKEY parent, const char* path) {
    HKEY key = 0;
    if (Open(parent, path, key) != ERROR_SUCCESS) return false;
    reg.RegCloseKey(key);
    return true;
  }
  LONG Set(HKEY key, const char* name, const std::string& data, DWORD type = REG_SZ) {
    return reg.RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size()));
  }
  // The value's bytes (read with a buffer that fits exactly), or the error code as text.
  std::string Get(HKEY key, const char* name, DWORD* type = nullptr) {
    DWORD size = 0;
    LONG rc = reg.RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return "error " + std::to_string(rc);
    std::string data(size, '\0');
    rc = reg.RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data.data()),
                              &size);
    if (rc != ERROR_SUCCESS) return "error " + std::to_string(rc);
    data.resize(size);
    return data;
  }
  // The name of the sub-key at an index, or the error code as text.
  std::string SubKeyAt(HKEY key, DWORD index) {
    char name[300];
    DWORD size = sizeof name;
    const LONG rc = reg.RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    return rc == ERROR_SUCCESS ? std::string(name, size) : "error " + std::to_string(rc);
  }
  std::string ValueAt(HKEY key, DWORD index) {
    char name[300];
    DWORD size = sizeof name;
    const LONG rc = reg.RegEnumValueA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    return rc == ERROR_SUCCESS ? std::string(name, size) : "error " + std::to_string(rc);
  }
  std::vector<std::string> SubKeys(HKEY key) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
      char name[300];
      DWORD size = sizeof name;
      const LONG rc = reg.RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
      if (rc != ERROR_SUCCESS) {
        EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
        return names;
      }
      names.emplace_back(name, size);
    }
  }
  std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
      char name[300];
      DWORD size = sizeof name;
      const LONG rc =
          reg.RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
      if (rc != ERROR_SUCCESS) {
        EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
        return names;
      }
      names.emplace_back(name, size);
    }
  }
};

}  // namespace zbx::win::test
