// .reg export of a tree drawn from arbitrary bytes (names and texts over every code page
// 1252 character, pieces of .reg syntax mixed in), imported into another store that holds
// other keys: nothing outside the tree may change, nothing may appear in it that was not
// exported, and nothing the export wrote may be lost. Any break of that aborts.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/registry/export_property.h"

namespace {

// Choices read from the input, one or two bytes each; 0 once it runs out.
class InputChoices : public zbx::export_property::Choices {
 public:
  InputChoices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  unsigned Next(unsigned bound) override {
    if (bound <= 1) return 0;
    unsigned value = Byte();
    if (bound > 256) value = value << 8 | Byte();
    return value % bound;
  }

 private:
  unsigned Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = "/tmp/zbx-fuzz-export-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InputChoices choices(data, size);
  const std::string broken = zbx::export_property::CheckOneTree(choices, Folder());
  if (!broken.empty()) {
    std::fprintf(stderr, "export property broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
