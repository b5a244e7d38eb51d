// The stored score table is outside text: unscrambling and parsing must take anything,
// and whatever table comes out must survive a save and a load unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "scores/scramble.h"
#include "scores/table_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view stored(reinterpret_cast<const char*>(data), size);
  const zbx::HighScoreTable table = zbx::ParseTableText(zbx::UnscrambleText(stored));
  const std::string saved = zbx::ScrambleText(zbx::BuildTableText(table));
  const zbx::HighScoreTable again = zbx::ParseTableText(zbx::UnscrambleText(saved));
  // A second save must be a fixed point: the first may only have replaced characters
  // that cannot be stored.
  if (zbx::ParseTableText(zbx::UnscrambleText(zbx::ScrambleText(zbx::BuildTableText(again)))) != again)
    std::abort();
  return 0;
}
