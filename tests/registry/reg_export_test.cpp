// .reg export: the format byte for byte, value lines by type and order, depth-first keys,
// the output sink, the exclusive file and failures that keep what was written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "registry/reg_file_fixture.h"

namespace zbx::test {
namespace {

constexpr const char* kKey = "HKCU\\Software\\Test";
const std::string kHeader = "REGEDIT4\r\n\r\n";

class Export : public RegFileTest {
 protected:
  void SetUp() override { reg.CreateKeyIfDoesntExists(kTrue); }
  // Exports and returns the file's bytes; the result must be `expected`.
  std::string Exported(const std::string& path, std::int32_t expected = 1, RegExportOutput* out = nullptr) {
    std::filesystem::remove(dir / "out.reg");
    EXPECT_EQ(reg.ExportToReg(path, dir / "out.reg", out), expected);
    return FileText("out.reg");
  }
};

TEST_F(Export, TheDocumentedExampleByteForByte) {
  // Created in another order than they are written: lines go by type.
  reg.WriteDWORD(kKey, "d", 42);
  reg.WriteBinary(kKey, "b", "01 02");
  reg.WriteString(kKey, "s", "abc");
  reg.WriteString(kKey, "@", "x");
  reg.CreateKey("HKCU\\Software\\Test\\Sub");
  const std::string expected = kHeader +
                               "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                               "@=\"x\"\r\n"
                               "\"s\"=\"abc\"\r\n"
                               "\"b\"=hex:01,02\r\n"
                               "\"d\"=dword:0000002A\r\n"
                               "\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Test\\Sub]\r\n"
                               "\r\n";
  EXPECT_EQ(Exported(kKey), expected);
  EXPECT_EQ(Exported("HKEY_CURRENT_USER\\Software\\Test"), expected);
  EXPECT_EQ(Exported("hkcu\\Software\\Test"), expected);
}

TEST_F(Export, KeysWithoutValuesAndMissingKeys) {
  reg.CreateKey(kKey);
  EXPECT_EQ(Exported(kKey), kHeader + "[HKEY_CURRENT_USER\\Software\\Test]\r\n\r\n");
  EXPECT_EQ(Exported("HKLM\\Nothing\\Here"), kHeader + "[HKEY_LOCAL_MACHINE\\Nothing\\Here]\r\n\r\n");
}

TEST_F(Export, DefaultValuesByType) {
  reg.WriteBinary(kKey, "", "0A 0B 0C");
  reg.WriteString(kKey, "s", "t");
  // A byte default value is also readable as text: "@=" shows its bytes before the last.
  EXPECT_EQ(Exported(kKey), kHeader + "[HKEY_CURRENT_USER\\Software\\Test]\r\n@=\"\n\x0B\"\r\n\"s\"=\"t\"\r\n" +
                                "\"\"=hex:0A,0B,0C\r\n\r\n");
  reg.KillValue(kKey, "");
  EXPECT_EQ(Exported(kKey), kHeader + "[HKEY_CURRENT_USER\\Software\\Test]\r\n\"s\"=\"t\"\r\n\r\n");
  reg.WriteString(kKey, "", "");  // zero bytes: read as the empty text
  EXPECT_EQ(Exported(kKey), kHeader + "[HKEY_CURRENT_USER\\Software\\Test]\r\n@=\"\"\r\n\"s\"=\"t\"\r\n\r\n");
}

TEST_F(Export, DwordAndByteLines) {
  reg.WriteDWORD(kKey, "minus", -1);
  reg.WriteDWORD(kKey, "ff", 255);
  reg.WriteDWORD(kKey, "zero", 0);
  std::string hex;
  for (int i = 0; i < 300; ++i) hex += "7e";
  reg.WriteBinary(kKey, "big", hex);
  reg.WriteBinary(kKey, "none", "");
  std::string list = "7E";
  for (int i = 1; i < 300; ++i) list += ",7E";
  EXPECT_EQ(Exported(kKey), kHeader + "[HKEY_CURRENT_USER\\Software\\Test]\r\n" + "\"big\"=hex:" + list +
                                "\r\n\"none\"=hex:\r\n\"minus\"=dword:FFFFFFFF\r\n\"ff\"=dword:000000FF\r\n"
                                "\"zero\"=dword:00000000\r\n\r\n");
}

TEST_F(Export, TextIsWrittenAsReadAndUnescaped) {
  reg.WriteString(kKey, "q", "say \"hi\" \\o/");
  reg.WriteString(kKey, "blanks", "  lead and trail  ");
  reg.WriteString(kKey, "long", std::string(300, 'x'));  // beyond the string read
  reg.WriteString(kKey, "Grüße", "5 €");
  EXPECT_EQ(Exported(kKey), kHeader + "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                                      "\"q\"=\"say \"hi\" \\o/\"\r\n"
                                      "\"blanks\"=\"lead and trail  \"\r\n"
                                      "\"long\"=\"\"\r\n"
                                      "\"Gr\xFC\xDF" "e\"=\"5 \x80\"\r\n\r\n");  // code page 1252
}

TEST_F(Export, SubKeysDepthFirstInListingOrder) {
  for (const char* k : {"A\\B\\C", "A\\b2", "a3", "D"}) reg.CreateKey(std::string("HKCU\\T\\") + k);
  reg.WriteDWORD("HKCU\\T\\A\\B", "v", 1);
  const std::string text = Exported("HKCU\\T");
  EXPECT_EQ(text, kHeader + "[HKEY_CURRENT_USER\\T]\r\n\r\n[HKEY_CURRENT_USER\\T\\A]\r\n\r\n"
                            "[HKEY_CURRENT_USER\\T\\A\\B]\r\n\"v\"=dword:00000001\r\n\r\n"
                            "[HKEY_CURRENT_USER\\T\\A\\B\\C]\r\n\r\n[HKEY_CURRENT_USER\\T\\A\\b2]\r\n\r\n"
                            "[HKEY_CURRENT_USER\\T\\a3]\r\n\r\n[HKEY_CURRENT_USER\\T\\D]\r\n\r\n");
}

TEST_F(Export, TheSinkSeesEveryKeyAfterPendingEvents) {
  reg.CreateKey("HKCU\\T\\A");
  reg.CreateKey("HKCU\\T\\B");
  RecordingOutput out;
  const std::string with = Exported("HKCU\\T", 1, &out);
  EXPECT_EQ(out.events, (std::vector<std::string>{"events", "HKEY_CURRENT_USER\\T", "events",
                                                  "HKEY_CURRENT_USER\\T\\A", "events", "HKEY_CURRENT_USER\\T\\B"}));
  EXPECT_EQ(Exported("HKCU\\T"), with);  // no sink: the same file
}

TEST_F(Export, AFailureKeepsTheLinesWrittenAndStops) {
  for (const char* k : {"A", "B", "C"}) reg.WriteString(std::string("HKCU\\T\\") + k, "n", k);
  RecordingOutput out;
  out.failOnKey = 3;  // the root is key 1, A key 2, B key 3
  EXPECT_EQ(Exported("HKCU\\T", 0, &out),
            kHeader + "[HKEY_CURRENT_USER\\T]\r\n\r\n[HKEY_CURRENT_USER\\T\\A]\r\n\"n\"=\"A\"\r\n\r\n");
  EXPECT_EQ(out.events.size(), 5u);  // nothing after the failing key
}

TEST_F(Export, ASubKeyTheStoreCannotNameIsSkipped) {
  reg.CreateKey("HKCU\\T\\A");
  // The listing counts the failing entry with no name; visiting it would be this key again.
  store.onEnumKey = [](win::DWORD) { return std::optional<win::LONG>(win::ERROR_ACCESS_DENIED); };
  EXPECT_EQ(Exported("HKCU\\T"), kHeader + "[HKEY_CURRENT_USER\\T]\r\n\r\n");
}

TEST_F(Export, NeverTouchesAnExistingFileOrLink) {
  reg.WriteString(kKey, "s", "new");
  const std::string existing = WriteFile("existing.reg", "keep me");
  EXPECT_EQ(reg.ExportToReg(kKey, existing), 0);
  EXPECT_EQ(FileText("existing.reg"), "keep me");
  // A link to an existing file, and a dangling one whose target must not appear.
  ASSERT_EQ(symlink(existing.c_str(), (dir / "link.reg").c_str()), 0);
  EXPECT_EQ(reg.ExportToReg(kKey, dir / "link.reg"), 0);
  EXPECT_EQ(FileText("existing.reg"), "keep me");
  ASSERT_EQ(symlink((dir / "target.reg").c_str(), (dir / "dangling.reg").c_str()), 0);
  EXPECT_EQ(reg.ExportToReg(kKey, dir / "dangling.reg"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "target.reg"));
  EXPECT_EQ(reg.ExportToReg(kKey, ""), 0);
  EXPECT_EQ(reg.ExportToReg(kKey, dir / "no/such/folder.reg"), 0);
  EXPECT_EQ(reg.ExportToReg(kKey, dir.path()), 0);
}

}  // namespace
}  // namespace zbx::test
