// Kestrix: a terminal and program loader for Propeller microcontrollers.
//
// "kestrix [settings.ini [-A autoload.binary]]" opens the window;
// "kestrix file.binary -L port" uploads the file from the console and ends;
// "kestrix --help" and "kestrix --version" print and end, without a display.

#include <QApplication>
#include <QCoreApplication>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "app/ConsoleUpload.h"
#include "app/Program.h"
#include "core/SystemClock.h"
#include "gui/DisplayCheck.h"
#include "gui/MainWindow.h"
#include "gui/QtHost.h"
#include "serial/MakeSerialLine.h"
#include "terminal/EmbeddedImages.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

int ConsoleMode(int argc, char** argv,
                const kestrix::CommandLine& commandLine) {
  // QSerialPort wants an application object; the console needs no display.
  QCoreApplication app(argc, argv);
#ifdef _WIN32
  // The status lines end in "\r" and then "\n", exactly as on the screen;
  // the C library's text mode would make that "\r\r\n".
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  auto [images, error] = kestrix::LoadEmbeddedImages();
  if (!images) {
    std::cerr << "kestrix: " << error << '\n';
    return kestrix::kExitCannotStart;
  }
  // A lost port ends the upload through its failing reads and writes.
  auto port = kestrix::MakeSerialLine(std::filesystem::current_path(), [] {});
  kestrix::SystemClock clock;
  return kestrix::RunConsoleUpload(commandLine,
                                   {*port, clock, *images, std::cout});
}

int WindowMode(int argc, char** argv) {
  kestrix::BeginDisplayCheck();
  // The menu bar belongs to the window on every desktop. Saying so before
  // the bar exists also spares its probe for a desktop-wide menu, a call
  // over the session bus (or a failed dbus-launch) made at start-up.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
  QApplication app(argc, argv);
  kestrix::EndDisplayCheck();
  // Qt has taken its own options (-platform, -style, ...) out of argv.
  const kestrix::CommandLine commandLine =
      kestrix::ParseCommandLine(Arguments(argc, argv));

  auto [images, error] = kestrix::LoadEmbeddedImages();
  if (!images) {
    std::cerr << "kestrix: " << error << '\n';
    return kestrix::kExitCannotStart;
  }

  const std::filesystem::path workingFolder = std::filesystem::current_path();
  // The line outlives the program, so its loss notice goes through a slot
  // that is filled once the program exists.
  std::function<void()> onLost;
  auto port = kestrix::MakeSerialLine(workingFolder, [&onLost] {
    if (onLost) onLost();
  });
  kestrix::SystemClock clock;
  kestrix::QtHost host;
  kestrix::Program program({*port, clock, host, *images, workingFolder},
                           commandLine);
  program.SetProgramFolder(
      QCoreApplication::applicationDirPath().toStdString());
  onLost = [&program] { program.OnPortLost(); };

  program.LoadStartupSettings();
  kestrix::MainWindow window(program);
  host.SetWindow(&window, window.Progress());
  program.AttachWindow(window, window);
  window.SetOnFinished([] { QCoreApplication::quit(); });
  window.show();
  window.StartLoop();
  program.ConnectAtStartup();
  if (!program.QuitRequested()) app.exec();
  program.Shutdown();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const kestrix::CommandLine commandLine =
      kestrix::ParseCommandLine(Arguments(argc, argv));
  switch (commandLine.request) {
    case kestrix::CommandLineRequest::kUsage:
      std::cout << kestrix::UsageText();
      return 0;
    case kestrix::CommandLineRequest::kVersion:
      std::cout << "Kestrix " << KESTRIX_VERSION << '\n';
      return 0;
    case kestrix::CommandLineRequest::kUnknownOption:
      std::cerr << "kestrix: unknown option " << commandLine.unknownOption
                << "\n\n"
                << kestrix::UsageText();
      return kestrix::kExitUnknownOption;
    case kestrix::CommandLineRequest::kMissingValue:
      std::cerr << "kestrix: " << commandLine.unknownOption
                << " needs a value after it\n\n"
                << kestrix::UsageText();
      return kestrix::kExitUnknownOption;
    case kestrix::CommandLineRequest::kRun:
      break;
  }
  if (commandLine.consoleUpload) return ConsoleMode(argc, argv, commandLine);
  return WindowMode(argc, argv);
}
