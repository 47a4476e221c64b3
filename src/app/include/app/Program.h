#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/LaterTransfers.h"
#include "app/View.h"
#include "core/Clock.h"
#include "core/Host.h"
#include "core/SerialLine.h"
#include "core/SharedBlocks.h"
#include "loader/LoaderImage.h"
#include "settings/Settings.h"
#include "terminal/Decoder.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/KeyEncoder.h"
#include "terminal/MouseReport.h"
#include "terminal/Presenter.h"
#include "terminal/TerminalScreen.h"

namespace kestrix {

// What the program talks to outside itself.
struct ProgramServices {
  SerialLine& port;
  Clock& clock;
  Host& host;
  const EmbeddedImages& images;
  // Where "Kestrix2.ini" and "COM<n>" links are looked for.
  std::filesystem::path workingFolder;
};

// What the command line asks for besides the window or the console upload:
// the usage, the version, or nothing but a complaint about an option.
enum class CommandLineRequest { kRun, kUsage, kVersion, kUnknownOption };

// The command line: a settings file (or, with -L, the file to upload), then
// -L with a port number, or -A with an autoload file. An argument starting
// with "--" is an option wherever it stands (the first one decides), so a
// settings file of such a name must be written "./--name".
struct CommandLine {
  CommandLineRequest request = CommandLineRequest::kRun;
  std::string unknownOption;  // with kUnknownOption: the argument itself
  std::string settingsFile;   // "Kestrix2.ini" when empty or absent
  bool consoleUpload = false;
  int uploadPort = 0;
  bool autoload = false;
  std::string autoloadFile;
};
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help: the forms of the command line, the port names of this
// platform and the exit statuses of the console upload.
std::string UsageText();

// The whole program-wide state and the logic of the window mode: start-up,
// menu commands, key and mouse input, the serial poll of each event-loop
// turn and the auto mode. The Qt window forwards its events here and shows
// what it is given; everything here runs without a window in tests.
//
// Entry points return at once while another one is still running (a
// requester, an upload, a transfer pumps window events underneath): input
// that arrives meanwhile is consumed without effect.
class Program {
 public:
  Program(ProgramServices services, CommandLine commandLine);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The monitor load, the text-file send and the device's file services.
  // Until set (or with null) those commands do nothing. Not owned.
  void SetLaterTransfers(LaterTransfers* later);

  // Start-up, in this order: settings (and -A), then the window is created
  // from WindowInnerSize(), then AttachWindow, then ConnectAtStartup.
  void LoadStartupSettings();
  // Inner size of the window below the menu bar for the current settings.
  void WindowInnerSize(int* width, int* height) const;
  // Sets the check marks, creates the screen image with the strip below the
  // grid, makes the window the decoder's presenter and clears the screen.
  void AttachWindow(View& view, Presenter& presenter);
  // Port search when ComNr is 0, connect, autoload, menu refresh.
  void ConnectAtStartup();
  // Closes the port; the program then exits with code 0.
  void Shutdown();

  // Sets the check marks from the settings (Normal-Terminal Mode from
  // NormalTerminalFlag), as at start-up and after Load Settings.
  void ApplyCheckMarks();
  // Keeps the baud items consistent with Normal-Terminal Mode and applies a
  // changed rate to the port.
  void RefreshMenuState();
  // Opens the configured port with feedback: check mark, "COM port not
  // found" box on failure, screen cleared on success.
  void ConnectPort();

  // Events of one loop turn. Each is followed by AfterEvent.
  void OnMenuCommand(int menuId);
  void OnKeyDown(int virtualKey);
  void OnKeyUp(int virtualKey);
  void OnCharacter(int character);
  void OnMouseMove(ImagePoint position);
  void OnLeftPress(ImagePoint position);
  void OnRightPress(ImagePoint position);
  void OnButtonRelease(ImagePoint position);
  // The serial poll (read, decode, service request, reply byte), then on a
  // timer tick the auto-mode step.
  void AfterEvent(bool timerTick);
  // The port vanished (USB adapter pulled): it is already closed. While
  // another entry point runs, this is remembered and applied when it ends.
  void OnPortLost();
  // The window's close request. Remembered even while another entry point
  // runs, so the loop ends after the running command returns.
  void OnCloseRequest() { quitRequested_ = true; }

  bool QuitRequested() const { return quitRequested_; }
  bool Busy() const { return busy_ != 0; }

  // Program-wide state, public for the window and for tests.
  Settings settings;
  TerminalScreen screen;
  SharedBlocks blocks;
  LoaderImage loaderImage{};
  int UploadPatternIndex = 3;
  int AppliedBaud = 0;
  int AutoReleased = 0;
  // The folder that holds the program (and the README.md the Website
  // command opens). The working folder when not set.
  std::filesystem::path programFolder;

  Decoder& decoder() { return decoder_; }
  KeyEncoder& keys() { return keys_; }
  MouseButtons& mouseButtons() { return buttons_; }
  const CommandLine& commandLine() const { return commandLine_; }
  ProgramServices& services() { return services_; }

 private:
  // Counts the running entry points; see Busy().
  class EntryGuard;

  void RunMenuCommand(int menuId);
  int ToggleMark(int menuId);
  void SetMark(int menuId, bool checked);
  bool Mark(int menuId) const;
  void ClearCommand();
  void Screenshot();
  void CopyText();
  void SaveText();
  void About();
  void Website();
  void ResetPropeller();
  void SaveSettingsCommand();
  void LoadSettingsCommand();
  void ComPortCommand();
  void ComEnabledCommand();
  void UploadCommand();
  void AutoModeStep();
  void PollPort();
  void CarryOutServiceRequest(int request);
  void UploadProgram(const std::string& path);
  void ApplyPortLost();
  // Hands the settings the engine follows to the decoder; called whenever
  // they may have changed (every entry point, every menu command).
  void SyncDecoderOptions();
  KeyModes Modes() const {
    return {settings.VKeys, settings.NormalTerminalFlag};
  }

  ProgramServices services_;
  CommandLine commandLine_;
  View* view_ = nullptr;
  Decoder decoder_;
  KeyEncoder keys_;
  MouseButtons buttons_;
  NoLaterTransfers noLaterTransfers_;
  LaterTransfers* later_ = &noLaterTransfers_;
  bool quitRequested_ = false;
  bool portLostPending_ = false;
  int busy_ = 0;
};

}  // namespace kestrix
