// Stores sharing one file: transactions and bulks; processes writing at once
// lose nothing, and a writer killed in the middle of its work leaves a sound store holding
// every write it finished.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

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

TEST(RegistryScopes, TransactCommitsWholeOrNothingAndBulkKeepsWhatItDid) {
  TempDir dir;
  const std::string file = dir / "registry.db";
  auto onFile = OpenRegistryStore(file);
  RegistryApi& r = *onFile;
  HKEY key = 0;
  ASSERT_EQ(r.RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
  // The values a and b of K, as seen through another connection.
  const auto seenFromOutside = [&] {
    auto other = OpenRegistryStore(file);
    return GetAt(*other, "K", "a") + "," + GetAt(*other, "K", "b");
  };
  std::string midway;
  EXPECT_EQ(r.Transact([&] {
    Set(r, key, "a", "1");
    midway = seenFromOutside();  // nothing committed before the body returns
    Set(r, key, "b", "2");
    return ERROR_MORE_DATA;  // the body's own answer is handed back
  }), ERROR_MORE_DATA);
  EXPECT_EQ(midway, "error 2,error 2");
  EXPECT_EQ(seenFromOutside(), "1,2");
  // A call that fails inside the body undoes only itself; an inner scope joins the outer one.
  EXPECT_EQ(r.Transact([&] {
    Set(r, key, "a", "3");
    EXPECT_EQ(r.RegDeleteValueA(key, "missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(WriteAt(r, "K\\Sub", "x", "1"), ERROR_SUCCESS);
    EXPECT_EQ(r.RegDeleteKeyA(key, "Sub"), ERROR_SUCCESS);
    EXPECT_EQ(GetAt(r, "K\\Sub", "x"), Error(ERROR_FILE_NOT_FOUND));  // a deleted key is gone at once
    return r.Transact([&] { return Set(r, key, "b", "inner"); });
  }), ERROR_SUCCESS);
  EXPECT_EQ(seenFromOutside(), "3,inner");
  // A body that throws: an atomic scope is undone whole, a bulk keeps what it did.
  EXPECT_THROW(r.Transact([&]() -> LONG {
    Set(r, key, "a", "undone");
    throw std::runtime_error("undone");
  }), std::runtime_error);
  EXPECT_THROW(r.Bulk([&]() -> LONG {
    Set(r, key, "b", "2");
    throw std::runtime_error("stopped");
  }), std::runtime_error);
  EXPECT_EQ(seenFromOutside(), "3,2");
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Writer id's i-th value.
std::string Name(int id, int i) { return "w" + std::to_string(id) + "-" + std::to_string(i); }

// Writers starting at once on a new file lose nothing: neither plain writes nor
// read-add-one-write-back steps, each in a transaction (without one, two processes could
// both write count + 1).
TEST(RegistryProcesses, WritersAtOnceLoseNothing) {
  TempDir dir;
  const std::string file = dir / "registry.db";
  constexpr int kChildren = 4, kWrites = 400, kSteps = 100;
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> pids;
  for (int id = 0; id < kChildren; ++id) {
    pids.push_back(fork());
    if (pids.back() != 0) continue;
    char byte = 0;  // all released at once; each exits with the number of failed writes
    if (read(go[0], &byte, 1) != 1) _exit(100);
    auto reg = OpenRegistryStore(file);
    int failures = 0;
    for (int i = 0; i < kWrites; ++i) {
      failures += WriteAt(*reg, "Shared", Name(id, i), std::to_string(i)) != ERROR_SUCCESS;
      if (i >= kSteps) continue;
      failures += reg->Transact([&reg] {
        const std::string count = GetAt(*reg, "Count", "n");
        return WriteAt(*reg, "Count", "n", std::to_string(count.rfind("error ", 0) == 0 ? 1 : std::stoi(count) + 1));
      }) != ERROR_SUCCESS;
    }
    _exit(std::min(failures, 99));
  }
  ASSERT_EQ(write(go[1], "gggg", kChildren), kChildren);
  for (pid_t pid : pids) EXPECT_EQ(ExitStatus(pid), 0) << "failed writes in a child";
  auto store = OpenRegistryStore(file);
  int found = 0;
  for (int id = 0; id < kChildren; ++id)
    for (int i = 0; i < kWrites; ++i) found += GetAt(*store, "Shared", Name(id, i)) == std::to_string(i);
  EXPECT_EQ(found, kChildren * kWrites);
  EXPECT_EQ(GetAt(*store, "Count", "n"), std::to_string(kChildren * kSteps));
  EXPECT_EQ(Pragma(file, "integrity_check"), "ok");
}

TEST(RegistryProcesses, KilledWriterLeavesASoundStoreWithEveryReportedWrite) {
  TempDir dir;
  const std::string file = dir / "registry.db";
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    // Each iteration makes a key with a value, sets one in a shared key, deletes the key of
    // the iteration before, and only then reports its number on the pipe.
    auto store = OpenRegistryStore(file);
    for (std::uint32_t i = 0;; ++i) {
      const std::string n = std::to_string(i);
      if (WriteAt(*store, "Loop\\K" + n, "n", n) != ERROR_SUCCESS ||
          WriteAt(*store, "Loop", "v" + n, n) != ERROR_SUCCESS ||
          (i > 0 && store->RegDeleteKeyA(HKEY_CURRENT_USER, ("Loop\\K" + std::to_string(i - 1)).c_str()) != 0) ||
          write(report[1], &i, sizeof i) != sizeof i)
        _exit(1);
    }
  }
  close(report[1]);
  std::uint32_t last = 0;
  for (int n = 0; n < 100; ++n) ASSERT_EQ(read(report[0], &last, sizeof last), 4);
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  EXPECT_EQ(ExitStatus(pid), 128 + SIGKILL);
  for (std::uint32_t i = 0; read(report[0], &i, sizeof i) == sizeof i;) last = i;  // sent before it died

  EXPECT_EQ(Pragma(file, "integrity_check"), "ok");
  auto store = OpenRegistryStore(file);
  int missing = 0;
  for (std::uint32_t i = 0; i <= last; ++i)
    missing += GetAt(*store, "Loop", "v" + std::to_string(i)) != std::to_string(i);
  EXPECT_EQ(missing, 0) << "of " << last + 1 << " reported writes";
  // The writer may have gone on unreported: made K<last+1> and perhaps deleted K<last>
  // before it died. Without K<last+1>, K<last> is there.
  const std::string next = std::to_string(last + 1);
  if (GetAt(*store, "Loop\\K" + next, "n") != next) {
    EXPECT_EQ(GetAt(*store, "Loop\\K" + std::to_string(last), "n"), std::to_string(last));
  }
  EXPECT_EQ(GetAt(*store, "Loop\\K" + std::to_string(last - 1), "n"), Error(2));
}

}  // namespace
}  // namespace zbx::win::test
