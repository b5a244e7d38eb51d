// .reg export against hostile names and texts: every line reads back as the key or value
// it came from, so an exported file imported again changes nothing but that tree; texts
// the format cannot carry come back as byte data, names it cannot carry are left out and
// reported; no zero byte reaches a file.
#include <algorithm>
#include <random>
#include <set>

#include "registry/export_property.h"
#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

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

class ExportSafety : public RegistryTest {
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

// An import makes the values in the file's order (grouped by type, see the export tests),
// and no key for a section without values but those on the way to a key with some.
TEST_F(ExportSafety, TheTreeComesBackInTheFilesOrderWithoutKeysThatHoldNothing) {
  reg.WriteDWORD(kKey, "answer", 42);
  reg.WriteBinary(kKey, "bytes", "00 01");
  reg.WriteString(kKey, "text", "x");
  reg.WriteString(kKey, "@", "the default");
  reg.CreateKey(kKey + std::string("\\Child\\Bare"));
  reg.WriteString(kKey + std::string("\\Bare\\WithValue"), "w", "x");
  ExportImport(kKey);
  export_property::DeleteTree(store, win::HKEY_CURRENT_USER, "Software\\Test");
  ASSERT_EQ(reg.ImportFromReg(dir / "out.reg"), 1);
  reg.EnumValues(kKey, names, values);
  const Names inFileOrder = {"", "text", "bytes", "answer"};  // Wine lists values by name
  EXPECT_EQ(UnderWine() ? Sorted(names) : names, UnderWine() ? Sorted(inFileOrder) : inFileOrder);
  EXPECT_EQ(reg.KeyExists(kKey + std::string("\\Child")), kFalse);
  EXPECT_EQ(reg.ReadString(kKey + std::string("\\Bare\\WithValue"), "w"), "x");
}

TEST_F(ExportSafety, TextsComeBackAsTheyReadWhetherWrittenAsTextOrAsBytes) {
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
  // A string value named "@", and an empty default value: "@"= would mean another value
  // or a deletion, so both go as bytes.
  reg.WriteString(kKey, "@", "");
  SetRaw("@", win::REG_SZ, "at");
  const std::string file = ExportImport(kKey);
  EXPECT_NE(file.find("\"\"=hex:00\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\"@\"=hex:61,74,00\r\n"), std::string::npos) << file;
  EXPECT_EQ(reg.ReadString(kKey, "@"), "at");
  EXPECT_EQ(reg.ValueExists(kKey, ""), kTrue);
}

TEST_F(ExportSafety, TextsEndAtTheirFirstZeroAndNoZeroByteReachesTheFile) {
  SetRaw("terminated", win::REG_SZ, std::string("abc\0", 4));
  SetRaw("inner", win::REG_SZ, std::string("a\0b", 3));
  SetRaw("", win::REG_SZ, std::string("\0\0", 2));
  EXPECT_EQ(reg.ReadString(kKey, "terminated"), "abc");
  const std::string file = ExportImport(kKey);
  EXPECT_NE(file.find("\"terminated\"=\"abc\"\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\"inner\"=\"a\"\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\"\"=hex:00\r\n"), std::string::npos) << "the default value is not lost: " << file;
}

TEST_F(ExportSafety, NamesAFileCannotHoldAreLeftOutAndReportedAndTheRestIsWritten) {
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

TEST_F(ExportSafety, KeysTheRegistryCallsCannotOpenAreLeftOutAndReported) {
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
