#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>

#include "app/View.h"
#include "terminal/MouseReport.h"
#include "terminal/Presenter.h"

class QAction;
class QProgressBar;

namespace kestrix {

class AboutOverlay;
class Program;
class ScreenGadget;

// The main window: menu bar on top, below it the inner area with the screen
// gadget at (0, 0), the progress bar and, while shown, the About panel.
//
// Geometry: the inner area below the menu bar gets the whole size the
// program asks for (Program::WindowInnerSize); the menu bar is added on top
// of it rather than taken out of it, so the grid and the strip below it are
// visible in full. The user cannot resize the window; it can be minimised.
//
// Every event is one turn of the program's loop: the window hands the event
// to the program and then lets it poll the port (Program::AfterEvent). The
// turns come from input, menu commands, the 40 ms timer, the serial
// port's own notice that bytes arrived and, while received bytes are still
// waiting, the turn before, so what the device sends is shown without
// waiting for the next tick and a backlog drains at full speed. While the
// program is busy (a requester, an upload or a transfer pumps events underneath
// it) input and polls are dropped.
//
// Mouse positions are taken relative to the inner area; outside the window
// while a button is held they count as outside (-1). Qt reports moves outside
// the window only while a button is held; moves over the menu bar send
// nothing.
class MainWindow : public QMainWindow, public View, public Presenter {
 public:
  static constexpr int kTimerPeriodMs = 40;
  static constexpr int kDesktopX = 100;
  static constexpr int kDesktopY = 200;

  explicit MainWindow(Program& program);
  ~MainWindow() override;

  // Starts the 40 ms timer and the polls on arriving bytes.
  void StartLoop();
  // Only the polls on arriving bytes, without the timer.
  void WatchPort();
  // Called once when the program has quit and the window is closing (after
  // the program's Shutdown).
  void SetOnFinished(std::function<void()> onFinished);

  // What the menu shows (for tests); the program keeps the state itself.
  bool IsChecked(int menuId) const;

  // View
  void SetChecked(int menuId, bool checked) override;
  void SetEnabled(int menuId, bool enabled) override;
  void ResizeInner(int width, int height) override;
  int InnerHeightWithMenu() const override;
  void PaintAboutPanel() override;

  // Presenter
  void PresentScreen(const Raster& image) override;

  QAction* Action(int menuId) const;
  QWidget* InnerArea() const;
  ScreenGadget* Gadget() const { return gadget_; }
  QProgressBar* Progress() const { return progress_; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnMenu(QAction* action);
  void HandleKey(QKeyEvent& event);
  bool HandleMouse(QObject* watched, QMouseEvent& event);
  ImagePoint PointerPosition(const QPointF& globalPosition) const;
  float ShownScale() const;
  // Ends a loop turn: the serial poll (and the auto mode on a tick), then
  // the exit when the program has quit.
  void EndTurn(bool timerTick);
  void SchedulePoll();
  void Finish();

  Program& program_;
  std::map<int, QAction*> actions_;
  QWidget* inner_ = nullptr;
  ScreenGadget* gadget_ = nullptr;
  QProgressBar* progress_ = nullptr;
  AboutOverlay* about_ = nullptr;
  QTimer timer_;
  // The next turn while bytes are waiting.
  QTimer poll_;
  bool watchingPort_ = false;
  bool finished_ = false;
  bool closing_ = false;
  std::function<void()> onFinished_;
};

}  // namespace kestrix
