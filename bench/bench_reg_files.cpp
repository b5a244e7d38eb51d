// .reg export and import of a tree of 10,000 keys with 10 values each (100,000 values) on
// store files: seconds per run; building that tree through the class, one committed call
// per value: values per second. And the export of the deepest tree a store allows: 512
// levels, names of 1 and of 255 characters, one value a level.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

namespace {

constexpr const char* kTree = "HKCU\\Software\\BenchTree";
constexpr int kGroups = 100, kKeysPerGroup = 100, kValuesPerKey = 10;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zbx-bench-reg-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string Numbered(std::string text, int n) {
  text += std::to_string(n);
  return text;
}

// 100 groups of 100 keys; each key holds 4 strings, 3 byte values and 3 32-bit values.
void Populate(zbx::clsRegistryAccess& reg) {
  reg.CreateKeyIfDoesntExists(zbx::clsRegistryAccess::kTrue);
  for (int g = 0; g < kGroups; ++g) {
    const std::string group = Numbered(std::string(kTree) + "\\Group", g);
    for (int k = 0; k < kKeysPerGroup; ++k) {
      const std::string key = Numbered(group + "\\Key", k);
      for (int v = 0; v < kValuesPerKey; ++v) {
        const std::string name = Numbered("value", v);
        if (v < 4) reg.WriteString(key, name, Numbered("Player.", g * kKeysPerGroup + k));
        else if (v < 7) reg.WriteBinary(key, name, "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
        else reg.WriteDWORD(key, name, g * 1000 + k);
      }
    }
  }
}

// A populated store and its export, made once for both benchmarks.
struct Fixture {
  TempFolder dir;
  std::shared_ptr<zbx::win::RegistryApi> api = zbx::win::OpenRegistryStore(dir / "source.db");
  zbx::clsRegistryAccess reg{*api};
  std::string file = dir / "tree.reg";
  Fixture() {
    Populate(reg);
    reg.ExportToReg(kTree, file);
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_ExportTree(benchmark::State& state) {
  Fixture& f = Shared();
  const std::string out = f.dir / "export.reg";
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(out.c_str());
    state.ResumeTiming();
    if (f.reg.ExportToReg(kTree, out) != 1) state.SkipWithError("export failed");
  }
  state.SetItemsProcessed(state.iterations() * kGroups * kKeysPerGroup * kValuesPerKey);
}
BENCHMARK(BM_ExportTree)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

void BM_ImportTree(benchmark::State& state) {
  Fixture& f = Shared();
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto api = zbx::win::OpenRegistryStore(f.dir / Numbered("target", run++) + ".db");
    zbx::clsRegistryAccess reg(*api);
    state.ResumeTiming();
    if (reg.ImportFromReg(f.file) != 1) state.SkipWithError("import failed");
  }
  state.SetItemsProcessed(state.iterations() * kGroups * kKeysPerGroup * kValuesPerKey);
}
BENCHMARK(BM_ImportTree)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

void BM_BuildTree(benchmark::State& state) {
  TempFolder dir;
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto api = zbx::win::OpenRegistryStore(dir / Numbered("built", run++) + ".db");
    zbx::clsRegistryAccess reg(*api);
    state.ResumeTiming();
    Populate(reg);
  }
  state.SetItemsProcessed(state.iterations() * kGroups * kKeysPerGroup * kValuesPerKey);
}
BENCHMARK(BM_BuildTree)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

void BM_ExportDeepestTree(benchmark::State& state) {
  TempFolder dir;
  auto api = zbx::win::OpenRegistryStore(dir / "deep.db");
  zbx::clsRegistryAccess reg(*api);
  reg.CreateKeyIfDoesntExists(zbx::clsRegistryAccess::kTrue);
  const std::string name(static_cast<std::size_t>(state.range(0)), 'n');
  std::string path = "HKCU";
  for (int level = 1; level <= zbx::win::kMaxKeyDepth; ++level) {
    path += "\\" + name;
    reg.WriteDWORD(path, "level", level);
  }
  const std::string out = dir / "deep.reg";
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(out.c_str());
    state.ResumeTiming();
    if (reg.ExportToReg("HKCU\\" + name, out) != 1) state.SkipWithError("export failed");
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(out)) / 1e6;
}
BENCHMARK(BM_ExportDeepestTree)->Arg(1)->Arg(255)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
