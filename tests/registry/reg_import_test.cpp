// .reg import: the file and its header, CRLF-only lines, key sections and deletions, value
// lines of every form, the "@" rules, and the failures (no rollback).
#include <filesystem>
#include <initializer_list>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

const std::string kSection = "[HKEY_CURRENT_USER\\Software\\Test]";

class Import : public RegistryTest {
 protected:
  std::int32_t ImportText(const std::string& text) { return reg.ImportFromReg(WriteFile("in.reg", text)); }
  // REGEDIT4, then the lines, each ended by CR LF.
  void ImportLines(std::initializer_list<std::string> lines, std::int32_t expected = 1) {
    std::string text = "REGEDIT4\r\n\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    EXPECT_EQ(ImportText(text), expected) << text;
  }
};

TEST_F(Import, TheFileAndItsHeaderDecide) {
  EXPECT_EQ(reg.CreateKeyIfDoesntExists(), kFalse);
  EXPECT_EQ(reg.ImportFromReg(dir / "missing.reg"), 0);
  EXPECT_EQ(reg.CreateKeyIfDoesntExists(), kTrue);  // left on, failure or not
  EXPECT_EQ(reg.ImportFromReg(dir.path), 0);
  const std::pair<std::string, std::int32_t> files[] = {
      {"regedit4\r\n[HKCU\\A]\r\n\"n\"=\"v\"\r\n", 1},
      {"REGEDIT4 \r\n[HKCU\\B]\r\n\"n\"=\"v\"\r\n", 0},
      {"REGEDIT4\n[HKCU\\C]\n\"n\"=\"v\"\n", 0}};  // LF only: all one line
  for (const auto& [text, result] : files) EXPECT_EQ(ImportText(text), result) << text;
  EXPECT_EQ(reg.ReadString("HKCU\\A", "n"), "v");
  EXPECT_EQ(reg.KeyExists("HKCU\\B") + reg.KeyExists("HKCU\\C"), 2 * kFalse);
  // Beyond 64 MiB a file is refused unread (sparse files here, filled with zeros).
  const std::string big = WriteFile("big.reg", "REGEDIT4\r\n[HKCU\\Big]\r\n\"n\"=\"v\"\r\n");
  std::filesystem::resize_file(big, 64 * 1024 * 1024 + 1);
  EXPECT_EQ(reg.ImportFromReg(big), 0);
  EXPECT_EQ(reg.KeyExists("HKCU\\Big"), kFalse);
  std::filesystem::resize_file(big, 64 * 1024 * 1024);
  EXPECT_EQ(reg.ImportFromReg(big), 1);
  EXPECT_EQ(reg.ReadString("HKCU\\Big", "n"), "v");
}

std::string Le(std::uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

TEST_F(Import, ValueLinesOfEveryForm) {
  const struct {
    std::string line, name;
    DWORD type;
    std::string stored;
  } rows[] = {
      {"\"b\"=hex:01,0a,FF", "b", win::REG_BINARY, "\x01\x0A\xFF"},
      {"\"c\"=hex:01,02,\\", "c", win::REG_BINARY, "\x01\x02"},  // a continuation line is not read
      {"  03,04", "c", win::REG_BINARY, "\x01\x02"},
      {"\"d\"=dword:0000002a", "d", win::REG_DWORD, Le(42)},
      {"\"p\"=dword:12zz34", "p", win::REG_DWORD, Le(0x12)},
      {"\"long\"=dword:123456789", "long", win::REG_DWORD, Le(0x23456789)},  // the low 32 bits
      {"\"t\"=hex(2):41,00", "t", win::REG_SZ, "hex(2):41,00"},                // unknown forms are text
      {"\"a=b\"=\"c\"", "a", win::REG_SZ, "b"},  // the name ends at the first "=", the data at the second
      {"\"q\"=\"say \"hi\"\"", "q", win::REG_SZ, "say hi"},  // every quote goes
      {"\"n\" = \"v\"", "n ", win::REG_SZ, " v"},           // blanks around "=" stay
      {"\"lone\"=\"a\rb\nc\"", "lone", win::REG_SZ, "a\rb\nc"},  // a lone CR or LF ends no line
      {"@=\"x\"", "", win::REG_SZ, "x"},
      {"\"@\"=dword:1", "@", win::REG_DWORD, Le(1)},
  };
  std::string text = "REGEDIT4\r\n\"early\"=\"v\"\r\n; comment\r\n" + kSection + "\r\nno equals\r\n\r\n  \r\n";
  for (const auto& row : rows) text += row.line + "\r\n";
  EXPECT_EQ(ImportText(text), 1);
  for (const auto& row : rows) {
    DWORD type = 0;
    EXPECT_EQ(Raw(row.name, &type), row.stored) << row.line;
    EXPECT_EQ(type, row.type) << row.line;
  }
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 12);
  EXPECT_EQ(reg.ValueExists("HKCU", "early"), kFalse);
}

TEST_F(Import, DeletionsAndALoneBracket) {
  reg.CreateKeyIfDoesntExists(kTrue);
  reg.WriteString(kKey, "@", "d");
  reg.WriteDWORD(kKey, "@", 1);
  ImportLines({kSection, "\"@\"=-"});
  EXPECT_EQ(reg.ValueExists(kKey, "@"), kFalse);
  EXPECT_EQ(reg.ReadString(kKey, ""), "d");
  ImportLines({kSection, "@=\"\""});  // written, then deleted again
  EXPECT_EQ(reg.ValueExists(kKey, ""), kFalse);
  // Key deletion ignores the lines after it; a key with sub-keys stays, and the import goes on.
  reg.CreateKey("HKCU\\P\\Q");
  ImportLines({"[-HKEY_CURRENT_USER\\Software\\Test]", "\"n\"=\"again\"", "[-HKCU\\P]", "[HKCU\\R]", "\"n\"=\"v\""});
  EXPECT_EQ(reg.KeyExists(kKey), kFalse);
  EXPECT_EQ(reg.KeyExists("HKCU\\P\\Q"), kTrue);
  EXPECT_EQ(reg.ReadString("HKCU\\R", "n"), "v");
  // "[]" names no key: its lines go nowhere; "==" gives an empty text.
  ImportLines({"[]", "\"lost\"=\"v\"", kSection, "\"n\"==x"});
  EXPECT_EQ(reg.ReadString(kKey, "n", "dflt"), "");
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 1);
  EXPECT_EQ(reg.ValueExists("HKCU", "lost"), kFalse);
  // A lone "[" ends the import with a failure; what was applied stays.
  ImportLines({"[HKCU\\S]", "\"n\"=\"v\"", "  [  ", "[HKCU\\After]", "\"n\"=\"v\""}, 0);
  EXPECT_EQ(reg.ReadString("HKCU\\S", "n"), "v");
  EXPECT_EQ(reg.KeyExists("HKCU\\After"), kFalse);
}

}  // namespace
}  // namespace zbx::test
