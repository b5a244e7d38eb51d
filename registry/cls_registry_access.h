#pragma once
// clsRegistryAccess: the registry behind text paths such as
// "HKLM\System\CurrentControlSet\Control\IDConfigDB". Every operation parses its path,
// opens the key for its one action, closes it again and reports a plain value (a handle
// or 0, a flag, the caller's default, a count or -1); nothing is thrown for a registry
// failure and no key stays open between calls.
//
// Transactions. The store calls of one operation run in one transaction of the store: a
// write is committed before it returns, a read sees one state of the store. A listing and
// an export see one state from start to end (a snapshot); an import is one bulk scope,
// committed before it returns (see win::RegistryApi::Bulk and Snapshot).
//
// Text. Paths, names and string data are UTF-8 here and code page 1252 in the registry;
// the class converts at that boundary, and characters the code page cannot hold (and
// bytes that are not UTF-8) become "?", so two different names can reach the registry
// as one. The class keeps that conversion; a caller that must not lose text checks it
// first with CodePageProblem (platform/codepage.h), as zorbanix-reg does. Character counts (the four-character root, the 255-character buffers, the hex
// groups) are counted in the code page, one character per byte.
//
// Byte strings. StrToBin returns, and BinToStr takes, raw byte data in a std::string: one
// char per byte, any value 0..255, not UTF-8. Byte data otherwise crosses this interface
// only as hex text (" 01 0A FF").
//
// Flags are 16-bit: kTrue (-1) or kFalse (0).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/winreg.h"

namespace zbx {

// One listed value: a string (a string value's text, or a byte value's hex text), a 32-bit
// integer (a 32-bit value), or nothing (another type).
using RegValue = std::variant<std::monostate, std::string, std::int32_t>;

// Something an export left out: a key (with everything below it) or one value of a key.
struct RegExportSkip {
  std::string keyPath;                   // as the export names it, long root name first
  std::optional<std::string> valueName;  // set when one value was left out
  std::string reason;
};

// Where an export shows its progress: before each key, pending window events run once
// (DoEvents) and then the shown text is replaced by that key's path (SetText). Handlers
// that run then must not use the exporting object or touch the export file. Skipped
// hears of every key and value the export had to leave out.
class RegExportOutput {
 public:
  virtual ~RegExportOutput() = default;
  virtual void DoEvents() = 0;
  virtual void SetText(const std::string& keyPath) = 0;
  virtual void Skipped(const RegExportSkip& /*what*/) {}
};

class RegFileWriter;
class CrLfLines;
struct ValueLine;

class clsRegistryAccess {
 public:
  static constexpr std::int16_t kTrue = -1;
  static constexpr std::int16_t kFalse = 0;

  // On the process-wide default store as it is now: the object keeps that store alive,
  // also when the default is replaced (win::SetDefaultRegistry) while it lives.
  clsRegistryAccess();
  // On the caller's store, which the object keeps alive.
  explicit clsRegistryAccess(std::shared_ptr<win::RegistryApi> api);
  // On the caller's store, which must outlive the object.
  explicit clsRegistryAccess(win::RegistryApi& api);

  // When kTrue, the write operations create a missing key before writing.
  void CreateKeyIfDoesntExists(std::int16_t offon);
  std::int16_t CreateKeyIfDoesntExists() const;

  // The store every call of this object works on.
  win::RegistryApi& Store() const { return api_; }

  // Keys.
  std::int32_t CreateKey(const std::string& sPath);
  std::int32_t KillKey(const std::string& sPath);
  std::int16_t KeyExists(const std::string& sPath);
  // Lists the sub-keys into Key (resized to the count, earlier entries kept at reused
  // indices, untouched when nothing is listed); -1 when the key cannot be opened.
  std::int32_t EnumKeys(const std::string& sPath, std::vector<std::string>& Key);

  // String values. WriteString takes "@" for the default value; ReadString does not.
  std::int32_t WriteString(const std::string& sPath, const std::string& sName,
                           const std::string& sValue);
  std::string ReadString(const std::string& sPath, const std::string& sName,
                         const std::string& sDefault = "");

  // 32-bit and byte values.
  std::int32_t WriteDWORD(const std::string& sPath, const std::string& sName, std::int32_t lValue);
  std::int32_t ReadDWORD(const std::string& sPath, const std::string& sName,
                         std::int32_t lDefault = -1);
  std::int32_t WriteBinary(const std::string& sPath, const std::string& sName,
                           const std::string& sValue);
  std::string ReadBinary(const std::string& sPath, const std::string& sName,
                         const std::string& sDefault = "");

