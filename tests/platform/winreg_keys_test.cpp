// Keys: opening, creating, deleting, handles, paths and the order of sub-keys, on our store
// and on the system registry (support/test_store.h); the tests name where Wine departs from Win32.
#include <algorithm>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

TEST_F(RegistryTest, RootsSurviveClosingAndEveryOpenOfAKeyGivesAHandleOfItsOwn) {
  if (!kSystemRegistry) {  // a new store of ours starts with the usual keys
    EXPECT_EQ(Names(reg, HKEY_LOCAL_MACHINE), (Strings{"HARDWARE", "SOFTWARE", "SYSTEM"}));
    EXPECT_EQ(Names(reg, HKEY_CURRENT_USER), Strings{"Software"});
  }
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG,
                    HKEY_DYN_DATA}) {
    EXPECT_EQ(Set(reg, root, "v", "x"), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegCloseKey(root), ERROR_SUCCESS);  // a no-op
    EXPECT_EQ(reg.RegDeleteKeyA(root, ""), ERROR_ACCESS_DENIED);
    HKEY same = 0;  // opening a root itself hands back the root, with all its rights
    EXPECT_EQ(reg.RegOpenKeyExA(root, "", 0, KEY_READ, &same), ERROR_SUCCESS);
    EXPECT_EQ(same, root);
    EXPECT_EQ(reg.RegDeleteValueA(same, "v"), ERROR_SUCCESS);
  }
  HKEY key = 77;  // performance data is no key to store in
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_PERFORMANCE_DATA, "K", &key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(key, 0u);
  HKEY deep = Create(HKEY_CURRENT_USER, "A\\B\\C");
  ASSERT_EQ(Set(reg, deep, "v", "same"), ERROR_SUCCESS);
  // RegOpenKeyA without a sub-key hands back the handle given; every other open a new one.
  EXPECT_EQ(reg.RegOpenKeyA(deep, nullptr, &key), ERROR_SUCCESS);
  EXPECT_EQ(key, deep);
  std::vector<HKEY> handles(2);
  EXPECT_EQ(reg.RegOpenKeyExA(deep, "", 0, KEY_READ, &handles[0]), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegCreateKeyA(deep, nullptr, &handles[1]), ERROR_SUCCESS);
  for (int i = 0; i < 100; ++i) handles.push_back(Create(HKEY_CURRENT_USER, "a\\b\\c"));
  EXPECT_EQ(reg.RegCloseKey(deep), ERROR_SUCCESS);  // the others stay usable
  for (HKEY h : handles) EXPECT_EQ(Get(reg, h, "v"), "same");
  EXPECT_EQ(Get(reg, deep, "v"), Error(ERROR_INVALID_HANDLE));
  handles.push_back(deep);
  std::sort(handles.begin(), handles.end());
  EXPECT_EQ(std::adjacent_find(handles.begin(), handles.end()), handles.end());
  EXPECT_LT(handles.back(), HKEY_CLASSES_ROOT);
}

