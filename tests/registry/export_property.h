#pragma once
// What the .reg export tests share: a recorder of what an export leaves out, the deletion
// of a tree, and the property every export must have: a random tree (names and texts over
// every code page 1252 character, pieces of .reg syntax mixed in) is exported and imported
// into another store that holds other keys. Nothing outside the tree may change; inside
// it, every value must come from the tree with its data (a text as ReadString reads it),
// and every value the export did not report as left out must come back.
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/registry_names.h"
#include "platform/winreg.h"
#include "registry/cls_registry_access.h"
#include "registry/registry_path.h"

namespace zbx::export_property {

using win::DWORD, win::HKEY;

// Records what the export leaves out: upper-cased paths as the export names them.
class SkipRecorder : public RegExportOutput {
 public:
  std::set<std::string> keys;                            // left out with everything below
  std::set<std::pair<std::string, std::string>> values;  // key path, value name
  void DoEvents() override {}
  void SetText(const std::string&) override {}
  void Skipped(const RegExportSkip& what) override {
    const std::string path = win::UpperName(Utf8ToAnsi(what.keyPath));
    if (what.valueName) values.insert({path, Utf8ToAnsi(*what.valueName)});
    else keys.insert(path);
  }
};

inline std::vector<std::string> SubKeys(win::RegistryApi& store, HKEY key) {
  std::vector<std::string> names;
  char name[300];
  for (DWORD size = sizeof name; store.RegEnumKeyExA(key, static_cast<DWORD>(names.size()), name, &size, nullptr,
                                                     nullptr, nullptr, nullptr) == 0;
       size = sizeof name)
    names.emplace_back(name, size);
  return names;
}

inline void DeleteTree(win::RegistryApi& store, HKEY parent, const std::string& name) {
  HKEY key = 0;
  if (store.RegOpenKeyExA(parent, name.c_str(), 0, win::KEY_ALL_ACCESS, &key) != 0) return;
  for (const std::string& sub : SubKeys(store, key)) DeleteTree(store, key, sub);
  store.RegCloseKey(key);
  store.RegDeleteKeyA(parent, name.c_str());
}

// Pieces of .reg syntax that a hostile text or name might hold.
inline const std::vector<std::string> kPieces = {
    "\r\n", "\r", "\n", "\"", "=", "[", "]", "@", "-", " ", "hex:", "dword:", "\\", "HKCU", "HKEY_USERS",
    "\r\n[-HKEY_CURRENT_USER\\Software\\Victim]\r\n", "\"keep\"=\"changed\"", std::string(1, '\0')};

// Single bytes of any value but zero, and pieces; at most 5 parts, so under 255 bytes.
inline std::string Text(std::mt19937& random, bool zeroAllowed) {
  std::string text;
  for (unsigned n = random() % 6; n > 0; --n) {
    const std::string piece = random() % 3 == 0 ? kPieces[random() % kPieces.size()]
                                                : std::string(1, static_cast<char>(1 + random() % 255));
    if (piece[0] != '\0' || zeroAllowed) text += piece;
  }
  return text;
}

// Fills a key with texts, byte data and 32-bit values, and sub-keys `levels` deep at most.
inline void BuildKey(win::RegistryApi& store, HKEY key, std::mt19937& random, int levels) {
  for (unsigned n = random() % 5; n > 0; --n) {
    const std::string name = random() % 6 == 0 ? std::string() : Text(random, false);
    const DWORD types[] = {win::REG_SZ, win::REG_BINARY, win::REG_DWORD};
    const DWORD type = types[random() % 3];
    std::string data = type != win::REG_DWORD ? Text(random, true) : std::string();
    for (int i = 0; type == win::REG_DWORD && i < 4; ++i) data += static_cast<char>(random());
    win::SetValueBytes(store, key, name.c_str(), type, data);
  }
  for (unsigned n = levels > 0 ? random() % 4 : 0; n > 0; --n) {
    std::string name = Text(random, false);
    name.erase(std::remove(name.begin(), name.end(), '\\'), name.end());
    HKEY sub = 0;
    if (store.RegCreateKeyA(key, name.empty() ? "k" : name.c_str(), &sub) != win::ERROR_SUCCESS) continue;
    BuildKey(store, sub, random, levels - 1);
    store.RegCloseKey(sub);
  }
}

// Upper-cased key path ("1\SOFTWARE\X") -> value name -> type and data; every key listed.
using Dump = std::map<std::string, std::map<std::string, std::pair<DWORD, std::string>>>;

inline void DumpKey(win::RegistryApi& store, HKEY key, const std::string& path, Dump& dump) {
  auto& values = dump[path];
  char name[300], data[300];
  for (DWORD i = 0, nameSize = sizeof name, size = sizeof data, type = 0;
       store.RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<win::BYTE*>(data), &size) == 0;
       ++i, nameSize = sizeof name, size = sizeof data)
    values[std::string(name, nameSize)] = {type, std::string(data, size)};
  for (const std::string& sub : SubKeys(store, key)) {
    HKEY h = 0;
    if (store.RegOpenKeyExA(key, sub.c_str(), 0, win::KEY_READ, &h) != 0) continue;
    DumpKey(store, h, path + "\\" + win::UpperName(sub), dump);
    store.RegCloseKey(h);
  }
}

