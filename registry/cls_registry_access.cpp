// The object, its switch, path parsing and the shared write pattern.
#include "registry/cls_registry_access.h"

#include "platform/codepage.h"
#include "registry/reg_key.h"
#include "registry/registry_path.h"

namespace zbx {

clsRegistryAccess::clsRegistryAccess() : clsRegistryAccess(win::SharedDefaultRegistry()) {}

clsRegistryAccess::clsRegistryAccess(std::shared_ptr<win::RegistryApi> api) : owned_(std::move(api)), api_(*owned_) {}

clsRegistryAccess::clsRegistryAccess(win::RegistryApi& api) : api_(api) {}

void clsRegistryAccess::CreateKeyIfDoesntExists(std::int16_t offon) { createKeyIfDoesntExists_ = offon; }

std::int16_t clsRegistryAccess::CreateKeyIfDoesntExists() const { return createKeyIfDoesntExists_; }

void clsRegistryAccess::ParsePath(std::string& path, std::string& subKey, win::HKEY& rootKey) {
  rootKey = ParseRegistryPath(path, subKey);
}

void clsRegistryAccess::ParseInto(const std::string& sPath) {
  // The calls of one operation (and the values of one key in a row) parse the same path:
  // the last one's parts are kept.
  if (!parsed_.valid || sPath != parsed_.from) {
    parsed_.valid = false;
    std::string path = Utf8ToAnsi(sPath);
    ParsePath(path, parsed_.subKey, parsed_.rootKey);
    parsed_.from = sPath;
    parsed_.valid = true;
  }
  sSubKey = parsed_.subKey;
  lRootKey = parsed_.rootKey;
}

bool clsRegistryAccess::EnsureKeyForWrite(const std::string& sPath) {
  if (KeyExists(sPath) != kFalse) return true;
  if (createKeyIfDoesntExists_ != kTrue) return false;
  CreateKey(sPath);  // a failure here shows when the key is opened for writing
  return true;
}

std::int32_t clsRegistryAccess::WriteValue(const std::string& sPath, const std::string& ansiName,
                                           win::DWORD type, const std::string& data) {
  std::int32_t handle = 0;
  const win::LONG committed = api_.Bulk([&] {
    handle = EnsureKeyForWrite(sPath) ? SetValue(sPath, ansiName, type, data) : 0;
    return win::ERROR_SUCCESS;
  });
  return committed == win::ERROR_SUCCESS ? handle : 0;
}

std::int32_t clsRegistryAccess::SetValue(const std::string& sPath, const std::string& ansiName,
                                         win::DWORD type, const std::string& data) {
  ParseInto(sPath);
  RegKey key(api_);
  if (key.OpenEx(lRootKey, sSubKey, win::KEY_WRITE) != win::ERROR_SUCCESS) return 0;
  lKeyHandle = key.get();
  // Exactly the bytes given: no terminator is stored behind a text.
  const win::LONG rc = win::SetValueBytes(api_, key.get(), ansiName.c_str(), type, data);
  return rc == win::ERROR_SUCCESS ? static_cast<std::int32_t>(lKeyHandle) : 0;
}

}  // namespace zbx
