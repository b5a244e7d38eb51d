#pragma once
// Hex text: byte data written as two hexadecimal digits per byte, separated by blanks
// (" 01 0A FF"). Byte strings hold one char per byte (values 0..255, zero included); they
// are raw data, not UTF-8.
#include <string>
#include <string_view>

namespace zbx {

// Removes every blank from `hex` (the caller's variable changes), then reads the text in
// groups of two characters. An odd last digit is kept or dropped as L/2 rounds (ties to
// even); a group reads its leading hexadecimal digits, none reading as 0. Never fails.
// Characters are counted in code page 1252, so a non-ASCII character is one character.
std::string HexTextToBytes(std::string& hex);

// " 01 0A FF": one blank before every pair, upper-case digits; empty for no bytes.
std::string BytesToHexText(std::string_view bytes);

// True when, blanks removed, only hexadecimal digits (either case) remain; the empty
// text is valid and an odd digit count is not tested.
bool IsValidHexText(std::string_view text);

}  // namespace zbx
