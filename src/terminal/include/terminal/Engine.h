#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/Raster.h"
#include "core/SharedBlocks.h"
#include "core/TextOutput.h"
#include "terminal/ChunkResult.h"
#include "terminal/Decoder.h"
#include "terminal/Presenter.h"
#include "terminal/RequestHandler.h"
#include "terminal/TerminalScreen.h"

namespace kestrix {

// The terminal as the program owns it: the screen, the shared blocks, the
// stream decoder and the prepared file, and the serial poll of each turn of
// the event loop. It also prints the program's own lines: on the screen when
// there is a window, on the console otherwise.
class Engine : public TextOutput {
 public:
  Engine(const Raster& glyphSheet, BytePort& port, Clock& clock);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  TerminalScreen& screen() { return screen_; }
  const TerminalScreen& screen() const { return screen_; }
  SharedBlocks& blocks() { return blocks_; }

  void SetOptions(const DecoderOptions& options) {
    decoder_.SetOptions(options);
  }
  const DecoderOptions& options() const { return decoder_.options(); }
  // The window the screen is shown in; null while there is none: then device
  // chunks are dropped and printed text goes to the console.
  void SetPresenter(Presenter* presenter) { decoder_.SetPresenter(presenter); }
  void SetConsole(Console* console) { console_ = console; }
  bool HasWindow() const { return decoder_.HasWindow(); }
  // The file the device reads blocks of (chosen with "Prepare").
  void SetPreparedFile(std::string path) { preparedFile_ = std::move(path); }
  const std::string& PreparedFile() const { return preparedFile_; }

  // One serial poll: reads what has arrived (at most maxBytes, never more
  // than one chunk) without waiting. If bytes came, decodes them, has the
  // handler carry out a lettered request, then sends the reply byte. A
  // request or reply left meanwhile by the program's own text waits for a
  // poll that brings bytes.
  ChunkResult Poll(RequestHandler& handler,
                   int maxBytes = SharedBlocks::kMaxChunk);
  // Decodes bytes as one device chunk (at most one chunk's worth is taken),
  // leaving the after-chunk step to the caller.
  ChunkResult Decode(std::span<const std::uint8_t> bytes);

  // TextOutput
  void PrintText(std::string_view text) override;
  void PrintLine(std::string_view text) override;
  std::string_view LineFeed() const override;
  bool HasScreen() const override { return HasWindow(); }
  // A single byte 0: clear screen, cursor home.
  void ClearScreen() override;
  void ShowPicture(const Raster& picture, int row) override {
    decoder_.ShowPicture(picture, row);
  }

 private:
  BytePort& port_;
  TerminalScreen screen_;
  SharedBlocks blocks_;
  std::string preparedFile_;
  Console* console_ = nullptr;
  Decoder decoder_;
};

}  // namespace kestrix
