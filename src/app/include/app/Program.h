#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/MenuMarks.h"
#include "app/PortControl.h"
#include "app/RunState.h"
#include "app/UploadCommands.h"
#include "app/View.h"
#include "core/Clock.h"
#include "core/Host.h"
#include "core/SerialLine.h"
#include "core/SharedBlocks.h"
#include "loader/TransferContext.h"
#include "settings/Settings.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/Engine.h"
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
// the usage, the version, or nothing but a complaint about an option (one
// not known, or -L or -A as the second argument with nothing after it).
enum class CommandLineRequest {
  kRun,
  kUsage,
  kVersion,
  kUnknownOption,
  kMissingValue
};

// The command line: a settings file (or, with -L, the file to upload), then
// -L with a port number, or -A with an autoload file. An argument starting
// with "--" is an option wherever it stands (the first one decides), so a
// settings file of such a name must be written "./--name".
struct CommandLine {
  CommandLineRequest request = CommandLineRequest::kRun;
  std::string unknownOption;  // with kUnknownOption, kMissingValue: the option
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

// The inner size of the window below the menu bar.
struct InnerSize {
  int width = 0;
  int height = 0;
};

// The whole program-wide state and the logic of the window mode: start-up,
// menu commands, key and mouse input, the serial poll of each event-loop
// turn and the auto mode. The Qt window forwards its events here and shows
// what it is given; everything here runs without a window in tests.
//
// Entry points return at once while another one is still running (a
// requester, an upload or a transfer pumps window events underneath): input
// that arrives meanwhile is consumed without effect.
class Program : private RequestHandler {
 public:
  Program(ProgramServices services, CommandLine commandLine);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Start-up, in this order: settings (and -A), then the window is created
  // from WindowInnerSize(), then AttachWindow, then ConnectAtStartup.
  void LoadStartupSettings();
  // Inner size of the window below the menu bar for the current settings.
  InnerSize WindowInnerSize() const;
  // Sets the check marks, creates the screen image with the strip below the
  // grid, makes the window the decoder's presenter and clears the screen.
  void AttachWindow(View& view, Presenter& presenter);
  // Port search when ComNr is 0, connect, autoload, menu refresh.
  void ConnectAtStartup();
  // Closes the port; the program then exits with code 0.
  void Shutdown();

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
  // timer tick the auto-mode step. Returns true when the loop is to end:
  // quit was asked for and no command runs underneath any more.
  bool AfterEvent(bool timerTick);
  // The port vanished (USB adapter pulled): it is already closed. While
  // another entry point runs, this is remembered and applied when it ends.
  void OnPortLost();
  // The window's close request. Remembered even while another entry point
  // runs, so the loop ends after the running command returns.
  void OnCloseRequest() { quitRequested_ = true; }
  // Bytes arriving on the port call this, so a poll need not wait for the
  // next timer tick.
  void SetOnDataArrived(std::function<void()> onDataArrived);
  // The folder that holds the program; Website looks for the README from
  // there. The working folder when not set.
  void SetProgramFolder(std::filesystem::path folder);

  bool QuitRequested() const { return quitRequested_; }
  bool Busy() const { return busy_ != 0; }
  // Received bytes are waiting: the next poll should come at once.
  bool PortBacklog() const {
    return services_.port.IsOpen() && services_.port.BytesWaiting();
  }

  // Read access for the window and for tests.
  const Settings& settings() const { return settings_; }
  const RunState& state() const { return state_; }
  const TerminalScreen& screen() const { return engine_.screen(); }
  int UploadPatternIndex() const { return static_cast<int>(state_.uploadKind); }

 private:
  // Runs `action` as an entry point unless another one is running; see
  // Busy(). A lost port reported meanwhile is applied when the outermost
  // entry point ends.
  void Enter(const std::function<void()>& action);

  void RunMenuCommand(int menuId);
  void ShowModeMarks();
  // Toggles one of the Options menu's modes and shows its mark.
  void ToggleMode(int menuId, bool& mode);
  // What the transfers use of the program, for the one that runs now.
  TransferContext Transfers() {
    return {services_.port, services_.clock, engine_, services_.host,
            engine_.blocks()};
  }
  void RefreshMenuState();
  void ClearCommand();
  void Screenshot();
  void CopyText();
  void SaveText();
  void About();
  void Website();
  void ResetPropeller();
  void SaveSettingsCommand();
  void LoadSettingsCommand();
  void CreateScreen();
  void PollPort();
  // RequestHandler: a lettered request left by the poll's chunk.
  void CarryOut(int request) override;
  // Hands the modes the engine follows to the engine; called whenever they
  // may have changed (every entry point, every menu command).
  void SyncEngine();
  KeyModes Modes() const { return {state_.virtualKeys, state_.normalTerminal}; }

  ProgramServices services_;
  CommandLine commandLine_;
  std::filesystem::path programFolder_;
  // What the settings file gave, with the changes the commands made to it.
  Settings settings_;
  RunState state_;
  // The terminal: screen, shared blocks, decoder and the serial poll.
  Engine engine_;
  KeyEncoder keys_;
  MouseButtons buttons_;
  MenuMarks marks_;
  PortControl portControl_;
  UploadCommands uploads_;
  bool quitRequested_ = false;
  bool portLostPending_ = false;
  int busy_ = 0;
};

}  // namespace kestrix
