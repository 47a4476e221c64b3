#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "settings/IniFile.h"
#include "settings/Latin1.h"
#include "settings/Numbers.h"

namespace kestrix {
namespace {

using std::string_literals::operator""s;

TEST(IniFileTest, FindsTheValueAsTheReaderSeesIt) {
  const struct {
    std::string text;
    const char* group;
    const char* key;
    const char* value;  // "absent": the fallback came back
    MarkedText marked = kPlatformMarkedText;
  } cases[] = {
      // clang-format off
      // Groups and keys ignore letter case; values are trimmed.
      {"[config]\r\n  comnr = 3\r\n", "CONFIG", "ComNr", "3"},
      {"[G]\n\t Path \t=\t C:\\My Files\\ \t \n", "G", "Path", "C:\\My Files\\"},
      {"[G]\nEq=a=b;c\n", "G", "Eq", "a=b;c"},
      // Comments and keys before the first group are not keys.
      {"ComNr=5\n[Config]\n", "Config", "ComNr", "absent"},
      {"[Config]\n  ; Rows=3\n", "Config", "Rows", "absent"},
      // A line without "=" is a key with an empty value.
      {"[C]\n/* v0.5 */'  \nRows=3\n", "C", "/* v0.5 */'", ""},
      // The first group and key win; a later group of that name is ignored.
      {"[C]\nRows=1\nrows=2\n[c]\nRows=3\nCols=4\n", "C", "Rows", "1"},
      {"[A]\nx=1\n[B]\ny=2\n", "A", "y", "absent"},
      // Lines end at CR, LF or NUL.
      {"[G]\rA=1\r\r\nB=2\0C=3\n\nD=4"s, "G", "D", "4"},
      // After a byte order mark, UTF-8 stays where file names are UTF-8 and
      // becomes Latin-1 elsewhere; without a mark bytes stay as they are.
      {"\xEF\xBB\xBF[G]\r\nName=caf\xC3\xA9\r\n", "G", "Name", kPlatformMarkedText == MarkedText::kKeepUtf8 ? "caf\xC3\xA9" : "caf\xE9"},
      {"\xEF\xBB\xBF[G]\nName=caf\xC3\xA9\n", "G", "Name", "caf\xE9", MarkedText::kToLatin1},
      {"[G]\r\nName=caf\xC3\xA9\r\n", "G", "Name", "caf\xC3\xA9", MarkedText::kToLatin1}};
  // clang-format on
  for (const auto& c : cases) {
    const IniGroup group = IniFile::Parse(c.text, c.marked).Group(c.group);
    EXPECT_EQ(group.ReadText(c.key, "absent"), c.value) << c.text << c.key;
  }
}

TEST(IniFileTest, NumbersFallBackOnlyWhenTheKeyIsAbsent) {
  const IniFile file =
      IniFile::Parse("[Config]\nComNr=\nBare\nScale=\nNum = \t-12abc\n");
  const IniGroup config = file.Group("Config");
  EXPECT_EQ(config.ReadInteger("ComNr", 6), 0);
  EXPECT_EQ(config.ReadInteger("Bare", 25), 0);
  EXPECT_EQ(config.ReadInteger("Num", 0), -12);
  EXPECT_EQ(config.ReadInteger("Cols", 80), 80);
  EXPECT_EQ(config.ReadFloat("Scale", 2.0f), 0.0f);
  EXPECT_EQ(config.ReadFloat("Zoom", 2.0f), 2.0f);
  EXPECT_EQ(file.Group("Colors").ReadInteger("ComNr", 7), 7);
}

TEST(Utf8ToLatin1Test, MapsLatin1RangeAndReplacesTheRest) {
  const struct {
    const char* name;
    std::string utf8, latin1;
  } rows[] = {
      {"ascii", "plain\r\na\0b"s, "plain\r\na\0b"s},
      {"U+0080, U+00E9, U+00FF", "\xC2\x80\xC3\xA9\xC3\xBF", "\x80\xE9\xFF"},
      {"euro and emoji", "\xE2\x82\xAC\xF0\x9F\x98\x80x", "??x"},
      {"stray continuation", "\x80x", "?x"},
      {"truncated keeps the line end", "\xC3\nA", "?\nA"},
      {"overlong, surrogate", "\xC0\xAF\xED\xA0\x80", "?????"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", "????"}};
  for (const auto& row : rows)
    EXPECT_EQ(Utf8ToLatin1(row.utf8), row.latin1) << row.name;
}

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int kIntMax = std::numeric_limits<int>::max(),
              kIntMin = std::numeric_limits<int>::min();

TEST(NumbersTest, ConvertLeniently) {
  const struct {
    const char* name;
    std::string_view text;
    int decimal;
    std::uint32_t hex;
    float real;
  } rows[] = {
      {"empty", "", 0, 0, 0.0f},
      {"blank, sign, trailing letters", " -12abc", -12, 0x12ABC, -12.0f},
      {"tab and plus", "\t+7", 7, 7, 7.0f},
      {"sign apart from the digits", "- 5", 0, 5, 0.0f},
      {"a line break is no blank", "\n5", 0, 5, 0.0f},
      {"largest int", "2147483647", 2147483647, 0x47483647, 2147483647.0f},
      {"above int", "2147483648", kIntMax, 0x47483648, 2147483648.0f},
      {"below int", "-2147483649", kIntMin, 0x47483649, -2147483649.0f},
      // "x", "$", "#", "g", "/" and "G" are skipped in hex; ":" to "@"
      // count as 3 to 9.
      {"hex prefixes", "0x1000", 0, 0x1000, 0.0f},
      {"skipped marks and letters, any case", "$#g/GaBcDeF", 0, 0xABCDEF, 0.0f},
      {"punctuation digits", ";<=>?@", 0, 0x456789, 0.0f},
      {"exponent", "15E-1", 15, 0x15E1, 1.5f},
      {"point first", " +.5", 0, 5, 0.5f},
      {"point last", "5.", 5, 5, 5.0f},
      {"bare exponent", "2e+", 2, 0x2E, 2.0f},
      {"comma", "1,5", 1, 0x15, 1.0f},
      {"nan is no number (nor is inf)", "nan", 0, 0xA, 0.0f},
      {"underflow", "1e-999", 1, 0x1E999, 0.0f},
      {"overflow", "-1e400", -1, 0x1E400, -kInf}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DecimalValue(row.text), row.decimal);
    EXPECT_EQ(static_cast<std::uint32_t>(HexValue(row.text)), row.hex);
    EXPECT_FLOAT_EQ(FloatValue(row.text), row.real);
  }
  // A ninth hex digit pushes the first out.
  EXPECT_EQ(static_cast<std::uint32_t>(HexValue("123456789")), 0x23456789u);
}

}  // namespace
}  // namespace kestrix
