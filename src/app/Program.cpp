#include "app/Program.h"

#include "app/MenuIds.h"
#include "loader/PortSearch.h"
#include "settings/ScreenGeometry.h"
#include "settings/SettingsFile.h"

namespace kestrix {

Program::Program(ProgramServices services, CommandLine commandLine)
    : services_(std::move(services)),
      commandLine_(std::move(commandLine)),
      programFolder_(services_.workingFolder),
      engine_(services_.images.glyphSheet, services_.port, services_.clock),
      keys_(services_.port, engine_.blocks()),
      portControl_(services_.port, services_.host, engine_, marks_),
      uploads_(services_.port, engine_, services_.images.logo) {}

void Program::Enter(const std::function<void()>& action) {
  if (Busy()) return;
  ++busy_;
  SyncEngine();
  action();
  --busy_;
  if (busy_ == 0 && portLostPending_) {
    portLostPending_ = false;
    portControl_.PortLost(state_);
  }
}

void Program::SetOnDataArrived(std::function<void()> onDataArrived) {
  services_.port.SetOnDataArrived(std::move(onDataArrived));
}

void Program::SetProgramFolder(std::filesystem::path folder) {
  programFolder_ = std::move(folder);
}

void Program::LoadStartupSettings() {
  const std::string name = commandLine_.settingsFile.empty()
                               ? std::string(kDefaultSettingsFile)
                               : commandLine_.settingsFile;
  LoadSettings(services_.workingFolder / name, settings_);
  if (commandLine_.autoload) settings_.Autoload = commandLine_.autoloadFile;
  TakeLoadedModes(settings_, state_);
}

InnerSize Program::WindowInnerSize() const {
  const ScreenGeometry geometry = EffectiveGeometry(settings_);
  return {geometry.clientWidth, geometry.clientHeight};
}

void Program::CreateScreen() {
  const ScreenGeometry geometry = EffectiveGeometry(settings_);
  // The strip below the grid is part of the image: a press there is a press
  // on the screen, and the strip is black as at start-up.
  CreateScreenImage(engine_.screen(), geometry.cols, geometry.rows,
                    /*withStrip=*/true);
}

void Program::AttachWindow(View& view, Presenter& presenter) {
  marks_.Attach(&view);
  ShowModeMarks();
  CreateScreen();
  engine_.SetPresenter(&presenter);
  SyncEngine();
  engine_.ClearScreen();
}

void Program::ConnectAtStartup() {
  Enter([this] {
    // The window reaches the screen before the port is opened: opening
    // takes a lock file's disk sync, a search or an autoload far longer.
    services_.host.PumpEvents();
    if (settings_.ComNr == 0) {
      // A search that finds nothing leaves 0: the connect then fails.
      settings_.ComNr = ScanPorts(services_.port, Transfers(), settings_.FT232R,
                                  settings_.UseRTS);
    }
    if (!services_.port.IsOpen()) portControl_.Connect(settings_, state_);
    if (services_.port.IsOpen() && !settings_.Autoload.empty()) {
      uploads_.UploadProgram(settings_.Autoload, Transfers(), settings_.UseRTS);
    }
    RefreshMenuState();
  });
}

void Program::SyncEngine() {
  engine_.SetOptions({state_.textCursor, state_.crAutoLf, state_.normalTerminal,
                      settings_.palette});
}

void Program::Shutdown() { services_.port.ClosePort(); }

void Program::OnPortLost() {
  portLostPending_ = true;
  Enter([] {});
}

void Program::ShowModeMarks() {
  marks_.Show(kMenuAutoMode, state_.autoMode);
  marks_.Show(kMenuVirtualKeycodes, state_.virtualKeys);
  marks_.Show(kMenuTextCursor, state_.textCursor);
  marks_.Show(kMenuNormalTerminal, state_.normalTerminal);
  marks_.Show(kMenuCrAutoLf, state_.crAutoLf);
}

void Program::ToggleMode(int menuId, bool& mode) {
  mode = !mode;
  marks_.Show(menuId, mode);
}

}  // namespace kestrix
