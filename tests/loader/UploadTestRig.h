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
#include "loader/LoaderContext.h"
#include "loader/LoaderImage.h"
#include "loader/UploadDriver.h"
#include "settings/Settings.h"
#include "support/SimulatedPropeller.h"
#include "support/SimulatedPropellerPort.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/Engine.h"
#include "terminal/Presenter.h"
#include "terminal/TerminalScreen.h"

namespace kestrix::test {

class BoxRecordingHost : public NullHost {
 public:
  std::vector<std::pair<std::string, std::string>> boxes;
  void MessageBox(const std::string& title, const std::string& text) override {
    boxes.emplace_back(title, text);
  }
};

class NullPresenter : public Presenter {
 public:
  void PresentScreen(const Raster&) override {}
};

class LineConsole : public Console {
 public:
  std::vector<std::string> lines;
  void WriteLine(const std::string& text) override { lines.push_back(text); }
};

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
                     SimulatedPropeller::Options options = {})
      : chip(std::move(options)) {
    port.FollowClock(clock);
    settings.NormalTerminalFlag = settings.MsMoveOff = deviceMode ? 0 : 1;
    CreateScreenImage(screen, settings.Cols, settings.Rows, true);
    if (auto images = LoadEmbeddedImages(nullptr)) {
      sheet = images->glyphSheet;
      logo = images->logo;
    }
    if (output == Output::kWindow) engine.SetPresenter(&presenter);
    engine.SetConsole(&console);
    SyncOptions();
    engine.ClearScreen();
  }

  // The engine follows the settings the test set, as the program's does.
  void SyncOptions() {
    engine.SetOptions({settings.TxtCurs, settings.CRmode,
                       settings.NormalTerminalFlag, settings.palette});
  }
  UploadOutcome Upload(const std::string& path) {
    SyncOptions();
    return UploadFile(path, context, settings, image, logo);
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

  SimulatedPropeller chip;
  SimulatedPropellerPort port{chip};
  VirtualClock clock;
  Settings settings;
  Raster sheet;
  Raster logo;
  NullPresenter presenter;
  LineConsole console;
  BoxRecordingHost host;
  LoaderImage image{};
  Engine engine{sheet, port, clock};
  TerminalScreen& screen = engine.screen();
  LoaderContext context{port, clock, engine, host, engine.blocks()};
  TempFolder folder;
  // Writes the bytes into a file of the folder; returns its path.
  std::string Write(const std::string& name,
                    const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path file = folder / name;
    std::filesystem::create_directories(file.parent_path());
    return folder
        .Write(name,
               std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                bytes.size()))
        .string();
  }
};

}  // namespace kestrix::test
