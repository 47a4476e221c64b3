#include "app/MenuIds.h"
#include "app/Program.h"

namespace kestrix {

bool Program::AfterEvent(bool timerTick) {
  Enter([this, timerTick] {
    PollPort();
    if (timerTick && state_.autoMode && marks_.view() != nullptr) {
      portControl_.AutoModeStep(marks_.view()->InnerHeightWithMenu(), settings_,
                                state_);
    }
  });
  return quitRequested_ && !Busy();
}

void Program::PollPort() {
  if (!services_.port.IsOpen()) return;
  if (engine_.Poll(*this).blockAnswered) {
    state_.mouseReportsHeldBack = state_.normalTerminal;
  }
}

void Program::CarryOut(int request) {
  const TerminalScreen& screen = engine_.screen();
  uploads_.CarryOutRequest(request, screen.ScreenText, screen.PreviousText,
                           Transfers(), settings_, state_);
}

void Program::OnKeyDown(int virtualKey) {
  Enter([&] { keys_.OnKeyDown(virtualKey, Modes()); });
}

void Program::OnKeyUp(int virtualKey) {
  Enter([&] { keys_.OnKeyUp(virtualKey, Modes()); });
}

void Program::OnCharacter(int character) {
  Enter([&] { keys_.OnCharacter(character, Modes()); });
}

void Program::OnMouseMove(ImagePoint position) {
  Enter([&] {
    if (state_.mouseReportsHeldBack) return;
    SendMouseReport(services_.port, engine_.blocks(), buttons_, position);
  });
}

void Program::OnLeftPress(ImagePoint position) {
  Enter([&] {
    buttons_.PressLeft();
    SendMouseReport(services_.port, engine_.blocks(), buttons_, position);
  });
}

void Program::OnRightPress(ImagePoint position) {
  Enter([&] {
    buttons_.PressRight();
    SendMouseReport(services_.port, engine_.blocks(), buttons_, position);
  });
}

void Program::OnButtonRelease(ImagePoint position) {
  Enter([&] {
    buttons_.Release();
    SendMouseReport(services_.port, engine_.blocks(), buttons_, position);
  });
}

}  // namespace kestrix
