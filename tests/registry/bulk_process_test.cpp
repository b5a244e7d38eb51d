// The class in bulk on our store's files: exports and listings show one state of the tree
// while another process keeps changing it; an import killed at any moment leaves a sound
// store in which every value is whole or absent (ZBX_IMPORT_KILLS, ZBX_IMPORT_KEYS and
// ZBX_IMPORT_SEED set the kills, the keys of 10 values and the seed: import_kills.sh runs
// many); an export to a file that cannot grow; the deepest tree.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <set>
#include <thread>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

constexpr const char* kTree = "HKCU\\Software\\Pairs";

int Setting(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

// Runs work in a child process that dies with the test, and exits with what it returns.
template <class Work>
pid_t Spawn(Work work) {
  const pid_t parent = getpid(), pid = fork();
  if (pid == 0) _exit(prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent ? 99 : work());
  return pid;
}

// Kills the child unless it has ended, and returns its wait status.
int Reap(pid_t pid, bool kill = true) {
  if (kill) ::kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
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
  const std::string first = kTree + std::string("\\A"), last = kTree + std::string("\\Z");
  shared.WriteDWORD(first, "first", 0);  // the pair of values far apart in the listing
  for (int v = 0; v < 600; ++v) shared.WriteString(first, "v" + std::to_string(v), "between");
  shared.WriteDWORD(first, "last", 0);
  for (int k = 0; k < 250; ++k)
    for (int v = 0; v < 5; ++v)
      shared.WriteString(kTree + std::string("\\M") + std::to_string(k), "f" + std::to_string(v), "text");
  shared.CreateKey(last);
  // Keeps changing pairs that must agree, each pair in one atomic step: the value "n" of the
  // first and of the last key of the tree, and the first and last value of the first key.
  const pid_t flipper = Spawn([&] {
    auto own = win::OpenRegistryStore(file);
    clsRegistryAccess flipping(*own);
    for (int i = 1;; ++i)
      own->Transact([&] {
        for (const std::string& key : {first, last}) flipping.WriteString(key, "n", std::to_string(i));
        for (const char* name : {"first", "last"}) flipping.WriteDWORD(first, name, i);
        return win::ERROR_SUCCESS;
      });
    return 0;
  });
  std::set<std::string> seen;
  int mismatches = 0;
  for (int round = 0; round < 30; ++round) {
    const std::string out = dir / ("export" + std::to_string(round) + ".reg");
    shared.ExportToReg(kTree, out);
    const std::string text = Slurp(out);
    mismatches += NOf(text, "A") != NOf(text, "Z");
    seen.insert(NOf(text, "A"));
    const auto dwords = static_cast<std::size_t>(shared.EnumValues(first, names, values, win::REG_DWORD));
    mismatches += dwords != 2 || values[0] != values[1];
  }
  Reap(flipper);
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(seen.size(), 2u) << "the other process changed nothing while the exports ran";
}

// What a .reg file of `keys` keys sets: key k holds text values t0..t9, long enough to span
// pages now and then, derived from k.
std::string Text(int k, int j) {
  return std::string(static_cast<std::size_t>(20 + (k * 7 + j) % 90), char('a' + j)) + std::to_string(k);
}
std::string KeyPath(int k) { return "HKCU\\Software\\Crash\\G" + std::to_string(k / 100) + "\\K" + std::to_string(k); }

TEST_F(BulkProcesses, AnImportKilledAtAnyMomentLeavesEveryValueWholeOrAbsent) {
  const int rounds = Setting("ZBX_IMPORT_KILLS", 4), keys = Setting("ZBX_IMPORT_KEYS", 1500);
  const int seed = Setting("ZBX_IMPORT_SEED", 12);
  std::string text = "REGEDIT4\r\n\r\n";
  for (int k = 0; k < keys; ++k) {
    text += "[HKEY_CURRENT_USER" + KeyPath(k).substr(4) + "]\r\n";
    for (int j = 0; j < 10; ++j) text += "\"t" + std::to_string(j) + "\"=\"" + Text(k, j) + "\"\r\n";
  }
  const std::string regFile = WriteFile("crash.reg", text);
  std::mt19937 random(static_cast<unsigned>(seed));
  long importMs = 0;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round) + ", seed " + std::to_string(seed));
    const std::string storeFile = dir / ("crash" + std::to_string(round) + ".db");
    const auto start = std::chrono::steady_clock::now();
    const pid_t importer = Spawn([&] {
      auto own = win::OpenRegistryStore(storeFile);
      return clsRegistryAccess(*own).ImportFromReg(regFile) == 1 ? 0 : 3;
    });
    // The first import runs to its end (and times the others' kills); the others are killed
    // at a random moment up to a little past that time.
    if (round > 0) std::this_thread::sleep_for(std::chrono::milliseconds(random() % (importMs * 6 / 5 + 1)));
    const int status = Reap(importer, round > 0);
    if (round == 0) importMs = (std::chrono::steady_clock::now() - start) / std::chrono::milliseconds(1);
    const bool finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ASSERT_TRUE(finished || WIFSIGNALED(status)) << "the import failed";
    EXPECT_EQ(win::test::Pragma(storeFile, "integrity_check"), "ok");
    auto after = win::OpenRegistryStore(storeFile);
    EXPECT_EQ(after->Status().access, win::StoreStatus::Access::ReadWrite);
    clsRegistryAccess reopened(*after);
    int present = 0;
    for (int k = 0; k < keys; ++k) {
      const int n = std::max(reopened.EnumValues(KeyPath(k), names, values), 0);
      for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
        EXPECT_EQ(values[i], RegValue(Text(k, names[i][1] - '0'))) << KeyPath(k) << " " << names[i];
      present += n;
    }
    EXPECT_TRUE(!finished || present == keys * 10) << "a finished import holds " << present << " values";
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.path))
    EXPECT_EQ(entry.path().string().find(".damaged-"), std::string::npos) << entry.path();
}

