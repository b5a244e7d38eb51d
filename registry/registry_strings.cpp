// String values: WriteString and ReadString.
#include "platform/codepage.h"
#include "registry/cls_registry_access.h"
#include "registry/read_results.h"
#include "registry/reg_key.h"
#include "registry/text_util.h"

namespace zbx {

std::string TextOfStringBuffer(std::string_view buffer) {
  std::string text = TrimBlanks(buffer);
  // A zero-byte value leaves only blanks: that is the empty text, not a failure.
  if (text.empty()) return {};
  text.pop_back();
  return AnsiToUtf8(text);
}

std::int32_t clsRegistryAccess::WriteString(const std::string& sPath, const std::string& sName,
                                            const std::string& sValue) {
  const std::string name = sName == "@" ? std::string() : sName;
  // No terminating zero is stored: the value holds exactly the text's characters.
  return WriteValue(sPath, Utf8ToAnsi(name), win::REG_SZ, Utf8ToAnsi(sValue));
}

std::string clsRegistryAccess::ReadString(const std::string& sPath, const std::string& sName,
                                          const std::string& sDefault) {
  return InOneRead([&]() -> std::string {
    ParseInto(sPath);
    RegKey key(api_);
    if (key.OpenEx(lRootKey, sSubKey, win::KEY_READ) != win::ERROR_SUCCESS) return sDefault;
    lKeyHandle = key.get();
    // A blank-filled buffer: the registry puts a zero behind string data when there is room,
    // and the text up to (not including) that last character is the value.
    std::string buffer(kStringReadBuffer, ' ');
    win::DWORD size = kStringReadBuffer;
    win::DWORD type = win::REG_SZ;
    const std::string name = Utf8ToAnsi(sName);
    const win::LONG rc = api_.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                               reinterpret_cast<win::BYTE*>(buffer.data()), &size);
    key.Close();
    if (rc != win::ERROR_SUCCESS) return sDefault;
    return TextOfStringBuffer(buffer);
  });
}

}  // namespace zbx
