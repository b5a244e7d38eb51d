// zorbanix-reg, the built binary, on a store file in a temporary folder: exit statuses,
// one-line messages, round trips, and the store shared with the library.
#include <sys/wait.h>

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

}  // namespace
}  // namespace zbx::test
