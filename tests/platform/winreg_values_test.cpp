// Values: names, types, the data a query hands back, and the order of enumeration.

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

class ValueTest : public RegistryTest {
 protected:
  HKEY key = Create(HKEY_CURRENT_USER, "Values");
};

TEST_F(ValueTest, NamesIgnoreCaseKeepTheirFirstSpellingAndBelongToTheirKey) {
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
  EXPECT_EQ(Names(reg, key, true), Strings{""});
  EXPECT_EQ(reg.RegDeleteValueA(key, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteValueA(key, ""), ERROR_FILE_NOT_FOUND);
}

// What is stored of the counted bytes (Windows takes a zero just behind string data for a
// terminator the caller forgot to count), and what a query writes into a buffer of '#'.
TEST_F(ValueTest, DataIsStoredExactlyAndHandedBackTheRegistrysWay) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
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
      {0xFFFFFFFF, all, 256, 300, 0, 256, all + "#"},
      {REG_SZ, std::string("\0\0", 2), 0, 4, 0, 0, "#"},  // zero bytes: the buffer untouched
      {REG_SZ, "0123456789X", 10, 9, ERROR_MORE_DATA, 10, std::string(10, '#')},  // too small: untouched
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " " << c.count << " " << c.room);
    ASSERT_EQ(reg.RegSetValueExA(key, "v", 0, c.type, reinterpret_cast<const BYTE*>(c.buffer.data()), c.count),
              ERROR_SUCCESS);
    std::string buffer(300, '#');
    DWORD size = c.room, type = 99;
    EXPECT_EQ(reg.RegQueryValueExA(key, "v", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size),
              c.rc);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(buffer.substr(0, c.seen.size()), c.seen);
  }
}

TEST_F(ValueTest, SizeOnlyQueriesMissingValuesBadArgumentsAndLongNames) {
  ASSERT_EQ(Set(reg, key, "big", std::string(1000, 'x')), ERROR_SUCCESS);
  DWORD size = 1, type = 0;
  BYTE buffer[4];
  EXPECT_EQ(reg.RegQueryValueExA(key, "big", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 1000u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(reg.RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.RegQueryValueExA(key, "big", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegSetValueExA(key, "bad", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
  EXPECT_EQ(Get(reg, key, "bad"), Error(2));
  // Names up to 16383 characters; listing the longest needs room for its zero too.
  const std::string longest(16383, 'n'), tooLong = longest + "n";
  ASSERT_EQ(Set(reg, key, longest.c_str(), "x"), ERROR_SUCCESS);
  EXPECT_EQ(Set(reg, key, tooLong.c_str(), "x"), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Get(reg, key, tooLong.c_str()), Error(2));  // no value of that name can be there
  std::vector<char> name(16384);
  for (DWORD room : {16383u, 16384u}) {
    size = room;
    EXPECT_EQ(reg.RegEnumValueA(key, 1, name.data(), &size, nullptr, nullptr, nullptr, nullptr),
              room == 16384 ? ERROR_SUCCESS : ERROR_MORE_DATA);
  }
  EXPECT_EQ(std::string(name.data()), longest);
}

TEST_F(ValueTest, ValuesEnumerateInCreationOrderAndFollowChanges) {
  // Win32 leaves the order of values open. Our store keeps the order of creation; Wine
  // keeps values sorted by name.
  for (const char* name : {"zulu", "Alpha", "mike", "bravo"}) ASSERT_EQ(Set(reg, key, name, "1"), 0);
  ASSERT_EQ(Set(reg, key, "ZULU", "2"), ERROR_SUCCESS);  // overwriting keeps the name and the place
  ASSERT_EQ(reg.RegDeleteValueA(key, "alpha"), ERROR_SUCCESS);
  ASSERT_EQ(Set(reg, key, "ALPHA", "3"), ERROR_SUCCESS);  // created again: last
  const Strings before = Names(reg, key, true);
  EXPECT_EQ(before, (UnderWine() ? Strings{"ALPHA", "bravo", "mike", "zulu"} : Strings{"zulu", "mike", "bravo", "ALPHA"}));
  // A deletion between two calls shifts the entries behind it.
  EXPECT_EQ(NameAt(reg, key, 1, true), before[1]);
  ASSERT_EQ(reg.RegDeleteValueA(key, before[0].c_str()), ERROR_SUCCESS);
  EXPECT_EQ(NameAt(reg, key, 2, true), before[3]);
}

TEST_F(ValueTest, EnumValueHandsBackNameTypeAndDataAsAQueryDoes) {
  ASSERT_EQ(Set(reg, key, "text", "hello"), ERROR_SUCCESS);
  char name[8];
  std::string data(8, '#');
  DWORD nameSize = sizeof name, type = 0, dataSize = 8;
  auto enumAt = [&](DWORD nameRoom, DWORD dataRoom) {
    nameSize = nameRoom;
    dataSize = dataRoom;
    return reg.RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &dataSize);
  };
  ASSERT_EQ(enumAt(8, 8), ERROR_SUCCESS);
  EXPECT_EQ(std::string(name) + std::to_string(nameSize) + " " + std::to_string(type), "text4 1");
  EXPECT_EQ(data.substr(0, 7) + std::to_string(dataSize), std::string("hello\0#5", 8));
  data.assign(8, '#');
  EXPECT_EQ(enumAt(8, 4), ERROR_MORE_DATA);  // the size needed, the buffer untouched
  EXPECT_EQ(std::to_string(dataSize) + data[0], "5#");
  EXPECT_EQ(enumAt(4, 8), ERROR_MORE_DATA);  // no room for the name's zero
  EXPECT_EQ(reg.RegEnumValueA(key, 0, nullptr, &nameSize, nullptr, &type, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace zbx::win::test
