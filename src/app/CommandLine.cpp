#include <string_view>

#include "app/ConsoleUpload.h"
#include "app/Program.h"
#include "settings/Numbers.h"
#include "settings/SettingsFile.h"

namespace kestrix {

namespace {
// Compared exactly: "-l" or "-a" are ordinary values.
constexpr char kConsoleUploadOption[] = "-L";
constexpr char kAutoloadOption[] = "-A";
constexpr char kHelpOption[] = "--help";
constexpr char kShortHelpOption[] = "-h";
constexpr char kVersionOption[] = "--version";
constexpr std::string_view kLongOptionPrefix = "--";

#ifdef _WIN32
constexpr char kPortNames[] =
    "Port names:\n"
    "  Port number n is \\\\.\\COMn.\n";
#else
constexpr char kPortNames[] =
    "Port names:\n"
    "  A link or device file named COM<n> in the working folder names port n\n"
    "  (\"ln -s /dev/ttyUSB0 COM6\" makes COM6 the first USB serial adapter).\n"
    "  Otherwise COM1-COM16 are /dev/ttyUSB0-15, COM17-COM32 /dev/ttyACM0-15\n"
    "  and COM33-COM63 /dev/ttyS0-30; other numbers name no port.\n";
#endif

// The help and version options win over everything else; an unknown long
// option is refused rather than taken for a settings file that then silently
// falls back to the start values.
CommandLineRequest RequestOf(const std::string& arg) {
  if (arg == kHelpOption || arg == kShortHelpOption) {
    return CommandLineRequest::kUsage;
  }
  if (arg == kVersionOption) return CommandLineRequest::kVersion;
  if (arg.starts_with(kLongOptionPrefix)) {
    return CommandLineRequest::kUnknownOption;
  }
  return CommandLineRequest::kRun;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (const std::string& arg : args) {
    line.request = RequestOf(arg);
    if (line.request == CommandLineRequest::kUnknownOption) {
      line.unknownOption = arg;
    }
    if (line.request != CommandLineRequest::kRun) return line;
  }

  const std::string empty;
  const std::string& first = args.size() > 0 ? args[0] : empty;
  const std::string& option = args.size() > 1 ? args[1] : empty;
  const std::string& third = args.size() > 2 ? args[2] : empty;

  line.settingsFile = first.empty() ? kDefaultSettingsFile : first;
  // "-L" with no port would upload to port 0, "-A" with no file would run
  // without the autoload asked for: both are a command line cut short.
  if ((option == kConsoleUploadOption || option == kAutoloadOption) &&
      args.size() < 3) {
    line.request = CommandLineRequest::kMissingValue;
    line.unknownOption = option;
    return line;
  }
  if (option == kConsoleUploadOption) {
    line.consoleUpload = true;
    line.uploadPort = DecimalValue(third);
  } else if (option == kAutoloadOption) {
    line.autoload = true;
    line.autoloadFile = third;
  }
  return line;
}

std::string UsageText() {
  auto status = [](int code, const char* meaning) {
    return "  " + std::to_string(code) + "  " + meaning + "\n";
  };
  return std::string(R"(Usage: kestrix [SETTINGS] [-A FILE]
       kestrix FILE -L PORT
       kestrix --help | -h | --version

Terminal and program loader for Parallax Propeller microcontrollers.

  SETTINGS      settings file to read and save; Kestrix2.ini in the working
                folder when absent or empty. A name that starts with "--" is
                taken for an option: write ./--name instead.
  -A FILE       upload FILE (.binary or .eeprom) once the port is open
  FILE -L PORT  upload FILE to COM port number PORT at 115200 baud from the
                console, without a window or a settings file, then exit
  -h, --help    print this text and exit
  --version     print the program's name and version and exit

)") + kPortNames +
         "\nExit status of the console upload (-L):\n" +
         status(kExitUploaded, "the chip confirmed the file and runs it") +
         status(kExitCannotStart, "the program could not start") +
         status(kExitUnknownOption, "an unknown option (in any mode)") +
         status(kExitNoPort, "the port could not be opened, or vanished") +
         status(kExitFileRefused,
                "the file is missing, unreadable or over 32768 bytes") +
         status(kExitNoChip, "no chip answered") +
         status(kExitChipError,
                "the chip reported a checksum, EEPROM write or verify error");
}

}  // namespace kestrix
