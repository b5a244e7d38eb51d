// Values: names, types, the data a query hands back, and the order of enumeration.

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

class ValueTest : public RegistryTest {
 protected:
  HKEY key = Create(HKEY_CURRENT_USER, "Values");
};

TEST_F(ValueTest, NamesIgnoreCaseAndBelongToTheirKeySizesMissingValuesAndBadArguments) {
  ASSERT_EQ(Set(reg, key, "Name", "one"), ERROR_SUCCESS);
  ASSERT_EQ(Set(reg, key, "NAME", "two", REG_BINARY), ERROR_SUCCESS);
  DWORD type = 0;
  EXPECT_EQ(Get(reg, key, "name", &type), "two");
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(Names(reg, key, true), Strings{"Name"});
  EXPECT_EQ(Get(reg, HKEY_CURRENT_USER, "name"), Error(2));
  // Empty and null names are the default value.
  ASSERT_EQ(Set(reg, key, nullptr, "default"), ERROR_SUCCESS);
  EXPECT_EQ(Get(reg, key, ""), "default");
  EXPECT_EQ(reg.RegDeleteValueA(key, "nAmE"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteValueA(key, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteValueA(key, ""), ERROR_FILE_NOT_FOUND);
  // Size-only queries, missing values and bad arguments.
  ASSERT_EQ(Set(reg, key, "big", std::string(1000, 'x')), ERROR_SUCCESS);
  DWORD size = 1;
  BYTE buffer[4];
  EXPECT_EQ(reg.RegQueryValueExA(key, "big", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 1000u);
  EXPECT_EQ(reg.RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.RegQueryValueExA(key, "big", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegSetValueExA(key, "bad", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
  HKEY reader = 0;  // a handle does with values only what it was opened for
  ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Values", 0, KEY_READ, &reader), ERROR_SUCCESS);
  EXPECT_EQ(Set(reg, reader, "big", "x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg.RegDeleteValueA(reader, "big"), ERROR_ACCESS_DENIED);
  // Names up to 16383 characters; listing the longest needs room for its zero too.
  const std::string longest(16383, 'n'), tooLong = longest + "n";
  ASSERT_EQ(Set(reg, key, longest.c_str(), "x"), ERROR_SUCCESS);
  EXPECT_EQ(Set(reg, key, tooLong.c_str(), "x"), ERROR_INVALID_PARAMETER);
  std::vector<char> name(16384);
  for (DWORD room : {16383u, 16384u}) {
    size = room;
    EXPECT_EQ(reg.RegEnumValueA(key, 1, name.data(), &size, nullptr, nullptr, nullptr, nullptr),
              room == 16384 ? ERROR_SUCCESS : ERROR_MORE_DATA);
  }
  EXPECT_EQ(std::string(name.data()), longest);
  EXPECT_EQ(reg.RegEnumValueA(key, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
}

// What is stored of the counted bytes (Windows takes a zero just behind string data for a
// terminator the caller forgot to count), and what a query and an enumeration write into a
// buffer of '#'.
TEST_F(ValueTest, DataIsStoredExactlyAndHandedBackTheRegistrysWay) {
  const std::string zeros("a\0b\0", 4);
  const struct {
    DWORD type;
    std::string buffer;  // the counted bytes and what lies behind them
    DWORD count, room;
    LONG rc;
    DWORD size;
    std::string seen;
  } cases[] = {
      {REG_SZ, std::string("abc\0", 4), 3, 8, 0, 4, std::string("abc\0#", 5)},  // the zero behind stored too
      {REG_MULTI_SZ, "abcd", 3, 8, 0, 3, std::string("abc\0#", 5)},  // a zero behind, not counted
      {REG_EXPAND_SZ, zeros, 4, 8, 0, 4, zeros + "#"},  // it ends with a zero already: none added
      {REG_SZ, std::string("a\0bX", 4), 3, 8, 0, 3, std::string("a\0b\0#", 5)},
      {REG_SZ, "abcX", 3, 3, 0, 3, "abc#"},  // no room for the zero
      {REG_BINARY, std::string("abc\0", 4), 3, 8, 0, 3, "abc#"},
      {0xFFFFFFFF, zeros, 4, 8, 0, 4, zeros + "#"},
      {REG_SZ, std::string("\0\0", 2), 0, 4, 0, 0, "#"},  // zero bytes: the buffer untouched
      {REG_SZ, "0123456789X", 10, 9, ERROR_MORE_DATA, 10, std::string(10, '#')},  // too small: untouched
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " " << c.count << " " << c.room);
    ASSERT_EQ(reg.RegSetValueExA(key, "v", 0, c.type, reinterpret_cast<const BYTE*>(c.buffer.data()), c.count),
              ERROR_SUCCESS);
    for (bool listed : {false, true}) {  // a query, then an enumeration, which names the value too
      std::string buffer(300, '#');
      char name[8] = "v";
      DWORD size = c.room, type = 99, nameSize = listed ? sizeof name : 1;
      BYTE* data = reinterpret_cast<BYTE*>(buffer.data());
      EXPECT_EQ(listed ? reg.RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, data, &size)
                       : reg.RegQueryValueExA(key, "v", nullptr, &type, data, &size),
                c.rc);
      EXPECT_STREQ(name, "v");
      EXPECT_EQ(size, c.size);
      EXPECT_EQ(type, c.type);
      EXPECT_EQ(buffer.substr(0, c.seen.size()), c.seen);
    }
  }
}

}  // namespace
}  // namespace zbx::win::test
