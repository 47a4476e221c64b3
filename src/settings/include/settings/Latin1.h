#pragma once

#include <string>
#include <string_view>

namespace kestrix {

// The program's text is 8-bit Latin-1 (one byte per character). Converts
// UTF-8 to it: code points up to U+00FF become their byte, every other code
// point and every malformed byte (stray continuation, truncated, overlong or
// surrogate sequence) becomes "?". ASCII bytes, line breaks included, always
// pass through unchanged, so a broken sequence never swallows a line end.
std::string Utf8ToLatin1(std::string_view utf8);

}  // namespace kestrix
