#include "commands.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ostream>

#include "platform/codepage.h"
#include "platform/registry_value_type.h"
#include "registry/registry_path.h"
#include "registry/text_util.h"
#include "value_text.h"

namespace zbx::tool {
namespace {

// "" and "@" both name the key's default value on the command line.
std::string ValueName(const std::string& arg) { return arg == "@" ? std::string() : arg; }

bool KnownRoot(const std::string& path) {
  std::string ansi = Utf8ToAnsi(path), subKey;
  return ParseRegistryPath(ansi, subKey) != 0;
}

void PrintValue(Context& c, const NamedValue& v) {
  c.out << NameText(v.name) << '\t' << win::TypeName(v.value.type) << '\t' << DataText(v.value) << '\n';
}

// A dword given in decimal (signed) or as 0x followed by up to eight hex digits.
bool ParseDword(const std::string& text, std::int32_t& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (hex) {
    const unsigned long long v = std::strtoull(text.c_str() + 2, &end, 16);
    if (*end != '\0' || errno != 0 || v > 0xFFFFFFFFull || text[2] == '-' || text[2] == '+') return false;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return true;
  }
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

// Hex text as the tool takes it: pairs of digits, separated by blanks or commas, or none.
bool ParseHex(Context& c, std::string text, std::string& hex) {
  for (char& ch : text)
    if (ch == ',') ch = ' ';
  if (c.reg.isBinValid(text) != clsRegistryAccess::kTrue) return false;
  if (RemoveChar(text, ' ').size() % 2 != 0) return false;  // an odd digit would be lost
  hex = text;
  return true;
}

}  // namespace

int CheckArgs(Context& c, const Args& args, std::size_t min, std::size_t max, const char* usage) {
  if (args.size() < min || args.size() > max) return Fail(c, kExitUsage, std::string("usage: zorbanix-reg ") + usage);
  if (int rc = CheckText(c, "path", args[0])) return rc;
  if (!KnownRoot(args[0])) return Fail(c, kExitUsage, "unknown root key in path: " + args[0]);
  return kExitOk;
}

int CheckText(Context& c, const char* what, const std::string& text) {
  // Anything else would be stored as "?", so that different names would be one.
  const std::string problem = CodePageProblem(text);
  if (problem.empty()) return kExitOk;
  const std::string shown = problem == "it is not valid UTF-8" ? std::string() : " " + text;
  return Fail(c, kExitUsage, std::string("the ") + what + shown + " cannot be stored: " + problem);
}

int NoKey(Context& c, const std::string& path) { return Fail(c, kExitMissing, "key not found: " + path); }

int Fail(Context& c, int status, const std::string& message) {
  c.err << "zorbanix-reg: " << message << '\n';
  return status;
}

int Query(Context& c, const Args& args) {
  if (int rc = CheckArgs(c, args, 1, 2, "query PATH [NAME]")) return rc;
  const std::string& path = args[0];
  if (args.size() == 2)
    if (int rc = CheckText(c, "name", args[1])) return rc;
  if (c.reg.KeyExists(path) != clsRegistryAccess::kTrue) return NoKey(c, path);
  if (args.size() == 2) {
    ValueData v;
    if (!ReadValueData(c.reg, c.api, path, ValueName(args[1]), v))
      return Fail(c, kExitMissing, "value not found: " + NameText(ValueName(args[1])) + " in " + path);
    c.out << DataText(v) << '\n';
    return kExitOk;
  }
  std::vector<NamedValue> values;
  ListValueData(c.api, path, values);
  for (const NamedValue& v : values) PrintValue(c, v);
  std::vector<std::string> keys;
  const std::int32_t nKeys = c.reg.EnumKeys(path, keys);
  for (std::int32_t i = 0; i < nKeys; ++i) c.out << keys[static_cast<std::size_t>(i)] << "\\\n";
  return kExitOk;
}

int Set(Context& c, const Args& args) {
  static const char* usage = "set PATH NAME (--string TEXT | --dword N | --binary HEX)";
  if (int rc = CheckArgs(c, args, 4, 4, usage)) return rc;
  const std::string &path = args[0], name = ValueName(args[1]), &kind = args[2], &data = args[3];
  if (int rc = CheckText(c, "name", name)) return rc;
  if (kind == "--string")
    if (int rc = CheckText(c, "text", data)) return rc;
  c.reg.CreateKeyIfDoesntExists(clsRegistryAccess::kTrue);
  std::int32_t done = 0;
  if (kind == "--string") {
    done = c.reg.WriteString(path, name, data);
  } else if (kind == "--dword") {
    std::int32_t value = 0;
    if (!ParseDword(data, value)) return Fail(c, kExitUsage, "not a 32-bit number: " + data);
    done = c.reg.WriteDWORD(path, name, value);
  } else if (kind == "--binary") {
    std::string hex;
    if (!ParseHex(c, data, hex)) return Fail(c, kExitUsage, "not hex text (pairs of digits): " + data);
    done = c.reg.WriteBinary(path, name, hex);
  } else {
    return Fail(c, kExitUsage, std::string("usage: zorbanix-reg ") + usage);
  }
  if (done == 0) return Fail(c, kExitMissing, "cannot write " + NameText(name) + " in " + path);
  return kExitOk;
}

int DeleteKey(Context& c, const Args& args) {
  if (int rc = CheckArgs(c, args, 1, 1, "delete-key PATH")) return rc;
  if (c.reg.KeyExists(args[0]) != clsRegistryAccess::kTrue) return NoKey(c, args[0]);
  if (c.reg.KillKey(args[0]) == 0)
    return Fail(c, kExitMissing, "cannot delete " + args[0] + ": it has sub-keys or is a root key");
  return kExitOk;
}

int DeleteValue(Context& c, const Args& args) {
  if (int rc = CheckArgs(c, args, 2, 2, "delete-value PATH NAME")) return rc;
  const std::string &path = args[0], name = ValueName(args[1]);
  if (int rc = CheckText(c, "name", name)) return rc;
  if (c.reg.KeyExists(path) != clsRegistryAccess::kTrue) return NoKey(c, path);
  if (c.reg.ValueExists(path, name) != clsRegistryAccess::kTrue)
    return Fail(c, kExitMissing, "value not found: " + NameText(name) + " in " + path);
  if (c.reg.KillValue(path, name) == 0 || c.reg.ValueExists(path, name) == clsRegistryAccess::kTrue)
    return Fail(c, kExitMissing, "cannot delete " + NameText(name) + " in " + path);
  return kExitOk;
}

int Keys(Context& c, const Args& args) {
  if (int rc = CheckArgs(c, args, 1, 1, "keys PATH")) return rc;
  std::vector<std::string> keys;
  const std::int32_t n = c.reg.EnumKeys(args[0], keys);
  if (n < 0) return NoKey(c, args[0]);
  for (std::int32_t i = 0; i < n; ++i) c.out << keys[static_cast<std::size_t>(i)] << '\n';
  return kExitOk;
}

int Values(Context& c, const Args& args) {
  if (int rc = CheckArgs(c, args, 1, 1, "values PATH")) return rc;
  std::vector<NamedValue> values;
  if (!ListValueData(c.api, args[0], values)) return NoKey(c, args[0]);
  for (const NamedValue& v : values) PrintValue(c, v);
  return kExitOk;
}

}  // namespace zbx::tool
