// export and import: .reg files through the registry class.
#include <algorithm>
#include <ostream>
#include <string>

#include "commands.h"
#include "registry/reg_file.h"

namespace zbx::tool {
namespace {

// Control characters of a name, shown as escapes: "\r", "\n", "\x01".
std::string Shown(const std::string& text) {
  std::string shown;
  for (unsigned char ch : text) {
    if (ch == '\r') shown += "\\r";
    else if (ch == '\n') shown += "\\n";
    else if (ch == '\t') shown += "\\t";
    else if (ch < 0x20 || ch == 0x7F) shown += "\\x" + std::string{"0123456789ABCDEF"[ch >> 4], "0123456789ABCDEF"[ch & 15]};
    else shown += static_cast<char>(ch);
  }
  return shown;
}

// Counts what the export leaves out; with --verbose, prints the key paths as they are
// written and what was left out and why, one a line.
class PrintingOutput : public RegExportOutput {
 public:
  PrintingOutput(std::ostream& out, bool verbose) : out_(out), verbose_(verbose) {}
  void DoEvents() override {}
  void SetText(const std::string& keyPath) override {
    if (verbose_) out_ << Shown(keyPath) << '\n';
  }
  void Skipped(const RegExportSkip& what) override {
    ++skipped;
    if (!verbose_) return;
    if (what.valueName)
      out_ << "skipped value " << (what.valueName->empty() ? "@" : Shown(*what.valueName)) << " of "
           << Shown(what.keyPath) << ": " << what.reason << '\n';
    else
      out_ << "skipped key " << Shown(what.keyPath) << " and everything below it: " << what.reason << '\n';
  }
  int skipped = 0;

 private:
  std::ostream& out_;
  bool verbose_;
};

}  // namespace

int Export(Context& c, const Args& given) {
  Args args = given;
  const auto verbose = std::find(args.begin(), args.end(), "--verbose");
  const bool isVerbose = verbose != args.end();
  if (isVerbose) args.erase(verbose);
  if (int rc = CheckArgs(c, args, 2, 2, "export PATH FILE [--verbose]")) return rc;
  const std::string &path = args[0], &file = args[1];
  if (c.reg.KeyExists(path) != clsRegistryAccess::kTrue) return NoKey(c, path);
  if (PathExists(file)) return Fail(c, kExitMissing, "will not overwrite " + file + ": it exists");
  PrintingOutput output(c.out, isVerbose);
  if (c.reg.ExportToReg(path, file, &output) == 0) {
    if (output.skipped > 0)
      return Fail(c, kExitMissing, "export to " + file + " left out " + std::to_string(output.skipped) +
                                       " keys or values that a .reg file cannot hold or that cannot be opened "
                                       "(--verbose lists them); everything else was written");
    return Fail(c, kExitMissing, "export to " + file + " failed (it may hold part of the keys)");
  }
  return kExitOk;
}

int Import(Context& c, const Args& args) {
  if (args.size() != 1) return Fail(c, kExitUsage, "usage: zorbanix-reg import FILE");
  const std::string& file = args[0];
  if (!PathExists(file)) return Fail(c, kExitMissing, "file not found: " + file);
  if (c.reg.ImportFromReg(file) == 0)
    return Fail(c, kExitMissing, "import of " + file +
                                     " failed: not a REGEDIT4 file with CR LF lines, larger than 64 MiB, "
                                     "unreadable, or a key line without a path (changes made before it stay)");
  return kExitOk;
}

}  // namespace zbx::tool
