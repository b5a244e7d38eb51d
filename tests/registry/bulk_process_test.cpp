// The class in bulk against other processes on the same store file: exports and listings
// show one state of the tree while another process keeps changing it, and an import
// killed at any moment leaves a sound store in which every value is whole or absent.
// ZBX_IMPORT_KILLS and ZBX_IMPORT_KEYS set how many imports are killed and how many keys
// (of 10 values) the imported file holds; tests/registry/import_kills.sh runs many.
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

using win::test::Pragma;

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
      close(fds[0]);
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
    if (poll(&p, 1, waitMs) != 1 || read(report, &byte, 1) != 1) return -1;
    return byte;
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
      const std::string n = std::to_string(i);
      for (const std::string& key : {first, last}) reg.WriteString(key, "n", n);
      for (const char* name : {"first", "last"}) reg.WriteDWORD(first, name, i);
      for (const char* sub : {"\\0", "\\~"}) i % 2 ? reg.CreateKey(kTree + std::string(sub)) : reg.KillKey(kTree + std::string(sub));
      return win::ERROR_SUCCESS;
    });
    if (i == 1 && write(report, "g", 1) != 1) _exit(1);
  }
}

// The text between `after` and the next `end`, looking from the first `from` on.
std::string Between(const std::string& text, const std::string& after, char end = '\n', const std::string& from = "") {
  const std::size_t start = text.find(from), at = start == std::string::npos ? start : text.find(after, start);
  if (at == std::string::npos) return "<none>";
  const std::size_t begin = at + after.size();
  return text.substr(begin, text.find(end, begin) - begin);
}

class BulkProcesses : public RegistryTest {
 protected:
  // What zorbanix-reg values lists for a key of the store.
  std::string ToolValues(const std::string& path) {
    const std::string out = dir / "values.txt";
    const std::string command = std::string(ZBX_BIN_DIR) + "/zorbanix-reg --store '" + file + "' values '" + path + "' >'" + out + "'";
    return std::system(command.c_str()) == 0 ? Slurp(out) : "<failed>";
  }
  const std::string long_ = std::string(300, 'L');
  std::string file = dir / "store.db";
  std::shared_ptr<win::RegistryApi> onFile = win::OpenRegistryStore(file);
  clsRegistryAccess shared{*onFile};
};

TEST_F(BulkProcesses, ExportsAndListingsShowOneStateWhileAnotherProcessChangesTheTree) {
  shared.CreateKeyIfDoesntExists(kTrue);
  const std::string first = kTree + std::string("\\A");
  shared.WriteDWORD(first, "first", 0);  // the pair of values far apart in the listing
  for (int v = 0; v < 600; ++v) shared.WriteString(first, "v" + std::to_string(v), v == 100 ? long_ : "between");
  shared.WriteDWORD(first, "last", 0);
  for (char c = 'A'; c <= 'Z'; ++c)
    for (int k = 0; k < 10; ++k)
      for (int v = 0; v < 5; ++v)
        shared.WriteString(kTree + std::string("\\") + c + (c == 'A' || c == 'Z' ? "" : std::to_string(k)),
                           "filler" + std::to_string(v), "some text");
  Child flipper([&](int report) { FlipPairs(file, report); });
  const bool flipping = flipper.Next(10000) == 'g';
  std::set<std::string> seen;
  int mismatches = 0;
  for (int round = 0; flipping && round < 30; ++round) {
    const std::string out = dir / ("export" + std::to_string(round) + ".reg");
    shared.ExportToReg(kTree, out);
    const std::string text = Slurp(out), section = "[HKEY_CURRENT_USER\\Software\\Pairs\\";
    const std::string a = Between(text, "\"n\"=\"", '"', section + "A]\r\n");
    mismatches += a != Between(text, "\"n\"=\"", '"', section + "Z]\r\n");
    seen.insert(a);
    const auto dwords = static_cast<std::size_t>(shared.EnumValues(first, names, values, win::REG_DWORD));
    mismatches += dwords != 2 || values[0] != values[1];
    Names keys;
    const auto subKeys = static_cast<std::size_t>(shared.EnumKeys(kTree, keys));
    mismatches += (keys.front() == "0") != (keys[subKeys - 1] == "~");
    // The tool's listing, where the long value is shown whole too.
    const std::string listing = ToolValues(first);
    mismatches += listing.find("\nv100\tstring\t" + long_ + "\n") == std::string::npos ||
                  Between(listing, "first\tdword\t") != Between(listing, "\nlast\tdword\t");
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
  std::chrono::milliseconds importTime{0};
  int killedBefore = 0, killedMidway = 0, finished = 0;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string storeFile = dir / ("crash" + std::to_string(round) + ".db");
    const auto start = std::chrono::steady_clock::now();
    Child importer([&](int report) {
      auto own = win::OpenRegistryStore(storeFile);
      clsRegistryAccess importing(*own);
      const char done = importing.ImportFromReg(regFile) == 1 ? 'd' : 'f';
      if (write(report, &done, 1) != 1) _exit(1);
      pause();
    });
    // The first import runs to its end (and times the others' kills); the others are killed
    // at a random moment up to a little past that time.
    if (round > 0)
      std::this_thread::sleep_for(std::uniform_int_distribution<long>(0, importTime.count() * 6 / 5)(random) * std::chrono::milliseconds(1));
    const int byte = importer.Next(round == 0 ? 600000 : 0);
    if (round == 0) importTime = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    importer.Kill();
    ASSERT_NE(byte, 'f') << "the import failed";

    EXPECT_EQ(Pragma(storeFile, "integrity_check"), "ok");
    auto after = win::OpenRegistryStore(storeFile);
    EXPECT_EQ(after->Status().access, win::StoreStatus::Access::ReadWrite);
    clsRegistryAccess reopened(*after);
    const int present = WholeValuesPresent(reopened, keys);
    if (byte == 'd') {
      EXPECT_EQ(present, keys * 10) << "a finished import is there whole";
    }
    (byte == 'd' ? finished : present == 0 ? killedBefore : killedMidway) += 1;
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.path))
    EXPECT_EQ(entry.path().string().find(".damaged-"), std::string::npos) << entry.path();
  std::printf("%d imports of %d values (%lld ms each, seed %d): %d finished, %d killed before a commit, %d killed after some\n",
              rounds, keys * 10, static_cast<long long>(importTime.count()), seed, finished, killedBefore, killedMidway);
}

}  // namespace
}  // namespace zbx::test
