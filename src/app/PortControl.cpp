#include "app/PortControl.h"

#include <string>

#include "app/MenuIds.h"
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
// A pulled adapter closes the port without a word from the device; these
// lines make it and its return visible.
constexpr char kPortLostLine[] = "COM port lost";
constexpr char kPortRetakenLine[] = "COM port retaken";
}  // namespace

void PortControl::Connect() {
  marks_.Set(kMenuComEnabled, true);
  if (port_.IsOpen()) return;
  if (!port_.OpenPort(std::to_string(settings_.ComNr), settings_.BaudRate,
                      settings_.FT232R)) {
    host_.MessageBox("Error", "COM port not found");
    marks_.Set(kMenuComEnabled, false);
    return;
  }
  output_.ClearScreen();
  if (lost_) {
    lost_ = false;
    output_.PrintLine(kPortRetakenLine);
  }
}

void PortControl::ComPortCommand() {
  const std::string answer =
      host_.InputText("ComPort", "On which COM is the Propeller connected?",
                      std::to_string(settings_.ComNr));
  const int number = DecimalValue(answer);
  if (number <= 0) return;
  port_.ClosePort();
  settings_.ComNr = number;
  Connect();
}

void PortControl::ComEnabledCommand() {
  if (marks_.Toggle(kMenuComEnabled)) {
    Connect();
    return;
  }
  if (!port_.IsOpen()) return;
  port_.ClosePort();
  host_.RaiseWindow(kPropellerToolTitle);
}

void PortControl::AutoModeStep(int innerHeightWithMenu) {
  if (innerHeightWithMenu < kReleaseBelowHeight && autoReleased_ == 0) {
    if (port_.IsOpen()) {
      marks_.Set(kMenuComEnabled, false);
      port_.ClosePort();
    }
    autoReleased_ = 1;
  }
  if (innerHeightWithMenu > kReconnectAboveHeight && autoReleased_ == 1) {
    Connect();
    autoReleased_ = 0;
  }
}

void PortControl::PortLost() {
  // Open again means a command that ran meanwhile connected anew, and that
  // connection is not the lost one.
  if (port_.IsOpen()) return;
  marks_.Set(kMenuComEnabled, false);
  if (lost_) return;
  lost_ = true;
  output_.PrintLine(kPortLostLine);
}

}  // namespace kestrix
