#include <gtest/gtest.h>

#include <string>

#include "settings/Latin1.h"

namespace kestrix {
namespace {

using std::string_literals::operator""s;

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
  for (const auto& row : rows) {
    EXPECT_EQ(Utf8ToLatin1(row.utf8), row.latin1) << row.name;
  }
}

}  // namespace
}  // namespace kestrix