TEST_F(BulkProcesses, AFileThatStopsGrowingFailsTheExportAndKeepsWhatWasWritten) {
  shared.CreateKeyIfDoesntExists(kTrue);
  for (const char* k : {"A", "B", "C"}) shared.WriteString(std::string("HKCU\\T\\") + k, "n", std::string(50, *k));
  ASSERT_EQ(shared.ExportToReg("HKCU\\T", dir / "whole.reg"), 1);
  const std::string whole = Slurp(dir / "whole.reg");
  for (std::size_t limit : {whole.size() / 2, whole.size()}) {  // cut halfway, and just fitting
    const std::string out = dir / (std::to_string(limit) + ".reg");
    const int status = Reap(Spawn([&] {
                              signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG instead
                              const rlimit most{limit, limit};
                              setrlimit(RLIMIT_FSIZE, &most);
                              return shared.ExportToReg("HKCU\\T", out);
                            }),
                            false);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, limit == whole.size() ? 1 : 0) << limit;
    EXPECT_EQ(Slurp(out), whole.substr(0, limit));
  }
}

// The deepest tree the store allows exports and comes back; a deeper key, which a store
// written before the limit may hold (made here behind the store's back), is left out.
TEST_F(BulkProcesses, TheDeepestAllowedTreeExportsAndADeeperKeyIsLeftOut) {
  std::string path = "HKCU";
  for (int level = 1; level <= win::kMaxKeyDepth; ++level) path += "\\" + std::to_string(level % 10);
  ASSERT_NE(shared.CreateKey(path), 0);
  shared.WriteDWORD(path, "bottom", 512);
  EXPECT_EQ(shared.CreateKey(path + "\\x"), 0);
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
  const char* sql = "INSERT INTO reg_keys(parent, name, uname, path) SELECT id, 'Over', 'OVER', path || "
                    "'\\OVER' FROM reg_keys ORDER BY length(path) DESC LIMIT 1";
  ASSERT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  EXPECT_EQ(shared.ExportToReg("HKCU\\1", dir / "deep.reg"), 0);
  auto fresh = win::OpenRegistryStore(":memory:");
  clsRegistryAccess restored(*fresh);
  EXPECT_EQ(restored.ImportFromReg(dir / "deep.reg"), 1);
  EXPECT_EQ(restored.ReadDWORD(path, "bottom"), 512);
  EXPECT_EQ(restored.KeyExists(path + "\\Over"), kFalse);
}

}  // namespace
}  // namespace zbx::test
