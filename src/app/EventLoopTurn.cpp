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
  SerialLine& port = services_.port;
  if (!port.IsOpen()) return;
  const int n =
      ReadRaw(port, blocks_.ReceiveBuffer.data(), SharedBlocks::kMaxChunk);
  // A request or a reply left by an earlier chunk waits for a turn in which
  // bytes arrive, as the device expects.
  if (n <= 0) return;
  decoder_.DecodeChunk(n);
  if (decoder_.TakeBlockAnswered()) {
    settings_.MsMoveOff = settings_.NormalTerminalFlag;
  }
  if (decoder_.ServiceRequest > 0) {
    const int request = decoder_.ServiceRequest;
    decoder_.ServiceRequest = 0;
    dispatcher_.CarryOut(
        request,
        {loaderContext_, settings_, loaderImage_, services_.images.logo,
         screen_.ScreenText, screen_.PreviousText, decoder_.PreparedFile});
  }
  int& reply = decoder_.graphics.ReplyByte;
  if (reply > 0) {
    blocks_.OutBlock[0] = static_cast<std::uint8_t>(reply & 0xFF);
    WriteRaw(port, blocks_.OutBlock.data(), 1);
    reply = 0;
  }
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
    if (settings_.MsMoveOff != 0) return;
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
