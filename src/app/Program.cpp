#include "app/Program.h"

#include "app/EntryGuard.h"
#include "app/MenuIds.h"
#include "loader/PortSearch.h"
#include "settings/ScreenGeometry.h"
#include "settings/SettingsFile.h"

namespace kestrix {

Program::Program(ProgramServices services, CommandLine commandLine)
    : engine(services.images.glyphSheet, services.port, services.clock),
      programFolder(services.workingFolder),
      services_(std::move(services)),
      commandLine_(std::move(commandLine)),
      keys_(services_.port, blocks) {}

void Program::SetLaterTransfers(LaterTransfers* later) {
  later_ = later != nullptr ? later : &noLaterTransfers_;
}

void Program::LoadStartupSettings() {
  const std::string name = commandLine_.settingsFile.empty()
                               ? std::string(kDefaultSettingsFile)
                               : commandLine_.settingsFile;
  LoadSettings(services_.workingFolder / name, settings);
  if (commandLine_.autoload) settings.Autoload = commandLine_.autoloadFile;
}

void Program::WindowInnerSize(int* width, int* height) const {
  const ScreenGeometry geometry = EffectiveGeometry(settings);
  *width = geometry.client_width;
  *height = geometry.client_height;
}

void Program::AttachWindow(View& view, Presenter& presenter) {
  view_ = &view;
  ApplyCheckMarks();
  const ScreenGeometry geometry = EffectiveGeometry(settings);
  CreateScreenImage(screen, geometry.cols, geometry.rows, /*withStrip=*/true);
  engine.SetPresenter(&presenter);
  SyncDecoderOptions();
  engine.ClearScreen();
}

void Program::ConnectAtStartup() {
  if (Busy()) return;
  EntryGuard guard(*this);
  if (settings.ComNr == 0) {
    ScanPorts(services_.port, services_.clock, blocks, settings);
  }
  if (!services_.port.IsOpen()) ConnectPort();
  if (services_.port.IsOpen() && !settings.Autoload.empty()) {
    UploadProgram(settings.Autoload);
  }
  RefreshMenuState();
}

void Program::SyncDecoderOptions() {
  engine.SetOptions({settings.TxtCurs, settings.CRmode,
                     settings.NormalTerminalFlag, settings.palette});
}

void Program::Shutdown() { services_.port.ClosePort(); }

void Program::ApplyCheckMarks() {
  SetMark(kMenuAutoMode, settings.AutoDis != 0);
  SetMark(kMenuVirtualKeycodes, settings.VKeys != 0);
  SetMark(kMenuTextCursor, settings.TxtCurs != 0);
  SetMark(kMenuNormalTerminal, settings.NormalTerminalFlag != 0);
  SetMark(kMenuCrAutoLf, settings.CRmode != 0);
}

void Program::SetMark(int menuId, bool checked) {
  if (view_ != nullptr) view_->SetChecked(menuId, checked);
}

bool Program::Mark(int menuId) const {
  return view_ != nullptr && view_->IsChecked(menuId);
}

int Program::ToggleMark(int menuId) {
  // The mark is the state: read it, invert it, write it back and read it
  // again, so the value behind it follows what the menu really shows.
  SetMark(menuId, !Mark(menuId));
  return Mark(menuId) ? 1 : 0;
}

}  // namespace kestrix
