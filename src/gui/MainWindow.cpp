#include "gui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <utility>

#include "app/MenuIds.h"
#include "app/Program.h"
#include "gui/AboutPanel.h"
#include "gui/MenuTree.h"
#include "gui/QtKeyTranslation.h"
#include "gui/ScreenGadget.h"
#include "settings/ScreenGeometry.h"

namespace kestrix {

namespace {

// Where the transfers show their progress, inside the inner area.
constexpr int kProgressX = 40;
constexpr int kProgressY = 40;
constexpr int kProgressWidth = 110;
constexpr int kProgressHeight = 15;

}  // namespace

MainWindow::MainWindow(Program& program)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint |
                               Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      program_(program) {
  setWindowTitle(QStringLiteral("Kestrix for P2 Monitor"));
  // Keys go to the window itself; no child takes the focus, and Tab is
  // handled before Qt's focus navigation could see it.
  setFocusPolicy(Qt::StrongFocus);

  QMenuBar* bar = menuBar();
  // The menu bar belongs to the window on every desktop, so that the inner
  // area starts right below it.
  bar->setNativeMenuBar(false);
  actions_ = BuildMenuTree(*bar);
  for (const auto& [id, action] : actions_) {
    QAction* a = action;
    connect(a, &QAction::triggered, this, [this, a] { OnMenu(a); });
  }
  bar->installEventFilter(this);

  inner_ = new QWidget(this);
  inner_->setFocusPolicy(Qt::NoFocus);
  inner_->setMouseTracking(true);
  inner_->installEventFilter(this);
  setCentralWidget(inner_);

  gadget_ = new ScreenGadget(inner_);
  gadget_->move(0, 0);

  progress_ = new QProgressBar(inner_);
  progress_->setGeometry(kProgressX, kProgressY, kProgressWidth,
                         kProgressHeight);
  progress_->setRange(0, 100);
  progress_->setAttribute(Qt::WA_TransparentForMouseEvents);
  progress_->setFocusPolicy(Qt::NoFocus);
  progress_->hide();

  about_ = new AboutOverlay(inner_);
  about_->hide();

  const InnerSize size = program_.WindowInnerSize();
  gadget_->Blank(size.width, size.height);
  ResizeInner(size.width, size.height);
  move(kDesktopX, kDesktopY);

  timer_.setInterval(kTimerPeriodMs);
  connect(&timer_, &QTimer::timeout, this, [this] { EndTurn(true); });
  poll_.setSingleShot(true);
  poll_.setInterval(0);
  connect(&poll_, &QTimer::timeout, this, [this] { EndTurn(false); });
}

MainWindow::~MainWindow() {
  if (watchingPort_) program_.SetOnDataArrived(nullptr);
}

void MainWindow::StartLoop() {
  WatchPort();
  timer_.start();
}

void MainWindow::WatchPort() {
  if (!watchingPort_) {
    program_.SetOnDataArrived([this] { SchedulePoll(); });
    watchingPort_ = true;
  }
  setFocus();
}

void MainWindow::SetOnFinished(std::function<void()> onFinished) {
  onFinished_ = std::move(onFinished);
}

QAction* MainWindow::Action(int menuId) const {
  auto it = actions_.find(menuId);
  return it == actions_.end() ? nullptr : it->second;
}

QWidget* MainWindow::InnerArea() const { return inner_; }

bool MainWindow::IsChecked(int menuId) const {
  QAction* action = Action(menuId);
  return action != nullptr && action->isChecked();
}

void MainWindow::SetChecked(int menuId, bool checked) {
  if (QAction* action = Action(menuId)) action->setChecked(checked);
}

void MainWindow::SetEnabled(int menuId, bool enabled) {
  if (QAction* action = Action(menuId)) action->setEnabled(enabled);
}

void MainWindow::ResizeInner(int width, int height) {
  inner_->setFixedSize(width, height);
  // A narrow window wraps its menu bar onto more lines; the inner area keeps
  // its size all the same.
  int menuHeight = menuBar()->heightForWidth(width);
  if (menuHeight <= 0) menuHeight = menuBar()->sizeHint().height();
  setFixedSize(width, height + menuHeight);
}

int MainWindow::InnerHeightWithMenu() const {
  // A minimised window keeps its size in Qt; as far as the auto mode is
  // concerned only the menu bar is left of it, as on Windows.
  if (isMinimized()) return menuBar()->height();
  return menuBar()->height() + inner_->height();
}

void MainWindow::PaintAboutPanel() {
  about_->CoverParent();
  // The program blocks right after this for its 2 s wait: paint now.
  about_->repaint();
}

void MainWindow::PresentScreen(const Raster& image) {
  about_->hide();
  gadget_->Show(image, ShownScale());
}

float MainWindow::ShownScale() const {
  return EffectiveGeometry(program_.settings()).scale;
}

void MainWindow::OnMenu(QAction* action) {
  // Qt has already flipped a check item; the mark shows the program's state,
  // which the program hands over itself, so undo Qt's flip.
  if (action->isCheckable()) action->setChecked(!action->isChecked());
  program_.OnMenuCommand(action->data().toInt());
  EndTurn(false);
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress ||
      event->type() == QEvent::KeyRelease) {
    HandleKey(*static_cast<QKeyEvent*>(event));
    return true;
  }
  return QMainWindow::event(event);
}

