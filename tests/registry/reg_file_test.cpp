// .reg files. Export: the format byte for byte and back, the output sink, the exclusive
// file and failures that keep what was written; against hostile names and texts, every
// line reads back as the key or value it came from, and names a file cannot carry are left
// out and reported. Import: the file and its header, CRLF-only lines, key sections and
// deletions, value lines of every form, the "@" rules, and the failures (no rollback).
#ifndef _WIN32
#include <unistd.h>
#endif

#include <initializer_list>
#include <map>
#include <random>
#include <set>
#include <stdexcept>

#include "platform/codepage.h"
#include "platform/registry_names.h"
#include "registry/registry_fixture.h"
#include "registry/registry_path.h"

namespace zbx::test {
namespace {

// Records what the export shows and what it leaves out (upper-cased paths as the export
// names them), and can fail on a given key (1-based).
class Recorder : public RegExportOutput {
 public:
  Names events;
  int failOnKey = 0;
  std::set<std::string> keys;                            // left out with everything below
  std::set<std::pair<std::string, std::string>> values;  // key path, value name
  void DoEvents() override {
    events.push_back("events");
    if (failOnKey != 0 && static_cast<int>(events.size() + 1) / 2 == failOnKey) throw std::runtime_error("failed");
  }
  void SetText(const std::string& keyPath) override { events.push_back(keyPath); }
  void Skipped(const RegExportSkip& what) override {
    const std::string path = win::UpperName(Utf8ToAnsi(what.keyPath));
    if (what.valueName) values.insert({path, Utf8ToAnsi(*what.valueName)});
    else keys.insert(path);
  }
};

void DeleteTree(win::RegistryApi& store, HKEY parent, const std::string& name) {
  HKEY key = 0;
  if (store.RegOpenKeyExA(parent, name.c_str(), 0, win::KEY_ALL_ACCESS, &key) != 0) return;
  for (const std::string& sub : win::test::Names(store, key, false, false)) DeleteTree(store, key, sub);
  store.RegCloseKey(key);
  store.RegDeleteKeyA(parent, name.c_str());
}

// The property every export must have: a random tree (names and texts over every code
// page 1252 character, pieces of .reg syntax mixed in) is exported and imported into
// another store that holds other keys. Nothing outside the tree may change; inside it,
// every value must come from the tree with its data (a text as ReadString reads it), and
// every value the export did not report as left out must come back.

// Pieces of .reg syntax that a hostile text or name might hold.
const std::vector<std::string> kPieces = {
    "\r\n", "\r", "\n", "\"", "=", "[", "]", "@", "-", " ", "hex:", "dword:", "\\", "HKCU", "HKEY_USERS",
    "\r\n[-HKEY_CURRENT_USER\\Software\\Victim]\r\n", "\"keep\"=\"changed\"", std::string(1, '\0')};

// Single bytes of any value but zero, and pieces; at most 5 parts, so under 255 bytes.
std::string Text(std::mt19937& random, bool zeroAllowed) {
  std::string text;
  for (unsigned n = random() % 6; n > 0; --n) {
    const std::string piece = random() % 3 == 0 ? kPieces[random() % kPieces.size()]
                                                : std::string(1, static_cast<char>(1 + random() % 255));
    if (piece[0] != '\0' || zeroAllowed) text += piece;
  }
  return text;
}

// Fills a key with texts, byte data and 32-bit values, and sub-keys `levels` deep at most.
void BuildKey(win::RegistryApi& store, HKEY key, std::mt19937& random, int levels) {
  for (unsigned n = random() % 5; n > 0; --n) {
    const std::string name = random() % 6 == 0 ? std::string() : Text(random, false);
    const DWORD types[] = {win::REG_SZ, win::REG_BINARY, win::REG_DWORD};
    const DWORD type = types[random() % 3];
    std::string data = type != win::REG_DWORD ? Text(random, true) : std::string();
    for (int i = 0; type == win::REG_DWORD && i < 4; ++i) data += static_cast<char>(random());
    win::SetValueBytes(store, key, name.c_str(), type, data);
  }
  for (unsigned n = levels > 0 ? random() % 4 : 0; n > 0; --n) {
    std::string name = Text(random, false);
    name.erase(std::remove(name.begin(), name.end(), '\\'), name.end());
    HKEY sub = 0;
    if (store.RegCreateKeyA(key, name.empty() ? "k" : name.c_str(), &sub) != win::ERROR_SUCCESS) continue;
    BuildKey(store, sub, random, levels - 1);
    store.RegCloseKey(sub);
  }
}

// Upper-cased key path ("1\SOFTWARE\X") -> value name -> type and data; every key listed.
using Dump = std::map<std::string, std::map<std::string, std::pair<DWORD, std::string>>>;

void DumpKey(win::RegistryApi& store, HKEY key, const std::string& path, Dump& dump) {
  for (const std::string& name : win::test::Names(store, key, true, false)) {
    DWORD type = 0;
    dump[path][name].second = win::test::Get(store, key, name.c_str(), &type);
    dump[path][name].first = type;
  }
  dump[path];
  for (const std::string& sub : win::test::Names(store, key, false, false)) {
    HKEY h = 0;
    if (store.RegOpenKeyExA(key, sub.c_str(), 0, win::KEY_READ, &h) != 0) continue;
    DumpKey(store, h, path + "\\" + win::UpperName(sub), dump);
    store.RegCloseKey(h);
  }
}

Dump DumpStore(win::RegistryApi& store) {
  Dump dump;
  for (int root = 0; root < 7; ++root) DumpKey(store, win::HKEY_CLASSES_ROOT + root, std::to_string(root), dump);
  return dump;
}

bool InTree(const std::string& path) {  // HKEY_CURRENT_USER\Software\Tree
  return path == "1\\SOFTWARE\\TREE" || path.rfind("1\\SOFTWARE\\TREE\\", 0) == 0;
}

// The text ReadString gives for a value's bytes (under 255 of them): a zero behind string
// data, blanks trimmed, less its last character; here also cut at its first zero, as the
// export cuts it.
std::string ReadAsText(std::string bytes, bool stringType) {
  if (stringType) bytes += '\0';
  const std::size_t first = bytes.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const std::string text = bytes.substr(first, bytes.find_last_not_of(' ') - first);
  return text.substr(0, text.find('\0'));
}

// One round from a fresh source store to a fresh target store: "" when the property
// holds, else what broke it.
std::string CheckOneTree(std::mt19937& random, const std::string& folder, win::RegistryApi& source,
                                win::RegistryApi& target) {
  HKEY h = 0;
  source.RegCreateKeyA(win::HKEY_CURRENT_USER, "Software\\Tree", &h);
  BuildKey(source, h, random, 2);
  source.RegCloseKey(h);
  target.RegCreateKeyA(win::HKEY_CURRENT_USER, "Software\\Victim", &h);  // named in the pieces
  win::SetValueBytes(target, h, "keep", win::REG_SZ, "precious");
  target.RegCloseKey(h);
  const std::string file = folder + "/tree.reg";
  std::filesystem::remove(file);
  Recorder skipped;
  const std::int32_t result = clsRegistryAccess(source).ExportToReg("HKCU\\Software\\Tree", file, &skipped);
  if ((result == 1) != (skipped.keys.empty() && skipped.values.empty())) return "a wrong result";
  const Dump original = DumpStore(source), before = DumpStore(target);
  if (clsRegistryAccess(target).ImportFromReg(file) != 1) return "the export does not import";
  Dump after = DumpStore(target);
  for (const auto& [path, values] : after) {
    if (!InTree(path)) continue;
    for (const auto& [name, value] : values) {
      const auto key = original.find(path);
      if (key == original.end() || key->second.count(name) == 0) return "invented: " + path + " : " + name;
      const auto& was = key->second.at(name);
      const bool same = was.first == win::REG_SZ
                            ? ReadAsText(value.second, value.first == win::REG_SZ) == ReadAsText(was.second, true)
                            : value == was;
      if (!same) return "changed: " + path + " : " + name;
    }
  }
  for (const auto& [path, values] : original) {
    const std::string exported = win::UpperName(ExpandRootNames("HKEY_CURRENT_USER" + path.substr(1)));
    bool keyLeftOut = false;
    for (const std::string& left : skipped.keys)
      keyLeftOut |= exported == left || exported.compare(0, left.size() + 1, left + "\\") == 0;
    for (const auto& [name, value] : values) {
      if (keyLeftOut || skipped.values.count({exported, name}) != 0) continue;
      if (after.count(path) == 0 || after.at(path).count(name) == 0) return "lost: " + path + " : " + name;
    }
  }
  for (auto it = after.begin(); it != after.end();) it = InTree(it->first) ? after.erase(it) : std::next(it);
  return after == before ? "" : "a key outside the tree changed or was made";
}

const std::string kHeader = "REGEDIT4\r\n\r\n";

// A key's section: "[HKEY_CURRENT_USER\sub]", the value lines and the empty line, CR LF each.
std::string Section(const std::string& sub, const Names& lines = {}) {
  std::string text = "[HKEY_CURRENT_USER\\" + sub + "]\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return text + "\r\n";
}

class Export : public RegistryTest {
 protected:
  Recorder skipped;
  void SetUp() override { reg.CreateKeyIfDoesntExists(kTrue); }
};

TEST_F(Export, EveryKindOfLineDepthFirstByteForByteAndBack) {
  // Made in the order of their names, which is the order of the file: Windows lists
  // values in the order made, Wine by name.
  reg.WriteBinary("HKCU\\T", "", "0A 0B 0C");  // also readable as text: its bytes before the last
  reg.WriteString("HKCU\\T", "gü", "5 €");
  reg.WriteString("HKCU\\T", "long", std::string(300, 'x'));  // beyond the string read
  reg.WriteString("HKCU\\T", "q", "a\"b");
  reg.WriteBinary("HKCU\\T", "r", "");
  reg.WriteDWORD("HKCU\\T", "s", 42);
  reg.WriteDWORD("HKCU\\T", "t", -1);
  for (const char* k : {"A\\B\\C", "A\\b2", "a3"}) reg.CreateKey(std::string("HKCU\\T\\") + k);
  reg.WriteString("HKCU\\T\\A\\B", "@", "dflt");
  reg.WriteBinary("HKCU\\T\\A\\B", "b", "00 01");
  const std::string expected =
      kHeader +
      Section("T", {"\"\"=hex:0A,0B,00", "\"g\xFC\"=\"5 \x80\"", "\"long\"=\"\"", "\"q\"=hex:61,22,62,00",
                    "\"\"=hex:0A,0B,0C", "\"r\"=hex:", "\"s\"=dword:0000002A", "\"t\"=dword:FFFFFFFF"}) +
      Section("T\\A") + Section("T\\A\\B", {"@=\"dflt\"", "\"b\"=hex:00,01"}) + Section("T\\A\\B\\C") +
      Section("T\\A\\b2") + Section("T\\a3");
  EXPECT_EQ(Exported("HKLM\\Nothing\\Here"), kHeader + "[HKEY_LOCAL_MACHINE\\Nothing\\Here]\r\n\r\n");
  EXPECT_EQ(Exported("HKCU\\T"), expected);
  // Back in: every value in the file's order, and keys only for sections with values or on
  // the way to one.
  DeleteTree(store, win::HKEY_CURRENT_USER, "T");
  ASSERT_EQ(reg.ImportFromReg(dir / "out.reg"), 1);
  ASSERT_EQ(reg.EnumValues("HKCU\\T", names, values), 7);
  EXPECT_EQ(names, (Names{"", "gü", "long", "q", "r", "s", "t"}));
  EXPECT_EQ(values, (Values{std::string(" 0A 0B 0C"), std::string("5 €"), std::string(), std::string(" 61 22 62 00"),
                            std::string(), 42, -1}));
  EXPECT_EQ(reg.ReadString("HKCU\\T\\A\\B", ""), "dflt");
  EXPECT_EQ(reg.EnumKeys("HKCU\\T", names) + reg.EnumKeys("HKCU\\T\\A", names), 2);
}

TEST_F(Export, TheSinkSeesEveryKeyAndAFailureKeepsWhatWasWritten) {
  for (const char* k : {"A", "B", "C"}) reg.WriteString(std::string("HKCU\\T\\") + k, "n", k);
  Recorder out;
  Exported("HKCU\\T", 1, &out);
  EXPECT_EQ(out.events, (Names{"events", "HKEY_CURRENT_USER\\T", "events", "HKEY_CURRENT_USER\\T\\A", "events",
                               "HKEY_CURRENT_USER\\T\\B", "events", "HKEY_CURRENT_USER\\T\\C"}));
  Recorder failing;
  failing.failOnKey = 3;  // the root is key 1, A key 2, B key 3
  EXPECT_EQ(Exported("HKCU\\T", 0, &failing), kHeader + Section("T") + Section("T\\A", {"\"n\"=\"A\""}));
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
  Names files = {existing, std::string(), dir / "no/such/folder.reg", dir.path};
#ifndef _WIN32  // links need a privilege on Windows
  ASSERT_EQ(symlink((dir / "target.reg").c_str(), (dir / "dangling.reg").c_str()), 0);
  files.push_back(dir / "dangling.reg");
#endif
  for (const std::string& file : files) EXPECT_EQ(reg.ExportToReg(kKey, file), 0) << file;
  EXPECT_EQ(Slurp(existing), "keep me");
  EXPECT_FALSE(std::filesystem::exists(dir / "target.reg"));
}

// On Windows both stores would be the system registry: the property is checked on ours.
TEST(ExportProperty, ImportingAnExportOfARandomTreeChangesNothingElseAndKeepsEveryValueItWrote) {
  if (kSystemRegistry) GTEST_SKIP() << "needs two fresh stores";
  TempDir dir;
  for (unsigned seed = 1; seed <= 200; ++seed) {
    std::mt19937 random(seed);
    auto source = OpenTestStore(), target = OpenTestStore();
    EXPECT_EQ(CheckOneTree(random, dir.path, *source, *target), "") << "seed " << seed;
  }
}

TEST_F(Export, TextsAndNamesReadBackOrAreLeftOutAndReported) {
  // Texts go quoted or as bytes, and end at their first zero. "@" as a name would mean the
  // default value, and an empty default a deletion: bytes.
  SetRaw("", win::REG_SZ, std::string("\0\0", 2));
  SetRaw("@", win::REG_SZ, "at");
  SetRaw("cr", win::REG_SZ, "a\rb");
  SetRaw("inner", win::REG_SZ, std::string("a\0b", 3));
  SetRaw("path", win::REG_SZ, "[a\\b]");
  // Names a file cannot hold, and keys that cannot be opened, are left out and reported.
  const std::string key = "HKEY_CURRENT_USER\\SOFTWARE\\TEST";
  std::set<std::pair<std::string, std::string>> unwritable;
  for (const std::string name : {"a\"b", "a=b", " lead", "[x", "line\nbreak", "ok"}) {
    reg.WriteString(kKey, name, "t");
    reg.WriteDWORD(kKey, name + "#", 1);
    if (name != "ok") unwritable.insert({{key, name}, {key, name + "#"}});
  }
  for (const char* name : {"Quote\"Key", "Line\r\nKey", "xHKEY_USERSx", "Locked", "HKEY_fine"})
    SetRaw("v", win::REG_SZ, "t", std::string("\\") + name + "\\Below");
  store.lockedName = "Locked";
  const std::string file = Exported(kKey, 0, &skipped);
  store.lockedName.clear();
  EXPECT_EQ(skipped.values, unwritable);
  EXPECT_EQ(skipped.keys, (std::set<std::string>{key + "\\QUOTE\"KEY", key + "\\LINE\r\nKEY", key + "\\XHKEY_USERSX",
                                                  key + "\\LOCKED"}));
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), std::count(file.begin(), file.end(), '\r'));
  for (const char* line :
       {"\"\"=hex:00", "\"@\"=hex:61,74,00", "\"cr\"=hex:61,0D,62,00", "\"inner\"=\"a\"", "\"path\"=\"[a\\b]\""})
    EXPECT_NE(file.find(std::string(line) + "\r\n"), std::string::npos) << line;
  DeleteTree(store, win::HKEY_CURRENT_USER, "Software\\Test");
  ASSERT_EQ(reg.ImportFromReg(dir / "out.reg"), 1);
  EXPECT_EQ(reg.ReadString(kKey, "ok") + reg.ReadString(kKey + std::string("\\HKEY_fine\\Below"), "v"), "tt");
  EXPECT_EQ(reg.ReadString(kKey, "@") + reg.ReadString(kKey, "cr") + reg.ReadString(kKey, "path"), "ata\rb[a\\b]");
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 7);
  EXPECT_EQ(reg.EnumKeys(kKey, names), 1);
}

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
  const std::pair<std::string, std::int32_t> files[] = {
      {"regedit4\r\n[HKCU\\A]\r\n\"n\"=\"v\"\r\n", 1},
      {"REGEDIT4 \r\n[HKCU\\B]\r\n\"n\"=\"v\"\r\n", 0},
      {"REGEDIT4\n[HKCU\\C]\n\"n\"=\"v\"\n", 0}};  // LF only: all one line
  for (const auto& [text, result] : files) EXPECT_EQ(ImportText(text), result) << text;
  // Beyond 64 MiB a file is refused unread (sparse files here, filled with zeros).
  const std::string big = WriteFile("big.reg", "REGEDIT4\r\n[HKCU\\Big]\r\n\"n\"=\"v\"\r\n");
  std::filesystem::resize_file(big, 64 * 1024 * 1024 + 1);
  EXPECT_EQ(reg.ImportFromReg(big), 0);
  std::filesystem::resize_file(big, 64 * 1024 * 1024);
  EXPECT_EQ(reg.ImportFromReg(big), 1);
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
      {"\"long\"=dword:123456789zz", "long", win::REG_DWORD, Le(0x23456789)},  // the low 32 bits, to a non-digit
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
  EXPECT_EQ(reg.EnumValues(kKey, names, values), 11);
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
  EXPECT_EQ(reg.ValueExists("HKCU", "lost"), kFalse);
  // A lone "[" ends the import with a failure; what was applied stays.
  ImportLines({"[HKCU\\S]", "\"n\"=\"v\"", "  [  ", "[HKCU\\After]", "\"n\"=\"v\""}, 0);
  EXPECT_EQ(reg.ReadString("HKCU\\S", "n"), "v");
  EXPECT_EQ(reg.KeyExists("HKCU\\After"), kFalse);
}

}  // namespace
}  // namespace zbx::test
