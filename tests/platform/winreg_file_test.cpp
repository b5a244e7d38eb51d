// The store on a file: where the default one lives, creation, persistence, sharing.
#include <stdlib.h>
#include <sys/stat.h>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

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

TEST(RegistryFile, FreeFunctionsUseTheDefaultStoreElseThePerUserFile) {
  TempDir dir;
  ScopedEnv xdg("XDG_DATA_HOME", dir.path.c_str());
  auto mine = OpenRegistryStore(":memory:");
  SetDefaultRegistry(mine);
  const BYTE data[] = {'h', 'i', 'x'};  // what lies behind string data is read
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Free", &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, data, 2), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(GetAt(*mine, "Free", "v"), "hi");
  SetDefaultRegistry(nullptr);
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Free", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(std::filesystem::exists(dir / "zorbanix/registry.db"));
  SetDefaultRegistry(nullptr);
}

TEST(RegistryFile, APrivateWalFileCreatedWithItsFoldersKeepsItsDataOverReopening) {
  TempDir dir;
  const std::string path = dir / "a/b/registry.db";
  {
    auto store = OpenRegistryStore(path);
    HKEY key = 0;
    ASSERT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Game", &key), ERROR_SUCCESS);
    ASSERT_EQ(Set(*store, key, "Best", "1234"), ERROR_SUCCESS);
    ASSERT_EQ(Set(*store, HKEY_LOCAL_MACHINE, "Root value", "r"), ERROR_SUCCESS);
    for (const std::string& file : {path, path + "-wal"}) {
      struct stat info {};
      ASSERT_EQ(::stat(file.c_str(), &info), 0) << file;
      EXPECT_EQ(info.st_mode & 0777, 0600u) << file;
    }
    EXPECT_EQ(Pragma(path, "journal_mode"), "wal");
  }
  auto store = OpenRegistryStore(path);
  EXPECT_EQ(GetAt(*store, "SOFTWARE\\game", "best"), "1234");
  EXPECT_EQ(Get(*store, HKEY_LOCAL_MACHINE, "Root value"), "r");
  EXPECT_EQ(Pragma(path, "integrity_check"), "ok");
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
