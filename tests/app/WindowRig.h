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

#include "app/MainWindow.h"
#include "app/Program.h"
#include "serial/ComPort.h"
#include "support/ScriptedHost.h"
#include "support/VirtualClock.h"
#include "terminal/EmbeddedImages.h"

namespace kestrix::test {

// Window tests need a QApplication; one on the offscreen platform lives for
// each test suite (other suites in the same binary make their own).
class WindowTest : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite() { app_.reset(); }

 private:
  static inline std::unique_ptr<QApplication> app_;
};

// A pseudo-terminal whose slave end is linked as "COM6" in a fresh folder;
// the test plays the device on the master end.
class DevicePty {
 public:
  DevicePty();
  ~DevicePty();
  DevicePty(const DevicePty&) = delete;
  DevicePty& operator=(const DevicePty&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  bool ok() const { return master_ >= 0; }
  void Send(const std::string& bytes);
  // Everything the port has sent so far, waiting up to idleMs for more.
  std::vector<std::uint8_t> Take(int idleMs = 50);

 private:
  std::filesystem::path folder_;
  int master_ = -1;
};

// The real window, program and port, started as main() starts them, in a
// working folder of its own whose COM6 is the pty. Time spent waiting in the
// program (the About panel's 2 s) is virtual.
class WindowRig {
 public:
  // Settings lines for Kestrix2.ini ("[Config]" is added), or none.
  explicit WindowRig(const std::vector<std::string>& configLines = {});
  ~WindowRig();

  void Start(bool withTimer = true);
  // Runs the event loop for about ms milliseconds.
  void Spin(int ms) {
    SpinUntil([] { return false; }, ms);
  }
  // Runs the event loop until done() or timeoutMs passed.
  bool SpinUntil(const std::function<bool()>& done, int timeoutMs = 3000);

  void Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {},
           const QString& text = {});
  // Press and release, as a quick typist would.
  void Tap(int key, Qt::KeyboardModifiers modifiers = {},
           const QString& text = {}) {
    Key(QEvent::KeyPress, key, modifiers, text);
    Key(QEvent::KeyRelease, key, modifiers, text);
  }
  // A mouse event at a position of the inner area (it may lie outside).
  void Mouse(QEvent::Type type, QPoint inner, Qt::MouseButton button,
             Qt::MouseButtons held);
  void Menu(int menuId);
  // Bytes the device received, after the event loop had the chance to run.
  std::vector<std::uint8_t> DeviceReceived(int idleMs = 50);

  DevicePty pty;
  ComPort port;
  VirtualClock clock;
  std::vector<std::string> log;  // the host's calls
  ScriptedHost host{log};
  EmbeddedImages images;
  std::unique_ptr<Program> program;
  std::unique_ptr<MainWindow> window;
  bool finished = false;
};

}  // namespace kestrix::test
