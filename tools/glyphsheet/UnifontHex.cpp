#include "UnifontHex.h"

#include <fstream>

namespace kestrix::tools {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool AllHex(const std::string& text) {
  for (char c : text) {
    if (HexDigit(c) < 0) return false;
  }
  return !text.empty();
}

}  // namespace

std::optional<UnifontHex> UnifontHex::Load(const std::string& path,
                                           std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot open " + path;
    return std::nullopt;
  }
  UnifontHex font;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const auto colon = line.find(':');
    const std::string codeText = line.substr(0, colon);
    const std::string bits =
        colon == std::string::npos ? "" : line.substr(colon + 1);
    if (colon == std::string::npos || codeText.size() > 6 ||
        !AllHex(codeText) || !AllHex(bits) ||
        (bits.size() != 32 && bits.size() != 64)) {
      *error = path + ":" + std::to_string(lineNumber) + ": malformed line";
      return std::nullopt;
    }
    const auto code = static_cast<char32_t>(std::stoul(codeText, nullptr, 16));
    if (bits.size() == 64) {
      font.wide_[code] = true;
      continue;
    }
    NarrowGlyph glyph{};
    for (std::size_t row = 0; row < glyph.size(); ++row) {
      glyph[row] = static_cast<std::uint8_t>(HexDigit(bits[2 * row]) * 16 +
                                             HexDigit(bits[2 * row + 1]));
    }
    font.narrow_[code] = glyph;
  }
  return font;
}

const NarrowGlyph* UnifontHex::Find(char32_t codePoint) const {
  const auto it = narrow_.find(codePoint);
  return it == narrow_.end() ? nullptr : &it->second;
}

bool UnifontHex::IsWide(char32_t codePoint) const {
  return wide_.count(codePoint) != 0;
}

}  // namespace kestrix::tools
