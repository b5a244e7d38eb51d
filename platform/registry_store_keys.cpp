// Opening, creating, deleting and enumerating keys.
#include <cstring>

#include "platform/registry_names.h"
#include "platform/registry_store.h"

namespace zbx::win {

LONG SqliteRegistry::RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/,
                                   REGSAM samDesired, PHKEY phkResult) {
  return Guarded([&]() -> LONG {
    // A root opened itself is the root, with all its rights, as on Windows.
    if (phkResult != nullptr && (lpSubKey == nullptr || *lpSubKey == '\0') && HandleTable::IsRoot(hKey)) {
      *phkResult = hKey;
      return ERROR_SUCCESS;
    }
    return OpenKeyLocked(hKey, lpSubKey, samDesired, phkResult);
  });
}

LONG SqliteRegistry::RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  return Guarded([&]() -> LONG {
    // No sub-key: the very handle passed in comes back, not a new one.
    if (phkResult != nullptr && (lpSubKey == nullptr || *lpSubKey == '\0')) {
      *phkResult = HandleTable::IsRoot(hKey) ? hKey : 0;
      if (HandleTable::IsRoot(hKey)) return ERROR_SUCCESS;
      const OpenKey* base = handles_.Find(hKey);
      if (base == nullptr) return ERROR_INVALID_HANDLE;
      if (!Alive(*base)) return ERROR_KEY_DELETED;
      *phkResult = hKey;
      return ERROR_SUCCESS;
    }
    return OpenKeyLocked(hKey, lpSubKey, KEY_ALL_ACCESS, phkResult);
  });
}

LONG SqliteRegistry::RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  return Guarded([&] { return CreateKeyLocked(hKey, lpSubKey, phkResult); });
}

LONG SqliteRegistry::RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  return Guarded([&] { return DeleteKeyLocked(hKey, lpSubKey); });
}

LONG SqliteRegistry::OpenKeyLocked(HKEY hKey, LPCSTR lpSubKey, REGSAM access, PHKEY phkResult) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = 0;
  const OpenKey* base = handles_.Find(hKey);
  if (base == nullptr) return ERROR_INVALID_HANDLE;
  // Below HKEY_CLASSES_ROOT an open takes one leading backslash, as on Windows.
  if (hKey == HKEY_CLASSES_ROOT && lpSubKey != nullptr && *lpSubKey == '\\') ++lpSubKey;
  if (LONG rc = SplitKeyPath(lpSubKey, names_); rc != ERROR_SUCCESS) return rc;
  if (names_.empty()) {
    // A new handle on the same key.
    if (!Alive(*base)) return ERROR_KEY_DELETED;
    *phkResult = handles_.Open(base->id, base->path, access);
    return ERROR_SUCCESS;
  }
  std::string path = ChildPath(base->path, names_);
  const auto id = FindKey(path);
  if (!id) return Alive(*base) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
  *phkResult = handles_.Open(*id, std::move(path), access);
  return ERROR_SUCCESS;
}

LONG SqliteRegistry::CreateKeyLocked(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = 0;
  const OpenKey* base = handles_.Find(hKey);
  if (base == nullptr) return ERROR_INVALID_HANDLE;
  if (LONG rc = SplitKeyPath(lpSubKey, names_); rc != ERROR_SUCCESS) return rc;
  if (base->depth + static_cast<int>(names_.size()) > kMaxKeyDepth) return ERROR_NO_SYSTEM_RESOURCES;
  std::string path = ChildPath(base->path, names_);
  auto id = names_.empty() ? std::optional<std::int64_t>(base->id) : FindKey(path);
  if (id && names_.empty() && !Alive(*base)) return ERROR_KEY_DELETED;
  if (!id) {
    if (ReadOnly()) return ERROR_ACCESS_DENIED;
    WriteTransaction transaction(sql_);
    if (!Alive(*base)) return ERROR_KEY_DELETED;
    id = CreatePath(base->id, base->path, names_);
    Commit(transaction);
  }
  *phkResult = handles_.Open(*id, std::move(path), KEY_ALL_ACCESS);
  return ERROR_SUCCESS;
}

// Walks the names below parent, inserting every level that is missing; returns the id
// of the last one. Runs inside the caller's transaction.
std::int64_t SqliteRegistry::CreatePath(std::int64_t parent, std::string path,
                                        const std::vector<std::string_view>& names) {
  for (auto name : names) {
    AppendChildPath(path, name);
    if (auto existing = FindKey(path)) {
      parent = *existing;
      continue;
    }
    const std::string upper = UpperName(name);
    sql::Step insert(sql_[Sql::InsertKey]);
    insert.Bind(1, parent).BindText(2, name).BindText(3, upper).BindText(4, path);
    insert.Run();
    parent = sqlite3_last_insert_rowid(db_.get());
  }
  return parent;
}

