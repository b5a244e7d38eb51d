// Keys: opening, creating, deleting, handles, paths and the order of sub-keys.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

using Strings = std::vector<std::string>;

constexpr HKEY kRoots[] = {HKEY_CLASSES_ROOT,     HKEY_CURRENT_USER,   HKEY_LOCAL_MACHINE,
                           HKEY_USERS,            HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG,
                           HKEY_DYN_DATA};

TEST_F(RegistryTest, RootsHoldValuesAndSubKeysAndSurviveClosing) {
  for (HKEY root : kRoots) {
    EXPECT_EQ(Set(root, "v", "x"), ERROR_SUCCESS);
    EXPECT_EQ(Get(root, "v"), "x");
    HKEY child = Create(root, "Child");
    reg.RegCloseKey(child);
    EXPECT_EQ(SubKeys(root), Strings{"Child"});
    EXPECT_EQ(reg.RegCloseKey(root), ERROR_SUCCESS);
    EXPECT_EQ(Get(root, "v"), "x") << "closing a root is a no-op";
    EXPECT_EQ(reg.RegDeleteKeyA(root, ""), ERROR_ACCESS_DENIED);
  }
  // The roots are separate trees.
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Child"), ERROR_SUCCESS);
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "Child"));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Child"));
}

TEST_F(RegistryTest, CreateMakesEveryMissingLevelAndOpensExistingOnes) {
  HKEY deep = Create(HKEY_CURRENT_USER, "A\\B\\C");
  EXPECT_NE(deep, 0u);
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "A"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "A\\B"));
  HKEY again = Create(HKEY_CURRENT_USER, "a\\b\\c");
  EXPECT_NE(again, deep) << "each open gives a handle of its own";
  EXPECT_EQ(Set(deep, "v", "1"), ERROR_SUCCESS);
  EXPECT_EQ(Get(again, "v"), "1");
  HKEY a = 0;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "A", a), ERROR_SUCCESS);
  HKEY d = Create(a, "B\\C\\D");
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "A\\B\\C\\D"));
  for (HKEY k : {deep, again, a, d}) EXPECT_EQ(reg.RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(RegistryTest, OpenMissingKeyFailsAndLeavesResultZero) {
  HKEY key = 1234;
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "Nope", key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_CURRENT_USER, "Nope\\Deeper", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "x", 0, KEY_READ, nullptr),
            ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, KeyNamesIgnoreCaseAndKeepTheirFirstSpelling) {
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\MixedCase"));
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "SOFTWARE\\MIXEDCASE\\Inner"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "software\\mixedcase\\INNER"));
  HKEY sw = 0;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "SOFTWARE", sw), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(sw), Strings{"MixedCase"});
  EXPECT_EQ(SubKeys(HKEY_CURRENT_USER), Strings{"Software"});
  reg.RegCloseKey(sw);
  // Accented letters of the code page fold too (0xE9 e-acute, 0xC9 E-acute).
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "caf\xE9"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "CAF\xC9"));
  // So do the code page's own pairs outside Latin-1 (s caron, y diaeresis), but the
  // division sign is no letter and stays apart from the multiplication sign.
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "\x9A\xFF"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "\x8A\x9F"));
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "\xF7"));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "\xD7"));
}

TEST_F(RegistryTest, EmptyOrNullSubKeyOpensTheKeyItselfWithANewHandle) {
  HKEY key = Create(HKEY_CURRENT_USER, "Self");
  HKEY viaEmpty = 0, viaNull = 0, viaCreate = 0, viaOld = 0;
  EXPECT_EQ(Open(key, "", viaEmpty), ERROR_SUCCESS);
  EXPECT_EQ(Open(key, nullptr, viaNull), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegCreateKeyA(key, nullptr, &viaCreate), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegOpenKeyA(key, "", &viaOld), ERROR_SUCCESS);
  ASSERT_EQ(Set(key, "v", "same"), ERROR_SUCCESS);
  for (HKEY h : {viaEmpty, viaNull, viaCreate, viaOld}) {
    EXPECT_NE(h, key);
    EXPECT_EQ(Get(h, "v"), "same");
  }
  // Closing one of them leaves the others usable.
  EXPECT_EQ(reg.RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(Get(viaEmpty, "v"), "same");
  HKEY rootAgain = 0;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "", rootAgain), ERROR_SUCCESS);
  EXPECT_NE(rootAgain, 0u);
}