TEST_F(RegistryTest, KeyNamesIgnoreCaseInTheCodePageAndHaveAPathSyntaxAndALength) {
  HKEY parent = Create(HKEY_CURRENT_USER, "L");
  reg.RegCloseKey(Create(parent, "MixedCase\\\\Q\\"));
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "l\\MIXEDCASE\\Inner"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "L\\\\\\mixedcase\\\\INNER"));
  EXPECT_EQ(Names(reg, parent), Strings{"MixedCase"});
  // e-acute, s caron, y diaeresis and oe fold; division and multiplication signs, sharp s and "SS" do not.
  const struct { const char *made, *asked; bool same; } names[] = {
      {"caf\xE9", "CAF\xC9", true}, {"\x9A\xFF", "\x8A\x9F", true}, {"\x9C", "\x8C", true},
      {"\xF7", "\xD7", false},      {"\xDF", "SS", false}};
  for (const auto& n : names) {
    reg.RegCloseKey(Create(parent, n.made));
    EXPECT_EQ(Exists(parent, n.asked), n.same) << n.asked;
  }
  HKEY key = 0;
  EXPECT_EQ(reg.RegOpenKeyA(parent, "Nope\\MixedCase", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.RegOpenKeyA(parent, "MixedCase", nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegCreateKeyA(parent, "\\Lead", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegOpenKeyA(parent, "\\MixedCase", &key), ERROR_BAD_PATHNAME);
  const std::string longest(255, 'k');
  reg.RegCloseKey(Create(parent, longest));
  // Wine takes names of 256 characters too; Win32 stops at 255.
  const std::string tooLong = UnderWine() ? longest + "kk" : longest + "k";
  EXPECT_EQ(reg.RegCreateKeyA(parent, tooLong.c_str(), &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegOpenKeyA(parent, tooLong.c_str(), &key), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(Exists(parent, longest));
}

TEST_F(RegistryTest, DeletionLeavesHandlesAnswering1018ThenClosed6AndSubKeysEnumerateSorted) {
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Tree\\Leaf"));
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_ACCESS_DENIED);
  HKEY leaf = Create(HKEY_CURRENT_USER, "TREE\\leaf");
  ASSERT_EQ(Set(reg, leaf, "v", "data"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(leaf, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegDeleteKeyA(leaf, ""), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_FILE_NOT_FOUND);
  // A new key of the same name is another key, without the old values.
  EXPECT_EQ(Get(reg, Create(HKEY_CURRENT_USER, "Tree\\Leaf"), "v"), Error(2));
  ExpectEveryCallAnswers(reg, leaf, ERROR_KEY_DELETED);
  EXPECT_EQ(reg.RegCloseKey(leaf), ERROR_SUCCESS);
  // Closed, invented and zero handles (Wine closes any handle from 0x80000000 up as a root).
  for (HKEY h : {leaf, HKEY{0}, HKEY{0x12345678}, HKEY{0x80000007}}) {
    ExpectEveryCallAnswers(reg, h, ERROR_INVALID_HANDLE);
    if (!UnderWine() || h < 0x80000000u) {
      EXPECT_EQ(reg.RegCloseKey(h), ERROR_INVALID_HANDLE) << h;
    }
  }
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Tree\\Leaf")) << "the new key is not the deleted one";
  // Enumeration: sorted ignoring case, with room for the zero, no class, and following changes.
  HKEY parent = Create(HKEY_CURRENT_USER, "Sorted");
  for (const char* name : {"b", "A", "_x", "C", "a1", "\xDF"}) reg.RegCloseKey(Create(parent, name));
  // Win32 compares names upper-cased, so '_' sorts after 'Z'; Wine compares them lower-cased.
  EXPECT_EQ(Names(reg, parent), (UnderWine() ? Strings{"_x", "A", "a1", "b", "C", "\xDF"}
                                             : Strings{"A", "a1", "b", "C", "_x", "\xDF"}));
  ASSERT_EQ(reg.RegDeleteKeyA(parent, "_x"), ERROR_SUCCESS);
  // A name needs room for its zero; without it the buffer stays untouched.
  char name[4] = "zzz";
  DWORD size = 2;
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 1, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(std::string(name), "zzz");
  // Keys carry no class text: an empty one of length 0.
  char keyClass[8] = "junk";
  DWORD classSize = sizeof keyClass;
  size = sizeof name;
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 1, name, &size, nullptr, keyClass, &classSize, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(std::string(keyClass) + "/" + std::to_string(classSize), "/0");
  // Changes between two calls shift the entries behind them.
  ASSERT_EQ(reg.RegDeleteKeyA(parent, "A"), ERROR_SUCCESS);
  EXPECT_EQ(NameAt(reg, parent, 2), "C");
}

TEST_F(RegistryTest, KeysLieAtMost512LevelsBelowTheirRoot) {
  // Made a level at a time, every level's handle kept: on Windows one call takes a sub-key
  // path of at most 260 characters (our store takes any length).
  const std::string longest(255, 'n');
  std::vector<HKEY> chain = {Create(HKEY_CURRENT_USER, longest)};
  while (chain.size() < 512) chain.push_back(Create(chain.back(), longest));
  ASSERT_EQ(Set(reg, chain.back(), "v", "bottom"), ERROR_SUCCESS);
  EXPECT_EQ(Get(reg, chain.back(), "v"), "bottom");
  // Win32 keeps keys within 512 levels of their root, counted from the root, not from the
  // handle; Wine makes them as deep as asked.
  if (!UnderWine()) {
    HKEY out = 0;
    EXPECT_EQ(reg.RegCreateKeyA(chain.back(), "x", &out), ERROR_NO_SYSTEM_RESOURCES);
    EXPECT_EQ(reg.RegCreateKeyA(chain[509], "m\\m\\m", &out), ERROR_NO_SYSTEM_RESOURCES);
  }
}

}  // namespace
}  // namespace zbx::win::test
