#pragma once

#include <ostream>
#include <string>

#include "app/Program.h"
#include "core/Host.h"
#include "core/SerialLine.h"
#include "core/TextOutput.h"
#include "loader/UploadDriver.h"

namespace kestrix {

// Lines of the program printed to a text stream, each ended by LF alone.
class StreamConsole : public Console {
 public:
  explicit StreamConsole(std::ostream& out) : out_(out) {}
  void WriteLine(const std::string& text) override;

 private:
  std::ostream& out_;
};

// The desktop without a window: message boxes become "title: text" lines,
// requesters answer as if cancelled, and the rest does nothing.
class ConsoleHost : public NullHost {
 public:
  explicit ConsoleHost(std::ostream& out) : out_(out) {}
  void MessageBox(const std::string& title, const std::string& text) override;

 private:
  std::ostream& out_;
};

// What the console upload needs from outside.
struct ConsoleUploadServices {
  SerialLine& port;
  Clock& clock;
  const EmbeddedImages& images;
  std::ostream& out;
};

// Exit statuses of the console upload, so that scripts and make files can
// tell a program that runs from one that never reached the chip.
inline constexpr int kExitUploaded = 0;
inline constexpr int kExitCannotStart = 1;    // e.g. the embedded images
inline constexpr int kExitUnknownOption = 2;  // in every mode
inline constexpr int kExitNoPort = 3;  // not opened, or lost midway
inline constexpr int kExitFileRefused = 4;
inline constexpr int kExitNoChip = 5;
inline constexpr int kExitChipError = 6;

int ConsoleExitStatus(UploadOutcome outcome);

// The command-line upload ("file -L port"): no settings file is read and no
// window is opened. Opens the port at 115200 baud, prints the port and the
// file, uploads the file with every status line printed to the stream,
// closes the port and waits 2 s so that a console opened just for this stays
// readable. Returns the exit status for the outcome.
int RunConsoleUpload(const CommandLine& commandLine,
                     ConsoleUploadServices services);

}  // namespace kestrix
