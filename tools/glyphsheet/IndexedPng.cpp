#include "IndexedPng.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace kestrix::tools {
namespace {

struct WriteJob {
  const IndexedImage* image = nullptr;
  std::FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  char message[256] = {};
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* job = static_cast<WriteJob*>(png_get_error_ptr(png));
  std::snprintf(job->message, sizeof job->message, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Holds no objects with destructors: libpng leaves it by longjmp on error.
bool RunWrite(WriteJob& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  const IndexedImage& image = *job.image;
  png_init_io(job.png, job.file);
  png_set_compression_level(job.png, 9);
  png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[256];
  for (std::size_t i = 0; i < image.palette.size(); ++i) {
    palette[i] = {image.palette[i].red, image.palette[i].green,
                  image.palette[i].blue};
  }
  png_set_PLTE(job.png, job.info, palette,
               static_cast<int>(image.palette.size()));
  png_write_info(job.png, job.info);
  for (int y = 0; y < image.height; ++y) {
    png_write_row(job.png, image.pixels.data() +
                               static_cast<std::size_t>(y) *
                                   static_cast<std::size_t>(image.width));
  }
  png_write_end(job.png, nullptr);
  return true;
}

}  // namespace

bool WriteIndexedPng(const IndexedImage& image, const std::string& path,
                     std::string* error) {
  if (image.width <= 0 || image.height <= 0 || image.palette.empty() ||
      image.palette.size() > 256 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) *
                                 static_cast<std::size_t>(image.height)) {
    *error = "inconsistent image";
    return false;
  }
  for (std::uint8_t index : image.pixels) {
    if (index >= image.palette.size()) {
      *error = "pixel index outside the palette";
      return false;
    }
  }
  WriteJob job;
  job.image = &image;
  job.file = std::fopen(path.c_str(), "wb");
  if (job.file == nullptr) {
    *error = "cannot create " + path;
    return false;
  }
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError,
                                    OnPngWarning);
  job.info = job.png ? png_create_info_struct(job.png) : nullptr;
  bool ok = job.info != nullptr && RunWrite(job);
  png_destroy_write_struct(&job.png, &job.info);
  ok = std::fclose(job.file) == 0 && ok;
  if (!ok)
    *error = path + ": " + (job.message[0] ? job.message : "write failed");
  return ok;
}

}  // namespace kestrix::tools
