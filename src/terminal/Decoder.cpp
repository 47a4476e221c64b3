#include "terminal/Decoder.h"

#include <algorithm>
#include <cstring>

#include "terminal/DeviceRequests.h"
#include "terminal/Painter.h"

namespace kestrix {

namespace {

// Control codes. Their meaning depends on the mode; see the two decoders.
constexpr int kClear = 0;
constexpr int kHome = 1;
constexpr int kEscape = 5;
constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kLineFeedOrColumn = 10;
constexpr int kRow = 11;
constexpr int kColour = 12;
constexpr int kReturn = 13;
constexpr int kFirstPrintable = 14;
// Drawn as a backspace: the keyboard's remapped Backspace comes back as it.
constexpr int kAltBackspace = 200;

constexpr int kEscapeLength = 4;
constexpr int kTabStop = 8;

// Room kept free in the receive buffer: up to three carried bytes in front,
// and the split rule peeks at two bytes behind the last one.
constexpr int kCarryRoom = 3;
constexpr int kPeekRoom = 2;
constexpr int kMaxDecodable =
    SharedBlocks::kReceiveBufferSize - kCarryRoom - kPeekRoom;

}  // namespace

Decoder::Decoder(TerminalScreen& screen, const Raster& glyphSheet,
                 SharedBlocks& blocks, BytePort& port, Clock& clock)
    : screen_(screen),
      glyphSheet_(glyphSheet),
      blocks_(blocks),
      port_(port),
      clock_(clock) {}

void Decoder::DecodeChunk(int count) {
  if (presenter_ == nullptr || screen_.image.empty()) return;
  count = std::min(count, kMaxDecodable - carryCount_);
  if (count <= 0 && carryCount_ == 0) return;
  auto& buf = blocks_.ReceiveBuffer;

  if (carryCount_ > 0) {
    std::memmove(buf.data() + carryCount_, buf.data(),
                 static_cast<std::size_t>(std::max(count, 0)));
    std::copy_n(carryBuffer_.begin(), carryCount_, buf.begin());
    count = std::max(count, 0) + carryCount_;
    carryCount_ = 0;
  }

  const bool cursorOn = options_.TxtCurs == 1;
  stop_ = false;
  for (pos_ = 0; pos_ <= count - 1 && !stop_; ++pos_) {
    int c = buf[static_cast<std::size_t>(pos_)];
    if (c == kAltBackspace) c = kBackspace;
    if (cursorOn) CursorMark(screen_, false);
    if (c >= kFirstPrintable) {
      Printable(c);
      continue;
    }
    if (options_.NormalTerminalFlag == 0) {
      DecodeControlDevice(c, count);
    } else {
      DecodeControlNormal(c, count);
    }
    if (c == kEscape && !stop_) DecodeEscape(count);
  }

  if (cursorOn) CursorMark(screen_, true);
  presenter_->PresentScreen(screen_.image);
}

void Decoder::DecodeBytes(std::span<const std::uint8_t> bytes) {
  const int n = static_cast<int>(
      std::min<std::size_t>(bytes.size(), SharedBlocks::kMaxChunk));
  std::copy_n(bytes.begin(), n, blocks_.ReceiveBuffer.begin());
  DecodeChunk(n);
}

void Decoder::ClearScreen() {
  if (presenter_ == nullptr) return;
  DecodeOwnText(std::string_view("\0", 1));
}

void Decoder::ShowPicture(const Raster& picture, int row) {
  if (presenter_ == nullptr || screen_.image.empty()) return;
  // The cursor moves first: its mark at the old place is covered by the
  // picture (or erased), and the picture keeps no dots of it.
  if (options_.TxtCurs == 1) CursorMark(screen_, false);
  screen_.CursorColumn = 0;
  screen_.CursorRow = row % screen_.Rows;
  Painter painter(screen_.image);
  painter.Blit(picture, 0, 0, picture.width(), picture.height(), 0, 0);
  if (options_.TxtCurs == 1) CursorMark(screen_, true);
  presenter_->PresentScreen(screen_.image);
}

int Decoder::NextByte(int count) {
  auto& out = blocks_.OutBlock;
  if (pos_ + 1 < count) {
    ++pos_;
    out[0] = blocks_.ReceiveBuffer[static_cast<std::size_t>(pos_)];
    return out[0];
  }
  // The rest of the command is still on its way: wait a little for it. On a
  // timeout the caller goes on with whatever the out block held last.
  for (int attempt = 0; attempt < kParameterAttempts; ++attempt) {
    if (ReadRaw(port_, out.data(), 1) == 1) break;
    if (!port_.IsOpen()) break;  // nothing can arrive
    clock_.SleepMs(kParameterWaitMs);
  }
  return out[0];
}

Colour Decoder::PaletteColour() const {
  return options_.palette[static_cast<std::size_t>(screen_.TextColour & 7)];
}

void Decoder::Printable(int c) {
  const Colour colour = PaletteColour();
  PutGlyph(screen_, glyphSheet_, c, colour);
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

void Decoder::DecodeControlDevice(int c, int count) {
  auto& buf = blocks_.ReceiveBuffer;
  const int remaining = count - pos_;
  // A command cut off at the end of the chunk waits for the next one.
  if ((c == kLineFeedOrColumn || c == kRow || c == kColour) && remaining == 1) {
    carryBuffer_[0] = static_cast<std::uint8_t>(c);
    carryCount_ = 1;
    stop_ = true;
    return;
  }
  if (c == kEscape && remaining < kEscapeLength) {
    for (int i = 0; i < 3; ++i) {
      carryBuffer_[static_cast<std::size_t>(i)] =
          buf[static_cast<std::size_t>(pos_ + i)];
    }
    carryCount_ = remaining;
    stop_ = true;
    return;
  }
  switch (c) {
    case kClear:
      ClearTextArea(screen_);
      StartNewPage(screen_);
      break;
    case kHome:
      screen_.CursorColumn = 0;
      screen_.CursorRow = 0;
      StartNewPage(screen_);
      break;
    case kBackspace:
      Backspace();
      break;
    case kTab: {
      const Colour colour = PaletteColour();
      do {
        PutGlyph(screen_, glyphSheet_, ' ', colour);
      } while (screen_.CursorColumn % kTabStop != 0);
      break;
    }
    case kLineFeedOrColumn:
      screen_.CursorColumn = NextByte(count) % screen_.Cols;
      break;
    case kRow:
      screen_.CursorRow = NextByte(count) % screen_.Rows;
      break;
    case kColour:
      screen_.TextColour = NextByte(count);
      break;
    case kReturn:
      RecordLineBreak(screen_, "\r\n");
      LineFeed();
      break;
    default:
      break;
  }
}

void Decoder::DecodeControlNormal(int c, int count) {
  switch (c) {
    case kClear:
      ClearTextArea(screen_);
      StartNewPage(screen_);
      break;
    case kBackspace:
      Backspace();
      break;
    case kTab:
      RecordLineBreak(screen_, " ");
      AdvanceCursor(screen_);
      break;
    case kLineFeedOrColumn:
      RecordLineBreak(screen_, "\n");
      LineFeed();
      break;
    case kColour:
      screen_.TextColour = NextByte(count);
      break;
    case kReturn:
      screen_.CursorColumn = 0;
      RecordLineBreak(screen_, "\r");
      if (options_.CRmode == 1) {
        RecordLineBreak(screen_, "\n");
        LineFeed();
      }
      break;
    default:
      break;
  }
}

void Decoder::DecodeEscape(int count) {
  GraphicsCommand cmd;
  cmd.K = static_cast<std::uint8_t>(NextByte(count));
  cmd.X8 = static_cast<std::uint8_t>(NextByte(count));
  cmd.Y8 = static_cast<std::uint8_t>(NextByte(count));
  const int code = cmd.Code();
  if (code == kImmediateRequest) {
    RequestContext ctx{port_, clock_, blocks_, PreparedFile};
    if (AnswerImmediateRequest(cmd, ctx)) blockAnswered_ = true;
  } else if (code == kLetteredRequest) {
    if (LetteredRequestMatches(cmd, screen_.ScreenText.size())) {
      ServiceRequest = cmd.Y();
    }
  } else {
    const Colour colour = PaletteColour();
    RunGraphicsCommand(screen_, colour, graphics, cmd);
  }
}

void Decoder::DecodeOwnText(std::string_view text) {
  // The program's own text never completes a command the device left cut
  // off: that carry is set aside and waits for the device's next chunk.
  const auto deviceCarry = carryBuffer_;
  const int deviceCarryCount = carryCount_;
  carryCount_ = 0;
  constexpr std::size_t kPiece = SharedBlocks::kReceiveBufferSize - 8;
  for (std::size_t at = 0; at < text.size(); at += kPiece) {
    const std::size_t n = std::min(kPiece, text.size() - at);
    std::memcpy(blocks_.ReceiveBuffer.data(), text.data() + at, n);
    DecodeChunk(static_cast<int>(n));
  }
  carryBuffer_ = deviceCarry;
  carryCount_ = deviceCarryCount;
}

void Decoder::PrintText(std::string_view text) {
  if (presenter_ == nullptr) {
    if (console_ != nullptr) console_->WriteLine(std::string(text));
    return;
  }
  DecodeOwnText(text);
}

void Decoder::PrintLine(std::string_view text) {
  std::string line(text);
  line.push_back('\r');
  PrintText(line);
  // In normal-terminal mode a CR alone only returns the carriage.
  if (options_.NormalTerminalFlag != 0) PrintText("\n");
}

}  // namespace kestrix
