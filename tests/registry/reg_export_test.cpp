// .reg export: the format byte for byte, value lines by type and order, depth-first keys,
// the output sink, the exclusive file and failures that keep what was written.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdio>
#include <initializer_list>
#include <stdexcept>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

const std::string kHeader = "REGEDIT4\r\n\r\n";

// A key's section: "[HKEY_CURRENT_USER\sub]", the value lines and the empty line, CR LF each.
std::string Section(const std::string& sub, std::initializer_list<std::string> lines = {}) {
  std::string text = "[HKEY_CURRENT_USER\\" + sub + "]\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return text + "\r\n";
}

// A text as the byte list of an export: its characters and a zero byte, "41,00".
std::string HexOf(const std::string& text) {
  std::string list;
  for (unsigned char c : text + std::string(1, '\0')) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X,", c);
    list += pair;
  }
  list.pop_back();
  return list;
}

// A sink that records what the export shows, and can fail on a given key.
class RecordingOutput : public RegExportOutput {
 public:
  std::vector<std::string> events;
  int failOnKey = 0;  // 1-based; 0 never fails

  void DoEvents() override {
    events.push_back("events");
    if (failOnKey != 0 && static_cast<int>(events.size() + 1) / 2 == failOnKey) throw std::runtime_error("failed");
  }
  void SetText(const std::string& keyPath) override { events.push_back(keyPath); }
};

class Export : public RegistryTest {
 protected:
  void SetUp() override { reg.CreateKeyIfDoesntExists(kTrue); }
};

TEST_F(Export, OneValueOfEachTypeAndASubKeyByteForByte) {
  // Created in another order than they are written: lines go by type.
  reg.WriteDWORD(kKey, "d", 42);
  reg.WriteBinary(kKey, "b", "01 02");
  reg.WriteString(kKey, "s", "abc");
  reg.WriteString(kKey, "@", "x");
  reg.CreateKey("HKCU\\Software\\Test\\Sub");
  const std::string expected =
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Test]\r\n@=\"x\"\r\n\"s\"=\"abc\"\r\n\"b\"=hex:01,02\r\n"
      "\"d\"=dword:0000002A\r\n\r\n[HKEY_CURRENT_USER\\Software\\Test\\Sub]\r\n\r\n";
  EXPECT_EQ(Exported(kKey), expected);
  EXPECT_EQ(Exported("HKEY_CURRENT_USER\\Software\\Test"), expected);
  EXPECT_EQ(Exported("hkcu\\Software\\Test"), expected);
  EXPECT_EQ(Exported("HKLM\\Nothing\\Here"), kHeader + "[HKEY_LOCAL_MACHINE\\Nothing\\Here]\r\n\r\n");
}

TEST_F(Export, ValueLinesOfEveryKind) {
  // Each kind made in the order of its names: Windows may list values in either order.
  reg.WriteBinary(kKey, "", "0A 0B 0C");  // also readable as text: its bytes before the last
  reg.WriteString(kKey, "blanks", "  lead and trail  ");
  reg.WriteString(kKey, "Grüße", "5 €");
  reg.WriteString(kKey, "long", std::string(300, 'x'));  // beyond the string read
  reg.WriteString(kKey, "q", "say \"hi\" \\o/");
  for (auto [name, value] : {std::pair{"ff", 255}, {"minus", -1}, {"zero", 0}}) reg.WriteDWORD(kKey, name, value);
  std::string hex, list = "7E";
  for (int i = 0; i < 300; ++i) hex += "7e";
  for (int i = 1; i < 300; ++i) list += ",7E";
  reg.WriteBinary(kKey, "big", hex);
  reg.WriteBinary(kKey, "none", "");
  reg.WriteString("HKCU\\T", "@", "");  // zero bytes: read as the empty text
  reg.CreateKey("HKCU\\T\\Bare");
  EXPECT_EQ(Exported(kKey), kHeader + Section("Software\\Test",
                                              {"\"\"=hex:0A,0B,00", "\"blanks\"=hex:" + HexOf("lead and trail  "),
                                               "\"Gr\xFC\xDF" "e\"=\"5 \x80\"", "\"long\"=\"\"",
                                               "\"q\"=hex:" + HexOf("say \"hi\" \\o/"), "\"\"=hex:0A,0B,0C",
                                               "\"big\"=hex:" + list, "\"none\"=hex:", "\"ff\"=dword:000000FF",
                                               "\"minus\"=dword:FFFFFFFF", "\"zero\"=dword:00000000"}));
  EXPECT_EQ(Exported("HKCU\\T"), kHeader + Section("T", {"\"\"=hex:00"}) + Section("T\\Bare"));
}

