// Hex text from arbitrary bytes: the conversion never fails and yields round(L/2) bytes;
// valid even-length text and any byte string survive a round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/codepage.h"
#include "platform/registry_names.h"
#include "platform/rounding.h"
#include "registry/hex_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string hex = input;
  const std::string bytes = zbx::HexTextToBytes(hex);
  const double chars = static_cast<double>(zbx::Utf8ToAnsi(hex).size());
  bool ok = hex.find(' ') == std::string::npos &&
            bytes.size() == static_cast<std::size_t>(zbx::RoundTo<std::int64_t>(chars / 2.0));
  if (zbx::IsValidHexText(input) && hex.size() % 2 == 0) {
    std::string back = zbx::BytesToHexText(bytes);
    ok = ok && zbx::HexTextToBytes(back) == bytes && back == zbx::win::UpperName(hex);
  }
  std::string text = zbx::BytesToHexText(input);
  ok = ok && text.size() == input.size() * 3 && zbx::IsValidHexText(text) && zbx::HexTextToBytes(text) == input;
  if (!ok) std::abort();
  return 0;
}
