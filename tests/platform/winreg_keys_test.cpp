// Keys: opening, creating, deleting, handles, paths and the order of sub-keys.
#include <algorithm>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

TEST_F(RegistryTest, RootsAreSeparateKeysThatSurviveClosingAndStartWithTheUsualKeys) {
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG,
                    HKEY_DYN_DATA}) {
    EXPECT_EQ(Set(reg, root, "v", "x"), ERROR_SUCCESS);
    reg.RegCloseKey(Create(root, "Child"));
    EXPECT_EQ(reg.RegCloseKey(root), ERROR_SUCCESS);
    EXPECT_EQ(Get(reg, root, "v"), "x") << "closing a root is a no-op";
    const Strings names = root == HKEY_LOCAL_MACHINE  ? Strings{"Child", "HARDWARE", "SOFTWARE", "SYSTEM"}
                          : root == HKEY_CURRENT_USER ? Strings{"Child", "Software"}
                                                      : Strings{"Child"};
    EXPECT_EQ(Names(reg, root), names);
    EXPECT_EQ(reg.RegDeleteKeyA(root, ""), ERROR_ACCESS_DENIED);
    HKEY same = 0;  // opening a root itself hands back the root, with all its rights
    EXPECT_EQ(reg.RegOpenKeyExA(root, "", 0, KEY_READ, &same), ERROR_SUCCESS);
    EXPECT_EQ(same, root);
    EXPECT_EQ(reg.RegDeleteValueA(same, "v"), ERROR_SUCCESS);
  }
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Child"), ERROR_SUCCESS);
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "Child"));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Child"));
}

