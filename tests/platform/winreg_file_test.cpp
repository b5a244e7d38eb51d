// Where the store lives: folders made 0700 and a WAL file 0600; links, other users' files
// and folders others can write refused with the reason; a store that cannot be written
// opened for reading only; the default path and the free functions' store.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

using Access = StoreStatus::Access;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(RegistryFile, MissingFoldersAreMadePrivateAndAPrivateWalFileKeepsItsDataOverReopening) {
  TempDir dir;
  const std::string path = dir / "xdg/zorbanix/registry.db";
  {
    auto store = OpenRegistryStore(path);
    EXPECT_EQ(ModeOf(dir / "xdg"), 0700u);
    EXPECT_EQ(ModeOf(dir / "xdg/zorbanix"), 0700u);
    EXPECT_EQ(store->Status().access, Access::ReadWrite);
    EXPECT_EQ(store->Status().path, path);
    ASSERT_EQ(Set(*store, HKEY_LOCAL_MACHINE, "Root value", "r"), ERROR_SUCCESS);
    for (const std::string& file : {path, path + "-wal"}) EXPECT_EQ(ModeOf(file), 0600u) << file;
    EXPECT_EQ(Pragma(path, "journal_mode"), "wal");
  }
  EXPECT_EQ(Get(*OpenRegistryStore(path), HKEY_LOCAL_MACHINE, "Root value"), "r");
}

