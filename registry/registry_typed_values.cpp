// 32-bit and byte values, and the hex text conversions.
#include <algorithm>
#include <array>

#include "platform/codepage.h"
#include "platform/registry_value_type.h"
#include "registry/cls_registry_access.h"
#include "registry/hex_text.h"
#include "registry/read_results.h"
#include "registry/reg_key.h"

namespace zbx {

std::int32_t clsRegistryAccess::WriteDWORD(const std::string& sPath, const std::string& sName,
                                           std::int32_t lValue) {
  return WriteValue(sPath, Utf8ToAnsi(sName), win::REG_DWORD, win::DwordBytes(static_cast<std::uint32_t>(lValue)));
}

std::int32_t clsRegistryAccess::ReadDWORD(const std::string& sPath, const std::string& sName,
                                          std::int32_t lDefault) {
  return InOneRead([&]() -> std::int32_t {
    ParseInto(sPath);
    RegKey key(api_);
    if (key.OpenEx(lRootKey, sSubKey, win::KEY_READ) != win::ERROR_SUCCESS) return lDefault;
    lKeyHandle = key.get();
    // The type is not compared: shorter data read as the low bytes, longer data fail.
    std::array<char, win::kDwordSize> buffer{};
    win::DWORD size = win::kDwordSize;
    win::DWORD type = win::REG_DWORD;
    const std::string name = Utf8ToAnsi(sName);
    const win::LONG rc = api_.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                               reinterpret_cast<win::BYTE*>(buffer.data()), &size);
    key.Close();
    if (rc != win::ERROR_SUCCESS) return lDefault;
    return DwordOfData(std::string_view(buffer.data(), buffer.size()));
  });
}

std::int32_t DwordOfData(std::string_view data) { return static_cast<std::int32_t>(win::DwordOfBytes(data)); }

std::int32_t clsRegistryAccess::WriteBinary(const std::string& sPath, const std::string& sName,
                                            const std::string& sValue) {
  std::string hex = sValue;  // not validated: what cannot be read becomes zero bytes
  const std::string bytes = StrToBin(hex);
  return WriteValue(sPath, Utf8ToAnsi(sName), win::REG_BINARY, bytes);
}

std::string clsRegistryAccess::ReadBinary(const std::string& sPath, const std::string& sName,
                                          const std::string& sDefault) {
  return InOneRead([&]() -> std::string {
    ParseInto(sPath);
    RegKey key(api_);
    if (key.OpenEx(lRootKey, sSubKey, win::KEY_READ) != win::ERROR_SUCCESS) return sDefault;
    lKeyHandle = key.get();
    const std::string name = Utf8ToAnsi(sName);
    // Ask for the size with a one-byte buffer, then read that many bytes.
    win::BYTE probe = '0';
    win::DWORD size = 1;
    win::DWORD type = win::REG_BINARY;
    api_.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, &probe, &size);
    std::string buffer(size, ' ');
    type = win::REG_BINARY;
    const win::LONG rc = api_.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                               reinterpret_cast<win::BYTE*>(buffer.data()), &size);
    key.Close();
    if (rc != win::ERROR_SUCCESS) return sDefault;
    // Exactly the bytes returned: blanks (byte 32) at either end are data too.
    buffer.resize(std::min<std::size_t>(size, buffer.size()));
    return BinToStr(buffer);
  });
}

std::string clsRegistryAccess::StrToBin(std::string& sBin) { return HexTextToBytes(sBin); }

std::string clsRegistryAccess::BinToStr(const std::string& sStr) { return BytesToHexText(sStr); }

std::int16_t clsRegistryAccess::isBinValid(const std::string& sBin) {
  return IsValidHexText(sBin) ? kTrue : kFalse;
}

}  // namespace zbx
