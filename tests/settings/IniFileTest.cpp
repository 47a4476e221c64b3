#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "settings/IniFile.h"

namespace kestrix {
namespace {

using std::string_literals::operator""s;

TEST(IniFileTest, GroupsAndKeysIgnoreLetterCase) {
  const IniFile file = IniFile::Parse("[config]\r\n  comnr = 3\r\n");
  const IniGroup group = file.Group("Config");
  EXPECT_EQ(group.ReadInteger("ComNr", 99), 3);
  EXPECT_EQ(group.ReadInteger("COMNR", 99), 3);
  EXPECT_EQ(file.Group("CONFIG").ReadInteger("comNR", 99), 3);
}

TEST(IniFileTest, AbsentKeyOrGroupGivesFallbackPresentEmptyGivesZero) {
  const IniFile file =
      IniFile::Parse("[Config]\nComNr=\nRows=abc\nBare\nScale=\nName=\n");
  const IniGroup config = file.Group("Config");
  EXPECT_EQ(config.ReadInteger("ComNr", 6), 0);
  EXPECT_EQ(config.ReadInteger("Rows", 25), 0);
  EXPECT_EQ(config.ReadInteger("Bare", 25), 0);
  EXPECT_EQ(config.ReadInteger("Cols", 80), 80);
  EXPECT_EQ(config.ReadFloat("Scale", 2.0f), 0.0f);
  EXPECT_EQ(config.ReadFloat("Zoom", 2.0f), 2.0f);
  EXPECT_EQ(config.ReadText("Name", "x"), "");
  EXPECT_EQ(config.ReadText("Other", "x"), "x");
  EXPECT_EQ(file.Group("Colors").ReadInteger("ComNr", 7), 7);
}

TEST(IniFileTest, ValuesAreTrimmedAndKeepInnerText) {
  const IniFile file = IniFile::Parse(
      "[G]\n"
      "\t Path \t=\t C:\\My Files\\ \t \n"
      "Eq=a=b\n"
      "Num = \t-12abc\n");
  const IniGroup group = file.Group("G");
  EXPECT_EQ(group.ReadText("Path", ""), "C:\\My Files\\");
  EXPECT_EQ(group.ReadText("Eq", ""), "a=b");
  EXPECT_EQ(group.ReadInteger("Num", 0), -12);
}

TEST(IniFileTest, CommentsAndKeysBeforeFirstGroupAreIgnored) {
  const IniFile file = IniFile::Parse(
      "ComNr=5\n"
      "[Config]\n"
      ";ComNr=4\n"
      "  ; Rows=3\n"
      "Cols=9\n");
  const IniGroup config = file.Group("Config");
  EXPECT_EQ(config.ReadInteger("ComNr", 6), 6);
  EXPECT_EQ(config.ReadInteger("Rows", 25), 25);
  EXPECT_EQ(config.ReadInteger("Cols", 80), 9);
  // A ";" that does not start the line is part of the value.
  EXPECT_EQ(IniFile::Parse("[G]\nA=1;2\n").Group("G").ReadText("A", ""), "1;2");
}

TEST(IniFileTest, LineWithoutEqualsIsKeyWithEmptyValue) {
  const IniFile file =
      IniFile::Parse("[Config]\n/* Kestrix Settings v0.5 */'  \nRows=3\n");
  const IniGroup config = file.Group("Config");
  EXPECT_EQ(config.ReadText("/* Kestrix Settings v0.5 */'", "absent"), "");
  EXPECT_EQ(config.ReadInteger("Rows", 0), 3);
}

TEST(IniFileTest, FirstGroupAndFirstKeyWin) {
  const IniFile file = IniFile::Parse(
      "[Config]\nRows=1\nrows=2\n"
      "[CONFIG]\nRows=3\nCols=4\n");
  const IniGroup config = file.Group("Config");
  EXPECT_EQ(config.ReadInteger("Rows", 0), 1);
  // The second group is never searched, even for keys the first lacks.
  EXPECT_EQ(config.ReadInteger("Cols", 80), 80);
}

TEST(IniFileTest, GroupEndsAtNextGroupLine) {
  const IniFile file =
      IniFile::Parse("[A]\nx=1\n[B]\ny=2\n[C] trailing ] text\nz=3\n[D\nw=4\n");
  EXPECT_EQ(file.Group("A").ReadInteger("y", -1), -1);
  EXPECT_EQ(file.Group("B").ReadInteger("y", -1), 2);
  EXPECT_EQ(file.Group("B").ReadInteger("x", -1), -1);
  EXPECT_EQ(file.Group("C").ReadInteger("z", -1), 3);
  EXPECT_EQ(file.Group("D").ReadInteger("w", -1), 4);
}

TEST(IniFileTest, LinesEndAtCrLfOrNul) {
  const std::string text = "[G]\rA=1\r\r\nB=2\0C=3\n\nD=4"s;
  const IniGroup group = IniFile::Parse(text).Group("G");
  EXPECT_EQ(group.ReadInteger("A", 0), 1);
  EXPECT_EQ(group.ReadInteger("B", 0), 2);
  EXPECT_EQ(group.ReadInteger("C", 0), 3);
  EXPECT_EQ(group.ReadInteger("D", 0), 4);
  EXPECT_EQ(group.ReadText("B", ""), "2");
}

TEST(IniFileTest, ByteOrderMarkSelectsUtf8) {
  const std::string plain = "[G]\r\nName=caf\xE9\r\n";
  const std::string utf8 = "\xEF\xBB\xBF[G]\r\nName=caf\xC3\xA9\r\n";
  EXPECT_EQ(IniFile::Parse(plain).Group("G").ReadText("Name", ""), "caf\xE9");
  EXPECT_EQ(IniFile::Parse(utf8).Group("G").ReadText("Name", ""), "caf\xE9");
  // Without the mark the same bytes stay as they are.
  const std::string unmarked = "[G]\r\nName=caf\xC3\xA9\r\n";
  EXPECT_EQ(IniFile::Parse(unmarked).Group("G").ReadText("Name", ""),
            "caf\xC3\xA9");
  // A group right after the mark is still found.
  EXPECT_EQ(
      IniFile::Parse("\xEF\xBB\xBF[G]\nA=5").Group("G").ReadInteger("A", 0), 5);
}

}  // namespace
}  // namespace kestrix