TEST(RegistryFile, APlantedLinkIsNeverFollowed) {
  TempDir dir;
  const std::string other = dir / "other.db", empty = dir / "empty", nowhere = dir / "nowhere.db";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE mine(x); INSERT INTO mine VALUES (1);", nullptr, nullptr, nullptr), 0);
  sqlite3_close(db);
  std::ofstream(empty).flush();
  const std::string otherBytes = Slurp(other);
  for (const std::string& target : {other, empty, nowhere}) {
    SCOPED_TRACE(target);
    TempDir store;
    const std::string path = store / "registry.db";
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    auto reg = OpenRegistryStore(path);
    EXPECT_EQ(reg->Status().access, Access::Unavailable);
    EXPECT_EQ(reg->Status().reason, "it is a symbolic link");
    ExpectEveryCallAnswers(*reg, HKEY_CURRENT_USER, ERROR_CANTOPEN);
  }
  EXPECT_TRUE(Slurp(other) == otherBytes) << "the other database was changed";
  EXPECT_EQ(Slurp(empty), "");
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

// A store that cannot be written is read and refuses every change; folders others can
// write, and folders and files of other users, are refused.
TEST(RegistryFile, ReadOnlyStoresAndFoldersOrFilesOfOthers) {
  TempDir dir;
  const std::string folder = dir / "zorbanix", path = folder + "/registry.db";
  {
    auto store = OpenRegistryStore(path);
    HKEY key = 0;
    ASSERT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "Data", &key), ERROR_SUCCESS);
    ASSERT_EQ(Set(*store, key, "v", "kept"), ERROR_SUCCESS);
    store->RegCloseKey(key);
  }
  const std::string before = Slurp(path);
  const struct {
    mode_t file, folder;
    std::string reason;
  } cases[] = {{0400, 0700, "the file is read-only"}, {0600, 0500, "its folder " + folder + " is read-only"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    ASSERT_EQ(::chmod(path.c_str(), c.file), 0);
    ASSERT_EQ(::chmod(folder.c_str(), c.folder), 0);
    auto store = OpenRegistryStore(path);
    EXPECT_EQ(store->Status().access, Access::ReadOnly);
    EXPECT_EQ(store->Status().reason, c.reason);
    HKEY key = 0, made = 0;
    ASSERT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "Data", &key), ERROR_SUCCESS);  // opens what exists
    EXPECT_EQ(Get(*store, key, "v"), "kept");
    EXPECT_EQ(Set(*store, key, "v", "changed"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(store->RegDeleteValueA(key, "v"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(store->RegDeleteKeyA(key, ""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "New", &made), ERROR_ACCESS_DENIED);
    store->RegCloseKey(key);
  }
  // Nothing to read and nowhere to make it.
  EXPECT_EQ(OpenRegistryStore(folder + "/other.db")->Status().reason,
            "it does not exist and its folder " + folder + " is read-only");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  for (mode_t mode : {0770, 0707, 01777}) {
    ASSERT_EQ(::chmod(folder.c_str(), mode), 0);
    EXPECT_EQ(OpenRegistryStore(path)->Status().reason, "its folder " + folder + " can be written by other users")
        << std::oct << mode;
  }
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);  // readable by others is fine
  EXPECT_EQ(OpenRegistryStore(path)->Status().access, Access::ReadWrite);
  EXPECT_TRUE(Slurp(path) == before);
  if (::geteuid() != 0) GTEST_SKIP() << "giving a folder or file to another user needs root";
  for (const std::string& owned : {folder, path}) {
    ASSERT_EQ(::chown(owned.c_str(), 65534, 65534), 0);
    const StoreStatus status = OpenRegistryStore(path)->Status();
    EXPECT_EQ(status.access, Access::Unavailable);
    EXPECT_EQ(status.reason, owned == folder ? "its folder " + folder + " belongs to another user"
                                             : "it belongs to another user");
    ASSERT_EQ(::chown(owned.c_str(), 0, 0), 0);
  }
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

// The default path follows an absolute XDG_DATA_HOME, else HOME; the free functions use
// the default store, else the per-user file.
TEST(RegistryFile, DefaultPathAndDefaultStore) {
  ScopedEnv home("HOME", "/home/ann");
  const std::string fallback = "/home/ann/.local/share/zorbanix/registry.db";
  const std::pair<const char*, std::string> cases[] = {
      {"/data/ann", "/data/ann/zorbanix/registry.db"}, {nullptr, fallback}, {"relative/dir", fallback}};
  for (const auto& [xdg, expected] : cases) {
    ScopedEnv env("XDG_DATA_HOME", xdg);
    EXPECT_EQ(DefaultStorePath(), expected);
  }
  TempDir dir;
  ScopedEnv xdg("XDG_DATA_HOME", dir.path.c_str());
  auto mine = OpenRegistryStore(":memory:");
  SetDefaultRegistry(mine);
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Free", &key), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_TRUE(mine->RegDeleteKeyA(HKEY_CURRENT_USER, "Free") == ERROR_SUCCESS);
  SetDefaultRegistry(nullptr);
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Free", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(std::filesystem::exists(dir / "zorbanix/registry.db"));
  SetDefaultRegistry(nullptr);
}

TEST(RegistryFile, StoresOnOneFileSeeEachOthersChangesEvenMidEnumeration) {
  TempDir dir;
  auto first = OpenRegistryStore(dir / "registry.db");
  auto second = OpenRegistryStore(dir / "registry.db");
  HKEY key = 0, other = 0;
  ASSERT_EQ(first->RegCreateKeyA(HKEY_CURRENT_USER, "Shared", &key), ERROR_SUCCESS);
  for (const char* name : {"v", "a", "b", "c"}) ASSERT_EQ(Set(*first, key, name, name), 0);
  EXPECT_EQ(GetAt(*second, "Shared", "v"), "v");
  ASSERT_EQ(second->RegOpenKeyA(HKEY_CURRENT_USER, "Shared", &other), ERROR_SUCCESS);
  EXPECT_EQ(NameAt(*second, other, 1, true), "a");
  ASSERT_EQ(first->RegDeleteValueA(key, "v"), ERROR_SUCCESS);
  EXPECT_EQ(NameAt(*second, other, 2, true), "c");
  first->RegCloseKey(key);
  ASSERT_EQ(first->RegDeleteKeyA(HKEY_CURRENT_USER, "Shared"), ERROR_SUCCESS);
  EXPECT_EQ(Set(*second, other, "v", "2"), ERROR_KEY_DELETED);
}

}  // namespace
}  // namespace zbx::win::test
