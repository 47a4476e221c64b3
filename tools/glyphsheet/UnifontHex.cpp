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
  int line_number = 0;
  while (std::getline(in, line)) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const auto colon = line.find(':');
    const std::string code_text = line.substr(0, colon);
    const std::string bits =
        colon == std::string::npos ? "" : line.substr(colon + 1);
    if (colon == std::string::npos || code_text.size() > 6 ||
        !AllHex(code_text) || !AllHex(bits) ||
        (bits.size() != 32 && bits.size() != 64)) {
      *error = path + ":" + std::to_string(line_number) + ": malformed line";
      return std::nullopt;
    }
    const auto code = static_cast<char32_t>(std::stoul(code_text, nullptr, 16));
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

const NarrowGlyph* UnifontHex::Find(char32_t code_point) const {
  const auto it = narrow_.find(code_point);
  return it == narrow_.end() ? nullptr : &it->second;
}

bool UnifontHex::IsWide(char32_t code_point) const {
  return wide_.count(code_point) != 0;
}

}  // namespace kestrix::tools
