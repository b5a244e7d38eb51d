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

struct Result {
  int status;
  std::string out, err;
};

class Tool : public ::testing::Test {
 protected:
  TempDir dir;
  const std::string store = dir / "store.db";
  std::shared_ptr<win::RegistryApi> registry = OpenTestStore();  // on Windows: cleans up after the tool

  const std::string kProgram = std::string(ZBX_BIN_DIR "/zorbanix-reg") + (kSystemRegistry ? ".exe" : "");

  // Runs the tool, on the test's store unless told otherwise, with NAME=VALUE settings
  // added to its environment.
  Result Run(std::vector<std::string> args, bool onStore = true, const std::vector<std::string>& env = {}) {
    if (onStore && !kSystemRegistry) args.insert(args.begin(), {"--store", store});
    const int status = RunProgram(kProgram, args, env, dir / "out", dir / "err");
    return {status, Slurp(dir / "out"), Slurp(dir / "err")};
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
