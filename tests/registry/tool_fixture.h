#pragma once
// zorbanix-reg, the built binary, run by the tests: on Linux on a store file in a
// temporary folder, on Windows on the system registry (what a test adds there is removed
// when it ends, see support/test_store.h).
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "registry/registry_fixture.h"

namespace zbx::test {

class Tool : public ::testing::Test {
 protected:
  TempDir dir;
  const std::string store = dir / "store.db";
  std::shared_ptr<win::RegistryApi> registry = OpenTestStore();  // on Windows: cleans up after the tool

  // Runs the tool, on the test's store unless told otherwise, with NAME=VALUE settings
  // added to its environment; returns its status, and its output in out, its errors in err.
  int Run(std::vector<std::string> args, bool onStore = true, const std::vector<std::string>& env = {}) {
    if (onStore && !kSystemRegistry) args.insert(args.begin(), {"--store", store});
    const std::string program = std::string(ZBX_BIN_DIR "/zorbanix-reg") + (kSystemRegistry ? ".exe" : "");
    const int status = RunProgram(program, args, env, dir / "out", dir / "err");
    out = Slurp(dir / "out");
    err = Slurp(dir / "err");
    return status;
  }
  std::string out, err;
  // The status, and either the output or exactly one line on stderr naming the problem.
  void Expect(const std::vector<std::string>& args, int status, const std::string& outOrMention, bool onStore = true) {
    SCOPED_TRACE(args.empty() ? "" : args[0] + " " + args.back());
    EXPECT_EQ(Run(args, onStore), status) << err;
    if (status == 0) {
      EXPECT_EQ(out, outOrMention);
      return;
    }
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(err.rfind("zorbanix-reg: ", 0), 0u) << err;
    EXPECT_NE(err.find(outOrMention), std::string::npos) << err;
  }
  // The registry the tool worked on, for reading it through the class.
  std::shared_ptr<win::RegistryApi> ToolsRegistry() {
#ifdef _WIN32
    return registry;
#else
    return win::OpenRegistryStore(store);
#endif
  }
};

}  // namespace zbx::test