TEST_F(Export, SubKeysDepthFirstInListingOrder) {
  for (const char* k : {"A\\B\\C", "A\\b2", "a3", "D"}) reg.CreateKey(std::string("HKCU\\T\\") + k);
  reg.WriteDWORD("HKCU\\T\\A\\B", "v", 1);
  EXPECT_EQ(Exported("HKCU\\T"), kHeader + Section("T") + Section("T\\A") +
                                     Section("T\\A\\B", {"\"v\"=dword:00000001"}) + Section("T\\A\\B\\C") +
                                     Section("T\\A\\b2") + Section("T\\a3") + Section("T\\D"));
}

TEST_F(Export, TheSinkSeesEveryKeyAfterPendingEventsAndAFailureKeepsWhatWasWritten) {
  for (const char* k : {"A", "B", "C"}) reg.WriteString(std::string("HKCU\\T\\") + k, "n", k);
  RecordingOutput out;
  const std::string with = Exported("HKCU\\T", 1, &out);
  EXPECT_EQ(Exported("HKCU\\T"), with);  // no sink: the same file
  EXPECT_EQ(out.events, (Names{"events", "HKEY_CURRENT_USER\\T", "events", "HKEY_CURRENT_USER\\T\\A", "events",
                               "HKEY_CURRENT_USER\\T\\B", "events", "HKEY_CURRENT_USER\\T\\C"}));
  RecordingOutput failing;
  failing.failOnKey = 3;  // the root is key 1, A key 2, B key 3
  EXPECT_EQ(Exported("HKCU\\T", 0, &failing), kHeader + Section("T") + Section("T\\A", {"\"n\"=\"A\""}));
  EXPECT_EQ(failing.events.size(), 5u);  // nothing after the failing key
  // A listing entry the store cannot name is skipped: visiting it would be this key again.
  store.onEnumKey = [](DWORD) { return std::optional<LONG>(win::ERROR_ACCESS_DENIED); };
  EXPECT_EQ(Exported("HKCU\\T"), kHeader + Section("T"));
  // A store that fails while a key's values are listed: its lines so far are written.
  store.onEnumValue = [](DWORD i) -> std::optional<LONG> {
    if (i == 1) throw std::runtime_error("failed");
    return std::nullopt;
  };
  reg.WriteString("HKCU\\T", "second", "2");
  EXPECT_EQ(Exported("HKCU\\T", 0), kHeader + "[HKEY_CURRENT_USER\\T]\r\n");
}

TEST_F(Export, NeverTouchesAnExistingFileOrLink) {
  reg.WriteString(kKey, "s", "new");
  const std::string existing = WriteFile("existing.reg", "keep me");
  std::vector<std::string> files = {existing, std::string(), dir / "no/such/folder.reg", dir.path};
#ifndef _WIN32  // links need a privilege on Windows
  ASSERT_EQ(symlink(existing.c_str(), (dir / "link.reg").c_str()), 0);
  ASSERT_EQ(symlink((dir / "target.reg").c_str(), (dir / "dangling.reg").c_str()), 0);
  files.insert(files.end(), {dir / "link.reg", dir / "dangling.reg"});
#endif
  for (const std::string& file : files) EXPECT_EQ(reg.ExportToReg(kKey, file), 0) << file;
  EXPECT_EQ(Slurp(existing), "keep me");
  EXPECT_FALSE(std::filesystem::exists(dir / "target.reg"));
}

}  // namespace
}  // namespace zbx::test
