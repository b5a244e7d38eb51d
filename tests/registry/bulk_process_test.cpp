// The class in bulk on our store's files: exports and listings show one state of the tree
// while another process keeps changing it; an import killed at any moment leaves a sound
// store in which every value is whole or absent (ZBX_IMPORT_KILLS, ZBX_IMPORT_KEYS and
// ZBX_IMPORT_SEED set the kills, the keys of 10 values and the seed: import_kills.sh runs
// many); exports of the deepest tree the store allows, and to a file that cannot grow.
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <thread>

#include "registry/export_property.h"
#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

constexpr const char* kTree = "HKCU\\Software\\Pairs";

int Setting(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

// A child process running work; it reports on the pipe it is given, and dies with the test.
struct Child {
  pid_t pid = -1;
  int report = -1;  // read end
  template <class Work>
  explicit Child(Work work) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
      if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(1);
      work(fds[1]);
      _exit(0);
    }
    close(fds[1]);
    report = fds[0];
  }
  // The next byte reported within the wait, or -1.
  int Next(int waitMs) const {
    pollfd p{report, POLLIN, 0};
    unsigned char byte = 0;
    return poll(&p, 1, waitMs) == 1 && read(report, &byte, 1) == 1 ? byte : -1;
  }
  void Kill() {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(report);
  }
};

// Keeps changing pairs that must agree, each pair in one atomic step: the value "n" of the
// first and of the last key of the tree, the first and last value of the first key, and
// the presence of the first and last sub-key of the tree.
[[noreturn]] void FlipPairs(const std::string& file, int report) {
  auto store = win::OpenRegistryStore(file);
  clsRegistryAccess reg(*store);
  const std::string first = std::string(kTree) + "\\A", last = std::string(kTree) + "\\Z";
  for (int i = 1;; ++i) {
    store->Transact([&] {
      for (const std::string& key : {first, last}) reg.WriteString(key, "n", std::to_string(i));
      for (const char* name : {"first", "last"}) reg.WriteDWORD(first, name, i);
      for (const char* sub : {"\\0", "\\~"}) i % 2 ? reg.CreateKey(kTree + std::string(sub)) : reg.KillKey(kTree + std::string(sub));
      return win::ERROR_SUCCESS;
    });
    if (i == 1 && write(report, "g", 1) != 1) _exit(1);
  }
}

// The text of "n" in the section of `key`.
std::string NOf(const std::string& text, const std::string& key) {
  const std::size_t at = text.find("\"n\"=\"", text.find("[HKEY_CURRENT_USER\\Software\\Pairs\\" + key + "]"));
  return at == std::string::npos ? "<none>" : text.substr(at + 5, text.find('"', at + 5) - at - 5);
}

class BulkProcesses : public RegistryTest {
 protected:
  std::string file = dir / "store.db";
  std::shared_ptr<win::RegistryApi> onFile = win::OpenRegistryStore(file);
  clsRegistryAccess shared{*onFile};
};

TEST_F(BulkProcesses, ExportsAndListingsShowOneStateWhileAnotherProcessChangesTheTree) {
  shared.CreateKeyIfDoesntExists(kTrue);
  const std::string first = kTree + std::string("\\A");
  shared.WriteDWORD(first, "first", 0);  // the pair of values far apart in the listing
  for (int v = 0; v < 600; ++v) shared.WriteString(first, "v" + std::to_string(v), "between");
  shared.WriteDWORD(first, "last", 0);
  shared.CreateKey(kTree + std::string("\\Z"));
  for (char c = 'B'; c < 'Z'; ++c)
    for (int k = 0; k < 10; ++k)
      for (int v = 0; v < 5; ++v) shared.WriteString(kTree + std::string("\\") + c + std::to_string(k), "f" + std::to_string(v), "text");
  Child flipper([&](int report) { FlipPairs(file, report); });
  const bool flipping = flipper.Next(10000) == 'g';
  std::set<std::string> seen;
  int mismatches = 0;
  for (int round = 0; flipping && round < 30; ++round) {
    const std::string out = dir / ("export" + std::to_string(round) + ".reg");
    shared.ExportToReg(kTree, out);
    const std::string text = Slurp(out);
    mismatches += NOf(text, "A") != NOf(text, "Z");
    seen.insert(NOf(text, "A"));
    const auto dwords = static_cast<std::size_t>(shared.EnumValues(first, names, values, win::REG_DWORD));
    mismatches += dwords != 2 || values[0] != values[1];
    Names keys;
    const auto subKeys = static_cast<std::size_t>(shared.EnumKeys(kTree, keys));
    mismatches += (keys.front() == "0") != (keys[subKeys - 1] == "~");
  }
  flipper.Kill();
  ASSERT_TRUE(flipping);
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(seen.size(), 1u) << "the other process changed nothing while the exports ran";
}

// What a .reg file of `keys` keys sets: key k holds text values t0..t7 (long enough to span
// pages now and then), a byte value and a 32-bit value, all derived from k.
std::string Text(int k, int j) { return std::string(static_cast<std::size_t>(20 + (k * 7 + j) % 90), char('a' + j)) + std::to_string(k); }
std::string KeyPath(int k) { return "HKCU\\Software\\Crash\\G" + std::to_string(k / 100) + "\\K" + std::to_string(k); }

std::string ImportFile(int keys) {
  std::string text = "REGEDIT4\r\n\r\n";
  for (int k = 0; k < keys; ++k) {
    text += "[HKEY_CURRENT_USER" + KeyPath(k).substr(4) + "]\r\n";
    for (int j = 0; j < 8; ++j) text += "\"t" + std::to_string(j) + "\"=\"" + Text(k, j) + "\"\r\n";
    text += "\"b\"=hex:" + std::string(k % 2 ? "0a,0b,0c" : "ff") + "\r\n\"d\"=dword:" + std::to_string(1000 + k) + "\r\n\r\n";
  }
  return text;
}

