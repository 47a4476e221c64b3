#include <filesystem>
#include <system_error>

#include "app/EntryGuard.h"
#include "app/MenuIds.h"
#include "app/Program.h"
#include "app/Screenshot.h"
#include "core/AtomicFile.h"
#include "settings/ScreenGeometry.h"
#include "settings/SettingsFile.h"

namespace kestrix {

namespace {
// Baud items below 115200; only the normal terminal may pick them.
constexpr int kFirstSlowBaudItem = kMenuBaudFirst + 1;
constexpr int kBaudItemCount = kMenuBaudLast - kMenuBaudFirst + 1;
// How long the About panel stays before the loop goes on.
constexpr int kAboutShowMs = 2000;
// The page behind Website: the program's own description, beside it.
constexpr char kWebsiteDocument[] = "README.md";
}  // namespace

void Program::OnMenuCommand(int menuId) {
  if (Busy()) return;
  EntryGuard guard(*this);
  RunMenuCommand(menuId);
  SyncDecoderOptions();
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
      ComPortCommand();
      return;
    case kMenuComEnabled:
      ComEnabledCommand();
      return;
    case kMenuClear:
      ClearCommand();
      return;
    case kMenuAbout:
      About();
      return;
    case kMenuUploadFile:
      UploadCommand();
      return;
    case kMenuAutoMode:
      // The timer step reads the mark itself.
      ToggleMark(kMenuAutoMode);
      return;
    case kMenuResetPropeller:
      ResetPropeller();
      return;
    case kMenuWebsite:
      Website();
      return;
    case kMenuNormalTerminal: {
      const int on = ToggleMark(kMenuNormalTerminal);
      settings.MsMoveOff = on;
      settings.NormalTerminalFlag = on;
      RefreshMenuState();
      return;
    }
    case kMenuCopyText:
      CopyText();
      return;
    case kMenuVirtualKeycodes:
      settings.VKeys = ToggleMark(kMenuVirtualKeycodes);
      return;
    case kMenuTextCursor:
      settings.TxtCurs = ToggleMark(kMenuTextCursor);
      return;
    case kMenuLoadSettings:
      LoadSettingsCommand();
      return;
    case kMenuSaveText:
      SaveText();
      return;
    case kMenuCrAutoLf:
      settings.CRmode = ToggleMark(kMenuCrAutoLf);
      return;
    default:
      break;
  }
  if (menuId >= kMenuBaudFirst && menuId <= kMenuBaudLast) {
    settings.BaudRate = menuId - kMenuBaudFirst;
    RefreshMenuState();
  }
}

void Program::RefreshMenuState() {
  // The device display runs at 115200 only.
  const bool slowRatesAllowed = settings.NormalTerminalFlag != 0;
  if (view_ != nullptr) {
    for (int id = kFirstSlowBaudItem; id <= kMenuBaudLast; ++id) {
      view_->SetEnabled(id, slowRatesAllowed);
    }
  }
  if (!slowRatesAllowed) settings.BaudRate = 0;
  if (settings.BaudRate == AppliedBaud) return;
  for (int id = kMenuBaudFirst; id <= kMenuBaudLast; ++id) SetMark(id, false);
  // A rate index from a settings file may name no item; the port then runs
  // at 115200 and no other item (27 follows the baud items) gets a mark.
  if (settings.BaudRate >= 0 && settings.BaudRate < kBaudItemCount) {
    SetMark(kMenuBaudFirst + settings.BaudRate, true);
  }
  services_.port.SetBaud(settings.BaudRate);
  AppliedBaud = settings.BaudRate;
}

void Program::ClearCommand() {
  engine.ClearScreen();
  screen.TextColour = 0;
}

void Program::Screenshot() {
  const ScreenGeometry geometry = EffectiveGeometry(settings);
  int width = screen.image.width();
  int height = screen.image.height();
  if (geometry.scale < 1.0f) {
    // A shrunken window shows only part of the image; that part is what
    // gets inverted.
    width = geometry.client_width;
    height = geometry.client_height;
  }
  services_.host.SetClipboardImage(ScreenshotImage(
      screen.image, settings.InversScreenshot != 0, width, height));
}

void Program::CopyText() {
  services_.host.SetClipboardText(screen.ScreenText);
  screen.ScreenText.clear();
}

void Program::SaveText() {
  const FileChoice choice =
      services_.host.SaveFile("Save Text", "*.txt", "Text(.txt)|*.txt", 0);
  if (choice.path.empty()) return;
  WriteFileAtomically(choice.path, screen.ScreenText);
}

void Program::About() {
  if (view_ == nullptr) return;
  view_->PaintAboutPanel();
  services_.clock.SleepMs(kAboutShowMs);
}

void Program::Website() {
  std::error_code error;
  std::filesystem::path page =
      std::filesystem::absolute(programFolder / kWebsiteDocument, error);
  if (error) page = programFolder / kWebsiteDocument;
  services_.host.OpenDocument(page.string());
}

void Program::SaveSettingsCommand() {
  SaveSettings(services_.workingFolder / kDefaultSettingsFile, settings,
               Mark(kMenuAutoMode) ? 1 : 0);
}

void Program::LoadSettingsCommand() {
  const FileChoice choice = services_.host.OpenFile("Load Settings", "*.ini",
                                                    "Kestrix(.ini)|*.ini", 0);
  const int previousComNr = settings.ComNr;
  if (!choice.path.empty()) LoadSettings(choice.path, settings);
  // Port 0 means "search", which happens only at start-up.
  if (settings.ComNr == 0) settings.ComNr = previousComNr;

  const ScreenGeometry geometry = EffectiveGeometry(settings);
  if (view_ != nullptr) {
    view_->ResizeInner(geometry.client_width, geometry.client_height);
  }
  CreateScreenImage(screen, geometry.cols, geometry.rows,
                    /*withStrip=*/false);
  ApplyCheckMarks();
  RefreshMenuState();
  SyncDecoderOptions();
  ClearCommand();
}

}  // namespace kestrix
