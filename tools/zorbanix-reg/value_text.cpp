#include "value_text.h"

#include <cstdint>

#include "platform/codepage.h"
#include "registry/hex_text.h"
#include "registry/reg_key.h"
#include "registry/registry_path.h"

namespace zbx::tool {
namespace {

// The value's type, straight from the store (the class reports data, not types).
bool QueryType(win::RegistryApi& api, const std::string& path, const std::string& name, win::DWORD& type) {
  std::string ansiPath = Utf8ToAnsi(path), subKey;
  const win::HKEY root = ParseRegistryPath(ansiPath, subKey);
  RegKey key(api);
  if (key.OpenEx(root, subKey, win::KEY_READ) != win::ERROR_SUCCESS) return false;
  win::DWORD size = 0;
  const std::string ansiName = Utf8ToAnsi(name);
  return api.RegQueryValueExA(key.get(), ansiName.c_str(), nullptr, &type, nullptr, &size) ==
         win::ERROR_SUCCESS;
}

}  // namespace

bool ReadValueData(clsRegistryAccess& reg, win::RegistryApi& api, const std::string& path,
                   const std::string& name, ValueData& out) {
  if (!QueryType(api, path, name, out.type)) return false;
  // ReadBinary gives every byte of any type, without the limits of the string read.
  std::string hex = reg.ReadBinary(path, name);
  out.bytes = reg.StrToBin(hex);
  return true;
}

std::string TypeName(win::DWORD type) {
  switch (type) {
    case win::REG_NONE: return "none";
    case win::REG_SZ: return "string";
    case win::REG_EXPAND_SZ: return "expand-string";
    case win::REG_BINARY: return "binary";
    case win::REG_DWORD: return "dword";
    case win::REG_MULTI_SZ: return "multi-string";
    default: return "type " + std::to_string(type);
  }
}

std::string DataText(const ValueData& value) {
  const std::string& b = value.bytes;
  if (value.type == win::REG_SZ || value.type == win::REG_EXPAND_SZ) return AnsiToUtf8(b.substr(0, b.find('\0')));
  if (value.type == win::REG_MULTI_SZ) return AnsiToUtf8(b);
  if (value.type == win::REG_DWORD && b.size() == 4) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<std::uint8_t>(b[static_cast<std::size_t>(i)]);
    return std::to_string(static_cast<std::int32_t>(bits));
  }
  const std::string hex = BytesToHexText(b);  // " 01 0A": one blank before every pair
  return hex.empty() ? hex : hex.substr(1);
}

std::string NameText(const std::string& name) { return name.empty() ? "@" : name; }

}  // namespace zbx::tool
