// Keys: creation of missing levels, deletion (and its refusal), existence, and sub-key
// listings with their stale entries, after deletions and on a failing store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

using Keys = RegistryTest;
using Names = std::vector<std::string>;

TEST_F(Keys, CreateKeyMakesEveryMissingLevel) {
  ASSERT_EQ(reg.KeyExists("HKCU\\A"), kFalse);
  EXPECT_NE(reg.CreateKey("HKCU\\A\\B\\C"), 0);
  EXPECT_EQ(reg.KeyExists("HKCU\\A"), kTrue);
  EXPECT_EQ(reg.KeyExists("HKCU\\A\\B\\C"), kTrue);
  EXPECT_NE(reg.CreateKey("HKCU\\A\\B\\C"), 0);  // an existing key is opened
  EXPECT_NE(reg.CreateKey("HKCU"), 0);           // the root itself
  EXPECT_EQ(reg.CreateKey("HKXX\\A"), 0);
}

TEST_F(Keys, KillKeyDeletesOnlyWhatItCan) {
  reg.CreateKey("HKCU\\A\\B");
  EXPECT_EQ(reg.KillKey("HKCU\\A"), 0);  // refused while it has a sub-key
  EXPECT_EQ(reg.KeyExists("HKCU\\A"), kTrue);
  EXPECT_NE(reg.KillKey("HKCU\\A\\B"), 0);
  EXPECT_EQ(reg.KeyExists("HKCU\\A\\B"), kFalse);
  EXPECT_NE(reg.KillKey("HKEY_CURRENT_USER\\a"), 0);  // names ignore case
  EXPECT_EQ(reg.KeyExists("HKCU\\A"), kFalse);
  EXPECT_EQ(reg.KillKey("HKCU\\A"), 0);  // missing
  EXPECT_EQ(reg.KillKey("HKXX\\A"), 0);
}

TEST_F(Keys, EnumKeysResizesTheListAndKeepsItWhenNothingIsListed) {
  reg.CreateKey("HKCU\\P\\b");
  reg.CreateKey("HKCU\\P\\C");
  reg.CreateKey("HKCU\\P\\a");
  Names list = {"s0", "s1", "s2", "s3", "s4"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", list), 3);
  EXPECT_EQ(list, (Names{"a", "b", "C"}));  // sorted ignoring case, case kept

  Names stale = {"x", "y"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P\\a", stale), 0);  // no sub-keys
  EXPECT_EQ(stale, (Names{"x", "y"}));
  EXPECT_EQ(reg.EnumKeys("HKCU\\Missing", stale), -1);
  EXPECT_EQ(stale, (Names{"x", "y"}));

  Names shorter = {"old"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", shorter), 3);
  EXPECT_EQ(shorter, (Names{"a", "b", "C"}));
}

TEST_F(Keys, EnumKeysAfterDeletions) {
  for (const char* k : {"a", "b", "c", "d"}) reg.CreateKey(std::string("HKCU\\P\\") + k);
  reg.KillKey("HKCU\\P\\b");
  reg.KillKey("HKCU\\P\\d");
  Names list;
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", list), 2);
  EXPECT_EQ(list, (Names{"a", "c"}));
  reg.CreateKey("HKCU\\P\\b");
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", list), 3);
  EXPECT_EQ(list, (Names{"a", "b", "c"}));
}

TEST_F(Keys, EnumKeysListsLongAndCodePageNamesWhole) {
  const std::string n254(254, 'k'), n255(255, 'm');
  reg.CreateKey("HKCU\\P\\" + n254);
  reg.CreateKey("HKCU\\P\\" + n255);  // too long for the buffer: read again with room
  reg.CreateKey("HKCU\\P\\Zoë");
  Names list;
  ASSERT_EQ(reg.EnumKeys("HKCU\\P", list), 3);
  EXPECT_EQ(list, (Names{n254, n255, "Zoë"}));
}

TEST_F(Keys, EnumKeysNeverStallsOnAFailingStore) {
  reg.CreateKey("HKCU\\P\\a");
  reg.CreateKey("HKCU\\P\\b");
  // A key deleted under an open handle answers 1018 for ever.
  store.onEnumKey = [](win::DWORD) { return std::optional<win::LONG>(win::ERROR_KEY_DELETED); };
  Names list;
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", list), 1);  // the failing entry counts, then it ends
  EXPECT_EQ(list, (Names{""}));
  // A failure after a good entry.
  store.onEnumKey = [](win::DWORD i) {
    return i == 1 ? std::optional<win::LONG>(win::ERROR_ACCESS_DENIED) : std::nullopt;
  };
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", list), 2);
  EXPECT_EQ(list, (Names{"a", ""}));
}

}  // namespace
}  // namespace zbx::test
