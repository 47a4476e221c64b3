#pragma once

#include <filesystem>

#include "loader/TransferContext.h"

namespace kestrix {

// How fast the device takes typed text: a pause after each line's CR, and
// one after each character (0 for none).
struct TypingPace {
  int lineMs = 0;
  int characterMs = 0;
};

// The device's pace: a line takes longer while it draws the text cursor
// (100 ms, else 10 ms); `perCharacter` adds 1 ms per character.
TypingPace DevicePace(bool textCursor, bool perCharacter);

// Types a text file to the device line by line: each line's characters, then
// one CR (no LF), with the pauses of `pace`. CR, LF, CR LF, NUL and the end
// of the file end a line; a final line end adds no empty line. A file that
// cannot be opened, or is not a plain file, sends nothing; a port that fails
// ends the typing.
void SendTextFile(const std::filesystem::path& path, TypingPace pace,
                  const TransferContext& context);

}  // namespace kestrix
