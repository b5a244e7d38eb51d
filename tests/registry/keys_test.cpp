// Keys: creation of missing levels, deletion (and its refusal), existence, sub-key
// listings with their stale entries, after deletions and on a failing store; and registry
// paths with their root names.

#include "registry/registry_fixture.h"
#include "registry/registry_path.h"

namespace zbx::test {
namespace {

using Keys = RegistryTest;

TEST_F(Keys, CreateKillExistAndList) {
  EXPECT_NE(reg.CreateKey("HKCU\\P\\a\\C"), 0);
  EXPECT_NE(reg.CreateKey("HKCU\\P\\a\\C"), 0);  // an existing key is opened
  EXPECT_EQ(reg.CreateKey("HKXX\\A"), 0);
  const std::string n255(255, 'm');
  for (const std::string& k : Names{"b", "D", n255, "Zoë"}) reg.CreateKey("HKCU\\P\\" + k);
  names = {"s0", "s1", "s2", "s3", "s4", "s5", "s6"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", names), 5);  // sorted ignoring case, case kept, long names whole
  EXPECT_EQ(names, (Names{"a", "b", "D", n255, "Zoë"}));
  names = {"x", "y"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P\\b", names), 0);
  EXPECT_EQ(reg.EnumKeys("HKCU\\Missing", names), -1);
  EXPECT_EQ(names, (Names{"x", "y"}));
  EXPECT_EQ(reg.KillKey("HKCU\\P\\a"), 0);  // refused while it has a sub-key
  EXPECT_EQ(reg.KeyExists("HKCU\\P\\a"), kTrue);
  EXPECT_NE(reg.KillKey("HKCU\\P\\a\\C"), 0);
  EXPECT_NE(reg.KillKey("HKEY_CURRENT_USER\\p\\A"), 0);  // names ignore case
  EXPECT_EQ(reg.KeyExists("HKCU\\P\\a"), kFalse);
  EXPECT_EQ(reg.KillKey("HKCU\\P\\a"), 0);  // missing
  EXPECT_EQ(reg.KillKey("HKCU"), 0);
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", names), 4);
  EXPECT_EQ(names, (Names{"b", "D", n255, "Zoë"}));
}

TEST_F(Keys, ListingsNeverStallOnAFailingStore) {
  Names keys;
  reg.CreateKey("HKCU\\P\\a");
  reg.WriteString("HKCU\\P", "a", "1");
  // A key deleted under an open handle answers 1018 for ever: the failing entry counts.
  store.onEnumKey = store.onEnumValue = [](DWORD) { return std::optional<LONG>(win::ERROR_KEY_DELETED); };
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", keys) + reg.EnumValues("HKCU\\P", names, values), 2);
  EXPECT_EQ(keys, names);
  EXPECT_EQ(names, Names{""});
}

TEST(ParsePath, RootsSubKeysAndTheRewrittenPath) {
  const struct {
    std::string path;
    HKEY root;
    std::string subKey, rewritten;
  } cases[] = {
      {"HKLMX\\Software", win::HKEY_LOCAL_MACHINE, "Software", "HKLMX\\Software"},  // four characters name the root
      {"hkcu\\A\\", win::HKEY_CURRENT_USER, "A\\", "hkcu\\A\\"},
      {"HKEY_USERS\\x\\HKEY_CURRENT_CONFIGy\\hkey_dyn_data", win::HKEY_USERS, "x\\HKCCy\\HKDD", "HKUS\\x\\HKCCy\\HKDD"},
      {"HKL\\Software", 0, "Software", "HKL\\Software"},
      {"HKLMX", 0, "", "HKLMX"},  // without a backslash the whole text must be the root
  };
  for (const auto& c : cases) {
    std::string path = c.path, subKey = "stale";
    EXPECT_EQ(ParseRegistryPath(path, subKey), c.root) << c.path;
    EXPECT_EQ(subKey + " " + path, c.subKey + " " + c.rewritten) << c.path;
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
