// Decoder throughput: plain text, scrolling lines, and a graphics mix. Each
// figure is also given as a multiple of the 115200-baud line rate (11,520
// bytes per second with start and stop bits).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/SharedBlocks.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/Engine.h"
#include "terminal/Presenter.h"
#include "terminal/TerminalScreen.h"

namespace {

using namespace kestrix;

constexpr double kLineRateBytesPerSecond = 11520.0;

class NoWindow : public Presenter {
 public:
  void PresentScreen(const Raster&) override {}
};

struct Bench {
  explicit Bench(bool deviceMode, int cols = 80, int rows = 25) {
    DecoderOptions options;
    options.NormalTerminalFlag = deviceMode ? 0 : 1;
    engine.SetOptions(options);
    CreateScreenImage(engine.screen(), cols, rows, true);
    engine.SetPresenter(&window);
    engine.ClearScreen();
  }
  // Decodes the stream in chunks of up to 1024 bytes, as the event loop does.
  void Run(const std::vector<std::uint8_t>& stream) {
    const std::span<const std::uint8_t> all(stream);
    for (std::size_t at = 0; at < all.size(); at += SharedBlocks::kMaxChunk) {
      engine.Decode(all.subspan(at));
    }
  }

  // Loaded before the engine, which reads the glyph sheet when it is made.
  EmbeddedImages images = *LoadEmbeddedImages().images;
  SilentPort port;
  StillClock clock;
  NoWindow window;
  Engine engine{images.glyphSheet, port, clock};
};

void Report(benchmark::State& state, std::size_t bytesPerIteration) {
  const auto total = static_cast<double>(bytesPerIteration) *
                     static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(total));
  state.counters["x_line_rate"] = benchmark::Counter(
      total / kLineRateBytesPerSecond, benchmark::Counter::kIsRate);
}

// (a) Printable text that never scrolls: each 1024-byte chunk starts with a
// home code and fills fewer cells than the grid has.
void BmPlainText(benchmark::State& state) {
  Bench b(/*deviceMode=*/true);
  std::vector<std::uint8_t> stream;
  for (int chunk = 0; chunk < 64; ++chunk) {
    stream.push_back(1);
    for (int i = 1; i < 1024; ++i) {
      stream.push_back(static_cast<std::uint8_t>(' ' + (i * 7 + chunk) % 95));
    }
  }
  for (auto _ : state) b.Run(stream);
  Report(state, stream.size());
}
BENCHMARK(BmPlainText);

// (b) 80-character lines, each ending in a new line on the bottom row, so
// every line scrolls the whole picture.
void BmScrollingLines(benchmark::State& state) {
  Bench b(/*deviceMode=*/true);
  std::vector<std::uint8_t> stream = {11, 24};
  for (int line = 0; line < 400; ++line) {
    for (int i = 0; i < 80; ++i) {
      stream.push_back(static_cast<std::uint8_t>('!' + (i + line) % 90));
    }
    stream.push_back(13);
  }
  for (auto _ : state) b.Run(stream);
  Report(state, stream.size());
}
BENCHMARK(BmScrollingLines);

// (b') One chunk of 1024 line feeds on the largest grid, 512 x 256 cells,
// with the cursor on the bottom row: every line feed scrolls.
void BmLineFeedsLargestGrid(benchmark::State& state) {
  Bench b(/*deviceMode=*/false, 512, 256);
  const std::vector<std::uint8_t> toBottom(256, '\n');
  b.Run(toBottom);
  const std::vector<std::uint8_t> chunk(SharedBlocks::kMaxChunk, '\n');
  for (auto _ : state) b.Run(chunk);
  // items_per_second: line feeds per second.
  state.SetItemsProcessed(static_cast<std::int64_t>(chunk.size()) *
                          static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BmLineFeedsLargestGrid)->Unit(benchmark::kMillisecond);

// (c) A graphics mix: plots, lines, boxes, circles, small fills and pixel
// queries, in device-display mode.
void BmGraphicsMix(benchmark::State& state) {
  Bench b(/*deviceMode=*/true);
  std::vector<std::uint8_t> stream;
  int commands = 0;
  auto cmd = [&](int k, int x8, int y8) {
    stream.insert(stream.end(), {5, static_cast<std::uint8_t>(k),
                                 static_cast<std::uint8_t>(x8),
                                 static_cast<std::uint8_t>(y8)});
    ++commands;
  };
  for (int i = 0; i < 256; ++i) {
    const int x8 = (i * 37) % 150, y8 = (i * 53) % 100;
    const auto colour = static_cast<std::uint8_t>(i % 7);
    stream.insert(stream.end(), {12, colour});
    cmd(0x00, x8, y8);           // move
    cmd(0x01, x8 + 3, y8 + 1);   // plot
    cmd(0x02, x8 + 20, y8 + 9);  // line
    cmd(0x00, x8, y8);
    cmd(0x08, x8 + 10, y8 + 10);  // frame around a 20x20 area
    cmd(0x00, x8 + 30, y8);
    cmd(0x03, x8 + 36, y8 + 6);  // box 13x13
    cmd(0x07, x8 + 44, y8 + 6);  // circle, radius 16
    stream.insert(stream.end(), {12, static_cast<std::uint8_t>(colour + 1)});
    cmd(0x0E, x8 + 5, y8 + 5);  // fill inside the frame
    cmd(0x09, x8 + 1, y8 + 1);  // pixel query
  }
  for (auto _ : state) b.Run(stream);
  Report(state, stream.size());
  state.counters["commands_per_s"] = benchmark::Counter(
      static_cast<double>(commands) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BmGraphicsMix);

}  // namespace

BENCHMARK_MAIN();
