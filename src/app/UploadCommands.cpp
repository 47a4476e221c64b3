#include "app/UploadCommands.h"

#include "loader/FileNames.h"
#include "loader/MonitorLoader.h"
#include "loader/UploadDriver.h"
#include "services/LetteredRequests.h"
#include "services/TextFileSender.h"
#include "settings/Numbers.h"

namespace kestrix {

namespace {

// The kinds of file Upload File offers, in the order of UploadKind.
constexpr char kUploadPatterns[] =
    "Propeller(.binary)|*.binary|Propeller(.eeprom)|*.eeprom|"
    "Text(.txt)|*.txt|OBJ file(.obj)|*.obj|Prepare|*.bin;*.??a";

// Uploads always run at this rate, whatever the terminal uses.
constexpr int kUploadBaudIndex = 0;

// Where a Propeller 2 program goes when the user just confirms.
constexpr char kDefaultHubAddress[] = "E80";

// Text is typed one character at a time while the OBJ kind is remembered.
TypingPace PaceFor(const RunState& state) {
  return DevicePace(state.textCursor, state.uploadKind == UploadKind::kObject);
}

// Mouse reports stay held back while a transfer owns the line, so that none
// interleaves with its bytes, and then follow Normal-Terminal Mode again.
void HoldBackMouseReports(RunState& state) {
  state.mouseReportsHeldBack = true;
}
void GiveBackMouseReports(RunState& state) {
  state.mouseReportsHeldBack = state.normalTerminal;
}

}  // namespace

void UploadCommands::UploadProgram(const std::string& path,
                                   const TransferContext& context,
                                   bool useRts) {
  UploadFile(path, context, useRts, image_, logo_);
}

void UploadCommands::UploadFileCommand(const TransferContext& context,
                                       Settings& settings, RunState& state) {
  const FileChoice choice = context.host.OpenFile(
      "Load Binary", settings.BinPath + "*.binary", kUploadPatterns,
      static_cast<int>(state.uploadKind));
  if (choice.path.empty()) return;

  switch (static_cast<UploadKind>(choice.patternIndex)) {
    case UploadKind::kBinary:
    case UploadKind::kEeprom: {
      // The driver tells RAM from EEPROM by the name; the requester comes
      // back on ".binary" either way.
      state.uploadKind = UploadKind::kBinary;
      const bool slowRate = settings.BaudRate > 0;
      if (slowRate) line_.SetBaud(kUploadBaudIndex);
      UploadProgram(choice.path, context, settings.UseRTS);
      settings.BinPath = FolderPart(choice.path);
      if (slowRate) line_.SetBaud(settings.BaudRate);
      return;
    }
    case UploadKind::kPrepare:
      // Nothing is sent now: the device fetches blocks of it by request.
      engine_.SetPreparedFile(choice.path);
      state.uploadKind = UploadKind::kPrepare;
      return;
    case UploadKind::kObject: {
      const std::string answer = context.host.InputText(
          "Kestrix2", "Hubaddress to load to? (hex)", kDefaultHubAddress);
      // A cancelled requester gives address 0: the load still runs, from
      // the lowest loadable address on. The rate stays as it is.
      HoldBackMouseReports(state);
      MonitorLoad(choice.path, HexValue(answer), context);
      GiveBackMouseReports(state);
      state.uploadKind = UploadKind::kObject;
      return;
    }
    case UploadKind::kText:
      // Paced by the kind chosen before this one.
      SendTextFile(choice.path, PaceFor(state), context);
      state.uploadKind = UploadKind::kText;
      return;
  }
}

void UploadCommands::CarryOutRequest(int request, const std::string& screenText,
                                     const std::string& previousText,
                                     const TransferContext& context,
                                     const Settings& settings,
                                     RunState& state) {
  const RequestNames names{screenText, previousText, settings.BinPath,
                           engine_.PreparedFile()};
  HoldBackMouseReports(state);
  // "b" and "e" upload at the current rate, unlike the menu's upload.
  RunLetteredRequest(request, names, PaceFor(state), context,
                     [&](const std::string& path) {
                       UploadProgram(path, context, settings.UseRTS);
                     });
  GiveBackMouseReports(state);
}

}  // namespace kestrix
