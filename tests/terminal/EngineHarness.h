#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/SharedBlocks.h"
#include "support/FakePort.h"
#include "support/VirtualClock.h"
#include "terminal/Decoder.h"
#include "terminal/Presenter.h"
#include "terminal/TerminalScreen.h"

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

struct Watcher : Presenter, Console {
  int presents = 0;
  std::vector<std::string> lines;
  void PresentScreen(const Raster&) override { ++presents; }
  void WriteLine(const std::string& text) override { lines.push_back(text); }
};

// The decoder amid doubles, started as the program starts it: cleared once.
struct Engine {
  explicit Engine(bool deviceMode = false, int cols = 80, int rows = 25) {
    settings.NormalTerminalFlag = deviceMode ? 0 : 1;
    decoder.SetOptions(settings);
    CreateScreenImage(screen, cols, rows, /*withStrip=*/true);
    decoder.SetPresenter(&watcher);
    decoder.SetConsole(&watcher);
    decoder.ClearScreen();
    watcher.presents = 0;
  }

  // The options the test set take effect with the next bytes.
  void Feed(const Bytes& bytes) {
    decoder.SetOptions(settings);
    decoder.DecodeBytes(bytes);
  }
  void Feed(const std::string& s) { Feed(Bytes(s.begin(), s.end())); }
  // Turns the text cursor off and removes the mark the start-up clear left.
  void CursorOff() {
    settings.TxtCurs = 0;
    decoder.SetOptions(settings);
    CursorMark(screen, false);
  }
  std::pair<int, int> Cursor() const {
    return {screen.CursorColumn, screen.CursorRow};
  }
  Colour Px(int x, int y) const { return screen.image.At(x, y); }
  std::uint32_t Entry(int i) const {
    return settings.palette[static_cast<std::size_t>(i)];
  }

  DecoderOptions settings;
  TerminalScreen screen;
  SharedBlocks blocks;
  FakePort port;
  VirtualClock clock;
  Watcher watcher;
  Raster sheet = MakeTestSheet();
  Decoder decoder{screen, sheet, blocks, port, clock};
};

// The 8x17 cell at (col, row) shows the test glyph `code` in ink on paper.
inline bool CellShows(const Engine& e, int col, int row, int code, Colour ink,
                      Colour paper) {
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 8; ++x)
      if (e.Px(col * 8 + x, row * 17 + y) !=
          (TestGlyphInk(code, x, y) ? ink : paper))
        return false;
  return true;
}

inline bool CellBlank(const Engine& e, int col, int row) {
  return CellShows(e, col, row, ' ', kBlack, kBlack);
}

}  // namespace kestrix::test
