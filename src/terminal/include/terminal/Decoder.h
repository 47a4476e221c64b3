#pragma once

#include <string>
#include <string_view>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/Colour.h"
#include "core/Raster.h"
#include "core/SharedBlocks.h"
#include "terminal/ChunkReader.h"
#include "terminal/GlyphCells.h"
#include "terminal/ChunkResult.h"
#include "terminal/Graphics.h"
#include "terminal/Presenter.h"
#include "terminal/TerminalScreen.h"

namespace kestrix {

enum class ControlAction;

// The user's choices the decoder follows, handed over as values by the
// program whenever they may have changed.
struct DecoderOptions {
  bool TxtCurs = true;              // draw the text cursor
  bool CRmode = false;             // a CR also feeds a line (normal terminal)
  bool NormalTerminalFlag = true;  // normal terminal, else device display
  Palette palette = kStartPalette;
};

// The stream decoder: turns what the device sends into pictures on the
// TerminalScreen, answers immediate requests on the port at once and returns
// lettered requests and pixel-query answers for the event loop.
class Decoder {
 public:
  // preparedFile: the file the device reads blocks of; read at each request.
  Decoder(TerminalScreen& screen, const Raster& glyphSheet,
          SharedBlocks& blocks, BytePort& port, Clock& clock,
          const std::string& preparedFile);
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  void SetOptions(const DecoderOptions& options) { options_ = options; }
  const DecoderOptions& options() const { return options_; }

  // The window the screen is shown in; null while there is none, and then
  // chunks are dropped.
  void SetPresenter(Presenter* presenter) { presenter_ = presenter; }
  bool HasWindow() const { return presenter_ != nullptr; }

  // Decodes count device bytes from the start of the receive buffer,
  // preceded by whatever an earlier chunk left cut off, and presents the
  // screen once. Returns what is left for the event loop, together with what
  // the program's own text left since the previous chunk.
  ChunkResult DecodeChunk(int count);
  // Decodes the program's own text like device bytes. It never completes a
  // command the device left cut off, and leaves no cut-off command itself.
  void DecodeOwnText(std::string_view text);
  // Draws `picture` at the top-left corner, parks the cursor at column 0 of
  // `row` and presents the screen.
  void ShowPicture(const Raster& picture, int row);

 private:
  void Decode(int count);
  void RunControl(ControlAction action);
  void DecodeEscape();
  // The palette entry the text colour selects (bits 0-2).
  Colour PaletteColour() const;
  void Printable(int c);
  void LineFeed();
  void Backspace();

  TerminalScreen& screen_;
  GlyphCells glyphs_;
  SharedBlocks& blocks_;
  BytePort& port_;
  Clock& clock_;
  const std::string& preparedFile_;
  DecoderOptions options_;
  Presenter* presenter_ = nullptr;
  ChunkReader reader_;
  GraphicsState graphics_;
  // Requests and replies not yet handed to the event loop.
  ChunkResult pending_;
};

}  // namespace kestrix
