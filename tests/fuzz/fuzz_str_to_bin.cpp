// Hex text from arbitrary bytes: StrToBin never fails and yields round(L/2) bytes; valid
// even-length text survives a round trip; any byte string survives BinToStr/StrToBin.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/codepage.h"
#include "platform/registry_names.h"
#include "platform/rounding.h"
#include "registry/hex_text.h"

static void Check(bool ok) {
  if (!ok) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string hex = input;
  const std::string bytes = zbx::HexTextToBytes(hex);
  Check(hex.find(' ') == std::string::npos);
  const std::size_t chars = zbx::Utf8ToAnsi(hex).size();
  Check(bytes.size() == static_cast<std::size_t>(zbx::RoundTo<std::int64_t>(static_cast<double>(chars) / 2.0)));
  if (zbx::IsValidHexText(input) && hex.size() % 2 == 0) {
    std::string back = zbx::BytesToHexText(bytes);  // the blanks go as it is read back
    Check(zbx::HexTextToBytes(back) == bytes && back == zbx::win::UpperName(hex));
  }
  // The input as raw bytes.
  std::string text = zbx::BytesToHexText(input);
  Check(text.size() == input.size() * 3 && zbx::IsValidHexText(text) && zbx::HexTextToBytes(text) == input);
  return 0;
}