  // Values as a set.
  std::int32_t KillValue(const std::string& sPath, const std::string& sName);
  std::int16_t ValueExists(const std::string& sPath, const std::string& sName);
  // Lists the values (of type OnlyType, all for -1) into the parallel lists sName and
  // sValue, resized like EnumKeys' list; -1 when the key cannot be opened.
  std::int32_t EnumValues(const std::string& sPath, std::vector<std::string>& sName,
                          std::vector<RegValue>& sValue, std::int32_t OnlyType = -1);

  // .reg files (REGEDIT4, code page 1252, CRLF): 1 on success, 0 on failure.
  // ExportToReg writes the key at sPath and everything below it to a new file; an existing
  // file (or link) of that name is never touched. Output may be null. Every line it writes
  // reads back through ImportFromReg as the key or value it came from: a text that the
  // format cannot carry as text (line breaks, quotes, "=", blanks at its end, a leading
  // "-", "hex:" or "dword:") is written as byte data holding the text and a zero byte,
  // which ReadString reads as that text; a text is cut at its first zero byte. A key or
  // value whose name a .reg file cannot hold, and a key deeper than win::kMaxKeyDepth,
  // is left out (and told to Output->Skipped) while everything else is written; the
  // result is then 0.
  std::int32_t ExportToReg(const std::string& sPath, const std::string& sRegFile,
                           RegExportOutput* Output = nullptr);
  // Applies a .reg file (at most 64 MiB). Leaves CreateKeyIfDoesntExists set to kTrue.
  std::int32_t ImportFromReg(const std::string& sRegFile);

  // Hex text. StrToBin removes the blanks from the caller's sBin.
  std::string StrToBin(std::string& sBin);
  std::string BinToStr(const std::string& sStr);
  std::int16_t isBinValid(const std::string& sBin);

 private:
  // Code-page path in, long root names shortened in place; see ParseRegistryPath.
  void ParsePath(std::string& path, std::string& subKey, win::HKEY& rootKey);
  // Parses a UTF-8 path into lRootKey and sSubKey.
  void ParseInto(const std::string& sPath);
  // Runs the calls of one read in one snapshot of the store.
  template <class Work>
  auto InOneRead(Work&& work) -> decltype(work());
  // KeyExists, then CreateKey when allowed; false when the write must not go on.
  bool EnsureKeyForWrite(const std::string& sPath);
  // The shared pattern of the write operations: the key made sure of, then one value set,
  // in one transaction committed before it returns (0 when the commit fails).
  std::int32_t WriteValue(const std::string& sPath, const std::string& ansiName, win::DWORD type,
                          const std::string& data);
  // Sets one value of the key named by sPath.
  std::int32_t SetValue(const std::string& sPath, const std::string& ansiName, win::DWORD type,
                        const std::string& data);
  // EnumKeys without a scope of its own.
  std::int32_t ListKeys(const std::string& sPath, std::vector<std::string>& Key);
  // One entry of a value listing: its name, its type, and its data as the read of that
  // type gives it (nothing for other types and for an entry the store failed to list).
  struct ListedValue {
    std::string name;
    win::DWORD type = win::REG_NONE;
    RegValue value;
  };
  // Lists the values of type onlyType (all for -1) into listed; -1 when the key cannot be
  // opened. Each value is read from the listing call itself unless it is too long for it.
  std::int32_t ListValues(const std::string& sPath, std::int32_t onlyType, std::vector<ListedValue>& listed);
  // Writes the key at sPath and every key below it, depth first, without recursion;
  // false when anything was left out or the file failed.
  bool ExportTree(const std::string& sPath, RegFileWriter& file, RegExportOutput* output);
  // Writes one key's lines; false when a value was left out. Throws when the file fails.
  bool ExportKey(const std::string& keyPath, RegFileWriter& file, RegExportOutput* output);
  // Applies the lines of a .reg file after its header; false for a key line with no path.
  bool ImportLines(CrLfLines& lines);
  // Applies one value line to the key at path (UTF-8).
  void ImportValueLine(const std::string& path, const ValueLine& line);

  std::shared_ptr<win::RegistryApi> owned_;  // null when the caller keeps the store
  win::RegistryApi& api_;
  std::int16_t createKeyIfDoesntExists_ = kFalse;
  // Working fields: overwritten by every operation before use.
  win::HKEY lRootKey = 0;
  win::HKEY lKeyHandle = 0;
  std::string sSubKey;
  // The path parsed last, and its parts.
  struct Parsed {
    bool valid = false;
    std::string from, subKey;
    win::HKEY rootKey = 0;
  } parsed_;
};

template <class Work>
auto clsRegistryAccess::InOneRead(Work&& work) -> decltype(work()) {
  decltype(work()) result{};
  api_.Snapshot([&] {
    result = work();
    return win::ERROR_SUCCESS;
  });
  return result;
}

}  // namespace zbx
