#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "support/FakePort.h"
#include "support/VirtualClock.h"
#include "terminal/Decoder.h"
#include "terminal/Presenter.h"
#include "terminal/SharedBlocks.h"
#include "terminal/TerminalScreen.h"

namespace kestrix::test {

using Bytes = std::vector<std::uint8_t>;

// A glyph sheet with a known, code-dependent pattern, so that rendering can
// be checked pixel by pixel without depending on the font's artwork. The
// space is all white, as in the real sheet.
inline bool TestGlyphInk(int code, int x, int y) {
  if (code == 32) return false;
  return (x * 3 + y * 5 + code) % 7 == 0;
}

inline Raster MakeTestSheet() {
  Raster sheet(256, 136, kWhite);
  for (int code = 0; code < 256; ++code) {
    for (int y = 0; y < 17; ++y) {
      for (int x = 0; x < 8; ++x) {
        if (TestGlyphInk(code, x, y)) {
          sheet.At(code % 32 * 8 + x, code / 32 * 17 + y) = kBlack;
        }
      }
    }
  }
  return sheet;
}

struct CountingPresenter : Presenter {
  int presents = 0;
  void PresentScreen(const Raster&) override { ++presents; }
};

struct RecordingConsole : Console {
  std::vector<std::string> lines;
  void WriteLine(const std::string& text) override { lines.push_back(text); }
};

// The decoder with everything it talks to replaced by doubles, started the
// way the program starts: a black image with the strip, cleared once.
struct Engine {
  explicit Engine(bool deviceMode = false, int cols = 80, int rows = 25) {
    settings.NormalTerminalFlag = deviceMode ? 0 : 1;
    settings.MsMoveOff = settings.NormalTerminalFlag;
    CreateScreenImage(screen, cols, rows, /*withStrip=*/true);
    decoder.SetPresenter(&presenter);
    decoder.SetConsole(&console);
    decoder.ClearScreen();
    presenter.presents = 0;
  }

  void Feed(const Bytes& bytes) { decoder.DecodeBytes(bytes); }
  void Feed(const std::string& bytes) {
    Feed(Bytes(bytes.begin(), bytes.end()));
  }
  // Turns the text cursor off and removes the mark the start-up clear left.
  void CursorOff() {
    settings.TxtCurs = 0;
    CursorMark(screen, false);
  }
  Colour Px(int x, int y) const { return screen.image.At(x, y); }
  std::uint32_t Entry(int i) const {
    return settings.palette[static_cast<std::size_t>(i)];
  }

  Settings settings;
  TerminalScreen screen;
  SharedBlocks blocks;
  FakePort port;
  VirtualClock clock;
  CountingPresenter presenter;
  RecordingConsole console;
  Raster sheet = MakeTestSheet();
  Decoder decoder{screen, sheet, settings, blocks, port, clock};
};

}  // namespace kestrix::test
