#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/FakePort.h"
#include "support/VirtualClock.h"
#include "terminal/Engine.h"

namespace kestrix::test {

using Bytes = std::vector<std::uint8_t>;

// A known glyph pattern instead of the font's art; the space is all paper.
inline bool TestGlyphInk(int code, int x, int y) {
  return code != 32 && (x * 3 + y * 5 + code) % 7 == 0;
}

inline Raster MakeTestSheet() {
  Raster sheet(256, 136, kWhite);
  for (int code = 0; code < 256; ++code)
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < 8; ++x)
        if (TestGlyphInk(code, x, y))
          sheet.At(code % 32 * 8 + x, code / 32 * 17 + y) = kBlack;
  return sheet;
}

// Counts presents, keeps console lines and lettered requests, in order.
struct Watcher : Presenter, Console, RequestHandler {
  int presents = 0;
  std::vector<std::string> lines;
  std::vector<int> requests;
  void PresentScreen(const Raster&) override { ++presents; }
  void WriteLine(const std::string& text) override { lines.push_back(text); }
  void CarryOut(int request) override { requests.push_back(request); }
};

// The engine amid doubles, cleared once as the program starts it, but with
// the text cursor off: its mark would show in the cells tests compare.
struct EngineRig {
  explicit EngineRig(bool deviceMode = false, int cols = 80, int rows = 25) {
    options.NormalTerminalFlag = deviceMode ? 0 : 1;
    options.TxtCurs = 0;
    engine.SetOptions(options);
    CreateScreenImage(screen, cols, rows, /*withStrip=*/true);
    engine.SetPresenter(&watcher);
    engine.SetConsole(&watcher);
    engine.ClearScreen();
    watcher.presents = 0;
  }

  // One device chunk; the options the test set take effect with it.
  ChunkResult Feed(const std::string& s) {
    return Feed(Bytes(s.begin(), s.end()));
  }
  ChunkResult Feed(const Bytes& bytes) {
    engine.SetOptions(options);
    return engine.Decode(bytes);
  }
  std::pair<int, int> Cursor() const {
    return {screen.CursorColumn, screen.CursorRow};
  }
  Colour Px(int x, int y) const { return screen.image.At(x, y); }
  Colour Entry(int i) const { return options.palette[std::size_t(i)]; }
  bool CellShows(int col, int row, int code, Colour ink, Colour paper) const {
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < 8; ++x)
        if (Px(col * 8 + x, row * 17 + y) !=
            (TestGlyphInk(code, x, y) ? ink : paper))
          return false;
    return true;
  }
  // The first cell of `row` that does not show `line` ('_' a blank cell, '#'
  // an inverse-video space, else the glyph); -1 when all do.
  int LineMismatch(int row, const std::string& line) const {
    for (int col = 0; col < int(line.size()); ++col) {
      const int c = line[std::size_t(col)] & 0xFF;
      if (!(c == '_'   ? CellShows(col, row, ' ', 0, kBlack)
            : c == '#' ? CellShows(col, row, ' ', 0, kWhite)
                       : CellShows(col, row, c, Entry(0), kBlack)))
        return col;
    }
    return -1;
  }

  DecoderOptions options;
  FakePort port;
  VirtualClock clock;
  Watcher watcher;
  Raster sheet = MakeTestSheet();
  Engine engine{sheet, port, clock};
  TerminalScreen& screen = engine.screen();
};

}  // namespace kestrix::test
