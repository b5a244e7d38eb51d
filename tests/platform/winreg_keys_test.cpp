// Keys: opening, creating, deleting, handles, paths and the order of sub-keys, on our store
// and on the system registry (support/test_store.h); the tests name where Wine departs from Win32.
#include <algorithm>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

TEST_F(RegistryTest, RootsAreSeparateKeysThatSurviveClosingAndPerformanceDataHoldsNone) {
  if (!kSystemRegistry) {  // a new store of ours starts with the usual keys
    EXPECT_EQ(Names(reg, HKEY_LOCAL_MACHINE), (Strings{"HARDWARE", "SOFTWARE", "SYSTEM"}));
    EXPECT_EQ(Names(reg, HKEY_CURRENT_USER), Strings{"Software"});
    EXPECT_EQ(Names(reg, HKEY_USERS), Strings{});
  }
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG,
                    HKEY_DYN_DATA}) {
    SCOPED_TRACE(root);
    EXPECT_EQ(Set(reg, root, "v", "x"), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegCloseKey(root), ERROR_SUCCESS);
    EXPECT_EQ(Get(reg, root, "v"), "x") << "closing a root is a no-op";
    EXPECT_EQ(reg.RegDeleteKeyA(root, ""), ERROR_ACCESS_DENIED);
    HKEY same = 0;  // opening a root itself hands back the root, with all its rights
    EXPECT_EQ(reg.RegOpenKeyExA(root, "", 0, KEY_READ, &same), ERROR_SUCCESS);
    EXPECT_EQ(same, root);
    EXPECT_EQ(reg.RegDeleteValueA(same, "v"), ERROR_SUCCESS);
  }
  reg.RegCloseKey(Create(HKEY_LOCAL_MACHINE, "Child"));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Child"));
  HKEY key = 77;
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_PERFORMANCE_DATA, "K", &key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(Set(reg, HKEY_PERFORMANCE_DATA, "v", "x"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(NameAt(reg, HKEY_PERFORMANCE_DATA, 0), Error(ERROR_INVALID_HANDLE));
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_PERFORMANCE_DATA, nullptr, &key), ERROR_SUCCESS);
  EXPECT_EQ(key, HKEY_PERFORMANCE_DATA);
}

TEST_F(RegistryTest, CreateMakesEveryLevelAndEveryOpenGivesAHandleOfItsOwn) {
  HKEY deep = Create(HKEY_CURRENT_USER, "A\\B\\C");
  HKEY a = Create(HKEY_CURRENT_USER, "a");
  reg.RegCloseKey(Create(a, "B\\C\\D"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "A\\B\\C\\D"));
  ASSERT_EQ(Set(reg, deep, "v", "same"), ERROR_SUCCESS);
  // An empty or null sub-key opens the key itself: RegOpenKeyA hands back the same handle.
  HKEY same = 0;
  EXPECT_EQ(reg.RegOpenKeyA(deep, nullptr, &same), ERROR_SUCCESS);
  EXPECT_EQ(same, deep);
  std::vector<HKEY> handles(3);
  EXPECT_EQ(reg.RegOpenKeyExA(deep, "", 0, KEY_READ, &handles[0]), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegOpenKeyExA(deep, nullptr, 0, KEY_READ, &handles[1]), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegCreateKeyA(deep, nullptr, &handles[2]), ERROR_SUCCESS);
  for (int i = 0; i < 100; ++i) handles.push_back(Create(HKEY_CURRENT_USER, "a\\b\\c"));
  EXPECT_EQ(reg.RegCloseKey(deep), ERROR_SUCCESS);  // the others stay usable
  handles.push_back(deep);
  for (HKEY h : handles) EXPECT_EQ(Get(reg, h, "v"), h == deep ? Error(6) : "same");
  std::sort(handles.begin(), handles.end());
  EXPECT_EQ(std::adjacent_find(handles.begin(), handles.end()), handles.end());
  EXPECT_GT(handles.front(), 0u);
  EXPECT_LT(handles.back(), HKEY_CLASSES_ROOT);
  for (HKEY h : handles)
    if (h != deep) reg.RegCloseKey(h);
}

