// .reg export: the format byte for byte, value lines by type and order, depth-first keys,
// the output sink, the exclusive file and failures that keep what was written; against
// hostile names and texts, every line reads back as the key or value it came from (texts
// the format cannot carry as byte data), names it cannot carry are left out and reported,
// and no zero byte reaches a file.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <random>
#include <set>
#include <stdexcept>

#include "registry/export_property.h"
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
  export_property::SkipRecorder skipped;
  void SetUp() override { reg.CreateKeyIfDoesntExists(kTrue); }
  std::string ExportImport(const std::string& path, std::int32_t exported = 1) {
    const std::string file = Exported(path, exported, &skipped);
    EXPECT_EQ(file.find('\0'), std::string::npos) << "a zero byte in the file";
    EXPECT_EQ(reg.ImportFromReg(dir / "out.reg"), 1);
    return file;
  }
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

TEST_F(Export, SubKeysDepthFirstInListingOrderAndOnlyKeysWithValuesComeBack) {
  for (const char* k : {"A\\B\\C", "A\\b2", "a3", "D"}) reg.CreateKey(std::string("HKCU\\T\\") + k);
  reg.WriteDWORD("HKCU\\T\\A\\B", "v", 1);
  reg.WriteBinary("HKCU\\T\\A\\B", "b", "00 01");
  reg.WriteString("HKCU\\T\\A\\B", "@", "dflt");
  EXPECT_EQ(Exported("HKCU\\T"), kHeader + Section("T") + Section("T\\A") +
                                     Section("T\\A\\B", {"@=\"dflt\"", "\"b\"=hex:00,01", "\"v\"=dword:00000001"}) +
                                     Section("T\\A\\B\\C") + Section("T\\A\\b2") + Section("T\\a3") + Section("T\\D"));
  // An import makes the values in the file's order, and no key for a section without values
  // but those on the way to a key with some.
  export_property::DeleteTree(store, win::HKEY_CURRENT_USER, "T");
  ASSERT_EQ(reg.ImportFromReg(dir / "out.reg"), 1);
  ASSERT_EQ(reg.EnumValues("HKCU\\T\\A\\B", names, values), 3);
  EXPECT_EQ(names, (Names{"", "b", "v"}));
  EXPECT_EQ(reg.EnumKeys("HKCU\\T", names), 1);
  EXPECT_EQ(reg.EnumKeys("HKCU\\T\\A", names), 1);
  EXPECT_EQ(reg.KeyExists("HKCU\\T\\A\\B\\C"), kFalse);
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

TEST(ExportProperty, ImportingAnExportOfARandomTreeChangesNothingElseAndKeepsEveryValueItWrote) {
  TempDir dir;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    std::mt19937 random(seed);
    export_property::Choices choices = [&](unsigned bound) { return bound == 0 ? 0 : random() % bound; };
    // From one fresh store into another; on Windows within the system registry.
    auto source = OpenTestStore(), target = kSystemRegistry ? source : OpenTestStore();
    EXPECT_EQ(export_property::CheckOneTree(choices, dir.path, *source, *target, !kSystemRegistry), "")
        << "seed " << seed;
  }
}

TEST_F(Export, TextsComeBackAsTheyReadWhetherWrittenAsTextOrAsBytesAndEndAtTheirFirstZero) {
  const struct {
    std::string text;
    bool asText;  // written between quotes, else as byte data
  } texts[] = {
      {"plain", true}, {"[x]", true}, {"x-", true}, {"  lead", true}, {"a\\b", true}, {"", true},
      {"line\nbreak", false}, {"cr\rhere", false}, {"tab\there", true}, {"q\"uote", false},
      {"a=b", false}, {"trail ", false}, {"-", false}, {" - ", false}, {"hex:01", false},
      {"DWORD:1", false}, {"Grüße €", true},
  };
  for (const auto& t : texts) {
    SCOPED_TRACE(t.text);
    reg.KillValue(kKey, "v");
    reg.WriteString(kKey, "v", t.text);
    const std::string file = ExportImport(kKey);
    const std::size_t first = t.text.find_first_not_of(' ');  // as ReadString reads it
    EXPECT_EQ(reg.ReadString(kKey, "v"), first == std::string::npos ? "" : t.text.substr(first));
    EXPECT_EQ(file.find("\"v\"=hex:") == std::string::npos, t.asText) << file;
  }
  // A string value named "@", and an empty default value (here cut at its first zero, as
  // every text is): "@"= would mean another value or a deletion, so both go as bytes.
  SetRaw("", win::REG_SZ, std::string("\0\0", 2));
  SetRaw("@", win::REG_SZ, "at");
  SetRaw("terminated", win::REG_SZ, std::string("abc\0", 4));
  SetRaw("inner", win::REG_SZ, std::string("a\0b", 3));
  EXPECT_EQ(reg.ReadString(kKey, "terminated"), "abc");
  const std::string file = ExportImport(kKey);
  for (const char* line : {"\"\"=hex:00\r\n", "\"@\"=hex:61,74,00\r\n", "\"terminated\"=\"abc\"\r\n", "\"inner\"=\"a\"\r\n"})
    EXPECT_NE(file.find(line), std::string::npos) << line << file;
  EXPECT_EQ(reg.ReadString(kKey, "@"), "at");
  EXPECT_EQ(reg.ValueExists(kKey, ""), kTrue);
}

