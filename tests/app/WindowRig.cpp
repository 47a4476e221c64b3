#include "app/WindowRig.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <fstream>

namespace kestrix::test {

void WindowTest::SetUpTestSuite() {
  if (QCoreApplication::instance() != nullptr) return;
  // QApplication takes its options out of argv: lay them out anew each time.
  static char name[] = "app_tests", option[] = "-platform",
              platform[] = "offscreen";
  static char* argv[4];
  static int argc;
  argv[0] = name, argv[1] = option, argv[2] = platform, argc = 3;
  app = std::make_unique<QApplication>(argc, argv);
}

DevicePty::DevicePty() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "kestrix-window-XXXXXX")
          .string();
  if (::mkdtemp(pattern.data()) == nullptr) return;
  folder_ = pattern;
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    return;
  }
  const char* slave = ::ptsname(master_);
  if (slave == nullptr) return;
  std::filesystem::create_symlink(slave, folder_ / "COM6");
}

DevicePty::~DevicePty() {
  if (master_ >= 0) ::close(master_);
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

void DevicePty::Send(const std::string& bytes) {
  // Short texts only: they fit the pty's buffer in one write.
  EXPECT_EQ(::write(master_, bytes.data(), bytes.size()),
            static_cast<ssize_t>(bytes.size()));
}

std::vector<std::uint8_t> DevicePty::Take() {
  std::vector<std::uint8_t> got;
  std::uint8_t chunk[1024];
  for (;;) {
    pollfd wait{master_, POLLIN, 0};
    if (::poll(&wait, 1, 50) <= 0) break;
    const ssize_t n = ::read(master_, chunk, sizeof chunk);
    if (n <= 0) break;
    got.insert(got.end(), chunk, chunk + n);
  }
  return got;
}

WindowRig::WindowRig(const std::vector<std::string>& configLines)
    : port(pty.folder()) {
  EXPECT_TRUE(pty.ok());
  if (!configLines.empty()) {
    std::ofstream ini(pty.folder() / "Kestrix2.ini", std::ios::binary);
    ini << "[Config]\r\n";
    for (const std::string& line : configLines) ini << line << "\r\n";
  }
  std::string error;
  auto loaded = LoadEmbeddedImages(&error);
  EXPECT_TRUE(loaded.has_value()) << error;
  if (loaded) images = std::move(*loaded);
  program = std::make_unique<Program>(
      ProgramServices{port, clock, host, images, pty.folder()}, CommandLine{});
  port.SetOnLost([this] { program->OnPortLost(); });
}

void WindowRig::Start(bool withTimer) {
  program->LoadStartupSettings();
  window = std::make_unique<MainWindow>(*program);
  program->AttachWindow(*window, *window);
  window->SetOnFinished([this] { finished = true; });
  window->show();
  if (withTimer) {
    window->StartLoop();
  } else {
    window->WatchPort();
  }
  program->ConnectAtStartup();
  Spin(10);
}

bool WindowRig::SpinUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void WindowRig::Tap(int key, Qt::KeyboardModifiers modifiers,
                    const QString& text) {
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, key, modifiers, text);
    QCoreApplication::sendEvent(window.get(), &event);
  }
}

void WindowRig::Mouse(QEvent::Type type, QPoint inner, Qt::MouseButton button,
                      Qt::MouseButtons held) {
  QWidget* area = window->InnerArea();
  const QPointF local(inner);
  const QPointF global(area->mapToGlobal(inner));
  QMouseEvent event(type, local, local, global, button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(area, &event);
}

void WindowRig::Menu(int menuId) {
  QAction* action = window->Action(menuId);
  ASSERT_NE(action, nullptr) << menuId;
  action->trigger();
}

}  // namespace kestrix::test
