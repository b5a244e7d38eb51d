#pragma once
// The property every .reg export must have, shared by the property test and the fuzz
// target: a tree drawn from a stream of choices (names and texts over every code page
// 1252 character, with the pieces of .reg syntax mixed in) is exported and imported into
// another store that holds other keys. Nothing outside the tree may change; inside it,
// every value must come from the tree with its data (a text as ReadString reads it), and
// every value the export did not report as left out must come back.
//
// The two stores may be one, as the system registry is on Windows: the tree is deleted
// after the export, and only the tree and what an import could reach by mistake (the
// keys below HKEY_CURRENT_USER\Software, and the values and sub-keys of every root) are
// compared there, the system's keys being many.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
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

// A source of choices: a seeded generator, or the bytes of a fuzz input.
class Choices {
 public:
  virtual ~Choices() = default;
  // A number from 0 to bound - 1.
  virtual unsigned Next(unsigned bound) = 0;
};

inline constexpr const char* kTree = "Software\\Tree";  // below HKEY_CURRENT_USER
inline const std::string kTreeUpper = "1\\SOFTWARE\\TREE";

// Pieces of .reg syntax that a hostile text or name might hold.
inline const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {
      "\r\n", "\r", "\n", "\"", "=", "[", "]", "@", "-", " ", "hex:", "dword:", "\\", "HKCU", "HKEY_USERS",
      "\r\n[-HKEY_CURRENT_USER\\Software\\Victim]\r\n", "\r\n[HKEY_CURRENT_USER\\Software\\Victim]\r\n\"keep\"=-",
      "\"keep\"=\"changed\"", "[-HKEY_LOCAL_MACHINE\\SOFTWARE]", std::string(1, '\0')};
  return pieces;
}

// A code page text: single bytes of any value but zero, and pieces of .reg syntax.
inline std::string Text(Choices& c, unsigned maxParts, bool zeroAllowed) {
  std::string text;
  for (unsigned n = c.Next(maxParts + 1); n > 0; --n) {
    if (c.Next(3) == 0) {
      const std::string& piece = Pieces()[c.Next(static_cast<unsigned>(Pieces().size()))];
      if (piece[0] != '\0' || zeroAllowed) text += piece;
    } else {
      text += static_cast<char>(1 + c.Next(255));
    }
  }
  return text;
}

inline std::string KeyName(Choices& c) {
  std::string name = Text(c, 4, false);
  name.erase(std::remove(name.begin(), name.end(), '\\'), name.end());
  return name.empty() ? "k" : name.substr(0, win::kMaxKeyNameLength);
}

inline void SetRaw(win::RegistryApi& store, HKEY key, const std::string& name, DWORD type, const std::string& data) {
  win::SetValueBytes(store, key, name.c_str(), type, data);
}

// Fills a key with values and sub-keys, `levels` deep at most.
inline void BuildKey(win::RegistryApi& store, HKEY key, Choices& c, int levels) {
  for (unsigned n = c.Next(5); n > 0; --n) {
    const std::string name = c.Next(6) == 0 ? std::string() : Text(c, 4, false);
    switch (c.Next(3)) {
      case 0: SetRaw(store, key, name, win::REG_SZ, Text(c, 8, true)); break;
      case 1: SetRaw(store, key, name, win::REG_BINARY, Text(c, 6, true)); break;
      default: {
        std::string bits;
        for (int i = 0; i < 4; ++i) bits += static_cast<char>(c.Next(256));
        SetRaw(store, key, name, win::REG_DWORD, bits);
      }
    }
  }
  for (unsigned n = levels > 0 ? c.Next(4) : 0; n > 0; --n) {
    HKEY sub = 0;
    if (store.RegCreateKeyA(key, KeyName(c).c_str(), &sub) != win::ERROR_SUCCESS) continue;
    BuildKey(store, sub, c, levels - 1);
    store.RegCloseKey(sub);
  }
}

// Every value of the store: upper-cased key path ("1\SOFTWARE\X") -> name -> type and data;
// every key is listed, also without values.
struct Stored {
  DWORD type;
  std::string data;
  bool operator==(const Stored&) const = default;
};
using Dump = std::map<std::string, std::map<std::string, Stored>>;

// Below a key, listed with their values and sub-keys: every key (levels < 0), or as many
// levels as given.
inline void DumpKey(win::RegistryApi& store, HKEY key, const std::string& path, Dump& dump, int levels = -1) {
  auto& values = dump[path];
  std::vector<char> name(16384);
  std::vector<win::BYTE> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    if (store.RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != 0) break;
    values[std::string(name.data(), nameSize)] = {type, std::string(data.begin(), data.begin() + dataSize)};
  }
  std::vector<std::string> subKeys;
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (store.RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != 0) break;
    subKeys.emplace_back(name.data(), nameSize);
  }
  for (const std::string& sub : subKeys) {
    if (levels == 0) {
      dump[path + "\\" + win::UpperName(sub)];
      continue;
    }
    HKEY h = 0;
    if (store.RegOpenKeyExA(key, sub.c_str(), 0, win::KEY_READ, &h) != 0) continue;
    DumpKey(store, h, path + "\\" + win::UpperName(sub), dump, levels - 1);
    store.RegCloseKey(h);
  }
}

// The whole store; or, for one that holds many keys of its own, every root's values and
// sub-keys and everything below HKEY_CURRENT_USER\Software.
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

inline bool InTree(const std::string& path) {
  return path.compare(0, kTreeUpper.size(), kTreeUpper) == 0 &&
         (path.size() == kTreeUpper.size() || path[kTreeUpper.size()] == '\\');
}

