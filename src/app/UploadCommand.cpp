#include <string>

#include "app/Program.h"
#include "loader/UploadDriver.h"
#include "settings/Numbers.h"

namespace kestrix {

namespace {

// The kinds of file Upload File offers, in this order.
constexpr char kUploadPatterns[] =
    "Propeller(.binary)|*.binary|Propeller(.eeprom)|*.eeprom|"
    "Text(.txt)|*.txt|OBJ file(.obj)|*.obj|Prepare|*.bin;*.??a";
constexpr int kPatternBinary = 0;
constexpr int kPatternEeprom = 1;
constexpr int kPatternText = 2;
constexpr int kPatternObject = 3;
constexpr int kPatternPrepare = 4;

// Uploads always run at this rate, whatever the terminal uses.
constexpr int kUploadBaudIndex = 0;

// Where a Propeller 2 program goes when the user just confirms.
constexpr char kDefaultHubAddress[] = "E80";

// The folder part of a file name: up to and including the last separator
// of either kind, empty when there is none.
std::string FolderPart(const std::string& path) {
  const std::size_t at = path.find_last_of("\\/");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

}  // namespace

void Program::UploadProgram(const std::string& path) {
  UploadEnvironment env{
      services_.port, services_.clock, services_.host,       engine,
      settings,       loaderImage,     services_.images.logo};
  UploadFile(path, env);
}

void Program::UploadCommand() {
  const FileChoice choice =
      services_.host.OpenFile("Load Binary", settings.BinPath + "*.binary",
                              kUploadPatterns, UploadPatternIndex);
  if (choice.path.empty()) return;

  switch (choice.patternIndex) {
    case kPatternBinary:
    case kPatternEeprom: {
      // The driver tells RAM from EEPROM by the name; the requester comes
      // back on ".binary" either way.
      UploadPatternIndex = kPatternBinary;
      const bool slowRate = settings.BaudRate > 0;
      if (slowRate) services_.port.SetBaud(kUploadBaudIndex);
      UploadProgram(choice.path);
      settings.BinPath = FolderPart(choice.path);
      if (slowRate) services_.port.SetBaud(settings.BaudRate);
      return;
    }
    case kPatternPrepare:
      // Nothing is sent now: the device fetches blocks of it by request.
      engine.SetPreparedFile(choice.path);
      UploadPatternIndex = kPatternPrepare;
      return;
    case kPatternObject: {
      const std::string answer = services_.host.InputText(
          "Kestrix2", "Hubaddress to load to? (hex)", kDefaultHubAddress);
      later_->MonitorLoad(choice.path, HexValue(answer));
      UploadPatternIndex = kPatternObject;
      return;
    }
    case kPatternText:
      // The send still sees the previous pattern index, which it consults.
      later_->SendTextFile(choice.path);
      UploadPatternIndex = kPatternText;
      return;
    default:
      return;
  }
}

}  // namespace kestrix
