#include "ImageFile.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace kestrix::tools {

namespace {

std::vector<png_byte> RgbRow(const Raster& image, int y) {
  std::vector<png_byte> row(static_cast<std::size_t>(image.width()) * 3);
  const Colour* src = image.Row(y);
  for (int x = 0; x < image.width(); ++x) {
    const Colour c = src[x];  // 0x00BBGGRR
    row[static_cast<std::size_t>(x) * 3 + 0] = static_cast<png_byte>(c & 0xFF);
    row[static_cast<std::size_t>(x) * 3 + 1] =
        static_cast<png_byte>((c >> 8) & 0xFF);
    row[static_cast<std::size_t>(x) * 3 + 2] =
        static_cast<png_byte>((c >> 16) & 0xFF);
  }
  return row;
}

bool WritePpm(const Raster& image, std::FILE* f) {
  std::fprintf(f, "P6\n%d %d\n255\n", image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto row = RgbRow(image, y);
    if (std::fwrite(row.data(), 1, row.size(), f) != row.size()) return false;
  }
  return true;
}

bool WritePng(const Raster& image, std::FILE* f) {
  // Rows are prepared before libpng may jump out on an error.
  std::vector<std::vector<png_byte>> rows;
  for (int y = 0; y < image.height(); ++y) rows.push_back(RgbRow(image, y));
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
               static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (auto& row : rows) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool WriteImageFile(const Raster& image, const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok =
      EndsWith(path, ".ppm") ? WritePpm(image, f) : WritePng(image, f);
  return std::fclose(f) == 0 && ok;
}

}  // namespace kestrix::tools
