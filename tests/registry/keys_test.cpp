// Keys: creation of missing levels, deletion (and its refusal), existence, sub-key
// listings with their stale entries, after deletions and on a failing store; the default
// store, which an object keeps while it lives; and registry paths with their root names.

#include "registry/registry_fixture.h"
#include "registry/registry_path.h"

namespace zbx::test {
namespace {

using Keys = RegistryTest;

TEST_F(Keys, CreateKillAndExists) {
  EXPECT_NE(reg.CreateKey("HKCU\\A\\B\\C"), 0);
  EXPECT_EQ(reg.KeyExists("HKCU\\A\\B"), kTrue);
  EXPECT_NE(reg.CreateKey("HKCU\\A\\B\\C"), 0);  // an existing key is opened
  EXPECT_EQ(reg.CreateKey("HKXX\\A"), 0);
  EXPECT_EQ(reg.KillKey("HKCU\\A\\B"), 0);  // refused while it has a sub-key
  EXPECT_EQ(reg.KeyExists("HKCU\\A\\B"), kTrue);
  EXPECT_NE(reg.KillKey("HKCU\\A\\B\\C"), 0);
  EXPECT_NE(reg.KillKey("HKEY_CURRENT_USER\\a\\b"), 0);  // names ignore case
  EXPECT_EQ(reg.KeyExists("HKCU\\A\\B"), kFalse);
  EXPECT_EQ(reg.KillKey("HKCU\\A\\B"), 0);  // missing
  EXPECT_EQ(reg.KillKey("HKCU"), 0);
}

TEST_F(Keys, EnumKeysKeepsStaleEntriesAndFollowsDeletions) {
  const std::string n255(255, 'm');
  for (const std::string& k : Names{"b", "D", "a", n255, "Zoë"}) reg.CreateKey("HKCU\\P\\" + k);
  names = {"s0", "s1", "s2", "s3", "s4", "s5", "s6"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", names), 5);  // sorted ignoring case, case kept, long names whole
  EXPECT_EQ(names, (Names{"a", "b", "D", n255, "Zoë"}));
  names = {"x", "y"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P\\a", names), 0);
  EXPECT_EQ(reg.EnumKeys("HKCU\\Missing", names), -1);
  EXPECT_EQ(names, (Names{"x", "y"}));
  reg.KillKey("HKCU\\P\\b");
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", names), 4);
  EXPECT_EQ(names, (Names{"a", "D", n255, "Zoë"}));
}

TEST_F(Keys, ListingsNeverStallOnAFailingStore) {
  Names keys;
  for (const char* name : {"a", "b"}) {
    reg.CreateKey(std::string("HKCU\\P\\") + name);
    reg.WriteString("HKCU\\P", name, "1");
  }
  // A key deleted under an open handle answers 1018 for ever: the failing entry counts.
  store.onEnumKey = store.onEnumValue = [](DWORD) { return std::optional<LONG>(win::ERROR_KEY_DELETED); };
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", keys) + reg.EnumValues("HKCU\\P", names, values), 2);
  EXPECT_EQ(keys, names);
  EXPECT_EQ(names, Names{""});
  store.onEnumKey = [](DWORD i) { return i == 1 ? std::optional<LONG>(win::ERROR_ACCESS_DENIED) : std::nullopt; };
  store.onEnumValue = [](DWORD i) { return i == 1 ? std::optional<LONG>(win::ERROR_INVALID_HANDLE) : std::nullopt; };
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", keys) + reg.EnumValues("HKCU\\P", names, values), 4);
  EXPECT_EQ(keys, names);
  EXPECT_EQ(names, (Names{"a", ""}));
  EXPECT_EQ(reg.EnumValues("HKCU\\P", names, values, 1), 1);  // the failed entry has no type
}

TEST(DefaultStore, AnObjectKeepsItsStoreWhenTheDefaultIsReplaced) {
  std::shared_ptr<win::RegistryApi> first = OpenTestStore();
  const std::weak_ptr<win::RegistryApi> watched = first;
  win::SetDefaultRegistry(std::move(first));
  clsRegistryAccess reg;
  win::SetDefaultRegistry(OpenTestStore());  // the default let go of the first store
  ASSERT_FALSE(watched.expired());
  EXPECT_EQ(&reg.Store(), watched.lock().get());
  EXPECT_NE(reg.WriteString("HKCU", "kept", "yes"), 0);
  if (!kSystemRegistry) {  // on Windows both are the system registry
    EXPECT_EQ(clsRegistryAccess().ValueExists("HKCU", "kept"), kFalse);
  }
  reg.KillValue("HKCU", "kept");
  win::SetDefaultRegistry(nullptr);
}

TEST(ParsePath, RootsSubKeysAndTheRewrittenPath) {
  const HKEY cu = win::HKEY_CURRENT_USER, lm = win::HKEY_LOCAL_MACHINE;
  const struct {
    std::string path;
    HKEY root;
    std::string subKey, rewritten;
  } cases[] = {
      {"hkey_local_machine\\System", lm, "System", "HKLM\\System"},
      {"HKLMX\\Software", lm, "Software", "HKLMX\\Software"},  // four characters name the root
      {"HKEY_USERSX\\a", win::HKEY_USERS, "a", "HKUSX\\a"},
      {"hkcu\\", cu, "", "hkcu\\"},
      {"HKCU\\A\\B\\", cu, "A\\B\\", "HKCU\\A\\B\\"},
      {"HKEY_CURRENT_USER\\x\\HKEY_CURRENT_CONFIGy\\hkey_dyn_data", cu, "x\\HKCCy\\HKDD", "HKCU\\x\\HKCCy\\HKDD"},
      {"HKL\\Software", 0, "Software", "HKL\\Software"},
      {"HKLMX", 0, "", "HKLMX"},  // without a backslash the whole text must be the root
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
