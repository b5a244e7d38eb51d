// String, 32-bit and byte values: the create switch, "@", the 255-character read buffer,
// blanks, code page 1252 at the registry boundary, and the hex text conversions. Values as
// a set: existence, deletion, and listings by type with their stale entries. Keys:
// creation of missing levels, deletion (and its refusal), existence, sub-key listings with
// their stale entries, after deletions and on a failing store; and registry paths with
// their root names.

#include "registry/registry_fixture.h"
#include "registry/registry_path.h"

namespace zbx::test {
namespace {

class ValuesTest : public RegistryTest {
 protected:
  void SetUp() override { ASSERT_NE(reg.CreateKey(kKey), 0); }
};

TEST_F(ValuesTest, WritesCreateMissingKeysOnlyWhenSwitchedToTrue) {
  for (std::int16_t offon : {kFalse, std::int16_t{1}, kTrue}) {
    reg.CreateKeyIfDoesntExists(offon);
    const std::string at = "HKCU\\New" + std::to_string(offon) + "\\Deeper";
    const int done = (reg.WriteString(at, "s", "v") != 0) + (reg.WriteDWORD(at, "d", 1) != 0) +
                     (reg.WriteBinary(at + "\\B", "b", "01") != 0);
    EXPECT_EQ(done, offon == kTrue ? 3 : 0) << offon;
    EXPECT_EQ(reg.ReadString(at, "s") + reg.ReadBinary(at + "\\B", "b"), offon == kTrue ? "v 01" : "");
  }
}

TEST_F(ValuesTest, StringsAreStoredBareAndReadThroughA255ByteBuffer) {
  const std::string s255 = std::string(254, 'y') + "z", s256(256, 'w');
  const struct {
    std::string written, raw, read;
  } cases[] = {
      {"  abc  ", "  abc  ", "abc  "},  // leading blanks go, trailing ones stay
      {"", "", ""},                     // a zero-byte value reads as the empty text
      {s255, s255, std::string(254, 'y')},  // no room for the zero
      {s256, s256, "dflt"},
      {"5 € café", "5 \x80 caf\xE9", "5 € café"},  // code page 1252 in the registry
      {"日本", "??", "??"},
  };
  for (const auto& c : cases) {
    ASSERT_NE(reg.WriteString(kKey, "Grüße", c.written), 0) << c.written;
    EXPECT_EQ(Raw("Gr\xFC\xDF" "e"), c.raw);
    EXPECT_EQ(reg.ReadString(kKey, "Grüße", "dflt"), c.read) << c.written;
  }
  reg.WriteDWORD(kKey, "d", 0x64636261);  // other types read as their bytes, cut the same way
  EXPECT_EQ(reg.ReadString(kKey, "d"), "abc");
  EXPECT_EQ(reg.ReadString(kKey, "missing", "dflt") + reg.ReadString(kKey, "missing"), "dflt");
  // "@" names the default value only for writing strings.
  ASSERT_NE(reg.WriteString(kKey, "@", "dflt"), 0);
  reg.WriteBinary(kKey, "@", "01");
  EXPECT_EQ(reg.ReadString(kKey, "") + reg.ReadBinary(kKey, "@"), "dflt 01");
}

TEST_F(ValuesTest, HexTextToBytesAndBackAndDwords) {
  const struct {
    std::string hex, bytes, blanksRemoved;
  } cases[] = {
      {" 0 1  0a F f ", std::string("\x01\x0A\xFF", 3), "010aFf"},
      {"01,02", std::string("\x01\x00", 2), "01,02"},  // groups 01 ",0" 2; L = 5 keeps two
      {"ABC", "\xAB\x0C", "ABC"},                      // L = 3: the odd digit is kept
      {"1z zz 00", std::string("\x01\x00\x00", 3), "1zzz00"},
      {"é12", std::string("\x00\x02", 2), "é12"},  // three code-page characters
  };
  for (const auto& c : cases) {
    std::string hex = c.hex;
    EXPECT_EQ(reg.StrToBin(hex), c.bytes) << c.hex;
    EXPECT_EQ(hex, c.blanksRemoved);
    ASSERT_NE(reg.WriteBinary(kKey, "b", c.hex), 0);
    EXPECT_EQ(Raw("b"), c.bytes) << c.hex;
    EXPECT_EQ(reg.ReadBinary(kKey, "b", "dflt"), reg.BinToStr(c.bytes));
  }
  for (const char* valid : {"0a 1B", "", "ABC"}) EXPECT_EQ(reg.isBinValid(valid), kTrue) << valid;
  for (const char* invalid : {"0x1F", "01,02", "G0", "é"}) EXPECT_EQ(reg.isBinValid(invalid), kFalse) << invalid;
  // 32-bit values: low byte first, from byte data of up to four bytes.
  reg.WriteDWORD(kKey, "d", 0x01020304);
  EXPECT_EQ(reg.ReadDWORD(kKey, "d", 7), 0x01020304);
  EXPECT_EQ(reg.ReadBinary(kKey, "d"), " 04 03 02 01");  // every byte of any type
  EXPECT_EQ(reg.ReadDWORD("HKCU\\Nope", "d", 7), 7);
  reg.WriteBinary(kKey, "two", "34 12");  // short data reads, long data does not
  EXPECT_EQ(reg.ReadDWORD(kKey, "two"), 0x1234);
  reg.WriteBinary(kKey, "five", "01 02 03 04 05");
  EXPECT_EQ(reg.ReadDWORD(kKey, "five", 7), 7);
}

TEST_F(ValuesTest, ListsByTypeKeepingStaleEntriesExistenceAndDeletion) {
  names = {"x", "y"};
  values = {std::string("v"), 1};
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 0);
  EXPECT_EQ(reg.EnumValues("HKCU\\Missing", names, values), -1);
  EXPECT_EQ(names, (Names{"x", "y"}));
  // Made in the order of their names: Windows may list values in either order. Zero-size
  // values are listed once, long names and values whole; other types keep the entry.
  const std::string longName(300, 'n');
  SetRaw("0", win::REG_EXPAND_SZ, "%P%");
  reg.WriteString(kKey, "a", std::string(300, 't'));
  reg.WriteDWORD(kKey, "b", 42);
  reg.WriteBinary(kKey, "c", "01 02");
  reg.WriteBinary(kKey, "d", "");
  reg.WriteDWORD(kKey, longName, 3);
  values = {7};
  ASSERT_EQ(reg.EnumValues(kKey, names, values), 6);
  EXPECT_EQ(names, (Names{"0", "a", "b", "c", "d", longName}));
  EXPECT_EQ(values, (Values{7, std::string(), 42, std::string(" 01 02"), std::string(), 3}));
  ASSERT_EQ(reg.EnumValues(kKey, names, values, win::REG_DWORD), 2);
  EXPECT_EQ(names, (Names{"b", longName}));
  EXPECT_EQ(values, (Values{42, 3}));
  // Existence of a value of any size, and deletion.
  EXPECT_EQ(reg.ValueExists(kKey, "a"), kTrue);
  EXPECT_EQ(reg.ValueExists(kKey, "missing"), kFalse);
  EXPECT_EQ(reg.ValueExists("HKCU\\Missing", "a"), kFalse);
  EXPECT_NE(reg.KillValue(kKey, "missing"), 0);  // the key could be opened
  EXPECT_EQ(reg.KillValue("HKCU\\Missing", "a"), 0);
  EXPECT_NE(reg.KillValue(kKey, "A"), 0);  // names ignore case
  EXPECT_EQ(reg.ValueExists(kKey, "a"), kFalse);
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 5);
}

