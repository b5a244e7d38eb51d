// Store files that cannot be used: damaged ones are moved aside and replaced, others
// make every call fail with a code.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/winreg.h"
#include "platform/winreg_temp_dir.h"

namespace zbx::win::test {
namespace {

namespace fs = std::filesystem;

LONG SetString(RegistryApi& reg, HKEY key, const char* name, const std::string& text) {
  return reg.RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size()));
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

std::vector<std::string> DamagedCopies(const TempDir& dir) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    if (entry.path().filename().string().find(".damaged-") != std::string::npos)
      found.push_back(entry.path().string());
  return found;
}

// Every call of a store that cannot work answers the same nonzero code.
void ExpectEveryCallFails(RegistryApi& reg, LONG code) {
  HKEY key = 77;
  char name[16];
  DWORD size = sizeof name;
  EXPECT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_READ, &key), code);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_CURRENT_USER, "K", &key), code);
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), code);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "K"), code);
  EXPECT_EQ(reg.RegEnumKeyExA(HKEY_CURRENT_USER, 0, name, &size, nullptr, nullptr, nullptr,
                              nullptr),
            code);
  EXPECT_EQ(reg.RegEnumValueA(HKEY_CURRENT_USER, 0, name, &size, nullptr, nullptr, nullptr,
                              nullptr),
            code);
  EXPECT_EQ(reg.RegQueryValueExA(HKEY_CURRENT_USER, "v", nullptr, nullptr, nullptr, &size), code);
  EXPECT_EQ(SetString(reg, HKEY_CURRENT_USER, "v", "x"), code);
  EXPECT_EQ(reg.RegDeleteValueA(HKEY_CURRENT_USER, "v"), code);
  EXPECT_EQ(reg.RegCloseKey(HKEY_CURRENT_USER), code);
}

TEST(RegistryDamage, FileThatIsNoDatabaseIsMovedAsideAndAFreshStoreUsed) {
  TempDir dir;
  const std::string path = dir.File("registry.db");
  const std::string junk(5000, 'J');
  WriteFile(path, junk);
  testing::internal::CaptureStderr();
  auto store = OpenRegistryStore(path);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(path), std::string::npos) << said;
  EXPECT_NE(said.find("damaged"), std::string::npos) << said;

  const auto copies = DamagedCopies(dir);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_TRUE(Contents(copies[0]) == junk) << "the damaged file is kept as it was";
  ASSERT_EQ(SetString(*store, HKEY_CURRENT_USER, "v", "fresh"), ERROR_SUCCESS);
  store.reset();
  testing::internal::CaptureStderr();
  store = OpenRegistryStore(path);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a sound store opens silently";
  DWORD size = 0;
  EXPECT_EQ(store->RegQueryValueExA(HKEY_CURRENT_USER, "v", nullptr, nullptr, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(DamagedCopies(dir).size(), 1u);
}

TEST(RegistryDamage, DatabaseWithBrokenPagesIsMovedAside) {
  TempDir dir;
  const std::string path = dir.File("registry.db");
  {
    auto store = OpenRegistryStore(path);
    HKEY key = 0;
    ASSERT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "Data", &key), ERROR_SUCCESS);
    for (int i = 0; i < 200; ++i)
      SetString(*store, key, ("v" + std::to_string(i)).c_str(), std::string(100, 'd'));
    store->RegCloseKey(key);
  }
  std::string bytes = Contents(path);
  ASSERT_GT(bytes.size(), 100u);
  // The page size is stored big-endian at offset 16 of the header.
  const std::size_t pageSize = static_cast<unsigned char>(bytes[16]) * 256u +
                               static_cast<unsigned char>(bytes[17]);
  ASSERT_GT(bytes.size(), 3 * pageSize);
  // Everything after the first page (the schema) becomes noise.
  for (std::size_t i = pageSize; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  WriteFile(path, bytes);

  testing::internal::CaptureStderr();
  auto store = OpenRegistryStore(path);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("damaged"), std::string::npos);
  EXPECT_EQ(DamagedCopies(dir).size(), 1u);
  HKEY key = 0;
  EXPECT_EQ(store->RegOpenKeyExA(HKEY_CURRENT_USER, "Data", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "Data", &key), ERROR_SUCCESS);
}

TEST(RegistryDamage, UnopenablePathsMakeEveryCallFail) {
  TempDir dir;
  const std::string file = dir.File("plain-file");
  WriteFile(file, "x");
  for (const std::string& path : {dir.path(), file + "/registry.db"}) {
    SCOPED_TRACE(path);
    testing::internal::CaptureStderr();
    auto store = OpenRegistryStore(path);
    testing::internal::GetCapturedStderr();
    ExpectEveryCallFails(*store, ERROR_CANTOPEN);
  }
  EXPECT_TRUE(fs::is_directory(dir.path())) << "nothing was moved";
  EXPECT_EQ(Contents(file), "x");
}

TEST(RegistryDamage, StoreOfANewerFormatIsLeftAlone) {
  TempDir dir;
  const std::string path = dir.File("registry.db");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE future(x); PRAGMA user_version = 99;", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const std::string before = Contents(path);
  auto store = OpenRegistryStore(path);
  ExpectEveryCallFails(*store, ERROR_CANTOPEN);
  EXPECT_TRUE(DamagedCopies(dir).empty());
  EXPECT_TRUE(Contents(path) == before) << "the file was changed";
}

TEST(RegistryDamage, WriterWaitsForAnotherConnectionsLock) {
  TempDir dir;
  const std::string path = dir.File("registry.db");
  auto store = OpenRegistryStore(path);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread release([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  EXPECT_EQ(SetString(*store, HKEY_CURRENT_USER, "v", "waited"), ERROR_SUCCESS);
  release.join();
  sqlite3_close(other);
  DWORD size = 0;
  EXPECT_EQ(store->RegQueryValueExA(HKEY_CURRENT_USER, "v", nullptr, nullptr, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
}

}  // namespace
}  // namespace zbx::win::test
