#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
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

class WindowTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static char name[] = "tests", *argv[] = {name, nullptr};
    static int argc = 1;
    app = std::make_unique<QApplication>(argc, argv);
  }
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
  explicit WindowRig(const std::vector<std::string>& configLines = {}) {
    EXPECT_TRUE(pty.Link(folder.string(), 6));
    std::string ini = "[Config]\r\n";
    for (const std::string& line : configLines) ini += line + "\r\n";
    if (!configLines.empty()) temp.Write("Kestrix2.ini", ini);
    auto [loaded, error] = LoadEmbeddedImages();
    EXPECT_TRUE(loaded.has_value()) << error;
    if (loaded) images = std::move(*loaded);
    program = std::make_unique<Program>(
        ProgramServices{port, clock, host, images, folder}, CommandLine{});
    port.SetOnLost([this] { program->OnPortLost(); });
  }

  void Start(bool withTimer = true) {
    program->LoadStartupSettings();
    window = std::make_unique<MainWindow>(*program);
    program->AttachWindow(*window, *window);
    window->SetOnFinished([this] { finished = true; });
    window->show();
    withTimer ? window->StartLoop() : window->WatchPort();
    program->ConnectAtStartup();
    Spin(10);
  }
  void Spin(int ms) {
    SpinUntil([] { return false; }, ms);
  }
  bool SpinUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
      if (timer.elapsed() > timeoutMs) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
  }
  void Tap(int key, Qt::KeyboardModifiers modifiers = {},
           const QString& text = {}) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent event(type, key, modifiers, text);
      QCoreApplication::sendEvent(window.get(), &event);
    }
  }
  // A mouse event at a point of the inner area (it may lie outside), or of
  // another widget.
  void Mouse(QEvent::Type type, QPoint inner, Qt::MouseButton button,
             Qt::MouseButtons held, QWidget* area = nullptr) {
    if (area == nullptr) area = window->InnerArea();
    const QPointF local(inner), global(area->mapToGlobal(inner));
    QMouseEvent event(type, local, local, global, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &event);
  }
  void Menu(int menuId) {
    QAction* action = window->Action(menuId);
    ASSERT_NE(action, nullptr) << menuId;
    action->trigger();
  }
  void Send(const std::string& bytes) {
    pty.Send(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
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
