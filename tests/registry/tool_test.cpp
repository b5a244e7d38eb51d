// zorbanix-reg, the built binary, on a store file in a temporary folder: exit statuses,
// one-line messages, round trips, and the store shared with the library.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"
#include "registry/run_program.h"
#include "registry/temp_dir.h"

namespace zbx::test {
namespace {

class Tool : public ::testing::Test {
 protected:
  TempDir dir;
  std::string store = dir / "store.db";

  RunResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--store", store});
    return RunProgram(std::string(ZBX_BIN_DIR) + "/zorbanix-reg", args, dir.path());
  }
  // A failure: the status, and exactly one line on stderr naming the tool.
  void ExpectFailure(const RunResult& r, int status, const std::string& mentions) {
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("zorbanix-reg: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(mentions), std::string::npos) << r.err;
  }
};

TEST_F(Tool, HelpListsEveryCommand) {
  const RunResult r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"query", "set", "--string", "--dword", "--binary", "delete-key",
                           "delete-value", "keys", "values", "--store", "HKEY_DYN_DATA", "HKDD"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST_F(Tool, UsageErrors) {
  ExpectFailure(Run({}), 2, "no command");
  ExpectFailure(Run({"frobnicate"}), 2, "unknown command frobnicate");
  ExpectFailure(Run({"--verbose", "keys", "HKCU"}), 2, "unknown option");
  ExpectFailure(Run({"query"}), 2, "usage");
  ExpectFailure(Run({"keys", "HKXX\\Software"}), 2, "unknown root");
  ExpectFailure(Run({"set", "HKCU\\T", "n", "--float", "1"}), 2, "usage");
  ExpectFailure(Run({"set", "HKCU\\T", "n", "--dword", "12x"}), 2, "not a 32-bit number");
  ExpectFailure(Run({"set", "HKCU\\T", "n", "--dword", "4294967296"}), 2, "not a 32-bit number");
  ExpectFailure(Run({"set", "HKCU\\T", "n", "--binary", "0g"}), 2, "not hex text");
  ExpectFailure(Run({"set", "HKCU\\T", "n", "--binary", "ABC"}), 2, "not hex text");
  const RunResult missing = RunProgram(std::string(ZBX_BIN_DIR) + "/zorbanix-reg", {"--store"}, dir.path());
  ExpectFailure(missing, 2, "--store needs a FILE");
}

TEST_F(Tool, SetAndQueryRoundTrip) {
  EXPECT_EQ(Run({"set", "HKEY_CURRENT_USER\\Software\\T", "s", "--string", "café 5 €"}).status, 0);
  EXPECT_EQ(Run({"set", "HKCU\\Software\\T", "d", "--dword", "-1"}).status, 0);
  EXPECT_EQ(Run({"set", "HKCU\\Software\\T", "h", "--dword", "0x2A"}).status, 0);
  EXPECT_EQ(Run({"set", "HKCU\\Software\\T", "b", "--binary", "01,0a ff"}).status, 0);
  EXPECT_EQ(Run({"set", "HKCU\\Software\\T", "@", "--string", "default"}).status, 0);
  EXPECT_EQ(Run({"query", "HKCU\\Software\\T", "s"}).out, "café 5 €\n");
  EXPECT_EQ(Run({"query", "hkcu\\software\\t", "D"}).out, "-1\n");
  EXPECT_EQ(Run({"query", "HKCU\\Software\\T", "h"}).out, "42\n");
  EXPECT_EQ(Run({"query", "HKCU\\Software\\T", "b"}).out, "01 0A FF\n");
  EXPECT_EQ(Run({"query", "HKCU\\Software\\T", ""}).out, "default\n");
  // Longer than the class's string buffer, and with leading blanks: shown whole.
  const std::string text = "  " + std::string(300, 'x');
  EXPECT_EQ(Run({"set", "HKCU\\Software\\T", "long", "--string", text}).status, 0);
  EXPECT_EQ(Run({"query", "HKCU\\Software\\T", "long"}).out, text + "\n");
}

TEST_F(Tool, ListsKeysAndValues) {
  Run({"set", "HKCU\\P", "s", "--string", "x"});
  Run({"set", "HKCU\\P", "d", "--dword", "7"});
  Run({"set", "HKCU\\P\\b", "v", "--string", "1"});
  Run({"set", "HKCU\\P\\A", "v", "--string", "1"});
  EXPECT_EQ(Run({"keys", "HKCU\\P"}).out, "A\nb\n");
  EXPECT_EQ(Run({"values", "HKCU\\P"}).out, "s\tstring\tx\nd\tdword\t7\n");
  EXPECT_EQ(Run({"query", "HKCU\\P"}).out, "s\tstring\tx\nd\tdword\t7\nA\\\nb\\\n");
  EXPECT_EQ(Run({"keys", "HKCU\\P\\A"}).out, "");
}

TEST_F(Tool, MissingKeysAndValues) {
  ExpectFailure(Run({"query", "HKCU\\Nope"}), 1, "key not found: HKCU\\Nope");
  ExpectFailure(Run({"keys", "HKCU\\Nope"}), 1, "key not found");
  ExpectFailure(Run({"values", "HKCU\\Nope"}), 1, "key not found");
  Run({"set", "HKCU\\P", "s", "--string", "x"});
  ExpectFailure(Run({"query", "HKCU\\P", "t"}), 1, "value not found: t");
  ExpectFailure(Run({"delete-value", "HKCU\\P", "t"}), 1, "value not found");
  ExpectFailure(Run({"delete-key", "HKCU\\Nope"}), 1, "key not found");
}

TEST_F(Tool, Deletions) {
  Run({"set", "HKCU\\P\\Q", "s", "--string", "x"});
  EXPECT_EQ(Run({"delete-value", "HKCU\\P\\Q", "S"}).status, 0);
  EXPECT_EQ(Run({"query", "HKCU\\P\\Q", "s"}).status, 1);
  ExpectFailure(Run({"delete-key", "HKCU\\P"}), 1, "has sub-keys");
  EXPECT_EQ(Run({"delete-key", "HKCU\\P\\Q"}).status, 0);
  EXPECT_EQ(Run({"delete-key", "HKCU\\P"}).status, 0);
  EXPECT_EQ(Run({"query", "HKCU\\P"}).status, 1);
}

TEST_F(Tool, ExportAndImport) {
  Run({"set", "HKCU\\P", "s", "--string", "x"});
  Run({"set", "HKCU\\P\\Q", "d", "--dword", "42"});
  const std::string file = dir / "p.reg";
  const RunResult verbose = Run({"export", "HKCU\\P", file, "--verbose"});
  EXPECT_EQ(verbose.status, 0) << verbose.err;
  EXPECT_EQ(verbose.out, "HKEY_CURRENT_USER\\P\nHKEY_CURRENT_USER\\P\\Q\n");
  EXPECT_EQ(Slurp(file), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\P]\r\n\"s\"=\"x\"\r\n\r\n"
                         "[HKEY_CURRENT_USER\\P\\Q]\r\n\"d\"=dword:0000002A\r\n\r\n");
  ExpectFailure(Run({"export", "HKCU\\P", file}), 1, "exists");
  ExpectFailure(Run({"export", "HKCU\\Nope", dir / "n.reg"}), 1, "key not found");
  ExpectFailure(Run({"export", "HKCU\\P"}), 2, "usage");
  EXPECT_EQ(Run({"delete-key", "HKCU\\P\\Q"}).status, 0);
  EXPECT_EQ(Run({"delete-key", "HKCU\\P"}).status, 0);
  const RunResult imported = Run({"import", file});
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "");
  EXPECT_EQ(Run({"query", "HKCU\\P\\Q", "d"}).out, "42\n");
  ExpectFailure(Run({"import", dir / "missing.reg"}), 1, "file not found");
  std::ofstream(dir / "bad.reg") << "REGEDIT5\r\n";
  ExpectFailure(Run({"import", dir / "bad.reg"}), 1, "not a REGEDIT4 file");
  ExpectFailure(Run({"import"}), 2, "usage");
}

TEST_F(Tool, BacksUpAndRestoresTheScoreboard) {
  const std::string key = "HKLM\\System\\CurrentControlSet\\Control\\IDConfigDB";
  const std::string table = "scrambled|table text, with = and \"quotes\"";
  ASSERT_EQ(Run({"set", key, "BIOS config", "--string", table}).status, 0);
  ASSERT_EQ(Run({"export", key, dir / "scores.reg"}).status, 0);
  ASSERT_EQ(Run({"set", key, "BIOS config", "--string", "something else"}).status, 0);
  ASSERT_EQ(Run({"import", dir / "scores.reg"}).status, 0);
  // Quotes and "=" do not survive a .reg file: the backup holds the value only up to them.
  EXPECT_EQ(Run({"query", key, "BIOS config"}).out, "scrambled|table text, with \n");
}

TEST_F(Tool, WritesTheStoreTheLibraryReads) {
  ASSERT_EQ(Run({"set", "HKLM\\System\\CurrentControlSet\\Control\\IDConfigDB", "BIOS config",
                 "--string", "abc"}).status, 0);
  auto api = win::OpenRegistryStore(store);
  clsRegistryAccess reg(*api);
  EXPECT_EQ(reg.ReadString("HKLM\\System\\CurrentControlSet\\Control\\IDConfigDB", "BIOS config"), "abc");
}

TEST_F(Tool, WithoutStoreUsesTheGamesDefaultFile) {
  const RunResult r = RunProgram(std::string(ZBX_BIN_DIR) + "/zorbanix-reg",
                                 {"set", "HKCU\\T", "n", "--dword", "5"}, dir.path(),
                                 {{"XDG_DATA_HOME", dir.path()}, {"HOME", dir.path()}});
  ASSERT_EQ(r.status, 0) << r.err;
  auto api = win::OpenRegistryStore(dir / "zorbanix/registry.db");
  clsRegistryAccess reg(*api);
  EXPECT_EQ(reg.ReadDWORD("HKCU\\T", "n"), 5);
}

}  // namespace
}  // namespace zbx::test
