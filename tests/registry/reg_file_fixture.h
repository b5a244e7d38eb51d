#pragma once
// Registry tests that write and read .reg files in a temporary folder.
#include <fstream>
#include <string>

#include "registry/registry_fixture.h"
#include "registry/run_program.h"
#include "registry/temp_dir.h"

namespace zbx::test {

class RegFileTest : public RegistryTest {
 protected:
  TempDir dir;

  std::string FileText(const std::string& name) { return Slurp(dir / name); }
  // Writes bytes exactly as given (no newline translation).
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return dir / name;
  }
};

// A sink that records what the export shows, and can fail on a given key.
class RecordingOutput : public RegExportOutput {
 public:
  std::vector<std::string> events;
  int failOnKey = 0;  // 1-based; 0 never fails

  void DoEvents() override {
    events.push_back("events");
    if (failOnKey != 0 && static_cast<int>(events.size() + 1) / 2 == failOnKey)
      throw std::runtime_error("sink failed");
  }
  void SetText(const std::string& keyPath) override { events.push_back(keyPath); }
};

}  // namespace zbx::test
