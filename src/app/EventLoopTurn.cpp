#include "app/EntryGuard.h"
#include "app/MenuIds.h"
#include "app/Program.h"

namespace kestrix {

namespace {
// Lettered requests the program carries out itself: uploads of a program
// file named by the device (RAM and EEPROM alike). The decoder leaves twice
// the letter's code.
constexpr int kRequestUploadRam = 2 * 'b';
constexpr int kRequestUploadEeprom = 2 * 'e';
}  // namespace

void Program::AfterEvent(bool timerTick) {
  if (Busy()) return;
  EntryGuard guard(*this);
  PollPort();
  if (timerTick && Mark(kMenuAutoMode)) AutoModeStep();
}

void Program::PollPort() {
  if (!services_.port.IsOpen()) return;
  if (engine.Poll(*this).BlockAnswered) {
    settings.MsMoveOff = settings.NormalTerminalFlag;
  }
}

void Program::CarryOut(int request) {
  if (request == kRequestUploadRam || request == kRequestUploadEeprom) {
    UploadProgram(settings.BinPath + screen.ScreenText);
    return;
  }
  later_->CarryOutServiceRequest(request);
}

void Program::OnKeyDown(int virtualKey) {
  if (Busy()) return;
  EntryGuard guard(*this);
  keys_.OnKeyDown(virtualKey, Modes());
}

void Program::OnKeyUp(int virtualKey) {
  if (Busy()) return;
  EntryGuard guard(*this);
  keys_.OnKeyUp(virtualKey, Modes());
}

void Program::OnCharacter(int character) {
  if (Busy()) return;
  EntryGuard guard(*this);
  keys_.OnCharacter(character, Modes());
}

void Program::OnMouseMove(ImagePoint position) {
  if (Busy()) return;
  EntryGuard guard(*this);
  if (settings.MsMoveOff != 0) return;
  SendMouseReport(services_.port, blocks, buttons_, position);
}

void Program::OnLeftPress(ImagePoint position) {
  if (Busy()) return;
  EntryGuard guard(*this);
  buttons_.PressLeft();
  SendMouseReport(services_.port, blocks, buttons_, position);
}

void Program::OnRightPress(ImagePoint position) {
  if (Busy()) return;
  EntryGuard guard(*this);
  buttons_.PressRight();
  SendMouseReport(services_.port, blocks, buttons_, position);
}

void Program::OnButtonRelease(ImagePoint position) {
  if (Busy()) return;
  EntryGuard guard(*this);
  buttons_.Release();
  SendMouseReport(services_.port, blocks, buttons_, position);
}

}  // namespace kestrix
