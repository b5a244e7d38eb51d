// String values: the create switch, "@", the 255-character read buffer, blanks, the empty
// value, and code page 1252 at the registry boundary.
#include <gtest/gtest.h>

#include <string>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

constexpr const char* kKey = "HKCU\\Software\\Test";

class StringValues : public RegistryTest {
 protected:
  void SetUp() override { ASSERT_NE(reg.CreateKey(kKey), 0); }

  // The bytes the store holds for a value.
  std::string RawBytes(const std::string& name) {
    win::HKEY key = 0;
    EXPECT_EQ(store.RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software\\Test", 0, win::KEY_READ, &key), 0);
    std::string data(1000, '\x7f');
    win::DWORD size = 1000;
    const win::LONG rc =
        store.RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<win::BYTE*>(data.data()), &size);
    store.RegCloseKey(key);
    return rc == 0 ? data.substr(0, size) : "<missing>";
  }
};

TEST_F(StringValues, CreateSwitchGovernsMissingKeys) {
  EXPECT_EQ(reg.CreateKeyIfDoesntExists(), kFalse);  // off until switched on
  EXPECT_EQ(reg.WriteString("HKCU\\Software\\New", "n", "v"), 0);
  EXPECT_EQ(reg.KeyExists("HKCU\\Software\\New"), kFalse);
  // Only True itself switches it on.
  reg.CreateKeyIfDoesntExists(1);
  EXPECT_EQ(reg.CreateKeyIfDoesntExists(), 1);
  EXPECT_EQ(reg.WriteString("HKCU\\Software\\New", "n", "v"), 0);
  reg.CreateKeyIfDoesntExists(kTrue);
  EXPECT_NE(reg.WriteString("HKCU\\Software\\New\\Deeper", "n", "v"), 0);
  EXPECT_EQ(reg.ReadString("HKCU\\Software\\New\\Deeper", "n"), "v");
}

TEST_F(StringValues, AtNamesTheDefaultValueOnlyForWriting) {
  ASSERT_NE(reg.WriteString(kKey, "@", "dflt"), 0);
  EXPECT_EQ(reg.ReadString(kKey, ""), "dflt");
  EXPECT_EQ(reg.ReadString(kKey, "@", "none"), "none");  // a value literally named "@"
  EXPECT_EQ(reg.ValueExists(kKey, "@"), kFalse);
}

TEST_F(StringValues, StoredWithoutTerminatorAndReadBackWithTrailingBlanks) {
  ASSERT_NE(reg.WriteString(kKey, "s", "abc"), 0);
  EXPECT_EQ(RawBytes("s"), "abc");
  EXPECT_EQ(reg.ReadString(kKey, "s"), "abc");
  ASSERT_NE(reg.WriteString(kKey, "s", "  abc  "), 0);
  EXPECT_EQ(reg.ReadString(kKey, "s"), "abc  ");  // leading blanks go, trailing ones stay
}

TEST_F(StringValues, TheReadBufferHoldsTwoHundredFiftyFourCharacters) {
  const std::string s254(254, 'x'), s255 = std::string(254, 'y') + "z", s256(256, 'w');
  reg.WriteString(kKey, "a", s254);
  reg.WriteString(kKey, "b", s255);
  reg.WriteString(kKey, "c", s256);
  EXPECT_EQ(reg.ReadString(kKey, "a"), s254);
  EXPECT_EQ(reg.ReadString(kKey, "b"), std::string(254, 'y'));  // no room for the zero
  EXPECT_EQ(reg.ReadString(kKey, "c", "dflt"), "dflt");
  EXPECT_EQ(RawBytes("c"), s256);  // stored whole all the same
}

TEST_F(StringValues, EmptyAndBlankTextReadBackEmpty) {
  ASSERT_NE(reg.WriteString(kKey, "e", ""), 0);
  EXPECT_EQ(RawBytes("e"), "");
  EXPECT_EQ(reg.ValueExists(kKey, "e"), kTrue);
  EXPECT_EQ(reg.ReadString(kKey, "e", "dflt"), "");
  reg.WriteString(kKey, "b", "   ");
  EXPECT_EQ(reg.ReadString(kKey, "b", "dflt"), "");
}

TEST_F(StringValues, FailuresGiveTheDefault) {
  EXPECT_EQ(reg.ReadString(kKey, "missing", "dflt"), "dflt");
  EXPECT_EQ(reg.ReadString(kKey, "missing"), "");
  EXPECT_EQ(reg.ReadString("HKCU\\Software\\Nope", "n", "dflt"), "dflt");
}

TEST_F(StringValues, OtherTypesReadAsTheirBytesCutTheSameWay) {
  reg.WriteDWORD(kKey, "d", 0x64636261);  // "abcd", stored without a zero behind it
  EXPECT_EQ(reg.ReadString(kKey, "d"), "abc");
}

TEST_F(StringValues, TextCrossesTheRegistryInCodePage1252) {
  ASSERT_NE(reg.WriteString(kKey, "Grüße", "5 € café"), 0);
  EXPECT_EQ(RawBytes("Gr\xFC\xDF" "e"), "5 \x80 caf\xE9");
  EXPECT_EQ(reg.ReadString(kKey, "Grüße"), "5 € café");
  reg.WriteString(kKey, "cjk", "日本");  // not in the code page
  EXPECT_EQ(reg.ReadString(kKey, "cjk"), "??");
  // A path with characters of the code page names a key stored in it.
  reg.CreateKeyIfDoesntExists(kTrue);
  ASSERT_NE(reg.WriteString("HKCU\\Software\\Zoë", "n", "v"), 0);
  win::HKEY key = 0;
  EXPECT_EQ(store.RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software\\Zo\xEB", 0, win::KEY_READ, &key), 0);
  store.RegCloseKey(key);
}

}  // namespace
}  // namespace zbx::test
