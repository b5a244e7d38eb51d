// .reg export: ExportToReg and its recursive worker ExportKey.
#include <cstdio>
#include <exception>

#include "platform/codepage.h"
#include "registry/cls_registry_access.h"
#include "registry/reg_file.h"
#include "registry/registry_path.h"
#include "registry/text_util.h"

namespace zbx {
namespace {

constexpr const char* kCrLf = "\r\n";

// " 01 0A FF" -> "01,0A,FF"
std::string ByteList(const std::string& hexText) {
  std::string list = TrimBlanks(hexText);
  for (char& c : list)
    if (c == ' ') c = ',';
  return list;
}

std::string DwordDigits(std::int32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
  return digits;
}

const std::string& AsString(const RegValue& v) {
  static const std::string empty;
  return std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : empty;
}

std::int32_t AsDword(const RegValue& v) {
  return std::holds_alternative<std::int32_t>(v) ? std::get<std::int32_t>(v) : -1;
}

// A listing's count as a number of entries (-1, a key that cannot be opened, lists none).
std::size_t Listed(std::int32_t count) { return count > 0 ? static_cast<std::size_t>(count) : 0; }

}  // namespace

std::int32_t clsRegistryAccess::ExportToReg(const std::string& sPath, const std::string& sRegFile,
                                            RegExportOutput* Output) {
  // Created exclusively: an existing file, or a link put there meanwhile, is never opened.
  RegFileWriter file;
  if (!file.CreateExclusive(sRegFile)) return 0;
  if (!file.Write(std::string("REGEDIT4") + kCrLf + kCrLf)) return 0;
  return ExportKey(sPath, file, Output) ? 1 : 0;
}

bool clsRegistryAccess::ExportKey(const std::string& keyPath, RegFileWriter& file,
                                  RegExportOutput* output) {
  const std::string path = ExpandRootNames(keyPath);
  // One key's lines go to the file together; after a failure, as far as they got.
  std::string lines;
  try {
    if (output != nullptr) {
      output->DoEvents();
      output->SetText(path);
    }
    lines += "[" + path + "]" + kCrLf;
    const std::string noDefault(1, '\0');
    if (ReadString(path, "", noDefault) != noDefault)
      lines += "@=\"" + ReadString(path, "", "") + "\"" + kCrLf;
    std::vector<std::string> names;
    std::vector<RegValue> values;
    // The same lists serve the three listings; each uses only the entries it listed.
    std::int32_t n = EnumValues(path, names, values, static_cast<std::int32_t>(win::REG_SZ));
    for (std::size_t i = 0; i < Listed(n); ++i)
      if (!names[i].empty()) lines += "\"" + names[i] + "\"=\"" + AsString(values[i]) + "\"" + kCrLf;
    n = EnumValues(path, names, values, static_cast<std::int32_t>(win::REG_BINARY));
    for (std::size_t i = 0; i < Listed(n); ++i)
      lines += "\"" + names[i] + "\"=hex:" + ByteList(AsString(values[i])) + kCrLf;
    n = EnumValues(path, names, values, static_cast<std::int32_t>(win::REG_DWORD));
    for (std::size_t i = 0; i < Listed(n); ++i)
      lines += "\"" + names[i] + "\"=dword:" + DwordDigits(AsDword(values[i])) + kCrLf;
    lines += kCrLf;
  } catch (const std::exception&) {
    file.Write(Utf8ToAnsi(lines));
    return false;
  }
  if (!file.Write(Utf8ToAnsi(lines))) return false;

  std::vector<std::string> subKeys;
  const std::int32_t count = EnumKeys(path, subKeys);
  for (std::size_t i = 0; i < Listed(count); ++i) {
    // An entry the store failed to name cannot be visited (it would name this key again).
    if (subKeys[i].empty()) continue;
    if (!ExportKey(path + "\\" + subKeys[i], file, output)) return false;
  }
  return true;
}

}  // namespace zbx
