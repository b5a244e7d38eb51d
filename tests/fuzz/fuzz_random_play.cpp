// Play driven by the fuzzer's bytes: each choice of the random player (tests/support/
// random_play.h) takes two bytes, so the fuzzer steers the sequence step by step; a
// broken rule aborts naming it and its step.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/random_play.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 0;
  const auto below = [&](int n) {
    if (at + 2 > size) return 0;
    const unsigned value = data[at] | (data[at + 1] << 8);
    at += 2;
    return static_cast<int>(value % static_cast<unsigned>(n));
  };
  const int length = static_cast<int>(std::min<std::size_t>(size / 8, 300));
  const std::string broken = zbx::test::play::Play(zbx::test::play::DrawSequence(below, length));
  if (!broken.empty()) {
    std::fprintf(stderr, "%s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
