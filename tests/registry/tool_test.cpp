// zorbanix-reg, the built binary, on a store file in a temporary folder: exit statuses,
// one-line messages, round trips, and the store shared with the library.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct Result {
  int status;
  std::string out, err;
};

class Tool : public ::testing::Test {
 protected:
  TempDir dir;
  const std::string store = dir / "store.db";

  // Runs the tool, on the test's store unless told otherwise, with NAME=VALUE settings in env.
  Result Run(std::vector<std::string> args, bool onStore = true, const std::string& env = "") {
    if (onStore) args.insert(args.begin(), {"--store", store});
    std::string command = env + " " + Quote(std::string(ZBX_BIN_DIR) + "/zorbanix-reg");
    for (const std::string& arg : args) command += " " + Quote(arg);
    const int status = std::system((command + " >" + Quote(dir / "out") + " 2>" + Quote(dir / "err")).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
  }
  // The status, and either the output or exactly one line on stderr naming the problem.
  void Expect(const std::vector<std::string>& args, int status, const std::string& outOrMention, bool onStore = true) {
    const Result r = Run(args, onStore);
    std::string command;
    for (const std::string& arg : args) command += " " + arg;
    SCOPED_TRACE(command);
    EXPECT_EQ(r.status, status) << r.err;
    if (status == 0) {
      EXPECT_EQ(r.out, outOrMention);
      return;
    }
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("zorbanix-reg: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(outOrMention), std::string::npos) << r.err;
  }
};

TEST_F(Tool, HelpListsEverything) {
  const Result help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"query", "set", "--string", "--dword", "--binary", "delete-key", "delete-value", "keys",
                           "values", "export", "import", "--verbose", "--store", "HKEY_DYN_DATA", "HKDD"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  Expect({"--store"}, 2, "--store needs a FILE", false);
}

TEST_F(Tool, CommandsOneAfterTheOther) {
  const std::string text = "  " + std::string(300, 'x');  // beyond the class's string read: shown whole
  const std::string file = dir / "a.reg", bad = dir / "bad.reg";
  std::ofstream(bad) << "REGEDIT5\r\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string outOrMention;
  } steps[] = {
      {{}, 2, "no command"},
      {{"frobnicate"}, 2, "unknown command frobnicate"},
      {{"--verbose", "keys", "HKCU"}, 2, "unknown option"},
      {{"query"}, 2, "usage"},
      {{"keys", "HKXX\\Software"}, 2, "unknown root"},
      {{"set", "HKCU\\P", "n", "--float", "1"}, 2, "usage"},
      {{"set", "HKCU\\P", "n", "--dword", "12x"}, 2, "not a 32-bit number"},
      {{"set", "HKCU\\P", "n", "--dword", "4294967296"}, 2, "not a 32-bit number"},
      {{"set", "HKCU\\P", "n", "--binary", "0g"}, 2, "not hex text"},
      {{"set", "HKCU\\P", "n", "--binary", "ABC"}, 2, "not hex text"},
      {{"export", "HKCU\\P"}, 2, "usage"},
      {{"import"}, 2, "usage"},
      {{"set", "HKEY_CURRENT_USER\\P", "s", "--string", "café 5 €"}, 0, ""},
      {{"set", "HKCU\\P", "d", "--dword", "-1"}, 0, ""},
      {{"set", "HKCU\\P", "h", "--dword", "0x2A"}, 0, ""},
      {{"set", "HKCU\\P", "b", "--binary", "01,0a ff"}, 0, ""},
      {{"set", "HKCU\\P", "@", "--string", "default"}, 0, ""},
      {{"set", "HKCU\\P", "long", "--string", text}, 0, ""},
      {{"set", "HKCU\\P\\b", "v", "--string", "1"}, 0, ""},
      {{"set", "HKCU\\P\\A\\Q", "d", "--dword", "42"}, 0, ""},
      {{"set", "HKCU\\P\\A", "v", "--string", "x"}, 0, ""},
      {{"query", "HKCU\\P", "s"}, 0, "café 5 €\n"},
      {{"query", "hkcu\\p", "D"}, 0, "-1\n"},
      {{"query", "HKCU\\P", "h"}, 0, "42\n"},
      {{"query", "HKCU\\P", "b"}, 0, "01 0A FF\n"},
      {{"query", "HKCU\\P", ""}, 0, "default\n"},
      {{"query", "HKCU\\P", "long"}, 0, text + "\n"},
      {{"delete-value", "HKCU\\P", "LONG"}, 0, ""},
      {{"query", "HKCU\\P"}, 0, "s\tstring\tcafé 5 €\nd\tdword\t-1\nh\tdword\t42\nb\tbinary\t01 0A FF\n"
                                 "@\tstring\tdefault\nA\\\nb\\\n"},
      {{"keys", "HKCU\\P"}, 0, "A\nb\n"},
      {{"keys", "HKCU\\P\\b"}, 0, ""},
      {{"values", "HKCU\\P\\A"}, 0, "v\tstring\tx\n"},
      {{"query", "HKCU\\Nope"}, 1, "key not found: HKCU\\Nope"},
      {{"keys", "HKCU\\Nope"}, 1, "key not found"},
      {{"values", "HKCU\\Nope"}, 1, "key not found"},
      {{"query", "HKCU\\P", "t"}, 1, "value not found: t"},
      {{"delete-value", "HKCU\\P", "t"}, 1, "value not found"},
      {{"delete-key", "HKCU\\Nope"}, 1, "key not found"},
      {{"delete-key", "HKCU\\P"}, 1, "has sub-keys"},
      {{"export", "HKCU\\P\\A", file, "--verbose"}, 0, "HKEY_CURRENT_USER\\P\\A\nHKEY_CURRENT_USER\\P\\A\\Q\n"},
      {{"export", "HKCU\\P", file}, 1, "exists"},
      {{"export", "HKCU\\Nope", dir / "n.reg"}, 1, "key not found"},
      {{"delete-key", "HKCU\\P\\A\\Q"}, 0, ""},
      {{"delete-key", "hkcu\\p\\a"}, 0, ""},
      {{"query", "HKCU\\P\\A"}, 1, "key not found"},
      {{"import", file}, 0, ""},
      {{"query", "HKCU\\P\\A\\Q", "d"}, 0, "42\n"},
      {{"import", dir / "missing.reg"}, 1, "file not found"},
      {{"import", bad}, 1, "not a REGEDIT4 file"},
  };
  for (const auto& step : steps) Expect(step.args, step.status, step.outOrMention);
  EXPECT_EQ(Slurp(file), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\P\\A]\r\n\"v\"=\"x\"\r\n\r\n"
                         "[HKEY_CURRENT_USER\\P\\A\\Q]\r\n\"d\"=dword:0000002A\r\n\r\n");
}