TEST_F(RegistryTest, KeyNamesIgnoreCaseInTheCodePageAndKeepTheirFirstSpelling) {
  HKEY parent = Create(HKEY_CURRENT_USER, "Case");
  reg.RegCloseKey(Create(parent, "MixedCase"));
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "CASE\\MIXEDCASE\\Inner"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "case\\mixedcase\\INNER"));
  EXPECT_EQ(Names(reg, parent), Strings{"MixedCase"});
  // e-acute, s caron, y diaeresis and oe fold; division and multiplication signs, sharp s and "SS" do not.
  const struct { const char *made, *asked; bool same; } names[] = {
      {"caf\xE9", "CAF\xC9", true}, {"\x9A\xFF", "\x8A\x9F", true}, {"\x9C", "\x8C", true},
      {"\xF7", "\xD7", false},      {"\xDF", "SS", false}};
  for (const auto& n : names) {
    reg.RegCloseKey(Create(parent, n.made));
    EXPECT_EQ(Exists(parent, n.asked), n.same) << n.asked;
  }
  reg.RegCloseKey(parent);
}

TEST_F(RegistryTest, PathSyntaxAndNameLengths) {
  HKEY parent = Create(HKEY_CURRENT_USER, "L");
  reg.RegCloseKey(Create(parent, "P\\\\Q\\"));
  EXPECT_EQ(Names(reg, parent), Strings{"P"});
  EXPECT_TRUE(Exists(parent, "P\\\\\\Q\\\\"));
  HKEY key = 1234;
  EXPECT_EQ(reg.RegOpenKeyA(parent, "Nope\\P", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(reg.RegOpenKeyA(parent, "P", nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegCreateKeyA(parent, "\\Lead", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegOpenKeyA(parent, "\\P", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegDeleteKeyA(parent, "\\P\\Q"), ERROR_BAD_PATHNAME);
  EXPECT_TRUE(Exists(parent, "P\\Q"));
  // Below HKEY_CLASSES_ROOT one leading backslash is taken when a key is opened.
  reg.RegCloseKey(Create(HKEY_CLASSES_ROOT, "ZbxClass"));
  EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, "\\ZbxClass"));
  EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "\\\\ZbxClass"));
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_CLASSES_ROOT, "\\ZbxClass", &key), ERROR_BAD_PATHNAME);
  const std::string longest(255, 'k');
  reg.RegCloseKey(Create(parent, longest));
  // Wine takes names of 256 characters too; Win32 stops at 255.
  const std::string tooLong = UnderWine() ? longest + "kk" : longest + "k";
  EXPECT_EQ(reg.RegCreateKeyA(parent, tooLong.c_str(), &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegOpenKeyA(parent, tooLong.c_str(), &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegDeleteKeyA(parent, tooLong.c_str()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Names(reg, parent), (Strings{longest, "P"}));
  reg.RegCloseKey(parent);
}

TEST_F(RegistryTest, DeletionRefusesSubKeysAndLeavesHandlesAnswering1018ThenClosed6) {
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Tree\\Leaf"));
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_ACCESS_DENIED);
  HKEY leaf = Create(HKEY_CURRENT_USER, "TREE\\leaf"), other = Create(HKEY_CURRENT_USER, "Tree\\Leaf");
  ASSERT_EQ(Set(reg, leaf, "v", "data"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(leaf, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegDeleteKeyA(leaf, ""), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_FILE_NOT_FOUND);
  // A new key of the same name is another key, without the old values.
  EXPECT_EQ(Get(reg, Create(HKEY_CURRENT_USER, "Tree\\Leaf"), "v"), Error(2));
  for (HKEY h : {leaf, other}) {
    ExpectEveryCallAnswers(reg, h, ERROR_KEY_DELETED);
    EXPECT_EQ(reg.RegCloseKey(h), ERROR_SUCCESS);
  }
  // Closed, invented and zero handles (Wine closes any handle from 0x80000000 up as a root).
  for (HKEY h : {leaf, HKEY{0}, HKEY{0x12345678}, HKEY{0x80000007}}) {
    ExpectEveryCallAnswers(reg, h, ERROR_INVALID_HANDLE);
    if (!UnderWine() || h < 0x80000000u) {
      EXPECT_EQ(reg.RegCloseKey(h), ERROR_INVALID_HANDLE) << h;
    }
  }
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Tree\\Leaf")) << "the new key is not the deleted one";
}

TEST_F(RegistryTest, SubKeysEnumerateSortedIgnoringCaseAndFollowChanges) {
  HKEY parent = Create(HKEY_CURRENT_USER, "Sorted");
  for (const char* name : {"b", "A", "caf\xE9", "C", "a1", "Zeta", "\xDF"}) reg.RegCloseKey(Create(parent, name));
  EXPECT_EQ(Names(reg, parent), (Strings{"A", "a1", "b", "C", "caf\xE9", "Zeta", "\xDF"}));
  // Win32 compares names upper-cased, so '_' sorts after "Zeta"; Wine compares them lower-cased.
  reg.RegCloseKey(Create(parent, "_x"));
  EXPECT_EQ(NameAt(reg, parent, UnderWine() ? 0 : 6), "_x");
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
  reg.RegCloseKey(Create(parent, "bb"));
  EXPECT_EQ(NameAt(reg, parent, 3), "C");
  reg.RegCloseKey(parent);
}

TEST_F(RegistryTest, AHandleDoesWithValuesOnlyWhatItWasOpenedFor) {
  HKEY full = Create(HKEY_CURRENT_USER, "Guarded");
  ASSERT_EQ(Set(reg, full, "v", "kept"), ERROR_SUCCESS);
  const struct {
    REGSAM access;
    LONG set, query, listKeys;
  } rows[] = {{KEY_QUERY_VALUE, 5, 0, 5}, {KEY_ENUMERATE_SUB_KEYS, 5, 5, 0}, {KEY_SET_VALUE, 0, 5, 5}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.access);
    reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Guarded\\Sub"));
    ASSERT_EQ(Set(reg, full, "x", "gone"), ERROR_SUCCESS);
    HKEY h = 0, same = 0;
    ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Guarded", 0, row.access, &h), ERROR_SUCCESS);
    ASSERT_EQ(reg.RegOpenKeyA(h, "", &same), ERROR_SUCCESS);  // the same handle, the same rights
    EXPECT_EQ(Set(reg, same, "v", "kept"), row.set);
    EXPECT_EQ(reg.RegDeleteValueA(h, "x"), row.set);
    EXPECT_EQ(Get(reg, h, "v"), row.query == 0 ? "kept" : Error(row.query));
    EXPECT_EQ(NameAt(reg, h, 0, true), row.query == 0 ? "v" : Error(row.query));
    EXPECT_EQ(NameAt(reg, h, 0), row.listKeys == 0 ? "Sub" : Error(row.listKeys));
    // Deleting a key takes the key's own right, whatever the handle was opened for.
    EXPECT_EQ(reg.RegDeleteKeyA(h, "Sub"), ERROR_SUCCESS);
    reg.RegCloseKey(h);
  }
  reg.RegCloseKey(full);
}

TEST_F(RegistryTest, KeysLieAtMost512LevelsBelowTheirRootAndEveryLevelCanBeWalked) {
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
    HKEY out = 77;
    EXPECT_EQ(reg.RegCreateKeyA(chain.back(), "x", &out), ERROR_NO_SYSTEM_RESOURCES);
    EXPECT_EQ(out, 0u);
    EXPECT_EQ(reg.RegCreateKeyA(chain[509], "m\\m\\m", &out), ERROR_NO_SYSTEM_RESOURCES);
  }
  // Deleting the tree from the bottom up, listing every level on the way.
  for (std::size_t level = chain.size(); level-- > 0;) {
    EXPECT_TRUE(Names(reg, chain[level]).empty()) << level;
    ASSERT_EQ(reg.RegDeleteKeyA(chain[level], ""), ERROR_SUCCESS) << level;
    reg.RegCloseKey(chain[level]);
  }
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, longest));
}

}  // namespace
}  // namespace zbx::win::test
