#include "services/TextFileSender.h"

#include <fstream>
#include <string>

#include "loader/RegularFile.h"

namespace kestrix {
namespace {

constexpr int kCharacterPauseMs = 1;
constexpr int kLinePauseCursorMs = 100;
constexpr int kLinePauseMs = 10;
constexpr std::uint8_t kCr = 0x0D;

// Reads the next line; false at the end of the file.
bool NextLine(std::streambuf& in, std::string& line) {
  line.clear();
  int c = in.sbumpc();
  if (c == EOF) return false;
  while (c != EOF) {
    if (c == '\r') {
      if (in.sgetc() == '\n') in.sbumpc();
      break;
    }
    if (c == '\n' || c == '\0') break;
    line.push_back(static_cast<char>(c));
    c = in.sbumpc();
  }
  return true;
}

bool SendByte(const TransferContext& context, std::uint8_t byte) {
  context.blocks.OutBlock[0] = byte;
  return context.port.IsOpen() &&
         context.port.Write(context.blocks.OutBlock.data(), 1) == 1;
}

}  // namespace

TypingPace DevicePace(bool textCursor, bool perCharacter) {
  return {textCursor ? kLinePauseCursorMs : kLinePauseMs,
          perCharacter ? kCharacterPauseMs : 0};
}

void SendTextFile(const std::filesystem::path& path, TypingPace pace,
                  const TransferContext& context) {
  if (!IsRegularFile(path)) return;
  std::ifstream file(path, std::ios::binary);
  if (!file) return;
  std::string line;
  while (NextLine(*file.rdbuf(), line)) {
    for (char c : line) {
      if (!SendByte(context, static_cast<std::uint8_t>(c))) return;
      if (pace.characterMs > 0) context.clock.SleepMs(pace.characterMs);
    }
    if (!SendByte(context, kCr)) return;
    context.host.PumpEvents();
    context.clock.SleepMs(pace.lineMs);
  }
}

}  // namespace kestrix