TEST_F(Tool, WithoutStoreUsesTheGamesDefaultFile) {
  const std::string env = "XDG_DATA_HOME=" + Quote(dir.path) + " HOME=" + Quote(dir.path);
  ASSERT_EQ(Run({"set", "HKLM\\System", "BIOS config", "--string", "table"}, false, env).status, 0);
  auto api = win::OpenRegistryStore(dir / "zorbanix/registry.db");
  EXPECT_EQ(clsRegistryAccess(*api).ReadString("HKLM\\System", "BIOS config"), "table");
}

TEST_F(Tool, AStoreThatCannotBeOpenedIsSaidSoByEveryCommand) {
  const std::string file = dir / "plain", link = dir / "link.db", reg = dir / "in.reg", folder = dir / "folder";
  std::ofstream(file) << "x";
  std::filesystem::create_directory(folder);
  std::ofstream(reg) << "REGEDIT4\r\n[HKCU\\A]\r\n\"n\"=\"v\"\r\n";
  ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
  const std::pair<std::string, std::string> stores[] = {
      {folder, "it is a folder"}, {file + "/registry.db", file + " is not a folder"}, {link, "it is a symbolic link"}};
  const std::vector<std::vector<std::string>> commands = {
      {"query", "HKCU\\A"}, {"query", "HKCU\\A", "n"}, {"set", "HKCU\\A", "n", "--string", "v"},
      {"delete-key", "HKCU\\A"}, {"delete-value", "HKCU\\A", "n"}, {"keys", "HKCU"}, {"values", "HKCU"},
      {"export", "HKCU", dir / "out.reg"}, {"import", reg}};
  for (const auto& [path, reason] : stores)
    for (std::vector<std::string> args : commands) {
      args.insert(args.begin(), {"--store", path});
      Expect(args, 1, "zorbanix-reg: cannot open the registry store " + path + ": " + reason + "\n", false);
    }
  EXPECT_FALSE(std::filesystem::exists(dir / "out.reg"));
  EXPECT_EQ(Slurp(file), "x");
  // The game's own store, named by XDG_DATA_HOME, in a folder others may write.
  const std::string shared = dir / "shared";
  std::filesystem::create_directories(shared + "/zorbanix");
  ::chmod((shared + "/zorbanix").c_str(), 0777);
  const Result r = Run({"keys", "HKCU"}, false, "XDG_DATA_HOME=" + Quote(shared));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zorbanix-reg: cannot open the registry store " + shared + "/zorbanix/registry.db: its folder " +
                       shared + "/zorbanix can be written by other users\n");
}