LONG SqliteRegistry::DeleteKeyLocked(HKEY hKey, LPCSTR lpSubKey) {
  const OpenKey* base = handles_.Find(hKey);
  if (base == nullptr) return ERROR_INVALID_HANDLE;
  // Only an explicit empty name deletes the key itself: a null name is a mistake.
  if (lpSubKey == nullptr) return ERROR_INVALID_PARAMETER;
  if (ReadOnly()) return ERROR_ACCESS_DENIED;
  if (LONG rc = SplitKeyPath(lpSubKey, names_); rc != ERROR_SUCCESS) return rc;
  std::int64_t target = base->id;
  // The handle's rights do not matter: Windows opens the key anew to delete it, and the
  // right to delete is the key's (our store gives it to every key but a root).
  if (names_.empty()) {
    if (base->root) return ERROR_ACCESS_DENIED;
  } else {
    const auto id = FindKey(ChildPath(base->path, names_));
    if (!id) return Alive(*base) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    target = *id;
  }
  WriteTransaction transaction(sql_);
  {
    sql::Step exists(sql_[Sql::KeyExists]);
    exists.Bind(1, target);
    if (!exists.Next()) return names_.empty() ? ERROR_KEY_DELETED : ERROR_FILE_NOT_FOUND;
  }
  {
    sql::Step children(sql_[Sql::HasSubKey]);
    children.Bind(1, target);
    if (children.Next()) return ERROR_ACCESS_DENIED;
  }
  sql::Step(sql_[Sql::DeleteKeyValues]).Bind(1, target).Run();
  sql::Step(sql_[Sql::DeleteKey]).Bind(1, target).Run();
  Commit(transaction);
  ForgetKeys();
  return ERROR_SUCCESS;
}

LONG SqliteRegistry::RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                                   LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                                   PFILETIME lpftLastWriteTime) {
  return Guarded([&]() -> LONG {
    OpenKey* key = handles_.Find(hKey);
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    if (lpName == nullptr || lpcchName == nullptr || lpReserved != nullptr)
      return ERROR_INVALID_PARAMETER;
    if ((key->access & KEY_ENUMERATE_SUB_KEYS) == 0) return ERROR_ACCESS_DENIED;
    const auto row = SubKeyAt(*key, dwIndex);
    if (!row) return Alive(*key) ? ERROR_NO_MORE_ITEMS : ERROR_KEY_DELETED;
    // The size counts characters and must leave room for the terminating zero.
    if (*lpcchName < row->name.size() + 1) return ERROR_MORE_DATA;
    std::memcpy(lpName, row->name.data(), row->name.size());
    lpName[row->name.size()] = '\0';
    *lpcchName = static_cast<DWORD>(row->name.size());
    // Keys have no class text, and no write times are kept.
    if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) lpClass[0] = '\0';
    if (lpcchClass != nullptr) *lpcchClass = 0;
    if (lpftLastWriteTime != nullptr) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}

std::optional<SqliteRegistry::SubKeyRow> SqliteRegistry::ReadSubKey(sql::Step& step) {
  if (!step.Next()) return std::nullopt;
  return SubKeyRow{std::string(step.Text(0)), std::string(step.Text(1))};
}

// The sub-key at an index in the registry's order. Walking the indices one after the
// other continues from the last name instead of counting from the start every time.
std::optional<SqliteRegistry::SubKeyRow> SqliteRegistry::SubKeyAt(OpenKey& key, DWORD index) {
  EnumCursor& cursor = key.subKeys;
  if (CursorUsable(cursor, index)) {
    sql::Step step(sql_[Sql::SubKeyAfter]);
    step.Bind(1, key.id).BindText(2, cursor.lastName);
    auto row = ReadSubKey(step);
    if (DataVersion() == cursor.dataVersion) {
      if (row) {
        cursor.lastName = row->uname;
        Remember(cursor, index);
      }
      return row;
    }
  }
  sql::Step step(sql_[Sql::SubKeyAt]);
  step.Bind(1, key.id).Bind(2, index);
  auto row = ReadSubKey(step);
  cursor.valid = false;
  if (row) {
    cursor.lastName = row->uname;
    Remember(cursor, index);
  }
  return row;
}

}  // namespace zbx::win
