// zorbanix-reg: reads and changes the registry store that the game uses, from the command
// line, through the same registry class.
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "commands.h"
#include "console.h"
#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

namespace {

using zbx::tool::Args;
using zbx::tool::Context;

#ifdef _WIN32
constexpr const char* kUsage = R"(Usage: zorbanix-reg COMMAND [ARGUMENTS]
       zorbanix-reg --help | --version

Reads and changes the Windows registry, through the registry class of Zorbanix.
)";
constexpr const char* kStores = "";
constexpr const char* kStoreOption = "";
#else
constexpr const char* kUsage = R"(Usage: zorbanix-reg [--store FILE] COMMAND [ARGUMENTS]
       zorbanix-reg --help | --version

Reads and changes the registry store of Zorbanix. Without --store it works on the
store the game uses: $XDG_DATA_HOME/zorbanix/registry.db, else
~/.local/share/zorbanix/registry.db.
)";
constexpr const char* kStores = R"(
A store that cannot be opened makes every command fail; a store that cannot be
written (a read-only file or folder) answers queries, and refuses every change.
)";
constexpr const char* kStoreOption = "  --store FILE               work on FILE instead of the game's store\n";
#endif

constexpr const char* kCommands = R"(
Commands:
  query PATH [NAME]          show one value's data, or all values of a key
                             (NAME, type, data; tab-separated) and its sub-keys
                             (each followed by "\")
  set PATH NAME --string TEXT
  set PATH NAME --dword N    N decimal (-2147483648..2147483647) or 0x0..0xFFFFFFFF
  set PATH NAME --binary HEX pairs of hex digits, optionally separated by blanks
                             or commas ("01 0A FF")
                             write a value; missing keys are created
  delete-key PATH            delete a key (it must have no sub-keys)
  delete-value PATH NAME     delete a value
  keys PATH                  list the sub-keys, one a line
  values PATH                list the values: NAME, type, data (tab-separated)
  export PATH FILE [--verbose]
                             write the key and everything below it to a new
                             .reg file (REGEDIT4, code page 1252, CR LF lines);
                             an existing FILE is never overwritten; texts a
                             .reg file cannot carry as text are written as
                             bytes, names it cannot carry and keys that
                             cannot be opened are left out (and the export
                             fails); --verbose prints each key path as it is
                             written and what was left out
  import FILE                apply a .reg file (at most 64 MiB): create keys and
                             write values, delete keys ([-PATH]) and values
                             (NAME=-); nothing is undone when it stops early

PATH is a root key, long or short, then "\" and the sub-key path:
  HKEY_CLASSES_ROOT HKCR   HKEY_CURRENT_USER HKCU   HKEY_LOCAL_MACHINE HKLM
  HKEY_USERS HKUS   HKEY_PERFORMANCE_DATA HKPD   HKEY_CURRENT_CONFIG HKCC
  HKEY_DYN_DATA HKDD
e.g. 'HKCU\Software\Test'. Names ignore case. NAME "" or @ is the key's default value.
Text is UTF-8 here and code page 1252 in the store: a path, name or text holding a
character that code page 1252 cannot hold, or that is not valid UTF-8, is refused.
)";

constexpr const char* kStatus = R"(
Exit status: 0 done, 1 key or value missing, the store unusable or the operation
failed, 2 usage error. Every failure is reported in one line on stderr.

Options:
)";

constexpr const char* kHelpOptions = R"(  -h, --help                 show this help and exit
  --version                  show the version and exit
)";

using Command = int (*)(Context&, const Args&);

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"query", zbx::tool::Query},           {"set", zbx::tool::Set},
      {"delete-key", zbx::tool::DeleteKey},  {"delete-value", zbx::tool::DeleteValue},
      {"keys", zbx::tool::Keys},             {"values", zbx::tool::Values},
      {"export", zbx::tool::Export},         {"import", zbx::tool::Import},
  };
  return commands;
}

int Usage(const std::string& message) {
  std::cerr << "zorbanix-reg: " << message << " (see zorbanix-reg --help)\n";
  return zbx::tool::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = zbx::tool::Utf8Arguments(argc, argv);
  std::string storePath;
  std::size_t i = 0;
  for (; i < args.size() && (args[i].rfind("--", 0) == 0 || args[i] == "-h"); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::cout << kUsage << kCommands << kStores << kStatus << kStoreOption << kHelpOptions;
      return zbx::tool::kExitOk;
    } else if (args[i] == "--version") {
      std::cout << "zorbanix-reg " << ZBX_VERSION << '\n';
      return zbx::tool::kExitOk;
#ifdef _WIN32
    } else if (args[i].rfind("--store", 0) == 0) {
      return Usage("--store names a store file of the Linux build; on Windows the tool works on the system registry");
#else
    } else if (args[i] == "--store") {
      if (i + 1 == args.size()) return Usage("--store needs a FILE");
      storePath = args[++i];
    } else if (args[i].rfind("--store=", 0) == 0) {
      storePath = args[i].substr(8);
#endif
    } else {
      return Usage("unknown option " + args[i]);
    }
  }
  if (i == args.size()) return Usage("no command given");
  const auto command = Commands().find(args[i]);
  if (command == Commands().end()) return Usage("unknown command " + args[i]);

  std::shared_ptr<zbx::win::RegistryApi> store;
#ifndef _WIN32
  if (!storePath.empty()) store = zbx::win::OpenRegistryStore(storePath);
#endif
  if (!store) store = zbx::win::SharedDefaultRegistry();
  zbx::win::RegistryApi& api = *store;
  // A store that cannot be used says so before any command, instead of "key not found".
  const zbx::win::StoreStatus status = api.Status();
  if (status.access == zbx::win::StoreStatus::Access::Unavailable) {
    std::cerr << "zorbanix-reg: cannot open the registry store " << status.path << ": " << status.reason << '\n';
    return zbx::tool::kExitMissing;
  }
  static const std::set<std::string> changing = {"set", "delete-key", "delete-value", "import"};
  if (status.access == zbx::win::StoreStatus::Access::ReadOnly && changing.count(args[i]) != 0) {
    std::cerr << "zorbanix-reg: cannot change the registry store " << status.path << ": it is read-only ("
              << status.reason << ")\n";
    return zbx::tool::kExitMissing;
  }
  zbx::clsRegistryAccess reg(store);
  Context context{reg, api, std::cout, std::cerr};
  int exitStatus = zbx::tool::kExitOk;
  const auto run = [&] {
    exitStatus = command->second(context, Args(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end()));
    return zbx::win::ERROR_SUCCESS;
  };
  // What a command shows is one state of the store. A change commits itself (an import
  // is one bulk scope of the class) and says so only once it is committed.
  if (changing.count(args[i]) != 0) run();
  else api.Snapshot(run);
  return exitStatus;
}
