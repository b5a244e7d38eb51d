// Stores sharing one file: transactions, bulks and snapshots; processes writing at once
// lose nothing, and a writer killed in the middle of its work leaves a sound store holding
// every write it finished.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <algorithm>
#include <stdexcept>
#include <thread>

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

class Transaction : public ::testing::Test {
 protected:
  // The values set in key K of a store on a file, as seen through another connection.
  std::string SeenFromOutside() {
    auto other = OpenRegistryStore(file);
    return GetAt(*other, "K", "a") + "," + GetAt(*other, "K", "b");
  }
  TempDir dir;
  std::string file = dir / "registry.db";
  std::shared_ptr<RegistryApi> onFile = OpenRegistryStore(file);
  RegistryApi& r = *onFile;
  HKEY key = [this] {  // HKCU\K, in the store on the file
    HKEY k = 0;
    EXPECT_EQ(r.RegCreateKeyA(HKEY_CURRENT_USER, "K", &k), ERROR_SUCCESS);
    return k;
  }();
};

TEST_F(Transaction, TransactCommitsWholeOrNothingBulkKeepsWhatItDidSnapshotSeesOneState) {
  std::string midway;
  EXPECT_EQ(r.Transact([&] {
    Set(r, key, "a", "1");
    midway = SeenFromOutside();  // nothing committed before the body returns
    Set(r, key, "b", "2");
    return ERROR_MORE_DATA;  // the body's own answer is handed back
  }), ERROR_MORE_DATA);
  EXPECT_EQ(midway, "error 2,error 2");
  EXPECT_EQ(SeenFromOutside(), "1,2");
  EXPECT_THROW(r.Transact([&]() -> LONG {
    Set(r, key, "a", "changed");
    throw std::runtime_error("body failed");
  }), std::runtime_error);
  EXPECT_EQ(Get(r, key, "a"), "1");
  // A call that fails inside the body undoes only its own part; an inner scope joins the outer one.
  EXPECT_EQ(r.Transact([&] {
    Set(r, key, "a", "3");
    EXPECT_EQ(r.RegDeleteValueA(key, "missing"), ERROR_FILE_NOT_FOUND);
    return r.Transact([&] { return Set(r, key, "b", "inner"); });
  }), ERROR_SUCCESS);
  EXPECT_EQ(SeenFromOutside(), "3,inner");
  // A bulk keeps what it did, whatever its body answers or throws; an atomic scope inside
  // it is still undone whole.
  EXPECT_THROW(r.Bulk([&]() -> LONG {
    Set(r, key, "b", "2");
    EXPECT_THROW(r.Transact([&]() -> LONG {
      Set(r, key, "a", "undone");
      throw std::runtime_error("undone");
    }), std::runtime_error);
    throw std::runtime_error("stopped");
  }), std::runtime_error);
  EXPECT_EQ(SeenFromOutside(), "3,2");
  auto other = OpenRegistryStore(file);
  std::string seen;
  r.Snapshot([&] {
    seen = Get(r, key, "a");
    EXPECT_EQ(WriteAt(*other, "K", "a", "4"), ERROR_SUCCESS);  // a snapshot holds no writer up
    seen += "," + Get(r, key, "a");
    return ERROR_SUCCESS;
  });
  EXPECT_EQ(seen, "3,3");
  EXPECT_EQ(Get(r, key, "a"), "4");
}

// A bulk that runs on commits as it goes; another writer, waiting its turn, gets in meanwhile.
TEST_F(Transaction, ALongBulkLetsAnotherWriterIn) {
  std::atomic<bool> otherDone{false};
  bool doneDuringBulk = false;
  r.Bulk([&] {
    std::thread other([&] {
      EXPECT_EQ(WriteAt(*OpenRegistryStore(file), "K", "other", "in"), ERROR_SUCCESS);
      otherDone = true;
    });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int i = 0; !otherDone && std::chrono::steady_clock::now() < limit; ++i) Set(r, key, "v", std::to_string(i));
    doneDuringBulk = otherDone;
    other.join();
    return ERROR_SUCCESS;
  });
  EXPECT_TRUE(doneDuringBulk) << "the other writer waited for the whole bulk";
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Writer id's i-th value: in a key shared by all writers, or in a key of its own.
std::pair<std::string, std::string> Place(int id, int i) {
  const std::string name = "w" + std::to_string(id) + "-" + std::to_string(i);
  return {i % 10 == 0 ? "Own\\" + name : "Shared", name};
}

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
      const auto [path, name] = Place(id, i);
      failures += WriteAt(*reg, path, name, std::to_string(i)) != ERROR_SUCCESS;
      if (i >= kSteps) continue;
      failures += reg->Transact([&reg] {
        const std::string count = GetAt(*reg, "Count", "n");
        return WriteAt(*reg, "Count", "n", std::to_string(count.rfind("error ", 0) == 0 ? 1 : std::stoi(count) + 1));
      }) != ERROR_SUCCESS;
    }
    reg.reset();
    _exit(std::min(failures, 99));
  }
  ASSERT_EQ(write(go[1], "gggg", kChildren), kChildren);
  for (pid_t pid : pids) EXPECT_EQ(ExitStatus(pid), 0) << "failed writes in a child";
  auto store = OpenRegistryStore(file);
  int found = 0;
  for (int id = 0; id < kChildren; ++id)
    for (int i = 0; i < kWrites; ++i) {
      const auto [path, name] = Place(id, i);
      found += GetAt(*store, path, name) == std::to_string(i);
    }
  EXPECT_EQ(found, kChildren * kWrites);
  EXPECT_EQ(GetAt(*store, "Count", "n"), std::to_string(kChildren * kSteps));
  store.reset();
  EXPECT_EQ(Pragma(file, "integrity_check"), "ok");
}

// Each iteration makes a key with a value, sets one in a shared key, deletes the key of
// the iteration before, and only then reports its number on the pipe.
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
  for (int n = 0; n < 100; ++n) ASSERT_EQ(read(report[0], &last, sizeof last), static_cast<ssize_t>(sizeof last));
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  EXPECT_EQ(ExitStatus(pid), 128 + SIGKILL);
  for (std::uint32_t i = 0; read(report[0], &i, sizeof i) == sizeof i;) last = i;  // sent before it died
  close(report[0]);

  EXPECT_EQ(Pragma(file, "integrity_check"), "ok");
  auto store = OpenRegistryStore(file);
  int missing = 0;
  for (std::uint32_t i = 0; i <= last; ++i) missing += GetAt(*store, "Loop", "v" + std::to_string(i)) != std::to_string(i);
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
