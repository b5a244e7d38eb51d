// Several processes on one store file: concurrent writers lose nothing, and a writer
// killed in the middle of its work leaves a sound store holding every write it finished.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

// One write the way the registry class does it: create (open) the key, set, close.
LONG WriteAt(RegistryApi& reg, const std::string& path, const std::string& name, const std::string& data) {
  HKEY key = 0;
  LONG rc = reg.RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key);
  if (rc == ERROR_SUCCESS) rc = Set(reg, key, name.c_str(), data);
  reg.RegCloseKey(key);
  return rc;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Forks one child per id, all released at the same moment so that their work interleaves;
// each runs work(id) on its own store and exits with the number of failed writes (capped).
std::vector<int> RunAtOnce(const std::string& file, int children,
                           const std::function<int(RegistryApi&, int)>& work) {
  int go[2];
  if (pipe(go) != 0) return {};
  std::vector<pid_t> pids;
  for (int id = 0; id < children; ++id) {
    const pid_t pid = fork();
    if (pid == 0) {
      char byte = 0;
      if (read(go[0], &byte, 1) != 1) _exit(100);
      auto store = OpenRegistryStore(file);
      const int failures = work(*store, id);
      store.reset();
      _exit(failures > 99 ? 99 : failures);
    }
    pids.push_back(pid);
  }
  const std::string bytes(static_cast<std::size_t>(children), 'g');
  if (write(go[1], bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return {};
  close(go[0]);
  close(go[1]);
  std::vector<int> statuses;
  for (pid_t pid : pids) statuses.push_back(ExitStatus(pid));
  return statuses;
}

constexpr int kWrites = 1000;

// Writer id's i-th value: in a key shared by all writers, or in a key of its own.
std::pair<std::string, std::string> Place(int id, int i) {
  const std::string name = "w" + std::to_string(id) + "-" + std::to_string(i);
  return {i % 10 == 0 ? "Own\\" + name : "Shared", name};
}

TEST(RegistryProcesses, TwoWritersAtOnceLoseNothing) {
  TempDir dir;
  const std::string file = dir / "registry.db";
  const auto statuses = RunAtOnce(file, 2, [](RegistryApi& reg, int id) {
    int failures = 0;
    for (int i = 0; i < kWrites; ++i) {
      const auto [path, name] = Place(id, i);
      failures += WriteAt(reg, path, name, std::to_string(i)) != ERROR_SUCCESS;
    }
    return failures;
  });
  EXPECT_EQ(statuses, (std::vector<int>{0, 0})) << "failed writes in a child";
  auto store = OpenRegistryStore(file);
  int found = 0;
  for (int id = 0; id < 2; ++id)
    for (int i = 0; i < kWrites; ++i) {
      const auto [path, name] = Place(id, i);
      found += GetAt(*store, path, name) == std::to_string(i);
    }
  EXPECT_EQ(found, 2 * kWrites);
  store.reset();
  EXPECT_EQ(Pragma(file, "integrity_check"), "ok");
}

TEST(RegistryProcesses, ProcessesCreatingTheStoreAtOnceAllGetIt) {
  for (int round = 0; round < 10; ++round) {
    TempDir dir;
    const auto statuses = RunAtOnce(dir / "registry.db", 6, [](RegistryApi& reg, int id) {
      return WriteAt(reg, "First", "p" + std::to_string(id), "x") != ERROR_SUCCESS ? 1 : 0;
    });
    EXPECT_EQ(statuses, std::vector<int>(6, 0)) << "round " << round;
    auto store = OpenRegistryStore(dir / "registry.db");
    EXPECT_EQ(Names(*store, HKEY_CURRENT_USER), (Strings{"First", "Software"}));
    HKEY key = 0;
    ASSERT_EQ(store->RegOpenKeyA(HKEY_CURRENT_USER, "First", &key), ERROR_SUCCESS);
    EXPECT_EQ(Names(*store, key, true).size(), 6u) << "round " << round;
  }
}

// Every iteration creates a key, sets a value in it and one in a shared key, deletes the
// key of the iteration before, and only then reports the iteration number on the pipe.
[[noreturn]] void ReportingWriter(const std::string& file, int reportFd) {
  auto store = OpenRegistryStore(file);
  for (std::uint32_t i = 0;; ++i) {
    const std::string n = std::to_string(i);
    if (WriteAt(*store, "Loop\\K" + n, "n", n) != ERROR_SUCCESS ||
        WriteAt(*store, "Loop", "v" + n, n) != ERROR_SUCCESS ||
        (i > 0 && store->RegDeleteKeyA(HKEY_CURRENT_USER, ("Loop\\K" + std::to_string(i - 1)).c_str()) != 0) ||
        write(reportFd, &i, sizeof i) != sizeof i)
      _exit(1);
  }
}

TEST(RegistryProcesses, KilledWriterLeavesASoundStoreWithEveryReportedWrite) {
  TempDir dir;
  const std::string file = dir / "registry.db";
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(report[0]);
    ReportingWriter(file, report[1]);
  }
  close(report[1]);
  std::uint32_t last = 0;
  for (int n = 0; n < 300; ++n) ASSERT_EQ(read(report[0], &last, sizeof last), static_cast<ssize_t>(sizeof last));
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  EXPECT_EQ(ExitStatus(pid), 128 + SIGKILL);
  for (std::uint32_t i = 0; read(report[0], &i, sizeof i) == sizeof i;) last = i;  // sent before it died
  close(report[0]);

  EXPECT_EQ(Pragma(file, "integrity_check"), "ok");
  auto store = OpenRegistryStore(file);
  int missing = 0;
  for (std::uint32_t i = 0; i <= last; ++i) missing += GetAt(*store, "Loop", "v" + std::to_string(i)) != std::to_string(i);
  EXPECT_EQ(missing, 0) << "of " << last + 1 << " reported writes";
  // The writer may have gone one iteration further than it reported: it then made
  // K<last+1> and deleted K<last> before it died. Exactly one of the two is there.
  const std::string next = std::to_string(last + 1);
  if (GetAt(*store, "Loop\\K" + next, "n") == next)
    EXPECT_EQ(GetAt(*store, "Loop\\K" + std::to_string(last), "n"), Error(2));
  else
    EXPECT_EQ(GetAt(*store, "Loop\\K" + std::to_string(last), "n"), std::to_string(last));
  EXPECT_EQ(GetAt(*store, "Loop\\K" + std::to_string(last - 1), "n"), Error(2));
}

// Read, add one, write back: from several processes at once, each step in a transaction
// of its own. Without one, two processes reading the same count would both write
// count + 1 and an increment would be lost.
TEST(RegistryProcesses, ReadThenWriteInOneTransactionLosesNoUpdate) {
  TempDir dir;
  const std::string file = dir / "registry.db";
  constexpr int kChildren = 3, kSteps = 150;
  const auto statuses = RunAtOnce(file, kChildren, [](RegistryApi& reg, int) {
    int failures = 0;
    for (int i = 0; i < kSteps; ++i) {
      const LONG rc = reg.Transact([&reg] {
        const std::string count = GetAt(reg, "Count", "n");
        const int next = count.rfind("error ", 0) == 0 ? 1 : std::stoi(count) + 1;
        return WriteAt(reg, "Count", "n", std::to_string(next));
      });
      failures += rc != ERROR_SUCCESS;
    }
    return failures;
  });
  EXPECT_EQ(statuses, std::vector<int>(kChildren, 0)) << "failed steps in a child";
  auto store = OpenRegistryStore(file);
  EXPECT_EQ(GetAt(*store, "Count", "n"), std::to_string(kChildren * kSteps));
}

}  // namespace
}  // namespace zbx::win::test
