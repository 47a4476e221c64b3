#pragma once

#include <string>

#include "app/MenuMarks.h"
#include "app/RunState.h"
#include "core/Host.h"
#include "core/SerialLine.h"
#include "core/TextOutput.h"
#include "settings/Settings.h"

namespace kestrix {

// Decides when the port is open: connecting with feedback, the Com Enabled
// and Com-Port commands, the auto mode while the window is small, and a port
// that vanished under the program. The port is opened as `settings` name it;
// the Com Enabled state is the program's `state`, its mark shown on `marks`.
class PortControl {
 public:
  PortControl(SerialLine& port, Host& host, TextOutput& output,
              MenuMarks& marks)
      : port_(port), host_(host), output_(output), marks_(marks) {}

  // Opens the configured port: check mark, "COM port not found" box on
  // failure, screen cleared on success (and a line when it had been lost).
  void Connect(const Settings& settings, RunState& state);
  // Asks for the port number; a positive one replaces ComNr and reconnects.
  void ComPortCommand(Settings& settings, RunState& state);
  void ComEnabledCommand(const Settings& settings, RunState& state);
  // One timer step of the auto mode, for the window's inner height with its
  // menu bar.
  void AutoModeStep(int innerHeightWithMenu, const Settings& settings,
                    RunState& state);
  // The driver has closed a port that vanished: the mark follows and a line
  // says so, unless a command connected anew meanwhile.
  void PortLost(RunState& state);

 private:
  // Which device was tried for the port, and why it did not open.
  std::string TriedPort(const std::string& numberText) const;
  void ShowEnabled(RunState& state, bool enabled);

  SerialLine& port_;
  Host& host_;
  TextOutput& output_;
  MenuMarks& marks_;
  bool autoReleased_ = false;
  bool lost_ = false;
};

}  // namespace kestrix