// The text ReadString gives for a value's bytes: read into 255 blanks, with a zero behind
// string data that lacks one when there is room, trimmed, less its last character; here
// also cut at its first zero, as the export cuts it.
inline std::string ReadAsText(const std::string& bytes, bool stringType) {
  if (bytes.size() > 255) return {};
  std::string buffer = bytes;
  if (stringType && !bytes.empty() && bytes.size() < 255 && bytes.back() != '\0') buffer += '\0';
  buffer.resize(255, ' ');
  const std::size_t first = buffer.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  std::string text = buffer.substr(first, buffer.find_last_not_of(' ') - first + 1);
  text.pop_back();
  return text.substr(0, text.find('\0'));
}

// A store path ("1\SOFTWARE\X") the way the export names it, upper-cased.
inline std::string ExportName(const std::string& storePath) {
  return win::UpperName(ExpandRootNames("HKEY_CURRENT_USER" + storePath.substr(1)));
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

// The other keys of the importing store, some of them named in the pieces above.
inline void PlantOthers(win::RegistryApi& store) {
  for (const char* path : {"Software\\Victim", "Software\\Tree2", "Software\\Victim\\Deep"}) {
    HKEY key = 0;
    store.RegCreateKeyA(win::HKEY_CURRENT_USER, path, &key);
    SetRaw(store, key, "keep", win::REG_SZ, "precious");
    SetRaw(store, key, "x", win::REG_BINARY, "\x01");
    SetRaw(store, key, "@", win::REG_SZ, "at");
    store.RegCloseKey(key);
  }
  SetRaw(store, win::HKEY_CURRENT_USER, "", win::REG_SZ, "root default");
}

inline void DeleteTree(win::RegistryApi& store, HKEY parent, const std::string& name) {
  HKEY key = 0;
  if (store.RegOpenKeyExA(parent, name.c_str(), 0, win::KEY_ALL_ACCESS, &key) != 0) return;
  std::vector<char> sub(300);
  for (DWORD size = static_cast<DWORD>(sub.size());
       store.RegEnumKeyExA(key, 0, sub.data(), &size, nullptr, nullptr, nullptr, nullptr) == 0;
       size = static_cast<DWORD>(sub.size()))
    DeleteTree(store, key, std::string(sub.data(), size));
  store.RegCloseKey(key);
  store.RegDeleteKeyA(parent, name.c_str());
}

// One round, from the source store to the target store (which may be the same one, see
// above; whole: compare the whole target): "" when the property holds, else what broke it.
inline std::string CheckOneTree(Choices& c, const std::string& folder, win::RegistryApi& source,
                                win::RegistryApi& target, bool whole = true) {
  HKEY tree = 0;
  source.RegCreateKeyA(win::HKEY_CURRENT_USER, kTree, &tree);
  BuildKey(source, tree, c, 2);
  source.RegCloseKey(tree);
  const Dump original = DumpStore(source, whole);

  const std::string file = folder + "/tree.reg";
  std::error_code ec;
  std::filesystem::remove(file, ec);
  clsRegistryAccess exporter(source);
  SkipRecorder skipped;
  const std::int32_t result = exporter.ExportToReg("HKCU\\Software\\Tree", file, &skipped);
  if ((result == 1) != (skipped.keys.empty() && skipped.values.empty()))
    return "the export's result does not say whether it left something out";
  DeleteTree(source, win::HKEY_CURRENT_USER, kTree);

  PlantOthers(target);
  const Dump before = DumpStore(target, whole);
  clsRegistryAccess importer(target);
  if (importer.ImportFromReg(file) != 1) return "the export does not import";
  const Dump after = DumpStore(target, whole);
  for (const auto& [path, values] : before)
    if (!InTree(path) && (after.count(path) == 0 || after.at(path) != values)) return "changed outside: " + path;
  for (const auto& [path, values] : after)
    if (!InTree(path) && before.count(path) == 0) return "key made outside: " + path;

  auto leftOut = [&](const std::string& storePath, const std::string& name) {
    const std::string path = ExportName(storePath);
    if (skipped.values.count({path, name}) != 0) return true;
    for (const std::string& key : skipped.keys)
      if (path == key || path.compare(0, key.size() + 1, key + "\\") == 0) return true;
    return false;
  };
  for (const auto& [path, values] : after) {
    if (!InTree(path)) continue;
    for (const auto& [name, value] : values) {
      const auto key = original.find(path);
      if (key == original.end() || key->second.count(name) == 0) return "invented: " + path + " : " + name;
      const Stored& was = key->second.at(name);
      const bool same = was.type == win::REG_SZ
                            ? ReadAsText(value.data, value.type == win::REG_SZ) == ReadAsText(was.data, true)
                            : value == was;
      if (!same) return "changed: " + path + " : " + name;
    }
  }
  for (const auto& [path, values] : original)
    for (const auto& [name, value] : values) {
      if (leftOut(path, name)) continue;
      // A default value is written only when ReadString can read it (not over 255 bytes).
      if (name.empty() && value.type == win::REG_SZ && value.data.size() > 255) continue;
      const auto key = after.find(path);
      if (key == after.end() || key->second.count(name) == 0) return "lost: " + path + " : " + name;
    }
  return {};
}

#ifndef _WIN32
// One round between two stores of ours, in memory.
inline std::string CheckOneTree(Choices& c, const std::string& folder) {
  auto source = win::OpenRegistryStore(":memory:"), target = win::OpenRegistryStore(":memory:");
  return CheckOneTree(c, folder, *source, *target);
}
#endif

}  // namespace zbx::export_property
