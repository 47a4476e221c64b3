#pragma once

// The program's window as main() builds it, on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise, with a pseudo-terminal linked as COM6 in a
// temporary working folder as its port. For the benchmarks that drive the
// whole window; create the QApplication first.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app/Program.h"
#include "core/SystemClock.h"
#include "gui/MainWindow.h"
#include "gui/QtHost.h"
#include "serial/ComPort.h"
#include "terminal/EmbeddedImages.h"

namespace kestrix::bench {

inline void UseOffscreenUnlessSet() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
}

inline long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

// Runs the event loop for a while (the window's 40 ms timer wakes it).
inline void Settle(double seconds) {
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < until) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

class WindowOnPty {
 public:
  WindowOnPty() {
    char pattern[] = "/tmp/kestrix-window-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    folder_ = pattern;
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
      std::abort();
    }
    std::filesystem::create_symlink(::ptsname(master_), folder_ / "COM6");
    images_ = LoadEmbeddedImages().images;
    if (!images_) std::abort();
    port_ = std::make_unique<ComPort>(folder_);
    program_ = std::make_unique<Program>(
        ProgramServices{*port_, clock_, host_, *images_, folder_},
        CommandLine{});
    program_->LoadStartupSettings();
    window_ = std::make_unique<MainWindow>(*program_);
    host_.SetWindow(window_.get(), window_->Progress());
    program_->AttachWindow(*window_, *window_);
    window_->show();
    window_->StartLoop();
    program_->ConnectAtStartup();
  }
  ~WindowOnPty() {
    program_->Shutdown();
    window_.reset();
    program_.reset();
    port_.reset();
    ::close(master_);
    std::filesystem::remove_all(folder_);
  }
  WindowOnPty(const WindowOnPty&) = delete;
  WindowOnPty& operator=(const WindowOnPty&) = delete;

  bool PortOpen() const { return port_->IsOpen(); }
  // The device's end of the line (non-blocking).
  int master() const { return master_; }

 private:
  std::filesystem::path folder_;
  int master_ = -1;
  std::optional<EmbeddedImages> images_;
  SystemClock clock_;
  QtHost host_;
  std::unique_ptr<ComPort> port_;
  std::unique_ptr<Program> program_;
  std::unique_ptr<MainWindow> window_;
};

// What each window benchmark starts with: the application (offscreen unless
// set otherwise) and the window on its pseudo-terminal. Ready() says so on
// standard error when the port did not open.
class WindowBench {
 public:
  explicit WindowBench(char** argv) : app_(argc_, argv) {}
  bool Ready() const {
    if (window_.PortOpen()) return true;
    std::fprintf(stderr, "port did not open\n");
    return false;
  }
  int master() const { return window_.master(); }

 private:
  int argc_ = (UseOffscreenUnlessSet(), 1);
  QApplication app_;
  WindowOnPty window_;
};

}  // namespace kestrix::bench
