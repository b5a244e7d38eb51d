// zorbanix-reg, the built binary: exit statuses, one-line messages, round trips, and the
// registry shared with the library. Run on Linux and on Windows (tool_fixture.h).
#include "registry/tool_fixture.h"

namespace zbx::test {
namespace {

TEST_F(Tool, CommandsOneAfterTheOther) {
  EXPECT_EQ(Run({"--help"}), 0);
  for (const char* word : {"query", "--binary", "delete-key", "delete-value", "values", "import", "--verbose", "HKDD"})
    EXPECT_NE(out.find(word), std::string::npos) << word;
  // On Windows the tool works on the system registry, and there is no store to name.
  EXPECT_EQ(out.find("--store") == std::string::npos, kSystemRegistry);
  Expect({"--store"}, 2, kSystemRegistry ? "on Windows the tool works on the system registry" : "--store needs a FILE",
         false);
  const std::string text = "  " + std::string(300, 'x');  // beyond the class's string read: shown whole
  const std::string file = dir / "a.reg", bad = dir / "bad.reg";
  std::ofstream(bad) << "REGEDIT5\r\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string outOrMention;
  } steps[] = {
      {{}, 2, "no command"},
      {{"query"}, 2, "usage"},
      {{"keys", "HKXX\\Software"}, 2, "unknown root"},
      {{"set", "HKCU\\P", "n", "--dword", "12x"}, 2, "not a 32-bit number"},
      {{"set", "HKCU\\P", "n", "--binary", "ABC"}, 2, "not hex text"},
      // Made in the order of their names: Windows may list values in either order.
      {{"set", "HKEY_CURRENT_USER\\P", "@", "--string", "default"}, 0, ""},
      {{"set", "HKCU\\P", "b", "--binary", "01,0a ff"}, 0, ""},
      {{"set", "HKCU\\P", "d", "--dword", "-1"}, 0, ""},
      {{"set", "HKCU\\P", "long", "--string", text}, 0, ""},
      {{"set", "HKCU\\P", "s", "--string", "café 5 €"}, 0, ""},
      {{"set", "HKCU\\P\\A\\Q", "d", "--dword", "42"}, 0, ""},
      {{"set", "HKCU\\P\\A", "v", "--string", "x"}, 0, ""},
      {{"query", "hkcu\\p", "D"}, 0, "-1\n"},
      {{"query", "HKCU\\P", "long"}, 0, text + "\n"},
      {{"delete-value", "HKCU\\P", "LONG"}, 0, ""},
      {{"query", "HKCU\\P"}, 0, "@\tstring\tdefault\nb\tbinary\t01 0A FF\nd\tdword\t-1\n"
                                 "s\tstring\tcafé 5 €\nA\\\n"},
      {{"keys", "HKCU\\P"}, 0, "A\n"},
      {{"query", "HKCU\\Nope"}, 1, "key not found: HKCU\\Nope"},
      {{"query", "HKCU\\P", "t"}, 1, "value not found: t"},
      {{"delete-key", "HKCU\\P"}, 1, "has sub-keys"},
      {{"export", "HKCU\\P\\A", file, "--verbose"}, 0, "HKEY_CURRENT_USER\\P\\A\nHKEY_CURRENT_USER\\P\\A\\Q\n"},
      {{"export", "HKCU\\P", file}, 1, "exists"},
      {{"delete-key", "HKCU\\P\\A\\Q"}, 0, ""},
      {{"import", file}, 0, ""},
      {{"keys", "hkcu\\p\\a"}, 0, "Q\n"},
      {{"import", dir / "missing.reg"}, 1, "file not found"},
      {{"import", bad}, 1, "not a REGEDIT4 file"},
  };
  for (const auto& step : steps) Expect(step.args, step.status, step.outOrMention);
  EXPECT_EQ(Slurp(file), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\P\\A]\r\n\"v\"=\"x\"\r\n\r\n"
                         "[HKEY_CURRENT_USER\\P\\A\\Q]\r\n\"d\"=dword:0000002A\r\n\r\n");
}

TEST_F(Tool, NamesAndTextsTheCodePageCannotHoldAreRefused) {
  Expect({"set", "HKCU\\A", "中", "--string", "v"}, 2, "the name 中 cannot be stored: code page 1252 has no U+4E2D");
  Expect({"set", "HKCU\\A", "n", "--string", "x\xF0\x9F\x98\x80"}, 2, "has no U+1F600");
  // A Windows command line is UTF-16: bytes that are not UTF-8 reach the tool as U+FFFD.
  Expect({"keys", "HKCU\\\xE9"}, 2, kSystemRegistry ? "code page 1252 has no U+FFFD" : "it is not valid UTF-8");
  Expect({"query", "HKCU\\A"}, 1, "key not found");  // nothing was written
  Expect({"set", "HKCU\\Grüße", "€ ‰ Ÿ", "--string", "œ ž ™"}, 0, "");
  Expect({"query", "HKCU\\Grüße", "€ ‰ Ÿ"}, 0, "œ ž ™\n");
}

TEST_F(Tool, ExportLeavesOutNamesAFileCannotHoldAndStringsShowUpToTheirTerminator) {
  const std::string note = "hello\r\n[-HKEY_CURRENT_USER\\Software\\Notes]\r\n\"x\"=\"y";
  Expect({"set", "HKCU\\Software\\Notes", "note", "--string", note}, 0, "");
  Expect({"set", "HKCU\\Software\\Notes", "two\nlines", "--dword", "1"}, 0, "");
  const std::string file = dir / "notes.reg";
  Expect({"export", "HKCU\\Software\\Notes", file}, 1, "left out 1 keys or values");
  std::filesystem::remove(file);
  EXPECT_EQ(Run({"export", "HKCU\\Software\\Notes", file, "--verbose"}), 1);
  EXPECT_EQ(out, "HKEY_CURRENT_USER\\Software\\Notes\nskipped value two\\nlines of "
                 "HKEY_CURRENT_USER\\Software\\Notes: its name cannot be written in a .reg file\n");
  Expect({"import", file}, 0, "");
  auto api = ToolsRegistry();  // now byte data that reads as the text
  EXPECT_EQ(clsRegistryAccess(*api).ReadString("HKCU\\Software\\Notes", "note"), note);
  // Other programs store strings with their terminating zero; the tool shows the text.
  HKEY key = 0;
  ASSERT_EQ(api->RegCreateKeyA(win::HKEY_CURRENT_USER, "Software\\Other", &key), 0);
  win::SetValueBytes(*api, key, "expand", win::REG_EXPAND_SZ, std::string("a\0b\0", 4));
  win::SetValueBytes(*api, key, "term", win::REG_SZ, std::string("abc\0", 4));
  api->RegCloseKey(key);
  Expect({"values", "HKCU\\Software\\Other"}, 0, "expand\texpand-string\ta\nterm\tstring\tabc\n");
}

}  // namespace
}  // namespace zbx::test