// Every value of the imported keys that is there holds exactly its data; returns how many are.
int WholeValuesPresent(clsRegistryAccess& reg, int keys) {
  int present = 0;
  Names names;
  Values values;
  for (int k = 0; k < keys; ++k) {
    const int n = std::max(reg.EnumValues(KeyPath(k), names, values), 0);
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
      const RegValue expected = names[i] == "b"   ? RegValue(std::string(k % 2 ? " 0A 0B 0C" : " FF"))
                                : names[i] == "d" ? RegValue(std::stoi(std::to_string(1000 + k), nullptr, 16))
                                                  : RegValue(Text(k, names[i][1] - '0'));
      EXPECT_EQ(values[i], expected) << KeyPath(k) << " " << names[i];
    }
    present += n;
  }
  return present;
}

TEST_F(BulkProcesses, AnImportKilledAtAnyMomentLeavesEveryValueWholeOrAbsent) {
  const int rounds = Setting("ZBX_IMPORT_KILLS", 4), keys = Setting("ZBX_IMPORT_KEYS", 1500);
  const std::string regFile = WriteFile("crash.reg", ImportFile(keys));
  const int seed = Setting("ZBX_IMPORT_SEED", 12);
  std::mt19937 random(static_cast<unsigned>(seed));
  long importMs = 0;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round) + ", seed " + std::to_string(seed));
    const std::string storeFile = dir / ("crash" + std::to_string(round) + ".db");
    const auto start = std::chrono::steady_clock::now();
    Child importer([&](int report) {
      auto own = win::OpenRegistryStore(storeFile);
      const char done = clsRegistryAccess(*own).ImportFromReg(regFile) == 1 ? 'd' : 'f';
      if (write(report, &done, 1) != 1) _exit(1);
      pause();
    });
    // The first import runs to its end (and times the others' kills); the others are killed
    // at a random moment up to a little past that time.
    if (round > 0) std::this_thread::sleep_for(std::chrono::milliseconds(random() % (importMs * 6 / 5 + 1)));
    const int byte = importer.Next(round == 0 ? 600000 : 0);
    if (round == 0) importMs = (std::chrono::steady_clock::now() - start) / std::chrono::milliseconds(1);
    importer.Kill();
    ASSERT_NE(byte, 'f') << "the import failed";
    EXPECT_EQ(win::test::Pragma(storeFile, "integrity_check"), "ok");
    auto after = win::OpenRegistryStore(storeFile);
    EXPECT_EQ(after->Status().access, win::StoreStatus::Access::ReadWrite);
    clsRegistryAccess reopened(*after);
    const int present = WholeValuesPresent(reopened, keys);
    EXPECT_TRUE(byte != 'd' || present == keys * 10) << "a finished import holds " << present << " values";
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.path))
    EXPECT_EQ(entry.path().string().find(".damaged-"), std::string::npos) << entry.path();
}

TEST_F(BulkProcesses, TheDeepestAllowedTreeExportsAndADeeperKeyOfAnOlderStoreIsLeftOut) {
  std::string path = "HKCU";
  for (int level = 1; level <= win::kMaxKeyDepth; ++level) path += "\\" + std::to_string(level % 10);
  ASSERT_NE(shared.CreateKey(path), 0);
  shared.WriteDWORD(path, "bottom", 512);
  EXPECT_EQ(shared.CreateKey(path + "\\x"), 0);
  // A store written before the limit may hold a deeper key: made here behind its back.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
  const std::string sql = "INSERT INTO reg_keys(parent, name, uname, path) SELECT id, 'Over', 'OVER', path || "
                          "'\\OVER' FROM reg_keys ORDER BY length(path) DESC LIMIT 1";
  ASSERT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  export_property::SkipRecorder skipped;
  EXPECT_EQ(shared.ExportToReg("HKCU\\1", dir / "deep.reg", &skipped), 0);
  ASSERT_EQ(skipped.keys.size(), 1u);
  EXPECT_NE(skipped.keys.begin()->find("\\2\\OVER"), std::string::npos);
  EXPECT_EQ(reg.ImportFromReg(dir / "deep.reg"), 1);
  EXPECT_EQ(reg.ReadDWORD(path, "bottom"), 512);
}

TEST_F(BulkProcesses, AFileThatStopsGrowingFailsTheExportAndKeepsWhatWasWritten) {
  shared.CreateKeyIfDoesntExists(kTrue);
  for (const char* k : {"A", "B", "C"}) shared.WriteString(std::string("HKCU\\T\\") + k, "n", std::string(50, *k));
  ASSERT_EQ(shared.ExportToReg("HKCU\\T", dir / "whole.reg"), 1);
  const std::string whole = Slurp(dir / "whole.reg");
  // Cut in the header, halfway, and just fitting.
  for (std::size_t limit : {std::size_t{5}, whole.size() / 2, whole.size()}) {
    const std::string out = dir / (std::to_string(limit) + ".reg");
    const pid_t child = fork();
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG instead
      const rlimit most{limit, limit};
      setrlimit(RLIMIT_FSIZE, &most);
      _exit(shared.ExportToReg("HKCU\\T", out) == 1 ? 1 : 0);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, limit == whole.size() ? 1 : 0) << limit;
    EXPECT_EQ(Slurp(out), whole.substr(0, limit));
  }
}

}  // namespace
}  // namespace zbx::test
