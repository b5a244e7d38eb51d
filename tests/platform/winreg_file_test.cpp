// The store on a file: creation, persistence, and files that cannot be used.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

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

// The first answer of a pragma, asked through a connection of its own.
std::string Pragma(const std::string& path, const std::string& pragma) {
  sqlite3* db = nullptr;
  std::string result = "<cannot open>";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, ("PRAGMA " + pragma).c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
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
  ASSERT_EQ(SetString(*store, key, "v", "x"), ERROR_SUCCESS);
  for (const std::string& file : {path, path + "-wal"}) {
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0) << file;
    EXPECT_EQ(info.st_mode & 0777, 0600u) << file;
  }
  EXPECT_EQ(Pragma(path, "journal_mode"), "wal");
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
  EXPECT_EQ(Pragma(path, "integrity_check"), "ok");
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

TEST(RegistryFile, ThreadsShareOneStore) {
  TempDir dir;
  auto store = OpenRegistryStore(dir.File("registry.db"));
  constexpr int kThreads = 4;
  constexpr int kWrites = 200;
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const std::string path = "Threads\\T" + std::to_string(t);
      for (int i = 0; i < kWrites; ++i) {
        HKEY key = 0;
        if (store->RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS ||
            SetString(*store, key, ("v" + std::to_string(i)).c_str(), path) != ERROR_SUCCESS ||
            GetString(*store, key, ("v" + std::to_string(i)).c_str()) != path ||
            store->RegCloseKey(key) != ERROR_SUCCESS)
          ++failures;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  HKEY key = 0;
  ASSERT_EQ(store->RegOpenKeyA(HKEY_CURRENT_USER, "Threads\\T3", &key), ERROR_SUCCESS);
  DWORD count = 0;
  char name[16];
  for (DWORD size = sizeof name;
       store->RegEnumValueA(key, count, name, &size, nullptr, nullptr, nullptr, nullptr) == 0;
       size = sizeof name)
    ++count;
  EXPECT_EQ(count, static_cast<DWORD>(kWrites));
}

}  // namespace
}  // namespace zbx::win::test
