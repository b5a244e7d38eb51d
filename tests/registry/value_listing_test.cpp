// Values as a set: existence of any size, deletion, and listings by type with their stale
// entries, after deletions, and for zero-size and long values.

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
  // Made in the order of their names: Windows may list values in either order. Zero-size
  // values are listed once, long names whole.
  const std::string longName(300, 'n');
  SetRaw("0", win::REG_EXPAND_SZ, "%P%");
  reg.WriteString(kKey, "a", "text");
  reg.WriteDWORD(kKey, "b", 42);
  reg.WriteBinary(kKey, "c", "01 02");
  reg.WriteBinary(kKey, "d", "");
  reg.WriteString(kKey, "e", "");
  reg.WriteDWORD(kKey, "Grüße", 4);
  reg.WriteDWORD(kKey, longName, 3);
  values = {7};
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 8);
  EXPECT_EQ(names, (Names{"0", "a", "b", "c", "d", "e", "Grüße", longName}));
  // Other types keep the entry.
  EXPECT_EQ(values, (Values{7, std::string("text"), 42, std::string(" 01 02"), std::string(), std::string(), 4, 3}));
  ASSERT_EQ(reg.EnumValues(kKey, names, values, win::REG_DWORD), 3);
  EXPECT_EQ(names, (Names{"b", "Grüße", longName}));
  EXPECT_EQ(values, (Values{42, 4, 3}));
  EXPECT_EQ(reg.EnumValues(kKey, names, values, 7), 0);
  EXPECT_EQ(names, (Names{"b", "Grüße", longName}));
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

}  // namespace
}  // namespace zbx::test
