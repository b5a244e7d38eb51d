#pragma once
// Registry paths: a root name, long ("HKEY_LOCAL_MACHINE") or short ("HKLM"), then "\" and a
// sub-key path. These work on code-page text (one char per character), the form the class
// hands to the registry API.
#include <string>

#include "platform/winreg.h"

namespace zbx {

// Replaces every long root name by its short form, anywhere in `path` and ignoring case
// (so also inside sub-key names), then splits it: the root is named by the first four
// characters before the first "\" (or by the whole path when it has none), the sub-key is
// everything after that "\". Returns the root handle, 0 for an unknown root. `path` is
// left holding the rewritten text.
win::HKEY ParseRegistryPath(std::string& path, std::string& subKey);

// Replaces every short root name by its long form, anywhere in `path`, ignoring case.
std::string ExpandRootNames(std::string path);

}  // namespace zbx
