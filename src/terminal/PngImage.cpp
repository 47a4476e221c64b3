#include "terminal/PngImage.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace kestrix {
namespace {

constexpr std::size_t kSignatureSize = 8;

// zlib cannot expand data by more than about 1032 to 1; a header that
// promises more pixels than the file could hold is lying, and trusting it
// would allocate memory for nothing.
constexpr std::uint64_t kMaxInflateRatio = 1100;

// Ancillary chunks (text, profiles) are bounded too, so a crafted chunk
// cannot make libpng allocate more than this.
constexpr png_alloc_size_t kMaxChunkBytes = 1 << 20;

// Everything the decode touches lives here, outside the function that calls
// setjmp, so nothing with a destructor is skipped or left indeterminate
// when libpng jumps back on an error.
struct DecodeJob {
  std::span<const std::uint8_t> data;
  std::size_t position = 0;
  png_structp png = nullptr;
  png_infop info = nullptr;
  Raster image;
  std::vector<png_byte> rows;
  char message[200] = {};
};

void Fail(png_structp png, const char* message) {
  auto* job = static_cast<DecodeJob*>(png_get_error_ptr(png));
  std::snprintf(job->message, sizeof job->message, "%s", message);
  png_longjmp(png, 1);
}

void OnPngError(png_structp png, png_const_charp message) {
  Fail(png, message);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* job = static_cast<DecodeJob*>(png_get_io_ptr(png));
  if (length > job->data.size() - job->position) {
    Fail(png, "PNG data truncated");
  }
  std::memcpy(out, job->data.data() + job->position, length);
  job->position += length;
}

// Called only by DecodeInto; no objects with destructors here either.
void ReadImage(DecodeJob& job) {
  png_structp png = job.png;
  png_infop info = job.info;
  png_set_read_fn(png, &job, ReadFromMemory);
  png_set_user_limits(png, kMaxPngDimension, kMaxPngDimension);
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_read_info(png, info);

  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  const int channels = png_get_channels(png, info);
  const std::uint64_t packedBytes =
      (static_cast<std::uint64_t>(width) * static_cast<unsigned>(channels) *
           static_cast<unsigned>(bitDepth) +
       7) /
      8 * height;
  if (packedBytes >
      static_cast<std::uint64_t>(job.data.size()) * kMaxInflateRatio) {
    Fail(png, "PNG data too short for its dimensions");
  }

  // Everything becomes 8-bit RGB; transparency is simply not carried over.
  const int colourType = png_get_color_type(png, info);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
  if (colourType == PNG_COLOR_TYPE_GRAY ||
      colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  if (bitDepth == 16) png_set_scale_16(png);
  // Expanding a palette also turns a tRNS chunk into an alpha channel, so
  // transparency of any kind has to be stripped, not only a stored alpha.
  if ((colourType & PNG_COLOR_MASK_ALPHA) ||
      png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_strip_alpha(png);
  }
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_channels(png, info) != 3 || png_get_bit_depth(png, info) != 8 ||
      png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 3) {
    Fail(png, "unsupported PNG pixel format");
  }

  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  job.rows.assign(rowBytes * height, 0);
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, job.rows.data() + rowBytes * y, nullptr);
    }
  }
  // Reads up to IEND, so a file cut short after its pixel data still fails.
  png_read_end(png, nullptr);

  job.image = Raster(static_cast<int>(width), static_cast<int>(height));
  for (png_uint_32 y = 0; y < height; ++y) {
    const png_byte* in = job.rows.data() + rowBytes * y;
    Colour* out = job.image.Row(static_cast<int>(y));
    for (png_uint_32 x = 0; x < width; ++x, in += 3) {
      out[x] = static_cast<Colour>(in[0]) | static_cast<Colour>(in[1]) << 8 |
               static_cast<Colour>(in[2]) << 16;
    }
  }
}

bool DecodeInto(DecodeJob& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  ReadImage(job);
  return true;
}

}  // namespace

DecodedPng DecodePng(std::span<const std::uint8_t> data) {
  auto report = [](const char* message) {
    return DecodedPng{std::nullopt, message};
  };
  if (data.size() < kSignatureSize ||
      png_sig_cmp(data.data(), 0, kSignatureSize) != 0) {
    return report("not a PNG image");
  }
  DecodeJob job;
  job.data = data;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError,
                                   OnPngWarning);
  if (job.png == nullptr) return report("cannot start the PNG decoder");
  job.info = png_create_info_struct(job.png);
  bool ok = false;
  if (job.info != nullptr) {
    try {
      ok = DecodeInto(job);
    } catch (const std::bad_alloc&) {
      std::snprintf(job.message, sizeof job.message, "out of memory");
    }
  }
  png_destroy_read_struct(&job.png, &job.info, nullptr);
  if (!ok) return report(job.message[0] ? job.message : "PNG decoding failed");
  return {std::move(job.image), {}};
}

}  // namespace kestrix
