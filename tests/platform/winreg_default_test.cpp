// The default store: where its file lives, and the free functions that use it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "platform/winreg.h"
#include "platform/winreg_temp_dir.h"

namespace zbx::win::test {
namespace {

// Sets (or unsets) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    if (value != nullptr) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1); else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(RegistryDefault, PathFollowsXdgDataHomeElseHome) {
  ScopedEnv home("HOME", "/home/ann");
  {
    ScopedEnv xdg("XDG_DATA_HOME", "/data/ann");
    EXPECT_EQ(DefaultStorePath(), "/data/ann/zorbanix/registry.db");
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(DefaultStorePath(), "/home/ann/.local/share/zorbanix/registry.db");
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", "relative/dir");
    EXPECT_EQ(DefaultStorePath(), "/home/ann/.local/share/zorbanix/registry.db");
  }
}

TEST(RegistryDefault, FreeFunctionsUseTheStoreSetAsDefault) {
  TempDir dir;
  ScopedEnv xdg("XDG_DATA_HOME", dir.path().c_str());
  auto mine = OpenRegistryStore(":memory:");
  SetDefaultRegistry(mine);
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Free", &key), ERROR_SUCCESS);
  const BYTE data[] = {'h', 'i'};
  ASSERT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, data, 2), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(mine->RegOpenKeyExA(HKEY_CURRENT_USER, "Free", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(mine->RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 2u);

  // Back to the per-user file, which is created where the path says.
  SetDefaultRegistry(nullptr);
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Free", &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "InFile", &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(std::filesystem::exists(dir.File("zorbanix/registry.db")));
  SetDefaultRegistry(nullptr);
}

}  // namespace
}  // namespace zbx::win::test
