// Registry paths: root names long and short, the four-character root, replacement inside
// sub-keys, and the same rules seen through the class.
#include <gtest/gtest.h>

#include <string>

#include "registry/registry_fixture.h"
#include "registry/registry_path.h"

namespace zbx::test {
namespace {

struct Parsed {
  win::HKEY root;
  std::string subKey;
  std::string rewritten;
};

Parsed Parse(std::string path) {
  std::string sub = "stale";
  const win::HKEY root = ParseRegistryPath(path, sub);
  return {root, sub, path};
}

TEST(ParsePath, ShortAndLongRootsGiveTheSameKey) {
  for (const char* p : {"HKLM\\System\\CurrentControlSet\\Control\\IDConfigDB",
                        "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\IDConfigDB"}) {
    const Parsed r = Parse(p);
    EXPECT_EQ(r.root, win::HKEY_LOCAL_MACHINE) << p;
    EXPECT_EQ(r.subKey, "System\\CurrentControlSet\\Control\\IDConfigDB") << p;
  }
  const Parsed lower = Parse("hkey_local_machine\\System");
  EXPECT_EQ(lower.root, win::HKEY_LOCAL_MACHINE);
  EXPECT_EQ(lower.subKey, "System");
  EXPECT_EQ(lower.rewritten, "HKLM\\System");
}

TEST(ParsePath, EveryRootInBothForms) {
  const struct {
    const char* longName;
    const char* shortName;
    win::HKEY handle;
  } roots[] = {{"HKEY_CLASSES_ROOT", "HKCR", 0x80000000u},  {"HKEY_CURRENT_USER", "HKCU", 0x80000001u},
               {"HKEY_LOCAL_MACHINE", "HKLM", 0x80000002u}, {"HKEY_USERS", "HKUS", 0x80000003u},
               {"HKEY_PERFORMANCE_DATA", "HKPD", 0x80000004u}, {"HKEY_CURRENT_CONFIG", "HKCC", 0x80000005u},
               {"HKEY_DYN_DATA", "HKDD", 0x80000006u}};
  for (const auto& r : roots) {
    EXPECT_EQ(Parse(std::string(r.longName) + "\\a").root, r.handle) << r.longName;
    EXPECT_EQ(Parse(r.shortName).root, r.handle) << r.shortName;
    EXPECT_EQ(Parse(r.longName).root, r.handle) << r.longName;
  }
}

TEST(ParsePath, OnlyTheFirstFourCharactersNameTheRoot) {
  EXPECT_EQ(Parse("hklm\\Software").root, win::HKEY_LOCAL_MACHINE);
  const Parsed extra = Parse("HKLMX\\Software");
  EXPECT_EQ(extra.root, win::HKEY_LOCAL_MACHINE);
  EXPECT_EQ(extra.subKey, "Software");
  EXPECT_EQ(Parse("HKEY_USERSX\\a").root, win::HKEY_USERS);  // shortened to HKUSX first
  EXPECT_EQ(Parse("HKL\\Software").root, 0u);               // "HKL\" is no root
  EXPECT_EQ(Parse("Software\\Test").root, 0u);
  // Without a backslash the whole text must be the root.
  EXPECT_EQ(Parse("HKLMX").root, 0u);
  EXPECT_EQ(Parse("").root, 0u);
  EXPECT_EQ(Parse("\\Software").root, 0u);
}

TEST(ParsePath, RootAloneHasAnEmptySubKey) {
  const Parsed r = Parse("HKLM");
  EXPECT_EQ(r.root, win::HKEY_LOCAL_MACHINE);
  EXPECT_EQ(r.subKey, "");
  EXPECT_EQ(Parse("hkcu\\").subKey, "");
  EXPECT_EQ(Parse("HKCU\\A\\B\\").subKey, "A\\B\\");  // later backslashes stay
}

TEST(ParsePath, LongRootNamesAreReplacedInsideSubKeysToo) {
  EXPECT_EQ(Parse("HKCU\\Software\\hkey_users").subKey, "Software\\HKUS");
  const Parsed r = Parse("HKEY_CURRENT_USER\\x\\HKEY_CURRENT_CONFIGy\\HKEY_DYN_DATA");
  EXPECT_EQ(r.root, win::HKEY_CURRENT_USER);
  EXPECT_EQ(r.subKey, "x\\HKCCy\\HKDD");
  // A long name standing in front of the root text makes a path with another root.
  EXPECT_EQ(Parse("xHKEY_USERS\\a").root, 0u);
}

TEST(ExpandRootNames, ShortNamesBecomeLongAnywhereIgnoringCase) {
  EXPECT_EQ(ExpandRootNames("HKCU\\Software\\Test"), "HKEY_CURRENT_USER\\Software\\Test");
  EXPECT_EQ(ExpandRootNames("hklm\\a\\xHKccy"), "HKEY_LOCAL_MACHINE\\a\\xHKEY_CURRENT_CONFIGy");
  EXPECT_EQ(ExpandRootNames("HKEY_USERS\\HKUS"), "HKEY_USERS\\HKEY_USERS");
}

using PathsThroughTheClass = RegistryTest;

TEST_F(PathsThroughTheClass, LongAndShortRootsReachTheSameKey) {
  reg.CreateKeyIfDoesntExists(kTrue);
  EXPECT_NE(reg.WriteString("HKEY_LOCAL_MACHINE\\Software\\Z", "n", "v"), 0);
  EXPECT_EQ(reg.ReadString("hklm\\Software\\Z", "n"), "v");
  EXPECT_EQ(reg.ReadString("HKLMjunk\\Software\\Z", "n"), "v");
  EXPECT_EQ(reg.KeyExists("HKEY_LOCAL_MACHINE"), kTrue);
  EXPECT_EQ(reg.KeyExists("HKLM"), kTrue);
  EXPECT_EQ(reg.KeyExists("HKXX"), kFalse);
  // The long name inside the sub-key addresses a key named HKUS.
  EXPECT_NE(reg.WriteString("HKCU\\Software\\hkey_users", "n", "w"), 0);
  EXPECT_EQ(reg.ReadString("HKCU\\Software\\HKUS", "n"), "w");
}

}  // namespace
}  // namespace zbx::test
