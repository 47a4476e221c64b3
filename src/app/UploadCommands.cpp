#include "app/UploadCommands.h"

#include "loader/FileNames.h"
#include "loader/MonitorLoader.h"
#include "loader/UploadDriver.h"
#include "services/LetteredRequests.h"
#include "services/TextFileSender.h"
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

}  // namespace

UploadCommands::UploadCommands(SerialLine& line,
                               const TransferContext& context,
                               Settings& settings, LoaderImage& image,
                               const Raster& logo, Engine& engine)
    : line_(line),
      context_(context),
      settings_(settings),
      image_(image),
      logo_(logo),
      engine_(engine) {}

void UploadCommands::UploadProgram(const std::string& path) {
  UploadFile(path, context_, settings_.UseRTS, image_, logo_);
}

void UploadCommands::UploadFileCommand() {
  const FileChoice choice =
      context_.host.OpenFile("Load Binary", settings_.BinPath + "*.binary",
                             kUploadPatterns, patternIndex_);
  if (choice.path.empty()) return;

  switch (choice.patternIndex) {
    case kPatternBinary:
    case kPatternEeprom: {
      // The driver tells RAM from EEPROM by the name; the requester comes
      // back on ".binary" either way.
      patternIndex_ = kPatternBinary;
      const bool slowRate = settings_.BaudRate > 0;
      if (slowRate) line_.SetBaud(kUploadBaudIndex);
      UploadProgram(choice.path);
      settings_.BinPath = FolderPart(choice.path);
      if (slowRate) line_.SetBaud(settings_.BaudRate);
      return;
    }
    case kPatternPrepare:
      // Nothing is sent now: the device fetches blocks of it by request.
      engine_.SetPreparedFile(choice.path);
      patternIndex_ = kPatternPrepare;
      return;
    case kPatternObject: {
      const std::string answer = context_.host.InputText(
          "Kestrix2", "Hubaddress to load to? (hex)", kDefaultHubAddress);
      // A cancelled requester gives address 0: the load still runs, from
      // the lowest loadable address on. The rate stays as it is.
      HoldBackMouseReports();
      MonitorLoad(choice.path, HexValue(answer), context_);
      GiveBackMouseReports();
      patternIndex_ = kPatternObject;
      return;
    }
    case kPatternText:
      // Paced by the kind chosen before this one.
      SendTextFile(choice.path,
                   DevicePace(settings_.TxtCurs, patternIndex_ == kPatternObject),
                   context_);
      patternIndex_ = kPatternText;
      return;
    default:
      return;
  }
}

void UploadCommands::CarryOutRequest(int request, const std::string& screenText,
                                     const std::string& previousText) {
  const RequestNames names{screenText, previousText, settings_.BinPath,
                           engine_.PreparedFile()};
  const TypingPace pace =
      DevicePace(settings_.TxtCurs, patternIndex_ == kPatternObject);
  HoldBackMouseReports();
  // "b" and "e" upload at the current rate, unlike the menu's upload.
  RunLetteredRequest(request, names, pace, context_,
                     [this](const std::string& path) { UploadProgram(path); });
  GiveBackMouseReports();
}

}  // namespace kestrix
