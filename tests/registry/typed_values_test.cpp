// 32-bit and byte values and the hex text conversions: odd digit counts (L/2 ties to even),
// unreadable groups, characters counted in the code page, bytes kept exactly.
#include <gtest/gtest.h>

#include <string>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

constexpr const char* kKey = "HKCU\\Software\\Test";

class TypedValues : public RegistryTest {
 protected:
  void SetUp() override { ASSERT_NE(reg.CreateKey(kKey), 0); }

  // The bytes WriteBinary stores for a hex text.
  std::string Stored(const std::string& hex) {
    EXPECT_NE(reg.WriteBinary(kKey, "b", hex), 0) << hex;
    win::HKEY key = 0;
    store.RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software\\Test", 0, win::KEY_READ, &key);
    std::string data(1000, '\x7f');
    win::DWORD size = 1000, type = 0;
    store.RegQueryValueExA(key, "b", nullptr, &type, reinterpret_cast<win::BYTE*>(data.data()), &size);
    store.RegCloseKey(key);
    EXPECT_EQ(type, win::REG_BINARY);
    return data.substr(0, size);
  }
};

TEST_F(TypedValues, DwordRoundTripsAndDefaults) {
  ASSERT_NE(reg.WriteDWORD(kKey, "d", -1), 0);
  EXPECT_EQ(reg.ReadDWORD(kKey, "d"), -1);
  reg.WriteDWORD(kKey, "d", 0x01020304);
  EXPECT_EQ(reg.ReadDWORD(kKey, "d", 7), 0x01020304);
  EXPECT_EQ(reg.ReadBinary(kKey, "d"), " 04 03 02 01");  // low byte first
  EXPECT_EQ(reg.ReadDWORD(kKey, "missing"), -1);
  EXPECT_EQ(reg.ReadDWORD(kKey, "missing", 7), 7);
  EXPECT_EQ(reg.ReadDWORD("HKCU\\Nope", "d", 7), 7);
}

TEST_F(TypedValues, DwordReadsShortDataAndRefusesLongData) {
  reg.WriteBinary(kKey, "two", "34 12");
  EXPECT_EQ(reg.ReadDWORD(kKey, "two"), 0x1234);
  reg.WriteBinary(kKey, "five", "01 02 03 04 05");
  EXPECT_EQ(reg.ReadDWORD(kKey, "five", 7), 7);
}

TEST_F(TypedValues, AtIsAnOrdinaryNameForTypedValues) {
  reg.WriteDWORD(kKey, "@", 5);
  reg.WriteBinary(kKey, "@", "01");
  EXPECT_EQ(reg.ValueExists(kKey, "@"), kTrue);
  EXPECT_EQ(reg.ValueExists(kKey, ""), kFalse);
  reg.WriteDWORD(kKey, "", 9);
  EXPECT_EQ(reg.ReadDWORD(kKey, ""), 9);
}

TEST_F(TypedValues, WritesHonourTheCreateSwitch) {
  EXPECT_EQ(reg.WriteDWORD("HKCU\\New", "d", 1), 0);
  EXPECT_EQ(reg.WriteBinary("HKCU\\New", "b", "01"), 0);
  EXPECT_EQ(reg.KeyExists("HKCU\\New"), kFalse);
  reg.CreateKeyIfDoesntExists(kTrue);
  EXPECT_NE(reg.WriteDWORD("HKCU\\New\\A", "d", 1), 0);
  EXPECT_NE(reg.WriteBinary("HKCU\\New\\B", "b", "01"), 0);
  EXPECT_EQ(reg.ReadBinary("HKCU\\New\\B", "b"), " 01");
}

