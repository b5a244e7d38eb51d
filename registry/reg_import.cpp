// .reg import: ImportFromReg, line by line through the class's own operations.
#include <exception>

#include "platform/codepage.h"
#include "registry/cls_registry_access.h"
#include "registry/reg_file.h"
#include "registry/reg_lines.h"
#include "registry/text_util.h"

namespace zbx {

std::int32_t clsRegistryAccess::ImportFromReg(const std::string& sRegFile) {
  createKeyIfDoesntExists_ = kTrue;  // every write creates its key; left so afterwards
  try {
    std::string content;
    if (!ReadWholeFile(sRegFile, kMaxRegFileSize, content)) return 0;
    const std::vector<std::string> lines = SplitCrLf(content);
    content.clear();
    if (AsciiUpperCopy(lines[0]) != "REGEDIT4") return 0;
    return ImportLines(lines) ? 1 : 0;
  } catch (const std::exception&) {
    return 0;  // what was applied stays: there is no rollback
  }
}

bool clsRegistryAccess::ImportLines(const std::vector<std::string>& lines) {
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string head = RemoveChar(TrimBlanks(lines[i]), '"');
    if (head.empty() || head[0] != '[') continue;
    if (head.size() < 2) return false;  // a lone "[" names no key
    const std::string keyPath = head.substr(1, head.size() - 2);
    if (!keyPath.empty() && keyPath[0] == '-') {
      KillKey(AnsiToUtf8(keyPath.substr(1)));
      continue;
    }
    // The key's section runs to the next line that starts with "[" once its quotes and
    // blanks are gone; that line is examined next.
    for (std::size_t j = i + 1; j < lines.size(); ++j) {
      if (StartsKeySection(lines[j])) {
        i = j - 1;
        break;
      }
      if (const auto value = ReadValueLine(lines[j])) ImportValueLine(keyPath, *value);
    }
  }
  return true;
}

void clsRegistryAccess::ImportValueLine(const std::string& keyPath, const ValueLine& line) {
  const std::string name = AnsiToUtf8(line.name);
  const std::string& data = line.data;
  const std::string path = AnsiToUtf8(keyPath);
  switch (line.action) {
    case ValueAction::Delete:
      KillValue(path, name);
      break;
    case ValueAction::Binary: {
      std::string hex = data.substr(4);
      for (char& c : hex)
        if (c == ',') c = ' ';
      WriteBinary(path, name, AnsiToUtf8(hex));
      break;
    }
    case ValueAction::Dword:
      WriteDWORD(path, name, LeadingHexDword(std::string_view(data).substr(6)));
      break;
    case ValueAction::String:
      WriteString(path, name, AnsiToUtf8(data));
      // "@=""" sets the default value and takes it away again.
      if (data.empty() && name == "@") KillValue(path, "");
      break;
  }
}

}  // namespace zbx
