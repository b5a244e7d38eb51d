// export and import: .reg files through the registry class.
#include <sys/stat.h>

#include <algorithm>
#include <ostream>

#include "commands.h"

namespace zbx::tool {
namespace {

// --verbose: the key paths as they are written, one a line.
class PrintingOutput : public RegExportOutput {
 public:
  explicit PrintingOutput(std::ostream& out) : out_(out) {}
  void DoEvents() override {}
  void SetText(const std::string& keyPath) override { out_ << keyPath << '\n'; }

 private:
  std::ostream& out_;
};

bool Exists(const std::string& file) {
  struct stat st {};
  return ::lstat(file.c_str(), &st) == 0;
}

}  // namespace

int Export(Context& c, const Args& given) {
  Args args = given;
  const auto verbose = std::find(args.begin(), args.end(), "--verbose");
  const bool isVerbose = verbose != args.end();
  if (isVerbose) args.erase(verbose);
  if (int rc = CheckArgs(c, args, 2, 2, "export PATH FILE [--verbose]")) return rc;
  const std::string &path = args[0], &file = args[1];
  if (c.reg.KeyExists(path) != clsRegistryAccess::kTrue) return NoKey(c, path);
  if (Exists(file)) return Fail(c, kExitMissing, "will not overwrite " + file + ": it exists");
  PrintingOutput output(c.out);
  if (c.reg.ExportToReg(path, file, isVerbose ? &output : nullptr) == 0)
    return Fail(c, kExitMissing, "export to " + file + " failed (it may hold part of the keys)");
  return kExitOk;
}

int Import(Context& c, const Args& args) {
  if (args.size() != 1) return Fail(c, kExitUsage, "usage: zorbanix-reg import FILE");
  const std::string& file = args[0];
  if (!Exists(file)) return Fail(c, kExitMissing, "file not found: " + file);
  if (c.reg.ImportFromReg(file) == 0)
    return Fail(c, kExitMissing, "import of " + file +
                                     " failed: not a REGEDIT4 file with CR LF lines, larger than 64 MiB, "
                                     "unreadable, or a key line without a path (changes made before it stay)");
  return kExitOk;
}

}  // namespace zbx::tool
