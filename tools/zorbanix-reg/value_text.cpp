#include "value_text.h"

#include <cstdint>

#include "platform/codepage.h"
#include "platform/registry_value_type.h"
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

bool ListValueData(win::RegistryApi& api, const std::string& path, std::vector<NamedValue>& out) {
  std::string ansiPath = Utf8ToAnsi(path), subKey;
  const win::HKEY root = ParseRegistryPath(ansiPath, subKey);
  RegKey key(api);
  if (key.Open(root, subKey) != win::ERROR_SUCCESS) return false;
  std::string name(16384, '\0'), data(256, '\0');  // room for any value name
  for (win::DWORD index = 0;;) {
    auto nameSize = static_cast<win::DWORD>(name.size()), dataSize = static_cast<win::DWORD>(data.size());
    win::DWORD type = win::REG_NONE;
    const win::LONG rc = api.RegEnumValueA(key.get(), index, name.data(), &nameSize, nullptr, &type,
                                           reinterpret_cast<win::BYTE*>(data.data()), &dataSize);
    if (rc == win::ERROR_MORE_DATA && dataSize > data.size()) {
      data.resize(dataSize);  // the same value again, with room for its data
      continue;
    }
    if (rc != win::ERROR_SUCCESS) return true;
    out.push_back({AnsiToUtf8(name.substr(0, nameSize)), {type, data.substr(0, dataSize)}});
    ++index;
  }
}

std::string DataText(const ValueData& value) {
  const std::string& b = value.bytes;
  // A list of strings is shown whole, its zeros included.
  if (value.type == win::REG_MULTI_SZ) return AnsiToUtf8(b);
  if (win::IsStringData(value.type)) return AnsiToUtf8(b.substr(0, b.find('\0')));
  if (win::KindOf(value.type) == win::ValueKind::Dword && b.size() == win::kDwordSize)
    return std::to_string(static_cast<std::int32_t>(win::DwordOfBytes(b)));
  const std::string hex = BytesToHexText(b);  // " 01 0A": one blank before every pair
  return hex.empty() ? hex : hex.substr(1);
}

std::string NameText(const std::string& name) { return name.empty() ? "@" : name; }

}  // namespace zbx::tool
