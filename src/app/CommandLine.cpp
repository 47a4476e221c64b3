#include "app/Program.h"
#include "settings/Numbers.h"
#include "settings/SettingsFile.h"

namespace kestrix {

namespace {
// Compared exactly: "-l" or "-a" are ordinary values.
constexpr char kConsoleUploadOption[] = "-L";
constexpr char kAutoloadOption[] = "-A";
}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  const std::string empty;
  const std::string& first = args.size() > 0 ? args[0] : empty;
  const std::string& option = args.size() > 1 ? args[1] : empty;
  const std::string& third = args.size() > 2 ? args[2] : empty;

  line.settingsFile = first.empty() ? kDefaultSettingsFile : first;
  if (option == kConsoleUploadOption) {
    line.consoleUpload = true;
    line.uploadPort = DecimalValue(third);
  } else if (option == kAutoloadOption) {
    line.autoload = true;
    line.autoloadFile = third;
  }
  return line;
}

}  // namespace kestrix
