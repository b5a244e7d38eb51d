// Values as a set: existence of any size, deletion, and listings by type with their stale
// entries, after deletions, for zero-size and long values, and on a failing store.

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

class ValueListing : public RegistryTest {
 protected:
  void SetUp() override { ASSERT_NE(reg.CreateKey(kKey), 0); }
};

TEST_F(ValueListing, ListsByTypeInCreationOrderKeepingStaleEntries) {
  names = {"x", "y"};
  values = {std::string("v"), 1};
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 0);
  EXPECT_EQ(reg.EnumValues("HKCU\\Missing", names, values), -1);
  EXPECT_EQ(names, (Names{"x", "y"}));
  EXPECT_EQ(values, (Values{std::string("v"), 1}));
  // Made in the order of their names: Windows may list values in either order.
  HKEY key = 0;
  store.RegOpenKeyA(win::HKEY_CURRENT_USER, "Software\\Test", &key);
  win::SetValueBytes(store, key, "0", win::REG_EXPAND_SZ, "%P%");
  store.RegCloseKey(key);
  reg.WriteString(kKey, "a", "text");
  reg.WriteDWORD(kKey, "b", 42);
  reg.WriteBinary(kKey, "c", "01 02");
  names = {"n0", "n1", "n2", "n3", "n4"};
  values = {7, 8, 9, 10, 11};
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 4);
  EXPECT_EQ(names, (Names{"0", "a", "b", "c"}));
  EXPECT_EQ(values, (Values{7, std::string("text"), 42, std::string(" 01 02")}));  // other types keep the entry
  ASSERT_EQ(reg.EnumValues(kKey, names, values, win::REG_DWORD), 1);
  EXPECT_EQ(names, Names{"b"});
  EXPECT_EQ(values, Values{42});
  EXPECT_EQ(reg.EnumValues(kKey, names, values, 7), 0);
  EXPECT_EQ(names, Names{"b"});
}

TEST_F(ValueListing, ExistenceDeletionAndListingsAfterIt) {
  for (const char* n : {"a", "b", "c"}) reg.WriteString(kKey, n, n);
  reg.WriteString(kKey, "@", "dflt");
  std::string big;
  for (int i = 0; i < 300; ++i) big += "AB";
  reg.WriteBinary(kKey, "big", big);
  EXPECT_EQ(reg.ValueExists(kKey, "big"), kTrue);
  EXPECT_EQ(reg.ValueExists(kKey, ""), kTrue);
  EXPECT_EQ(reg.ValueExists(kKey, "missing"), kFalse);
  EXPECT_EQ(reg.ValueExists("HKCU\\Missing", "big"), kFalse);
  EXPECT_NE(reg.KillValue(kKey, "missing"), 0);  // the key could be opened
  EXPECT_EQ(reg.KillValue("HKCU\\Missing", "big"), 0);
  EXPECT_NE(reg.KillValue(kKey, "B"), 0);  // names ignore case
  EXPECT_NE(reg.KillValue(kKey, ""), 0);
  EXPECT_EQ(reg.ValueExists(kKey, ""), kFalse);
  reg.WriteString(kKey, "b", "again");
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 4);
  // A re-created value goes last; Wine lists values by name.
  EXPECT_EQ(names, (UnderWine() ? Names{"a", "b", "big", "c"} : Names{"a", "c", "big", "b"}));
}

TEST_F(ValueListing, ZeroSizeValuesOnceAndLongNamesWhole) {
  const std::string longName(300, 'n');
  // Made in the order of their names: Windows may list values in either order.
  reg.WriteBinary(kKey, "b", "");
  reg.WriteDWORD(kKey, "Grüße", 4);
  reg.WriteDWORD(kKey, longName, 3);
  reg.WriteString(kKey, "s", "");
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 4);
  EXPECT_EQ(names, (Names{"b", "Grüße", longName, "s"}));
  EXPECT_EQ(values, (Values{std::string(), 4, 3, std::string()}));
}

TEST_F(ValueListing, NeverStallsOnAFailingStore) {
  reg.WriteString(kKey, "a", "1");
  reg.WriteString(kKey, "b", "2");
  store.onEnumValue = [](DWORD) { return std::optional<LONG>(win::ERROR_KEY_DELETED); };
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 1);
  EXPECT_EQ(names, Names{""});
  store.onEnumValue = [](DWORD i) { return i == 1 ? std::optional<LONG>(win::ERROR_INVALID_HANDLE) : std::nullopt; };
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 2);
  EXPECT_EQ(names, (Names{"a", ""}));
  EXPECT_EQ(reg.EnumValues(kKey, names, values, 1), 1);  // the failed entry has no type
}

}  // namespace
}  // namespace zbx::test
