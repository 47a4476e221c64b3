#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "settings/Latin1.h"

namespace kestrix {
namespace {

using std::string_literals::operator""s;

struct Case {
  std::string utf8;
  std::string latin1;
};

TEST(Utf8ToLatin1Test, MapsLatin1RangeAndReplacesTheRest) {
  const Case cases[] = {
      {"", ""},
      {"plain ASCII\r\n", "plain ASCII\r\n"},
      {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},  // U+00E9
      {"\xC2\xA0\xC3\xBF", "\xA0\xFF"},    // U+00A0, U+00FF
      {"\xC2\x80", "\x80"},                // U+0080
      {"\xE2\x82\xAC", "?"},               // U+20AC euro sign
      {"\xF0\x9F\x98\x80!", "?!"},         // U+1F600
      {"\x80x", "?x"},                     // stray continuation
      {"\xC3", "?"},                       // truncated at the end
      {"\xC3\nA", "?\nA"},                 // line end not swallowed
      {"\xE2\x82\n", "??\n"},              // truncated three-byte
      {"\xC0\xAF", "??"},                  // overlong "/"
      {"\xE0\x80\xAF", "???"},             // overlong "/"
      {"\xED\xA0\x80", "???"},             // surrogate U+D800
      {"\xF4\x90\x80\x80", "????"},        // above U+10FFFF
      {"\xFF\xFE", "??"},
      {"a\0b"s, "a\0b"s},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToLatin1(c.utf8), c.latin1) << c.utf8;
  }
}

}  // namespace
}  // namespace kestrix
