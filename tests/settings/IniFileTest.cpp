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
      {"\xEF\xBB\xBF[G]\r\nName=caf\xC3\xA9\r\n", "G", "Name",
       kPlatformMarkedText == MarkedText::kKeepUtf8 ? "caf\xC3\xA9"
                                                    : "caf\xE9"},
      {"[G]\r\nName=caf\xC3\xA9\r\n", "G", "Name", "caf\xC3\xA9"}};
  for (const auto& c : cases) {
    EXPECT_EQ(IniFile::Parse(c.text).Group(c.group).ReadText(c.key, "absent"),
              c.value)
        << c.text << " " << c.key;
  }
  EXPECT_EQ(IniFile::Parse("\xEF\xBB\xBF[G]\nName=caf\xC3\xA9\n",
                           MarkedText::kToLatin1)
                .Group("G")
                .ReadText("Name", ""),
            "caf\xE9");
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

}  // namespace
}  // namespace kestrix
