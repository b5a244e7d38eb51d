// Registry paths: root names long and short, the four-character root, and replacement
// inside sub-keys.

#include "registry/registry_fixture.h"
#include "registry/registry_path.h"

namespace zbx::test {
namespace {

TEST(ParsePath, RootsSubKeysAndTheRewrittenPath) {
  const HKEY cu = win::HKEY_CURRENT_USER, lm = win::HKEY_LOCAL_MACHINE;
  const struct {
    std::string path;
    HKEY root;
    std::string subKey, rewritten;
  } cases[] = {
      {"HKLM\\System\\IDConfigDB", lm, "System\\IDConfigDB", "HKLM\\System\\IDConfigDB"},
      {"hkey_local_machine\\System", lm, "System", "HKLM\\System"},
      {"HKLMX\\Software", lm, "Software", "HKLMX\\Software"},  // four characters name the root
      {"HKEY_USERSX\\a", win::HKEY_USERS, "a", "HKUSX\\a"},
      {"HKLM", lm, "", "HKLM"},
      {"hkcu\\", cu, "", "hkcu\\"},
      {"HKCU\\A\\B\\", cu, "A\\B\\", "HKCU\\A\\B\\"},
      {"HKEY_CURRENT_USER\\x\\HKEY_CURRENT_CONFIGy\\hkey_dyn_data", cu, "x\\HKCCy\\HKDD", "HKCU\\x\\HKCCy\\HKDD"},
      {"HKL\\Software", 0, "Software", "HKL\\Software"},
      {"Software\\Test", 0, "Test", "Software\\Test"},
      {"HKLMX", 0, "", "HKLMX"},  // without a backslash the whole text must be the root
      {"", 0, "", ""},
      {"xHKEY_USERS\\a", 0, "a", "xHKUS\\a"},
  };
  for (const auto& c : cases) {
    std::string path = c.path, subKey = "stale";
    EXPECT_EQ(ParseRegistryPath(path, subKey), c.root) << c.path;
    EXPECT_EQ(subKey, c.subKey) << c.path;
    EXPECT_EQ(path, c.rewritten) << c.path;
  }
  const char* roots[][2] = {{"HKEY_CLASSES_ROOT", "HKCR"},   {"HKEY_CURRENT_USER", "HKCU"},
                            {"HKEY_LOCAL_MACHINE", "HKLM"},  {"HKEY_USERS", "HKUS"},
                            {"HKEY_PERFORMANCE_DATA", "HKPD"}, {"HKEY_CURRENT_CONFIG", "HKCC"},
                            {"HKEY_DYN_DATA", "HKDD"}};
  for (HKEY handle = win::HKEY_CLASSES_ROOT; handle <= win::HKEY_DYN_DATA; ++handle) {
    const auto& [longName, shortName] = roots[handle - win::HKEY_CLASSES_ROOT];
    std::string a = std::string(longName) + "\\" + longName, b = shortName, sub;
    EXPECT_EQ(ParseRegistryPath(a, sub), handle) << longName;
    EXPECT_EQ(sub, shortName);
    EXPECT_EQ(ParseRegistryPath(b, sub), handle) << shortName;
    EXPECT_EQ(ExpandRootNames(std::string("x") + shortName), std::string("x") + longName);
  }
  EXPECT_EQ(ExpandRootNames("hklm\\a\\xHKccy"), "HKEY_LOCAL_MACHINE\\a\\xHKEY_CURRENT_CONFIGy");
}

}  // namespace
}  // namespace zbx::test
