#include <gtest/gtest.h>

#include <string>

#include "settings/IniFile.h"

namespace kestrix {
namespace {

using std::string_literals::operator""s;

TEST(IniFileTest, FindsTheValueAsTheReaderSeesIt) {
  const struct {
    std::string text;
    const char* group;
    const char* key;
    const char* value;  // "absent": the fallback came back
  } cases[] = {
      // Groups and keys ignore letter case; values are trimmed.
      {"[config]\r\n  comnr = 3\r\n", "CONFIG", "ComNr", "3"},
      {"[G]\n\t Path \t=\t C:\\My Files\\ \t \n", "G", "Path",
       "C:\\My Files\\"},
      {"[G]\nEq=a=b\n", "G", "Eq", "a=b"},
      // Comments and keys before the first group are not keys.
      {"ComNr=5\n[Config]\n", "Config", "ComNr", "absent"},
      {"[Config]\n;ComNr=4\n", "Config", "ComNr", "absent"},
      {"[Config]\n  ; Rows=3\n", "Config", "Rows", "absent"},
      {"[G]\nA=1;2\n", "G", "A", "1;2"},
      // A line without "=" is a key with an empty value.
      {"[Config]\n/* Kestrix Settings v0.5 */'  \nRows=3\n", "Config",
       "/* Kestrix Settings v0.5 */'", ""},
      {"[Config]\n/* Kestrix Settings v0.5 */'  \nRows=3\n", "Config", "Rows",
       "3"},
      // The first group and first key win; a later group of the same name is
      // never searched, even for keys the first lacks.
      {"[Config]\nRows=1\nrows=2\n[CONFIG]\nRows=3\nCols=4\n", "Config", "Rows",
       "1"},
      {"[Config]\nRows=1\n[CONFIG]\nCols=4\n", "Config", "Cols", "absent"},
      // A group ends at the next group line.
      {"[A]\nx=1\n[B]\ny=2\n", "A", "y", "absent"},
      {"[A]\nx=1\n[B]\ny=2\n", "B", "x", "absent"},
      {"[B]\ny=2\n[C] trailing ] text\nz=3\n", "C", "z", "3"},
      {"[C]\n[D\nw=4\n", "D", "w", "4"},
      // Lines end at CR, LF or NUL.
      {"[G]\rA=1\r\r\nB=2\0C=3\n\nD=4"s, "G", "A", "1"},
      {"[G]\rA=1\r\r\nB=2\0C=3\n\nD=4"s, "G", "B", "2"},
      {"[G]\rA=1\r\r\nB=2\0C=3\n\nD=4"s, "G", "C", "3"},
      {"[G]\rA=1\r\r\nB=2\0C=3\n\nD=4"s, "G", "D", "4"},
      // A byte order mark selects UTF-8; without it bytes stay as they are.
      {"[G]\r\nName=caf\xE9\r\n", "G", "Name", "caf\xE9"},
      {"\xEF\xBB\xBF[G]\r\nName=caf\xC3\xA9\r\n", "G", "Name", "caf\xE9"},
      {"[G]\r\nName=caf\xC3\xA9\r\n", "G", "Name", "caf\xC3\xA9"},
      {"\xEF\xBB\xBF[G]\nA=5", "G", "A", "5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniFile::Parse(c.text).Group(c.group).ReadText(c.key, "absent"),
              c.value)
        << c.text << " " << c.key;
  }
}

TEST(IniFileTest, NumbersFallBackOnlyWhenTheKeyIsAbsent) {
  const IniFile file = IniFile::Parse(
      "[Config]\nComNr=\nRows=abc\nBare\nScale=\nNum = \t-12abc\n");
  const IniGroup config = file.Group("Config");
  EXPECT_EQ(config.ReadInteger("ComNr", 6), 0);
  EXPECT_EQ(config.ReadInteger("Rows", 25), 0);
  EXPECT_EQ(config.ReadInteger("Bare", 25), 0);
  EXPECT_EQ(config.ReadInteger("Num", 0), -12);
  EXPECT_EQ(config.ReadInteger("Cols", 80), 80);
  EXPECT_EQ(config.ReadFloat("Scale", 2.0f), 0.0f);
  EXPECT_EQ(config.ReadFloat("Zoom", 2.0f), 2.0f);
  EXPECT_EQ(file.Group("Colors").ReadInteger("ComNr", 7), 7);
}

}  // namespace
}  // namespace kestrix
