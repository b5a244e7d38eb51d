// Raw registry store calls on a file store, the way the registry class issues them:
// every operation opens its key, does one thing and closes it again.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/winreg.h"

namespace {

using namespace zbx::win;

constexpr const char* kKeyPath = "System\\CurrentControlSet\\Control\\IDConfigDB";

class StoreFile {
 public:
  StoreFile() {
    std::string pattern = "/tmp/zbx-bench-winreg-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    store = OpenRegistryStore(dir_ + "/registry.db");
  }
  ~StoreFile() {
    store.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::shared_ptr<RegistryApi> store;

 private:
  std::string dir_;
};

LONG SetText(RegistryApi& reg, HKEY key, const char* name, const std::string& text) {
  return reg.RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size()));
}

void BM_WinregOpenQueryClose(benchmark::State& state) {
  StoreFile file;
  RegistryApi& reg = *file.store;
  HKEY key = 0;
  reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, kKeyPath, &key);
  SetText(reg, key, "BIOS config", std::string(200, 'x'));
  reg.RegCloseKey(key);
  char buffer[255];
  for (auto _ : state) {
    HKEY h = 0;
    if (reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &h) != ERROR_SUCCESS)
      state.SkipWithError("open failed");
    DWORD size = sizeof buffer, type = REG_SZ;
    if (reg.RegQueryValueExA(h, "BIOS config", nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                             &size) != ERROR_SUCCESS)
      state.SkipWithError("query failed");
    reg.RegCloseKey(h);
    benchmark::DoNotOptimize(buffer);
  }
  state.counters["ops/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WinregOpenQueryClose);

void BM_WinregOpenSetClose(benchmark::State& state) {
  StoreFile file;
  RegistryApi& reg = *file.store;
  HKEY key = 0;
  reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, kKeyPath, &key);
  reg.RegCloseKey(key);
  const std::string text(200, 'y');
  for (auto _ : state) {
    HKEY h = 0;
    if (reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_WRITE, &h) != ERROR_SUCCESS)
      state.SkipWithError("open failed");
    if (SetText(reg, h, "BIOS config", text) != ERROR_SUCCESS) state.SkipWithError("set failed");
    reg.RegCloseKey(h);
  }
  state.counters["ops/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WinregOpenSetClose);

// Lists all names and data of a key with 1000 values, one index after the other.
void BM_WinregEnumValues1000(benchmark::State& state) {
  StoreFile file;
  RegistryApi& reg = *file.store;
  HKEY key = 0;
  reg.RegCreateKeyA(HKEY_CURRENT_USER, "Many", &key);
  for (int i = 0; i < 1000; ++i)
    SetText(reg, key, ("value " + std::to_string(i)).c_str(), "data " + std::to_string(i));
  reg.RegCloseKey(key);
  for (auto _ : state) {
    HKEY h = 0;
    reg.RegOpenKeyA(HKEY_CURRENT_USER, "Many", &h);
    DWORD count = 0;
    for (;; ++count) {
      char name[255];
      BYTE data[255];
      DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
      if (reg.RegEnumValueA(h, count, name, &nameSize, nullptr, &type, data, &dataSize) !=
          ERROR_SUCCESS)
        break;
    }
    reg.RegCloseKey(h);
    if (count != 1000) state.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_WinregEnumValues1000)->Unit(benchmark::kMillisecond);

// A flat key with 10,000 sub-keys listed in order (the shape that would be quadratic
// without the enumeration cursor).
void BM_WinregEnumKeys10000(benchmark::State& state) {
  StoreFile file;
  RegistryApi& reg = *file.store;
  for (int i = 0; i < 10000; ++i) {
    HKEY h = 0;
    reg.RegCreateKeyA(HKEY_CURRENT_USER, ("Flat\\key " + std::to_string(i)).c_str(), &h);
    reg.RegCloseKey(h);
  }
  for (auto _ : state) {
    HKEY h = 0;
    reg.RegOpenKeyA(HKEY_CURRENT_USER, "Flat", &h);
    DWORD count = 0;
    for (;; ++count) {
      char name[255];
      DWORD nameSize = sizeof name;
      if (reg.RegEnumKeyExA(h, count, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
    }
    reg.RegCloseKey(h);
    if (count != 10000) state.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_WinregEnumKeys10000)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// Writes a tree of 10,000 keys (100 groups of 100) with 10 values each the way an
// import through the registry class would: every value is one exists-test, one open,
// one set and two closes.
void BuildTree(RegistryApi& reg) {
  for (int g = 0; g < 100; ++g) {
    for (int k = 0; k < 100; ++k) {
      const std::string path =
          "Tree\\Group " + std::to_string(g) + "\\Key " + std::to_string(k);
      for (int v = 0; v < 10; ++v) {
        HKEY h = 0;
        if (reg.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &h) == 0) {
          reg.RegCloseKey(h);
        } else {
          reg.RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &h);
          reg.RegCloseKey(h);
        }
        reg.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &h);
        SetText(reg, h, ("value " + std::to_string(v)).c_str(), "some text " + std::to_string(v));
        reg.RegCloseKey(h);
      }
    }
  }
}

// Walks a tree the way an export does: list sub-keys, list values, read each value by
// name through a fresh open.
int WalkTree(RegistryApi& reg, const std::string& path) {
  int values = 0;
  HKEY h = 0;
  if (reg.RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &h) != ERROR_SUCCESS) return 0;
  char name[255];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name, type = 0;
    if (reg.RegEnumValueA(h, i, name, &size, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    HKEY r = 0;
    reg.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &r);
    char data[255];
    DWORD dataSize = sizeof data;
    reg.RegQueryValueExA(r, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
    reg.RegCloseKey(r);
    ++values;
  }
  std::vector<std::string> children;
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (reg.RegEnumKeyExA(h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    children.emplace_back(name, size);
  }
  reg.RegCloseKey(h);
  for (const auto& child : children) values += WalkTree(reg, path + "\\" + child);
  return values;
}

void BM_WinregBuildTree10000x10(benchmark::State& state) {
  for (auto _ : state) {
    StoreFile file;
    BuildTree(*file.store);
  }
}
BENCHMARK(BM_WinregBuildTree10000x10)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WinregWalkTree10000x10(benchmark::State& state) {
  StoreFile file;
  BuildTree(*file.store);
  for (auto _ : state) {
    if (WalkTree(*file.store, "Tree") != 100000) state.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_WinregWalkTree10000x10)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
