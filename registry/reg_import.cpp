// .reg import: ImportFromReg, line by line through the class's own operations.
#include <exception>
#include <optional>
#include <string_view>

#include "platform/codepage.h"
#include "registry/cls_registry_access.h"
#include "registry/reg_file.h"
#include "registry/reg_lines.h"
#include "registry/text_util.h"

namespace zbx {

std::int32_t clsRegistryAccess::ImportFromReg(const std::string& sRegFile) {
  createKeyIfDoesntExists_ = kTrue;  // every write creates its key; left so afterwards
  std::string content;
  CrLfLines lines(content);
  try {
    if (!ReadWholeFile(sRegFile, kMaxRegFileSize, content)) return 0;
    lines = CrLfLines(content);
    std::string_view header;
    lines.Next(header);
    if (AsciiUpperCopy(header) != "REGEDIT4") return 0;
  } catch (const std::exception&) {
    return 0;
  }
  // One bulk scope: what was applied is committed when the import returns, also when it
  // stops early (there is no rollback); a commit that fails makes the import fail.
  std::int32_t result = 0;
  const win::LONG committed = api_.Bulk([&] {
    try {
      result = ImportLines(lines) ? 1 : 0;
    } catch (const std::exception&) {
      result = 0;
    }
    return win::ERROR_SUCCESS;
  });
  return committed == win::ERROR_SUCCESS ? result : 0;
}

// Every line after the header, once. A key line opens a section; the section's value
// lines are applied until a line that starts the next one, which is then examined as a
// possible key line itself.
bool clsRegistryAccess::ImportLines(CrLfLines& lines) {
  std::optional<std::string> section;  // the key path of the open section (UTF-8)
  for (std::string_view line; lines.Next(line);) {
    if (section) {
      if (!StartsKeySection(line)) {
        if (const auto value = ReadValueLine(line)) ImportValueLine(*section, *value);
        continue;
      }
      section.reset();
    }
    const std::string head = RemoveChar(TrimBlanks(line), '"');
    if (head.empty() || head[0] != '[') continue;
    if (head.size() < 2) return false;  // a lone "[" names no key
    std::string keyPath = head.substr(1, head.size() - 2);
    if (!keyPath.empty() && keyPath[0] == '-') KillKey(AnsiToUtf8(keyPath.substr(1)));
    else section = AnsiToUtf8(keyPath);
  }
  return true;
}

void clsRegistryAccess::ImportValueLine(const std::string& path, const ValueLine& line) {
  const std::string name = AnsiToUtf8(line.name);
  if (line.deletes) {
    KillValue(path, name);
    return;
  }
  switch (line.kind) {
    case win::ValueKind::Binary: {
      std::string hex = line.data;
      for (char& c : hex)
        if (c == ',') c = ' ';
      WriteBinary(path, name, AnsiToUtf8(hex));
      break;
    }
    case win::ValueKind::Dword:
      WriteDWORD(path, name, LeadingHexDword(line.data));
      break;
    case win::ValueKind::String:
    case win::ValueKind::Other:
      WriteString(path, name, AnsiToUtf8(line.data));
      // "@=""" sets the default value and takes it away again.
      if (line.data.empty() && name == "@") KillValue(path, "");
      break;
  }
}

}  // namespace zbx
