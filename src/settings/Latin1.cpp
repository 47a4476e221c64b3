#include "settings/Latin1.h"

#include <cstddef>
#include <cstdint>

namespace kestrix {
namespace {

constexpr char kUnmappable = '?';

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one sequence starting at text[pos]. Returns its length and stores
// the code point, or returns 0 when the lead byte does not start a valid
// sequence.
std::size_t DecodeOne(std::string_view text, std::size_t pos,
                      std::uint32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto byte = static_cast<unsigned char>(text[pos + k]);
    if (!IsContinuation(byte)) return 0;
    codePoint = (codePoint << 6) | (byte & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
  return length;
}

}  // namespace

std::string Utf8ToLatin1(std::string_view utf8) {
  std::string latin1;
  latin1.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[pos]);
    if (byte < 0x80) {
      latin1.push_back(static_cast<char>(byte));
      ++pos;
      continue;
    }
    std::uint32_t codePoint = 0;
    const std::size_t length = DecodeOne(utf8, pos, codePoint);
    if (length == 0) {
      latin1.push_back(kUnmappable);
      ++pos;
      continue;
    }
    latin1.push_back(codePoint <= 0xFF ? static_cast<char>(codePoint)
                                       : kUnmappable);
    pos += length;
  }
  return latin1;
}

}  // namespace kestrix
