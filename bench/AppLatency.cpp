// Measures the window as a user meets it: start-up to the first shown
// screen, a device byte to the repainted screen, a key press to the byte on
// the line, and resident memory. The device is a pseudo-terminal linked as
// COM6 in a temporary working folder.
//
//   AppLatency [bytes]     (default 300 echoes; QT_QPA_PLATFORM as usual,
//                           offscreen when unset)
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "core/SystemClock.h"
#include "gui/MainWindow.h"
#include "gui/QtHost.h"
#include "gui/ScreenGadget.h"
#include "serial/ComPort.h"
#include "terminal/EmbeddedImages.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start)
      .count();
}

// Counts the paints of one widget.
class PaintWatch : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

long StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + strlen(key));
  }
  return -1;
}

// Time since the kernel started this process, so that loading the shared
// libraries counts too; the kernel keeps it in clock ticks (10 ms).
double MsSinceExec() {
  std::ifstream stat("/proc/self/stat");
  std::string all;
  std::getline(stat, all);
  std::istringstream fields(all.substr(all.rfind(')') + 2));
  std::string field;
  for (int i = 3; i < 22; ++i) fields >> field;
  double startTicks = 0;
  fields >> startTicks;
  double uptime = 0;
  std::ifstream("/proc/uptime") >> uptime;
  return (uptime - startTicks / static_cast<double>(::sysconf(_SC_CLK_TCK))) *
         1000.0;
}

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) return;
  std::printf("%-28s n=%zu median=%.2f ms p95=%.2f ms worst=%.2f ms\n", what,
              ms.size(), ms[ms.size() / 2], ms[ms.size() * 95 / 100],
              ms.back());
}

}  // namespace

int main(int argc, char** argv) {
  const auto processStart = Clock::now();
  const int echoes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }

  char pattern[] = "/tmp/kestrix-latency-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  const std::filesystem::path folder = pattern;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return 1;
  std::filesystem::create_symlink(::ptsname(master), folder / "COM6");

  // Start-up as main() does it, up to the first painted screen.
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  auto images = kestrix::LoadEmbeddedImages().images;
  if (!images) return 1;
  kestrix::ComPort port(folder);
  kestrix::SystemClock clock;
  kestrix::QtHost host;
  kestrix::Program program({port, clock, host, *images, folder}, {});
  program.LoadStartupSettings();
  kestrix::MainWindow window(program);
  host.SetWindow(&window, window.Progress());
  PaintWatch watch;
  window.Gadget()->installEventFilter(&watch);
  program.AttachWindow(window, window);
  window.show();
  window.StartLoop();
  program.ConnectAtStartup();
  while (watch.paints == 0) QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  const double startupMs = MsSince(processStart);
  const double sinceExecMs = MsSinceExec();
  if (!port.IsOpen()) {
    std::fprintf(stderr, "port did not open\n");
    return 1;
  }

  // Device byte to repainted screen.
  std::vector<double> echo;
  int lost = 0;
  for (int i = 0; i < echoes; ++i) {
    const int before = watch.paints;
    const char byte = static_cast<char>('!' + i % 90);
    const auto sent = Clock::now();
    if (::write(master, &byte, 1) != 1) return 1;
    while (watch.paints == before && MsSince(sent) < 1000) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    if (watch.paints == before) {
      ++lost;
      continue;
    }
    echo.push_back(MsSince(sent));
    // An idle gap, as between a typist's keys.
    const auto idle = Clock::now();
    while (MsSince(idle) < 3) QCoreApplication::processEvents();
  }

  // Key press to byte at the device.
  std::vector<double> keys;
  char drain[256];
  while (::read(master, drain, sizeof drain) > 0) {
  }
  for (int i = 0; i < 100; ++i) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    const auto pressed = Clock::now();
    QCoreApplication::sendEvent(&window, &press);
    pollfd wait{master, POLLIN, 0};
    if (::poll(&wait, 1, 1000) > 0 && ::read(master, drain, 1) == 1) {
      keys.push_back(MsSince(pressed));
    }
    QCoreApplication::sendEvent(&window, &release);
    QCoreApplication::processEvents();
  }

  std::printf(
      "start-up to first screen      %.1f ms from main(), %.0f ms from "
      "exec (10 ms steps)\n",
      startupMs, sinceExecMs);
  Report("device byte to screen paint", echo);
  if (lost > 0) std::printf("  %d bytes never shown\n", lost);
  Report("key press to byte on line", keys);
  std::printf("resident memory               %ld kB now, %ld kB peak\n",
              StatusKb("VmRSS:"), StatusKb("VmHWM:"));

  program.Shutdown();
  ::close(master);
  std::filesystem::remove_all(folder);
  return 0;
}
