#pragma once

// PNG files built byte by byte, image data in one stored zlib block.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrix::testpng {

using Bytes = std::vector<std::uint8_t>;
using Samples = std::vector<std::vector<std::uint16_t>>;

constexpr std::uint8_t kGrey = 0, kRgb = 2, kPalette = 3;

inline void PutBig32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void PutChunk(Bytes& out, const std::string& type, const Bytes& data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  Bytes typed(type.begin(), type.end());
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  std::uint32_t crc = ~0u;
  for (std::uint8_t byte : typed) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  PutBig32(out, ~crc);
}

// A zlib stream holding raw (at most 65535 bytes) in one stored block.
inline Bytes StoredZlib(const Bytes& raw) {
  const auto n = static_cast<std::uint16_t>(raw.size());
  Bytes out = {0x78, 0x01, 1};
  for (std::uint16_t v : {n, static_cast<std::uint16_t>(~n)})
    out.insert(out.end(), {static_cast<std::uint8_t>(v),
                           static_cast<std::uint8_t>(v >> 8)});
  out.insert(out.end(), raw.begin(), raw.end());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBig32(out, b << 16 | a);
  return out;
}

// Rows of 8- or 16-bit samples into scanlines led by filter byte 0.
inline Bytes Scanlines(const Samples& rows, int bit_depth) {
  Bytes out;
  for (const auto& row : rows) {
    out.push_back(0);
    for (std::uint16_t s : row) {
      if (bit_depth == 16) out.push_back(static_cast<std::uint8_t>(s >> 8));
      out.push_back(static_cast<std::uint8_t>(s));
    }
  }
  return out;
}

inline Bytes Png(std::uint32_t width, std::uint32_t height,
                 std::uint8_t bit_depth, std::uint8_t colour_type,
                 const Samples& rows, const Bytes& palette = {}) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBig32(header, width);
  PutBig32(header, height);
  header.insert(header.end(), {bit_depth, colour_type, 0, 0, 0});
  PutChunk(out, "IHDR", header);
  if (!palette.empty()) PutChunk(out, "PLTE", palette);
  PutChunk(out, "IDAT", StoredZlib(Scanlines(rows, bit_depth)));
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace kestrix::testpng
