// zorbanix-reg importing a .reg file of 1,000,000 tiny keys (1000 groups of 1000 keys, one
// short string value each) into a new store: seconds, and the tool's peak resident memory.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

namespace {

constexpr int kGroups = 1000, kKeysPerGroup = 1000;

std::string MakeFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zbx-bench-million-XXXXXX").string();
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

void WriteMillionKeys(const std::string& file) {
  std::ofstream out(file, std::ios::binary);
  out << "REGEDIT4\r\n\r\n";
  for (int g = 0; g < kGroups; ++g)
    for (int k = 0; k < kKeysPerGroup; ++k)
      out << "[HKEY_CURRENT_USER\\Software\\Tiny\\G" << g << "\\K" << k << "]\r\n\"v\"=\"" << k << "\"\r\n\r\n";
}

// Runs the tool beside this program; its exit status and peak resident memory in kB.
int RunTool(const std::string& store, const std::string& file, long& maxRssKb) {
  const std::string tool = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "zorbanix-reg";
  const pid_t pid = fork();
  if (pid == 0) {
    execl(tool.c_str(), tool.c_str(), "--store", store.c_str(), "import", file.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return -1;
  maxRssKb = usage.ru_maxrss;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void BM_ImportMillionTinyKeys(benchmark::State& state) {
  const std::string dir = MakeFolder();
  const std::string file = dir + "/million.reg";
  WriteMillionKeys(file);
  long maxRssKb = 0;
  int run = 0;
  for (auto _ : state) {
    const std::string store = dir + "/store" + std::to_string(run++) + ".db";
    if (RunTool(store, file, maxRssKb) != 0) state.SkipWithError("the import failed");
    state.PauseTiming();
    auto api = zbx::win::OpenRegistryStore(store);
    zbx::clsRegistryAccess reg(*api);
    if (reg.ReadString("HKCU\\Software\\Tiny\\G999\\K999", "v") != "999") state.SkipWithError("the last key is missing");
    state.ResumeTiming();
  }
  state.counters["max_rss_MB"] = static_cast<double>(maxRssKb) / 1024.0;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_ImportMillionTinyKeys)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
