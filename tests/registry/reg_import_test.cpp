// .reg import: the header, CRLF-only lines, key sections and deletions, value lines of
// every form, the "@" rules, and the failures (no rollback).
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "registry/reg_file_fixture.h"

namespace zbx::test {
namespace {

constexpr const char* kKey = "HKCU\\Software\\Test";

class Import : public RegFileTest {
 protected:
  // Imports REGEDIT4, the given lines (each ended by CR LF), and checks the result.
  void ImportLines(const std::string& lines, std::int32_t expected = 1) {
    const std::string path = WriteFile("in.reg", "REGEDIT4\r\n\r\n" + lines);
    EXPECT_EQ(reg.ImportFromReg(path), expected);
  }
  static std::string Section(const std::string& valueLines) {
    return "[HKEY_CURRENT_USER\\Software\\Test]\r\n" + valueLines;
  }
};

TEST_F(Import, TheHeaderDecides) {
  EXPECT_EQ(reg.ImportFromReg(WriteFile("a.reg", "regedit4\r\n[HKCU\\A]\r\n\"n\"=\"v\"\r\n")), 1);
  EXPECT_EQ(reg.ReadString("HKCU\\A", "n"), "v");
  EXPECT_EQ(reg.ImportFromReg(WriteFile("b.reg", "REGEDIT4 \r\n[HKCU\\B]\r\n\"n\"=\"v\"\r\n")), 0);
  EXPECT_EQ(reg.ImportFromReg(WriteFile("c.reg", "REGEDIT4\n[HKCU\\C]\n\"n\"=\"v\"\n")), 0);  // one line
  EXPECT_EQ(reg.ImportFromReg(WriteFile("d.reg", "")), 0);
  EXPECT_EQ(reg.ImportFromReg(WriteFile("e.reg", "REGEDIT4")), 1);
  EXPECT_EQ(reg.KeyExists("HKCU\\B"), kFalse);
  EXPECT_EQ(reg.KeyExists("HKCU\\C"), kFalse);
}

TEST_F(Import, MissingFilesFailAndLeaveTheCreateSwitchOn) {
  EXPECT_EQ(reg.CreateKeyIfDoesntExists(), kFalse);
  EXPECT_EQ(reg.ImportFromReg(dir / "missing.reg"), 0);
  EXPECT_EQ(reg.CreateKeyIfDoesntExists(), kTrue);
  EXPECT_EQ(reg.ImportFromReg(""), 0);
  EXPECT_EQ(reg.ImportFromReg(dir.path()), 0);  // a folder
}

TEST_F(Import, KeySectionsCreateKeysAndSetStrings) {
  ImportLines(Section("\"n\"=\"v\"\r\n\"Gr\xFC\xDF" "e\"=\"caf\xE9\"\r\n") + "[HKCU\\Other]\r\n\"n\"=\"w\"\r\n");
  EXPECT_EQ(reg.ReadString(kKey, "n"), "v");
  EXPECT_EQ(reg.ReadString(kKey, "Grüße"), "café");  // the file is code page 1252
  EXPECT_EQ(reg.ReadString("HKCU\\Other", "n"), "w");
}

TEST_F(Import, ValueDeletionAndTheEmptyDefault) {
  reg.CreateKeyIfDoesntExists(kTrue);
  reg.WriteString(kKey, "n", "v");
  reg.WriteString(kKey, "@", "d");
  ImportLines(Section("\"n\"=-\r\n@=\"\"\r\n"));
  EXPECT_EQ(reg.ValueExists(kKey, "n"), kFalse);
  EXPECT_EQ(reg.ValueExists(kKey, ""), kFalse);  // written, then deleted again
  ImportLines(Section("@=\"x\"\r\n\"@\"=dword:1\r\n"));
  EXPECT_EQ(reg.ReadString(kKey, ""), "x");
  EXPECT_EQ(reg.ReadDWORD(kKey, "@"), 1);  // a value literally named "@"
  ImportLines(Section("\"@\"=-\r\n"));
  EXPECT_EQ(reg.ValueExists(kKey, "@"), kFalse);
  EXPECT_EQ(reg.ValueExists(kKey, ""), kTrue);
}

TEST_F(Import, HexAndDwordForms) {
  ImportLines(Section("\"b\"=hex:01,0a,FF\r\n\"B2\"=HEX:7f\r\n\"e\"=hex:\r\n\"d\"=dword:0000002a\r\n"
                      "\"m\"=dword:FFFFFFFF\r\n\"w\"=dword:0000FFFF\r\n\"z\"=dword:\r\n\"p\"=dword:12zz34\r\n"
                      "\"long\"=dword:123456789\r\n\"t\"=hex(2):41,00\r\n"));
  EXPECT_EQ(reg.ReadBinary(kKey, "b"), " 01 0A FF");
  EXPECT_EQ(reg.ReadBinary(kKey, "B2"), " 7F");
  EXPECT_EQ(reg.ValueExists(kKey, "e"), kTrue);
  EXPECT_EQ(reg.ReadBinary(kKey, "e", "dflt"), "");
  EXPECT_EQ(reg.ReadDWORD(kKey, "d"), 42);
  EXPECT_EQ(reg.ReadDWORD(kKey, "m"), -1);
  EXPECT_EQ(reg.ReadDWORD(kKey, "w"), 65535);
  EXPECT_EQ(reg.ReadDWORD(kKey, "z"), 0);
  EXPECT_EQ(reg.ReadDWORD(kKey, "p"), 0x12);
  EXPECT_EQ(reg.ReadDWORD(kKey, "long"), 0x23456789);  // the low 32 bits
  EXPECT_EQ(reg.ReadString(kKey, "t"), "hex(2):41,00");  // unknown forms are text
}

TEST_F(Import, KeyDeletionIgnoresTheLinesAfterIt) {
  reg.CreateKeyIfDoesntExists(kTrue);
  reg.WriteString(kKey, "n", "v");
  ImportLines("[-HKEY_CURRENT_USER\\Software\\Test]\r\n\"n\"=\"again\"\r\n");
  EXPECT_EQ(reg.KeyExists(kKey), kFalse);
  // A key with sub-keys stays (the deletion is refused), and the import goes on.
  reg.CreateKey("HKCU\\P\\Q");
  ImportLines("[-HKCU\\P]\r\n[HKCU\\R]\r\n\"n\"=\"v\"\r\n");
  EXPECT_EQ(reg.KeyExists("HKCU\\P\\Q"), kTrue);
  EXPECT_EQ(reg.ReadString("HKCU\\R", "n"), "v");
}

TEST_F(Import, LinesAreCutAtEqualsSignsAndStrippedOfQuotes) {
  ImportLines(Section("\"a=b\"=\"c\"\r\n\"q\"=\"say \"hi\"\"\r\n\"s\"=\"tail  \"\r\n\"n\" = \"v\"\r\n"
                      "\"x\"=\"1=2=3\"\r\n\"lone\"=\"a\rb\nc\"\r\n"));
  EXPECT_EQ(reg.ReadString(kKey, "a"), "b");    // the name ends at the first "=", the data at the second
  EXPECT_EQ(reg.ValueExists(kKey, "a=b"), kFalse);
  EXPECT_EQ(reg.ReadString(kKey, "q"), "say hi");  // every quote is gone
  EXPECT_EQ(reg.ReadString(kKey, "s"), "tail");    // trailing blanks go with the closing quote
  EXPECT_EQ(reg.ReadBinary(kKey, "n "), " 20 76");  // blanks around "=" stay in name and data
  EXPECT_EQ(reg.ReadString(kKey, "x"), "1");
  EXPECT_EQ(reg.ReadString(kKey, "lone"), "a\rb\nc");  // a lone CR or LF ends no line
}

TEST_F(Import, LinesOutsideSectionsAndWithoutEqualsChangeNothing) {
  ImportLines("\"early\"=\"v\"\r\n; comment\r\n" + Section("no equals sign\r\n\r\n   \r\n\"ok\"=\"1\"\r\n"));
  EXPECT_EQ(reg.ValueExists("HKCU", "early"), kFalse);
  EXPECT_EQ(reg.ValueExists(kKey, "early"), kFalse);
  std::vector<std::string> names;
  std::vector<RegValue> values;
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 1);
}

TEST_F(Import, ContinuedByteListsKeepOnlyTheFirstLine) {
  ImportLines(Section("\"b\"=hex:01,02,\\\r\n  03,04\r\n"));
  EXPECT_EQ(reg.ReadBinary(kKey, "b"), " 01 02");
}

TEST_F(Import, ALoneBracketEndsTheImportWithoutRollback) {
  ImportLines(Section("\"n\"=\"v\"\r\n") + "  [  \r\n[HKCU\\After]\r\n\"n\"=\"v\"\r\n", 0);
  EXPECT_EQ(reg.ReadString(kKey, "n"), "v");
  EXPECT_EQ(reg.KeyExists("HKCU\\After"), kFalse);
}

TEST_F(Import, RefusesFilesLargerThan64MiB) {
  const std::string head = "REGEDIT4\r\n[HKCU\\Big]\r\n\"n\"=\"v\"\r\n";
  const std::string path = WriteFile("big.reg", head);
  ASSERT_EQ(truncate(path.c_str(), 64 * 1024 * 1024 + 1), 0);  // sparse, filled with zeros
  EXPECT_EQ(reg.ImportFromReg(path), 0);
  EXPECT_EQ(reg.KeyExists("HKCU\\Big"), kFalse);
  ASSERT_EQ(truncate(path.c_str(), 64 * 1024 * 1024), 0);
  EXPECT_EQ(reg.ImportFromReg(path), 1);
  EXPECT_EQ(reg.ReadString("HKCU\\Big", "n"), "v");
}

}  // namespace
}  // namespace zbx::test
