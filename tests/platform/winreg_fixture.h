#pragma once
// Store test helpers: a fresh store per test (support/test_store.h), a temporary folder
// for files, and short forms of the calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/winreg.h"
#include "support/test_store.h"
#ifndef _WIN32
#include <sqlite3.h>
#endif

namespace zbx::win::test {

using Strings = std::vector<std::string>;

inline std::string Error(LONG rc) { return "error " + std::to_string(rc); }

// Sets a value to exactly these bytes (RegSetValueExA would take a zero behind string data too).
inline LONG Set(RegistryApi& reg, HKEY key, const char* name, const std::string& data,
                DWORD type = REG_SZ) {
  return SetValueBytes(reg, key, name, type, data);
}

// The value's bytes (read with a buffer that fits exactly), or the error code as text.
inline std::string Get(RegistryApi& reg, HKEY key, const char* name, DWORD* type = nullptr) {
  DWORD size = 0;
  LONG rc = reg.RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
  std::string data(size, '\0');
  if (rc == ERROR_SUCCESS)
    rc = reg.RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data.data()), &size);
  return rc == ERROR_SUCCESS ? data.substr(0, size) : Error(rc);
}

// Opens a key below HKEY_CURRENT_USER, reads one value and closes the key again.
inline std::string GetAt(RegistryApi& reg, const std::string& path, const std::string& name) {
  HKEY key = 0;
  const LONG rc = reg.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
  if (rc != ERROR_SUCCESS) return Error(rc);
  std::string data = Get(reg, key, name.c_str());
  reg.RegCloseKey(key);
  return data;
}

// The name of the sub-key (or value) at an index, or the error code as text.
inline std::string NameAt(RegistryApi& reg, HKEY key, DWORD index, bool value = false) {
  char name[300];
  DWORD size = sizeof name;
  const LONG rc = value ? reg.RegEnumValueA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr)
                        : reg.RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
  return rc == ERROR_SUCCESS ? std::string(name, size) : Error(rc);
}

// Every sub-key (or value) name, up to the first failure, which must be 259: no more items.
inline Strings Names(RegistryApi& reg, HKEY key, bool values = false, bool ended = true) {
  Strings names;
  for (std::string name; (name = NameAt(reg, key, static_cast<DWORD>(names.size()), values)).rfind("error ", 0) != 0;)
    names.push_back(name);
  if (ended) {
    EXPECT_EQ(NameAt(reg, key, static_cast<DWORD>(names.size()), values), Error(ERROR_NO_MORE_ITEMS));
  }
  return names;
}

// Sorted names, for comparing listings whose order the registry chooses.
inline Strings Sorted(Strings names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Every call but close, made through handle h, answers code.
inline void ExpectEveryCallAnswers(RegistryApi& reg, HKEY h, LONG code) {
  HKEY out = 0;
  char name[16];
  BYTE data[16];
  DWORD size = sizeof name, cb = sizeof data;
  EXPECT_EQ(reg.RegOpenKeyExA(h, "K", 0, KEY_READ, &out), code);
  // Windows hands back a handle given with no sub-key unchecked; our store checks it.
  if (!zbx::test::kSystemRegistry) {
    EXPECT_EQ(reg.RegOpenKeyA(h, "", &out), code);
  }
  EXPECT_EQ(reg.RegCreateKeyA(h, "K", &out), code);
  EXPECT_EQ(reg.RegCreateKeyA(h, nullptr, &out), code);
  EXPECT_EQ(reg.RegDeleteKeyA(h, "K"), code);
  EXPECT_EQ(reg.RegDeleteKeyA(h, ""), code);
  EXPECT_EQ(reg.RegEnumKeyExA(h, 0, name, &size, nullptr, nullptr, nullptr, nullptr), code);
  EXPECT_EQ(reg.RegEnumValueA(h, 0, name, &size, nullptr, nullptr, data, &cb), code);
  EXPECT_EQ(reg.RegQueryValueExA(h, "v", nullptr, nullptr, data, &cb), code);
  EXPECT_EQ(Set(reg, h, "v", "x"), code);
  EXPECT_EQ(reg.RegDeleteValueA(h, "v"), code);
}

#ifndef _WIN32
// The first answer of a pragma, asked through a connection of its own.
inline std::string Pragma(const std::string& path, const std::string& pragma) {
  sqlite3* db = nullptr;
  sqlite3_stmt* stmt = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_prepare_v2(db, ("PRAGMA " + pragma).c_str(), -1, &stmt, nullptr);
  const bool row = sqlite3_step(stmt) == SQLITE_ROW;
  std::string result = row ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)) : "<no answer>";
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return result;
}
#endif

// A temporary folder (0700, as mkdtemp makes it), removed with everything in it.
class TempDir {
 public:
  TempDir() {
    const std::string name = "zbx-winreg-" + std::to_string(std::random_device()());
    const auto folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    path = folder.generic_string();
  }
  ~TempDir() { std::error_code ec; std::filesystem::remove_all(path, ec); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using zbx::test::kSystemRegistry;
using zbx::test::UnderWine;

class RegistryTest : public ::testing::Test {
 protected:
  std::shared_ptr<RegistryApi> store = zbx::test::OpenTestStore();
  RegistryApi& reg = *store;

  HKEY Create(HKEY parent, const std::string& path) {
    HKEY key = 0;
    EXPECT_EQ(reg.RegCreateKeyA(parent, path.c_str(), &key), ERROR_SUCCESS) << path;
    return key;
  }
  bool Exists(HKEY parent, const std::string& path) {
    HKEY key = 0;
    if (reg.RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    reg.RegCloseKey(key);
    return true;
  }
};

}  // namespace zbx::win::test
