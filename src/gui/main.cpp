// Kestrix: a terminal and program loader for Propeller microcontrollers.
//
// "kestrix [settings.ini [-A autoload.binary]]" opens the window;
// "kestrix file.binary -L port" uploads the file from the console and ends;
// "kestrix --help" and "kestrix --version" print and end, without a display.

#include <QApplication>
#include <QCoreApplication>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/ConsoleUpload.h"
#include "app/Program.h"
#include "core/SystemClock.h"
#include "gui/MainWindow.h"
#include "gui/QtHost.h"
#include "serial/ComPort.h"
#include "terminal/EmbeddedImages.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

int ConsoleMode(int argc, char** argv,
                const kestrix::CommandLine& commandLine) {
  // QSerialPort wants an application object; the console needs no display.
  QCoreApplication app(argc, argv);
  auto [images, error] = kestrix::LoadEmbeddedImages();
  if (!images) {
    std::cerr << "kestrix: " << error << '\n';
    return kestrix::kExitCannotStart;
  }
  kestrix::ComPort port(std::filesystem::current_path());
  kestrix::SystemClock clock;
  return kestrix::RunConsoleUpload(commandLine,
                                   {port, clock, *images, std::cout});
}

int WindowMode(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt has taken its own options (-platform, -style, ...) out of argv.
  const kestrix::CommandLine commandLine =
      kestrix::ParseCommandLine(Arguments(argc, argv));

  auto [images, error] = kestrix::LoadEmbeddedImages();
  if (!images) {
    std::cerr << "kestrix: " << error << '\n';
    return kestrix::kExitCannotStart;
  }

  const std::filesystem::path workingFolder = std::filesystem::current_path();
  kestrix::ComPort port(workingFolder);
  kestrix::SystemClock clock;
  kestrix::QtHost host;
  kestrix::Program program({port, clock, host, *images, workingFolder},
                           commandLine);
  program.SetProgramFolder(
      QCoreApplication::applicationDirPath().toStdString());
  port.SetOnLost([&program] { program.OnPortLost(); });

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
    case kestrix::CommandLineRequest::kRun:
      break;
  }
  if (commandLine.consoleUpload) return ConsoleMode(argc, argv, commandLine);
  return WindowMode(argc, argv);
}
