// Files of the .reg export and import on Windows: UTF-8 names opened through the UTF-16
// calls, so every name reaches the file system as it was given.
#include <windows.h>

#include <string>

#include "registry/reg_file.h"

namespace zbx {
namespace {

// The UTF-16 form of a UTF-8 name; empty for an empty name or one that is not UTF-8.
std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

HANDLE AsHandle(std::intptr_t fd) { return reinterpret_cast<HANDLE>(fd); }

// Closes a handle when the scope ends.
struct HandleGuard {
  HANDLE handle;
  ~HandleGuard() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

}  // namespace

bool RegFileWriter::CreateExclusive(const std::string& path) {
  Close();
  const std::wstring name = Wide(path);
  if (name.empty()) return false;
  // CREATE_NEW fails for any existing name; a link is taken as itself, never followed.
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  fd_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

bool RegFileWriter::Write(std::string_view bytes) {
  if (fd_ == -1) return false;
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(AsHandle(fd_), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

void RegFileWriter::Close() {
  if (fd_ != -1) CloseHandle(AsHandle(fd_));
  fd_ = -1;
}

bool PathExists(const std::string& path) {
  const std::wstring name = Wide(path);
  return !name.empty() && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadWholeFile(const std::string& path, std::size_t limit, std::string& content) {
  content.clear();
  const std::wstring name = Wide(path);
  if (name.empty()) return false;
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open.
  HandleGuard file{CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.handle, &size) && static_cast<unsigned long long>(size.QuadPart) > limit) return false;
  if (size.QuadPart > 0) content.reserve(static_cast<std::size_t>(size.QuadPart));
  // Read up to one byte past the limit, so that a file that grows is refused all the same.
  char chunk[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.handle, chunk, sizeof chunk, &n, nullptr)) return false;
    if (n == 0) return true;
    if (content.size() + n > limit) return false;
    content.append(chunk, n);
  }
}

}  // namespace zbx
