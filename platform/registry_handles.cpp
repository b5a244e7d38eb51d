#include "platform/registry_handles.h"

#include <algorithm>
#include <utility>

namespace zbx::win {
namespace {

// Handles are handed out in steps of 4 from here and never reach the predefined range,
// so a handle closed long ago is not soon handed out again.
constexpr HKEY kFirstHandle = 0x00010000u;
constexpr HKEY kHandleStep = 4;

}  // namespace

HandleTable::HandleTable() : next_(kFirstHandle) {
  for (int i = 0; i < kRootCount; ++i) {
    roots_[i].id = RootId(i);
    roots_[i].path = RootPath(i);
    roots_[i].root = true;
  }
}

OpenKey* HandleTable::Find(HKEY handle) {
  // Performance data is no key: below it nothing is stored, and no call but closing it
  // (and opening it as itself) takes it.
  if (handle == HKEY_PERFORMANCE_DATA) return nullptr;
  if (IsRoot(handle)) return &roots_[handle - HKEY_CLASSES_ROOT];
  auto it = open_.find(handle);
  return it == open_.end() ? nullptr : &it->second;
}

HKEY HandleTable::Open(std::int64_t id, std::string path, REGSAM access) {
  HKEY handle = next_;
  while (open_.count(handle) != 0 || handle == 0 || handle >= HKEY_CLASSES_ROOT) {
    handle += kHandleStep;
    if (handle >= HKEY_CLASSES_ROOT) handle = kFirstHandle;
  }
  next_ = handle + kHandleStep;
  if (next_ >= HKEY_CLASSES_ROOT) next_ = kFirstHandle;
  OpenKey& key = open_[handle];
  key.id = id;
  key.depth = static_cast<int>(std::count(path.begin(), path.end(), '\\'));
  key.path = std::move(path);
  key.access = access;
  return handle;
}

LONG HandleTable::Close(HKEY handle) {
  if (IsRoot(handle)) return ERROR_SUCCESS;
  return open_.erase(handle) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace zbx::win
