// Values as a set: existence of any size, deletion, and listings by type with their stale
// entries, after deletions, for zero-size and long values, and on a failing store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

constexpr const char* kKey = "HKCU\\Software\\Test";
using Names = std::vector<std::string>;
using Values = std::vector<RegValue>;

class ValueListing : public RegistryTest {
 protected:
  void SetUp() override { ASSERT_NE(reg.CreateKey(kKey), 0); }
  Names names;
  Values values;
};

TEST_F(ValueListing, ListsEveryTypeInCreationOrder) {
  reg.WriteString(kKey, "a", "text");
  reg.WriteDWORD(kKey, "b", 42);
  reg.WriteBinary(kKey, "c", "01 02");
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 3);
  EXPECT_EQ(names, (Names{"a", "b", "c"}));
  EXPECT_EQ(values, (Values{std::string("text"), 42, std::string(" 01 02")}));
  ASSERT_EQ(reg.EnumValues(kKey, names, values, 4), 1);
  EXPECT_EQ(names, Names{"b"});
  EXPECT_EQ(values, Values{42});
  EXPECT_EQ(reg.EnumValues(kKey, names, values, 7), 0);
  EXPECT_EQ(names, Names{"b"});  // nothing listed: unchanged
}

TEST_F(ValueListing, EmptyAndMissingKeysLeaveTheListsAlone) {
  names = {"x", "y"};
  values = {std::string("v"), 1};
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 0);
  EXPECT_EQ(reg.EnumValues("HKCU\\Missing", names, values), -1);
  EXPECT_EQ(names, (Names{"x", "y"}));
  EXPECT_EQ(values, (Values{std::string("v"), 1}));
}

TEST_F(ValueListing, OtherTypesKeepTheEntryThatWasThere) {
  SetRaw(win::HKEY_CURRENT_USER, "Software\\Test", "x", win::REG_EXPAND_SZ, "%PATH%");
  reg.WriteString(kKey, "s", "t");
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 2);
  EXPECT_EQ(names, (Names{"x", "s"}));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(values[0]));
  // A stale entry at a reused index survives for a value of another type.
  names = {"n0", "n1", "n2"};
  values = {7, 8, 9};
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 2);
  EXPECT_EQ(values, (Values{7, std::string("t")}));
}

TEST_F(ValueListing, ListingAfterDeletionsAndRecreation) {
  for (const char* n : {"a", "b", "c"}) reg.WriteString(kKey, n, n);
  EXPECT_NE(reg.KillValue(kKey, "B"), 0);  // names ignore case
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 2);
  EXPECT_EQ(names, (Names{"a", "c"}));
  reg.WriteString(kKey, "b", "again");
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 3);
  EXPECT_EQ(names, (Names{"a", "c", "b"}));  // a re-created value goes last
}

TEST_F(ValueListing, ExistenceAndDeletion) {
  std::string big;
  for (int i = 0; i < 300; ++i) big += "AB";
  reg.WriteBinary(kKey, "big", big);
  EXPECT_EQ(reg.ValueExists(kKey, "big"), kTrue);
  EXPECT_EQ(reg.ValueExists(kKey, "missing"), kFalse);
  EXPECT_EQ(reg.ValueExists("HKCU\\Missing", "big"), kFalse);
  EXPECT_EQ(reg.ValueExists("HKXX\\a", "big"), kFalse);
  EXPECT_NE(reg.KillValue(kKey, "missing"), 0);  // the key could be opened
  EXPECT_EQ(reg.KillValue("HKCU\\Missing", "big"), 0);
  reg.WriteString(kKey, "@", "dflt");
  ASSERT_EQ(reg.ValueExists(kKey, ""), kTrue);
  EXPECT_NE(reg.KillValue(kKey, ""), 0);
  EXPECT_EQ(reg.ValueExists(kKey, ""), kFalse);
}

TEST_F(ValueListing, ValuesAreReadWithTheLimitsOfTheirReads) {
  reg.WriteString(kKey, "long", std::string(300, 'x'));
  std::string hex;
  for (int i = 0; i < 300; ++i) hex += "7F";
  reg.WriteBinary(kKey, "bin", hex);
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 2);
  EXPECT_EQ(names, (Names{"long", "bin"}));
  EXPECT_EQ(Str(values[0]), "");  // longer than ReadString's buffer
  EXPECT_EQ(Str(values[1]).size(), 900u);
}

TEST_F(ValueListing, ZeroSizeValuesAreListedOnce) {
  reg.WriteString(kKey, "s", "");
  reg.WriteBinary(kKey, "b", "");
  reg.WriteString(kKey, "t", "x");
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 3);
  EXPECT_EQ(names, (Names{"s", "b", "t"}));
  EXPECT_EQ(values, (Values{std::string(), std::string(), std::string("x")}));
}

TEST_F(ValueListing, LongAndCodePageNamesAreListedWhole) {
  const std::string longName(300, 'n');
  reg.WriteDWORD(kKey, longName, 3);
  reg.WriteDWORD(kKey, "Grüße", 4);
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 2);
  EXPECT_EQ(names, (Names{longName, "Grüße"}));
  EXPECT_EQ(values, (Values{3, 4}));
}

TEST_F(ValueListing, NeverStallsOnAFailingStore) {
  reg.WriteString(kKey, "a", "1");
  reg.WriteString(kKey, "b", "2");
  store.onEnumValue = [](win::DWORD) { return std::optional<win::LONG>(win::ERROR_KEY_DELETED); };
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 1);
  EXPECT_EQ(names, Names{""});
  store.onEnumValue = [](win::DWORD i) {
    return i == 1 ? std::optional<win::LONG>(win::ERROR_INVALID_HANDLE) : std::nullopt;
  };
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 2);
  EXPECT_EQ(names, (Names{"a", ""}));
  EXPECT_EQ(reg.EnumValues(kKey, names, values, 1), 1);  // the failed entry has no type
}

}  // namespace
}  // namespace zbx::test
