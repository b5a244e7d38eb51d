#include "support/test_store.h"

#include <sys/wait.h>

#include <cstdlib>

#include "platform/registry_store.h"

namespace zbx::test {
namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::shared_ptr<win::RegistryApi> OpenTestStore() { return win::OpenRegistryStore(":memory:"); }

std::size_t OpenHandleCount(win::RegistryApi& store) {
  return dynamic_cast<win::SqliteRegistry&>(store).OpenHandleCount();
}

bool UnderWine() { return false; }

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment, const std::string& outFile,
               const std::string& errFile) {
  std::string command;
  for (const std::string& setting : environment) command += setting.substr(0, setting.find('=') + 1) +
                                                            Quote(setting.substr(setting.find('=') + 1)) + " ";
  command += Quote(program);
  for (const std::string& arg : args) command += " " + Quote(arg);
  const int status = std::system((command + " >" + Quote(outFile) + " 2>" + Quote(errFile)).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zbx::test
