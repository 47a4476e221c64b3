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
constexpr char kChooseAnother[] =
    "Choose another port with Options > Com-Port; it lists the serial "
    "adapters present.";
}  // namespace

std::string PortControl::TriedPort(const std::string& numberText) const {
  const std::string failure = port_.OpenFailure(numberText);
  return failure.empty() ? "Tried COM" + numberText + "." : failure;
}

void PortControl::ShowEnabled(RunState& state, bool enabled) {
  state.portEnabled = enabled;
  marks_.Show(kMenuComEnabled, enabled);
}

void PortControl::Connect(const Settings& settings, RunState& state) {
  ShowEnabled(state, true);
  if (port_.IsOpen()) return;
  if (!port_.OpenPort(std::to_string(settings.ComNr), settings.BaudRate,
                      settings.FT232R)) {
    host_.MessageBox("Error", "COM port not found\n\n" +
                                  TriedPort(std::to_string(settings.ComNr)) +
                                  "\n" + kChooseAnother);
    ShowEnabled(state, false);
    return;
  }
  output_.ClearScreen();
  if (lost_) {
    lost_ = false;
    output_.PrintLine(kPortRetakenLine);
  }
}

void PortControl::ComPortCommand(Settings& settings, RunState& state) {
  std::string question = "On which COM is the Propeller connected?";
  const std::string adapters = port_.AdaptersPresent();
  if (!adapters.empty()) question += "\n\n" + adapters;
  const std::string answer =
      host_.InputText("ComPort", question, std::to_string(settings.ComNr));
  const int number = DecimalValue(answer);
  if (number <= 0) {
    // Cancelling gives empty text and says nothing; anything else that is
    // not a port number would otherwise be dropped without a word.
    if (!answer.empty()) {
      host_.MessageBox("ComPort", "\"" + answer +
                                      "\" is not a COM port number: type "
                                      "the number alone, 1 or more (6 for "
                                      "COM6). Nothing was changed.");
    }
    return;
  }
  port_.ClosePort();
  settings.ComNr = number;
  Connect(settings, state);
}

void PortControl::ComEnabledCommand(const Settings& settings,
                                    RunState& state) {
  ShowEnabled(state, !state.portEnabled);
  if (state.portEnabled) {
    Connect(settings, state);
    return;
  }
  if (!port_.IsOpen()) return;
  port_.ClosePort();
  host_.RaiseWindow(kPropellerToolTitle);
}

void PortControl::AutoModeStep(int innerHeightWithMenu,
                               const Settings& settings, RunState& state) {
  if (innerHeightWithMenu < kReleaseBelowHeight && !autoReleased_) {
    if (port_.IsOpen()) {
      ShowEnabled(state, false);
      port_.ClosePort();
    }
    autoReleased_ = true;
  }
  if (innerHeightWithMenu > kReconnectAboveHeight && autoReleased_) {
    Connect(settings, state);
    autoReleased_ = false;
  }
}

void PortControl::PortLost(RunState& state) {
  // Open again means a command that ran meanwhile connected anew, and that
  // connection is not the lost one.
  if (port_.IsOpen()) return;
  ShowEnabled(state, false);
  if (lost_) return;
  lost_ = true;
  output_.PrintLine(kPortLostLine);
}

}  // namespace kestrix
