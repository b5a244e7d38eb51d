// Code page 1252 and UTF-8: every byte against the C library's own CP1252 table, every
// code point that maps to one, and the decoder at the edges of each sequence length.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepage.h"
#ifndef _WIN32
#include <iconv.h>
#endif

namespace zbx {
namespace {

constexpr char32_t kBad = 0xFFFD;

#ifndef _WIN32
// The UTF-8 that iconv(3) makes of CP1252 text; nothing when it cannot convert it.
std::optional<std::string> IconvUtf8(std::string in) {
  const iconv_t cd = iconv_open("UTF-8", "CP1252");
  std::string out(16, '\0');
  char *inp = in.data(), *outp = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  const std::size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) return std::nullopt;
  return out.substr(0, out.size() - outLeft);
}

TEST(CodePage, EveryByteAndEveryCodePointAsTheCLibrarysCp1252) {
  std::map<char32_t, std::uint8_t> byteOf;
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const std::string byte(1, static_cast<char>(b));
    std::string utf8;
    AppendUtf8(utf8, FromAnsiCode(static_cast<std::uint8_t>(b)));
    // The five bytes 1252 leaves undefined stand for the C1 control of the same value.
    const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    EXPECT_EQ(IconvUtf8(byte), undefined ? std::nullopt : std::optional<std::string>(utf8));
    EXPECT_EQ(AnsiToUtf8(byte), undefined ? "\xC2" + byte : utf8);
    EXPECT_EQ(Utf8ToAnsi(utf8), byte);
    EXPECT_EQ(CodePageProblem(utf8), "");
    byteOf[FromAnsiCode(static_cast<std::uint8_t>(b))] = static_cast<std::uint8_t>(b);
  }
  // Below U+3000 lies every character the code page holds; no other one has a byte.
  for (char32_t cp = 0; cp < 0x3000; ++cp) {
    const auto found = byteOf.find(cp);
    EXPECT_EQ(AnsiCode(cp), found != byteOf.end() ? std::optional<std::uint8_t>(found->second) : std::nullopt)
        << std::hex << static_cast<unsigned>(cp);
  }
}
#endif

// Every code point NextCodePoint reads from the text, one after the other.
std::vector<char32_t> Decoded(const std::string& text) {
  std::vector<char32_t> cps;
  for (std::size_t pos = 0; pos < text.size();) cps.push_back(NextCodePoint(text, pos));
  return cps;
}

TEST(CodePage, Utf8AtTheEdgesOfEachLength) {
  // Valid: the lowest and highest code point of each length, and around the surrogates.
  const std::pair<std::string, char32_t> valid[] = {
      {std::string(1, '\0'), 0},     {"\x7F", 0x7F},           {"\xC2\x80", 0x80},     {"\xDF\xBF", 0x7FF},
      {"\xE0\xA0\x80", 0x800},       {"\xED\x9F\xBF", 0xD7FF}, {"\xEE\x80\x80", 0xE000}, {"\xEF\xBF\xBF", 0xFFFF},
      {"\xF0\x90\x80\x80", 0x10000}, {"\xF0\x9F\x98\x80", 0x1F600}, {"\xF4\x8F\xBF\xBF", 0x10FFFF},
  };
  for (const auto& [bytes, cp] : valid) {
    EXPECT_EQ(Decoded(bytes), std::vector<char32_t>{cp}) << std::hex << static_cast<unsigned>(cp);
    std::string encoded;
    AppendUtf8(encoded, cp);
    EXPECT_EQ(encoded, bytes) << std::hex << static_cast<unsigned>(cp);
  }
  // Invalid: each byte that starts no valid sequence reads as U+FFFD and is passed by
  // alone, so the bytes behind it are read on their own.
  const std::pair<std::string, std::vector<char32_t>> invalid[] = {
      {"\x80", {kBad}},  // a continuation byte alone; then overlong forms of 0, 0x7FF, 0xFFFF
      {"\xC0\x80", {kBad, kBad}}, {"\xE0\x9F\xBF", {kBad, kBad, kBad}},
      {"\xF0\x8F\xBF\xBF", {kBad, kBad, kBad, kBad}},
      {"\xED\xA0\x80", {kBad, kBad, kBad}}, {"\xED\xBF\xBF", {kBad, kBad, kBad}},  // surrogates
      {"\xF4\x90\x80\x80", {kBad, kBad, kBad, kBad}},                              // beyond U+10FFFF
      {"\xF8\x88\x80\x80\x80", {kBad, kBad, kBad, kBad, kBad}}, {"\xFF\xFE", {kBad, kBad}},  // no such lead
      {"\xC3" "A", {kBad, 'A'}}, {"\xC3\xC3\xA9", {kBad, 0xE9}},  // a lead byte, then no continuation
      {"\xF0\x9F\x98" "A", {kBad, kBad, kBad, 'A'}}, {"\xE2\x82", {kBad, kBad}}, {"a\xC3", {'a', kBad}},  // cut short
  };
  for (const auto& [bytes, cps] : invalid) {
    EXPECT_EQ(Decoded(bytes), cps) << testing::PrintToString(bytes);
    EXPECT_EQ(CodePageProblem(bytes), "it is not valid UTF-8") << testing::PrintToString(bytes);
  }
}

TEST(CodePage, WhatTheCodePageCannotHoldBecomesAQuestionMarkAndIsNamed) {
  EXPECT_EQ(Utf8ToAnsi("5 € café 日本 😀!"), "5 \x80 caf\xE9 ?? ?!");
  EXPECT_EQ(CodePageProblem("ā"), "code page 1252 has no U+0101");
  EXPECT_EQ(CodePageProblem("\xEF\xBF\xBD"), "code page 1252 has no U+FFFD");  // U+FFFD as itself is valid UTF-8
}

}  // namespace
}  // namespace zbx
