#pragma once
// The types of registry values, in one table: each type's code, its name as zorbanix-reg
// shows it, how a .reg line writes its data, whether it holds string data, and which of
// the class's three kinds (text, 32-bit number, bytes) it is; and the byte order of
// 32-bit data. The store, the class, its listing, export and import, and the tool all
// read their type questions from here.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/winreg.h"

namespace zbx::win {

// What the class makes of a type: it writes, reads, lists, exports and imports strings,
// 32-bit numbers and bytes; values of other types it only counts and passes by.
enum class ValueKind { String, Dword, Binary, Other };

struct ValueType {
  DWORD code;
  ValueKind kind;
  std::string_view name;       // as zorbanix-reg shows it
  std::string_view regPrefix;  // what starts the data of its .reg line (a text is quoted instead)
  bool stringData;             // a zero may end its data (see RegistryApi and CopyData)
};

// In the order of the codes, which is also the order an export writes a key's values in:
// strings, then bytes, then 32-bit numbers.
inline constexpr ValueType kValueTypes[] = {
    {REG_NONE, ValueKind::Other, "none", "", false},
    {REG_SZ, ValueKind::String, "string", "", true},
    {REG_EXPAND_SZ, ValueKind::Other, "expand-string", "", true},
    {REG_BINARY, ValueKind::Binary, "binary", "hex:", false},
    {REG_DWORD, ValueKind::Dword, "dword", "dword:", false},
    {REG_MULTI_SZ, ValueKind::Other, "multi-string", "", true},
};

// The table's entry for a code; nullptr for a code it does not hold.
constexpr const ValueType* FindValueType(DWORD code) {
  for (const ValueType& type : kValueTypes)
    if (type.code == code) return &type;
  return nullptr;
}

// The table's entry of the class's kind (String, Dword or Binary).
constexpr const ValueType& TypeOfKind(ValueKind kind) {
  for (const ValueType& type : kValueTypes)
    if (type.kind == kind) return type;
  return kValueTypes[0];
}

constexpr ValueKind KindOf(DWORD code) {
  const ValueType* type = FindValueType(code);
  return type != nullptr ? type->kind : ValueKind::Other;
}

constexpr bool IsStringData(DWORD code) {
  const ValueType* type = FindValueType(code);
  return type != nullptr && type->stringData;
}

// "string", "binary", "dword", ...; "type N" for a code the table does not hold.
inline std::string TypeName(DWORD code) {
  const ValueType* type = FindValueType(code);
  return type != nullptr ? std::string(type->name) : "type " + std::to_string(code);
}

// 32-bit data: four bytes, the low byte first.
inline constexpr std::size_t kDwordSize = 4;

inline std::string DwordBytes(std::uint32_t value) {
  std::string bytes(kDwordSize, '\0');
  for (std::size_t i = 0; i < kDwordSize; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

// The number in data of at most four bytes (further bytes are ignored): the low bytes
// first, missing ones 0.
inline std::uint32_t DwordOfBytes(std::string_view bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size() < kDwordSize ? bytes.size() : kDwordSize; i-- > 0;)
    value = (value << 8) | static_cast<std::uint8_t>(bytes[i]);
  return value;
}

}  // namespace zbx::win
