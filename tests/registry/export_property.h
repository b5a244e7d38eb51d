#pragma once
// The property every .reg export must have, shared by the property test and the fuzz
// target: a tree drawn from a stream of choices (names and texts over every code page
// 1252 character, pieces of .reg syntax mixed in) is exported and imported into a store
// that holds other keys. Nothing outside the tree may change; inside it, every value must
// come from the tree with its data (a text as ReadString reads it), and every value the
// export did not report as left out must come back. On Windows both stores are the system
// registry: the tree is deleted after the export, and only what an import could reach by
// mistake is compared.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
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
using Choices = std::function<unsigned(unsigned bound)>;  // a number from 0 to bound - 1

inline bool InTree(const std::string& path) {  // HKEY_CURRENT_USER\Software\Tree
  return path == "1\\SOFTWARE\\TREE" || path.rfind("1\\SOFTWARE\\TREE\\", 0) == 0;
}

// Pieces of .reg syntax that a hostile text or name might hold.
inline const std::vector<std::string> kPieces = {
    "\r\n", "\r", "\n", "\"", "=", "[", "]", "@", "-", " ", "hex:", "dword:", "\\", "HKCU", "HKEY_USERS",
    "\r\n[-HKEY_CURRENT_USER\\Software\\Victim]\r\n", "\"keep\"=\"changed\"", std::string(1, '\0')};

// Single bytes of any value but zero, and pieces; at most 5 parts, so under 255 bytes.
inline std::string Text(Choices& c, bool zeroAllowed) {
  std::string text;
  for (unsigned n = c(6); n > 0; --n) {
    const std::string piece = c(3) == 0 ? kPieces[c(static_cast<unsigned>(kPieces.size()))]
                                        : std::string(1, static_cast<char>(1 + c(255)));
    if (piece[0] != '\0' || zeroAllowed) text += piece;
  }
  return text;
}

// Fills a key with texts, byte data and 32-bit values, and sub-keys `levels` deep at most.
inline void BuildKey(win::RegistryApi& store, HKEY key, Choices& c, int levels) {
  for (unsigned n = c(5); n > 0; --n) {
    const std::string name = c(6) == 0 ? std::string() : Text(c, false);
    const DWORD types[] = {win::REG_SZ, win::REG_BINARY, win::REG_DWORD};
    const DWORD type = types[c(3)];
    std::string data = type != win::REG_DWORD ? Text(c, true) : std::string();
    for (int i = 0; type == win::REG_DWORD && i < 4; ++i) data += static_cast<char>(c(256));
    win::SetValueBytes(store, key, name.c_str(), type, data);
  }
  for (unsigned n = levels > 0 ? c(4) : 0; n > 0; --n) {
    std::string name = Text(c, false);
    name.erase(std::remove(name.begin(), name.end(), '\\'), name.end());
    HKEY sub = 0;
    if (store.RegCreateKeyA(key, name.empty() ? "k" : name.c_str(), &sub) != win::ERROR_SUCCESS) continue;
    BuildKey(store, sub, c, levels - 1);
    store.RegCloseKey(sub);
  }
}

inline std::vector<std::string> SubKeys(win::RegistryApi& store, HKEY key) {
  std::vector<std::string> names;
  char name[300];
  for (DWORD size = sizeof name; store.RegEnumKeyExA(key, static_cast<DWORD>(names.size()), name, &size, nullptr,
                                                     nullptr, nullptr, nullptr) == 0;
       size = sizeof name)
    names.emplace_back(name, size);
  return names;
}

// Upper-cased key path ("1\SOFTWARE\X") -> value name -> type and data; every key listed.
using Dump = std::map<std::string, std::map<std::string, std::pair<DWORD, std::string>>>;

