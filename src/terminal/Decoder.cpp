#include "terminal/Decoder.h"

#include <algorithm>
#include <utility>

#include "ControlCodes.h"
#include "terminal/DeviceRequests.h"
#include "terminal/Painter.h"

namespace kestrix {

namespace {

constexpr int kBackspaceCode = 8;
// Drawn as a backspace: the keyboard's remapped Backspace comes back as it.
constexpr int kAltBackspace = 200;
constexpr int kTabStop = 8;

}  // namespace

Decoder::Decoder(TerminalScreen& screen, const Raster& glyphSheet,
                 SharedBlocks& blocks, BytePort& port, Clock& clock,
                 const std::string& preparedFile)
    : screen_(screen),
      glyphs_(glyphSheet),
      blocks_(blocks),
      port_(port),
      clock_(clock),
      preparedFile_(preparedFile),
      reader_(blocks, port, clock) {}

ChunkResult Decoder::DecodeChunk(int count) {
  Decode(count);
  return std::exchange(pending_, ChunkResult{});
}

void Decoder::Decode(int count) {
  if (presenter_ == nullptr || screen_.image.empty()) return;
  if (!reader_.Begin(count)) return;
  const DecoderMode& mode = !options_.NormalTerminalFlag
                                ? mode_tables::kDeviceDisplay
                                : mode_tables::kNormalTerminal;
  const bool cursorOn = options_.TxtCurs;
  for (; !reader_.AtEnd(); reader_.Advance()) {
    int c = reader_.Current();
    if (c == kAltBackspace) c = kBackspaceCode;
    if (c >= kFirstPrintable) {
      // The glyph covers its whole cell, the cursor's dots included, so
      // there is nothing to erase first.
      Printable(c);
      continue;
    }
    if (cursorOn) CursorMark(screen_, false);
    const ControlAction action = mode.codes[static_cast<std::size_t>(c)];
    if (mode.carriesCutOffCommands &&
        reader_.Remaining() <= ParameterCount(action)) {
      reader_.CarryRest();
      break;
    }
    RunControl(action);
  }
  if (cursorOn) CursorMark(screen_, true);
  presenter_->PresentScreen(screen_.image);
}

void Decoder::DecodeOwnText(std::string_view text) {
  // A command the device left cut off waits for the device's next chunk.
  const ChunkReader::Carry deviceCarry = reader_.TakeCarry();
  // Pieces that fit the receive buffer with a carry of their own in front.
  constexpr std::size_t kPiece =
      ChunkReader::kMaxChunkLength - ChunkReader::kMaxCarry;
  for (std::size_t at = 0; at < text.size(); at += kPiece) {
    const std::size_t n = std::min(kPiece, text.size() - at);
    std::copy_n(text.begin() + static_cast<std::ptrdiff_t>(at), n,
                blocks_.ReceiveBuffer.begin());
    Decode(static_cast<int>(n));
  }
  reader_.RestoreCarry(deviceCarry);
}

void Decoder::ShowPicture(const Raster& picture, int row) {
  if (presenter_ == nullptr || screen_.image.empty()) return;
  // The cursor moves first: its mark at the old place is covered by the
  // picture (or erased), and the picture keeps no dots of it.
  if (options_.TxtCurs) CursorMark(screen_, false);
  screen_.CursorColumn = 0;
  screen_.CursorRow = row % screen_.Rows;
  Painter painter(screen_.image);
  painter.Blit(picture, 0, 0, picture.width(), picture.height(), 0, 0);
  if (options_.TxtCurs) CursorMark(screen_, true);
  presenter_->PresentScreen(screen_.image);
}

Colour Decoder::PaletteColour() const {
  return options_.palette[static_cast<std::size_t>(screen_.TextColour & 7)];
}

void Decoder::Printable(int c) {
  glyphs_.Put(screen_, c, PaletteColour());
  RecordCharacter(screen_, static_cast<char>(c));
}

void Decoder::LineFeed() {
  ++screen_.CursorRow;
  screen_.CursorColumn = 0;
  if (screen_.CursorRow > screen_.Rows - 1) {
    screen_.CursorRow = screen_.Rows - 1;
    ScrollScreen(screen_, 0, TerminalScreen::kCellHeight);
  }
}

void Decoder::Backspace() {
  --screen_.CursorColumn;
  if (screen_.CursorColumn < 0) {
    screen_.CursorColumn = screen_.Cols - 1;
    --screen_.CursorRow;
    if (screen_.CursorRow < 0) screen_.CursorRow = 0;
  }
  Painter p(screen_.image);
  p.SetColour(kBlack);
  p.FillBox(screen_.CursorColumn * TerminalScreen::kCellWidth,
            screen_.CursorRow * TerminalScreen::kCellHeight,
            TerminalScreen::kCellWidth, TerminalScreen::kCellHeight);
}

void Decoder::RunControl(ControlAction action) {
  switch (action) {
    case ControlAction::kIgnore:
      break;
    case ControlAction::kClear:
      ClearTextArea(screen_);
      StartNewPage(screen_);
      break;
    case ControlAction::kHome:
      screen_.CursorColumn = 0;
      screen_.CursorRow = 0;
      StartNewPage(screen_);
      break;
    case ControlAction::kEscape:
      DecodeEscape();
      break;
    case ControlAction::kBackspace:
      Backspace();
      break;
    case ControlAction::kTabDrawing: {
      const Colour colour = PaletteColour();
      do {
        glyphs_.Put(screen_, ' ', colour);
      } while (screen_.CursorColumn % kTabStop != 0);
      break;
    }
    case ControlAction::kTabSkipping:
      RecordLineBreak(screen_, " ");
      AdvanceCursor(screen_);
      break;
    case ControlAction::kSetColumn:
      screen_.CursorColumn = reader_.NextByte() % screen_.Cols;
      break;
    case ControlAction::kSetRow:
      screen_.CursorRow = reader_.NextByte() % screen_.Rows;
      break;
    case ControlAction::kSetColour:
      screen_.TextColour = reader_.NextByte();
      break;
    case ControlAction::kNewLine:
      RecordLineBreak(screen_, "\r\n");
      LineFeed();
      break;
    case ControlAction::kLineFeed:
      RecordLineBreak(screen_, "\n");
      LineFeed();
      break;
    case ControlAction::kCarriageReturn:
      screen_.CursorColumn = 0;
      RecordLineBreak(screen_, "\r");
      if (options_.CRmode) {
        RecordLineBreak(screen_, "\n");
        LineFeed();
      }
      break;
  }
}

void Decoder::DecodeEscape() {
  GraphicsCommand cmd;
  cmd.K = static_cast<std::uint8_t>(reader_.NextByte());
  cmd.X8 = static_cast<std::uint8_t>(reader_.NextByte());
  cmd.Y8 = static_cast<std::uint8_t>(reader_.NextByte());
  const int code = cmd.Code();
  if (code == kImmediateRequest) {
    RequestContext ctx{port_, clock_, blocks_, preparedFile_};
    if (AnswerImmediateRequest(cmd, ctx)) pending_.blockAnswered = true;
  } else if (code == kLetteredRequest) {
    if (LetteredRequestMatches(cmd, screen_.ScreenText.size())) {
      pending_.ServiceRequest = cmd.Y();
    }
  } else {
    const int reply =
        RunGraphicsCommand(screen_, PaletteColour(), graphics_, cmd);
    if (reply != 0) pending_.ReplyByte = reply;
  }
}

}  // namespace kestrix
