#pragma once
// The tool's commands. Each returns the exit status: 0 done, 1 key or value missing (or
// the operation failed), 2 usage error; failures say why in one line on stderr.
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"

namespace zbx::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitMissing = 1;
inline constexpr int kExitUsage = 2;

struct Context {
  clsRegistryAccess& reg;
  win::RegistryApi& api;
  std::ostream& out;
  std::ostream& err;
};

using Args = std::vector<std::string>;  // the command's arguments, without its name

int Query(Context& c, const Args& args);
int Set(Context& c, const Args& args);
int DeleteKey(Context& c, const Args& args);
int DeleteValue(Context& c, const Args& args);
int Keys(Context& c, const Args& args);
int Values(Context& c, const Args& args);
int Export(Context& c, const Args& args);
int Import(Context& c, const Args& args);

// Checks the argument count, the path's root and that the path can be stored unchanged;
// 0 when the command may go on.
int CheckArgs(Context& c, const Args& args, std::size_t min, std::size_t max, const char* usage);
// A name or text (what: "name", "text") must reach the store unchanged: code page 1252
// holds every one of its characters. 0 when it does, else a usage error.
int CheckText(Context& c, const char* what, const std::string& text);
int NoKey(Context& c, const std::string& path);

// One line on stderr, prefixed with the tool's name; returns the status given.
int Fail(Context& c, int status, const std::string& message);

}  // namespace zbx::tool
