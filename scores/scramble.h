#pragma once
// The character shift that hides the stored score table from casual reading. It works
// on code-page 1252 codes of the characters; text in and out is UTF-8.
#include <string>
#include <string_view>

namespace zbx {

// Each character's code plus 21. A character that has no shifted form (code 235 and
// above, or no code-page code at all) is stored as a "?", so a save never fails.
std::string ScrambleText(std::string_view text);

// Each character's code minus 21; codes below 21 become the character of code 0.
std::string UnscrambleText(std::string_view text);

}  // namespace zbx
