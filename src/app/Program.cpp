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
      keys_(services_.port, blocks_),
      transfers_{services_.port, services_.clock, engine_, services_.host,
                 blocks_},
      portControl_(services_.port, services_.host, engine_, settings_, marks_),
      uploads_(services_.port, transfers_, settings_, loaderImage_,
               services_.images.logo, engine_) {}

void Program::Enter(const std::function<void()>& action) {
  if (Busy()) return;
  ++busy_;
  SyncEngine();
  action();
  --busy_;
  if (busy_ == 0 && portLostPending_) {
    portLostPending_ = false;
    portControl_.PortLost();
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
}

void Program::WindowInnerSize(int* width, int* height) const {
  const ScreenGeometry geometry = EffectiveGeometry(settings_);
  *width = geometry.client_width;
  *height = geometry.client_height;
}

void Program::CreateScreen() {
  const ScreenGeometry geometry = EffectiveGeometry(settings_);
  // The strip below the grid is part of the image: a press there is a press
  // on the screen, and the strip is black as at start-up.
  CreateScreenImage(screen_, geometry.cols, geometry.rows, /*withStrip=*/true);
}

void Program::AttachWindow(View& view, Presenter& presenter) {
  marks_.Attach(&view);
  ApplyCheckMarks();
  CreateScreen();
  engine_.SetPresenter(&presenter);
  SyncEngine();
  engine_.ClearScreen();
}

void Program::ConnectAtStartup() {
  Enter([this] {
    if (settings_.ComNr == 0) {
      // A search that finds nothing leaves 0: the connect then fails.
      settings_.ComNr = ScanPorts(services_.port, transfers_, settings_.FT232R,
                                  settings_.UseRTS);
    }
    if (!services_.port.IsOpen()) portControl_.Connect();
    if (services_.port.IsOpen() && !settings_.Autoload.empty()) {
      uploads_.UploadProgram(settings_.Autoload);
    }
    RefreshMenuState();
  });
}

void Program::SyncEngine() {
  engine_.SetOptions({settings_.TxtCurs, settings_.CRmode,
                      settings_.NormalTerminalFlag, settings_.palette});
}

void Program::Shutdown() { services_.port.ClosePort(); }

void Program::OnPortLost() {
  portLostPending_ = true;
  Enter([] {});
}

void Program::ApplyCheckMarks() {
  marks_.Set(kMenuAutoMode, settings_.AutoDis);
  marks_.Set(kMenuVirtualKeycodes, settings_.VKeys);
  marks_.Set(kMenuTextCursor, settings_.TxtCurs);
  marks_.Set(kMenuNormalTerminal, settings_.NormalTerminalFlag);
  marks_.Set(kMenuCrAutoLf, settings_.CRmode);
}

}  // namespace kestrix
