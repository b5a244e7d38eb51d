#pragma once
// What the class's reads make of the bytes a query puts in their buffers, shared by the
// reads by name and the value listing, which takes the same bytes from the listing call.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zbx {

// The read buffer of ReadString (and of a listed value's data): 255 bytes, blank-filled.
inline constexpr std::size_t kStringReadBuffer = 255;

// ReadString's result from its buffer after a successful query: the text with the blanks
// at both ends removed and without its last character (the zero the registry puts behind
// string data), as UTF-8; the empty text when only blanks are left.
std::string TextOfStringBuffer(std::string_view buffer);

// ReadDWORD's result from data of at most 4 bytes (see win::DwordOfBytes).
std::int32_t DwordOfData(std::string_view data);

}  // namespace zbx
