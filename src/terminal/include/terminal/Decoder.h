#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/Colour.h"
#include "core/Raster.h"
#include "core/SharedBlocks.h"
#include "core/TextOutput.h"
#include "terminal/Graphics.h"
#include "terminal/Presenter.h"
#include "terminal/TerminalScreen.h"

namespace kestrix {

// The user's choices the decoder follows, handed over as values by the
// program whenever they may have changed.
struct DecoderOptions {
  int TxtCurs = 1;             // draw the text cursor
  int CRmode = 0;              // a CR also feeds a line (normal terminal)
  int NormalTerminalFlag = 1;  // 1 normal terminal, 0 device display
  Palette palette = kStartPalette;
};

// The stream decoder: turns what the device sends into pictures on the
// TerminalScreen, answers immediate requests on the port and leaves lettered
// requests and pixel-query answers for the event loop. It also prints the
// program's own lines, on the screen when there is a window and on the
// console otherwise.
class Decoder : public TextOutput {
 public:
  // Parameter bytes that are not in the chunk are read from the port: this
  // many attempts, this far apart.
  static constexpr int kParameterAttempts = 40;
  static constexpr int kParameterWaitMs = 2;

  Decoder(TerminalScreen& screen, const Raster& glyphSheet,
          SharedBlocks& blocks, BytePort& port, Clock& clock);

  void SetOptions(const DecoderOptions& options) { options_ = options; }
  const DecoderOptions& options() const { return options_; }

  // The window the screen is shown in; null while there is none, and then
  // chunks are dropped and printed text goes to the console.
  void SetPresenter(Presenter* presenter) { presenter_ = presenter; }
  void SetConsole(Console* console) { console_ = console; }
  bool HasWindow() const { return presenter_ != nullptr; }

  // Decodes count bytes from the start of the receive buffer, preceded by
  // whatever an earlier chunk left cut off, then presents the screen once.
  void DecodeChunk(int count);
  // Copies bytes into the receive buffer and decodes them as one chunk
  // (at most SharedBlocks::kMaxChunk bytes are taken).
  void DecodeBytes(std::span<const std::uint8_t> bytes);
  // TextOutput
  void PrintText(std::string_view text) override;
  void PrintLine(std::string_view text) override;
  bool HasScreen() const override { return HasWindow(); }
  // A single byte 0: clear screen, cursor home.
  void ClearScreen() override;
  void ShowPicture(const Raster& picture, int row) override;

  // Left for the event loop after a chunk.
  int ServiceRequest = 0;
  GraphicsState graphics;
  // The file the device reads blocks of (chosen with "Prepare").
  std::string PreparedFile;

  int CarryCount() const { return carryCount_; }
  // True once after a chunk in which a file block was sent: mouse reports
  // were held back for it and are to follow Normal-Terminal Mode again.
  bool TakeBlockAnswered() {
    const bool answered = blockAnswered_;
    blockAnswered_ = false;
    return answered;
  }
  TerminalScreen& screen() { return screen_; }

 private:
  int NextByte(int count);
  void DecodeControlDevice(int c, int count);
  void DecodeControlNormal(int c, int count);
  void DecodeEscape(int count);
  // The palette entry the text colour selects (bits 0-2).
  Colour PaletteColour() const;
  void Printable(int c);
  void LineFeed();
  void Backspace();
  void DecodeOwnText(std::string_view text);

  TerminalScreen& screen_;
  const Raster& glyphSheet_;
  DecoderOptions options_;
  SharedBlocks& blocks_;
  BytePort& port_;
  Clock& clock_;
  Presenter* presenter_ = nullptr;
  Console* console_ = nullptr;

  // The start of a command cut off at the end of the previous chunk.
  std::array<std::uint8_t, 5> carryBuffer_{};
  int carryCount_ = 0;
  // Position of the byte being decoded; NextByte advances it.
  int pos_ = 0;
  // Set when the split rule ended the chunk early.
  bool stop_ = false;
  bool blockAnswered_ = false;
};

}  // namespace kestrix
