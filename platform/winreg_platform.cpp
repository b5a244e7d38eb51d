// The platform's registry on Linux: our store on the per-user database file.
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/registry_database.h"
#include "platform/registry_salvage.h"
#include "platform/registry_store.h"
#include "platform/registry_unavailable.h"
#include "platform/winreg.h"

namespace zbx::win {
namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return ".";
}

}  // namespace

std::string DefaultStorePath() {
  // Relative values of XDG_DATA_HOME are to be ignored.
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string base =
      data != nullptr && data[0] == '/' ? std::string(data) : HomeFolder() + "/.local/share";
  return base + "/zorbanix/registry.db";
}

std::shared_ptr<RegistryApi> OpenRegistryStore(const std::string& path) {
  OpenedDatabase opened = OpenRegistryDatabase(path);
  if (!opened.db) return std::make_shared<UnavailableRegistry>(opened.error, std::move(opened.status));
  auto store = std::make_shared<SqliteRegistry>(std::move(opened.db), std::move(opened.status));
  if (!opened.movedAsideTo.empty()) {
    const Salvaged saved = SalvageStore(opened.movedAsideTo, *store);
    std::string homeless;
    if (saved.homeless > 0)
      homeless = " (" + std::to_string(saved.homeless) + " more values were read whose keys were lost)";
    std::fprintf(stderr,
                 "zorbanix: registry store %s was damaged; %zu keys and %zu values were saved from it into a "
                 "fresh store%s; the damaged file is kept as %s\n",
                 path.c_str(), saved.keys, saved.values, homeless.c_str(), opened.movedAsideTo.c_str());
  }
  return store;
}

std::shared_ptr<RegistryApi> OpenPlatformRegistry() { return OpenRegistryStore(DefaultStorePath()); }

}  // namespace zbx::win
