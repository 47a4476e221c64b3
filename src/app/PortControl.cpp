#include <string>

#include "app/EntryGuard.h"
#include "app/MenuIds.h"
#include "app/Program.h"
#include "loader/PulseReset.h"
#include "settings/Numbers.h"

namespace kestrix {

namespace {
// Window heights (inner area with the menu bar) of the auto mode: below the
// first the window counts as minimised, above the second as restored; the
// gap keeps the port from flapping while the window is dragged in between.
constexpr int kReleaseBelowHeight = 120;
constexpr int kReconnectAboveHeight = 180;
// The vendor's IDE, which takes the port once it is released.
constexpr char kPropellerToolTitle[] = "Propeller Tool";
}  // namespace

void Program::ConnectPort() {
  SetMark(kMenuComEnabled, true);
  SerialLine& port = services_.port;
  if (port.IsOpen()) return;
  if (!port.OpenPort(std::to_string(settings.ComNr), settings.BaudRate,
                     settings.FT232R)) {
    services_.host.MessageBox("Error", "COM port not found");
    SetMark(kMenuComEnabled, false);
    return;
  }
  engine.ClearScreen();
}

void Program::ComPortCommand() {
  const std::string answer = services_.host.InputText(
      "ComPort", "On which COM is the Propeller connected?",
      std::to_string(settings.ComNr));
  const int number = DecimalValue(answer);
  if (number <= 0) return;
  services_.port.ClosePort();
  settings.ComNr = number;
  ConnectPort();
}

void Program::ComEnabledCommand() {
  if (ToggleMark(kMenuComEnabled) != 0) {
    ConnectPort();
    return;
  }
  if (!services_.port.IsOpen()) return;
  services_.port.ClosePort();
  services_.host.RaiseWindow(kPropellerToolTitle);
}

void Program::AutoModeStep() {
  if (view_ == nullptr) return;
  if (view_->InnerHeightWithMenu() < kReleaseBelowHeight && AutoReleased == 0) {
    if (services_.port.IsOpen()) {
      SetMark(kMenuComEnabled, false);
      services_.port.ClosePort();
    }
    AutoReleased = 1;
  }
  if (view_->InnerHeightWithMenu() > kReconnectAboveHeight &&
      AutoReleased == 1) {
    ConnectPort();
    AutoReleased = 0;
  }
}

void Program::ResetPropeller() {
  if (!services_.port.IsOpen()) return;
  PulseReset(services_.port, services_.clock, settings.UseRTS);
}

void Program::OnPortLost() {
  portLostPending_ = true;
  if (Busy()) return;
  EntryGuard guard(*this);
}

void Program::ApplyPortLost() {
  portLostPending_ = false;
  // The driver has closed the port already. Open again means a command that
  // ran meanwhile connected anew, and that connection is not the lost one.
  if (services_.port.IsOpen()) return;
  SetMark(kMenuComEnabled, false);
}

}  // namespace kestrix
