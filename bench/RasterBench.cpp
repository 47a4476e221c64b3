#include <benchmark/benchmark.h>

#include <utility>

#include "terminal/Painter.h"

namespace kestrix {
namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 446;  // 25 text rows of 17 plus the 21-row strip
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 17;

Raster GlyphSheetLike() {
  Raster sheet(256, 136, kWhite);
  for (int y = 0; y < sheet.height(); ++y) {
    for (int x = 0; x < sheet.width(); ++x) {
      if ((x * 7 + y * 3) % 5 == 0) sheet.At(x, y) = kBlack;
    }
  }
  return sheet;
}

// What drawing one character costs: fill the cell, combine the glyph in
// invert mode, and for inverse video complement the cell.
void BmGlyphCell(benchmark::State& state) {
  const bool inverse = state.range(0) != 0;
  Raster screen(kScreenWidth, kScreenHeight);
  const Raster sheet = GlyphSheetLike();
  Painter p(screen);
  int cell = 0;
  for (auto _ : state) {
    const int code = 32 + cell % 95;
    const int x = (cell % 80) * kCellWidth;
    const int y = (cell / 80 % 25) * kCellHeight;
    p.SetMode(DrawMode::kCopy);
    p.SetColour(0x00FFFF);
    p.FillBox(x, y, kCellWidth, kCellHeight);
    p.SetMode(DrawMode::kInvert);
    p.Blit(sheet, code % 32 * kCellWidth, code / 32 * kCellHeight, kCellWidth,
           kCellHeight, x, y);
    if (inverse) p.FillBox(x, y, kCellWidth, kCellHeight);
    ++cell;
  }
  benchmark::DoNotOptimize(std::as_const(screen).pixels().data());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BmGlyphCell)->Arg(0)->Arg(1);

// A new line at the bottom: the whole image moves up one text row, here
// either through a scratch image or onto itself.
void BmScrollBlit(benchmark::State& state) {
  const bool self = state.range(0) != 0;
  Raster screen(kScreenWidth, kScreenHeight, 0x123456);
  Raster scratch(kScreenWidth, kScreenHeight);
  Painter s(scratch);
  Painter p(screen);
  for (auto _ : state) {
    if (self) {
      p.Blit(screen, 0, kCellHeight, kScreenWidth, kScreenHeight - kCellHeight,
             0, 0);
    } else {
      s.Blit(screen, 0, kCellHeight, kScreenWidth, kScreenHeight - kCellHeight,
             0, 0);
      p.FillBox(0, 0, kScreenWidth, 25 * kCellHeight);
      p.Blit(scratch, 0, 0, kScreenWidth, kScreenHeight - kCellHeight, 0, 0);
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenWidth * kScreenHeight *
                          static_cast<int64_t>(sizeof(Colour)));
}
BENCHMARK(BmScrollBlit)->Arg(0)->Arg(1);

void BmFloodFillFullScreen(benchmark::State& state) {
  Raster screen(kScreenWidth, kScreenHeight);
  Painter p(screen);
  Colour colour = 1;
  for (auto _ : state) {
    p.SetColour(colour++);
    p.FloodFill(kScreenWidth / 2, kScreenHeight / 2);
  }
  state.SetItemsProcessed(state.iterations() * kScreenWidth * kScreenHeight);
}
BENCHMARK(BmFloodFillFullScreen);

// A fill that has to wind down and up every other column.
void BmFloodFillComb(benchmark::State& state) {
  Raster screen(kScreenWidth, kScreenHeight);
  Painter p(screen);
  p.SetColour(kWhite);
  for (int x = 1; x < kScreenWidth; x += 2) {
    p.FillBox(x, 1, 1, kScreenHeight - 1);
  }
  Colour colour = 1;
  for (auto _ : state) {
    p.SetColour(colour++);
    p.FloodFill(0, 0);
  }
}
BENCHMARK(BmFloodFillComb);

void BmLines(benchmark::State& state) {
  Raster screen(kScreenWidth, kScreenHeight);
  Painter p(screen);
  p.SetColour(kWhite);
  int i = 0;
  for (auto _ : state) {
    const int x = i % kScreenWidth;
    const int y = i % kScreenHeight;
    p.Line(x, 0, kScreenWidth - 1 - x, kScreenHeight - 1);
    p.Line(0, y, kScreenWidth - 1, kScreenHeight - 1 - y);
    ++i;
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BmLines);

// A line whose end points lie billions of pixels away.
void BmFarLine(benchmark::State& state) {
  Raster screen(kScreenWidth, kScreenHeight);
  Painter p(screen);
  p.SetMode(DrawMode::kInvert);
  for (auto _ : state) p.Line(-2000000000, -1000000000, 2000000000, 1000000000);
}
BENCHMARK(BmFarLine);

void BmFillEllipse(benchmark::State& state) {
  const int radius = static_cast<int>(state.range(0));
  Raster screen(kScreenWidth, kScreenHeight);
  Painter p(screen);
  p.SetMode(DrawMode::kInvert);
  for (auto _ : state) {
    p.FillEllipse(320 - radius, 223 - radius, 320 + radius, 223 + radius);
  }
}
BENCHMARK(BmFillEllipse)->Arg(10)->Arg(200);

}  // namespace
}  // namespace kestrix

BENCHMARK_MAIN();
