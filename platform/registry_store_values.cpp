// Querying, setting, deleting and enumerating values.
#include <cstring>

#include "platform/registry_names.h"
#include "platform/registry_store.h"
#include "platform/registry_value_type.h"

namespace zbx::win {
namespace {

// Hands value data to the caller the registry's way: a null buffer asks for the size
// only; a buffer too small is left untouched and told the size needed; string data
// that does not already end with a zero byte gets one behind it when the buffer has
// room, not counted in the size.
LONG CopyData(DWORD type, const BYTE* src, std::size_t size, LPBYTE lpData, LPDWORD lpcbData) {
  const auto needed = static_cast<DWORD>(size);
  if (lpData == nullptr) {
    if (lpcbData != nullptr) *lpcbData = needed;
    return ERROR_SUCCESS;
  }
  if (*lpcbData < needed) {
    *lpcbData = needed;
    return ERROR_MORE_DATA;
  }
  if (size > 0) {
    std::memcpy(lpData, src, size);
    if (IsStringData(type) && *lpcbData > needed && src[size - 1] != 0) lpData[size] = 0;
  }
  *lpcbData = needed;
  return ERROR_SUCCESS;
}

}  // namespace

LONG SqliteRegistry::RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  return Guarded([&]() -> LONG {
    const OpenKey* key = handles_.Find(hKey);
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr))
      return ERROR_INVALID_PARAMETER;
    if ((key->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    std::string_view name;
    // No value can have a name beyond the limit: there is none to find.
    if (CheckValueName(lpValueName, name) != ERROR_SUCCESS) return Alive(*key) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const std::string upper = UpperName(name);
    sql::Step step(sql_[Sql::ValueByName]);
    step.Bind(1, key->id).BindText(2, upper);
    if (!step.Next()) return Alive(*key) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const auto type = static_cast<DWORD>(step.Int(0));
    if (lpType != nullptr) *lpType = type;
    return CopyData(type, step.BlobData(1), step.BlobSize(1), lpData, lpcbData);
  });
}

LONG SqliteRegistry::RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/,
                                    DWORD dwType, const BYTE* lpData, DWORD cbData) {
  return Guarded([&]() -> LONG {
    const OpenKey* key = handles_.Find(hKey);
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    if ((key->access & KEY_SET_VALUE) == 0 || ReadOnly()) return ERROR_ACCESS_DENIED;
    if (lpData == nullptr && cbData > 0) return ERROR_NOACCESS;  // as for any data it cannot read
    std::string_view name;
    if (LONG rc = CheckValueName(lpValueName, name); rc != ERROR_SUCCESS) return rc;
    // A zero right behind the counted bytes of string data is a terminator the caller
    // forgot to count: Windows stores it too.
    if (IsStringData(dwType) && cbData > 0 && lpData[cbData - 1] != 0 && lpData[cbData] == 0) ++cbData;
    const std::string upper = UpperName(name);
    WriteTransaction transaction(sql_, true);
    if (!Alive(*key)) return ERROR_KEY_DELETED;
    sql::Step set(sql_[Sql::SetValue]);
    set.Bind(1, key->id).BindText(2, name).BindText(3, upper).Bind(4, dwType);
    set.BindBlob(5, lpData, cbData).Run();
    Commit(transaction);
    return ERROR_SUCCESS;
  });
}

LONG SqliteRegistry::RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  return Guarded([&]() -> LONG {
    const OpenKey* key = handles_.Find(hKey);
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    if ((key->access & KEY_SET_VALUE) == 0 || ReadOnly()) return ERROR_ACCESS_DENIED;
    std::string_view name;
    if (CheckValueName(lpValueName, name) != ERROR_SUCCESS) return Alive(*key) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const std::string upper = UpperName(name);
    WriteTransaction transaction(sql_, true);
    if (!Alive(*key)) return ERROR_KEY_DELETED;
    sql::Step(sql_[Sql::DeleteValue]).Bind(1, key->id).BindText(2, upper).Run();
    if (sqlite3_changes(db_.get()) == 0) return ERROR_FILE_NOT_FOUND;
    Commit(transaction);
    return ERROR_SUCCESS;
  });
}

LONG SqliteRegistry::RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName,
                                   LPDWORD lpcchValueName, LPDWORD lpReserved, LPDWORD lpType,
                                   LPBYTE lpData, LPDWORD lpcbData) {
  return Guarded([&]() -> LONG {
    OpenKey* key = handles_.Find(hKey);
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    if (lpValueName == nullptr || lpcchValueName == nullptr || lpReserved != nullptr ||
        (lpData != nullptr && lpcbData == nullptr))
      return ERROR_INVALID_PARAMETER;
    if ((key->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const auto row = ValueAt(*key, dwIndex);
    if (!row) return Alive(*key) ? ERROR_NO_MORE_ITEMS : ERROR_KEY_DELETED;
    // The size counts characters and must leave room for the terminating zero.
    if (*lpcchValueName < row->name.size() + 1) return ERROR_MORE_DATA;
    std::memcpy(lpValueName, row->name.data(), row->name.size());
    lpValueName[row->name.size()] = '\0';
    *lpcchValueName = static_cast<DWORD>(row->name.size());
    if (lpType != nullptr) *lpType = row->type;
    return CopyData(row->type, row->data.data(), row->data.size(), lpData, lpcbData);
  });
}

std::optional<SqliteRegistry::ValueRow> SqliteRegistry::ReadValue(sql::Step& step) {
  if (!step.Next()) return std::nullopt;
  ValueRow row;
  row.id = step.Int(0);
  row.name = std::string(step.Text(1));
  row.type = static_cast<DWORD>(step.Int(2));
  const BYTE* data = step.BlobData(3);
  row.data.assign(data, data + step.BlobSize(3));
  return row;
}

// The value at an index in creation order, continuing from the last one returned
// through this handle when the indices are walked one after the other.
std::optional<SqliteRegistry::ValueRow> SqliteRegistry::ValueAt(OpenKey& key, DWORD index) {
  EnumCursor& cursor = key.values;
  if (CursorUsable(cursor, index)) {
    sql::Step step(sql_[Sql::ValueAfter]);
    step.Bind(1, key.id).Bind(2, cursor.lastId);
    auto row = ReadValue(step);
    if (DataVersion() == cursor.dataVersion) {
      if (row) {
        cursor.lastId = row->id;
        Remember(cursor, index);
      }
      return row;
    }
  }
  sql::Step step(sql_[Sql::ValueAt]);
  step.Bind(1, key.id).Bind(2, index);
  auto row = ReadValue(step);
  cursor.valid = false;
  if (row) {
    cursor.lastId = row->id;
    Remember(cursor, index);
  }
  return row;
}

}  // namespace zbx::win
