#include "app/MenuIds.h"
#include "app/Program.h"

namespace kestrix {

bool Program::AfterEvent(bool timerTick) {
  Enter([this, timerTick] {
    PollPort();
    if (timerTick && marks_.IsChecked(kMenuAutoMode) &&
        marks_.view() != nullptr) {
      portControl_.AutoModeStep(marks_.view()->InnerHeightWithMenu());
    }
  });
  return quitRequested_ && !Busy();
}

void Program::PollPort() {
  if (!services_.port.IsOpen()) return;
  if (engine_.Poll(*this).BlockAnswered) {
    settings_.MsMoveOff = settings_.NormalTerminalFlag;
  }
}

void Program::CarryOut(int request) {
  uploads_.CarryOutRequest(request, screen_.ScreenText, screen_.PreviousText);
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
    if (settings_.MsMoveOff) return;
    SendMouseReport(services_.port, blocks_, buttons_, position);
  });
}

void Program::OnLeftPress(ImagePoint position) {
  Enter([&] {
    buttons_.PressLeft();
    SendMouseReport(services_.port, blocks_, buttons_, position);
  });
}

void Program::OnRightPress(ImagePoint position) {
  Enter([&] {
    buttons_.PressRight();
    SendMouseReport(services_.port, blocks_, buttons_, position);
  });
}

void Program::OnButtonRelease(ImagePoint position) {
  Enter([&] {
    buttons_.Release();
    SendMouseReport(services_.port, blocks_, buttons_, position);
  });
}

}  // namespace kestrix