TEST_F(TypedValues, HexTextToStoredBytes) {
  EXPECT_EQ(Stored("01 0a FF"), std::string("\x01\x0A\xFF", 3));
  EXPECT_EQ(reg.ReadBinary(kKey, "b"), " 01 0A FF");
  EXPECT_EQ(Stored("01,02"), std::string("\x01\x00", 2));  // groups 01 ",0" 2; L = 5 keeps two
  EXPECT_EQ(Stored("ABC"), std::string("\xAB\x0C", 2));    // L = 3: the odd digit is kept
  EXPECT_EQ(Stored("ABCDE"), std::string("\xAB\xCD", 2));  // L = 5: it is dropped
  EXPECT_EQ(Stored("ABCDEF1"), std::string("\xAB\xCD\xEF\x01", 4));
  EXPECT_EQ(Stored("A"), "");
  EXPECT_EQ(Stored("1z zz 00"), std::string("\x01\x00\x00", 3));
  EXPECT_EQ(Stored(""), "");
  EXPECT_EQ(reg.ReadBinary(kKey, "b", "dflt"), "");
}

TEST_F(TypedValues, HexGroupsCountCodePageCharacters) {
  // "é12" is three characters (four UTF-8 bytes): groups "é1" (no digit: 0) and "2".
  std::string hex = "é12";
  EXPECT_EQ(reg.StrToBin(hex), std::string("\x00\x02", 2));
}

TEST_F(TypedValues, StrToBinRemovesBlanksFromTheCallersText) {
  std::string hex = " 0 1  F f ";
  EXPECT_EQ(reg.StrToBin(hex), std::string("\x01\xFF", 2));
  EXPECT_EQ(hex, "01Ff");
  std::string zero = "00";
  EXPECT_EQ(reg.StrToBin(zero), std::string(1, '\0'));
  std::string blanks = "   ";
  EXPECT_EQ(reg.StrToBin(blanks), "");
  EXPECT_EQ(blanks, "");
}

TEST_F(TypedValues, BinToStrWritesOneBlankBeforeEveryPair) {
  EXPECT_EQ(reg.BinToStr(std::string("\x00\x05\xC8", 3)), " 00 05 C8");
  EXPECT_EQ(reg.BinToStr(""), "");
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string hex = reg.BinToStr(all);
  EXPECT_EQ(hex.size(), 256u * 3);
  EXPECT_EQ(reg.StrToBin(hex), all);
}

TEST_F(TypedValues, IsBinValid) {
  EXPECT_EQ(reg.isBinValid("0a 1B"), kTrue);
  EXPECT_EQ(reg.isBinValid("0x1F"), kFalse);
  EXPECT_EQ(reg.isBinValid(""), kTrue);
  EXPECT_EQ(reg.isBinValid("   "), kTrue);
  EXPECT_EQ(reg.isBinValid("ABC"), kTrue);  // odd counts are not tested
  EXPECT_EQ(reg.isBinValid("01,02"), kFalse);
  EXPECT_EQ(reg.isBinValid("G0"), kFalse);
  EXPECT_EQ(reg.isBinValid("é"), kFalse);
  EXPECT_EQ(reg.isBinValid("01\t02"), kFalse);
}

TEST_F(TypedValues, ReadBinaryReturnsEveryByteOfAnyType) {
  reg.WriteString(kKey, "s", "  ab ");
  EXPECT_EQ(reg.ReadBinary(kKey, "s"), " 20 20 61 62 20");  // blanks are data here
  reg.WriteBinary(kKey, "b", "20 01 20");
  EXPECT_EQ(reg.ReadBinary(kKey, "b"), " 20 01 20");
  std::string big;
  for (int i = 0; i < 300; ++i) big += " 5A";
  reg.WriteBinary(kKey, "big", big);
  EXPECT_EQ(reg.ReadBinary(kKey, "big"), big);
  EXPECT_EQ(reg.ReadBinary(kKey, "missing", "dflt"), "dflt");
  EXPECT_EQ(reg.ReadBinary("HKCU\\Nope", "b", "dflt"), "dflt");
}

}  // namespace
}  // namespace zbx::test