// A key with its values and sub-keys: every level below it (levels < 0), or as many as given.
inline void DumpKey(win::RegistryApi& store, HKEY key, const std::string& path, Dump& dump, int levels = -1) {
  auto& values = dump[path];
  std::vector<char> name(16384);
  std::vector<win::BYTE> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    if (store.RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != 0) break;
    values[std::string(name.data(), nameSize)] = {type, std::string(data.begin(), data.begin() + dataSize)};
  }
  for (const std::string& sub : SubKeys(store, key)) {
    HKEY h = 0;
    if (levels == 0) dump[path + "\\" + win::UpperName(sub)];
    if (levels == 0 || store.RegOpenKeyExA(key, sub.c_str(), 0, win::KEY_READ, &h) != 0) continue;
    DumpKey(store, h, path + "\\" + win::UpperName(sub), dump, levels - 1);
    store.RegCloseKey(h);
  }
}

// The whole store; or, for the system's, every root's values and sub-keys and everything
// below HKEY_CURRENT_USER\Software.
inline Dump DumpStore(win::RegistryApi& store, bool whole) {
  Dump dump;
  for (int root = 0; root < 7; ++root)
    DumpKey(store, win::HKEY_CLASSES_ROOT + root, std::to_string(root), dump, whole ? -1 : 0);
  HKEY software = 0;
  if (!whole && store.RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software", 0, win::KEY_READ, &software) == 0) {
    DumpKey(store, software, "1\\SOFTWARE", dump);
    store.RegCloseKey(software);
  }
  return dump;
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

inline void DeleteTree(win::RegistryApi& store, HKEY parent, const std::string& name) {
  HKEY key = 0;
  if (store.RegOpenKeyExA(parent, name.c_str(), 0, win::KEY_ALL_ACCESS, &key) != 0) return;
  for (const std::string& sub : SubKeys(store, key)) DeleteTree(store, key, sub);
  store.RegCloseKey(key);
  store.RegDeleteKeyA(parent, name.c_str());
}

// One round from the source store to the target store (whole: compare the whole target):
// "" when the property holds, else what broke it.
inline std::string CheckOneTree(Choices& c, const std::string& folder, win::RegistryApi& source,
                                win::RegistryApi& target, bool whole = true) {
  HKEY tree = 0;
  source.RegCreateKeyA(win::HKEY_CURRENT_USER, "Software\\Tree", &tree);
  BuildKey(source, tree, c, 2);
  source.RegCloseKey(tree);
  const Dump original = DumpStore(source, whole);
  const std::string file = folder + "/tree.reg";
  std::error_code ec;
  std::filesystem::remove(file, ec);
  SkipRecorder skipped;
  const std::int32_t result = clsRegistryAccess(source).ExportToReg("HKCU\\Software\\Tree", file, &skipped);
  if ((result == 1) != (skipped.keys.empty() && skipped.values.empty()))
    return "the export's result does not say whether it left something out";
  DeleteTree(source, win::HKEY_CURRENT_USER, "Software\\Tree");

  // Other keys of the importing store, named in the pieces above.
  target.RegCreateKeyA(win::HKEY_CURRENT_USER, "Software\\Victim", &tree);
  win::SetValueBytes(target, tree, "keep", win::REG_SZ, "precious");
  target.RegCloseKey(tree);
  auto outside = [](Dump dump) {
    for (auto it = dump.begin(); it != dump.end();) it = InTree(it->first) ? dump.erase(it) : ++it;
    return dump;
  };
  const Dump before = DumpStore(target, whole);
  if (clsRegistryAccess(target).ImportFromReg(file) != 1) return "the export does not import";
  const Dump after = DumpStore(target, whole);
  if (outside(before) != outside(after)) return "a key outside the tree changed or was made";

  for (const auto& [path, values] : after) {
    const auto key = original.find(path);
    if (!InTree(path)) continue;
    for (const auto& [name, value] : values) {
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
    for (const std::string& key : skipped.keys)
      keyLeftOut |= exported == key || exported.compare(0, key.size() + 1, key + "\\") == 0;
    for (const auto& [name, value] : values) {
      if (keyLeftOut || skipped.values.count({exported, name}) != 0) continue;
      const auto key = after.find(path);
      if (key == after.end() || key->second.count(name) == 0) return "lost: " + path + " : " + name;
    }
  }
  return {};
}

}  // namespace zbx::export_property
