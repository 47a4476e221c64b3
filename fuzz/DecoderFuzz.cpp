// The stream decoder on arbitrary device bytes. The first four bytes pick
// the mode, the grid (up to 512 x 256 cells, with or without the strip) and
// the chunk length; the rest is the stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "terminal/Engine.h"

namespace {

using kestrix::Raster;

// A sheet of black and white glyphs; the pattern does not matter, only that
// both colours occur.
Raster MakeSheet() {
  Raster sheet(256, 136, kestrix::kWhite);
  for (int y = 0; y < sheet.height(); ++y) {
    for (int x = 0; x < sheet.width(); ++x) {
      if ((x * 3 + y * 5) % 7 == 0) sheet.At(x, y) = kestrix::kBlack;
    }
  }
  return sheet;
}

class NoWindow : public kestrix::Presenter {
 public:
  void PresentScreen(const Raster&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 4) return 0;
  static const Raster sheet = MakeSheet();
  kestrix::SilentPort port;
  kestrix::StillClock clock;
  NoWindow window;
  kestrix::Engine engine(sheet, port, clock);
  kestrix::DecoderOptions options;
  options.NormalTerminalFlag = data[0] & 1;
  options.TxtCurs = (data[0] >> 1) & 1;
  engine.SetOptions(options);
  engine.SetPresenter(&window);
  // Small grids keep most runs quick (every scroll and fill is as large as
  // the picture); both bytes at 255 give the largest grid.
  const bool largest = data[1] == 255 && data[2] == 255;
  const int cols = largest ? 512 : 1 + data[1] % 48;
  const int rows = largest ? 256 : 1 + data[2] % 30;
  kestrix::CreateScreenImage(engine.screen(), cols, rows,
                             /*withStrip=*/(data[0] & 4) != 0);
  const std::size_t chunk = 1 + data[3] * 4u;
  std::span<const std::uint8_t> stream(data + 4, size - 4);
  while (!stream.empty()) {
    const std::size_t n = std::min(chunk, stream.size());
    engine.Decode(stream.first(n));
    stream = stream.subspan(n);
  }
  return 0;
}
