#pragma once
// Key and value names of the registry store: single-byte code page 1252 text, compared
// without regard to case through their upper-cased form, with the registry's limits.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/winreg.h"

namespace zbx::win {

inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// The upper-case form of a code page 1252 byte (letters with accents included).
char UpperAnsi(char c);
// The upper-cased form of a name, the key that lookups and ordering go by.
std::string UpperName(std::string_view name);

// Splits a sub-key path into its names. Empty components (doubled or trailing
// backslashes) are skipped, so "" and nullptr give no names. A leading backslash gives
// ERROR_BAD_PATHNAME, a name over kMaxKeyNameLength ERROR_INVALID_PARAMETER.
LONG SplitKeyPath(LPCSTR subKey, std::vector<std::string_view>& names);

// The upper-cased path of a key below a parent with the given upper-cased path: the
// form in which keys are looked up.
std::string ChildPath(std::string_view parentPath, const std::vector<std::string_view>& names);
void AppendChildPath(std::string& path, std::string_view name);

// ERROR_INVALID_PARAMETER for a value name over kMaxValueNameLength, else success;
// nullptr is the default (unnamed) value.
LONG CheckValueName(LPCSTR name, std::string_view& out);

}  // namespace zbx::win
