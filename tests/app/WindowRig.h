#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPoint>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "gui/MainWindow.h"
#include "serial/ComPort.h"
#include "sim/PseudoTerminal.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "terminal/EmbeddedImages.h"

namespace kestrix::test {

// Each suite gets its own QApplication on the offscreen platform.
class WindowTest : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite() { app.reset(); }

 private:
  static inline std::unique_ptr<QApplication> app;
};

// The real window, program and port, started as main() starts them, in a
// fresh folder whose COM6 is a pseudo-terminal; the test plays the device on
// its other end. The program's own waits are virtual.
class WindowRig {
 public:
  // Lines for Kestrix2.ini below "[Config]" (none: no file).
  explicit WindowRig(const std::vector<std::string>& configLines = {});

  void Start(bool withTimer = true);
  void Spin(int ms) {
    SpinUntil([] { return false; }, ms);
  }
  bool SpinUntil(const std::function<bool()>& done, int timeoutMs = 3000);
  void Tap(int key, Qt::KeyboardModifiers modifiers = {},
           const QString& text = {});
  // A mouse event at a point of the inner area (it may lie outside).
  void Mouse(QEvent::Type type, QPoint inner, Qt::MouseButton button,
             Qt::MouseButtons held);
  void Menu(int menuId);
  void Send(const std::string& bytes) {
    pty.Send(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
  // What the device received once the event loop had its turn.
  std::vector<std::uint8_t> DeviceReceived() {
    Spin(5);
    return pty.Receive(SIZE_MAX, 50);
  }

  TempFolder temp;
  const std::filesystem::path& folder = temp.path();
  sim::PseudoTerminal pty;
  ComPort port{folder};
  VirtualClock clock;
  std::vector<std::string> log;  // the host's calls
  ScriptedHost host{log};
  EmbeddedImages images;
  std::unique_ptr<Program> program;
  std::unique_ptr<MainWindow> window;  // goes before the program
  bool finished = false;
};

}  // namespace kestrix::test