void MainWindow::HandleKey(QKeyEvent& event) {
  event.accept();
  const KeyStroke stroke = TranslateKeyEvent(event);
  if (stroke.kind == KeyStroke::Kind::kComEnabled) {
    program_.OnMenuCommand(kMenuComEnabled);
  } else {
    DeliverKeyStroke(stroke, program_);
  }
  EndTurn(false);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == inner_ || watched == menuBar()) {
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (mouse != nullptr) {
      const bool consumed = HandleMouse(watched, *mouse);
      // The menu bar still needs its own mouse events to open its menus.
      return consumed && watched == inner_;
    }
    return false;
  }
  return false;
}

bool MainWindow::HandleMouse(QObject* watched, QMouseEvent& event) {
  const QEvent::Type type = event.type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
      type != QEvent::MouseButtonRelease &&
      type != QEvent::MouseButtonDblClick) {
    return false;
  }
  const bool inInner = watched == inner_;
  // The menu bar reports moves while the pointer crosses it; they are not
  // moves over the screen and send nothing.
  if (!inInner) return false;
  const ImagePoint position = PointerPosition(event.globalPosition());
  switch (type) {
    case QEvent::MouseMove:
      program_.OnMouseMove(position);
      break;
    case QEvent::MouseButtonPress:
      if (event.button() == Qt::LeftButton &&
          gadget_->geometry().contains(event.position().toPoint())) {
        program_.OnLeftPress(position);
      } else if (event.button() == Qt::RightButton) {
        program_.OnRightPress(position);
      }
      break;
    case QEvent::MouseButtonRelease:
      if (event.button() == Qt::LeftButton ||
          event.button() == Qt::RightButton) {
        program_.OnButtonRelease(position);
      }
      break;
    default:
      // A double-click is not a second press: no button bit, no report.
      break;
  }
  EndTurn(false);
  return true;
}

ImagePoint MainWindow::PointerPosition(const QPointF& globalPosition) const {
  const QPoint inner = inner_->mapFromGlobal(globalPosition.toPoint());
  return ImagePosition(inner.x(), inner.y(), inner_->width(), inner_->height(),
                       ShownScale());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!finished_) {
    // The close box asks for the same end as the Quit command. While a
    // command runs the request is kept and honoured when it returns.
    program_.OnCloseRequest();
    closing_ = true;
    EndTurn(false);
    closing_ = false;
  }
  if (finished_) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::EndTurn(bool timerTick) {
  // Turns that arrive while a command runs underneath are dropped whole;
  // in particular the window must not close under a running command.
  if (finished_) return;
  if (program_.AfterEvent(timerTick)) {
    Finish();
    return;
  }
  // A backlog drains turn after turn, each queued behind the window's own
  // events so input and painting keep their turns; the screen is repainted
  // once per frame meanwhile. A command running underneath reads the port
  // itself.
  const bool backlog = !program_.Busy() && program_.PortBacklog();
  gadget_->SetBacklog(backlog);
  if (backlog) SchedulePoll();
}

void MainWindow::SchedulePoll() {
  // A zero-interval timer, so the poll runs as a turn of its own once the
  // port's notification has finished, after the window's pending events;
  // unlike a posted call it needs no wake-up of the event loop per turn.
  if (!finished_ && !poll_.isActive()) poll_.start();
}

void MainWindow::Finish() {
  finished_ = true;
  timer_.stop();
  poll_.stop();
  program_.Shutdown();
  if (!closing_) close();
  if (onFinished_) onFinished_();
}

}  // namespace kestrix
