#include "sim/DemoStream.h"

#include <cstdio>

namespace kestrix::sim {

namespace {
constexpr char kClear = 0;
constexpr char kHome = 1;
constexpr char kColumn = 10;
constexpr char kRow = 11;
constexpr char kColour = 12;
constexpr char kNewLine = 13;
constexpr char kEscape = 5;
constexpr char kLettered = static_cast<char>(0x82);
constexpr int kTextCursorOperation = 12;
// Codes below 14 act as controls and 200 as backspace: never print them.
constexpr unsigned char kFirstPrintable = 14;
constexpr unsigned char kBackspaceAlias = 200;
}  // namespace

DemoStream& DemoStream::Clear() {
  bytes_ += kClear;
  return *this;
}

DemoStream& DemoStream::Home() {
  bytes_ += kHome;
  return *this;
}

DemoStream& DemoStream::At(int column, int row) {
  bytes_ += kColumn;
  bytes_ += static_cast<char>(column);
  bytes_ += kRow;
  bytes_ += static_cast<char>(row);
  return *this;
}

DemoStream& DemoStream::Place(int column, int row) {
  return Command(kTextCursorOperation, column * 2, row * 2);
}

DemoStream& DemoStream::Colour(int colour) {
  bytes_ += kColour;
  bytes_ += static_cast<char>(colour);
  return *this;
}

DemoStream& DemoStream::Text(std::string_view text) {
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\n') {
      bytes_ += kNewLine;
    } else if (u >= kFirstPrintable && u != kBackspaceAlias) {
      bytes_ += c;
    } else {
      bytes_ += '?';
    }
  }
  return *this;
}

DemoStream& DemoStream::Command(int operation, int x, int y) {
  bytes_ += kEscape;
  bytes_ += static_cast<char>(operation | ((x & 1) << 5) | ((y & 1) << 4));
  bytes_ += static_cast<char>((x >> 1) & 0xFF);
  bytes_ += static_cast<char>((y >> 1) & 0xFF);
  return *this;
}

DemoStream& DemoStream::Request(char letter, std::string_view argument,
                                int row) {
  Home().At(0, row).Text(argument);
  bytes_ += kEscape;
  bytes_ += kLettered;
  bytes_ += static_cast<char>(argument.size());
  bytes_ += letter;
  return *this;
}

DemoStream& DemoStream::Raw(std::string_view bytes) {
  bytes_ += bytes;
  return *this;
}

DemoStream& DemoStream::NormalTerminalText(std::string_view text, int colour) {
  // 11, 12, c: the display takes 12 for the row and ignores c; normal-
  // terminal mode ignores 11 and sets colour c.
  bytes_ += kRow;
  bytes_ += kColour;
  bytes_ += static_cast<char>(colour);
  for (char c : text) {
    bytes_ += kRow;
    bytes_ += c;
  }
  return *this;
}

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

}  // namespace kestrix::sim
