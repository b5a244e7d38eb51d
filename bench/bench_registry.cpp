// The registry class on a store file: string writes and reads per second, and listing a
// key of 1000 values.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

namespace {

// A store file in a fresh temporary folder, removed afterwards.
class BenchStore {
 public:
  BenchStore() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zbx-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    api_ = zbx::win::OpenRegistryStore(dir_ + "/registry.db");
    reg_ = std::make_unique<zbx::clsRegistryAccess>(*api_);
    reg_->CreateKeyIfDoesntExists(zbx::clsRegistryAccess::kTrue);
  }
  ~BenchStore() {
    reg_.reset();
    api_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  zbx::clsRegistryAccess& reg() { return *reg_; }

 private:
  std::string dir_;
  std::shared_ptr<zbx::win::RegistryApi> api_;
  std::unique_ptr<zbx::clsRegistryAccess> reg_;
};

std::string Numbered(std::string text, std::int64_t n) {
  text += std::to_string(n);
  return text;
}

constexpr const char* kKey = "HKLM\\System\\CurrentControlSet\\Control\\IDConfigDB";

void BM_WriteString(benchmark::State& state) {
  BenchStore store;
  std::int64_t i = 0;
  for (auto _ : state) {
    const std::string name = Numbered("value", i % 100);
    benchmark::DoNotOptimize(store.reg().WriteString(kKey, name, Numbered("Zorbanix|00500.Player ", i)));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteString)->Unit(benchmark::kMicrosecond);

void BM_ReadString(benchmark::State& state) {
  BenchStore store;
  store.reg().WriteString(kKey, "BIOS config", std::string(200, 'x'));
  for (auto _ : state) benchmark::DoNotOptimize(store.reg().ReadString(kKey, "BIOS config"));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadString)->Unit(benchmark::kMicrosecond);

void BM_EnumValues1000(benchmark::State& state) {
  BenchStore store;
  const std::string key = "HKCU\\Software\\Bench";
  for (int i = 0; i < 1000; ++i) {
    const std::string name = Numbered("v", i);
    if (i % 3 == 0) store.reg().WriteString(key, name, Numbered("text ", i));
    else if (i % 3 == 1) store.reg().WriteDWORD(key, name, i);
    else store.reg().WriteBinary(key, name, "01 02 03 04 05 06 07 08");
  }
  std::vector<std::string> names;
  std::vector<zbx::RegValue> values;
  for (auto _ : state) benchmark::DoNotOptimize(store.reg().EnumValues(key, names, values));
  state.SetItemsProcessed(state.iterations() * 1000);  // values listed per second
}
BENCHMARK(BM_EnumValues1000)->Unit(benchmark::kMillisecond);

}  // namespace
