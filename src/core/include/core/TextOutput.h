#pragma once

#include <string>
#include <string_view>

#include "core/Raster.h"

namespace kestrix {

// How every part of the program shows its own lines: on the terminal screen
// through the stream decoder, or on the console without a window.
class TextOutput {
 public:
  virtual ~TextOutput() = default;
  // The text exactly as given (control bytes act as control codes on screen).
  virtual void PrintText(std::string_view text) = 0;
  // The text, CR, and LineFeed() after it.
  virtual void PrintLine(std::string_view text) = 0;
  // What follows a line's CR: an LF in normal-terminal mode, where a CR
  // alone only returns the carriage; nothing in device display.
  virtual std::string_view LineFeed() const = 0;

  // Whether the lines go to a terminal screen (a window) or a console.
  virtual bool HasScreen() const = 0;
  // Clears the screen and sends the cursor home; nothing on a console.
  virtual void ClearScreen() = 0;
  // Draws `picture` at the screen's top-left corner, parks the cursor at
  // column 0 of `row` and shows the screen; nothing on a console.
  virtual void ShowPicture(const Raster& picture, int row) = 0;
};

// Where the program's own lines go when there is no window.
class Console {
 public:
  virtual ~Console() = default;
  // Writes the text followed by one line feed.
  virtual void WriteLine(const std::string& text) = 0;
};

}  // namespace kestrix