inline Dump DumpStore(win::RegistryApi& store) {
  Dump dump;
  for (int root = 0; root < 7; ++root) DumpKey(store, win::HKEY_CLASSES_ROOT + root, std::to_string(root), dump);
  return dump;
}

inline bool InTree(const std::string& path) {  // HKEY_CURRENT_USER\Software\Tree
  return path == "1\\SOFTWARE\\TREE" || path.rfind("1\\SOFTWARE\\TREE\\", 0) == 0;
}

// The text ReadString gives for a value's bytes (under 255 of them): a zero behind string
// data, blanks trimmed, less its last character; here also cut at its first zero, as the
// export cuts it.
inline std::string ReadAsText(std::string bytes, bool stringType) {
  if (stringType) bytes += '\0';
  const std::size_t first = bytes.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const std::string text = bytes.substr(first, bytes.find_last_not_of(' ') - first);
  return text.substr(0, text.find('\0'));
}

// One round from a fresh source store to a fresh target store: "" when the property
// holds, else what broke it.
inline std::string CheckOneTree(std::mt19937& random, const std::string& folder, win::RegistryApi& source,
                                win::RegistryApi& target) {
  HKEY h = 0;
  source.RegCreateKeyA(win::HKEY_CURRENT_USER, "Software\\Tree", &h);
  BuildKey(source, h, random, 2);
  source.RegCloseKey(h);
  target.RegCreateKeyA(win::HKEY_CURRENT_USER, "Software\\Victim", &h);  // named in the pieces
  win::SetValueBytes(target, h, "keep", win::REG_SZ, "precious");
  target.RegCloseKey(h);
  const std::string file = folder + "/tree.reg";
  std::filesystem::remove(file);
  SkipRecorder skipped;
  const std::int32_t result = clsRegistryAccess(source).ExportToReg("HKCU\\Software\\Tree", file, &skipped);
  if ((result == 1) != (skipped.keys.empty() && skipped.values.empty())) return "a wrong result";
  const Dump original = DumpStore(source), before = DumpStore(target);
  if (clsRegistryAccess(target).ImportFromReg(file) != 1) return "the export does not import";
  Dump after = DumpStore(target);
  for (const auto& [path, values] : after) {
    if (!InTree(path)) continue;
    for (const auto& [name, value] : values) {
      const auto key = original.find(path);
      if (key == original.end() || key->second.count(name) == 0) return "invented: " + path + " : " + name;
      const auto& was = key->second.at(name);
      const bool same = was.first == win::REG_SZ
                            ? ReadAsText(value.second, value.first == win::REG_SZ) == ReadAsText(was.second, true)
                            : value == was;
      if (!same) return "changed: " + path + " : " + name;
    }
  }
  for (const auto& [path, values] : original) {
    const std::string exported = win::UpperName(ExpandRootNames("HKEY_CURRENT_USER" + path.substr(1)));
    bool keyLeftOut = false;
    for (const std::string& left : skipped.keys)
      keyLeftOut |= exported == left || exported.compare(0, left.size() + 1, left + "\\") == 0;
    for (const auto& [name, value] : values) {
      if (keyLeftOut || skipped.values.count({exported, name}) != 0) continue;
      if (after.count(path) == 0 || after.at(path).count(name) == 0) return "lost: " + path + " : " + name;
    }
  }
  for (auto it = after.begin(); it != after.end();) it = InTree(it->first) ? after.erase(it) : std::next(it);
  return after == before ? "" : "a key outside the tree changed or was made";
}

}  // namespace zbx::export_property
