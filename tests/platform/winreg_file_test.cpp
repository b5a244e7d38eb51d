// Where the store lives: folders made 0700 and a WAL file 0600; links, other users' files
// and folders others can write refused with the reason; a store that cannot be written
// opened for reading only; the default path; damaged files moved aside and salvaged.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

using Access = StoreStatus::Access;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(RegistryFile, MissingFoldersAreMadePrivateAndStoresOnOneFileSeeEachOthersChanges) {
  TempDir dir;
  const std::string path = dir / "xdg/zorbanix/registry.db";
  auto first = OpenRegistryStore(path);
  EXPECT_EQ(ModeOf(dir / "xdg"), 0700u);
  EXPECT_EQ(ModeOf(dir / "xdg/zorbanix"), 0700u);
  HKEY key = 0, other = 0;
  ASSERT_EQ(first->RegCreateKeyA(HKEY_CURRENT_USER, "Shared", &key), ERROR_SUCCESS);
  for (const char* name : {"v", "a", "b", "c"}) ASSERT_EQ(Set(*first, key, name, name), 0);
  for (const std::string& file : {path, path + "-wal"}) EXPECT_EQ(ModeOf(file), 0600u) << file;
  EXPECT_EQ(Pragma(path, "journal_mode"), "wal");
  // Another store on the file sees the changes, also between two calls of an enumeration.
  auto second = OpenRegistryStore(path);
  ASSERT_EQ(second->RegOpenKeyA(HKEY_CURRENT_USER, "Shared", &other), ERROR_SUCCESS);
  EXPECT_EQ(NameAt(*second, other, 1, true), "a");
  ASSERT_EQ(first->RegDeleteValueA(key, "v"), ERROR_SUCCESS);
  EXPECT_EQ(NameAt(*second, other, 2, true), "c");
  first->RegCloseKey(key);
  ASSERT_EQ(first->RegDeleteKeyA(HKEY_CURRENT_USER, "Shared"), ERROR_SUCCESS);
  EXPECT_EQ(Set(*second, other, "v", "2"), ERROR_KEY_DELETED);
}

// Refused: a planted link, never followed; folders others can write; folders and files of
// other users. Read only: a store whose file or folder cannot be written.
TEST(RegistryFile, RefusedAndReadOnlyStores) {
  TempDir dir;
  const std::string folder = dir / "zorbanix", path = folder + "/registry.db", other = dir / "other";
  std::ofstream(other) << "someone else's file";
  std::filesystem::create_directory(folder);
  ASSERT_EQ(::symlink(other.c_str(), path.c_str()), 0);
  EXPECT_EQ(OpenRegistryStore(path)->Status().reason, "it is a symbolic link");
  ExpectEveryCallAnswers(*OpenRegistryStore(path), HKEY_CURRENT_USER, ERROR_CANTOPEN);
  EXPECT_EQ(Slurp(other), "someone else's file");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ASSERT_EQ(Set(*OpenRegistryStore(path), HKEY_CURRENT_USER, "v", "kept"), ERROR_SUCCESS);
  const std::string before = Slurp(path);
  ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);  // read only (a read-only file: tests/registry, tests/flow)
  auto store = OpenRegistryStore(path);
  EXPECT_EQ(store->Status().access, Access::ReadOnly);
  EXPECT_EQ(store->Status().reason, "its folder " + folder + " is read-only");
  EXPECT_EQ(Get(*store, HKEY_CURRENT_USER, "v"), "kept");
  EXPECT_EQ(Set(*store, HKEY_CURRENT_USER, "v", "changed"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(store->RegDeleteValueA(HKEY_CURRENT_USER, "v"), ERROR_ACCESS_DENIED);
  // Nothing to read and nowhere to make it.
  EXPECT_EQ(OpenRegistryStore(folder + "/other.db")->Status().reason,
            "it does not exist and its folder " + folder + " is read-only");
  store.reset();
  ASSERT_EQ(::chmod(folder.c_str(), 0770), 0);
  EXPECT_EQ(OpenRegistryStore(path)->Status().reason, "its folder " + folder + " can be written by other users");
  ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
  EXPECT_TRUE(Slurp(path) == before);
  if (::geteuid() != 0) GTEST_SKIP() << "giving a folder or file to another user needs root";
  ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  EXPECT_EQ(OpenRegistryStore(path)->Status().reason, "it belongs to another user");
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  EXPECT_EQ(OpenRegistryStore(path)->Status().reason, "its folder " + folder + " belongs to another user");
}

// Sets (or unsets, for null) an environment variable for the life of the object.
struct ScopedEnv {
  ScopedEnv(const char* n, const char* value) : name(n), old(getenv(n) ? getenv(n) : "") {
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old.empty() ? unsetenv(name) : setenv(name, old.c_str(), 1); }
  const char* name;
  std::string old;
};

TEST(RegistryFile, DefaultPathFollowsAnAbsoluteXdgDataHomeElseHome) {
  ScopedEnv home("HOME", "/home/ann");
  const std::string fallback = "/home/ann/.local/share/zorbanix/registry.db";
  const std::pair<const char*, std::string> cases[] = {
      {"/data/ann", "/data/ann/zorbanix/registry.db"}, {nullptr, fallback}, {"relative/dir", fallback}};
  for (const auto& [xdg, expected] : cases) {
    ScopedEnv env("XDG_DATA_HOME", xdg);
    EXPECT_EQ(DefaultStorePath(), expected);
  }
}

// Store files that cannot be used: damaged ones are moved aside and replaced, others
// make every call fail with a code and are left as they are.
std::vector<std::string> DamagedCopies(const TempDir& dir) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path))
    if (entry.path().filename().string().find(".damaged-") != std::string::npos)
      found.push_back(entry.path().string());
  return found;
}

TEST(RegistryDamage, AFolderAndANewerFormatFailEveryCallAndStayAsTheyAre) {
  TempDir dir;
  const std::string newer = dir / "newer.db";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(newer.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE future(x); PRAGMA user_version = 99;", nullptr, nullptr, nullptr), 0);
  sqlite3_close(db);
  const std::string newerBytes = Slurp(newer);
  for (const std::string& path : {dir.path, newer}) {
    ExpectEveryCallAnswers(*OpenRegistryStore(path), HKEY_CURRENT_USER, ERROR_CANTOPEN);
  }
  EXPECT_TRUE(DamagedCopies(dir).empty());
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
       [](const std::string& page, std::size_t) {
         return page[0] == '\x0D' && page.find("-value") != std::string::npos;
       },
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
    // One leaf page holds a few dozen values at most; the keys saved are Game and the four first ones too.
    EXPECT_EQ(kept == 240, damage.everythingKept) << kept;
    EXPECT_GT(kept, 200);
    EXPECT_EQ(said.find("65 keys and 300 values were saved") != std::string::npos, damage.everythingKept) << said;
    EXPECT_TRUE(GetAt(*store, "Software\\Game\\Key59", "long") == LongData(59) || !damage.everythingKept);
    store.reset();
    testing::internal::CaptureStderr();
    OpenRegistryStore(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the fresh store opens silently";
  }
}

}  // namespace
}  // namespace zbx::win::test
