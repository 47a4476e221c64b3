#pragma once

#include <array>

namespace kestrix {

// What a control code (0 to 13) does. The two modes share most actions and
// differ only in which code selects which.
enum class ControlAction {
  kIgnore,
  kClear,
  kHome,
  kEscape,  // a graphics command or service request follows
  kBackspace,
  kTabDrawing,   // spaces drawn up to the next multiple of 8
  kTabSkipping,  // one cell on, nothing drawn, " " recorded
  kSetColumn,
  kSetRow,
  kSetColour,
  kNewLine,         // CR LF
  kLineFeed,        // LF, back to column 0
  kCarriageReturn,  // CR, with a line feed in CR-with-Auto-LF mode
};

// Parameter bytes that follow the code in the stream.
constexpr int ParameterCount(ControlAction action) {
  switch (action) {
    case ControlAction::kEscape:
      return 3;
    case ControlAction::kSetColumn:
    case ControlAction::kSetRow:
    case ControlAction::kSetColour:
      return 1;
    default:
      return 0;
  }
}

inline constexpr int kFirstPrintable = 14;

struct DecoderMode {
  std::array<ControlAction, kFirstPrintable> codes;
  // A command whose parameters lie beyond the chunk's end waits for the next
  // chunk; otherwise its parameters are read from the port.
  bool carriesCutOffCommands;
};

namespace mode_tables {
using enum ControlAction;
// The PC is the device's display: cursor addressing, CR starts a new line.
inline constexpr DecoderMode kDeviceDisplay{
    {kClear, kHome, kIgnore, kIgnore, kIgnore, kEscape, kIgnore, kIgnore,
     kBackspace, kTabDrawing, kSetColumn, kSetRow, kSetColour, kNewLine},
    true};
// A plain serial terminal: CR and LF are line controls.
inline constexpr DecoderMode kNormalTerminal{
    {kClear, kIgnore, kIgnore, kIgnore, kIgnore, kEscape, kIgnore, kIgnore,
     kBackspace, kTabSkipping, kLineFeed, kIgnore, kSetColour, kCarriageReturn},
    false};
}  // namespace mode_tables

}  // namespace kestrix
