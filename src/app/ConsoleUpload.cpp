#include "app/ConsoleUpload.h"

#include <memory>
#include <string_view>

#include "loader/UploadDriver.h"

namespace kestrix {

namespace {
// The console stays readable this long before the program ends.
constexpr int kFinalPauseMs = 2000;
// Uploads always start at the first rate of the baud table, 115200.
constexpr int kUploadBaudIndex = 0;
}  // namespace

void StreamConsole::WriteLine(const std::string& text) {
  // Each piece the program prints ends with its own LF, exactly as given: a
  // status line arrives as "text\r" and, in normal-terminal mode, a lone
  // "\n" after it, so scripts reading the console see the same bytes the
  // screen would have been given.
  out_ << text << '\n';
  out_.flush();
}

void ConsoleHost::MessageBox(const std::string& title,
                             const std::string& text) {
  out_ << title << ": " << text << '\n';
  out_.flush();
}

int ConsoleExitStatus(UploadOutcome outcome) {
  switch (outcome) {
    case UploadOutcome::kRunning:
      return kExitUploaded;
    case UploadOutcome::kNoPort:
    case UploadOutcome::kPortLost:
      return kExitNoPort;
    case UploadOutcome::kFileRefused:
      return kExitFileRefused;
    case UploadOutcome::kNoChip:
      return kExitNoChip;
    case UploadOutcome::kChipError:
      return kExitChipError;
  }
  return kExitChipError;
}

int RunConsoleUpload(const CommandLine& commandLine,
                     ConsoleUploadServices services) {
  // Start-up values only: the console upload reads no settings file.
  Settings settings;
  settings.ComNr = commandLine.uploadPort;
  Engine engine(services.images.glyphSheet, services.port, services.clock);
  const RunState state;
  engine.SetOptions({state.textCursor, state.crAutoLf, state.normalTerminal,
                     settings.palette});
  StreamConsole console(services.out);
  engine.SetConsole(&console);
  ConsoleHost host(services.out);

  services.port.OpenPort(std::to_string(settings.ComNr), kUploadBaudIndex,
                         settings.FT232R);
  console.WriteLine("Propeller Upload on COM: " +
                    std::to_string(settings.ComNr));
  console.WriteLine("File: " + commandLine.settingsFile);

  auto image = std::make_unique<LoaderImage>();
  const TransferContext context{services.port, services.clock, engine, host,
                                engine.blocks()};
  const UploadOutcome outcome =
      UploadFile(commandLine.settingsFile, context, settings.UseRTS, *image,
                 services.images.logo);

  if (services.port.IsOpen()) services.port.ClosePort();
  services.clock.SleepMs(kFinalPauseMs);
  return ConsoleExitStatus(outcome);
}

}  // namespace kestrix
