// Tests on Windows work on the system registry; what a test adds below the roots (and the
// usual keys under them) is removed when its store object goes.
#include <set>
#include <utility>
#include <vector>

#include "support/test_store.h"

// After our headers: <windows.h> defines macros over the names of our constants.
#include <windows.h>

namespace zbx::test {
namespace {

// The keys whose sub-keys and values a test may add, as the system names them.
const std::pair<::HKEY, const char*> kWatched[] = {
    {HKEY_CLASSES_ROOT, ""},      {HKEY_CURRENT_USER, ""},          {HKEY_LOCAL_MACHINE, ""},
    {HKEY_USERS, ""},             {HKEY_CURRENT_CONFIG, ""},        {HKEY_DYN_DATA, ""},
    {HKEY_CURRENT_USER, "Software"}, {HKEY_LOCAL_MACHINE, "SOFTWARE"}, {HKEY_LOCAL_MACHINE, "SYSTEM"},
    {HKEY_LOCAL_MACHINE, "HARDWARE"}};

struct Contents {
  std::set<std::string> keys, values;
};

Contents Read(::HKEY root, const char* path) {
  Contents contents;
  ::HKEY key = nullptr;
  if (::RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return contents;
  char name[16384];
  for (bool values : {false, true})
    for (DWORD i = 0, size = sizeof name;; ++i, size = sizeof name) {
      if ((values ? ::RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr)
                  : ::RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr)) != ERROR_SUCCESS)
        break;
      (values ? contents.values : contents.keys).emplace(name, size);
    }
  if (key != root) ::RegCloseKey(key);
  return contents;
}

// Removes what was added below the watched keys since `before` was read.
void RemoveAdded(const std::vector<Contents>& before) {
  for (std::size_t i = 0; i < before.size(); ++i) {
    const auto& [root, path] = kWatched[i];
    const Contents now = Read(root, path);
    ::HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
    for (const std::string& name : now.keys)
      if (before[i].keys.count(name) == 0) ::RegDeleteTreeA(key, name.c_str());
    for (const std::string& name : now.values)
      if (before[i].values.count(name) == 0) ::RegDeleteValueA(key, name.c_str());
    if (key != root) ::RegCloseKey(key);
  }
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// One argument as the program's command-line parser reads it back.
std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\r\n\v\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE OutputFile(const std::string& name) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(Wide(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::shared_ptr<win::RegistryApi> OpenTestStore() {
  std::vector<Contents> before;
  for (const auto& [root, path] : kWatched) before.push_back(Read(root, path));
  const std::shared_ptr<win::RegistryApi> system = win::OpenPlatformRegistry();
  return {system.get(), [system, before](win::RegistryApi*) { RemoveAdded(before); }};
}

// The class makes the same calls on both platforms; our store on Linux counts the handles.
std::size_t OpenHandleCount(win::RegistryApi&) { return 0; }

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment, const std::string& outFile,
               const std::string& errFile) {
  std::wstring commandLine = QuoteArgument(Wide(program));
  for (const std::string& arg : args) commandLine += L" " + QuoteArgument(Wide(arg));
  // The settings go into this process's environment for the child to inherit, and back after.
  std::vector<std::pair<std::wstring, std::wstring>> saved;
  for (const std::string& setting : environment) {
    const std::wstring wide = Wide(setting), name = wide.substr(0, wide.find(L'='));
    std::wstring old(32767, L'\0');
    old.resize(GetEnvironmentVariableW(name.c_str(), old.data(), 32767));
    saved.emplace_back(name, old);
    SetEnvironmentVariableW(name.c_str(), wide.substr(name.size() + 1).c_str());
  }
  HANDLE out = OutputFile(outFile), err = OutputFile(errFile);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                       CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &process);
  for (const auto& [name, old] : saved) SetEnvironmentVariableW(name.c_str(), old.empty() ? nullptr : old.c_str());
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
  if (!started) return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  const bool exited = GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exited ? static_cast<int>(status) : -1;
}

}  // namespace zbx::test
