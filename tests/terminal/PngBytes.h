#pragma once

// Builds PNG files byte by byte for the decoder tests, straight from the file
// format: chunks with their CRC-32, and the image data in a zlib stream of
// uncompressed ("stored") deflate blocks, so no PNG library is involved.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrix::testpng {

using Bytes = std::vector<std::uint8_t>;

enum ColourType : std::uint8_t {
  kGrey = 0,
  kRgb = 2,
  kPalette = 3,
  kGreyAlpha = 4,
  kRgba = 6,
};

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size,
                           std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

inline void PutBig32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(v >> shift));
  }
}

inline Bytes Chunk(const std::string& type, const Bytes& data) {
  Bytes out;
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  Bytes typed(type.begin(), type.end());
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBig32(out, Crc32(typed.data(), typed.size()));
  return out;
}

inline Bytes Ihdr(std::uint32_t width, std::uint32_t height,
                  std::uint8_t bit_depth, std::uint8_t colour_type,
                  std::uint8_t interlace = 0) {
  Bytes data;
  PutBig32(data, width);
  PutBig32(data, height);
  data.insert(data.end(), {bit_depth, colour_type, 0, 0, interlace});
  return Chunk("IHDR", data);
}

// A zlib stream (no compression) holding raw.
inline Bytes StoredZlib(const Bytes& raw) {
  Bytes out = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - pos, 65535);
    const bool last = pos + n == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(~n));
    out.push_back(static_cast<std::uint8_t>(~n >> 8));
    out.insert(out.end(), raw.begin() + static_cast<long>(pos),
               raw.begin() + static_cast<long>(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBig32(out, b << 16 | a);
  return out;
}

// Packs rows of samples (one value per channel per pixel) into scanlines,
// each led by filter byte 0: bit depths below 8 pack from the most
// significant bit, 16-bit samples are big-endian.
inline Bytes Scanlines(const std::vector<std::vector<std::uint16_t>>& rows,
                       int bit_depth) {
  Bytes out;
  for (const auto& row : rows) {
    out.push_back(0);
    if (bit_depth == 16) {
      for (std::uint16_t s : row) {
        out.push_back(static_cast<std::uint8_t>(s >> 8));
        out.push_back(static_cast<std::uint8_t>(s));
      }
      continue;
    }
    int used = 8;
    for (std::uint16_t s : row) {
      if (used == 8) {
        out.push_back(0);
        used = 0;
      }
      used += bit_depth;
      out.back() = static_cast<std::uint8_t>(out.back() | s << (8 - used));
    }
  }
  return out;
}

struct Image {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint8_t bit_depth = 8;
  std::uint8_t colour_type = kRgb;
  std::uint8_t interlace = 0;
  Bytes palette;       // PLTE payload, r g b per entry
  Bytes transparency;  // tRNS payload, if any
  Bytes scanlines;     // filtered image data, before compression
};

inline Bytes Encode(const Image& image) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto append = [&out](const Bytes& part) {
    out.insert(out.end(), part.begin(), part.end());
  };
  append(Ihdr(image.width, image.height, image.bit_depth, image.colour_type,
              image.interlace));
  if (!image.palette.empty()) append(Chunk("PLTE", image.palette));
  if (!image.transparency.empty()) append(Chunk("tRNS", image.transparency));
  append(Chunk("IDAT", StoredZlib(image.scanlines)));
  append(Chunk("IEND", {}));
  return out;
}

}  // namespace kestrix::testpng
