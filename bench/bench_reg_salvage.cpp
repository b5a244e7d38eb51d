// What a damaged store keeps: 16 random bytes written at a random place of a store file
// of 60 keys with 5 values each (one of 3000 bytes, on overflow pages) and the
// scoreboard; the store is opened again, which moves the damaged file aside and carries
// what it can read into the fresh one. Counters: of the trials, how many the store
// found damaged, and over those the share of values kept (mean and worst), and how
// often the scoreboard survived; and for damage the store did not notice, the share of
// values still intact.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/winreg.h"

namespace {

using namespace zbx::win;

constexpr int kKeys = 60, kValues = 5, kTrials = 200;

std::string Text(int k, int v) { return "key" + std::to_string(k) + "-value" + std::to_string(v); }

void Fill(const std::string& path) {
  auto store = OpenRegistryStore(path);
  auto set = [&](HKEY key, const std::string& name, const std::string& data, DWORD type) {
    store->RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
  };
  HKEY key = 0;
  store->RegCreateKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\IDConfigDB", &key);
  set(key, "BIOS config", std::string(150, 'S'), REG_SZ);
  store->RegCloseKey(key);
  for (int k = 0; k < kKeys; ++k) {
    store->RegCreateKeyA(HKEY_CURRENT_USER, ("Software\\Game\\Key" + std::to_string(k)).c_str(), &key);
    for (int v = 0; v < kValues - 1; ++v) set(key, "v" + std::to_string(v), Text(k, v), REG_SZ);
    set(key, "long", std::string(3000, 'L'), REG_BINARY);
    store->RegCloseKey(key);
  }
}

std::string Get(RegistryApi& store, HKEY root, const std::string& path, const std::string& name) {
  HKEY key = 0;
  if (store.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != 0) return {};
  std::string data(4000, '\0');
  DWORD size = 4000;
  const LONG rc = store.RegQueryValueExA(key, name.c_str(), nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(data.data()), &size);
  store.RegCloseKey(key);
  if (rc != 0) return {};
  data.resize(size);
  // String data set from a C++ string keeps the zero behind it, as Windows keeps it.
  if (!data.empty() && data.back() == '\0') data.pop_back();
  return data;
}

void BM_SalvageAfter16RandomBytes(benchmark::State& state) {
  std::mt19937 random(2024);
  int detected = 0, scoreboards = 0;
  double keptSum = 0, worst = 1, unseenSum = 0, unseenWorst = 1;
  int unseenAllKept = 0;
  for (auto _ : state) {
    for (int trial = 0; trial < kTrials; ++trial) {
      std::string dir = (std::filesystem::temp_directory_path() / "zbx-salvage-XXXXXX").string();
      if (mkdtemp(dir.data()) == nullptr) state.SkipWithError("no folder");
      const std::string path = dir + "/registry.db";
      Fill(path);
      std::string bytes;
      {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      }
      const std::size_t at = random() % (bytes.size() - 16);
      for (int i = 0; i < 16; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(random());
      std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
      std::fflush(stderr);
      const int saved = dup(2), quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 2);  // not the store's line about the damage, 200 times
      close(quiet);
      auto store = OpenRegistryStore(path);
      std::fflush(stderr);
      dup2(saved, 2);
      close(saved);
      bool aside = false;
      for (const auto& entry : std::filesystem::directory_iterator(dir))
        aside = aside || entry.path().string().find(".damaged-") != std::string::npos;
      int kept = 0;
      for (int k = 0; k < kKeys; ++k)
        for (int v = 0; v < kValues - 1; ++v)
          kept += Get(*store, HKEY_CURRENT_USER, "Software\\Game\\Key" + std::to_string(k), "v" + std::to_string(v)) ==
                  Text(k, v);
      for (int k = 0; k < kKeys; ++k)
        kept += Get(*store, HKEY_CURRENT_USER, "Software\\Game\\Key" + std::to_string(k), "long") ==
                std::string(3000, 'L');
      const double share = kept / double(kKeys * kValues);
      const bool scoreboard = Get(*store, HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\IDConfigDB",
                                  "BIOS config") == std::string(150, 'S');
      if (aside) {
        ++detected;
        keptSum += share;
        worst = std::min(worst, share);
        scoreboards += scoreboard;
      } else {
        unseenSum += share;
        unseenWorst = std::min(unseenWorst, share);
        unseenAllKept += share == 1.0 && scoreboard;
      }
      store.reset();
      std::filesystem::remove_all(dir);
    }
  }
  state.counters["trials"] = kTrials;
  state.counters["found_damaged"] = detected;
  state.counters["kept_mean_pct"] = detected ? 100 * keptSum / detected : 100;
  state.counters["kept_worst_pct"] = 100 * worst;
  state.counters["scoreboard_kept"] = scoreboards;
  // Damage the store does not notice (inside data, or in unused space): the file stays.
  const int unseen = kTrials - detected;
  state.counters["unseen_kept_mean_pct"] = unseen ? 100 * unseenSum / unseen : 100;
  state.counters["unseen_kept_worst_pct"] = 100 * unseenWorst;
  state.counters["unseen_all_intact"] = unseenAllKept;
}
BENCHMARK(BM_SalvageAfter16RandomBytes)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
