// Values as a set: KillValue, ValueExists, EnumValues.
#include <algorithm>

#include "platform/codepage.h"
#include "platform/registry_value_type.h"
#include "registry/cls_registry_access.h"
#include "registry/read_results.h"
#include "registry/reg_key.h"

namespace zbx {
namespace {

// Room for any value name the registry holds (16383 characters) and its terminating zero.
constexpr win::DWORD kNameBuffer = 16384;

// Lists the values of one open key: each call gives a value's name, its type and, when
// they fit the 255 bytes of a read's buffer, its data, left in that buffer just as a query
// by name would leave it.
class ValueLister {
 public:
  ValueLister(win::RegistryApi& api, win::HKEY key)
      : api_(api), key_(key), name_(kNameBuffer, ' '), data_(kStringReadBuffer, ' ') {}

  // rc: the listing call's result; ERROR_MORE_DATA: data too long for the buffer.
  win::LONG List(win::DWORD index, bool withData = true) {
    std::fill(data_.begin(), data_.end(), ' ');
    nameSize_ = kNameBuffer;
    dataSize_ = static_cast<win::DWORD>(data_.size());
    type_ = win::REG_NONE;
    const win::LONG rc = api_.RegEnumValueA(key_, index, name_.data(), &nameSize_, nullptr, &type_,
                                            withData ? reinterpret_cast<win::BYTE*>(data_.data()) : nullptr,
                                            &dataSize_);
    if (rc != win::ERROR_SUCCESS && rc != win::ERROR_MORE_DATA) type_ = win::REG_NONE;
    return rc;
  }
  std::string Name() const { return AnsiToUtf8(std::string_view(name_).substr(0, std::min(nameSize_, kNameBuffer))); }
  win::DWORD Type() const { return type_; }
  const std::string& Buffer() const { return data_; }
  std::string_view Data() const { return std::string_view(data_).substr(0, std::min<std::size_t>(dataSize_, data_.size())); }

 private:
  win::RegistryApi& api_;
  win::HKEY key_;
  std::string name_, data_;
  win::DWORD nameSize_ = 0, dataSize_ = 0, type_ = win::REG_NONE;
};

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
  return InOneRead([&]() -> std::int16_t {
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
  });
}

std::int32_t clsRegistryAccess::EnumValues(const std::string& sPath, std::vector<std::string>& sName,
                                           std::vector<RegValue>& sValue, std::int32_t OnlyType) {
  std::vector<ListedValue> listed;
  std::int32_t count = -1;
  // One state of the store for the whole listing.
  api_.Snapshot([&] {
    count = ListValues(sPath, OnlyType, listed);
    return win::ERROR_SUCCESS;
  });
  if (count <= 0) return count;
  const auto n = static_cast<std::size_t>(count);
  sName.resize(n);
  sValue.resize(n);  // an entry already there stays unless a value of a read type replaces it
  for (std::size_t i = 0; i < n; ++i) {
    sName[i] = std::move(listed[i].name);
    if (!std::holds_alternative<std::monostate>(listed[i].value)) sValue[i] = std::move(listed[i].value);
  }
  return count;
}

std::int32_t clsRegistryAccess::ListValues(const std::string& sPath, std::int32_t onlyType,
                                           std::vector<ListedValue>& listed) {
  std::string path = Utf8ToAnsi(sPath);
  ParsePath(path, sSubKey, lRootKey);
  // Values too long for the listing's buffer are read by name, by the short-root path.
  const std::string readPath = AnsiToUtf8(path);
  RegKey key(api_);  // a handle of its own: the reads by name reuse the working fields
  if (key.Open(lRootKey, sSubKey) != win::ERROR_SUCCESS) return -1;
  ValueLister lister(api_, key.get());
  std::int32_t count = 0;
  for (win::DWORD index = 0;; ++index) {
    win::LONG rc = lister.List(index);
    if (rc == win::ERROR_NO_MORE_ITEMS) break;
    // The name always fits: more data means data beyond the buffer. List the name and type
    // alone then, and read the value by name as its read gives it.
    const bool fits = rc != win::ERROR_MORE_DATA;
    if (!fits) rc = lister.List(index, false);
    const win::DWORD type = lister.Type();
    if (onlyType == -1 || static_cast<win::DWORD>(onlyType) == type) {
      ListedValue entry{rc == win::ERROR_SUCCESS ? lister.Name() : std::string(), type, {}};
      switch (win::KindOf(type)) {
        case win::ValueKind::String:
          entry.value = fits ? TextOfStringBuffer(lister.Buffer()) : ReadString(readPath, entry.name);
          break;
        case win::ValueKind::Dword:
          entry.value = fits && lister.Data().size() <= win::kDwordSize ? DwordOfData(lister.Data())
                                                                       : ReadDWORD(readPath, entry.name, -1);
          break;
        case win::ValueKind::Binary:
          entry.value = fits ? BinToStr(std::string(lister.Data())) : ReadBinary(readPath, entry.name);
          break;
        case win::ValueKind::Other:
          break;
      }
      listed.push_back(std::move(entry));
      ++count;
    }
    // Any other failure would repeat for every further index: the listing stops there.
    if (rc != win::ERROR_SUCCESS) break;
  }
  return count;
}

}  // namespace zbx
