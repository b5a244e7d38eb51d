// Values as a set: KillValue, ValueExists, EnumValues.
#include <algorithm>

#include "platform/codepage.h"
#include "registry/cls_registry_access.h"
#include "registry/reg_key.h"

namespace zbx {
namespace {

constexpr win::DWORD kNameBuffer = 255;
// Room for any value name the registry holds (16383 characters) and its terminating zero.
constexpr win::DWORD kLongNameBuffer = 16384;

struct ValueEntry {
  win::LONG rc;
  std::string name;
  win::DWORD type;
};

// Lists one value's name and type. Its data is not fetched: every listed value is read
// again by name, so the listing neither depends on the data's size nor repeats an entry.
ValueEntry ReadValueEntry(win::RegistryApi& api, win::HKEY key, win::DWORD index, win::DWORD room) {
  std::string buffer(room, ' ');
  win::DWORD size = room;
  win::DWORD type = win::REG_NONE;
  win::DWORD dataSize = 0;
  const win::LONG rc = api.RegEnumValueA(key, index, buffer.data(), &size, nullptr, &type,
                                         nullptr, &dataSize);
  if (rc != win::ERROR_SUCCESS) return {rc, {}, win::REG_NONE};
  return {rc, buffer.substr(0, std::min(size, room)), type};
}

}  // namespace

std::int32_t clsRegistryAccess::KillValue(const std::string& sPath, const std::string& sName) {
  ParseInto(sPath);
  RegKey key(api_);
  if (key.OpenEx(lRootKey, sSubKey, win::KEY_WRITE) != win::ERROR_SUCCESS) return 0;
  lKeyHandle = key.get();
  const std::string name = Utf8ToAnsi(sName);
  api_.RegDeleteValueA(key.get(), name.c_str());  // a missing value is no failure here
  return static_cast<std::int32_t>(lKeyHandle);
}

std::int16_t clsRegistryAccess::ValueExists(const std::string& sPath, const std::string& sName) {
  ParseInto(sPath);
  RegKey key(api_);
  if (key.OpenEx(lRootKey, sSubKey, win::KEY_READ) != win::ERROR_SUCCESS) return kFalse;
  lKeyHandle = key.get();
  // A query for the size only: succeeds for an existing value of any length.
  win::DWORD type = 0;
  win::DWORD size = 1;
  const std::string name = Utf8ToAnsi(sName);
  const win::LONG rc = api_.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  return rc == win::ERROR_SUCCESS ? kTrue : kFalse;
}

std::int32_t clsRegistryAccess::EnumValues(const std::string& sPath, std::vector<std::string>& sName,
                                           std::vector<RegValue>& sValue, std::int32_t OnlyType) {
  std::string path = Utf8ToAnsi(sPath);
  ParsePath(path, sSubKey, lRootKey);
  // The values are read back through the class's own reads, by the short-root path.
  const std::string readPath = AnsiToUtf8(path);
  RegKey key(api_);  // a handle of its own: the reads below reuse the working fields
  if (key.Open(lRootKey, sSubKey) != win::ERROR_SUCCESS) return -1;
  std::int32_t count = 0;
  for (win::DWORD index = 0;; ++index) {
    ValueEntry entry = ReadValueEntry(api_, key.get(), index, kNameBuffer);
    if (entry.rc == win::ERROR_NO_MORE_ITEMS) break;
    // A failing entry still counts; a name too long for the buffer is read again with room.
    if (entry.rc == win::ERROR_MORE_DATA) entry = ReadValueEntry(api_, key.get(), index, kLongNameBuffer);
    if (OnlyType == -1 || static_cast<win::DWORD>(OnlyType) == entry.type) {
      const auto at = static_cast<std::size_t>(count);
      sName.resize(at + 1);
      sValue.resize(at + 1);  // an entry already there stays unless overwritten below
      sName[at] = AnsiToUtf8(entry.name);
      if (entry.type == win::REG_BINARY) sValue[at] = ReadBinary(readPath, sName[at]);
      else if (entry.type == win::REG_DWORD) sValue[at] = ReadDWORD(readPath, sName[at], -1);
      else if (entry.type == win::REG_SZ) sValue[at] = ReadString(readPath, sName[at]);
      ++count;
    }
    // Any other failure would repeat for every further index: the listing stops there.
    if (entry.rc != win::ERROR_SUCCESS) break;
  }
  return count;
}

}  // namespace zbx
