#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "settings/Latin1.h"

namespace kestrix {
namespace {

using std::string_literals::operator""s;

TEST(Utf8ToLatin1Test, MapsLatin1RangeAndReplacesTheRest) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain\r\n", "plain\r\n"},
      {"\xC2\x80\xC3\xA9\xC3\xBF", "\x80\xE9\xFF"},  // U+0080, U+00E9, U+00FF
      {"\xE2\x82\xAC", "?"},                         // U+20AC euro sign
      {"\xF0\x9F\x98\x80!", "?!"},                   // U+1F600
      {"\x80x", "?x"},                               // stray continuation
      {"\xC3\nA", "?\nA"},           // truncated: the line end is kept
      {"\xC0\xAF", "??"},            // overlong "/"
      {"\xED\xA0\x80", "???"},       // surrogate U+D800
      {"\xF4\x90\x80\x80", "????"},  // above U+10FFFF
      {"a\0b"s, "a\0b"s}};
  for (const auto& [utf8, latin1] : cases) {
    EXPECT_EQ(Utf8ToLatin1(utf8), latin1) << utf8;
  }
}

}  // namespace
}  // namespace kestrix