TEST_F(RegistryTest, PathSyntax) {
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "P\\\\Q\\"));
  EXPECT_EQ(SubKeys(HKEY_CURRENT_USER), Strings{"P"});
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "P\\Q"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "P\\\\\\Q\\\\"));
  HKEY key = 0;
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_CURRENT_USER, "\\Lead", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, "\\P", key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "\\P\\Q"), ERROR_BAD_PATHNAME);
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Lead"));
}

TEST_F(RegistryTest, KeyNamesUpTo255CharactersAreAccepted) {
  const std::string longest(255, 'k');
  const std::string tooLong(256, 'k');
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, ("L\\" + longest).c_str()));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, ("L\\" + longest).c_str()));
  HKEY key = 0;
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_CURRENT_USER, ("L\\" + tooLong).c_str(), &key),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, ("L\\" + tooLong).c_str(), key), ERROR_INVALID_PARAMETER);
  HKEY l = 0;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "L", l), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(l), Strings{longest});
  // A 255-character name needs a 256-character buffer (the terminating zero).
  char name[300];
  DWORD size = 255;
  EXPECT_EQ(reg.RegEnumKeyExA(l, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  size = 256;
  EXPECT_EQ(reg.RegEnumKeyExA(l, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 255u);
}

TEST_F(RegistryTest, DeleteKeyRefusesKeysWithSubKeys) {
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Tree\\Leaf"));
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Tree\\Leaf"));
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "TREE\\leaf"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Tree"));
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, DeleteKeyWithEmptyNameDeletesTheKeyAndItsValues) {
  HKEY key = Create(HKEY_CURRENT_USER, "Doomed");
  ASSERT_EQ(Set(key, "v", "data"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(key, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Doomed"));
  EXPECT_EQ(reg.RegDeleteKeyA(key, ""), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Doomed"));
  EXPECT_EQ(reg.RegCloseKey(key), ERROR_SUCCESS);
  HKEY fresh = Create(HKEY_CURRENT_USER, "Doomed");
  EXPECT_EQ(ValueNames(fresh), Strings{}) << "values went with the key";
}

TEST_F(RegistryTest, HandlesOnADeletedKeyAnswerKeyDeletedForEverythingButClose) {
  HKEY key = Create(HKEY_CURRENT_USER, "Gone");
  HKEY other = 0;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Gone", other), ERROR_SUCCESS);
  ASSERT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Gone"), ERROR_SUCCESS);
  // A new key of the same name is another key.
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Gone"));

  for (HKEY h : {key, other}) {
    HKEY out = 0;
    char name[16];
    DWORD size = sizeof name, type = 0;
    BYTE data[16];
    DWORD cb = sizeof data;
    EXPECT_EQ(Open(h, "", out), ERROR_KEY_DELETED);
    EXPECT_EQ(Open(h, "x", out), ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegCreateKeyA(h, "x", &out), ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegCreateKeyA(h, "", &out), ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegDeleteKeyA(h, ""), ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegDeleteKeyA(h, "x"), ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegEnumKeyExA(h, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegEnumValueA(h, 0, name, &size, nullptr, &type, data, &cb),
              ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegQueryValueExA(h, "v", nullptr, &type, data, &cb), ERROR_KEY_DELETED);
    EXPECT_EQ(Set(h, "v", "x"), ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegDeleteValueA(h, "v"), ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegCloseKey(h), ERROR_INVALID_HANDLE);
  }
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Gone"));
}

TEST_F(RegistryTest, ClosedInventedAndZeroHandlesAreInvalid) {
  HKEY key = Create(HKEY_CURRENT_USER, "K");
  ASSERT_EQ(reg.RegCloseKey(key), ERROR_SUCCESS);
  for (HKEY h : {key, HKEY{0}, HKEY{0x12345678}, HKEY{0x80000007}, HKEY{0xFFFFFFFF}}) {
    HKEY out = 0;
    char name[16];
    DWORD size = sizeof name;
    DWORD cb = 0;
    EXPECT_EQ(Open(h, "K", out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegCreateKeyA(h, "K", &out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegCloseKey(h), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegDeleteKeyA(h, "K"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegEnumKeyExA(h, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegEnumValueA(h, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegQueryValueExA(h, "v", nullptr, nullptr, nullptr, &cb), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Set(h, "v", "x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegDeleteValueA(h, "v"), ERROR_INVALID_HANDLE);
  }
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "K"));
}

TEST_F(RegistryTest, SubKeysEnumerateSortedByUpperCasedBytes) {
  HKEY parent = Create(HKEY_CURRENT_USER, "Sorted");
  // '_' (0x5F) sorts after upper-case letters but before lower-case ones in plain
  // byte order; upper-casing puts "b" and "B" side by side, and 0xE9 after ASCII.
  for (const char* name : {"b", "_x", "A", "caf\xE9", "C", "a1", "Zeta"})
    reg.RegCloseKey(Create(parent, name));
  EXPECT_EQ(SubKeys(parent), (Strings{"A", "a1", "b", "C", "caf\xE9", "Zeta", "_x"}));
  char name[16];
  DWORD size = sizeof name;
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 7, name, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 1000, name, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, EnumKeyReportsNameSizeInCharactersAndFillsOptionalOutputs) {
  HKEY parent = Create(HKEY_CURRENT_USER, "E");
  reg.RegCloseKey(Create(parent, "abcd"));
  char name[8] = "zzzzzzz";
  DWORD size = 4;  // no room for the zero
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  EXPECT_EQ(std::string(name), "zzzzzzz") << "buffer untouched";
  size = 5;
  char cls[4] = "xxx";
  DWORD clsSize = sizeof cls;
  FILETIME time{1, 1};
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 0, name, &size, nullptr, cls, &clsSize, &time),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(name), "abcd");
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(clsSize, 0u);
  EXPECT_EQ(cls[0], '\0');
  DWORD reserved = 0;
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 0, name, &size, &reserved, nullptr, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, EnumerationFollowsChangesMadeBetweenCalls) {
  HKEY parent = Create(HKEY_CURRENT_USER, "Changing");
  for (const char* name : {"a", "b", "c", "d"}) reg.RegCloseKey(Create(parent, name));
  EXPECT_EQ(SubKeyAt(parent, 0), "a");
  EXPECT_EQ(SubKeyAt(parent, 1), "b");
  // Deleting "a" shifts the rest down: index 2 is now "d".
  ASSERT_EQ(reg.RegDeleteKeyA(parent, "a"), ERROR_SUCCESS);
  EXPECT_EQ(SubKeyAt(parent, 2), "d");
  EXPECT_EQ(SubKeyAt(parent, 0), "b");
  EXPECT_EQ(SubKeyAt(parent, 1), "c");
  reg.RegCloseKey(Create(parent, "bb"));
  EXPECT_EQ(SubKeyAt(parent, 2), "c");
  EXPECT_EQ(SubKeyAt(parent, 4), "error 259");
}

TEST_F(RegistryTest, ManyHandlesStayDistinct) {
  std::vector<HKEY> handles;
  for (int i = 0; i < 1000; ++i) handles.push_back(Create(HKEY_CURRENT_USER, "Many"));
  std::sort(handles.begin(), handles.end());
  EXPECT_EQ(std::adjacent_find(handles.begin(), handles.end()), handles.end());
  for (HKEY h : handles) {
    EXPECT_NE(h, 0u);
    EXPECT_LT(h, HKEY_CLASSES_ROOT);
    EXPECT_EQ(reg.RegCloseKey(h), ERROR_SUCCESS);
  }
}

}  // namespace
}  // namespace zbx::win::test
