#include "app/WindowRig.h"

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

WindowRig::WindowRig(const std::vector<std::string>& configLines) {
  EXPECT_TRUE(pty.Link(folder.string(), 6));
  if (!configLines.empty()) {
    std::ofstream ini(folder / "Kestrix2.ini", std::ios::binary);
    ini << "[Config]\r\n";
    for (const std::string& line : configLines) ini << line << "\r\n";
  }
  auto [loaded, error] = LoadEmbeddedImages();
  EXPECT_TRUE(loaded.has_value()) << error;
  if (loaded) images = std::move(*loaded);
  program = std::make_unique<Program>(
      ProgramServices{port, clock, host, images, folder}, CommandLine{});
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
