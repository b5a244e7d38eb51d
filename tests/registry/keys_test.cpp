// Keys: creation of missing levels, deletion (and its refusal), existence, sub-key
// listings with their stale entries, after deletions and on a failing store; and the
// default store, which an object keeps while it lives, whatever replaces the default.

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

using Keys = RegistryTest;

TEST_F(Keys, CreateKillAndExists) {
  EXPECT_NE(reg.CreateKey("HKCU\\A\\B\\C"), 0);
  EXPECT_EQ(reg.KeyExists("HKCU\\A\\B"), kTrue);
  EXPECT_NE(reg.CreateKey("HKCU\\A\\B\\C"), 0);  // an existing key is opened
  EXPECT_NE(reg.CreateKey("HKCU"), 0);
  EXPECT_EQ(reg.CreateKey("HKXX\\A"), 0);
  EXPECT_EQ(reg.KillKey("HKCU\\A\\B"), 0);  // refused while it has a sub-key
  EXPECT_EQ(reg.KeyExists("HKCU\\A\\B"), kTrue);
  EXPECT_NE(reg.KillKey("HKCU\\A\\B\\C"), 0);
  EXPECT_NE(reg.KillKey("HKEY_CURRENT_USER\\a\\b"), 0);  // names ignore case
  EXPECT_EQ(reg.KeyExists("HKCU\\A\\B"), kFalse);
  EXPECT_EQ(reg.KillKey("HKCU\\A\\B"), 0);  // missing
  EXPECT_EQ(reg.KillKey("HKCU"), 0);
  EXPECT_EQ(reg.KillKey("HKXX\\A"), 0);
}

TEST_F(Keys, EnumKeysKeepsStaleEntriesAndFollowsDeletions) {
  const std::string n254(254, 'k'), n255(255, 'm');
  for (const std::string& k : Names{"b", "D", "a", "c", n254, n255, "Zoë"}) reg.CreateKey("HKCU\\P\\" + k);
  names = {"s0", "s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", names), 7);  // sorted ignoring case, case kept, long names whole
  EXPECT_EQ(names, (Names{"a", "b", "c", "D", n254, n255, "Zoë"}));
  names = {"x", "y"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P\\a", names), 0);
  EXPECT_EQ(reg.EnumKeys("HKCU\\Missing", names), -1);
  EXPECT_EQ(names, (Names{"x", "y"}));
  reg.KillKey("HKCU\\P\\b");
  reg.KillKey("HKCU\\P\\" + n254);
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", names), 5);
  EXPECT_EQ(names, (Names{"a", "c", "D", n255, "Zoë"}));
}

TEST_F(Keys, ListingsNeverStallOnAFailingStore) {
  Names keys;
  for (const char* name : {"a", "b"}) {
    reg.CreateKey(std::string("HKCU\\P\\") + name);
    reg.WriteString("HKCU\\P", name, "1");
  }
  // A key deleted under an open handle answers 1018 for ever: the failing entry counts.
  store.onEnumKey = store.onEnumValue = [](DWORD) { return std::optional<LONG>(win::ERROR_KEY_DELETED); };
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", keys), 1);
  EXPECT_EQ(reg.EnumValues("HKCU\\P", names, values), 1);
  EXPECT_EQ(keys, Names{""});
  EXPECT_EQ(names, Names{""});
  store.onEnumKey = [](DWORD i) { return i == 1 ? std::optional<LONG>(win::ERROR_ACCESS_DENIED) : std::nullopt; };
  store.onEnumValue = [](DWORD i) { return i == 1 ? std::optional<LONG>(win::ERROR_INVALID_HANDLE) : std::nullopt; };
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", keys), 2);
  EXPECT_EQ(reg.EnumValues("HKCU\\P", names, values), 2);
  EXPECT_EQ(keys, (Names{"a", ""}));
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
  EXPECT_EQ(reg.ReadString("HKCU", "kept"), "yes");
  if (!kSystemRegistry) {  // on Windows both are the system registry
    EXPECT_EQ(clsRegistryAccess().ValueExists("HKCU", "kept"), kFalse);
  }
  reg.KillValue("HKCU", "kept");
  win::SetDefaultRegistry(nullptr);
}

}  // namespace
}  // namespace zbx::test