TEST_F(ValuesTest, KeysCreateKillExistAndList) {
  EXPECT_NE(reg.CreateKey("HKCU\\P\\a\\C"), 0);
  EXPECT_EQ(reg.CreateKey("HKXX\\A"), 0);
  const std::string n255(255, 'm');
  for (const std::string& k : Names{"b", "D", n255, "Zoë"}) reg.CreateKey("HKCU\\P\\" + k);
  names = {"s0", "s1", "s2", "s3", "s4", "s5", "s6"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", names), 5);  // sorted ignoring case, case kept, long names whole
  EXPECT_EQ(names, (Names{"a", "b", "D", n255, "Zoë"}));
  names = {"x", "y"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\P\\b", names), 0);
  EXPECT_EQ(reg.EnumKeys("HKCU\\Missing", names), -1);
  EXPECT_EQ(names, (Names{"x", "y"}));
  EXPECT_EQ(reg.KillKey("HKCU\\P\\a"), 0);  // refused while it has a sub-key
  EXPECT_NE(reg.KillKey("HKCU\\P\\a\\C"), 0);
  EXPECT_NE(reg.KillKey("HKEY_CURRENT_USER\\p\\A"), 0);  // names ignore case
  EXPECT_EQ(reg.KeyExists("HKCU\\P\\a"), kFalse);
  EXPECT_EQ(reg.KillKey("HKCU\\P\\a"), 0);  // missing
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", names), 4);
  EXPECT_EQ(names, (Names{"b", "D", n255, "Zoë"}));
}

TEST_F(ValuesTest, KeysListingsNeverStallOnAFailingStore) {
  Names keys;
  reg.CreateKey("HKCU\\P\\a");
  reg.WriteString("HKCU\\P", "a", "1");
  // A key deleted under an open handle answers 1018 for ever: the failing entry counts.
  store.onEnumKey = store.onEnumValue = [](DWORD) { return std::optional<LONG>(win::ERROR_KEY_DELETED); };
  EXPECT_EQ(reg.EnumKeys("HKCU\\P", keys) + reg.EnumValues("HKCU\\P", names, values), 2);
  EXPECT_EQ(keys, names);
  EXPECT_EQ(names, Names{""});
}

TEST(ParsePath, RootsSubKeysAndTheRewrittenPath) {
  const struct {
    std::string path;
    HKEY root;
    std::string subKey, rewritten;
  } cases[] = {
      {"HKLMX\\Software", win::HKEY_LOCAL_MACHINE, "Software", "HKLMX\\Software"},  // four characters name the root
      {"HKEY_USERS\\x\\HKEY_CURRENT_CONFIGy\\hkey_dyn_data", win::HKEY_USERS, "x\\HKCCy\\HKDD", "HKUS\\x\\HKCCy\\HKDD"},
      {"HKLMX", 0, "", "HKLMX"},  // without a backslash the whole text must be the root
  };
  for (const auto& c : cases) {
    std::string path = c.path, subKey = "stale";
    EXPECT_EQ(ParseRegistryPath(path, subKey), c.root) << c.path;
    EXPECT_EQ(subKey + " " + path, c.subKey + " " + c.rewritten) << c.path;
  }
  const char* roots[][2] = {{"HKEY_CLASSES_ROOT", "HKCR"},   {"HKEY_CURRENT_USER", "HKCU"},
                            {"HKEY_LOCAL_MACHINE", "HKLM"},  {"HKEY_USERS", "HKUS"},
                            {"HKEY_PERFORMANCE_DATA", "HKPD"}, {"HKEY_CURRENT_CONFIG", "HKCC"},
                            {"HKEY_DYN_DATA", "HKDD"}};
  for (HKEY handle = win::HKEY_CLASSES_ROOT; handle <= win::HKEY_DYN_DATA; ++handle) {
    const auto& [longName, shortName] = roots[handle - win::HKEY_CLASSES_ROOT];
    std::string a = std::string(longName) + "\\" + longName, b = shortName, sub;
    EXPECT_EQ(ParseRegistryPath(a, sub), handle) << longName;
    EXPECT_EQ(sub, shortName);
    EXPECT_EQ(ParseRegistryPath(b, sub), handle) << shortName;
    EXPECT_EQ(ExpandRootNames(std::string("x") + shortName), std::string("x") + longName);
  }
  EXPECT_EQ(ExpandRootNames("hklm\\a\\xHKccy"), "HKEY_LOCAL_MACHINE\\a\\xHKEY_CURRENT_CONFIGy");
}

}  // namespace
}  // namespace zbx::test
