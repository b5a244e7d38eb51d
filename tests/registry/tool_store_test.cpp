// zorbanix-reg on our store's files: the default file, stores that cannot be opened
// or written. Linux only: on Windows the tool works on the system registry.
#include <sys/stat.h>
#include <unistd.h>

#include "registry/tool_fixture.h"

namespace zbx::test {
namespace {

TEST_F(Tool, WithoutStoreUsesTheGamesDefaultFile) {
  const std::vector<std::string> env = {"XDG_DATA_HOME=" + dir.path, "HOME=" + dir.path};
  ASSERT_EQ(Run({"set", "HKLM\\System", "BIOS config", "--string", "table"}, false, env), 0);
  auto api = win::OpenRegistryStore(dir / "zorbanix/registry.db");
  EXPECT_EQ(clsRegistryAccess(*api).ReadString("HKLM\\System", "BIOS config"), "table");
}

TEST_F(Tool, AStoreThatCannotBeOpenedOrChangedIsSaidSoByEveryCommand) {
  const std::string file = dir / "plain", link = dir / "link.db", reg = dir / "in.reg", folder = dir / "folder";
  std::ofstream(file) << "x";
  std::filesystem::create_directory(folder);
  std::ofstream(reg) << "REGEDIT4\r\n[HKCU\\B]\r\n\"n\"=\"v\"\r\n";
  ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
  const std::vector<std::vector<std::string>> commands = {
      {"query", "HKCU\\A", "n"}, {"set", "HKCU\\A", "n", "--string", "v"}, {"export", "HKCU", dir / "o.reg"}};
  for (const auto& [path, reason] : {std::pair{folder, "it is a folder"}, {link, "it is a symbolic link"}})
    for (std::vector<std::string> args : commands) {
      args.insert(args.begin(), {"--store", path});
      Expect(args, 1, "zorbanix-reg: cannot open the registry store " + path + ": " + reason + "\n", false);
    }
  EXPECT_FALSE(std::filesystem::exists(dir / "o.reg"));
  EXPECT_EQ(Slurp(file), "x");
  // A read-only store answers queries and exports, and refuses changes.
  Expect({"set", "HKCU\\A", "n", "--string", "v"}, 0, "");
  ASSERT_EQ(::chmod(store.c_str(), 0400), 0);
  const std::string before = Slurp(store);
  Expect({"query", "HKCU\\A", "n"}, 0, "v\n");
  Expect({"export", "HKCU\\A", dir / "a.reg"}, 0, "");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"set", "HKCU\\A", "n", "--string", "w"},
                                               {"delete-key", "HKCU\\A"}, {"import", reg}})
    Expect(args, 1,
           "zorbanix-reg: cannot change the registry store " + store + ": it is read-only (the file is read-only)\n");
  EXPECT_TRUE(Slurp(store) == before);
}

}  // namespace
}  // namespace zbx::test
