// .reg export: ExportToReg, its walk of the key tree and ExportKey, which writes one key.
// Every line is read back with the import's own reader before it is written, so that
// no text or name can turn into a key line, a deletion or another value.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "platform/registry_names.h"
#include "platform/registry_value_type.h"
#include "registry/cls_registry_access.h"
#include "registry/hex_text.h"
#include "registry/reg_file.h"
#include "registry/reg_lines.h"
#include "registry/registry_path.h"
#include "registry/text_util.h"

namespace zbx {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kNameCannotBeWritten = "its name cannot be written in a .reg file";
constexpr const char* kTooDeep = "it lies more than 512 levels below its root";
constexpr const char* kCannotOpen =
    "it cannot be opened (on Windows, for one: its path is longer than the registry calls take)";

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

// Carriage returns and line feeds end lines (for other readers a lone one too); a zero
// byte ends the file for some.
bool HoldsLineBreakOrZero(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// True when the import reads the line as a write of exactly this kind to the value `name`
// (and, for a text, with exactly this text).
bool ReadsBackAs(const std::string& line, win::ValueKind kind, const std::string& name,
                 const std::string& text = {}) {
  if (HoldsLineBreakOrZero(line) || StartsKeySection(line)) return false;
  const auto value = ReadValueLine(line);
  if (!value || value->deletes || value->kind != kind) return false;
  if (kind != win::ValueKind::String) return value->name == name;
  // WriteString takes "@" for the default value, and "@" with no text deletes it again.
  if (value->name == "@" && value->data.empty()) return false;
  return (value->name == "@" ? std::string() : value->name) == name && value->data == text;
}

// "name"=, the kind's .reg prefix (see win::kValueTypes) and the data.
std::string PrefixedLine(const std::string& name, win::ValueKind kind, const std::string& data) {
  return "\"" + name + "\"=" + std::string(win::TypeOfKind(kind).regPrefix) + data;
}

// A string value's line; when the text cannot be carried as text, a byte-data line holding
// the text and a zero byte (ReadString reads that back as the text); empty when not even
// the name can be written.
std::string StringValueLine(const std::string& name, const std::string& text) {
  const std::string quoted = "\"" + text + "\"";
  const std::string line = name.empty() ? "@=" + quoted : PrefixedLine(name, win::ValueKind::String, quoted);
  if (ReadsBackAs(line, win::ValueKind::String, name, text)) return line;
  const std::string bytes = Utf8ToAnsi(text) + std::string(1, '\0');
  const std::string asBytes = PrefixedLine(name, win::ValueKind::Binary, ByteList(BytesToHexText(bytes)));
  return ReadsBackAs(asBytes, win::ValueKind::Binary, name) ? asBytes : std::string();
}

// The line of a listed value of one of the class's kinds (a text cut at its first zero
// byte, as programs read strings); empty when it cannot be written so that it reads back.
std::string ListedValueLine(const std::string& name, win::ValueKind kind, const RegValue& value) {
  if (kind == win::ValueKind::String) {
    const std::string& text = AsString(value);
    return StringValueLine(name, text.substr(0, text.find('\0')));
  }
  const std::string line =
      PrefixedLine(name, kind, kind == win::ValueKind::Binary ? ByteList(AsString(value)) : DwordDigits(AsDword(value)));
  return ReadsBackAs(line, kind, name) ? line : std::string();
}

std::string KeyLine(const std::string& path) { return "[" + path + "]"; }

// True when the import reads the key line as the line of exactly this key path.
bool KeyLineReadsBack(const std::string& path) {
  const std::string line = KeyLine(path);
  if (HoldsLineBreakOrZero(line)) return false;
  const std::string head = RemoveChar(TrimBlanks(line), '"');
  return head.size() >= 2 && head.front() == '[' && head.substr(1, head.size() - 2) == path &&
         path.front() != '-';
}

// Where a path leads in the store: its root and its upper-cased names, each after a "\".
struct Place {
  win::HKEY root = 0;
  std::string names;
  bool operator==(const Place&) const = default;
};

Place PlaceOf(const std::string& utf8Path) {
  std::string path = Utf8ToAnsi(utf8Path), subKey;
  Place place;
  place.root = ParseRegistryPath(path, subKey);
  std::vector<std::string_view> names;
  if (win::SplitKeyPath(subKey.c_str(), names) == win::ERROR_SUCCESS) place.names = win::ChildPath("", names);
  return place;
}

// Long root names all start so ("HKEY_USERS"); no expansion of a short one can make one
// across the text around it.
bool HoldsLongRootName(const std::string& name) {
  return AsciiUpperCopy(name).find("HKEY_") != std::string::npos;
}

int DepthOf(const Place& place) {
  return static_cast<int>(std::count(place.names.begin(), place.names.end(), '\\'));
}

void Skip(RegExportOutput* output, const std::string& keyPath, std::optional<std::string> valueName,
          const char* reason) {
  if (output != nullptr) output->Skipped(RegExportSkip{keyPath, std::move(valueName), reason});
}

}  // namespace

std::int32_t clsRegistryAccess::ExportToReg(const std::string& sPath, const std::string& sRegFile,
                                            RegExportOutput* Output) {
  // Created exclusively: an existing file, or a link put there meanwhile, is never opened.
  RegFileWriter file;
  if (!file.CreateExclusive(sRegFile)) return 0;
  if (!file.Write(std::string("REGEDIT4") + kCrLf + kCrLf)) return 0;
  // The file holds one state of the tree, whatever others change while it is written.
  bool complete = false;
  api_.Snapshot([&] {
    complete = ExportTree(sPath, file, Output);
    return win::ERROR_SUCCESS;
  });
  return complete ? 1 : 0;
}

bool clsRegistryAccess::ExportTree(const std::string& sPath, RegFileWriter& file, RegExportOutput* output) {
  // One level of the walk: a key's sub-keys, the next one to visit, and how long the
  // running path and place were at that key. Only one path is kept, however deep the
  // tree, so memory grows with the depth, not with the depth times the path.
  struct Level {
    std::vector<std::string> subKeys;
    std::size_t count = 0, next = 0, pathLength = 0, namesLength = 0;
    int depth = 0;
  };
  std::string path = ExpandRootNames(sPath);
  Place place = PlaceOf(path);
  if (!KeyLineReadsBack(path)) {
    Skip(output, path, std::nullopt, kNameCannotBeWritten);
    return false;
  }
  bool complete = true;
  std::vector<Level> stack;
  // A listed sub-key that cannot be opened is left out: its lines would say it is empty.
  // (The key asked for is written all the same: a missing key gives its key line.)
  auto visit = [&](int depth, bool listed) {
    Level level;
    const std::int32_t subKeys = EnumKeys(path, level.subKeys);
    if (subKeys < 0 && listed) {
      Skip(output, path, std::nullopt, kCannotOpen);
      complete = false;
      return;
    }
    complete = ExportKey(path, file, output) && complete;
    level.count = Listed(subKeys);
    level.pathLength = path.size();
    level.namesLength = place.names.size();
    level.depth = depth;
    stack.push_back(std::move(level));
  };
  try {
    visit(DepthOf(place), false);
    while (!stack.empty()) {
      Level& top = stack.back();
      if (top.next == top.count) {
        stack.pop_back();
        continue;
      }
      const std::string& name = top.subKeys[top.next++];
      // An entry the store failed to name cannot be visited (it would name this key again).
      if (name.empty()) continue;
      path.resize(top.pathLength);
      place.names.resize(top.namesLength);
      const int depth = top.depth + 1;
      std::string child = path + "\\" + ExpandRootNames(name);
      Place childPlace{place.root, place.names + "\\" + win::UpperName(Utf8ToAnsi(name))};
      // A name the class cannot address, or one the key line cannot carry, leaves out the
      // key and everything below it. The parent's line reads back, so the child's does when
      // the name adds no quote and no line break; and the path reaches the key unless the
      // name holds a long root name, which the path syntax would shorten.
      const bool addressed = !HoldsLongRootName(name) || PlaceOf(child) == childPlace;
      const char* reason = depth > win::kMaxKeyDepth                           ? kTooDeep
                           : !addressed || name.find_first_of(std::string_view("\"\r\n\0", 4)) !=
                                               std::string::npos                 ? kNameCannotBeWritten
                                                                                 : nullptr;
      if (reason != nullptr) {
        Skip(output, child, std::nullopt, reason);
        complete = false;
        continue;
      }
      path = std::move(child);
      place = std::move(childPlace);
      visit(depth, true);
    }
  } catch (const std::exception&) {
    return false;  // the file keeps what was written up to the failure
  }
  return complete;
}

bool clsRegistryAccess::ExportKey(const std::string& path, RegFileWriter& file, RegExportOutput* output) {
  // One key's lines go to the file together; after a failure, as far as they got.
  std::string lines;
  bool complete = true;
  auto add = [&](const std::string& line, const std::string& name) {
    if (line.empty()) {
      Skip(output, path, name, kNameCannotBeWritten);
      complete = false;
    } else {
      lines += line + kCrLf;
    }
  };
  try {
    if (output != nullptr) {
      output->DoEvents();
      output->SetText(path);
    }
    lines += KeyLine(path) + kCrLf;
    // One listing of every value, written by type in the order of win::kValueTypes
    // (string values, byte values, 32-bit values), each type in the order listed.
    std::vector<ListedValue> listed;
    ListValues(path, -1, listed);
    // A default value readable as text. A read gives at most 254 characters, so a default
    // of 255 comes back only when there is nothing to read.
    const std::string unread(255, '\0');
    const bool hasDefault = std::any_of(listed.begin(), listed.end(), [](const ListedValue& v) { return v.name.empty(); });
    if (hasDefault && ReadString(path, "", unread) != unread)
      add(ListedValueLine("", win::ValueKind::String, ReadString(path, "", "")), "");
    for (const win::ValueType& type : win::kValueTypes) {
      if (type.kind == win::ValueKind::Other) continue;
      for (const ListedValue& v : listed)
        if (v.type == type.code && !(type.kind == win::ValueKind::String && v.name.empty()))
          add(ListedValueLine(v.name, type.kind, v.value), v.name);
    }
    lines += kCrLf;
  } catch (const std::exception&) {
    file.Write(Utf8ToAnsi(lines));
    throw;
  }
  if (!file.Write(Utf8ToAnsi(lines))) throw std::runtime_error("the .reg file cannot be written");
  return complete;
}

}  // namespace zbx
