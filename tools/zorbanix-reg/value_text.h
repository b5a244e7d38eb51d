#pragma once
// How the tool shows a value: its data as text (its type by name is win::TypeName).
#include <string>
#include <vector>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

namespace zbx::tool {

struct ValueData {
  win::DWORD type = win::REG_NONE;
  std::string bytes;  // raw data, code page 1252 for text types
};

// The type and exact bytes of a value; false when the key or the value is missing.
bool ReadValueData(clsRegistryAccess& reg, win::RegistryApi& api, const std::string& path,
                   const std::string& name, ValueData& out);

struct NamedValue {
  std::string name;  // UTF-8
  ValueData value;
};
// Every value of a key, in the registry's order, each with its type and exact bytes from
// one listing call; false when the key cannot be opened.
bool ListValueData(win::RegistryApi& api, const std::string& path, std::vector<NamedValue>& out);

// Text for text types (UTF-8; a string ends at its first zero byte, as programs read it:
// other programs store strings with their terminator), decimal for a 4-byte dword, hex
// pairs otherwise.
std::string DataText(const ValueData& value);
// The name as listed: the default value shows as "@".
std::string NameText(const std::string& name);

}  // namespace zbx::tool