TEST_F(Export, NamesAFileCannotHoldAreLeftOutAndReportedAndTheRestIsWritten) {
  const std::string key = "HKEY_CURRENT_USER\\SOFTWARE\\TEST";
  std::set<std::pair<std::string, std::string>> unwritable;
  for (const std::string name : {"a\"b", "a=b", " lead", "[x", "line\nbreak", "ok"}) {
    reg.WriteString(kKey, name, "t");
    reg.WriteDWORD(kKey, name + "#", 1);
    if (name != "ok") unwritable.insert({{key, name}, {key, name + "#"}});
  }
  for (const char* name : {"Quote\"Key", "Line\r\nKey", "xHKEY_USERSx"}) SetRaw("v", win::REG_SZ, "t", std::string("\\") + name + "\\Below");
  reg.WriteString(kKey + std::string("\\Fine"), "v", "t");
  const std::string file = ExportImport(kKey, 0);
  EXPECT_EQ(skipped.values, unwritable);
  EXPECT_EQ(skipped.keys, (std::set<std::string>{key + "\\QUOTE\"KEY", key + "\\LINE\r\nKEY",
                                                  key + "\\XHKEY_USERSX"}));
  EXPECT_EQ(reg.ReadString(kKey, "ok"), "t");
  EXPECT_EQ(reg.ReadDWORD(kKey, "ok#"), 1);
  EXPECT_EQ(reg.ReadString(kKey + std::string("\\Fine"), "v"), "t");
  for (const char* gone : {"a", "b", "lead", "x", "break"}) EXPECT_EQ(reg.ValueExists(kKey, gone), kFalse) << gone;
  EXPECT_EQ(reg.KeyExists("HKCU\\Software\\Test\\Quote"), kFalse);
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), std::count(file.begin(), file.end(), '\r'));
}

TEST_F(Export, KeysTheRegistryCallsCannotOpenAreLeftOutAndReported) {
  reg.WriteString(kKey + std::string("\\Locked\\Below"), "v", "t");
  reg.WriteString(kKey + std::string("\\Open"), "v", "t");
  store.onOpen = [](const std::string& subKey) {
    return subKey.find("Locked") != std::string::npos ? std::optional<LONG>(win::ERROR_ACCESS_DENIED) : std::nullopt;
  };
  std::string file = ExportImport(kKey, 0);
  EXPECT_EQ(skipped.keys, std::set<std::string>{"HKEY_CURRENT_USER\\SOFTWARE\\TEST\\LOCKED"});
  EXPECT_EQ(file.find("Locked"), std::string::npos) << file;
  EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Test\\Open]\r\n\"v\"=\"t\""), std::string::npos) << file;
  store.onOpen = nullptr;
  // On Windows one call takes a sub-key path of at most 260 characters, so the class
  // cannot reach a key whose path is longer (see the store tests).
  if (!kSystemRegistry) return;
  const std::string name(200, 'n');
  HKEY parent = 0, child = 0;
  ASSERT_EQ(store.RegCreateKeyA(win::HKEY_CURRENT_USER, ("Software\\Test\\Open\\" + name).c_str(), &parent), 0);
  ASSERT_EQ(store.RegCreateKeyA(parent, name.c_str(), &child), 0);
  store.RegCloseKey(child);
  store.RegCloseKey(parent);
  skipped.keys.clear();
  file = ExportImport(kKey + std::string("\\Open"), 0);
  EXPECT_EQ(skipped.keys, std::set<std::string>{"HKEY_CURRENT_USER\\SOFTWARE\\TEST\\OPEN\\" +
                                                  std::string(200, 'N') + "\\" + std::string(200, 'N')});
}

}  // namespace
}  // namespace zbx::test
