// Tests on Windows work on the system registry; what a test adds below the roots (and the
// usual keys under them) is removed when its store object goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

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

bool IsRoot(win::HKEY key) { return key >= 0x80000000u; }

class SandboxRegistry final : public win::RegistryApi {
 public:
  SandboxRegistry() {
    for (const auto& [root, path] : kWatched) before_.push_back(Read(root, path));
  }
  ~SandboxRegistry() override {
    for (std::size_t i = 0; i < before_.size(); ++i) {
      const auto& [root, path] = kWatched[i];
      const Contents now = Read(root, path);
      ::HKEY key = nullptr;
      if (::RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
      for (const std::string& name : now.keys)
        if (before_[i].keys.count(name) == 0) ::RegDeleteTreeA(key, name.c_str());
      for (const std::string& name : now.values)
        if (before_[i].values.count(name) == 0) ::RegDeleteValueA(key, name.c_str());
      if (key != root) ::RegCloseKey(key);
    }
  }

  win::LONG RegOpenKeyExA(win::HKEY h, win::LPCSTR s, win::DWORD o, win::REGSAM m, win::PHKEY out) override {
    return Opened(h, out, system_->RegOpenKeyExA(h, s, o, m, out));
  }
  win::LONG RegOpenKeyA(win::HKEY h, win::LPCSTR s, win::PHKEY out) override {
    return Opened(h, out, system_->RegOpenKeyA(h, s, out));
  }
  win::LONG RegCreateKeyA(win::HKEY h, win::LPCSTR s, win::PHKEY out) override {
    return Opened(h, out, system_->RegCreateKeyA(h, s, out));
  }
  win::LONG RegCloseKey(win::HKEY h) override {
    const win::LONG rc = system_->RegCloseKey(h);
    if (rc == ERROR_SUCCESS && open_.count(h) != 0) open_.erase(open_.find(h));
    return rc;
  }
  win::LONG RegDeleteKeyA(win::HKEY h, win::LPCSTR s) override { return system_->RegDeleteKeyA(h, s); }
  win::LONG RegEnumKeyExA(win::HKEY h, win::DWORD i, win::LPSTR n, win::LPDWORD cch, win::LPDWORD r,
                          win::LPSTR c, win::LPDWORD cc, win::PFILETIME t) override {
    return system_->RegEnumKeyExA(h, i, n, cch, r, c, cc, t);
  }
  win::LONG RegEnumValueA(win::HKEY h, win::DWORD i, win::LPSTR n, win::LPDWORD cch, win::LPDWORD r,
                          win::LPDWORD type, win::LPBYTE d, win::LPDWORD cb) override {
    return system_->RegEnumValueA(h, i, n, cch, r, type, d, cb);
  }
  win::LONG RegQueryValueExA(win::HKEY h, win::LPCSTR n, win::LPDWORD r, win::LPDWORD type, win::LPBYTE d,
                             win::LPDWORD cb) override {
    return system_->RegQueryValueExA(h, n, r, type, d, cb);
  }
  win::LONG RegSetValueExA(win::HKEY h, win::LPCSTR n, win::DWORD r, win::DWORD type, const win::BYTE* d,
                           win::DWORD cb) override {
    return system_->RegSetValueExA(h, n, r, type, d, cb);
  }
  win::LONG RegDeleteValueA(win::HKEY h, win::LPCSTR n) override { return system_->RegDeleteValueA(h, n); }

  std::size_t OpenHandles() const { return open_.size(); }

 private:
  // Counts a handle the call handed out: not a root, and not the one it was given.
  win::LONG Opened(win::HKEY from, const win::PHKEY out, win::LONG rc) {
    if (rc == ERROR_SUCCESS && out != nullptr && !IsRoot(*out) && *out != from) open_.insert(*out);
    return rc;
  }

  std::shared_ptr<win::RegistryApi> system_ = win::OpenPlatformRegistry();
  std::vector<Contents> before_;
  std::multiset<win::HKEY> open_;
};

// The class speaks code page 1252 to the "A" calls, so that must be the process's ANSI
// code page (under Wine the locale decides it; scripts/wine-run sets one).
class CodePageCheck : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(GetACP(), 1252u) << "the ANSI code page of this process is not 1252"; }
};
const auto* const kCodePageCheck = ::testing::AddGlobalTestEnvironment(new CodePageCheck);

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

// This process's environment with the settings added (or replacing those of their name).
std::wstring Environment(const std::vector<std::string>& settings) {
  std::wstring block;
  std::set<std::wstring> replaced;
  for (const std::string& setting : settings) {
    const std::wstring wide = Wide(setting);
    replaced.insert(wide.substr(0, wide.find(L'=') + 1));
    block += wide + L'\0';
  }
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; *entry != L'\0'; entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    if (replaced.count(text.substr(0, text.find(L'=', 1) + 1)) == 0) block += text + L'\0';
  }
  FreeEnvironmentStringsW(current);
  return block + L'\0';
}

HANDLE OutputFile(const std::string& name) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(Wide(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::shared_ptr<win::RegistryApi> OpenTestStore() { return std::make_shared<SandboxRegistry>(); }

std::size_t OpenHandleCount(win::RegistryApi& store) { return dynamic_cast<SandboxRegistry&>(store).OpenHandles(); }

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment, const std::string& outFile,
               const std::string& errFile) {
  std::wstring commandLine = QuoteArgument(Wide(program));
  for (const std::string& arg : args) commandLine += L" " + QuoteArgument(Wide(arg));
  std::wstring env = Environment(environment);
  HANDLE out = OutputFile(outFile), err = OutputFile(errFile);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                       CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                      CREATE_UNICODE_ENVIRONMENT, env.data(), nullptr, &startup, &process);
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