TEST_F(RegistryTest, PerformanceDataIsNoKeyToStoreIn) {
  HKEY key = 77;
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_PERFORMANCE_DATA, "K", &key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_PERFORMANCE_DATA, "K", &key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(Set(reg, HKEY_PERFORMANCE_DATA, "v", "x"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.RegDeleteValueA(HKEY_PERFORMANCE_DATA, "v"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_PERFORMANCE_DATA, "K"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(NameAt(reg, HKEY_PERFORMANCE_DATA, 0), Error(ERROR_INVALID_HANDLE));
  EXPECT_EQ(NameAt(reg, HKEY_PERFORMANCE_DATA, 0, true), Error(ERROR_INVALID_HANDLE));
  // The system answers a query with its performance counters, which our store has not.
  EXPECT_NE(Get(reg, HKEY_PERFORMANCE_DATA, "v"), "x");
  for (const char* none : {"", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(reg.RegOpenKeyExA(HKEY_PERFORMANCE_DATA, none, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(key, HKEY_PERFORMANCE_DATA);
    EXPECT_EQ(reg.RegOpenKeyA(HKEY_PERFORMANCE_DATA, none, &key), ERROR_SUCCESS);
    EXPECT_EQ(key, HKEY_PERFORMANCE_DATA);
  }
  EXPECT_EQ(reg.RegCloseKey(HKEY_PERFORMANCE_DATA), ERROR_SUCCESS);
}

TEST_F(RegistryTest, CreateMakesEveryLevelAndEveryOpenGivesAHandleOfItsOwn) {
  HKEY deep = Create(HKEY_CURRENT_USER, "A\\B\\C");
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "A\\B"));
  HKEY a = Create(HKEY_CURRENT_USER, "a");
  reg.RegCloseKey(Create(a, "B\\C\\D"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "A\\B\\C\\D"));
  ASSERT_EQ(Set(reg, deep, "v", "same"), ERROR_SUCCESS);
  // An empty or null sub-key opens the key itself: RegOpenKeyA hands back the very
  // handle it was given, the others a new one.
  for (const char* none : {"", static_cast<const char*>(nullptr)}) {
    HKEY same = 0;
    EXPECT_EQ(reg.RegOpenKeyA(deep, none, &same), ERROR_SUCCESS);
    EXPECT_EQ(same, deep);
  }
  std::vector<HKEY> handles(3);
  EXPECT_EQ(reg.RegOpenKeyExA(deep, "", 0, KEY_READ, &handles[0]), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegOpenKeyExA(deep, nullptr, 0, KEY_READ, &handles[1]), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegCreateKeyA(deep, nullptr, &handles[2]), ERROR_SUCCESS);
  for (int i = 0; i < 500; ++i) handles.push_back(Create(HKEY_CURRENT_USER, "a\\b\\c"));
  EXPECT_EQ(reg.RegCloseKey(deep), ERROR_SUCCESS);  // the others stay usable
  handles.push_back(deep);
  for (HKEY h : handles) EXPECT_EQ(Get(reg, h, "v"), h == deep ? Error(6) : "same");
  std::sort(handles.begin(), handles.end());
  EXPECT_EQ(std::adjacent_find(handles.begin(), handles.end()), handles.end());
  EXPECT_GT(handles.front(), 0u);
  EXPECT_LT(handles.back(), HKEY_CLASSES_ROOT);
}

TEST_F(RegistryTest, KeyNamesIgnoreCaseInTheCodePageAndKeepTheirFirstSpelling) {
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\MixedCase"));
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "SOFTWARE\\MIXEDCASE\\Inner"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "software\\mixedcase\\INNER"));
  EXPECT_EQ(Names(reg, HKEY_CURRENT_USER), Strings{"Software"});
  EXPECT_EQ(Names(reg, Create(HKEY_CURRENT_USER, "SOFTWARE")), Strings{"MixedCase"});
  // e-acute, s caron and y diaeresis fold; the division sign is no multiplication sign.
  const struct { const char *made, *asked; bool same; } names[] = {
      {"caf\xE9", "CAF\xC9", true}, {"\x9A\xFF", "\x8A\x9F", true}, {"\xF7", "\xD7", false}};
  for (const auto& n : names) {
    reg.RegCloseKey(Create(HKEY_CURRENT_USER, n.made));
    EXPECT_EQ(Exists(HKEY_CURRENT_USER, n.asked), n.same) << n.asked;
  }
}

TEST_F(RegistryTest, PathSyntaxAndNameLengths) {
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "P\\\\Q\\"));
  EXPECT_EQ(Names(reg, HKEY_CURRENT_USER), (Strings{"P", "Software"}));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "P\\\\\\Q\\\\"));
  HKEY key = 1234;
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_CURRENT_USER, "Nope\\P", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "P", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_CURRENT_USER, "\\Lead", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_CURRENT_USER, "\\P", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "\\P\\Q"), ERROR_BAD_PATHNAME);
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Lead"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "P\\Q"));
  // Below HKEY_CLASSES_ROOT one leading backslash is taken when a key is opened.
  reg.RegCloseKey(Create(HKEY_CLASSES_ROOT, "ZbxClass"));
  EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, "\\ZbxClass"));
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_CLASSES_ROOT, "\\ZbxClass", &key), ERROR_SUCCESS);
  reg.RegCloseKey(key);
  EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "\\\\ZbxClass"));
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_CLASSES_ROOT, "\\ZbxClass", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CLASSES_ROOT, "\\ZbxClass"), ERROR_BAD_PATHNAME);
  const std::string longest(255, 'k');
  HKEY parent = Create(HKEY_CURRENT_USER, "L");
  reg.RegCloseKey(Create(parent, longest));
  EXPECT_EQ(reg.RegCreateKeyA(parent, (longest + "k").c_str(), &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegOpenKeyA(parent, ("x\\" + longest + "k").c_str(), &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Names(reg, parent), Strings{longest});
}

TEST_F(RegistryTest, DeletionRefusesSubKeysAndLeavesHandlesAnswering1018ThenClosed6) {
  reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Tree\\Leaf"));
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Tree\\Leaf"));
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
  // Closed, invented and zero handles.
  for (HKEY h : {leaf, HKEY{0}, HKEY{0x12345678}, HKEY{0x80000007}, HKEY{0xFFFFFFFF}}) {
    ExpectEveryCallAnswers(reg, h, ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegCloseKey(h), ERROR_INVALID_HANDLE);
  }
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Tree\\Leaf")) << "the new key is not the deleted one";
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Tree\\Leaf\\K"));
}

TEST_F(RegistryTest, SubKeysEnumerateByUpperCasedBytesAndFollowChanges) {
  HKEY parent = Create(HKEY_CURRENT_USER, "Sorted");
  // '_' sorts between upper- and lower-case letters in plain byte order; 0xE9 after ASCII.
  for (const char* name : {"b", "_x", "A", "caf\xE9", "C", "a1", "Zeta"})
    reg.RegCloseKey(Create(parent, name));
  EXPECT_EQ(Names(reg, parent), (Strings{"A", "a1", "b", "C", "caf\xE9", "Zeta", "_x"}));
  EXPECT_EQ(NameAt(reg, parent, 1000), Error(259));
  // A name needs room for its zero; without it the buffer stays untouched.
  char name[4] = "zzz";
  DWORD size = 2;
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 1, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(std::string(name), "zzz");
  EXPECT_EQ(reg.RegEnumKeyExA(parent, 1, nullptr, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  // Changes between two calls shift the entries behind them.
  EXPECT_EQ(NameAt(reg, parent, 0), "A");
  EXPECT_EQ(NameAt(reg, parent, 1), "a1");
  ASSERT_EQ(reg.RegDeleteKeyA(parent, "A"), ERROR_SUCCESS);
  EXPECT_EQ(NameAt(reg, parent, 2), "C");
  reg.RegCloseKey(Create(parent, "bb"));
  EXPECT_EQ(NameAt(reg, parent, 3), "C");
}

TEST_F(RegistryTest, AHandleDoesWithValuesAndListingsOnlyWhatItWasOpenedFor) {
  HKEY full = Create(HKEY_CURRENT_USER, "Guarded");
  ASSERT_EQ(Set(reg, full, "v", "kept"), ERROR_SUCCESS);
  const struct {
    REGSAM access;
    LONG set, deleteValue, query, listKeys;
  } rows[] = {
      {KEY_READ, 5, 5, 0, 0},  {KEY_QUERY_VALUE, 5, 5, 0, 5}, {KEY_ENUMERATE_SUB_KEYS, 5, 5, 5, 0},
      {KEY_WRITE, 0, 0, 5, 5}, {KEY_SET_VALUE, 0, 0, 5, 5},   {KEY_ALL_ACCESS, 0, 0, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.access);
    reg.RegCloseKey(Create(HKEY_CURRENT_USER, "Guarded\\Sub\\Self"));
    ASSERT_EQ(Set(reg, full, "x", "gone"), ERROR_SUCCESS);
    HKEY h = 0, self = 0;
    ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Guarded", 0, row.access, &h), ERROR_SUCCESS);
    HKEY same = 0;
    ASSERT_EQ(reg.RegOpenKeyA(h, "", &same), ERROR_SUCCESS);  // the same handle, the same rights
    EXPECT_EQ(Set(reg, same, "v", "kept"), row.set);
    EXPECT_EQ(reg.RegDeleteValueA(h, "x"), row.deleteValue);
    EXPECT_EQ(Get(reg, h, "v"), row.query == 0 ? "kept" : Error(row.query));
    EXPECT_EQ(NameAt(reg, h, 0, true), row.query == 0 ? "v" : Error(row.query));
    EXPECT_EQ(NameAt(reg, h, 0), row.listKeys == 0 ? "Sub" : Error(row.listKeys));
    // Deleting a key takes the key's own right, whatever the handle was opened for: the
    // key is opened anew to be deleted (our store keeps no rights per key).
    ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Guarded\\Sub\\Self", 0, row.access, &self), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegDeleteKeyA(self, ""), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegDeleteKeyA(h, "Sub"), ERROR_SUCCESS);
    EXPECT_FALSE(Exists(full, "Sub"));
    reg.RegCloseKey(self);
    reg.RegCloseKey(h);
  }
  EXPECT_EQ(Get(reg, full, "v"), "kept");
  reg.RegCloseKey(full);
}

TEST_F(RegistryTest, KeysLieAtMost512LevelsBelowTheirRootAndEveryLevelCanBeWalked) {
  auto levels = [](int n, const std::string& name) {
    std::string path = name;
    for (int i = 1; i < n; ++i) path += "\\" + name;
    return path;
  };
  const std::string longest(255, 'n');
  HKEY deepest = Create(HKEY_CURRENT_USER, levels(512, longest));
  ASSERT_NE(deepest, 0u);
  HKEY out = 77;
  EXPECT_EQ(reg.RegCreateKeyA(deepest, "x", &out), ERROR_NO_SYSTEM_RESOURCES);
  EXPECT_EQ(out, 0u);
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, levels(513, "k").c_str(), &out), ERROR_NO_SYSTEM_RESOURCES);
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, levels(16500, "k").c_str(), &out), ERROR_NO_SYSTEM_RESOURCES);
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "k"));
  // From a handle part-way down the limit counts from the root, not from the handle.
  HKEY middle = Create(HKEY_CURRENT_USER, levels(500, longest));
  reg.RegCloseKey(Create(middle, levels(12, "m")));
  EXPECT_EQ(reg.RegCreateKeyA(middle, levels(13, "m").c_str(), &out), ERROR_NO_SYSTEM_RESOURCES);
  EXPECT_EQ(Set(reg, deepest, "v", "bottom"), ERROR_SUCCESS);
  EXPECT_EQ(Get(reg, deepest, "v"), "bottom");
  for (int m = 12; m >= 1; --m) ASSERT_EQ(reg.RegDeleteKeyA(middle, levels(m, "m").c_str()), ERROR_SUCCESS);
  reg.RegCloseKey(deepest);
  reg.RegCloseKey(middle);
  // Deleting the deepest tree from the bottom up, listing every level on the way.
  for (int depth = 512; depth >= 1; --depth) {
    const std::string path = levels(depth, longest);
    HKEY key = 0;
    ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS) << depth;
    EXPECT_TRUE(Names(reg, key).empty()) << depth;
    ASSERT_EQ(reg.RegDeleteKeyA(key, ""), ERROR_SUCCESS) << depth;
    reg.RegCloseKey(key);
  }
  EXPECT_EQ(Names(reg, HKEY_CURRENT_USER), Strings{"Software"});
}

}  // namespace
}  // namespace zbx::win::test
