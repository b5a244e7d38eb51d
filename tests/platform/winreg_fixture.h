#pragma once
// Store test helpers: a fresh in-memory store per test, a temporary folder for files, and
// short forms of the calls that keep the tests about behaviour.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/winreg.h"

namespace zbx::win::test {

using Strings = std::vector<std::string>;

inline std::string Error(LONG rc) { return "error " + std::to_string(rc); }

// Sets a value to exactly these bytes (see ValueTest.AZeroRightBehindStringDataIsStoredToo).
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

// Every sub-key (or value) name; the listing must end with 259.
inline Strings Names(RegistryApi& reg, HKEY key, bool values = false) {
  Strings names;
  for (std::string name; (name = NameAt(reg, key, static_cast<DWORD>(names.size()), values)).rfind("error ", 0) != 0;)
    names.push_back(name);
  EXPECT_EQ(NameAt(reg, key, static_cast<DWORD>(names.size()), values), Error(ERROR_NO_MORE_ITEMS));
  return names;
}

// Every call but close, made through handle h, answers code.
inline void ExpectEveryCallAnswers(RegistryApi& reg, HKEY h, LONG code) {
  HKEY out = 77;
  char name[16];
  BYTE data[16];
  DWORD size = sizeof name, cb = sizeof data;
  EXPECT_EQ(reg.RegOpenKeyExA(h, "K", 0, KEY_READ, &out), code);
  EXPECT_EQ(out, 0u);
  EXPECT_EQ(reg.RegOpenKeyA(h, "", &out), code);
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

// The first answer of a pragma, asked through a connection of its own.
inline std::string Pragma(const std::string& path, const std::string& pragma) {
  std::string result = "<no answer>";
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) == SQLITE_OK) {
    auto first = [](void* out, int, char** row, char**) {
      *static_cast<std::string*>(out) = row[0];
      return 1;  // the first row is enough
    };
    sqlite3_exec(db, ("PRAGMA " + pragma).c_str(), first, &result, nullptr);
  }
  sqlite3_close(db);
  return result;
}

// A temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zbx-winreg-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path = pattern;
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

class RegistryTest : public ::testing::Test {
 protected:
  std::shared_ptr<RegistryApi> store = OpenRegistryStore(":memory:");
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
