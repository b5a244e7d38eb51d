// Values: names, types, the data a query hands back, and the order of enumeration.
#include <cstring>
#include <string>
#include <vector>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

using Strings = std::vector<std::string>;

class ValueTest : public RegistryTest {
 protected:
  HKEY key = Create(HKEY_CURRENT_USER, "Values");
};

TEST_F(ValueTest, ValueNamesIgnoreCaseAndKeepTheirFirstSpelling) {
  ASSERT_EQ(Set(key, "Name", "one"), ERROR_SUCCESS);
  ASSERT_EQ(Set(key, "NAME", "two", REG_BINARY), ERROR_SUCCESS);
  DWORD type = 0;
  EXPECT_EQ(Get(key, "name", &type), "two");
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(ValueNames(key), Strings{"Name"});
  EXPECT_EQ(reg.RegDeleteValueA(key, "nAmE"), ERROR_SUCCESS);
  EXPECT_EQ(Get(key, "Name"), "error 2");
}

TEST_F(ValueTest, EmptyAndNullNamesAreTheDefaultValue) {
  ASSERT_EQ(Set(key, "", "default"), ERROR_SUCCESS);
  EXPECT_EQ(Get(key, nullptr), "default");
  ASSERT_EQ(Set(key, nullptr, "again"), ERROR_SUCCESS);
  EXPECT_EQ(Get(key, ""), "again");
  EXPECT_EQ(ValueNames(key), Strings{""});
  EXPECT_EQ(reg.RegDeleteValueA(key, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(Get(key, ""), "error 2");
}

TEST_F(ValueTest, DataIsStoredExactlyAsGivenWhateverTheType) {
  const std::string bytes("a\0b\0\0", 5);
  for (DWORD type : {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ,
                     DWORD{11}, DWORD{0xFFFFFFFF}}) {
    ASSERT_EQ(Set(key, "v", bytes, type), ERROR_SUCCESS);
    DWORD got = 12345;
    EXPECT_EQ(Get(key, "v", &got), bytes) << "type " << type;
    EXPECT_EQ(got, type);
  }
  std::string high;
  for (int b = 0; b < 256; ++b) high.push_back(static_cast<char>(b));
  ASSERT_EQ(Set(key, "all bytes", high, REG_BINARY), ERROR_SUCCESS);
  EXPECT_EQ(Get(key, "all bytes"), high);
}

TEST_F(ValueTest, StringDataGetsAZeroBehindItWhenTheBufferHasRoom) {
  for (DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ}) {
    ASSERT_EQ(Set(key, "s", "abc", type), ERROR_SUCCESS);
    BYTE buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    DWORD size = sizeof buffer;
    ASSERT_EQ(reg.RegQueryValueExA(key, "s", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u) << "the zero is not counted";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), std::string("abc\0#", 5));
    // Exactly the data's size: no room, no zero, still success.
    std::memset(buffer, '#', sizeof buffer);
    size = 3;
    ASSERT_EQ(reg.RegQueryValueExA(key, "s", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "abc#");
  }
}

TEST_F(ValueTest, BinaryAndDwordDataNeverGetAZero) {
  for (DWORD type : {REG_BINARY, REG_DWORD, REG_NONE}) {
    ASSERT_EQ(Set(key, "b", "xyz", type), ERROR_SUCCESS);
    BYTE buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    DWORD size = sizeof buffer;
    ASSERT_EQ(reg.RegQueryValueExA(key, "b", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "xyz#") << "type " << type;
  }
}

TEST_F(ValueTest, ZeroByteValueLeavesTheBufferUntouched) {
  for (DWORD type : {REG_SZ, REG_BINARY}) {
    ASSERT_EQ(Set(key, "empty", "", type), ERROR_SUCCESS);
    ASSERT_EQ(reg.RegSetValueExA(key, "null data", 0, type, nullptr, 0), ERROR_SUCCESS);
    for (const char* name : {"empty", "null data"}) {
      BYTE buffer[4] = {'#', '#', '#', '#'};
      DWORD size = sizeof buffer;
      DWORD got = 99;
      ASSERT_EQ(reg.RegQueryValueExA(key, name, nullptr, &got, buffer, &size), ERROR_SUCCESS);
      EXPECT_EQ(size, 0u);
      EXPECT_EQ(got, type);
      EXPECT_EQ(buffer[0], '#');
    }
  }
}

TEST_F(ValueTest, BufferTooSmallGivesMoreDataAndTheSizeAndTouchesNothing) {
  ASSERT_EQ(Set(key, "long", "0123456789"), ERROR_SUCCESS);
  BYTE buffer[9];
  std::memset(buffer, '#', sizeof buffer);
  DWORD size = sizeof buffer;
  DWORD type = 0;
  EXPECT_EQ(reg.RegQueryValueExA(key, "long", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(buffer[8], '#');
}

TEST_F(ValueTest, SizeOnlyQueriesAndMissingValues) {
  ASSERT_EQ(Set(key, "big", std::string(1000, 'x')), ERROR_SUCCESS);
  DWORD size = 1;
  DWORD type = 0;
  EXPECT_EQ(reg.RegQueryValueExA(key, "big", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 1000u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(reg.RegQueryValueExA(key, "big", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  size = 7;
  type = 7;
  EXPECT_EQ(reg.RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.RegDeleteValueA(key, "missing"), ERROR_FILE_NOT_FOUND);
  BYTE buffer[4];
  EXPECT_EQ(reg.RegQueryValueExA(key, "big", nullptr, nullptr, buffer, nullptr),
            ERROR_INVALID_PARAMETER);
  DWORD reserved = 0;
  EXPECT_EQ(reg.RegQueryValueExA(key, "big", &reserved, nullptr, nullptr, &size),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegSetValueExA(key, "bad", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Get(key, "bad"), "error 2");
}

TEST_F(ValueTest, ValueNamesUpTo16383CharactersAreAccepted) {
  const std::string longest(16383, 'n');
  const std::string tooLong(16384, 'n');
  ASSERT_EQ(Set(key, longest.c_str(), "x"), ERROR_SUCCESS);
  EXPECT_EQ(Get(key, longest.c_str()), "x");
  EXPECT_EQ(Set(key, tooLong.c_str(), "x"), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Get(key, tooLong.c_str()), "error 87");
  EXPECT_EQ(reg.RegDeleteValueA(key, tooLong.c_str()), ERROR_INVALID_PARAMETER);
  std::vector<char> name(16384);
  DWORD size = 16383;
  EXPECT_EQ(reg.RegEnumValueA(key, 0, name.data(), &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  size = 16384;
  EXPECT_EQ(reg.RegEnumValueA(key, 0, name.data(), &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 16383u);
  EXPECT_EQ(std::string(name.data()), longest);
}

TEST_F(ValueTest, ValuesEnumerateInCreationOrder) {
  for (const char* name : {"zulu", "Alpha", "mike", "bravo"}) ASSERT_EQ(Set(key, name, "1"), 0);
  EXPECT_EQ(ValueNames(key), (Strings{"zulu", "Alpha", "mike", "bravo"}));
  // Overwriting keeps the place; deleting and creating again moves to the end.
  ASSERT_EQ(Set(key, "ZULU", "2"), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key), (Strings{"zulu", "Alpha", "mike", "bravo"}));
  ASSERT_EQ(reg.RegDeleteValueA(key, "alpha"), ERROR_SUCCESS);
  ASSERT_EQ(Set(key, "ALPHA", "3"), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key), (Strings{"zulu", "mike", "bravo", "ALPHA"}));
  ASSERT_EQ(reg.RegDeleteValueA(key, "ALPHA"), ERROR_SUCCESS);
  ASSERT_EQ(Set(key, "last", "4"), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key), (Strings{"zulu", "mike", "bravo", "last"}));
}

TEST_F(ValueTest, EnumValueFollowsDeletionsBetweenCalls) {
  for (const char* name : {"a", "b", "c", "d"}) ASSERT_EQ(Set(key, name, "1"), 0);
  EXPECT_EQ(ValueAt(key, 0), "a");
  EXPECT_EQ(ValueAt(key, 1), "b");
  ASSERT_EQ(reg.RegDeleteValueA(key, "a"), ERROR_SUCCESS);
  EXPECT_EQ(ValueAt(key, 2), "d");
  EXPECT_EQ(ValueAt(key, 3), "error 259");
}

TEST_F(ValueTest, EnumValueHandsBackNameTypeAndData) {
  ASSERT_EQ(Set(key, "text", "hello"), ERROR_SUCCESS);
  char name[8];
  DWORD nameSize = sizeof name, type = 0;
  BYTE data[8];
  std::memset(data, '#', sizeof data);
  DWORD dataSize = sizeof data;
  ASSERT_EQ(reg.RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, data, &dataSize),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(name), "text");
  EXPECT_EQ(nameSize, 4u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(dataSize, 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 7), std::string("hello\0#", 7));

  // Data that does not fit: the name and type still come, the data size says what is
  // needed, the data buffer is untouched.
  std::memset(data, '#', sizeof data);
  nameSize = sizeof name;
  dataSize = 4;
  EXPECT_EQ(reg.RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, data, &dataSize),
            ERROR_MORE_DATA);
  EXPECT_EQ(std::string(name), "text");
  EXPECT_EQ(dataSize, 5u);
  EXPECT_EQ(data[0], '#');

  // No data buffer: the size alone.
  nameSize = sizeof name;
  dataSize = 0;
  EXPECT_EQ(reg.RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, nullptr, &dataSize),
            ERROR_SUCCESS);
  EXPECT_EQ(dataSize, 5u);

  // A name buffer without room for the zero.
  nameSize = 4;
  EXPECT_EQ(reg.RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, nullptr, nullptr),
            ERROR_MORE_DATA);
  EXPECT_EQ(reg.RegEnumValueA(key, 0, nullptr, &nameSize, nullptr, &type, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, data, nullptr),
            ERROR_INVALID_PARAMETER);
}

TEST_F(ValueTest, EnumValueOfAZeroByteValueReportsSizeZero) {
  ASSERT_EQ(Set(key, "empty", ""), ERROR_SUCCESS);
  char name[8];
  DWORD nameSize = sizeof name, type = 0;
  BYTE data[4] = {'#', '#', '#', '#'};
  DWORD dataSize = sizeof data;
  ASSERT_EQ(reg.RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, data, &dataSize),
            ERROR_SUCCESS);
  EXPECT_EQ(dataSize, 0u);
  EXPECT_EQ(data[0], '#');
  EXPECT_EQ(ValueAt(key, 1), "error 259");
}

TEST_F(ValueTest, ValuesBelongToTheirOwnKey) {
  HKEY other = Create(HKEY_CURRENT_USER, "Other");
  ASSERT_EQ(Set(key, "shared", "mine"), ERROR_SUCCESS);
  ASSERT_EQ(Set(other, "shared", "theirs"), ERROR_SUCCESS);
  EXPECT_EQ(Get(key, "shared"), "mine");
  EXPECT_EQ(Get(other, "shared"), "theirs");
  EXPECT_EQ(Get(HKEY_CURRENT_USER, "shared"), "error 2");
}

}  // namespace
}  // namespace zbx::win::test
