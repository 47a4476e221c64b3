#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/Host.h"
#include "core/SharedBlocks.h"
#include "loader/LoaderImage.h"
#include "loader/TransferContext.h"
#include "loader/UploadDriver.h"
#include "sim/SimulatedPropeller.h"
#include "support/ScriptedHost.h"
#include "support/SimulatedPropellerPort.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/Engine.h"
#include "terminal/EngineHarness.h"
#include "terminal/TerminalScreen.h"

namespace kestrix::test {

// Bytes that differ within and between longs: a shifted byte shows.
inline std::vector<std::uint8_t> PatternBytes(int count, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t x = seed; std::ssize(bytes) < count;) {
    x = x * 1103515245u + 12345u;
    bytes.push_back(static_cast<std::uint8_t>(x >> 16));
  }
  return bytes;
}

// The program around an upload: a simulated chip on the port, a virtual
// clock it follows, the terminal engine with a window or a console, the real
// logo.
struct UploadRig {
  enum class Output { kWindow, kConsole };

  explicit UploadRig(Output output = Output::kWindow, bool deviceMode = false,
                     sim::SimulatedPropeller::Options options = {})
      : chip(std::move(options)) {
    port.FollowClock(clock);
    decoderOptions.NormalTerminalFlag = !deviceMode;
    CreateScreenImage(screen, kCols, kRows, true);
    if (auto images = LoadEmbeddedImages().images) {
      sheet = images->glyphSheet;
      logo = images->logo;
    }
    if (output == Output::kWindow) engine.SetPresenter(&watcher);
    engine.SetConsole(&watcher);
    SyncOptions();
    engine.ClearScreen();
  }

  // The engine follows the options the test set, as the program's does.
  void SyncOptions() { engine.SetOptions(decoderOptions); }
  UploadOutcome Upload(const std::string& path) {
    SyncOptions();
    return UploadFile(path, context, useRts, image, logo);
  }

  // The screen's text since the upload cleared it; both modes record a line
  // end as CR LF.
  std::vector<std::string> ScreenLines() const {
    std::vector<std::string> lines;
    const std::string& text = screen.ScreenText;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find("\r\n", at), text.size());
      lines.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }

  sim::SimulatedPropeller chip;
  SimulatedPropellerPort port{chip};
  VirtualClock clock;
  static constexpr int kCols = 80;
  static constexpr int kRows = 25;
  DecoderOptions decoderOptions;
  bool useRts = false;
  Raster sheet;
  Raster logo;
  Watcher watcher;  // the window's presents and the console's lines
  std::vector<std::string> log;  // the host's calls
  ScriptedHost host{log};
  LoaderImage image{};
  Engine engine{sheet, port, clock};
  TerminalScreen& screen = engine.screen();
  TransferContext context{port, clock, engine, host, engine.blocks()};
  TempFolder folder;
  // Writes the bytes into a file of the folder; returns its path.
  std::string Write(const std::string& name,
                    const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories((folder / name).parent_path());
    return folder
        .Write(name,
               {reinterpret_cast<const char*>(bytes.data()), bytes.size()})
        .string();
  }
};

}  // namespace kestrix::test
