// The store on a file: creation, persistence, and files that cannot be used.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <string>

#include "platform/winreg.h"
#include "platform/winreg_temp_dir.h"

namespace zbx::win::test {
namespace {


LONG SetString(RegistryApi& reg, HKEY key, const char* name, const std::string& text) {
  return reg.RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size()));
}

std::string GetString(RegistryApi& reg, HKEY key, const char* name) {
  char buffer[256];
  DWORD size = sizeof buffer;
  if (reg.RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS)
    return "<missing>";
  return std::string(buffer, size);
}

// Reads one value along a path, opening and closing the key as callers do.
std::string ReadAt(RegistryApi& reg, const char* path, const char* name) {
  HKEY key = 0;
  if (reg.RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return "<no key>";
  std::string text = GetString(reg, key, name);
  reg.RegCloseKey(key);
  return text;
}

std::string IntegrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result = "<cannot open>";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return result;
}

TEST(RegistryFile, CreatesFoldersAndAPrivateFile) {
  TempDir dir;
  const std::string path = dir.File("a/b/registry.db");
  auto store = OpenRegistryStore(path);
  HKEY key = 0;
  ASSERT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(RegistryFile, DataSurvivesClosingAndReopening) {
  TempDir dir;
  const std::string path = dir.File("registry.db");
  {
    auto store = OpenRegistryStore(path);
    HKEY key = 0;
    ASSERT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Game", &key), ERROR_SUCCESS);
    ASSERT_EQ(SetString(*store, key, "Best", "1234"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(*store, key, "Name", "Ann"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(*store, HKEY_LOCAL_MACHINE, "Root value", "r"), ERROR_SUCCESS);
    store->RegCloseKey(key);
  }
  auto store = OpenRegistryStore(path);
  EXPECT_EQ(ReadAt(*store, "SOFTWARE\\game", "best"), "1234");
  EXPECT_EQ(ReadAt(*store, "Software\\Game", "Name"), "Ann");
  EXPECT_EQ(GetString(*store, HKEY_LOCAL_MACHINE, "Root value"), "r");
  EXPECT_EQ(IntegrityCheck(path), "ok");
}

TEST(RegistryFile, TwoStoresOnOneFileSeeEachOthersChanges) {
  TempDir dir;
  const std::string path = dir.File("registry.db");
  auto first = OpenRegistryStore(path);
  auto second = OpenRegistryStore(path);
  HKEY key = 0;
  ASSERT_EQ(first->RegCreateKeyA(HKEY_CURRENT_USER, "Shared", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetString(*first, key, "v", "1"), ERROR_SUCCESS);
  EXPECT_EQ(ReadAt(*second, "Shared", "v"), "1");
  HKEY other = 0;
  ASSERT_EQ(second->RegOpenKeyExA(HKEY_CURRENT_USER, "Shared", 0, KEY_READ, &other),
            ERROR_SUCCESS);
  // An enumeration in progress on one store notices a deletion made through the other.
  for (const char* name : {"a", "b", "c"}) ASSERT_EQ(SetString(*first, key, name, "x"), 0);
  char name[8];
  DWORD size = sizeof name;
  ASSERT_EQ(second->RegEnumValueA(other, 1, name, &size, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(std::string(name), "a");
  ASSERT_EQ(first->RegDeleteValueA(key, "v"), ERROR_SUCCESS);
  size = sizeof name;
  ASSERT_EQ(second->RegEnumValueA(other, 2, name, &size, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(std::string(name), "c");
  // A key deleted through one store is deleted for the handles of the other.
  first->RegCloseKey(key);
  ASSERT_EQ(first->RegDeleteKeyA(HKEY_CURRENT_USER, "Shared"), ERROR_SUCCESS);
  EXPECT_EQ(SetString(*second, other, "v", "2"), ERROR_KEY_DELETED);
}

}  // namespace
}  // namespace zbx::win::test
