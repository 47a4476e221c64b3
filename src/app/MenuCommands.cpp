#include <filesystem>

#include "app/MenuIds.h"
#include "app/Program.h"
#include "app/ReadmeLocation.h"
#include "app/Screenshot.h"
#include "core/AtomicFile.h"
#include "loader/PulseReset.h"
#include "settings/ScreenGeometry.h"
#include "settings/SettingsFile.h"

namespace kestrix {

namespace {
// Baud items below 115200; only the normal terminal may pick them.
constexpr int kFirstSlowBaudItem = kMenuBaudFirst + 1;
constexpr int kBaudItemCount = kMenuBaudLast - kMenuBaudFirst + 1;
// How long the About panel stays before the loop goes on.
constexpr int kAboutShowMs = 2000;
}  // namespace

void Program::OnMenuCommand(int menuId) {
  Enter([this, menuId] {
    RunMenuCommand(menuId);
    SyncEngine();
  });
}

void Program::RunMenuCommand(int menuId) {
  switch (menuId) {
    case kMenuScreenshot:
      Screenshot();
      return;
    case kMenuSaveSettings:
      SaveSettingsCommand();
      return;
    case kMenuQuit:
      quitRequested_ = true;
      return;
    case kMenuComPort:
      portControl_.ComPortCommand(settings_, state_);
      return;
    case kMenuComEnabled:
      portControl_.ComEnabledCommand(settings_, state_);
      return;
    case kMenuClear:
      ClearCommand();
      return;
    case kMenuAbout:
      About();
      return;
    case kMenuUploadFile:
      uploads_.UploadFileCommand(Transfers(), settings_, state_);
      return;
    case kMenuAutoMode:
      ToggleMode(kMenuAutoMode, state_.autoMode);
      return;
    case kMenuResetPropeller:
      ResetPropeller();
      return;
    case kMenuWebsite:
      Website();
      return;
    case kMenuNormalTerminal: {
      ToggleMode(kMenuNormalTerminal, state_.normalTerminal);
      state_.mouseReportsHeldBack = state_.normalTerminal;
      RefreshMenuState();
      return;
    }
    case kMenuCopyText:
      CopyText();
      return;
    case kMenuVirtualKeycodes:
      ToggleMode(kMenuVirtualKeycodes, state_.virtualKeys);
      return;
    case kMenuTextCursor:
      ToggleMode(kMenuTextCursor, state_.textCursor);
      return;
    case kMenuLoadSettings:
      LoadSettingsCommand();
      return;
    case kMenuSaveText:
      SaveText();
      return;
    case kMenuCrAutoLf:
      ToggleMode(kMenuCrAutoLf, state_.crAutoLf);
      return;
    default:
      break;
  }
  if (menuId >= kMenuBaudFirst && menuId <= kMenuBaudLast) {
    settings_.BaudRate = menuId - kMenuBaudFirst;
    RefreshMenuState();
  }
}

void Program::RefreshMenuState() {
  // The device display runs at 115200 only.
  const bool slowRatesAllowed = state_.normalTerminal;
  if (View* view = marks_.view()) {
    for (int id = kFirstSlowBaudItem; id <= kMenuBaudLast; ++id) {
      view->SetEnabled(id, slowRatesAllowed);
    }
  }
  if (!slowRatesAllowed) settings_.BaudRate = 0;
  if (settings_.BaudRate == state_.appliedBaud) return;
  for (int id = kMenuBaudFirst; id <= kMenuBaudLast; ++id)
    marks_.Show(id, false);
  // A rate index from a settings_ file may name no item; the port then runs
  // at 115200 and no other item (27 follows the baud items) gets a mark.
  if (settings_.BaudRate >= 0 && settings_.BaudRate < kBaudItemCount) {
    marks_.Show(kMenuBaudFirst + settings_.BaudRate, true);
  }
  services_.port.SetBaud(settings_.BaudRate);
  state_.appliedBaud = settings_.BaudRate;
}

void Program::ClearCommand() {
  engine_.ClearScreen();
  engine_.screen().TextColour = 0;
}

void Program::Screenshot() {
  const ScreenGeometry geometry = EffectiveGeometry(settings_);
  const Raster& image = engine_.screen().image;
  int width = image.width();
  int height = image.height();
  if (geometry.scale < 1.0f) {
    // A shrunken window shows only part of the image; that part is what
    // gets inverted.
    width = geometry.clientWidth;
    height = geometry.clientHeight;
  }
  services_.host.SetClipboardImage(
      ScreenshotImage(image, settings_.InversScreenshot, width, height));
}

void Program::CopyText() {
  services_.host.SetClipboardText(engine_.screen().ScreenText);
  engine_.screen().ScreenText.clear();
}

void Program::SaveText() {
  const FileChoice choice =
      services_.host.SaveFile("Save Text", "*.txt", "Text(.txt)|*.txt", 0);
  if (choice.path.empty()) return;
  WriteFileAtomically(choice.path, engine_.screen().ScreenText);
}

void Program::ResetPropeller() {
  if (!services_.port.IsOpen()) return;
  PulseReset(services_.port, services_.clock, settings_.UseRTS);
}

void Program::About() {
  if (marks_.view() == nullptr) return;
  marks_.view()->PaintAboutPanel();
  services_.clock.SleepMs(kAboutShowMs);
}

void Program::Website() {
  const std::filesystem::path page = FindReadme(programFolder_);
  if (page.empty()) {
    services_.host.MessageBox("Website", "README.md not found");
    return;
  }
  services_.host.OpenDocument(page.string());
}

void Program::SaveSettingsCommand() {
  SaveSettings(services_.workingFolder / kDefaultSettingsFile,
               SettingsToSave(settings_, state_));
}

void Program::LoadSettingsCommand() {
  const FileChoice choice = services_.host.OpenFile("Load Settings", "*.ini",
                                                    "Kestrix(.ini)|*.ini", 0);
  const int previousComNr = settings_.ComNr;
  if (!choice.path.empty()) {
    LoadSettings(choice.path, settings_);
    TakeLoadedModes(settings_, state_);
  }
  // Even without a file, the Auto Mode mark goes back to the loaded AutoDis:
  // the marks are set as at start-up.
  state_.autoMode = settings_.AutoDis;
  // Port 0 means "search", which happens only at start-up.
  if (settings_.ComNr == 0) settings_.ComNr = previousComNr;

  const ScreenGeometry geometry = EffectiveGeometry(settings_);
  if (View* view = marks_.view()) {
    view->ResizeInner(geometry.clientWidth, geometry.clientHeight);
  }
  CreateScreen();
  ShowModeMarks();
  RefreshMenuState();
  SyncEngine();
  ClearCommand();
}

}  // namespace kestrix