TEST_F(Tool, AReadOnlyStoreAnswersQueriesAndRefusesChanges) {
  Expect({"set", "HKCU\\A", "n", "--string", "v"}, 0, "");
  ASSERT_EQ(::chmod(store.c_str(), 0400), 0);
  const std::string before = Slurp(store), reg = dir / "in.reg";
  std::ofstream(reg) << "REGEDIT4\r\n[HKCU\\B]\r\n\"n\"=\"v\"\r\n";
  Expect({"query", "HKCU\\A", "n"}, 0, "v\n");
  Expect({"export", "HKCU\\A", dir / "a.reg"}, 0, "");
  const std::string refusal = "zorbanix-reg: cannot change the registry store " + store +
                              ": it is read-only (the file is read-only)\n";
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"set", "HKCU\\A", "n", "--string", "w"}, {"delete-value", "HKCU\\A", "n"}, {"delete-key", "HKCU\\A"},
           {"import", reg}})
    Expect(args, 1, refusal);
  EXPECT_TRUE(Slurp(store) == before);
}

TEST_F(Tool, NamesAndTextsTheCodePageCannotHoldAreRefused) {
  const struct {
    std::vector<std::string> args;
    std::string mention;
  } refused[] = {
      {{"set", "HKCU\\A", "中", "--string", "v"}, "the name 中 cannot be stored: code page 1252 has no U+4E2D"},
      {{"set", "HKCU\\A", "n", "--string", "x\xF0\x9F\x98\x80"}, "has no U+1F600"},
      {{"set", "HKCU\\A", "n", "--string", "\xFF"}, "the text cannot be stored: it is not valid UTF-8"},
      {{"set", "HKCU\\中", "n", "--string", "v"}, "the path HKCU\\中 cannot be stored"},
      {{"query", "HKCU\\A", "\xC3"}, "the name cannot be stored: it is not valid UTF-8"},
      {{"delete-value", "HKCU\\A", "ﬀ"}, "code page 1252 has no U+FB00"},
      {{"keys", "HKCU\\\xE9"}, "the path cannot be stored: it is not valid UTF-8"},
  };
  for (const auto& r : refused) Expect(r.args, 2, r.mention);
  Expect({"keys", "HKCU"}, 0, "Software\n");  // nothing was written, no "?" anywhere
  Expect({"set", "HKCU\\Grüße", "€ ‰ Ÿ", "--string", "œ ž ™"}, 0, "");
  Expect({"query", "HKCU\\Grüße", "€ ‰ Ÿ"}, 0, "œ ž ™\n");
}

TEST_F(Tool, ExportLeavesOutNamesAFileCannotHoldAndSaysWhat) {
  Expect({"set", "HKCU\\Software\\Victim", "keep", "--string", "precious"}, 0, "");
  const std::string note = "hello\r\n[-HKEY_CURRENT_USER\\Software\\Victim]\r\n\"x\"=\"y";
  Expect({"set", "HKCU\\Software\\Notes", "note", "--string", note}, 0, "");
  Expect({"set", "HKCU\\Software\\Notes", "two\nlines", "--dword", "1"}, 0, "");
  const std::string file = dir / "notes.reg";
  Expect({"export", "HKCU\\Software\\Notes", file}, 1, "left out 1 keys or values");
  std::filesystem::remove(file);
  const Result verbose = Run({"export", "HKCU\\Software\\Notes", file, "--verbose"});
  EXPECT_EQ(verbose.status, 1);
  EXPECT_EQ(verbose.out, "HKEY_CURRENT_USER\\Software\\Notes\nskipped value two\\nlines of "
                         "HKEY_CURRENT_USER\\Software\\Notes: its name cannot be written in a .reg file\n");
  Expect({"import", file}, 0, "");
  Expect({"query", "HKCU\\Software\\Victim", "keep"}, 0, "precious\n");
  auto api = win::OpenRegistryStore(store);  // now byte data that reads as the text
  EXPECT_EQ(clsRegistryAccess(*api).ReadString("HKCU\\Software\\Notes", "note"), note);
}

}  // namespace
}  // namespace zbx::test
