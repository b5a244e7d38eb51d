// Store files that cannot be used: damaged ones are moved aside and replaced, others
// make every call fail with a code and are left as they are.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> DamagedCopies(const TempDir& dir) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir.path))
    if (entry.path().filename().string().find(".damaged-") != std::string::npos)
      found.push_back(entry.path().string());
  return found;
}

TEST(RegistryDamage, UnopenableFilesAndNewerFormatsFailEveryCallAndStayAsTheyAre) {
  TempDir dir;
  const std::string file = dir / "plain-file", newer = dir / "newer.db";
  std::ofstream(file) << "x";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(newer.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE future(x); PRAGMA user_version = 99;", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const std::string newerBytes = Slurp(newer);
  for (const std::string& path : {dir.path, file + "/registry.db", newer}) {
    SCOPED_TRACE(path);
    testing::internal::CaptureStderr();
    auto store = OpenRegistryStore(path);
    testing::internal::GetCapturedStderr();
    ExpectEveryCallAnswers(*store, HKEY_CURRENT_USER, ERROR_CANTOPEN);
    EXPECT_EQ(store->RegCloseKey(HKEY_CURRENT_USER), ERROR_CANTOPEN);
  }
  EXPECT_TRUE(DamagedCopies(dir).empty());
  EXPECT_EQ(Slurp(file), "x");
  EXPECT_TRUE(Slurp(newer) == newerBytes) << "the newer store was changed";
}

// A store of 60 keys with 5 values each (text, and bytes on overflow pages), closed.
std::string ValueText(int k, int v) { return "key" + std::to_string(k) + "-value" + std::to_string(v); }
// 3000 bytes that differ from page to page of their overflow chain.
std::string LongData(int k) {
  std::string data(3000, ' ');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + (i / 7 + k) % 26);
  return data;
}

void FillStore(const std::string& path) {
  auto store = OpenRegistryStore(path);
  for (int k = 0; k < 60; ++k) {
    HKEY key = 0;
    ASSERT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, ("Software\\Game\\Key" + std::to_string(k)).c_str(), &key), 0);
    for (int v = 0; v < 4; ++v) ASSERT_EQ(Set(*store, key, ("v" + std::to_string(v)).c_str(), ValueText(k, v)), 0);
    ASSERT_EQ(Set(*store, key, "long", LongData(k), REG_BINARY), 0);
    store->RegCloseKey(key);
  }
}

// 16 bytes written over the start of one page: what can still be read is carried into a
// fresh store, and the damaged file is kept aside as it was.
TEST(RegistryDamage, WhatCanStillBeReadIsCarriedIntoTheFreshStore) {
  const struct {
    const char* where;
    std::function<bool(const std::string& page, std::size_t n)> pick;
    bool everythingKept;
  } damages[] = {
      {"header", [](const std::string&, std::size_t n) { return n == 0; }, true},
      {"an index page", [](const std::string& page, std::size_t) { return page[0] == '\x0A'; }, true},
      {"an inner page of a table", [](const std::string& page, std::size_t) { return page[0] == '\x05'; }, true},
      {"a leaf page of values",
       [](const std::string& page, std::size_t) { return page[0] == '\x0D' && page.find("-value") != std::string::npos; },
       false},
  };
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.where);
    TempDir dir;
    const std::string path = dir / "registry.db";
    FillStore(path);
    std::string bytes = Slurp(path);
    const std::size_t pageSize = 1024;
    std::size_t hit = 0;
    while (hit * pageSize < bytes.size() && !damage.pick(bytes.substr(hit * pageSize, pageSize), hit)) ++hit;
    ASSERT_LT(hit * pageSize, bytes.size()) << "no such page";
    for (std::size_t i = 0; i < 16; ++i) bytes[hit * pageSize + i] = static_cast<char>(0xA5 ^ (i * 37));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    testing::internal::CaptureStderr();
    auto store = OpenRegistryStore(path);
    const std::string said = testing::internal::GetCapturedStderr();
    const auto copies = DamagedCopies(dir);
    ASSERT_EQ(copies.size(), 1u) << said;
    EXPECT_NE(said.find(path + " was damaged; "), std::string::npos) << said;
    EXPECT_NE(said.find("the damaged file is kept as " + copies[0]), std::string::npos) << said;
    EXPECT_TRUE(Slurp(copies[0]) == bytes) << "the damaged file is kept as it was";
    int kept = 0, wrong = 0;
    for (int k = 0; k < 60; ++k)
      for (int v = 0; v < 4; ++v) {
        const std::string got = GetAt(*store, "Software\\Game\\Key" + std::to_string(k), "v" + std::to_string(v));
        kept += got == ValueText(k, v);
        wrong += got != ValueText(k, v) && got.rfind("error", 0) != 0;
      }
    EXPECT_EQ(wrong, 0);
    if (damage.everythingKept) {
      EXPECT_EQ(kept, 240);
      EXPECT_NE(said.find("65 keys and 300 values were saved"), std::string::npos) << said;  // and Game, four first keys
      EXPECT_TRUE(GetAt(*store, "Software\\Game\\Key59", "long") == LongData(59));
    } else {
      EXPECT_GT(kept, 200) << "one leaf page holds a few dozen values at most";
      EXPECT_LT(kept, 240);
    }
    store.reset();
    testing::internal::CaptureStderr();
    OpenRegistryStore(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the fresh store opens silently";
    EXPECT_EQ(DamagedCopies(dir).size(), 1u);
  }
}

TEST(RegistryDamage, ChangesStillInTheWalAreSavedToo) {
  TempDir dir;
  const std::string path = dir / "registry.db";
  FillStore(path);
  // A writer that dies without closing leaves its last commit in the WAL file only. It
  // changes a value in place, so the file's first page (its header) stays out of the WAL.
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    auto store = OpenRegistryStore(path);
    HKEY key = 0;
    if (store->RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Game\\Key7", &key) != 0) _exit(1);
    _exit(Set(*store, key, "v0", "changed!!!!") == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_EQ(status, 0);
  ASSERT_GT(std::filesystem::file_size(path + "-wal"), 0u);
  // Another process keeps the store open (a game still running), so nothing folds the WAL
  // into the file when the damage is found; then a damaged header.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN; SELECT count(*) FROM reg_values;", nullptr, nullptr, nullptr), SQLITE_OK);
  std::string bytes = Slurp(path);
  for (std::size_t i = 0; i < 16; ++i) bytes[i] = static_cast<char>(0x5A + i);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  testing::internal::CaptureStderr();
  auto store = OpenRegistryStore(path);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("65 keys and 300 values were saved"), std::string::npos) << said;
  EXPECT_EQ(GetAt(*store, "Software\\Game\\Key7", "v0"), "changed!!!!");
  EXPECT_EQ(GetAt(*store, "Software\\Game\\Key8", "v0"), ValueText(8, 0));
  sqlite3_close(other);
}

}  // namespace
}  // namespace zbx::win::test
