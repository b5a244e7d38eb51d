// Keys: CreateKey, KillKey, KeyExists, EnumKeys.
#include <algorithm>

#include "platform/codepage.h"
#include "registry/cls_registry_access.h"
#include "registry/reg_key.h"

namespace zbx {
namespace {

constexpr win::DWORD kNameBuffer = 255;
// Room for any key name the registry holds (255 characters) and its terminating zero.
constexpr win::DWORD kLongNameBuffer = 1024;

// One entry of a sub-key listing: the call's result and the name it produced.
struct KeyEntry {
  win::LONG rc;
  std::string name;
};

KeyEntry ReadKeyEntry(win::RegistryApi& api, win::HKEY key, win::DWORD index, win::DWORD room) {
  std::string buffer(room, ' ');
  win::DWORD size = room;
  const win::LONG rc = api.RegEnumKeyExA(key, index, buffer.data(), &size, nullptr, nullptr,
                                         nullptr, nullptr);
  if (rc != win::ERROR_SUCCESS) return {rc, {}};
  return {rc, buffer.substr(0, std::min(size, room))};
}

}  // namespace

std::int32_t clsRegistryAccess::CreateKey(const std::string& sPath) {
  ParseInto(sPath);
  RegKey key(api_);
  if (key.Create(lRootKey, sSubKey) != win::ERROR_SUCCESS) return 0;
  lKeyHandle = key.get();
  return static_cast<std::int32_t>(lKeyHandle);
}

std::int32_t clsRegistryAccess::KillKey(const std::string& sPath) {
  ParseInto(sPath);
  RegKey key(api_);
  if (key.OpenEx(lRootKey, sSubKey, win::KEY_ALL_ACCESS) != win::ERROR_SUCCESS) return 0;
  lKeyHandle = key.get();
  // A refused deletion (a key with sub-keys, a root) leaves the key in place: report it.
  if (api_.RegDeleteKeyA(key.get(), "") != win::ERROR_SUCCESS) return 0;
  return static_cast<std::int32_t>(lKeyHandle);
}

std::int16_t clsRegistryAccess::KeyExists(const std::string& sPath) {
  ParseInto(sPath);
  RegKey key(api_);
  if (key.OpenEx(lRootKey, sSubKey, win::KEY_ALL_ACCESS) != win::ERROR_SUCCESS) return kFalse;
  lKeyHandle = key.get();
  return kTrue;
}

std::int32_t clsRegistryAccess::EnumKeys(const std::string& sPath, std::vector<std::string>& Key) {
  std::int32_t count = -1;
  // One state of the store for the whole listing.
  api_.Snapshot([&] {
    count = ListKeys(sPath, Key);
    return win::ERROR_SUCCESS;
  });
  return count;
}

std::int32_t clsRegistryAccess::ListKeys(const std::string& sPath, std::vector<std::string>& Key) {
  ParseInto(sPath);
  RegKey key(api_);
  if (key.Open(lRootKey, sSubKey) != win::ERROR_SUCCESS) return -1;
  lKeyHandle = key.get();
  std::int32_t count = 0;
  for (;;) {
    const auto index = static_cast<win::DWORD>(count);
    KeyEntry entry = ReadKeyEntry(api_, key.get(), index, kNameBuffer);
    if (entry.rc == win::ERROR_NO_MORE_ITEMS) break;
    // A failing entry still counts. A name too long for the buffer is read again with room
    // enough, so that the entry names the real sub-key.
    if (entry.rc == win::ERROR_MORE_DATA) entry = ReadKeyEntry(api_, key.get(), index, kLongNameBuffer);
    Key.resize(static_cast<std::size_t>(count) + 1);
    Key[static_cast<std::size_t>(count)] = AnsiToUtf8(entry.name);
    ++count;
    // Any other failure (the key deleted meanwhile, a broken store) would repeat for every
    // further index and never reach the end: the listing stops there.
    if (entry.rc != win::ERROR_SUCCESS) break;
  }
  return count;
}

}  // namespace zbx
