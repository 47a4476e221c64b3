#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrix::sim {

// Builds the bytes a device program sends to the window when the window is
// its display: text, cursor addressing, colours and 4-byte escape commands.
class DemoStream {
 public:
  DemoStream& Clear();
  DemoStream& Home();
  // Codes 10 and 11: the device display's own cursor addressing.
  DemoStream& At(int column, int row);
  // The text cursor set by escape command 12, which both of the window's
  // modes obey; normal-terminal mode takes 10 for a line feed and ignores 11.
  DemoStream& Place(int column, int row);
  DemoStream& Colour(int colour);
  // Printable text; '\n' becomes the new-line code.
  DemoStream& Text(std::string_view text);
  DemoStream& Line(std::string_view text) { return Text(text).Text("\n"); }
  // An escape command with a 9-bit point: the low bits travel in the
  // command byte (bit 5 for x, bit 4 for y), the rest halved.
  DemoStream& Command(int operation, int x, int y);
  // A lettered service request whose argument is `argument`: the cursor is
  // homed (which empties the window's record of printed text), the argument
  // printed at the status row, then 5, 0x82, length, letter.
  DemoStream& Request(char letter, std::string_view argument, int row);
  DemoStream& Raw(std::string_view bytes);
  // Text that shows only in normal-terminal mode: each byte rides behind
  // code 11, which that mode ignores and the device display takes as "set
  // row", eating the byte without drawing. The colour goes the same way, so
  // it must be one the display ignores as a code: 2, 3, 4, 6 or 7.
  DemoStream& NormalTerminalText(std::string_view text, int colour);

  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Graphics operation numbers of the escape command.
enum Draw : int {
  kMove = 0,
  kPlot = 1,
  kLine = 2,
  kBox = 3,
  kBlackBox = 4,
  kInvertBox = 5,
  kPointer = 6,
  kCircle = 7,
  kFrame = 8,
  kQuery = 9,
  kPattern = 10,
  kScroll = 11,
  kTextCursor = 12,
  kFill = 14,
};

// Text colour numbers: 0..7 the palette, 16 + n its inverse video.
inline constexpr int kInverse = 16;

std::string Hex(std::uint32_t value, int digits);

}  // namespace kestrix::sim
