// Several processes on one store file: concurrent writers lose nothing, and a writer
// killed in the middle of its work leaves a sound store holding every write it finished.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/winreg.h"
#include "platform/winreg_temp_dir.h"

namespace zbx::win::test {
namespace {

LONG SetNumber(RegistryApi& reg, HKEY key, const std::string& name, DWORD number) {
  return reg.RegSetValueExA(key, name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&number), sizeof number);
}

// One write the way the registry class does it: create (open) the key, set, close.
LONG WriteAt(RegistryApi& reg, const std::string& path, const std::string& name, DWORD number) {
  HKEY key = 0;
  LONG rc = reg.RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key);
  if (rc != ERROR_SUCCESS) return rc;
  rc = SetNumber(reg, key, name, number);
  reg.RegCloseKey(key);
  return rc;
}

bool ReadAt(RegistryApi& reg, const std::string& path, const std::string& name, DWORD& number) {
  HKEY key = 0;
  if (reg.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  DWORD size = sizeof number;
  const LONG rc = reg.RegQueryValueExA(key, name.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(&number), &size);
  reg.RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

std::string IntegrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result = "<cannot open>";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return result;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

constexpr int kWritesPerProcess = 1000;

// A writer that waits for the go signal (a byte on the pipe) and then writes its
// share: values of one key shared by all writers, and keys of its own. Exits with the
// number of failed writes (capped).
[[noreturn]] void Writer(const std::string& file, int id, int goFd) {
  char go = 0;
  if (read(goFd, &go, 1) != 1) _exit(100);
  auto store = OpenRegistryStore(file);
  int failures = 0;
  for (int i = 0; i < kWritesPerProcess; ++i) {
    const std::string name = "w" + std::to_string(id) + "-" + std::to_string(i);
    const std::string path = i % 10 == 0 ? "Own\\" + name : std::string("Shared");
    if (WriteAt(*store, path, name, static_cast<DWORD>(i)) != ERROR_SUCCESS) ++failures;
  }
  store.reset();
  _exit(failures > 99 ? 99 : failures);
}

TEST(RegistryProcesses, TwoWritersAtOnceLoseNothing) {
  TempDir dir;
  const std::string file = dir.File("registry.db");
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (int id = 0; id < 2; ++id) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) Writer(file, id, go[0]);
    children.push_back(pid);
  }
  // Both start at the same moment, so their writes interleave.
  ASSERT_EQ(write(go[1], "gg", 2), 2);
  close(go[0]);
  close(go[1]);
  for (pid_t pid : children) EXPECT_EQ(ExitStatus(pid), 0) << "failed writes in a child";

  auto store = OpenRegistryStore(file);
  int found = 0;
  for (int id = 0; id < 2; ++id) {
    for (int i = 0; i < kWritesPerProcess; ++i) {
      const std::string name = "w" + std::to_string(id) + "-" + std::to_string(i);
      const std::string path = i % 10 == 0 ? "Own\\" + name : std::string("Shared");
      DWORD number = 0;
      if (ReadAt(*store, path, name, number) && number == static_cast<DWORD>(i)) ++found;
    }
  }
  EXPECT_EQ(found, 2 * kWritesPerProcess);
  store.reset();
  EXPECT_EQ(IntegrityCheck(file), "ok");
}

// A process that opens the store on the go signal and writes one value; exits 0 when
// the write succeeded.
[[noreturn]] void FirstWriter(const std::string& file, int id, int goFd) {
  char go = 0;
  if (read(goFd, &go, 1) != 1) _exit(100);
  auto store = OpenRegistryStore(file);
  const LONG rc = WriteAt(*store, "First", "p" + std::to_string(id), static_cast<DWORD>(id));
  store.reset();
  _exit(rc == ERROR_SUCCESS ? 0 : 1);
}

TEST(RegistryProcesses, ProcessesCreatingTheStoreAtOnceAllGetIt) {
  constexpr int kProcesses = 6;
  for (int round = 0; round < 10; ++round) {
    TempDir dir;
    const std::string file = dir.File("registry.db");
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    std::vector<pid_t> children;
    for (int id = 0; id < kProcesses; ++id) {
      const pid_t pid = fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) FirstWriter(file, id, go[0]);
      children.push_back(pid);
    }
    ASSERT_EQ(write(go[1], std::string(kProcesses, 'g').data(), kProcesses), kProcesses);
    close(go[0]);
    close(go[1]);
    for (pid_t pid : children) EXPECT_EQ(ExitStatus(pid), 0) << "round " << round;
    auto store = OpenRegistryStore(file);
    for (int id = 0; id < kProcesses; ++id) {
      DWORD number = 0;
      EXPECT_TRUE(ReadAt(*store, "First", "p" + std::to_string(id), number));
    }
  }
}

// The killed writer: every iteration creates a key, sets a value in it and one in a
// shared key, deletes the key of the iteration before, and only then reports the
// iteration number on the pipe.
[[noreturn]] void ReportingWriter(const std::string& file, int reportFd) {
  auto store = OpenRegistryStore(file);
  for (std::uint32_t i = 0;; ++i) {
    const std::string key = "Loop\\K" + std::to_string(i);
    if (WriteAt(*store, key, "n", i) != ERROR_SUCCESS) _exit(1);
    if (WriteAt(*store, "Loop", "v" + std::to_string(i), i) != ERROR_SUCCESS) _exit(1);
    if (i > 0 &&
        store->RegDeleteKeyA(HKEY_CURRENT_USER, ("Loop\\K" + std::to_string(i - 1)).c_str()) !=
            ERROR_SUCCESS)
      _exit(1);
    if (write(reportFd, &i, sizeof i) != sizeof i) _exit(1);
  }
}

TEST(RegistryProcesses, KilledWriterLeavesASoundStoreWithEveryReportedWrite) {
  TempDir dir;
  const std::string file = dir.File("registry.db");
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
  bool any = false;
  for (int n = 0; n < 300; ++n) {
    ASSERT_EQ(read(report[0], &last, sizeof last), static_cast<ssize_t>(sizeof last));
    any = true;
  }
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  EXPECT_EQ(ExitStatus(pid), 128 + SIGKILL);
  // Reports the child managed to send before it died.
  for (std::uint32_t i = 0; read(report[0], &i, sizeof i) == sizeof i;) last = i;
  close(report[0]);
  ASSERT_TRUE(any);

  EXPECT_EQ(IntegrityCheck(file), "ok");
  auto store = OpenRegistryStore(file);
  int missing = 0;
  for (std::uint32_t i = 0; i <= last; ++i) {
    DWORD number = 0;
    if (!ReadAt(*store, "Loop", "v" + std::to_string(i), number) || number != i) ++missing;
  }
  EXPECT_EQ(missing, 0) << "of " << last + 1 << " reported writes";
  DWORD number = 0;
  EXPECT_TRUE(ReadAt(*store, "Loop\\K" + std::to_string(last), "n", number));
  EXPECT_EQ(number, last);
  EXPECT_FALSE(ReadAt(*store, "Loop\\K" + std::to_string(last - 1), "n", number));
}

}  // namespace
}  // namespace zbx::win::test
