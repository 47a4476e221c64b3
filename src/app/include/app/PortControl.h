#pragma once

#include <string>

#include "app/MenuMarks.h"
#include "core/Host.h"
#include "core/SerialLine.h"
#include "core/TextOutput.h"
#include "settings/Settings.h"

namespace kestrix {

// Decides when the port is open: connecting with feedback, the Com Enabled
// and Com-Port commands, the auto mode while the window is small, and a port
// that vanished under the program.
class PortControl {
 public:
  PortControl(SerialLine& port, Host& host, TextOutput& output,
              Settings& settings, MenuMarks& marks)
      : port_(port),
        host_(host),
        output_(output),
        settings_(settings),
        marks_(marks) {}

  // Opens the configured port: check mark, "COM port not found" box on
  // failure, screen cleared on success (and a line when it had been lost).
  void Connect();
  void ComPortCommand();
  void ComEnabledCommand();
  // One timer step of the auto mode, for the window's inner height with its
  // menu bar.
  void AutoModeStep(int innerHeightWithMenu);
  // The driver has closed a port that vanished: the mark follows and a line
  // says so, unless a command connected anew meanwhile.
  void PortLost();

 private:
  // Which device was tried for the port, and why it did not open.
  std::string TriedPort(const std::string& numberText) const;

  SerialLine& port_;
  Host& host_;
  TextOutput& output_;
  Settings& settings_;
  MenuMarks& marks_;
  int autoReleased_ = 0;
  bool lost_ = false;
};

}  // namespace kestrix
